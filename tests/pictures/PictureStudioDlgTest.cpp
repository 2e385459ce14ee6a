// Picture Studio on real dialogs of the headless back end: the entries it
// offers, what Adjust and OK do to the working picture, the previews, Tint,
// Make Transparent and its eyedropper.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawRect.h"
#include "pictures/EffectParamDlgs.h"
#include "resources/effectdlgs.h"
#include "pictures/MakeTransparentDlg.h"
#include "pictures/PictureStudioDlg.h"
#include "pictures/PictureTintDlg.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/CommCtrl.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::DialogStep;

const char kPng[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";
const char kDeepBmp[] = THREADWICK_TESTDATA_DIR "/samepicture/bin-libsdl2-image-tests__sample.bmp";
const char kPaletteBmp[] = THREADWICK_TESTDATA_DIR "/samepicture/bin-wx3.2-examples__horse.bmp";
const char kEmf[] = THREADWICK_TESTDATA_DIR "/emf/src-libemf2svg__test-000.emf";

std::vector<BYTE> RasterBytes(int nHandle)
{
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr)
        return {};
    return pBitmap->Pixels;
}

void PostClick(HWND hDlg, int nID)
{
    ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

// A step that acts once the window captioned pszTitle is active.
DialogStep InDialog(const char* pszTitle, std::function<void(HWND)> action)
{
    return [pszTitle, action](HWND hActive) {
        if (testing_support::WindowTitle(hActive) != pszTitle)
            return false;
        action(hActive);
        return true;
    };
}

class PictureStudioTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        REQUIRE_TESTDATA();
        platform::headless::SetScreen(1024, 768, 32);
        // The program's tool bars register the common controls that the
        // parameter dialogs' templates name; this frame has none.
        ::InitCommonControls();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::headless::SetScreen(1024, 768, 32);
        DesignViewTest::TearDown();
    }

    CDrawRect* AddPicture(const char* pszPath)
    {
        auto* pObj = new CDrawRect(CRect(-100, 100, 100, -100));
        m_pView->Add(pObj);
        pObj->SetPictureFile(platform::WindowsPathFor(pszPath).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        EXPECT_TRUE(pObj->HasPicture());
        return pObj;
    }

    // Runs the dialog: first the action on Studio itself, then the steps
    // that follow (nested dialogs, Studio again). The last step must end it.
    static int Run(CPictureStudioDlg& dlg, std::function<void(CPictureStudioDlg&, HWND)> action,
        std::vector<DialogStep> after = {})
    {
        CPictureStudioDlg* pDlg = &dlg;
        std::vector<DialogStep> steps;
        steps.push_back([pDlg, action](HWND hActive) {
            if (hActive != pDlg->m_hWnd)
                return false;
            action(*pDlg, hActive);
            return true;
        });
        for (DialogStep& step : after)
            steps.push_back(std::move(step));
        testing_support::DriveActiveWindow(std::move(steps));
        return static_cast<int>(dlg.DoModal());
    }

    static DialogStep InStudio(CPictureStudioDlg& dlg, std::function<void(CPictureStudioDlg&, HWND)> action)
    {
        CPictureStudioDlg* pDlg = &dlg;
        return [pDlg, action](HWND hActive) {
            if (hActive != pDlg->m_hWnd)
                return false;
            action(*pDlg, hActive);
            return true;
        };
    }

    static std::vector<std::string> ShownNames(CPictureStudioDlg& dlg)
    {
        std::vector<std::string> names;
        for (int i = 0; i < dlg.m_list.GetCount(); ++i) {
            CString strText;
            dlg.m_list.GetText(i, strText);
            names.emplace_back(static_cast<LPCTSTR>(strText));
        }
        return names;
    }

    static BOOL IsTicked(CPictureStudioDlg& dlg, int nEntry)
    {
        const int nIndex = dlg.FindEntry(nEntry);
        return nIndex >= 0 && dlg.m_list.GetSel(nIndex) > 0;
    }

    // Puts the caret on the entry and presses Adjust; an entry with a
    // dialog must be posted so that the step returns before it opens.
    static void Adjust(CPictureStudioDlg& dlg, int nEntry, BOOL bPost = FALSE)
    {
        const int nIndex = dlg.FindEntry(nEntry);
        ASSERT_GE(nIndex, 0) << "entry " << nEntry << " is not offered";
        dlg.m_list.SetCaretIndex(nIndex);
        if (bPost)
            PostClick(dlg.m_hWnd, IDC_STUDIO_ADJUST);
        else
            testing_support::Click(dlg.m_hWnd, IDC_STUDIO_ADJUST);
    }

    static void Deselect(CPictureStudioDlg& dlg, int nEntry)
    {
        const int nIndex = dlg.FindEntry(nEntry);
        ASSERT_GE(nIndex, 0);
        dlg.m_list.SetSel(nIndex, FALSE);
    }
};

TEST_F(PictureStudioTest, OffersTheEffectsThePictureCanCarry)
{
    CDrawRect* pObj = AddPicture(kPng);
    const std::vector<std::string> all = {"Add Noise...", "Blur...", "Brightness/Contrast...", "Color Resolution...",
        "Edge Enhance", "Emboss...", "Gamma Correct...", "Grayscale", "Halftone > Print...", "Halftone > View...",
        "Hue/Saturation...", "Median...", "Mosaic...", "Negative", "Posterize...", "Sharpen...", "Shear...",
        "Tile Picture", "Tint...", "Translucent", "Transparent..."};
    {
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        std::vector<std::string> names;
        BOOL bSampleShown = TRUE;
        BOOL bAdjustEnabled = FALSE;
        ASSERT_EQ(Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
            names = ShownNames(d);
            bSampleShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_STUDIO_SAMPLE));
            bAdjustEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_STUDIO_ADJUST));
            testing_support::Click(hDlg, IDCANCEL);
        }),
            IDCANCEL);
        EXPECT_EQ(names, all);
        EXPECT_FALSE(bSampleShown);
        EXPECT_TRUE(bAdjustEnabled) << "the caret starts on the first entry";
    }
    {
        // A picture that must stay in the design offers neither
        // Translucent nor Transparent.
        pObj->m_pPicture->m_bForceEmbed = 1;
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        std::vector<std::string> names;
        Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
            names = ShownNames(d);
            testing_support::Click(hDlg, IDCANCEL);
        });
        std::vector<std::string> expected(all.begin(), all.end() - 2);
        EXPECT_EQ(names, expected);
        pObj->m_pPicture->m_bForceEmbed = 0;
    }
    {
        // A turned object cannot show its picture tiled.
        pObj->RotatePicture(30);
        ASSERT_TRUE(pObj->IsRotated());
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        std::vector<std::string> names;
        Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
            names = ShownNames(d);
            testing_support::Click(hDlg, IDCANCEL);
        });
        std::vector<std::string> expected = all;
        std::erase(expected, "Tile Picture");
        EXPECT_EQ(names, expected);
    }
}

TEST_F(PictureStudioTest, AMetafileIsEditedAsARasterAtTheObjectsSizeWithoutTransparent)
{
    CDrawRect* pObj = AddPicture(kEmf);
    ASSERT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    EXPECT_TRUE(dlg.IsMetafile());
    ASSERT_TRUE(dlg.GetWorkingPicture()->IsRaster());
    int cx = 0;
    int cy = 0;
    int nBits = 0;
    GetPicSize(dlg.GetWorkingPicture()->m_nHandle, &cx, &cy, &nBits);
    const CRect rectFull = pObj->GetFullPictureRect();
    EXPECT_EQ(cx, std::abs(rectFull.Width()));
    EXPECT_EQ(cy, std::abs(rectFull.Height()));

    std::vector<std::string> names;
    Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
        names = ShownNames(d);
        testing_support::Click(hDlg, IDCANCEL);
    });
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "Translucent");
    EXPECT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile) << "the object keeps its own picture";
}

TEST_F(PictureStudioTest, TogglesThroughStudioEqualTheEffectsAppliedStraight)
{
    CDrawRect* pObj = AddPicture(kPng);
    for (int nEntry : {StudioGrayscale, StudioNegative}) {
        SCOPED_TRACE(nEntry);
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        BOOL bTicked = FALSE;
        ASSERT_EQ(Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
            Adjust(d, nEntry);
            bTicked = IsTicked(d, nEntry);
            testing_support::Click(hDlg, IDOK);
        }),
            IDOK);
        EXPECT_TRUE(bTicked) << "Adjust on a toggle switches it on";
        EXPECT_NE(dlg.GetPreviousPicture(), nullptr);

        CImage straight;
        straight.Copy(*pObj->m_pPicture);
        ASSERT_TRUE(straight.ApplyEffect(EffectKindOfEntry(nEntry), 1, 0));
        const std::vector<BYTE> expected = RasterBytes(straight.m_nHandle);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(RasterBytes(dlg.GetWorkingPicture()->m_nHandle), expected);
        EXPECT_NE(RasterBytes(pObj->m_pPicture->m_nHandle), expected) << "the object's picture is not touched";
    }
}

TEST_F(PictureStudioTest, ThePreviewShowsTheAdjustedPicture)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    COLORREF crBefore = CLR_INVALID;
    COLORREF crAfter = CLR_INVALID;
    Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
        const CPoint middle = d.GetPreviewFrame().CenterPoint();
        d.UpdateWindow();
        crBefore = platform::headless::WindowPixel(hDlg, middle.x, middle.y);
        Adjust(d, StudioNegative);
        d.UpdateWindow();
        crAfter = platform::headless::WindowPixel(hDlg, middle.x, middle.y);
        testing_support::Click(hDlg, IDCANCEL);
    });
    ASSERT_NE(crBefore, CLR_INVALID);
    const COLORREF crInverse = RGB(255 - GetRValue(crBefore), 255 - GetGValue(crBefore), 255 - GetBValue(crBefore));
    EXPECT_TRUE(image_test::Near(crAfter, crInverse, 8)) << std::hex << crBefore << " " << crAfter;
}

TEST_F(PictureStudioTest, TileAndTranslucentAreFlagsOfTheWorkingPicture)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    ASSERT_EQ(Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
        Adjust(d, StudioTile);
        // A double click on an entry adjusts it as the button does.
        d.m_list.SetCaretIndex(d.FindEntry(StudioTranslucent));
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_STUDIO_LIST, LBN_DBLCLK), LPARAM(d.m_list.m_hWnd));
        testing_support::Click(hDlg, IDOK);
    }),
        IDOK);
    EXPECT_TRUE(dlg.GetWorkingPicture()->m_wFlags & IMAGE_FLAG_TILED);
    EXPECT_TRUE(dlg.GetWorkingPicture()->m_wFlags & IMAGE_FLAG_TRANSLUCENT);
    EXPECT_FALSE(pObj->m_pPicture->m_wFlags & (IMAGE_FLAG_TILED | IMAGE_FLAG_TRANSLUCENT));
}

TEST_F(PictureStudioTest, DeselectedEntriesSwitchTheirEffectsOffOnOk)
{
    CDrawRect* pObj = AddPicture(kPng);
    CImage& picture = *pObj->m_pPicture;
    ASSERT_TRUE(picture.SetEffect(7, 1, 0));
    ASSERT_TRUE(picture.SetEffect(20, 60, static_cast<int>(RGB(200, 0, 0))));
    ASSERT_TRUE(picture.SetEffect(13, 8, 0));
    ASSERT_TRUE(picture.SetEffect(22, 1, static_cast<int>(RGB(255, 255, 255))));
    ASSERT_TRUE(picture.ApplyEffect(CImage::kEffectReapply, 0, 0));
    picture.SetWordFlag(IMAGE_FLAG_TILED, TRUE);

    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    std::vector<int> ticked;
    ASSERT_EQ(Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
        for (int nEntry : {StudioGrayscale, StudioTint, StudioMosaic, StudioTransparent, StudioTile, StudioBlur}) {
            if (IsTicked(d, nEntry))
                ticked.push_back(nEntry);
        }
        // Mosaic stays selected and keeps its size; the rest go.
        for (int nEntry : {StudioGrayscale, StudioTint, StudioTransparent, StudioTile})
            Deselect(d, nEntry);
        testing_support::Click(hDlg, IDOK);
    }),
        IDOK);
    EXPECT_EQ(ticked, (std::vector<int>{StudioGrayscale, StudioTint, StudioMosaic, StudioTransparent, StudioTile}));

    const CImage& result = *dlg.GetWorkingPicture();
    int nFirst = -1;
    int nSecond = -1;
    EXPECT_FALSE(result.GetEffect(7, &nFirst, &nSecond));
    EXPECT_FALSE(result.GetEffect(20, &nFirst, &nSecond));
    EXPECT_EQ(nSecond, 0xC0C0C0);
    EXPECT_TRUE(result.GetEffect(13, &nFirst, &nSecond));
    EXPECT_EQ(nFirst, 8);
    EXPECT_FALSE(result.HasTransparency());
    EXPECT_EQ(result.m_crTransparent, COLORREF(0xC0C0C0));
    EXPECT_FALSE(result.m_wFlags & IMAGE_FLAG_TILED);

    CImage expected;
    expected.Copy(picture);
    expected.SetEffect(7, 0, 0);
    expected.SetEffect(20, 0, 0xC0C0C0);
    expected.SetEffect(22, 0, 0xC0C0C0);
    ASSERT_TRUE(expected.ApplyEffect(CImage::kEffectReapply, 0, 0));
    EXPECT_EQ(RasterBytes(result.m_nHandle), RasterBytes(expected.m_nHandle));
}

TEST_F(PictureStudioTest, DialogEntriesCarryWhatTheirDialogAnsweredOnOk)
{
    struct Case {
        int nEntry;
        const char* pszTitle;
        const char* pszTyped; // into the first value's edit; null: untouched
        int nKind;
        int nWantFirst;
        BOOL bActive;
    } cases[] = {
        // Closed untouched: no preview was sent, the start value is applied.
        {StudioBlur, "Blur", nullptr, 0, 3, TRUE},
        // Values the controls take but the effect does not are replaced.
        {StudioGamma, "Gamma Correct", "500", 6, 100, TRUE},
        {StudioMosaic, "Mosaic", "65", 13, 2, TRUE},
        {StudioHueSaturation, "Hue/Saturation", "360", 10, 0, FALSE},
    };
    CDrawRect* pObj = AddPicture(kPng);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszTitle);
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        BOOL bTicked = !c.bActive;
        BOOL bDialogSeen = FALSE;
        Run(
            dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, c.nEntry, TRUE); },
            {InDialog(c.pszTitle,
                 [&](HWND hParam) {
                     bDialogSeen = TRUE;
                     if (c.pszTyped != nullptr)
                         ::SetDlgItemText(hParam, IDC_EFX_EDIT, c.pszTyped);
                     PostClick(hParam, IDOK);
                 }),
                InStudio(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
                    bTicked = IsTicked(d, c.nEntry);
                    PostClick(hDlg, IDOK);
                })});
        ASSERT_TRUE(bDialogSeen);
        EXPECT_EQ(bTicked, c.bActive) << "the tick shows what the picture carries";
        int nFirst = -1;
        int nSecond = -1;
        EXPECT_EQ(dlg.GetWorkingPicture()->GetEffect(c.nKind, &nFirst, &nSecond), c.bActive);
        EXPECT_EQ(nFirst, c.nWantFirst);
        if (c.nEntry == StudioBlur) {
            CImage straight;
            straight.Copy(*pObj->m_pPicture);
            ASSERT_TRUE(straight.ApplyEffect(0, 3, 0));
            EXPECT_EQ(RasterBytes(dlg.GetWorkingPicture()->m_nHandle), RasterBytes(straight.m_nHandle));
        }
    }
}

TEST_F(PictureStudioTest, ColorResolutionKeepsTheDepthAndDitherOfItsPreview)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    Run(
        dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, StudioColorResolution, TRUE); },
        {InDialog("Color Resolution",
             [&](HWND hParam) {
                 ::CheckRadioButton(hParam, IDC_EFX_RADIO1, IDC_EFX_RADIO5, IDC_EFX_RADIO3);
                 testing_support::Click(hParam, IDC_EFX_RADIO3);
                 ::CheckRadioButton(hParam, IDC_EFX_RADIO8, IDC_EFX_RADIO10, IDC_EFX_RADIO10);
                 testing_support::Click(hParam, IDC_EFX_RADIO10);
                 PostClick(hParam, IDOK);
             }),
            InStudio(dlg, [](CPictureStudioDlg&, HWND hDlg) { PostClick(hDlg, IDOK); })});
    int nBits = 0;
    int nFlags = 0;
    ASSERT_TRUE(dlg.GetWorkingPicture()->GetEffect(2, &nBits, &nFlags));
    EXPECT_EQ(nBits, 8);
    EXPECT_EQ(nFlags & 0xF0000, 0x10000) << "Floyd-Steinberg dithering";
    int cx = 0;
    int cy = 0;
    int nDepth = 0;
    GetPicSize(dlg.GetWorkingPicture()->m_nHandle, &cx, &cy, &nDepth);
    EXPECT_EQ(nDepth, 8);
}

TEST_F(PictureStudioTest, TransparentOnADeepBitmapAsksForFewerColorsFirst)
{
    CDrawRect* pObj = AddPicture(kDeepBmp);
    const size_t nBoxesBefore = platform::headless::MessageBoxes().size();
    for (int nAnswer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(nAnswer);
        platform::headless::PushMessageBoxAnswer(nAnswer);
        CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
        int nCaretEntry = -1;
        BOOL bTransparentTicked = TRUE;
        BOOL bColorResTicked = TRUE;
        Run(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
            Adjust(d, StudioTransparent);
            nCaretEntry = static_cast<int>(d.m_list.GetItemData(d.m_list.GetCaretIndex()));
            bTransparentTicked = IsTicked(d, StudioTransparent);
            bColorResTicked = IsTicked(d, StudioColorResolution);
            testing_support::Click(hDlg, IDCANCEL);
        });
        EXPECT_FALSE(bTransparentTicked);
        EXPECT_EQ(bColorResTicked, nAnswer == IDOK);
        EXPECT_EQ(nCaretEntry, nAnswer == IDOK ? StudioColorResolution : StudioTransparent);
        EXPECT_EQ(dlg.GetTrialPicture(), nullptr);
        EXPECT_EQ(dlg.GetPreviousPicture(), nullptr) << "nothing was adjusted";
    }
    const auto& boxes = platform::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), nBoxesBefore + 2) << "Make Transparent never opened";
    EXPECT_EQ(boxes.back().text,
        "Before apply transparency, the picture color depth\nneeds to be reduced to 256 colors or less.");
    EXPECT_EQ(boxes.back().type & 0x0F, UINT(MB_OKCANCEL));
}

TEST_F(PictureStudioTest, PreviewsStartAgainFromTheWorkingPicture)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    std::vector<BYTE> afterTwo;
    BOOL bHadTrialBefore = TRUE;
    Run(
        dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, StudioTint, TRUE); },
        {InDialog("Picture Tint",
             [&](HWND hTint) {
                 // The parameter dialog's notices, as a dialog with live
                 // previews sends them to Studio.
                 bHadTrialBefore = dlg.GetTrialPicture() != nullptr;
                 for (auto [nAmount, crColor] : {std::pair{100, RGB(200, 0, 0)}, std::pair{40, RGB(0, 0, 200)}}) {
                     EffectPreviewNotice notice;
                     notice.nFirst = nAmount;
                     notice.nSecond = static_cast<int>(crColor);
                     dlg.SendMessage(WM_EFFECT_PREVIEW, 0, reinterpret_cast<LPARAM>(&notice));
                 }
                 if (dlg.GetTrialPicture() != nullptr)
                     afterTwo = RasterBytes(dlg.GetTrialPicture()->m_nHandle);
                 PostClick(hTint, IDCANCEL);
             }),
            InStudio(dlg, [](CPictureStudioDlg&, HWND hDlg) { PostClick(hDlg, IDCANCEL); })});
    EXPECT_TRUE(bHadTrialBefore);
    CImage once;
    once.Copy(*pObj->m_pPicture);
    ASSERT_TRUE(once.ApplyEffect(20, 40, static_cast<int>(RGB(0, 0, 200))));
    EXPECT_EQ(afterTwo, RasterBytes(once.m_nHandle));
    EXPECT_EQ(dlg.GetPreviousPicture(), nullptr) << "a cancelled tint is not an adjustment";
    EXPECT_EQ(RasterBytes(dlg.GetWorkingPicture()->m_nHandle), RasterBytes(pObj->m_pPicture->m_nHandle));
}

TEST_F(PictureStudioTest, TintTakesItsIntensityAndColorOnOk)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    std::string startIntensity;
    BOOL bTickedAfter = FALSE;
    const size_t nBoxesBefore = platform::headless::MessageBoxes().size();
    Run(
        dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, StudioTint, TRUE); },
        {InDialog("Picture Tint",
             [&](HWND hTint) {
                 startIntensity = testing_support::ItemText(hTint, IDC_STUDIO_TINT_INTENSITY);
                 // Out of range: validation keeps the dialog open.
                 ::SetDlgItemText(hTint, IDC_STUDIO_TINT_INTENSITY, "0");
                 testing_support::Click(hTint, IDOK);
                 auto* pTint = dynamic_cast<CPictureTintDlg*>(CWnd::FromHandlePermanent(hTint));
                 ASSERT_NE(pTint, nullptr);
                 pTint->m_crColor = RGB(0, 128, 0);
                 ::SetDlgItemText(hTint, IDC_STUDIO_TINT_INTENSITY, "80");
                 PostClick(hTint, IDOK);
             }),
            InStudio(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
                bTickedAfter = IsTicked(d, StudioTint);
                PostClick(hDlg, IDOK);
            })});
    EXPECT_EQ(startIntensity, "50") << "a picture without a tint is offered half strength";
    EXPECT_GT(platform::headless::MessageBoxes().size(), nBoxesBefore) << "intensity 0 was refused";
    EXPECT_TRUE(bTickedAfter);
    int nAmount = 0;
    int nColor = 0;
    EXPECT_TRUE(dlg.GetWorkingPicture()->GetEffect(20, &nAmount, &nColor));
    EXPECT_EQ(nAmount, 80);
    EXPECT_EQ(COLORREF(nColor), RGB(0, 128, 0));
}

TEST_F(PictureStudioTest, TheEyedropperTakesTheColorItIsReleasedOn)
{
    CDrawRect* pObj = AddPicture(kPaletteBmp);
    const COLORREF crCorner = image_test::Pixel(*pObj->m_pPicture, 1, 1);
    ASSERT_NE(crCorner, CLR_INVALID);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    COLORREF crSwatch = CLR_INVALID;
    BOOL bEyedropper = FALSE;
    CRect rectPicture;
    Run(
        dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, StudioTransparent, TRUE); },
        {InDialog("Make Transparent",
             [&](HWND hPick) {
                 auto* pPick = dynamic_cast<CMakeTransparentDlg*>(CWnd::FromHandlePermanent(hPick));
                 ASSERT_NE(pPick, nullptr);
                 pPick->m_view.UpdateWindow();
                 pPick->m_view.SendMessage(WM_SETCURSOR, WPARAM(pPick->m_view.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                 bEyedropper = ::GetCursor() == AfxGetApp()->LoadCursor(IDC_STUDIO_EYEDROPPER);
                 rectPicture = pPick->m_view.GetPictureRect();
                 // Outside the picture nothing is taken.
                 const COLORREF crStart = pPick->GetColor();
                 pPick->m_view.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
                 EXPECT_EQ(pPick->GetColor(), crStart);
                 const CPoint point = rectPicture.TopLeft() + CSize(2, 2);
                 pPick->m_view.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
                 crSwatch = pPick->m_swatch.m_crColor;
                 PostClick(hPick, IDOK);
             }),
            InStudio(dlg, [](CPictureStudioDlg&, HWND hDlg) { PostClick(hDlg, IDOK); })});
    EXPECT_TRUE(bEyedropper);
    EXPECT_FALSE(rectPicture.IsRectEmpty());
    EXPECT_TRUE(image_test::Near(crSwatch, crCorner, 8)) << std::hex << crSwatch << " " << crCorner;
    BOOL bOn = FALSE;
    COLORREF crColor = 0;
    dlg.GetWorkingPicture()->GetTransparency(bOn, crColor);
    EXPECT_TRUE(bOn);
    EXPECT_EQ(crColor, crSwatch);
}

TEST_F(PictureStudioTest, MakeTransparentRefusesWhatTheDisplayCannotShow)
{
    struct Case {
        const char* pszPath;
        int nBits;
        const char* pszStart;
    } cases[] = {
        {kPaletteBmp, 4, "Cannot make a 16-color picture transparent."},
        {kPng, 32, "Only bitmaps (.bmp) and ZSoft Paintbrush (.pcx)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszPath);
        CImage picture(platform::WindowsPathFor(c.pszPath).c_str(), CImage::kDefaultLoadMode);
        ASSERT_TRUE(picture.IsRaster());
        const COLORREF crWhite = RGB(255, 255, 255);
        picture.SetTransparency(TRUE, &crWhite);
        platform::headless::SetScreen(1024, 768, c.nBits);
        CMakeTransparentDlg dlg(&picture, crWhite, m_pMain);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        platform::headless::SetScreen(1024, 768, 32);
        EXPECT_TRUE(dlg.IsRefused());
        EXPECT_EQ(dlg.GetColor(), COLORREF(0));
        EXPECT_FALSE(picture.HasTransparency());
        ASSERT_FALSE(platform::headless::MessageBoxes().empty());
        EXPECT_EQ(platform::headless::MessageBoxes().back().text.rfind(c.pszStart, 0), 0u);
        EXPECT_EQ(platform::headless::MessageBoxes().back().type & 0xF0, UINT(MB_ICONEXCLAMATION));
    }
}

TEST_F(PictureStudioTest, CancellingMakeTransparentKeepsTheTransparencyThePictureHad)
{
    CDrawRect* pObj = AddPicture(kPaletteBmp);
    const COLORREF crWhite = RGB(255, 255, 255);
    pObj->m_pPicture->SetTransparency(TRUE, &crWhite);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    BOOL bTicked = FALSE;
    Run(
        dlg, [&](CPictureStudioDlg& d, HWND) { Adjust(d, StudioTransparent, TRUE); },
        {InDialog("Make Transparent", [](HWND hPick) { PostClick(hPick, IDCANCEL); }),
            InStudio(dlg, [&](CPictureStudioDlg& d, HWND hDlg) {
                bTicked = IsTicked(d, StudioTransparent);
                PostClick(hDlg, IDOK);
            })});
    EXPECT_TRUE(bTicked);
    EXPECT_TRUE(dlg.GetWorkingPicture()->HasTransparency());
}

TEST_F(PictureStudioTest, EntriesNeverOfferedStillAnswerForTheirDialogs)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    const int nHandle = dlg.GetWorkingPicture()->m_nHandle;
    int cx = 0;
    int cy = 0;
    int nBits = 0;
    GetPicSize(nHandle, &cx, &cy, &nBits);

    int nFirst = 0;
    int nSecond = 0;
    CString strText;
    testing_support::DriveActiveWindow({InDialog("Resample", [](HWND hParam) { PostClick(hParam, IDOK); })});
    EXPECT_EQ(dlg.GetEffectParams(nHandle, StudioResample, nFirst, nSecond, strText), 1);
    EXPECT_EQ(nFirst, cx) << "Resample starts at the picture's size";
    EXPECT_EQ(nSecond, cy);

    const std::string path = platform::WindowsPathFor(kPng);
    testing_support::DriveActiveWindow({InDialog("Underlay", [&path](HWND hParam) {
        ::SetDlgItemText(hParam, IDC_EFX_COMBO, path.c_str());
        ::CheckRadioButton(hParam, IDC_EFX_RADIO1, IDC_EFX_RADIO2, IDC_EFX_RADIO2);
        PostClick(hParam, IDOK);
    })});
    EXPECT_EQ(dlg.GetEffectParams(nHandle, StudioUnderlay, nFirst, nSecond, strText), 1);
    EXPECT_EQ(nFirst, 1) << "stretched";
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(strText)), path);
    EXPECT_FALSE(dlg.ApplyToTrial(nHandle, StudioUnderlay, 1, 0, strText)) << "no effect kind to record";
}

TEST_F(PictureStudioTest, AskingForParametersNeedsAPictureAndAnEntryWithHandling)
{
    CDrawRect* pObj = AddPicture(kPng);
    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, m_pMain);
    int nFirst = 7;
    int nSecond = 7;
    CString strText = "x";
    EXPECT_EQ(dlg.GetEffectParams(kImageNoPicture, StudioGrayscale, nFirst, nSecond, strText), 0);
    EXPECT_EQ(nFirst, 0);
    EXPECT_EQ(nSecond, 0);
    EXPECT_TRUE(strText.IsEmpty());
    const int nHandle = dlg.GetWorkingPicture()->m_nHandle;
    EXPECT_EQ(dlg.GetEffectParams(nHandle, kStudioEntryCount, nFirst, nSecond, strText), 0);
    EXPECT_EQ(dlg.GetEffectParams(nHandle, -1, nFirst, nSecond, strText), 0);
    EXPECT_EQ(dlg.GetEffectParams(nHandle, StudioRotate, nFirst, nSecond, strText), 0);
    EXPECT_EQ(dlg.GetEffectParams(nHandle, StudioGrayscale, nFirst, nSecond, strText), 1);
    EXPECT_FALSE(dlg.ApplyToTrial(nHandle, StudioGrayscale, 1, 0, "")) << "no adjustment is running";
    EXPECT_EQ(EffectKindOfEntry(kStudioEntryCount), kEffectKindNone);
    EXPECT_EQ(EffectKindOfEntry(StudioTransparent), 22);
    EXPECT_EQ(EffectKindOfEntry(StudioFlipHorizontal), 16);
}

} // namespace

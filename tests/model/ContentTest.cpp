// The content operations of drawing objects: which content an object
// answers for, information fields, mail-merge fields, shrinking, cropping
// and the whole picture's rectangle, text editing operations.

#include "tests/model/ContentTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "platform/base/StringArray.h"
#include "platform/files/FileSystem.h"
#include "print/MergeSource.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using contenttest::NewLoadedPicture;

class ContentTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        platform::InitFileSystem();
    }
};

// ---- Which content an object answers for -------------------------------------------------------

TEST_F(ContentTest, PictureCountsOnlyWithoutTextAndCalendarsNeverHaveText)
{
    enum Picture { NoPicture, EmptyPicture, Loaded };
    enum Text { NoText, EmptyBlock, Block, Wrapped };
    struct Case {
        BOOL bCalendar;
        Picture picture;
        Text text;
        BOOL bHasPicture;
        BOOL bHasText;
    };
    const Case cases[] = {
        {FALSE, NoPicture, NoText, FALSE, FALSE},
        {FALSE, EmptyPicture, NoText, FALSE, FALSE},
        {FALSE, Loaded, NoText, TRUE, FALSE},
        {FALSE, NoPicture, EmptyBlock, FALSE, FALSE},
        {FALSE, NoPicture, Block, FALSE, TRUE},
        {FALSE, NoPicture, Wrapped, FALSE, TRUE},
        {FALSE, Loaded, Block, FALSE, TRUE},
        {FALSE, Loaded, Wrapped, FALSE, TRUE},
        {FALSE, Loaded, EmptyBlock, TRUE, FALSE},
        {TRUE, NoPicture, Block, FALSE, FALSE},
        {TRUE, NoPicture, Wrapped, FALSE, FALSE},
        {TRUE, Loaded, Block, TRUE, FALSE},
        {TRUE, Loaded, NoText, TRUE, FALSE},
    };
    for (const Case& c : cases) {
        CDrawRect obj(CRect(0, 100, 100, 0));
        if (c.bCalendar)
            obj.m_nCalendarStart = 2460000;
        if (c.picture == EmptyPicture)
            obj.m_pPicture = new CImage;
        if (c.picture == Loaded)
            obj.m_pPicture = NewLoadedPicture();
        if (c.text == EmptyBlock)
            obj.SetText("", TRUE);
        if (c.text == Block)
            obj.SetText("Hello", TRUE);
        if (c.text == Wrapped)
            obj.SetText("Hello", FALSE);
        const auto label = ::testing::Message() << "calendar " << c.bCalendar << " picture " << c.picture << " text "
                                                << c.text;
        EXPECT_EQ(obj.HasPicture(), c.bHasPicture) << label;
        EXPECT_EQ(obj.HasText(), c.bHasText) << label;
        EXPECT_EQ(obj.HasWrappedText(), c.text == Wrapped) << label;
    }
}

TEST_F(ContentTest, NaturalSizeIsThePicturesOrAHundredSquare)
{
    CDrawObj empty(CRect(0, 10, 10, 0));
    EXPECT_EQ(empty.GetNaturalSize(), CSize(100, 100));
    CDrawObj pictured(CRect(0, 10, 10, 0));
    pictured.m_pPicture = NewLoadedPicture(64, 48);
    EXPECT_EQ(pictured.GetNaturalSize(), CSize(64, 48));
}

// ---- Information fields ------------------------------------------------------------------------

TEST_F(ContentTest, InformationFieldsAreNamedByTheirHighestBitAndGrouped)
{
    struct Case {
        WORD wBits;
        const char* pszLabel;
        int nGroup;
    };
    const Case cases[] = {
        {0x0000, "none", 0},
        {0x0001, "To:", 1},
        {0x0002, "Message:", 2},
        {0x0004, "Closing:", 3},
        {0x0008, "From", 4},
        {0x0080, "Company Name", 4},
        {0x0800, "Misc:", 4},
        {0x0401, "Professional Title:", 4},
        {0x0003, "Message:", 2},
        {0x0005, "Closing:", 3},
        // Bits above field 12 name nothing.
        {0x1000, "none", 0},
    };
    CDrawObj obj;
    for (const Case& c : cases) {
        obj.m_wExtraFlags = c.wBits;
        EXPECT_EQ(CString(obj.GetInfoFieldDescription()), CString(c.pszLabel)) << std::hex << c.wBits;
        EXPECT_EQ(obj.GetInfoFieldGroup(), c.nGroup) << std::hex << c.wBits;
    }
}

TEST_F(ContentTest, SettingAnInformationFieldLeavesItAloneAndOthersClearAll)
{
    auto pDoc = modeltest::MakeDoc<CGeneralDoc>();
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_pDocument = pDoc.get();
    obj.m_wExtraFlags = 0x0401;
    obj.SetInfoField(7);
    EXPECT_EQ(obj.m_wExtraFlags, 0x0040);
    EXPECT_TRUE(pDoc->IsModified());
    obj.SetInfoField(12);
    EXPECT_EQ(obj.m_wExtraFlags, 0x0800);
    for (int n : {13, 0, -1, 1000}) {
        obj.m_wExtraFlags = 0x0FFF;
        obj.SetInfoField(n);
        EXPECT_EQ(obj.m_wExtraFlags, 0) << n;
    }
    // The record carries nothing else away.
    EXPECT_EQ(obj.m_position, CRect(0, 100, 100, 0));
}

// ---- Mail merge --------------------------------------------------------------------------------

class MergeTest : public ContentTest {
protected:
    void SetUp() override
    {
        ContentTest::SetUp();
        m_pDoc = modeltest::MakeDoc<CGeneralDoc>();
        m_obj.m_pDocument = m_pDoc.get();
    }
    void TearDown() override
    {
        m_obj.m_pDocument = nullptr;
        m_pDoc.reset();
        ContentTest::TearDown();
    }
    // Gives the document a text-file source reading these bytes.
    CTextMergeSource* UseFile(const std::string& bytes)
    {
        const std::string path = testing_support::MakeTempDir("merge") + "/list.txt";
        testing_support::WriteFileBytes(path, bytes);
        auto* pSource = new CTextMergeSource(m_pDoc.get());
        pSource->SetFileName(contenttest::WindowsPath(path));
        delete m_pDoc->m_pMergeSource;
        m_pDoc->m_pMergeSource = pSource;
        return pSource;
    }
    std::unique_ptr<CGeneralDoc> m_pDoc;
    CDrawObj m_obj{CRect(0, 100, 100, 0)};
};

TEST_F(MergeTest, NamesAndTextsComeFromATabSeparatedFile)
{
    CTextMergeSource* pSource = UseFile("Name\t City \tZip\r\nAnn\tOslo\t0150\r\n\r\nBob\tBergen\nCy\n");
    CStringArray names;
    ASSERT_EQ(m_obj.GetMergeFieldNames(names), 3);
    EXPECT_EQ(names[0], CString("Name"));
    EXPECT_EQ(names[1], CString("City"));
    EXPECT_EQ(names[2], CString("Zip"));
    EXPECT_EQ(pSource->GetRecordCount(), 3);

    EXPECT_EQ(m_obj.GetMergeFieldText(0), CString("Ann"));
    EXPECT_EQ(m_obj.GetMergeFieldText(2), CString("0150"));
    pSource->m_nCurrentRecord = 1;
    EXPECT_EQ(m_obj.GetMergeFieldText(1), CString("Bergen"));
    // A short record has empty fields; fields and records beyond are empty.
    EXPECT_EQ(m_obj.GetMergeFieldText(2), CString());
    EXPECT_EQ(m_obj.GetMergeFieldText(3), CString());
    EXPECT_EQ(m_obj.GetMergeFieldText(-1), CString());
    pSource->m_nCurrentRecord = 7;
    EXPECT_EQ(m_obj.GetMergeFieldText(0), CString());

    EXPECT_EQ(m_obj.GetMergeFieldIndex("city"), 1);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("NAME"), 0);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("ZIP"), 2);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("Street"), -1);
    EXPECT_EQ(m_obj.GetMergeFieldIndex(""), -1);

    // The document's form: field -1 gives the names, the separator first.
    CString strText;
    EXPECT_TRUE(m_pDoc->GetMergeFieldText(0, -1, strText));
    EXPECT_EQ(strText, CString("\tName\tCity\tZip"));
    EXPECT_TRUE(m_pDoc->GetMergeFieldText(2, 0, strText));
    EXPECT_EQ(strText, CString("Cy"));
    EXPECT_FALSE(m_pDoc->GetMergeFieldText(3, 0, strText));
    EXPECT_EQ(strText, CString());
}

TEST_F(MergeTest, TheFileIsReadAgainOnlyWhenAskedOrRenamed)
{
    const std::string path = testing_support::MakeTempDir("merge") + "/list.txt";
    testing_support::WriteFileBytes(path, "A\tB\n1\t2\n");
    auto* pSource = new CTextMergeSource(m_pDoc.get());
    pSource->SetFileName(contenttest::WindowsPath(path));
    m_pDoc->m_pMergeSource = pSource;
    EXPECT_EQ(m_obj.GetMergeFieldIndex("b"), 1);
    testing_support::WriteFileBytes(path, "C\n3\n");
    EXPECT_EQ(m_obj.GetMergeFieldIndex("b"), 1);
    CString strText;
    EXPECT_TRUE(m_pDoc->GetMergeFieldText(0, -1, strText, TRUE));
    EXPECT_EQ(strText, CString("\tC"));
    EXPECT_EQ(m_obj.GetMergeFieldIndex("b"), -1);
}

TEST_F(MergeTest, WithoutADocumentSourceOrFileThereAreNoFields)
{
    CStringArray names;
    names.Add("stale");
    EXPECT_EQ(m_obj.GetMergeFieldNames(names), 0);
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("Name"), -1);
    CString strText = "x";
    EXPECT_FALSE(m_pDoc->GetMergeFieldText(0, -1, strText));
    EXPECT_EQ(strText, CString());

    CDrawObj loose;
    EXPECT_EQ(loose.GetMergeFieldNames(names), -1);
    EXPECT_EQ(loose.GetMergeFieldText(0), CString());
    EXPECT_EQ(loose.GetMergeFieldIndex("Name"), -1);

    auto* pSource = new CTextMergeSource(m_pDoc.get());
    pSource->SetFileName("C:\\no\\such\\list.txt");
    m_pDoc->m_pMergeSource = pSource;
    EXPECT_EQ(m_obj.GetMergeFieldNames(names), 0);

    // The address book belongs to a program that is not here.
    delete m_pDoc->m_pMergeSource;
    m_pDoc->m_pMergeSource = new CAddrFileMergeSource(m_pDoc.get());
    EXPECT_EQ(m_obj.GetMergeFieldNames(names), 0);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("Name"), -1);
}

TEST_F(MergeTest, FieldsAndRecordsOfALargeFileAreBounded)
{
    std::string header;
    for (int i = 0; i < 300; ++i)
        header += "F" + std::to_string(i) + "\t";
    std::string bytes = header + "\n";
    for (int i = 0; i < CMergeSource::kMaxRecords + 50; ++i)
        bytes += "r" + std::to_string(i) + "\n";
    CTextMergeSource* pSource = UseFile(bytes);
    CStringArray names;
    EXPECT_EQ(m_obj.GetMergeFieldNames(names), CMergeSource::kMaxFields);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("f255"), 255);
    EXPECT_EQ(m_obj.GetMergeFieldIndex("f256"), -1);
    EXPECT_EQ(pSource->GetRecordCount(), CMergeSource::kMaxRecords);
}

// ---- Shrinking, cropping and the whole picture ---------------------------------------------------

TEST_F(ContentTest, ShrinkingWorksInSinglePrecisionAndKeepsOrientation)
{
    CDrawObj obj(CRect(0, 100, 200, 0));
    obj.ShrinkByPercent(10, TRUE, FALSE);
    EXPECT_EQ(obj.m_position, CRect(0, 100, 180, 0));

    CDrawObj reversed(CRect(200, 0, 0, 100));
    reversed.m_pPicture = NewLoadedPicture();
    reversed.ShrinkByPercent(10, TRUE, TRUE);
    EXPECT_EQ(reversed.m_position, CRect(200, 0, 20, 90));
    SIZE size{};
    reversed.m_pPicture->GetSize(size, FALSE);
    EXPECT_EQ(CSize(size), CSize(180, 90));
}

TEST_F(ContentTest, CropSumsThatDescribeNoPictureLeaveItUncropped)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    CDrawObj obj(CRect(10, 200, 110, 50));
    obj.m_dCropLeft = 0.25;
    for (double dSum : {0.0, -1.0, nan, inf, 1e-300}) {
        obj.m_dCropWidth = dSum;
        obj.m_dCropHeight = 0.5;
        EXPECT_EQ(obj.GetFullPictureRect(), obj.m_position) << dSum;
        obj.m_dCropWidth = 0.5;
        obj.m_dCropHeight = dSum;
        EXPECT_EQ(obj.GetFullPictureRect(), obj.m_position) << dSum;
    }
    // A base value can make a good crop sum bad, and a bad one good.
    obj.m_dCropWidth = 0.5;
    obj.m_dCropHeight = 0.5;
    obj.m_dBaseWidth = -0.5;
    EXPECT_EQ(obj.GetFullPictureRect(), obj.m_position);
    obj.m_dBaseWidth = 0.0;
    obj.m_dCropLeft = nan;
    EXPECT_EQ(obj.GetFullPictureRect(), obj.m_position);
    obj.m_dCropLeft = 0.25;
    EXPECT_EQ(obj.GetFullPictureRect(), CRect(-40, 200, 160, -100));
}

class ContentViewTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        modeltest::DesignViewTest::SetUp();
        platform::InitFileSystem();
    }
    CDrawObj* PlacePicture(const CRect& rect)
    {
        auto* pObj = new CDrawObj(rect);
        pObj->m_pPicture = NewLoadedPicture();
        m_pView->Add(pObj);
        return pObj;
    }
    static void ExpectNear(const CRect& a, const CRect& b, const ::testing::Message& label, int nUnits = 1)
    {
        EXPECT_LE(std::abs(a.left - b.left), nUnits) << label << " left " << a.left << " " << b.left;
        EXPECT_LE(std::abs(a.top - b.top), nUnits) << label << " top " << a.top << " " << b.top;
        EXPECT_LE(std::abs(a.right - b.right), nUnits) << label << " right " << a.right << " " << b.right;
        EXPECT_LE(std::abs(a.bottom - b.bottom), nUnits) << label << " bottom " << a.bottom << " " << b.bottom;
    }
};

TEST_F(ContentViewTest, CroppingThenAskingForTheWholePictureGivesItsRectangleBack)
{
    struct Crop {
        double l, t, w, h;
    };
    const Crop crops[] = {{0.25, 0.1, 0.5, 0.6}, {0.0, 0.0, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}, {0.1, 0.3, 0.8, 0.25}};
    // Normal order, stored reversed (as a default insertion rectangle is),
    // then each mirrored.
    const CRect rects[] = {CRect(-300, 400, 500, -200), CRect(500, -200, -300, 400)};
    for (int nZoom : {100, 200}) {
        SetZoom(nZoom);
        for (const CRect& rect : rects) {
            for (int nMirror = 0; nMirror < 4; ++nMirror) {
                for (const Crop& c : crops) {
                    CDrawObj* pObj = PlacePicture(rect);
                    pObj->Flip((nMirror & 1) != 0, (nMirror & 2) != 0);
                    const CRect whole = pObj->m_position;
                    pObj->SetCrop(c.l, c.t, c.w, c.h);
                    auto label = ::testing::Message() << "zoom " << nZoom << " rect " << rect.left << ","
                                                            << rect.top << " mirror " << nMirror << " crop " << c.l
                                                            << "," << c.t << "," << c.w << "," << c.h;
                    EXPECT_TRUE(pObj->IsPictureCropped()) << label;
                    EXPECT_EQ(pObj->m_rectUncropped, whole) << label;
                    // The visible part keeps the orientation and lies inside.
                    EXPECT_EQ(pObj->m_position.Width() < 0, whole.Width() < 0) << label;
                    EXPECT_EQ(pObj->m_position.Height() < 0, whole.Height() < 0) << label;
                    EXPECT_LT(std::abs(pObj->m_position.Width()), std::abs(whole.Width())) << label;
                    ExpectNear(pObj->GetFullPictureRect(), whole, label);
                    // Cropping again works from the whole picture as the
                    // first crop left it. The visible part's sides are
                    // whole units (and pixels), and the whole picture
                    // multiplies that rounding by 1 / fraction: 2 units here.
                    const CRect wholeAgain = pObj->GetFullPictureRect();
                    pObj->SetCrop(c.t, c.l, c.h, c.w);
                    ExpectNear(pObj->GetFullPictureRect(), wholeAgain, ::testing::Message(label) << " again", 2);
                }
            }
        }
    }
}

TEST_F(ContentViewTest, TheWholeCropUncropsAndCropsNeedAPicture)
{
    CDrawObj* pObj = PlacePicture(CRect(0, 300, 400, 0));
    pObj->SetCrop(0.25, 0.25, 0.5, 0.5);
    EXPECT_TRUE(pObj->IsPictureCropped());
    EXPECT_TRUE(pObj->m_wFlags & OBJ_FLAG_CROPPED);
    const CRect part = pObj->m_position;
    EXPECT_LE(std::abs(part.Width() - 200), 2);
    EXPECT_LE(std::abs(part.Height() + 150), 2);
    pObj->SetCrop(0.0, 0.0, 1.0, 1.0);
    EXPECT_FALSE(pObj->IsPictureCropped());
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_CROPPED);
    ExpectNear(pObj->m_position, CRect(0, 300, 400, 0), ::testing::Message() << "uncropped");
    // Fractions that are not numbers change nothing.
    const CRect before = pObj->m_position;
    pObj->SetCrop(std::numeric_limits<double>::quiet_NaN(), 0.0, 0.5, 0.5);
    EXPECT_EQ(pObj->m_position, before);

    auto* pBare = new CDrawObj(CRect(0, 300, 400, 0));
    m_pView->Add(pBare);
    pBare->SetCrop(0.25, 0.25, 0.5, 0.5);
    EXPECT_EQ(pBare->m_position, CRect(0, 300, 400, 0));
    EXPECT_EQ(pBare->m_dCropWidth, 1.0);
}

TEST_F(ContentViewTest, TurningAShapeRecordsAStepOnlyForANewAngle)
{
    auto* pRect = new CDrawRect(CRect(0, 100, 200, 0));
    m_pView->Add(pRect);
    m_pDoc->SetModifiedFlag(FALSE);
    CUndoList& undo = m_pDoc->GetUndoList();
    const int nSteps = undo.GetCount();
    pRect->RotateShape(-90);
    EXPECT_EQ(pRect->m_nAngle, -90);
    EXPECT_EQ(pRect->GetRoundedAngle(), 270);
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(undo.GetCount(), nSteps + 1);
    pRect->RotateShape(450);
    EXPECT_EQ(pRect->m_nAngle, 90);
    EXPECT_EQ(pRect->GetRoundedAngle(), 90);
    EXPECT_EQ(undo.GetCount(), nSteps + 2);
    // The same turn written another way changes nothing and records nothing.
    pRect->RotateShape(-270);
    pRect->RotateShape(90);
    EXPECT_EQ(pRect->m_dAngle, 90.0);
    EXPECT_EQ(undo.GetCount(), nSteps + 2);
    // Undone, the shape stands as it was before the last turn.
    ASSERT_TRUE(undo.Undo(m_pDoc));
    EXPECT_EQ(pRect->GetRoundedAngle(), 270);
}

// ---- Text --------------------------------------------------------------------------------------

TEST_F(ContentTest, WrappedTextRangesAreReplacedWithinTheText)
{
    auto pDoc = modeltest::MakeDoc<CGeneralDoc>();
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_pDocument = pDoc.get();
    obj.ReplaceText(0, 1, "x");
    EXPECT_FALSE(obj.HasText());
    obj.SetText("Hello world", FALSE);
    pDoc->SetModifiedFlag(FALSE);
    obj.ReplaceText(6, 11, "there");
    EXPECT_EQ(obj.GetText(), CString("Hello there"));
    EXPECT_TRUE(pDoc->IsModified());
    obj.ReplaceText(6, 0, "");
    EXPECT_EQ(obj.GetText(), CString("there"));
    obj.ReplaceText(-4, 100, "all");
    EXPECT_EQ(obj.GetText(), CString("all"));
    // Block text is not replaced by range.
    obj.SetText("Block", TRUE);
    obj.ReplaceText(0, 5, "x");
    EXPECT_EQ(obj.GetText(), CString("Block"));
}

TEST_F(ContentTest, TextSettingsAnswerForBlockAndWrappedText)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    EXPECT_EQ(obj.GetTextColumns(), 1);
    EXPECT_EQ(obj.GetTextRotation(), 0);
    EXPECT_FALSE(obj.HasMergeFields());
    EXPECT_FALSE(obj.TextKeyDown('A', 1, 0));
    EXPECT_FALSE(obj.TextSetSel(0, 1));

    obj.SetText("Dear @Name@", TRUE);
    EXPECT_TRUE(obj.HasMergeFields());
    obj.GetTextBlock()->SetColumns(3);
    EXPECT_EQ(obj.GetTextColumns(), 3);
    EXPECT_FALSE(obj.IsTextColorNone());
    obj.GetTextBlock()->m_crText = COLORREF(-1);
    EXPECT_TRUE(obj.IsTextColorNone());
    obj.m_pTextHolder->SetFont(-40, "Arial", 0);
    EXPECT_EQ(obj.GetTextBlock()->m_logfont.lfHeight, -40);
    EXPECT_EQ(obj.m_pTextHolder->GetText(), CString("Dear @Name@"));
    obj.m_wFlags |= OBJ_FLAG_DRAGGING;
    obj.SetTextRotation(30, TRUE);
    EXPECT_EQ(obj.GetTextRotation(), 30);
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_DRAGGING);

    CDrawObj wrapped(CRect(0, 100, 100, 0));
    wrapped.SetText("Words", FALSE);
    wrapped.SetTextRotation(45, TRUE);
    EXPECT_EQ(wrapped.GetTextRotation(), 45);
    EXPECT_EQ(wrapped.GetTextColumns(), 1);
}

TEST_F(ContentTest, EditingLocksTheObjectUntilItEnds)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.BeginTextEdit();
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_LOCKED);
    obj.SetText("Hello", TRUE);
    obj.BeginTextEdit();
    EXPECT_TRUE(obj.m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(obj.IsTextEditActive());
    obj.EndTextEdit();
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_FALSE(obj.IsTextEditActive());
    EXPECT_EQ(obj.GetText(), CString("Hello"));
}

TEST_F(ContentTest, SelectedTextTravelsThroughTheClipboard)
{
    CDrawObj source(CRect(0, 100, 100, 0));
    source.SetText("Hello world", TRUE);
    EXPECT_FALSE(source.HasTextSelection());
    source.TextSetSel(6, 11);
    EXPECT_TRUE(source.HasTextSelection());
    source.CopyText(TRUE);
    EXPECT_EQ(source.GetText(), CString("Hello "));

    CDrawObj target(CRect(0, 100, 100, 0));
    // Wrapped text keeps no caret of its own outside its editor: the paste
    // replaces a selection.
    target.SetText("Say  now", FALSE);
    target.m_pWrapText->SetSel(4, 4);
    EXPECT_FALSE(target.HasTextSelection());
    target.SetText("Say XX now", FALSE);
    target.m_pWrapText->SetSel(4, 6);
    target.PasteText();
    EXPECT_EQ(target.GetText(), CString("Say world now"));
    target.m_pWrapText->SetSel(0, 4);
    target.CopyText(FALSE);
    source.TextSetSel(0, 5);
    source.PasteText();
    EXPECT_EQ(source.GetText(), CString("Say  "));
}

} // namespace

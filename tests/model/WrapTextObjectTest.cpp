// Wrapped text as the drawing object holds it: its part of the object's
// record in the design file, byte for byte and from older versions; range
// replacement and the attribute record keeping the runs; a design saved and
// opened again run by run; in-place editing through real windows; and the
// object drawing its text.

#include "tests/model/ModelTestSupport.h"

#include "model/DesignArchive.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/ui/User.h"
#include "tests/support/TestHome.h"
#include "text/TextEditHost.h"
#include "text/TextOwner.h"
#include "text/WrapText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace {

using modeltest::MakeDoc;

// ---- Bytes -------------------------------------------------------------------------------------

class Bytes {
public:
    Bytes& W(WORD w) { return Put(&w, 2); }
    Bytes& D(DWORD d) { return Put(&d, 4); }
    Bytes& F(double d) { return Put(&d, 8); }
    // An archive string below 255 characters: its length byte, then it.
    Bytes& S(const std::string& s)
    {
        const BYTE n = static_cast<BYTE>(s.size());
        Put(&n, 1);
        return Put(s.data(), s.size());
    }
    Bytes& Raw(const std::string& s) { return Put(s.data(), s.size()); }
    const std::string& Str() const { return m_bytes; }

private:
    Bytes& Put(const void* p, size_t n)
    {
        m_bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
    std::string m_bytes;
};

// What the object writes: its record as the design file holds it.
std::string StoreObject(CDrawObj& obj)
{
    const std::string state = modeltest::ObjectState(&obj);
    return state.substr(0, state.size() - std::strlen(obj.GetRuntimeClass()->m_lpszClassName));
}

void LoadObject(CDrawObj& obj, CDocument* pDoc, const std::string& bytes)
{
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = pDoc;
    obj.Serialize(ar);
}

// The record of a plain object up to its text part, as every version from
// 26 on writes it (no picture): what the text part is appended to.
constexpr size_t kBaseBeforeText = 168;

// A version-24 base record before the text part, no picture.
Bytes BaseBeforeTextV24()
{
    Bytes b;
    for (int i = 0; i < 3; ++i)
        b.D(10).D(200).D(300).D(20);
    b.W(0).W(0x0001).W(0).D(0).D(0);
    b.D(1).D(PS_SOLID).D(1).D(0).D(0);
    b.D(0).D(BS_SOLID).D(0).D(0);
    b.D(0xFFFFFFFF).W(0);
    return b;
}

std::string ColorOf(COLORREF cr)
{
    return std::to_string(static_cast<unsigned long>(cr));
}

// Every position's colour and font, so that two texts compare run by run.
std::string RunsByPosition(const CWrapText& text)
{
    std::string out;
    for (int n = -1; n < text.GetLength(); ++n) {
        CString strFace;
        int nSize = 0;
        int nCharSet = 0;
        int nStyle = 0;
        text.GetFontAt(n, strFace, nSize, nCharSet, nStyle);
        out += std::to_string(n) + ":" + ColorOf(text.GetColorAt(n < 0 ? 0 : n, FALSE)) + "," + std::string(strFace)
            + "," + std::to_string(nSize) + "," + std::to_string(nStyle) + ";";
    }
    return out;
}

class WrapTextRecordTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        m_pDoc = MakeDoc<CDrawDoc>();
        m_pDoc->m_nFileVersion = 29;
    }
    void LoadAs(CDrawObj& obj, LONG nVersion, const std::string& bytes)
    {
        m_pDoc->m_nFileVersion = nVersion;
        LoadObject(obj, m_pDoc.get(), bytes);
        m_pDoc->m_nFileVersion = 29;
    }
    // Whether reading the bytes raises the archive's error.
    bool LoadFails(LONG nVersion, const std::string& bytes)
    {
        CDrawObj obj;
        try {
            LoadAs(obj, nVersion, bytes);
        } catch (CArchiveException* e) {
            e->Delete();
            m_pDoc->m_nFileVersion = 29;
            return true;
        }
        return false;
    }
    std::unique_ptr<CDrawDoc> m_pDoc;
};

// ---- The record --------------------------------------------------------------------------------

TEST_F(WrapTextRecordTest, AVersion29WrappedTextObjectIsWrittenByteForByteAndReadBack)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetText("Hi\r\nyou", FALSE);
    obj.m_pWrapText->SetColor(RGB(255, 0, 0), 0, 1);
    obj.m_pWrapText->SetJustification(3);
    obj.m_pWrapText->SetScale(1.25);
    obj.m_wTextFlags = 0x0102;
    obj.m_wExtraFlags = 0x0004;
    const std::string strFormat =
        "[(255,0,1),(" + ColorOf(::GetSysColor(COLOR_WINDOWTEXT)) + ",0,65000)][(Arial,1,0,24,0,65000)]";
    ASSERT_EQ(std::string(obj.m_pWrapText->GetFormatString()), strFormat);

    Bytes text;
    text.W(0).W(1).W(1);
    // The layout settings: rectangle 0, 0, 1, 1, word wrap, no hyphens, a
    // stale layout, full justification, spacing 1.25.
    text.D(0).D(0).D(1).D(1).D(1).D(0).D(1).W(3).F(1.25);
    text.S("Hi\nyou").S(strFormat);
    text.W(3).F(1.25);
    text.W(0x0102).W(0x0004);
    const std::string bytes = StoreObject(obj);
    ASSERT_GT(bytes.size(), kBaseBeforeText);
    EXPECT_EQ(bytes.substr(kBaseBeforeText), text.Str());

    CDrawObj back;
    LoadAs(back, 29, bytes);
    ASSERT_TRUE(back.HasWrappedText());
    EXPECT_EQ(back.GetText(), CString("Hi\nyou"));
    EXPECT_EQ(RunsByPosition(*back.m_pWrapText), RunsByPosition(*obj.m_pWrapText));
    EXPECT_EQ(back.m_pWrapText->GetJustification(), 3);
    EXPECT_EQ(back.m_pWrapText->GetScale(), 1.25);
    EXPECT_EQ(StoreObject(back), bytes);
}

TEST_F(WrapTextRecordTest, OlderVersionsKeepTheDefaultsAndASpacingNoTextCanHaveReadsAsSingle)
{
    // Version 24 has no layout settings: word wrap stays on, no hyphens;
    // justification and spacing come from the record's own fields.
    Bytes v24 = BaseBeforeTextV24();
    v24.W(0).W(1).W(1).S("ab").S("").W(2).F(1.5).W(0).W(0);
    CDrawObj old;
    LoadAs(old, 24, v24.Str());
    ASSERT_TRUE(old.HasWrappedText());
    EXPECT_EQ(old.GetText(), CString("ab"));
    EXPECT_TRUE(old.m_pWrapText->GetWordWrap());
    EXPECT_FALSE(old.m_pWrapText->GetHyphenate());
    EXPECT_EQ(old.m_pWrapText->GetJustification(), 2);
    EXPECT_EQ(old.m_pWrapText->GetScale(), 1.5);

    for (double dScale : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 0.05,
             10.5, -1.0}) {
        Bytes b = BaseBeforeTextV24();
        b.W(0).W(1).W(1).S("ab").S("").W(0).F(dScale).W(0).W(0);
        CDrawObj obj;
        LoadAs(obj, 24, b.Str());
        EXPECT_EQ(obj.m_pWrapText->GetScale(), 1.0) << dScale;
    }
}

TEST_F(WrapTextRecordTest, DamagedTextPartsRaiseTheArchiveError)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetText("Words and more words", FALSE);
    obj.m_pWrapText->SetColor(RGB(0, 0, 255), 3, 7);
    const std::string bytes = StoreObject(obj);
    // Cut anywhere in the text part, the record fails as a whole.
    for (size_t n = kBaseBeforeText; n < bytes.size(); ++n)
        EXPECT_TRUE(LoadFails(29, bytes.substr(0, n))) << "cut at " << n;
    // A text longer than wrapped text can hold is damaged data.
    Bytes longer = BaseBeforeTextV24();
    longer.W(0).W(1).W(1);
    const std::string strLong(65000, 'x');
    const BYTE bMark = 0xFF;
    longer.Raw(std::string(reinterpret_cast<const char*>(&bMark), 1)).W(WORD(strLong.size())).Raw(strLong);
    longer.S("").W(0).F(1.0).W(0).W(0);
    EXPECT_TRUE(LoadFails(24, longer.Str()));
}

// ---- Ranges and the attribute record -----------------------------------------------------------

class WrapTextContentTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        m_pDoc = MakeDoc<CGeneralDoc>();
        m_obj.m_pDocument = m_pDoc.get();
        m_obj.SetText("abcdef", FALSE);
        m_obj.m_pWrapText->SetColor(RGB(255, 0, 0), 0, 1);
        m_obj.m_pWrapText->SetColor(RGB(0, 0, 255), 4, 5);
        m_obj.m_pWrapText->SetFontRange(2, 3, "Courier New", 30, WRAP_STYLE_ITALIC);
        m_pDoc->SetModifiedFlag(FALSE);
    }
    void TearDown() override
    {
        m_obj.m_pDocument = nullptr;
        modeltest::ModelTest::TearDown();
    }
    CWrapText& Text() { return *m_obj.m_pWrapText; }
    std::unique_ptr<CGeneralDoc> m_pDoc;
    CDrawRect m_obj{CRect(0, 100, 300, 0)};
};

TEST_F(WrapTextContentTest, ReplacingARangeKeepsTheRunsAroundIt)
{
    const COLORREF crDefault = Text().GetColorAt(2, FALSE);
    m_obj.ReplaceText(4, 2, "XYZ");
    EXPECT_EQ(m_obj.GetText(), CString("abXYZef"));
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(Text().GetColorAt(1, FALSE), RGB(255, 0, 0));
    // The new characters look like the first one they replace.
    for (int n = 2; n <= 4; ++n) {
        EXPECT_EQ(Text().GetColorAt(n, FALSE), crDefault) << n;
        CString strFace;
        int nSize = 0;
        int nCharSet = 0;
        int nStyle = 0;
        Text().GetFontAt(n, strFace, nSize, nCharSet, nStyle);
        EXPECT_EQ(strFace, CString("Courier New")) << n;
        EXPECT_EQ(nStyle, WRAP_STYLE_ITALIC) << n;
    }
    EXPECT_EQ(Text().GetColorAt(5, FALSE), RGB(0, 0, 255));
    EXPECT_EQ(Text().GetColorAt(6, FALSE), RGB(0, 0, 255));

    // An empty range only inserts; an empty string there deletes nothing.
    m_obj.ReplaceText(0, 0, "");
    m_obj.ReplaceText(7, 7, "!");
    EXPECT_EQ(m_obj.GetText(), CString("abXYZef!"));

    // Past the limit the text stays as it was, unmodified.
    m_obj.SetText(CString(std::string(kWrapMaxLength - 2, 'a').c_str()), FALSE);
    m_pDoc->SetModifiedFlag(FALSE);
    m_obj.ReplaceText(0, 0, "xyz");
    EXPECT_EQ(m_obj.GetText().GetLength(), kWrapMaxLength - 2);
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(WrapTextContentTest, TheRecordCarriesTheLookAtTheSelectionAndGivesANewOneToTheWholeText)
{
    Text().SetSel(2, 4);
    CObjectAttributes attrs;
    m_obj.GetAttributes(attrs);
    EXPECT_STREQ(attrs.m_logfont.lfFaceName, "Courier New");
    EXPECT_EQ(attrs.m_logfont.lfHeight, 30);
    EXPECT_EQ(attrs.m_logfont.lfItalic, 1);
    EXPECT_EQ(attrs.m_logfont.lfWeight, 400);
    EXPECT_STREQ(attrs.m_strWrapFormat, Text().GetFormatString());
    Text().ClearSel();
    m_obj.GetAttributes(attrs);
    EXPECT_STREQ(attrs.m_logfont.lfFaceName, "Arial");
    EXPECT_EQ(attrs.m_crText, RGB(255, 0, 0));

    // Handed back as it was read, the record leaves every run in place,
    // also when it was read at a selection the text no longer has.
    const std::string runs = RunsByPosition(Text());
    m_obj.SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_EQ(RunsByPosition(Text()), runs);
    Text().SetSel(3, 5);
    CObjectAttributes atSelection;
    m_obj.GetAttributes(atSelection);
    Text().ClearSel();
    m_obj.SetAttributes(atSelection, FALSE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_EQ(RunsByPosition(Text()), runs);
    // A clone too, a face longer than a LOGFONT holds included.
    Text().SetFontRange(0, 0, "A Face Whose Name Runs Past Thirty-One", 0, 0);
    Text().SetSel(1, 3);
    std::unique_ptr<CDrawObj> pClone(m_obj.Clone(nullptr, nullptr));
    ASSERT_TRUE(pClone != nullptr && pClone->HasWrappedText());
    EXPECT_EQ(RunsByPosition(*pClone->m_pWrapText), RunsByPosition(Text()));
    EXPECT_FALSE(pClone->m_pWrapText->HasSel());
    Text().ClearSel();

    // With a new look, the third option gives it to every character.
    std::strcpy(attrs.m_logfont.lfFaceName, "Times New Roman");
    attrs.m_logfont.lfHeight = -18;
    attrs.m_logfont.lfWeight = 700;
    attrs.m_logfont.lfItalic = 0;
    attrs.m_logfont.lfUnderline = 1;
    attrs.m_crText = RGB(0, 128, 0);
    // Without the option nothing of the look is taken.
    m_obj.SetAttributes(attrs, FALSE, FALSE, FALSE, FALSE, FALSE);
    EXPECT_EQ(RunsByPosition(Text()), runs);
    m_obj.SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_EQ(m_obj.GetText(), CString("abcdef"));
    for (int n = -1; n < 6; ++n) {
        CString strFace;
        int nSize = 0;
        int nCharSet = 0;
        int nStyle = 0;
        Text().GetFontAt(n, strFace, nSize, nCharSet, nStyle);
        EXPECT_EQ(strFace, CString("Times New Roman")) << n;
        EXPECT_EQ(nSize, 18) << n;
        EXPECT_EQ(nStyle, WRAP_STYLE_BOLD | WRAP_STYLE_UNDERLINE) << n;
        EXPECT_EQ(Text().GetColorAt(n < 0 ? 0 : n, FALSE), RGB(0, 128, 0)) << n;
    }
}

// ---- Design files ------------------------------------------------------------------------------

class WrapTextDesignTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("wraptext");
    }
    std::string m_dir;
};

TEST_F(WrapTextDesignTest, ADesignSavedAndOpenedKeepsItsTextRunByRun)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_NE(pView, nullptr);
    auto* pObj = new CDrawRect(CRect(-200, 300, 200, 100));
    pDoc->AddObject(pObj, pView);
    pObj->SetText("Hello\nwide-world = fine", FALSE);
    CWrapText& text = *pObj->m_pWrapText;
    text.SetColor(RGB(200, 0, 0), 0, 4);
    text.SetColor(RGB(0, 0, 200), 11, 15);
    text.SetFontRange(6, 9, "Courier New", 36, WRAP_STYLE_BOLD | WRAP_STYLE_ITALIC);
    text.SetDefaultFont("Arial", 20, 1, WRAP_STYLE_UNDERLINE);
    text.SetJustification(2);
    text.SetScale(1.5);
    // Turned as the rotation handle turns it: the file keeps one angle.
    pObj->SetAngle(90.0);
    pObj->SetTextRotation(90, TRUE);
    const std::string runs = RunsByPosition(text);
    const CString strFormat = text.GetFormatString();

    const std::string path = platform::WindowsPathFor(m_dir + "/text.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();

    CDocTemplate* pTemplate = nullptr;
    for (POSITION pos = App()->GetFirstDocTemplatePosition(); pos != nullptr;)
        pTemplate = App()->GetNextDocTemplate(pos);
    ASSERT_NE(pTemplate, nullptr);
    auto* pOpened = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(path.c_str()));
    Pump();
    ASSERT_NE(pOpened, nullptr);
    CSurface* pOpenedView = ViewOf(pOpened, 0);
    ASSERT_NE(pOpenedView, nullptr);
    CDrawObj* pBack = nullptr;
    for (POSITION pos = pOpenedView->GetObjects().GetHeadPosition(); pos != nullptr;) {
        auto* pEach = static_cast<CDrawObj*>(pOpenedView->GetObjects().GetNext(pos));
        if (pEach->HasWrappedText())
            pBack = pEach;
    }
    ASSERT_NE(pBack, nullptr);
    EXPECT_EQ(pBack->GetText(), CString("Hello\nwide-world = fine"));
    EXPECT_EQ(RunsByPosition(*pBack->m_pWrapText), runs);
    EXPECT_STREQ(pBack->m_pWrapText->GetFormatString(), strFormat);
    EXPECT_EQ(pBack->m_pWrapText->GetJustification(), 2);
    EXPECT_EQ(pBack->m_pWrapText->GetScale(), 1.5);
    EXPECT_EQ(pBack->GetTextRotation(), 90);
    pOpened->OnCloseDocument();
    Pump();
}

// ---- In-place editing --------------------------------------------------------------------------

class WrapTextEditTest : public modeltest::DesignViewTest {
protected:
    CDrawRect* AddText(const CRect& rect, const char* pszText)
    {
        auto* pObj = new CDrawRect(rect);
        m_pDoc->AddObject(pObj, m_pView);
        pObj->SetText(pszText, FALSE);
        return pObj;
    }
    // The object's unrotated rectangle in the view's client pixels.
    CRect ClientRectOf(const CDrawObj* pObj)
    {
        CRect rect = pObj->m_rectUnrotated;
        m_pView->LPtoDPRect(&rect);
        rect.NormalizeRect();
        return rect;
    }
    static void Type(HWND hWnd, const char* psz)
    {
        for (const char* p = psz; *p != '\0'; ++p)
            ::SendMessage(hWnd, WM_CHAR, static_cast<BYTE>(*p), 1);
    }
};

TEST_F(WrapTextEditTest, OpeningWrappedTextEditsItInAWindowOverTheObject)
{
    CDrawRect* pObj = AddText(CRect(-200, 200, 200, 0), "Hello");
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    pObj->OnOpen(m_pView, 5, nullptr, nullptr, 0);
    ASSERT_TRUE(pObj->IsTextEditActive());
    CTextEditHost* pHost = pObj->m_pTextEditor;
    ASSERT_NE(pHost, nullptr);
    ASSERT_NE(pHost->m_hWnd, nullptr);
    EXPECT_EQ(::GetParent(pHost->m_hWnd), m_pView->m_hWnd);
    EXPECT_TRUE(::IsWindowVisible(pHost->m_hWnd));
    EXPECT_TRUE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);
    // Six pixels of frame all round the object.
    CRect host;
    ::GetWindowRect(pHost->m_hWnd, &host);
    m_pView->ScreenToClient(&host);
    CRect expected = ClientRectOf(pObj);
    expected.InflateRect(6, 6);
    EXPECT_EQ(host, expected);
    EXPECT_EQ(pHost->GetEditor().GetText(), pObj->m_pWrapText);
    // The keys go to the editor.
    const HWND hFocus = ::GetFocus();
    EXPECT_TRUE(hFocus == pHost->m_hWnd || ::IsChild(pHost->m_hWnd, hFocus));

    // A second begin while editing changes nothing.
    pObj->BeginTextEdit();
    EXPECT_EQ(pObj->m_pTextEditor, pHost);
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);

    const HWND hHost = pHost->m_hWnd;
    pObj->EndTextEdit();
    EXPECT_FALSE(pObj->IsTextEditActive());
    EXPECT_EQ(pObj->m_pTextEditor, nullptr);
    EXPECT_FALSE(::IsWindow(hHost));
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_FALSE(pObj->m_pWrapText->m_bEditing);
    EXPECT_EQ(::GetFocus(), m_pView->m_hWnd);
}

TEST_F(WrapTextEditTest, WhatIsTypedIsWrittenBackAndUndoneAsOneStep)
{
    CDrawRect* pObj = AddText(CRect(-200, 200, 200, 0), "");
    pObj->m_pWrapText->SetColor(RGB(0, 0, 160), 0, kWrapTextEnd);
    m_pDoc->SetModifiedFlag(FALSE);
    const CString strFormatBefore = pObj->m_pWrapText->GetFormatString();
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    CTextEditWnd& editor = pObj->m_pTextEditor->GetEditor();
    ASSERT_NE(editor.m_hWnd, nullptr);
    Type(editor.m_hWnd, "Hi\rthere");
    EXPECT_EQ(pObj->GetText(), CString("Hi\nthere"));
    // The clipboard commands go to the editor; its selection goes with it.
    EXPECT_FALSE(pObj->HasTextSelection());
    editor.SetSel(0, 2);
    EXPECT_TRUE(pObj->HasTextSelection());
    pObj->CopyText(FALSE);
    pObj->PasteText();
    EXPECT_EQ(pObj->GetText(), CString("Hi\nthere"));
    editor.SetSel(0, 2);
    pObj->EndTextEdit();
    EXPECT_EQ(pObj->GetText(), CString("Hi\nthere"));
    EXPECT_FALSE(pObj->m_pWrapText->HasSel());
    EXPECT_EQ(pObj->m_pWrapText->GetColorAt(3, FALSE), RGB(0, 0, 160));
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);

    ASSERT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_EQ(pObj->GetText(), CString(""));
    EXPECT_STREQ(pObj->m_pWrapText->GetFormatString(), strFormatBefore);
}

TEST_F(WrapTextEditTest, AnObjectDeletedWhileEditedTakesItsEditorWithIt)
{
    CDrawRect* pObj = AddText(CRect(-200, 200, 200, 0), "Hello");
    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    const HWND hHost = pObj->m_pTextEditor->m_hWnd;
    m_pView->Remove(pObj, TRUE);
    delete pObj;
    EXPECT_FALSE(::IsWindow(hHost));
    Pump();
}

TEST_F(WrapTextEditTest, TextAsksTheViewShowingItsOwnerForZoomAndPaper)
{
    CDrawRect* pObj = AddText(CRect(-200, 200, 200, 0), "x");
    ASSERT_NE(GetTextOwnerServices().pfnZoom, nullptr);
    SetZoom(200);
    EXPECT_EQ(TextOwnerZoom(pObj), 200);
    m_pDoc->m_crPaper = RGB(250, 240, 200);
    EXPECT_EQ(TextOwnerBackground(pObj), RGB(250, 240, 200));
    EXPECT_NE(GetTextOwnerServices().pfnPaintFill, nullptr);
    EXPECT_NE(GetTextOwnerServices().pfnCreateWarpShape, nullptr);
}

// ---- Drawing -----------------------------------------------------------------------------------

class WrapTextDrawTest : public WrapTextEditTest {
protected:
    // The dark pixels inside a device rectangle: how many, their middle
    // column, and how far that lies from the middle of their own bounds
    // (negative: the weight is on the left, as an "L"'s is).
    struct Ink {
        int count = 0;
        double centre = 0;
        double lean = 0;
    };
    static Ink InkIn(modeltest::ViewBitmap& bitmap, const CRect& device)
    {
        Ink ink;
        double sum = 0;
        int left = device.right;
        int right = device.left;
        for (int y = device.top; y < device.bottom; ++y) {
            for (int x = device.left; x < device.right; ++x) {
                const COLORREF c = bitmap.At(CPoint(x, y));
                if (GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96) {
                    sum += x;
                    ++ink.count;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        if (ink.count > 0) {
            ink.centre = sum / ink.count;
            ink.lean = ink.centre - (left + right) / 2.0;
        }
        return ink;
    }
    CDrawRect* AddLetter(const CRect& rect)
    {
        CDrawRect* pObj = AddText(rect, "L");
        pObj->m_bOutline = FALSE;
        pObj->m_pWrapText->SetDefaultFont("Arial", 48, 1, 0);
        pObj->m_pWrapText->SetColor(RGB(0, 0, 0), 0, kWrapTextEnd);
        return pObj;
    }
};

TEST_F(WrapTextDrawTest, AFlippedObjectShowsItsTextMirrored)
{
    CDrawRect* pObj = AddLetter(CRect(-100, 100, 100, -100));
    const CRect device = ClientRectOf(pObj);
    modeltest::ViewBitmap plain(m_pView);
    pObj->Draw(plain.Dc());
    const Ink read = InkIn(plain, device);
    ASSERT_GT(read.count, 20);
    EXPECT_LT(read.lean, -1.0);
    EXPECT_LT(read.centre, device.CenterPoint().x);

    // Flipped left to right, the letter stands at the box's right, its
    // weight on its right.
    pObj->Flip(TRUE, FALSE);
    ASSERT_TRUE(pObj->IsMirroredX());
    modeltest::ViewBitmap flipped(m_pView);
    pObj->Draw(flipped.Dc());
    const Ink mirrored = InkIn(flipped, device);
    ASSERT_GT(mirrored.count, 20);
    EXPECT_GT(mirrored.lean, 1.0);
    EXPECT_GT(mirrored.centre, device.CenterPoint().x);
}

TEST_F(WrapTextDrawTest, TextIsDrawnOnlyInABoxOfMoreThanThreePixelsAndNotWhileEdited)
{
    CDrawRect* pObj = AddLetter(CRect(-100, 100, 100, -100));
    const CRect device = ClientRectOf(pObj);
    modeltest::ViewBitmap shown(m_pView);
    pObj->Draw(shown.Dc());
    EXPECT_GT(InkIn(shown, device).count, 20);

    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    modeltest::ViewBitmap edited(m_pView);
    pObj->Draw(edited.Dc());
    EXPECT_EQ(InkIn(edited, device).count, 0);
    pObj->EndTextEdit();

    // At 100 % a unit is at most a pixel: a box of three units is at most
    // three pixels each way and draws no text.
    pObj->m_position = pObj->m_rectUnrotated = CRect(0, 3, 3, 0);
    modeltest::ViewBitmap tiny(m_pView);
    pObj->Draw(tiny.Dc());
    CRect around = ClientRectOf(pObj);
    around.InflateRect(40, 40);
    EXPECT_EQ(InkIn(tiny, around).count, 0);
}

} // namespace

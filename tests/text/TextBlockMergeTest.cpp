// Mail-merge fields of block text: where a field lies, how escapes come
// off, and the replacement from the document's tab-separated merge file
// that printing draws, which leaves the block's own text alone.

#include "tests/model/ContentTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#include "model/TextContentHolder.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileSystem.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PreviewDc.h"
#include "platform/ui/User.h"
#include "print/MergeSource.h"
#include "text/DesignArchive.h"
#include "text/TextBlock.h"

#include "tests/base/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace {

TEST(TextBlockMergeFields, ASignTooFarAwayStartsTheNextField)
{
    // 101 apart the second sign is a new start, and the block notes the
    // field it opens; "@@" is a field of no name.
    struct Case {
        CString text;
        int nStart, nEnd;
    };
    for (const Case& c : {Case{"@" + CString('n', 100) + "@x@", 101, 103}, Case{"@@", 0, 1},
             Case{"\\@Name@", -1, -1}}) {
        int nStart = 7;
        int nEnd = 7;
        EXPECT_EQ(CTextBlock::FindMergeField(c.text, nStart, nEnd), c.nStart >= 0);
        EXPECT_EQ(nStart, c.nStart);
        EXPECT_EQ(nEnd, c.nEnd);
        CTextBlock block(nullptr);
        block.SetText(c.text);
        EXPECT_EQ(block.HasMergeFields(), c.nStart >= 0);
    }
}

TEST(TextBlockMergeFields, UnescapingKeepsWhatTheEscapesStandFor)
{
    struct Case {
        const char* pszIn;
        const char* pszOut;
    };
    const Case cases[] = {
        {"a\\\\b\\@c\\xd\\", "a\\b@c\\xd"},
        {"\\\\\\@", "\\@"},
        {"\\", ""},
        {"plain", "plain"},
        {"\\\\\\", "\\"},
        {"@\\@@", "@@@"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CTextBlock::UnescapeMergeText(c.pszIn), c.pszOut) << c.pszIn;
}

class TextBlockMergeTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        platform::InitFileSystem();
        m_pDoc = modeltest::MakeDoc<CGeneralDoc>();
        m_obj.m_pDocument = m_pDoc.get();
    }
    void TearDown() override
    {
        m_obj.m_pDocument = nullptr;
        m_pDoc.reset();
        modeltest::ModelTest::TearDown();
    }
    CTextMergeSource* UseFile(const std::string& bytes)
    {
        const std::string path = testing_support::MakeTempDir("blockmerge") + "/list.txt";
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

TEST_F(TextBlockMergeTest, FieldsTakeTheCurrentRecordAndUnknownNamesStay)
{
    const CString text = "Dear @name@ of @CITY@,\n@Street@ \\@Zip\\@ @zip@ mail\\@home";
    CTextBlock block(&m_obj);
    block.SetText(text);
    ASSERT_TRUE(block.HasMergeFields());

    // Without a source every field stays as typed.
    EXPECT_STREQ(block.ReplaceMergeFields(block.GetLaidText()), text);

    CTextMergeSource* pSource = UseFile("Name\tCity\tZip\r\nAnn\tOslo\t0150\r\nBob\tBergen\t5003\r\n");
    EXPECT_STREQ(block.ReplaceMergeFields(block.GetLaidText()),
                 "Dear Ann of Oslo,\n@Street@ \\@Zip\\@ 0150 mail\\@home");
    pSource->m_nCurrentRecord = 1;
    EXPECT_STREQ(block.ReplaceMergeFields(block.GetLaidText()),
                 "Dear Bob of Bergen,\n@Street@ \\@Zip\\@ 5003 mail\\@home");
    // Fields side by side are both replaced; an unknown one stays as typed.
    EXPECT_STREQ(block.ReplaceMergeFields("@city@@zip@"), "Bergen5003");
    EXPECT_STREQ(block.ReplaceMergeFields("@\\@x@"), "@\\@x@");
    EXPECT_STREQ(block.GetText(), text);

    // The holder's copy of the block answers the same way for its owner.
    CTextContentHolder holder(&m_obj);
    holder.GetBlock()->SetText("@ZIP@");
    EXPECT_STREQ(holder.GetBlock()->ReplaceMergeFields(holder.GetBlock()->GetLaidText()), "5003");
}

// What a block draws into a 400 x 60 frame on a memory DC, as a screen, a
// printer or a print preview sees it.
enum class Device { Screen, Printer, Preview };

std::vector<COLORREF> Drawn(CTextBlock& block, Device device)
{
    CDC memory;
    EXPECT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    HDC hScreen = ::GetDC(NULL);
    bitmap.Attach(::CreateCompatibleBitmap(hScreen, 400, 60));
    ::ReleaseDC(NULL, hScreen);
    CBitmap* pOld = memory.SelectObject(&bitmap);
    memory.PatBlt(0, 0, 400, 60, WHITENESS);
    block.SetRect(CRect(0, 0, 400, 60));
    if (device == Device::Preview) {
        CPreviewDC preview;
        preview.SetAttribDC(memory.GetSafeHdc());
        preview.SetOutputDC(memory.GetSafeHdc());
        preview.m_bPrinting = TRUE;
        block.Draw(&preview);
        preview.ReleaseOutputDC();
        preview.ReleaseAttribDC();
    } else {
        memory.m_bPrinting = device == Device::Printer;
        block.Draw(&memory);
        memory.m_bPrinting = FALSE;
    }
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x)
            pixels.push_back(memory.GetPixel(x, y));
    memory.SelectObject(pOld);
    return pixels;
}

TEST_F(TextBlockMergeTest, PrintingDrawsTheMergedTextAndKeepsTheTypedOne)
{
    thePrintPrefs.Printing = 0x0010;
    UseFile("Name\tCity\r\nAnn\tOslo\r\n");
    const CString typed = "Hi @NAME@ @city@ @Street@";
    auto makeBlock = [this](const CString& text) {
        auto pBlock = std::make_unique<CTextBlock>(&m_obj);
        pBlock->SetFont(-20, "Liberation Mono", 0);
        pBlock->m_crText = RGB(0, 0, 0);
        pBlock->SetText(text);
        return pBlock;
    };
    auto pBlock = makeBlock(typed);
    auto pMerged = makeBlock("Hi Ann Oslo @Street@");

    const std::vector<COLORREF> printed = Drawn(*pBlock, Device::Printer);
    EXPECT_EQ(printed, Drawn(*pMerged, Device::Printer));
    EXPECT_STREQ(pBlock->GetText(), typed);
    EXPECT_TRUE(pBlock->HasMergeFields());

    // The screen and print preview show the fields as typed.
    // Without a source they print as typed too.
    auto pTyped = makeBlock(typed);
    delete m_pDoc->m_pMergeSource;
    m_pDoc->m_pMergeSource = nullptr;
    const std::vector<COLORREF> printedAsTyped = Drawn(*pTyped, Device::Printer);
    const std::vector<COLORREF> previewAsTyped = Drawn(*pTyped, Device::Preview);
    const std::vector<COLORREF> screenAsTyped = Drawn(*pTyped, Device::Screen);
    EXPECT_NE(printedAsTyped, printed);
    EXPECT_NE(std::count(previewAsTyped.begin(), previewAsTyped.end(), RGB(255, 255, 255)),
              static_cast<std::ptrdiff_t>(previewAsTyped.size()));
    UseFile("Name\tCity\r\nAnn\tOslo\r\n");
    EXPECT_EQ(Drawn(*pBlock, Device::Preview), previewAsTyped);
    EXPECT_EQ(Drawn(*pBlock, Device::Screen), screenAsTyped);
    EXPECT_STREQ(pBlock->GetText(), typed);
}

TEST_F(TextBlockMergeTest, TheHolderTurnsItsOwnerAndKeepsDefaultsOfOlderDesigns)
{
    // A block record of a version-20 design: no stored values 4 and 5.
    CTextBlock source(nullptr);
    source.SetGeometry(-45, CRect(), CRect());
    source.SetText("Old");
    source.m_nStoredValue4 = 42;
    source.m_nStoredValue5 = 43;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        source.Serialize(ar);
        ar.Close();
    }
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    bytes.resize(bytes.size() - 8);

    const DesignArchiveSource previous = GetDesignArchiveSource();
    SetDesignArchiveSource([](const CArchive&, DesignArchiveInfo& info) {
        info.nVersion = 20;
        info.nHeaderValue = 0;
        return TRUE;
    });
    CTextContentHolder holder(&m_obj);
    const int nResult = archive_test::LoadFailure(bytes, [&](CArchive& ar) { holder.Serialize(ar); });
    SetDesignArchiveSource(previous);
    ASSERT_EQ(nResult, -1);
    EXPECT_EQ(m_obj.m_nAngle, 315);
    EXPECT_STREQ(holder.GetText(), "Old");
    EXPECT_EQ(holder.GetBlock()->m_nStoredValue4, 0);
    EXPECT_EQ(holder.GetBlock()->m_nStoredValue5, 1);
}

} // namespace

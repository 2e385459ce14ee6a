// The readers the open dialogs use without opening a design: the preview of
// a design or of an older flat file, the line of text, and the messages for
// their results. Files of other programs are untrusted: their counts must
// never make a reader allocate more than the file holds.

#include "tests/model/ModelTestSupport.h"

#include "app/main/DesignerApp.h"
#include "app/main/DocTemplates.h"
#include "controls/DesignFileKind.h"
#include "model/DocQuickInfoFile.h"
#include "model/ProjectKinds.h"
#include "pictures/Image.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "platform/storage/Storage.h"
#include "tests/app/StorageTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Le32(DWORD v)
{
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The file image of a small JPEG picture of one colour.
std::string JpegBytes(int cx, int cy, COLORREF cr)
{
    LTBITMAP bitmap;
    EXPECT_EQ(LtAllocateBitmap(&bitmap, cx, cy, 24), LT_SUCCESS);
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            BYTE* p = bitmap.Pixels.data() + y * bitmap.BytesPerLine + x * 3;
            p[0] = GetBValue(cr);
            p[1] = GetGValue(cr);
            p[2] = GetRValue(cr);
        }
    }
    HGLOBAL hBlock = NULL;
    DWORD nSize = 0;
    EXPECT_EQ(LtSaveToMemory(&hBlock, &bitmap, LT_FORMAT_JPEG, 24, 0, &nSize), LT_SUCCESS);
    std::string bytes(static_cast<const char*>(GlobalLock(hBlock)), nSize);
    GlobalUnlock(hBlock);
    GlobalFree(hBlock);
    return bytes;
}

// A template whose document strings are given, standing for a kind of the
// sibling programs' files.
class CStringsTemplate : public CDesignDocTemplate {
public:
    CStringsTemplate(int nKind, const char* pszStrings)
        : CDesignDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CSurfaceFrame),
              RUNTIME_CLASS(CSurface), IDR_GENERALTYPE, nKind)
        , m_strStrings(pszStrings)
    {
    }
    BOOL GetDocString(CString& rString, enum DocStringIndex index) const override
    {
        // Fields separated by '\n', as a document-string resource.
        int nField = 0;
        rString.Empty();
        for (const char* p = m_strStrings; *p != '\0'; ++p) {
            if (*p == '\n')
                ++nField;
            else if (nField == static_cast<int>(index))
                rString += *p;
        }
        return !rString.IsEmpty();
    }

private:
    CString m_strStrings;
};

class DesignPreviewReadersTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        m_dir = testing_support::MakeTempDir("previewreaders");
        m_nSavedPlatform = g_nPlatform;
    }
    void TearDown() override
    {
        g_nPlatform = m_nSavedPlatform;
        WindowModelTest::TearDown();
    }
    std::string PathFor(const std::string& name) { return platform::WindowsPathFor(m_dir + "/" + name); }
    std::string FlatFile(const std::string& name, const std::string& bytes)
    {
        testing_support::WriteFileBytes(m_dir + "/" + name, bytes);
        return PathFor(name);
    }
    void AddTemplate(CDocTemplate* pTemplate) { App()->AddDocTemplate(pTemplate); }

    std::string m_dir;
    int m_nSavedPlatform = 1;
};

TEST_F(DesignPreviewReadersTest, SurfaceMinusOneTakesTheFirstSurfaceAndGivesTheLayoutsSecondValue)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    DocQuickInfo info = pDoc->GetQuickInfo();
    info[DocQuickInfo::Unset] = 7;
    pDoc->SetQuickInfo(info);
    const std::string path = PathFor("seven.gnl");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();

    CImage picture;
    LONG nValue = -99;
    EXPECT_EQ(ReadDesignPreview(path.c_str(), &picture, -1, CImage::kDefaultLoadMode, &nValue), S_OK);
    EXPECT_EQ(nValue, 7);
    EXPECT_TRUE(picture.IsRaster());

    // A surface asked for by number leaves the value 0; one the design
    // keeps no picture of gives no picture.
    nValue = -99;
    EXPECT_EQ(ReadDesignPreview(path.c_str(), &picture, 0, CImage::kDefaultLoadMode, &nValue), S_OK);
    EXPECT_EQ(nValue, 0);
    EXPECT_EQ(ReadDesignPreview(path.c_str(), &picture, 1, CImage::kDefaultLoadMode, nullptr), -1);
    EXPECT_FALSE(picture.IsRaster());
    EXPECT_STREQ(GetPreviewErrorText(DESIGNFILE_DESIGN, -1), "Unable to display picture");
}

TEST_F(DesignPreviewReadersTest, EachKindOfFileIsReadWhereItKeepsItsPreview)
{
    const std::string jpeg = JpegBytes(12, 8, RGB(0, 0, 255));
    const std::string tail = Le32(0) + "Bulletinarium V3.0";
    // Version 3.0 leads with the picture's block; version 2 keeps it at a
    // fixed place; version 1 has none.
    const std::string v3 = FlatFile("v3.pub", Le32(static_cast<DWORD>(jpeg.size())) + jpeg + "x" + tail);
    std::string v2Bytes = "ab" "Bulletinarium V2";
    v2Bytes.resize(5294, '\0');
    const std::string v2 = FlatFile("v2.pub", v2Bytes + Le32(static_cast<DWORD>(jpeg.size())) + jpeg);
    const std::string v1 = FlatFile("v1.pub", "ab" "Bulletinarium V1" + jpeg);
    const std::string text = FlatFile("notes.txt", "Hello, world\n");

    CImage picture;
    SIZE size{};
    EXPECT_EQ(ReadDesignPreview(v3.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), S_OK);
    picture.GetSize(size, TRUE);
    EXPECT_EQ(size.cx, 12);
    EXPECT_EQ(size.cy, 8);
    EXPECT_EQ(ReadDesignPreview(v2.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), S_OK);
    EXPECT_TRUE(picture.IsRaster());
    EXPECT_EQ(ReadDesignPreview(v1.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), -4);
    EXPECT_EQ(ReadDesignPreview(text.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), -3);
    EXPECT_NE(ReadDesignPreview(PathFor("missing.gnl").c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), S_OK);

    // Counting previews: a flat file has its one; a design without any
    // preview stream none; a file whose kind cannot be found -1.
    EXPECT_EQ(CountSurfacePreviews(v2.c_str()), 1);
    const std::string bare = PathFor("bare.gnl");
    storage_test::WriteCompoundFile(bare, GetDocKindClassId(DOC_KIND_GENERAL).clsid, {{"Contents", "x"}});
    EXPECT_EQ(CountSurfacePreviews(bare.c_str()), 0);
    EXPECT_FALSE(HasSurfacePreviewStream(bare.c_str(), 0));
    EXPECT_EQ(CountSurfacePreviews(PathFor("missing.gnl").c_str()), -1);
    EXPECT_EQ(ReadDesignPreview(bare.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr), -1);

    // A preview stream that is not a picture reads as no picture.
    const std::string damaged = PathFor("damaged.gnl");
    storage_test::WriteCompoundFile(damaged, GetDocKindClassId(DOC_KIND_GENERAL).clsid,
        {{"Surface Preview", std::string("\xFF\xD8\xFF") + std::string(40, 'q')}});
    EXPECT_EQ(ReadSurfacePreview(damaged.c_str(), &picture, 0, CImage::kDefaultLoadMode), -1);
    EXPECT_FALSE(picture.IsRaster());
}

TEST_F(DesignPreviewReadersTest, AnOlderFilesPreviewIsReadOnlyWhenItIsWhole)
{
    const std::string jpeg = JpegBytes(10, 10, RGB(255, 0, 0));
    const DWORD nJpeg = static_cast<DWORD>(jpeg.size());
    CImage picture;
    const std::string whole = FlatFile("whole.bin", "lead" + Le32(nJpeg) + jpeg + "trailing");
    ASSERT_EQ(ReadRawPreview(whole.c_str(), 4, &picture), 0);
    EXPECT_TRUE(picture.IsRaster());

    struct Case {
        const char* name;
        std::string bytes;
        DWORD nOffset;
    } cases[] = {
        // A count the file cannot hold: nothing is allocated for it.
        {"count near 4 GB", Le32(0xFFFFFFF0) + jpeg, 0},
        {"count near 2 GB", Le32(0x7FFFFFFF) + jpeg, 0},
        // The picture's last byte is missing: the read comes up short.
        {"one byte short", Le32(nJpeg) + jpeg.substr(0, jpeg.size() - 1), 0},
        // Whole, but not a picture the library loads.
        {"not a picture", Le32(64) + std::string(64, 'z'), 0},
        {"a picture's head and then rubbish", Le32(nJpeg) + jpeg.substr(0, 20) + std::string(nJpeg - 20, '\0'), 0},
        {"empty count", Le32(0) + jpeg, 0},
        {"count cut off", std::string("\x10\x00", 2), 0},
        {"offset past the end", Le32(nJpeg) + jpeg, 100000},
        {"offset near 4 GB", Le32(nJpeg) + jpeg, 0xFFFFFFFE},
        {"empty file", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = FlatFile("raw.bin", c.bytes);
        ASSERT_EQ(ReadRawPreview(whole.c_str(), 4, &picture), 0);
        EXPECT_EQ(ReadRawPreview(path.c_str(), c.nOffset, &picture), -1);
        // A failed read leaves no picture from before behind.
        EXPECT_FALSE(picture.IsRaster());
    }
    EXPECT_EQ(ReadRawPreview(PathFor("missing.bin").c_str(), 0, &picture), -1);
    EXPECT_EQ(ReadRawPreview(whole.c_str(), 4, nullptr), -1);
}

TEST_F(DesignPreviewReadersTest, ADesignIsDescribedByItsKindOrElseByItsExtension)
{
    AddTemplate(new CDesignDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CCalendarDoc), RUNTIME_CLASS(CSurfaceFrame),
        RUNTIME_CLASS(CSurface), IDR_CALENDARTYPE, DOC_KIND_CALENDAR));
    AddTemplate(new CStringsTemplate(DOC_KIND_LABEL, "\nCard\nCard\nCards (*.car)\n.car\nCard.Document\nCard"));
    AddTemplate(new CStringsTemplate(DOC_KIND_GENERAL, "\nPoster\nPoster\nPosters (*.pcr)\n.PCR\nPcr.Document\nPcr"));

    // The class of a design names its kind, whatever its extension.
    const std::string calendar = PathFor("year.xyz");
    storage_test::WriteCompoundFile(calendar, GetDocKindClassId(DOC_KIND_CALENDAR).clsid, {});
    EXPECT_STREQ(DescribeDesignFile(calendar.c_str()), "Calendar");

    struct Case {
        const char* file;
        const char* described;
    } cases[] = {
        {"greeting.crd", "Card"},
        {"GREETING.CRD", "Card"},
        {"greeting.car", "Card"},
        {"wall.pcd", "Poster"},
        {"wall.pcr", "Poster"},
        {"notes.txt", ""},
        {"no extension", ""},
        {"trailing dot.", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = FlatFile(c.file, "plain");
        EXPECT_STREQ(DescribeDesignFile(path.c_str()), c.described);
    }
    // A dot in a folder's name is no extension.
    EXPECT_STREQ(DescribeDesignFile("C:\\cards.crd\\greeting"), "");
    EXPECT_STREQ(DescribeDesignFile(nullptr), "");

    // The line of text: the design's own when it has one.
    EXPECT_STREQ(GetDesignInfoText(calendar.c_str()), "Calendar");
    const std::string named = PathFor("named.clr");
    std::string quick = Le32(2) + std::string("\x00\x00", 2) + "\x06" "Summer" + Le32(0);
    for (int i = 0; i < DocQuickInfo::Count; ++i)
        quick += Le32(0);
    storage_test::WriteCompoundFile(named, GetDocKindClassId(DOC_KIND_CALENDAR).clsid, {{"Doc Quick Info", quick}});
    EXPECT_STREQ(GetDesignInfoText(named.c_str()), "Summer");
}

TEST_F(DesignPreviewReadersTest, EveryResultHasItsMessage)
{
    struct Case {
        int nKind;
        HRESULT hr;
        const char* text;
    } cases[] = {
        {DESIGNFILE_DESIGN, -6, ""},
        {DESIGNFILE_DESIGN, -4, "No preview picture in design"},
        {DESIGNFILE_UNKNOWN, -3, "Not anThreadwick design"},
        {DESIGNFILE_FLAT_V1, -1, ""},
        {DESIGNFILE_FLAT_V1, 1, ""},
        {DESIGNFILE_FLAT_V2, -1, "Unable to display picture"},
        {DESIGNFILE_FLAT_V3, 1, "Unable to display picture"},
        {DESIGNFILE_DESIGN_ALT, -1, "Unable to display picture"},
        {DESIGNFILE_UNKNOWN, -1, ""},
        {DESIGNFILE_DESIGN, static_cast<HRESULT>(0x800401E6), "Bad file extension"},
        {DESIGNFILE_DESIGN, STG_E_SHAREVIOLATION, "File already open"},
        {DESIGNFILE_DESIGN, STG_E_LOCKVIOLATION, "File already open"},
        {DESIGNFILE_DESIGN, STG_E_FILENOTFOUND, ""},
        {DESIGNFILE_DESIGN, 0, ""},
        {DESIGNFILE_DESIGN, -19, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nKind << " " << std::hex << c.hr);
        EXPECT_STREQ(GetPreviewErrorText(c.nKind, c.hr), c.text);
    }
    // The older systems' answer for a file held open is only that there.
    g_nPlatform = 1;
    EXPECT_STREQ(GetPreviewErrorText(DESIGNFILE_DESIGN, static_cast<HRESULT>(0x80030000)), "");
    g_nPlatform = 0;
    EXPECT_STREQ(GetPreviewErrorText(DESIGNFILE_DESIGN, static_cast<HRESULT>(0x80030000)), "File already open");
}

TEST_F(DesignPreviewReadersTest, AnOpenDesignsPreviewIsReportedAsAFileAlreadyOpen)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    const std::string path = PathFor("open.gnl");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    CImage picture;
    const HRESULT hr = ReadDesignPreview(path.c_str(), &picture, 0, CImage::kDefaultLoadMode, nullptr);
    EXPECT_STREQ(GetPreviewErrorText(DESIGNFILE_DESIGN, hr), "File already open");
    EXPECT_FALSE(HasSurfacePreviewStream(path.c_str(), 0));
    pDoc->OnCloseDocument();
    Pump();
    EXPECT_TRUE(HasSurfacePreviewStream(path.c_str(), 0));
}

} // namespace

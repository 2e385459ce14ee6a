// Data transfer over the clipboard: what a data source puts there is what a
// data object reads back, format by format, with nothing made from another
// format.

#include "platform/base/Exception.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/OleData.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

HGLOBAL Block(const std::string& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

// The bytes of a block, which is then freed.
std::string Take(HGLOBAL h)
{
    if (h == NULL)
        return "(null)";
    std::string bytes(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    GlobalFree(h);
    return bytes;
}

// Counts the data sources alive, to see who deletes them.
class CCountedSource : public COleDataSource {
public:
    CCountedSource() { ++s_alive; }
    ~CCountedSource() override { --s_alive; }
    static inline int s_alive = 0;
};

class OleData : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        COleDataSource::FlushClipboard();
        m_private = CLIPFORMAT(RegisterClipboardFormat("Threadwick Test Object"));
    }
    void TearDown() override { COleDataSource::FlushClipboard(); }

    CLIPFORMAT m_private = 0;
};

TEST_F(OleData, WhatASourcePutsOnTheClipboardReadsBackExactly)
{
    auto* source = new CCountedSource;
    source->CacheGlobalData(CF_TEXT, Block(std::string("Hello\0", 6)));
    source->CacheGlobalData(m_private, Block(std::string("\x01\x00\xFF\xFF", 4)));
    source->SetClipboard();
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), source);

    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
    EXPECT_TRUE(data.IsDataAvailable(m_private));
    EXPECT_FALSE(data.IsDataAvailable(CF_UNICODETEXT));
    EXPECT_EQ(Take(data.GetGlobalData(m_private)), std::string("\x01\x00\xFF\xFF", 4));
    // The caller's copy is its own: the clipboard still has the data.
    EXPECT_EQ(Take(data.GetGlobalData(CF_TEXT)), std::string("Hello\0", 6));
    EXPECT_EQ(Take(data.GetGlobalData(CF_TEXT)), std::string("Hello\0", 6));
    EXPECT_EQ(data.GetGlobalData(CF_DIB), HGLOBAL(NULL));

    std::vector<CLIPFORMAT> formats;
    FORMATETC fe;
    data.BeginEnumFormats();
    while (data.GetNextFormat(&fe)) {
        formats.push_back(fe.cfFormat);
        EXPECT_EQ(fe.tymed, DWORD(TYMED_HGLOBAL));
    }
    EXPECT_EQ(formats, (std::vector<CLIPFORMAT>{CF_TEXT, m_private}));

    data.Release();
    EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
    EXPECT_EQ(data.GetGlobalData(CF_TEXT), HGLOBAL(NULL));
}

TEST_F(OleData, NoFormatIsMadeFromAnother)
{
    // A device-independent bitmap alone is not a bitmap.
    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_DIB, Block(std::string(40, '\0')));
    source->SetClipboard();
    COleDataObject data;
    data.AttachClipboard();
    EXPECT_TRUE(data.IsDataAvailable(CF_DIB));
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));

    // Nor is a bitmap a device-independent bitmap; and a bitmap is a GDI
    // handle, not memory to copy.
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, CreateBitmap(4, 4, 1, 32, NULL));
    CloseClipboard();
    EXPECT_TRUE(data.IsDataAvailable(CF_BITMAP));
    EXPECT_FALSE(data.IsDataAvailable(CF_DIB));
    EXPECT_EQ(data.GetGlobalData(CF_BITMAP), HGLOBAL(NULL));
    FORMATETC fe;
    data.BeginEnumFormats();
    ASSERT_TRUE(data.GetNextFormat(&fe));
    EXPECT_EQ(fe.cfFormat, CF_BITMAP);
    EXPECT_EQ(fe.tymed, DWORD(TYMED_GDI));
    EXPECT_FALSE(data.GetNextFormat(&fe));
}

TEST_F(OleData, TheClipboardOwnsItsSourceUntilTheNextOne)
{
    auto* first = new CCountedSource;
    first->CacheGlobalData(CF_TEXT, Block(std::string("a\0", 2)));
    first->SetClipboard();
    auto* second = new CCountedSource;
    second->CacheGlobalData(CF_TEXT, Block(std::string("b\0", 2)));
    EXPECT_EQ(CCountedSource::s_alive, 2);
    second->SetClipboard();
    EXPECT_EQ(CCountedSource::s_alive, 1);
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), second);

    COleDataSource::FlushClipboard();
    EXPECT_EQ(CCountedSource::s_alive, 0);
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), nullptr);
    COleDataObject data;
    data.AttachClipboard();
    EXPECT_EQ(Take(data.GetGlobalData(CF_TEXT)), std::string("b\0", 2));
}

TEST_F(OleData, ASourceFreesWhatItCaches)
{
    const size_t before = platform::GlobalBlockCount();
    {
        COleDataSource source;
        source.CacheGlobalData(CF_TEXT, Block("one"));
        source.CacheGlobalData(CF_TEXT, Block("two"));
        source.CacheGlobalData(m_private, Block("three"));
        EXPECT_EQ(source.GetFormatCount(), 2);
        EXPECT_EQ(platform::GlobalBlockCount(), before + 2);
        source.Empty();
        EXPECT_EQ(platform::GlobalBlockCount(), before);
        source.CacheGlobalData(CF_TEXT, Block("four"));
        // A medium other than memory is refused, and the block freed.
        FORMATETC fe{CF_BITMAP, NULL, DVASPECT_CONTENT, -1, TYMED_GDI};
        source.CacheGlobalData(CF_BITMAP, Block("x"), &fe);
        EXPECT_EQ(source.GetFormatCount(), 1);
    }
    EXPECT_EQ(platform::GlobalBlockCount(), before);
}

TEST_F(OleData, AClipboardHeldByAWindowCannotBeSet)
{
    HWND hwnd = CreateWindowEx(0, "STATIC", "holder", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hwnd, HWND(NULL));
    ASSERT_TRUE(OpenClipboard(hwnd));
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, Block("x"));
    bool threw = false;
    try {
        source.SetClipboard();
    } catch (COleException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), nullptr);
    CloseClipboard();
    DestroyWindow(hwnd);
}

TEST_F(OleData, AMetafilePictureCopyHasItsOwnMetafile)
{
    // A one-record metafile (only the end record).
    const BYTE bits[] = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    HMETAFILE hmf = SetMetaFileBitsEx(sizeof bits, bits);
    ASSERT_NE(hmf, HMETAFILE(NULL));
    HGLOBAL hPict = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* pict = static_cast<METAFILEPICT*>(GlobalLock(hPict));
    *pict = METAFILEPICT{MM_ANISOTROPIC, 100, 200, hmf};
    GlobalUnlock(hPict);

    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_METAFILEPICT, hPict);
    source->SetClipboard();
    COleDataObject data;
    data.AttachClipboard();
    HGLOBAL hCopy = data.GetGlobalData(CF_METAFILEPICT);
    ASSERT_NE(hCopy, HGLOBAL(NULL));
    auto* copy = static_cast<METAFILEPICT*>(GlobalLock(hCopy));
    EXPECT_EQ(copy->yExt, 200);
    EXPECT_NE(copy->hMF, hmf);
    EXPECT_EQ(GetMetaFileBitsEx(copy->hMF, 0, NULL), UINT(sizeof bits));
    DeleteMetaFile(copy->hMF);
    GlobalUnlock(hCopy);
    GlobalFree(hCopy);
    // The clipboard's copy outlives the source and its metafile.
    COleDataSource::FlushClipboard();
    hCopy = data.GetGlobalData(CF_METAFILEPICT);
    ASSERT_NE(hCopy, HGLOBAL(NULL));
    copy = static_cast<METAFILEPICT*>(GlobalLock(hCopy));
    EXPECT_EQ(GetMetaFileBitsEx(copy->hMF, 0, NULL), UINT(sizeof bits));
    DeleteMetaFile(copy->hMF);
    GlobalUnlock(hCopy);
    GlobalFree(hCopy);
}

TEST(OleDropFiles, TheFileListIsTheWindowsDropBlock)
{
    HGLOBAL h = platform::MakeDropFilesBlock({CString("C:\\a.txt"), CString("D:\\b c.bmp")}, POINT{5, 7}, FALSE);
    const std::string bytes = Take(h);
    const std::string expected = std::string("\x14\0\0\0\x05\0\0\0\x07\0\0\0\0\0\0\0\0\0\0\0", 20)
        + std::string("C:\\a.txt\0D:\\b c.bmp\0\0", 21);
    EXPECT_EQ(bytes, expected);
}

} // namespace

// A picture's stored form in designs: empty, linked, embedded raster and
// metafile pictures and edited rasters read back equal and store the same
// bytes again (also when the embedded bytes cannot be decoded, or a linked
// file is missing); older designs read only the fields they have; damaged
// data raises the archive exception.

#include "pictures/Image.h"
#include "pictures/MetaFileInfo.h"

#include "model/DrawDoc.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestHome.h"
#include "tests/text/TextStoreSupport.h"
#include "tools/artgen/MetafileBuilder.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace text_store;

// A Windows metafile of a red square, without its placeable header.
std::string WindowsMetafileBits()
{
    artgen::MetafileBuilder mf(0, 0, 100, 100, 100);
    mf.SetWindowExt(100, 100);
    mf.SelectObject(mf.CreateBrushIndirect(0, 0x000000FF, 0));
    mf.Rectangle(10, 10, 90, 90);
    const std::vector<uint8_t> all = mf.Finish();
    return std::string(all.begin() + 22, all.end());
}

// The smallest enhanced metafile: its header and the end record.
std::string EnhancedMetafileBits(int nBoundsRight, int nBoundsBottom)
{
    std::string header = U32(1) + U32(88) + U32(0) + U32(0) + U32(nBoundsRight) + U32(nBoundsBottom);
    header += U32(0) + U32(0) + U32(2540) + U32(2540) + U32(0x464D4520) + U32(0x10000) + U32(108) + U32(2);
    header += U16(1) + U16(0) + U32(0) + U32(0) + U32(0) + U32(1024) + U32(768) + U32(320) + U32(240);
    return header + U32(14) + U32(20) + U32(0) + U32(16) + U32(20);
}

// The fields of a hand-made picture record and its bytes in a design of a
// given version; the data part is given already encoded.
struct Record {
    long long nHandle = 5;
    std::string strPath = "C:\\Pictures\\sun.jpg";
    WORD wFlags = IMAGE_FLAG_EMBED | IMAGE_FLAG_TRANSPARENT | IMAGE_FLAG_MIRROR_X;
    long long nLoadMode = 3;
    DWORD crTransparent = 0x00102030;
    long long nRotation = 90;
    long long nBitsPerPixel = 24;
    long long cx = 300;
    long long cy = 200;
    std::string data = U32(6) + "JFIF\x01\x02";
    long long nSourceId = 42;
    long long nBase = kImageNoPicture;

    std::string Bytes(int nVersion) const
    {
        std::string out = U32(nHandle);
        if (nHandle == kImageNoPicture)
            return out;
        out += Str(strPath) + U16(wFlags);
        if (nVersion >= 13)
            out += U32(nLoadMode);
        out += U32(crTransparent) + U32(nRotation);
        if (nVersion >= 20)
            out += U32(nBitsPerPixel);
        if (nVersion >= 26)
            out += U32(cx) + U32(cy);
        if (wFlags & IMAGE_FLAG_EMBED)
            out += data;
        if (nVersion >= 27)
            out += U32(nSourceId);
        if (nVersion >= 29) {
            out += U32(nBase);
            if (nBase != kImageNoPicture) {
                for (int i = 0; i < CImage::kEffectParamCount; ++i)
                    out += U32(i * 3 - 7);
                out += U32(crTransparent);
            }
        }
        return out;
    }
};

// The value a picture stores as its handle: the value a design gave it when
// it could not be loaded.
long long StoredValue(const CImage& image)
{
    return image.IsUndecoded() || image.IsMissingLink() ? image.m_nStoredHandle : image.m_nHandle;
}

class ImageStoreTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        platform::InitFileSystem();
    }
};

TEST_F(ImageStoreTest, AnEmptyPictureStoresFourBytes)
{
    CImage image;
    EXPECT_EQ(Store(image), U32(kImageNoPicture));
    CImage back;
    back.m_strPath = "stale";
    ASSERT_EQ(Load(back, U32(kImageNoPicture)), -1);
    EXPECT_EQ(back.m_nHandle, kImageNoPicture);
    EXPECT_TRUE(back.m_strPath.IsEmpty());
}

TEST_F(ImageStoreTest, RecordsOfEveryKindReadBackAndStoreTheSameBytes)
{
    Record linked;
    linked.wFlags = IMAGE_FLAG_TILED;
    linked.nLoadMode = 2;
    Record embedded;
    Record edited;
    edited.nBase = 9;
    Record metafile;
    metafile.nHandle = kImageMetafile;
    metafile.data = U8(1) + U32(640) + U32(480) + U8(0) + U32(WindowsMetafileBits().size()) + WindowsMetafileBits();
    Record enhanced;
    enhanced.nHandle = kImageMetafile;
    enhanced.data = U8(1) + U32(320) + U32(240) + U8(1) + U32(108) + EnhancedMetafileBits(99, 49);
    Record composite;
    composite.nHandle = kImageComposite;
    composite.strPath = "C:\\Art\\icon.ico";
    composite.data.clear();
    for (const Record* pRecord : {&linked, &embedded, &edited, &metafile, &enhanced, &composite}) {
        SCOPED_TRACE(pRecord->nHandle);
        const std::string bytes = pRecord->Bytes(29);
        CImage image;
        ULONGLONG nLeft = 99;
        ASSERT_EQ(Load(image, bytes, &nLeft), -1);
        EXPECT_EQ(nLeft, 0u);
        EXPECT_EQ(StoredValue(image), pRecord->nHandle);
        EXPECT_EQ(image.m_strPath.Std(), pRecord->strPath);
        EXPECT_EQ(image.m_wFlags, pRecord->wFlags);
        EXPECT_EQ(image.m_crTransparent, pRecord->crTransparent);
        EXPECT_EQ(image.m_nRotation, 90);
        EXPECT_EQ(image.m_nFileBitsPerPixel, 24);
        EXPECT_EQ(image.m_sizeDisplay, CSize(300, 200));
        EXPECT_EQ(image.m_nSourceId, 42);
        EXPECT_EQ(Store(image), bytes);

        // A copy carries the same stored form, but for the display size and
        // the file's depth, which stay the copy's own.
        CImage copy;
        copy.Copy(image);
        EXPECT_EQ(copy.m_sizeDisplay, CSize(0, 0));
        EXPECT_EQ(copy.m_nFileBitsPerPixel, -1);
        copy.m_sizeDisplay = image.m_sizeDisplay;
        copy.m_nFileBitsPerPixel = image.m_nFileBitsPerPixel;
        // A vector picture's copy has no transparent colour.
        Record copied = *pRecord;
        if (copy.m_nHandle == kImageMetafile) {
            copied.wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
            copied.crTransparent = 0;
        }
        EXPECT_EQ(Store(copy), copied.Bytes(29));
    }

    CImage image;
    ASSERT_EQ(Load(image, embedded.Bytes(29)), -1);
    EXPECT_EQ(image.m_rasterData, std::vector<BYTE>({'J', 'F', 'I', 'F', 1, 2}));
    EXPECT_EQ(image.m_nLoadMode, 3);
    // Bytes no reader takes: the picture draws nothing.
    EXPECT_TRUE(image.IsUndecoded());
    EXPECT_FALSE(image.IsRaster());
    ASSERT_EQ(Load(image, edited.Bytes(29)), -1);
    EXPECT_EQ(image.m_nStoredBaseHandle, 9);
    EXPECT_EQ(image.m_effectParams[0], -7);
    EXPECT_EQ(image.m_effectParams[CImage::kEffectParamCount - 1], 3 * 24 - 7);
    // A linked picture whose file is nowhere keeps its path and loads
    // nothing.
    ASSERT_EQ(Load(image, linked.Bytes(29)), -1);
    EXPECT_TRUE(image.IsMissingLink());
    EXPECT_EQ(image.m_nLoadMode, 2);
    EXPECT_TRUE(image.m_rasterData.empty());
    EXPECT_EQ(image.m_nStoredBaseHandle, kImageNoPicture);
    EXPECT_EQ(image.m_effectParams[CImage::kEffectParamCount - 1], 0x00C0C0C0);
    SIZE natural{};
    image.GetSize(natural, TRUE);
    EXPECT_EQ(natural.cx, 0);
    ASSERT_EQ(Load(image, enhanced.Bytes(29)), -1);
    ASSERT_NE(image.m_metafile.GetEnhMetaFile(), nullptr);
    EXPECT_EQ(image.m_metafile.m_cxFrame, 320);
    ASSERT_EQ(Load(image, metafile.Bytes(29)), -1);
    EXPECT_NE(image.m_metafile.GetMetaFile(), nullptr);
    EXPECT_EQ(image.m_metafile.GetEnhMetaFile(), nullptr);
    EXPECT_EQ(image.m_metafile.m_cyFrame, 480);
    image.Reset();
    EXPECT_FALSE(image.m_metafile.HasMetaFile());
    EXPECT_EQ(Store(image), U32(kImageNoPicture));
}

TEST_F(ImageStoreTest, OlderDesignsReadOnlyTheFieldsTheyHave)
{
    struct Case {
        int nVersion;
        bool bLoadMode, bBitsPerPixel, bDisplaySize, bSourceId, bEffects;
    };
    const Case cases[] = {
        {7, false, false, false, false, false},
        {12, false, false, false, false, false},
        {13, true, false, false, false, false},
        {19, true, false, false, false, false},
        {20, true, true, false, false, false},
        {25, true, true, false, false, false},
        {26, true, true, true, false, false},
        {27, true, true, true, true, false},
        {28, true, true, true, true, false},
        {29, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        for (WORD wTiled : {WORD(0), WORD(IMAGE_FLAG_TILED)}) {
            SCOPED_TRACE(testing::Message() << c.nVersion << " tiled " << wTiled);
            SetVersion(c.nVersion);
            Record linked;
            linked.wFlags = wTiled;
            linked.nLoadMode = 1;
            linked.nBase = 9;
            CImage image;
            ULONGLONG nLeft = 99;
            ASSERT_EQ(Load(image, linked.Bytes(c.nVersion), &nLeft), -1);
            EXPECT_EQ(nLeft, 0u);
            EXPECT_EQ(image.m_nLoadMode, c.bLoadMode ? 1 : (wTiled ? 0 : 2));
            EXPECT_EQ(image.m_nFileBitsPerPixel, c.bBitsPerPixel ? 24 : -1);
            EXPECT_EQ(image.m_sizeDisplay, c.bDisplaySize ? CSize(300, 200) : CSize(0, 0));
            EXPECT_EQ(image.m_nSourceId, c.bSourceId ? 42 : 0);
            EXPECT_EQ(image.m_nStoredBaseHandle, c.bEffects ? 9 : kImageNoPicture);
            EXPECT_EQ(image.m_effectParams[1], c.bEffects ? -4 : 0);
            EXPECT_STREQ(image.m_strPath, "C:\\Pictures\\sun.jpg");
            EXPECT_EQ(image.m_nRotation, 90);

            // Embedded data comes at its place in every version.
            Record embedded;
            embedded.wFlags = IMAGE_FLAG_EMBED | wTiled;
            ASSERT_EQ(Load(image, embedded.Bytes(c.nVersion), &nLeft), -1);
            EXPECT_EQ(nLeft, 0u);
            EXPECT_EQ(image.m_rasterData.size(), 6u);
            EXPECT_EQ(image.m_nLoadMode, 3);
        }
    }
}

TEST_F(ImageStoreTest, ARasterOpenedFromAFileEmbedsItsPicture)
{
    const std::string folder = testing_support::MakeTempDir("imagestore");
    picture_files::Raster raster(24, 16, RGB(10, 120, 200));
    raster.Fill(0, 0, 12, 8, RGB(250, 250, 20));
    const std::string path = picture_files::WritePng(raster, folder + "/photo.png");
    ASSERT_FALSE(path.empty());

    CImage image;
    image.LoadFile(path.c_str(), 2);
    ASSERT_TRUE(image.IsRaster());
    image.m_wFlags = 0;
    image.m_bForceEmbed = 1;
    const std::string bytes = Store(image);
    EXPECT_TRUE(image.m_wFlags & IMAGE_FLAG_EMBED);

    CImage back;
    ASSERT_EQ(Load(back, bytes), -1);
    ASSERT_TRUE(back.IsRaster());
    EXPECT_EQ(back.m_nLoadMode, 3);
    SIZE size{};
    back.GetSize(size, TRUE);
    EXPECT_EQ(size.cx, 24);
    EXPECT_EQ(size.cy, 16);
    // Unchanged since it was read, it stores the very bytes again (as a
    // picture read from a design, load mode 3).
    const std::string again = Store(back);
    const std::string picture = bytes.substr(bytes.size() - 8 - back.m_rasterData.size() - 4);
    EXPECT_EQ(again.substr(again.size() - picture.size()), picture);
    CImage third;
    ASSERT_EQ(Load(third, again), -1);
    EXPECT_EQ(Store(third), again);

    // A raster handle the engine does not hold cannot be stored with its
    // data.
    CImage gone;
    gone.m_nHandle = 30000;
    gone.m_strPath = "C:\\gone.png";
    bool bRaised = false;
    try {
        Store(gone);
    } catch (CFileException* e) {
        bRaised = true;
        e->Delete();
    }
    EXPECT_TRUE(bRaised);
    gone.m_nHandle = kImageNoPicture;
}

TEST_F(ImageStoreTest, TheMetafileHolderStoresItsOwnForm)
{
    CMetaFileInfo empty;
    EXPECT_EQ(Store(empty), U8(0));
    // Anything but 1 in front is an empty holder.
    CMetaFileInfo holder;
    ASSERT_EQ(Load(holder, U8(7)), -1);
    EXPECT_FALSE(holder.HasMetaFile());
    EXPECT_EQ(holder.m_cxFrame, 500);

    const std::string wmf = WindowsMetafileBits();
    const std::string stored = U8(1) + U32(640) + U32(480) + U8(0) + U32(wmf.size()) + wmf;
    ASSERT_EQ(Load(holder, stored), -1);
    EXPECT_EQ(Store(holder), stored);

    // An enhanced metafile stored with a frame of 0 x 0 takes its frame
    // from its bounds.
    const std::string emf = EnhancedMetafileBits(99, 49);
    ASSERT_EQ(Load(holder, U8(1) + U32(0) + U32(0) + U8(1) + U32(emf.size()) + emf), -1);
    EXPECT_EQ(holder.m_cxFrame, 99);
    EXPECT_EQ(holder.m_cyFrame, 49);
    EXPECT_EQ(Store(holder), U8(1) + U32(99) + U32(49) + U8(1) + U32(emf.size()) + emf);
    CMetaFileInfo copy;
    copy.Copy(holder);
    EXPECT_EQ(Store(copy), Store(holder));
}

TEST_F(ImageStoreTest, DamagedRecordsRaiseTheArchiveException)
{
    Record edited;
    edited.nBase = 9;
    Record metafile;
    metafile.nHandle = kImageMetafile;
    const std::string wmf = WindowsMetafileBits();
    metafile.data = U8(1) + U32(640) + U32(480) + U8(0) + U32(wmf.size()) + wmf;
    for (const Record* pRecord : {&edited, &metafile}) {
        const std::string bytes = pRecord->Bytes(29);
        for (size_t n = 0; n < bytes.size(); ++n) {
            CImage image;
            const int nCause = Load(image, bytes.substr(0, n));
            // A metafile cut inside its bits may still make a metafile of
            // what is there only when its count says so: it never does.
            ASSERT_EQ(nCause, CArchiveException::endOfFile) << n;
        }
    }

    // Counts far beyond the bytes left allocate nothing.
    for (DWORD nCount : {DWORD(0xFFFFFFFF), DWORD(0x7FFFFFFF), DWORD(1000)}) {
        Record raster;
        raster.data = U32(nCount) + "abc";
        CImage image;
        EXPECT_EQ(Load(image, raster.Bytes(29)), CArchiveException::endOfFile) << nCount;
        Record vector;
        vector.nHandle = kImageMetafile;
        vector.data = U8(1) + U32(10) + U32(10) + U8(1) + U32(nCount) + "abc";
        EXPECT_EQ(Load(image, vector.Bytes(29)), CArchiveException::endOfFile) << nCount;
    }

    // Bits that make no metafile, of either kind.
    for (int nKind : {0, 1, 2}) {
        Record vector;
        vector.nHandle = kImageMetafile;
        vector.data = U8(1) + U32(10) + U32(10) + U8(nKind) + U32(8) + "notameta";
        CImage image;
        EXPECT_EQ(Load(image, vector.Bytes(29)), CArchiveException::genericException) << nKind;
        EXPECT_FALSE(image.m_metafile.HasMetaFile());
        vector.data = U8(1) + U32(10) + U32(10) + U8(nKind) + U32(0);
        EXPECT_EQ(Load(image, vector.Bytes(29)), CArchiveException::genericException) << nKind;
    }

    // Randomly damaged records (the same every run) read or raise the
    // archive exception, and nothing else.
    Record enhanced;
    enhanced.nHandle = kImageMetafile;
    enhanced.data = U8(1) + U32(320) + U32(240) + U8(1) + U32(108) + EnhancedMetafileBits(99, 49);
    for (const Record* pRecord : {&edited, &metafile, &enhanced})
        EXPECT_EQ(LoadDamagedCopies(pRecord->Bytes(29), 2000, [] { return std::make_unique<CImage>(); }), 0);
}

TEST_F(ImageStoreTest, TheVersionComesFromTheDesignTheArchiveBelongsTo)
{
    // The design document's own source, not the test's.
    SetDesignArchiveSource(PreviousSource());
    std::unique_ptr<CDrawDoc> pDoc(static_cast<CDrawDoc*>(CDrawDoc::CreateObject()));
    pDoc->m_bAutoDelete = FALSE;
    pDoc->m_nFileVersion = 12;
    Record linked;
    linked.wFlags = IMAGE_FLAG_TILED;
    CImage image;
    ULONGLONG nLeft = 99;
    ASSERT_EQ(Load(image, linked.Bytes(12), &nLeft, pDoc.get()), -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_EQ(image.m_nLoadMode, 0);
    // An archive without a design reads the current form.
    ASSERT_EQ(Load(image, linked.Bytes(29), &nLeft), -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_EQ(image.m_nSourceId, 42);
}

} // namespace

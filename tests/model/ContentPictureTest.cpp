// Giving drawing objects their pictures: from files the test writes, as
// copies, from a bitmap, and the settings that go with each.

#include "tests/model/ContentTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#include "pictures/PictureEngine.h"
#include "platform/files/FileSystem.h"
#include "platform/gdi/GdiObject.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using contenttest::NewLoadedPicture;
using contenttest::WriteBmp;

class ContentPictureTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        platform::InitFileSystem();
    }
};

TEST_F(ContentPictureTest, AFileGivesThePictureAndItsSettings)
{
    const CString strPath = WriteBmp("flower.bmp", 32, 16);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetPictureFile(strPath, FALSE, TRUE, TRUE, TRUE, TRUE, RGB(255, 255, 255));
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.GetPictureFileName(), strPath);
    EXPECT_EQ(obj.GetNaturalSize(), CSize(32, 16));
    EXPECT_FALSE(obj.IsPictureEmbedded());
    EXPECT_TRUE(obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE);
    EXPECT_TRUE(obj.GetPictureOption3());
    EXPECT_TRUE(obj.IsPictureTranslucent());
    EXPECT_TRUE(obj.HasPictureLineColor());
    EXPECT_EQ(obj.GetPictureLineColor(), RGB(255, 255, 255));
    // A picture counts: the outline that followed the content goes.
    EXPECT_FALSE(obj.m_bOutline);

    // The flags follow every call, also one that loads nothing.
    obj.SetPictureFile(strPath, TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_TRUE(obj.IsPictureEmbedded());
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE);
    EXPECT_FALSE(obj.GetPictureOption3());
    EXPECT_FALSE(obj.IsPictureTranslucent());
    obj.SetPictureLineColor(FALSE, 0);
    EXPECT_FALSE(obj.HasPictureLineColor());

    // Always-embed wins over the argument.
    obj.m_bAlwaysEmbed = TRUE;
    obj.SetPictureFile(strPath, FALSE, FALSE, FALSE, FALSE, FALSE, 0, 0);
    EXPECT_TRUE(obj.IsPictureEmbedded());
    EXPECT_TRUE(obj.m_pPicture->m_bForceEmbed);
}

TEST_F(ContentPictureTest, TheSamePathLoadsOnceAndAFailingPathKeepsTheOldPicture)
{
    const CString strFirst = WriteBmp("first.bmp", 20, 10);
    const CString strSecond = WriteBmp("second.bmp", 8, 8);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetPictureFile(strFirst, FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    const CImage* pFirst = obj.m_pPicture;
    ASSERT_NE(pFirst, nullptr);
    obj.SetPictureFile(strFirst, FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(obj.m_pPicture, pFirst);

    for (const char* pszBad : {"C:\\no\\such\\picture.bmp", "", "C:\\"}) {
        obj.SetPictureFile(pszBad, FALSE, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(obj.HasPicture()) << pszBad;
        EXPECT_EQ(obj.m_pPicture, pFirst) << pszBad;
        EXPECT_EQ(obj.GetPictureFileName(), strFirst) << pszBad;
        EXPECT_EQ(obj.GetNaturalSize(), CSize(20, 10)) << pszBad;
    }
    // A file that is not a picture fails the same way.
    const std::string textPath = testing_support::MakeTempDir("content") + "/notes.bmp";
    testing_support::WriteFileBytes(textPath, "just words");
    obj.SetPictureFile(contenttest::WindowsPath(textPath), FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(obj.m_pPicture, pFirst);

    obj.SetPictureFile(strSecond, FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(obj.GetNaturalSize(), CSize(8, 8));
    EXPECT_EQ(obj.GetPictureFileName(), strSecond);

    // A picture that has a path but no data (a design linking a file that
    // was not there) keeps its path when that file still fails.
    CDrawObj linked(CRect(0, 100, 100, 0));
    linked.m_pPicture = new CImage;
    linked.m_pPicture->m_strPath = "C:\\gone\\linked.bmp";
    linked.SetPictureFile("C:\\gone\\other.bmp", FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_NE(linked.m_pPicture, nullptr);
    EXPECT_EQ(linked.m_pPicture->GetPathName(), CString("C:\\gone\\linked.bmp"));

    CDrawObj bare(CRect(0, 100, 100, 0));
    bare.SetPictureFile("C:\\no\\such\\picture.bmp", TRUE, TRUE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(bare.m_pPicture, nullptr);
    EXPECT_FALSE(bare.HasPicture());
    EXPECT_TRUE(bare.m_bOutline);
}

TEST_F(ContentPictureTest, AMemoryOnlyObjectMarksEveryPictureItLoads)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_wFlags |= OBJ_FLAG_MEMORY_PICTURE;
    obj.SetPictureFile(WriteBmp("memory.bmp", 4, 4), FALSE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.GetPictureFileName(), CString("<memory-only picture>"));
    EXPECT_TRUE(obj.IsPictureEmbedded());

    CDrawObj plain(CRect(0, 100, 100, 0));
    plain.MarkPictureMemoryOnly();
    EXPECT_FALSE(plain.m_wFlags & OBJ_FLAG_MEMORY_PICTURE);
}

TEST_F(ContentPictureTest, SettingAsANameLoadsAnExistingMetafileNameElseThePath)
{
    // The name's file holds BMP bytes: the reader knows a picture by its
    // first bytes, whatever the name says.
    const CString strWmf = WriteBmp("CLIP.WMF", 12, 6);
    const CString strPath = WriteBmp("real.bmp", 30, 20);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetPictureFileAs(strPath, strWmf);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.GetNaturalSize(), CSize(12, 6));
    EXPECT_EQ(obj.GetPictureFileName(), strWmf);
    EXPECT_TRUE(obj.IsPictureEmbedded());
    EXPECT_TRUE(obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE);

    const CString strName = "C:\\pictures\\kept name.BMP";
    obj.SetPictureFileAs(strPath, strName);
    EXPECT_EQ(obj.GetNaturalSize(), CSize(30, 20));
    EXPECT_EQ(obj.GetPictureFileName(), strName);

    // A file that fails keeps the picture and its path.
    obj.SetPictureFileAs("C:\\no\\such.bmp", "C:\\elsewhere.bmp");
    EXPECT_EQ(obj.GetPictureFileName(), strName);

    // A WMF name that is not there loads the path.
    CDrawObj other(CRect(0, 100, 100, 0));
    other.SetPictureFileAs(strPath, "C:\\no\\such.wmf");
    EXPECT_EQ(other.GetNaturalSize(), CSize(30, 20));
    EXPECT_EQ(other.GetPictureFileName(), CString("C:\\no\\such.wmf"));
}

TEST_F(ContentPictureTest, ACopiedPictureTakesTheObjectsSettingsAndTheFlagsAsked)
{
    std::unique_ptr<CImage> pSource(NewLoadedPicture(10, 10));
    pSource->m_wFlags |= IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y;
    pSource->m_wFlags &= ~WORD(IMAGE_FLAG_EMBED);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetPictureFromImage(pSource.get(), TRUE);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_NE(obj.m_pPicture, pSource.get());
    EXPECT_TRUE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_X);
    EXPECT_TRUE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_Y);
    EXPECT_TRUE(obj.IsPictureEmbedded());

    obj.SetPictureFromImage(pSource.get(), FALSE, FALSE, TRUE, TRUE);
    EXPECT_TRUE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_X);
    EXPECT_FALSE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_Y);
    EXPECT_TRUE(obj.GetPictureOption3());
    EXPECT_TRUE(obj.IsPictureTranslucent());
    EXPECT_FALSE(obj.IsPictureEmbedded());

    // The object's own picture may be given.
    obj.SetPictureFromImage(obj.m_pPicture, TRUE);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.GetNaturalSize(), CSize(10, 10));

    obj.SetPictureFromImage(nullptr, TRUE);
    EXPECT_EQ(obj.m_pPicture, nullptr);
    EXPECT_TRUE(obj.m_bOutline);
}

TEST_F(ContentPictureTest, ACompositePictureNeverKeepsItsOwnData)
{
    CImage composite;
    composite.m_nHandle = kImageComposite;
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_bAlwaysEmbed = TRUE;
    obj.SetPictureFromImage(&composite, TRUE);
    ASSERT_NE(obj.m_pPicture, nullptr);
    EXPECT_FALSE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_EMBED);
    obj.SetEmbedPicture(TRUE);
    EXPECT_FALSE(obj.IsPictureEmbedded());
    obj.MarkPictureMemoryOnly();
    EXPECT_FALSE(obj.m_pPicture->m_wFlags & IMAGE_FLAG_EMBED);
    EXPECT_TRUE(obj.m_wFlags & OBJ_FLAG_MEMORY_PICTURE);
    // A composite takes no line colour either.
    EXPECT_FALSE(obj.CanSetPictureLineColor());
}

TEST_F(ContentPictureTest, APastedBitmapSizedToPictureMakesTheObjectItsSize)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(64, 24, 1, 32, nullptr));
    CDrawObj obj(CRect(10, 200, 50, 150));
    obj.m_pPicture = NewLoadedPicture();
    obj.SetPictureFromBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle()), NULL, FALSE, TRUE);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_TRUE(obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE);
    EXPECT_EQ(obj.m_position, CRect(10, 200, 74, 176));
    // The bitmap stays the caller's.
    BITMAP bm{};
    EXPECT_NE(bitmap.GetBitmap(&bm), 0);

    obj.SetPictureFromBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle()), NULL, FALSE, FALSE);
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE);
    obj.SetPictureFromBitmap(NULL, NULL, FALSE, FALSE);
    EXPECT_EQ(obj.m_pPicture, nullptr);
}

TEST_F(ContentPictureTest, FormatsWithoutAReaderLeaveNoPicture)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_pPicture = NewLoadedPicture();
    obj.SetPictureFromDib(NULL, TRUE, TRUE);
    EXPECT_EQ(obj.m_pPicture, nullptr);
    obj.m_pPicture = NewLoadedPicture();
    obj.SetPictureFromEnhMetaFile(NULL, TRUE, TRUE);
    EXPECT_EQ(obj.m_pPicture, nullptr);
    obj.m_pPicture = NewLoadedPicture();
    obj.SetPictureFromMetaFilePict(NULL, TRUE, TRUE);
    EXPECT_EQ(obj.m_pPicture, nullptr);
    // The scanner keeps what the object has when it brings nothing.
    obj.m_pPicture = NewLoadedPicture();
    CImage* pKept = obj.m_pPicture;
    EXPECT_FALSE(obj.AcquirePicture(TRUE, TRUE));
    EXPECT_EQ(obj.m_pPicture, pKept);
}

TEST_F(ContentPictureTest, PictureSettingsNeedAPictureAndRemovingOneRedraws)
{
    auto pDoc = modeltest::MakeDoc<CGeneralDoc>();
    modeltest::CHintRecorder recorder;
    pDoc->AddView(&recorder);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_pDocument = pDoc.get();
    obj.SetEmbedPicture(TRUE);
    obj.SetPictureOption2(TRUE);
    obj.SetPictureCropped(TRUE, TRUE);
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_CROPPED);
    EXPECT_EQ(obj.GetPictureFileName(), CString());
    EXPECT_EQ(obj.GetPictureRotation(), 0);
    EXPECT_EQ(obj.SavePictureToTempFile(), CString());

    obj.m_pPicture = NewLoadedPicture();
    obj.SetPictureOption2(TRUE);
    EXPECT_TRUE(obj.GetPictureOption2());
    obj.SetPictureCropped(TRUE, TRUE);
    EXPECT_TRUE(obj.IsPictureCropped());
    EXPECT_EQ(obj.m_rectUncropped, CRect(0, 100, 100, 0));
    // The first crop's rectangle is kept.
    obj.m_position = CRect(10, 90, 90, 10);
    obj.SetPictureCropped(TRUE, TRUE);
    EXPECT_EQ(obj.m_rectUncropped, CRect(0, 100, 100, 0));
    obj.SetPictureCropped(FALSE, FALSE);
    EXPECT_FALSE(obj.IsPictureCropped());
    EXPECT_FALSE(obj.m_wFlags & OBJ_FLAG_CROPPED);

    recorder.m_hints.clear();
    obj.RemovePicture();
    EXPECT_EQ(obj.m_pPicture, nullptr);
    EXPECT_EQ(recorder.Count(HINT_OBJECT_CHANGED), 1);
    obj.RemovePicture();
    EXPECT_EQ(recorder.Count(HINT_OBJECT_CHANGED), 1);
    pDoc->RemoveView(&recorder);
}

} // namespace

namespace {

class PictureTurnTest : public modeltest::DesignViewTest {};

TEST_F(PictureTurnTest, TurningAPictureIsOneStepThatUndoBringsBack)
{
    const CString strPath = contenttest::WriteBmp("turned.bmp", 40, 20);
    auto* pObj = new CDrawRect(CRect(100, 300, 300, 200));
    pObj->SetPictureFile(strPath, TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    m_pDoc->AddObject(pObj, m_pView);
    ASSERT_TRUE(pObj->HasPicture());
    CUndoList& list = m_pDoc->GetUndoList();
    list.Clear();

    pObj->RotatePicture(90);
    EXPECT_EQ(pObj->GetPictureRotation(), 90);
    int cx = 0, cy = 0, nBits = 0;
    GetPicSize(pObj->m_pPicture->m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 20) << "the raster is turned a quarter";
    // The frame stays; the position is the turned bounds about its centre,
    // still running upwards.
    EXPECT_EQ(pObj->m_rectUnrotated, CRect(100, 300, 300, 200));
    EXPECT_EQ(pObj->m_position, CRect(150, 350, 250, 150));
    EXPECT_TRUE(m_pDoc->IsModified());

    // The same angle again records nothing.
    pObj->RotatePicture(450);
    ASSERT_TRUE(list.Undo(m_pDoc));
    EXPECT_FALSE(list.Undo(m_pDoc));
    CDrawObj* pBack = nullptr;
    for (POSITION pos = m_pView->GetObjects().GetHeadPosition(); pos != NULL;)
        pBack = dynamic_cast<CDrawObj*>(m_pView->GetObjects().GetNext(pos));
    ASSERT_NE(pBack, nullptr);
    ASSERT_TRUE(pBack->HasPicture());
    EXPECT_EQ(pBack->GetPictureRotation() % 360, 0);
    GetPicSize(pBack->m_pPicture->m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 40);
}

} // namespace

// Undo of a deletion by the Delete key puts back exactly what was deleted:
// a turned picture alone and a group holding turned pictures come back with
// every object's record as the design file stores it and the screen as it
// was, and Redo takes them away again.

#include "tests/surface/PictureEditTestSupport.h"

#include "app/PrefData.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "resources/resource.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

std::string WritePhoto(const std::string& hostPath)
{
    picture_files::Raster r(60, 40, RGB(40, 120, 200));
    r.Fill(0, 0, 60, 12, RGB(230, 200, 40));
    r.Fill(44, 0, 60, 10, RGB(20, 20, 20));
    return picture_files::WriteJpeg(r, hostPath);
}

class DeleteUndoTest : public PictureEditTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        m_photo = WritePhoto(testing_support::MakeTempDir("deleteundo") + "/photo.jpg");
        ASSERT_FALSE(m_photo.empty());
    }

    enum class Kept { Embedded, Linked };

    // A picture inserted as the Insert Picture command inserts it, its
    // bytes kept in the design or only its file's name.
    CDrawObj* AddPicture(const CRect& rect, Kept kept)
    {
        const WORD wWas = thePrefs.AddlFlags;
        if (kept == Kept::Linked)
            thePrefs.AddlFlags |= PREF_ADDL_SWITCH_I;
        else
            thePrefs.AddlFlags &= WORD(~PREF_ADDL_SWITCH_I);
        CDrawObj* pObj = m_pView->InsertPictureFile(m_photo.c_str(), &rect, nullptr);
        thePrefs.AddlFlags = wWas;
        return pObj;
    }

    void Command(UINT nID)
    {
        m_pView->GetParentFrame()->SendMessage(WM_COMMAND, nID);
        Pump();
        Settle();
    }

    void TurnByHandle(CDrawObj* pObj, double dDegrees)
    {
        SelectAlone(pObj);
        const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
        const CPoint centre = r.CenterPoint();
        const double dRadius = r.Width() / 2 + 80;
        const double dRad = dDegrees * 3.14159265358979 / 180.0;
        const CPoint to(centre.x + int(std::lround(dRadius * std::cos(dRad))),
            centre.y + int(std::lround(dRadius * std::sin(dRad))));
        DragClient(m_pView, ClientAt(m_pView, pObj->GetHandleRect(kRotateHandle, m_pView).CenterPoint()),
            ClientAt(m_pView, to));
        Settle();
    }

    void TurnByDialog(CDrawObj* pObj, int nDegrees)
    {
        SelectAlone(pObj);
        const std::string text = std::to_string(nDegrees);
        testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [text](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, text.c_str());
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_ROTATE);
        platform::headless::SetIdleHandler(nullptr);
    }

    // Every object's record as the design file stores it, in list order.
    std::vector<std::string> Records()
    {
        std::vector<std::string> records;
        for (POSITION pos = m_pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(m_pView->GetObjects().GetNext(pos));
            CMemFile file;
            {
                CArchive ar(&file, CArchive::store);
                ar.m_pDocument = m_pDoc;
                pObj->Serialize(ar);
                ar.Close();
            }
            const DWORD nLength = file.GetLength();
            BYTE* pBytes = file.Detach();
            records.emplace_back(reinterpret_cast<const char*>(pBytes), nLength);
            free(pBytes);
        }
        return records;
    }

    // The view's pixels with nothing selected.
    std::vector<COLORREF> Screen()
    {
        m_pView->Select(nullptr);
        m_pView->Invalidate(FALSE);
        Settle();
        CRect client;
        m_pView->GetClientRect(&client);
        std::vector<COLORREF> pixels;
        pixels.reserve(size_t(client.Width()) * size_t(client.Height()));
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x)
                pixels.push_back(platform::headless::WindowPixel(m_pView->m_hWnd, x, y) & 0xFFFFFF);
        return pixels;
    }

    static int Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
    {
        if (a.size() != b.size())
            return -1;
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i)
            n += a[i] != b[i] ? 1 : 0;
        return n;
    }

    static std::string Where(const std::vector<std::string>& a, const std::vector<std::string>& b)
    {
        std::ostringstream out;
        if (a.size() != b.size()) {
            out << a.size() << " objects, then " << b.size();
            return out.str();
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i] == b[i])
                continue;
            size_t n = 0;
            while (n < a[i].size() && n < b[i].size() && a[i][n] == b[i][n])
                ++n;
            out << "object " << i << "'s record differs from byte " << n << "; ";
        }
        return out.str();
    }

    // Selects the objects, deletes them with the Delete key, undoes and
    // redoes, comparing the design and the screen with those before.
    void ExpectDeleteUndoneExactly(const std::vector<CDrawObj*>& objects)
    {
        const std::vector<std::string> before = Records();
        const std::vector<COLORREF> screenBefore = Screen();
        m_pView->Select(objects.front());
        for (size_t i = 1; i < objects.size(); ++i)
            m_pView->Select(objects[i], TRUE);
        Settle();
        m_pView->SetFocus();
        Key(VK_DELETE);
        Settle();
        const std::vector<std::string> deleted = Records();
        ASSERT_EQ(deleted.size(), before.size() - objects.size()) << "the Delete key deleted the selection";
        const std::vector<COLORREF> screenDeleted = Screen();

        Command(ID_EDIT_UNDO);
        const std::vector<std::string> undone = Records();
        EXPECT_TRUE(before == undone) << "after Undo: " << Where(before, undone);
        EXPECT_EQ(Differing(screenBefore, Screen()), 0) << "pixels of the screen after Undo";

        Command(ID_EDIT_REDO);
        EXPECT_TRUE(deleted == Records()) << "after Redo: " << Where(deleted, Records());
        EXPECT_EQ(Differing(screenDeleted, Screen()), 0) << "pixels of the screen after Redo";

        Command(ID_EDIT_UNDO);
        EXPECT_TRUE(before == Records()) << "after a second Undo: " << Where(before, Records());
        EXPECT_EQ(Differing(screenBefore, Screen()), 0) << "pixels of the screen after a second Undo";
    }

    CDrawDoc* m_pDoc = nullptr;
    std::string m_photo;
};

} // namespace

TEST_F(DeleteUndoTest, LoneTurnedPictureComesBackWhereItWas)
{
    for (const Kept kept : {Kept::Embedded, Kept::Linked}) {
        for (const bool bHandle : {true, false}) {
            SCOPED_TRACE(std::string(kept == Kept::Linked ? "linked, " : "embedded, ")
                + (bHandle ? "turned by its handle" : "turned by the Rotate dialog"));
            CDrawObj* pPicture = AddPicture(CRect(-250, 150, -50, 20), kept);
            ASSERT_NE(pPicture, nullptr);
            if (bHandle)
                TurnByHandle(pPicture, 35);
            else
                TurnByDialog(pPicture, 215);
            ASSERT_NE(std::lround(pPicture->m_dAngle) % 360, 0) << "the picture turned";
            ExpectDeleteUndoneExactly({pPicture});
            // The next round starts on an empty design.
            m_pView->Select(nullptr);
            while (CDrawObj* pObj = LastObject(m_pView)) {
                m_pView->Remove(pObj, TRUE);
                delete pObj;
            }
        }
    }
}

TEST_F(DeleteUndoTest, GroupHoldingTurnedPicturesComesBackWhereItWas)
{
    CDrawObj* pLinked = AddPicture(CRect(-300, 200, -120, 60), Kept::Linked);
    CDrawObj* pEmbedded = AddPicture(CRect(40, 180, 240, 40), Kept::Embedded);
    CDrawRect* pShape = AddRect(m_pView, CRect(-100, -60, 60, -160), SHAPE_STAR);
    pShape->m_bFill = TRUE;
    pShape->m_logbrush.lbColor = RGB(200, 40, 40);
    ASSERT_NE(pLinked, nullptr);
    ASSERT_NE(pEmbedded, nullptr);
    SelectAlone(pLinked);
    Command(ID_ARRANGE_FLIP_HORZ);
    TurnByHandle(pLinked, 30);
    TurnByDialog(pEmbedded, 100);
    m_pView->Select(pLinked);
    m_pView->Select(pEmbedded, TRUE);
    m_pView->Select(pShape, TRUE);
    Command(ID_ARRANGE_GROUP);
    ASSERT_NE(pLinked->m_wObjectWord, 0);
    ASSERT_EQ(pLinked->m_wObjectWord, pShape->m_wObjectWord);
    ExpectDeleteUndoneExactly({pLinked, pEmbedded, pShape});
}

} // namespace surfacetest

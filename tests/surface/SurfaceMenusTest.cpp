// The design windows' menu as the user meets it: every command has its
// status-bar prompt, and the object commands are found where the user looks
// for them, enabled by the selection and run from there.

#include "tests/surface/SurfaceMainFrameFixture.h"
#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "platform/files/HostPath.h"
#include "tests/support/TestData.h"

#include <string>
#include <vector>

namespace surfacetest {
namespace {

const char kPicture[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";

std::string Prompt(UINT nID)
{
    CString str;
    str.LoadString(nID);
    std::string text = static_cast<LPCTSTR>(str);
    return text.substr(0, text.find('\n'));
}

// The command ids of a menu and all its submenus.
void CollectCommands(CMenu* pMenu, std::vector<UINT>& ids)
{
    for (UINT i = 0; i < pMenu->GetMenuItemCount(); ++i) {
        if (CMenu* pSub = pMenu->GetSubMenu(i))
            CollectCommands(pSub, ids);
        else if (UINT nID = pMenu->GetMenuItemID(i); nID != 0 && nID != UINT(-1))
            ids.push_back(nID);
    }
}

// The popup reached from pMenu through the item texts of path, or null.
CMenu* PopupAt(CMenu* pMenu, const std::vector<std::string>& path)
{
    for (const std::string& text : path) {
        CMenu* pNext = nullptr;
        for (UINT i = 0; pMenu != nullptr && i < pMenu->GetMenuItemCount(); ++i) {
            CString str;
            pMenu->GetMenuString(i, str, MF_BYPOSITION);
            if (std::string(static_cast<LPCTSTR>(str)) == text)
                pNext = pMenu->GetSubMenu(i);
        }
        pMenu = pNext;
    }
    return pMenu;
}

bool Holds(CMenu* pMenu, UINT nID)
{
    for (UINT i = 0; pMenu != nullptr && i < pMenu->GetMenuItemCount(); ++i) {
        if (pMenu->GetMenuItemID(i) == nID)
            return true;
    }
    return false;
}

TEST(SurfaceMenusPromptTest, EveryCommandOfTheMenuBarsAndContextMenusHasAStatusPrompt)
{
    threadwick::RegisterResources();
    std::vector<UINT> ids;
    for (UINT nMenu : {UINT(IDR_MAINFRAME), UINT(IDR_DESIGNTYPE), UINT(IDR_POPUP_OBJECT), UINT(IDR_POPUP_OBJECTS),
             UINT(IDR_POPUP_SURFACE), UINT(IDR_POPUP_CROP)}) {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(nMenu));
        CollectCommands(&menu, ids);
    }
    ASSERT_GT(ids.size(), 200u);
    std::vector<UINT> silent;
    for (UINT nID : ids) {
        // The OLE verbs are named by the object that is selected.
        if (nID != ID_OLE_VERB_FIRST && Prompt(nID).empty())
            silent.push_back(nID);
    }
    EXPECT_TRUE(silent.empty()) << ::testing::PrintToString(silent);
}

class SurfaceMenusTest : public SurfaceMainFrameTest {
protected:
    // Opens the popup as the user would, so that its update handlers run,
    // then points at the item: what the status bar says, and whether it may
    // be chosen.
    struct Pointed {
        std::string prompt;
        bool bEnabled = false;
        bool bChecked = false;
    };
    Pointed PointAt(CMenu* pPopup, UINT nID)
    {
        m_pMain->SendMessage(WM_INITMENUPOPUP, WPARAM(pPopup->GetSafeHmenu()), 0);
        m_pMain->SendMessage(WM_MENUSELECT, MAKEWPARAM(nID, MF_HILITE), LPARAM(pPopup->GetSafeHmenu()));
        Pointed pointed;
        pointed.prompt = static_cast<LPCTSTR>(m_pMain->GetStatusBar().GetPaneText(0));
        const UINT nState = pPopup->GetMenuState(nID, MF_BYCOMMAND);
        pointed.bEnabled = (nState & (MF_GRAYED | MF_DISABLED)) == 0;
        pointed.bChecked = (nState & MF_CHECKED) != 0;
        m_pMain->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        return pointed;
    }
    CMenu* DesignMenu() { return CMenu::FromHandle(::GetMenu(m_pMain->m_hWnd)); }
};

TEST_F(SurfaceMenusTest, ObjectCommandsAreFoundInTheMenusWithTheirPromptsAndRunFromThere)
{
    REQUIRE_TESTDATA();
    auto* pDoc = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
    ASSERT_NE(pDoc, nullptr);
    Pump();
    POSITION pos = pDoc->GetFirstViewPosition();
    auto* pView = static_cast<CSurface*>(pDoc->GetNextView(pos));
    ASSERT_NE(pView, nullptr);
    auto* pPicture = new CDrawRect(CRect(-200, 200, 200, -200), SHAPE_RECTANGLE);
    pView->Add(pPicture);
    pPicture->SetPictureFile(platform::WindowsPathFor(kPicture).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    auto* pShape = new CDrawRect(CRect(300, 200, 500, 0), SHAPE_ELLIPSE);
    pView->Add(pShape);
    pView->Select(pPicture);

    const std::vector<std::string> kEdit {"&Edit"};
    const std::vector<std::string> kObject {"&Edit", "Edit O&bject"};
    const std::vector<std::string> kEffects {"&Edit", "Edit O&bject", "Pictu&re Effects"};
    const std::vector<std::string> kView {"&View"};
    const struct {
        std::vector<std::string> path;
        UINT nID;
        bool bForPicture; // enabled with the picture selected, else with the shape
    } items[] = {
        {kEdit, ID_EDIT_PROPERTIES, true},
        {kEdit, ID_EDIT_PASTE_SPECIAL, true},
        {kObject, ID_EDIT_OBJECT_SHAPE, false},
        {kObject, ID_EDIT_PICTURE_SHAPE, true},
        {kObject, ID_EDIT_PICTURE_STUDIO, true},
        {kObject, ID_EDIT_PICTURE_CROP, true},
        {kObject, ID_EDIT_SAVE_PICTURE_AS, true},
        {kObject, ID_EDIT_SET_WALLPAPER, true},
        {kEffects, ID_PICTURE_GRAYSCALE, true},
        {kEffects, ID_PICTURE_EMBOSS, true},
        {kEffects, ID_PICTURE_BLUR, true},
        {kEffects, ID_PICTURE_MOSAIC, true},
        {kEffects, ID_PICTURE_BRIGHTEN, true},
        {kEffects, ID_PICTURE_DARKEN, true},
        {kView, ID_EDIT_TOGGLE_OLE_INDICATION, true},
    };
    // Paste Special follows what the clipboard holds: put something there.
    pView->SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    Pump();
    for (const auto& item : items) {
        CMenu* pPopup = PopupAt(DesignMenu(), item.path);
        ASSERT_NE(pPopup, nullptr) << item.path.back();
        ASSERT_TRUE(Holds(pPopup, item.nID)) << item.nID;
        pView->Select(item.bForPicture ? static_cast<CDrawObj*>(pPicture) : pShape);
        const Pointed pointed = PointAt(pPopup, item.nID);
        EXPECT_EQ(pointed.prompt, Prompt(item.nID)) << item.nID;
        EXPECT_FALSE(pointed.prompt.empty()) << item.nID;
        if (item.nID != ID_EDIT_TOGGLE_OLE_INDICATION) {
            EXPECT_TRUE(pointed.bEnabled) << item.nID;
        }
    }

    // An effect chosen from the menu reaches the selected picture as one
    // step the Edit menu names, and is offered for nothing else.
    CMenu* pEffects = PopupAt(DesignMenu(), kEffects);
    pView->Select(pPicture);
    m_pMain->SendMessage(WM_COMMAND, ID_PICTURE_GRAYSCALE, 0);
    Pump();
    CString label;
    label.LoadString(IDS_UNDO_GRAYSCALE);
    EXPECT_STREQ(pDoc->GetUndoList().GetUndoLabel(), label);
    pView->Select(pShape);
    EXPECT_FALSE(PointAt(pEffects, ID_PICTURE_BLUR).bEnabled);

    // The indication toggle shows its state by its tick.
    CMenu* pViewMenu = PopupAt(DesignMenu(), kView);
    const bool bWas = PointAt(pViewMenu, ID_EDIT_TOGGLE_OLE_INDICATION).bChecked;
    m_pMain->SendMessage(WM_COMMAND, ID_EDIT_TOGGLE_OLE_INDICATION, 0);
    EXPECT_NE(PointAt(pViewMenu, ID_EDIT_TOGGLE_OLE_INDICATION).bChecked, bWas);
    m_pMain->SendMessage(WM_COMMAND, ID_EDIT_TOGGLE_OLE_INDICATION, 0);
    EXPECT_EQ(PointAt(pViewMenu, ID_EDIT_TOGGLE_OLE_INDICATION).bChecked, bWas);
}

} // namespace
} // namespace surfacetest

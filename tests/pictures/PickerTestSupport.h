#pragma once
// The fixture of the picture pickers' tests: a fresh window system and
// profile with an application object, the program's resources and common
// controls, only drive C:, a visible main window to parent the pickers, and
// a folder of small pictures. Message boxes are recorded and answered OK.

#include "app/PrefData.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/AfxMessageBox.h"
#include "tests/controls/TreeTestSupport.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pickertest {

using kittest::WindowsPath;
using testing_support::FindDescendant;

// The caption-free test of which picker is up.
inline bool HasChild(HWND hWnd, int nID)
{
    return ::GetDlgItem(hWnd, nID) != NULL;
}

class PickerTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        std::filesystem::remove(platform::RegistryFilePath());
        platform::ResetRegistryForTests();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
        m_root = testing_support::MakeTempDir("pickers");
        std::filesystem::create_directories(m_root + "/program/support");
        platform::SetProgramFolderForTests(m_root + "/program");
        MakeApp().SetRegistryKey("Threadwick Tests");
        thePrefs.Reset();
        thePrefs.LoadPreferences();
        for (const char* folder : {"/pics", "/other", "/empty"})
            std::filesystem::create_directories(m_root + folder);
        const picture_files::Raster raster(8, 6, RGB(200, 40, 40));
        for (const char* name : {"/pics/a.bmp", "/pics/b.bmp", "/pics/c.bmp", "/other/x.bmp", "/other/y.bmp"})
            picture_files::WriteBmp(raster, m_root + name);
        testing_support::WriteFileBytes(m_root + "/pics/notes.txt", "not a picture");
        m_strPics = (WindowsPath(m_root + "/pics") + "\\").c_str();
        m_strOther = (WindowsPath(m_root + "/other") + "\\").c_str();
        m_strEmpty = (WindowsPath(m_root + "/empty") + "\\").c_str();
        thePrefs.SetPictureFolder(m_strPics);
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT type, UINT) {
            m_messages.push_back(text);
            m_types.push_back(type);
            return IDOK;
        });
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 600,
            500, NULL, NULL));
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler(nullptr);
        platform::headless::SetIdleHandler(nullptr);
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
        thePrefs.Reset();
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        FrameworkTest::TearDown();
    }

    CWnd m_main;
    std::string m_root;
    CString m_strPics;
    CString m_strOther;
    CString m_strEmpty;
    std::vector<std::string> m_messages;
    std::vector<UINT> m_types;
};

} // namespace pickertest

#pragma once
// Steps for the surface's own dialogs when a test drives them through
// testing_support::DriveActiveWindow, and the folders the picture dialogs
// look in.

#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/CommCtrl.h"
#include "resources/SupportResources.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <functional>
#include <string>

namespace surfacetest {

using testing_support::Click;
using testing_support::ItemText;

// A step that waits for the dialog holding control nProbeID, then acts on it.
inline testing_support::DialogStep OnDialogWith(int nProbeID, std::function<void(HWND)> action)
{
    return [nProbeID, action](HWND hDlg) {
        if (::GetDlgItem(hDlg, nProbeID) == NULL)
            return false;
        action(hDlg);
        return true;
    };
}

// Readies the picture dialogs: their resources, controls and file system,
// no drives, and a fresh folder (returned) holding a program folder with
// its support folder and an empty pics folder for the test's pictures.
inline std::string SetUpPictureDialogFolders(const std::string& stem)
{
    threadwick::RegisterSupportResources();
    InitCommonControls();
    platform::InitFileSystem();
    platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
    std::string root = testing_support::MakeTempDir(stem);
    std::filesystem::create_directories(root + "/program/support");
    std::filesystem::create_directories(root + "/pics");
    platform::SetProgramFolderForTests(root + "/program");
    return root;
}

} // namespace surfacetest

#pragma once
// Shared set-up of the tests of the kit's trees: a headless program with
// the program's resources and the common controls, a visible main window to
// parent the trees, and the drive-C: form of a host path.

#include "platform/files/FileSystem.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"

#include <gtest/gtest.h>

#include <string>

namespace kittest {

// The path on drive C: of a host path, with backslashes.
inline std::string WindowsPath(const std::string& linuxPath)
{
    std::string path = "C:" + linuxPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

class TreeWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 600,
            500, NULL, NULL));
    }
    void TearDown() override
    {
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
    }

    CWnd m_main;
};

} // namespace kittest

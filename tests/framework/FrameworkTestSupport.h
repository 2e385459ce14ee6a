#pragma once
// The headless fixture of the class-library tests: a fresh window system,
// registry, clock and handle maps for every test, and an application object
// the test may make (destroyed, with every window, at the end).

#include "platform/base/Clock.h"
#include "platform/framework/Afx.h"
#include "platform/framework/WndInternal.h"
#include "platform/profile/Registry.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Hooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace fwtest {

// An application that starts without a main window unless the test gives
// it one.
class TestApp : public CWinApp {
public:
    TestApp()
        : CWinApp("FrameworkTest")
    {
    }
    BOOL InitInstance() override { return TRUE; }
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::ResetHooks();
        platform::ResetFrameworkWindowState();
        // Resetting reads the registry file again, and an earlier test's
        // idle flush may have written one: a fresh profile has no file.
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        platform::ResetClock();
    }

    void TearDown() override
    {
        // Windows first, so that self-deleting objects go with them while
        // the application (their AfxGetApp) still exists.
        platform::headless::Reset();
        platform::FrameworkDeleteTempMaps();
        m_app.reset();
        platform::ResetFrameworkWindowState();
        platform::ResetHooks();
        platform::ResetClock();
    }

    // Makes the application object (one per test).
    template <class App = TestApp, class... Args>
    App& MakeApp(Args&&... args)
    {
        auto app = std::make_unique<App>(std::forward<Args>(args)...);
        App& ref = *app;
        m_app = std::move(app);
        return ref;
    }

    CWinApp* App() const { return m_app.get(); }

    // Dispatches what is queued without waiting.
    static void Pump() { AfxPumpMessagesUntilIdle(); }

    // Gives a view's client area this size by sizing its frame.
    static void SetClientSize(CWnd* pView, int cx, int cy)
    {
        CRect client;
        pView->GetClientRect(&client);
        CFrameWnd* pFrame = pView->GetParentFrame();
        CRect frame;
        pFrame->GetWindowRect(&frame);
        pFrame->SetWindowPos(NULL, 0, 0, frame.Width() + cx - client.Width(), frame.Height() + cy - client.Height(),
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }

private:
    std::unique_ptr<CWinApp> m_app;
};

} // namespace fwtest

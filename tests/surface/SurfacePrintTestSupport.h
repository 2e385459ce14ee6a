#pragma once
// A surface test that prints to the PDF-file printer into a folder of its own.

#include "tests/surface/SurfacePaintTestSupport.h"

#include "platform/files/HostPath.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "print/PrintState.h"
#include "tests/support/TestHome.h"

#include <string>

namespace surfacetest {

class SurfacePrintFixture : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        // Only the PDF-file printer, whatever the machine has.
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir("surfaceprint");
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetAfxMessageBoxHandler(nullptr);
        CPrintState::Reset();
        SurfacePaintTest::TearDown();
    }

    CString PathOf(const std::string& name) const
    {
        return CString(platform::WindowsPathFor(m_dir + "/" + name).c_str());
    }
    std::string HostPathOf(const std::string& name) const { return m_dir + "/" + name; }

    std::string m_dir;
};

} // namespace surfacetest

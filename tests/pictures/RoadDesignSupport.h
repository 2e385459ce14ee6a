#pragma once
// What the end-to-end roads' design fixtures share: the folder the road
// names in an environment variable (else a temporary one), a new general
// design with the thin black frame a screenshot finds its objects by, and
// the design opened again as the program's Open does.

#include "tests/model/ModelTestSupport.h"

#include "app/main/DocTemplates.h"
#include "model/DocKinds.h"
#include "platform/files/HostPath.h"

#include <cstdlib>
#include <string>

namespace road_design {

class RoadDesignTest : public modeltest::WindowModelTest {
protected:
    RoadDesignTest(const char* pszFolderVariable, const char* pszTempName)
        : m_pszFolderVariable(pszFolderVariable)
        , m_pszTempName(pszTempName)
    {
    }

    void SetUp() override
    {
        WindowModelTest::SetUp();
        const char* pszDir = std::getenv(m_pszFolderVariable);
        m_dir = pszDir != nullptr && *pszDir != '\0' ? std::string(pszDir) : testing_support::MakeTempDir(m_pszTempName);
    }

    // A new general design holding only the frame; its first surface's view
    // in *ppView.
    CDrawDoc* NewFramedDesign(const CRect& rectFrame, CSurface** ppView)
    {
        CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
        if (pDoc == nullptr)
            return nullptr;
        *ppView = ViewOf(pDoc, 0);
        auto* pFrame = new CDrawRect(rectFrame);
        pFrame->m_bOutline = TRUE;
        pFrame->m_logpen.lopnStyle = PS_SOLID;
        pFrame->m_logpen.lopnColor = RGB(0, 0, 0);
        pFrame->m_bFill = FALSE;
        pDoc->AddObject(pFrame, *ppView);
        return pDoc;
    }

    // The saved design (a host path) opened again through a template of
    // its own, as File > Open would.
    CDrawDoc* Reopen(const std::string& path)
    {
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pTemplate);
        auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(platform::WindowsPathFor(path).c_str()));
        Pump();
        return pDoc;
    }

    std::string m_dir;

private:
    const char* m_pszFolderVariable;
    const char* m_pszTempName;
};

} // namespace road_design

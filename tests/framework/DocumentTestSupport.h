#pragma once
// Documents, views and an application object for the document tests, on
// the headless back end. The classes are defined in DocumentTest.cpp.

#include "platform/base/Archive.h"
#include "platform/base/Clock.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/profile/Registry.h"
#include "platform/ui/Headless.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace doctest {

// Resource ids of the two test document kinds ("Widget" .wdg, "Gadget" .gdg).
constexpr UINT kWidgetResource = 7801;
constexpr UINT kGadgetResource = 7802;

// A document holding one line of text, stored as a CString.
class CTextDoc : public CDocument {
    DECLARE_DYNCREATE(CTextDoc)
public:
    CTextDoc();
    ~CTextDoc() override;

    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    BOOL OnNewDocument() override;

    CString m_text;
    int m_nDeleteContents = 0;

    static inline int s_alive = 0;
    static inline bool s_failStore = false; // Serialize throws while storing
    static inline bool s_failNew = false;   // OnNewDocument fails
};

// A view that records what it is told.
class CRecordingView : public CView {
    DECLARE_DYNCREATE(CRecordingView)
public:
    CRecordingView();
    ~CRecordingView() override;

    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    std::vector<LPARAM> m_hints;
    int m_nDraws = 0;

    static inline int s_alive = 0;
};

class CTestScrollView : public CScrollView {
    DECLARE_DYNCREATE(CTestScrollView)
public:
    void OnDraw(CDC*) override {}
    using CScrollView::m_lineDev;
    using CScrollView::m_pageDev;
    using CScrollView::m_totalDev;
};

// The application: file dialogs answer from a script.
class CDocTestApp : public CWinApp {
public:
    CDocTestApp() : CWinApp("DocTests") {}

    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD, BOOL bOpenFileDialog, CDocTemplate*) override
    {
        m_promptTitles.push_back(nIDSTitle);
        m_promptProposals.push_back(fileName);
        m_promptWasOpen.push_back(bOpenFileDialog);
        if (m_promptAnswers.empty())
            return FALSE;
        fileName = m_promptAnswers.front();
        m_promptAnswers.pop_front();
        return !fileName.IsEmpty();
    }

    std::deque<CString> m_promptAnswers; // an empty answer cancels
    std::vector<UINT> m_promptTitles;
    std::vector<CString> m_promptProposals;
    std::vector<BOOL> m_promptWasOpen;
};

// Registers the test kinds' strings and menus once.
void RegisterDocTestResources();

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // No profile file of an earlier test: the registry starts empty.
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        platform::InitFileSystem();
        RegisterDocTestResources();
        CTextDoc::s_failStore = false;
        CTextDoc::s_failNew = false;
        m_app = std::make_unique<CDocTestApp>();
        m_app->SetRegistryKey("Threadwick Document Tests");
        // The registry file outlives a test: start without a recent-file list.
        m_app->WriteProfileString(platform::kRecentFileSection, NULL, NULL);
        m_dir = testing_support::MakeTempDir("doc");
    }

    void TearDown() override
    {
        m_app->CloseAllDocuments(TRUE);
        platform::headless::Reset();
        m_app.reset();
    }

    // The Windows-form path of a file in this test's folder.
    CString PathOf(const std::string& name) const
    {
        return CString((platform::WindowsPathFor(m_dir) + "\\" + name).c_str());
    }
    std::string HostPathOf(const std::string& name) const { return m_dir + "/" + name; }

    // A template of the test kinds, added to the application.
    CMultiDocTemplate* AddTemplate(UINT nIDResource, CRuntimeClass* pViewClass = RUNTIME_CLASS(CRecordingView))
    {
        auto* pTemplate = new CMultiDocTemplate(nIDResource, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CFrameWnd),
            pViewClass);
        m_app->AddDocTemplate(pTemplate);
        return pTemplate;
    }

    std::unique_ptr<CDocTestApp> m_app;
    std::string m_dir;
};

} // namespace doctest

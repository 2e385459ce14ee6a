#include "tests/main/AppTestSupport.h"

#include "app/main/DocTemplates.h"
#include "app/main/MainFrame.h"
#include "assist/GetStartedWizard.h"
#include "model/DocKinds.h"
#include "model/ProjectKinds.h"
#include "platform/base/CodePage.h"
#include "platform/files/HostPath.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/View.h"
#include "platform/storage/Storage.h"
#include "platform/ui/CommDlg.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "tests/support/TestHome.h"

#include <string>
#include <vector>

namespace {

class DocTemplatesTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        dir = testing_support::MakeTempDir("templates");
        ASSERT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
        g_nPlatform = 1;
        boxesBefore = platform::headless::MessageBoxes().size();
    }
    void TearDown() override
    {
        g_nPlatform = 1;
        g_pCurrentWizardSheet = NULL;
        AppTest::TearDown();
    }

    std::vector<std::string> NewBoxes()
    {
        std::vector<std::string> texts;
        const auto& boxes = platform::headless::MessageBoxes();
        for (size_t i = boxesBefore; i < boxes.size(); ++i)
            texts.push_back(boxes[i].text);
        boxesBefore = boxes.size();
        return texts;
    }

    std::vector<CDesignDocTemplate*> Templates()
    {
        std::vector<CDesignDocTemplate*> list;
        POSITION pos = m_app->GetFirstDocTemplatePosition();
        while (pos)
            list.push_back(dynamic_cast<CDesignDocTemplate*>(m_app->GetNextDocTemplate(pos)));
        return list;
    }

    CDocument* NewDesign(int nKind)
    {
        CDesignDocTemplate* pTemplate = FindDocTemplateByKind(nKind);
        return pTemplate ? pTemplate->OpenDocumentFile(NULL) : nullptr;
    }

    // A compound file whose root carries the class ID of kind nKind
    // (kDocKindNone: no class).
    std::string MakeCompoundFile(const char* name, int nKind)
    {
        std::string host = dir + "/" + name;
        std::string path = platform::WindowsPathFor(host);
        IStorage* pStorage = nullptr;
        EXPECT_EQ(StgCreateDocfile(platform::Utf16From1252(path).c_str(),
                      STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &pStorage),
            S_OK);
        if (pStorage) {
            if (nKind != kDocKindNone)
                WriteClassStg(pStorage, GetDocKindClassId(nKind).clsid);
            pStorage->Release();
        }
        return path;
    }

    std::string MakePlainFile(const char* name)
    {
        std::string host = dir + "/" + name;
        testing_support::WriteFileBytes(host, "not a compound file");
        return platform::WindowsPathFor(host);
    }

    std::string dir;
    size_t boxesBefore = 0;
};

TEST_F(DocTemplatesTest, SixTemplatesInKindOrderShareTheFirstMenu)
{
    struct Row {
        CRuntimeClass* pDocClass;
        UINT nIDDocString;
        const char* docName;
        const char* filterName;
        const char* ext;
        const char* typeId;
        const char* typeName;
    };
    const Row rows[] = {
        {RUNTIME_CLASS(CTovellDoc), 4, "Shirt", "Shirts (*.shr)", ".shr", "ThreadwickShr.Document", "Threadwick Tovell"},
        {RUNTIME_CLASS(CApparelDoc), 5, "Apparel", "Apparels (*.apl)", ".apl", "ThreadwickApl.Document",
            "Threadwick Apparel"},
        {RUNTIME_CLASS(CMousepadDoc), 6, "Mousepad", "Mousepads (*.mse)", ".mse", "ThreadwickMse.Document",
            "Threadwick Mousepad"},
        {RUNTIME_CLASS(CCalendarDoc), 7, "Calendar", "Calendars (*.clr)", ".clr", "ThreadwickClr.Document",
            "Threadwick Calendar"},
        {RUNTIME_CLASS(CGiftTagDoc), 8, "Label", "Labels (*.lbl)", ".lbl", "ThreadwickLbl.Document",
            "Threadwick Label"},
        {RUNTIME_CLASS(CGeneralDoc), 9, "General", "Generals (*.gnl)", ".gnl", "ThreadwickGnl.Document",
            "Threadwick General"},
    };
    std::vector<CDesignDocTemplate*> templates = Templates();
    ASSERT_EQ(templates.size(), 6u);
    const HMENU hShared = templates[0]->m_hMenuShared;
    ASSERT_NE(hShared, HMENU(NULL));
    EXPECT_EQ(m_app->GetDesignMenu(), hShared);
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        CDesignDocTemplate* pTemplate = templates[size_t(kind)];
        ASSERT_NE(pTemplate, nullptr);
        const Row& row = rows[kind];
        EXPECT_EQ(pTemplate->GetKind(), kind);
        EXPECT_EQ(pTemplate->GetDocStringId(), row.nIDDocString);
        EXPECT_EQ(pTemplate->m_hMenuShared, hShared);
        EXPECT_EQ(pTemplate->m_bOwnsMenu, kind == 0 ? TRUE : FALSE);
        EXPECT_EQ(FindDocTemplateByKind(kind), pTemplate);
        CString text;
        EXPECT_TRUE(pTemplate->GetDocString(text, CDocTemplate::windowTitle));
        EXPECT_STREQ(text, "");
        const std::pair<CDocTemplate::DocStringIndex, const char*> strings[] = {
            {CDocTemplate::docName, row.docName},
            {CDocTemplate::fileNewName, row.docName},
            {CDocTemplate::filterName, row.filterName},
            {CDocTemplate::filterExt, row.ext},
            {CDocTemplate::regFileTypeId, row.typeId},
            {CDocTemplate::regFileTypeName, row.typeName},
        };
        for (const auto& [index, expected] : strings) {
            EXPECT_TRUE(pTemplate->GetDocString(text, index));
            EXPECT_STREQ(text, expected);
        }
        EXPECT_FALSE(pTemplate->GetDocString(text, CDocTemplate::DocStringIndex(7)));
    }
    EXPECT_EQ(FindDocTemplateByKind(kDocKindNone), nullptr);
}

TEST_F(DocTemplatesTest, EachKindOpensANewUntitledDesignInItsOwnWindow)
{
    const char* titles[] = {"Shirt1", "Apparel1", "Mousepad1", "Calendar1", "Label1", "General1"};
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        g_nNewDesignMode = 1;
        CDocument* pDoc = NewDesign(kind);
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(g_nNewDesignMode, 0) << "opening clears the new-design mode";
        EXPECT_EQ(pDoc->GetDocTemplate(), FindDocTemplateByKind(kind));
        EXPECT_STREQ(pDoc->GetTitle(), titles[kind]);
        POSITION pos = pDoc->GetFirstViewPosition();
        ASSERT_NE(pos, nullptr);
        CView* pView = pDoc->GetNextView(pos);
        EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CSurface)));
        CFrameWnd* pFrame = pView->GetParentFrame();
        ASSERT_NE(pFrame, nullptr);
        EXPECT_TRUE(pFrame->IsKindOf(RUNTIME_CLASS(CSurfaceFrame)));
        EXPECT_TRUE(pFrame->IsWindowVisible());
    }
    EXPECT_EQ(CountOpenDocuments(), 6);
    EXPECT_STREQ(NewDesign(DOC_KIND_SHIRT)->GetTitle(), "Shirt2");
}

TEST_F(DocTemplatesTest, OpenDesignLimitDependsOnPlatformAndWizard)
{
    g_nPlatform = 0;
    EXPECT_EQ(MaxOpenDocuments(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(m_app->CanOpenAnotherDocument(TRUE));
        NewDesign(DOC_KIND_SHIRT);
    }
    EXPECT_TRUE(NewBoxes().empty());
    EXPECT_FALSE(m_app->CanOpenAnotherDocument(TRUE));
    EXPECT_FALSE(m_app->CanOpenAnotherDocument(FALSE));
    EXPECT_EQ(NewBoxes(), (std::vector<std::string>{
        "A maximum of 3 designs may be open at one time.\nYou must close one of the current designs before creating a new one.",
        "A maximum of 3 designs may be open at one time.\nYou must close one of the current designs before opening a new one.",
    }));

    // Opening is refused before the file is even looked at.
    EXPECT_EQ(m_app->OpenDocumentFile(MakePlainFile("fourth.shr").c_str()), nullptr);
    std::vector<std::string> refused = NewBoxes();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("before opening a new one"), std::string::npos);

    g_nPlatform = 1;
    EXPECT_EQ(MaxOpenDocuments(), 6);
    EXPECT_TRUE(m_app->CanOpenAnotherDocument(TRUE));

    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    g_pCurrentWizardSheet = &wizard;
    EXPECT_EQ(MaxOpenDocuments(), 15);
    g_pCurrentWizardSheet = NULL;

    for (int i = 3; i < 6; ++i)
        NewDesign(DOC_KIND_APPAREL);
    EXPECT_FALSE(m_app->CanOpenAnotherDocument(TRUE));
    EXPECT_NE(NewBoxes().at(0).find("A maximum of 6 designs"), std::string::npos);
    m_app->SetLimitDocuments(FALSE);
    EXPECT_TRUE(m_app->CanOpenAnotherDocument(TRUE));
    EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(DocTemplatesTest, MatchDocTypeAnswersByOpenPathAndClassId)
{
    CDesignDocTemplate* pShirt = FindDocTemplateByKind(DOC_KIND_SHIRT);
    CDesignDocTemplate* pApparel = FindDocTemplateByKind(DOC_KIND_APPAREL);
    CDocument* pMatch = reinterpret_cast<CDocument*>(this);

    const std::string shirt = MakeCompoundFile("tee.shr", DOC_KIND_SHIRT);
    EXPECT_EQ(pShirt->MatchDocType(shirt.c_str(), pMatch), CDocTemplate::yesAttemptNative);
    EXPECT_EQ(pMatch, nullptr);
    EXPECT_EQ(pApparel->MatchDocType(shirt.c_str(), pMatch), CDocTemplate::noAttempt)
        << "a shirt file offered to the apparel template";

    // The extension does not count, only the class ID.
    const std::string apparelNamedShirt = MakeCompoundFile("coat.shr", DOC_KIND_APPAREL);
    EXPECT_EQ(pShirt->MatchDocType(apparelNamedShirt.c_str(), pMatch), CDocTemplate::noAttempt);
    EXPECT_EQ(pApparel->MatchDocType(apparelNamedShirt.c_str(), pMatch), CDocTemplate::yesAttemptNative);

    const std::string classless = MakeCompoundFile("none.shr", kDocKindNone);
    const std::string plain = MakePlainFile("plain.shr");
    for (CDesignDocTemplate* pTemplate : Templates()) {
        EXPECT_EQ(pTemplate->MatchDocType(classless.c_str(), pMatch), CDocTemplate::noAttempt);
        EXPECT_EQ(pTemplate->MatchDocType(plain.c_str(), pMatch), CDocTemplate::noAttempt);
        EXPECT_EQ(pTemplate->MatchDocType((dir + "/missing.shr").c_str(), pMatch), CDocTemplate::noAttempt);
        EXPECT_EQ(pTemplate->MatchDocType("", pMatch), CDocTemplate::noAttempt);
    }

    // An open design is claimed by its own template only, however spelled.
    CDocument* pDoc = NewDesign(DOC_KIND_APPAREL);
    pDoc->SetPathName(plain.c_str(), FALSE);
    CString upper = plain.c_str();
    upper.MakeUpper();
    EXPECT_EQ(pApparel->MatchDocType(upper, pMatch), CDocTemplate::yesAlreadyOpen);
    EXPECT_EQ(pMatch, pDoc);
    EXPECT_EQ(pShirt->MatchDocType(plain.c_str(), pMatch), CDocTemplate::noAttempt);
    EXPECT_EQ(FindOpenDocument(plain.c_str()), pDoc);
    EXPECT_EQ(FindOpenDocument(shirt.c_str()), nullptr);
    EXPECT_TRUE(m_app->IsDocumentOpen(upper));
    EXPECT_FALSE(m_app->IsDocumentOpen(shirt.c_str()));

    pShirt->m_nKind = kDocKindNone;
    EXPECT_EQ(pShirt->MatchDocType(shirt.c_str(), pMatch), CDocTemplate::noAttempt);
    pShirt->m_nKind = DOC_KIND_SHIRT;
}

TEST_F(DocTemplatesTest, OpeningReportsFailureOrActivatesTheOpenDesign)
{
    const std::string plain = MakePlainFile("letter.txt");
    EXPECT_EQ(m_app->OpenDocumentFile(plain.c_str()), nullptr);
    EXPECT_EQ(NewBoxes(), std::vector<std::string>{"Unable to open design."});
    EXPECT_EQ(m_app->OpenDocumentFile((dir + "/missing.shr").c_str()), nullptr);
    EXPECT_EQ(NewBoxes(), std::vector<std::string>{"Unable to open design."});
    EXPECT_EQ(CountOpenDocuments(), 0);

    // A design that is already open comes forward instead of opening twice.
    CDocument* pFirst = NewDesign(DOC_KIND_SHIRT);
    pFirst->SetPathName(plain.c_str(), FALSE);
    CDocument* pSecond = NewDesign(DOC_KIND_LABEL);
    auto* pMain = static_cast<CMDIFrameWnd*>(m_app->m_pMainWnd);
    POSITION pos = pSecond->GetFirstViewPosition();
    EXPECT_EQ(pMain->MDIGetActive(), pSecond->GetNextView(pos)->GetParentFrame());

    EXPECT_EQ(m_app->OpenDocumentFile(plain.c_str()), pFirst);
    EXPECT_TRUE(NewBoxes().empty());
    EXPECT_EQ(CountOpenDocuments(), 2);
    pos = pFirst->GetFirstViewPosition();
    EXPECT_EQ(pMain->MDIGetActive(), pFirst->GetNextView(pos)->GetParentFrame());
}

TEST_F(DocTemplatesTest, RecentFileEntryIsRemovedOnceWithoutCase)
{
    ASSERT_NE(m_app->m_pRecentFileList, nullptr);
    m_app->AddToRecentFileList("C:\\Designs\\b.shr");
    m_app->AddToRecentFileList("C:\\Designs\\a.shr");
    m_app->RemoveFromRecentFileList("c:\\DESIGNS\\B.SHR");
    CRecentFileList& list = *m_app->m_pRecentFileList;
    int nCount = 0;
    for (int i = 0; i < list.GetSize(); ++i) {
        if (!list[i].IsEmpty()) {
            ++nCount;
            EXPECT_STREQ(list[i], "C:\\Designs\\a.shr");
        }
    }
    EXPECT_EQ(nCount, 1);
    m_app->RemoveFromRecentFileList("C:\\Designs\\zzz.shr");
    m_app->RemoveFromRecentFileList(nullptr);
    EXPECT_STREQ(list[0], "C:\\Designs\\a.shr");
}

TEST_F(DocTemplatesTest, OpenDialogOffersEveryKindAndKeepsThePathOnCancel)
{
    struct Seen {
        bool shown = false;
        DWORD helpContext = 0;
        std::vector<std::string> types;
    } seen;
    auto cancelDialog = [&] {
        HWND hDlg = ::GetLastActivePopup(MainWindow());
        if (!hDlg || hDlg == MainWindow() || seen.shown)
            return false;
        seen.shown = true;
        seen.helpContext = m_app->GetHelpContext();
        const int nTypes = int(::SendDlgItemMessage(hDlg, cmb1, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < nTypes && i < 20; ++i) {
            char text[256] = {};
            if (::SendDlgItemMessage(hDlg, cmb1, CB_GETLBTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof text))
                ::SendDlgItemMessage(hDlg, cmb1, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
            seen.types.emplace_back(text);
        }
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    platform::headless::SetIdleHandler(cancelDialog);
    m_app->SetHelpContext(0x42);
    CString path = "C:\\kept.shr";
    int nIndex = -1;
    const BOOL nResult = m_app->DoPromptFileName(path, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
        TRUE, nullptr, &nIndex);
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.helpContext, 0x1E101u);
    EXPECT_EQ(seen.types, (std::vector<std::string>{"All Designs", "Shirts (*.shr)", "Apparels (*.apl)",
                              "Mousepads (*.mse)", "Calendars (*.clr)", "Labels (*.lbl)", "Generals (*.gnl)",
                              "All Files (*.*)"}));
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_STREQ(path, "C:\\kept.shr");
    EXPECT_EQ(nIndex, -1);
    EXPECT_EQ(m_app->GetHelpContext(), 0x42u);

    CString chosen = "C:\\kept.shr";
    seen.shown = false;
    platform::headless::SetIdleHandler(cancelDialog);
    EXPECT_FALSE(m_app->PromptOpenDesign(m_app->m_pMainWnd, chosen));
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_TRUE(chosen.IsEmpty()) << "a cancelled prompt answers no path";
}

} // namespace

// The drawing document's commands on the whole design: the names proposed
// for a new file, the save-changes prompt, the Save As dialog reached from
// a save, logos, returning to the saved design, Page Setup, the collection
// file, and what the menus show.

#include "tests/model/ModelTestSupport.h"

#include "app/Paths.h"
#include "app/TextTable.h"
#include "app/main/DesignerApp.h"
#include "controls/ChoiceGrid.h"
#include "controls/DesignFileKind.h"
#include "controls/DesignSaveDlg.h"
#include "model/ProjectKinds.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/UserFolders.h"
#include "platform/framework/PropertySheet.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "print/PageSetupSheet.h"
#include "resources/assist.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs one step each time the modal loop goes idle, on the active window.
void RunSteps(std::vector<std::function<void(HWND)>> steps)
{
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([steps = std::move(steps), next]() {
        HWND hWnd = ::GetActiveWindow();
        if (hWnd == NULL || *next >= steps.size())
            return false;
        steps[(*next)++](hWnd);
        return true;
    });
}

void Press(HWND hWnd, int nID)
{
    ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hWnd, nID)));
}

// A file dialog step: the name typed and OK pressed.
std::function<void(HWND)> TypeAndSave(const std::string& path)
{
    return [path](HWND h) {
        ::SetDlgItemText(h, edt1, path.c_str());
        Press(h, IDOK);
    };
}

// The menu text and state an update handler gives a command.
struct MenuProbe : CCmdUI {
    int enabled = -1;
    CString text;
    void Enable(BOOL bOn) override
    {
        enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetText(LPCTSTR lpszText) override { text = lpszText; }
};

MenuProbe Probe(CCmdTarget* pTarget, UINT nID)
{
    MenuProbe probe;
    probe.m_nID = nID;
    probe.DoUpdate(pTarget, FALSE);
    return probe;
}

// Documents of the program's kinds in frames of an MDI main window, under
// the program's application object, with the program folder (and so the
// design and user tables) in a folder of the test's own.
class DocCommandsTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        // Files written through CFile find the overlay as the program does.
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("doccommands");
        m_program = testing_support::MakeTempDir("program");
        std::filesystem::create_directories(m_program + "/support");
        platform::SetProgramFolderForTests(m_program);
        platform::SetProgramFolderWritable(true);
        CDesignerApp& app = MakeApp<CDesignerApp>();
        m_pMain = new CMDIFrameWnd;
        ASSERT_TRUE(m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1200, 1000)));
        if (m_pMain->m_hWndMDIClient == NULL) {
            ASSERT_TRUE(m_pMain->CreateClient(nullptr, nullptr));
        }
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_nPlatform = g_nPlatform;
        g_nPlatform = kPlatformCurrent;
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        ResetSurfaceGlobals();
        g_nPlatform = m_nPlatform;
        ModelTest::TearDown();
        platform::SetProgramFolderForTests("");
        platform::ResetProgramFolderWritable();
    }

    CDocTemplate* Template(CRuntimeClass* pDocClass)
    {
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, pDocClass, RUNTIME_CLASS(CSurfaceFrame),
            RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pTemplate);
        return pTemplate;
    }
    CDrawDoc* NewDesign(CRuntimeClass* pDocClass = RUNTIME_CLASS(CTovellDoc))
    {
        CDocument* pDoc = Template(pDocClass)->OpenDocumentFile(NULL);
        Pump();
        return dynamic_cast<CDrawDoc*>(pDoc);
    }
    // The first open document of any template.
    CDrawDoc* OpenDesign() const
    {
        for (POSITION pos = App()->GetFirstDocTemplatePosition(); pos != nullptr;) {
            CDocTemplate* pTemplate = App()->GetNextDocTemplate(pos);
            POSITION posDoc = pTemplate->GetFirstDocPosition();
            if (posDoc != nullptr)
                return dynamic_cast<CDrawDoc*>(pTemplate->GetNextDoc(posDoc));
        }
        return nullptr;
    }
    static int ObjectCount(CDrawDoc* pDoc) { return static_cast<int>(pDoc->GetSurfaceView(0)->GetObjects().GetCount()); }
    // A change the user made: one more shape.
    static void AddShape(CDrawDoc* pDoc)
    {
        pDoc->AddObject(new CDrawRect(CRect(0, 100, 100, 0)), pDoc->GetSurfaceView(0));
        pDoc->SetModifiedFlag();
    }

    std::string WinPath(const std::string& name) const { return platform::WindowsPathFor(m_dir + "/" + name); }
    std::string HostFile(const std::string& name) const { return m_dir + "/" + name; }
    static bool Exists(const std::string& host) { return std::filesystem::exists(host); }
    size_t Boxes() const { return platform::headless::MessageBoxes().size(); }
    std::vector<std::string> BoxesSince(size_t nBefore) const
    {
        std::vector<std::string> texts;
        const auto& boxes = platform::headless::MessageBoxes();
        for (size_t i = nBefore; i < boxes.size(); ++i)
            texts.push_back(boxes[i].text);
        return texts;
    }

    std::string m_dir;
    std::string m_program;
    CMDIFrameWnd* m_pMain = nullptr;
    int m_nPlatform = kPlatformCurrent;
};

TEST(ShortenFileName, KeepsOneOrTwoTrailingDigits)
{
    struct Case {
        const char* name;
        const char* shortened;
    };
    for (const Case c : {Case{"Birthday12", "Birthd12"}, Case{"Birthday 7", "Birthda7"}, Case{"Birthdays", "Birthday"},
             Case{"Party", "Party"}, Case{"12345678", "12345678"}, Case{"123456789", "12345689"},
             Case{"Picnic x9y", "Picnic x"}}) {
        EXPECT_STREQ(ShortenFileName(c.name), c.shortened) << c.name;
    }
}

TEST_F(DocCommandsTest, ProposedNamesAreEightCharactersCutBeforeBlanksWithTheExtension)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    struct Case {
        const char* title;
        const char* text;
        const char* proposed;
    };
    for (const Case c : {
             // Without design text no digits are kept: the first 8.
             Case{"Congratulation 24", "", "Congratu.shr"},
             // The design text in parentheses goes, then the digits stay.
             Case{"Birthday 12 (Party)", "Party", "Birthd12.shr"},
             Case{"Big day.x", "", "Big.shr"},
             Case{"Ann#1", "", "Ann.shr"},
             Case{"Fair", "Fair", "Fair.shr"},
         }) {
        pDoc->SetTitle(c.title);
        pDoc->m_strDesignText = c.text;
        EXPECT_STREQ(pDoc->ProposeFileName(), c.proposed) << c.title;
    }
}

TEST_F(DocCommandsTest, SaveChangesAnswersCancelNoAndYes)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    const std::string path = WinPath("answers.shr");
    ASSERT_TRUE(pDoc->DoSave(path.c_str()));
    EXPECT_TRUE(Exists(HostFile("answers.shr")));
    EXPECT_STREQ(pDoc->GetPathName(), path.c_str());

    size_t nBefore = Boxes();
    EXPECT_TRUE(pDoc->SaveModified()) << "nothing to ask";
    EXPECT_EQ(Boxes(), nBefore);

    AddShape(pDoc);
    ASSERT_TRUE(pDoc->IsModified());
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(pDoc->SaveModified());
    ASSERT_EQ(BoxesSince(nBefore), std::vector<std::string>{"Save changes to " + path + "?"});
    EXPECT_EQ(platform::headless::MessageBoxes().back().type & 0x0F, UINT(MB_YESNOCANCEL));

    const auto written = std::filesystem::last_write_time(HostFile("answers.shr"));
    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_TRUE(pDoc->SaveModified());
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(std::filesystem::last_write_time(HostFile("answers.shr")), written);

    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_TRUE(pDoc->SaveModified());
    EXPECT_FALSE(pDoc->IsModified());
    pDoc->OnCloseDocument();
    Pump();
    CDrawDoc* pCopy = dynamic_cast<CDrawDoc*>(Template(RUNTIME_CLASS(CTovellDoc))->OpenDocumentFile(path.c_str()));
    ASSERT_NE(pCopy, nullptr);
    EXPECT_EQ(ObjectCount(pCopy), 1);
}

TEST_F(DocCommandsTest, YesWithoutAFileAsksForOneAndFilesTheDesign)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetTitle("Summer shirt");
    AddShape(pDoc);
    const std::string path = WinPath("summer.shr");
    std::string proposed;
    RunSteps({[&](HWND h) {
                  char text[MAX_PATH] = {};
                  ::GetDlgItemText(h, edt1, text, sizeof text);
                  proposed = text;
              },
        TypeAndSave(path)});
    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_TRUE(pDoc->SaveModified());
    EXPECT_EQ(proposed, "Summer.shr");
    EXPECT_TRUE(Exists(HostFile("summer.shr")));
    EXPECT_STREQ(pDoc->GetPathName(), path.c_str());
    EXPECT_FALSE(pDoc->IsModified());

    // The design table knows it by its file title, under the starting
    // category.
    CTableFile table;
    DesignQuery query;
    query.nMask = DesignQuery::byPath;
    query.strPath = path.c_str();
    DesignRecord record;
    ASSERT_TRUE(table.FindFirst(query, record));
    EXPECT_STREQ(record.strName, "summer");
    EXPECT_STREQ(record.strText, "Birthday");
    EXPECT_EQ(record.nKind, DOC_KIND_SHIRT);

    // Cancelling the dialog saves nothing and leaves the design modified.
    AddShape(pDoc);
    RunSteps({[](HWND h) { Press(h, IDCANCEL); }});
    EXPECT_FALSE(pDoc->DoSave(nullptr));
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(DocCommandsTest, APredesignedDesignAsksBeforeItsOwnFileIsOverwritten)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    const std::string path = WinPath("library.shr");
    ASSERT_TRUE(pDoc->DoSave(path.c_str()));
    thePrefs.AddlFlags = 0;
    pDoc->m_wDocFlags |= DOC_FLAG_PREDESIGNED;
    pDoc->SetTitle("Library design");
    // The library's file is not proposed; choosing it asks, No shows the
    // dialog again, and another name is saved.
    std::string proposed;
    RunSteps({[&](HWND h) {
                  char text[MAX_PATH] = {};
                  ::GetDlgItemText(h, edt1, text, sizeof text);
                  proposed = text;
                  ::SetDlgItemText(h, edt1, path.c_str());
                  Press(h, IDOK);
              },
        TypeAndSave(WinPath("mine.shr"))});
    platform::headless::PushMessageBoxAnswer(IDYES); // replace the existing file
    platform::headless::PushMessageBoxAnswer(IDNO);  // but not the pre-made design
    const size_t nBefore = Boxes();
    EXPECT_TRUE(pDoc->DoSave(path.c_str()));
    EXPECT_EQ(proposed, "Library.shr");
    const std::vector<std::string> texts = BoxesSince(nBefore);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Do you really wish to overwrite this pre-made design?");
    EXPECT_STREQ(pDoc->GetPathName(), WinPath("mine.shr").c_str());
    EXPECT_FALSE(pDoc->m_wDocFlags & DOC_FLAG_PREDESIGNED);
}

TEST_F(DocCommandsTest, LogoNamesThatLeaveTheSupportFolderAreRefused)
{
    for (const char* name : {"..\\evil", "a/b", "..", "c:x", "x..", "", "   "}) {
        const size_t nBefore = Boxes();
        CString path;
        EXPECT_FALSE(CDrawDoc::MakeLogoPath(name, path)) << name;
        EXPECT_EQ(BoxesSince(nBefore).size(), 1u) << name;
    }
    CString path;
    ASSERT_TRUE(CDrawDoc::MakeLogoPath(" Acme ", path));
    EXPECT_STREQ(path, GetProgramPath("support\\Acme.lgo"));
}

TEST_F(DocCommandsTest, SaveLogoWritesTheLogoIntoTheOverlayOfAReadOnlyProgramFolder)
{
    platform::SetProgramFolderWritable(false);
    App()->LoadStdProfileSettings(4);
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetTitle("(Logo) Acme");
    AddShape(pDoc);
    EXPECT_STREQ(Probe(pDoc, ID_FILE_SAVE).text, "&Save Logo\tCtrl+S");
    // Listed from an earlier open, the logo leaves the recent files.
    const CString logo = GetProgramPath("support\\Acme.lgo");
    App()->AddToRecentFileList(logo);

    RunSteps({[](HWND h) {
        ::SetDlgItemText(h, IDC_SAVELOGO_NAME, "Acme");
        Press(h, IDOK);
    }});
    pDoc->OnSaveDesign();
    EXPECT_STREQ(pDoc->GetPathName(), logo);
    EXPECT_TRUE(pDoc->IsLogo()) << "the title still begins with (Logo)";
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_TRUE(FileExists(logo));
    EXPECT_FALSE(Exists(m_program + "/support/Acme.lgo"));
    EXPECT_TRUE(Exists(platform::OverlayDir() + "/support/Acme.lgo"));
    // The picture of the logo beside it, a JPEG file.
    const std::string picture = testing_support::ReadFileBytes(platform::OverlayDir() + "/support/Acme.jpg");
    ASSERT_GE(picture.size(), 3u);
    EXPECT_EQ(picture.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(IsDesignStorageFile(logo), S_OK);
    // A logo is no recent file.
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    CCmdUI ui;
    ui.m_pMenu = &menu;
    ui.m_nID = ID_FILE_MRU_FILE1;
    ui.m_nIndexMax = 1;
    App()->OnUpdateRecentFileMenu(&ui);
    CString first;
    menu.GetMenuString(0, first, MF_BYPOSITION);
    EXPECT_EQ(first.Find("Acme"), -1);
    // Save As is not for logos.
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_AS).enabled, 0);
    EXPECT_EQ(Probe(pDoc, ID_FILE_PAGE_SETUP).enabled, 0);
}

TEST_F(DocCommandsTest, RevertReopensTheSavedDesignOrSaysItIsGone)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    AddShape(pDoc);
    const std::string path = WinPath("revert.shr");
    ASSERT_TRUE(pDoc->DoSave(path.c_str()));
    EXPECT_EQ(Probe(pDoc, ID_FILE_RETURN_TO_ORIGINAL).enabled, 0) << "nothing changed";
    AddShape(pDoc);
    AddShape(pDoc);
    EXPECT_EQ(Probe(pDoc, ID_FILE_RETURN_TO_ORIGINAL).enabled, 1);
    g_nCurrentShape = kShapeCrop;

    // No keeps the changes.
    platform::headless::PushMessageBoxAnswer(IDNO);
    pDoc->OnRevert();
    ASSERT_EQ(OpenDesign(), pDoc);
    EXPECT_EQ(ObjectCount(pDoc), 3);

    // Through the menu command: the design closes under the command's own
    // routing.
    CFrameWnd* pFrame = pDoc->GetSurfaceView(0)->GetParentFrame();
    ASSERT_NE(pFrame, nullptr);
    platform::headless::PushMessageBoxAnswer(IDYES);
    size_t nBefore = Boxes();
    pFrame->SendMessage(WM_COMMAND, ID_FILE_RETURN_TO_ORIGINAL, 0);
    Pump();
    EXPECT_EQ(BoxesSince(nBefore),
        std::vector<std::string>{"Do you want to lose all changes since you last saved the design?"});
    CDrawDoc* pReverted = OpenDesign();
    ASSERT_NE(pReverted, nullptr);
    EXPECT_EQ(ObjectCount(pReverted), 1);
    EXPECT_FALSE(pReverted->IsModified());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);

    // The file gone, the design stays as it is.
    AddShape(pReverted);
    std::filesystem::remove(HostFile("revert.shr"));
    platform::headless::PushMessageBoxAnswer(IDYES);
    nBefore = Boxes();
    pReverted->OnRevert();
    Pump();
    const std::vector<std::string> texts = BoxesSince(nBefore);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "Revert failed; unable to locate original design.");
    EXPECT_EQ(OpenDesign(), pReverted);
    EXPECT_EQ(ObjectCount(pReverted), 2);
}

TEST_F(DocCommandsTest, PageSetupOkTakesTheNewLayout)
{
    static_cast<CDesignerApp*>(App())->GetDocQuickInfo() = Layout(DOC_KIND_GENERAL);
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    const DocQuickInfo before = pDoc->GetQuickInfo();
    ASSERT_NE(before[DocQuickInfo::Orientation], 0);

    // Cancel changes nothing.
    RunSteps({[](HWND h) { Press(h, IDCANCEL); }});
    pDoc->OnPageSetup();
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::Orientation], before[DocQuickInfo::Orientation]);

    RunSteps({
        [](HWND h) {
            ::SendMessage(h, PSM_SETCURSEL, 1, 0);
            HWND hPage = HWND(::SendMessage(h, PSM_GETCURRENTPAGEHWND, 0, 0));
            auto* pGrid = dynamic_cast<CChoiceGrid*>(CWnd::FromHandlePermanent(
                ::GetDlgItem(hPage, int(CChoiceGrid::kFirstControlId) + kOrientationGridNumber)));
            ASSERT_NE(pGrid, nullptr);
            POINT p = pGrid->GetCellRect(1).CenterPoint();
            ::ClientToScreen(pGrid->m_hWnd, &p);
            platform::headless::Click(p.x, p.y);
        },
        [](HWND h) { Press(h, IDOK); },
    });
    pDoc->OnPageSetup();
    const DocQuickInfo& after = pDoc->GetQuickInfo();
    EXPECT_EQ(after[DocQuickInfo::Orientation], 0) << "landscape";
    EXPECT_EQ(after[DocQuickInfo::SheetWidth], before[DocQuickInfo::SheetHeight]);
    EXPECT_NE(after[DocQuickInfo::Unset], -1) << "set up";
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetCurrentSurfaceNumber(), 0);
}

TEST_F(DocCommandsTest, ConfirmSavePathAsksBeforeReplacingAndRefusesAnotherOpenDesign)
{
    CDrawDoc* pOwn = NewDesign();
    CDrawDoc* pOther = NewDesign();
    ASSERT_NE(pOwn, nullptr);
    ASSERT_NE(pOther, nullptr);
    const std::string own = WinPath("own.shr");
    const std::string other = WinPath("other.shr");
    ASSERT_TRUE(pOwn->DoSave(own.c_str()));
    ASSERT_TRUE(pOther->DoSave(other.c_str()));

    size_t nBefore = Boxes();
    EXPECT_TRUE(ConfirmSavePath(WinPath("new.shr").c_str(), own.c_str()));
    EXPECT_EQ(Boxes(), nBefore) << "a new file needs no question";

    // Replacing asks, No being the default; No refuses.
    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_FALSE(ConfirmSavePath(own.c_str(), own.c_str()));
    ASSERT_EQ(Boxes(), nBefore + 1);
    const auto& question = platform::headless::MessageBoxes().back();
    EXPECT_EQ(question.text, own + "\nThis file already exists.\n\nReplace existing file?");
    EXPECT_EQ(question.type, 0x134u);

    // The design's own file, however spelled, may be replaced.
    CString ownUpper = own.c_str();
    ownUpper.MakeUpper();
    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_TRUE(ConfirmSavePath(ownUpper, own.c_str()));

    // Another open design's file is refused even after Yes.
    nBefore = Boxes();
    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_FALSE(ConfirmSavePath(other.c_str(), own.c_str()));
    ASSERT_EQ(Boxes(), nBefore + 2);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text,
        "A design with this filename already exists.  Please use a different filename.");
    CString otherUpper = other.c_str();
    otherUpper.MakeUpper();
    EXPECT_TRUE(static_cast<CDesignerApp*>(App())->IsDocumentOpen(otherUpper));
}

TEST_F(DocCommandsTest, OlderPlatformsSaveThroughTheDesignSaveDialog)
{
    g_nPlatform = kPlatformOldNT;
    const CString savedFolder = thePrefs.CurDesignFolder;
    thePrefs.CurDesignFolder = platform::WindowsPathFor(m_dir).c_str();
    CDrawDoc* pOther = NewDesign();
    ASSERT_NE(pOther, nullptr);
    const std::string other = WinPath("taken.shr");
    ASSERT_TRUE(pOther->DoSave(other.c_str()));

    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetTitle("Fair");
    std::string folder;
    bool refusedKeptOpen = false;
    RunSteps({[&](HWND h) {
                  char text[MAX_PATH] = {};
                  ::SendMessage(h, CDM_GETFOLDERPATH, MAX_PATH, LPARAM(text));
                  folder = text;
                  TypeAndSave(other)(h);
              },
        [&](HWND h) {
            refusedKeptOpen = ::GetDlgItem(h, edt1) != NULL;
            TypeAndSave(WinPath("fair.shr"))(h);
        }});
    platform::headless::PushMessageBoxAnswer(IDYES);
    ASSERT_TRUE(pDoc->DoSave(nullptr));
    thePrefs.CurDesignFolder = savedFolder;
    EXPECT_EQ(folder, platform::WindowsPathFor(m_dir));
    EXPECT_TRUE(refusedKeptOpen);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text,
        "A design with this filename already exists.  Please use a different filename.");
    EXPECT_STREQ(pDoc->GetPathName(), WinPath("fair.shr").c_str());
    EXPECT_STREQ(pDoc->m_strLastSaveLocation, WinPath("fair.shr").c_str());
    EXPECT_TRUE(Exists(HostFile("fair.shr")));
}

// The class id as olefile prints it.
std::string ClassIdText(const CLSID& id)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", unsigned(id.Data1),
        unsigned(id.Data2), unsigned(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4],
        id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

// Lists the root's class and each storage with its class, and the size of
// each stream, as python3-olefile reads the file; false when it cannot.
bool OlefileListing(const std::string& hostPath, std::string& out)
{
    return testing_support::RunOlefileScript(
        "import sys, olefile\n"
        "ole = olefile.OleFileIO(sys.argv[1])\n"
        "print('root', ole.root.clsid)\n"
        "for e in sorted(ole.listdir(streams=True, storages=True)):\n"
        "    name = '/'.join(e)\n"
        "    if ole.get_type(e) == olefile.STGTY_STORAGE:\n"
        "        print(name, ole.getclsid(e))\n"
        "    else:\n"
        "        print(name, len(ole.openstream(e).read()))\n",
        {hostPath}, out);
}

TEST_F(DocCommandsTest, TheCollectionFileTakesEachKindsDesignInItsOwnStorage)
{
    const CString collection = CDrawDoc::CollectionFilePath();
    EXPECT_EQ(collection.Right(12), "\\coorset.cst");
    const std::string host = platform::HostPathForReading(std::string(collection));
    std::filesystem::remove_all(host);

    CDrawDoc* pShirt = NewDesign(RUNTIME_CLASS(CTovellDoc));
    CDrawDoc* pCalendar = NewDesign(RUNTIME_CLASS(CCalendarDoc));
    ASSERT_NE(pShirt, nullptr);
    ASSERT_NE(pCalendar, nullptr);
    ASSERT_TRUE(pShirt->DoSave(WinPath("a.shr").c_str()));
    ASSERT_TRUE(pCalendar->DoSave(WinPath("b.clr").c_str()));
    EXPECT_TRUE(pShirt->WriteScratchStorage());
    EXPECT_TRUE(pCalendar->WriteScratchStorage());
    // Again: the shirt's storage is replaced, not added.
    EXPECT_TRUE(pShirt->WriteScratchStorage());

    std::string listing;
    if (!OlefileListing(host, listing))
        GTEST_SKIP() << "python3-olefile is not installed";
    const std::string shirt = ClassIdText(GetDocKindClassId(DOC_KIND_SHIRT).clsid);
    const std::string calendar = ClassIdText(GetDocKindClassId(DOC_KIND_CALENDAR).clsid);
    EXPECT_NE(listing.find("root " + shirt + "\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("XSTOR0 " + shirt + "\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("XSTOR3 " + calendar + "\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("XSTOR0/Contents "), std::string::npos) << listing;
    EXPECT_NE(listing.find("XSTOR3/Contents "), std::string::npos) << listing;
    EXPECT_EQ(listing.find("XSTOR0 ", listing.find("XSTOR0 ") + 1), std::string::npos) << listing;
}

TEST_F(DocCommandsTest, ACollectionFileThatCannotBeWrittenIsReported)
{
    const std::string host = platform::HostPathForReading(std::string(CDrawDoc::CollectionFilePath()));
    std::filesystem::remove_all(host);
    std::filesystem::create_directories(host);
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    const size_t nBefore = Boxes();
    EXPECT_FALSE(pDoc->WriteScratchStorage());
    const std::vector<std::string> texts = BoxesSince(nBefore);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("coorset.cst"), std::string::npos) << texts[0];
    std::filesystem::remove_all(host);
}

TEST_F(DocCommandsTest, MenusFollowTheDesignAndKeepUnbuiltCommandsOff)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    thePrefs.AddlFlags = 0;
    MenuProbe save = Probe(pDoc, ID_FILE_SAVE);
    EXPECT_STREQ(save.text, "&Save\tCtrl+S");
    EXPECT_EQ(save.enabled, 1);
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_AS).enabled, 1);
    EXPECT_EQ(Probe(pDoc, ID_FILE_PAGE_SETUP).enabled, 1);
    EXPECT_EQ(Probe(pDoc, ID_FILE_RETURN_TO_ORIGINAL).enabled, 0) << "no file yet";

    // A design with folding instructions is saved only under its name.
    pDoc->m_wDocFlags |= DOC_FLAG_FOLDING;
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_AS).enabled, 0);
    thePrefs.AddlFlags = PREF_ADDL_SWITCH_I;
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_AS).enabled, 1);
    pDoc->m_wDocFlags &= ~WORD(DOC_FLAG_FOLDING);

    // A logo's file is saved as a logo only.
    thePrefs.AddlFlags = 0;
    ASSERT_TRUE(pDoc->DoSave(WinPath("old.lgo").c_str()));
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_AS).enabled, 0);
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_LOGO).enabled, 0);
    pDoc->SetTitle("(Logo) old");
    EXPECT_EQ(Probe(pDoc, ID_FILE_SAVE_LOGO).enabled, 1);

    // Spell Check and Replace Text are the design's, and always offered.
    for (UINT nID : {UINT(ID_TOOLS_SPELL_CHECK), UINT(ID_EDIT_REPLACE_TEXT)}) {
        AFX_CMDHANDLERINFO info{};
        EXPECT_TRUE(pDoc->OnCmdMsg(nID, CN_COMMAND, nullptr, &info)) << nID;
        EXPECT_EQ(Probe(pDoc, nID).enabled, -1) << nID;
    }
    // "Add Text Information" is the main frame's now: the design leaves it
    // alone.
    EXPECT_EQ(Probe(pDoc, ID_INSERT_TEXT_INFO).enabled, -1);
}

} // namespace

// Documents handed over by the desktop: the shell's open command, the split
// of the program's arguments, and their road through EnableShellOpen and
// the main window to OnDDECommand.

#include "FrameworkTestSupport.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/framework/ShellOpen.h"

#include <string>
#include <vector>

namespace {

using WinAppShellTest = fwtest::FrameworkTest;

// Records what the shell asked to open; its main window passes shell
// commands on as the program's main frame does.
class ShellApp : public CWinApp {
public:
    ShellApp()
        : CWinApp("ShellTest")
    {
    }
    BOOL InitInstance() override { return TRUE; }
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override
    {
        m_opened.push_back(lpszFileName);
        return nullptr;
    }
    std::vector<std::string> m_opened;
};

class CShellMainWnd : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DDE_EXECUTE)
            return AfxExecuteShellCommand(lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

CString Open(const std::string& path)
{
    return CString(("[open(\"" + path + "\")]").c_str());
}

} // namespace

TEST_F(WinAppShellTest, OpenCommandReachesOpenDocumentFileAndNothingElseDoes)
{
    ShellApp& app = MakeApp<ShellApp>();
    auto command = [&](const std::string& text) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        return app.OnDDECommand(buffer.data());
    };

    EXPECT_TRUE(command("[open(\"C:\\Designs\\shirt.shr\")]"));
    EXPECT_TRUE(command("[OPEN(\"C:\\My Designs\\a  b.shr\")]")) << "the verb without case; blanks kept";
    const std::string longest = "C:\\" + std::string(4096 - 3, 'x');
    EXPECT_TRUE(command("[open(\"" + longest + "\")]"));
    ASSERT_EQ(app.m_opened.size(), 3u);
    EXPECT_EQ(app.m_opened[0], "C:\\Designs\\shirt.shr");
    EXPECT_EQ(app.m_opened[1], "C:\\My Designs\\a  b.shr");
    EXPECT_EQ(app.m_opened[2], longest);

    const char* refused[] = {
        "",
        "[open(\"\")]",
        "[open(C:\\a.shr)]",
        "[open(\"C:\\a.shr\")",
        "[open(\"C:\\a.shr)]",
        " [open(\"C:\\a.shr\")]",
        "[open(\"C:\\a.shr\")] ",
        "[open (\"C:\\a.shr\")]",
        "[print(\"C:\\a.shr\")]",
        "[printto(\"C:\\a.shr\",\"printer\",\"driver\",\"port\")]",
        "[open(\"C:\\a.shr\")][open(\"C:\\b.shr\")]",
        "[open(\"C:\\a\"b.shr\")]",
        "[open(\"C:\\a\nb.shr\")]",
        "[open(\"C:\\a\tb.shr\")]",
    };
    for (const char* text : refused)
        EXPECT_FALSE(command(text)) << text;
    EXPECT_FALSE(command("[open(\"C:\\" + std::string(4096 - 2, 'x') + "\")]")) << "one byte over";
    EXPECT_FALSE(command("[open(\"C:\\" + std::string(100000, 'x') + "\")]"));
    EXPECT_FALSE(app.OnDDECommand(nullptr));
    EXPECT_EQ(app.m_opened.size(), 3u) << "a refused command opens nothing";
}

TEST_F(WinAppShellTest, OpenCommandIsMadeOnlyForPathsThatReadBack)
{
    CString path;
    EXPECT_TRUE(AfxParseShellOpenCommand(AfxMakeShellOpenCommand("C:\\a b\\caf\xE9.shr"), path));
    EXPECT_STREQ(path, "C:\\a b\\caf\xE9.shr");
    for (const char* bad : { "", "C:\\a\"b.shr", "C:\\a\rb.shr" })
        EXPECT_TRUE(AfxMakeShellOpenCommand(bad).IsEmpty()) << bad;
    EXPECT_TRUE(AfxMakeShellOpenCommand(CString(std::string(4097, 'x').c_str())).IsEmpty());
    EXPECT_TRUE(AfxMakeShellOpenCommand(nullptr).IsEmpty());
}

TEST_F(WinAppShellTest, FirstDocumentStaysOnTheCommandLineAndTheOthersBecomeOpenCommands)
{
    std::vector<CString> commandLine;
    std::vector<CString> shell;
    AfxSplitShellDocuments({ "-a", "/home/ann/one.shr", "/home/ann/my two.shr", "/f", "-i", "three.shr" },
        commandLine, shell);
    ASSERT_EQ(commandLine.size(), 4u);
    EXPECT_STREQ(commandLine[0], "-a");
    EXPECT_STREQ(commandLine[1], "/home/ann/one.shr");
    EXPECT_STREQ(commandLine[2], "/f") << "a one-letter switch is no path";
    EXPECT_STREQ(commandLine[3], "-i");
    ASSERT_EQ(shell.size(), 2u);
    EXPECT_STREQ(shell[0], "[open(\"C:\\home\\ann\\my two.shr\")]");
    // A relative name means the file in this copy's folder, wherever the
    // command ends up.
    EXPECT_STREQ(shell[1], Open(platform::CurrentWindowsFolder() + "\\three.shr"));

    // One document, or none: the command line is all there is.
    AfxSplitShellDocuments({ "/home/ann/one.shr" }, commandLine, shell);
    EXPECT_EQ(commandLine.size(), 1u);
    EXPECT_TRUE(shell.empty());
    AfxSplitShellDocuments({ "-b" }, commandLine, shell);
    EXPECT_EQ(commandLine.size(), 1u);
    EXPECT_TRUE(shell.empty());
    // A document whose name cannot travel is left out rather than mangled.
    AfxSplitShellDocuments({ "/home/ann/one.shr", "/home/ann/say \"hi\".shr" }, commandLine, shell);
    EXPECT_EQ(commandLine.size(), 1u);
    EXPECT_TRUE(shell.empty());
}

TEST_F(WinAppShellTest, StartWithSeveralDocumentsKeepsOneOnTheCommandLineAndPostsTheRestOnEnable)
{
    AfxSetCommandLine(std::vector<CString>{ "/home/ann/one file.shr", "/home/ann/two.shr", "/home/ann/three.shr" });
    ShellApp& app = MakeApp<ShellApp>();
    ASSERT_TRUE(app.InitApplication());
    AfxSetCommandLine(std::vector<CString>{});
    EXPECT_STREQ(app.m_lpCmdLine, "\"/home/ann/one file.shr\"") << "the command line as with one file";
    EXPECT_EQ(AfxGetPendingShellCommands().size(), 2u);

    CShellMainWnd main;
    CShellMainWnd* pMain = &main;
    ASSERT_TRUE(pMain->CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL));
    app.m_pMainWnd = pMain;
    const size_t nBlocks = platform::GlobalBlockCount();
    app.EnableShellOpen();
    EXPECT_TRUE(AfxGetPendingShellCommands().empty());
    EXPECT_TRUE(app.m_opened.empty()) << "they wait for the loop, behind the command line's file";
    Pump();
    ASSERT_EQ(app.m_opened.size(), 2u);
    EXPECT_EQ(app.m_opened[0], "C:\\home\\ann\\two.shr");
    EXPECT_EQ(app.m_opened[1], "C:\\home\\ann\\three.shr");
    EXPECT_EQ(platform::GlobalBlockCount(), nBlocks) << "each command's block is freed";

    // A handle that is no live block is neither read nor trusted.
    HGLOBAL hStale = ::GlobalAlloc(GMEM_MOVEABLE, 8);
    ::GlobalFree(hStale);
    EXPECT_EQ(pMain->SendMessage(WM_DDE_EXECUTE, 0, reinterpret_cast<LPARAM>(hStale)), FALSE);
    EXPECT_EQ(pMain->SendMessage(WM_DDE_EXECUTE, 0, 0), FALSE);
    // Nor is text without its end.
    HGLOBAL hUnended = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(::GlobalLock(hUnended), "[ope", 4);
    ::GlobalUnlock(hUnended);
    EXPECT_EQ(pMain->SendMessage(WM_DDE_EXECUTE, 0, reinterpret_cast<LPARAM>(hUnended)), FALSE);
    EXPECT_EQ(app.m_opened.size(), 2u);

    EXPECT_FALSE(AfxPostShellCommand(pMain->m_hWnd, ""));
    EXPECT_FALSE(AfxPostShellCommand(NULL, Open("C:\\a.shr")));
    EXPECT_EQ(platform::GlobalBlockCount(), nBlocks);
    app.m_pMainWnd = nullptr;
    pMain->DestroyWindow();
}

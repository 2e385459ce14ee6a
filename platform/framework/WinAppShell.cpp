// CWinApp's side of documents handed over by the desktop: the arguments
// beyond the first document, the shell's open command, and the instance
// channel's shell commands from later copies.

#include "platform/framework/ShellOpen.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/services/InstanceProtocol.h"
#include "platform/services/SingleInstance.h"
#include "platform/ui/User.h"

#include <cstring>
#include <string_view>

static_assert(size_t(kMaxShellCommand) == platform::kMaxInstanceShellCommand,
    "a shell command that fits the instance channel fits the main window");

namespace {

constexpr char kOpenPrefix[] = "[open(\"";
constexpr char kOpenSuffix[] = "\")]";
constexpr int kOpenPrefixLength = int(sizeof kOpenPrefix - 1);
constexpr int kOpenSuffixLength = int(sizeof kOpenSuffix - 1);
// As long as a path the program takes as an argument.
constexpr int kMaxShellPath = 4096;
static_assert(kOpenPrefixLength + kMaxShellPath + kOpenSuffixLength <= kMaxShellCommand);

std::vector<CString>& PendingCommands()
{
    static std::vector<CString> commands;
    return commands;
}

// A path fits between the command's quotes when nothing in it could end
// them early or smuggle a line into what reads it.
bool PathCanTravel(const CString& strPath)
{
    if (strPath.IsEmpty() || strPath.GetLength() > kMaxShellPath)
        return false;
    for (int i = 0; i < strPath.GetLength(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(strPath[i]);
        if (ch < 0x20 || ch == '"' || ch == 0x7F)
            return false;
    }
    return true;
}

bool NamesSomething(const CString& strWindowsPath)
{
    return ::GetFileAttributes(strWindowsPath) != INVALID_FILE_ATTRIBUTES;
}

// Switch arguments begin with '-', or with '/' when nothing else in them
// makes them a Linux path ("/f" is a switch, "/home/ann/x.shr" a name).
bool IsSwitchArgument(const CString& arg)
{
    if (arg.IsEmpty() || arg[0] == '-')
        return true;
    if (arg[0] != '/' || arg.Find('/', 1) >= 0)
        return false;
    const std::string path = platform::WindowsPathFor(std::string_view(arg, size_t(arg.GetLength())));
    return !NamesSomething(CString(path.c_str()));
}

// A document argument as a full Windows-form path, so that it means the same
// file to a copy whose current folder differs.
CString FullDocumentPath(const CString& arg)
{
    const std::string_view text(arg, size_t(arg.GetLength()));
    const bool hostPath = arg[0] == '/' || (arg.Find('/') >= 0 && arg.Find('\\') < 0 && arg.Find(':') < 0);
    const std::string path = hostPath ? platform::WindowsPathFor(text) : platform::FullWindowsPath(text);
    return CString(path.c_str());
}

} // namespace

CString AFXAPI AfxMakeShellOpenCommand(LPCTSTR lpszPath)
{
    const CString strPath = lpszPath != nullptr ? lpszPath : "";
    if (!PathCanTravel(strPath))
        return CString();
    CString command = kOpenPrefix;
    command += strPath;
    command += kOpenSuffix;
    return command;
}

BOOL AFXAPI AfxParseShellOpenCommand(LPCTSTR lpszCommand, CString& strPath)
{
    strPath.Empty();
    if (lpszCommand == nullptr)
        return FALSE;
    const size_t nLength = strnlen(lpszCommand, size_t(kMaxShellCommand) + 1);
    if (nLength > size_t(kMaxShellCommand) || int(nLength) <= kOpenPrefixLength + kOpenSuffixLength)
        return FALSE;
    const CString command(lpszCommand, int(nLength));
    // The verb is matched without case, as the shell's commands are.
    if (command.Left(kOpenPrefixLength).CompareNoCase(kOpenPrefix) != 0 || command.Right(kOpenSuffixLength) != kOpenSuffix)
        return FALSE;
    const CString path = command.Mid(kOpenPrefixLength, command.GetLength() - kOpenPrefixLength - kOpenSuffixLength);
    if (!PathCanTravel(path))
        return FALSE;
    strPath = path;
    return TRUE;
}

void AFXAPI AfxSplitShellDocuments(const std::vector<CString>& arguments, std::vector<CString>& commandLine,
    std::vector<CString>& shellCommands)
{
    commandLine.clear();
    shellCommands.clear();
    bool bDocumentSeen = false;
    for (const CString& arg : arguments) {
        const bool bSwitch = IsSwitchArgument(arg);
        if (bSwitch || !bDocumentSeen) {
            bDocumentSeen = bDocumentSeen || !bSwitch;
            commandLine.push_back(arg);
            continue;
        }
        CString command = AfxMakeShellOpenCommand(FullDocumentPath(arg));
        if (!command.IsEmpty())
            shellCommands.push_back(command);
    }
}

const std::vector<CString>& AFXAPI AfxGetPendingShellCommands()
{
    return PendingCommands();
}

void AFXAPI AfxSetPendingShellCommands(std::vector<CString> commands)
{
    PendingCommands() = std::move(commands);
}

BOOL AFXAPI AfxPostShellCommand(HWND hWnd, LPCTSTR lpszCommand)
{
    // A NULL window would make it a thread message that no window frees.
    if (lpszCommand == nullptr || !::IsWindow(hWnd))
        return FALSE;
    const size_t nLength = strnlen(lpszCommand, size_t(kMaxShellCommand) + 1);
    if (nLength == 0 || nLength > size_t(kMaxShellCommand))
        return FALSE;
    HGLOBAL hCommand = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nLength + 1);
    char* pText = hCommand != NULL ? static_cast<char*>(::GlobalLock(hCommand)) : nullptr;
    if (pText == nullptr) {
        if (hCommand != NULL)
            ::GlobalFree(hCommand);
        return FALSE;
    }
    memcpy(pText, lpszCommand, nLength);
    ::GlobalUnlock(hCommand);
    if (!::PostMessage(hWnd, WM_DDE_EXECUTE, 0, reinterpret_cast<LPARAM>(hCommand))) {
        ::GlobalFree(hCommand);
        return FALSE;
    }
    return TRUE;
}

BOOL AFXAPI AfxExecuteShellCommand(LPARAM lParam)
{
    HGLOBAL hCommand = reinterpret_cast<HGLOBAL>(lParam);
    if (hCommand == NULL)
        return FALSE;
    // A stale or forged handle has no size and no memory: nothing is read.
    std::vector<char> text;
    const SIZE_T nSize = ::GlobalSize(hCommand);
    if (nSize > 0 && nSize <= SIZE_T(kMaxShellCommand) + 1) {
        if (const char* pText = static_cast<const char*>(::GlobalLock(hCommand))) {
            const size_t nLength = strnlen(pText, nSize);
            if (nLength < nSize)
                text.assign(pText, pText + nLength + 1);
            ::GlobalUnlock(hCommand);
        }
    }
    ::GlobalFree(hCommand);
    CWinApp* pApp = AfxGetApp();
    if (text.empty() || pApp == nullptr)
        return FALSE;
    return pApp->OnDDECommand(text.data());
}

void CWinApp::EnableShellOpen()
{
    // Later copies hand their documents to the window that is main when
    // they arrive; the copy then comes forward on their activate request.
    platform::SingleInstance* pChannel = platform::SingleInstance::Current();
    if (pChannel != nullptr && pChannel->GetRole() == platform::SingleInstance::Role::First) {
        pChannel->SetShellCommandHandler([](const std::string& command) -> LRESULT {
            CWnd* pMain = AfxGetMainWnd();
            if (pMain == nullptr || !::IsWindow(pMain->m_hWnd))
                return FALSE;
            return AfxPostShellCommand(pMain->m_hWnd, command.c_str());
        });
    }

    // This start's further documents open once the loop runs, after the
    // command line's own document.
    std::vector<CString> commands;
    commands.swap(PendingCommands());
    if (m_pMainWnd == nullptr || !::IsWindow(m_pMainWnd->m_hWnd))
        return;
    for (const CString& command : commands)
        AfxPostShellCommand(m_pMainWnd->m_hWnd, command);
}

BOOL CWinApp::OnDDECommand(LPTSTR lpszCommand)
{
    CString strPath;
    if (!AfxParseShellOpenCommand(lpszCommand, strPath))
        return FALSE;
    // The document opens, or the application says why not; either way the
    // command was understood.
    OpenDocumentFile(strPath);
    return TRUE;
}

#include "app/main/CommandLine.h"

#include "app/FontHelpers.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/files/HostPath.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/ShellOpen.h"
#include "platform/services/SingleInstance.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/InstanceChannel.h"
#include "platform/ui/User.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char kInstanceVersion[] = "1.0";
constexpr char kWakeUpMessageName[] = "tovell";
constexpr char kSwitchFaceName[] = "KQ Clearly Roman";
constexpr char kUnrecognizedSwitch[] = "Unrecognized command line parameter -";

// The command line comes from outside: nothing longer is looked at.
constexpr int kMaxCommandLine = 8192;
// A Linux path is recognised up to this length and with at most this many
// blanks in it, so that a hostile line cannot ask for endless file tests.
constexpr int kMaxProbedPath = 4096;
constexpr int kMaxProbedBlanks = 16;
// A line of nonsense letters would otherwise ask for one box per letter.
constexpr int kMaxReportedSwitches = 16;
// A running copy started a moment before this one (the desktop starts a
// copy per document) answers only once its own start-up reaches the
// message loop; a design handed over is worth waiting that long for.
constexpr int kHandOverTimeoutMs = 20000;

platform::SingleInstance& Channel()
{
    static platform::SingleInstance channel;
    return channel;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

void TrimBlanks(CString& str)
{
    str.TrimLeft();
    str.TrimRight();
}

// A Linux path (as a shell hands it over) in the program's Windows form;
// other names are kept as written.
CString ToProgramPath(const CString& strName)
{
    if (strName.IsEmpty())
        return strName;
    bool hostPath = strName[0] == '/' || (strName.Find('/') >= 0 && strName.Find('\\') < 0 && strName.Find(':') < 0);
    if (!hostPath)
        return strName;
    return CString(platform::WindowsPathFor(std::string_view(strName, size_t(strName.GetLength()))).c_str());
}

bool HostPathExists(const CString& strPath)
{
    return !strPath.IsEmpty() && FileExists(ToProgramPath(strPath));
}

// The length of the longest run at nStart, ending at a blank or at the end
// of the line, that names an existing Linux path; 0 when none does. Such a
// run is a file name, never a switch group.
int ExistingHostPathLength(const CString& str, int nStart)
{
    const int nLimit = std::min(str.GetLength(), nStart + kMaxProbedPath);
    std::vector<int> ends;
    for (int i = nStart + 1; i <= nLimit && int(ends.size()) < kMaxProbedBlanks; ++i) {
        if ((i == str.GetLength() || IsBlank(str[i])) && !IsBlank(str[i - 1]))
            ends.push_back(i);
    }
    // The longest name that exists wins: "/a/my file.shr" before "/a/my".
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        if (HostPathExists(str.Mid(nStart, *it - nStart)))
            return *it - nStart;
    }
    return 0;
}

// The length of the word at nStart when it is a Linux path whether or not it
// exists: it starts with '/' and holds another '/' before the next blank.
// Switch groups never hold a '/' after their first, so "/tmp/x.kqa" is a
// name and "/f" a switch.
int HostPathWordLength(const CString& str, int nStart)
{
    int nEnd = nStart + 1;
    bool bSlash = false;
    while (nEnd < str.GetLength() && !IsBlank(str[nEnd])) {
        bSlash = bSlash || str[nEnd] == '/';
        ++nEnd;
    }
    return bSlash ? nEnd - nStart : 0;
}

// The position of the next switch group at or after nFrom, or -1. A group
// starts with '-' or '/' at the start of the line or after a blank; quoted
// text and Linux paths are passed over whole.
int FindSwitchGroup(const CString& str, int nFrom)
{
    const int nLength = str.GetLength();
    int i = nFrom;
    while (i < nLength) {
        const char ch = str[i];
        if (ch == '"') {
            const int nClose = str.Find('"', i + 1);
            if (nClose < 0)
                return -1;
            i = nClose + 1;
            continue;
        }
        const bool atWordStart = i == 0 || IsBlank(str[i - 1]);
        if (atWordStart && ch == '/') {
            int nPath = ExistingHostPathLength(str, i);
            if (nPath == 0)
                nPath = HostPathWordLength(str, i);
            if (nPath > 0) {
                i += nPath;
                continue;
            }
            return i;
        }
        if (atWordStart && ch == '-')
            return i;
        ++i;
    }
    return -1;
}

void ReportUnknownSwitch(char ch, int& nReported)
{
    if (nReported >= kMaxReportedSwitches)
        return;
    ++nReported;
    CString text = kUnrecognizedSwitch;
    text += ch;
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void ApplySwitch(char ch, int& nReported)
{
    switch (ch) {
    case ' ':
    case '\t':
    case '-':
    case '/':
        break;
    case 'a':
        thePrefs.AddlFlags |= PREF_ADDL_SWITCH_A;
        break;
    case 'b':
        g_bCompanion = HasCompanionMarker();
        break;
    case 'f':
        thePrefs.PaletteMethod = 0;
        break;
    case 'i':
        thePrefs.AddlFlags |= PREF_ADDL_SWITCH_I;
        g_defaultFaceName = kSwitchFaceName;
        break;
    case 'n':
        thePrefs.PaletteMethod = 1;
        break;
    case 'o':
        thePrefs.PaletteMethod = 2;
        break;
    case 'u':
        thePrefs.PaletteMethod = 3;
        break;
    default:
        ReportUnknownSwitch(ch, nReported);
        break;
    }
}

// Removes one pair of double quotes around the name (either alone when the
// other is missing), as a shell or a caller may leave them.
void StripQuotes(CString& str)
{
    if (str.GetLength() > 1 && str[0] == '"')
        str.Delete(0, 1);
    if (str.GetLength() > 1 && str[str.GetLength() - 1] == '"')
        str.Delete(str.GetLength() - 1, 1);
}

uint32_t ReadU32(const std::vector<BYTE>& bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

// A length-prefixed string at *pAt; false when the length or the string
// runs past the end.
bool ReadCountedString(const std::vector<BYTE>& bytes, size_t* pAt, CString& str)
{
    if (bytes.size() - *pAt < 4)
        return false;
    const uint32_t nLength = ReadU32(bytes, *pAt);
    *pAt += 4;
    if (nLength > bytes.size() - *pAt)
        return false;
    str = CString(reinterpret_cast<const char*>(bytes.data() + *pAt), int(nLength));
    *pAt += nLength;
    return true;
}

} // namespace

CString GetInstanceName()
{
    CString name;
    name.LoadString(IDS_INSTANCE_NAME);
    name += ' ';
    name += kInstanceVersion;
    return name;
}

platform::SingleInstance& GetInstanceChannel()
{
    return Channel();
}

BOOL OpenInstanceChannel()
{
    platform::SingleInstance& channel = Channel();
    if (channel.GetRole() == platform::SingleInstance::Role::None)
        channel.Open(std::string(GetInstanceName()));
    return channel.GetRole() != platform::SingleInstance::Role::Second;
}

BOOL ServeInstanceChannel(HWND hWnd)
{
    platform::SingleInstance& channel = Channel();
    if (channel.GetRole() != platform::SingleInstance::Role::First)
        return FALSE;
    platform::SetInstanceMainWindow(hWnd);
    return platform::ConnectInstanceChannel(channel) ? TRUE : FALSE;
}

void CloseInstanceChannel()
{
    platform::DisconnectInstanceChannel();
    platform::SetInstanceMainWindow(NULL);
    Channel().Close();
}

CString ParseAppCommandLine(LPCTSTR lpszCommandLine)
{
    CString strLine = lpszCommandLine ? lpszCommandLine : "";
    if (strLine.GetLength() > kMaxCommandLine)
        strLine = strLine.Left(kMaxCommandLine);
    TrimBlanks(strLine);

    thePrefs.AddlFlags &= WORD(~(PREF_ADDL_SWITCH_A | PREF_ADDL_SWITCH_I));
    thePrefs.PaletteMethod = CPrefData::DefaultPaletteMethod();

    ParseCommandLineSwitches(strLine);

    // Quotes go only now, so that a quoted name is never read as switches.
    StripQuotes(strLine);
    TrimBlanks(strLine);
    if (strLine.IsEmpty())
        return strLine;
    CString strPath = ToProgramPath(strLine);
    if (!FileExists(strPath) || IsDirectory(strPath)) {
        // The user asked for this file: say which one could not be had
        // rather than start as if nothing had been named.
        CString text = AfxFrameworkString(AFX_IDP_FILE_NOT_FOUND);
        text.Replace("%1", strLine);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        strPath.Empty();
    }
    return strPath;
}

void ParseCommandLineSwitches(CString& strLine)
{
    if (strLine.GetLength() > kMaxCommandLine)
        strLine = strLine.Left(kMaxCommandLine);
    int nReported = 0;
    int nPos = 0;
    // Groups are taken from the left, so a later switch overrides an earlier
    // one, as the user wrote them.
    while ((nPos = FindSwitchGroup(strLine, nPos)) >= 0) {
        // The group runs to its first blank, which goes with it.
        int nCount = strLine.GetLength() - nPos;
        for (int i = nPos; i < strLine.GetLength(); ++i) {
            if (IsBlank(strLine[i])) {
                nCount = i - nPos + 1;
                break;
            }
        }
        CString strGroup = strLine.Mid(nPos, nCount);
        strGroup.MakeLower();
        strLine.Delete(nPos, nCount);
        for (int i = 0; i < nCount; ++i)
            ApplySwitch(strGroup[i], nReported);
    }
    TrimBlanks(strLine);
}

BOOL IsAnotherInstanceRunning()
{
    const CString name = GetInstanceName();
    g_nInstanceMessage = RegisterWindowMessage(name);

    // The lock decides: whoever holds it runs, whether or not its main frame
    // exists yet. A channel that cannot be had counts as no other copy.
    platform::SingleInstance& channel = Channel();
    if (channel.GetRole() == platform::SingleInstance::Role::None)
        channel.Open(std::string(name));
    if (channel.GetRole() != platform::SingleInstance::Role::Second)
        return FALSE;

    // The running copy's frame comes to the front on the first message and
    // lets go of what it held on the second.
    const std::string message(name);
    channel.SendRegisteredMessage(message, 0, 0);
    channel.SendRegisteredMessage(message, 0, 1);
    return TRUE;
}

BOOL CALLBACK WakeUpWindowProc(HWND hWnd, LPARAM lParam)
{
    if (g_nWakeUpMessage != 0)
        ::SendMessage(hWnd, g_nWakeUpMessage, 0, lParam);
    return TRUE;
}

void WakeUpRunningCopy()
{
    if (g_nWakeUpMessage == 0)
        return;
    // Our own windows need no waking: only the running copy has a request
    // to look for.
    platform::SingleInstance& channel = Channel();
    if (channel.GetRole() == platform::SingleInstance::Role::Second)
        channel.SendRegisteredMessage(kWakeUpMessageName, 0, 0);
}

BOOL HandDocumentsToRunningCopy(const CString& strFile)
{
    platform::SingleInstance& channel = Channel();
    if (channel.GetRole() != platform::SingleInstance::Role::Second)
        return FALSE;
    std::vector<CString> commands;
    if (!strFile.IsEmpty())
        commands.push_back(AfxMakeShellOpenCommand(
            CString(platform::FullWindowsPath(std::string_view(strFile, size_t(strFile.GetLength()))).c_str())));
    for (const CString& command : AfxGetPendingShellCommands()) {
        CString strPath;
        if (AfxParseShellOpenCommand(command, strPath) && FileExists(strPath) && !IsDirectory(strPath))
            commands.push_back(command);
    }
    AfxSetPendingShellCommands({});

    BOOL bDelivered = TRUE;
    for (const CString& command : commands) {
        if (command.IsEmpty())
            continue;
        if (!channel.SendShellCommand(std::string(command, size_t(command.GetLength())), nullptr, nullptr,
                kHandOverTimeoutMs)) {
            bDelivered = FALSE;
            break;
        }
    }
    // The user asked for these documents: the copy showing them comes
    // forward.
    if (bDelivered && !commands.empty())
        channel.RequestActivate();
    return bDelivered;
}

BOOL ReadCompanionRequest(DWORD& nMode, LPCTSTR lpszPath, CString& strItem, CString& strPreset, CString& strPage2)
{
    if (!lpszPath || !*lpszPath)
        return FALSE;
    std::vector<BYTE> bytes;
    try {
        CFile file;
        if (!file.Open(lpszPath, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary))
            return FALSE;
        const DWORD nLength = file.GetLength();
        if (nLength > kMaxCompanionRequestBytes) {
            file.Abort();
            return FALSE;
        }
        bytes.resize(nLength);
        const UINT nRead = nLength ? file.Read(bytes.data(), nLength) : 0;
        file.Close();
        if (nRead != nLength)
            return FALSE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }

    if (bytes.size() < 4)
        return FALSE;
    const DWORD nReadMode = ReadU32(bytes, 0);
    size_t at = 4;
    CString first;
    CString second;
    CString third;
    if (nReadMode == kCompanionWizard) {
        if (!ReadCountedString(bytes, &at, first) || !ReadCountedString(bytes, &at, second)
            || !ReadCountedString(bytes, &at, third))
            return FALSE;
    }

    // A request that stays would be served again at every wake-up.
    if (!RemoveFile(lpszPath))
        return FALSE;
    nMode = nReadMode;
    strItem = first;
    strPreset = second;
    strPage2 = third;
    return TRUE;
}

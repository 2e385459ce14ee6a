#include "platform/services/Help.h"

#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/WindowsPath.h"
#include "platform/services/Shell.h"

#include <sys/stat.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// A map is a short list of topics; anything bigger is not one of ours.
constexpr size_t kMaxMapBytes = 256 * 1024;

constexpr char kNotAvailable[] = "Help for this topic is not available.";

std::mutex& NoticeLock()
{
    static std::mutex lock;
    return lock;
}

HelpNotice& Notice()
{
    static HelpNotice notice;
    return notice;
}

void ShowNotice(LPCSTR text)
{
    HelpNotice notice;
    {
        std::lock_guard guard(NoticeLock());
        notice = Notice();
    }
    if (notice)
        notice(text);
    else
        fprintf(stderr, "threadwick: %s\n", text);
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The help file's own name: "C:\x\Tovellum.hlp>main" gives "Tovellum".
std::string HelpStem(std::string_view helpFile)
{
    if (size_t window = helpFile.find('>'); window != std::string_view::npos)
        helpFile = helpFile.substr(0, window);
    std::string_view name = PathFileName(helpFile);
    if (size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The page's names below the help folder; empty when the page would leave
// the folder or names nothing.
std::vector<std::string> PageComponents(std::string_view page)
{
    if (page.empty() || IsPathSeparator(page[0]) || page.find(':') != std::string_view::npos)
        return {};
    std::vector<std::string> names;
    for (const std::string& part : SplitPathComponents(page)) {
        if (part == "..")
            return {};
        if (part != ".")
            names.push_back(Utf8From1252(part));
    }
    return names;
}

} // namespace

void SetHelpNotice(HelpNotice notice)
{
    std::lock_guard guard(NoticeLock());
    Notice() = std::move(notice);
}

std::optional<std::string> FindHelpPage(std::string_view helpFile, std::string_view topic)
{
    std::string stem = HelpStem(helpFile);
    if (stem.empty() || stem == "." || stem == "..")
        return std::nullopt;
    std::string folder = LookUpWithoutCase(ProgramFolder(), { "support", "help", Utf8From1252(stem) });
    std::string map;
    if (ReadBoundedHostFile(LookUpWithoutCase(folder, { "map.txt" }), kMaxMapBytes, map) != 0)
        return std::nullopt;

    std::string_view rest = map;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = Trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line[0] == '#')
            continue;
        size_t gap = line.find_first_of(" \t");
        if (gap == std::string_view::npos)
            continue;
        if (!EqualsNoCase(line.substr(0, gap), topic))
            continue;
        std::vector<std::string> names = PageComponents(Trim(line.substr(gap)));
        if (names.empty())
            return std::nullopt;
        std::string page = LookUpWithoutCase(folder, names);
        if (!IsRegularFile(page))
            return std::nullopt;
        return page;
    }
    return std::nullopt;
}

} // namespace platform

BOOL WinHelp(HWND, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData)
{
    std::string topic;
    switch (uCommand) {
    case HELP_QUIT:
        return TRUE;
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        topic = std::to_string(static_cast<DWORD>(dwData));
        break;
    case HELP_CONTENTS:
    case HELP_FINDER:
        topic = "contents";
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<std::string> page;
    if (lpszHelp)
        page = platform::FindHelpPage(lpszHelp, topic);
    if (page && platform::OpenWithDesktop(*page))
        return TRUE;
    platform::ShowNotice(platform::kNotAvailable);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}

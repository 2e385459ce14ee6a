#include "platform/services/Shell.h"

#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/WindowsPath.h"
#include "platform/services/Spawn.h"

#include <sys/stat.h>

#include <mutex>

namespace platform {

namespace {

constexpr size_t kMaxTarget = 32767;

bool OpenWithXdg(const std::string& target)
{
    // "--" is not understood by xdg-open; a target starting with '-' would
    // be taken as an option, so such a path goes with "./" before it.
    std::string argument = !target.empty() && target[0] == '-' ? "./" + target : target;
    return SpawnDetached("xdg-open", { "xdg-open", argument }, std::string(), true).pid > 0;
}

std::mutex& OpenerLock()
{
    static std::mutex lock;
    return lock;
}

UrlOpener& Opener()
{
    static UrlOpener opener;
    return opener;
}

bool IsSchemeChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-'
        || c == '.';
}

// Every byte but letters, digits, '/' and "-._~" as %XX.
std::string PercentEncode(std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-'
            || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

} // namespace

UrlOpener SetUrlOpener(UrlOpener opener)
{
    std::lock_guard guard(OpenerLock());
    UrlOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

bool IsUrl(std::string_view text)
{
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    char first = text[0];
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z')))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        if (!IsSchemeChar(text[i]))
            return false;
    }
    return true;
}

bool OpenWithDesktop(const std::string& target)
{
    UrlOpener opener;
    {
        std::lock_guard guard(OpenerLock());
        opener = Opener();
    }
    return opener ? opener(target) : OpenWithXdg(target);
}

std::string FileUrlFromHostPath(std::string_view hostPath)
{
    return "file://" + PercentEncode(hostPath);
}

BOOL OpenHtmlPage(LPCSTR pathOrUrl)
{
    if (!pathOrUrl || !*pathOrUrl)
        return FALSE;
    std::string_view text = pathOrUrl;
    if (text.size() > kMaxTarget)
        return FALSE;
    if (IsUrl(text))
        return OpenWithDesktop(Utf8From1252(text)) ? TRUE : FALSE;

    // A page and the place in it: the fragment is split off only when the
    // whole text is not itself a file.
    auto existingFile = [](std::string_view windowsPath, std::string& hostPath) {
        ResolvedPath resolved;
        DWORD error = 0;
        if (!ResolvePath(windowsPath, resolved, &error))
            return false;
        hostPath = resolved.ForReading();
        struct stat st;
        return stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    };
    std::string hostPath;
    std::string fragment;
    if (!existingFile(text, hostPath)) {
        size_t hash = text.rfind('#');
        if (hash == std::string_view::npos || !existingFile(text.substr(0, hash), hostPath))
            return FALSE;
        fragment = PercentEncode(Utf8From1252(text.substr(hash + 1)));
        fragment.insert(fragment.begin(), '#');
    }
    return OpenWithDesktop(FileUrlFromHostPath(hostPath) + fragment) ? TRUE : FALSE;
}

} // namespace platform

HINSTANCE ShellExecute(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT)
{
    using namespace platform;
    auto answer = [](INT_PTR value) { return reinterpret_cast<HINSTANCE>(value); };
    if (lpOperation && *lpOperation && !EqualsNoCase(lpOperation, "open"))
        return answer(SE_ERR_NOASSOC);
    if (!lpFile || !*lpFile)
        return answer(SE_ERR_FNF);
    std::string_view file = lpFile;
    if (file.size() > kMaxTarget)
        return answer(SE_ERR_FNF);

    std::string target;
    if (IsUrl(file)) {
        target = Utf8From1252(file);
    } else {
        ResolvedPath resolved;
        DWORD error = 0;
        if (!ResolvePath(file, resolved, &error))
            return answer(error == ERROR_INVALID_NAME ? SE_ERR_FNF : SE_ERR_PNF);
        target = resolved.ForReading();
        struct stat st;
        if (stat(target.c_str(), &st) != 0)
            return answer(MissingFileError(target) == ERROR_PATH_NOT_FOUND ? SE_ERR_PNF : SE_ERR_FNF);
    }
    if (!OpenWithDesktop(target))
        return answer(SE_ERR_NOASSOC);
    return answer(42);
}

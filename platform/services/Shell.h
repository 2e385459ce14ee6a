#pragma once
// Opening web pages and documents the way the desktop opens them: through
// xdg-open, started without a shell. Tests replace the opener and see what
// would have been opened.

#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <string_view>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Verb NULL or "open": a URL (a scheme of two or more letters and ':') is
// handed over as written; anything else is a Windows path to an existing
// file or folder, handed over as its Linux path. Above 32 when the opener
// took it; SE_ERR_FNF or SE_ERR_PNF for a missing file, SE_ERR_NOASSOC for
// other verbs or when nothing could open it. Parameters and folder are
// used by programs, which this does not start; they are ignored.
HINSTANCE ShellExecute(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
    INT nShowCmd);
#define ShellExecuteA ShellExecute

namespace platform {

// Gets a URL or a Linux path (UTF-8) and answers whether it could be
// handed on. The default starts xdg-open.
using UrlOpener = std::function<bool(const std::string& target)>;

// Installs an opener; an empty one restores xdg-open. Returns the previous.
UrlOpener SetUrlOpener(UrlOpener opener);

// Whether the text starts with a URL scheme ("https:", "mailto:"). A drive
// letter ("C:") is not one.
bool IsUrl(std::string_view text);

// Hands a URL or a Linux path to the opener.
bool OpenWithDesktop(const std::string& target);

// Shows an HTML page until the program has a page viewer of its own: a URL
// (1252) is handed to the opener as written; anything else is a Windows
// path to an existing file, which may end with "#fragment", and goes as a
// file:// URL. FALSE for a missing file, an empty or overlong text, or when
// the opener could not take it.
BOOL OpenHtmlPage(LPCSTR pathOrUrl);

// A Linux path as a file:// URL: every byte but letters, digits, '/' and
// "-._~" percent-encoded.
std::string FileUrlFromHostPath(std::string_view hostPath);

} // namespace platform

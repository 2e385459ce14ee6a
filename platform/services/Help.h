#pragma once
// WinHelp without a help engine. Help files are folders of HTML pages:
// "<program folder>\support\help\<name of the help file without
// extension>\" holds the pages and a map.txt whose lines are
// "<context number> <page>" (blank lines and lines starting with '#' are
// skipped; "contents <page>" names the page of HELP_CONTENTS and
// HELP_FINDER). A page found is opened through the desktop (Shell.h). When
// a topic has no page, the user is told "Help for this topic is not
// available." through the help notice.

#include "platform/base/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Spelled as the class library's header spells them, so that both can be
// included together.
#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_HELPONHELP 0x0004L
#define HELP_CONTEXTPOPUP 0x0008L
#define HELP_FINDER 0x000bL

// TRUE when a page was opened or the command needs nothing (HELP_QUIT);
// FALSE when the topic has no page (after the notice) or the command is not
// known. The help file name may carry a ">window" suffix, which is ignored.
BOOL WinHelp(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData);
#define WinHelpA WinHelp

namespace platform {

// Shows a help notice to the user. The window system installs one that
// shows a message box; until then the text goes to stderr. An empty
// function restores that.
using HelpNotice = std::function<void(LPCSTR text)>;
void SetHelpNotice(HelpNotice notice);

// The Linux path of the page that a help file's map gives a topic ("contents"
// or a context number written in decimal), or nothing when the map, the
// entry or the page is missing. A page must lie inside the help folder.
std::optional<std::string> FindHelpPage(std::string_view helpFile, std::string_view topic);

} // namespace platform

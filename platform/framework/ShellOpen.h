#pragma once
// Documents the desktop hands to the program, in the shell's command form
// "[open(\"C:\\path\")]" that CWinApp::OnDDECommand takes.
//
// The desktop starts the program with each document as its own argument.
// The first document stays on the command line (m_lpCmdLine), so that the
// program's own parser sees one file name as it always has; every further
// document becomes a pending shell command. EnableShellOpen posts the
// pending commands to the main window as WM_DDE_EXECUTE, and from then on
// also takes shell commands that a later copy hands over through the
// instance channel. The main window gives each to AfxExecuteShellCommand,
// which calls the application's OnDDECommand.
//
// Shell commands are outside data: one is at most kMaxShellCommand bytes,
// and anything that does not read exactly as the open command is refused.

#include "platform/base/String.h"

#include <vector>

// A shell command for the main window; lParam is a global memory block
// holding the command's text with its NUL, which the receiver frees.
constexpr UINT WM_DDE_EXECUTE = 0x03E8;

// The longest shell command taken: a path of 4096 bytes and the verb.
constexpr int kMaxShellCommand = 4096 + 16;

// "[open(\"path\")]"; empty when the path cannot travel that way (empty,
// too long, holding a double quote or a control character).
CString AFXAPI AfxMakeShellOpenCommand(LPCTSTR lpszPath);
// TRUE with the path when lpszCommand is exactly an open command with a
// path that could have been made by AfxMakeShellOpenCommand.
BOOL AFXAPI AfxParseShellOpenCommand(LPCTSTR lpszCommand, CString& strPath);

// Splits the program's arguments: switch arguments and the first document
// stay on the command line; each further document is given back as an open
// command of its full Windows-form path (a document whose path cannot
// travel as a command is left out).
void AFXAPI AfxSplitShellDocuments(const std::vector<CString>& arguments, std::vector<CString>& commandLine,
    std::vector<CString>& shellCommands);

// The open commands of this start that EnableShellOpen has not posted yet.
const std::vector<CString>& AFXAPI AfxGetPendingShellCommands();
void AFXAPI AfxSetPendingShellCommands(std::vector<CString> commands);

// Posts a copy of the command to hWnd as WM_DDE_EXECUTE. FALSE when the
// command is empty or too long or the message could not be posted.
BOOL AFXAPI AfxPostShellCommand(HWND hWnd, LPCTSTR lpszCommand);
// The main window's handling of WM_DDE_EXECUTE: frees the block and gives
// its text to the application's OnDDECommand; that answer, FALSE for a
// block that is not a live, NUL-terminated, bounded command.
BOOL AFXAPI AfxExecuteShellCommand(LPARAM lParam);

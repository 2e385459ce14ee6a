#pragma once
// The program's command line (a design to open and single-letter switches
// that adjust the preferences for this run), the one running copy of the
// program, and the companion request file that the sibling publishing
// program leaves for us.
//
// Copies of the program meet on the instance channel (a lock and a socket
// per user, platform/services/SingleInstance.h): the first copy holds the
// lock from the very start of start-up and its main frame answers the
// channel's messages; a later copy sends its instance and wake-up messages
// over the channel instead of broadcasting them, and hands its documents
// over the same way.

#include "platform/base/String.h"

namespace platform {
class SingleInstance;
}

// The name of the instance message and of the file mapping that a running
// copy holds while a starting copy looks for it: string 16000, a space and
// the version "1.0".
CString GetInstanceName();

// Takes the instance lock. Start-up calls this first of all, so that two
// copies started together cannot both miss each other. TRUE when this copy
// is the first (or the channel cannot be had: the program then runs alone).
BOOL OpenInstanceChannel();
// The channel of this process (opened or not).
platform::SingleInstance& GetInstanceChannel();
// Lets the main frame answer later copies: their messages are sent to hWnd
// from the message loop. FALSE when this copy is not the first.
BOOL ServeInstanceChannel(HWND hWnd);
// Gives up the lock and the channel (tests, and the end of the program).
void CloseInstanceChannel();

// Reads the command line: clears the switch bits of the preferences, takes
// the switches out, and answers the name of the file to open (Windows form;
// empty when none was named or it does not exist).
CString ParseAppCommandLine(LPCTSTR lpszCommandLine);
// Takes every switch group out of strLine and acts on its letters; the
// rest of the line is left trimmed.
void ParseCommandLineSwitches(CString& strLine);

// TRUE when another copy of the program runs. The running copy comes to
// the front meanwhile.
BOOL IsAnotherInstanceRunning();
// A copy that ends because another runs hands that copy its documents: the
// command line's file and the desktop's further ones, each as the shell's
// open command of its full path, then asks it to come to the front.
// Documents that do not exist are not handed over. FALSE when one could not
// be delivered (the rest are then not tried: the running copy is not
// answering).
BOOL HandDocumentsToRunningCopy(const CString& strFile);

// EnumWindows callback: sends the wake-up message to hWnd with wParam 0 and
// lParam. Always TRUE (go on).
BOOL CALLBACK WakeUpWindowProc(HWND hWnd, LPARAM lParam);
// A starting companion copy asks the running copy to look for the request
// file: the wake-up message goes over the channel to the running copy's
// main frame (EnumWindows with WakeUpWindowProc reaches only this process).
void WakeUpRunningCopy();

// The companion request file in the program folder.
constexpr char kCompanionRequestFile[] = "olvw.dat";
// What a request file may hold at most; anything longer is not a request.
constexpr UINT kMaxCompanionRequestBytes = 64 * 1024;
// Companion request modes.
enum : DWORD { kCompanionWizard = 0, kCompanionCalendar = 1 };

// Reads the request file lpszPath (mode; with mode 0 the three strings:
// the wizard's third-page item, its preset text, the text of its second
// page). The file is deleted after a good read. A file that cannot be
// opened or read, or whose lengths run past its end, is left in place and
// answers FALSE.
BOOL ReadCompanionRequest(DWORD& nMode, LPCTSTR lpszPath, CString& strItem, CString& strPreset, CString& strPage2);

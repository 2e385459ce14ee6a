// The file open and save dialog: a modal dialog of our own layout that lists
// one folder of the file system through the drive table, in Windows form.
// A hook and a child template live in a child dialog inside it, placed by
// the child's stc32 placeholder, and talk to it with WM_NOTIFY and CDM_.

#include "platform/ui/CommDlg.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/DirectoryListing.h"
#include "platform/files/Drives.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/files/UserFolders.h"
#include "platform/files/WindowsPath.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

thread_local DWORD t_lastError = 0;

constexpr size_t kMaxFilterText = 4096; // one filter string
constexpr size_t kMaxFilters = 64;
constexpr LPARAM kFolderItem = 1;

struct Filter {
    std::string name;
    std::string patterns; // "*.txt;*.doc"
};

struct FileDialog {
    OPENFILENAME* ofn = nullptr;
    bool save = false;
    HWND hDlg = NULL;
    HWND child = NULL;
    std::vector<Filter> filters;
    std::string folder;        // Windows form, no trailing separator but at a root
    std::string typedPattern;  // a wildcard typed in the name field, until the type changes
    bool initDone = false;
};

std::unordered_map<HWND, FileDialog*>& Dialogs()
{
    static std::unordered_map<HWND, FileDialog*> dialogs;
    return dialogs;
}

thread_local FileDialog* t_creating = nullptr;

FileDialog* DialogOf(HWND hwnd)
{
    auto it = Dialogs().find(hwnd);
    return it == Dialogs().end() ? nullptr : it->second;
}

// A zero-terminated string of at most `limit` characters; advances p past it.
std::string TakeString(const char*& p, size_t limit)
{
    size_t n = strnlen(p, limit);
    std::string s(p, n);
    p += n + (n < limit ? 1 : 0);
    return s;
}

std::vector<Filter> ParseFilters(const char* text)
{
    std::vector<Filter> out;
    if (!text)
        return out;
    const char* p = text;
    while (*p && out.size() < kMaxFilters) {
        Filter f;
        f.name = TakeString(p, kMaxFilterText);
        if (!*p)
            break; // a name without patterns ends the list
        f.patterns = TakeString(p, kMaxFilterText);
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<std::string> SplitPatterns(const std::string& patterns)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos)
            end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        one.erase(0, one.find_first_not_of(' '));
        one.erase(one.find_last_not_of(' ') + 1);
        if (!one.empty())
            out.push_back(one);
        start = end + 1;
    }
    return out;
}

bool HasWildcard(const std::string& s)
{
    return s.find_first_of("*?") != std::string::npos;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return WithTrailingSeparator(folder) + name;
}

DWORD AttributesOf(const std::string& path)
{
    return GetFileAttributes(path.c_str());
}

bool IsFolder(const std::string& path)
{
    DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A typed name made full against the dialog's folder; a Linux path is taken
// to its Windows form.
std::string FullPathOf(const FileDialog& d, const std::string& typed)
{
    if (!typed.empty() && typed[0] == '/')
        return WindowsPathFor(typed);
    CurrentFolders folders;
    folders.current = d.folder;
    folders.folderOfDrive = [](char drive) { return FolderOfDrive(drive); };
    return MakeFullPath(typed, folders);
}

// A folder without its trailing separator, except a root that needs it.
std::string NormalFolder(const std::string& folder)
{
    return ParsePathRoot(folder).length >= folder.size() ? folder : WithoutTrailingSeparator(folder);
}

std::string FolderOf(const std::string& fullPath)
{
    std::string_view name = PathFileName(fullPath);
    return NormalFolder(fullPath.substr(0, fullPath.size() - name.size()));
}

std::string ItemText(HWND control, UINT getLen, UINT getText, int index)
{
    LRESULT len = SendMessage(control, getLen, WPARAM(index), 0);
    if (len < 0 || len > 0x10000)
        return {};
    std::string s(size_t(len) + 1, '\0');
    SendMessage(control, getText, WPARAM(index), LPARAM(s.data()));
    s.resize(strnlen(s.c_str(), s.size()));
    return s;
}

std::string ControlText(HWND hDlg, int id)
{
    HWND c = GetDlgItem(hDlg, id);
    int len = c ? GetWindowTextLength(c) : 0;
    std::string s(size_t(std::max(len, 0)) + 1, '\0');
    if (c)
        GetWindowText(c, s.data(), int(s.size()));
    s.resize(strnlen(s.c_str(), s.size()));
    return s;
}

LRESULT Notify(FileDialog& d, UINT code, const char* file = nullptr)
{
    if (!d.child || !IsWindow(d.child))
        return 0;
    OFNOTIFY n{};
    n.hdr.hwndFrom = d.hDlg;
    n.hdr.idFrom = 0;
    n.hdr.code = code;
    n.lpOFN = d.ofn;
    n.pszFile = const_cast<LPSTR>(file);
    SetWindowLongPtr(d.child, DWLP_MSGRESULT, 0);
    SendMessage(d.child, WM_NOTIFY, 0, LPARAM(&n));
    return IsWindow(d.child) ? GetWindowLongPtr(d.child, DWLP_MSGRESULT) : 0;
}

void FillFolderCombo(FileDialog& d)
{
    HWND combo = GetDlgItem(d.hDlg, cmb2);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    char drives[27 * 4 + 1] = {};
    DWORD len = GetLogicalDriveStrings(sizeof(drives), drives);
    PathRoot root = ParsePathRoot(d.folder);
    int selected = -1;
    for (const char* p = drives; len <= sizeof(drives) && *p; p += strlen(p) + 1) {
        int at = int(SendMessage(combo, CB_ADDSTRING, 0, LPARAM(p)));
        if (root.kind == PathRootKind::DriveAbsolute && EqualsNoCase(std::string_view(p, 1), std::string(1, root.drive))) {
            selected = at;
            // The current folder's ancestors follow its drive.
            std::string built = WithTrailingSeparator(std::string(p));
            for (const std::string& name : SplitPathComponents(d.folder.substr(root.length))) {
                built = JoinPath(built, name);
                selected = int(SendMessage(combo, CB_INSERTSTRING, WPARAM(selected + 1), LPARAM(built.c_str())));
            }
        }
    }
    if (selected < 0)
        selected = int(SendMessage(combo, CB_ADDSTRING, 0, LPARAM(d.folder.c_str())));
    SendMessage(combo, CB_SETCURSEL, WPARAM(selected), 0);
}

std::vector<std::string> CurrentPatterns(const FileDialog& d)
{
    if (!d.typedPattern.empty())
        return SplitPatterns(d.typedPattern);
    int index = int(SendDlgItemMessage(d.hDlg, cmb1, CB_GETCURSEL, 0, 0));
    if (index >= 0 && size_t(index) < d.filters.size())
        return SplitPatterns(d.filters[size_t(index)].patterns);
    return {"*.*"};
}

// Folders first, then the files that match the filter, each sorted by name.
void FillList(FileDialog& d)
{
    HWND list = GetDlgItem(d.hDlg, lst1);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> patterns = CurrentPatterns(d);
    std::vector<std::string> folders;
    std::vector<std::string> files;
    DirectoryListing listing;
    DWORD error = 0;
    if (listing.Open(JoinPath(d.folder, "*"), &error)) {
        ListedEntry e;
        while (listing.Next(e)) {
            if (e.name == "." || e.name == ".." || (e.attributes & FILE_ATTRIBUTE_HIDDEN))
                continue;
            if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back(e.name);
                continue;
            }
            for (const std::string& p : patterns) {
                if (MatchFileNamePattern(e.name, p)) {
                    files.push_back(e.name);
                    break;
                }
            }
        }
    }
    for (const std::string& f : folders) {
        int at = int(SendMessage(list, LB_ADDSTRING, 0, LPARAM(f.c_str())));
        SendMessage(list, LB_SETITEMDATA, WPARAM(at), kFolderItem);
    }
    for (const std::string& f : files)
        SendMessage(list, LB_ADDSTRING, 0, LPARAM(f.c_str()));
}

// Whether the folder holds a file of the patterns.
bool HoldsFileOf(const std::string& folder, const std::vector<std::string>& patterns)
{
    DirectoryListing listing;
    DWORD error = 0;
    if (!listing.Open(JoinPath(folder, "*"), &error))
        return false;
    ListedEntry e;
    while (listing.Next(e)) {
        if (e.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN))
            continue;
        for (const std::string& p : patterns) {
            if (MatchFileNamePattern(e.name, p))
                return true;
        }
    }
    return false;
}

void ChangeFolder(FileDialog& d, const std::string& folder)
{
    d.folder = folder;
    FillFolderCombo(d);
    FillList(d);
    if (d.initDone)
        Notify(d, CDN_FOLDERCHANGE);
}

bool IsMultiSelect(const FileDialog& d)
{
    return (d.ofn->Flags & OFN_ALLOWMULTISELECT) != 0;
}

// The names of the name field: several quoted names, or the text as one.
std::vector<std::string> TypedNames(const std::string& text)
{
    std::vector<std::string> names;
    if (text.find('"') == std::string::npos) {
        std::string t = text;
        t.erase(0, t.find_first_not_of(' '));
        t.erase(t.find_last_not_of(' ') + 1);
        if (!t.empty())
            names.push_back(t);
        return names;
    }
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
        size_t end = text.find('"', i + 1);
        if (end == std::string::npos)
            end = text.size();
        if (end > i + 1)
            names.push_back(text.substr(i + 1, end - i - 1));
        i = end + 1;
        if (i >= text.size())
            break;
    }
    return names;
}

void ListSelectionChanged(FileDialog& d)
{
    HWND list = GetDlgItem(d.hDlg, lst1);
    int count = int(SendMessage(list, LB_GETCOUNT, 0, 0));
    std::vector<std::string> chosen;
    for (int i = 0; i < count; ++i) {
        bool selected = IsMultiSelect(d) ? SendMessage(list, LB_GETSEL, WPARAM(i), 0) > 0
                                         : SendMessage(list, LB_GETCURSEL, 0, 0) == i;
        if (selected && SendMessage(list, LB_GETITEMDATA, WPARAM(i), 0) != kFolderItem)
            chosen.push_back(ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, i));
    }
    if (chosen.size() == 1) {
        SetDlgItemText(d.hDlg, edt1, chosen[0].c_str());
    } else if (chosen.size() > 1) {
        std::string text;
        for (const std::string& name : chosen)
            text += (text.empty() ? "\"" : " \"") + name + "\"";
        SetDlgItemText(d.hDlg, edt1, text.c_str());
    }
    Notify(d, CDN_SELCHANGE);
}

void Warn(FileDialog& d, const std::string& text, UINT type = MB_OK | MB_ICONEXCLAMATION)
{
    MessageBox(d.hDlg, text.c_str(), nullptr, type);
}

// Checks one chosen path; false (after telling the user) keeps the dialog open.
bool AcceptablePath(FileDialog& d, const std::string& path)
{
    DWORD flags = d.ofn->Flags;
    DWORD attributes = AttributesOf(path);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !IsFolder(FolderOf(path))) {
        Warn(d, path + "\nPath does not exist.\nCheck the path and try again.");
        return false;
    }
    if ((flags & OFN_FILEMUSTEXIST) && !exists) {
        Warn(d, path + "\nFile not found.\nCheck the file name and try again.");
        return false;
    }
    if ((flags & OFN_NOREADONLYRETURN) && exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
        Warn(d, path + "\nThis file is set to read-only.\nTry again with a different file name.");
        return false;
    }
    if (d.save && (flags & OFN_OVERWRITEPROMPT) && exists) {
        int answer = MessageBox(d.hDlg, (path + " already exists.\nDo you want to replace it?").c_str(), nullptr,
            MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES)
            return false;
    }
    return true;
}

std::string WithDefaultExtension(const FileDialog& d, const std::string& path)
{
    const char* ext = d.ofn->lpstrDefExt;
    if (!ext || !*ext)
        return path;
    std::string_view name = PathFileName(path);
    if (name.find('.') != std::string_view::npos || IsFolder(path))
        return path;
    return path + "." + std::string(ext, strnlen(ext, 3));
}

// Writes the result into the record; false when it does not fit.
bool StoreResult(FileDialog& d, const std::string& result, size_t nameOffset)
{
    OPENFILENAME& o = *d.ofn;
    size_t needed = result.size() + 1;
    if (!o.lpstrFile || needed > o.nMaxFile) {
        if (o.lpstrFile && o.nMaxFile >= 2) {
            WORD size = WORD(std::min<size_t>(needed, 0xFFFF));
            std::memcpy(o.lpstrFile, &size, sizeof(size));
        }
        t_lastError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(o.lpstrFile, result.data(), result.size());
    o.lpstrFile[result.size()] = '\0';
    o.nFileOffset = WORD(nameOffset);
    std::string_view name(result.c_str() + nameOffset);
    size_t dot = name.rfind('.');
    o.nFileExtension = dot == std::string_view::npos ? 0 : WORD(nameOffset + dot + 1);
    return true;
}

void Finish(FileDialog& d, const std::string& folder, const std::string& title)
{
    OPENFILENAME& o = *d.ofn;
    if (o.lpstrFileTitle && o.nMaxFileTitle > 0) {
        size_t n = std::min<size_t>(title.size(), o.nMaxFileTitle - 1);
        std::memcpy(o.lpstrFileTitle, title.data(), n);
        o.lpstrFileTitle[n] = '\0';
    }
    int type = int(SendDlgItemMessage(d.hDlg, cmb1, CB_GETCURSEL, 0, 0));
    if (type >= 0)
        o.nFilterIndex = DWORD(type + 1);
    if (!d.save && IsDlgButtonChecked(d.hDlg, chx1) == BST_CHECKED)
        o.Flags |= OFN_READONLY;
    else
        o.Flags &= ~DWORD(OFN_READONLY);
    if (!(o.Flags & OFN_NOCHANGEDIR))
        SetCurrentWindowsFolder(folder);
    EndDialog(d.hDlg, IDOK);
}

void OnOk(FileDialog& d)
{
    std::vector<std::string> names = TypedNames(ControlText(d.hDlg, edt1));
    if (names.empty()) {
        // Enter on a folder of the list opens it.
        HWND list = GetDlgItem(d.hDlg, lst1);
        int at = int(SendMessage(list, LB_GETCARETINDEX, 0, 0));
        if (at >= 0 && SendMessage(list, LB_GETITEMDATA, WPARAM(at), 0) == kFolderItem &&
            (!IsMultiSelect(d) ? SendMessage(list, LB_GETCURSEL, 0, 0) == at : SendMessage(list, LB_GETSEL, WPARAM(at), 0) > 0))
            ChangeFolder(d, JoinPath(d.folder, ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, at)));
        return;
    }
    if (names.size() == 1 && HasWildcard(names[0])) {
        d.typedPattern = names[0];
        FillList(d);
        return;
    }
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        std::string full = FullPathOf(d, name);
        if (full.empty()) {
            Warn(d, name + "\nThe file name is not valid.");
            return;
        }
        if (names.size() == 1 && IsFolder(full)) {
            SetDlgItemText(d.hDlg, edt1, "");
            d.typedPattern.clear();
            ChangeFolder(d, NormalFolder(full));
            return;
        }
        if (names.size() > 1 && !EqualsNoCase(FolderOf(full), d.folder)) {
            // Several names all come from the folder shown.
            Warn(d, name + "\nThe file name is not valid.");
            return;
        }
        full = WithDefaultExtension(d, full);
        if (!AcceptablePath(d, full))
            return;
        paths.push_back(full);
    }

    std::string result;
    size_t nameOffset = 0;
    std::string folder = FolderOf(paths[0]);
    if (paths.size() == 1) {
        result = paths[0];
        nameOffset = result.size() - PathFileName(result).size();
    } else {
        // Several names share the folder of the list.
        folder = d.folder;
        result = folder;
        nameOffset = result.size() + 1;
        for (const std::string& p : paths) {
            result += '\0';
            result += std::string(PathFileName(p));
        }
        result += '\0';
    }
    if (!StoreResult(d, result, nameOffset)) {
        EndDialog(d.hDlg, IDCANCEL);
        return;
    }
    if (Notify(d, CDN_FILEOK) != 0)
        return;
    Finish(d, folder, paths.size() == 1 ? std::string(PathFileName(paths[0])) : std::string());
}

// Copies text to a CDM_ caller's buffer; answers the size it needs.
LRESULT AnswerText(const std::string& text, WPARAM size, LPARAM buffer)
{
    char* out = reinterpret_cast<char*>(buffer);
    if (out && size > text.size()) {
        std::memcpy(out, text.c_str(), text.size() + 1);
    }
    return LRESULT(text.size() + 1);
}

LRESULT OnCdm(FileDialog& d, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case CDM_GETSPEC:
        return AnswerText(ControlText(d.hDlg, edt1), wParam, lParam);
    case CDM_GETFILEPATH: {
        std::vector<std::string> names = TypedNames(ControlText(d.hDlg, edt1));
        std::string path = names.size() == 1 ? FullPathOf(d, names[0]) : d.folder;
        return AnswerText(path, wParam, lParam);
    }
    case CDM_GETFOLDERPATH:
        return AnswerText(d.folder, wParam, lParam);
    case CDM_SETCONTROLTEXT:
        return SetDlgItemText(d.hDlg, int(wParam), lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
    case CDM_HIDECONTROL:
        return ShowWindow(GetDlgItem(d.hDlg, int(wParam)), SW_HIDE), TRUE;
    default:
        return -1;
    }
}

INT_PTR CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    FileDialog* d = DialogOf(hwnd);
    if (!d && t_creating) {
        d = t_creating;
        Dialogs()[hwnd] = d;
        d->child = hwnd;
    }
    if (msg == WM_NCDESTROY)
        Dialogs().erase(hwnd);
    if (!d || !(d->ofn->Flags & OFN_ENABLEHOOK) || !d->ofn->lpfnHook)
        return msg == WM_INITDIALOG;
    return INT_PTR(d->ofn->lpfnHook(hwnd, msg, wParam, lParam));
}

// The standard controls, in dialog units.
std::vector<DialogItemTemplate> StandardItems(bool multi)
{
    DWORD listStyle = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
        LBS_HASSTRINGS | (multi ? LBS_EXTENDEDSEL : 0);
    return {
        {WS_VISIBLE | SS_LEFT, 0, 0, 7, 6, 40, 8, stc4, "STATIC", "Look &in:", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 50, 4, 160, 150, cmb2,
            "COMBOBOX", "", 0},
        {listStyle, 0, 0, 7, 20, 266, 88, lst1, "LISTBOX", "", 0},
        {WS_VISIBLE | SS_LEFT, 0, 0, 7, 116, 50, 8, stc3, "STATIC", "File &name:", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 60, 114, 150, 12, edt1, "EDIT", "", 0},
        {WS_VISIBLE | SS_LEFT, 0, 0, 7, 132, 50, 8, stc2, "STATIC", "Files of &type:", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 60, 130, 150, 100, cmb1,
            "COMBOBOX", "", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 60, 146, 100, 10, chx1, "BUTTON", "Open as &read-only", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 220, 114, 50, 14, IDOK, "BUTTON", "OK", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 220, 130, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 220, 146, 50, 14, pshHelp, "BUTTON", "&Help", 0},
    };
}

RECT ChildRect(HWND parent, HWND c)
{
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Puts the child dialog and the standard controls together: the standard
// controls go where the child's stc32 placeholder is (the child's controls
// right of and below it moving out of their way), or below the child's
// controls when it has none.
void PlaceChild(FileDialog& d)
{
    RECT client{};
    GetClientRect(d.hDlg, &client);
    int standardW = client.right;
    int standardH = client.bottom;
    RECT childRc{};
    GetClientRect(d.child, &childRc);
    int offsetX = 0;
    int offsetY = 0;
    int totalW = std::max<int>(standardW, childRc.right);
    int totalH = standardH + childRc.bottom;
    HWND placeholder = GetDlgItem(d.child, stc32);
    if (placeholder) {
        RECT ph = ChildRect(d.child, placeholder);
        int growW = std::max<int>(0, standardW - (ph.right - ph.left));
        int growH = std::max<int>(0, standardH - (ph.bottom - ph.top));
        for (HWND c = GetWindow(d.child, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (c == placeholder)
                continue;
            RECT r = ChildRect(d.child, c);
            int dx = r.left >= ph.right ? growW : 0;
            int dy = r.top >= ph.bottom ? growH : 0;
            if (dx || dy)
                SetWindowPos(c, NULL, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        offsetX = ph.left;
        offsetY = ph.top;
        totalW = std::max<int>(childRc.right + growW, ph.left + standardW);
        totalH = std::max<int>(childRc.bottom + growH, ph.top + standardH);
    } else {
        SetWindowPos(d.child, NULL, 0, standardH, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (offsetX || offsetY) {
        for (HWND c = GetWindow(d.hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (c == d.child)
                continue;
            RECT r = ChildRect(d.hDlg, c);
            SetWindowPos(c, NULL, r.left + offsetX, r.top + offsetY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (placeholder)
        SetWindowPos(d.child, HWND_BOTTOM, 0, 0, totalW, totalH, SWP_NOACTIVATE);
    else
        SetWindowPos(d.child, HWND_BOTTOM, 0, standardH, totalW, childRc.bottom, SWP_NOACTIVATE);
    RECT outer{0, 0, totalW, totalH};
    AdjustWindowRectEx(&outer, DWORD(GetWindowLong(d.hDlg, GWL_STYLE)), FALSE,
        DWORD(GetWindowLong(d.hDlg, GWL_EXSTYLE)));
    // Grown, the dialog is centred again over its owner or the screen.
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (d.ofn->hwndOwner && IsWindowVisible(d.ofn->hwndOwner))
        GetWindowRect(d.ofn->hwndOwner, &area);
    SetWindowPos(d.hDlg, NULL, area.left + (area.right - area.left - width) / 2,
        area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CreateChild(FileDialog& d)
{
    OPENFILENAME& o = *d.ofn;
    DialogTemplate t{};
    static const DialogTemplate kEmpty{};
    const DialogTemplate* source = &kEmpty;
    if (o.Flags & OFN_ENABLETEMPLATEHANDLE) {
        // hInstance carries the template itself.
        source = reinterpret_cast<const DialogTemplate*>(o.hInstance);
        if (!source) {
            t_lastError = CDERR_NOHINSTANCE;
            return false;
        }
    } else if (o.Flags & OFN_ENABLETEMPLATE) {
        source = FindDialogTemplate(o.hInstance, o.lpTemplateName);
        if (!source) {
            t_lastError = CDERR_FINDRESFAILURE;
            return false;
        }
    } else if (!(o.Flags & OFN_ENABLEHOOK)) {
        return true;
    }
    t = *source;
    t.style = (t.style & ~DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | DS_CENTER)) |
        WS_CHILD | WS_VISIBLE | DS_CONTROL;
    t.x = 0;
    t.y = 0;
    t.caption = "";
    t.menuName = nullptr;
    t.menuId = 0;
    t_creating = &d;
    HINSTANCE instance = (o.Flags & OFN_ENABLETEMPLATEHANDLE) ? NULL : o.hInstance;
    HWND child = CreateDialogIndirectParam(instance, &t, d.hDlg, ChildProc, LPARAM(&o));
    t_creating = nullptr;
    if (!child) {
        t_lastError = CDERR_DIALOGFAILURE;
        return false;
    }
    d.child = child;
    PlaceChild(d);
    return true;
}

void InitDialog(FileDialog& d)
{
    OPENFILENAME& o = *d.ofn;
    const char* title = o.lpstrTitle ? o.lpstrTitle : (d.save ? "Save As" : "Open");
    SetWindowText(d.hDlg, title);
    SetDlgItemText(d.hDlg, IDOK, d.save ? "&Save" : "&Open");
    SendDlgItemMessage(d.hDlg, edt1, EM_LIMITTEXT, IsMultiSelect(d) ? OFN_MULTISELECT_LIMIT : MAX_PATH, 0);
    if (d.save || (o.Flags & OFN_HIDEREADONLY))
        ShowWindow(GetDlgItem(d.hDlg, chx1), SW_HIDE);
    else if (o.Flags & OFN_READONLY)
        CheckDlgButton(d.hDlg, chx1, BST_CHECKED);
    if (!(o.Flags & OFN_SHOWHELP))
        ShowWindow(GetDlgItem(d.hDlg, pshHelp), SW_HIDE);

    HWND types = GetDlgItem(d.hDlg, cmb1);
    for (const Filter& f : d.filters)
        SendMessage(types, CB_ADDSTRING, 0, LPARAM(f.name.c_str()));
    DWORD index = o.nFilterIndex;
    if (index == 0 || index > d.filters.size())
        index = 1;
    if (!d.filters.empty())
        SendMessage(types, CB_SETCURSEL, WPARAM(index - 1), 0);

    // The start folder: the folder of the name given, else the initial
    // folder, else the current one when it holds files of the type shown,
    // else the user's own folder (the home).
    std::string initialName;
    if (o.lpstrFile && o.nMaxFile > 0)
        initialName.assign(o.lpstrFile, strnlen(o.lpstrFile, std::min<DWORD>(o.nMaxFile, 0x8000)));
    std::string start = CurrentWindowsFolder();
    d.folder = start;
    if (o.lpstrInitialDir && *o.lpstrInitialDir) {
        std::string full = FullPathOf(d, std::string(o.lpstrInitialDir, strnlen(o.lpstrInitialDir, 0x8000)));
        if (!full.empty() && IsFolder(full))
            start = full;
    } else if (!HoldsFileOf(start, CurrentPatterns(d))) {
        std::string home = WindowsPathFor(UserHomeDir());
        if (!home.empty() && IsFolder(home))
            start = home;
    }
    if (!initialName.empty() && PathFileName(initialName).size() != initialName.size()) {
        std::string full = FullPathOf(d, initialName);
        if (!full.empty() && IsFolder(FolderOf(full)))
            start = FolderOf(full);
        initialName = std::string(PathFileName(initialName));
    }
    start = NormalFolder(start);
    SetDlgItemText(d.hDlg, edt1, initialName.c_str());
    ChangeFolder(d, start);
}

INT_PTR CALLBACK MainProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    FileDialog* d = DialogOf(hDlg);
    if (msg == WM_INITDIALOG) {
        d = reinterpret_cast<FileDialog*>(lParam);
        d->hDlg = hDlg;
        Dialogs()[hDlg] = d;
        InitDialog(*d);
        if (!CreateChild(*d)) {
            EndDialog(hDlg, IDABORT);
            return TRUE;
        }
        d->initDone = true;
        Notify(*d, CDN_INITDONE);
        SetFocus(GetDlgItem(hDlg, edt1));
        return FALSE;
    }
    if (!d)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        Dialogs().erase(hDlg);
        return FALSE;
    }
    if (msg >= CDM_FIRST && msg <= CDM_LAST) {
        SetWindowLongPtr(hDlg, DWLP_MSGRESULT, OnCdm(*d, msg, wParam, lParam));
        return TRUE;
    }
    if (msg != WM_COMMAND)
        return FALSE;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    switch (id) {
    case IDOK:
        OnOk(*d);
        return TRUE;
    case IDCANCEL:
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    case pshHelp:
        Notify(*d, CDN_HELP);
        if (d->ofn->hwndOwner)
            PostMessage(d->ofn->hwndOwner, RegisterWindowMessage(HELPMSGSTRING), WPARAM(hDlg), LPARAM(d->ofn));
        return TRUE;
    case lst1:
        if (code == LBN_SELCHANGE) {
            ListSelectionChanged(*d);
        } else if (code == LBN_DBLCLK) {
            HWND list = GetDlgItem(hDlg, lst1);
            int at = int(SendMessage(list, LB_GETCARETINDEX, 0, 0));
            if (at >= 0 && SendMessage(list, LB_GETITEMDATA, WPARAM(at), 0) == kFolderItem)
                ChangeFolder(*d, JoinPath(d->folder, ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, at)));
            else if (at >= 0)
                OnOk(*d);
        }
        return TRUE;
    case cmb1:
        if (code == CBN_SELCHANGE) {
            d->typedPattern.clear();
            FillList(*d);
            Notify(*d, CDN_TYPECHANGE);
        }
        return TRUE;
    case cmb2:
        if (code == CBN_SELCHANGE) {
            HWND combo = GetDlgItem(hDlg, cmb2);
            int at = int(SendMessage(combo, CB_GETCURSEL, 0, 0));
            std::string folder = at >= 0 ? ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, at) : std::string();
            if (!folder.empty() && IsFolder(folder))
                ChangeFolder(*d, NormalFolder(folder));
            else
                FillFolderCombo(*d);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL RunFileDialog(LPOPENFILENAME ofn, bool save)
{
    t_lastError = 0;
    if (!ofn) {
        t_lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    // 76 is the record's size where pointers take four bytes.
    if (ofn->lStructSize != sizeof(OPENFILENAME) && ofn->lStructSize != 76) {
        t_lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        t_lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    FileDialog d;
    d.ofn = ofn;
    d.save = save;
    d.filters = ParseFilters(ofn->lpstrFilter);
    bool multi = (ofn->Flags & OFN_ALLOWMULTISELECT) != 0;
    std::vector<DialogItemTemplate> items = StandardItems(multi);
    DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    t.cx = 280;
    t.cy = 164;
    t.caption = save ? "Save As" : "Open";
    t.className = "";
    t.pointSize = 8;
    t.faceName = "MS Sans Serif";
    t.items = items.data();
    t.count = WORD(items.size());
    HINSTANCE instance = (ofn->Flags & OFN_ENABLETEMPLATEHANDLE) ? NULL : ofn->hInstance;
    INT_PTR result = DialogBoxIndirectParam(instance, &t, ofn->hwndOwner, MainProc, LPARAM(&d));
    if (result == -1 && t_lastError == 0)
        t_lastError = CDERR_DIALOGFAILURE;
    return result == IDOK ? TRUE : FALSE;
}

} // namespace
} // namespace platform

BOOL GetOpenFileName(LPOPENFILENAME lpofn)
{
    return platform::RunFileDialog(lpofn, false);
}

BOOL GetSaveFileName(LPOPENFILENAME lpofn)
{
    return platform::RunFileDialog(lpofn, true);
}

DWORD CommDlgExtendedError()
{
    return platform::t_lastError;
}

short GetFileTitle(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize)
{
    if (!lpszFile)
        return -1;
    std::string path(lpszFile, strnlen(lpszFile, 0x8000));
    std::string title(platform::PathFileName(path));
    if (title.empty() || title.find_first_of("*?\"<>|") != std::string::npos)
        return -1;
    if (!lpszTitle || cchSize <= title.size())
        return short(std::min<size_t>(title.size() + 1, 0x7FFF));
    std::memcpy(lpszTitle, title.c_str(), title.size() + 1);
    return 0;
}

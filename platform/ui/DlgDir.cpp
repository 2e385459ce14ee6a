// Drive lists in a dialog's combo box: every drive of the drive table as
// "[-c-]", and the selection read back as "c:".

#include "platform/files/DriveTable.h"
#include "platform/files/FileApi.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

int DlgDirListComboBox(HWND hDlg, LPSTR lpPathSpec, int nIDComboBox, int nIDStaticPath, UINT uFiletype)
{
    (void)lpPathSpec;
    HWND combo = nIDComboBox ? GetDlgItem(hDlg, nIDComboBox) : NULL;
    if (!IsWindow(hDlg) || (nIDComboBox && !combo)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (combo) {
        SendMessage(combo, CB_RESETCONTENT, 0, 0);
        if (uFiletype & DDL_DRIVES) {
            auto table = platform::CurrentDriveTable();
            for (const platform::DriveInfo& d : table->Drives()) {
                char item[6] = {'[', '-', char(std::tolower(static_cast<unsigned char>(d.letter))), '-', ']', 0};
                SendMessage(combo, CB_ADDSTRING, 0, LPARAM(item));
            }
        }
    }
    if (nIDStaticPath) {
        char folder[MAX_PATH] = {};
        if (GetCurrentDirectory(MAX_PATH, folder) == 0)
            folder[0] = 0;
        SetDlgItemText(hDlg, nIDStaticPath, folder);
    }
    return TRUE;
}

BOOL DlgDirSelectComboBoxEx(HWND hDlg, LPSTR lpString, int cchOut, int idComboBox)
{
    HWND combo = GetDlgItem(hDlg, idComboBox);
    if (!combo || !lpString || cchOut <= 0)
        return FALSE;
    lpString[0] = 0;
    LRESULT sel = SendMessage(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR)
        return FALSE;
    LRESULT length = SendMessage(combo, CB_GETLBTEXTLEN, WPARAM(sel), 0);
    if (length == CB_ERR || length < 0 || length > 4096)
        return FALSE;
    std::string text(size_t(length) + 1, '\0');
    SendMessage(combo, CB_GETLBTEXT, WPARAM(sel), LPARAM(text.data()));
    text.resize(std::strlen(text.c_str()));
    std::string out;
    BOOL folder = FALSE;
    if (text.size() == 5 && text[0] == '[' && text[1] == '-' && text[3] == '-' && text[4] == ']') {
        out = std::string(1, text[2]) + ":";
        folder = TRUE;
    } else if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        out = text.substr(1, text.size() - 2) + "\\";
        folder = TRUE;
    } else {
        out = text;
    }
    size_t n = std::min(out.size(), size_t(cchOut) - 1);
    std::memcpy(lpString, out.data(), n);
    lpString[n] = 0;
    return folder;
}

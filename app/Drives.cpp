#include "app/Drives.h"

#include "app/Paths.h"
#include "platform/files/Drives.h"
#include "platform/files/FileApi.h"

#include <string>

CString GetVolumeLabel(LPCTSTR lpszRoot, BOOL* pbSuccess)
{
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Labels are short (32 characters at most on any file system we mount).
    std::string label(MAX_PATH + 1, '\0');
    BOOL ok = GetVolumeInformation(lpszRoot, label.data(), static_cast<DWORD>(label.size()), nullptr, nullptr, nullptr,
        nullptr, 0);
    SetErrorMode(previous);
    if (pbSuccess)
        *pbSuccess = ok;
    return ok ? CString(label.c_str()) : CString();
}

BOOL FindCdDrive(char& chDrive, LPCTSTR lpszRelative)
{
    char lastCd = 0;
    const bool anyCd = !lpszRelative || !*lpszRelative;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        char root[] = { letter, ':', '\\', '\0' };
        if (GetDriveType(root) != DRIVE_CDROM)
            continue;
        lastCd = letter;
        chDrive = letter;
        if (anyCd)
            return TRUE;
        CString path(letter);
        path += lpszRelative;
        if (FileExists(path))
            return TRUE;
    }
    chDrive = lastCd;
    return FALSE;
}

#include "assist/FileString.h"

#include "platform/base/File.h"

#include <vector>

void WriteFileString(CFile* pFile, const CString& str)
{
    const UINT nLength = UINT(str.GetLength()) + 1;
    BYTE length[4] = {BYTE(nLength), BYTE(nLength >> 8), BYTE(nLength >> 16), BYTE(nLength >> 24)};
    pFile->Write(length, 4);
    // The string's own buffer ends with its zero, which is written with it.
    pFile->Write(static_cast<LPCTSTR>(str), nLength);
}

BOOL ReadFileString(CFile* pFile, CString& str)
{
    str.Empty();
    BYTE length[4];
    if (pFile->Read(length, 4) != 4)
        return FALSE;
    const DWORD dwLength = DWORD(length[0]) | (DWORD(length[1]) << 8) | (DWORD(length[2]) << 16) | (DWORD(length[3]) << 24);
    // The length comes from the file: it must at least hold the zero and may
    // not reach past the bytes that are left.
    const DWORD dwPosition = pFile->GetPosition();
    const DWORD dwFileLength = pFile->GetLength();
    if (dwLength == 0 || dwPosition > dwFileLength || dwLength > dwFileLength - dwPosition)
        return FALSE;
    std::vector<char> bytes(dwLength);
    if (pFile->Read(bytes.data(), UINT(dwLength)) != dwLength)
        return FALSE;
    if (bytes.back() != '\0')
        return FALSE;
    // An embedded zero ends the string as it would for the program that
    // wrote it.
    str = CString(bytes.data());
    return TRUE;
}

#include "model/UndoTempFiles.h"

#include "platform/base/File.h"
#include "platform/files/FileApi.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kMaxPartPath = 284;
constexpr int kParts = 2;

BOOL IsComposite(const CString& strPath)
{
    const int nSlash = std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/'));
    const CString strName = strPath.Mid(nSlash + 1);
    return strName.GetLength() >= 3 && strName.Left(3).CompareNoCase("o4i") == 0;
}

} // namespace

std::vector<CString> ReadCompositeParts(const std::string& bytes)
{
    std::vector<CString> parts;
    size_t nAt = 0;
    for (int i = 0; i < kParts; ++i) {
        if (bytes.size() - nAt < 4)
            break;
        DWORD nLength = 0;
        std::memcpy(&nLength, bytes.data() + nAt, 4);
        nAt += 4;
        if (nLength < 1 || nLength > kMaxPartPath || bytes.size() - nAt < nLength)
            break;
        std::string path(bytes.data() + nAt, nLength);
        nAt += nLength;
        // A path stops at its first zero, as it was written from a C string.
        path.resize(std::strlen(path.c_str()));
        if (!path.empty())
            parts.emplace_back(path.c_str());
    }
    return parts;
}

void DeleteTemporaryPicture(const CString& strPath)
{
    if (strPath.IsEmpty())
        return;
    if (IsComposite(strPath)) {
        std::string bytes;
        CFile file;
        if (file.Open(strPath, CFile::modeRead | CFile::shareDenyNone)) {
            // The two entries lie in the file's first bytes.
            char buffer[2 * (4 + kMaxPartPath)];
            const UINT nRead = file.Read(buffer, sizeof(buffer));
            bytes.assign(buffer, nRead);
            file.Close();
        }
        for (const CString& strPart : ReadCompositeParts(bytes))
            ::DeleteFile(strPart);
    }
    ::DeleteFile(strPath);
}

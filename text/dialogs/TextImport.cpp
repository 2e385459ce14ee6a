#include "text/dialogs/TextImport.h"

#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kNotUtf8 = size_t(-1);

// How many of the bytes are UTF-8 throughout: all of them, or all but a
// sequence cut at the end when the bytes were cut there; kNotUtf8 for
// anything else.
size_t Utf8Length(const unsigned char* p, size_t nSize, bool bTruncated)
{
    bool bCutShort = false;
    const size_t nWellFormed =
        platform::Utf8WellFormedLength(std::string_view(reinterpret_cast<const char*>(p), nSize), &bCutShort);
    if (nWellFormed == nSize || (bCutShort && bTruncated))
        return nWellFormed;
    return kNotUtf8;
}

// The text as 1252 bytes, line ends and NULs not yet touched.
std::string To1252(const unsigned char* p, size_t nSize, bool bTruncated)
{
    const size_t nUtf8 = Utf8Length(p, nSize, bTruncated);
    if (nUtf8 == kNotUtf8)
        return std::string(reinterpret_cast<const char*>(p), nSize);
    std::string_view text(reinterpret_cast<const char*>(p), nUtf8);
    // A byte-order mark says only that the file is UTF-8.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return platform::Utf8To1252(text);
}

} // namespace

std::string ConvertImportedText(const void* pData, size_t nSize, bool bTruncated)
{
    if (pData == nullptr || nSize == 0)
        return std::string();
    const std::string text = To1252(static_cast<const unsigned char*>(pData), nSize, bTruncated);
    std::string out;
    out.reserve(std::min(text.size() * 2, size_t(kImportedTextMax)));
    for (size_t i = 0; i < text.size() && out.size() < size_t(kImportedTextMax); ++i) {
        const char ch = text[i];
        if (ch == '\0' || ch == '\f')
            continue;
        if (ch == '\r' || ch == '\n') {
            // A line end that no longer fits whole is left off.
            if (out.size() + 2 > size_t(kImportedTextMax))
                break;
            out += "\r\n";
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        out.push_back(ch);
    }
    return out;
}

BOOL ReadImportedTextFile(LPCTSTR lpszPath, CString& strText)
{
    if (lpszPath == nullptr || *lpszPath == '\0')
        return FALSE;
    std::vector<unsigned char> bytes;
    bool bTruncated = false;
    try {
        CFile file;
        if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone))
            return FALSE;
        bytes.resize(kImportReadLimit + 1);
        size_t nRead = 0;
        while (nRead < bytes.size()) {
            const UINT nGot = file.Read(bytes.data() + nRead, UINT(bytes.size() - nRead));
            if (nGot == 0)
                break;
            nRead += nGot;
        }
        file.Close();
        // One byte more than the limit tells a cut file from one that ends
        // exactly there.
        bTruncated = nRead > kImportReadLimit;
        bytes.resize(bTruncated ? kImportReadLimit : nRead);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    strText = CString(std::string_view(ConvertImportedText(bytes.data(), bytes.size(), bTruncated)));
    return TRUE;
}

#include "platform/base/Guid.h"

#include <cstring>

namespace {

constexpr size_t kTextLength = 38;

// The digit pairs of the text form in the order they are written, each naming
// the byte of the stored (little-endian) form it shows; -1 marks a hyphen.
// The first three fields are shown most significant byte first.
constexpr int kTextLayout[] = {3, 2, 1, 0, -1, 5, 4, -1, 7, 6, -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

BOOL IsEqualGUID(REFGUID rguid1, REFGUID rguid2)
{
    return std::memcmp(&rguid1, &rguid2, sizeof(GUID)) == 0;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax)
{
    if (!lpsz || cchMax < int(kTextLength + 1))
        return 0;
    std::string text = platform::GuidToString(rguid);
    for (size_t i = 0; i < kTextLength; ++i)
        lpsz[i] = OLECHAR(text[i]);
    lpsz[kTextLength] = 0;
    return int(kTextLength + 1);
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid)
{
    if (!lpsz || !pclsid)
        return E_INVALIDARG;
    // Narrow the text, stopping at one character past the form's length so
    // that an overlong string cannot match; anything outside ASCII fails.
    std::string text;
    for (size_t i = 0; lpsz[i] != 0 && i <= kTextLength; ++i) {
        if (lpsz[i] > 0x7F) {
            *pclsid = CLSID_NULL;
            return CO_E_CLASSSTRING;
        }
        text.push_back(char(lpsz[i]));
    }
    if (!platform::GuidFromString(text, *pclsid)) {
        *pclsid = CLSID_NULL;
        return CO_E_CLASSSTRING;
    }
    return S_OK;
}

namespace platform {

std::string GuidToString(REFGUID guid)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::array<BYTE, 16> bytes = GuidToBytes(guid);
    std::string text = "{";
    for (int index : kTextLayout) {
        if (index < 0) {
            text.push_back('-');
            continue;
        }
        text.push_back(kDigits[bytes[index] >> 4]);
        text.push_back(kDigits[bytes[index] & 0xF]);
    }
    text.push_back('}');
    return text;
}

bool GuidFromString(std::string_view text, GUID& out)
{
    if (text.size() != kTextLength || text.front() != '{' || text.back() != '}')
        return false;
    std::array<BYTE, 16> bytes {};
    size_t pos = 1;
    for (int index : kTextLayout) {
        if (index < 0) {
            if (text[pos] != '-')
                return false;
            ++pos;
            continue;
        }
        int high = HexValue(text[pos]);
        int low = HexValue(text[pos + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[index] = BYTE(high << 4 | low);
        pos += 2;
    }
    out = GuidFromBytes(bytes);
    return true;
}

std::array<BYTE, 16> GuidToBytes(REFGUID guid)
{
    std::array<BYTE, 16> bytes {};
    for (int i = 0; i < 4; ++i)
        bytes[i] = BYTE(guid.Data1 >> (8 * i));
    bytes[4] = BYTE(guid.Data2);
    bytes[5] = BYTE(guid.Data2 >> 8);
    bytes[6] = BYTE(guid.Data3);
    bytes[7] = BYTE(guid.Data3 >> 8);
    std::memcpy(&bytes[8], guid.Data4, 8);
    return bytes;
}

GUID GuidFromBytes(std::span<const BYTE, 16> bytes)
{
    GUID guid;
    guid.Data1 = DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
    guid.Data2 = WORD(bytes[4] | bytes[5] << 8);
    guid.Data3 = WORD(bytes[6] | bytes[7] << 8);
    std::memcpy(guid.Data4, &bytes[8], 8);
    return guid;
}

} // namespace platform

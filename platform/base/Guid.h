#pragma once
// GUIDs: class ids of stored files, format ids of property sets, interface
// ids. In memory the fields are native integers; stored, a GUID is 16 bytes
// with Data1, Data2 and Data3 little-endian and Data4 as it stands. As text it
// is "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.

#include "platform/base/Types.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
static_assert(sizeof(GUID) == 16);

typedef GUID CLSID;
typedef GUID IID;
typedef GUID FMTID;
typedef GUID* LPGUID;
typedef CLSID* LPCLSID;
typedef IID* LPIID;
typedef const GUID& REFGUID;
typedef const CLSID& REFCLSID;
typedef const IID& REFIID;
typedef const FMTID& REFFMTID;

typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;

#ifndef CO_E_CLASSSTRING
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3)
#endif

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr CLSID CLSID_NULL = GUID_NULL;
inline constexpr IID IID_NULL = GUID_NULL;

BOOL IsEqualGUID(REFGUID rguid1, REFGUID rguid2);
inline BOOL IsEqualCLSID(REFCLSID rclsid1, REFCLSID rclsid2)
{
    return IsEqualGUID(rclsid1, rclsid2);
}
inline BOOL IsEqualIID(REFIID riid1, REFIID riid2)
{
    return IsEqualGUID(riid1, riid2);
}
inline bool operator==(REFGUID a, REFGUID b)
{
    return IsEqualGUID(a, b);
}
inline bool operator!=(REFGUID a, REFGUID b)
{
    return !IsEqualGUID(a, b);
}

// Writes the 38-character text and its terminating zero; the number of
// characters written including the zero, or 0 when cchMax is below 39.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// Reads the braced text form only (there are no program ids to look up).
// S_OK; CO_E_CLASSSTRING for any other text, *pclsid then being CLSID_NULL;
// E_INVALIDARG for null pointers.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);

namespace platform {

// The text form in 1252 (plain ASCII), and back; false for anything but
// exactly the braced form, with either case of hexadecimal digits.
std::string GuidToString(REFGUID guid);
bool GuidFromString(std::string_view text, GUID& out);

// The 16 stored bytes.
std::array<BYTE, 16> GuidToBytes(REFGUID guid);
GUID GuidFromBytes(std::span<const BYTE, 16> bytes);

} // namespace platform

#include "model/PropSet.h"

#include "platform/base/Version.h"
#include "platform/storage/Storage.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr DWORD kSetHeaderSize = 28;
constexpr DWORD kSectionEntrySize = 20;
constexpr DWORD kSectionHeaderSize = 8;
constexpr DWORD kPropertyEntrySize = 8;
constexpr WORD kByteOrderMark = 0xFFFE;
// The OS-kind half of the version field: a 32-bit system.
constexpr WORD kOSKindWin32 = 2;
// Property 0 is the dictionary of property names, stored without a type.
constexpr DWORD kDictionaryPropID = 0;
// Far beyond any summary or document property set, even with a thumbnail;
// a larger stream is refused before it is read into memory.
constexpr DWORD kMaxSetSize = 16 * 1024 * 1024;
constexpr size_t kGuardBytes = 2;

enum class Layout { Fixed, Counted, WideCounted, Unknown };

struct TypeLayout {
    Layout layout;
    DWORD size; // of a Fixed value
};

// How a value of a base type (without the vector flag) is stored.
TypeLayout LayoutOf(DWORD dwType)
{
    switch (dwType) {
    case VT_EMPTY:
    case VT_NULL:
        return {Layout::Fixed, 0};
    case VT_I1:
    case VT_UI1:
        return {Layout::Fixed, 1};
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return {Layout::Fixed, 2};
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_ERROR:
    case VT_INT:
    case VT_UINT:
        return {Layout::Fixed, 4};
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_I8:
    case VT_UI8:
    case VT_FILETIME:
        return {Layout::Fixed, 8};
    case VT_DECIMAL:
    case VT_CLSID:
        return {Layout::Fixed, 16};
    case VT_BSTR:
    case VT_LPSTR:
    case VT_BLOB:
    case VT_STREAM:
    case VT_STORAGE:
    case VT_STREAMED_OBJECT:
    case VT_STORED_OBJECT:
    case VT_BLOB_OBJECT:
    case VT_CF:
        return {Layout::Counted, 0};
    case VT_LPWSTR:
        return {Layout::WideCounted, 0};
    default:
        return {Layout::Unknown, 0};
    }
}

constexpr size_t Pad4(size_t n)
{
    return (n + 3) & ~size_t(3);
}

DWORD GetDword(std::span<const BYTE> bytes, size_t pos)
{
    return DWORD(bytes[pos]) | DWORD(bytes[pos + 1]) << 8 | DWORD(bytes[pos + 2]) << 16 | DWORD(bytes[pos + 3]) << 24;
}

void PutDword(std::vector<BYTE>& out, DWORD value)
{
    const size_t at = out.size();
    out.resize(at + 4);
    for (size_t i = 0; i < 4; ++i)
        out[at + i] = BYTE(value >> (8 * i));
}

void PutGuid(std::vector<BYTE>& out, REFGUID guid)
{
    const auto bytes = platform::GuidToBytes(guid);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

BOOL WriteAll(IStream* pStream, const std::vector<BYTE>& bytes)
{
    ULONG cbWritten = 0;
    HRESULT hr = pStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &cbWritten);
    return SUCCEEDED(hr) && cbWritten == bytes.size();
}

// One counted element (a count, then count bytes or count UTF-16 units); in
// a vector each element is padded to 4 bytes.
std::optional<size_t> MeasureCounted(std::span<const BYTE> bytes, Layout layout, bool padded)
{
    if (bytes.size() < 4)
        return std::nullopt;
    const uint64_t count = GetDword(bytes, 0);
    uint64_t size = 4 + (layout == Layout::WideCounted ? 2 * count : count);
    if (padded)
        size = Pad4(size);
    if (size > bytes.size())
        return std::nullopt;
    return static_cast<size_t>(size);
}

// The stored size of a value of dwType at the start of bytes, without the
// padding that follows the whole value; nothing when the type's layout is
// not known or the value does not fit in bytes.
std::optional<size_t> MeasureValue(std::span<const BYTE> bytes, DWORD dwType)
{
    const bool isVector = (dwType & VT_VECTOR) != 0;
    const TypeLayout type = LayoutOf(dwType & ~DWORD(VT_VECTOR));
    if (type.layout == Layout::Unknown)
        return std::nullopt;
    if (!isVector) {
        if (type.layout == Layout::Fixed)
            return type.size <= bytes.size() ? std::optional<size_t>(type.size) : std::nullopt;
        return MeasureCounted(bytes, type.layout, false);
    }

    if (bytes.size() < 4)
        return std::nullopt;
    const uint64_t count = GetDword(bytes, 0);
    if (type.layout == Layout::Fixed) {
        // A vector of empty elements would be a count with nothing behind it.
        if (type.size == 0)
            return std::nullopt;
        const uint64_t size = 4 + count * type.size;
        return size <= bytes.size() ? std::optional<size_t>(size) : std::nullopt;
    }
    // Every counted element takes at least 4 bytes: refuse a count that
    // cannot be there before walking it.
    if (count > (bytes.size() - 4) / 4)
        return std::nullopt;
    size_t pos = 4;
    for (uint64_t i = 0; i < count; ++i) {
        auto element = MeasureCounted(bytes.subspan(pos), type.layout, true);
        if (!element)
            return std::nullopt;
        pos += *element;
    }
    return pos;
}

} // namespace

// --- CPropValue -------------------------------------------------------------

CPropValue::CPropValue()
    : CPropValue(0)
{
}

CPropValue::CPropValue(DWORD dwPropID)
    : m_dwPropID(dwPropID)
    , m_dwType(VT_EMPTY)
    , m_value(kGuardBytes, 0)
{
}

BOOL CPropValue::Set(const void* pData, DWORD dwType)
{
    std::vector<BYTE> value;
    const bool isVector = (dwType & VT_VECTOR) != 0;
    const TypeLayout type = LayoutOf(dwType & ~DWORD(VT_VECTOR));
    if (type.layout == Layout::Unknown)
        return FALSE;

    if (!isVector && (dwType == VT_LPSTR || dwType == VT_BSTR)) {
        const char* psz = pData ? static_cast<const char*>(pData) : "";
        const size_t count = std::strlen(psz) + 1;
        PutDword(value, static_cast<DWORD>(count));
        value.insert(value.end(), psz, psz + count);
    } else if (!isVector && dwType == VT_LPWSTR) {
        const WCHAR* pwsz = pData ? static_cast<const WCHAR*>(pData) : u"";
        size_t count = 0;
        while (pwsz[count] != 0)
            ++count;
        ++count;
        PutDword(value, static_cast<DWORD>(count));
        const BYTE* p = reinterpret_cast<const BYTE*>(pwsz);
        value.insert(value.end(), p, p + 2 * count);
    } else if (!isVector && type.layout == Layout::Fixed) {
        if (type.size != 0 && pData == nullptr)
            return FALSE;
        const BYTE* p = static_cast<const BYTE*>(pData);
        value.insert(value.end(), p, p + type.size);
    } else {
        // The caller hands over the stored form; it is trusted to be whole,
        // and no value of a property set can be larger than the set.
        if (pData == nullptr)
            return FALSE;
        const std::span<const BYTE> stored(static_cast<const BYTE*>(pData), kMaxSetSize);
        auto size = MeasureValue(stored, dwType);
        if (!size)
            return FALSE;
        value.assign(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(*size));
    }

    value.insert(value.end(), kGuardBytes, 0);
    m_value = std::move(value);
    m_dwType = dwType;
    return TRUE;
}

const void* CPropValue::Get() const
{
    switch (m_dwType) {
    case VT_LPSTR:
    case VT_BSTR:
    case VT_LPWSTR:
        return m_value.data() + 4;
    default:
        return m_value.data();
    }
}

DWORD CPropValue::GetSize() const
{
    return static_cast<DWORD>(m_value.size() - kGuardBytes);
}

BOOL CPropValue::WriteToStream(IStream* pStream) const
{
    std::vector<BYTE> out;
    PutDword(out, m_dwType);
    out.insert(out.end(), m_value.begin(), m_value.end() - kGuardBytes);
    out.resize(Pad4(out.size()), 0);
    return WriteAll(pStream, out);
}

BOOL CPropValue::ReadFromBytes(std::span<const BYTE> bytes)
{
    if (bytes.size() < 4)
        return FALSE;
    const DWORD dwType = GetDword(bytes, 0);
    const std::span<const BYTE> body = bytes.subspan(4);
    auto size = MeasureValue(body, dwType);
    if (!size)
        return FALSE;
    m_value.assign(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(*size));
    m_value.insert(m_value.end(), kGuardBytes, 0);
    m_dwType = dwType;
    return TRUE;
}

// --- CPropSection -----------------------------------------------------------

CPropSection::CPropSection()
    : m_fmtid(GUID_NULL)
{
}

CPropSection::CPropSection(REFFMTID fmtid)
    : m_fmtid(fmtid)
{
}

BOOL CPropSection::SetValue(DWORD dwPropID, const void* pData, DWORD dwType)
{
    CPropValue value(dwPropID);
    if (!value.Set(pData, dwType))
        return FALSE;
    auto it = std::find_if(m_values.begin(), m_values.end(), [&](const CPropValue& v) { return v.GetID() == dwPropID; });
    if (it != m_values.end())
        *it = std::move(value);
    else
        m_values.push_back(std::move(value));
    return TRUE;
}

const void* CPropSection::GetValue(DWORD dwPropID, DWORD* pdwType) const
{
    for (const CPropValue& value : m_values) {
        if (value.GetID() == dwPropID) {
            if (pdwType)
                *pdwType = value.GetType();
            return value.Get();
        }
    }
    return nullptr;
}

void CPropSection::RemoveAll()
{
    m_values.clear();
}

DWORD CPropSection::GetSize() const
{
    size_t size = kSectionHeaderSize + kPropertyEntrySize * m_values.size();
    for (const CPropValue& value : m_values)
        size += Pad4(4 + size_t(value.GetSize()));
    return static_cast<DWORD>(size);
}

BOOL CPropSection::WriteToStream(IStream* pStream) const
{
    std::vector<BYTE> header;
    PutDword(header, GetSize());
    PutDword(header, GetCount());
    size_t offset = kSectionHeaderSize + kPropertyEntrySize * m_values.size();
    for (const CPropValue& value : m_values) {
        PutDword(header, value.GetID());
        PutDword(header, static_cast<DWORD>(offset));
        offset += Pad4(4 + size_t(value.GetSize()));
    }
    if (!WriteAll(pStream, header))
        return FALSE;
    for (const CPropValue& value : m_values) {
        if (!value.WriteToStream(pStream))
            return FALSE;
    }
    return TRUE;
}

BOOL CPropSection::ReadFromBytes(std::span<const BYTE> set, DWORD dwOffset)
{
    if (dwOffset > set.size() || set.size() - dwOffset < kSectionHeaderSize)
        return FALSE;
    const DWORD cbSection = GetDword(set, dwOffset);
    const DWORD nCount = GetDword(set, dwOffset + 4);
    if (cbSection < kSectionHeaderSize || cbSection > set.size() - dwOffset)
        return FALSE;
    if (nCount > (cbSection - kSectionHeaderSize) / kPropertyEntrySize)
        return FALSE;

    const std::span<const BYTE> section = set.subspan(dwOffset, cbSection);
    m_values.clear();
    for (DWORD i = 0; i < nCount; ++i) {
        const size_t entry = kSectionHeaderSize + size_t(i) * kPropertyEntrySize;
        const DWORD dwPropID = GetDword(section, entry);
        const DWORD dwValueOffset = GetDword(section, entry + 4);
        if (dwPropID == kDictionaryPropID || dwValueOffset < kSectionHeaderSize || dwValueOffset >= cbSection)
            continue;
        if (GetValue(dwPropID) != nullptr)
            continue;
        CPropValue value(dwPropID);
        if (value.ReadFromBytes(section.subspan(dwValueOffset)))
            m_values.push_back(std::move(value));
    }
    return TRUE;
}

// --- CPropSet ---------------------------------------------------------------

CPropSet::CPropSet(REFCLSID clsid)
    : m_wByteOrder(kByteOrderMark)
    , m_wFormat(0)
    , m_dwOSVersion(MAKELONG(LOWORD(GetVersion()), kOSKindWin32))
    , m_clsid(clsid)
{
}

BOOL CPropSet::SetValue(REFFMTID fmtid, DWORD dwPropID, const void* pData, DWORD dwType)
{
    CPropSection* pSection = GetSection(fmtid);
    if (pSection)
        return pSection->SetValue(dwPropID, pData, dwType);
    CPropSection section(fmtid);
    if (!section.SetValue(dwPropID, pData, dwType))
        return FALSE;
    m_sections.push_back(std::move(section));
    return TRUE;
}

const void* CPropSet::GetValue(REFFMTID fmtid, DWORD dwPropID, DWORD* pdwType) const
{
    const CPropSection* pSection = GetSection(fmtid);
    return pSection ? pSection->GetValue(dwPropID, pdwType) : nullptr;
}

CPropSection* CPropSet::GetSection(REFFMTID fmtid)
{
    for (CPropSection& section : m_sections) {
        if (IsEqualGUID(section.GetFormatID(), fmtid))
            return &section;
    }
    return nullptr;
}

const CPropSection* CPropSet::GetSection(REFFMTID fmtid) const
{
    return const_cast<CPropSet*>(this)->GetSection(fmtid);
}

void CPropSet::RemoveAll()
{
    m_sections.clear();
}

BOOL CPropSet::WriteToStream(IStream* pStream) const
{
    if (pStream == nullptr)
        return FALSE;
    std::vector<BYTE> header;
    header.push_back(LOBYTE(m_wByteOrder));
    header.push_back(HIBYTE(m_wByteOrder));
    header.push_back(LOBYTE(m_wFormat));
    header.push_back(HIBYTE(m_wFormat));
    PutDword(header, m_dwOSVersion);
    PutGuid(header, m_clsid);
    PutDword(header, static_cast<DWORD>(m_sections.size()));
    if (!WriteAll(pStream, header))
        return FALSE;
    if (m_sections.empty())
        return TRUE;

    std::vector<BYTE> entries;
    size_t offset = kSetHeaderSize + kSectionEntrySize * m_sections.size();
    for (const CPropSection& section : m_sections) {
        PutGuid(entries, section.GetFormatID());
        PutDword(entries, static_cast<DWORD>(offset));
        offset += section.GetSize();
    }
    if (!WriteAll(pStream, entries))
        return FALSE;
    for (const CPropSection& section : m_sections) {
        if (!section.WriteToStream(pStream))
            return FALSE;
    }
    return TRUE;
}

BOOL CPropSet::ReadFromStream(IStream* pStream)
{
    m_sections.clear();
    if (pStream == nullptr)
        return FALSE;
    LARGE_INTEGER start {};
    if (FAILED(pStream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return FALSE;

    std::vector<BYTE> bytes;
    BYTE chunk[64 * 1024];
    for (;;) {
        ULONG cbRead = 0;
        HRESULT hr = pStream->Read(chunk, sizeof(chunk), &cbRead);
        if (FAILED(hr))
            return FALSE;
        if (cbRead == 0)
            break;
        if (bytes.size() + cbRead > kMaxSetSize)
            return FALSE;
        bytes.insert(bytes.end(), chunk, chunk + cbRead);
    }

    const std::span<const BYTE> set(bytes);
    if (set.size() < kSetHeaderSize)
        return FALSE;
    if ((set[0] | set[1] << 8) != kByteOrderMark)
        return FALSE;
    const DWORD nSections = GetDword(set, 24);
    if (nSections > (set.size() - kSetHeaderSize) / kSectionEntrySize)
        return FALSE;

    for (DWORD i = 0; i < nSections; ++i) {
        const size_t entry = kSetHeaderSize + size_t(i) * kSectionEntrySize;
        const GUID fmtid = platform::GuidFromBytes(set.subspan(entry).first<16>());
        CPropSection section(fmtid);
        if (section.ReadFromBytes(set, GetDword(set, entry + 16)))
            m_sections.push_back(std::move(section));
    }
    return TRUE;
}

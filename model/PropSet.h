#pragma once
// Property sets: the serialised form in which compound files carry
// descriptive properties (title, author, ...) that the shell and other
// programs read. A CPropSet is one property-set stream: a header, then
// sections, each identified by a format ID and holding typed values
// identified by property IDs.
//
// Writing lays the set out in the standard form: 28-byte header, one 20-byte
// entry per section, then each section (its size, its property count, the
// ID/offset pairs, then the values, each a 32-bit type followed by the value
// padded to 4 bytes). Reading takes the whole stream into memory and follows
// the stored offsets; every offset, size and count is checked against the
// bytes that are there. A value that does not fit, or of a type whose layout
// is not known, is dropped; a section that does not fit is dropped; a header
// that is not a property set makes the read fail.

#include "platform/base/Guid.h"
#include "platform/base/Types.h"

#include <span>
#include <vector>

struct IStream;

// Variant types of stored property values.
enum VARENUM : DWORD {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_BLOB = 65,
    VT_STREAM = 66,
    VT_STORAGE = 67,
    VT_STREAMED_OBJECT = 68,
    VT_STORED_OBJECT = 69,
    VT_BLOB_OBJECT = 70,
    VT_CF = 71,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
};

// One property: its ID, its variant type and its value bytes (owned).
//
// The data handed to Set and returned by Get depends on the type: for
// VT_LPSTR and VT_BSTR a zero-terminated 1252 string, for VT_LPWSTR a
// zero-terminated UTF-16 string; for the fixed-size types the value itself;
// for the other counted types (blobs, clipboard data, names of streams and
// storages) and for vectors the stored form, starting with its 32-bit count.
// A string returned by Get is always terminated, even when the stored one
// was not.
class CPropValue {
public:
    CPropValue();
    explicit CPropValue(DWORD dwPropID);

    DWORD GetID() const { return m_dwPropID; }
    DWORD GetType() const { return m_dwType; }

    // FALSE, leaving the value as it was, for a type whose stored layout is
    // not known.
    BOOL Set(const void* pData, DWORD dwType);
    const void* Get() const;
    // The stored size of the value after its type, without the padding that
    // follows it.
    DWORD GetSize() const;

    // The type, the value and its padding; FALSE when the stream takes less.
    BOOL WriteToStream(IStream* pStream) const;
    // Reads the typed value at the start of bytes (which end where its
    // section ends); FALSE when the type is not known or the value does not
    // fit, the property being left unchanged.
    BOOL ReadFromBytes(std::span<const BYTE> bytes);

private:
    DWORD m_dwPropID;
    DWORD m_dwType;
    // The stored value followed by two zero bytes, so that strings read from
    // a file always end.
    std::vector<BYTE> m_value;
};

// One section: a format ID and its properties (owned), in the order they
// were added or read. Pointers from GetValue stay valid until that property
// is replaced or the section is emptied.
class CPropSection {
public:
    CPropSection();
    explicit CPropSection(REFFMTID fmtid);

    const FMTID& GetFormatID() const { return m_fmtid; }
    DWORD GetCount() const { return static_cast<DWORD>(m_values.size()); }
    const std::vector<CPropValue>& GetValues() const { return m_values; }

    // Replaces the property with that ID or appends a new one; FALSE for a
    // type whose stored layout is not known.
    BOOL SetValue(DWORD dwPropID, const void* pData, DWORD dwType);
    // The property's data (see CPropValue) and, when pdwType is given, its
    // type; NULL when the section has no property with that ID.
    const void* GetValue(DWORD dwPropID, DWORD* pdwType = NULL) const;
    void RemoveAll();

    // The stored size of the whole section.
    DWORD GetSize() const;
    BOOL WriteToStream(IStream* pStream) const;
    // Reads the section stored at dwOffset of a whole set's bytes, replacing
    // this section's properties; FALSE when the section does not fit.
    BOOL ReadFromBytes(std::span<const BYTE> set, DWORD dwOffset);

private:
    FMTID m_fmtid;
    std::vector<CPropValue> m_values;
};

// A whole property-set stream. Its class ID is the format ID given at
// construction; its OS version field says a 32-bit system of the version
// the program runs on.
class CPropSet {
public:
    explicit CPropSet(REFCLSID clsid = CLSID_NULL);

    const CLSID& GetClassID() const { return m_clsid; }
    const std::vector<CPropSection>& GetSections() const { return m_sections; }

    // Sets a property of the section with that format ID, which is added
    // when missing.
    BOOL SetValue(REFFMTID fmtid, DWORD dwPropID, const void* pData, DWORD dwType);
    const void* GetValue(REFFMTID fmtid, DWORD dwPropID, DWORD* pdwType = NULL) const;
    // The first section with that format ID, or NULL.
    CPropSection* GetSection(REFFMTID fmtid);
    const CPropSection* GetSection(REFFMTID fmtid) const;
    void RemoveAll();

    // Writes the set from the stream's current position. FALSE when the
    // stream takes less than it is given.
    BOOL WriteToStream(IStream* pStream) const;
    // Reads the whole stream from its start, replacing the sections. FALSE,
    // with no sections left, when it is not a property set (too short, wrong
    // byte-order mark, more section entries than bytes, or larger than a
    // property set can sensibly be).
    BOOL ReadFromStream(IStream* pStream);

private:
    WORD m_wByteOrder;
    WORD m_wFormat;
    DWORD m_dwOSVersion;
    CLSID m_clsid;
    std::vector<CPropSection> m_sections;
};

// Enhanced metafiles made record by record for tests that need a metafile
// picture of known content: each record is its type, its size and its
// 32-bit values; the header is written from the records when the metafile
// is made.

#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace testing_support {

class EmfBuilder {
public:
    void Record(uint32_t type, std::initializer_list<uint32_t> values)
    {
        Put32(m_records, type);
        Put32(m_records, uint32_t(8 + 4 * values.size()));
        for (uint32_t v : values)
            Put32(m_records, v);
        ++m_nRecords;
    }

    // Closes the records with the end-of-file record and makes the
    // metafile: its bounds in device units (inclusive), its frame in
    // hundredths of a millimetre, and the count of object handles it uses
    // (the first, reserved, one included).
    HENHMETAFILE Make(const RECT& bounds, const RECT& frame, uint32_t nHandles)
    {
        Record(14, {0, 16, 20});
        std::string header;
        Put32(header, 1);
        Put32(header, 88);
        for (LONG v : {bounds.left, bounds.top, bounds.right, bounds.bottom})
            Put32(header, uint32_t(v));
        for (LONG v : {frame.left, frame.top, frame.right, frame.bottom})
            Put32(header, uint32_t(v));
        Put32(header, 0x464D4520);
        Put32(header, 0x10000);
        Put32(header, uint32_t(88 + m_records.size()));
        Put32(header, m_nRecords + 1); // the header is a record too
        Put32(header, nHandles); // handles, and the reserved word
        Put32(header, 0); // description
        Put32(header, 0);
        Put32(header, 0); // palette entries
        for (uint32_t v : {1000u, 1000u, 100u, 100u})
            Put32(header, v); // device pixels and millimetres
        const std::string bytes = header + m_records;
        return ::SetEnhMetaFileBits(UINT(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data()));
    }

private:
    static void Put32(std::string& out, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(char((v >> (8 * i)) & 0xFF));
    }

    std::string m_records;
    uint32_t m_nRecords = 0;
};

} // namespace testing_support

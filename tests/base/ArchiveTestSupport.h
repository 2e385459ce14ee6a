#pragma once
// Helpers shared by the archive tests: store through a CArchive into memory
// and get the bytes, or load from given bytes.

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <string>

namespace archive_test {

inline std::string FileBytes(CFile& file)
{
    const DWORD n = file.GetLength();
    std::string bytes(n, '\0');
    file.SeekToBegin();
    EXPECT_EQ(file.Read(bytes.data(), n), n);
    return bytes;
}

template <typename Write>
std::string Store(Write&& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return FileBytes(file);
}

// Loads from a copy of bytes; the file stays fixed at exactly those bytes.
template <typename Read>
void Load(const std::string& bytes, Read&& read)
{
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

// The cause of the CArchiveException that loading raises; -1 when it raises
// none, -2 for another exception.
template <typename Read>
int LoadFailure(const std::string& bytes, Read&& read)
{
    try {
        Load(bytes, read);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return -2;
    }
    return -1;
}

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

inline std::string U16(WORD v)
{
    return Bytes({v & 0xFF, v >> 8});
}

inline std::string U32(DWORD v)
{
    return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
        static_cast<int>(v >> 24)});
}

} // namespace archive_test

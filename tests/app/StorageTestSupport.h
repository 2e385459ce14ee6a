#pragma once
// Shared set-up of the tests of the program's storage users: the real file
// layer with only drive C: (the Linux root), fresh folders, and compound
// files made and read through the storage functions themselves.

#include "platform/base/CodePage.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/storage/Storage.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace storage_test {

class StorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::InitFileSystem();
        platform::SetDriveTable(platform::DriveTable());
    }
    void TearDown() override { platform::ResetDriveTable(); }

    // A path (Windows form) for a file that does not exist yet.
    static std::string NewPath(const std::string& name)
    {
        return platform::WindowsPathFor(testing_support::MakeTempDir("stg") + "/" + name);
    }
};

inline std::u16string Wide(const std::string& text)
{
    return platform::Utf16From1252(text);
}

// Writes a committed compound file of that class holding the streams.
inline void WriteCompoundFile(const std::string& path, REFCLSID clsid,
    const std::vector<std::pair<std::string, std::string>>& streams)
{
    IStorage* pStorage = nullptr;
    ASSERT_EQ(StgCreateDocfile(Wide(path).c_str(), STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                  0, &pStorage),
        S_OK);
    ASSERT_EQ(WriteClassStg(pStorage, clsid), S_OK);
    for (const auto& [name, bytes] : streams) {
        IStream* pStream = nullptr;
        ASSERT_EQ(pStorage->CreateStream(Wide(name).c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0,
                      &pStream),
            S_OK);
        ULONG cb = 0;
        pStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &cb);
        pStream->Release();
    }
    ASSERT_EQ(pStorage->Commit(STGC_DEFAULT), S_OK);
    pStorage->Release();
}

// The bytes of a stream of a compound file, or "<no file>" / "<no stream>".
inline std::string ReadStreamBytes(const std::string& path, const std::string& name)
{
    IStorage* pStorage = nullptr;
    if (FAILED(StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pStorage)))
        return "<no file>";
    IStream* pStream = nullptr;
    std::string out = "<no stream>";
    if (SUCCEEDED(pStorage->OpenStream(Wide(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &pStream))) {
        out.clear();
        char buffer[4096];
        ULONG cb = 0;
        while (SUCCEEDED(pStream->Read(buffer, sizeof(buffer), &cb)) && cb > 0)
            out.append(buffer, cb);
        pStream->Release();
    }
    pStorage->Release();
    return out;
}

} // namespace storage_test

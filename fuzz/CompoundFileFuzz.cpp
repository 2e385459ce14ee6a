// Feeds untrusted bytes to the compound-file reader. Any input must give an
// error HRESULT or a tree that can be walked to its end: every storage
// opened, every stream read whole and its size matching what the
// enumeration said. (An element whose stored name holds a character that
// names may not hold is listed but cannot be opened by name.) A tree that was read must also survive being written
// out and read back.

#include "platform/storage/CompoundFile.h"
#include "platform/storage/Storage.h"
#include "platform/storage/StorageTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

void Walk(IStorage* storage, int depth)
{
    Check(depth < 1000);
    IEnumSTATSTG* elements = nullptr;
    Check(storage->EnumElements(0, nullptr, 0, &elements) == S_OK);
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        if (stat.type == STGTY_STORAGE) {
            IStorage* child = nullptr;
            HRESULT hr = storage->OpenStorage(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &child);
            Check(hr == S_OK || hr == STG_E_INVALIDNAME);
            if (child) {
                Walk(child, depth + 1);
                child->Release();
            }
        } else {
            IStream* stream = nullptr;
            HRESULT hr = storage->OpenStream(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
            Check(hr == S_OK || hr == STG_E_INVALIDNAME);
            if (!stream) {
                CoTaskMemFree(stat.pwcsName);
                continue;
            }
            char buffer[4096];
            ULONG got = 0;
            ULONGLONG total = 0;
            while (stream->Read(buffer, sizeof buffer, &got) == S_OK && got > 0)
                total += got;
            Check(total == stat.cbSize.QuadPart);
            stream->Release();
        }
        CoTaskMemFree(stat.pwcsName);
    }
    elements->Release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IStorage* root = nullptr;
    if (SUCCEEDED(platform::OpenStorageFromBytes(data, size, &root))) {
        Walk(root, 0);
        root->Release();

        std::shared_ptr<platform::StorageNode> tree;
        Check(SUCCEEDED(platform::ReadCompoundFile(std::span<const BYTE>(data, size), tree)));
        std::string written;
        Check(SUCCEEDED(platform::WriteCompoundFile(*tree, written)));
        std::shared_ptr<platform::StorageNode> again;
        Check(SUCCEEDED(platform::ReadCompoundFile(
            std::span<const BYTE>(reinterpret_cast<const BYTE*>(written.data()), written.size()), again)));
    }
    return 0;
}

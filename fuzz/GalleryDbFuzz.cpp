// Feeds arbitrary bytes to the picture gallery's database. The first byte
// chooses how: even, the bytes are the whole imagedb.olv; odd, they are the
// stream of a category "Cat" inside a sound compound file (so that the
// record walk is reached on every run). Either way the database is opened,
// its pictures counted, and every record and thumbnail read.

#include "pictures/GalleryDB.h"
#include "pictures/Image.h"

#include "platform/base/CodePage.h"
#include "platform/storage/Storage.h"

#include "FuzzProgramFolder.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// "Contents" naming the one category, and the category's stream.
bool WriteDatabase(const std::string& windowsPath, const uint8_t* data, size_t size)
{
    const std::u16string path = platform::Utf16From1252(windowsPath);
    IStorage* pStorage = nullptr;
    if (FAILED(StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, &pStorage)))
        return false;
    const std::string contents("\x01\x00\x03" "Cat", 6);
    const std::pair<const char16_t*, std::string> streams[] = {
        {u"Contents", contents},
        {u"Cat", std::string(reinterpret_cast<const char*>(data), size)},
    };
    for (const auto& [name, bytes] : streams) {
        IStream* pStream = nullptr;
        if (SUCCEEDED(pStorage->CreateStream(name, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, &pStream))) {
            ULONG cb = 0;
            pStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &cb);
            pStream->Release();
        }
    }
    pStorage->Commit(STGC_DEFAULT);
    pStorage->Release();
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzProgramFolder folder("gallerydb");
    if (size < 1)
        return 0;
    const std::string host = folder.host + "/imagedb.olv";
    const std::string windows = folder.windows + "imagedb.olv";
    if (data[0] % 2 == 0)
        WriteFile(host, data + 1, size - 1);
    else if (!WriteDatabase(windows, data + 1, size - 1))
        return 0;

    CGalleryDB db(windows.c_str());
    for (int i = 0; i < db.GetCategoryCount(); ++i) {
        int nCount = -1;
        db.OpenCategory(db.GetCategoryName(i), FALSE, &nCount);
        Check(nCount >= 0);
        // Every record takes at least its fixed fields.
        Check(static_cast<size_t>(nCount) <= size / 20 + 1);
        Check(nCount == db.GetPictureCount(i));
        for (int n = 0; n < nCount; ++n) {
            std::unique_ptr<CImage> pPicture = db.GetPicture(n);
            const CString strPath = db.GetPictureFile(n);
            const CString strLabel = db.GetPictureLabel(n);
            Check(strPath.GetLength() < static_cast<int>(size));
            Check(strLabel.GetLength() < static_cast<int>(size));
        }
        Check(db.GetPicture(nCount) == nullptr);
    }
    db.Close();
    return 0;
}

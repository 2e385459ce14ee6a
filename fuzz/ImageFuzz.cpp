// Feeds untrusted bytes to the stored form of pictures in designs: the
// picture object and its metafile holder, read as objects of an archive that
// allows only those two classes, or straight into a picture through its own
// Serialize, under a design version the first byte picks. Any input must end
// in a clean return or a caught archive, file or memory exception; a picture
// that was read must store, and what it stores must read back and store the
// same bytes again.

#include "fuzz/FuzzProgramFolder.h"
#include "pictures/Image.h"
#include "pictures/MetaFileInfo.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "text/DesignArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <type_traits>

namespace {

constexpr LONG kVersions[] = {7, 12, 13, 19, 20, 26, 27, 28, 29};
LONG g_nVersion = kDesignFileVersion;

BOOL FuzzDesign(const CArchive&, DesignArchiveInfo& info)
{
    info.nVersion = g_nVersion;
    info.nHeaderValue = 0;
    return TRUE;
}

// The object's stored form, or empty when storing raised a file exception
// (a raster the engine cannot save).
template <typename T>
bool Store(T& object, std::string& bytes)
{
    CMemFile file;
    try {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
    bytes.assign(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return true;
}

template <typename T>
void Load(T& object, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    object.Serialize(ar);
}

// A picture's handle value is the engine's number of the moment for a
// raster loaded from its file: it may differ between two loads.
void ForgetRasterHandle(std::string& bytes)
{
    if (bytes.size() < 4)
        return;
    const LONG nHandle = static_cast<LONG>(static_cast<BYTE>(bytes[0]) | (static_cast<BYTE>(bytes[1]) << 8)
        | (static_cast<BYTE>(bytes[2]) << 16) | (static_cast<DWORD>(static_cast<BYTE>(bytes[3])) << 24));
    if (CImage::IsEngineHandle(nHandle))
        bytes.replace(0, 4, 4, '\0');
}

// What was read stores in today's form, and that form is stable.
template <typename T>
void CheckStoresBack(T& object)
{
    std::string first;
    if (!Store(object, first))
        return;
    const LONG nVersion = g_nVersion;
    g_nVersion = kDesignFileVersion;
    T again;
    try {
        Load(again, first);
    } catch (CException* e) {
        // What was stored a moment ago must read.
        e->Delete();
        abort();
    }
    std::string second;
    if (!Store(again, second))
        abort();
    if constexpr (std::is_same_v<T, CImage>) {
        ForgetRasterHandle(first);
        ForgetRasterHandle(second);
    }
    if (second != first)
        abort();
    g_nVersion = nVersion;
}

// The objects an archive made; a back-reference gives one of them again,
// so they are freed once the archive is gone.
std::set<CObject*> g_objects;

void ReadObjects(CArchive& ar)
{
    for (int i = 0; i < 8; ++i) {
        CObject* pObject = nullptr;
        ar >> pObject;
        if (pObject == nullptr || !g_objects.insert(pObject).second)
            continue;
        if (auto* pImage = dynamic_cast<CImage*>(pObject))
            CheckStoresBack(*pImage);
        else if (auto* pHolder = dynamic_cast<CMetaFileInfo*>(pObject))
            CheckStoresBack(*pHolder);
        else
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzProgramFolder folder("imagefuzz");
    if (size < 1 || size > 0x100000)
        return 0;
    const BYTE mode = data[0];
    g_nVersion = kVersions[(mode >> 1) % (sizeof(kVersions) / sizeof(kVersions[0]))];
    SetDesignArchiveSource(&FuzzDesign);
    CMemFile file(const_cast<BYTE*>(data + 1), static_cast<UINT>(size - 1));
    try {
        CArchive ar(&file, CArchive::load, (mode & 0x80) ? 128 : 4096);
        ar.SetAllowedClasses({RUNTIME_CLASS(CImage), RUNTIME_CLASS(CMetaFileInfo)});
        if (mode & 1) {
            ReadObjects(ar);
        } else {
            CImage image;
            image.Serialize(ar);
            CheckStoresBack(image);
        }
    } catch (CArchiveException* e) {
        e->Delete();
    } catch (CMemoryException* e) {
        e->Delete();
    } catch (CFileException* e) {
        e->Delete();
    }
    for (CObject* pObject : g_objects)
        delete pObject;
    g_objects.clear();
    // Every picture the input made is gone with the objects.
    if (GetPicCount() != 0)
        abort();
    SetDesignArchiveSource(nullptr);
    return 0;
}

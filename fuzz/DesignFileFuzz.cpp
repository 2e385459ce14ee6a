// Feeds untrusted bytes to the whole design-file reader: the bytes are a
// compound file, whose "Contents" a design of the general kind reads with
// its two surfaces (objects, text, pictures, day cells, merge sources,
// guidelines), its quick-information stream and summary information. Any
// input must end in a clean return or a caught exception, leave the
// serialization state as it was, and free everything it made.

#include "fuzz/FuzzProgramFolder.h"
#include "model/DesignArchive.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/SurfaceInfo.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "resources/Resources.h"
#include "surface/Surface.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

// A design with two windowless surfaces, as the reader fills them.
class CFuzzDesign : public CGeneralDoc {
public:
    CFuzzDesign()
    {
        m_bAutoDelete = FALSE;
        for (int i = 0; i < 2; ++i) {
            auto* pInfo = new CSurfaceInfo(i);
            pInfo->m_pView = m_views[i].get();
            m_surfaces.AddTail(pInfo);
        }
    }
    std::unique_ptr<CSurface> m_views[2] = {std::make_unique<CSurface>(), std::make_unique<CSurface>()};
};

} // namespace

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static FuzzProgramFolder folder("designfile");
    threadwick::RegisterResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IStorage* pRoot = nullptr;
    if (FAILED(platform::OpenStorageFromBytes(data, size, &pRoot)))
        return 0;
    {
        CFuzzDesign design;
        design.m_lpRootStg = pRoot; // the document releases it
        COleStreamFile file;
        if (file.OpenStream(pRoot, "Contents", CFile::modeRead | CFile::shareExclusive)) {
            try {
                CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
                ar.m_pDocument = &design;
                design.Serialize(ar);
                ar.Close();
            } catch (CException* e) {
                e->Delete();
            }
        }
        Check(!g_bInDesignSerialize);
        Check(design.m_bNativeRecord && design.m_nFileVersion == kDesignFileVersion);
    }
    return 0;
}

// Feeds untrusted bytes to the metafile holder in its three ways in: the
// stored form of a design (through an archive), the "o4m" temporary file and
// a ".wmf" file. The first byte picks the way. Any input must end in a clean
// return; a holder that loaded stores a form that loads again to the same
// bytes, and draws once and tiled into a small memory DC.

#include "fuzz/FuzzProgramFolder.h"
#include "pictures/MetaFileInfo.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

namespace {

std::string Store(CMetaFileInfo& holder)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        holder.Serialize(ar);
        ar.Close();
    }
    const DWORD n = static_cast<DWORD>(file.GetLength());
    std::string bytes(n, '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), n);
    return bytes;
}

// FALSE when loading raised the archive exception.
BOOL Load(CMetaFileInfo& holder, const uint8_t* data, size_t size)
{
    CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
    try {
        CArchive ar(&file, CArchive::load);
        holder.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void Check(CMetaFileInfo& holder)
{
    static CDC* pDC = [] {
        CDC* dc = new CDC;
        dc->Attach(::CreateCompatibleDC(NULL));
        ::SelectObject(dc->GetSafeHdc(), ::CreateBitmap(40, 40, 1, 32, NULL));
        return dc;
    }();
    if (!holder.HasMetaFile())
        return;
    const std::string stored = Store(holder);
    CMetaFileInfo back;
    if (!Load(back, reinterpret_cast<const uint8_t*>(stored.data()), stored.size()) || Store(back) != stored)
        abort();
    holder.Draw(pDC, CRect(2, 2, 38, 38), CRect(0, 0, 30, 30), TRUE);
    holder.m_nTileRequest = 1;
    holder.DrawTiled(pDC, CRect(38, 2, 2, 38), CRect(), FALSE);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzProgramFolder folder("metafilefuzz");
    if (size < 1 || size > 0x40000)
        return 0;
    const uint8_t way = data[0] % 3;
    ++data;
    --size;
    CMetaFileInfo holder;
    if (way == 0) {
        if (!Load(holder, data, size) && holder.HasMetaFile())
            abort();
        Check(holder);
        return 0;
    }
    const std::string name = way == 1 ? "o4mFUZZ.tmp" : "fuzz.wmf";
    {
        std::ofstream out(folder.host + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string path = folder.windows + name;
    if (way == 1) {
        try {
            holder.LoadTemp(path.c_str());
        } catch (CException* e) {
            e->Delete();
            if (holder.HasMetaFile())
                abort();
            return 0;
        }
        // Saved and loaded again, the file is the same.
        holder.SaveTemp((folder.windows + "o4mBACK.tmp").c_str());
        CMetaFileInfo again;
        again.LoadTemp((folder.windows + "o4mBACK.tmp").c_str());
        if (!again.HasMetaFile())
            abort();
    } else if (!holder.LoadWmf(path.c_str())) {
        if (holder.HasMetaFile())
            abort();
        return 0;
    }
    Check(holder);
    return 0;
}

// Bitmap bytes from outside, two ways:
// - as a packed DIB (a bitmap resource, a BMP file without its file header):
//   read, decoded into a bitmap and drawn stretched into a small memory DC;
// - as a stored bitmap file of a record (CDib's count and file image): the
//   bytes as the whole stored form, so the count is hostile too, and the
//   bytes as the file image under a true count. An image that loads is
//   drawn plainly, stretched and transparent, and must store back exactly.
// Any input must end in a clean return or a caught archive exception.

#include "fuzz/FuzzProgramFolder.h"
#include "pictures/Dib.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Dib.h"
#include "resources/Resources.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

HDC FuzzDc()
{
    static HDC dc = [] {
        HDC memory = CreateCompatibleDC(NULL);
        SelectObject(memory, CreateBitmap(32, 32, 1, 32, NULL));
        return memory;
    }();
    return dc;
}

void PackedDib(const uint8_t* data, size_t size)
{
    platform::DibFormat f;
    const uint8_t* bits = nullptr;
    size_t bitsSize = 0;
    if (!platform::ReadPackedDib(data, size, f, bits, bitsSize))
        return;
    // Keep each run small: the reader accepts pictures up to the pixel limit.
    if (int64_t(f.width) * f.height > 4096 * 4096)
        return;
    platform::PixelBuffer image;
    if (!image.Allocate(f.width, f.height))
        return;
    std::vector<uint8_t> alpha;
    platform::DecodeDib(f, bits, bitsSize, 0, f.height, image, &alpha);
    if (!f.Compressed()) {
        // The same bits through the API, which trusts its caller's sizes
        // exactly as far as the header says.
        StretchDIBits(FuzzDc(), 0, 0, 32, 32, 0, 0, f.width, f.height, bits, reinterpret_cast<const BITMAPINFO*>(data),
            DIB_RGB_COLORS, SRCCOPY);
    }
}

void StoredDib(std::vector<BYTE> stored)
{
    CDib dib;
    try {
        CMemFile file(stored.data(), UINT(stored.size()));
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        dib.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        Check(!dib.IsValid());
        return;
    }
    if (!dib.IsValid())
        return;

    CDC* pDC = CDC::FromHandle(FuzzDc());
    const COLORREF background = RGB(1, 2, 3);
    dib.Draw(pDC, -3, -2, TRUE);
    dib.StretchDraw(pDC, 0, 0, 32, 32, FALSE, nullptr);
    dib.StretchDraw(pDC, 2, 1, 17, 9, TRUE, &background);
    dib.GetPalette();

    // The transparent draw gives every colour back: what is stored is what
    // was read.
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        dib.Serialize(ar);
        ar.Close();
    }
    const DWORD dwSize = dib.GetImageSize();
    Check(out.GetLength() == 4 + dwSize);
    std::vector<BYTE> written(out.GetLength());
    out.SeekToBegin();
    Check(out.Read(written.data(), UINT(written.size())) == written.size());
    Check(std::memcmp(written.data() + 4, dib.GetFileImage(), dwSize) == 0);
    Check(std::memcmp(written.data() + 4, stored.data() + 4, dwSize) == 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static FuzzProgramFolder folder("dib");
    threadwick::RegisterResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PackedDib(data, size);

    StoredDib(std::vector<BYTE>(data, data + size));

    std::vector<BYTE> counted(4 + size);
    const DWORD dwCount = DWORD(size);
    std::memcpy(counted.data(), &dwCount, 4);
    if (size != 0)
        std::memcpy(counted.data() + 4, data, size);
    StoredDib(std::move(counted));
    return 0;
}

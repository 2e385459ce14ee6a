// The picture an embedded object's program left in the object's storage, as
// the client item reads and draws it. The storage is someone else's data:
// every length in it is checked against what is there before it is used.

#include "platform/base/CodePage.h"
#include "platform/base/GdiRecords.h"
#include "platform/framework/OleDoc.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/Metafile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/User.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

struct COleClientItem::CachedPicture {
    CLIPFORMAT cfFormat = 0;
    DWORD dwAspect = 0;
    LONG cx = 0; // HIMETRIC
    LONG cy = 0;
    std::vector<BYTE> data;
};

namespace {

// Presentation streams are small pictures; anything larger is not one.
constexpr ULONGLONG kMaxStreamBytes = 64u * 1024 * 1024;
// "\2OlePres000" .. "\2OlePres999": the cache's streams.
constexpr int kMaxPresentationStreams = 1000;
constexpr DWORD kMaxFormatNameBytes = 4096;
constexpr DWORD kMaxUserTypeBytes = 4096;

bool ReadWholeStream(IStorage* pStorage, const std::u16string& name, std::vector<BYTE>& out)
{
    IStream* pStream = NULL;
    if (FAILED(pStorage->OpenStream(name.c_str(), NULL, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &pStream)))
        return false;
    STATSTG stat{};
    bool ok = SUCCEEDED(pStream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart <= kMaxStreamBytes;
    if (ok) {
        out.resize(size_t(stat.cbSize.QuadPart));
        ULONG read = 0;
        ok = out.empty() || (SUCCEEDED(pStream->Read(out.data(), ULONG(out.size()), &read)) && read == out.size());
    }
    pStream->Release();
    return ok;
}

class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    bool U32(DWORD& value)
    {
        if (Left() < 4)
            return false;
        const BYTE* p = m_bytes.data() + m_pos;
        value = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
        m_pos += 4;
        return true;
    }
    bool Skip(size_t n)
    {
        if (Left() < n)
            return false;
        m_pos += n;
        return true;
    }
    size_t Left() const { return m_bytes.size() - m_pos; }
    const BYTE* Here() const { return m_bytes.data() + m_pos; }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
};

// One presentation stream: the format (a standard clipboard format, or a
// registered name we cannot draw), the target device, aspect, index, advise
// flags, a reserved value, the extent in HIMETRIC and the data.
bool ParsePresentation(const std::vector<BYTE>& bytes, COleClientItem::CachedPicture& out)
{
    Reader r(bytes);
    DWORD marker = 0;
    if (!r.U32(marker) || marker == 0)
        return false;
    DWORD cf = 0;
    if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE) {
        if (!r.U32(cf))
            return false;
    } else {
        // A registered format named by a string: not a picture we know.
        if (marker > kMaxFormatNameBytes || !r.Skip(marker))
            return false;
    }
    DWORD targetDeviceSize = 0;
    if (!r.U32(targetDeviceSize))
        return false;
    // The size counts its own four bytes; a writer that put 0 means none.
    if (targetDeviceSize >= 4 && !r.Skip(targetDeviceSize - 4))
        return false;
    if (targetDeviceSize != 0 && targetDeviceSize < 4)
        return false;
    DWORD aspect = 0, lindex = 0, advf = 0, reserved = 0, cx = 0, cy = 0, size = 0;
    if (!r.U32(aspect) || !r.U32(lindex) || !r.U32(advf) || !r.U32(reserved) || !r.U32(cx) || !r.U32(cy)
        || !r.U32(size))
        return false;
    if (size > r.Left())
        return false;
    out.cfFormat = CLIPFORMAT(cf <= 0xFFFF ? cf : 0);
    out.dwAspect = aspect;
    out.cx = LONG(cx);
    out.cy = LONG(cy);
    out.data.assign(r.Here(), r.Here() + size);
    return true;
}

bool IsDrawableFormat(CLIPFORMAT cf)
{
    return cf == CF_METAFILEPICT || cf == CF_ENHMETAFILE || cf == CF_DIB;
}

// Where the bits of a packed DIB start, after checking that the header, the
// colour table and the rows are all there; 0 when the DIB cannot be drawn.
size_t DibBitsOffset(const std::vector<BYTE>& dib)
{
    if (dib.size() < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124 || h.biPlanes != 1)
        return 0;
    if (h.biWidth <= 0 || h.biWidth > 32767 || h.biHeight == 0 || h.biHeight < -32767 || h.biHeight > 32767)
        return 0;
    const WORD bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return 0;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return 0;
    size_t colours = h.biClrUsed;
    if (bpp <= 8) {
        if (colours == 0 || colours > (size_t(1) << bpp))
            colours = size_t(1) << bpp;
    } else if (colours > 256) {
        return 0;
    }
    size_t offset = h.biSize + colours * sizeof(RGBQUAD);
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER))
        offset += 3 * sizeof(DWORD);
    const size_t stride = ((size_t(h.biWidth) * bpp + 31) / 32) * 4;
    const size_t rows = size_t(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    if (offset > dib.size() || stride * rows > dib.size() - offset)
        return 0;
    return offset;
}

bool DrawPicture(HDC hdc, const COleClientItem::CachedPicture& picture, const RECT& bounds)
{
    const std::vector<BYTE>& data = picture.data;
    switch (picture.cfFormat) {
    case CF_METAFILEPICT: {
        // The metafile itself, sometimes still behind a placeable header.
        size_t start = 0;
        platform::PlaceableMetaHeader placeable;
        if (platform::ReadPlaceableMetaHeader(data.data(), data.size(), &placeable))
            start = platform::kPlaceableMetaHeaderSize;
        if (data.size() <= start || data.size() - start > 0x7FFFFFFF)
            return false;
        HMETAFILE hmf = SetMetaFileBitsEx(UINT(data.size() - start), data.data() + start);
        if (hmf == NULL)
            return false;
        const METAFILEPICT mfp{MM_ANISOTROPIC, picture.cx, picture.cy, hmf};
        const BOOL ok = platform::PlayMetaFilePict(hdc, mfp, bounds);
        DeleteMetaFile(hmf);
        return ok != FALSE;
    }
    case CF_ENHMETAFILE: {
        if (data.empty() || data.size() > 0x7FFFFFFF)
            return false;
        HENHMETAFILE hemf = SetEnhMetaFileBits(UINT(data.size()), data.data());
        if (hemf == NULL)
            return false;
        const BOOL ok = PlayEnhMetaFile(hdc, hemf, &bounds);
        DeleteEnhMetaFile(hemf);
        return ok != FALSE;
    }
    case CF_DIB: {
        const size_t offset = DibBitsOffset(data);
        if (offset == 0)
            return false;
        // The header is copied to aligned memory with its colour table.
        std::vector<DWORD> info((offset + 3) / 4);
        std::memcpy(info.data(), data.data(), offset);
        const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
        const LONG width = bmi->bmiHeader.biWidth;
        const LONG height = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
        const int previous = SetStretchBltMode(hdc, COLORONCOLOR);
        const int lines = StretchDIBits(hdc, bounds.left, bounds.top, bounds.right - bounds.left,
            bounds.bottom - bounds.top, 0, 0, width, height, data.data() + offset, bmi, DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(hdc, previous);
        return lines > 0;
    }
    default:
        return false;
    }
}

void DrawPlaceholder(HDC hdc, const RECT& r, const CString& name)
{
    const int saved = SaveDC(hdc);
    SelectObject(hdc, GetStockObject(BLACK_PEN));
    SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    MoveToEx(hdc, r.left, r.top, NULL);
    LineTo(hdc, r.right, r.bottom);
    MoveToEx(hdc, r.right, r.top, NULL);
    LineTo(hdc, r.left, r.bottom);
    if (!name.IsEmpty()) {
        RECT text = r;
        SetBkMode(hdc, OPAQUE);
        SetBkColor(hdc, RGB(255, 255, 255));
        SetTextColor(hdc, RGB(0, 0, 0));
        DrawText(hdc, name, name.GetLength(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    RestoreDC(hdc, saved);
}

} // namespace

const COleClientItem::CachedPicture* COleClientItem::CachedPictureOf(DVASPECT nAspect) const
{
    if (m_lpStorage == NULL)
        return NULL;
    if (m_nPictureAspect == nAspect)
        return m_pPicture.get();
    m_nPictureAspect = nAspect;
    m_pPicture.reset();
    std::vector<BYTE> bytes;
    for (int i = 0; i < kMaxPresentationStreams; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "\2OlePres%03d", i);
        if (!ReadWholeStream(m_lpStorage, platform::Utf16From1252(name), bytes))
            break;
        auto picture = std::make_shared<CachedPicture>();
        if (ParsePresentation(bytes, *picture) && picture->dwAspect == nAspect
            && IsDrawableFormat(picture->cfFormat)) {
            m_pPicture = std::move(picture);
            return m_pPicture.get();
        }
    }
    // A static object keeps its picture, in the same form, in "CONTENTS".
    auto picture = std::make_shared<CachedPicture>();
    if (ReadWholeStream(m_lpStorage, u"CONTENTS", bytes) && ParsePresentation(bytes, *picture)
        && IsDrawableFormat(picture->cfFormat) && (picture->dwAspect == nAspect || picture->dwAspect == 0))
        m_pPicture = std::move(picture);
    return m_pPicture.get();
}

BOOL COleClientItem::GetExtent(LPSIZE lpSize, DVASPECT nDrawAspect)
{
    return GetCachedExtent(lpSize, nDrawAspect);
}

BOOL COleClientItem::GetCachedExtent(LPSIZE lpSize, DVASPECT nDrawAspect)
{
    if (lpSize == NULL)
        return FALSE;
    const CachedPicture* picture = CachedPictureOf(nDrawAspect == (DVASPECT)-1 ? m_nDrawAspect : nDrawAspect);
    if (picture == NULL || picture->cx <= 0 || picture->cy <= 0)
        return FALSE;
    lpSize->cx = picture->cx;
    lpSize->cy = picture->cy;
    return TRUE;
}

BOOL COleClientItem::Draw(CDC* pDC, LPCRECT lpBounds, DVASPECT nDrawAspect)
{
    if (pDC == NULL || lpBounds == NULL || pDC->GetSafeHdc() == NULL)
        return FALSE;
    const CachedPicture* picture = CachedPictureOf(nDrawAspect == (DVASPECT)-1 ? m_nDrawAspect : nDrawAspect);
    if (picture != NULL && DrawPicture(pDC->GetSafeHdc(), *picture, *lpBounds))
        return TRUE;
    CString name;
    GetUserType(name);
    DrawPlaceholder(pDC->GetSafeHdc(), *lpBounds, name);
    return FALSE;
}

void COleClientItem::GetUserType(CString& rString) const
{
    // "\1CompObj": a 28-byte header, then the user type as a length
    // (with the terminating zero) and the characters.
    rString.Empty();
    std::vector<BYTE> bytes;
    if (m_lpStorage == NULL || !ReadWholeStream(m_lpStorage, u"\u0001CompObj", bytes))
        return;
    Reader r(bytes);
    DWORD length = 0;
    if (!r.Skip(28) || !r.U32(length) || length == 0 || length > kMaxUserTypeBytes || length > r.Left())
        return;
    const char* text = reinterpret_cast<const char*>(r.Here());
    rString = CString(text, int(strnlen(text, length)));
}

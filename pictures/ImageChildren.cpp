// Composite pictures: an image and its mask as two child pictures. Icons
// come in this way, and "o4i" temporary files carry them between
// operations. (Drawing is in ImageDraw.cpp.)

#include "pictures/ImageChildren.h"

#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The longest child path an "o4i" file may name (a Windows path and its
// terminating zero fit 260 characters).
constexpr DWORD kMaxTempPathLength = 259;
// An "o4i" file may name another composite's "o4i" file; a chain deeper than
// this is a damaged (or self-naming) file, not a picture.
constexpr int kMaxTempNesting = 4;
int g_nTempNesting = 0;

class TempNesting {
public:
    TempNesting() { ++g_nTempNesting; }
    ~TempNesting() { --g_nTempNesting; }
    TempNesting(const TempNesting&) = delete;
    TempNesting& operator=(const TempNesting&) = delete;
};

// A child picture made from a device bitmap; null when it cannot be made.
CImage* MakeChild(HBITMAP hBitmap)
{
    if (hBitmap == NULL)
        return nullptr;
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    auto* pChild = new CImage;
    const BOOL bMade = pChild->CreateFromBitmap(&bitmap, NULL, FALSE, CImage::kDefaultLoadMode);
    bitmap.Detach();
    if (!bMade) {
        delete pChild;
        return nullptr;
    }
    return pChild;
}

// Reads a bitmap's pixels as top-down 32-bit BGRA rows.
BOOL ReadPixels32(HBITMAP hBitmap, int cx, int cy, std::vector<DWORD>& pixels)
{
    BITMAPINFO info{};
    info.bmiHeader = platform::TopDownDibHeader(cx, cy, 32);
    pixels.assign(static_cast<size_t>(cx) * static_cast<size_t>(cy), 0);
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return FALSE;
    return ::GetDIBits(dc.GetSafeHdc(), hBitmap, 0, static_cast<UINT>(cy), pixels.data(), &info, DIB_RGB_COLORS)
        == cy;
}

// A 1-bit mask (rows padded to 16 bits, as CreateBitmap takes them) white
// where the icon's alpha is below half: those pixels show what lies below.
// NULL for an icon without alpha of its own (its colour image's alpha bytes
// all zero, or its alpha only repeating its AND mask, whose mask bitmap says
// more: it also marks pixels that invert).
HBITMAP MaskFromAlpha(HBITMAP hColor, HBITMAP hAndMask)
{
    BITMAP bm{};
    if (hColor == NULL || ::GetObject(hColor, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return NULL;
    const int cx = bm.bmWidth;
    const int cy = bm.bmHeight;
    std::vector<DWORD> argb;
    if (!ReadPixels32(hColor, cx, cy, argb) || std::none_of(argb.begin(), argb.end(), [](DWORD p) { return (p >> 24) != 0; }))
        return NULL;
    std::vector<DWORD> andMask;
    const BOOL bHasAndMask = hAndMask != NULL && ::GetObject(hAndMask, sizeof(bm), &bm) != 0 && bm.bmWidth == cx
        && bm.bmHeight == cy && ReadPixels32(hAndMask, cx, cy, andMask);
    BOOL bOwnAlpha = FALSE;
    for (size_t i = 0; i < argb.size() && !bOwnAlpha; ++i) {
        const DWORD nAlpha = argb[i] >> 24;
        const BOOL bAndOpaque = bHasAndMask && (andMask[i] & 0x00FFFFFF) == 0;
        bOwnAlpha = (nAlpha != 0 && nAlpha != 255) || (nAlpha == 0 && bAndOpaque) || !bHasAndMask;
    }
    if (!bOwnAlpha)
        return NULL;
    const size_t nStride = ((static_cast<size_t>(cx) + 15) / 16) * 2;
    std::vector<BYTE> bits(nStride * static_cast<size_t>(cy), 0);
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            if ((argb[static_cast<size_t>(y) * cx + x] >> 24) < 128)
                bits[static_cast<size_t>(y) * nStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    return ::CreateBitmap(cx, cy, 1, 1, bits.data());
}

// The two halves of a monochrome icon's double-height mask bitmap: the
// upper half is the mask, the lower the image.
BOOL SplitMonochromeMask(HBITMAP hMask, HBITMAP& hImage, HBITMAP& hMaskHalf)
{
    hImage = NULL;
    hMaskHalf = NULL;
    BITMAP bm{};
    if (::GetObject(hMask, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0 || bm.bmHeight % 2 != 0)
        return FALSE;
    const int cy = bm.bmHeight / 2;
    const size_t nStride = ((static_cast<size_t>(bm.bmWidth) + 15) / 16) * 2;
    std::vector<BYTE> bits(nStride * static_cast<size_t>(bm.bmHeight), 0);
    // The mask is read at 1 bit whatever its format, rows as CreateBitmap
    // wants them.
    std::vector<DWORD> pixels;
    if (!ReadPixels32(hMask, bm.bmWidth, bm.bmHeight, pixels))
        return FALSE;
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            if ((pixels[static_cast<size_t>(y) * bm.bmWidth + x] & 0x00FFFFFF) != 0)
                bits[static_cast<size_t>(y) * nStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    hMaskHalf = ::CreateBitmap(bm.bmWidth, cy, 1, 1, bits.data());
    hImage = ::CreateBitmap(bm.bmWidth, cy, 1, 1, bits.data() + nStride * static_cast<size_t>(cy));
    if (hImage == NULL || hMaskHalf == NULL) {
        if (hImage != NULL)
            ::DeleteObject(hImage);
        if (hMaskHalf != NULL)
            ::DeleteObject(hMaskHalf);
        hImage = NULL;
        hMaskHalf = NULL;
        return FALSE;
    }
    return TRUE;
}

} // namespace

CImageChildren::CImageChildren()
{
    Init();
}

CImageChildren::~CImageChildren()
{
    Clear();
}

void CImageChildren::Init()
{
    m_pImage = nullptr;
    m_pMask = nullptr;
    m_nTranslucent = 0;
}

void CImageChildren::Clear()
{
    delete m_pImage;
    delete m_pMask;
    Init();
}

BOOL CImageChildren::ImportIcon(LPCTSTR lpszPath)
{
    Clear();
    if (lpszPath == nullptr)
        return FALSE;
    const HICON hCount = ::ExtractIcon(NULL, lpszPath, static_cast<UINT>(-1));
    if (reinterpret_cast<UINT_PTR>(hCount) < 1)
        return FALSE;
    const HICON hIcon = ::ExtractIcon(NULL, lpszPath, 0);
    if (reinterpret_cast<UINT_PTR>(hIcon) <= 1)
        return FALSE;
    ICONINFO info{};
    if (!::GetIconInfo(hIcon, &info)) {
        ::DestroyIcon(hIcon);
        return FALSE;
    }
    HBITMAP hImage = NULL;
    HBITMAP hMask = NULL;
    BOOL bOwnImage = FALSE;
    BOOL bOwnMask = FALSE;
    if (info.hbmColor != NULL) {
        hImage = info.hbmColor;
        // An icon with alpha says through it what shows through; its AND
        // mask may be empty.
        hMask = MaskFromAlpha(info.hbmColor, info.hbmMask);
        bOwnMask = hMask != NULL;
        if (hMask == NULL)
            hMask = info.hbmMask;
    } else if (info.hbmMask != NULL && SplitMonochromeMask(info.hbmMask, hImage, hMask)) {
        bOwnImage = TRUE;
        bOwnMask = TRUE;
    }
    m_pImage = MakeChild(hImage);
    if (m_pImage != nullptr)
        m_pMask = MakeChild(hMask);
    if (bOwnImage && hImage != NULL)
        ::DeleteObject(hImage);
    if (bOwnMask && hMask != NULL)
        ::DeleteObject(hMask);
    if (info.hbmColor != NULL)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask != NULL)
        ::DeleteObject(info.hbmMask);
    ::DestroyIcon(hIcon);
    return m_pImage != nullptr;
}

void CImageChildren::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        for (CImage* pChild : {m_pImage, m_pMask}) {
            ar << static_cast<DWORD>(pChild != nullptr ? 1 : 0);
            if (pChild != nullptr)
                pChild->Serialize(ar);
        }
        return;
    }
    Clear();
    for (CImage** ppChild : {&m_pImage, &m_pMask}) {
        DWORD nPresent = 0;
        ar >> nPresent;
        if (nPresent == 1) {
            *ppChild = new CImage;
            (*ppChild)->Serialize(ar);
        }
    }
}

void CImageChildren::SaveTemp(LPCTSTR lpszPath)
{
    std::vector<CString> paths;
    for (CImage* pChild : {m_pImage, m_pMask}) {
        CString strChild;
        if (pChild != nullptr)
            pChild->SaveToTempFile(strChild, FALSE);
        paths.push_back(strChild);
    }
    CFile file(lpszPath, CFile::modeCreate | CFile::modeWrite);
    for (const CString& strChild : paths) {
        const DWORD nLength = static_cast<DWORD>(strChild.GetLength());
        BYTE length[4] = {static_cast<BYTE>(nLength & 0xFF), static_cast<BYTE>((nLength >> 8) & 0xFF),
            static_cast<BYTE>((nLength >> 16) & 0xFF), static_cast<BYTE>((nLength >> 24) & 0xFF)};
        file.Write(length, sizeof(length));
        if (nLength != 0)
            file.Write(static_cast<LPCTSTR>(strChild), nLength);
    }
    file.Close();
}

BOOL CImageChildren::LoadTemp(LPCTSTR lpszPath)
{
    Clear();
    if (lpszPath == nullptr || g_nTempNesting >= kMaxTempNesting)
        return FALSE;
    TempNesting nesting;
    CFile file;
    CFileException error;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone, &error))
        return FALSE;
    std::vector<CString> paths;
    try {
        const ULONGLONG nFileLength = file.GetLength();
        for (int i = 0; i < 2; ++i) {
            BYTE length[4] = {};
            if (file.Read(length, sizeof(length)) != sizeof(length))
                break;
            const DWORD nLength = length[0] | (length[1] << 8) | (length[2] << 16)
                | (static_cast<DWORD>(length[3]) << 24);
            const ULONGLONG nPosition = file.GetPosition();
            const ULONGLONG nLeft = nFileLength > nPosition ? nFileLength - nPosition : 0;
            if (nLength >= 1 && nLength <= kMaxTempPathLength && nLength <= nLeft) {
                char buffer[kMaxTempPathLength + 1] = {};
                if (file.Read(buffer, nLength) != nLength)
                    break;
                paths.emplace_back(buffer);
            } else {
                // A length outside the range names no child; its bytes are
                // stepped over so that the next record is read where it is.
                paths.emplace_back();
                const ULONGLONG nSkip = std::min<ULONGLONG>(nLength, nLeft);
                file.Seek(static_cast<LONGLONG>(nSkip), CFile::current);
            }
        }
    } catch (CException* e) {
        e->Delete();
    }
    file.Close();
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].IsEmpty())
            continue;
        auto* pChild = new CImage(paths[i], CImage::kDefaultLoadMode);
        if (pChild->m_nHandle == kImageNoPicture) {
            delete pChild;
            continue;
        }
        (i == 0 ? m_pImage : m_pMask) = pChild;
    }
    return m_pImage != nullptr;
}

void CImageChildren::Copy(const CImageChildren& other)
{
    if (&other == this)
        return;
    Clear();
    if (other.m_pImage != nullptr) {
        m_pImage = new CImage;
        m_pImage->Copy(*other.m_pImage);
    }
    if (other.m_pMask != nullptr) {
        m_pMask = new CImage;
        m_pMask->Copy(*other.m_pMask);
    }
}

CSize CImageChildren::GetSize() const
{
    if (m_pImage == nullptr)
        return CSize(0, 0);
    SIZE size{0, 0};
    m_pImage->GetSize(size, FALSE);
    return CSize(size.cx, size.cy);
}

HBITMAP CImageChildren::CreateDDB(CDC* pDC) const
{
    return m_pImage != nullptr ? m_pImage->CreateDDB(pDC, FALSE) : NULL;
}

// Feeds untrusted bytes to wrapped text: its stored record under a design
// version the first byte picks (20..29), then a run string, then layout and
// drawing into a 200 x 200 memory DC, and the bytes left over pasted into
// an in-place editor as CF_TEXT. Any input must end in a clean return or a
// caught archive exception; the text never passes its limit; the run string
// the text writes reads back to itself.
//
// Input: byte 0 the version and drawing flags, two bytes the record's length
// and the record, two bytes the run string's length and the run string,
// one byte the rotation, then the pasted text (stretched near the text's
// limit when the low bits of byte 0 are 15).

#include "fuzz/FuzzProgramFolder.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "text/DesignArchive.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LONG g_nVersion = kDesignFileVersion;

BOOL FuzzDesign(const CArchive&, DesignArchiveInfo& info)
{
    info.nVersion = g_nVersion;
    info.nHeaderValue = 0;
    return TRUE;
}

void Fail(const char* problem)
{
    std::fprintf(stderr, "WrapTextFuzz: %s\n", problem);
    abort();
}

// Something to stand for the drawing object: text only compares owners.
struct FakeOwner {
    int n = 0;
};

// Takes the next n bytes (fewer when the input ends).
std::string Take(const uint8_t*& p, const uint8_t* pEnd, size_t n)
{
    n = std::min(n, static_cast<size_t>(pEnd - p));
    std::string out(reinterpret_cast<const char*>(p), n);
    p += n;
    return out;
}

size_t TakeLength(const uint8_t*& p, const uint8_t* pEnd)
{
    const std::string bytes = Take(p, pEnd, 2);
    size_t n = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        n |= static_cast<size_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    return n;
}

void LoadRecord(CWrapText& text, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load);
        text.Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
    } catch (CFileException* e) {
        e->Delete();
    }
}

// The written run string reads back to itself over the same text.
void CheckRunsReadBack(CWrapText& text)
{
    const CString written = text.GetFormatString();
    text.SetText(text.GetText());
    text.SetFormatString(written);
    if (text.GetFormatString() != written)
        Fail("the run string does not read back to itself");
}

void CheckLimit(const CWrapText& text)
{
    if (text.GetLength() > kWrapMaxLength)
        Fail("the text passed its limit");
}

void DrawInto200(CWrapText& text, int nAngle, BOOL bMirrorX, BOOL bMirrorY)
{
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        Fail("no memory DC");
    CBitmap bitmap;
    HDC hScreen = ::GetDC(NULL);
    bitmap.Attach(::CreateCompatibleBitmap(hScreen, 200, 200));
    ::ReleaseDC(NULL, hScreen);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    text.SetSize(200, 200);
    text.Layout(&dc);
    text.Draw(&dc, CRect(0, 0, 200, 200), nAngle, bMirrorX, bMirrorY);
    // The geometry the editor asks for, at the ends of the text.
    const int nLength = text.GetLength();
    for (int nPosition : {0, nLength / 2, nLength, nLength + 1}) {
        text.GetCaretPos(nPosition);
        text.LineOfChar(nPosition);
    }
    text.CharFromPoint(199, 199);
    text.CharFromPoint(-5, 100000);
    text.GetLineTop(text.GetLineCount());
    dc.SelectObject(pOld);
}

void PasteIntoEditor(CWrapText& text, FakeOwner& owner, const std::string& paste)
{
    auto* pFrame = new CFrameWnd; // deletes itself with its window
    if (!pFrame->Create(NULL, "Fuzz", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300)))
        Fail("no frame");
    {
        CTextEditHost host(&text, reinterpret_cast<CDrawObj*>(&owner));
        if (!host.Create(CRect(10, 10, 230, 230), pFrame))
            Fail("no editor");
        if (::OpenClipboard(NULL)) {
            ::EmptyClipboard();
            // CF_TEXT as another program might leave it: not always ended.
            HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(paste.size(), 1));
            if (hMem != NULL) {
                if (void* p = ::GlobalLock(hMem)) {
                    std::memcpy(p, paste.data(), paste.size());
                    ::GlobalUnlock(hMem);
                }
                ::SetClipboardData(CF_TEXT, hMem);
            }
            ::CloseClipboard();
        }
        host.Paste();
        host.SelectAll();
        host.Paste();
        host.Redraw();
        AfxPumpMessagesUntilIdle();
    }
    pFrame->DestroyWindow();
}

} // namespace

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzProgramFolder folder("wraptextfuzz");
    if (size < 1 || size > 0x40000)
        return 0;
    platform::headless::Reset();
    const uint8_t* p = data;
    const uint8_t* pEnd = data + size;
    const uint8_t mode = *p++;
    g_nVersion = 20 + (mode & 0x0F) % 10;
    SetDesignArchiveSource(&FuzzDesign);

    FakeOwner owner;
    {
        CWrapText text(reinterpret_cast<CDrawObj*>(&owner));
        LoadRecord(text, Take(p, pEnd, TakeLength(p, pEnd)));
        CheckLimit(text);
        const std::string runs = Take(p, pEnd, TakeLength(p, pEnd));
        text.SetFormatString(CString(std::string_view(runs)));
        if (mode & 0x10)
            text.SetHyphenate(TRUE);
        const std::string angle = Take(p, pEnd, 1);
        const int nAngle = angle.empty() ? 0 : static_cast<uint8_t>(angle[0]) * 360 / 256;
        DrawInto200(text, (mode & 0x20) ? nAngle : 0, (mode & 0x40) != 0, (mode & 0x80) != 0);
        CheckRunsReadBack(text);

        std::string paste(reinterpret_cast<const char*>(p), static_cast<size_t>(pEnd - p));
        // Low bits of 15 ask for a paste near the limit: it either goes in
        // whole or not at all.
        if ((mode & 0x0F) == 15 && !paste.empty()) {
            const size_t nTarget = kWrapMaxLength - 8 + paste.size() % 16;
            std::string big;
            while (big.size() < nTarget)
                big += paste;
            paste = big.substr(0, nTarget);
        }
        PasteIntoEditor(text, owner, paste);
        CheckLimit(text);
        CheckRunsReadBack(text);
        DrawInto200(text, 0, FALSE, FALSE);
    }
    SetDesignArchiveSource(nullptr);
    platform::headless::Reset();
    return 0;
}

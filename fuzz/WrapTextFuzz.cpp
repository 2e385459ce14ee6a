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
#include "fuzz/TextFuzzSupport.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using textfuzz::LoadRecord;
using textfuzz::Take;
using textfuzz::TakeLength;

[[noreturn]] void Fail(const char* problem)
{
    textfuzz::FailIn("WrapTextFuzz", problem);
}

// Something to stand for the drawing object: text only compares owners.
struct FakeOwner {
    int n = 0;
};

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
    textfuzz::MemoryDC200 memory("WrapTextFuzz");
    CDC& dc = memory.dc;
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
        textfuzz::PutTextOnClipboard(paste);
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
    textfuzz::g_nVersion = 20 + (mode & 0x0F) % 10;
    SetDesignArchiveSource(&textfuzz::FuzzDesign);

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

// Feeds untrusted bytes to block text: its stored record under a design
// version and header value the first bytes pick, then drawing into a
// 200 x 200 memory DC at a zoom from the input (on a screen or as for a
// printer), the merge-field scanner and unescaper on the rest, and the rest
// again pasted as CF_TEXT into the block while it is edited. Any input must
// end in a clean return or a caught archive exception, and the loaded
// block's values must lie in their ranges.
//
// Input: byte 0 the version (7..29) and header value, byte 1 the drawing
// flags (printing, columns, alignment), byte 2 the zoom, two bytes the
// record's length and the record, then the rest.

#include "fuzz/FuzzProgramFolder.h"
#include "fuzz/TextFuzzSupport.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "text/TextBlock.h"
#include "text/TextOwner.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int g_nZoom = 100;

int FuzzZoom(const CDrawObj*)
{
    return g_nZoom;
}

using textfuzz::LoadRecord;
using textfuzz::Take;
using textfuzz::TakeLength;

[[noreturn]] void Fail(const char* problem)
{
    textfuzz::FailIn("TextBlockFuzz", problem);
}

// What the block promises of its values, read whole or partly. Fitting may
// measure an empty text as zero, so a scale is positive only as read.
void CheckRanges(const CTextBlock& block, BOOL bAsRead = FALSE)
{
    if (block.m_nAngle < 0 || block.m_nAngle > 359)
        Fail("angle out of range");
    if (block.m_nColumns < 1 || block.m_nColumns > kTextBlockMaxColumns)
        Fail("columns out of range");
    if (!std::isfinite(block.m_dScaleX) || !std::isfinite(block.m_dScaleY))
        Fail("scale not finite");
    if (bAsRead && (block.m_dScaleX <= 0 || block.m_dScaleY <= 0))
        Fail("scale read not positive");
    if (std::strlen(block.m_logfont.lfFaceName) > static_cast<size_t>(kTextBlockMaxFaceLength))
        Fail("face name too long");
    if (block.m_nCaret < 0 || block.m_nCaret > block.GetLength() || block.m_nAnchor < 0 ||
        block.m_nAnchor > block.GetLength())
        Fail("caret outside the text");
}

void DrawInto200(CTextBlock& block, BOOL bPrinting)
{
    textfuzz::MemoryDC200 memory("TextBlockFuzz");
    CDC& dc = memory.dc;
    dc.m_bPrinting = bPrinting;
    block.SetRect(CRect(0, 0, 200, 200));
    block.Draw(&dc);
    // Again from whatever cache the first drawing left.
    block.Draw(&dc);
    block.CalcSize(&dc);
    dc.m_bPrinting = FALSE;
}

void CheckMergeFields(const std::string& text)
{
    const CString str{std::string_view(text)};
    int nStart = 0;
    int nEnd = 0;
    if (CTextBlock::FindMergeField(str, nStart, nEnd)) {
        if (nStart < 0 || nEnd <= nStart || nEnd >= str.GetLength() || nEnd - nStart > kTextBlockMaxFieldSpan ||
            str[nStart] != '@' || str[nEnd] != '@')
            Fail("a merge field outside the text or its span");
    } else if (nStart != -1 || nEnd != -1) {
        Fail("no merge field but positions");
    }
    if (CTextBlock::UnescapeMergeText(str).GetLength() > str.GetLength())
        Fail("unescaping made the text longer");
}

void PasteIntoBlock(CTextBlock& block, const std::string& paste)
{
    textfuzz::PutTextOnClipboard(paste);
    // Editing as it stands once begun; the block has no view to show a caret.
    block.m_bEditing = TRUE;
    block.SetSel(0, block.GetLength() / 2);
    block.Paste();
    block.SetSel(-1, -1);
    block.Paste();
    CheckRanges(block);
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
    static FuzzProgramFolder folder("textblockfuzz");
    if (size < 3 || size > 0x20000)
        return 0;
    platform::headless::Reset();
    const uint8_t* p = data;
    const uint8_t* pEnd = data + size;
    const uint8_t version = *p++;
    const uint8_t flags = *p++;
    const uint8_t zoom = *p++;
    textfuzz::g_nVersion = 7 + (version & 0x7F) % 23;
    textfuzz::g_nHeaderValue = (version & 0x80) ? 1 : 0;
    g_nZoom = 10 + zoom * 2; // 10..520
    SetDesignArchiveSource(&textfuzz::FuzzDesign);
    const TextOwnerServices saved = GetTextOwnerServices();
    TextOwnerServices services = saved;
    services.pfnZoom = &FuzzZoom;
    SetTextOwnerServices(services);

    {
        CTextBlock block(nullptr);
        LoadRecord(block, Take(p, pEnd, TakeLength(p, pEnd)));
        CheckRanges(block, TRUE);
        const CString& laid = block.GetLaidText();
        if (!laid.IsEmpty() && laid[laid.GetLength() - 1] == '\0')
            Fail("a trailing zero stayed in the text");
        if (flags & 0x01)
            block.SetColumns(1 + (flags >> 1) % kTextBlockMaxColumns);
        if (flags & 0x10)
            block.m_wFlags ^= TEXTBLOCK_AUTO_SIZE;
        DrawInto200(block, (flags & 0x20) != 0);

        const std::string rest(reinterpret_cast<const char*>(p), static_cast<size_t>(pEnd - p));
        CheckMergeFields(rest);
        block.ReplaceMergeFields(CString(std::string_view(rest)));
        if (!block.m_nAngle && !block.m_nShape)
            PasteIntoBlock(block, rest);
        DrawInto200(block, FALSE);
        block.m_bEditing = FALSE;
    }
    SetTextOwnerServices(saved);
    SetDesignArchiveSource(nullptr);
    platform::headless::Reset();
    return 0;
}

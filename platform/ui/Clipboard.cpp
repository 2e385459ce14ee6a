// The clipboard: an in-process store of formats and the handles programs gave
// up, registered format names, and text and pictures exchanged with the
// desktop.

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/ClipboardPicture.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr size_t kMaxRegisteredFormats = 0x4000;
constexpr size_t kMaxFormatName = 255;
// Display formats the class library never uses but whose handles are GDI
// objects all the same.
constexpr UINT kDspBitmap = 0x0082;
constexpr UINT kDspMetafilePict = 0x0083;
constexpr UINT kDspEnhMetafile = 0x008E;

struct ClipboardEntry {
    UINT format = 0;
    HANDLE data = NULL;
    // CF_BITMAP of a desktop picture: made from CF_DIB when first asked for,
    // as most pastes want only one of the two.
    bool synthesized = false;
};

struct ClipboardState {
    std::vector<ClipboardEntry> entries; // in the order they were set
    bool open = false;
    HWND opener = NULL;
    HWND owner = NULL; // the window that last emptied the clipboard
    bool changed = false; // since it was opened
    bool desktopKnown = false;
    std::string desktopSeen; // the desktop text as of our last export or import (UTF-8)
    uint64_t desktopPictureSeen = 0; // the driver's serial of the last picture taken
    bool desktopPictureRefused = false; // that picture could not be read
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

struct RegisteredFormat {
    std::string name; // as first registered
    std::string key; // upper case, for comparing
};

// Function-local so that static initialisers elsewhere may register formats
// before anything else of the window system exists.
std::vector<RegisteredFormat>& RegisteredFormats()
{
    static std::vector<RegisteredFormat> formats;
    return formats;
}

bool IsOpen()
{
    ClipboardState& s = State();
    // A window that had the clipboard open and was destroyed leaves it
    // closed; otherwise nobody could ever open it again.
    if (s.open && s.opener && !PeekWindowRecord(s.opener)) {
        s.open = false;
        s.opener = NULL;
    }
    return s.open;
}

void FreeData(UINT format, HANDLE data)
{
    if (!data)
        return;
    if (format == CF_BITMAP || format == CF_PALETTE || format == kDspBitmap
        || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST)) {
        DeleteObject(data);
    } else if (format == CF_ENHMETAFILE || format == kDspEnhMetafile) {
        DeleteEnhMetaFile(reinterpret_cast<HENHMETAFILE>(data));
    } else if (format == CF_METAFILEPICT || format == kDspMetafilePict) {
        if (GlobalSize(data) >= sizeof(METAFILEPICT)) {
            if (auto* pict = static_cast<METAFILEPICT*>(GlobalLock(data))) {
                if (pict->hMF)
                    DeleteMetaFile(pict->hMF);
                GlobalUnlock(data);
            }
        }
        GlobalFree(data);
    } else if (format == CF_OWNERDISPLAY || (format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST)) {
        // The owner frees these when it hears WM_DESTROYCLIPBOARD.
    } else {
        GlobalFree(data);
    }
}

ClipboardEntry* FindEntry(UINT format)
{
    auto& entries = State().entries;
    auto it = std::find_if(entries.begin(), entries.end(), [format](const ClipboardEntry& e) { return e.format == format; });
    return it == entries.end() ? nullptr : &*it;
}

// Tells the owner its data is going and frees it.
void DiscardContents()
{
    ClipboardState& s = State();
    HWND previous = s.owner;
    s.owner = NULL;
    if (previous && PeekWindowRecord(previous))
        SendMessage(previous, WM_DESTROYCLIPBOARD, 0, 0);
    std::vector<ClipboardEntry> old;
    old.swap(State().entries);
    for (const ClipboardEntry& e : old)
        FreeData(e.format, e.data);
}

HGLOBAL MakeTextBlock(const std::string& windows1252)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, windows1252.size() + 1);
    if (!block)
        return NULL;
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(p, windows1252.data(), windows1252.size());
        p[windows1252.size()] = '\0';
        GlobalUnlock(block);
    }
    return block;
}

// The text of a CF_TEXT block, up to its NUL and never past its size.
std::string TextOfBlock(HGLOBAL block)
{
    SIZE_T size = GlobalSize(block);
    const auto* p = static_cast<const char*>(GlobalLock(block));
    if (!p)
        return std::string();
    std::string text(p, strnlen(p, size));
    GlobalUnlock(block);
    return text;
}

// Another program that copied something took the clipboard from us: what it
// holds replaces our store. Text comes across as CF_TEXT, a picture as CF_DIB
// and CF_BITMAP; a picture that cannot be read brings nothing.
void TakeDesktopContents()
{
    ClipboardState& s = State();
    Driver& driver = GetDriver();
    std::string text;
    const bool haveText = driver.GetClipboardText(text);
    const bool textChanged = haveText && !(s.desktopKnown && text == s.desktopSeen);
    const uint64_t pictureSerial = driver.ClipboardPictureSerial();
    const bool pictureChanged = pictureSerial != 0 && pictureSerial != s.desktopPictureSeen;
    if (!textChanged && !pictureChanged)
        return;
    if (haveText) {
        s.desktopKnown = true;
        s.desktopSeen = text;
    }
    s.desktopPictureSeen = pictureSerial;
    s.desktopPictureRefused = false;
    HGLOBAL dib = NULL;
    if (pictureSerial != 0) {
        std::string mime;
        std::vector<unsigned char> bytes;
        if (driver.GetClipboardPicture(mime, bytes))
            dib = ClipboardDibFromPicture(bytes.data(), bytes.size());
        s.desktopPictureRefused = dib == NULL;
    }
    DiscardContents();
    if (haveText && !text.empty() && text.size() <= kMaxDesktopClipboardText) {
        if (HGLOBAL block = MakeTextBlock(ClipboardTextFromDesktopText(text)))
            State().entries.push_back(ClipboardEntry{CF_TEXT, block});
    }
    if (dib) {
        State().entries.push_back(ClipboardEntry{CF_DIB, dib});
        State().entries.push_back(ClipboardEntry{CF_BITMAP, NULL, true});
    }
}

// What the store holds as a picture, as PNG; run when another program asks.
bool EncodeStorePicture(std::vector<unsigned char>& png)
{
    if (ClipboardEntry* e = FindEntry(CF_BITMAP); e && e->data)
        return ClipboardPngFromBitmap(static_cast<HBITMAP>(e->data), png);
    if (ClipboardEntry* e = FindEntry(CF_DIB); e && e->data)
        return PngFromPackedDib(e->data, png);
    png.clear();
    return false;
}

// Our clipboard changed: the desktop gets its text, or nothing, so that
// other programs do not paste something older, and its picture.
void GiveDesktopContents()
{
    ClipboardState& s = State();
    std::string utf8;
    if (ClipboardEntry* e = FindEntry(CF_TEXT); e && e->data)
        utf8 = DesktopTextFromClipboardText(TextOfBlock(e->data));
    ClipboardPngSource picture;
    if (FindEntry(CF_BITMAP) || FindEntry(CF_DIB))
        picture = EncodeStorePicture;
    if (GetDriver().SetClipboardContents(utf8, std::move(picture))) {
        s.desktopKnown = true;
        s.desktopSeen = utf8;
        s.desktopPictureSeen = 0;
        s.desktopPictureRefused = false;
    }
}

bool NotOpen()
{
    if (IsOpen())
        return false;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return true;
}

} // namespace

std::string DesktopTextFromClipboardText(std::string_view windows1252)
{
    windows1252 = windows1252.substr(0, std::min(windows1252.size(), windows1252.find('\0')));
    std::string lf;
    lf.reserve(windows1252.size());
    for (size_t i = 0; i < windows1252.size(); ++i) {
        if (windows1252[i] == '\r' && i + 1 < windows1252.size() && windows1252[i + 1] == '\n')
            continue;
        lf.push_back(windows1252[i]);
    }
    return Utf8From1252(lf);
}

std::string ClipboardTextFromDesktopText(std::string_view utf8)
{
    utf8 = utf8.substr(0, std::min(utf8.size(), utf8.find('\0')));
    std::string text = Utf8To1252(utf8);
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            crlf.push_back('\r');
        crlf.push_back(text[i]);
    }
    return crlf;
}

void ResetClipboard()
{
    ClipboardState& s = State();
    for (const ClipboardEntry& e : s.entries)
        FreeData(e.format, e.data);
    s = ClipboardState();
}

} // namespace platform

using namespace platform;

BOOL OpenClipboard(HWND hWndNewOwner)
{
    if (hWndNewOwner && !FindWindowRecord(hWndNewOwner))
        return FALSE;
    ClipboardState& s = State();
    if (IsOpen() && s.opener != hWndNewOwner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!s.open) {
        s.open = true;
        s.opener = hWndNewOwner;
        s.changed = false;
        TakeDesktopContents();
    }
    return TRUE;
}

BOOL CloseClipboard()
{
    if (NotOpen())
        return FALSE;
    ClipboardState& s = State();
    if (s.changed)
        GiveDesktopContents();
    s.open = false;
    s.opener = NULL;
    s.changed = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    if (NotOpen())
        return FALSE;
    DiscardContents();
    ClipboardState& s = State();
    s.owner = s.opener;
    s.changed = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem)
{
    if (NotOpen())
        return NULL;
    if (uFormat == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    State().changed = true;
    if (ClipboardEntry* e = FindEntry(uFormat)) {
        if (e->data != hMem)
            FreeData(uFormat, e->data);
        e->data = hMem;
        e->synthesized = false;
    } else {
        State().entries.push_back(ClipboardEntry{uFormat, hMem});
    }
    return hMem;
}

HANDLE GetClipboardData(UINT uFormat)
{
    if (NotOpen())
        return NULL;
    ClipboardEntry* e = FindEntry(uFormat);
    if (e && e->synthesized && !e->data) {
        if (ClipboardEntry* dib = FindEntry(CF_DIB); dib && dib->data)
            e->data = BitmapFromPackedDib(dib->data);
    }
    return e ? e->data : NULL;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    if (!IsOpen())
        TakeDesktopContents();
    return FindEntry(format) ? TRUE : FALSE;
}

UINT EnumClipboardFormats(UINT format)
{
    if (NotOpen())
        return 0;
    const auto& entries = State().entries;
    size_t next = 0;
    if (format != 0) {
        auto it = std::find_if(entries.begin(), entries.end(), [format](const ClipboardEntry& e) { return e.format == format; });
        next = it == entries.end() ? entries.size() : size_t(it - entries.begin()) + 1;
    }
    SetLastError(NO_ERROR);
    return next < entries.size() ? entries[next].format : 0;
}

int CountClipboardFormats()
{
    if (!IsOpen())
        TakeDesktopContents();
    return int(State().entries.size());
}

bool ClipboardDesktopPictureRefused()
{
    if (!IsOpen())
        TakeDesktopContents();
    return State().desktopPictureRefused;
}

HWND GetClipboardOwner()
{
    HWND owner = State().owner;
    return owner && PeekWindowRecord(owner) ? owner : NULL;
}

UINT RegisterClipboardFormat(LPCSTR lpszFormat)
{
    if (!lpszFormat || !*lpszFormat) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = strnlen(lpszFormat, kMaxFormatName + 1);
    if (length > kMaxFormatName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name(lpszFormat, length);
    std::string key = name;
    CharUpperBuff(key.data(), DWORD(key.size()));
    auto& formats = RegisteredFormats();
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i].key == key)
            return UINT(kFirstRegisteredFormat + i);
    if (formats.size() >= kMaxRegisteredFormats) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    formats.push_back(RegisteredFormat{std::move(name), std::move(key)});
    return UINT(kFirstRegisteredFormat + formats.size() - 1);
}

int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount)
{
    const auto& formats = RegisteredFormats();
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= formats.size() || !lpszFormatName
        || cchMaxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string& name = formats[format - kFirstRegisteredFormat].name;
    size_t n = std::min(name.size(), size_t(cchMaxCount - 1));
    std::memcpy(lpszFormatName, name.data(), n);
    lpszFormatName[n] = '\0';
    return int(n);
}

#pragma once
// CCgmFilter: the graphics import filter that turns CGM files into Windows
// metafiles. One object for the run (TheCgmFilter); its library is loaded on
// first use and freed at exit. When the library or one of its entries is
// missing, the filter stays unusable for the rest of the run and every
// import returns no metafile.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "platform/imaging/CgmImport.h"

class CCgmFilter {
public:
    CCgmFilter() = default;
    ~CCgmFilter();
    CCgmFilter(const CCgmFilter&) = delete;
    CCgmFilter& operator=(const CCgmFilter&) = delete;

    // The filter's longest path, not counting its terminating zero.
    static constexpr int kMaxPathChars = 123;
    // Bytes of the file record handed to the filter, and where the
    // path starts in it.
    static constexpr int kFileRecordBytes = kCgmFileRecordBytes;
    static constexpr int kFileRecordPathOffset = kCgmFileRecordPathOffset;

    // The metafile of the file, with size its bounding box (500 x 500 when
    // either side is 0); NULL when the path is too long (after the
    // message), or the filter is unusable or refuses the file.
    HMETAFILE Import(LPCTSTR lpszPath, CSize& size);

    // Whether a path fits the filter; a longer one is refused with the
    // message before the filter is asked.
    static BOOL IsPathShortEnough(LPCTSTR lpszPath);
    // Whether loading has been tried and left an import entry.
    BOOL IsUsable() const { return m_pfnImport != nullptr; }
    BOOL WasLoadTried() const { return m_bLoadTried; }

    // The record the filter fills in for one imported picture: the
    // filter's own type, so that its entry is called with the type it has.
    using PictureInfo = CGMPICTINFO;
    using GetFilterInfoProc = int (*)(short, LPSTR, HGLOBAL*, DWORD);
    using ImportProc = int (*)(HDC, BYTE*, PictureInfo*, HGLOBAL);

private:
    // Loads the library and its entries once.
    void Load();

    HMODULE m_hModule = NULL;
    HGLOBAL m_hPrefs = NULL; // the filter's preference memory
    ImportProc m_pfnImport = nullptr;
    BOOL m_bLoadTried = FALSE;
};

CCgmFilter& TheCgmFilter();

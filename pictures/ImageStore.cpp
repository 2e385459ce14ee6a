// The stored form of a picture in a design: its handle value, path, flags
// and settings, the picture data when it is embedded (the metafile's own
// form, or the file image of a raster), the source id and, for an edited
// raster, the effect parameters. A picture stored without its data is
// reloaded from its path, and looked for when its folder moved.

#include "pictures/Image.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/TextTable.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/framework/Document.h"
#include "platform/imaging/Imaging.h"
#include "resources/pictures.h"
#include "surface/LocatePictureDlg.h"
#include "text/DesignArchive.h"

#include <algorithm>
#include <iterator>

namespace {

// The folder (with its backslash) of the design being read; empty while no
// design is read.
CString g_strReadingDesignFolder;

// While a design is stored the embedded raster is the unedited base.
class StoringDesignScope {
public:
    explicit StoringDesignScope(int& nCounter)
        : m_nCounter(nCounter)
    {
        ++m_nCounter;
    }
    ~StoringDesignScope() { --m_nCounter; }
    StoringDesignScope(const StoringDesignScope&) = delete;
    StoringDesignScope& operator=(const StoringDesignScope&) = delete;

private:
    int& m_nCounter;
};

class ReadingDesignScope {
public:
    explicit ReadingDesignScope(const CString& strDesignPath)
        : m_strPrevious(g_strReadingDesignFolder)
    {
        const int nSlash = std::max(strDesignPath.ReverseFind('\\'), strDesignPath.ReverseFind('/'));
        g_strReadingDesignFolder = nSlash >= 0 ? strDesignPath.Left(nSlash + 1) : CString();
    }
    ~ReadingDesignScope() { g_strReadingDesignFolder = m_strPrevious; }
    ReadingDesignScope(const ReadingDesignScope&) = delete;
    ReadingDesignScope& operator=(const ReadingDesignScope&) = delete;

private:
    CString m_strPrevious;
};

BOOL IsRasterValue(LONG nHandle)
{
    return nHandle != kImageNoPicture && nHandle != kImageMetafile && nHandle != kImageComposite;
}

// The root a kit or design folder gives the moved-picture search: the path
// before its "Document\" folder, else before its "Predsgnd" folder (either
// in any case).
CString SearchRoot(const CString& strFolder)
{
    CString strLower = strFolder;
    strLower.MakeLower();
    int nCut = strLower.Find("document\\");
    if (nCut < 0)
        nCut = strLower.Find("predsgnd");
    return nCut >= 0 ? strFolder.Left(nCut) : strFolder;
}

} // namespace

BOOL CImage::FindMovedPicture(CString& strPath, LPCTSTR lpszFolderWord)
{
    CString strWord = lpszFolderWord != nullptr && *lpszFolderWord != '\0' ? lpszFolderWord : "art";
    strWord.MakeLower();
    strWord += '\\';
    CString strLower = strPath;
    strLower.MakeLower();
    int nAt = -1;
    for (int nFrom = strLower.Find(strWord); nFrom >= 0; nFrom = strLower.Find(strWord, nFrom + 1))
        nAt = nFrom;
    if (nAt < 0)
        return FALSE;
    // The pictures of a kit or of the program live in their "Pictures"
    // folder, whatever the folder word that held them where they were.
    const CString strRelative = "Pictures\\" + strPath.Mid(nAt + strWord.GetLength());

    const CString& strKit = GetCurrentKitFolder();
    if (strKit.IsEmpty() && g_strReadingDesignFolder.IsEmpty()) {
        const CString strCandidate = GetProgramPath(strRelative);
        if (::FileExists(strCandidate)) {
            strPath = strCandidate;
            return TRUE;
        }
        return FALSE;
    }
    CString strRoot;
    if (!strKit.IsEmpty())
        strRoot = strKit;
    else if (!g_strReadingDesignFolder.IsEmpty())
        strRoot = g_strReadingDesignFolder;
    else
        strRoot = thePrefs.GetDocumentDir();
    CString strCandidate = SearchRoot(strRoot);
    if (!strCandidate.IsEmpty() && strCandidate[strCandidate.GetLength() - 1] != '\\')
        strCandidate += '\\';
    strCandidate += strRelative;
    if (::FileExists(strCandidate)) {
        strPath = strCandidate;
        return TRUE;
    }
    return FALSE;
}

void CImage::ReloadFromPath(int nStoredHandle)
{
    const WORD wFlags = m_wFlags;
    const COLORREF crTransparent = m_crTransparent;
    const int nSourceId = m_nSourceId;
    const int nLoadMode = m_nLoadMode;
    const int nRotation = m_nRotation;
    const int nStoredBase = m_nStoredBaseHandle;
    const CSize sizeDisplay = m_sizeDisplay;
    const int nBits = m_nFileBitsPerPixel;
    int effectParams[kEffectParamCount];
    std::copy(std::begin(m_effectParams), std::end(m_effectParams), std::begin(effectParams));
    const CString strStored = m_strPath;
    if (m_nHandle != kImageMetafile)
        m_nHandle = kImageNoPicture;

    BOOL bLoaded = FALSE;
    auto tryLoad = [&](const CString& strPath) -> BOOL {
        try {
            LoadFile(strPath, nLoadMode, FALSE, FALSE);
            bLoaded = TRUE;
            return TRUE;
        } catch (CFileException* e) {
            const BOOL bMissing = e->m_cause == CFileException::fileNotFound;
            e->Delete();
            return !bMissing;
        } catch (CException* e) {
            // The engine refused the file (the user was told): the picture
            // stays empty, as it would after any other failed load.
            e->Delete();
            return TRUE;
        }
    };
    if (!tryLoad(strStored)) {
        CString strFound = strStored;
        if (FindMovedPicture(strFound, "art")) {
            tryLoad(strFound);
        } else {
            CString strDashed = strStored;
            strDashed.Replace('-', '_');
            if (strDashed != strStored && ::FileExists(strDashed)) {
                tryLoad(strDashed);
            } else {
                CString strChosen;
                const BOOL bQuiet = (wFlags & IMAGE_FLAG_QUIET) != 0;
                if (!bQuiet && LocatePictureFile(strStored, strChosen))
                    tryLoad(strChosen);
            }
        }
    }
    if (!bLoaded) {
        // Nothing found: the picture is empty and draws nothing, but it
        // keeps what the design said of it, so that saving the design does
        // not lose the link (the file may come back, on a drive not
        // mounted now).
        Release();
        m_strPath = strStored;
        m_nLoadMode = nLoadMode;
        m_nFileBitsPerPixel = nBits;
        m_sizeDisplay = sizeDisplay;
        m_nStoredHandle = nStoredHandle;
        m_wFlags = wFlags;
        m_crTransparent = crTransparent;
        m_nSourceId = nSourceId;
        m_nRotation = nRotation;
        m_nStoredBaseHandle = nStoredBase;
        std::copy(std::begin(effectParams), std::end(effectParams), std::begin(m_effectParams));
        return;
    }
    m_nSourceId = nSourceId;
    // LoadFile's reset cleared what the design recorded of the effects and
    // the rotation: they are kept, to be rebuilt on the file's raster.
    m_nRotation = nRotation;
    m_nStoredBaseHandle = nStoredBase;
    std::copy(std::begin(effectParams), std::end(effectParams), std::begin(m_effectParams));
    // The file is loaded as it is on disk: unmirrored. The mirrors the
    // design kept are put back: by the rebuild when it stored a base (the
    // file is that base), else on the raster now.
    const WORD wMirrors = wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y);
    m_wFlags = static_cast<WORD>(wFlags & ~wMirrors);
    m_crTransparent = crTransparent;
    if (IsRaster()) {
        ApplyTransparencyToEngine();
    } else {
        m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
    }
    if (IsRaster() && nStoredBase != kImageNoPicture)
        m_wFlags |= wMirrors;
    else
        SetMirror((wMirrors & IMAGE_FLAG_MIRROR_X) != 0, (wMirrors & IMAGE_FLAG_MIRROR_Y) != 0);
}

void CImage::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        StoringDesignScope storing(s_nStoringDesign);
        if (m_bForceEmbed)
            m_wFlags |= IMAGE_FLAG_EMBED;
        LONG nHandle = m_nHandle;
        WORD wFlags = m_wFlags;
        if (IsUndecoded() || (IsRaster() && HasUnchangedRasterData())) {
            // The value read goes back with the bytes read, so that a design
            // saved again unchanged is the same file; and the bytes go with
            // the mirror bits that describe them.
            if (m_nStoredHandle != kImageNoPicture)
                nHandle = m_nStoredHandle;
            if (wFlags & IMAGE_FLAG_EMBED) {
                wFlags = static_cast<WORD>((wFlags & ~WORD(IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y))
                    | m_wReadMirrorBits);
            }
        } else if (IsMissingLink()) {
            // Nothing was loaded, so there is nothing to embed.
            nHandle = m_nStoredHandle;
            if (nHandle != kImageComposite)
                wFlags &= ~WORD(IMAGE_FLAG_EMBED);
        } else if (IsRasterValue(nHandle) && !IsRaster()) {
            nHandle = kImageNoPicture; // a failed load: nothing to store
        }
        ar << nHandle;
        if (nHandle == kImageNoPicture)
            return;
        ar << m_strPath << wFlags << static_cast<LONG>(m_nLoadMode) << static_cast<DWORD>(m_crTransparent)
           << static_cast<LONG>(m_nRotation) << static_cast<LONG>(m_nFileBitsPerPixel)
           << static_cast<LONG>(m_sizeDisplay.cx) << static_cast<LONG>(m_sizeDisplay.cy);
        if (wFlags & IMAGE_FLAG_EMBED) {
            if (nHandle == kImageMetafile)
                m_metafile.Serialize(ar);
            else if (nHandle != kImageComposite)
                WriteRasterData(ar, FALSE, TRUE);
        }
        ar << static_cast<LONG>(m_nSourceId);
        const int nBase = IsEngineHandle(m_nBaseHandle) ? m_nBaseHandle : m_nStoredBaseHandle;
        ar << static_cast<LONG>(nBase);
        if (nBase != kImageNoPicture) {
            for (int value : m_effectParams)
                ar << static_cast<LONG>(value);
            ar << static_cast<DWORD>(m_crTransparent);
        }
        return;
    }

    const LONG nVersion = GetDesignArchiveInfo(ar).nVersion;
    ReadingDesignScope reading(
        !ar.m_strFileName.IsEmpty() || ar.m_pDocument == nullptr ? ar.m_strFileName : ar.m_pDocument->GetPathName());
    Release();
    LONG nHandle = kImageNoPicture;
    ar >> nHandle;
    if (nHandle == kImageNoPicture)
        return;
    ar >> m_strPath >> m_wFlags;
    LONG value = 0;
    if (nVersion >= 13) {
        ar >> value;
        m_nLoadMode = value;
    } else {
        // Older designs kept the load mode in the tiling bit.
        m_nLoadMode = (m_wFlags & IMAGE_FLAG_TILED) ? 0 : 2;
    }
    DWORD dw = 0;
    ar >> dw;
    m_crTransparent = dw;
    ar >> value;
    m_nRotation = value;
    if (nVersion >= 20) {
        ar >> value;
        m_nFileBitsPerPixel = value;
    }
    if (nVersion >= 26) {
        LONG cx = 0;
        LONG cy = 0;
        ar >> cx >> cy;
        SetDisplaySize(cx, cy);
    }

    BOOL bReload = TRUE;
    if (m_wFlags & IMAGE_FLAG_EMBED) {
        if (nHandle == kImageMetafile) {
            m_metafile.Serialize(ar);
            m_nHandle = m_metafile.HasMetaFile() ? kImageMetafile : kImageNoPicture;
            bReload = FALSE;
        } else if (nHandle != kImageComposite) {
            m_nLoadMode = kEmbeddedLoadMode;
            DWORD nSize = 0;
            ar >> nSize;
            if (nSize > ar.GetBytesRemaining())
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            // Keep what LoadFromMemory's release would clear.
            const WORD wFlags = m_wFlags;
            const COLORREF crTransparent = m_crTransparent;
            const CString strPath = m_strPath;
            const int nRotation = m_nRotation;
            const int nBits = m_nFileBitsPerPixel;
            const CSize sizeDisplay = m_sizeDisplay;
            // ReadRasterData takes a count of 0 as "read the count first".
            const int nResult = nSize != 0 ? ReadRasterData(ar, kEmbeddedLoadMode, nSize) : LT_ERR_CORRUPT;
            if (m_rasterData.size() != nSize)
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            m_wFlags = wFlags;
            m_crTransparent = crTransparent;
            m_strPath = strPath;
            m_nRotation = nRotation;
            m_nFileBitsPerPixel = nBits;
            m_sizeDisplay = sizeDisplay;
            m_nLoadMode = kEmbeddedLoadMode;
            m_nStoredHandle = nHandle;
            m_wReadMirrorBits = wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y);
            if (nResult >= 1) {
                ApplyTransparencyToEngine();
            } else {
                // Bytes this build cannot decode: the picture draws nothing
                // but keeps them, so the next save writes them back. The
                // handle holds the engine's code before it is reported,
                // since a code of -1 is told through the handle.
                m_nHandle = nResult < 0 ? nResult : kPicErrBadHandle;
                ReportError(nResult, TRUE);
            }
            bReload = FALSE;
        }
    }
    if (nVersion >= 27) {
        ar >> value;
        m_nSourceId = value;
    }
    if (nVersion >= 29) {
        ar >> value;
        m_nStoredBaseHandle = value;
        if (value != kImageNoPicture) {
            for (int& param : m_effectParams) {
                ar >> value;
                param = value;
            }
            ar >> dw;
            m_crTransparent = dw;
        }
    }
    // An embedded raster with effects is the unaltered base: the effects
    // and the rotation are rebuilt on it. A linked one is rebuilt the same
    // way once its file is loaded again.
    const BOOL bStoredBase = m_nStoredBaseHandle != kImageNoPicture;
    if (bReload) {
        if (nHandle != kImageMetafile)
            m_nHandle = kImageNoPicture;
        ReloadFromPath(nHandle);
    }
    ReapplyStoredEffects(bStoredBase);
}

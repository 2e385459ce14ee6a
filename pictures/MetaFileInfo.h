#pragma once
// CMetaFileInfo: the vector content of a picture, a Windows metafile or an
// enhanced metafile (never both), with the frame size the picture has. Every
// CImage holds one as a member; a picture whose handle is kImageMetafile
// draws from it.
//
// The holder owns its metafile handle and deletes it in Clear and in its
// destructor. What is here is the holder, its copies, its stored form in
// designs and in "o4m" temporary files, loading from metafile and CGM files,
// and drawing once or tiled.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/Types.h"

#include <vector>

class CDC;

class CMetaFileInfo : public CObject {
    DECLARE_SERIAL(CMetaFileInfo)
public:
    CMetaFileInfo();
    ~CMetaFileInfo() override;
    CMetaFileInfo(const CMetaFileInfo&) = delete;
    CMetaFileInfo& operator=(const CMetaFileInfo&) = delete;

    // Frame 500 x 500, no metafile, without freeing anything.
    void Init();
    // Deletes the metafile and its header copies, then Init.
    void Clear();

    // Copies the other's enhanced metafile with its frame when it has one,
    // else its Windows metafile with its frame; an empty other gives an
    // empty holder.
    void Copy(const CMetaFileInfo& other);
    // Each clears first and keeps a copy of the bits; a metafile whose bits
    // cannot be read leaves the holder empty. The enhanced form then runs
    // the header step (below).
    void SetMetaFileSized(HMETAFILE hMetaFile, int cx, int cy);
    void SetEnhMetaFileSized(HENHMETAFILE hEnhMetaFile, int cx, int cy);

    // Loads a Windows metafile file: a placeable header (key 0x9AC6CDD7)
    // gives the frame from its bounding box (each side at least 1) and the
    // metafile starts after its 22 bytes; without it the whole file is the
    // metafile and the frame stays 500 x 500. FALSE, with the holder empty,
    // when the file cannot be read or makes no metafile.
    BOOL LoadWmf(LPCTSTR lpszPath);
    // Loads an enhanced metafile file, then runs the header step from a
    // frame of 0 x 0, so the frame is the metafile's own bounds.
    BOOL LoadEmf(LPCTSTR lpszPath);
    // A copy of the enhanced metafile; the frame from its header.
    void SetEnhMetaFile(HENHMETAFILE hEnhMetaFile);
    // Through the CGM import filter: its Windows metafile with the size it
    // gives. FALSE, with the holder empty, when the filter cannot be used,
    // refuses the path or the file.
    BOOL ImportCgm(LPCTSTR lpszPath);

    // The "o4m" temporary file: frame (two int32), kind (int32, 1 enhanced,
    // 0 Windows), byte count (int32) and the bits. SaveTemp raises
    // CFileException when there is no metafile or its bits cannot be read
    // in full; LoadTemp clears first and raises it, with the holder empty,
    // when the file cannot be read, its count runs past its end or the bits
    // make no metafile.
    void SaveTemp(LPCTSTR lpszPath) const;
    void LoadTemp(LPCTSTR lpszPath);

    // Plays the metafile into rectDest (logical units; an inverted
    // rectangle mirrors): a Windows metafile scaled from its frame, an
    // enhanced one into the rectangle. On a non-printing DC a non-empty
    // rectClip (logical) limits the drawing, cut to rectPage (device units)
    // when that is not empty, as for a print preview's page. With bPalette
    // the enhanced metafile's own palette entries are realised around the
    // play; on palette screens a Windows metafile plays in the
    // application's palette. The DC is left as it was.
    void Draw(CDC* pDC, const CRect& rectDest, const CRect& rectClip, BOOL bPalette,
        const CRect& rectPage = CRect()) const;
    // The same, once per tile over rectDest (see GetTileCounts).
    void DrawTiled(CDC* pDC, const CRect& rectDest, const CRect& rectClip, BOOL bPalette,
        const CRect& rectPage = CRect()) const;
    // Tiles of the frame's size across and down rectDest (at least one each,
    // at most kMaxTilesPerSide), the last ones cut by the destination; with
    // the tile request set on a non-printing DC, 2 x 2 tiles of half the
    // destination. sizeTile is in rectDest's units and carries its
    // direction.
    void GetTileCounts(const CDC* pDC, const CRect& rectDest, int& nAcross, int& nDown, CSize& sizeTile) const;
    static constexpr int kMaxTilesPerSide = 256;

    // Plays into rect with no clip and no palette (Draw without them).
    void Play(CDC* pDC, const CRect& rect) const;

    BOOL HasMetaFile() const { return m_hMetaFile != NULL || m_hEnhMetaFile != NULL; }
    HMETAFILE GetMetaFile() const { return m_hMetaFile; }
    HENHMETAFILE GetEnhMetaFile() const { return m_hEnhMetaFile; }

    // The holder's part of a design: a byte 1 and the metafile (frame, kind
    // byte 1 enhanced or 0 Windows, byte count, bits), or a single byte 0
    // for an empty holder. Loading clears first; a count beyond the bytes
    // left, or bits that make no metafile, raise CArchiveException and
    // leave the holder empty. Storing raises it when the bits cannot be
    // read in full.
    void Serialize(CArchive& ar) override;

    int m_cxFrame = 500;
    int m_cyFrame = 500;
    // Set by the picture for one tiled draw: 2 x 2 tiles of half the
    // destination instead of tiles of the frame. Init clears it.
    int m_nTileRequest = 0;

    // The copies the header step keeps (empty without an enhanced
    // metafile); the palette is read only when the frame came from the
    // header.
    BOOL HasEnhHeader() const { return m_bHasHeader; }
    const ENHMETAHEADER& GetEnhHeader() const { return m_header; }
    const std::vector<char>& GetDescription() const { return m_description; }
    const std::vector<PALETTEENTRY>& GetPaletteEntries() const { return m_paletteEntries; }

private:
    // After an enhanced metafile is set: keeps its header and, only for a
    // frame of 0 x 0, takes the frame from the header's bounds and keeps
    // the description and the palette entries.
    void ReadEnhHeader();
    // The metafile's bits and kind; FALSE when they cannot be read in full.
    BOOL GetBits(std::vector<BYTE>& bits, BOOL& bEnhanced) const;
    // Sets the metafile from bits of a kind; FALSE (holder empty) when they
    // make none. The frame is set first, so an enhanced frame of 0 x 0
    // comes from its header.
    BOOL SetBits(const BYTE* pBits, UINT nSize, BOOL bEnhanced, int cx, int cy);
    void PlayOnce(CDC* pDC, const CRect& rectDevice) const;

    HMETAFILE m_hMetaFile = NULL;       // owned
    HENHMETAFILE m_hEnhMetaFile = NULL; // owned
    BOOL m_bHasHeader = FALSE;
    ENHMETAHEADER m_header{};
    std::vector<char> m_description;
    std::vector<PALETTEENTRY> m_paletteEntries;
};

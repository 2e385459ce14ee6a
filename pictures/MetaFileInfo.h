#pragma once
// CMetaFileInfo: the vector content of a picture, a Windows metafile or an
// enhanced metafile (never both), with the frame size the picture has. Every
// CImage holds one as a member; a picture whose handle is kImageMetafile
// draws from it.
//
// The holder owns its metafile handle and deletes it in Clear and in its
// destructor. What is here is the holder, its copies, its stored form in
// designs, loading from metafile files and a plain play into a rectangle.

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
    // Loads an enhanced metafile file, then runs the header step.
    BOOL LoadEmf(LPCTSTR lpszPath);
    // A copy of the enhanced metafile; the frame from its header.
    void SetEnhMetaFile(HENHMETAFILE hEnhMetaFile);
    // Plays the metafile into rect (an inverted rectangle mirrors): a
    // Windows metafile scaled from its frame, an enhanced one into rect.
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

private:
    // After an enhanced metafile is set: keeps its header and, only for a
    // frame of 0 x 0, takes the frame from the header's bounds and keeps
    // the description and the palette entries.
    void ReadEnhHeader();

    HMETAFILE m_hMetaFile = NULL;       // owned
    HENHMETAFILE m_hEnhMetaFile = NULL; // owned
    BOOL m_bHasHeader = FALSE;
    ENHMETAHEADER m_header{};
    std::vector<char> m_description;
    std::vector<PALETTEENTRY> m_paletteEntries;
};

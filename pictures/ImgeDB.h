#pragma once
// CImgeDB: a small serialisable record of one bitmap and two string arrays
// (schema 8). The bitmap is a picture-engine handle owned by the record (none
// at first); it is stored as a 32-bit length and the bytes of the picture
// file the engine saves, so a record whose bitmap is empty stores the length
// 0. Loading bounds that length by the bytes left in the archive.
//
// On a display of exactly 256 colours the first record made copies the
// application palette into a colour table all records share (blue, green,
// red, 0 per entry); on other displays the table stays empty.

#include "platform/base/Object.h"
#include "platform/base/StringArray.h"
#include "platform/base/GdiRecords.h"

#include <vector>

class CImgeDB : public CObject {
    DECLARE_SERIAL(CImgeDB)
public:
    CImgeDB();
    ~CImgeDB() override;
    CImgeDB(const CImgeDB&) = delete;
    CImgeDB& operator=(const CImgeDB&) = delete;

    void Serialize(CArchive& ar) override;

    // The bitmap from a picture file; FALSE, leaving no bitmap, when it does
    // not load.
    BOOL LoadBitmap(LPCTSTR lpszPath);
    // FALSE when there is no bitmap or the file cannot be written.
    BOOL SaveBitmap(LPCTSTR lpszPath) const;
    void Free();

    int GetHandle() const { return m_nHandle; }
    static const std::vector<RGBQUAD>& GetSharedColorTable();
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    CStringArray m_strings1;
    CStringArray m_strings2;

private:
    int m_nHandle = 0;
    int m_nWidth = 100;
    int m_nHeight = 50;
};

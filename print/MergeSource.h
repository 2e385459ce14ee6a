#pragma once
// The mail-merge data sources a design can name: a text file, or an
// address-book file. The document owns its source and keeps it in the
// design file after its type number.
//
// The record of both sources is ours: the file name as an archive string
// (a length prefix, then the characters). The merge itself reads the file
// when a design is printed with merge fields.

#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDrawDoc;

class CMergeSource : public CObject {
    DECLARE_DYNAMIC(CMergeSource)
public:
    // Type numbers as the design file stores them.
    enum : DWORD { TypeTextFile = 1, TypeAddressBook = 2 };

    explicit CMergeSource(CDrawDoc* pDoc);
    ~CMergeSource() override;

    virtual DWORD GetType() const = 0;
    void SetFileName(LPCTSTR lpszFileName) { m_strFileName = lpszFileName; }
    const CString& GetFileName() const { return m_strFileName; }
    // Writes or reads the file name.
    void Serialize(CArchive& ar) override;

    // A new source of the stored type, or NULL for a type no source has.
    static CMergeSource* Create(DWORD dwType, CDrawDoc* pDoc);

protected:
    CDrawDoc* m_pDocument; // not owned
    CString m_strFileName;
};

class CTextMergeSource : public CMergeSource {
    DECLARE_DYNAMIC(CTextMergeSource)
public:
    explicit CTextMergeSource(CDrawDoc* pDoc);
    DWORD GetType() const override { return TypeTextFile; }
};

class CAddrFileMergeSource : public CMergeSource {
    DECLARE_DYNAMIC(CAddrFileMergeSource)
public:
    explicit CAddrFileMergeSource(CDrawDoc* pDoc);
    DWORD GetType() const override { return TypeAddressBook; }
};

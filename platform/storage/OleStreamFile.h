#pragma once
// COleStreamFile: a CFile over an IStream, so that CArchive can serialise
// into an element of a compound file. The object holds one reference to its
// stream: Attach takes over the caller's reference, Detach hands it back,
// Close and the destructor release it.
//
// Failures of the stream raise CFileException with the cause of the HRESULT
// (m_lOsError holding the HRESULT itself), except OpenStream and
// CreateStream, which return FALSE and fill *pError.

#include "platform/base/File.h"

struct IStream;
struct IStorage;

class COleStreamFile : public CFile {
    DECLARE_DYNAMIC(COleStreamFile)
public:
    explicit COleStreamFile(IStream* lpStream = NULL);
    ~COleStreamFile() override;

    void Attach(IStream* lpStream);
    IStream* Detach();
    IStream* GetStream() const { return m_lpStream; }

    // The flags are STGM values (CFile's flags have the same bits).
    BOOL OpenStream(IStorage* lpStorage, LPCTSTR lpszStreamName,
        DWORD nOpenFlags = modeReadWrite | shareExclusive, CFileException* pError = NULL);
    BOOL CreateStream(IStorage* lpStorage, LPCTSTR lpszStreamName,
        DWORD nOpenFlags = modeReadWrite | shareExclusive | modeCreate, CFileException* pError = NULL);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

protected:
    [[noreturn]] void ThrowResult(HRESULT hr) const;
    IStream* RequireStream() const;

    IStream* m_lpStream;

private:
    // The end of OpenStream and CreateStream: takes over the stream the
    // storage gave, or fills *pError when it gave none.
    BOOL AttachOpened(HRESULT hr, IStream* lpStream, LPCTSTR lpszStreamName, CFileException* pError);
};

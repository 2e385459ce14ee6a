#pragma once
// CArchive: the class library's buffered binary stream over a CFile, in its
// public persistent format: little-endian numbers, length-prefixed strings,
// and objects tagged with their class name and schema so that a graph of
// objects is written once and read back with its shared references.
//
// An archive either stores or loads. Errors raise CArchiveException: a read
// that runs out of data gives endOfFile, bad tags badIndex or badClass, a
// version mismatch badSchema; errors of the file underneath pass through as
// CFileException. Every length and count read is checked against the bytes
// left before anything is allocated, so hostile input cannot make the
// archive reserve memory it will never fill.
//
// Objects read by ReadObject belong to the caller. When an object's Serialize
// fails, the archive deletes that object and rethrows.

#include "platform/base/Forward.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <initializer_list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform {
[[noreturn]] void ArchiveRejectObject(CArchive& ar, CObject* pObject);
}

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // nMode: load or store, optionally with bNoFlushOnDelete. lpBuf, when
    // given, is the caller's buffer of nBufSize bytes, used instead of one of
    // the archive's own.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
    // A storing archive flushes here unless bNoFlushOnDelete was given;
    // errors are swallowed, so call Close to see them.
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const;
    BOOL IsStoring() const;
    BOOL IsByteSwapping() const;
    // Loading: no read-ahead bytes are waiting in the buffer.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const;

    // Storing: writes the buffer to the file. Loading: gives the file back
    // the position of the first byte not yet read.
    void Flush();
    // Flushes and detaches from the file (the file stays open).
    void Close();
    // Detaches without writing anything or raising.
    void Abort();

    // Raw bytes. Read returns fewer than nMax only at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Loading: the bytes that can still be read (left in the file plus those
    // waiting in the buffer), to bound stored lengths and counts.
    ULONGLONG GetBytesRemaining() const;

    // Text lines: WriteString writes the characters only (no terminator, no
    // line end); ReadString reads up to "\n" and drops "\r\n" or "\n",
    // returning FALSE at the end when nothing was left.
    void WriteString(LPCTSTR lpsz);
    BOOL ReadString(CString& rString);

    // 1, 2, 4 or 8 bytes, little-endian. LONG is int and DWORD is unsigned
    // on this system, so those overloads serve both names.
    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short w);
    CArchive& operator<<(int i);
    CArchive& operator<<(unsigned u);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& w);
    CArchive& operator>>(int& i);
    CArchive& operator>>(unsigned& u);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);

    // An element count: u16, or 0xFFFF and a u32. ReadCount raises endOfFile
    // for a count larger than the bytes left.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Objects and their classes in the persistent format (null tag 0; a new
    // class 0xFFFF with schema and name; references by index, 0x8000 marking
    // a class; 0x7FFF and a u32 once an index reaches 0x7FFF). Indexes are
    // shared by classes and objects in order of first appearance, from 1;
    // an object takes its index before its Serialize runs.
    void WriteObject(const CObject* pOb);
    // pClassRefRequested, when given, is the class the object must derive
    // from (badClass otherwise).
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = NULL, UINT* pSchema = NULL,
        DWORD* pObTag = NULL);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Gives an object an index without writing it, so that objects written
    // later can refer to it (a document their items point back to).
    void MapObject(const CObject* pOb);

    // Sizing hints of the object maps; accepted for compatibility.
    void SetStoreParams(UINT nHashSize = 2053, UINT nBlockSize = 128);
    void SetLoadParams(UINT nGrowBy = 1024);

    // The schema of the object being loaded, once per object: a second call
    // gives (UINT)-1.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema);

    // For untrusted input: only these classes may be loaded (badClass for
    // any other). Empty allows every registered class.
    void SetAllowedClasses(std::initializer_list<const CRuntimeClass*> classes);
    void SetAllowedClasses(const std::vector<const CRuntimeClass*>& classes);

    CDocument* m_pDocument;
    CString m_strFileName;

private:
    friend void platform::ArchiveRejectObject(CArchive& ar, CObject* pObject);

    struct LoadEntry {
        void* pointer; // CObject* or CRuntimeClass*; null after a failed load
        UINT schema;   // for classes: the stored schema
        bool isClass;
    };

    [[noreturn]] void Throw(int cause) const;
    void CheckLoading() const;
    void CheckStoring() const;
    // Makes at least nBytes unread bytes available or raises endOfFile.
    void Need(UINT nBytes);
    void WriteBytes(const void* p, UINT n);
    void ReadExact(void* p, UINT n);
    void FlushStore();
    void WriteIndexTag(DWORD index, bool isClass);
    DWORD NewStoreIndex(const void* key);
    DWORD NewLoadIndex(void* pointer, bool isClass, UINT schema);
    void StoreMapObject(const void* key);

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nBufSize;
    std::unique_ptr<BYTE[]> m_ownBuffer;
    BYTE* m_lpBufStart;
    UINT m_nBufCur; // storing: bytes waiting; loading: next unread
    UINT m_nBufMax; // loading: bytes in the buffer
    UINT m_nObjectSchema;

    DWORD m_nMapCount; // next index to give
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<LoadEntry> m_loadArray; // [0] stands for the null tag
    CObject* m_pLastCreated;          // the object the last ReadObject made
    DWORD m_nLastCreatedIndex;
    std::vector<const CRuntimeClass*> m_allowedClasses;
};

// The class library's string wire form: a length (one byte below 0xFF;
// else 0xFF and a u16 below 0xFFFE; else 0xFF, 0xFFFF and a u32) and the
// 1252 bytes. A stored UTF-16 string (0xFF, 0xFFFE, then a length in the
// same scheme and 16-bit units) is read and converted to 1252.
CArchive& operator<<(CArchive& ar, const CString& string);
CArchive& operator>>(CArchive& ar, CString& string);

CArchive& operator<<(CArchive& ar, const CObject* pOb);
CArchive& operator>>(CArchive& ar, CObject*& pOb);
CArchive& operator>>(CArchive& ar, const CObject*& pOb);

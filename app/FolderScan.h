#pragma once
// Folder listing with wildcard patterns (CFileFinder), a folder walk behind
// a progress display (CFolderScan), and a resizable array helper.
//
// The progress display is reached through CScanProgress: the control kit,
// which sits above this library, installs a factory that shows its progress
// dialog; without one the walk shows nothing and is never cancelled.

#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/files/CrtFiles.h"

#include <functional>
#include <memory>

// Find attributes an attribute mask is made of; kFindAnyEntry accepts every
// entry whatever its attributes.
inline constexpr DWORD kFindAnyEntry = 0x40;

// Whether the name matches the pattern, characters compared exactly: '?'
// stands for one character, '*' for any run of characters (also none).
BOOL MatchWildcard(LPCTSTR lpszName, LPCTSTR lpszPattern);

class CFileFinder : public CObject {
public:
    // Patterns are separated by ';' and compared in upper case with the
    // upper-cased names; an empty list accepts every name.
    CFileFinder(LPCTSTR lpszFolder, LPCTSTR lpszPatterns, DWORD dwAttributeMask);
    ~CFileFinder() override;
    CFileFinder(const CFileFinder&) = delete;
    CFileFinder& operator=(const CFileFinder&) = delete;

    // From now on "." and ".." are not listed.
    void ExcludeDotEntries() { m_bSkipDots = TRUE; }

    // The first accepted entry as the folder followed by its name; the
    // counter (when given) is set to -1 and raised by one per entry given.
    BOOL FindFirst(CString& strPath, int* pCounter = nullptr);
    BOOL FindNext(CString& strPath, int* pCounter = nullptr);
    // The number of accepted entries (a whole pass; the open search ends).
    int Count();

    // The find record of the entry given last.
    const _finddata_t& GetFindData() const { return m_data; }
    const CString& GetFolder() const { return m_strFolder; }

    // 0x10 for an existing drive root ("D:\"); else the attributes of the
    // first entry found for the path; 0xFFFFFFFF when there is none.
    static DWORD GetAttributes(LPCTSTR lpszPath);

private:
    BOOL Accept() const;
    BOOL NextAccepted(CString& strPath, int* pCounter);
    void Close();

    BOOL m_bSkipDots = FALSE;
    DWORD m_dwMask;
    CString m_strFolder;
    CString m_strPatterns;
    CString m_strSpec;
    _finddata_t m_data{};
    intptr_t m_hFind = -1;
};

// The pseudo file systems of the Linux root (C:\proc, C:\sys, C:\dev, with
// or without the trailing backslash, any case): they hold no user files, are
// endless or huge, and reading some of their entries blocks, so no walk
// over a drive goes into them.
BOOL IsSystemFolder(const CString& strFolder);

// What a long walk shows while it runs.
class CScanProgress {
public:
    virtual ~CScanProgress() = default;
    // The message by string number, or a text of its own.
    virtual void SetMessage(UINT nStringId) = 0;
    virtual void SetText(const CString& strText) = 0;
    virtual void SetRange(int nFull) = 0;
    virtual void SetPos(int nPos) = 0;
    virtual void Step() = 0;
    virtual BOOL IsCancelled() = 0;
    // Lets pending messages through (and so the Cancel button).
    virtual void PumpMessages() = 0;
};
using ScanProgressFactory = std::function<std::unique_ptr<CScanProgress>()>;
// An empty function restores the silent default.
void SetScanProgressFactory(ScanProgressFactory factory);
// A progress display from the installed factory (never null).
std::unique_ptr<CScanProgress> MakeScanProgress();

// Folder trees deeper than this are not entered.
inline constexpr int kMaxScanDepth = 64;

// Walks a folder and calls OnEntry per entry.
class CFolderScan : public CObject {
public:
    CFolderScan(LPCTSTR lpszStartFolder, LPCTSTR lpszPattern, BOOL bRecursive, UINT nMessageId);
    ~CFolderScan() override;
    CFolderScan(const CFolderScan&) = delete;
    CFolderScan& operator=(const CFolderScan&) = delete;

    // Without recursion, OnEntry sees the start folder itself. With it,
    // OnEntry sees every entry matching the pattern in every folder below
    // the start folder (an empty pattern visits no entries, only folders);
    // the progress moves once per folder within the depth limit. Stops when
    // OnEntry returns FALSE or Cancel is pressed; what was visited stays so.
    //
    // The walk enters each real folder once: a folder link to a folder
    // already entered (an ancestor, say) is passed over, as are the system
    // folders, folders that cannot be read and folders more than
    // kMaxScanDepth levels down. The count before the walk follows the same
    // rules, so the progress ends full.
    void Scan();

    // Counting and progress look only one level deep when set (the default).
    void SetOneLevel(BOOL bOneLevel) { m_bOneLevel = bOneLevel; }
    int GetFolderCount() const { return m_nFolders; }
    int GetDepthLimit() const { return m_nDepthLimit; }
    CScanProgress& GetProgress() { return *m_progress; }

protected:
    // The path of an entry (or of the start folder); FALSE stops the scan.
    virtual BOOL OnEntry(const CString& strPath) = 0;

private:
    struct WalkedFolders;
    int CountFolders(const CString& folder, int depth, WalkedFolders& walked) const;
    BOOL Visit(CString folder, int depth, WalkedFolders& walked);

    CString m_strStart;
    CString m_strPattern;
    BOOL m_bRecursive;
    BOOL m_bOneLevel = TRUE;
    std::unique_ptr<CScanProgress> m_progress;
    int m_nFolders = 0;
    int m_nDepthLimit = -1;
    UINT m_nMessageId;
};

// A (pointer, count) pair of 32-bit values.
struct DwordArray {
    DWORD* pData = nullptr;
    int nCount = 0;
};
// Frees the array and allocates one of n elements (at least 1, at most
// kMaxDwordArray), zero-filled when asked; the old contents are gone. FALSE
// (and an empty pair) when n is too large or memory is short.
inline constexpr int kMaxDwordArray = 1 << 24;
BOOL SetArraySize(DwordArray& array, int n, BOOL bZero);
void FreeArray(DwordArray& array);

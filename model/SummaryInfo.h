#pragma once
// CSummaryInfo: the standard summary information of a design file (title,
// author, comments, revision number, last author), kept in the root
// storage's "\x05SummaryInformation" property-set stream so that the shell
// and other programs can show them. The drawing document owns one; the
// design file reads it on open and writes it on every save.
//
// Reading a missing or damaged stream leaves empty strings where properties
// are missing; only string properties are taken. A failed write never
// stops the save that asked for it.

#include "model/PropSet.h"
#include "platform/base/String.h"

struct IStorage;

// The format ID of the summary-information section.
extern const FMTID FMTID_SummaryInformation;

#define PID_CODEPAGE 1
#define PIDSI_TITLE 2
#define PIDSI_AUTHOR 4
#define PIDSI_COMMENTS 6
#define PIDSI_LASTAUTHOR 8
#define PIDSI_REVNUMBER 9

class CSummaryInfo {
public:
    CSummaryInfo();
    virtual ~CSummaryInfo();

    // FALSE, the strings unchanged, when the storage has no summary stream
    // that can be opened; otherwise the five strings are replaced by what
    // the stream holds (empty for a missing property or a damaged stream).
    BOOL ReadSummary(IStorage* pStorage);
    // Replaces the summary stream. With bRaiseRevision the revision number
    // rises first: "" becomes "1", a number n other than 0 becomes n + 1, and
    // text that does not start with a number stays. FALSE when the stream
    // cannot be created (nothing is then changed) or written.
    BOOL WriteSummary(IStorage* pStorage, BOOL bRaiseRevision);

    const CString& GetTitle() const { return m_strTitle; }
    const CString& GetAuthor() const { return m_strAuthor; }
    const CString& GetComments() const { return m_strComments; }
    const CString& GetRevisionNumber() const { return m_strRevNumber; }
    const CString& GetLastAuthor() const { return m_strLastAuthor; }
    void SetTitle(LPCTSTR lpsz) { m_strTitle = lpsz; }
    void SetAuthor(LPCTSTR lpsz) { m_strAuthor = lpsz; }
    void SetComments(LPCTSTR lpsz) { m_strComments = lpsz; }
    void SetRevisionNumber(LPCTSTR lpsz) { m_strRevNumber = lpsz; }
    void SetLastAuthor(LPCTSTR lpsz) { m_strLastAuthor = lpsz; }

private:
    CString GetString(DWORD dwPropID) const;
    void RaiseRevision();

    CPropSet m_propSet;
    CString m_strTitle;
    CString m_strAuthor;
    CString m_strComments;
    CString m_strRevNumber;
    CString m_strLastAuthor;
};

#include "print/MergeSource.h"

#include "app/LineReader.h"
#include "model/DrawDoc.h"
#include "platform/base/Archive.h"
#include "platform/base/StringArray.h"

IMPLEMENT_DYNAMIC(CMergeSource, CObject)
IMPLEMENT_DYNAMIC(CTextMergeSource, CMergeSource)
IMPLEMENT_DYNAMIC(CAddrFileMergeSource, CMergeSource)

namespace {

// The fields of one line, at most kMaxFields of them.
std::vector<CString> SplitFields(const CString& strLine)
{
    std::vector<CString> fields;
    const int nLength = strLine.GetLength();
    int nStart = 0;
    while (static_cast<int>(fields.size()) < CMergeSource::kMaxFields) {
        int nEnd = nStart;
        while (nEnd < nLength && strLine[nEnd] != CMergeSource::kSeparator)
            ++nEnd;
        fields.push_back(strLine.Mid(nStart, nEnd - nStart));
        if (nEnd >= nLength)
            break;
        nStart = nEnd + 1;
    }
    return fields;
}

} // namespace

CMergeSource::CMergeSource(CDrawDoc* pDoc)
    : m_pDocument(pDoc)
{
}

CMergeSource::~CMergeSource() = default;

void CMergeSource::SetFileName(LPCTSTR lpszFileName)
{
    m_strFileName = lpszFileName;
    Reload();
}

void CMergeSource::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strFileName;
    } else {
        ar >> m_strFileName;
        Reload();
    }
}

void CMergeSource::Reload()
{
    m_bRead = FALSE;
    m_names.clear();
    m_records.clear();
}

void CMergeSource::EnsureRead()
{
    if (m_bRead)
        return;
    m_bRead = TRUE;
    ReadTable();
}

void CMergeSource::ReadTable()
{
}

int CMergeSource::GetFieldNames(CStringArray& names)
{
    EnsureRead();
    names.RemoveAll();
    for (const CString& name : m_names)
        names.Add(name);
    return static_cast<int>(m_names.size());
}

CString CMergeSource::GetFieldNamesString()
{
    EnsureRead();
    CString str;
    for (const CString& name : m_names) {
        str += kSeparator;
        str += name;
    }
    return str;
}

BOOL CMergeSource::GetFieldText(int nRecord, int nField, CString& strText)
{
    EnsureRead();
    strText.Empty();
    if (nRecord < 0 || nRecord >= static_cast<int>(m_records.size()) || nField < 0
        || nField >= static_cast<int>(m_names.size()))
        return FALSE;
    const std::vector<CString>& record = m_records[static_cast<size_t>(nRecord)];
    if (nField < static_cast<int>(record.size()))
        strText = record[static_cast<size_t>(nField)];
    return TRUE;
}

int CMergeSource::GetRecordCount()
{
    EnsureRead();
    return static_cast<int>(m_records.size());
}

CMergeSource* CMergeSource::Create(DWORD dwType, CDrawDoc* pDoc)
{
    switch (dwType) {
    case TypeTextFile: return new CTextMergeSource(pDoc);
    case TypeAddressBook: return new CAddrFileMergeSource(pDoc);
    default: return nullptr;
    }
}

CTextMergeSource::CTextMergeSource(CDrawDoc* pDoc)
    : CMergeSource(pDoc)
{
}

void CTextMergeSource::ReadTable()
{
    if (m_strFileName.IsEmpty())
        return;
    CLineReader reader;
    if (!reader.Open(m_strFileName))
        return;
    CString strLine;
    if (!reader.ReadLine(strLine))
        return;
    for (CString name : SplitFields(strLine)) {
        // Names are looked up as typed between the at signs, so stray
        // spaces around a heading must not hide it.
        name.TrimLeft();
        name.TrimRight();
        m_names.push_back(name);
    }
    while (static_cast<int>(m_records.size()) < kMaxRecords && reader.ReadLine(strLine)) {
        if (strLine.IsEmpty())
            continue;
        m_records.push_back(SplitFields(strLine));
    }
}

CAddrFileMergeSource::CAddrFileMergeSource(CDrawDoc* pDoc)
    : CMergeSource(pDoc)
{
}

// The document's side of the merge is answered here, beside the source it
// reads.
BOOL CDrawDoc::GetMergeFieldText(int nRecord, int nField, CString& strText, BOOL bOpen)
{
    strText.Empty();
    auto* pSource = dynamic_cast<CMergeSource*>(m_pMergeSource);
    if (pSource == nullptr)
        return FALSE;
    if (bOpen)
        pSource->Reload();
    if (nField == -1) {
        strText = pSource->GetFieldNamesString();
        return !strText.IsEmpty();
    }
    return pSource->GetFieldText(nRecord, nField, strText);
}

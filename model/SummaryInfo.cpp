#include "model/SummaryInfo.h"

#include "platform/base/CodePage.h"
#include "platform/base/CrtParse.h"
#include "platform/storage/Storage.h"

#include <climits>

const FMTID FMTID_SummaryInformation = {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};

namespace {

constexpr OLECHAR kSummaryStreamName[] = u"\x0005SummaryInformation";
constexpr SHORT kCodePage1252 = 1252;

} // namespace

CSummaryInfo::CSummaryInfo()
    : m_propSet(FMTID_SummaryInformation)
{
}

CSummaryInfo::~CSummaryInfo() = default;

CString CSummaryInfo::GetString(DWORD dwPropID) const
{
    DWORD dwType = VT_EMPTY;
    const void* pData = m_propSet.GetValue(FMTID_SummaryInformation, dwPropID, &dwType);
    if (pData == nullptr)
        return CString();
    if (dwType == VT_LPSTR)
        return CString(static_cast<LPCSTR>(pData));
    if (dwType == VT_LPWSTR)
        return CString(platform::Utf16To1252(static_cast<LPCWSTR>(pData)));
    return CString();
}

BOOL CSummaryInfo::ReadSummary(IStorage* pStorage)
{
    if (pStorage == nullptr)
        return FALSE;
    IStream* pStream = nullptr;
    if (FAILED(pStorage->OpenStream(kSummaryStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &pStream)))
        return FALSE;
    // A damaged set leaves no sections, so every string below reads empty.
    m_propSet.ReadFromStream(pStream);
    m_strTitle = GetString(PIDSI_TITLE);
    m_strAuthor = GetString(PIDSI_AUTHOR);
    m_strComments = GetString(PIDSI_COMMENTS);
    m_strRevNumber = GetString(PIDSI_REVNUMBER);
    m_strLastAuthor = GetString(PIDSI_LASTAUTHOR);
    pStream->Release();
    return TRUE;
}

void CSummaryInfo::RaiseRevision()
{
    if (m_strRevNumber.IsEmpty()) {
        m_strRevNumber = "1";
        return;
    }
    int nRevision = _ttoi(m_strRevNumber);
    if (nRevision == 0)
        return;
    // The reader saturates at INT_MAX; stay there rather than wrap.
    if (nRevision < INT_MAX)
        ++nRevision;
    m_strRevNumber.Format("%d", nRevision);
}

BOOL CSummaryInfo::WriteSummary(IStorage* pStorage, BOOL bRaiseRevision)
{
    if (pStorage == nullptr)
        return FALSE;
    IStream* pStream = nullptr;
    if (FAILED(pStorage->CreateStream(kSummaryStreamName, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0,
            &pStream)))
        return FALSE;
    if (bRaiseRevision)
        RaiseRevision();

    // Our strings are 1252 whatever code page a set read from elsewhere named.
    m_propSet.SetValue(FMTID_SummaryInformation, PID_CODEPAGE, &kCodePage1252, VT_I2);
    m_propSet.SetValue(FMTID_SummaryInformation, PIDSI_TITLE, static_cast<LPCSTR>(m_strTitle), VT_LPSTR);
    m_propSet.SetValue(FMTID_SummaryInformation, PIDSI_AUTHOR, static_cast<LPCSTR>(m_strAuthor), VT_LPSTR);
    m_propSet.SetValue(FMTID_SummaryInformation, PIDSI_COMMENTS, static_cast<LPCSTR>(m_strComments), VT_LPSTR);
    m_propSet.SetValue(FMTID_SummaryInformation, PIDSI_REVNUMBER, static_cast<LPCSTR>(m_strRevNumber), VT_LPSTR);
    m_propSet.SetValue(FMTID_SummaryInformation, PIDSI_LASTAUTHOR, static_cast<LPCSTR>(m_strLastAuthor), VT_LPSTR);
    BOOL bWritten = m_propSet.WriteToStream(pStream);
    pStream->Release();
    return bWritten;
}

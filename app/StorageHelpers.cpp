#include "app/StorageHelpers.h"

#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"

#include <string>

namespace {

constexpr int kArchiveBufferSize = 4096;

} // namespace

bool FileExists(const CString& strPath)
{
    const DWORD dwAttributes = GetFileAttributes(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

IStorage* OpenStorageAt(const CString& strPath, DWORD grfMode, HRESULT* phr)
{
    const std::u16string path = platform::Utf16From1252(strPath.View());
    IStorage* pStorage = nullptr;
    const HRESULT hr = StgOpenStorage(path.c_str(), nullptr, grfMode, nullptr, 0, &pStorage);
    if (phr)
        *phr = hr;
    return SUCCEEDED(hr) ? pStorage : nullptr;
}

CArchive* NewStreamArchive(COleStreamFile& stream, UINT nMode, CDocument* pDocument)
{
    auto* pArchive = new CArchive(&stream, nMode | CArchive::bNoFlushOnDelete, kArchiveBufferSize);
    pArchive->m_pDocument = pDocument;
    return pArchive;
}

CException* CloseArchiveAndStream(CArchive*& pArchive, COleStreamFile& stream, BOOL& bOpen)
{
    CException* pFailure = nullptr;
    if (pArchive) {
        try {
            pArchive->Close();
        } catch (CException* e) {
            pFailure = e;
            pArchive->Abort();
        }
        delete pArchive;
        pArchive = nullptr;
    }
    if (bOpen) {
        if (pFailure) {
            stream.Abort();
        } else {
            try {
                stream.Close();
            } catch (CException* e) {
                pFailure = e;
                stream.Abort();
            }
        }
        bOpen = FALSE;
    }
    return pFailure;
}

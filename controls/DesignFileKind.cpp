#include "controls/DesignFileKind.h"

#include "model/ProjectKinds.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/storage/Storage.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr char kWishcraftV1[] = "  Wishcraft V1  ";
constexpr char kBulletinariumV1[] = "Bulletinarium V1";
constexpr char kBulletinariumV2[] = "Bulletinarium V2";
constexpr char kBulletinariumV20[] = "Bulletinarium V2.0";
constexpr char kBulletinariumV30[] = "Bulletinarium V3.0";
constexpr size_t kShortSignature = 16;
constexpr size_t kLongSignature = 18;
// The flat signatures sit after a 2-byte lead-in.
constexpr LONG kSignatureOffset = 2;
constexpr UINT kHeadBytes = 30;
// GetDesignFileKind's answer for a flat file that could not be read.
constexpr HRESULT kFlatFileUnreadable = 1;

enum class ClassTable { Pairs, Alt };

bool ClassMatches(ClassTable table, REFCLSID clsid)
{
    for (int nKind = 0; nKind < kDocKindCount; ++nKind) {
        switch (table) {
        case ClassTable::Pairs:
            if (IsDocKindClassId(GetDocKindClassId(nKind), clsid))
                return true;
            break;
        case ClassTable::Alt:
            if (IsEqualCLSID(GetDocKindAltClassId(nKind), clsid))
                return true;
            break;
        }
    }
    return false;
}

HRESULT TestStorageClass(LPCTSTR lpszPath, ClassTable table)
{
    const std::u16string path = platform::Utf16From1252(lpszPath ? lpszPath : "");
    HRESULT hr = StgIsStorageFile(path.c_str());
    if (hr != S_OK)
        return hr;
    CLSID clsid = CLSID_NULL;
    hr = GetClassFile(path.c_str(), &clsid);
    if (SUCCEEDED(hr))
        return ClassMatches(table, clsid) ? S_OK : HRESULT(-1);
    if (hr == MK_E_INVALIDEXTENSION) {
        // The class could not be read although the file is a compound file:
        // an open tells why (most often another program holds the file).
        IStorage* pStorage = nullptr;
        HRESULT hrOpen = StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pStorage);
        if (FAILED(hrOpen))
            return hrOpen;
        pStorage->Release();
    }
    return hr;
}

bool HeadStartsWith(const char* head, const char* signature, size_t length)
{
    return std::memcmp(head, signature, length) == 0;
}

// The version-3.0 signature follows a block whose length leads the file: a
// 32-bit count n, then n + 1 bytes, then a 32-bit value. The count comes from
// the file, so it is checked against the file's length before any seek.
bool HasV3Signature(CFile& file)
{
    const ULONGLONG length = file.GetLength();
    file.SeekToBegin();
    BYTE countBytes[4] = {};
    if (file.Read(countBytes, sizeof(countBytes)) != sizeof(countBytes))
        return false;
    const ULONGLONG count = DWORD(countBytes[0]) | DWORD(countBytes[1]) << 8 | DWORD(countBytes[2]) << 16
        | DWORD(countBytes[3]) << 24;
    const ULONGLONG signatureAt = 4 + count + 1 + 4;
    if (signatureAt + kLongSignature > length || signatureAt > 0x7FFFFFFF)
        return false;
    file.Seek(static_cast<LONG>(signatureAt), CFile::begin);
    char signature[kLongSignature] = {};
    if (file.Read(signature, kLongSignature) != kLongSignature)
        return false;
    return HeadStartsWith(signature, kBulletinariumV30, kLongSignature);
}

int FlatFileKind(CFile& file)
{
    int nKind = DESIGNFILE_UNKNOWN;
    char head[kHeadBytes] = {};
    file.Seek(kSignatureOffset, CFile::begin);
    file.Read(head, kHeadBytes);
    if (HeadStartsWith(head, kWishcraftV1, kShortSignature) || HeadStartsWith(head, kBulletinariumV1, kShortSignature))
        nKind = DESIGNFILE_FLAT_V1;
    if (HeadStartsWith(head, kBulletinariumV2, kShortSignature))
        nKind = DESIGNFILE_FLAT_V2;
    if (HeadStartsWith(head, kBulletinariumV20, kLongSignature))
        nKind = DESIGNFILE_FLAT_V2;
    if (nKind == DESIGNFILE_UNKNOWN && HasV3Signature(file))
        nKind = DESIGNFILE_FLAT_V3;
    return nKind;
}

} // namespace

HRESULT IsDesignStorageFile(LPCTSTR lpszPath)
{
    return TestStorageClass(lpszPath, ClassTable::Pairs);
}

HRESULT IsAltDesignStorageFile(LPCTSTR lpszPath)
{
    return TestStorageClass(lpszPath, ClassTable::Alt);
}

HRESULT GetDesignFileKind(LPCTSTR lpszPath, int* pnKind)
{
    int nKindStore = DESIGNFILE_UNKNOWN;
    int& nKind = pnKind ? *pnKind : nKindStore;
    nKind = DESIGNFILE_UNKNOWN;
    if (IsDesignStorageFile(lpszPath) == S_OK) {
        nKind = DESIGNFILE_DESIGN;
        return S_OK;
    }
    if (IsAltDesignStorageFile(lpszPath) == S_OK) {
        nKind = DESIGNFILE_DESIGN_ALT;
        return S_OK;
    }
    HRESULT result = STG_E_SHAREVIOLATION;
    if (StgIsStorageFile(platform::Utf16From1252(lpszPath ? lpszPath : "").c_str()) != S_FALSE)
        return result;

    try {
        CFile file(lpszPath, CFile::modeRead | CFile::shareExclusive);
        nKind = FlatFileKind(file);
        file.Close();
        result = S_OK;
    } catch (CFileException* e) {
        e->Delete();
        result = kFlatFileUnreadable;
    }
    return result;
}

namespace {

// Truncation toward zero, held inside int's range so that no input is
// undefined.
int TruncateToInt(double value)
{
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int InchesToCentimeters(int nValue)
{
    return TruncateToInt(nValue * 2.54 + 0.5);
}

int CentimetersToInches(int nValue)
{
    return TruncateToInt(nValue * 0.3937007874015748 + 0.5);
}

void ConvertSizeToCentimeters(SIZE& size)
{
    size.cx = InchesToCentimeters(size.cx);
    size.cy = InchesToCentimeters(size.cy);
}

void ConvertSizeToInches(SIZE& size)
{
    size.cx = CentimetersToInches(size.cx);
    size.cy = CentimetersToInches(size.cy);
}

#pragma once
// CKitFinder: the table files of one kind (designs, occasions, project kinds
// or categories) that the program can use, in a fixed order: the program's
// own table in the support folder first, then each design kit registered
// under the kits key, once each. Kits on CD-ROM drives are listed again with
// their category names. A drive search registers the kits it finds, so that
// later runs list them too.

#include "app/ContentCatalog.h"
#include "app/RegKeyHelper.h"
#include "app/TextTable.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

#include <vector>

class CScanProgress;

// Where kit paths are registered (below HKEY_CURRENT_USER).
inline constexpr LPCTSTR kKitsRegistryKey = "Software\\Velmora Technology\\Common\\Tovell Kits";

// Kinds of the kit list entries.
inline constexpr BYTE kKitOnDisk = 0;
inline constexpr BYTE kKitOnCdRom = 1;

// The category of a kit's data file by its file name: "User defined" for
// the user's occasion table, the product name for the data files of the
// maker's own kits, empty for any other file.
CString KitFileToCategoryName(LPCTSTR lpszPath);

class CKitFinder : public CObject, public CKitWalker {
public:
    // extension: the table stem ("kqa" ...). Reads the registered kits.
    explicit CKitFinder(LPCTSTR lpszExtension);
    ~CKitFinder() override;
    CKitFinder(const CKitFinder&) = delete;
    CKitFinder& operator=(const CKitFinder&) = delete;

    void SetFilter(const CFlagSet128& filter) override { m_filter = filter; }
    const CFlagSet128& GetFilter() const { return m_filter; }
    // 0: tables of kits on CD-ROM are copied into the support folder.
    void SetSearchMode(int mode) override { m_nSearchMode = mode; }

    void FindKits() override;
    BOOL GetFirstKit(CString& path, int& kind) override;
    BOOL GetNextKit(CString& path, int& kind) override;
    int GetCurrentKit() const override { return m_nCurrent; }
    CString GetKitFileName(int n) const override;

    BOOL GetFirstCDKit(CString& strCategory, CString& strPath);
    BOOL GetNextCDKit(CString& strCategory, CString& strPath);

    int GetKitCount() const { return static_cast<int>(m_kits.size()); }
    const std::vector<CString>& GetIniKits() const { return m_iniKits; }

    // Walks every fixed and CD-ROM drive from chFirst to chLast for tables
    // of this kind and registers each one not registered yet (tables in a
    // folder named "Occasion" are the user's own and stay out). Shows the
    // scan progress; Cancel stops the walk and keeps what was registered.
    // The number of paths newly registered.
    int SearchDrives(char chFirst = 'C', char chLast = 'Z');

private:
    CString ChangeExtension(const CString& path) const;
    void AddKit(const CString& path);
    void ReadIniKits();
    BOOL IsRegistered(const CString& path);
    BOOL SearchFolder(const CString& folder, int depth, CScanProgress& progress, int& nAdded);
    void RecordFound(const CString& path, int& nAdded);

    CRegKeyHelper m_key;
    CFlagSet128 m_filter;
    int m_nSearchMode = 1;
    std::vector<CString> m_kits;
    std::vector<BYTE> m_kinds;
    std::vector<CString> m_cdCategories;
    std::vector<CString> m_cdPaths;
    int m_nNextCd = 0;
    std::vector<CString> m_iniKits;
    int m_nNext = 0;
    int m_nCurrent = -1;
    CString m_strExtension;
};

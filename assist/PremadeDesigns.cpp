#include "assist/PremadeDesigns.h"

#include "app/ContentCatalog.h"
#include "app/Drives.h"
#include "app/Paths.h"

namespace {

// The design table of the program's disc, after the drive letter.
constexpr LPCTSTR kDiscDesignTable = ":\\Document\\tovell.kqa";

// Adds a record when it names an existing design of a known kind that is not
// listed yet; FALSE once the list is full.
BOOL Collect(PremadeDesignList& list, const DesignRecord& record)
{
    if (static_cast<int>(list.size()) >= kMaxPremadeDesigns)
        return FALSE;
    if (!record.IsValid() || record.nKind < 0 || record.nKind > 5 || !FileExists(record.strPath))
        return TRUE;
    for (const PremadeDesign& known : list) {
        if (known.strPath.CompareNoCase(record.strPath) == 0)
            return TRUE;
    }
    PremadeDesign design;
    design.wKind = static_cast<WORD>(record.nKind);
    design.strName = record.strName.IsEmpty() ? record.strPath : record.strName;
    design.strPath = record.strPath;
    list.push_back(design);
    return TRUE;
}

} // namespace

int FindPremadeDesigns(PremadeDesignList& list)
{
    list.clear();
    {
        CDesignCatalog catalog;
        DesignRecord record;
        for (BOOL bMore = catalog.GetFirst(record); bMore && Collect(list, record); bMore = catalog.GetNext(record)) {
        }
    }

    char chDrive = 0;
    if (FindCdDrive(chDrive, kDiscDesignTable)) {
        CString path(chDrive);
        path += kDiscDesignTable;
        CTableFile table;
        if (table.OpenTable(path)) {
            DesignRecord record;
            for (int n = 0; n < table.GetRecordCount() && table.ReadRecord(n, record) && Collect(list, record); ++n) {
            }
        }
        table.Close();
    }
    return static_cast<int>(list.size());
}

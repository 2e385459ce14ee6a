#pragma once
// What kind of file a chosen design file is: one of the program's own
// designs (a compound file whose class is a project kind's), or a flat file
// of the sibling publishing program or the card program, which can be
// imported. Also the inch/centimetre conversions of the measurement fields.

#include "platform/base/Types.h"

// Kinds set by GetDesignFileKind.
#define DESIGNFILE_UNKNOWN (-1)
#define DESIGNFILE_FLAT_V1 0     // sibling or card program, version 1
#define DESIGNFILE_FLAT_V2 1     // sibling program, version 2
#define DESIGNFILE_FLAT_V3 2     // sibling program, version 3.0
#define DESIGNFILE_DESIGN 3      // compound file of a project kind's class
#define DESIGNFILE_DESIGN_ALT 4  // compound file of a class in the second table

// 0 when the file is a compound file whose class is either ID of a project
// kind; -1 for a compound file of another class; S_FALSE for a file that is
// not a compound file; otherwise the storage error (STG_E_SHAREVIOLATION when
// another open holds the file, STG_E_FILENOTFOUND when it is missing).
HRESULT IsDesignStorageFile(LPCTSTR lpszPath);
// The same test against the second class-ID table only.
HRESULT IsAltDesignStorageFile(LPCTSTR lpszPath);

// Sets *pnKind (DESIGNFILE_*) and returns 0, or an error with *pnKind -1:
// STG_E_SHAREVIOLATION for a compound file of an unknown class (or one that
// cannot be tested), 1 when a flat file cannot be read. An unknown flat file
// gives 0 with kind -1, so callers test the kind, not only the result.
HRESULT GetDesignFileKind(LPCTSTR lpszPath, int* pnKind);

// value x factor + 0.5, truncated toward zero, in the caller's unit scale
// (hundredths or tenths): 10 inches are 25 centimetres, 25 centimetres 10
// inches. Negative values are not rounded symmetrically (-10 inches are -24).
int InchesToCentimeters(int nValue);
int CentimetersToInches(int nValue);
void ConvertSizeToCentimeters(SIZE& size);
void ConvertSizeToInches(SIZE& size);

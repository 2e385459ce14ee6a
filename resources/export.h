#pragma once
// Resource ids of export: the save filter of picture formats and the export commands' texts.

// Pieces of the open filter of picture formats that the save filter takes
// out or replaces: the formats the picture engine cannot write.
#define IDS_EXPORT_ICO_PATTERN 207       // "*.ico;"
#define IDS_EXPORT_ICO_ENTRY 208         // "ICO - Icon file|*.ico|"
#define IDS_EXPORT_CGM_ENTRY 257         // "CGM - Comp. Graph. Metafile|*.cgm|"
#define IDS_EXPORT_CGM_PATTERN 262       // "*.cgm;"
#define IDS_EXPORT_DIB_ENTRY 271         // "DIB - OS/2 or Windows DIB|*.dib|"
#define IDS_EXPORT_DIB_PATTERN 272       // "*.dib;"
#define IDS_EXPORT_EMF_ENTRY 273         // "EMF - Enhanced Metafile|*.emf|"
#define IDS_EXPORT_WRITE_ONLY_ENTRIES 274 // the entries written but not read
#define IDS_EXPORT_LAST_PATTERN 275      // "*.wpg|BMP"
#define IDS_EXPORT_EMF_PATTERN 276       // "*.emf;"
#define IDS_EXPORT_WMF_PATTERN 324       // "*.wmf;"
#define IDS_EXPORT_WMF_ENTRY 325         // "WMF - Windows Metafile|*.wmf|"

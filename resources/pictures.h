#pragma once
// Resource ids of the picture subsystem.

#define IDS_PIC_INTERNAL_ERROR 120       // "Internal picture error %d"
#define IDS_PIC_MEMORY_ONLY 190          // the path of a picture made from memory
#define IDS_PIC_EXPORT_FAILED 277
#define IDS_PIC_ERROR_BASE 512           // + the code's absolute value, 1..24
#define IDS_PIC_LOCATE_TITLE 7600
#define IDS_PIC_TRANSLUCENT 7601
#define IDS_PIC_TRANSPARENT 7602
#define IDS_DIB_READ_ERROR 7603
#define IDS_DIB_WRITE_ERROR 7604
#define IDS_DIB_INVALID 7605
#define IDS_DIB_NO_MEMORY 7606
#define IDS_PIC_TOO_LARGE 7607          // the imaging library's code -28

#pragma once
// The C run-time's file and folder calls of the Windows compilers, on
// Windows-form paths (1252): access tests, status, folders, the current
// drive and listing with wildcards. Failures return -1 (or null) with errno
// set, as there. The C library's own remove() and rename() keep their Linux
// meaning (host paths); program code uses DeleteFile, MoveFileEx or _unlink.

#include "platform/base/Types.h"

#include <stdint.h>
#include <sys/stat.h>
#include <time.h>

// _access modes: 0 existence, 2 write, 4 read, 6 both. Inside a program
// folder that cannot be written, an existing file is writable (writes go to
// the overlay).
int _access(const char* path, int mode);

#define _S_IFMT 0xF000
#define _S_IFDIR 0x4000
#define _S_IFCHR 0x2000
#define _S_IFIFO 0x1000
#define _S_IFREG 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define _S_IEXEC 0x0040

// Sizes as the Windows compilers lay them out by default: a 32-bit size (a
// file of 2 GB or more gives EOVERFLOW) and 64-bit times. <sys/stat.h> makes
// st_atime, st_mtime and st_ctime names for the seconds of timespec members,
// so the record follows it and `st.st_mtime` works either way.
struct _stat {
    uint32_t st_dev;
    uint16_t st_ino;
    uint16_t st_mode; // _S_IFDIR or _S_IFREG (or _S_IFCHR, _S_IFIFO), with read/write/exec bits for all three classes
    int16_t st_nlink;
    int16_t st_uid;
    int16_t st_gid;
    uint32_t st_rdev;
    int32_t st_size;
#ifdef st_mtime
    struct timespec st_atim;
    struct timespec st_mtim;
    struct timespec st_ctim;
#else
    time_t st_atime;
    time_t st_mtime;
    time_t st_ctime;
#endif
};
int _stat(const char* path, struct _stat* buffer);

int _mkdir(const char* dirname);
int _rmdir(const char* dirname);
int _chdir(const char* dirname);
// The current folder in Windows form. With a null buffer one of at least
// maxlen bytes is allocated with malloc (the caller frees it); a buffer too
// small gives null with ERANGE.
char* _getcwd(char* buffer, int maxlen);
int _unlink(const char* filename);

// The current drive: 1 is A:, 3 is C:. _chdrive makes the drive's last
// current folder (or its root) the current folder; -1 for a drive that does
// not exist.
int _getdrive();
int _chdrive(int drive);

// Listing. The last name of filespec is a pattern: '*' and '?' match without
// case, "*.*" matches every name (also names without a dot), "*." names
// without a dot. "." and ".." are reported (except at a drive root). Names
// that 1252 cannot spell are skipped. Entries come sorted by name without
// case; in the program folder the overlay's entries replace the installed
// ones of the same name. A handle is -1 with errno ENOENT when nothing
// matches.
#define _A_NORMAL 0x00
#define _A_RDONLY 0x01
#define _A_HIDDEN 0x02
#define _A_SYSTEM 0x04
#define _A_SUBDIR 0x10
#define _A_ARCH 0x20

typedef uint32_t _fsize_t;

struct _finddata_t {
    unsigned attrib;
    time_t time_create; // the modification time: Linux keeps no creation time everywhere
    time_t time_access;
    time_t time_write;
    _fsize_t size; // files past 4 GB report 0xFFFFFFFF
    char name[260];
};

intptr_t _findfirst(const char* filespec, struct _finddata_t* fileinfo);
int _findnext(intptr_t handle, struct _finddata_t* fileinfo);
int _findclose(intptr_t handle);

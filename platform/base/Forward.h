#pragma once
// Forward declarations of the base module's classes, for headers that only
// pass them by pointer or reference.

class CString;
class CObject;
struct CRuntimeClass;
class CArchive;
class CDumpContext;
class CDocument;

class CFile;
class CStdioFile;
class CMemFile;
class CSharedFile;
struct CFileStatus;

class CException;
class CMemoryException;
class CFileException;
class CArchiveException;
class CResourceException;
class CUserException;
class COleException;
class CNotSupportedException;
class CInvalidArgException;

class CObList;
class CObArray;
class CStringArray;
class CUIntArray;
class CDWordArray;
class CWordArray;
class CByteArray;
class CPtrArray;

// A place in a list: opaque to callers, a node pointer inside the list.
struct __POSITION {};
typedef __POSITION* POSITION;

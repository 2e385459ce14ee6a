// The class library's built-in English texts.

#include "platform/framework/FrameworkStrings.h"

#include "platform/base/Resources.h"
#include "platform/framework/FrameworkIds.h"

namespace {

struct BuiltIn {
    UINT id;
    const char* text;
};

constexpr BuiltIn kStrings[] = {
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {AFX_IDS_OPENFILE, "Open"},
    {AFX_IDS_SAVEFILE, "Save As"},
    {AFX_IDS_ALLFILTER, "All Files (*.*)"},
    {AFX_IDS_UNTITLED, "Untitled"},
    {AFX_IDS_SAVEFILECOPY, "Save As"},
    {AFX_IDS_PREVIEW_CLOSE, "&Close"},
    {AFX_IDS_PRINTONPORT, "on %1"},
    {AFX_IDS_ONEPAGE, "&One Page"},
    {AFX_IDS_TWOPAGE, "&Two Page"},
    {AFX_IDS_PRINTPAGENUM, "Page %u"},
    {AFX_IDS_PREVIEWPAGEDESC, "Page %u\nPages %u-%u\n"},
    {AFX_IDS_PRINTDEFAULTEXT, "pdf"},
    {AFX_IDS_PRINTDEFAULT, "Output.pdf"},
    {AFX_IDS_PRINTFILTER, "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||"},
    {AFX_IDS_PRINTCAPTION, "Print to File"},

    {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
    {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
    {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    {AFX_IDP_FILE_TOO_LARGE, "The file is too large to open."},
    {AFX_IDP_FAILED_TO_START_PRINT, "Could not start print job."},
    {AFX_IDP_FAILED_TO_LAUNCH_HELP, "Failed to launch help."},
    {AFX_IDP_INTERNAL_FAILURE, "Internal application error."},
    {AFX_IDP_COMMAND_FAILURE, "Command failed."},
    {AFX_IDP_FAILED_MEMORY_ALLOC, "Insufficient memory to perform operation."},

    {AFX_IDP_PARSE_INT, "Please enter an integer."},
    {AFX_IDP_PARSE_REAL, "Please enter a number."},
    {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
    {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2."},
    {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
    {AFX_IDP_PARSE_RADIO_BUTTON, "Please select a button."},
    {AFX_IDP_PARSE_BYTE, "Please enter an integer between 0 and 255."},
    {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},

    {AFX_IDP_FILE_NONE, "No error occurred."},
    {AFX_IDP_FILE_GENERIC, "An unknown error occurred while accessing %1."},
    {AFX_IDP_FILE_NOT_FOUND, "%1 was not found."},
    {AFX_IDP_FILE_BAD_PATH, "%1 contains an invalid path."},
    {AFX_IDP_FILE_TOO_MANY_OPEN, "%1 could not be opened because there are too many open files."},
    {AFX_IDP_FILE_ACCESS_DENIED, "Access to %1 was denied."},
    {AFX_IDP_FILE_INVALID_FILE, "An invalid file handle was associated with %1."},
    {AFX_IDP_FILE_REMOVE_CURRENT, "%1 could not be removed because it is the current directory."},
    {AFX_IDP_FILE_DIR_FULL, "%1 could not be created because the directory is full."},
    {AFX_IDP_FILE_BAD_SEEK, "Seek failed on %1"},
    {AFX_IDP_FILE_HARD_IO, "A hardware I/O error was reported while accessing %1."},
    {AFX_IDP_FILE_SHARING, "A sharing violation occurred while accessing %1."},
    {AFX_IDP_FILE_LOCKING, "A locking violation occurred while accessing %1."},
    {AFX_IDP_FILE_DISKFULL, "Disk full while accessing %1."},
    {AFX_IDP_FILE_EOF, "An attempt was made to access %1 past its end."},

    {AFX_IDP_ARCH_NONE, "No error occurred."},
    {AFX_IDP_ARCH_GENERIC, "An unknown error occurred while accessing %1."},
    {AFX_IDP_ARCH_READONLY, "An attempt was made to write to the reading %1."},
    {AFX_IDP_ARCH_ENDOFFILE, "An attempt was made to access %1 past its end."},
    {AFX_IDP_ARCH_WRITEONLY, "An attempt was made to read from the writing %1."},
    {AFX_IDP_ARCH_BADINDEX, "%1 has a bad format."},
    {AFX_IDP_ARCH_BADCLASS, "%1 contained an unexpected object."},
    {AFX_IDP_ARCH_BADSCHEMA, "%1 contains an incorrect schema."},
};

const char* FindBuiltIn(UINT nID)
{
    for (const BuiltIn& s : kStrings) {
        if (s.id == nID)
            return s.text;
    }
    return nullptr;
}

} // namespace

CString AFXAPI AfxFrameworkString(UINT nID)
{
    const char* text = nullptr;
    int length = 0;
    if (platform::FindStringResource(AfxGetResourceHandle(), nID, text, length) && text != nullptr)
        return CString(text, length);
    if (platform::FindStringResource(AfxGetInstanceHandle(), nID, text, length) && text != nullptr)
        return CString(text, length);
    const char* builtIn = FindBuiltIn(nID);
    return builtIn != nullptr ? CString(builtIn) : CString();
}

BOOL AFXAPI AfxHasBuiltInFrameworkString(UINT nID)
{
    return FindBuiltIn(nID) != nullptr;
}

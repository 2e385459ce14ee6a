// How the program starts: the platform first, then the application object.

#include "app/main/ProgramMain.h"

#include "app/main/AppGlobals.h"
#include "app/main/DesignerApp.h"
#include "controls/OlvFileDlg.h"
#include "controls/ProgressDisplays.h"
#include "controls/SharedFonts.h"
#include "controls/TipWnd.h"
#include "pictures/TwainSource.h"
#include "platform/framework/Afx.h"
#include "platform/base/UiRecords.h"
#include "platform/files/FileSystem.h"
#include "platform/profile/Registry.h"
#include "platform/services/PrintServices.h"
#include "platform/services/RuntimeFolder.h"
#include "platform/services/Wallpaper.h"
#include "platform/storage/Storage.h"
#include "platform/ui/Backend.h"
#include "platform/ui/CommDlg.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"

#include <clocale>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The name a PDF file of the document is offered under: the document's
// name without folder or extension and without characters no file name may
// hold; the dialog adds ".pdf".
std::string SuggestedPdfName(const std::string& document)
{
    std::string name = document.substr(document.find_last_of("\\/:") + 1);
    if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::string clean;
    for (char ch : name) {
        if (static_cast<unsigned char>(ch) >= 32 && std::string_view("*?\"<>|").find(ch) == std::string_view::npos)
            clean += ch;
        if (clean.size() >= 200)
            break;
    }
    return clean;
}

// Where a job for the PDF-file printer goes: the save dialog, asked each
// time; an empty answer cancels the job.
std::string ChoosePdfFile(const std::string& document)
{
    std::vector<char> file(MAX_PATH, '\0');
    std::string suggested = SuggestedPdfName(document);
    suggested.copy(file.data(), file.size() - 1);

    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    CWnd* pMain = AfxGetMainWnd();
    ofn.hwndOwner = pMain != nullptr ? pMain->m_hWnd : NULL;
    ofn.lpstrFilter = "PDF Files (*.pdf)\0*.pdf\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrDefExt = "pdf";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileName(&ofn))
        return std::string();
    return std::string(file.data());
}

} // namespace

void StartPlatform(int argc, char** argv)
{
    // Day and month names follow the user's locale; numbers are read and
    // written with '.' whatever the locale says.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    platform::InitFileSystem();
    threadwick::RegisterResources();
    threadwick::RegisterSupportResources();

    // Without a display the program ends here, before another copy could
    // see it; from here on SIGTERM and SIGINT close it as the user would.
    platform::OpenProgramBackend();
    platform::EndSessionOnSignals();

    // Copies that ended without closing (a crash, a kill) leave their lock,
    // socket and temporary compound files behind; running copies keep
    // theirs.
    platform::RemoveFilesOfEndedCopies();
    platform::RemoveTempStoragesOfEndedCopies();

    // Loads the profile: a damaged registry file is set aside and reported
    // here rather than stopping the start.
    platform::RegistryLoadProblem();

    // The print dialogs and printer DCs learn the printers, their settings
    // and margins, and where finished jobs go.
    platform::InstallPrinterServices();
    platform::SetPdfFileChooser(&ChoosePdfFile);
    // Set as Wallpaper reaches the desktop's own settings.
    platform::InstallWallpaperService();

    // File dialogs and long operations show the program's own dialogs.
    InstallProgramFileDialog();
    InstallProgressDisplays();

    AfxSetCommandLine(argc, argv);
}

int RunDesignerApp()
{
    // The application object is made here rather than as a static object,
    // so that the platform is up before its constructor runs; the common
    // dialogs' help message is registered before it.
    InitAppGlobals();
    int nExitCode = 0;
    {
        CDesignerApp theApp;
        nExitCode = AfxRunApplication(theApp);
    }

    ReleaseSharedFonts();
    ReleaseTipResources();
    ReleaseTwainSource();
    return nExitCode;
}

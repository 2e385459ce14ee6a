// CWinApp's document management: the templates, opening and creating
// documents, the file dialogs of File Open and Save As, and the recent-file
// list.

#include "platform/framework/WinApp.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/FileApi.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/View.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlg.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<CDocTemplate*> TemplatesOf(const CWinApp& app)
{
    std::vector<CDocTemplate*> templates;
    POSITION pos = app.GetFirstDocTemplatePosition();
    while (pos != NULL)
        templates.push_back(app.GetNextDocTemplate(pos));
    return templates;
}

// "Name (*.ext)" NUL "*.ext" NUL for a template that has both; the default
// extension (without its dot) comes back through defExt when asked.
bool AppendFilter(std::string& filter, CDocTemplate* pTemplate, CString* pDefExt)
{
    CString name;
    CString ext;
    if (!pTemplate->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty()
        || !pTemplate->GetDocString(ext, CDocTemplate::filterExt) || ext.GetLength() < 2 || ext[0] != '.')
        return false;
    if (pDefExt != NULL)
        *pDefExt = ext.Mid(1);
    filter.append(name.View());
    filter.push_back('\0');
    filter.push_back('*');
    filter.append(ext.View());
    filter.push_back('\0');
    return true;
}

// ---- The choice of template for File New ----

constexpr int kNewTypeList = 100;

struct NewTypeChoice {
    std::vector<CDocTemplate*> templates;
    std::vector<CString> names;
    int chosen = -1;
};

INT_PTR CALLBACK NewTypeDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pChoice = reinterpret_cast<NewTypeChoice*>(::GetWindowLongPtr(hDlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtr(hDlg, DWLP_USER, lParam);
        pChoice = reinterpret_cast<NewTypeChoice*>(lParam);
        HWND hList = ::GetDlgItem(hDlg, kNewTypeList);
        for (const CString& name : pChoice->names)
            ::SendMessage(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(name)));
        ::SendMessage(hList, LB_SETCURSEL, 0, 0);
        ::SetFocus(hList);
        return FALSE;
    }
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDOK || (LOWORD(wParam) == kNewTypeList && HIWORD(wParam) == LBN_DBLCLK))
            && pChoice != NULL) {
            pChoice->chosen = static_cast<int>(::SendDlgItemMessage(hDlg, kNewTypeList, LB_GETCURSEL, 0, 0));
            ::EndDialog(hDlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

// The template the user picks from the file-new names, or NULL (cancelled).
CDocTemplate* ChooseNewTemplate(const std::vector<CDocTemplate*>& templates, HWND hWndOwner)
{
    NewTypeChoice choice;
    for (CDocTemplate* pTemplate : templates) {
        CString name;
        // A template without a file-new name is not offered.
        if (pTemplate->GetDocString(name, CDocTemplate::fileNewName) && !name.IsEmpty()) {
            choice.templates.push_back(pTemplate);
            choice.names.push_back(name);
        }
    }
    if (choice.templates.empty())
        return NULL;
    if (choice.templates.size() == 1)
        return choice.templates.front();

    static const platform::DialogItemTemplate items[] = {
        {WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 0, 0, 7, 7, 100, 60,
            kNewTypeList, "LISTBOX", "", 0},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 114, 7, 50, 14, IDOK, "BUTTON", "OK", 0},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 114, 24, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
    };
    static const platform::DialogTemplate dlg = {false,
        DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 171, 74, "New", nullptr, 0, "", 8, 400, 0,
        0, "MS Sans Serif", items, 3};
    const INT_PTR result = ::DialogBoxIndirectParam(AfxGetInstanceHandle(), &dlg, hWndOwner, NewTypeDlgProc,
        reinterpret_cast<LPARAM>(&choice));
    if (result != IDOK || choice.chosen < 0 || choice.chosen >= static_cast<int>(choice.templates.size()))
        return NULL;
    return choice.templates[static_cast<size_t>(choice.chosen)];
}

} // namespace

// ---- Templates -------------------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate == NULL || m_templateList.Find(pTemplate) != NULL)
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templateList.GetHeadPosition();
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& rPosition) const
{
    return static_cast<CDocTemplate*>(m_templateList.GetNext(rPosition));
}

void CWinApp::DeleteDocManagement()
{
    for (CDocTemplate* pTemplate : TemplatesOf(*this)) {
        if (pTemplate->m_bAutoDelete)
            delete pTemplate;
    }
    m_templateList.RemoveAll();
    delete m_pRecentFileList;
    m_pRecentFileList = NULL;
}

int CWinApp::GetOpenDocumentCount()
{
    int count = 0;
    for (CDocTemplate* pTemplate : TemplatesOf(*this)) {
        POSITION pos = pTemplate->GetFirstDocPosition();
        while (pos != NULL) {
            pTemplate->GetNextDoc(pos);
            ++count;
        }
    }
    return count;
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* pTemplate : TemplatesOf(*this)) {
        if (!pTemplate->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* pTemplate : TemplatesOf(*this))
        pTemplate->CloseAllDocuments(bEndSession);
}

// ---- Opening ---------------------------------------------------------------------------------

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (lpszFileName == NULL || *lpszFileName == '\0')
        return NULL;
    CString path = lpszFileName;
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathName(lpszFileName, MAX_PATH, full, NULL);
    if (n > 0 && n < MAX_PATH)
        path = full;

    // The most confident template opens the file; a document that already
    // shows it is brought forward instead.
    CDocTemplate::Confidence best = CDocTemplate::noAttempt;
    CDocTemplate* pBestTemplate = NULL;
    CDocument* pOpenDocument = NULL;
    for (CDocTemplate* pTemplate : TemplatesOf(*this)) {
        CDocument* pMatch = NULL;
        const CDocTemplate::Confidence match = pTemplate->MatchDocType(path, pMatch);
        if (match > best) {
            best = match;
            pBestTemplate = pTemplate;
        }
        if (match == CDocTemplate::yesAlreadyOpen) {
            pOpenDocument = pMatch;
            break;
        }
    }

    if (pOpenDocument != NULL) {
        POSITION pos = pOpenDocument->GetFirstViewPosition();
        if (pos != NULL) {
            CView* pView = pOpenDocument->GetNextView(pos);
            CFrameWnd* pFrame = pView->GetParentFrame();
            if (pFrame != NULL) {
                pFrame->ActivateFrame();
                // A document frame inside the main frame: the main frame comes forward too.
                CWnd* pMain = m_pMainWnd;
                if (pMain != NULL && pMain != pFrame && pMain->IsFrameWnd())
                    static_cast<CFrameWnd*>(pMain)->ActivateFrame();
            }
        }
        return pOpenDocument;
    }

    if (pBestTemplate == NULL) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_OPEN_DOC), MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_OPEN_DOC);
        return NULL;
    }
    return pBestTemplate->OpenDocumentFile(path);
}

void CWinApp::OnFileNew()
{
    const std::vector<CDocTemplate*> templates = TemplatesOf(*this);
    if (templates.empty()) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_CREATE_DOC), MB_ICONEXCLAMATION,
            AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    CDocTemplate* pTemplate = templates.front();
    if (templates.size() > 1) {
        pTemplate = ChooseNewTemplate(templates, m_pMainWnd != NULL ? m_pMainWnd->GetSafeHwnd() : NULL);
        if (pTemplate == NULL)
            return; // cancelled
    }
    pTemplate->OpenDocumentFile(NULL);
}

void CWinApp::OnFileOpen()
{
    CString newName;
    if (!DoPromptFileName(newName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, NULL))
        return;
    OpenDocumentFile(newName);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
    CDocTemplate* pTemplate)
{
    std::string filter;
    CString defExt;
    DWORD nFilterIndex = 0;
    if (pTemplate != NULL) {
        if (AppendFilter(filter, pTemplate, &defExt))
            nFilterIndex = 1;
    } else {
        for (CDocTemplate* pEach : TemplatesOf(*this)) {
            // The first template's entry is the one selected.
            if (AppendFilter(filter, pEach, nFilterIndex == 0 ? &defExt : NULL) && nFilterIndex == 0)
                nFilterIndex = 1;
        }
    }
    const CString all = AfxFrameworkString(AFX_IDS_ALLFILTER);
    filter.append(all.View());
    filter.push_back('\0');
    filter.append("*.*");
    filter.push_back('\0');
    filter.push_back('\0');
    if (nFilterIndex == 0)
        nFilterIndex = 1;

    char file[MAX_PATH];
    const int nCopy = std::min(fileName.GetLength(), MAX_PATH - 1);
    std::memcpy(file, static_cast<LPCTSTR>(fileName), static_cast<size_t>(nCopy));
    file[nCopy] = '\0';
    const CString title = AfxFrameworkString(nIDSTitle);

    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainWnd != NULL ? m_pMainWnd->GetSafeHwnd() : NULL;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = nFilterIndex;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = defExt.IsEmpty() ? NULL : static_cast<LPCTSTR>(defExt);
    ofn.Flags = lFlags | OFN_EXPLORER;

    const BOOL bResult = bOpenFileDialog ? ::GetOpenFileName(&ofn) : ::GetSaveFileName(&ofn);
    if (bResult)
        fileName = file;
    return bResult;
}

// ---- Recent files ----------------------------------------------------------------------------

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = NULL;
    if (nMaxMRU == 0)
        return;
    m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, platform::kRecentFileSection, "File%d",
        static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList != NULL)
        m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList != NULL)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (m_pRecentFileList == NULL)
        return FALSE;
    const int nIndex = static_cast<int>(nID) - ID_FILE_MRU_FILE1;
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize())
        return FALSE;
    const CString path = (*m_pRecentFileList)[nIndex];
    if (path.IsEmpty())
        return FALSE;
    // A file that cannot be opened (moved, deleted) has been reported by
    // the open; it leaves the list.
    if (OpenDocumentFile(path) == NULL && m_pRecentFileList != NULL
        && nIndex < m_pRecentFileList->GetSize() && (*m_pRecentFileList)[nIndex] == path)
        m_pRecentFileList->Remove(nIndex);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList == NULL)
        pCmdUI->Enable(FALSE);
    else
        m_pRecentFileList->UpdateMenu(pCmdUI);
}

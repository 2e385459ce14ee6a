#pragma once
// CPreferences: the Preferences sheet ("Program Configuration") over its
// four pages, Preferences, Defaults, Tools and Printing, in that order. The
// sheet's OK, Cancel, Apply and Help are the program's picture buttons. OK
// and Apply let the active page check its fields first; when it refuses
// nothing happens, otherwise every page that was opened writes the store
// and the sheet saves the preferences and the printing word.
//
// The sheet owns its pages and buttons; it lives for one Preferences
// command (CDesignerApp::RunPreferences).

#include "app/main/PrefPage1.h"
#include "app/main/PrefPage2.h"
#include "app/main/PrintPrefPage.h"
#include "assist/ToolsPage.h"
#include "controls/PictureButton.h"
#include "platform/framework/PropertySheet.h"

class CPreferences : public CPropertySheet {
public:
    // The pages in the order they are added; RunPreferences opens the one
    // its command asks for.
    enum Page { pagePreferences = 0, pageDefaults = 1, pageTools = 2, pagePrinting = 3 };

    CPreferences(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = pagePreferences);

    BOOL OnInitDialog() override;

    CPrefPage2 m_pagePreferences;
    CPrefPage1 m_pageDefaults;
    CToolsPage m_pageTools;
    CPrintPrefPage m_pagePrinting;

    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnApply;
    C3DPicBtn m_btnHelp;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // OK (bClose) or Apply: FALSE when a page refused.
    BOOL CommitPages(BOOL bClose);
};

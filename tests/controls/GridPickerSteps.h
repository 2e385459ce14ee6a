#pragma once
// Dialog steps for the kit's popups: a click on a cell of the active
// popup's grid picker, as a user picks a colour, hatch or line style.

#include "controls/GridPicker.h"
#include "resources/controls.h"
#include "tests/support/DialogDriver.h"

namespace testing_support {

// The grid picker of the active popup; NULL when it has none.
inline CGridPicker* ActivePicker(HWND hActive)
{
    HWND hPicker = ::GetDlgItem(hActive, IDC_GRID_PICKER_PLACEHOLDER);
    return dynamic_cast<CGridPicker*>(CWnd::FromHandlePermanent(hPicker));
}

// Presses and releases the left button on cell nCell of the active popup's
// picker; waits while no popup with a picker is active.
inline DialogStep PickGridCell(int nCell)
{
    return [nCell](HWND hActive) {
        CGridPicker* pPicker = ActivePicker(hActive);
        if (pPicker == nullptr)
            return false;
        CPoint pt = pPicker->GetCellRect(nCell).CenterPoint();
        pPicker->ClientToScreen(&pt);
        platform::headless::PressMouse(0, pt.x, pt.y);
        platform::headless::ReleaseMouse(0, pt.x, pt.y);
        return true;
    };
}

} // namespace testing_support

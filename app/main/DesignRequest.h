#pragma once
// What the user asked for when starting a new design: the launcher's and the
// New Design dialog's record, copied into the application and read by the
// main frame's new-design messages.

#include "platform/base/String.h"

struct DesignRequest {
    LONG nKind = 6;      // project kind 0..5; 6 none
    LONG nOption = 0;    // start option
    CString strFirst;
    CString strSecond;
    LONG nMiddle = 0;
    CString strThird;
    CString strFourth;
    LONG nTrailing1 = 0;
    LONG nTrailing2 = 0;
};

// Copies what a new design takes from a chosen record: the two leading
// values, the first string, the last two strings and the trailing values.
inline void CopyDesignRequest(DesignRequest& to, const DesignRequest& from)
{
    to.nKind = from.nKind;
    to.nOption = from.nOption;
    to.strFirst = from.strFirst;
    to.strThird = from.strThird;
    to.strFourth = from.strFourth;
    to.nTrailing1 = from.nTrailing1;
    to.nTrailing2 = from.nTrailing2;
}

#pragma once
// CTextEditHost: the in-place editor of a drawing object's wrapped text,
// created over the object while its text is edited and owned by the object
// until the editing ends. The editor window itself comes with in-place
// editing; this is the face the object sees.

#include "platform/base/Types.h"

class CTextEditHost {
public:
    virtual ~CTextEditHost() = default;
    // Repaints the editor after a change of the text or its look.
    virtual void Redraw() = 0;
    // Gives the editor's selection the colour.
    virtual void SetSelectionColor(COLORREF crColor) = 0;
};

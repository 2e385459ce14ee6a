#pragma once
// The stand-in for starting the OLE libraries: there is nothing to start, so
// AfxOleInit succeeds unless a test asks it to fail (to reach the program's
// start-up failure path).

#include "platform/base/Types.h"

BOOL AfxOleInit();
void AfxOleTerm(BOOL bJustRevoke = FALSE);

namespace platform {

void SetOleInitFailsForTests(bool fails);

} // namespace platform

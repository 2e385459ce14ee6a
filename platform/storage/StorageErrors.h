#pragma once
// Host failures as storage HRESULTs. Internal to the storage module.

#include "platform/base/Types.h"

#include <string>

namespace platform {

// ENOENT gives STG_E_FILENOTFOUND, or STG_E_PATHNOTFOUND when the folder is
// missing too; access, space and descriptor errors their own codes; anything
// else the fallback (a read or write fault).
HRESULT HResultFromErrno(int err, const std::string& hostPath, HRESULT fallback);

} // namespace platform

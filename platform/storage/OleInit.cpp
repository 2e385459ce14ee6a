#include "platform/storage/OleInit.h"

#include <atomic>

namespace {
std::atomic<bool> g_initFails { false };
}

BOOL AfxOleInit()
{
    return g_initFails.load() ? FALSE : TRUE;
}

void AfxOleTerm(BOOL)
{
}

namespace platform {

void SetOleInitFailsForTests(bool fails)
{
    g_initFails.store(fails);
}

} // namespace platform

#include "platform/ui/IdleWork.h"

namespace platform {

namespace {

IdleWorkProc g_idleWork = nullptr;

} // namespace

void SetIdleWork(IdleWorkProc proc)
{
    g_idleWork = proc;
}

void RunIdleWork()
{
    if (g_idleWork != nullptr)
        g_idleWork();
}

} // namespace platform

#include "print/PrintState.h"

namespace {

BOOL g_bRefused = FALSE;
BOOL g_bAborted = FALSE;

} // namespace

void CPrintState::BeginPass()
{
    g_bRefused = TRUE;
    g_bAborted = FALSE;
}

void CPrintState::JobStarted()
{
    g_bRefused = FALSE;
}

void CPrintState::SetAborted()
{
    g_bAborted = TRUE;
}

BOOL CPrintState::IsRefused()
{
    return g_bRefused;
}

BOOL CPrintState::IsAborted()
{
    return g_bAborted;
}

void CPrintState::Reset()
{
    g_bRefused = FALSE;
    g_bAborted = FALSE;
}

#pragma once
// Work put off until the user interface has nothing else to do. Whenever a
// message loop is about to wait for the next event (GetMessage and
// WaitMessage with an empty queue, after the screen is up to date), the
// installed routine runs. It is meant for bookkeeping that a burst of
// messages should pay for once, such as writing the settings the burst
// changed; it must not send or post messages. The class library installs
// it; one routine per process, null removes it.

namespace platform {

using IdleWorkProc = void (*)();

void SetIdleWork(IdleWorkProc proc);

// What the queue calls before it waits.
void RunIdleWork();

} // namespace platform

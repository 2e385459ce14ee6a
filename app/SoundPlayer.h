#pragma once
// Plays the program's short sounds (one per user action) through the sound
// library in the support folder. The application object owns the one
// player. Without the library or its entry point every request is quietly
// ignored, and while the user has sounds switched off nothing reaches the
// library at all.

#include "platform/base/String.h"

class CSoundPlayer {
public:
    CSoundPlayer() = default;
    ~CSoundPlayer();
    CSoundPlayer(const CSoundPlayer&) = delete;
    CSoundPlayer& operator=(const CSoundPlayer&) = delete;

    // Loads "<program folder>support\sndkit32.dll" and finds its
    // "dllPlaySound". FALSE when either fails; a module loaded without the
    // export stays loaded until the player goes.
    BOOL Load();
    void Play(int nSound, int nFlags = 0);

    BOOL IsLoaded() const { return m_pfnPlay != nullptr; }

    // The library's entry point: support folder (ending in a backslash),
    // product name, sound number, flags.
    using PlayProc = void (*)(CString, CString, int, int);
    // Tests put their own entry point in place of the library's.
    void SetEntryPointForTests(PlayProc pfnPlay) { m_pfnPlay = pfnPlay; }

private:
    HMODULE m_hModule = NULL;
    PlayProc m_pfnPlay = nullptr;
};

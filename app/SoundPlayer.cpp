#include "app/SoundPlayer.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "platform/services/Modules.h"
#include "platform/ui/User.h"
#include "resources/resource.h"

CSoundPlayer::~CSoundPlayer()
{
    if (m_hModule)
        FreeLibrary(m_hModule);
}

BOOL CSoundPlayer::Load()
{
    if (m_hModule)
        return m_pfnPlay != nullptr;
    HCURSOR previous = SetCursor(LoadCursor(NULL, IDC_WAIT));
    m_hModule = LoadLibrary(GetProgramPath("support\\", "sndkit32.dll"));
    if (m_hModule)
        m_pfnPlay = reinterpret_cast<PlayProc>(GetProcAddress(m_hModule, "dllPlaySound"));
    SetCursor(previous);
    return m_hModule && m_pfnPlay;
}

void CSoundPlayer::Play(int nSound, int nFlags)
{
    if (!m_pfnPlay || !thePrefs.IsSoundOn())
        return;
    CString product;
    product.LoadString(IDS_PRODUCT_NAME);
    m_pfnPlay(GetProgramPath("support\\"), product, nSound, nFlags);
}

#include "platform/LockKeys.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvanel {

LockKeyState ReadLockKeys()
{
    LockKeyState state;
#ifdef _WIN32
    state.known = true;
    state.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    state.numLock = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    state.scrollLock = (GetKeyState(VK_SCROLL) & 1) != 0;
#endif
    return state;
}

} // namespace orvanel

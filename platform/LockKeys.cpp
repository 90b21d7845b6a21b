#include "platform/LockKeys.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(ORVANEL_HAVE_X11)
#include <QGuiApplication>
#include <X11/XKBlib.h>
#endif

namespace orvanel {

namespace {

#if !defined(_WIN32) && defined(ORVANEL_HAVE_X11)
// The X server's keyboard indicators, by their standard names. Other display servers
// (Wayland) give a program no way to read them.
LockKeyState ReadXkbIndicators()
{
    LockKeyState state;
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return state;
    const auto lit = [display](const char* name, bool& on) {
        Bool value = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &value, nullptr, nullptr))
            return false;
        on = value != False;
        return true;
    };
    state.known = lit("Caps Lock", state.capsLock);
    state.known = lit("Num Lock", state.numLock) && state.known;
    state.known = lit("Scroll Lock", state.scrollLock) && state.known;
    return state;
}
#endif

} // namespace

LockKeyState ReadLockKeys()
{
    LockKeyState state;
#ifdef _WIN32
    state.known = true;
    state.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    state.numLock = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    state.scrollLock = (GetKeyState(VK_SCROLL) & 1) != 0;
#elif defined(ORVANEL_HAVE_X11)
    state = ReadXkbIndicators();
#endif
    return state;
}

} // namespace orvanel

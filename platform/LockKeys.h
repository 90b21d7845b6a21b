#pragma once
// The state of the Caps Lock, Num Lock and Scroll Lock keys, where the platform lets a
// program read it.

namespace orvanel {

struct LockKeyState {
    bool known = false; // false: this platform (or display server) gives no way to read the keys
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

LockKeyState ReadLockKeys();

} // namespace orvanel

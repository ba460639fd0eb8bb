#pragma once

// The keyboard's lock keys, as its indicator lights show them.
struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeys CurrentLockKeys();

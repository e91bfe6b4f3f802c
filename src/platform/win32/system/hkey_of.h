// The interface carries the predefined roots as their 32-bit values; on Win64
// the real HKEY constants are those values sign-extended.  Any other handle is
// one that advapi32 gave out earlier.
#pragma once

#include <windows.h>

#include "platform/registry.h"

namespace velmora::platform::win32 {

inline HKEY HkeyOf(RegHandle key) {
    switch (key) {
        case kHKeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHKeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        default:
            return reinterpret_cast<HKEY>(key);
    }
}

}  // namespace velmora::platform::win32

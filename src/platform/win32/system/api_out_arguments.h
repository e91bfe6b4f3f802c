// Out-arguments carried across the type differences between the registry
// interface and the advapi32 signatures (std::uint32_t against DWORD,
// RegHandle against HKEY).  The API writes into a local, and the caller's
// variable receives whatever the API left there when the object goes away.
// A null caller pointer is handed on as null.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/registry.h"

namespace velmora::platform::win32 {

// In and out: the API starts from the caller's value (a buffer size, say).
class DwordInOutArgument {
  public:
    explicit DwordInOutArgument(std::uint32_t* target)
        : target_(target), value_(target != nullptr ? *target : 0) {}
    DwordInOutArgument(const DwordInOutArgument&) = delete;
    DwordInOutArgument& operator=(const DwordInOutArgument&) = delete;
    ~DwordInOutArgument() {
        if (target_ != nullptr) *target_ = static_cast<std::uint32_t>(value_);
    }

    DWORD* get() { return target_ != nullptr ? &value_ : nullptr; }

  private:
    std::uint32_t* target_;
    DWORD value_;
};

// Out only: a handle is never read from the caller.
class HkeyOutArgument {
  public:
    explicit HkeyOutArgument(RegHandle* target) : target_(target) {}
    HkeyOutArgument(const HkeyOutArgument&) = delete;
    HkeyOutArgument& operator=(const HkeyOutArgument&) = delete;
    ~HkeyOutArgument() {
        if (target_ != nullptr) *target_ = reinterpret_cast<RegHandle>(value_);
    }

    HKEY* get() { return target_ != nullptr ? &value_ : nullptr; }

  private:
    RegHandle* target_;
    HKEY value_ = nullptr;
};

}  // namespace velmora::platform::win32

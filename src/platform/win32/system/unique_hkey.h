// Move-only owner of a raw HKEY, for code that calls advapi32 directly rather
// than through the registry interface: closes the key exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace velmora::platform::win32 {

class UniqueHkey {
  public:
    UniqueHkey() = default;
    explicit UniqueHkey(HKEY key) : key_(key) {}
    UniqueHkey(UniqueHkey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    UniqueHkey& operator=(UniqueHkey&& other) noexcept {
        if (this != &other) reset(std::exchange(other.key_, nullptr));
        return *this;
    }
    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;
    ~UniqueHkey() { reset(); }

    HKEY get() const { return key_; }
    // For the out-argument of an opening call; closes what was held first.
    HKEY* put() {
        reset();
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }

    void reset(HKEY key = nullptr) {
        // Nothing useful can follow a failed close, so its status is dropped.
        if (key_ != nullptr) static_cast<void>(::RegCloseKey(key_));
        key_ = key;
    }

  private:
    HKEY key_ = nullptr;
};

}  // namespace velmora::platform::win32

// Move-only owner of a kernel object HANDLE (process, thread, file, event):
// closes it exactly once.  Both null and INVALID_HANDLE_VALUE mean "none", as
// the opening calls use one or the other for failure.
#pragma once

#include <windows.h>

#include <utility>

namespace velmora::platform::win32 {

class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return IsValid(handle_); }

    // Hands the handle over, for a close whose result matters.
    HANDLE release() { return std::exchange(handle_, nullptr); }

    void reset(HANDLE handle = nullptr) {
        // Nothing useful can follow a failed close, so its result is dropped.
        if (IsValid(handle_)) static_cast<void>(::CloseHandle(handle_));
        handle_ = handle;
    }

  private:
    static bool IsValid(HANDLE handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }

    HANDLE handle_ = nullptr;
};

}  // namespace velmora::platform::win32

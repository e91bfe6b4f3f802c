// Move-only owners for the Win32 handles the driver opens.
#pragma once

#include <windows.h>

#include <utility>

namespace velmora::e2e {

template <typename T, typename Closer>
class UniqueOwner {
  public:
    UniqueOwner() = default;
    explicit UniqueOwner(T value) : value_(value) {}
    UniqueOwner(UniqueOwner&& other) noexcept : value_(std::exchange(other.value_, T{})) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, T{});
        }
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    ~UniqueOwner() { Reset(); }

    T Get() const { return value_; }
    // For out-arguments of API calls: releases what is held first.
    T* Receive() {
        Reset();
        return &value_;
    }
    explicit operator bool() const { return value_ != T{}; }
    void Reset() {
        if (value_ != T{}) {
            Closer{}(value_);
            value_ = T{};
        }
    }

  private:
    T value_{};
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

using UniqueHandle = UniqueOwner<HANDLE, HandleCloser>;
using UniqueHkey = UniqueOwner<HKEY, KeyCloser>;
using UniqueFont = UniqueOwner<HFONT, GdiObjectDeleter>;
using UniqueBitmap = UniqueOwner<HBITMAP, GdiObjectDeleter>;
using UniqueMemoryDc = UniqueOwner<HDC, MemoryDcDeleter>;

// The device context of the whole screen.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace velmora::e2e

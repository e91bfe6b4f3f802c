// Move-only owners of the user32/gdi32 handles the windows create: fonts and
// icons loaded at a chosen size.  (Shared icons from LoadIcon belong to the
// system and are not wrapped; child windows belong to their parent.)
#pragma once

#include <windows.h>

#include <utility>

namespace velmora::platform::win32 {

template <typename Handle, typename Release>
class UniqueGdiHandle {
  public:
    UniqueGdiHandle() = default;
    explicit UniqueGdiHandle(Handle handle) : handle_(handle) {}
    UniqueGdiHandle(UniqueGdiHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdiHandle& operator=(UniqueGdiHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueGdiHandle(const UniqueGdiHandle&) = delete;
    UniqueGdiHandle& operator=(const UniqueGdiHandle&) = delete;
    ~UniqueGdiHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Release{}(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

// Nothing useful can follow a failed release, so the results are dropped.
struct FontRelease {
    void operator()(HFONT font) const { static_cast<void>(::DeleteObject(font)); }
};
struct IconRelease {
    void operator()(HICON icon) const { static_cast<void>(::DestroyIcon(icon)); }
};

using UniqueHfont = UniqueGdiHandle<HFONT, FontRelease>;
using UniqueHicon = UniqueGdiHandle<HICON, IconRelease>;

}  // namespace velmora::platform::win32

// The one move-only owner of every handle the program holds: a registry key
// opened through an interface, an HKEY, a kernel object, a font, an icon.
// Each kind is an alias over a small traits type that says what "none" is,
// which values are real handles, and how one is closed:
//
//   struct Traits {
//       using Handle = ...;
//       static constexpr Handle kNone = ...;
//       bool IsValid(Handle) const;
//       void Close(Handle) const;  // must not throw
//   };
//
// Traits may carry state (the interface a key was opened through); it moves
// with the handle.  Closing drops its result: nothing useful can follow a
// failed close, and a caller whose close result matters takes the handle with
// release() and closes it itself.
#pragma once

#include <type_traits>
#include <utility>

namespace velmora::platform {

template <typename Traits>
class UniqueOwner {
  public:
    using Handle = typename Traits::Handle;

    UniqueOwner() = default;
    // Traits that carry state (the interface a key was opened through) come
    // with the handle: a bare handle would never be closed.
    explicit UniqueOwner(Handle handle) requires std::is_empty_v<Traits> : handle_(handle) {}
    UniqueOwner(Traits traits, Handle handle) : traits_(traits), handle_(handle) {}
    UniqueOwner(UniqueOwner&& other) noexcept
        : traits_(std::exchange(other.traits_, Traits{})),
          handle_(std::exchange(other.handle_, Traits::kNone)) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            reset();
            traits_ = std::exchange(other.traits_, Traits{});
            handle_ = std::exchange(other.handle_, Traits::kNone);
        }
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    ~UniqueOwner() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return traits_.IsValid(handle_); }

    // For the out-argument of an opening call; closes what was held first.
    Handle* put() {
        reset();
        return &handle_;
    }
    // Hands the handle over without closing it.
    Handle release() { return std::exchange(handle_, Traits::kNone); }
    // Closes the handle held, if any, and holds handle instead.
    void reset(Handle handle = Traits::kNone) {
        if (traits_.IsValid(handle_)) traits_.Close(handle_);
        handle_ = handle;
    }

  private:
    [[no_unique_address]] Traits traits_{};
    Handle handle_ = Traits::kNone;
};

// Traits of a handle type whose "none" is null and that one function closes,
// as most system handles are: UniqueOwner<NullHandleTraits<HKEY, &::RegCloseKey>>.
template <typename H, auto CloseFunction>
struct NullHandleTraits {
    using Handle = H;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle handle) const { return handle != nullptr; }
    void Close(Handle handle) const { static_cast<void>(CloseFunction(handle)); }
};

}  // namespace velmora::platform

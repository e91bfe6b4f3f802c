// Screen and window geometry in twips (1/1440 inch), single precision.
#pragma once

#include <cstdint>

namespace velmora::platform {

using WindowHandle = std::uintptr_t;  // HWND

// The whole monitor a window is placed on, taskbar included: its top-left
// corner on the desktop (negative for a monitor left of or above the
// primary one) and its size, in twips at the dpi given.  That is the dpi of
// the window being placed, so that the monitor and the window are measured in
// one unit even where the window's dpi is not the one the system started
// with.
class Screen {
  public:
    virtual ~Screen() = default;
    virtual float LeftTwips(unsigned dpi) const = 0;
    virtual float TopTwips(unsigned dpi) const = 0;
    virtual float WidthTwips(unsigned dpi) const = 0;
    virtual float HeightTwips(unsigned dpi) const = 0;
};

// A top-level window's outer rectangle, frame and caption included.
class FormWindow {
  public:
    virtual ~FormWindow() = default;
    virtual float WidthTwips() const = 0;
    virtual float HeightTwips() const = 0;
    // Places the outer top-left corner; the size stays as it is.
    virtual void MoveTwips(float left, float top) = 0;
    // The dpi the window is measured and moved at.
    virtual unsigned Dpi() const = 0;
    // The system's handle of the window, for calls that need an owner.
    virtual WindowHandle NativeHandle() const = 0;
};

}  // namespace velmora::platform

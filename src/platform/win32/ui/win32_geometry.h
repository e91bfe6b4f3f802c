// Screen and window geometry in twips, converted with the real dpi.
#pragma once

#include <windows.h>

#include "platform/geometry.h"

namespace velmora::platform::win32 {

// The whole rectangle (rcMonitor) of the monitor that holds anchor, or the
// nearest one when it lies on none; the primary monitor without an anchor.
// The monitor is looked up at each call, so it follows the anchor when the
// user moves it.  For a process aware of per-monitor dpi these are physical
// pixels, as a window's rectangle is, so both convert at the window's dpi;
// the system dpi, fixed at sign-in, may differ from it.
class Win32Screen : public Screen {
  public:
    explicit Win32Screen(HWND anchor = nullptr) : anchor_(anchor) {}
    float LeftTwips(unsigned dpi) const override;
    float TopTwips(unsigned dpi) const override;
    float WidthTwips(unsigned dpi) const override;
    float HeightTwips(unsigned dpi) const override;

  private:
    RECT MonitorRect() const;

    HWND anchor_;
};

// The top-left corner of the whole monitor that holds window (the nearest).
POINT MonitorOrigin(HWND window);

// A top-level window's outer rectangle (GetWindowRect) at the window's dpi.
float OuterWidthTwips(HWND window);
float OuterHeightTwips(HWND window);
// Moves the outer top-left corner; fractional twips round to the nearest
// pixel.  The size, z-order and activation stay as they are.
void MoveOuterTwips(HWND window, float left, float top);

}  // namespace velmora::platform::win32

// Screen and window geometry in twips (1/1440 inch), single precision.
#pragma once

namespace velmora::platform {

// The whole primary display, taskbar included, in twips at the dpi given:
// that of the window being placed, so that the display and the window are
// measured in one unit even where the window's dpi is not the one the
// system started with.
class Screen {
  public:
    virtual ~Screen() = default;
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
};

}  // namespace velmora::platform

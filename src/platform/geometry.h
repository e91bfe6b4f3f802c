// Screen and window geometry in twips (1/1440 inch), single precision.
#pragma once

namespace velmora::platform {

// The whole primary display, taskbar included.
class Screen {
  public:
    virtual ~Screen() = default;
    virtual float WidthTwips() const = 0;
    virtual float HeightTwips() const = 0;
};

// A top-level window's outer rectangle, frame and caption included.
class FormWindow {
  public:
    virtual ~FormWindow() = default;
    virtual float WidthTwips() const = 0;
    virtual float HeightTwips() const = 0;
    // Places the outer top-left corner; the size stays as it is.
    virtual void MoveTwips(float left, float top) = 0;
};

}  // namespace velmora::platform

#include "windowing/center_form.h"

namespace velmora::SharedModule {

void CenterForm(const platform::Screen& screen, platform::FormWindow& form) {
    const unsigned dpi = form.Dpi();
    const float screenWidth = screen.WidthTwips(dpi);
    const float width = form.WidthTwips();
    const float screenHeight = screen.HeightTwips(dpi);
    const float height = form.HeightTwips();
    const float top = screen.TopTwips(dpi) + (screenHeight - height) / 2.0f;
    const float left = screen.LeftTwips(dpi) + (screenWidth - width) / 2.0f;
    form.MoveTwips(left, top);
}

}  // namespace velmora::SharedModule

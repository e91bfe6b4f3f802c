#pragma once

#include "platform/geometry.h"

namespace velmora::SharedModule {

// Places form in the middle of the whole monitor screen describes, both
// measured at the form's dpi.  Positions stay in single-precision twips: no rounding (a
// half twip is kept) and no clamping (a form larger than the screen gets a
// negative edge).
void CenterForm(const platform::Screen& screen, platform::FormWindow& form);

}  // namespace velmora::SharedModule

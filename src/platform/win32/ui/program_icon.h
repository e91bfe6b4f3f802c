// The program icon from the module's resources.
#pragma once

#include <windows.h>

#include "platform/win32/common/unique_gdi_handles.h"

namespace velmora::platform::win32 {

inline constexpr int kProgramIconPixels = 32;

// The shared icon for a window class, at the system's icon size; null when
// resource is null or not in the module.
HICON LoadClassIcon(HINSTANCE instance, const wchar_t* resource);
// The icon at its own 32 x 32 pixels, for a picture control; empty when
// resource is null or not in the module.
UniqueHicon LoadPictureIcon(HINSTANCE instance, const wchar_t* resource);
// Shows icon in an SS_ICON static control (a null icon leaves it empty).
void ShowIcon(HWND picture, HICON icon);

}  // namespace velmora::platform::win32

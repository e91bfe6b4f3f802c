// Screenshots of a window as 24-bit BMP files, taken from the screen.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::e2e {

// Copies the window's outer rectangle from the screen into a BMP file.
bool WriteScreenshot(HWND window, const std::wstring& path);

}  // namespace velmora::e2e

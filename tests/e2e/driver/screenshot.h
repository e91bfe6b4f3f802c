// Screenshots of a window as 24-bit BMP files, and colours, taken from the
// screen.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "window_queries.h"

namespace velmora::e2e {

// Copies the window's outer rectangle from the screen into a BMP file.
bool WriteScreenshot(HWND window, const std::wstring& path);
// The darkest colour on screen in the box (screen pixels): for a box inside
// a line of text, the colour of its text, which fills the inside of strokes
// whatever smoothing blends at their edges.
std::optional<COLORREF> DarkestPixel(const Box& box);

}  // namespace velmora::e2e

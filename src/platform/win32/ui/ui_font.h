// The windows' font: "ＭＳ ゴシック", normal weight, Shift-JIS character set,
// at a point size converted with the real dpi.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/common/unique_gdi_handles.h"

namespace velmora::platform::win32 {

inline constexpr wchar_t kUiFontFace[] = L"ＭＳ ゴシック";
inline constexpr int kFormFontCentipoints = 975;    // 9.75 points
inline constexpr int kLargeFontCentipoints = 1200;  // 12 points

// Throws std::runtime_error when the font cannot be created.
UniqueHfont CreateUiFont(int centipoints, UINT dpi);

// The size of text drawn on one line in font, measured on window's DC.
SIZE MeasureText(HWND window, HFONT font, std::wstring_view text);
// The height of a line of text in font (its cell height), on window's DC.
int LineHeight(HWND window, HFONT font);

}  // namespace velmora::platform::win32

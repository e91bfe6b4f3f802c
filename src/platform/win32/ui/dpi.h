// Dots per inch: the conversions between twips, pixels and font heights, and
// where the real dpi comes from.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr UINT kDefaultDpi = 96;

// Whole twips to pixels, rounded to the nearest pixel (half away from zero).
int TwipsToPixels(int twips, UINT dpi);
// Fractional twips (a centred position can end in half a twip) to pixels.
int TwipsToPixels(float twips, UINT dpi);
float PixelsToTwips(int pixels, UINT dpi);
// The LOGFONT height of a font of hundredths of a point: negative, so that
// it is the character height rather than the cell height.
int FontHeightForDpi(int centipoints, UINT dpi);

// The dpi the window is drawn at: GetDpiForWindow where the system has it,
// else the screen's LOGPIXELSY.
UINT WindowDpi(HWND window);

// Declares this process aware of per-monitor dpi when the manifest has not
// done so already (SetProcessDpiAwarenessContext, else SetProcessDPIAware).
void DeclareDpiAwareness();

// The outer size of a window whose client area is clientWidth x clientHeight
// pixels, frame and caption drawn at dpi.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);
// Sizes window so that its client area is clientWidth x clientHeight twips
// at dpi; the position stays.  Throws when the system refuses.
void SizeClientInTwips(HWND window, int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                       UINT dpi);

}  // namespace velmora::platform::win32

// One line of an owner-drawn list, drawn as the system draws a plain list's
// lines, or in grey text with a note after it when the line is stale.
#pragma once

#include <windows.h>

#include <string_view>

namespace velmora::platform::win32 {

// item as WM_DRAWITEM gives it; font is the list's; note is empty for a
// line drawn as any other.  The line's own text is never changed.
void DrawListLine(const DRAWITEMSTRUCT& item, HFONT font, std::wstring_view text,
                  std::wstring_view note, UINT dpi);

}  // namespace velmora::platform::win32

// Input to another process's windows: real keystrokes and mouse clicks
// through SendInput, and posted clicks on list lines and buttons.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace velmora::e2e {

// Brings the window to the front, then presses the keys in order and
// releases them in reverse order (a chord such as Alt+U). False when the
// input was refused; throws ScenarioSkipped when the system keeps the window
// from the front, where the keys would go to another.
bool PressKeys(HWND window, std::initializer_list<WORD> keys);
// A real left click at a point of the screen.
bool ClickScreenAt(POINT point);
POINT CentreOf(const RECT& rect);

// Posts a left click (or a double click) on a line of a list box.
void PostClickOnLine(HWND list, int index, bool doubleClick = false);
// Posts BM_CLICK, so that a handler that opens a modal window does not
// block the driver.
void PostButtonClick(HWND button);
// Makes the window repaint at once.
void ForceRepaint(HWND window);

}  // namespace velmora::e2e

// Finding and reading the windows of another process: top-level windows by
// process and caption, controls, list lines, message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::e2e {

// A rectangle as position and size, in pixels.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box&) const = default;
};
std::wstring ToText(const Box& box);
// The rectangle given in twips, in pixels at the screen's dots per inch.
Box BoxFromTwips(int left, int top, int width, int height);

std::wstring TextOf(HWND window);
bool IsClass(HWND window, std::wstring_view className);

// The visible top-level windows of a process with that caption.
std::vector<HWND> TopLevelWindowsOf(DWORD processId, std::wstring_view caption);
// Every visible top-level window as "class "caption" pid N (program.exe)",
// for a failed check's report.
std::vector<std::wstring> DescribeTopLevelWindows();
// The file name of a running process's program, or "?" when it cannot be read.
std::wstring ProgramNameOf(DWORD processId);
// Every descendant of a window, children of children included; without a
// window, every top-level window.
std::vector<HWND> DescendantsOf(HWND parent);
// The first descendant for which `match` holds, or null.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& match);
// The first descendant of that class and text, or null.
HWND FindControl(HWND parent, std::wstring_view className, std::wstring_view text);
// The first static control of that SS_ type (SS_ICON for a picture), or null.
HWND FindStatic(HWND parent, LONG_PTR type);

// Outer rectangle in screen pixels.
Box OuterBox(HWND window);
// A control's outer rectangle relative to the top-left of a window's client area.
Box BoxInClient(HWND control, HWND window);
// The control holding the keyboard focus in the thread of that window.
HWND FocusOf(HWND window);

// A list box of another process, read through its messages.
class ListView {
  public:
    explicit ListView(HWND list) : list_(list) {}
    int Count() const;
    std::wstring Line(int index) const;
    std::vector<std::wstring> Lines() const;
    int Selected() const;
    RECT ItemRect(int index) const;
    // The first line equal to text (exact, case-sensitive), or -1.
    int IndexOf(std::wstring_view text) const;
    // How many lines equal text.
    int CountOf(std::wstring_view text) const;

  private:
    HWND list_;
};

// Message boxes: top-level dialogs of the process captioned as the program.
std::vector<HWND> MessageBoxesOf(DWORD processId);
std::wstring MessageBoxText(HWND box);
// True when the box shows a button with that id (IDOK, IDYES, IDNO, ...).
bool HasVisibleButton(HWND box, int id);
bool HasIcon(HWND box);

// A text's extent in the user-interface font at that size (points times
// 100), and in `lineHeight` the font's line height, in pixels.
SIZE MeasureText(std::wstring_view text, int pointsTimes100, int* lineHeight = nullptr);

}  // namespace velmora::e2e

// Finding and reading the windows of another process: top-level windows by
// process and caption, controls by class and text, list lines, message boxes.
#pragma once

#include <windows.h>

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
int PixelsFromTwips(int twips);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
bool IsClass(HWND window, std::wstring_view className);
DWORD ProcessOf(HWND window);

// The visible top-level windows of a process.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The visible top-level window of a process with that caption, or null.
HWND FindTopLevel(DWORD processId, std::wstring_view caption);
// Every descendant of a window, children of children included.
std::vector<HWND> DescendantsOf(HWND parent);
// The first descendant of that class and text, or null.
HWND FindControl(HWND parent, std::wstring_view className, std::wstring_view text);

// Outer rectangle in screen pixels.
Box OuterBox(HWND window);
// A control's outer rectangle relative to the top-left of another window's
// client area.
Box BoxInClient(HWND control, HWND window);
SIZE ClientSize(HWND window);
// True when the outer rectangle's centre lies within one pixel of the
// primary screen's centre.
bool IsCentredOnScreen(HWND window);
// Where the window is, for a failure message.
std::wstring DescribePlacement(HWND window);
// The control holding the keyboard focus in the thread of that window.
HWND FocusOf(HWND window);

// A list box of another process, read through its messages.
class ListView {
  public:
    explicit ListView(HWND list) : list_(list) {}
    HWND Handle() const { return list_; }
    int Count() const;
    std::wstring Line(int index) const;
    std::vector<std::wstring> Lines() const;
    int Selected() const;
    RECT ItemRect(int index) const;
    int ItemHeight() const;
    // The first line equal to text (exact, case-sensitive), or -1.
    int IndexOf(std::wstring_view text) const;
    // The list's own exact search (LB_FINDSTRINGEXACT), or -1.
    int FindExact(const std::wstring& text) const;

  private:
    HWND list_;
};

// Message boxes: top-level dialogs of the process captioned as the program.
inline constexpr wchar_t kMessageBoxCaption[] = L"Velmora";
std::vector<HWND> MessageBoxesOf(DWORD processId);
// Waits for one to appear; null when none did.
HWND WaitForMessageBox(DWORD processId);
std::wstring MessageBoxText(HWND box);
// True when the box shows a button with that id (IDOK, IDYES, IDNO, ...).
bool HasVisibleButton(HWND box, int id);
// True when the box shows an icon.
bool HasIcon(HWND box);

// Text width and line height of a text in a font, in pixels.
SIZE MeasureText(std::wstring_view text, std::wstring_view faceName, int pointsTimes100,
                 BYTE charSet);
// The height of one line of the font (its tmHeight), in pixels.
int LineHeight(std::wstring_view faceName, int pointsTimes100, BYTE charSet);

}  // namespace velmora::e2e

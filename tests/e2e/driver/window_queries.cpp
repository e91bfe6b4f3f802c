#include "window_queries.h"

#include <vector>

#include "handles.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 3000;
// Wine's message box template: the text is the static with id -1, the icon
// the static with id 0x440.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

int ScreenDpi() {
    const ScreenDc screen;
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

UniqueFont CreatePointFont(std::wstring_view faceName, int pointsTimes100, BYTE charSet, HDC dc) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(pointsTimes100, GetDeviceCaps(dc, LOGPIXELSY), 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charSet;
    faceName.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

std::wstring ToText(const Box& box) {
    return L"(" + std::to_wstring(box.left) + L"," + std::to_wstring(box.top) + L" " +
           std::to_wstring(box.width) + L"x" + std::to_wstring(box.height) + L")";
}

int PixelsFromTwips(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }

Box BoxFromTwips(int left, int top, int width, int height) {
    return {PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
            PixelsFromTwips(height)};
}

std::wstring TextOf(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

bool IsClass(HWND window, std::wstring_view className) {
    return lstrcmpiW(ClassOf(window).c_str(), std::wstring(className).c_str()) == 0;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (ProcessOf(window) == s.processId && IsWindowVisible(window)) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevel(DWORD processId, std::wstring_view caption) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (TextOf(window) == caption) return window;
    }
    return nullptr;
}

std::vector<HWND> DescendantsOf(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindControl(HWND parent, std::wstring_view className, std::wstring_view text) {
    for (HWND child : DescendantsOf(parent)) {
        if (IsClass(child, className) && TextOf(child) == text) return child;
    }
    return nullptr;
}

Box OuterBox(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Box BoxInClient(HWND control, HWND window) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool IsCentredOnScreen(HWND window) {
    const Box outer = OuterBox(window);
    // Twice the centres, to stay in whole numbers.
    const int dx = (2 * outer.left + outer.width) - GetSystemMetrics(SM_CXSCREEN);
    const int dy = (2 * outer.top + outer.height) - GetSystemMetrics(SM_CYSCREEN);
    return dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2;
}

std::wstring DescribePlacement(HWND window) {
    return L"outer " + ToText(OuterBox(window)) + L" on a " +
           std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
           std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L" screen";
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int ListView::Count() const { return static_cast<int>(Send(list_, LB_GETCOUNT, 0, 0)); }

std::wstring ListView::Line(int index) const {
    const LRESULT length = Send(list_, LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::vector<std::wstring> ListView::Lines() const {
    std::vector<std::wstring> lines;
    const int count = Count();
    for (int i = 0; i < count; ++i) lines.push_back(Line(i));
    return lines;
}

int ListView::Selected() const { return static_cast<int>(Send(list_, LB_GETCURSEL, 0, 0)); }

RECT ListView::ItemRect(int index) const {
    RECT rect{};
    Send(list_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

int ListView::ItemHeight() const { return static_cast<int>(Send(list_, LB_GETITEMHEIGHT, 0, 0)); }

int ListView::IndexOf(std::wstring_view text) const {
    const auto lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == text) return static_cast<int>(i);
    }
    return -1;
}

int ListView::FindExact(const std::wstring& text) const {
    const LRESULT found = Send(list_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str()));
    return found == LB_ERR ? -1 : static_cast<int>(found);
}

std::vector<HWND> MessageBoxesOf(DWORD processId) {
    std::vector<HWND> boxes;
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (IsClass(window, L"#32770") && TextOf(window) == kMessageBoxCaption) {
            boxes.push_back(window);
        }
    }
    return boxes;
}

HWND WaitForMessageBox(DWORD processId) {
    HWND box = nullptr;
    WaitUntil([&] {
        const auto boxes = MessageBoxesOf(processId);
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
    });
    return box;
}

std::wstring MessageBoxText(HWND box) {
    for (HWND child : DescendantsOf(box)) {
        if ((GetDlgCtrlID(child) & 0xFFFF) == kMessageTextId && IsClass(child, L"Static")) {
            return TextOf(child);
        }
    }
    return {};
}

bool HasVisibleButton(HWND box, int id) {
    const HWND button = GetDlgItem(box, id);
    return button != nullptr && IsWindowVisible(button);
}

bool HasIcon(HWND box) {
    const HWND icon = GetDlgItem(box, kMessageIconId);
    return icon != nullptr && IsWindowVisible(icon) && Send(icon, STM_GETICON, 0, 0) > 0;
}

SIZE MeasureText(std::wstring_view text, std::wstring_view faceName, int pointsTimes100,
                 BYTE charSet) {
    const ScreenDc screen;
    const UniqueFont font = CreatePointFont(faceName, pointsTimes100, charSet, screen.Get());
    const SelectedObject selected(screen.Get(), font.Get());
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int LineHeight(std::wstring_view faceName, int pointsTimes100, BYTE charSet) {
    const ScreenDc screen;
    const UniqueFont font = CreatePointFont(faceName, pointsTimes100, charSet, screen.Get());
    const SelectedObject selected(screen.Get(), font.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmHeight;
}

}  // namespace velmora::e2e

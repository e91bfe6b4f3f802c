#include "window_queries.h"

#include <algorithm>
#include <utility>

#include "checks.h"
#include "handles.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

// Wine's message box template: the text is the static with id -1, the icon
// the static with id 0x440.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;
constexpr wchar_t kUiFontFace[] = L"ＭＳ ゴシック";

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

// Reads a text of the given length with a WM_GETTEXT-like message.
std::wstring ReadText(HWND window, LRESULT length, UINT message, WPARAM wParam) {
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(window, message, wParam, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace

std::wstring ToText(const Box& box) {
    return L"(" + std::to_wstring(box.left) + L"," + std::to_wstring(box.top) + L" " +
           std::to_wstring(box.width) + L"x" + std::to_wstring(box.height) + L")";
}

Box BoxFromTwips(int left, int top, int width, int height) {
    const ScreenDc screen(GetDC(nullptr));
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const auto pixels = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

std::wstring TextOf(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    return ReadText(window, length, WM_GETTEXT, length + 1);
}

bool IsClass(HWND window, std::wstring_view className) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return lstrcmpiW(name, std::wstring(className).c_str()) == 0;
}

std::vector<HWND> DescendantsOf(HWND parent) {
    std::vector<HWND> found;
    const WNDENUMPROC add = [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
    };
    // Without a parent, the top-level windows.
    parent ? EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&found))
           : EnumWindows(add, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, std::wstring_view caption) {
    auto windows = DescendantsOf(nullptr);
    std::erase_if(windows, [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner != processId || !IsWindowVisible(window) || TextOf(window) != caption;
    });
    return windows;
}

std::wstring ProgramNameOf(DWORD processId) {
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return L"?";
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return L"?";
    path.resize(length);
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::vector<std::wstring> DescribeTopLevelWindows() {
    std::vector<std::wstring> lines;
    for (const HWND window : DescendantsOf(nullptr)) {
        if (!IsWindowVisible(window)) continue;
        wchar_t className[256] = {};
        GetClassNameW(window, className, 256);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        lines.push_back(std::wstring(className) + L" " + Quote(TextOf(window)) + L" pid " +
                        std::to_wstring(processId) + L" (" + ProgramNameOf(processId) + L")");
    }
    if (lines.empty()) lines.push_back(L"(none)");
    return lines;
}

HWND FindChild(HWND parent, const std::function<bool(HWND)>& match) {
    const auto children = DescendantsOf(parent);
    const auto found = std::ranges::find_if(children, match);
    return found == children.end() ? nullptr : *found;
}

HWND FindControl(HWND parent, std::wstring_view className, std::wstring_view text) {
    return FindChild(parent, [&](HWND c) { return IsClass(c, className) && TextOf(c) == text; });
}

HWND FindStatic(HWND parent, LONG_PTR type) {
    return FindChild(parent, [&](HWND c) {
        return IsClass(c, L"Static") && (GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == type;
    });
}

Box OuterBox(HWND window) { return BoxInClient(window, nullptr); }

Box BoxInClient(HWND control, HWND window) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int ListView::Count() const { return static_cast<int>(Send(list_, LB_GETCOUNT, 0, 0)); }

std::wstring ListView::Line(int index) const {
    return ReadText(list_, Send(list_, LB_GETTEXTLEN, index, 0), LB_GETTEXT, index);
}

std::vector<std::wstring> ListView::Lines() const {
    std::vector<std::wstring> lines;
    for (int i = 0, count = Count(); i < count; ++i) lines.push_back(Line(i));
    return lines;
}

int ListView::Selected() const { return static_cast<int>(Send(list_, LB_GETCURSEL, 0, 0)); }

RECT ListView::ItemRect(int index) const {
    RECT rect{};
    Send(list_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

int ListView::IndexOf(std::wstring_view text) const {
    const auto lines = Lines();
    const auto found = std::ranges::find(lines, text);
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

int ListView::CountOf(std::wstring_view text) const {
    return static_cast<int>(std::ranges::count(Lines(), text));
}

std::vector<HWND> MessageBoxesOf(DWORD processId) {
    auto boxes = TopLevelWindowsOf(processId, L"Velmora");
    std::erase_if(boxes, [](HWND window) { return !IsClass(window, L"#32770"); });
    return boxes;
}

std::wstring MessageBoxText(HWND box) {
    const HWND text = FindChild(box, [](HWND c) {
        return (GetDlgCtrlID(c) & 0xFFFF) == kMessageTextId && IsClass(c, L"Static");
    });
    return text ? TextOf(text) : L"";
}

bool HasVisibleButton(HWND box, int id) {
    const HWND button = GetDlgItem(box, id);
    return button != nullptr && IsWindowVisible(button);
}

bool HasIcon(HWND box) {
    const HWND icon = GetDlgItem(box, kMessageIconId);
    return icon != nullptr && IsWindowVisible(icon) && Send(icon, STM_GETICON, 0, 0) > 0;
}

SIZE MeasureText(std::wstring_view text, int pointsTimes100, int* lineHeight) {
    const ScreenDc screen(GetDC(nullptr));
    LOGFONTW logFont{};
    logFont.lfHeight = -MulDiv(pointsTimes100, GetDeviceCaps(screen.get(), LOGPIXELSY), 7200);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(logFont.lfFaceName, kUiFontFace, LF_FACESIZE);
    const UniqueFont font(CreateFontIndirectW(&logFont));
    const SelectedObject selected(screen.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.data(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    if (lineHeight) *lineHeight = metrics.tmHeight;
    return size;
}

}  // namespace velmora::e2e

#include <optional>

#include "handles.h"
#include "scenarios.h"

namespace velmora::e2e {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

// Wine gives a process the dpi held in the user's LogPixels value when it
// starts.  Sets it for the program started next and puts back what was there
// (or removes it) when done.
class StagedLogPixels {
  public:
    explicit StagedLogPixels(DWORD dpi) {
        HKEY opened = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &opened,
                            nullptr) != ERROR_SUCCESS) {
            return;
        }
        key_.reset(opened);
        DWORD previous = 0;
        DWORD type = 0;
        DWORD size = sizeof previous;
        if (RegQueryValueExW(opened, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&previous),
                             &size) == ERROR_SUCCESS &&
            type == REG_DWORD) {
            previous_ = previous;
        }
        staged_ = Set(dpi);
    }
    ~StagedLogPixels() {
        if (!key_) return;
        if (previous_) {
            Set(*previous_);
        } else {
            RegDeleteValueW(key_.get(), kLogPixels);
        }
    }
    StagedLogPixels(const StagedLogPixels&) = delete;
    StagedLogPixels& operator=(const StagedLogPixels&) = delete;

    bool Staged() const { return staged_; }

  private:
    bool Set(DWORD dpi) const {
        return RegSetValueExW(key_.get(), kLogPixels, 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) == ERROR_SUCCESS;
    }

    UniqueHkey key_;
    std::optional<DWORD> previous_;
    bool staged_ = false;
};

}  // namespace

void HighDpiScenario(Checks& checks, const Environment& environment) {
    if (!RunningUnderWine()) {
        throw ScenarioSkipped(
            "Windows reads LogPixels at sign-in only, and gives a dpi-aware "
            "program its monitor's dpi: only Wine lets a test choose it");
    }
    constexpr int kDpi = 144;
    const StagedLogPixels logPixels(kDpi);
    checks.Require(logPixels.Staged(), L"LogPixels 144 is set for the program's start");
    const Session s(checks, environment);
    // The client area shows that the program really runs at 144 dpi; the
    // window and the screen must then be measured in one unit to centre.
    RECT client{};
    GetClientRect(s.main.window, &client);
    const int width = MulDiv(8745, kDpi, 1440);
    const int height = MulDiv(4140, kDpi, 1440);
    checks.Check(client.right == width && client.bottom == height,
                 L"at 144 dpi the main window's client area is " + std::to_wstring(width) + L"x" +
                     std::to_wstring(height),
                 L"it is " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    CheckCentred(checks, s.main.window, L"at 144 dpi the main window is centred on the screen");
    // The list draws its own lines: they must be as tall as its 12-point
    // font at 144 dpi, which is 18 points at this driver's 96.
    int lineHeight = 0;
    MeasureText(L"あ", 1800, &lineHeight);
    const auto itemHeight = static_cast<int>(SendMessageW(s.main.list, LB_GETITEMHEIGHT, 0, 0));
    checks.Check(itemHeight == lineHeight,
                 L"at 144 dpi each line of the list is as tall as its font's line, "
                 L"so no line is clipped",
                 L"lines are " + std::to_wstring(itemHeight) + L" pixels, the font's " +
                     std::to_wstring(lineHeight));
}

}  // namespace velmora::e2e

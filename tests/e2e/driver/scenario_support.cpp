#include "scenario_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "user_input.h"

namespace velmora::e2e {

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

void CheckLayout(Checks& checks, HWND window, int widthTwips, int heightTwips,
                 std::initializer_list<Placement> placements) {
    RECT client{};
    GetClientRect(window, &client);
    const Box expected = BoxFromTwips(0, 0, widthTwips, heightTwips);
    checks.Check(client.right == expected.width && client.bottom == expected.height,
                 L"the client area of " + Quote(TextOf(window)) + L" is " + ToText(expected),
                 L"it is " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    for (const auto& [control, name, expected] : placements) {
        const Box actual = control ? BoxInClient(control, window) : Box{};
        checks.Check(control && actual == expected,
                     std::wstring(name) + L" sits at " + ToText(expected),
                     control ? L"it sits at " + ToText(actual) : L"it was not found");
    }
}

void CheckLabel(Checks& checks, HWND label, HWND parent, int leftTwips, int topTwips) {
    const std::wstring text = TextOf(label);
    const Box actual = label ? BoxInClient(label, parent) : Box{};
    const Box at = BoxFromTwips(leftTwips, topTwips, 0, 0);
    int lineHeight = 0;
    const SIZE size = MeasureText(text, 975, &lineHeight);
    checks.Check(label && actual.left == at.left && actual.top == at.top &&
                     actual.height >= size.cy && actual.height < 2 * lineHeight &&
                     actual.width >= size.cx,
                 L"the label " + Quote(text) + L" starts at " + ToText(at) +
                     L", one line high, as wide as its text",
                 L"it sits at " + ToText(actual) + L", its text is " + std::to_wstring(size.cx) +
                     L"x" + std::to_wstring(size.cy));
}

void CheckCentred(Checks& checks, HWND window, std::wstring_view what) {
    const Box outer = OuterBox(window);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Within a pixel; twice the centres, to stay in whole numbers.
    checks.Check(std::abs(2 * outer.left + outer.width - screenWidth) <= 2 &&
                     std::abs(2 * outer.top + outer.height - screenHeight) <= 2,
                 what,
                 L"outer " + ToText(outer) + L" on a " + std::to_wstring(screenWidth) + L"x" +
                     std::to_wstring(screenHeight) + L" screen");
}

void CheckRegistryAfter(Checks& checks, const RegistrySnapshot& before, std::wstring_view what,
                        const std::wstring& removedPath) {
    const auto differences =
        SnapshotDifferences(ExpectedAfter(before, removedPath), TakeRegistrySnapshot());
    checks.Check(differences.empty(), what, Describe(differences));
}

namespace {

// The driver's environment block with the changes made: a changed variable
// keeps its place, a new one goes at the end.
std::wstring EnvironmentBlock(const EnvironmentChanges& changes) {
    std::vector<std::wstring> variables;
    if (wchar_t* const block = GetEnvironmentStringsW()) {
        for (const wchar_t* at = block; *at != L'\0'; at += variables.back().size() + 1) {
            variables.emplace_back(at);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : changes) {
        const std::wstring prefix = name + L"=";
        const auto same = std::ranges::find_if(variables, [&](const std::wstring& variable) {
            return CompareStringOrdinal(variable.c_str(), static_cast<int>(prefix.size()),
                                        prefix.c_str(), static_cast<int>(prefix.size()),
                                        TRUE) == CSTR_EQUAL;
        });
        if (same != variables.end()) {
            *same = prefix + value;
        } else {
            variables.push_back(prefix + value);
        }
    }
    std::wstring block;
    for (const auto& variable : variables) block += variable + L'\0';
    return block + L'\0';
}

}  // namespace

Session::Session(Checks& checks, const Environment& environment, const EnvironmentChanges& changes)
    : checks(checks), observing_(checks, [this] { return State(); }) {
    // No standard handles: the program and whatever it starts must not keep
    // the test runner's output pipe open after the driver has ended.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = Quote(environment.program);
    std::wstring block = changes.empty() ? std::wstring() : EnvironmentBlock(changes);
    if (!CreateProcessW(environment.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, block.empty() ? nullptr : block.data(), nullptr,
                        &startup, &started)) {
        throw std::runtime_error("CreateProcessW failed with error " +
                                 std::to_string(GetLastError()));
    }
    process_.reset(started.hProcess);
    CloseHandle(started.hThread);
    processId_ = started.dwProcessId;
    started_ = std::chrono::steady_clock::now();

    const HWND window = FindWindowCaptioned(L"Velmora Ver 1.0.3", kFirstWindowTimeout);
    const auto button = [&](const wchar_t* text) { return FindControl(window, L"Button", text); };
    const auto label = [&](const wchar_t* text) { return FindControl(window, L"Static", text); };
    if (window) {
        main = {window,
                FindChild(window, [](HWND c) { return IsClass(c, L"ListBox"); }),
                FindChild(window, [](HWND c) { return IsClass(c, L"Edit"); }),
                button(L"表示更新(&U)"),
                button(L"情報の削除(&D)"),
                button(L"追加と削除(&R)"),
                button(L"バージョン情報(&V)"),
                button(L"終了(&E)"),
                label(L"アンインストール可能プログラム一覧："),
                label(L"コマンドライン情報："),
                FindStatic(window, SS_ICON)};
    }
    list = ListView(main.list);
    checks.Require(window && main.list && main.commandText && main.update && main.remove &&
                       main.run && main.version && main.end,
                   L"the main window \"Velmora Ver 1.0.3\" appears with its list, text box and "
                   L"five buttons");
}

std::wstring Session::State() const {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    wchar_t since[48];
    std::swprintf(since, 48, L" (started %.1f s ago)", seconds);
    DWORD code = 0;
    const std::wstring program = L"velmora.exe pid " + std::to_wstring(processId_);
    if (!GetExitCodeProcess(process_.get(), &code)) return program + L": state unknown" + since;
    if (code == STILL_ACTIVE && Running()) return program + L" is running" + since;
    wchar_t exitCode[32];
    std::swprintf(exitCode, 32, L"0x%08lX", static_cast<unsigned long>(code));
    return program + L" has ended with exit code " + exitCode + since;
}

bool Session::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

std::chrono::milliseconds Session::CpuTime() const {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process_.get(), &created, &ended, &kernel, &user)) return {};
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return std::chrono::milliseconds((ticks(kernel) + ticks(user)) / 10000);  // 100 ns units
}

HWND Session::FindWindowCaptioned(std::wstring_view caption,
                                  std::chrono::milliseconds timeout) const {
    std::vector<HWND> windows;
    WaitUntil([&] { return !(windows = TopLevelWindowsOf(processId_, caption)).empty(); }, timeout);
    return windows.empty() ? nullptr : windows.front();
}

bool Session::WaitForCommandText(std::wstring_view text) const {
    return WaitUntil([&] { return CommandText() == text; });
}

bool Session::Select(std::wstring_view line, std::wstring_view command) const {
    const auto lines = list.Lines();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i] != line) continue;
        // Scroll the line into view first, as a user would.
        SendMessageTimeoutW(main.list, LB_SETTOPINDEX, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                            nullptr);
        PostClickOnLine(main.list, i);
        if (WaitUntil([&] { return list.Selected() == i; }) &&
            (command.empty() || WaitForCommandText(command))) {
            return true;
        }
    }
    return false;
}

bool Session::NoMessageBoxAppears() const {
    Settle();
    return MessageBoxesOf(processId_).empty();
}

HWND Session::ExpectBox(std::wstring_view text, bool question, std::wstring_view what) const {
    std::vector<HWND> boxes;
    WaitUntil([&] { return !(boxes = MessageBoxes()).empty(); });
    const HWND box = boxes.empty() ? nullptr : boxes.front();
    const std::wstring shown = box ? MessageBoxText(box) : L"no message box";
    checks.Require(box && shown == text && HasVisibleButton(box, IDOK) != question &&
                       HasVisibleButton(box, IDYES) == question &&
                       HasVisibleButton(box, IDNO) == question && HasIcon(box) == question,
                   std::wstring(what) + L": a box says " + Quote(text) +
                       (question ? L" with Yes, No and an icon" : L" with an OK button only"),
                   L"it says " + Quote(shown));
    return box;
}

void Session::ExpectNotice(std::wstring_view text, std::wstring_view situation) const {
    checks.Require(AnswerMessageBox(ExpectBox(text, false, situation), IDOK),
                   std::wstring(situation) + L": OK closes the box");
}

HWND Session::AskToDelete(std::wstring_view line, bool byKeys) const {
    if (byKeys) {
        PressKeys(main.window, {VK_MENU, 'D'});
    } else {
        PostButtonClick(main.remove);
    }
    return ExpectBox(
        L"[ " + std::wstring(line) + L" ]の登録をレジストリから削除しますがよろしいですか？", true,
        L"delete " + Quote(line) + (byKeys ? L" by Alt+D" : L""));
}

void Session::DeleteSelected(std::wstring_view line, Root root, const std::wstring& keyName,
                             bool byKeys) const {
    const auto before = TakeRegistrySnapshot();
    const int lines = list.CountOf(line);
    const HWND box = AskToDelete(line, byKeys);
    const std::wstring what = L"delete " + Quote(line) + L", answered Yes: ";
    checks.Check(AnswerMessageBox(box, IDYES) &&
                     WaitUntil([&] { return list.CountOf(line) == lines - 1; }) &&
                     NoMessageBoxAppears() && CommandText().empty(),
                 what + L"its line goes, no message, the box is emptied");
    CheckRegistryAfter(checks, before, what + L"its key is the only change to the registry",
                       SnapshotPath(root, SeedKeyName(keyName)));
}

void Session::DeleteFails(std::wstring_view line, const RegistrySnapshot& before, bool stillListed,
                          const std::wstring& removedPath, std::wstring_view notice) const {
    const std::wstring what = L"failed delete of " + Quote(line);
    checks.Check(AnswerMessageBox(AskToDelete(line), IDYES), what + L": Yes");
    ExpectNotice(notice, what);
    checks.Check(WaitUntil([&] {
                     return list.Selected() == -1 && CommandText().empty() &&
                            (list.IndexOf(line) >= 0) == stillListed;
                 }),
                 what + L": the list is rescanned and " +
                     (stillListed ? L"still shows it" : L"no longer shows it"));
    CheckRegistryAfter(checks, before, what + L": nothing else changes in the registry",
                       removedPath);
}

bool AnswerMessageBox(HWND box, int buttonId) {
    const HWND button = GetDlgItem(box, buttonId);
    if (button == nullptr) return false;
    PostButtonClick(button);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

}  // namespace velmora::e2e

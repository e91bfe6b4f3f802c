#include "scenario_support.h"

#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {

std::wstring DeleteQuestion(std::wstring_view line) {
    return L"[ " + std::wstring(line) + L" ]の登録をレジストリから削除しますがよろしいですか？";
}

MainWindow RequireMainWindow(Checks& checks, const VelmoraProcess& process) {
    const auto main = WaitForMainWindow(process);
    checks.Require(main.has_value(), L"the main window appears with its caption",
                   L"no visible window captioned " + Quote(kMainCaption));
    const bool complete = main->list && main->commandText && main->update && main->remove &&
                          main->run && main->version && main->end;
    checks.Require(complete, L"the main window has its list, text box and five buttons");
    return *main;
}

bool SelectLine(const MainWindow& main, std::wstring_view text) {
    const ListView list(main.list);
    const int index = list.IndexOf(text);
    if (index < 0) return false;
    RECT client{};
    GetClientRect(main.list, &client);
    const RECT item = list.ItemRect(index);
    if (item.top < client.top || item.bottom > client.bottom) {
        // Scroll the line into view first, as a user would.
        SendMessageTimeoutW(main.list, LB_SETTOPINDEX, index, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    PostClickOnLine(main.list, index);
    return WaitUntil([&] { return list.Selected() == index; });
}

int SelectLineShowing(const MainWindow& main, const std::wstring& line,
                      const std::wstring& command) {
    const ListView list(main.list);
    const auto lines = list.Lines();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i] != line) continue;
        PostClickOnLine(main.list, i);
        if (WaitUntil([&] { return list.Selected() == i; }) && WaitForCommandText(main, command)) {
            return i;
        }
    }
    return -1;
}

bool DeleteSelectedLine(const VelmoraProcess& process, const MainWindow& main,
                        std::wstring_view line) {
    PostButtonClick(main.remove);
    const HWND box = WaitForMessageBox(process.Id());
    return box != nullptr && MessageBoxText(box) == DeleteQuestion(line) &&
           AnswerMessageBox(box, IDYES);
}

bool WaitForCommandText(const MainWindow& main, std::wstring_view text) {
    return WaitUntil([&] { return TextOf(main.commandText) == text; });
}

bool AnswerMessageBox(HWND box, int buttonId) {
    const HWND button = GetDlgItem(box, buttonId);
    if (button == nullptr) return false;
    PostButtonClick(button);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void ExpectNotice(Checks& checks, const VelmoraProcess& process, std::wstring_view text,
                  std::wstring_view situation) {
    const HWND box = WaitForMessageBox(process.Id());
    checks.Require(box != nullptr, std::wstring(situation) + L": a message box appears");
    const std::wstring shown = MessageBoxText(box);
    checks.Check(shown == text, std::wstring(situation) + L": it says " + Quote(text),
                 L"it says " + Quote(shown));
    checks.Check(HasVisibleButton(box, IDOK) && !HasVisibleButton(box, IDYES) &&
                     !HasVisibleButton(box, IDNO) && !HasIcon(box),
                 std::wstring(situation) + L": it has an OK button only and no icon");
    checks.Check(AnswerMessageBox(box, IDOK), std::wstring(situation) + L": OK closes it");
}

void CheckCentred(Checks& checks, HWND window, std::wstring_view what) {
    const bool centred = IsCentredOnScreen(window);
    checks.Check(centred, what, DescribePlacement(window));
}

bool NoMessageBoxAppears(const VelmoraProcess& process) {
    Settle();
    return MessageBoxesOf(process.Id()).empty();
}

std::wstring FakeUninstallCommand(const Environment& environment, Root root,
                                  const std::wstring& keyName) {
    return Quote(environment.fakeUninstaller) + L" " + RootArgument(root) + L" " +
           SeedKeyName(keyName);
}

void CheckRegistryAfter(Checks& checks, const RegistrySnapshot& before, std::wstring_view what,
                        const std::wstring& removedPath) {
    const auto differences =
        SnapshotDifferences(ExpectedAfter(before, removedPath), TakeRegistrySnapshot());
    checks.Check(differences.empty(), what,
                 L"compared with what was expected: " + Describe(differences));
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

std::wstring Abbreviated(std::wstring_view text) {
    constexpr size_t kShown = 40;
    if (text.size() <= kShown) return std::wstring(text);
    return std::wstring(text.substr(0, kShown)) + L"... (" + std::to_wstring(text.size()) +
           L" characters)";
}

}  // namespace velmora::e2e

#include <chrono>
#include <cstdio>

#include "registry_seed.h"
#include "scenarios.h"
#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {

void EndingScenario(Checks& checks, const Environment& environment) {
    {
        VelmoraProcess process(environment.program);
        const MainWindow main = RequireMainWindow(checks, process);
        checks.Check(PressKeys(main.window, {VK_MENU, 'E'}) && process.WaitForExit(),
                     L"Alt+E ends the program");
    }
    {
        VelmoraProcess process(environment.program);
        const MainWindow main = RequireMainWindow(checks, process);
        PostMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        checks.Check(process.WaitForExit(), L"the window's close command ends the program");
    }
    {
        VelmoraProcess process(environment.program);
        const MainWindow main = RequireMainWindow(checks, process);
        PostMessageW(main.window, WM_CLOSE, 0, 0);
        checks.Check(process.WaitForExit(), L"closing the window (WM_CLOSE) ends the program");
    }
}

void TimingScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const int existing = static_cast<int>(ListableNames().size());
    checks.Require(existing < kTableSlots, L"the registry leaves room for the full table");
    for (int i = 0; i < kTableSlots - existing; ++i) {
        wchar_t number[8];
        std::swprintf(number, 8, L"%03d", i);
        seed.Add({Root::kMachine, std::wstring(L"Bulk") + number,
                  std::wstring(L"VelmoraE2E Bulk ") + number,
                  std::wstring(L"Z:\\velmora-e2e\\bulk\\uninstall") + number + L".exe"});
    }

    const auto started = std::chrono::steady_clock::now();
    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);
    const bool full = WaitUntil([&] { return list.Count() == kTableSlots; }, 20s);
    const long long startUp = MillisecondsSince(started);
    checks.Check(full, L"all 257 entries of a full table are listed",
                 L"the list holds " + std::to_wstring(list.Count()));
    checks.Note(L"TIME  start to a populated list of 257 entries: " + std::to_wstring(startUp) +
                L" ms");
    checks.Note(L"timing start_to_list_257_ms " + std::to_wstring(startUp));

    checks.Require(SelectLine(main, list.Line(0)) &&
                       WaitUntil([&] { return !TextOf(main.commandText).empty(); }),
                   L"a line of the full list can be selected");
    const auto rescan = std::chrono::steady_clock::now();
    checks.Check(
        PressKeys(main.window, {VK_MENU, 'U'}) &&
            WaitUntil(
                [&] { return TextOf(main.commandText).empty() && list.Count() == kTableSlots; },
                20s),
        L"Alt+U rescans the full table");
    const long long rescanned = MillisecondsSince(rescan);
    checks.Note(L"TIME  rescan of 257 entries (Alt+U to a repopulated list): " +
                std::to_wstring(rescanned) + L" ms");
    checks.Note(L"timing rescan_257_ms " + std::to_wstring(rescanned));

    // One entry more than the table holds ends neither the program nor the list.
    seed.Add({Root::kUser, L"BeyondTable", L"VelmoraE2E Beyond The Table",
              L"Z:\\velmora-e2e\\beyond.exe"});
    checks.Check(PressKeys(main.window, {VK_MENU, 'U'}), L"Alt+U can be typed");
    Settle(1s);
    const int count = list.Count();
    checks.Check(process.Running() && count >= kTableSlots && count <= kTableSlots + 1,
                 L"a 258th entry ends neither the program nor the list",
                 L"the list holds " + std::to_wstring(count));
}

}  // namespace velmora::e2e

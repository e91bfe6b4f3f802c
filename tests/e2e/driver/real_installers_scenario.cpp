#include <algorithm>
#include <utility>
#include <vector>

#include "real_installers.h"
#include "scenarios.h"
#include "screenshot.h"
#include "user_input.h"

namespace velmora::e2e {
namespace {

std::wstring NsisPath(std::wstring_view file = {}) {
    return ProgramFilesPath(file.empty() ? std::wstring(kNsisFolder)
                                         : std::wstring(kNsisFolder) + L"\\" + std::wstring(file));
}

bool NsisFilesPresent(bool present) {
    for (const wchar_t* file : kNsisFiles) {
        if (PathExists(NsisPath(file)) != present) return false;
    }
    return PathExists(NsisPath()) == present;
}

// The uninstaller's window: it copies itself to %TEMP% and starts that copy,
// so it is found by its caption, not by the process the program started.
HWND WaitForUninstallerWindow() {
    std::vector<HWND> windows;
    WaitUntil([&] { return !(windows = DialogsCaptionedFrom(kNsisUninstallerCaption)).empty(); },
              kFirstWindowTimeout);
    return windows.empty() ? nullptr : windows.front();
}

// Waits for the page whose button IDOK is enabled with that text, and whose
// caption ends so.
bool WaitForPage(HWND window, std::wstring_view button, std::wstring_view captionEnd = {}) {
    return WaitUntil(
        [&] {
            const HWND next = GetDlgItem(window, IDOK);
            return next && IsWindowEnabled(next) && TextOf(next) == button &&
                   TextOf(window).ends_with(captionEnd);
        },
        30s);
}

bool Closed(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

bool PressAndWaitForClose(HWND window, int id) {
    PostButtonClick(GetDlgItem(window, id));
    return WaitUntil([&] { return Closed(window); });
}

// Installs both products silently and checks what their installers wrote.
void Install(Checks& checks, const Environment& environment) {
    checks.Require(RunToEnd(Quote(environment.nsisSetup) + L" /S", 120s) == 0u,
                   L"the NSIS setup runs silently (/S) to its end with exit code 0");
    checks.Require(
        RunToEnd(L"msiexec.exe /i " + Quote(environment.msiPackage) + L" /qn", 180s) == 0u,
        L"msiexec /i installs the package silently (/qn) with exit code 0");
    checks.Require(NsisFilesPresent(true) &&
                       PathExists(ProgramFilesPath(std::wstring(kMsiFolder) + L"\\" + kMsiFile)),
                   L"both installed their files into Program Files");
}

// Runs the NSIS program's uninstaller by a double click and cancels its
// first page; then by the run button, through to its last page.  While its
// confirmation page waits, so does the program, at no processor cost.
void Uninstall(const Session& s) {
    Checks& checks = s.checks;
    const std::wstring name = ThroughCodePage(kNsisProductName);
    checks.Require(s.Select(name), L"the NSIS program's line can be selected");
    PostClickOnLine(s.main.list, s.list.IndexOf(name), true);
    HWND window = WaitForUninstallerWindow();
    checks.Require(window && WaitForPage(window, kNsisUninstallButton),
                   L"double click: the uninstaller's window " + Quote(kNsisUninstallerCaption) +
                       L" appears with its confirmation page");
    checks.Check(PressAndWaitForClose(window, IDCANCEL) && s.NoMessageBoxAppears() &&
                     NsisFilesPresent(true) &&
                     OpenUninstallKey(Root::kMachine, kNsisKeyName) != nullptr &&
                     s.list.IndexOf(name) >= 0,
                 L"its キャンセル ends it: files, key and line stay, no message");

    checks.Require(s.Select(name), L"the NSIS program's line can be selected again");
    PostButtonClick(s.main.run);
    window = WaitForUninstallerWindow();
    checks.Require(window && WaitForPage(window, kNsisUninstallButton),
                   L"run button: the uninstaller's confirmation page appears");
    const auto cpuBefore = s.CpuTime();
    Sleep(3000);
    const auto cpuUsed = s.CpuTime() - cpuBefore;
    PrintLine(L"   velmora.exe used " + std::to_wstring(cpuUsed.count()) +
              L" ms of processor time in 3 s of watching the Uninstall keys (" +
              std::to_wstring(cpuBefore.count()) + L" ms before)");
    checks.Check(cpuUsed < 300ms, L"waiting for a change of the keys costs no processor time",
                 L"it used " + std::to_wstring(cpuUsed.count()) + L" ms in 3 s");
    PostButtonClick(GetDlgItem(window, IDOK));
    // While it works, its button already reads 閉じる; the caption tells when
    // it is done.
    checks.Require(WaitForPage(window, kNsisCloseButton, kNsisDoneSubtitle),
                   L"its " + Quote(kNsisUninstallButton) + L" runs it to its last page " +
                       Quote(kNsisDoneSubtitle) + L" with " + Quote(kNsisCloseButton) + L" enabled",
                   L"its caption is " + Quote(TextOf(window)));
    const HWND close = GetDlgItem(window, IDOK);
    checks.Check(PressAndWaitForClose(window, IDOK) && s.NoMessageBoxAppears(),
                 L"閉じる closes it, no message from the program",
                 L"the window " + Quote(TextOf(window)) + L" stays, its button " +
                     Quote(TextOf(close)) + (IsWindowEnabled(close) ? L" enabled" : L" disabled"));
    checks.Check(NsisFilesPresent(false) && !OpenUninstallKey(Root::kMachine, kNsisKeyName),
                 L"the uninstaller removed its files, its folder and its Uninstall key");
}

// The line of the uninstalled program drops by itself: the removal of its
// Uninstall key counts as one of the rescans the start armed.  Nothing here
// presses 表示更新 or repaints the window, and none comes by itself: Wine,
// like Windows with desktop composition, restores the pixels the
// uninstaller's window uncovered from a copy, without a WM_PAINT.  The
// repaint path still rescans while units are left.
void LineDropsByItself(const Session& s) {
    Checks& checks = s.checks;
    const std::wstring name = ThroughCodePage(kNsisProductName);
    checks.Check(WaitUntil([&] { return s.list.IndexOf(name) < 0; }) && s.list.Selected() == -1 &&
                     s.CommandText().empty(),
                 L"within 10 s, with no repaint and no button, the line drops: the rescan "
                 L"emptied the selection and the command line",
                 L"index " + std::to_wstring(s.list.IndexOf(name)) + L", selection " +
                     std::to_wstring(s.list.Selected()) + L", command line " +
                     Quote(s.CommandText()));
    checks.Require(s.Select(kMsiProductName), L"another line can be selected");
    ForceRepaint(s.main.window);
    checks.Check(WaitUntil([&] { return s.list.Selected() == -1 && s.CommandText().empty(); }),
                 L"a repaint with units left still rescans: the selection goes");
}

// Entries beside the real ones whose uninstallers are gone or cannot be
// judged, each with whether its line is to turn grey.
std::vector<std::pair<SeedEntry, bool>> StaleCandidates() {
    const std::wstring gone = ProgramFilesPath(L"Velmora E2E Gone\\uninst.exe");
    return {
        {{Root::kMachine, L"GoneQuoted", L"VelmoraE2E Gone Quoted", Quote(gone) + L" /S"}, true},
        {{Root::kUser, L"GoneUnquoted", L"VelmoraE2E Gone Unquoted", gone + L" /S"}, true},
        // Its first token, C:\Program, names nothing; the whole path does.
        {{Root::kUser, L"HereUnquoted", L"VelmoraE2E Here Unquoted",
          NsisPath(L"uninst.exe") + L" /S"},
         false},
        {{Root::kMachine, L"UnknownProduct", L"VelmoraE2E Unknown Product",
          L"MsiExec.exe /X{0B1D2C3E-4F50-6172-8394-A5B6C7D8E9F0}"},
         true},
        // Never looked at: a share could keep the check waiting.
        {{Root::kMachine, L"OnAShare", L"VelmoraE2E On A Share",
          L"\\\\velmora-e2e-server\\share\\uninst.exe"},
         false}};
}

// The colour a line's text is drawn in, read from the screen inside its box
// (clear of a focus rectangle on its edge).
COLORREF InkOf(const Session& s, int index) {
    const RECT line = s.list.ItemRect(index);
    POINT corner{line.left + 2, line.top + 1};
    ClientToScreen(s.main.list, &corner);
    const Box inside{corner.x, corner.y, line.right - line.left - 4, line.bottom - line.top - 2};
    return DarkestPixel(inside).value_or(CLR_INVALID);
}

// The lines of missing uninstallers turn grey by themselves, the others keep
// the text colour, and every line's text stays its display name alone.
void StaleLinesTurnGrey(const Session& s,
                        const std::vector<std::pair<std::wstring, bool>>& expected) {
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    std::wstring seen;
    const bool shown = WaitUntil([&] {
        seen.clear();
        bool all = true;
        for (const auto& [name, stale] : expected) {
            const int index = s.list.IndexOf(name);
            const COLORREF ink = index < 0 ? CLR_INVALID : InkOf(s, index);
            all = all && s.list.CountOf(name) == 1 && ink == (stale ? grey : text);
            seen += L"\n     " + Quote(name) + L": " +
                    (index < 0 ? std::wstring(L"not listed") : L"ink " + std::to_wstring(ink));
        }
        return all;
    });
    s.checks.Check(shown,
                   L"the lines of gone uninstallers (quoted, unquoted, an unregistered product) "
                   L"turn grey; the installed ones, a path with spaces unquoted and a share keep "
                   L"the text colour; each line's text is its display name alone",
                   L"grey is " + std::to_wstring(grey) + L", text " + std::to_wstring(text) + seen);
}

// Removes the package's files by hand, then deletes its stale entry: only its
// Uninstall key may go; the Installer's own registration of it stays.
void DeleteStaleMsiEntry(const Session& s) {
    Checks& checks = s.checks;
    const std::wstring name = kMsiProductName;
    const std::wstring folder = ProgramFilesPath(kMsiFolder);
    checks.Require(
        DeleteFileW((folder + L"\\" + kMsiFile).c_str()) && RemoveDirectoryW(folder.c_str()),
        L"the package's file and folder are removed by hand");
    const std::wstring machine = L"HKLM(64)\\Software\\";
    const std::vector<std::wstring> registrations = {
        machine + L"Classes\\Installer\\Products\\" + kMsiPackedCode,
        machine + L"Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\" +
            kMsiPackedCode};
    // What the deletion may touch, the Uninstall keys and the Installer's own
    // registration of the package, with everything below them; under Wine,
    // where nothing else writes to it meanwhile, the whole registry too.
    std::vector<std::pair<SnapshotScope, const wchar_t*>> scopes = {
        {SnapshotScope::kNamedKeys, L"the Uninstall keys and the Installer's registration"}};
    if (RunningUnderWine())
        scopes.emplace_back(SnapshotScope::kWholeRegistry, L"the whole registry");
    std::vector<RegistrySnapshot> before;
    for (const auto& [scope, keys] : scopes)
        before.push_back(TakeRegistrySnapshot(scope, registrations));
    checks.Require(s.Select(name) && AnswerMessageBox(s.AskToDelete(name), IDYES) &&
                       WaitUntil([&] { return s.list.IndexOf(name) < 0; }) &&
                       s.NoMessageBoxAppears(),
                   L"情報の削除, answered Yes: the stale package's line goes, no message");
    for (std::size_t i = 0; i < scopes.size(); ++i) {
        const auto& [scope, keys] = scopes[i];
        const auto after = TakeRegistrySnapshot(scope, registrations);
        const std::wstring removed = SnapshotPath(Root::kMachine, kMsiProductCode, scope);
        const auto differences =
            SnapshotDifferences(ExpectedAfter(before[i], removed, scope), after);
        checks.Check(before[i].contains(removed) && !after.contains(removed) && differences.empty(),
                     L"its Uninstall key " + Quote(kMsiProductCode) +
                         L" is gone; nothing else in " + keys + L" changed (" +
                         std::to_wstring(after.size()) + L" keys)",
                     Describe(differences));
        checks.Check(std::ranges::all_of(registrations,
                                         [&](const auto& key) { return after.contains(key); }),
                     L"the Installer's own product registration stays", Describe(registrations));
    }
}

}  // namespace

void RealInstallersScenario(Checks& checks, const Environment& environment) {
    const RealInstallations installations;
    Install(checks, environment);
    RegistrySeed seed;
    std::vector<std::pair<std::wstring, bool>> stale = {{ThroughCodePage(kNsisProductName), false},
                                                        {kMsiProductName, false}};
    for (const auto& [entry, grey] : StaleCandidates()) {
        seed.Add(entry);
        stale.emplace_back(*entry.displayName, grey);
    }
    const Session s(checks, environment);
    StaleLinesTurnGrey(s, stale);

    // Listed under their real names; each line shows the stored command line.
    const auto nsisCommand = ReadRegistryText(Root::kMachine, kNsisKeyName, L"UninstallString");
    const auto msiCommand = ReadRegistryText(Root::kMachine, kMsiProductCode, L"UninstallString");
    const RegistryText expectedNsis{REG_SZ, Quote(NsisPath(L"uninst.exe"))};
    const RegistryText expectedMsi{REG_EXPAND_SZ,
                                   std::wstring(L"MsiExec.exe /I") + kMsiProductCode};
    checks.Check(nsisCommand == expectedNsis && msiCommand == expectedMsi,
                 L"the NSIS setup stored " + Quote(expectedNsis.text) + L" (REG_SZ), msiexec " +
                     Quote(expectedMsi.text) + L" (REG_EXPAND_SZ)",
                 L"they stored " + Quote(nsisCommand ? nsisCommand->text : L"nothing") + L" and " +
                     Quote(msiCommand ? msiCommand->text : L"nothing"));
    for (const auto& [name, command] : {std::pair{ThroughCodePage(kNsisProductName), nsisCommand},
                                        std::pair{std::wstring(kMsiProductName), msiCommand}}) {
        checks.Check(s.list.CountOf(name) == 1 && command && s.Select(name, command->text),
                     L"listed as " + Quote(name) + L"; selecting it shows the stored command line");
    }

    Uninstall(s);
    LineDropsByItself(s);
    DeleteStaleMsiEntry(s);
}

}  // namespace velmora::e2e

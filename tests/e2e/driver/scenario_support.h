// What the scenarios share: the paths they are given, the program's texts,
// and the steps a user takes over and over (select a line, answer a box).
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "checks.h"
#include "registry_seed.h"
#include "registry_snapshot.h"
#include "velmora_process.h"

namespace velmora::e2e {

struct Environment {
    std::wstring program;          // velmora.exe
    std::wstring fakeUninstaller;  // removes its own Uninstall key, then exits
    std::wstring outputDirectory;  // where screenshots go
};

inline constexpr wchar_t kSelectFirstMessage[] = L"リストボックスで選択してから押して下さい。";
inline constexpr wchar_t kBadProgramMessage[] = L"指定されたプログラムは正しくありません。";
inline constexpr wchar_t kDeleteFailedMessage[] = L"レジストリエントリの削除に失敗しました。";
inline constexpr wchar_t kVersionDialogCaption[] = L"バージョン情報";
inline constexpr wchar_t kUiFontFace[] = L"ＭＳ ゴシック";
// The program's entry table: no more lines than this are ever listed.
inline constexpr int kTableSlots = 257;

std::wstring DeleteQuestion(std::wstring_view line);

// Starts the program and waits for its window with every control.
MainWindow RequireMainWindow(Checks& checks, const VelmoraProcess& process);
// Selects the line with that text as a click does; false when the line is
// missing or did not become selected.
bool SelectLine(const MainWindow& main, std::wstring_view text);
// Selects the line with that text whose command line, once shown, is
// `command` (of two same-named lines, the right one); its index, or -1.
int SelectLineShowing(const MainWindow& main, const std::wstring& line,
                      const std::wstring& command);
// Presses the delete button for the selected line, expects the question for
// that line and answers Yes; false when the question did not come as asked.
bool DeleteSelectedLine(const VelmoraProcess& process, const MainWindow& main,
                        std::wstring_view line);
// Waits for the text box to show exactly that text.
bool WaitForCommandText(const MainWindow& main, std::wstring_view text);
// Presses a button of a message box and waits for the box to go.
bool AnswerMessageBox(HWND box, int buttonId);
// Expects a plain message box with that text and only an OK button, then
// presses OK.
void ExpectNotice(Checks& checks, const VelmoraProcess& process, std::wstring_view text,
                  std::wstring_view situation);
// Checks that the window is centred on the screen.
void CheckCentred(Checks& checks, HWND window, std::wstring_view what);
// True when no message box of the program is on screen after a short while.
bool NoMessageBoxAppears(const VelmoraProcess& process);
// The command line that makes the fake uninstaller remove a seeded key.
std::wstring FakeUninstallCommand(const Environment& environment, Root root,
                                  const std::wstring& keyName);
// Checks that the registry differs from `before` by nothing but the removal
// of the key at `removedPath` (a SnapshotPath; none when empty) and the
// creation of absent Uninstall keys, empty.
void CheckRegistryAfter(Checks& checks, const RegistrySnapshot& before, std::wstring_view what,
                        const std::wstring& removedPath = {});
long long MillisecondsSince(std::chrono::steady_clock::time_point start);
// Shortens a long text for a check's description.
std::wstring Abbreviated(std::wstring_view text);

}  // namespace velmora::e2e

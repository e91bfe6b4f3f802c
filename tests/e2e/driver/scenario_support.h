// What the scenarios share: the paths they are given, the running program
// with its main window, and the steps a user takes over and over (select a
// line, answer a box, delete an entry) with the checks that go with them.
#pragma once

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checks.h"
#include "handles.h"
#include "registry_seed.h"
#include "registry_snapshot.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {

struct Environment {
    std::wstring program;          // velmora.exe
    std::wstring fakeUninstaller;  // removes its own Uninstall key, then exits
    std::wstring outputDirectory;  // where screenshots go
    std::wstring nsisSetup;        // a real NSIS setup with its own uninstaller
    std::wstring msiPackage;       // a real Windows Installer package
    std::wstring recorder;         // writes down its command line to %VELMORA_RECORD_FILE%
};

inline constexpr wchar_t kSelectFirstMessage[] = L"リストボックスで選択してから押して下さい。";
inline constexpr wchar_t kBadProgramMessage[] = L"指定されたプログラムは正しくありません。";
inline constexpr wchar_t kDeleteFailedMessage[] = L"レジストリエントリの削除に失敗しました。";
// The entries the timing scenario lists, as the bench's smallest size.
inline constexpr int kTimedEntries = 257;

// Wine's ntdll names its version; Windows' has no such export.
bool RunningUnderWine();

// A control and its expected rectangle, for CheckPlacements.
struct Placement {
    HWND control;
    const wchar_t* name;
    Box expected;
};
// Checks the size of the window's client area and each control's rectangle
// in it.
void CheckLayout(Checks& checks, HWND window, int widthTwips, int heightTwips,
                 std::initializer_list<Placement> placements);
// Checks that a label starts there and is one line of 9.75-point text high
// and at least as wide as its text.
void CheckLabel(Checks& checks, HWND label, HWND parent, int leftTwips, int topTwips);
// Checks that the window is centred on the primary screen.
void CheckCentred(Checks& checks, HWND window, std::wstring_view what);
// Checks that the registry differs from `before` by nothing but the removal
// of the key at `removedPath` (a SnapshotPath; none when empty) and the
// creation of absent Uninstall keys, empty.
void CheckRegistryAfter(Checks& checks, const RegistrySnapshot& before, std::wstring_view what,
                        const std::wstring& removedPath = {});
// Presses a button of a message box and waits for the box to go.
bool AnswerMessageBox(HWND box, int buttonId);

// The main window and its controls; a member is null when it was not found.
struct MainWindow {
    HWND window, list, commandText, update, remove, run, version, end, listLabel, commandLabel,
        image;
};

// Variables the program is started with in place of the driver's own.
using EnvironmentChanges = std::vector<std::pair<std::wstring, std::wstring>>;

// The program started on the registry as it is, with its main window found
// (else the scenario ends); the program is ended when the session goes.
class Session {
  public:
    // Waits up to kFirstWindowTimeout for the main window.  While the
    // session lives, a failed check also reports whether the program runs.
    Session(Checks& checks, const Environment& environment, const EnvironmentChanges& changes = {});
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Running() const { return !WaitForExit(0ms); }
    bool WaitForExit(std::chrono::milliseconds timeout = kReactionTimeout) const;
    // The processor time the program has used so far, user and kernel.
    std::chrono::milliseconds CpuTime() const;
    std::vector<HWND> MessageBoxes() const { return MessageBoxesOf(processId_); }
    // Waits for a visible top-level window of the program with that caption;
    // null when none came.
    HWND FindWindowCaptioned(std::wstring_view caption,
                             std::chrono::milliseconds timeout = kReactionTimeout) const;
    std::wstring CommandText() const { return TextOf(main.commandText); }
    bool WaitForCommandText(std::wstring_view text) const;
    // Selects a line with that text as a click does and, unless `command` is
    // empty, waits for it to show that command line (of two same-named
    // lines, the right one); false when no such line became selected.
    bool Select(std::wstring_view line, std::wstring_view command = {}) const;
    // True when no message box of the program is on screen after a short while.
    bool NoMessageBoxAppears() const;
    // Expects a message box with that text, and either Yes, No and an icon
    // (a question) or an OK button only; the scenario ends when it does not
    // come so. Returns the box.
    HWND ExpectBox(std::wstring_view text, bool question, std::wstring_view what) const;
    // Expects a box as ExpectBox does, without a question, and presses OK.
    void ExpectNotice(std::wstring_view text, std::wstring_view situation) const;
    // Starts the delete command for the selected line by Alt+D or the button
    // and expects the question (else the scenario ends); its box.
    HWND AskToDelete(std::wstring_view line, bool byKeys = false) const;
    // Deletes the selected line's entry, answering Yes: one line of that name
    // goes, no message comes, the box is emptied and the entry's key is the
    // only change to the registry.
    void DeleteSelected(std::wstring_view line, Root root, const std::wstring& keyName,
                        bool byKeys = false) const;
    // Answers Yes for the selected line where the registry refuses or the key
    // is gone: the failure message, a rescan (no selection, the box emptied)
    // that still lists the line or not, and no change but `removedPath`.
    void DeleteFails(std::wstring_view line, const RegistrySnapshot& before, bool stillListed,
                     const std::wstring& removedPath = {},
                     std::wstring_view notice = kDeleteFailedMessage) const;

    Checks& checks;
    MainWindow main{};
    ListView list{nullptr};

  private:
    // Whether the program runs, or how it ended, and since when it was started.
    std::wstring State() const;

    UniqueProcess process_;
    DWORD processId_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    // Last, so that it goes first: it reads the members above.
    ObserverScope observing_;
};

}  // namespace velmora::e2e

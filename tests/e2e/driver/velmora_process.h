// The program under test: started with CreateProcess, ended when the
// scenario is done, and its main window with its controls found from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "handles.h"
#include "wait.h"

namespace velmora::e2e {

inline constexpr wchar_t kMainCaption[] = L"Velmora Ver 1.0.3";
inline constexpr wchar_t kUpdateCaption[] = L"表示更新(&U)";
inline constexpr wchar_t kDeleteCaption[] = L"情報の削除(&D)";
inline constexpr wchar_t kRunCaption[] = L"追加と削除(&R)";
inline constexpr wchar_t kVersionCaption[] = L"バージョン情報(&V)";
inline constexpr wchar_t kEndCaption[] = L"終了(&E)";
inline constexpr wchar_t kListLabel[] = L"アンインストール可能プログラム一覧：";
inline constexpr wchar_t kCommandLabel[] = L"コマンドライン情報：";

class VelmoraProcess {
  public:
    // Starts the program; throws when it cannot be started.
    explicit VelmoraProcess(const std::wstring& programPath);
    // Ends the program if it still runs.
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    DWORD Id() const { return id_; }
    bool Running() const;
    // True when the process ended within the timeout.
    bool WaitForExit(std::chrono::milliseconds timeout = kDefaultTimeout) const;

  private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// The main window and its controls; a member is null when it was not found.
struct MainWindow {
    HWND window = nullptr;
    HWND list = nullptr;
    HWND commandText = nullptr;
    HWND update = nullptr;
    HWND remove = nullptr;
    HWND run = nullptr;
    HWND version = nullptr;
    HWND end = nullptr;
    HWND listLabel = nullptr;
    HWND commandLabel = nullptr;
    HWND image = nullptr;
};

// Waits for the visible main window of the process and finds its controls.
std::optional<MainWindow> WaitForMainWindow(const VelmoraProcess& process,
                                            std::chrono::milliseconds timeout = 10s);
// The static control that shows an icon, or null.
HWND FindIconPicture(HWND window);

// The driver's paths given by the build in Unix form, as Windows paths.
std::wstring WindowsPath(std::string_view buildPath);

}  // namespace velmora::e2e

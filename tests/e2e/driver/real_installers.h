// The two real products of the real-installer scenario, built at test time by
// makensis and wixl: what their installers write and where, and the means to
// install, find and remove them from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry_seed.h"

namespace velmora::e2e {

// The NSIS setup (tests/e2e/installers/sakura_viewer.nsi).
inline constexpr wchar_t kNsisProductName[] = L"さくらテキストビューア 2.1";
inline constexpr wchar_t kNsisKeyName[] = L"SakuraTextViewer";
inline constexpr wchar_t kNsisFolder[] = L"Sakura\\Text Viewer";  // in Program Files
inline constexpr const wchar_t* kNsisFiles[] = {L"readme.txt", L"viewer.ini", L"uninst.exe"};
// Its uninstaller's window caption starts so; a page adds its own subtitle,
// ":完了" once it has done its work.
inline constexpr wchar_t kNsisUninstallerCaption[] = L"さくらテキストビューア 2.1 アンインストール";
inline constexpr wchar_t kNsisDoneSubtitle[] = L":完了";
// The texts of its confirmation page's and its last page's first button.
inline constexpr wchar_t kNsisUninstallButton[] = L"ｱﾝｲﾝｽﾄｰﾙ(&U)";
inline constexpr wchar_t kNsisCloseButton[] = L"閉じる(&C)";

// The Windows Installer package (tests/e2e/installers/contoso_notes.wxs).
inline constexpr wchar_t kMsiProductName[] = L"Contoso Notes 1.2";
inline constexpr wchar_t kMsiProductCode[] = L"{DC560A29-7A80-4664-A1C3-5E12545B84CA}";
// The product code as the Installer's own keys name it: each group's hex
// digits reversed, then pairwise in the last two groups.
inline constexpr wchar_t kMsiPackedCode[] = L"92A065CD08A746641A3CE52145B548AC";
inline constexpr wchar_t kMsiFolder[] = L"Contoso Notes";
inline constexpr wchar_t kMsiFile[] = L"notes.txt";

// Runs a command line to its end: its exit code, or none when it could not
// start or still ran at the ceiling (it is then ended).
std::optional<DWORD> RunToEnd(std::wstring commandLine, std::chrono::milliseconds ceiling);

// A path below the 64-bit Program Files folder.
std::wstring ProgramFilesPath(std::wstring_view relative);
bool PathExists(const std::wstring& path);

// A text value read through the wide registry API, with its type.
struct RegistryText {
    DWORD type = REG_NONE;
    std::wstring text;
    bool operator==(const RegistryText&) const = default;
};
std::optional<RegistryText> ReadRegistryText(Root root, const std::wstring& keyName,
                                             const wchar_t* valueName);

// The visible top-level dialogs of any process whose caption starts with
// that text.
std::vector<HWND> DialogsCaptionedFrom(std::wstring_view captionStart);

// Removes whatever the two installers left, before the scenario (a run
// broken off in the same prefix) and after it: the package through msiexec,
// the NSIS program's files and key by hand.
class RealInstallations {
  public:
    RealInstallations() { Remove(); }
    ~RealInstallations() { Remove(); }
    RealInstallations(const RealInstallations&) = delete;
    RealInstallations& operator=(const RealInstallations&) = delete;

  private:
    static void Remove();
};

}  // namespace velmora::e2e

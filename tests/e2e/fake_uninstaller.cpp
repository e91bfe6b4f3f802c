// Stands in for a program's uninstaller in the end-to-end tests. Started as
//   velmora_fake_uninstaller.exe HKLM|HKCU <key name>
// it waits half a second, writes beside itself the file "<key name>
// elevation.txt" saying "elevated" or "not elevated" (its own token's
// TokenElevation), removes that subkey of the root's Uninstall key and
// exits. It shows no window.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <fstream>
#include <string>

namespace {

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class Arguments {
  public:
    Arguments() : argv_(CommandLineToArgvW(GetCommandLineW(), &argc_)) {}
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() {
        if (argv_ != nullptr) LocalFree(argv_);
    }
    int Count() const { return argv_ != nullptr ? argc_ : 0; }
    const wchar_t* operator[](int index) const { return argv_[index]; }

  private:
    int argc_ = 0;
    LPWSTR* argv_;
};

HKEY RootNamed(const wchar_t* name) {
    if (lstrcmpiW(name, L"HKLM") == 0) return HKEY_LOCAL_MACHINE;
    if (lstrcmpiW(name, L"HKCU") == 0) return HKEY_CURRENT_USER;
    return nullptr;
}

// Beside the program: whatever way started it, its command line and its
// own path are all it is sure to get.
bool RecordElevation(const std::wstring& keyName) {
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known =
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    if (token != nullptr) CloseHandle(token);
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!known || length == 0 || length >= MAX_PATH) return false;
    std::wstring path(self, length);
    path = path.substr(0, path.rfind(L'\\') + 1) + keyName + L" elevation.txt";
    std::ofstream record(path.c_str());
    record << (elevation.TokenIsElevated != 0 ? "elevated" : "not elevated");
    return record.flush().good();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const Arguments arguments;
    if (arguments.Count() != 3) return 2;
    const HKEY root = RootNamed(arguments[1]);
    if (root == nullptr || arguments[2][0] == L'\0') return 2;
    Sleep(500);
    const bool recorded = RecordElevation(arguments[2]);
    const std::wstring path = std::wstring(kUninstallPath) + arguments[2];
    if (RegDeleteTreeW(root, path.c_str()) != ERROR_SUCCESS) return 1;
    return recorded ? 0 : 3;
}

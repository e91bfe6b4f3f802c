// Stands in for a program's uninstaller in the end-to-end tests. Started as
//   velmora_fake_uninstaller.exe HKLM|HKCU <key name> [<parts>]
// it waits half a second, writes beside itself the file "<key name>
// elevation.txt" saying "elevated" or "not elevated" (its own token's
// TokenElevation), removes that subkey of the root's Uninstall key and
// exits. It shows no window. Given a number of parts, it is a bundle: it
// first removes the keys <key name>.1 to <key name>.<parts>, a quarter of a
// second apart, so that each is a change of its own.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::wstring kUninstallPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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
    if (arguments.Count() != 3 && arguments.Count() != 4) return 2;
    const HKEY root = RootNamed(arguments[1]);
    if (root == nullptr || arguments[2][0] == L'\0') return 2;
    const int parts = arguments.Count() == 4 ? _wtoi(arguments[3]) : 0;
    const auto remove = [root](const std::wstring& name) {
        return RegDeleteTreeW(root, (kUninstallPath + name).c_str()) == ERROR_SUCCESS;
    };
    Sleep(500);
    const bool recorded = RecordElevation(arguments[2]);
    for (int part = 1; part <= parts; ++part) {
        if (!remove(arguments[2] + (L"." + std::to_wstring(part)))) return 1;
        Sleep(250);
    }
    if (!remove(arguments[2])) return 1;
    return recorded ? 0 : 3;
}

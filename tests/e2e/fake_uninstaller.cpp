// Stands in for a program's uninstaller in the end-to-end tests. Started as
//   velmora_fake_uninstaller.exe HKLM|HKCU <key name>
// it waits half a second, removes that subkey of the root's Uninstall key
// and exits. It shows no window.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const Arguments arguments;
    if (arguments.Count() != 3) return 2;
    const HKEY root = RootNamed(arguments[1]);
    if (root == nullptr || arguments[2][0] == L'\0') return 2;
    Sleep(500);
    const std::wstring path = std::wstring(kUninstallPath) + arguments[2];
    return RegDeleteTreeW(root, path.c_str()) == ERROR_SUCCESS ? 0 : 1;
}

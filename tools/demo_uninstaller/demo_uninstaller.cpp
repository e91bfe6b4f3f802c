// A stand-in uninstaller for trying Velmora out. scripts/run installs it as
// the uninstall.exe of the demo registry's programs, started as
//   uninstall.exe HKLM|HKCU <key name>
// It asks whether to remove the program named by that Uninstall key's
// DisplayName and, on Yes, deletes the key, as a real uninstaller does once
// it has removed its files. It touches no files itself.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <array>
#include <string>

namespace {

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kCaption[] = L"アンインストール";

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

class Key {
  public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

HKEY RootNamed(const wchar_t* name) {
    if (lstrcmpiW(name, L"HKLM") == 0) return HKEY_LOCAL_MACHINE;
    if (lstrcmpiW(name, L"HKCU") == 0) return HKEY_CURRENT_USER;
    return nullptr;
}

int Show(const std::wstring& text, UINT style) {
    return MessageBoxW(nullptr, text.c_str(), kCaption, style | MB_SETFOREGROUND);
}

// The key's DisplayName, or the empty text when the key or value is missing.
std::wstring DisplayNameOf(HKEY root, const std::wstring& path) {
    Key key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        return {};
    }
    std::array<wchar_t, 512> name{};
    DWORD bytes = static_cast<DWORD>((name.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), L"DisplayName", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(name.data()), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return name.data();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const Arguments arguments;
    const HKEY root = arguments.Count() == 3 ? RootNamed(arguments[1]) : nullptr;
    if (root == nullptr) {
        Show(L"使い方: uninstall.exe HKLM|HKCU <キー名>", MB_OK | MB_ICONERROR);
        return 2;
    }
    const std::wstring path = std::wstring(kUninstallPath) + arguments[2];
    const std::wstring name = DisplayNameOf(root, path);
    if (name.empty()) {
        Show(L"アンインストール情報が見つかりません。", MB_OK | MB_ICONERROR);
        return 1;
    }
    if (Show(L"「" + name + L"」をアンインストールしますか？", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return 0;
    }
    if (RegDeleteTreeW(root, path.c_str()) != ERROR_SUCCESS) {
        Show(L"「" + name + L"」のアンインストール情報を削除できませんでした。",
             MB_OK | MB_ICONERROR);
        return 1;
    }
    Show(L"「" + name + L"」をアンインストールしました。", MB_OK | MB_ICONINFORMATION);
    return 0;
}

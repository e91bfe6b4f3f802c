// Started by the process-start tests: records how it was started.
//
// Writes, in UTF-16 to the file named by VELMORA_RECORD_FILE, the window
// style it was given (STARTUPINFO's wShowWindow, or -1 without
// STARTF_USESHOWWINDOW), a line feed and GetCommandLineW().  With
// VELMORA_RECORD_DELAY_MS set it first sleeps that many milliseconds.  The
// file appears complete or not at all: it is written beside and renamed.
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace {

using velmora::platform::win32::UniqueHandle;

std::wstring Variable(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    const DWORD length =
        ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

bool WriteWhole(const std::wstring& path, const std::wstring& text) {
    UniqueHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), size, &written, nullptr) && written == size;
}

}  // namespace

int main() {
    const std::wstring target = Variable(L"VELMORA_RECORD_FILE");
    if (target.empty()) return 2;
    const std::wstring delay = Variable(L"VELMORA_RECORD_DELAY_MS");
    if (!delay.empty()) ::Sleep(static_cast<DWORD>(std::stoul(delay)));

    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    const std::wstring record = std::to_wstring(show) + L"\n" + ::GetCommandLineW();

    const std::wstring partial = target + L".partial";
    if (!WriteWhole(partial, record)) return 3;
    return ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

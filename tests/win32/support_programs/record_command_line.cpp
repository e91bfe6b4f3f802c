// Started by the process-start tests: records how it was started.
//
// Writes, in UTF-16 to the file named by VELMORA_RECORD_FILE, the window
// style it was given (STARTUPINFO's wShowWindow, or -1 without
// STARTF_USESHOWWINDOW), a line feed and GetCommandLineW().  With
// VELMORA_RECORD_AFTER set it first waits (a minute at most) until the file
// that names exists, so a test can hold it running for as long as it needs.
// The file appears complete or not at all: it is written beside and renamed.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/common/unique_handle.h"

int main() {
    const wchar_t* target = ::_wgetenv(L"VELMORA_RECORD_FILE");
    if (target == nullptr) return 2;
    if (const wchar_t* release = ::_wgetenv(L"VELMORA_RECORD_AFTER")) {
        for (int waited = 0;
             waited < 60000 && ::GetFileAttributesW(release) == INVALID_FILE_ATTRIBUTES;
             waited += 20) {
            ::Sleep(20);
        }
    }

    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    const std::wstring record = std::to_wstring(show) + L"\n" + ::GetCommandLineW();
    const auto size = static_cast<DWORD>(record.size() * sizeof(wchar_t));

    const std::wstring partial = std::wstring(target) + L".partial";
    DWORD written = 0;
    {
        const velmora::platform::win32::UniqueHandle file(
            ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file || !::WriteFile(file.get(), record.data(), size, &written, nullptr) ||
            written != size) {
            return 3;
        }
    }
    return ::MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

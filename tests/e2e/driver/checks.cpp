#include "checks.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "window_queries.h"

namespace velmora::e2e {

void PrintLine(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    std::fwrite((utf8 + '\n').data(), 1, utf8.size() + 1, stdout);
    std::fflush(stdout);
}

std::wstring FromUtf8(std::string_view text) {
    const int length = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::wstring Quote(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

std::wstring Describe(const std::vector<std::wstring>& lines) {
    std::wstring joined;
    for (const auto& line : lines) joined += (joined.empty() ? L"[" : L" [") + line + L"]";
    return joined;
}

bool Checks::Check(bool ok, std::wstring_view what, std::wstring_view detail) {
    ++(ok ? passed_ : failed_);
    std::wstring line = (ok ? L"PASS  " : L"FAIL  ") + std::wstring(what);
    if (!ok && !detail.empty()) line += L"  -- " + std::wstring(detail);
    PrintLine(line);
    if (!ok) ReportState();
    return ok;
}

void Checks::Require(bool ok, std::wstring_view what, std::wstring_view detail) {
    if (!Check(ok, what, detail)) {
        PrintLine(L"      (required: the rest of this scenario is skipped)");
        throw ScenarioAborted("a required check failed");
    }
}

void Checks::Skip(std::wstring_view what) {
    ++skipped_;
    PrintLine(L"SKIP  " + std::wstring(what));
}

void Checks::ReportState() const {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    wchar_t elapsed[64];
    std::swprintf(elapsed, 64, L"      at %.1f s into the run", seconds);
    PrintLine(elapsed);
    if (observer_) PrintLine(L"      " + observer_());
    PrintLine(L"      visible top-level windows:");
    for (const std::wstring& window : DescribeTopLevelWindows()) PrintLine(L"        " + window);
}

}  // namespace velmora::e2e

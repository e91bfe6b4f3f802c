#include "checks.h"

#include <windows.h>

#include <cstdio>

namespace velmora::e2e {

void PrintLine(std::wstring_view text) {
    std::string utf8;
    if (!text.empty()) {
        const int length = static_cast<int>(text.size());
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        utf8.resize(bytes > 0 ? bytes : 0);
        if (bytes > 0) {
            WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr,
                                nullptr);
        }
    }
    utf8 += '\n';
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(chars > 0 ? chars : 0, L'\0');
    if (chars > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), chars);
    return wide;
}

std::wstring Quote(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

std::wstring Describe(const std::vector<std::wstring>& lines) {
    std::wstring joined;
    for (const auto& line : lines) {
        if (!joined.empty()) joined += L' ';
        joined += L'[' + line + L']';
    }
    return joined;
}

bool Checks::Check(bool ok, std::wstring_view what, std::wstring_view detail) {
    ++(ok ? passed_ : failed_);
    std::wstring line = ok ? L"PASS  " : L"FAIL  ";
    line += what;
    if (!ok && !detail.empty()) {
        line += L"  -- ";
        line += detail;
    }
    PrintLine(line);
    return ok;
}

void Checks::Require(bool ok, std::wstring_view what, std::wstring_view detail) {
    if (!Check(ok, what, detail)) throw ScenarioAborted("a required check failed");
}

void Checks::Note(std::wstring_view text) const { PrintLine(text); }

}  // namespace velmora::e2e

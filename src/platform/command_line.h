// How a command line names its program: the split CreateProcessW makes when
// it is given no application name.  The process start and the check for a
// stale uninstaller both use it, so that they cannot disagree about which
// file a line names.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::platform {

inline constexpr std::wstring_view kCommandLineBlanks = L" \t";

struct CommandLineParts {
    std::wstring program;
    std::wstring arguments;

    bool operator==(const CommandLineParts&) const = default;
};

// Tells whether a name is a program file that can be started.
using ProgramProbe = std::function<bool(const std::wstring& name)>;

inline std::wstring WithoutLeadingBlanks(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kCommandLineBlanks);
    return start == text.npos ? std::wstring() : std::wstring(text.substr(start));
}

// Splits a command line into its program and its arguments.  Leading blanks
// (spaces, tabs) are skipped.  A quoted program is taken without its quotes
// (up to the closing quote, or to the end when there is none).  An unquoted
// program ends at a blank; with a probe, the first blank after which the text
// so far names a program wins, as CreateProcessW reads
// "C:\Program Files\App\uninst.exe /S", else the first blank.  The arguments
// are the rest, leading blanks removed.
inline CommandLineParts SplitCommandLine(std::wstring_view commandLine,
                                         const ProgramProbe& isProgram = {}) {
    const std::size_t start = commandLine.find_first_not_of(kCommandLineBlanks);
    if (start == commandLine.npos) return {};
    const std::wstring_view text = commandLine.substr(start);

    if (text.front() == L'"') {
        const std::size_t close = text.find(L'"', 1);
        if (close == text.npos) return {std::wstring(text.substr(1)), {}};
        return {std::wstring(text.substr(1, close - 1)),
                WithoutLeadingBlanks(text.substr(close + 1))};
    }

    const std::size_t firstBlank = text.find_first_of(kCommandLineBlanks);
    // Candidates end at each run of blanks, the last one at the end of the text.
    for (std::size_t end = firstBlank; isProgram;) {
        const std::wstring candidate(text.substr(0, end));
        if (isProgram(candidate)) {
            return {candidate, WithoutLeadingBlanks(text.substr(candidate.size()))};
        }
        if (end == text.npos) break;
        const std::size_t next = text.find_first_not_of(kCommandLineBlanks, end);
        if (next == text.npos) break;
        end = text.find_first_of(kCommandLineBlanks, next);
    }
    if (firstBlank == text.npos) return {std::wstring(text), {}};
    return {std::wstring(text.substr(0, firstBlank)),
            WithoutLeadingBlanks(text.substr(firstBlank))};
}

}  // namespace velmora::platform

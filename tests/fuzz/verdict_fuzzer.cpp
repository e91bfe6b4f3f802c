// Judges command lines made from the input's words against a machine made up
// from the input too: drives of every type, files, folders and errors on the
// paths the line may name, products in every state, variables defined or not.
// A broken rule aborts with the line and what the machine answered:
//   - only paths on the machine's fixed drives are ever looked at;
//   - missing only when every file looked at was reported not found, or the
//     product the line removes is not registered, and never when a reference
//     stayed unexpanded;
//   - a file found for an unquoted line is the program the start's split
//     finds with the same answers.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.h"
#include "verdict/uninstaller_verdict.h"

namespace velmora::testing {
namespace {

using platform::FileAttributes;
using platform::kInvalidFileAttributes;

// Pieces of real uninstall command lines, and of the traps among them,
// between bars.
const std::vector<std::wstring_view> kWords = [] {
    constexpr std::wstring_view words =
        L" |\t|\"|C:\\|c:/|D:\\|N:\\|\\\\server\\share\\|Program Files|\\|A B|Foo 2.0|u.exe|"
        L"uninst|unins000.exe|.exe|/S|--remove|%ProgramFiles%|%CommonProgramFiles%|%SystemRoot%|"
        L"%Undefined%|%|System32|SysWOW64|MsiExec.exe|msiexec|/X|/i|"
        L"{6F9A1B2C-3D4E-5F60-7182-93A4B5C6D7E8}|{6f9a1b2c-3d4e-5f60-7182-93a4b5c6d7e8}|"
        L"rundll32.exe|,Remove|cmd|/c|powershell|-File|wscript|//B|setup.dll|x.ps1|あいう";
    std::vector<std::wstring_view> pieces;
    for (std::size_t at = 0, bar; at <= words.size(); at = bar + 1) {
        bar = std::min(words.find(L'|', at), words.size());
        pieces.push_back(words.substr(at, bar - at));
    }
    return pieces;
}();

// What a path may turn out to be: a file, a folder, access denied, or gone.
constexpr std::array<FileAttributes, 5> kAnswers = {
    {{0x20, 0},
     {platform::kFileAttributeDirectory, 0},
     {kInvalidFileAttributes, 5},
     {kInvalidFileAttributes, platform::kPathNotFound},
     {kInvalidFileAttributes, platform::kFileNotFound}}};

// The variables every machine has; %CommonProgramFiles% only where the input
// says so.
const std::map<std::wstring, std::wstring, std::less<>> kVariables = {
    {L"%ProgramFiles%", L"C:\\Program Files"},
    {L"%ProgramFiles(x86)%", L"C:\\Program Files (x86)"},
    {L"%SystemRoot%", L"C:\\Windows"},
    {L"%CommonProgramFiles%", L"D:\\Common"}};

void Expect(bool holds, const char* rule, const std::wstring& detail) {
    if (holds) return;
    std::fprintf(stderr, "\n*** broken: %s\n%ls\n", rule, detail.c_str());
    std::abort();
}

class MadeUpMachine : public platform::UninstallerProbe {
  public:
    explicit MadeUpMachine(FuzzedDataProvider& input) : input_(input) {
        // C: is fixed; every other drive takes its type from the input.
        for (unsigned& type : drives_) type = input.ConsumeIntegralInRange<unsigned>(0, 6);
        drives_[2] = platform::kDriveFixed;
        commonProgramFiles_ = input.ConsumeBool();
        productState_ = input.ConsumeIntegralInRange(0, 15) == 0
                            ? std::nullopt
                            : std::optional(input.PickValueInArray({-2, -1, 0, 1, 2, 3, 4, 5}));
    }

    unsigned GetDriveTypeW(wchar_t letter) const override {
        Expect(letter >= L'a' && letter <= L'z', "a drive type asked for no drive", {});
        return drives_[static_cast<std::size_t>(letter - L'a')];
    }
    // Each path gets its answer when first asked, from the input.
    FileAttributes GetFileAttributesW(const std::wstring& path) const override {
        Expect(path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
                   GetDriveTypeW(static_cast<wchar_t>(path[0] | 0x20)) == platform::kDriveFixed,
               "a path off the fixed drives was looked at", path);
        const auto [answer, added] = files.try_emplace(path);
        if (added) answer->second = input_.PickValueInArray(kAnswers);
        return answer->second;
    }
    std::optional<int> MsiQueryProductStateW(const std::wstring&) const override {
        productAsked = true;
        return productState_;
    }
    // As Windows expands: a reference to an undefined variable is copied as
    // it stands, both signs, and the scan goes on after it.
    std::optional<std::wstring> ExpandEnvironmentStringsW(const std::wstring& text) const override {
        std::wstring out;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t close = text[at] == L'%' ? text.find(L'%', at + 1) : text.npos;
            if (close == text.npos) {
                out += text[at++];
                continue;
            }
            const std::wstring_view name(text.data() + at, close - at + 1);
            const auto variable = kVariables.find(name);
            if (variable != kVariables.end() &&
                (commonProgramFiles_ || name != L"%CommonProgramFiles%")) {
                out += variable->second;
            } else {
                unexpanded = unexpanded || close > at + 1;
                out += name;
            }
            at = close + 1;
        }
        return out;
    }

    // What a file's answer says to the start's split: a program it can run.
    bool IsProgram(const std::wstring& path) const {
        const auto found = files.find(path);
        return found != files.end() && found->second.attributes != kInvalidFileAttributes &&
               (found->second.attributes & platform::kFileAttributeDirectory) == 0;
    }
    bool ProductUnregistered() const { return productAsked && productState_ == -1; }

    mutable std::map<std::wstring, FileAttributes> files;
    mutable bool productAsked = false;
    mutable bool unexpanded = false;

  private:
    FuzzedDataProvider& input_;
    std::array<unsigned, 26> drives_{};
    bool commonProgramFiles_ = false;
    std::optional<int> productState_;
};

// As the start finds a program without an extension: with ".exe".
std::wstring AsProgramFile(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t dot = path.find_last_of(L'.');
    return dot != path.npos && (slash == path.npos || dot > slash) ? path : path + L".exe";
}

}  // namespace
}  // namespace velmora::testing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    using namespace velmora::testing;
    if (size > 256) return -1;
    FuzzedDataProvider input(data, size);
    const bool thirtyTwoBit = input.ConsumeBool();
    std::wstring line;
    for (int words = input.ConsumeIntegralInRange(1, 14); words > 0 && input.remaining_bytes();
         --words) {
        if (input.ConsumeBool()) {
            line += kWords[input.ConsumeIntegralInRange<std::size_t>(0, kWords.size() - 1)];
        } else {
            line += static_cast<wchar_t>(input.ConsumeIntegralInRange(1, 0x7F));
        }
    }
    MadeUpMachine machine(input);
    const verdict::Judgement judged = verdict::JudgeUninstaller(machine, line, thirtyTwoBit);

    if (judged.verdict == platform::Verdict::kMissing) {
        Expect(!machine.unexpanded, "missing, with a reference left unexpanded", line);
        bool allGone = !machine.files.empty();
        for (const auto& [path, state] : machine.files) {
            allGone = allGone && (state.error == platform::kFileNotFound ||
                                  state.error == platform::kPathNotFound);
        }
        Expect(allGone || machine.ProductUnregistered(),
               "missing, though not every file asked was reported not found", line);
    }
    if (judged.verdict != platform::Verdict::kPresent || judged.found.empty()) return 0;
    Expect(machine.IsProgram(judged.found), "present by a file the machine does not have", line);
    // An ordinary unquoted line of one reading: the classifier's file is the
    // program the start's split finds with the same answers.
    if (thirtyTwoBit || machine.unexpanded || judged.found.find(L',') != std::wstring::npos) {
        return 0;
    }
    const std::wstring start =
        platform::WithoutLeadingBlanks(*machine.ExpandEnvironmentStringsW(line));
    if (start.empty() || start.front() == L'"') return 0;
    const platform::CommandLineParts parts = platform::SplitCommandLine(
        start, [&](const std::wstring& c) { return machine.IsProgram(AsProgramFile(c)); });
    if (!machine.IsProgram(AsProgramFile(parts.program))) return 0;  // a host's argument
    Expect(AsProgramFile(parts.program) == judged.found,
           "the file found is not the program the start's split finds",
           line + L"  ->  " + judged.found);
    return 0;
}

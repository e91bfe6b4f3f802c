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

// Pieces of real uninstall command lines, and of the traps among them.
const wchar_t* const kWords[] = {L" ",
                                 L"\t",
                                 L"\"",
                                 L"C:\\",
                                 L"c:/",
                                 L"D:\\",
                                 L"N:\\",
                                 L"\\\\server\\share\\",
                                 L"Program Files",
                                 L"\\",
                                 L"A B",
                                 L"Foo 2.0",
                                 L"u.exe",
                                 L"uninst",
                                 L"unins000.exe",
                                 L".exe",
                                 L"/S",
                                 L"--remove",
                                 L"%ProgramFiles%",
                                 L"%CommonProgramFiles%",
                                 L"%SystemRoot%",
                                 L"%Undefined%",
                                 L"%",
                                 L"System32",
                                 L"SysWOW64",
                                 L"MsiExec.exe",
                                 L"msiexec",
                                 L"/X",
                                 L"/i",
                                 L"{6F9A1B2C-3D4E-5F60-7182-93A4B5C6D7E8}",
                                 L"{6f9a1b2c-3d4e-5f60-7182-93a4b5c6d7e8}",
                                 L"rundll32.exe",
                                 L",Remove",
                                 L"cmd",
                                 L"/c",
                                 L"powershell",
                                 L"-File",
                                 L"wscript",
                                 L"//B",
                                 L"setup.dll",
                                 L"x.ps1",
                                 L"あいう"};

bool IsFileState(const FileAttributes& state) {
    return state.attributes != platform::kInvalidFileAttributes &&
           (state.attributes & platform::kFileAttributeDirectory) == 0;
}

class MadeUpMachine : public platform::UninstallerProbe {
  public:
    explicit MadeUpMachine(FuzzedDataProvider& input) : input_(input) {
        // C: is fixed; every other drive takes its type from the input.
        for (std::size_t letter = 0; letter < drives_.size(); ++letter) {
            drives_[letter] =
                letter == 2 ? platform::kDriveFixed : input.ConsumeIntegralInRange<unsigned>(0, 6);
        }
        commonProgramFiles_ = input.ConsumeBool();
        msiLoads_ = input.ConsumeIntegralInRange(0, 15) != 0;
        productState_ = input.PickValueInArray({-2, -1, 0, 1, 2, 3, 4, 5});
    }

    unsigned GetDriveTypeW(wchar_t letter) const override {
        Expect(letter >= L'a' && letter <= L'z',
               "a drive type asked for a letter that is no drive");
        return drives_[static_cast<std::size_t>(letter - L'a')];
    }
    FileAttributes GetFileAttributesW(const std::wstring& path) const override {
        const bool fixed =
            path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
            GetDriveTypeW(static_cast<wchar_t>(path[0] | 0x20)) == platform::kDriveFixed;
        Expect(fixed, "a path off the fixed drives was looked at", path);
        // Each path gets its answer when first asked, from the input.
        auto [state, added] = files_.try_emplace(path, FileAttributes{});
        if (added) {
            switch (input_.ConsumeIntegralInRange(0, 5)) {
                case 0:
                    state->second = {0x20, 0};
                    break;
                case 1:
                    state->second = {platform::kFileAttributeDirectory, 0};
                    break;
                case 2:
                    state->second = {platform::kInvalidFileAttributes, 5};
                    break;
                case 3:
                    state->second = {platform::kInvalidFileAttributes, platform::kPathNotFound};
                    break;
                default:
                    state->second = {platform::kInvalidFileAttributes, platform::kFileNotFound};
            }
        }
        ++asked;
        return state->second;
    }
    std::optional<int> MsiQueryProductStateW(const std::wstring&) const override {
        productAsked = true;
        if (!msiLoads_) return std::nullopt;
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
                if (close > at + 1) unexpanded = true;
                out += text.substr(at, close - at + 1);
            }
            at = close + 1;
        }
        return out;
    }

    // What a file's answer says to the start's split: a program it can run.
    bool IsProgram(const std::wstring& path) const {
        const auto found = files_.find(path);
        return found != files_.end() && IsFileState(found->second);
    }
    bool ProductUnregistered() const { return msiLoads_ && productState_ == -1; }
    const std::map<std::wstring, FileAttributes>& Files() const { return files_; }

    static void Expect(bool holds, const char* rule, const std::wstring& detail = {}) {
        if (holds) return;
        std::fprintf(stderr, "\n*** broken: %s\n%ls\n", rule, detail.c_str());
        std::abort();
    }

    mutable int asked = 0;
    mutable bool productAsked = false;
    mutable bool unexpanded = false;

  private:
    FuzzedDataProvider& input_;
    std::array<unsigned, 26> drives_{};
    // The variables every machine has; %CommonProgramFiles% only where the
    // input says so.
    static inline const std::map<std::wstring, std::wstring, std::less<>> kVariables = {
        {L"%ProgramFiles%", L"C:\\Program Files"},
        {L"%ProgramFiles(x86)%", L"C:\\Program Files (x86)"},
        {L"%SystemRoot%", L"C:\\Windows"},
        {L"%CommonProgramFiles%", L"D:\\Common"}};
    bool commonProgramFiles_ = false;
    mutable std::map<std::wstring, FileAttributes> files_;
    bool msiLoads_ = true;
    int productState_ = -1;
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
            line += input.PickValueInArray(kWords);
        } else {
            line += static_cast<wchar_t>(input.ConsumeIntegralInRange(1, 0x7F));
        }
    }
    MadeUpMachine machine(input);
    const verdict::Judgement judged = verdict::JudgeUninstaller(machine, line, thirtyTwoBit);

    if (judged.verdict == platform::Verdict::kMissing) {
        MadeUpMachine::Expect(!machine.unexpanded, "missing, with a reference left unexpanded",
                              line);
        bool allGone = machine.asked > 0;
        for (const auto& [path, state] : machine.Files()) {
            allGone =
                allGone && state.attributes == platform::kInvalidFileAttributes &&
                (state.error == platform::kFileNotFound || state.error == platform::kPathNotFound);
        }
        MadeUpMachine::Expect(allGone || (machine.productAsked && machine.ProductUnregistered()),
                              "missing, though not every file asked was reported not found", line);
    }
    if (judged.verdict == platform::Verdict::kPresent && !judged.found.empty()) {
        MadeUpMachine::Expect(machine.IsProgram(judged.found),
                              "present by a file the machine does not have", line);
    }
    // An ordinary unquoted line of one reading: the classifier's file is the
    // program the start's split finds with the same answers.
    if (thirtyTwoBit || machine.unexpanded || judged.verdict != platform::Verdict::kPresent ||
        judged.found.empty() || judged.found.find(L',') != std::wstring::npos) {
        return 0;
    }
    const std::wstring start =
        platform::WithoutLeadingBlanks(*machine.ExpandEnvironmentStringsW(line));
    if (!start.empty() && start.front() != L'"') {
        const platform::CommandLineParts parts = platform::SplitCommandLine(
            start, [&](const std::wstring& c) { return machine.IsProgram(AsProgramFile(c)); });
        if (!machine.IsProgram(AsProgramFile(parts.program))) return 0;  // a host's argument
        MadeUpMachine::Expect(AsProgramFile(parts.program) == judged.found,
                              "the file found is not the program the start's split finds",
                              line + L"  ->  " + judged.found);
    }
    return 0;
}

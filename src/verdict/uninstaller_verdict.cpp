#include "verdict/uninstaller_verdict.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/command_line.h"

namespace velmora::verdict {
namespace {

using platform::UninstallerProbe;
using platform::Verdict;

// Programs that run what they are given: the verdict is about the DLL or
// script, never about the host itself, which every Windows has.
constexpr std::array<std::wstring_view, 5> kHosts = {L"rundll32", L"cmd", L"wscript", L"cscript",
                                                     L"powershell"};

// MAX_PATH, with the terminating NUL.
constexpr std::size_t kMaxPath = 260;

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = FoldAscii(c);
    return folded;
}

bool IsBlank(wchar_t c) { return platform::kCommandLineBlanks.find(c) != std::wstring_view::npos; }

// Every occurrence of from, in any case of its ASCII letters, replaced.
std::wstring ReplacedFolded(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    const std::wstring folded = Folded(text);
    const std::wstring foldedFrom = Folded(from);
    std::wstring result;
    std::size_t done = 0;
    for (std::size_t at = folded.find(foldedFrom); at != std::wstring::npos;
         at = folded.find(foldedFrom, done)) {
        result.append(text.substr(done, at - done)).append(to);
        done = at + from.size();
    }
    return result.append(text.substr(done));
}

// "%NAME%" with a name between the signs: what an expansion leaves of a
// variable that is not defined.
bool HasUnexpandedReference(std::wstring_view text) {
    for (std::size_t open = text.find(L'%'); open != text.npos;) {
        const std::size_t close = text.find(L'%', open + 1);
        if (close == text.npos) return false;
        if (close > open + 1) return true;
        open = text.find(L'%', close + 1);
    }
    return false;
}

// The file name of a program, without ".exe", its ASCII letters folded.
std::wstring ProgramName(std::wstring_view program) {
    const std::size_t slash = program.find_last_of(L"\\/");
    std::wstring name = Folded(program.substr(slash == program.npos ? 0 : slash + 1));
    if (name.ends_with(L".exe")) name.resize(name.size() - 4);
    return name;
}

// CreateProcessW adds ".exe" to a program named without an extension.
std::wstring AsProgramFile(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t dot = path.find_last_of(L'.');
    const bool extension = dot != path.npos && (slash == path.npos || dot > slash);
    return extension ? std::wstring(path) : std::wstring(path) + L".exe";
}

// The drive letter of "X:\..." or "X:/...": a path that is not relative to
// a current folder and not on a network share.
std::optional<wchar_t> DriveOf(std::wstring_view path) {
    if (path.size() < 3 || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/')) return {};
    const wchar_t letter = FoldAscii(path[0]);
    if (letter < L'a' || letter > L'z') return {};
    return letter;
}

// The arguments as a program's own parser takes them apart: quoted texts
// without their quotes, the rest split at blanks.
std::vector<std::wstring> Tokens(std::wstring_view text) {
    std::vector<std::wstring> tokens;
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && IsBlank(text[at])) ++at;
        if (at == text.size()) return tokens;
        if (text[at] == L'"') {
            const std::size_t close = text.find(L'"', at + 1);
            const std::size_t end = close == text.npos ? text.size() : close;
            tokens.emplace_back(text.substr(at + 1, end - at - 1));
            at = close == text.npos ? text.size() : close + 1;
        } else {
            std::size_t end = at;
            while (end < text.size() && !IsBlank(text[end])) ++end;
            tokens.emplace_back(text.substr(at, end - at));
            at = end;
        }
    }
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at the start of text.
bool StartsWithProductCode(std::wstring_view text) {
    constexpr std::wstring_view kShape = L"{00000000-0000-0000-0000-000000000000}";
    if (text.size() < kShape.size()) return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const wchar_t c = FoldAscii(text[i]);
        const bool hex = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
        if (kShape[i] == L'0' ? !hex : c != kShape[i]) return false;
    }
    return true;
}

// What the files a line may name showed, each path asked once.
class Findings {
  public:
    explicit Findings(const UninstallerProbe& probe) : probe_(probe) {}

    // Whether path is a file.  Only absolute paths on fixed drives are
    // looked at: a network drive can block for long, an empty removable
    // drive can ask for a disk, and a relative name may be found anywhere.
    bool IsFile(const std::wstring& path) {
        const std::optional<wchar_t> drive = DriveOf(path);
        // A path too long for the plain file calls is answered with an error
        // that may read as not found though the file is there.
        if (!drive || path.size() >= kMaxPath || !FixedDrive(*drive)) {
            undecided_ = true;
            return false;
        }
        auto [seen, added] = states_.try_emplace(path, State::kOther);
        if (added) seen->second = StateOf(probe_.GetFileAttributesW(path));
        if (seen->second == State::kFile) {
            if (found_.empty()) found_ = path;
            return true;
        }
        if (seen->second != State::kNotFound) undecided_ = true;
        return false;
    }

    Judgement Result() const {
        if (!found_.empty()) return {Verdict::kPresent, found_};
        if (undecided_ || states_.empty()) return {};
        return {Verdict::kMissing, {}};
    }

  private:
    // A folder is no program, yet not proof that the program is gone.
    enum class State { kFile, kNotFound, kOther };

    static State StateOf(const platform::FileAttributes& found) {
        if (found.attributes == platform::kInvalidFileAttributes) {
            const bool notFound =
                found.error == platform::kFileNotFound || found.error == platform::kPathNotFound;
            return notFound ? State::kNotFound : State::kOther;
        }
        return (found.attributes & platform::kFileAttributeDirectory) != 0 ? State::kOther
                                                                           : State::kFile;
    }

    bool FixedDrive(wchar_t letter) {
        auto [seen, added] = fixedDrives_.try_emplace(letter, false);
        if (added) seen->second = probe_.GetDriveTypeW(letter) == platform::kDriveFixed;
        return seen->second;
    }

    const UninstallerProbe& probe_;
    std::map<std::wstring, State> states_;
    std::map<wchar_t, bool> fixedDrives_;
    std::wstring found_;
    bool undecided_ = false;
};

// msiexec /X{product} or /I {product}: the Installer's registration decides.
Judgement JudgeProduct(const UninstallerProbe& probe, std::wstring_view arguments) {
    for (std::size_t at = arguments.find(L'/'); at != arguments.npos;
         at = arguments.find(L'/', at + 1)) {
        if ((at > 0 && !IsBlank(arguments[at - 1])) || at + 1 == arguments.size()) continue;
        const wchar_t option = FoldAscii(arguments[at + 1]);
        if (option != L'x' && option != L'i') continue;
        std::size_t code = at + 2;
        while (code < arguments.size() && IsBlank(arguments[code])) ++code;
        if (!StartsWithProductCode(arguments.substr(code))) continue;
        // The Installer keeps product codes in capitals.
        std::wstring product(arguments.substr(code, 38));
        for (wchar_t& c : product) c = c >= L'a' && c <= L'f' ? static_cast<wchar_t>(c - 32) : c;
        const std::optional<int> state = probe.MsiQueryProductStateW(product);
        if (!state) return {};
        switch (*state) {
            case platform::kInstallStateUnknown:
                return {Verdict::kMissing, {}};
            case platform::kInstallStateDefault:
            case platform::kInstallStateAbsent:
            case platform::kInstallStateAdvertised:
                return {Verdict::kPresent, {}};
            default:
                return {};
        }
    }
    return {};
}

// The DLL or script a host program is given; judged only when its path is
// absolute, since the host finds a relative one in folders of its own.
Judgement JudgeHostArgument(const UninstallerProbe& probe, std::wstring_view host,
                            std::wstring_view arguments) {
    const std::vector<std::wstring> tokens = Tokens(arguments);
    // The token after the option, or the first token not starting with skip.
    const auto after = [&tokens](std::initializer_list<std::wstring_view> options) {
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            for (const std::wstring_view option : options) {
                if (Folded(tokens[i]) == option) return tokens[i + 1];
            }
        }
        return std::wstring();
    };
    std::wstring target;
    if (host == L"rundll32") {
        if (!tokens.empty()) target = tokens.front().substr(0, tokens.front().find(L','));
    } else if (host == L"cmd") {
        target = after({L"/c", L"/k"});
    } else if (host == L"powershell") {
        target = after({L"-file"});
    } else {
        for (const std::wstring& token : tokens) {
            if (!token.starts_with(L"//")) {
                target = token;
                break;
            }
        }
    }
    if (!DriveOf(target)) return {};
    Findings findings(probe);
    findings.IsFile(target);
    return findings.Result();
}

// One command line, its references already expanded.
Judgement JudgeExpanded(const UninstallerProbe& probe, std::wstring_view line) {
    if (HasUnexpandedReference(line)) return {};
    const platform::CommandLineParts first = platform::SplitCommandLine(line);
    if (first.program.empty()) return {};
    const std::wstring name = ProgramName(first.program);
    if (name == L"msiexec") return JudgeProduct(probe, first.arguments);
    for (const std::wstring_view host : kHosts) {
        if (name == host) return JudgeHostArgument(probe, host, first.arguments);
    }

    Findings findings(probe);
    const auto isProgram = [&findings](const std::wstring& candidate) {
        return findings.IsFile(AsProgramFile(candidate));
    };
    const std::size_t start = line.find_first_not_of(platform::kCommandLineBlanks);
    if (line[start] == L'"') {
        // Installers put arguments inside the quotes too ("C:\X\uninst.exe
        // /S"), which CreateProcessW cannot start but which still names the
        // uninstaller: the quoted text's own prefixes are tried after it.
        if (!isProgram(first.program)) platform::SplitCommandLine(first.program, isProgram);
    } else {
        // "C:\Program Files\A B\u.exe /S": the shortest prefix that names a
        // file is the program, as CreateProcessW finds it.
        platform::SplitCommandLine(line, isProgram);
    }
    return findings.Result();
}

// The command lines a 32-bit program's entry may mean: as written, and
// with the x86 folders its own environment would have given it.
std::vector<std::wstring> ThirtyTwoBitReadings(std::wstring_view commandLine) {
    std::wstring x86 = ReplacedFolded(commandLine, L"%ProgramFiles%", L"%ProgramFiles(x86)%");
    x86 = ReplacedFolded(x86, L"%CommonProgramFiles%", L"%CommonProgramFiles(x86)%");
    std::vector<std::wstring> readings{std::wstring(commandLine)};
    if (x86 != commandLine) readings.push_back(std::move(x86));
    return readings;
}

}  // namespace

Judgement JudgeUninstaller(const UninstallerProbe& probe, std::wstring_view commandLine,
                           bool thirtyTwoBitView) {
    if (commandLine.find_first_not_of(platform::kCommandLineBlanks) == commandLine.npos) return {};
    std::vector<std::wstring> readings;
    const std::vector<std::wstring> written =
        thirtyTwoBitView ? ThirtyTwoBitReadings(commandLine)
                         : std::vector<std::wstring>{std::wstring(commandLine)};
    for (const std::wstring& line : written) {
        if (std::optional<std::wstring> expanded = probe.ExpandEnvironmentStringsW(line)) {
            readings.push_back(std::move(*expanded));
        } else {
            readings.emplace_back();  // cannot be judged
        }
    }
    if (thirtyTwoBitView) {
        // File-system redirection shows such a program SysWOW64 where it
        // names System32.
        const std::optional<std::wstring> windows =
            probe.ExpandEnvironmentStringsW(L"%SystemRoot%");
        if (windows && !windows->empty() && !HasUnexpandedReference(*windows)) {
            const std::size_t count = readings.size();
            for (std::size_t i = 0; i < count; ++i) {
                std::wstring redirected = ReplacedFolded(readings[i], *windows + L"\\System32\\",
                                                         *windows + L"\\SysWOW64\\");
                if (redirected != readings[i]) readings.push_back(std::move(redirected));
            }
        }
    }
    // Present when any reading finds its file; missing only when all are
    // sure theirs is gone.
    bool allMissing = true;
    for (const std::wstring& line : readings) {
        const Judgement judgement = line.empty() ? Judgement{} : JudgeExpanded(probe, line);
        if (judgement.verdict == Verdict::kPresent) return judgement;
        allMissing = allMissing && judgement.verdict == Verdict::kMissing;
    }
    return allMissing ? Judgement{Verdict::kMissing, {}} : Judgement{};
}

}  // namespace velmora::verdict

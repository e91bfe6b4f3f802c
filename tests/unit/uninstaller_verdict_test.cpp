// The stale-uninstaller verdict against a made-up machine: drive C: fixed,
// D: removable, N: a network drive; a few files, folders and products.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "verdict/uninstaller_verdict.h"

namespace velmora::testing {
namespace {

using platform::Verdict;

class MadeUpMachine : public platform::UninstallerProbe {
  public:
    unsigned GetDriveTypeW(wchar_t letter) const override {
        return letter == L'c' ? platform::kDriveFixed : letter == L'd' ? 2u : 4u;
    }
    platform::FileAttributes GetFileAttributesW(const std::wstring& path) const override {
        asked.push_back(path);
        if (path.starts_with(L"C:\\Locked")) return {platform::kInvalidFileAttributes, 5};
        if (files.contains(path)) return {0x20, 0};
        if (path == L"C:\\App.v2") return {platform::kFileAttributeDirectory, 0};
        return {platform::kInvalidFileAttributes, platform::kPathNotFound};
    }
    std::optional<int> MsiQueryProductStateW(const std::wstring& code) const override {
        const auto state = products.find(code);
        if (state == products.end()) return platform::kInstallStateUnknown;
        return state->second;
    }
    std::optional<std::wstring> ExpandEnvironmentStringsW(const std::wstring& text) const override {
        std::wstring out = text;
        for (const auto& [name, value] : variables) {
            for (std::size_t at; (at = out.find(name)) != out.npos;)
                out.replace(at, name.size(), value);
        }
        return out;
    }

    std::set<std::wstring> files = {L"C:\\Program Files\\A B\\u.exe",
                                    L"C:\\Foo 2.0\\uninst.exe",
                                    L"C:\\X\\uninst.exe",
                                    L"C:\\Tools\\remove.exe",
                                    L"C:\\Windows\\SysWOW64\\old.exe",
                                    L"C:\\Program Files (x86)\\W\\u.exe",
                                    L"C:\\S\\setup.dll",
                                    L"D:\\u.exe"};
    std::map<std::wstring, int> products = {
        {L"{11111111-2222-3333-4444-555555555555}", platform::kInstallStateDefault},
        {L"{AAAAAAAA-2222-3333-4444-555555555555}", platform::kInstallStateAbsent},
        {L"{BBBBBBBB-2222-3333-4444-555555555555}", platform::kInstallStateAdvertised},
        {L"{CCCCCCCC-2222-3333-4444-555555555555}", -2}};
    std::map<std::wstring, std::wstring> variables = {
        {L"%ProgramFiles%", L"C:\\Program Files"},
        {L"%ProgramFiles(x86)%", L"C:\\Program Files (x86)"},
        {L"%SystemRoot%", L"C:\\Windows"}};
    mutable std::vector<std::wstring> asked;
};

TEST(UninstallerVerdict, MissingOnlyWhenEveryNamedFileIsSurelyGone) {
    const Verdict P = Verdict::kPresent, M = Verdict::kMissing, U = Verdict::kUnknown;
    struct Case {
        std::wstring line;
        Verdict verdict;
        bool thirtyTwoBit = false;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\A B\\u.exe\" /S", P},
        {L"C:\\Program Files\\A B\\u.exe /S", P},  // not its first token, "C:\Program"
        {L"C:\\Program Files\\Gone B\\u.exe /S", M},
        {L"\"C:\\Program Files\\Gone B\\u.exe\"", M},
        {L"C:\\Foo 2.0\\uninst.exe /S", P},
        {L"\"C:\\X\\uninst.exe /S\"", P},  // arguments inside the quotes
        {L"C:\\Tools\\remove /quiet", P},  // ".exe" added, as a start adds it
        {L"\"%ProgramFiles%\\A B\\u.exe\"", P},
        {L"\"%NoSuchFolder%\\u.exe\"", U},
        {L"MsiExec.exe /I{11111111-2222-3333-4444-555555555555}", P},
        {L"msiexec /x {aaaaaaaa-2222-3333-4444-555555555555} /qb", P},
        {L"C:\\Windows\\System32\\MSIEXEC.EXE /X{BBBBBBBB-2222-3333-4444-555555555555}", P},
        {L"MsiExec.exe /X{DDDDDDDD-2222-3333-4444-555555555555}", M},
        {L"MsiExec.exe /X{CCCCCCCC-2222-3333-4444-555555555555}", U},
        {L"MsiExec.exe /X", U},
        {L"uninst.exe /S", U},  // a bare name may be found anywhere
        {L"rundll32.exe setup.dll,Remove", U},
        {L"rundll32 C:\\S\\setup.dll,Remove", P},
        {L"RunDll32 \"C:\\S\\gone.dll\",Remove", M},
        {L"cmd /c \"C:\\S\\gone.cmd\"", M},
        {L"\\\\server\\share\\u.exe", U},
        {L"N:\\gone\\u.exe", U},
        {L"D:\\gone\\u.exe", U},
        {L"C:\\Locked\\u.exe", U},                            // an error other than not found
        {L"C:\\" + std::wstring(260, L'x') + L"\\u.exe", U},  // too long for the plain calls
        {L"\"C:\\App.v2\"", U},  // a folder is no program, nor proof of one gone
        {L"C:\\Windows\\System32\\old.exe", M},
        {L"C:\\Windows\\System32\\old.exe", P, true},
        {L"\"%ProgramFiles%\\W\\u.exe\"", P, true},
        {L"\"%ProgramFiles%\\Gone\\u.exe\"", M, true},
    };
    for (const Case& c : cases) {
        const MadeUpMachine machine;
        const verdict::Judgement judged =
            verdict::JudgeUninstaller(machine, c.line, c.thirtyTwoBit);
        EXPECT_EQ(judged.verdict, c.verdict) << ::testing::PrintToString(c.line);
        for (const std::wstring& path : machine.asked) {
            EXPECT_EQ(path.substr(0, 3), L"C:\\") << "only the fixed drive is looked at";
        }
    }
}

}  // namespace
}  // namespace velmora::testing

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "scenarios.h"

namespace velmora::e2e {
namespace {

constexpr DWORD kRegCustomType = 0x1234;
// Text stored without its closing NUL: the import adds one, and nothing else.
constexpr wchar_t kUnclosedText[] = L"UnclosedText";

std::vector<BYTE> Bytes(std::initializer_list<int> bytes) { return {bytes.begin(), bytes.end()}; }

// Values of every type, with names and data a registry file has to escape or
// write as bytes to give back exactly.
void AddValuesOfEveryType(RegistrySeed& seed, Root root, const std::wstring& key) {
    // Larger than the first buffer the wide reading tries, so it must grow.
    std::vector<BYTE> binary(3000);
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<BYTE>(i * 7);
    seed.AddValue(root, key, L"", REG_SZ, Utf16(L"既定 \"値\" C:\\dir\\"));
    seed.AddValue(root, key, L"Quoted \"name\" \\ ソ表能", REG_SZ, Utf16(L"ソ表能\\"));
    seed.AddValue(root, key, L"Empty", REG_SZ, Utf16(L""));
    seed.AddValue(root, key, L"EmbeddedNul", REG_SZ, Utf16(std::wstring(L"a\0b", 3)));
    seed.AddValue(root, key, L"LineBreak", REG_SZ, Utf16(L"one\r\ntwo"));
    seed.AddValue(root, key, L"Expand", REG_EXPAND_SZ,
                  Utf16(L"%SystemRoot%\\system32\\a path long enough to go past one line.exe"));
    seed.AddValue(root, key, L"Multi", REG_MULTI_SZ, Utf16(std::wstring(L"one\0二\0", 6)));
    seed.AddValue(root, key, L"Binary", REG_BINARY, binary);
    seed.AddValue(root, key, L"EmptyBinary", REG_BINARY, {});
    seed.AddValue(root, key, L"Dword", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12}));
    seed.AddValue(root, key, L"ShortDword", REG_DWORD, Bytes({1, 2}));
    seed.AddValue(root, key, L"BigEndian", REG_DWORD_BIG_ENDIAN, Bytes({1, 2, 3, 4}));
    seed.AddValue(root, key, L"Qword", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80}));
    seed.AddValue(root, key, L"None", REG_NONE, Bytes({0xFF}));
    seed.AddValue(root, key, L"Custom", kRegCustomType, Bytes({0xAB, 0xCD}));
    std::vector<BYTE> unclosed = Utf16(L"ab");
    unclosed.resize(unclosed.size() - sizeof(wchar_t));
    seed.AddValue(root, key, kUnclosedText, REG_SZ, unclosed);
}

// The names of the registry files in the folder.
std::vector<std::wstring> RegFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*.reg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::ranges::sort(names);
    return names;
}

std::wstring ReadUtf16File(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
        return L"(no UTF-16LE byte order mark)";
    }
    std::wstring text(bytes.size() / 2 - 1, L'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    return text;
}

// "YYYY-MM-DD HH-MM-SS " followed by the rest.
bool NamedWithTime(const std::wstring& name, const std::wstring& rest) {
    const std::wstring pattern = L"0000-00-00 00-00-00 ";
    if (name.size() != pattern.size() + rest.size() || !name.ends_with(rest)) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'0' ? !iswdigit(name[i]) : name[i] != pattern[i]) return false;
    }
    return true;
}

// Runs Wine's reg.exe to import the file; its exit code, or -1.
int RegImport(const std::wstring& file) {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return -1;
    const std::wstring program = std::wstring(system) + L"\\reg.exe";
    std::wstring commandLine = L"reg import " + Quote(file);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return -1;
    }
    CloseHandle(started.hThread);
    const UniqueProcess process(started.hProcess);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exitCode)) {
        return -1;
    }
    return static_cast<int>(exitCode);
}

}  // namespace

void BackupScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry entries[] = {
        {Root::kMachine, L"Backup64", L"VelmoraE2E Backup 64", L"Z:\\backup\\64.exe"},
        {Root::kMachine32, L"Backup32", L"VelmoraE2E Backup 32", L"Z:\\backup\\32.exe"},
        {Root::kUser, L"BackupUser", L"VelmoraE2E Backup User", L"Z:\\backup\\user.exe"}};
    const wchar_t* const paths[] = {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\",
                                    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\",
                                    L"HKEY_CURRENT_USER\\Software\\"};
    for (const auto& entry : entries) {
        seed.Add(entry);
        AddValuesOfEveryType(seed, entry.root, entry.keyName);
    }
    const SeedEntry nested{Root::kUser, L"BackupNested", L"VelmoraE2E Backup Nested",
                           L"Z:\\backup\\nested.exe"};
    seed.Add(nested);
    seed.AddValue(nested.root, nested.keyName + L"\\Sub", L"Inner", REG_SZ, Utf16(L"x"));

    // A profile of the driver's own: the files the program writes are the
    // only ones there.
    const std::wstring profile = environment.outputDirectory + L"\\backup-profile";
    const std::wstring folder = profile + L"\\Velmora\\Deleted entries";
    CreateDirectoryW(profile.c_str(), nullptr);
    for (const auto& name : RegFiles(folder)) DeleteFileW((folder + L"\\" + name).c_str());
    {
        const Session s(checks, environment, {{L"LOCALAPPDATA", profile}});
        for (std::size_t i = 0; i < std::size(entries); ++i) {
            const SeedEntry& entry = entries[i];
            const std::wstring fullName = SeedKeyName(entry.keyName);
            const std::wstring what = L"backup of " + SnapshotPath(entry.root, fullName) + L": ";
            const auto before = TakeRegistrySnapshot();
            const auto filesBefore = RegFiles(folder);
            checks.Require(s.Select(*entry.displayName), what + L"its line can be selected");
            s.DeleteSelected(*entry.displayName, entry.root, entry.keyName);

            std::vector<std::wstring> added;
            std::ranges::set_difference(RegFiles(folder), filesBefore, std::back_inserter(added));
            checks.Require(
                added.size() == 1 && NamedWithTime(added[0], fullName + L".reg"),
                what + L"one new file \"YYYY-MM-DD HH-MM-SS " + fullName + L".reg\"",
                std::to_wstring(added.size()) + L" new: " + (added.empty() ? L"" : added[0]));
            const std::wstring file = folder + L"\\" + added[0];
            const std::wstring text = ReadUtf16File(file);
            const std::wstring section = L"\r\n[" + std::wstring(paths[i]) +
                                         L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                         fullName + L"]\r\n";
            checks.Check(text.starts_with(L"Windows Registry Editor Version 5.00\r\n" + section),
                         what + L"UTF-16LE with the header and the key's real path",
                         text.substr(0, 200));
            const int imported = RegImport(file);
            checks.Check(imported == 0, what + L"reg import takes the file",
                         L"exit code " + std::to_wstring(imported));
            RegistrySnapshot restored = before;
            auto& unclosed = restored[SnapshotPath(entry.root, fullName)][kUnclosedText].second;
            unclosed.insert(unclosed.end(), sizeof(wchar_t), 0);
            CheckRegistryAfter(checks, restored,
                               what + L"after reg import all is as before, the text now closed");
        }

        // The registry refuses a key with subkeys: the file goes again.
        const auto filesBefore = RegFiles(folder);
        checks.Require(s.Select(*nested.displayName), L"the entry with a subkey can be selected");
        s.DeleteFails(*nested.displayName, TakeRegistrySnapshot(), true);
        checks.Check(RegFiles(folder) == filesBefore,
                     L"a refused deletion leaves no file in the backup folder");
    }

    // A profile that is a file: no backup, so no deletion.
    const std::wstring notAFolder = profile + L"\\not-a-folder";
    { std::ofstream(notAFolder.c_str()) << "x"; }
    const Session s(checks, environment, {{L"LOCALAPPDATA", notAFolder}});
    checks.Require(s.Select(*entries[0].displayName), L"the restored entry is listed again");
    s.DeleteFails(*entries[0].displayName, TakeRegistrySnapshot(), true, {},
                  L"削除前のバックアップを保存できなかったため、削除しませんでした。\n" +
                      notAFolder + L"\\Velmora\\Deleted entries");
}

}  // namespace velmora::e2e

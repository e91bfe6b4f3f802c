#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "scenarios.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

// Value data: 8-bit text in code page 932 without a closing NUL, or a DWORD.
std::vector<BYTE> ShiftJis(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    std::vector<BYTE> data(
        WideCharToMultiByte(932, 0, text.data(), length, nullptr, 0, nullptr, nullptr));
    WideCharToMultiByte(932, 0, text.data(), length, reinterpret_cast<char*>(data.data()),
                        static_cast<int>(data.size()), nullptr, nullptr);
    return data;
}

std::vector<BYTE> Dword(DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {bytes, bytes + sizeof value};
}

struct OddEntry {
    std::wstring keyName;
    DWORD type;
    std::vector<BYTE> displayName;
    std::vector<BYTE> uninstallString;
    std::wstring line;   // the line the entry gives
    std::wstring shown;  // the command line shown
    const wchar_t* what;
};

// In code page 932 ソ, 表 and 能 take two bytes, the second 0x5C ('\').  The
// first entry is deleted later.
std::vector<OddEntry> OddEntries(const std::wstring& longCommand) {
    const auto command = Utf16(L"Z:\\odd.exe");
    return {
        {std::wstring(122, L'ソ'), REG_SZ, Utf16(L"VelmoraE2E ソフト表示機能"),
         Utf16(L"Z:\\ソ表\\能.exe /ソ"), L"VelmoraE2E ソフト表示機能", L"Z:\\ソ表\\能.exe /ソ",
         L"0x5C trail bytes in a key name of 255 bytes, the display name and command line"},
        {L"NameAtLimit", REG_SZ, Utf16(L"V" + std::wstring(127, L'表')), command,
         L"V" + std::wstring(127, L'表'), L"Z:\\odd.exe",
         L"a display name of 255 bytes, 127 of them double-byte characters, is listed whole"},
        {L"NameLong", REG_SZ, Utf16(std::wstring(140, L'能')), command, std::wstring(140, L'能'),
         L"Z:\\odd.exe", L"a display name of 140 double-byte characters is listed whole"},
        {L"CommandLong", REG_SZ, Utf16(L"VelmoraE2E Long Command"), Utf16(longCommand),
         L"VelmoraE2E Long Command", longCommand,
         L"a command line of about 400 characters is listed and shown whole"},
        {L"ExpandSz", REG_EXPAND_SZ, Utf16(L"VelmoraE2E Expand %USERNAME%"),
         Utf16(L"%SystemRoot%\\expand.exe"), L"VelmoraE2E Expand %USERNAME%",
         L"%SystemRoot%\\expand.exe", L"REG_EXPAND_SZ values are listed and shown unexpanded"},
        {L"MultiSz", REG_MULTI_SZ, Utf16(std::wstring(L"VelmoraE2E Multi First\0Second\0", 30)),
         Utf16(std::wstring(L"Z:\\multi.exe\0/second\0", 21)), L"VelmoraE2E Multi First",
         L"Z:\\multi.exe", L"REG_MULTI_SZ values give their first string"},
        {L"Binary", REG_BINARY, ShiftJis(L"VelmoraE2E バイナリ表示"),
         ShiftJis(std::wstring(L"Z:\\binary.exe\0junk", 18)), L"VelmoraE2E バイナリ表示",
         L"Z:\\binary.exe",
         L"REG_BINARY values read as 8-bit text up to the first zero byte, or whole"},
        {L"Dword", REG_DWORD, Dword(0x45324556), Dword(0x00636261), L"VE2E", L"abc",
         L"REG_DWORD values read as 8-bit text up to the first zero byte"},
    };
}

// What the recorder wrote: UTF-16 without a byte order mark.
std::wstring ReadRecord(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

}  // namespace

void OddValuesScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    // About 400 characters, as large suites write them; the recorder writes
    // down how it was started.
    std::wstring longCommand = Quote(environment.recorder) + L" culture=ja-jp productstoremove=";
    while (longCommand.size() < 400) longCommand += L"VelmoraE2EProduct.16_ja-jp_x-none|";
    const auto entries = OddEntries(longCommand);
    for (const auto& entry : entries) {
        seed.AddValue(Root::kMachine, entry.keyName, L"DisplayName", entry.type, entry.displayName);
        seed.AddValue(Root::kMachine, entry.keyName, L"UninstallString", entry.type,
                      entry.uninstallString);
    }
    const SeedEntry vanishing{Root::kMachine, L"Vanishing", L"VelmoraE2E Vanishing",
                              L"Z:\\velmora-e2e\\vanishing.exe"};
    seed.Add(vanishing);
    const std::wstring record = environment.outputDirectory + L"\\long-command.rec";
    checks.Require(DeleteFileW(record.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND,
                   L"no record of an earlier run is left");
    const Session s(checks, environment, {{L"VELMORA_RECORD_FILE", record}});

    checks.Check(s.MessageBoxes().empty(), L"odd values: start-up shows no message");
    // Japanese names and texts come through the 8-bit calls under 932 only.
    const bool shiftJis = GetACP() == 932;
    for (const auto& entry : entries) {
        if (!shiftJis &&
            std::ranges::any_of(entry.keyName + entry.line, [](wchar_t c) { return c > 0x7F; })) {
            checks.Skip(std::wstring(entry.what) + L": needs code page 932");
            continue;
        }
        const bool ok = entry.shown.empty() ? s.list.IndexOf(entry.line) < 0
                                            : s.Select(entry.line, entry.shown);
        checks.Check(ok, entry.what, L"the box shows " + Quote(s.CommandText()));
    }
    // A key named with 0x5C trail bytes is deleted whole through its line.
    if (shiftJis) {
        checks.Require(s.Select(entries[0].line),
                       L"the line " + Quote(entries[0].line) + L" is selected");
        s.DeleteSelected(entries[0].line, Root::kMachine, entries[0].keyName);
    }

    // The selected entry's key is removed by another program before the
    // delete command: the deletion fails, the list catches up, nothing else
    // is touched and the key is not made again.
    const auto registry = TakeRegistrySnapshot();
    checks.Require(s.Select(*vanishing.displayName, *vanishing.uninstallString) &&
                       RemoveUninstallKey(vanishing.root, SeedKeyName(vanishing.keyName)),
                   L"a selected entry's key is removed by another program");
    s.DeleteFails(*vanishing.displayName, registry, false,
                  SnapshotPath(vanishing.root, SeedKeyName(vanishing.keyName)));

    // The long command line reaches the started program whole (window style 1).
    checks.Require(s.Select(L"VelmoraE2E Long Command", longCommand),
                   L"the long command line's line is selected");
    PostButtonClick(s.main.run);
    std::wstring recorded;
    const bool whole =
        WaitUntil([&] { return (recorded = ReadRecord(record)) == L"1\n" + longCommand; },
                  kFirstWindowTimeout);
    checks.Check(whole && s.NoMessageBoxAppears(),
                 L"the run button starts the " + std::to_wstring(longCommand.size()) +
                     L"-character command line whole, no message",
                 L"recorded " + Quote(recorded));
}

}  // namespace velmora::e2e

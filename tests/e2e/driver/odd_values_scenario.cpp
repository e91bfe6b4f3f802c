#include <algorithm>
#include <vector>

#include "scenarios.h"
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
    std::wstring line;   // the line the entry gives, or must not give
    std::wstring shown;  // the command line shown; empty when it is not listed
    const wchar_t* what;
};

// The 8-bit names and texts the program reads end in their NUL within 256
// bytes; in code page 932 ソ, 表 and 能 take two bytes, the second 0x5C ('\').
// The first entry is deleted later.
std::vector<OddEntry> OddEntries() {
    const auto command = Utf16(L"Z:\\odd.exe");
    return {
        {std::wstring(122, L'ソ'), REG_SZ, Utf16(L"VelmoraE2E ソフト表示機能"),
         Utf16(L"Z:\\ソ表\\能.exe /ソ"), L"VelmoraE2E ソフト表示機能", L"Z:\\ソ表\\能.exe /ソ",
         L"0x5C trail bytes in a key name of 255 bytes, the display name and command line"},
        {L"NameAtLimit", REG_SZ, Utf16(L"V" + std::wstring(127, L'表')), command,
         L"V" + std::wstring(127, L'表'), L"Z:\\odd.exe",
         L"a display name of 255 bytes, 127 of them double-byte characters, is listed whole"},
        {L"NameOverLimit", REG_SZ, Utf16(std::wstring(128, L'能')), command,
         std::wstring(128, L'能'), L"",
         L"a display name of 128 double-byte characters is not listed"},
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

}  // namespace

void OddValuesScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const auto entries = OddEntries();
    for (const auto& entry : entries) {
        seed.AddValue(Root::kMachine, entry.keyName, L"DisplayName", entry.type, entry.displayName);
        seed.AddValue(Root::kMachine, entry.keyName, L"UninstallString", entry.type,
                      entry.uninstallString);
    }
    const SeedEntry vanishing{Root::kMachine, L"Vanishing", L"VelmoraE2E Vanishing",
                              L"Z:\\velmora-e2e\\vanishing.exe"};
    seed.Add(vanishing);
    const Session s(checks, environment);

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
}

}  // namespace velmora::e2e

#include <vector>

#include "registry_seed.h"
#include "scenarios.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

// A text as REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ data: UTF-16 with a closing
// NUL (a multi-string's parts are separated by L'\0' in the text itself).
std::vector<BYTE> Utf16(std::wstring_view text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    std::vector<BYTE> data(bytes, bytes + text.size() * sizeof(wchar_t));
    data.insert(data.end(), sizeof(wchar_t), 0);
    return data;
}

// A text in code page 932, as binary data, without a closing NUL.
std::vector<BYTE> ShiftJis(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(932, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::vector<BYTE> data(size > 0 ? size : 0);
    WideCharToMultiByte(932, 0, text.data(), length, reinterpret_cast<char*>(data.data()), size,
                        nullptr, nullptr);
    return data;
}

std::vector<BYTE> Dword(DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {bytes, bytes + sizeof value};
}

struct TypedValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct OddEntry {
    std::wstring keyName;
    TypedValue displayName;
    TypedValue uninstallString;
    std::wstring line;   // the line the entry gives, or must not give
    std::wstring shown;  // the command line shown; empty when it is not listed
    const wchar_t* what;
    bool deletedLater = false;
};

TypedValue Text(std::wstring_view text) { return {REG_SZ, Utf16(text)}; }

// The 8-bit names and texts the program reads end in their NUL within 256
// bytes; in code page 932 ソ, 表 and 能 take two bytes, the second 0x5C ('\').
std::vector<OddEntry> OddEntries() {
    const std::wstring longCommand = L"Z:\\velmora-e2e\\" + std::wstring(236, L'c') + L".exe";
    const std::wstring longKey = L"LongKey" + std::wstring(255 - 11 - 7, L'k');
    const std::wstring command = L"Z:\\velmora-e2e\\odd.exe";
    return {
        {L"NameAtLimit", Text(L"V" + std::wstring(127, L'表')), Text(command),
         L"V" + std::wstring(127, L'表'), command,
         L"a display name of 255 bytes, 127 of them double-byte characters, is listed whole"},
        {L"NameOverLimit", Text(std::wstring(128, L'能')), Text(command), std::wstring(128, L'能'),
         L"", L"a display name of 128 double-byte characters is not listed"},
        {L"CommandAtLimit", Text(L"VelmoraE2E Command At Limit"), Text(longCommand),
         L"VelmoraE2E Command At Limit", longCommand,
         L"a command line of 255 bytes is shown whole"},
        {longKey, Text(L"VelmoraE2E Longest Key Name"), Text(command),
         L"VelmoraE2E Longest Key Name", command, L"a key name of 255 characters is listed"},
        {std::wstring(122, L'ソ'), Text(L"VelmoraE2E ソ Key Of 255 Bytes"),
         Text(L"Z:\\ソ\\表\\能.exe"), L"VelmoraE2E ソ Key Of 255 Bytes", L"Z:\\ソ\\表\\能.exe",
         L"a key name of 255 bytes ending in 0x5C trail bytes is listed", true},
        {std::wstring(123, L'ソ'), Text(L"VelmoraE2E ソ Key Of 257 Bytes"), Text(command),
         L"VelmoraE2E ソ Key Of 257 Bytes", L"", L"a key name longer than 255 bytes is skipped"},
        {L"ソ表能", Text(L"VelmoraE2E ソフト表示機能"), Text(L"Z:\\velmora-e2e\\ソ表\\能.exe /ソ"),
         L"VelmoraE2E ソフト表示機能", L"Z:\\velmora-e2e\\ソ表\\能.exe /ソ",
         L"0x5C trail bytes in the key name, display name and command line", true},
        {L"ExpandSz",
         {REG_EXPAND_SZ, Utf16(L"VelmoraE2E Expand %USERNAME%")},
         {REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\velmora-e2e\\expand.exe")},
         L"VelmoraE2E Expand %USERNAME%",
         L"%SystemRoot%\\velmora-e2e\\expand.exe",
         L"REG_EXPAND_SZ values are listed and shown unexpanded"},
        {L"MultiSz",
         {REG_MULTI_SZ, Utf16(std::wstring(L"VelmoraE2E Multi First\0Second\0", 30))},
         {REG_MULTI_SZ, Utf16(std::wstring(L"Z:\\velmora-e2e\\multi.exe\0/second\0", 33))},
         L"VelmoraE2E Multi First",
         L"Z:\\velmora-e2e\\multi.exe",
         L"REG_MULTI_SZ values give their first string"},
        {L"Binary",
         {REG_BINARY, ShiftJis(L"VelmoraE2E バイナリ表示")},
         {REG_BINARY, ShiftJis(std::wstring(L"Z:\\velmora-e2e\\binary.exe\0junk", 30))},
         L"VelmoraE2E バイナリ表示",
         L"Z:\\velmora-e2e\\binary.exe",
         L"REG_BINARY values read as 8-bit text up to the first zero byte, or whole"},
        {L"Dword",
         {REG_DWORD, Dword(0x45324556)},
         {REG_DWORD, Dword(0x00636261)},
         L"VE2E",
         L"abc",
         L"REG_DWORD values read as 8-bit text up to the first zero byte"},
    };
}

}  // namespace

void OddValuesScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const auto entries = OddEntries();
    for (const auto& entry : entries) {
        seed.AddValue(Root::kMachine, entry.keyName, L"DisplayName", entry.displayName.type,
                      entry.displayName.data);
        seed.AddValue(Root::kMachine, entry.keyName, L"UninstallString", entry.uninstallString.type,
                      entry.uninstallString.data);
    }
    const SeedEntry vanishing{Root::kMachine, L"Vanishing", L"VelmoraE2E Vanishing",
                              L"Z:\\velmora-e2e\\vanishing.exe"};
    seed.Add(vanishing);

    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);
    checks.Check(MessageBoxesOf(process.Id()).empty(), L"odd values: start-up shows no message");
    for (const auto& entry : entries) {
        if (entry.shown.empty()) {
            checks.Check(list.IndexOf(entry.line) < 0, entry.what);
        } else {
            checks.Check(SelectLine(main, entry.line) && WaitForCommandText(main, entry.shown),
                         entry.what,
                         L"the line " + Quote(Abbreviated(entry.line)) + L" shows " +
                             Quote(Abbreviated(TextOf(main.commandText))));
        }
    }

    // Keys named with 0x5C trail bytes are deleted through their lines.
    for (const auto& entry : entries) {
        if (!entry.deletedLater) continue;
        const auto registry = TakeRegistrySnapshot();
        checks.Require(
            SelectLine(main, entry.line) && DeleteSelectedLine(process, main, entry.line),
            L"delete " + Quote(entry.line) + L": asked and answered Yes");
        checks.Check(
            WaitUntil([&] { return list.IndexOf(entry.line) < 0; }) && NoMessageBoxAppears(process),
            L"delete " + Quote(entry.line) + L": no message, the line is gone");
        CheckRegistryAfter(checks, registry,
                           L"delete " + Quote(entry.line) + L": its key is the only change",
                           SnapshotPath(Root::kMachine, SeedKeyName(entry.keyName)));
    }

    // The selected entry's key is removed by another program before the
    // delete command: the deletion fails, the list catches up, nothing else
    // is touched and the key is not made again.
    const std::wstring& line = *vanishing.displayName;
    const auto registry = TakeRegistrySnapshot();
    checks.Require(SelectLine(main, line) && WaitForCommandText(main, *vanishing.uninstallString) &&
                       RemoveUninstallKey(vanishing.root, SeedKeyName(vanishing.keyName)),
                   L"a selected entry's key is removed by another program");
    checks.Require(DeleteSelectedLine(process, main, line),
                   L"delete of a removed key: asked and answered Yes");
    ExpectNotice(checks, process, kDeleteFailedMessage, L"delete of a removed key");
    checks.Check(
        WaitUntil([&] { return list.IndexOf(line) < 0; }) && TextOf(main.commandText).empty(),
        L"delete of a removed key: the list is rescanned and its line is gone");
    CheckRegistryAfter(checks, registry, L"delete of a removed key: nothing else changes",
                       SnapshotPath(vanishing.root, SeedKeyName(vanishing.keyName)));
}

}  // namespace velmora::e2e

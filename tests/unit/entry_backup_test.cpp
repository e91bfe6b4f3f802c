// The registry file the delete command saves before a deletion: every value
// with its type and bytes, the key's real path, and the file's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/entry_backup.h"
#include "catalogue/uninstall_key.h"
#include "support/form_fixture.h"

namespace velmora::testing {
namespace {

using platform::WideValue;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> bytes) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// The file's text: the byte order mark checked, then UTF-16LE.
std::wstring TextOf(const std::vector<std::uint8_t>& file) {
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xFE || file.size() % 2 != 0) {
        return L"(not UTF-16LE with a byte order mark)";
    }
    std::wstring text;
    for (std::size_t i = 2; i < file.size(); i += 2) {
        text += static_cast<wchar_t>(file[i] | (file[i + 1] << 8));
    }
    return text;
}

TEST(EntryBackup, SavesEveryValueAndSubkeyExactlyAndChangesNothing) {
    FormFixture f;
    const std::string key = f.KeyPath(L"Export");
    const auto sjis = [&f](std::wstring_view text) {
        const std::string bytes = f.Sjis(text);
        std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        data.push_back(0);
        return data;
    };
    f.registry.SetString(kHKeyLocalMachine, key, "", f.Sjis(L"既定"));
    f.registry.SetValue(kHKeyLocalMachine, key, "Bin", platform::kRegBinary,
                        Bytes({0x00, 0x5C, 0xFF}));
    f.registry.SetString(kHKeyLocalMachine, key, "DisplayName", "Say \"hi\" to C:\\dir\\");
    f.registry.SetDword(kHKeyLocalMachine, key, "Dw", 0x0012ABCD);
    f.registry.SetValue(kHKeyLocalMachine, key, "EmptyBin", platform::kRegBinary, {});
    f.registry.SetString(kHKeyLocalMachine, key, "EmptyText", "");
    f.registry.SetValue(kHKeyLocalMachine, key, "Multi", platform::kRegMultiSz,
                        sjis(std::wstring(L"a\0表\0", 4)));
    f.registry.SetValue(kHKeyLocalMachine, key, "None", platform::kRegNone, {});
    f.registry.SetValue(kHKeyLocalMachine, key, "OddDword", platform::kRegDword, Bytes({1, 2, 3}));
    f.registry.SetValue(kHKeyLocalMachine, key, "Path", platform::kRegExpandSz,
                        sjis(L"%SystemRoot%\\x"));
    f.registry.SetString(kHKeyLocalMachine, key, "quo\"te\\back", "x");
    f.registry.SetValue(kHKeyLocalMachine, key, "Qw", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80}));
    f.registry.SetValue(kHKeyLocalMachine, key, "Typed", 0x20000, Bytes({0xAB}));
    // Both characters end in the byte 0x5C in Shift_JIS.
    f.registry.SetString(kHKeyLocalMachine, key, f.Sjis(L"ソ表"), f.Sjis(L"ソ表\\"));
    f.registry.SetString(kHKeyLocalMachine, key + "\\Nested", "Inner", "x\\y");
    f.registry.AddKey(kHKeyLocalMachine, key + "\\Nested\\Deeper");
    f.registry.AddKey(kHKeyLocalMachine, key + "\\Another");
    const auto before = f.registry.Snapshot();

    platform::RegHandle uninstall = 0;
    ASSERT_EQ(catalogue::OpenUninstallKey(f.registry, kHKeyLocalMachine, platform::kKeyFullAccess,
                                          0, &uninstall),
              0);
    const auto saved = backup::SaveEntryBackup(f.wideRegistry, f.backups, uninstall,
                                               kHKeyLocalMachine, 0, L"Export");
    f.registry.RegCloseKey(uninstall);

    ASSERT_EQ(saved.status, backup::BackupStatus::kSaved);
    EXPECT_EQ(saved.file, L"2026-12-07 14-05-33 Export.reg");
    const std::wstring path =
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Export";
    EXPECT_EQ(
        TextOf(f.backups.files[saved.file]),
        L"Windows Registry Editor Version 5.00\r\n"
        L"\r\n"
        L"[" +
            path +
            L"]\r\n"
            L"@=\"既定\"\r\n"
            L"\"Bin\"=hex:00,5c,ff\r\n"
            L"\"DisplayName\"=\"Say \\\"hi\\\" to C:\\\\dir\\\\\"\r\n"
            L"\"Dw\"=dword:0012abcd\r\n"
            L"\"EmptyBin\"=hex:\r\n"
            L"\"EmptyText\"=\"\"\r\n"
            L"\"Multi\"=hex(7):61,00,00,00,68,88,00,00,00,00\r\n"
            L"\"None\"=hex(0):\r\n"
            L"\"OddDword\"=hex(4):01,02,03\r\n"
            L"\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
            L"  00,25,00,5c,00,78,00,00,00\r\n"
            L"\"quo\\\"te\\\\back\"=\"x\"\r\n"
            L"\"Qw\"=hex(b):01,00,00,00,00,00,00,80\r\n"
            L"\"Typed\"=hex(20000):ab\r\n"
            L"\"ソ表\"=\"ソ表\\\\\"\r\n"
            L"\r\n"
            L"[" +
            path +
            L"\\Another]\r\n"
            L"\r\n"
            L"[" +
            path +
            L"\\Nested]\r\n"
            L"\"Inner\"=\"x\\\\y\"\r\n"
            L"\r\n"
            L"[" +
            path +
            L"\\Nested\\Deeper]\r\n"
            L"\r\n");
    EXPECT_EQ(f.registry.Snapshot(), before);
    EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
}

// Bytes import back as spelt, but for text without its closing NUL: importers
// add one, and no spelling avoids that; bytes are still the closest.
TEST(EntryBackup, WritesAsBytesWhatAQuotedTextCannotCarry) {
    struct Case {
        const char* name;
        WideValue value;
        std::wstring line;  // nothing: no file can carry it
    };
    const auto sz = platform::kRegSz;
    const std::vector<Case> cases = {
        {"a string", {L"S", sz, Bytes({'a', 0, 0, 0})}, L"\"S\"=\"a\""},
        {"no closing NUL (added on import)", {L"S", sz, Bytes({'a', 0})}, L"\"S\"=hex(1):61,00"},
        {"an odd byte count", {L"S", sz, Bytes({'a', 0, 0})}, L"\"S\"=hex(1):61,00,00"},
        {"an embedded NUL",
         {L"S", sz, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0})},
         L"\"S\"=hex(1):61,00,00,00,62,00,00,00"},
        {"no bytes at all", {L"S", sz, {}}, L"\"S\"=hex(1):"},
        {"a line break",
         {L"S", sz, Bytes({'a', 0, '\n', 0, 0, 0})},
         L"\"S\"=hex(1):61,00,0a,00,00,00"},
        {"a DWORD of eight bytes",
         {L"D", platform::kRegDword, Bytes({1, 0, 0, 0, 0, 0, 0, 0})},
         L"\"D\"=hex(4):01,00,00,00,00,00,00,00"},
        {"a line break in a value name", {L"a\nb", sz, Bytes({0, 0})}, L""},
        {"a NUL in a value name", {std::wstring(L"a\0b", 3), sz, Bytes({0, 0})}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = backup::RegFileText({{L"HKEY_CURRENT_USER\\K", {c.value}}});
        if (c.line.empty()) {
            EXPECT_FALSE(text.has_value());
        } else {
            EXPECT_EQ(text,
                      L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n" +
                          c.line + L"\r\n\r\n");
        }
    }
    EXPECT_FALSE(backup::RegFileText({{L"HKEY_CURRENT_USER\\K\r\n[X]", {}}}).has_value());
}

TEST(EntryBackup, KeyPathsNameTheRealPlaceAndFileNamesAreSafe) {
    using platform::kKeyWow64_32Key;
    using platform::kKeyWow64_64Key;
    const std::wstring tail = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\App";
    EXPECT_EQ(backup::RegFileKeyPath(kHKeyLocalMachine, 0, L"App"),
              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\" + tail);
    EXPECT_EQ(backup::RegFileKeyPath(kHKeyLocalMachine, kKeyWow64_64Key, L"App"),
              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\" + tail);
    EXPECT_EQ(backup::RegFileKeyPath(kHKeyLocalMachine, kKeyWow64_32Key, L"App"),
              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + tail);
    EXPECT_EQ(backup::RegFileKeyPath(kHKeyCurrentUser, 0, L"App"),
              L"HKEY_CURRENT_USER\\Software\\" + tail);

    const platform::LocalTime time{2027, 1, 2, 3, 4, 5};
    struct Case {
        std::wstring key;
        int copy;
        std::wstring file;
    };
    const std::vector<Case> cases = {
        {L"RealNsisSample", 1, L"2027-01-02 03-04-05 RealNsisSample.reg"},
        {L"RealNsisSample", 3, L"2027-01-02 03-04-05 RealNsisSample (3).reg"},
        {L"a/b:c*d?e\"f<g>h|i\tj", 1, L"2027-01-02 03-04-05 a_b_c_d_e_f_g_h_i_j.reg"},
        {L"{GUID} ソフト表", 1, L"2027-01-02 03-04-05 {GUID} ソフト表.reg"},
        {std::wstring(255, L'x'), 2,
         L"2027-01-02 03-04-05 " + std::wstring(80, L'x') + L" (2).reg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(backup::BackupFileName(time, c.key, c.copy), c.file);
    }
}

}  // namespace
}  // namespace velmora::testing

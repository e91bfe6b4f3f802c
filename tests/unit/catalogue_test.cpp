// The catalogue against the in-memory registry: the value reader, the scan of
// both Uninstall keys and the lookup of a line's slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/find_entry.h"
#include "catalogue/shared_module.h"
#include "support/form_fixture.h"

namespace velmora::testing {
namespace {

using platform::memory::Denial;

const std::wstring kSo = L"ソ";    // 0x83 0x5C: its trail byte is '\'
const std::wstring kHyou = L"表";  // 0x95 0x5C
const std::wstring kNou = L"能";   // 0x94 0x5C

TEST(ValueReader, ReadsWhatFitsAndNothingElse) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;  // stored exactly; nullopt-like "<missing>" means no value
        std::wstring expected;
    };
    const std::string nul(1, '\0');
    const std::vector<Case> cases = {
        {"255 single-byte characters and NUL fit exactly", platform::kRegSz,
         std::string(255, 'a') + nul, std::wstring(255, L'a')},
        {"256 single-byte characters and NUL are too long", platform::kRegSz,
         std::string(256, 'a') + nul, L""},
        {"128 double-byte characters and NUL are too long", platform::kRegSz,
         [] {
             std::string s;
             for (int i = 0; i < 128; ++i) s += "\x95\x5C";
             return s + std::string(1, '\0');
         }(),
         L""},
        {"127 double-byte characters fit", platform::kRegSz,
         [] {
             std::string s;
             for (int i = 0; i < 127; ++i) s += "\x95\x5C";
             return s + std::string(1, '\0');
         }(),
         std::wstring(127, L'表')},
        {"only spaces", platform::kRegSz, "    " + nul, L""},
        {"a lone NUL", platform::kRegSz, nul, L""},
        {"no NUL at all", platform::kRegSz, "abc", L"abc"},
        {"leading and trailing spaces, inner ones kept", platform::kRegSz, "  a  b  " + nul,
         L"a  b"},
        {"text after an inner NUL is dropped", platform::kRegSz, "ab" + nul + "cd" + nul, L"ab"},
        {"0x5C trail bytes stay inside their characters", platform::kRegSz,
         "\x83\x5C\x95\x5C\x94\x5C" + nul, kSo + kHyou + kNou},
        {"numbers are read as text up to the first zero byte", platform::kRegDword,
         std::string("A\0\0\0", 4), L"A"},
        {"expandable strings come back unexpanded", platform::kRegExpandSz,
         "%SystemRoot%\\x.exe" + nul, L"%SystemRoot%\\x.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture f;
        f.registry.SetValue(kHKeyLocalMachine, "Software\\K", "V", c.type,
                            std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        platform::RegHandle software = 0;
        ASSERT_EQ(f.registry.RegOpenKeyExA(kHKeyLocalMachine, "Software", 0, platform::kKeyRead,
                                           &software),
                  0);
        std::uint32_t size = 256;
        EXPECT_EQ(SharedModule::GetRegValueText(f.registry, f.codePage, software, L"K", L"V", size),
                  c.expected);
        f.registry.RegCloseKey(software);
        EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
    }
}

TEST(ValueReader, MissingValuesAndSubkeysGiveEmptyTextAndCreateNothing) {
    FormFixture f;
    f.registry.AddKey(kHKeyLocalMachine, "Software\\K");
    platform::RegHandle software = 0;
    ASSERT_EQ(
        f.registry.RegOpenKeyExA(kHKeyLocalMachine, "Software", 0, platform::kKeyRead, &software),
        0);
    const auto before = f.registry.Snapshot();
    for (const wchar_t* subKey : {L"K", L"Gone"}) {
        std::uint32_t size = 256;
        EXPECT_EQ(SharedModule::GetRegValueText(f.registry, f.codePage, software, subKey,
                                                L"DisplayName", size),
                  L"");
    }
    EXPECT_EQ(f.registry.Snapshot(), before);
    f.registry.RegCloseKey(software);
    EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
}

// A registry with something of everything, scanned once.
class ScanTest : public ::testing::Test {
  protected:
    void SeedMixedRegistry() {
        f.AddEntry(kHKeyLocalMachine, L"App", L"Beta Suite", L"  C:\\beta\\un.exe /x  ");
        f.AddEntry(kHKeyLocalMachine, L"NameOnly", L"No Command", std::nullopt);
        f.AddEntry(kHKeyLocalMachine, L"CommandOnly", std::nullopt, L"C:\\x.exe");
        f.AddEntry(kHKeyLocalMachine, L"Blank", L"   ", L"C:\\y.exe");
        f.AddEntry(kHKeyLocalMachine, L"Padded", L"  Alpha  ", L"a.exe");
        f.AddEntry(kHKeyLocalMachine, kSo + kHyou + kNou, kSo + L"フト" + kHyou + L"計算" + kNou,
                   L"C:\\" + kSo + L"\\un.exe");
        f.AddEntry(kHKeyCurrentUser, L"UserApp", L"alpha", L"u.exe");
        f.AddEntry(kHKeyCurrentUser, L"Twin", L"Beta Suite", L"C:\\beta\\user-un.exe");
    }

    FormFixture f;
};

TEST_F(ScanTest, ListsEveryEntryWithBothValuesTrimmedAndSorted) {
    SeedMixedRegistry();
    f.text.text = L"old";
    f.form.追加と削除の一覧検索();

    const std::wstring japanese = kSo + L"フト" + kHyou + L"計算" + kNou;
    EXPECT_EQ(f.list.Texts(), (std::vector<std::wstring>{L"Alpha", L"Beta Suite", L"Beta Suite",
                                                         L"alpha", japanese}));
    EXPECT_EQ(f.text.text, L"");
    EXPECT_TRUE(f.messages.shown.empty());
    // HKLM enumerates App, Blank, CommandOnly, NameOnly, Padded, ソ表能; HKCU two more.
    EXPECT_EQ(f.form.EntryCount(), 8);
    EXPECT_EQ(f.list.updateDepth, 0);
    EXPECT_EQ(f.registry.OpenHandleCount(), 0u);

    // Every line carries a slot whose entry holds exactly that line.
    for (const auto& line : f.list.lines) {
        const auto& entry = f.form.Entries().at(line.slot);
        EXPECT_EQ(entry.DisplayName, line.text);
        EXPECT_EQ(catalogue::FindEntryByDisplayName(f.form.Entries(), f.form.EntryCount(),
                                                    line.text, line.slot),
                  line.slot);
    }
    const auto& japaneseEntry = f.form.Entries().at(5);
    EXPECT_EQ(japaneseEntry.KeyName, kSo + kHyou + kNou);
    EXPECT_EQ(japaneseEntry.UninstallString, L"C:\\" + kSo + L"\\un.exe");
    EXPECT_EQ(f.form.Entries().at(0).UninstallString, L"C:\\beta\\un.exe /x");
    // Unlisted subkeys still record their names.
    EXPECT_EQ(f.form.Entries().at(3).KeyName, L"NameOnly");
    EXPECT_EQ(f.form.Entries().at(3).DisplayName, L"");
    EXPECT_EQ(f.form.Entries().at(6).RootKey, kHKeyCurrentUser);
    EXPECT_EQ(f.form.Entries().at(6).CanDelete, catalogue::kTrue);
}

TEST_F(ScanTest, CreatesOnlyAnAbsentUserUninstallKey) {
    f.AddEntry(kHKeyLocalMachine, L"App", L"App", L"a.exe");
    auto expected = f.registry.Snapshot();
    f.form.追加と削除の一覧検索();
    const auto after = f.registry.Snapshot();
    const std::string userKey = std::string("HKEY_CURRENT_USER\\") + catalogue::kUninstallPath;
    ASSERT_TRUE(after.count(userKey));
    EXPECT_EQ(after.at(userKey).className, "0");
    EXPECT_TRUE(after.at(userKey).values.empty());
    // The user's Uninstall key and the keys on its way may appear, and
    // nothing else.
    for (std::string path = userKey; path.find('\\') != std::string::npos;
         path.erase(path.rfind('\\'))) {
        if (!expected.count(path) && after.count(path)) expected[path] = after.at(path);
    }
    EXPECT_EQ(after, expected);
    f.form.追加と削除の一覧検索();
    EXPECT_EQ(f.registry.Snapshot(), after);
}

TEST_F(ScanTest, TableLimits) {
    struct Case {
        const char* name;
        int machineKeys;
        int userKeys;
        std::int16_t expectedCount;
        std::size_t expectedLines;
        std::size_t enumerations;  // RegEnumKeyA calls of both passes
    };
    const std::vector<Case> cases = {
        {"exactly 257 machine subkeys fill the table", 257, 0, 257, 257, 257},
        {"more than 257 machine subkeys: the rest is ignored", 300, 3, 257, 257, 257},
        {"the user pass stops where the table ends", 250, 10, 257, 257, 251 + 7},
        {"both fit", 200, 57, 257, 257, 201 + 57},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture g;
        for (int i = 0; i < c.machineKeys; ++i) {
            const std::wstring n = L"M" + std::to_wstring(1000 + i);
            g.AddEntry(kHKeyLocalMachine, n, n, L"m.exe");
        }
        for (int i = 0; i < c.userKeys; ++i) {
            const std::wstring n = L"U" + std::to_wstring(1000 + i);
            g.AddEntry(kHKeyCurrentUser, n, n, L"u.exe");
        }
        g.registry.ResetCallCounts();
        g.form.追加と削除の一覧検索();
        EXPECT_EQ(g.registry.CallCount("RegEnumKeyA"), c.enumerations);
        EXPECT_EQ(g.form.EntryCount(), c.expectedCount);
        EXPECT_EQ(g.list.lines.size(), c.expectedLines);
        EXPECT_TRUE(g.messages.shown.empty());
        EXPECT_EQ(g.registry.OpenHandleCount(), 0u);
        for (const auto& line : g.list.lines)
            EXPECT_EQ(g.form.Entries().at(line.slot).DisplayName, line.text);
    }
}

TEST_F(ScanTest, FaultsOfRootsAndSubkeys) {
    struct Case {
        const char* name;
        std::function<void(FormFixture&)> fault;
        std::vector<std::wstring> lines;
        std::int16_t count;  // -1: unchanged from the earlier scan
        bool message;
    };
    const std::string uninstall = catalogue::kUninstallPath;
    const std::vector<Case> cases = {
        {"machine key read-only",
         [&](FormFixture& g) {
             g.registry.DenyAccess(kHKeyLocalMachine, uninstall, Denial::kWrite);
         },
         {L"Machine A", L"Machine B", L"User C"},
         3,
         false},
        {"machine key unreadable: nothing listed, count and text kept",
         [&](FormFixture& g) { g.registry.DenyAccess(kHKeyLocalMachine, uninstall, Denial::kAll); },
         {},
         -1,
         true},
        {"user key unreadable: machine entries stay",
         [&](FormFixture& g) { g.registry.DenyAccess(kHKeyCurrentUser, uninstall, Denial::kAll); },
         {L"Machine A", L"Machine B"},
         2,
         true},
        {"a failing enumeration index is skipped",
         [&](FormFixture& g) { g.registry.FailEnumeration(kHKeyLocalMachine, uninstall, 0, 5); },
         {L"Machine B", L"User C"},
         3,
         false},
        {"a name enumerated with a backslash of its own is neither read nor listed",
         [&](FormFixture& g) {
             // A¥B comes back from the 8-bit call as A\B, the path of a
             // subkey of A that has both values.
             g.AddEntry(kHKeyLocalMachine, L"A\\B", L"Nested B", L"nested.exe");
             g.AddEntry(kHKeyLocalMachine, L"AyenB", L"Yen Key", L"yen.exe");
             g.registry.ReportEnumeratedNameAs(kHKeyLocalMachine, uninstall, "AyenB", "A\\B");
         },
         {L"Machine A", L"Machine B", L"User C"},
         4,
         false},
        {"a subkey removed after its enumeration is neither listed nor re-created",
         [&](FormFixture& g) {
             g.registry.RemoveAfterEnumeration(kHKeyLocalMachine, uninstall, "B");
         },
         {L"Machine A", L"User C"},
         3,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture g;
        g.AddEntry(kHKeyLocalMachine, L"A", L"Machine A", L"a.exe");
        g.AddEntry(kHKeyLocalMachine, L"B", L"Machine B", L"b.exe");
        g.AddEntry(kHKeyCurrentUser, L"C", L"User C", L"c.exe");
        // An earlier scan with a larger table, then a selection's text.
        g.AddEntry(kHKeyCurrentUser, L"D", L"User D", L"d.exe");
        g.form.追加と削除の一覧検索();
        g.registry.RemoveKey(kHKeyCurrentUser, g.KeyPath(L"D"));
        g.text.text = L"shown";

        c.fault(g);
        g.form.追加と削除の一覧検索();
        EXPECT_EQ(g.list.Texts(), c.lines);
        EXPECT_EQ(g.form.EntryCount(), c.count == -1 ? 4 : c.count);
        EXPECT_EQ(g.text.text, c.message ? L"shown" : L"");
        using Boxes = std::vector<FakeMessageBoxes::Shown>;
        const Boxes boxes =
            c.message ? Boxes{{L"レジストリデータの取得に失敗しました。", platform::kMbOk}}
                      : Boxes{};
        EXPECT_EQ(g.messages.shown, boxes);
        EXPECT_FALSE(g.EntryExists(kHKeyLocalMachine, L"B") &&
                     std::string(c.name).find("removed") != std::string::npos);
        EXPECT_EQ(g.registry.OpenHandleCount(), 0u);
        // A name this scan did not list is found nowhere, whatever an earlier
        // scan left in its slot.
        for (const wchar_t* name :
             {L"Machine A", L"Machine B", L"User C", L"User D", L"Nested B", L"Yen Key"}) {
            if (std::find(c.lines.begin(), c.lines.end(), name) != c.lines.end()) continue;
            EXPECT_EQ(
                catalogue::FindEntryByDisplayName(g.form.Entries(), g.form.EntryCount(), name, -1),
                g.form.EntryCount());
        }
        for (const auto& line : g.list.lines) {
            const auto& entry = g.form.Entries().at(line.slot);
            EXPECT_EQ(entry.DisplayName, line.text);
            const bool machineReadOnly = std::string(c.name) == "machine key read-only";
            EXPECT_EQ(entry.CanDelete, machineReadOnly && entry.RootKey == kHKeyLocalMachine
                                           ? catalogue::kFalse
                                           : catalogue::kTrue);
        }
    }
}

TEST(FindEntry, MapsLinesToTheirOwnSlots) {
    FormFixture f;
    f.AddEntry(kHKeyLocalMachine, L"A", L"Same", L"machine.exe");
    f.AddEntry(kHKeyLocalMachine, L"B", L"Case", L"upper.exe");
    f.AddEntry(kHKeyLocalMachine, L"C", L"case", L"lower.exe");
    f.AddEntry(kHKeyLocalMachine, L"D", L"Unlisted", std::nullopt);
    f.AddEntry(kHKeyCurrentUser, L"A", L"Same", L"user.exe");
    f.form.追加と削除の一覧検索();
    const auto& entries = f.form.Entries();
    const std::int16_t count = f.form.EntryCount();
    ASSERT_EQ(count, 5);

    struct Case {
        const wchar_t* text;
        std::int16_t lineSlot;
        std::int16_t expected;
    };
    const std::vector<Case> cases = {
        {L"Same", 0, 0},
        {L"Same", 4, 4},  // each duplicate its own slot
        {L"Same", -1, 0},
        {L"Same", 1, 0},    // a slot that does not hold the text: lowest match
        {L"Same", 300, 0},  // a slot beyond the table is never read
        {L"Case", 2, 1},
        {L"case", 2, 2},      // case tells names apart
        {L"CASE", 1, count},  // no match
        {L"", 0, count},
        {L"", 3, count},          // nor does the emptied slot of an unlisted entry
        {L"Unlisted", 3, count},  // the empty text matches no slot
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::string(c.text, c.text + wcslen(c.text)) << " " << c.lineSlot);
        EXPECT_EQ(catalogue::FindEntryByDisplayName(entries, count, c.text, c.lineSlot),
                  c.expected);
    }
    catalogue::Entries empty;
    EXPECT_EQ(catalogue::FindEntryByDisplayName(empty, 0, L"Same", 0), 0);
}

TEST(FindEntry, NeverFindsASlotTheLatestScanDidNotList) {
    FormFixture f;
    f.AddEntry(kHKeyLocalMachine, L"A", L"Old Name", L"a.exe");
    f.AddEntry(kHKeyLocalMachine, L"B", L"Other", L"b.exe");
    f.form.追加と削除の一覧検索();
    // The subkey at slot 0 loses its command line: it is no longer listed,
    // although the slot still names a subkey.
    f.registry.SetString(kHKeyLocalMachine, f.KeyPath(L"A"), "UninstallString", "");
    f.form.追加と削除の一覧検索();
    EXPECT_EQ(f.list.Texts(), std::vector<std::wstring>{L"Other"});
    EXPECT_EQ(
        catalogue::FindEntryByDisplayName(f.form.Entries(), f.form.EntryCount(), L"Old Name", 0),
        f.form.EntryCount());
}

}  // namespace
}  // namespace velmora::testing

namespace velmora::testing {
namespace {

const std::string kUninstall32 =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Seeds the 64-bit view, the 32-bit view and the user's key with one
// same-named entry each plus one of their own.
void SeedBothViews(FormFixture& f) {
    f.registry.SetSeparateViews(true);
    f.AddEntry(kHKeyLocalMachine, L"Same", L"Same", L"C:\\64\\un.exe");
    f.AddEntry(kHKeyLocalMachine, L"Only64", L"Only 64", L"64.exe");
    for (const auto& [key, name, command] : {std::tuple{"Same", "Same", "C:\\32\\un.exe"},
                                             std::tuple{"Only32", "Only 32", "32.exe"}}) {
        f.registry.AddKey(kHKeyLocalMachine, kUninstall32 + "\\" + key);
        f.registry.SetString(kHKeyLocalMachine, kUninstall32 + "\\" + key, "DisplayName", name);
        f.registry.SetString(kHKeyLocalMachine, kUninstall32 + "\\" + key, "UninstallString",
                             command);
    }
    f.AddEntry(kHKeyCurrentUser, L"User", L"User", L"u.exe");
}

TEST(MachineViews, EachViewIsAPassOfItsOwn) {
    struct Case {
        const char* name;
        bool separate;
        std::function<void(FormFixture&)> fault;
        std::vector<std::wstring> lines;
        std::size_t messages;
    };
    const std::vector<Case> cases = {
        {"both views and the user's key",
         true,
         [](FormFixture&) {},
         {L"Only 32", L"Only 64", L"Same", L"Same", L"User"},
         0},
        {"an unreadable 32-bit view hides nothing else",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, kUninstall32, platform::memory::Denial::kAll);
         },
         {L"Only 64", L"Same", L"User"},
         1},
        {"an unreadable 64-bit view hides nothing else",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, catalogue::kUninstallPath,
                                   platform::memory::Denial::kAll);
         },
         {L"Only 32", L"Same", L"User"},
         1},
        {"both views unreadable: one box for the machine root",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
         },
         {L"User"},
         1},
        {"both views and the user's key unreadable: the user root has a box of its own",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
             f.registry.DenyAccess(kHKeyCurrentUser, "Software", platform::memory::Denial::kAll);
         },
         {},
         2},
        {"one view: the two-pass scan",
         false,
         [](FormFixture&) {},
         {L"Only 64", L"Same", L"User"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture f;
        SeedBothViews(f);
        f.registry.SetSeparateViews(c.separate);
        c.fault(f);
        mainwindow::ZentrelForm form{f.Platform(), catalogue::ScanPasses(c.separate)};
        form.追加と削除の一覧検索();
        EXPECT_EQ(f.list.Texts(), c.lines);
        EXPECT_EQ(f.messages.shown,
                  std::vector<FakeMessageBoxes::Shown>(
                      c.messages, {L"レジストリデータの取得に失敗しました。", platform::kMbOk}));
        EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
        for (const auto& line : f.list.lines) {
            EXPECT_EQ(catalogue::FindEntryByDisplayName(form.Entries(), form.EntryCount(),
                                                        line.text, line.slot),
                      line.slot);
        }
    }
}

TEST(MachineViews, DeletingRemovesTheKeyOfTheEntrysOwnView) {
    for (const std::wstring command : {L"C:\\64\\un.exe", L"C:\\32\\un.exe"}) {
        SCOPED_TRACE(std::string(command.begin(), command.end()));
        FormFixture f;
        SeedBothViews(f);
        mainwindow::ZentrelForm form{f.Platform(), catalogue::ScanPasses(true)};
        form.Form_Load();
        for (int occurrence = 0; occurrence < 2; ++occurrence) {
            f.Select(L"Same", occurrence);
            form.UninstallList_Click();
            if (f.text.text == command) break;
        }
        ASSERT_EQ(f.text.text, command);
        form.ListDelCommand_Click();
        const bool deleted64 = command == L"C:\\64\\un.exe";
        EXPECT_EQ(f.registry.KeyExists(kHKeyLocalMachine, f.KeyPath(L"Same")), !deleted64);
        EXPECT_EQ(f.registry.KeyExists(kHKeyLocalMachine, kUninstall32 + "\\Same"), deleted64);
        EXPECT_EQ(f.list.Texts(),
                  (std::vector<std::wstring>{L"Only 32", L"Only 64", L"Same", L"User"}));
    }
}

}  // namespace
}  // namespace velmora::testing

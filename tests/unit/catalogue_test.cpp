// The catalogue against the in-memory registry: the value reader, the scan of
// both Uninstall keys and the lookup of a line's slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/find_entry.h"
#include "catalogue/shared_module.h"
#include "catalogue/uninstall_list_scan.h"
#include "support/form_fixture.h"
#include "support/registry_fixture.h"

namespace velmora::catalogue {
// Readable in a failed expectation.
void PrintTo(const ListedLine& line, std::ostream* os) {
    *os << ::testing::PrintToString(line.displayName) << " @" << line.slot;
}
}  // namespace velmora::catalogue

namespace velmora::testing {
namespace {

using Line = catalogue::ListedLine;

using platform::memory::Denial;

const std::wstring kSo = L"ソ";    // 0x83 0x5C: its trail byte is '\'
const std::wstring kHyou = L"表";  // 0x95 0x5C
const std::wstring kNou = L"能";   // 0x94 0x5C

TEST(ValueReader, ReadsWhatFitsAndNothingElse) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;  // stored exactly
        std::wstring expected;
        int growths = 0;  // times the value gains 100 bytes when found too large
    };
    const std::string nul(1, '\0');
    const auto doubleBytes = [&nul](int count) {
        std::string s;
        for (int i = 0; i < count; ++i) s += "\x95\x5C";
        return s + nul;
    };
    const std::vector<Case> cases = {
        {"255 single-byte characters and NUL fit the first read exactly", platform::kRegSz,
         std::string(255, 'a') + nul, std::wstring(255, L'a')},
        {"256 single-byte characters and NUL are read again, whole", platform::kRegSz,
         std::string(256, 'a') + nul, std::wstring(256, L'a')},
        {"128 double-byte characters and NUL are read again, whole", platform::kRegSz,
         doubleBytes(128), std::wstring(128, L'表')},
        {"127 double-byte characters fit", platform::kRegSz, doubleBytes(127),
         std::wstring(127, L'表')},
        {"32,767 bytes, the longest command line, are read whole", platform::kRegSz,
         std::string(32766, 'a') + nul, std::wstring(32766, L'a')},
        {"32,768 bytes are too long", platform::kRegSz, std::string(32767, 'a') + nul, L""},
        {"a value that grows between the reads is read once more", platform::kRegSz,
         std::string(300, 'g') + nul, std::wstring(400, L'g'), 1},
        {"a value that keeps growing reads as empty", platform::kRegSz, std::string(300, 'g') + nul,
         L"", 2},
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
        RegistryFixture f;
        f.registry.SetValue(kHKeyLocalMachine, "Software\\K", "V", c.type,
                            std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        f.registry.OnValueTooLarge([&, growths = c.growths, bytes = c.bytes]() mutable {
            if (growths-- <= 0) return;
            bytes.insert(0, 100, 'g');
            f.registry.SetValue(kHKeyLocalMachine, "Software\\K", "V", c.type,
                                {bytes.begin(), bytes.end()});
        });
        platform::RegHandle software = 0;
        ASSERT_EQ(f.registry.RegOpenKeyExA(kHKeyLocalMachine, "Software", 0, platform::kKeyRead,
                                           &software),
                  0);
        std::uint32_t size = 256;
        EXPECT_EQ(SharedModule::GetRegValueText(f.registry, f.codePage, software, L"K", L"V", size),
                  c.expected);
        // What fits the first buffer costs the one query it always did.
        EXPECT_TRUE(c.bytes.size() > 256 || f.registry.CallCount("RegQueryValueExA") == 1u);
        f.registry.RegCloseKey(software);
        EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
    }
}

TEST(ValueReader, MissingValuesAndSubkeysGiveEmptyTextAndCreateNothing) {
    RegistryFixture f;
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

// The scan on its own: the table it writes and what it gives back.
class ScanFixture : public RegistryFixture {
  public:
    explicit ScanFixture(unsigned codePageNumber = 932) : RegistryFixture(codePageNumber) {}

    catalogue::ScanResult Scan(bool separateViews = false) {
        return catalogue::UninstallListScan(registry, wideRegistry, codePage,
                                            catalogue::ScanPasses(separateViews))
            .Run(entries, count);
    }

    platform::memory::MemoryWideRegistry wideRegistry{registry, codePage};
    catalogue::Entries entries;
    std::int16_t count = 0;
};

// The roots and views of the passes that did not open.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Failed(const catalogue::ScanResult& result) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> failed;
    for (const auto& pass : result.failedPasses) failed.emplace_back(pass.root, pass.view);
    return failed;
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

    ScanFixture f;
};

TEST_F(ScanTest, ListsEveryEntryWithBothValuesTrimmedInTableOrder) {
    SeedMixedRegistry();
    const catalogue::ScanResult result = f.Scan();

    const std::wstring japanese = kSo + L"フト" + kHyou + L"計算" + kNou;
    // HKLM enumerates App, Blank, CommandOnly, NameOnly, Padded, ソ表能; HKCU
    // Twin and UserApp.
    EXPECT_EQ(
        result.lines,
        (std::vector<Line>{
            {L"Beta Suite", 0}, {L"Alpha", 4}, {japanese, 5}, {L"Beta Suite", 6}, {L"alpha", 7}}));
    EXPECT_TRUE(result.failedPasses.empty());
    EXPECT_FALSE(result.EndedEarly());
    EXPECT_EQ(f.count, 8);
    EXPECT_EQ(f.registry.OpenHandleCount(), 0u);

    // Every line carries a slot whose entry holds exactly that line.
    for (const auto& line : result.lines) {
        const auto& entry = f.entries.at(line.slot);
        EXPECT_EQ(entry.DisplayName, line.displayName);
        EXPECT_EQ(
            catalogue::FindEntryByDisplayName(f.entries, f.count, line.displayName, line.slot),
            line.slot);
    }
    const auto& japaneseEntry = f.entries.at(5);
    EXPECT_EQ(japaneseEntry.KeyName, kSo + kHyou + kNou);
    EXPECT_EQ(japaneseEntry.UninstallString, L"C:\\" + kSo + L"\\un.exe");
    EXPECT_EQ(f.entries.at(0).UninstallString, L"C:\\beta\\un.exe /x");
    // Unlisted subkeys still record their names.
    EXPECT_EQ(f.entries.at(3).KeyName, L"NameOnly");
    EXPECT_EQ(f.entries.at(3).DisplayName, L"");
    EXPECT_EQ(f.entries.at(6).RootKey, kHKeyCurrentUser);
    EXPECT_EQ(f.entries.at(6).CanDelete, catalogue::kTrue);
}

TEST_F(ScanTest, CreatesOnlyAnAbsentUserUninstallKey) {
    f.AddEntry(kHKeyLocalMachine, L"App", L"App", L"a.exe");
    auto expected = f.registry.Snapshot();
    f.Scan();
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
    f.Scan();
    EXPECT_EQ(f.registry.Snapshot(), after);
}

TEST_F(ScanTest, TableLimits) {
    struct Case {
        const char* name;
        int machineKeys;
        int listedMachineKeys;  // the last ones; the others have no values
        int userKeys;
        std::int16_t expectedCount;
        std::size_t expectedLines;
        std::size_t enumerations;  // RegEnumKeyA calls of both passes
    };
    static_assert(catalogue::kEntrySlots == 32767 && catalogue::kLastSlot == 32766);
    const int full = catalogue::kEntrySlots;
    const std::vector<Case> cases = {
        {"300 machine subkeys and the user's: all listed", 300, 300, 5, 305, 305, 301 + 6},
        {"the user pass stops quietly at the last slot", full - 2, 2, 5, 32767, 2 + 2, 32766 + 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScanFixture g;
        for (int i = 0; i < c.machineKeys; ++i) {
            const std::wstring n = L"M" + std::to_wstring(100000 + i);
            const bool listed = i >= c.machineKeys - c.listedMachineKeys;
            const auto value = [&](std::wstring text) {
                return listed ? std::optional(std::move(text)) : std::nullopt;
            };
            g.AddEntry(kHKeyLocalMachine, n, value(n), value(L"m.exe"));
        }
        for (int i = 0; i < c.userKeys; ++i) {
            const std::wstring n = L"U" + std::to_wstring(1000 + i);
            g.AddEntry(kHKeyCurrentUser, n, n, L"u.exe");
        }
        g.registry.ResetCallCounts();
        const catalogue::ScanResult result = g.Scan();
        EXPECT_EQ(g.registry.CallCount("RegEnumKeyA"), c.enumerations);
        EXPECT_EQ(g.count, c.expectedCount);
        ASSERT_EQ(result.lines.size(), c.expectedLines);
        EXPECT_TRUE(result.failedPasses.empty());
        EXPECT_EQ(g.registry.OpenHandleCount(), 0u);
        // Every listed subkey in its own slot, in table order, up to the last.
        const int firstListed = c.machineKeys - c.listedMachineKeys;
        for (std::size_t i = 0; i < result.lines.size(); ++i) {
            EXPECT_EQ(result.lines[i].slot, static_cast<std::int16_t>(firstListed + i));
            EXPECT_EQ(g.entries.at(result.lines[i].slot).DisplayName, result.lines[i].displayName);
        }
        EXPECT_LE(g.entries.Used(), c.expectedCount) << "no records beyond the slots read";
    }
}

TEST_F(ScanTest, FaultsOfRootsAndSubkeys) {
    struct Case {
        const char* name;
        std::function<void(ScanFixture&)> fault;
        std::vector<Line> lines;
        std::int16_t count;  // -1: unchanged from the earlier scan
        std::vector<std::uint32_t> failedRoots;
        unsigned codePage = 932;
    };
    const std::string uninstall = catalogue::kUninstallPath;
    const std::vector<Case> cases = {
        {"machine key read-only",
         [&](ScanFixture& g) {
             g.registry.DenyAccess(kHKeyLocalMachine, uninstall, Denial::kWrite);
         },
         {{L"Machine A", 0}, {L"Machine B", 1}, {L"User C", 2}},
         3,
         {}},
        {"machine key unreadable: nothing listed, count kept, the scan ends",
         [&](ScanFixture& g) { g.registry.DenyAccess(kHKeyLocalMachine, uninstall, Denial::kAll); },
         {},
         -1,
         {kHKeyLocalMachine}},
        {"user key unreadable: machine entries stay, the scan ends",
         [&](ScanFixture& g) { g.registry.DenyAccess(kHKeyCurrentUser, uninstall, Denial::kAll); },
         {{L"Machine A", 0}, {L"Machine B", 1}},
         2,
         {kHKeyCurrentUser}},
        {"a failing enumeration index is skipped",
         [&](ScanFixture& g) { g.registry.FailEnumeration(kHKeyLocalMachine, uninstall, 0, 5); },
         {{L"Machine B", 1}, {L"User C", 2}},
         3,
         {}},
        {"a name enumerated with a backslash of its own is neither read nor listed",
         [&](ScanFixture& g) {
             // A¥B comes back from the 8-bit call as A\B, the path of a
             // subkey of A that has both values.
             g.AddEntry(kHKeyLocalMachine, L"A\\B", L"Nested B", L"nested.exe");
             g.AddEntry(kHKeyLocalMachine, L"A\u00A5B", L"Yen Key", L"yen.exe");
         },
         {{L"Machine A", 0}, {L"Machine B", 2}, {L"User C", 3}},
         4,
         {}},
        // Names the 8-bit call gives with a best-fit look-alike or '?' name
        // another key: they are skipped, their slots left alone.
        {"best fit under 932: Café comes back as Cafe, the name of another key",
         [&](ScanFixture& g) {
             g.AddEntry(kHKeyLocalMachine, L"Cafe", L"Plain Cafe", L"plain.exe");
             g.AddEntry(kHKeyLocalMachine, L"Caf\u00E9", L"Accented Cafe", L"accent.exe");
         },
         {{L"Machine A", 0}, {L"Machine B", 1}, {L"Plain Cafe", 2}, {L"User C", 4}},
         5,
         {}},
        {"no counterpart in 932: the Hangul name comes back as ?, the name of another key",
         [&](ScanFixture& g) {
             g.AddEntry(kHKeyLocalMachine, L"?", L"Question", L"q.exe");
             g.AddEntry(kHKeyLocalMachine, L"\uD55C", L"Hangul", L"h.exe");
         },
         {{L"Question", 0}, {L"Machine A", 1}, {L"Machine B", 2}, {L"User C", 4}},
         5,
         {}},
        {"code page 950: 功 (A5 5C) is one character and listed; Café is not",
         [&](ScanFixture& g) {
             g.AddEntry(kHKeyLocalMachine, L"\u529F", L"Kung", L"k.exe");
             g.AddEntry(kHKeyLocalMachine, L"Caf\u00E9", L"Accented Cafe", L"accent.exe");
         },
         {{L"Machine A", 0}, {L"Machine B", 1}, {L"Kung", 3}, {L"User C", 4}},
         5,
         {},
         950},
        {"code page 1252: full-width Ａpp comes back as App; Café is its own name",
         [&](ScanFixture& g) {
             g.AddEntry(kHKeyLocalMachine, L"App", L"Plain App", L"app.exe");
             g.AddEntry(kHKeyLocalMachine, L"\uFF21pp", L"Full-width App", L"fw.exe");
             g.AddEntry(kHKeyLocalMachine, L"Caf\u00E9", L"Accented Cafe", L"accent.exe");
         },
         {{L"Machine A", 0},
          {L"Plain App", 1},
          {L"Machine B", 2},
          {L"Accented Cafe", 3},
          {L"User C", 5}},
         6,
         {},
         1252},
        {"code page 65001: Café is a name of its own",
         [&](ScanFixture& g) {
             g.AddEntry(kHKeyLocalMachine, L"Caf\u00E9", L"Accented Cafe", L"accent.exe");
         },
         {{L"Machine A", 0}, {L"Machine B", 1}, {L"Accented Cafe", 2}, {L"User C", 3}},
         4,
         {},
         65001},
        {"a subkey removed after its enumeration is neither listed nor re-created",
         [&](ScanFixture& g) {
             g.registry.RemoveAfterEnumeration(kHKeyLocalMachine, uninstall, "B");
         },
         {{L"Machine A", 0}, {L"User C", 2}},
         3,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScanFixture g(c.codePage);
        g.AddEntry(kHKeyLocalMachine, L"A", L"Machine A", L"a.exe");
        g.AddEntry(kHKeyLocalMachine, L"B", L"Machine B", L"b.exe");
        g.AddEntry(kHKeyCurrentUser, L"C", L"User C", L"c.exe");
        // An earlier scan with a larger table.
        g.AddEntry(kHKeyCurrentUser, L"D", L"User D", L"d.exe");
        g.Scan();
        g.registry.RemoveKey(kHKeyCurrentUser, g.KeyPath(L"D"));

        c.fault(g);
        const catalogue::ScanResult result = g.Scan();
        EXPECT_EQ(result.lines, c.lines);
        EXPECT_EQ(g.count, c.count == -1 ? 4 : c.count);
        std::vector<std::uint32_t> failedRoots;
        for (const auto& pass : result.failedPasses) failedRoots.push_back(pass.root);
        EXPECT_EQ(failedRoots, c.failedRoots);
        EXPECT_EQ(result.EndedEarly(), !c.failedRoots.empty());
        EXPECT_FALSE(g.EntryExists(kHKeyLocalMachine, L"B") &&
                     std::string(c.name).find("removed") != std::string::npos);
        EXPECT_EQ(g.registry.OpenHandleCount(), 0u);
        // A name this scan did not list is found nowhere, whatever an earlier
        // scan left in its slot.
        for (const wchar_t* name : {L"Machine A", L"Machine B", L"User C", L"User D", L"Nested B",
                                    L"Yen Key", L"Accented Cafe", L"Hangul", L"Full-width App"}) {
            if (std::any_of(c.lines.begin(), c.lines.end(),
                            [&](const Line& line) { return line.displayName == name; }))
                continue;
            EXPECT_EQ(catalogue::FindEntryByDisplayName(g.entries, g.count, name, -1), g.count);
        }
        for (const auto& line : result.lines) {
            const auto& entry = g.entries.at(line.slot);
            EXPECT_EQ(entry.DisplayName, line.displayName);
            const bool machineReadOnly = std::string(c.name) == "machine key read-only";
            EXPECT_EQ(entry.CanDelete, machineReadOnly && entry.RootKey == kHKeyLocalMachine
                                           ? catalogue::kFalse
                                           : catalogue::kTrue);
        }
    }
}

TEST(FindEntry, MapsLinesToTheirOwnSlots) {
    ScanFixture f;
    f.AddEntry(kHKeyLocalMachine, L"A", L"Same", L"machine.exe");
    f.AddEntry(kHKeyLocalMachine, L"B", L"Case", L"upper.exe");
    f.AddEntry(kHKeyLocalMachine, L"C", L"case", L"lower.exe");
    f.AddEntry(kHKeyLocalMachine, L"D", L"Unlisted", std::nullopt);
    f.AddEntry(kHKeyCurrentUser, L"A", L"Same", L"user.exe");
    f.Scan();
    const auto& entries = f.entries;
    const std::int16_t count = f.count;
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
        {L"Same", 1, 0},                       // a slot that does not hold the text: lowest match
        {L"Same", 300, 0},                     // a slot beyond the latest scan is never read
        {L"Same", catalogue::kEntrySlots, 0},  // nor one beyond the table
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
    ScanFixture f;
    f.AddEntry(kHKeyLocalMachine, L"A", L"Old Name", L"a.exe");
    f.AddEntry(kHKeyLocalMachine, L"B", L"Other", L"b.exe");
    f.Scan();
    // The subkey at slot 0 loses its command line: it is no longer listed,
    // although the slot still names a subkey.
    f.registry.SetString(kHKeyLocalMachine, f.KeyPath(L"A"), "UninstallString", "");
    EXPECT_EQ(f.Scan().lines, (std::vector<Line>{{L"Other", 1}}));
    EXPECT_EQ(catalogue::FindEntryByDisplayName(f.entries, f.count, L"Old Name", 0), f.count);
}

}  // namespace
}  // namespace velmora::testing

namespace velmora::testing {
namespace {

TEST(MachineViews, EachViewIsAPassOfItsOwn) {
    using Failures = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    constexpr std::uint32_t k64 = platform::kKeyWow64_64Key;
    constexpr std::uint32_t k32 = platform::kKeyWow64_32Key;
    struct Case {
        const char* name;
        bool separate;
        std::function<void(ScanFixture&)> fault;
        std::vector<Line> lines;
        Failures failed;
        bool endedEarly = false;
    };
    const std::vector<Case> cases = {
        {"both views and the user's key",
         true,
         [](ScanFixture&) {},
         {{L"Only 64", 0}, {L"Same", 1}, {L"Only 32", 2}, {L"Same", 3}, {L"User", 4}},
         {}},
        {"an unreadable 32-bit view hides nothing else",
         true,
         [](ScanFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, kUninstall32Path,
                                   platform::memory::Denial::kAll);
         },
         {{L"Only 64", 0}, {L"Same", 1}, {L"User", 2}},
         {{kHKeyLocalMachine, k32}}},
        {"an unreadable 64-bit view hides nothing else",
         true,
         [](ScanFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, catalogue::kUninstallPath,
                                   platform::memory::Denial::kAll);
         },
         {{L"Only 32", 0}, {L"Same", 1}, {L"User", 2}},
         {{kHKeyLocalMachine, k64}}},
        {"both views unreadable: the user's key is still read",
         true,
         [](ScanFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
         },
         {{L"User", 0}},
         {{kHKeyLocalMachine, k64}, {kHKeyLocalMachine, k32}}},
        {"both views and the user's key unreadable",
         true,
         [](ScanFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
             f.registry.DenyAccess(kHKeyCurrentUser, "Software", platform::memory::Denial::kAll);
         },
         {},
         {{kHKeyLocalMachine, k64}, {kHKeyLocalMachine, k32}, {kHKeyCurrentUser, 0}},
         true},
        {"one view: the two-pass scan",
         false,
         [](ScanFixture&) {},
         {{L"Only 64", 0}, {L"Same", 1}, {L"User", 2}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScanFixture f;
        SeedBothViews(f);
        f.registry.SetSeparateViews(c.separate);
        c.fault(f);
        const catalogue::ScanResult result = f.Scan(c.separate);
        EXPECT_EQ(result.lines, c.lines);
        EXPECT_EQ(Failed(result), c.failed);
        EXPECT_EQ(result.EndedEarly(), c.endedEarly);
        EXPECT_EQ(f.registry.OpenHandleCount(), 0u);
        for (const auto& line : result.lines) {
            EXPECT_EQ(
                catalogue::FindEntryByDisplayName(f.entries, f.count, line.displayName, line.slot),
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
        EXPECT_EQ(f.registry.KeyExists(kHKeyLocalMachine, kUninstall32Path + "\\Same"), deleted64);
        // The entry's own view goes to the delete call, not only to the open.
        EXPECT_EQ(f.registry.DeleteViews(),
                  std::vector<std::uint32_t>{deleted64 ? platform::kKeyWow64_64Key
                                                       : platform::kKeyWow64_32Key});
        EXPECT_EQ(f.list.Texts(),
                  (std::vector<std::wstring>{L"Only 32", L"Only 64", L"Same", L"User"}));
    }
}

}  // namespace
}  // namespace velmora::testing

// The list scan and the delete command against Wine's real registry, both
// machine views included: what the in-memory registry promises, the real one
// must keep.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/find_entry.h"
#include "catalogue/uninstall_list_scan.h"
#include "mainwindow/zentrel_form.h"
#include "platform/win32/common/unique_hkey.h"
#include "platform/win32/system/win32_backup_folder.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_registry.h"
#include "platform/win32/system/win32_registry_views.h"
#include "platform/win32/system/win32_wide_registry.h"
#include "support/fake_controls.h"

namespace velmora::testing {
namespace {

using platform::win32::UniqueHkey;

constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct Seed {
    HKEY root;
    REGSAM view;
    std::wstring key;
    std::wstring displayName;
    std::wstring uninstallString;
};

UniqueHkey OpenUninstall(HKEY root, REGSAM view) {
    UniqueHkey key;
    EXPECT_EQ(::RegCreateKeyExW(root, kUninstall, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    return key;
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    ASSERT_EQ(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void Plant(const Seed& seed) {
    UniqueHkey uninstall = OpenUninstall(seed.root, seed.view);
    UniqueHkey entry;
    ASSERT_EQ(::RegCreateKeyExW(uninstall.get(), seed.key.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | seed.view, nullptr, entry.put(), nullptr),
              ERROR_SUCCESS);
    SetString(entry.get(), L"DisplayName", seed.displayName);
    SetString(entry.get(), L"UninstallString", seed.uninstallString);
}

bool Exists(HKEY root, REGSAM view, const std::wstring& key) {
    UniqueHkey opened;
    return ::RegOpenKeyExW(root, (std::wstring(kUninstall) + L"\\" + key).c_str(), 0,
                           KEY_READ | view, opened.put()) == ERROR_SUCCESS;
}

void Remove(HKEY root, REGSAM view, const std::wstring& key) {
    UniqueHkey uninstall = OpenUninstall(root, view);
    static_cast<void>(::RegDeleteKeyExW(uninstall.get(), key.c_str(), view, 0));
}

// The registry with one subkey vanishing right after it was enumerated, as
// when an uninstaller finishes during a rescan.
class VanishingRegistry : public platform::win32::Win32Registry {
  public:
    std::string vanishing;
    platform::RegStatus RegEnumKeyA(platform::RegHandle key, std::uint32_t index, char* name,
                                    std::uint32_t nameSize) override {
        const auto status = Win32Registry::RegEnumKeyA(key, index, name, nameSize);
        if (status == ERROR_SUCCESS && vanishing == name) {
            static_cast<void>(::RegDeleteKeyA(reinterpret_cast<HKEY>(key), name));
        }
        return status;
    }
};

class ScanAgainstRegistry : public ::testing::Test {
  protected:
    void TearDown() override {
        // Backwards, so that a nested key goes before its parent.
        for (auto seed = seeds.rbegin(); seed != seeds.rend(); ++seed)
            Remove(seed->root, seed->view, seed->key);
    }
    void PlantAll() {
        for (const auto& seed : seeds) Plant(seed);
    }
    // A form on the real registry, reading the machine views as given.
    mainwindow::ZentrelForm Form(bool separateViews) {
        return mainwindow::ZentrelForm{
            mainwindow::ZentrelFormPlatform{registry, codePage, list, text, messages, processes,
                                            screen, window, versionForm, application, wideRegistry,
                                            backups, changes, checks},
            catalogue::ScanPasses(separateViews)};
    }
    // The scan on its own, reading the machine views as given.
    catalogue::ScanResult Scan(bool separateViews) {
        return catalogue::UninstallListScan(registry, wideRegistry, codePage,
                                            catalogue::ScanPasses(separateViews))
            .Run(entries, count);
    }
    static bool Listed(const std::vector<catalogue::ListedLine>& lines, const std::wstring& line) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const catalogue::ListedLine& l) { return l.displayName == line; });
    }
    bool Listed(const std::wstring& line) const {
        const auto texts = list.Texts();
        return std::find(texts.begin(), texts.end(), line) != texts.end();
    }

    std::vector<Seed> seeds;
    VanishingRegistry registry;
    catalogue::Entries entries;
    std::int16_t count = 0;
    platform::win32::Win32CodePage codePage;
    FakeListBox list;
    FakeTextBox text;
    FakeMessageBoxes messages;
    FakeProcessStarter processes;
    FakeScreen screen{15360, 11520};
    FakeFormWindow window{8745, 4140};
    FakeModalForm versionForm;
    FakeApplication application;
    platform::win32::Win32WideRegistry wideRegistry;
    platform::win32::Win32BackupFolder backups;
    FakeChangeSignal changes;
    FakeUninstallerChecks checks;
};

TEST_F(ScanAgainstRegistry, ListsWhatFitsFromEveryViewAndCreatesOnlyTheUserKey) {
    // A fresh user has no Uninstall key: the scan creates it, empty.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstall);
    ASSERT_FALSE(Exists(HKEY_CURRENT_USER, 0, L""));

    std::wstring doubleByte127(127, L'表');
    seeds = {
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraScan64", L"Velmora 64 ソフト表計算能",
         L"un64.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"VelmoraScan32", L"Velmora 32", L"un32.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Velmora表ソ", L"Velmora Japanese Key", L"j.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraLong255", std::wstring(255, L'a'), L"a.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraLong256", std::wstring(256, L'b'), L"b.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraDbcs127", doubleByte127, L"c.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraDbcs128", doubleByte127 + L"表", L"d.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraGone", L"Velmora Gone", L"g.exe"},
        {HKEY_CURRENT_USER, 0, L"VelmoraUser", L"Velmora User", L"u.exe"},
        // Code page 932 has no U+00A5: the 8-bit enumeration gives this key's
        // name as VelmoraYen\Key, the path of the nested key below.
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraYen", L"Velmora Yen Parent", L"p.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraYen\\Key", L"Velmora Nested Key", L"n.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraYen\u00A5Key", L"Velmora Yen Key", L"y.exe"},
        // Best fit gives Café as Cafe: reading it, the scan would list the
        // plain key's values twice, and deleting it would delete that key.
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraCafe", L"Velmora Plain Cafe", L"c.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraCaf\u00E9", L"Velmora Accented Cafe",
         L"e.exe"},
    };
    PlantAll();
    registry.vanishing = "VelmoraGone";

    ASSERT_TRUE(platform::win32::Win32RegistryViews().SeparateMachineViews())
        << "a 64-bit prefix has both machine views";
    const catalogue::ScanResult first = Scan(true);

    EXPECT_TRUE(first.failedPasses.empty());
    EXPECT_FALSE(first.EndedEarly());
    // What a Japanese system (932) and a Western one (1252) list: the 8-bit
    // calls give a character the code page lacks as '?', and a key whose
    // name they cannot carry exactly is left out.
    const UINT codePage = ::GetACP();
    if (codePage != 932 && codePage != 1252) GTEST_SKIP() << "rows for 932 and 1252 only";
    struct Row {
        std::wstring line;
        bool listed932, listed1252;
    };
    for (const auto& [line, listed932, listed1252] : std::vector<Row>{
             {L"Velmora 64 ソフト表計算能", true, false},
             {L"Velmora 64 ???????", false, true},
             {L"Velmora 32", true, true},
             {L"Velmora Japanese Key", true, false},
             // Enumeration goes by index: the subkey after the one that
             // vanished moves up into its index and is missed until the
             // next rescan.
             {std::wstring(255, L'a'), false, false},
             // Too long for the first read: read again, whole.
             {std::wstring(256, L'b'), true, true},
             {doubleByte127, true, false},
             {doubleByte127 + L"表", true, false},
             {std::wstring(128, L'?'), false, true},
             {L"Velmora Gone", false, false},
             {L"Velmora User", true, true},
             {L"Velmora Yen Parent", true, true},
             {L"Velmora Nested Key", false, false},
             {L"Velmora Yen Key", false, true},
             {L"Velmora Plain Cafe", true, true},
             {L"Velmora Accented Cafe", false, true},
         }) {
        EXPECT_EQ(Listed(first.lines, line), codePage == 932 ? listed932 : listed1252)
            << line.size() << " characters under " << codePage;
    }
    EXPECT_EQ(std::count_if(first.lines.begin(), first.lines.end(),
                            [](const auto& l) { return l.displayName == L"Velmora Plain Cafe"; }),
              1)
        << "the plain key's line, once";
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, 0, L"")) << "the user's Uninstall key is created";
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraGone"))
        << "a subkey that vanished during the scan must not come back";
    const catalogue::ScanResult second = Scan(true);
    EXPECT_TRUE(Listed(second.lines, std::wstring(255, L'a')))
        << "255 single-byte characters are read whole";
    // Every line maps to a slot holding its own text, Japanese key names too,
    // and the lines come in table order.
    for (std::size_t i = 0; i < second.lines.size(); ++i) {
        const catalogue::ListedLine& line = second.lines[i];
        EXPECT_EQ(catalogue::FindEntryByDisplayName(entries, count, line.displayName, line.slot),
                  line.slot);
        if (i > 0) {
            EXPECT_LT(second.lines[i - 1].slot, line.slot);
        }
    }
    const auto japanese = std::find_if(second.lines.begin(), second.lines.end(), [](const auto& l) {
        return l.displayName == L"Velmora Japanese Key";
    });
    if (codePage == 932) {
        ASSERT_NE(japanese, second.lines.end());
        EXPECT_EQ(entries.at(japanese->slot).KeyName, L"Velmora表ソ");
    }

    // The one-view scan sees only the process's own view.
    const catalogue::ScanResult oneView = Scan(false);
    EXPECT_TRUE(Listed(oneView.lines, L"Velmora Yen Parent"));
    EXPECT_FALSE(Listed(oneView.lines, L"Velmora 32"));
}

TEST_F(ScanAgainstRegistry, DeletesTheSameNamedEntryOfItsOwnViewOnly) {
    seeds = {
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraTwin", L"Velmora Twin", L"C:\\64.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"VelmoraTwin", L"Velmora Twin", L"C:\\32.exe"},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Velmora表ソ", L"Velmora 表ソ", L"j.exe"},
    };
    PlantAll();
    auto form = Form(true);
    form.Form_Load();
    for (int occurrence = 0; occurrence < 2; ++occurrence) {
        list.Select(L"Velmora Twin", occurrence);
        form.UninstallList_Click();
        if (text.text == L"C:\\32.exe") break;
    }
    ASSERT_EQ(text.text, L"C:\\32.exe");
    form.ListDelCommand_Click();
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"VelmoraTwin"));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"VelmoraTwin"));
    const auto texts = list.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"Velmora Twin"), 1);

    // A Japanese key name whose trail bytes are '\' is deleted whole.
    if (::GetACP() != 932)
        GTEST_SKIP() << "Japanese key names come through the 8-bit calls under 932 only";
    list.Select(L"Velmora 表ソ");
    form.ListDelCommand_Click();
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Velmora表ソ"));
    EXPECT_FALSE(Listed(L"Velmora 表ソ"));
    EXPECT_EQ(messages.Texts().size(), 2u) << "only the two questions";
}

// A backup folder that a link sends elsewhere, and one below such a link (a
// symbolic link, which Wine, unable to make junctions, reports as a reparse
// point): nothing is written, there or through the link, the entry stays,
// and the backup's message names the folder.
TEST_F(ScanAgainstRegistry, NoBackupThroughALinkAndNoDeletion) {
    wchar_t links[MAX_PATH];
    ASSERT_NE(::GetFullPathNameW(L"" VELMORA_REDIRECTED_PROFILES, MAX_PATH, links, nullptr), 0u);
    const std::wstring elsewhere = std::wstring(links) + L"\\elsewhere";
    seeds = {{HKEY_CURRENT_USER, 0, L"VelmoraLinked", L"Velmora Linked", L"l.exe"}};
    PlantAll();
    wchar_t saved[MAX_PATH] = {};
    ASSERT_NE(::GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH), 0u);
    for (const wchar_t* linked :
         {L"\\folder-linked\\Velmora\\Deleted entries", L"\\above-linked\\Velmora"}) {
        const std::wstring link = links + std::wstring(linked);
        SCOPED_TRACE(link);
        ASSERT_NE(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
            << "the build could not make the link";
        const std::wstring local = link.substr(0, link.find(L"\\Velmora"));
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());
        auto form = Form(true);
        form.Form_Load();
        list.Select(L"Velmora Linked");
        form.ListDelCommand_Click();
        EXPECT_EQ(messages.Texts().back(),
                  L"削除前のバックアップを保存できなかったため、削除しませんでした。\n" + local +
                      L"\\Velmora\\Deleted entries");
        EXPECT_TRUE(Exists(HKEY_CURRENT_USER, 0, L"VelmoraLinked"));
        // Only an empty folder can be removed.
        EXPECT_TRUE(::RemoveDirectoryW(elsewhere.c_str()))
            << "something was written through the link";
        ::CreateDirectoryW(elsewhere.c_str(), nullptr);
    }
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", saved);
}

}  // namespace
}  // namespace velmora::testing

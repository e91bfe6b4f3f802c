// Builds a registry for both roots from the input bytes (names and values in
// code page 932 with lone lead bytes, 0x5C trail bytes, blanks, over-long and
// non-string values; a few subkeys per key, hundreds in a rare input: more
// than the 257 slots the table once had, far fewer than it has now, to keep
// runs fast), adds faults, and works the main window's scan, selection, run
// and delete commands on it.
// After every command the table, the list and the registry must still be in
// order; a broken rule aborts with a description of what went wrong.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/find_entry.h"
#include "catalogue/trim.h"
#include "catalogue/uninstall_key.h"
#include "mainwindow/messages.h"
#include "mainwindow/zentrel_form.h"
#include "support/fake_controls.h"
#include "support/memory/iconv_code_page.h"
#include "support/memory/key_name.h"
#include "support/memory/memory_backup_folder.h"
#include "support/memory/memory_registry.h"
#include "support/memory/memory_wide_registry.h"
#include "support/snapshot_diff.h"

namespace velmora::testing {
namespace {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;
using platform::memory::MemoryRegistry;

const platform::memory::IconvCodePage& CodePage() {
    static const platform::memory::IconvCodePage codePage(932);
    return codePage;
}

// A broken rule ends the run, and libFuzzer keeps the input.  What went
// wrong is only described then.
template <typename Detail>
void Expect(bool holds, const char* rule, Detail detail) {
    if (holds) return;
    std::fprintf(stderr, "\n*** broken: %s\n%s\n", rule, std::string(detail()).c_str());
    std::abort();
}
void Expect(bool holds, const char* rule) {
    Expect(holds, rule, [] { return ""; });
}

std::string Narrow(const std::wstring& text) { return Printable(CodePage().ToNarrow(text)); }

constexpr char kWowUninstallPath[] =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// An Uninstall key as the seeding and the snapshots name it.
struct Tree {
    std::uint32_t root;
    const char* path;
};
constexpr Tree kTrees[] = {{kHKeyLocalMachine, catalogue::kUninstallPath},
                           {kHKeyLocalMachine, kWowUninstallPath},
                           {kHKeyCurrentUser, catalogue::kUninstallPath}};

std::string RootName(std::uint32_t root) {
    return root == kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// Texts that collide, need trimming, are blank, carry 0x5C as a trail byte,
// end in a lone lead byte or sit at the 256 bytes of a value's first read.
// clang-format off
const std::string kTexts[] = {
    "App", "app", " App  ", "   ", "", "\t",
    "\x95\x5C\x8E\xA6",          // 表示
    "\x83\x5C\x83\x74\x83\x67",  // ソフト
    "\x81\x40",                  // full-width space
    "\x81\x45",                  // the middle dot that replaces undecodable bytes
    "\x81", "A\x81", "\x85\\",   // a lone lead byte, at the end or before 0x5C
    "C:\\un.exe /S", "\"C:\\P F\\u.exe\" ",
    std::string(255, 'x'), std::string(256, 'x'), std::string(128, '\x82') + "\xA0"};
// clang-format on

std::string Text(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.PickValueInArray(kTexts);
        case 1:
            return in.PickValueInArray(kTexts) + in.PickValueInArray(kTexts);
        case 2:
            return std::string(in.ConsumeIntegralInRange<std::size_t>(250, 300),
                               in.ConsumeIntegral<char>());
        default:
            return in.ConsumeRandomLengthString(40);
    }
}

void SeedValue(MemoryRegistry& registry, const Tree& tree, const std::string& path,
               const char* name, FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return;  // absent
        case 1:
            return registry.SetString(tree.root, path, name, Text(in));
        default: {  // any type, terminated or not
            const std::string bytes = Text(in) + (in.ConsumeBool() ? std::string(1, '\0') : "");
            registry.SetValue(tree.root, path, name, in.ConsumeIntegralInRange(0u, 11u),
                              std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        }
    }
}

// A subkey name as the registry can give it out: its names are Unicode, so
// an 8-bit name always converts back to itself (a lone lead byte comes out as
// the middle dot), and no Win32 call creates one with a NUL.  A separator in
// it makes nested keys.
std::string KeyName(FuzzedDataProvider& in, int index) {
    std::string name = in.ConsumeBool() ? in.PickValueInArray(kTexts) : Text(in);
    std::erase(name, '\0');
    name = CodePage().ToNarrow(CodePage().ToWide(name));
    const auto parts = platform::memory::SplitKeyPath(name);
    return parts && !parts->empty() ? name : "Key" + std::to_string(index);
}

constexpr std::size_t kHundreds = 200;

struct SeededKey {
    Tree tree;
    std::string name;
};

// Seeds one Uninstall key, usually with a few subkeys; one in 65536 (the
// seed input of bytes 0xFF and what comes of it) has hundreds, unless another
// key of the input has them already.  Once the input runs out, the rest are
// listable fillers.
void SeedTree(MemoryRegistry& registry, const Tree& tree, FuzzedDataProvider& in,
              std::vector<SeededKey>& seeded) {
    const auto shape = in.ConsumeIntegral<std::uint8_t>();
    if (shape < 16) return;  // no Uninstall key at all
    registry.AddKey(tree.root, tree.path, "0");
    if (in.ConsumeIntegralInRange(0, 7) == 1) {
        // The Uninstall key itself carries an entry's values, and its one
        // subkey has an empty name (enumerated as success with nothing
        // written), which names the Uninstall key.
        registry.SetString(tree.root, tree.path, "DisplayName", Text(in));
        registry.SetString(tree.root, tree.path, "UninstallString", "u.exe");
        registry.FailEnumeration(tree.root, tree.path, 0, platform::kErrorSuccess);
        return;
    }
    const bool hundreds = shape == 255 && in.ConsumeIntegral<std::uint8_t>() == 255;
    const int count = hundreds && seeded.size() < kHundreds ? in.ConsumeIntegralInRange(200, 300)
                                                            : in.ConsumeIntegralInRange(0, 4);
    const int fillerNames = in.ConsumeIntegralInRange(1, 400);
    for (int i = 0; i < count; ++i) {
        const bool filler = in.remaining_bytes() == 0;
        const std::string name = filler ? "Filler" + std::to_string(i) : KeyName(in, i);
        const std::string path = std::string(tree.path) + "\\" + name;
        seeded.push_back({tree, name});
        if (filler) {
            registry.SetString(tree.root, path, "DisplayName",
                               "Filler " + std::to_string(i % fillerNames));
            registry.SetString(tree.root, path, "UninstallString", "u.exe");
            continue;
        }
        registry.AddKey(tree.root, path);
        SeedValue(registry, tree, path, "DisplayName", in);
        SeedValue(registry, tree, path, "UninstallString", in);
        if (in.ConsumeIntegralInRange(0, 7) == 0) registry.AddKey(tree.root, path + "\\Sub");
    }
}

// 0 stands for a subkey whose name is empty: success with nothing written.
constexpr platform::RegStatus kFaultCodes[] = {0, 2, 5, 6, 87, 234, 259, 1018};

// A denied root or key, a failing enumeration index, or a subkey that
// vanishes between its enumeration and the reading of its values.  Returns
// the path of a key the registry itself may remove.
std::string AddFault(MemoryRegistry& registry, const std::vector<SeededKey>& seeded,
                     FuzzedDataProvider& in) {
    const Tree tree = in.PickValueInArray(kTrees);
    const SeededKey* key =
        seeded.empty() ? nullptr
                       : &seeded[in.ConsumeIntegralInRange<std::size_t>(0, seeded.size() - 1)];
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: {
            const std::string paths[] = {"", tree.path,
                                         key ? std::string(key->tree.path) + "\\" + key->name : ""};
            registry.DenyAccess(key && in.ConsumeBool() ? key->tree.root : tree.root,
                                in.PickValueInArray(paths),
                                in.ConsumeBool() ? platform::memory::Denial::kWrite
                                                 : platform::memory::Denial::kAll);
            return {};
        }
        case 1:
            registry.FailEnumeration(tree.root, tree.path,
                                     in.ConsumeBool() ? in.ConsumeIntegralInRange(0u, 7u)
                                                      : in.ConsumeIntegralInRange(0u, 300u),
                                     in.PickValueInArray(kFaultCodes));
            return {};
        default:
            if (!key) return {};
            registry.RemoveAfterEnumeration(key->tree.root, key->tree.path, key->name);
            return RootName(key->tree.root) + "\\" + key->tree.path + "\\" + key->name;
    }
}

struct World {
    MemoryRegistry registry;
    FakeListBox list;
    FakeTextBox text;
    FakeMessageBoxes messages;
    FakeProcessStarter processes;
    FakeScreen screen{15360, 11520};
    FakeFormWindow window{8745, 4140};
    FakeModalForm versionForm;
    FakeApplication application;
    platform::memory::MemoryWideRegistry wideRegistry{registry, CodePage()};
    platform::memory::MemoryBackupFolder backups;
    FakeChangeSignal changes;
    FakeUninstallerChecks checks;
    mainwindow::ZentrelForm form;
    std::vector<std::string> vanishing;  // keys the registry's faults may remove

    explicit World(bool machineViews)
        : form(mainwindow::ZentrelFormPlatform{registry, CodePage(), list, text, messages,
                                               processes, screen, window, versionForm, application,
                                               wideRegistry, backups, changes, checks},
               catalogue::ScanPasses(machineViews)) {}

    const catalogue::UninstallEntry& Entry(int slot) const { return form.Entries().at(slot); }

    // Every line finds its own slot, which carries the line's text; no slot
    // the latest scan did not list can be found by any text.
    void CheckTable() const {
        const int count = form.EntryCount();
        Expect(count >= 0 && count <= catalogue::kEntrySlots, "EntryCount within 0..32767");
        std::vector<char> listed(static_cast<std::size_t>(count) + 1);
        for (const auto& line : list.lines) {
            const std::int16_t found = catalogue::FindEntryByDisplayName(
                form.Entries(), form.EntryCount(), line.text, line.slot);
            Expect(found == line.slot && !line.text.empty() &&
                       catalogue::TrimmedView(Entry(found).DisplayName) == line.text,
                   "a listed line resolves to its own slot with its own text", [&] {
                       return "line '" + Narrow(line.text) + "' slot " + std::to_string(line.slot) +
                              " found " + std::to_string(found);
                   });
            Expect(!std::exchange(listed.at(static_cast<std::size_t>(found)), 1),
                   "one line per slot");
            const std::string keyName = CodePage().ToNarrow(Entry(found).KeyName);
            const auto name = platform::memory::SplitKeyPath(keyName);
            // An empty name (a subkey enumerated without one) names the
            // Uninstall key itself, which a delete must never reach.
            if (name && name->empty()) continue;
            Expect(name && name->size() == 1, "a listed entry names one subkey",
                   [&] { return Narrow(Entry(found).KeyName); });
        }
        for (int slot = 0; slot < count; ++slot) {
            Expect(catalogue::TrimmedView(Entry(slot).DisplayName).empty() ||
                       listed[static_cast<std::size_t>(slot)],
                   "an unlisted slot cannot be found", [&] {
                       return std::to_string(slot) + " '" + Narrow(Entry(slot).DisplayName) + "'";
                   });
        }
        Expect(
            catalogue::FindEntryByDisplayName(form.Entries(), form.EntryCount(), L"", -1) == count,
            "the empty text matches nothing");
    }

    // Where an entry's subkey lies: its root and its physical path there.
    // Nothing for a name that is not one subkey's: no such key may go.
    struct KeyPath {
        std::uint32_t root = 0;
        std::string path;
        std::string Full() const { return path.empty() ? "" : RootName(root) + "\\" + path; }
    };
    KeyPath PathOf(const catalogue::UninstallEntry& entry, bool separateViews) const {
        const std::string name = CodePage().ToNarrow(entry.KeyName);
        const auto parts = platform::memory::SplitKeyPath(name);
        if (!parts || parts->size() != 1) return {};
        const bool wow = separateViews && entry.RootKey == kHKeyLocalMachine &&
                         (entry.View & platform::kKeyWow64_32Key) != 0;
        return {entry.RootKey,
                std::string(wow ? kWowUninstallPath : catalogue::kUninstallPath) + "\\" + name};
    }

    // The registry as it was at revision `seen`: a snapshot is taken only
    // when something has changed since the last one.
    platform::memory::RegistrySnapshot snapshot;
    std::size_t seen = ~std::size_t{0};

    // Runs one command and checks what it left behind: every handle closed,
    // no key created but an absent Uninstall key (with its parents), no key
    // changed, none removed but mayRemove and what the faults remove.
    template <typename Command>
    void Run(Command command, const std::string& mayRemove = {}) {
        if (registry.Revision() != seen) snapshot = registry.Snapshot();
        seen = registry.Revision();
        command();
        SnapshotDiff diff;
        if (registry.Revision() != seen) {
            auto after = registry.Snapshot();
            diff = DiffSnapshots(snapshot, after);
            snapshot = std::move(after);
            seen = registry.Revision();
        }
        // Only the watched Uninstall keys stay open, and only while rescans are armed.
        Expect(registry.OpenHandleCount() <= (form.RefreshOnPaint() > 0 ? 3u : 0u),
               "every opened key is closed");
        Expect(list.updateDepth == 0, "the list redraws again after every scan");
        const auto described = [&] { return Describe(diff); };
        for (const std::string& path : diff.added) {
            bool uninstallKey = false;
            for (const Tree& tree : kTrees) {
                uninstallKey |= IsWithin(RootName(tree.root) + "\\" + tree.path, path);
            }
            Expect(uninstallKey, "no key is created but an absent Uninstall key", described);
        }
        Expect(diff.changed.empty(), "no key's class or values change", described);
        for (const std::string& path : diff.removed) {
            bool allowed = !mayRemove.empty() && IsWithin(path, mayRemove);
            for (const std::string& gone : vanishing) allowed |= IsWithin(path, gone);
            Expect(allowed, "only the selected entry's subkey is deleted",
                   [&] { return "selected: " + Printable(mayRemove) + "\n" + Describe(diff); });
        }
        CheckTable();
    }

    // Selects a line (or none) as the user would.
    const FakeListBox::Line* Select(FuzzedDataProvider& in) {
        list.selected = list.lines.empty() ? -1
                                           : in.ConsumeIntegralInRange(
                                                 -1, static_cast<int>(list.lines.size()) - 1);
        return list.selected < 0 ? nullptr : &list.lines[static_cast<std::size_t>(list.selected)];
    }
};

void Fuzz(FuzzedDataProvider& in) {
    World w(in.ConsumeBool());
    const bool separateViews = in.ConsumeBool();
    w.registry.SetSeparateViews(separateViews);
    std::vector<SeededKey> seeded;
    for (const Tree& tree : kTrees) SeedTree(w.registry, tree, in, seeded);
    for (int faults = in.ConsumeIntegralInRange(0, 3); faults > 0; --faults) {
        w.vanishing.push_back(AddFault(w.registry, seeded, in));
    }
    std::erase(w.vanishing, std::string{});

    w.Run([&] { w.form.Form_Load(); });
    // Every command may rescan: hundreds of subkeys get one of them.
    const int steps = seeded.size() < kHundreds ? 8 : 1;
    for (int step = 0; step < steps && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                w.Run([&] { w.form.UpdateCommand_Click(); });
                break;
            case 1:
                w.Run([&] { w.form.Form_Paint(); });
                break;
            case 2:
                if (const auto* line = w.Select(in)) {
                    const std::wstring expected = w.Entry(line->slot).UninstallString;
                    w.Run([&] { w.form.UninstallList_Click(); });
                    Expect(w.text.text == expected,
                           "the selection shows its own entry's command line");
                }
                break;
            case 3:
            case 4: {
                const auto* line = w.Select(in);
                const std::wstring expected = line ? w.Entry(line->slot).UninstallString : L"";
                const std::size_t starts = w.processes.started.size();
                w.processes.result = in.ConsumeBool() ? platform::StartResult::kStarted
                                                      : platform::StartResult::kFailed;
                const bool button = in.ConsumeBool();  // or a double click
                w.Run([&] {
                    button ? w.form.AddAndDelCommand_Click() : w.form.UninstallList_DblClick();
                });
                Expect(w.processes.started.size() == starts + (line ? 1 : 0),
                       "a run starts one program exactly when a line is selected");
                Expect(!line || w.processes.started.back() == expected,
                       "a run starts its own entry's command line");
                break;
            }
            case 5: {
                const auto* line = w.Select(in);
                const bool yes = in.ConsumeBool();
                const bool nested = static_cast<bool>(w.messages.whileOpen);
                w.messages.answers.assign(1, yes ? platform::kIdYes : platform::kIdNo);
                const bool readOnly = line && w.Entry(line->slot).CanDelete == catalogue::kFalse;
                const World::KeyPath target =
                    line && yes ? w.PathOf(w.Entry(line->slot), separateViews) : World::KeyPath{};
                const std::size_t shown = w.messages.shown.size();
                const std::size_t opens = w.registry.CallCount("RegCreateKeyExA");
                const std::size_t files = w.backups.files.size();
                w.backups.failWrites = in.ConsumeBool();
                const bool existed =
                    !target.path.empty() && w.registry.KeyExists(target.root, target.path);
                w.Run([&] { w.form.ListDelCommand_Click(); }, target.Full());
                if (target.path.empty() || nested) break;
                // A fault of the registry may remove the key without any deletion.
                const bool gone = existed && !w.registry.KeyExists(target.root, target.path);
                const bool vanishes = std::any_of(
                    w.vanishing.begin(), w.vanishing.end(),
                    [&](const std::string& path) { return IsWithin(target.Full(), path); });
                const std::size_t added = w.backups.files.size() - files;
                const auto full = [&] { return Printable(target.Full()); };
                Expect((gone || added == 0) && added <= 1,
                       "a backup file is kept only of an entry that is gone", full);
                Expect(!gone || vanishes || (added == 1 && !w.backups.failWrites),
                       "no entry is deleted without its backup file", full);
                // A message, or its first line.
                const auto said = [&](const wchar_t* text) {
                    return std::any_of(
                        w.messages.shown.begin() + static_cast<std::ptrdiff_t>(shown),
                        w.messages.shown.end(), [&](const auto& box) {
                            return box.text.substr(0, box.text.find(L'\n')) == text;
                        });
                };
                Expect(!readOnly || (said(mainwindow::kNoRightsMessage) &&
                                     w.registry.CallCount("RegCreateKeyExA") == opens),
                       "an entry of a read-only root is refused before any registry call");
                Expect(said(mainwindow::kNoRightsMessage) || said(mainwindow::kOpenFailedMessage) ||
                           said(mainwindow::kDeleteFailedMessage) ||
                           said(mainwindow::kBackupFailedMessage) ||
                           !w.registry.KeyExists(target.root, target.path),
                       "a confirmed delete removes the entry or says why not", full);
                break;
            }
            case 6:  // the window repaints while the next message box is open
                w.messages.whileOpen = [&w] { w.form.Form_Paint(); };
                break;
            default:  // the outside world changes between commands
                if (!seeded.empty()) {
                    const SeededKey& key =
                        seeded[in.ConsumeIntegralInRange<std::size_t>(0, seeded.size() - 1)];
                    w.registry.RemoveKey(key.tree.root,
                                         std::string(key.tree.path) + "\\" + key.name);
                }
                if (const std::string gone = AddFault(w.registry, seeded, in); !gone.empty()) {
                    w.vanishing.push_back(gone);
                }
                // The window hears of a change of a watched Uninstall key.
                if (w.changes.listening && w.registry.EventIsSet(w.changes.event)) {
                    w.changes.listening = false;
                    w.Run([&] { w.form.UninstallKeys_Change(); });
                }
                break;
        }
    }
}

}  // namespace
}  // namespace velmora::testing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // What a longer input would add is never read, so that no input takes
    // more than a few milliseconds; scripts/fuzz passes the same -max_len.
    FuzzedDataProvider in(data, std::min<std::size_t>(size, 512));
    velmora::testing::Fuzz(in);
    return 0;
}

// The main window's handlers against fakes: centring, the repaint-armed
// rescans, the selection display and the run and delete commands.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/form_fixture.h"
#include "windowing/center_form.h"

namespace velmora::testing {
namespace {

// A message box as the logic asked for it: its text and its style.
using Box = FakeMessageBoxes::Shown;

TEST(CenterForm, CentresOnTheWholeMonitorWithoutRoundingOrClamping) {
    // The monitor's rectangle is given at the system dpi, the window's size at
    // its own.
    struct Case {
        float screenWidth, screenHeight, width, height, left, top;
        unsigned systemDpi = 96, windowDpi = 96;
        float screenLeft = 0, screenTop = 0;
    };
    const std::vector<Case> cases = {
        {15360, 11520, 6000, 4000, 4680, 3760},        // 1024 x 768 pixels
        {15360, 11520, 6001, 4001, 4679.5f, 3759.5f},  // odd differences keep the half twip
        {15360, 11520, 20000, 12000, -2320, -240},     // larger than the screen
        {15360, 11520, 15360, 11520, 0, 0},
        // 1920 x 1080 pixels and a window of 890 x 450: at (515, 315) pixels
        // whatever dpi the system started with.
        {28800, 16200, 8900, 4500, 5150, 3150, 96, 144},
        {19200, 10800, 13350, 6750, 7725, 4725, 144, 96},
        // A window of 600 x 400 pixels on a second monitor: 1280 x 1024 pixels
        // left of the primary one and lower, at (-1280 + 340, -200 + 312)...
        {19200, 15360, 9000, 6000, -14100, 1680, 96, 96, -19200, -3000},
        // ...or 2560 x 1440 above it at 144 dpi, at (-320 + 980, -1440 + 520).
        {38400, 21600, 6000, 4000, 6600, -9200, 96, 144, -4800, -21600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.systemDpi << " / " << c.windowDpi << " dpi");
        FakeScreen screen(c.screenWidth, c.screenHeight, c.systemDpi, c.screenLeft, c.screenTop);
        FakeFormWindow window(c.width, c.height, c.windowDpi);
        SharedModule::CenterForm(screen, window);
        SharedModule::CenterForm(screen, window);
        EXPECT_EQ(window.left, c.left);
        EXPECT_EQ(window.top, c.top);
        EXPECT_EQ(window.width, c.width);
        EXPECT_EQ(window.height, c.height);
    }
}

// Entries for the commands: a quoted command line with blanks around it,
// a stale one, one whose subkey has a subkey, and a name under both roots.
void LoadCommandRegistry(FormFixture& f) {
    f.AddEntry(kHKeyLocalMachine, L"Beta", L"Beta", L"  \"C:\\Program Files\\B\\un.exe\" /S  ");
    f.AddEntry(kHKeyLocalMachine, L"Stale", L"Stale", L"C:\\gone\\un.exe");
    f.AddEntry(kHKeyLocalMachine, L"Tree", L"Tree", L"t.exe");
    f.registry.AddKey(kHKeyLocalMachine, f.KeyPath(L"Tree") + "\\Child");
    f.AddEntry(kHKeyCurrentUser, L"Alpha", L"Alpha", L"a.exe");
    f.AddEntry(kHKeyCurrentUser, L"BetaUser", L"Beta", L"C:\\user\\beta.exe");
    f.form.Form_Load();
}

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { LoadCommandRegistry(f); }

    // Scans are counted by the list being cleared.
    int Scans() const { return f.list.clears; }

    FormFixture f;
};

TEST_F(MainWindowTest, LoadCentresAndScans) {
    EXPECT_EQ(f.window.left, (kScreenWidthTwips - 8745) / 2);
    EXPECT_EQ(f.window.top, (kScreenHeightTwips - 4140) / 2);
    EXPECT_EQ(Scans(), 1);
    EXPECT_EQ(f.list.Texts(),
              (std::vector<std::wstring>{L"Alpha", L"Beta", L"Beta", L"Stale", L"Tree"}));
}

TEST_F(MainWindowTest, RepaintsRescanOnlyWhileArmed) {
    for (int i = 0; i < 3; ++i) f.form.Form_Paint();
    EXPECT_EQ(Scans(), 1) << "idle repaints do nothing";

    f.Select(L"Alpha");
    f.form.AddAndDelCommand_Click();
    EXPECT_EQ(f.form.RefreshOnPaint(), 5);
    for (int i = 0; i < 3; ++i) f.form.Form_Paint();
    f.Select(L"Alpha");
    f.form.AddAndDelCommand_Click();  // a second start re-arms to five
    EXPECT_EQ(f.form.RefreshOnPaint(), 5);
    for (int i = 0; i < 6; ++i) f.form.Form_Paint();
    EXPECT_EQ(Scans(), 1 + 3 + 5);
    EXPECT_EQ(f.form.RefreshOnPaint(), 0);
}

// While rescans are armed a subkey added to or removed from a watched
// Uninstall key rescans, and takes a unit when the listed lines changed.
// Steps: s start Alpha's uninstaller, p repaint, r remove a listed machine
// subkey, h remove a hidden one, m remove the hidden one before Stale while
// the next rescan reads the keys, 3 remove a hidden one of the 32-bit view,
// v change a value only, d delete Stale through the command, ! the window
// hears of the change signal, j the verdicts of the latest check arrive.
TEST(KeyChanges, CountAsRepaintsWhileArmed) {
    struct Case {
        const char* name;
        const char* steps;
        int rescans;  // besides the load's
        std::int16_t counter;
        std::size_t openKeys;
        bool separateViews = false;
        platform::RegStatus notifyFault = platform::kErrorSuccess;
        std::wstring shown = {};  // the command-line box at the end
    };
    const std::vector<Case> cases = {
        {"a removed subkey takes one unit", "sr!", 1, 4, 2},
        {"a hidden one takes none, the selection stays", "sh!", 1, 5, 2, false, 0, L"a.exe"},
        {"six hidden ones, then a listed one: its line goes", "sh!h!h!h!h!h!r!", 7, 4, 2},
        {"one removed while the rescan reads the keys: a rescan more", "shm!!", 2, 3, 2},
        {"changes before the rescan count once", "srr!!", 1, 4, 2},
        {"five changes rescan, a sixth does not, the keys are closed", "sr!r!r!r!r!r!", 5, 0, 0},
        {"repaints and changes share the units", "spr!pr!pr!p", 5, 0, 0},
        {"a value changed, no subkey: nothing", "sv!", 0, 5, 2},
        {"not armed: nothing watched, nothing rescanned", "r!r!", 0, 0, 0},
        {"the program's own deletion rescans once", "sd!", 1, 5, 2},
        {"the 32-bit view is watched too", "s3!", 1, 5, 3, true, 0, L"a.exe"},
        {"a watch that cannot be set up leaves the repaints", "sr!p", 1, 4, 0, false, 1},
        {"verdicts redraw lines and spend nothing", "sjpj", 1, 4, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture g;
        if (c.separateViews) SeedBothViews(g);
        LoadCommandRegistry(g);
        for (const wchar_t i : std::wstring(L"012345")) {
            g.AddEntry(kHKeyLocalMachine, std::wstring(L"Gone") + i, L"Gone", L"g.exe");
            g.registry.AddKey(kHKeyLocalMachine, g.KeyPath(std::wstring(L"Hidden") + i));
        }
        g.registry.AddKey(kHKeyLocalMachine, kUninstall32Path + "\\Gone");
        g.registry.FailNotifications(c.notifyFault);
        mainwindow::ZentrelForm form{g.Platform(), catalogue::ScanPasses(c.separateViews)};
        form.Form_Load();
        const int scansBefore = g.list.clears;
        char removed = '0';
        char hidden = '0';
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == 's' || *step == 'd') g.Select(*step == 's' ? L"Alpha" : L"Stale");
            if (*step == 's') form.AddAndDelCommand_Click();
            if (*step == 'd') form.ListDelCommand_Click();
            if (*step == 'p') form.Form_Paint();
            if (*step == 'r')
                g.registry.RemoveKey(kHKeyLocalMachine, g.KeyPath(L"Gone") + removed++);
            if (*step == 'h')
                g.registry.RemoveKey(kHKeyLocalMachine, g.KeyPath(L"Hidden") + hidden++);
            if (*step == 'm')
                g.registry.RemoveAfterEnumeration(kHKeyLocalMachine, catalogue::kUninstallPath,
                                                  "Hidden5");
            if (*step == '3') g.registry.RemoveKey(kHKeyLocalMachine, kUninstall32Path + "\\Gone");
            if (*step == 'v') g.registry.SetDword(kHKeyCurrentUser, g.KeyPath(L"Alpha"), "Any", 1);
            if (*step == '!') g.DeliverChange(form);
            if (*step == 'j') g.DeliverVerdicts(form, platform::Verdict::kMissing);
        }
        EXPECT_EQ(g.list.clears - scansBefore, c.rescans);
        EXPECT_EQ(form.RefreshOnPaint(), c.counter);
        EXPECT_EQ(g.registry.OpenHandleCount(), c.openKeys) << "watched keys stay open while armed";
        EXPECT_EQ(g.text.text, c.shown);
        EXPECT_EQ(g.messages.shown.size(),
                  std::string_view(c.steps).find('d') != std::string_view::npos ? 1u : 0u)
            << "nothing but the deletion's question is shown";
    }
}

// Each list is checked anew; a line is drawn stale only by a verdict on the
// list it belongs to, and stays so through a rescan until a verdict says
// otherwise.  The line's text never changes.
TEST_F(MainWindowTest, StaleLinesFollowTheLatestListOnly) {
    const std::wstring note = L"（アンインストーラが見つかりません）";
    const auto slotOf = [&](const std::wstring& line) {
        return f.list.lines.at(static_cast<std::size_t>(f.list.Select(line))).slot;
    };
    const auto first = f.checks.requests.back();
    ASSERT_EQ(first.entries.size(), 5u);
    EXPECT_EQ(first.entries[0].commandLine, L"\"C:\\Program Files\\B\\un.exe\" /S");
    f.form.UpdateCommand_Click();
    const std::int16_t stale = slotOf(L"Stale");
    f.form.UninstallerChecks_Done(first.generation, {{stale, platform::Verdict::kMissing}}, true);
    EXPECT_TRUE(f.list.notes.empty()) << "the verdict of an earlier list";
    EXPECT_FALSE(f.form.UninstallersJudged());

    f.DeliverVerdicts(f.form, platform::Verdict::kUnknown, {{stale, platform::Verdict::kMissing}});
    EXPECT_EQ(f.list.notes, (std::map<std::int16_t, std::wstring>{{stale, note}}));
    EXPECT_TRUE(f.form.UninstallersJudged());
    f.form.UpdateCommand_Click();
    EXPECT_EQ(f.list.notes, (std::map<std::int16_t, std::wstring>{{slotOf(L"Stale"), note}}))
        << "a rescan keeps the line stale before its new verdict";
    EXPECT_EQ(f.list.Texts(),
              (std::vector<std::wstring>{L"Alpha", L"Beta", L"Beta", L"Stale", L"Tree"}));
    f.DeliverVerdicts(f.form, platform::Verdict::kPresent);
    EXPECT_TRUE(f.list.notes.empty());
}

TEST_F(MainWindowTest, ARepaintDuringARescanMessageTakesAUnitOfItsOwn) {
    f.Select(L"Alpha");
    f.form.AddAndDelCommand_Click();
    f.registry.DenyAccess(kHKeyLocalMachine, catalogue::kUninstallPath,
                          platform::memory::Denial::kAll);
    // The scan's message box is open while the window repaints.
    int nestedPaints = 0;
    std::function<void()> repaint = [&] {
        if (++nestedPaints < 10) f.messages.whileOpen = repaint;
        f.form.Form_Paint();
    };
    f.messages.whileOpen = repaint;
    f.form.Form_Paint();
    f.messages.whileOpen = nullptr;
    EXPECT_EQ(Scans(), 1 + 5);
    EXPECT_EQ(f.form.RefreshOnPaint(), 0);
    EXPECT_EQ(f.messages.shown.size(), 5u);
    EXPECT_EQ(nestedPaints, 5);
}

// What a rescan does to the controls, in order: the list refilled in table
// order inside one redraw pause, then one message per root that did not
// open, then the command-line box emptied unless the scan ended early.
TEST(Rescan, RefillsTheListThenTellsOfEachFailedRoot) {
    const std::wstring failed = L"Show レジストリデータの取得に失敗しました。";
    const std::string uninstall = catalogue::kUninstallPath;
    struct Case {
        const char* name;
        bool separate;
        std::function<void(FormFixture&)> fault;
        CallJournal calls;
        bool throws = false;
    };
    const std::vector<Case> cases = {
        {"every root opens",
         true,
         [](FormFixture&) {},
         {L"BeginUpdate", L"Clear", L"AddLine Only 64 0", L"AddLine Same 1", L"AddLine Only 32 2",
          L"AddLine Same 3", L"AddLine User 4", L"EndUpdate", L"SetText "}},
        {"one machine view fails",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, kUninstall32Path,
                                   platform::memory::Denial::kAll);
         },
         {L"BeginUpdate", L"Clear", L"AddLine Only 64 0", L"AddLine Same 1", L"AddLine User 2",
          L"EndUpdate", failed, L"SetText "}},
        {"both machine views fail: one message for the machine root",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
         },
         {L"BeginUpdate", L"Clear", L"AddLine User 0", L"EndUpdate", failed, L"SetText "}},
        {"both machine views and the user's key fail: one message per root, the box kept",
         true,
         [](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, "Software", platform::memory::Denial::kAll);
             f.registry.DenyAccess(kHKeyCurrentUser, "Software", platform::memory::Denial::kAll);
         },
         {L"BeginUpdate", L"Clear", L"EndUpdate", failed, failed}},
        {"the machine key fails in the two-pass scan: the box is kept",
         false,
         [&](FormFixture& f) {
             f.registry.DenyAccess(kHKeyLocalMachine, uninstall, platform::memory::Denial::kAll);
         },
         {L"BeginUpdate", L"Clear", L"EndUpdate", failed}},
        {"the user's key fails: the box is kept",
         false,
         [&](FormFixture& f) {
             f.registry.DenyAccess(kHKeyCurrentUser, uninstall, platform::memory::Denial::kAll);
         },
         {L"BeginUpdate", L"Clear", L"AddLine Only 64 0", L"AddLine Same 1", L"EndUpdate", failed}},
        {"the list fails: it redraws again, and nothing else happens",
         false,
         [](FormFixture& f) { f.list.failAdds = true; },
         {L"BeginUpdate", L"Clear", L"AddLine Only 64 0", L"EndUpdate"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture f;
        SeedBothViews(f);
        f.registry.SetSeparateViews(c.separate);
        c.fault(f);
        mainwindow::ZentrelForm form{f.Platform(), catalogue::ScanPasses(c.separate)};
        CallJournal calls;
        f.list.journal = f.text.journal = f.messages.journal = &calls;
        if (c.throws) {
            EXPECT_THROW(form.追加と削除の一覧検索(), std::runtime_error);
        } else {
            form.追加と削除の一覧検索();
        }
        EXPECT_EQ(calls, c.calls);
    }
}

// A code page that, once armed, fails on the nth conversion to wide text,
// as a scan that meets an internal error half-way would.
class FailingCodePage : public platform::CodePage {
  public:
    explicit FailingCodePage(const platform::CodePage& real) : real_(real) {}
    std::wstring ToWide(std::string_view bytes) const override {
        if (conversionsLeft-- == 0) throw std::runtime_error("conversion failed");
        return real_.ToWide(bytes);
    }
    std::string ToNarrow(std::wstring_view text) const override { return real_.ToNarrow(text); }
    std::optional<std::string> ToNarrowExactly(std::wstring_view text) const override {
        return real_.ToNarrowExactly(text);
    }

    mutable int conversionsLeft = -1;  // never fails while negative

  private:
    const platform::CodePage& real_;
};

TEST(Rescan, AScanThatFailsHalfWayLeavesNoLineOfTheLastList) {
    FormFixture f;
    SeedBothViews(f);
    FailingCodePage failing(f.codePage);
    mainwindow::ZentrelForm form{{f.registry, failing, f.list, f.text, f.messages, f.processes,
                                  f.screen, f.window, f.versionForm, f.application, f.wideRegistry,
                                  f.backups, f.changes, f.checks}};
    form.追加と削除の一覧検索();  // the first scan lists every entry
    ASSERT_FALSE(f.list.lines.empty());
    CallJournal calls;
    f.list.journal = f.text.journal = f.messages.journal = &calls;
    failing.conversionsLeft = 3;
    EXPECT_THROW(form.追加と削除の一覧検索(), std::runtime_error);
    EXPECT_EQ(calls, (CallJournal{L"BeginUpdate", L"Clear", L"EndUpdate"}));
    EXPECT_TRUE(f.list.lines.empty());
}

TEST_F(MainWindowTest, SelectionShowsTheLinesOwnCommandLine) {
    f.form.UninstallList_Click();  // nothing selected: nothing changes
    EXPECT_EQ(f.text.writes, 1);   // only the scan's emptying

    f.Select(L"Beta", 0);
    f.form.UninstallList_Click();
    const std::wstring first = f.text.text;
    f.Select(L"Beta", 1);
    f.form.UninstallList_Click();
    const std::wstring second = f.text.text;
    EXPECT_EQ(
        (std::vector<std::wstring>{first, second}),
        (std::vector<std::wstring>{L"\"C:\\Program Files\\B\\un.exe\" /S", L"C:\\user\\beta.exe"}));

    // A line that no slot holds leaves the box as it is.
    f.list.lines.push_back({L"Nowhere", 9999});
    f.list.selected = static_cast<int>(f.list.lines.size()) - 1;
    f.form.UninstallList_Click();
    EXPECT_EQ(f.text.text, second);

    f.form.UpdateCommand_Click();
    EXPECT_EQ(f.text.text, L"");
    EXPECT_EQ(f.list.selected, -1);
}

TEST(Commands, RunPaths) {
    struct Case {
        const char* name;
        std::function<void(FormFixture&)> setUp;
        std::vector<std::wstring> started;
        std::vector<Box> messages;
        std::int16_t counter;
        platform::EntryScope scope = platform::EntryScope::kMachine;
        int rescans = 0;
    };
    const std::vector<Case> cases = {
        {"no selection",
         [](FormFixture&) {},
         {},
         {{L"リストボックスで選択してから押して下さい。", platform::kMbOk}},
         0},
        {"a line without a slot",
         [](FormFixture& g) {
             g.list.lines.push_back({L"Nowhere", -1});
             g.list.selected = static_cast<int>(g.list.lines.size()) - 1;
         },
         {},
         {{L"エラー", platform::kMbOk}},
         0},
        {"the start fails",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.processes.result = platform::StartResult::kFailed;
         },
         {L"C:\\gone\\un.exe"},
         {{L"指定されたプログラムは正しくありません。", platform::kMbOk}},
         0},
        {"the consent prompt is declined: nothing to report or catch up with",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.processes.result = platform::StartResult::kDeclined;
         },
         {L"C:\\gone\\un.exe"},
         {},
         0},
        {"the list fails",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.list.failQueries = true;
         },
         {},
         {{L"指定されたプログラムは正しくありません。", platform::kMbOk}},
         0},
        {"trimmed, otherwise untouched",
         [](FormFixture& g) { g.Select(L"Beta", 0); },
         {L"\"C:\\Program Files\\B\\un.exe\" /S"},
         {},
         5},
        {"the second of two same-named lines runs its own entry, the user's",
         [](FormFixture& g) { g.Select(L"Beta", 1); },
         {L"C:\\user\\beta.exe"},
         {},
         5,
         platform::EntryScope::kUser},
        {"a user's entry that no unelevated way could start: its own message",
         [](FormFixture& g) {
             g.Select(L"Alpha");
             g.processes.result = platform::StartResult::kNoUnelevatedStart;
         },
         {L"a.exe"},
         {{L"この項目は現在のユーザーだけに登録されたものなので、アンインストーラーを管理者の権限な"
           L"しで"
           L"起動しようとしましたが、起動できませんでした。",
           platform::kMbOk}},
         0,
         platform::EntryScope::kUser},
        {"a change handled while the start still runs is followed",
         [](FormFixture& g) {
             g.Select(L"Alpha");
             g.registry.AddKey(kHKeyLocalMachine, g.KeyPath(L"Part"));
             g.processes.whileStarting = [&g] {
                 g.registry.RemoveKey(kHKeyLocalMachine, g.KeyPath(L"Part"));
                 g.DeliverChange(g.form);
             };
         },
         {L"a.exe"},
         {},
         5,
         platform::EntryScope::kUser,
         1},
    };
    for (const bool doubleClick : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (doubleClick ? " (double click)" : ""));
            FormFixture g;
            LoadCommandRegistry(g);
            const auto before = g.registry.Snapshot();
            c.setUp(g);
            doubleClick ? g.form.UninstallList_DblClick() : g.form.AddAndDelCommand_Click();
            EXPECT_EQ(g.processes.started, c.started);
            EXPECT_EQ(g.processes.owners,
                      std::vector<platform::WindowHandle>(c.started.size(), g.window.handle))
                << "a consent prompt belongs to the main window";
            EXPECT_EQ(g.processes.scopes,
                      std::vector<platform::EntryScope>(c.started.size(), c.scope));
            EXPECT_EQ(g.messages.shown, c.messages);
            EXPECT_EQ(g.form.RefreshOnPaint(), c.counter);
            EXPECT_EQ(g.registry.Snapshot(), before);
            EXPECT_EQ(g.list.clears, 1 + c.rescans) << "the run command itself never rescans";
            EXPECT_EQ(g.registry.OpenHandleCount(), c.counter > 0 ? 2u : 0u)
                << "both Uninstall keys watched after a start, none otherwise";
        }
    }
}

TEST(Commands, DeletePaths) {
    const Box question{L"[ Stale ]の登録をレジストリから削除しますがよろしいですか？",
                       platform::kMbYesNoExclamation};
    struct Case {
        const char* name;
        std::function<void(FormFixture&)> setUp;
        std::vector<Box> messages;
        std::vector<std::pair<std::uint32_t, std::wstring>> removed;  // root, key name
        int scans;                                                    // after the load's scan
        std::vector<std::wstring> files;                              // left in the backup folder
    };
    const std::wstring saved = L"2026-12-07 14-05-33 ";
    const Box failed{L"レジストリエントリの削除に失敗しました。", platform::kMbOk};
    const Box treeQuestion{L"[ Tree ]の登録をレジストリから削除しますがよろしいですか？",
                           platform::kMbYesNoExclamation};
    const std::wstring notSaved =
        L"削除前のバックアップを保存できなかったため、削除しませんでした。";
    const std::wstring inFolder = L"\n" + platform::memory::MemoryBackupFolder{}.location;
    const std::string uninstall = catalogue::kUninstallPath;
    const std::vector<Case> cases = {
        {"no selection",
         [](FormFixture&) {},
         {{L"リストボックスで選択してから押して下さい。", platform::kMbOk}},
         {},
         0,
         {}},
        {"answered No",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.messages.answers = {platform::kIdNo};
         },
         {question},
         {},
         0,
         {}},
        {"answered Yes",
         [](FormFixture& g) { g.Select(L"Stale"); },
         {question},
         {{kHKeyLocalMachine, L"Stale"}},
         1,
         {saved + L"Stale.reg"}},
        {"the selection is gone by the answer",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.messages.whileOpen = [&g] { g.list.selected = -1; };
         },
         {question, {L"エラー", platform::kMbOk}},
         {},
         0,
         {}},
        {"a root that opened read-only is refused before any registry call",
         [&](FormFixture& g) {
             g.registry.DenyAccess(kHKeyLocalMachine, uninstall, platform::memory::Denial::kWrite);
             g.form.追加と削除の一覧検索();
             g.Select(L"Stale");
             g.messages.whileOpen = [&g] { g.registry.ResetCallCounts(); };
         },
         {question,
          {L"現在のユーザーアカウントに権限がないなどの原因で削除することは出来ません。",
           platform::kMbOk}},
         {},
         0,
         {}},
        {"the key does not open",
         [&](FormFixture& g) {
             g.Select(L"Stale");
             g.registry.DenyAccess(kHKeyLocalMachine, uninstall, platform::memory::Denial::kWrite);
         },
         {question, {L"レジストリキーのオープンに失敗しました", platform::kMbOk}},
         {},
         0,
         {}},
        {"a subkey with subkeys is refused, and the list still rescans",
         [](FormFixture& g) { g.Select(L"Tree"); },
         {treeQuestion, failed},
         {},
         1,
         {}},
        {"the second of two same-named lines deletes its own entry",
         [](FormFixture& g) { g.Select(L"Beta", 1); },
         {{L"[ Beta ]の登録をレジストリから削除しますがよろしいですか？",
           platform::kMbYesNoExclamation}},
         {{kHKeyCurrentUser, L"BetaUser"}},
         1,
         {saved + L"BetaUser.reg"}},
        {"no folder for the backup: nothing is deleted, and no folder is named",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.backups.failWrites = true;
             g.backups.location.clear();
         },
         {question, {notSaved, platform::kMbOk}},
         {},
         1,
         {}},
        {"a half-written file that will not go is renamed",
         [](FormFixture& g) {
             g.Select(L"Stale");
             g.backups.cutWrites = true;
             g.backups.failRemovals = true;
         },
         {question, {notSaved + inFolder, platform::kMbOk}},
         {},
         1,
         {saved + L"Stale (not deleted).reg"}},
        {"the deletion fails and the file will not go: it is renamed",
         [](FormFixture& g) {
             g.Select(L"Tree");
             g.backups.failRemovals = true;
         },
         {treeQuestion, failed},
         {},
         1,
         {saved + L"Tree (not deleted).reg"}},
        {"the subkey is gone before the backup, and is not created again",
         [&](FormFixture& g) {
             g.Select(L"Stale");
             g.messages.whileOpen = [&g] {
                 g.registry.RemoveKey(kHKeyLocalMachine, g.KeyPath(L"Stale"));
             };
         },
         {question, failed},
         {{kHKeyLocalMachine, L"Stale"}},
         1,
         {}},
        {"a second deletion in the same second keeps the first file",
         [&](FormFixture& g) {
             g.Select(L"Stale");
             g.backups.files[saved + L"Stale.reg"] = {};
         },
         {question},
         {{kHKeyLocalMachine, L"Stale"}},
         1,
         {saved + L"Stale (2).reg", saved + L"Stale.reg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture g;
        LoadCommandRegistry(g);
        c.setUp(g);
        auto expected = g.registry.Snapshot();
        const int scansBefore = g.list.clears;
        g.form.ListDelCommand_Click();

        EXPECT_EQ(g.messages.shown, c.messages);
        for (const auto& [root, keyName] : c.removed) {
            const std::string prefix =
                std::string(root == kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE\\"
                                                      : "HKEY_CURRENT_USER\\") +
                g.KeyPath(keyName);
            std::erase_if(expected,
                          [&](const auto& item) { return item.first.rfind(prefix, 0) == 0; });
        }
        EXPECT_EQ(g.registry.Snapshot(), expected) << "only the selected entry's subkey goes";
        EXPECT_EQ(g.list.clears - scansBefore, c.scans);
        EXPECT_EQ(g.registry.OpenHandleCount(), 0u);
        std::vector<std::wstring> files;
        for (const auto& [name, bytes] : g.backups.files) files.push_back(name);
        EXPECT_EQ(files, c.files) << "a file for each deleted entry, none for one still there";
        if (std::string(c.name).find("read-only") != std::string::npos) {
            for (const char* op : {"RegCreateKeyExA", "RegOpenKeyExA", "RegDeleteKeyExA"}) {
                EXPECT_EQ(g.registry.CallCount(op), 0u) << op;
            }
        }
    }
}

// A registry whose enumeration reports one subkey under an empty name, as a
// damaged or hostile registry might.
class EmptyNameRegistry : public platform::memory::MemoryRegistry {
  public:
    platform::RegStatus RegEnumKeyA(platform::RegHandle key, std::uint32_t index, char* name,
                                    std::uint32_t nameSize) override {
        const auto status = MemoryRegistry::RegEnumKeyA(key, index, name, nameSize);
        if (status == 0 && std::string(name) == "Empty") name[0] = '\0';
        return status;
    }
    platform::RegStatus RegDeleteKeyExA(platform::RegHandle key, const char* subKey,
                                        std::uint32_t view, std::uint32_t reserved) override {
        deletedNames.push_back(subKey);
        return MemoryRegistry::RegDeleteKeyExA(key, subKey, view, reserved);
    }
    std::vector<std::string> deletedNames;
};

// The wide enumeration agrees, or the scan would skip the name.
class EmptyNameWideRegistry : public platform::memory::MemoryWideRegistry {
  public:
    using MemoryWideRegistry::MemoryWideRegistry;
    platform::RegStatus RegEnumKeyExW(platform::RegHandle key, std::uint32_t index,
                                      std::wstring* name) override {
        const auto status = MemoryWideRegistry::RegEnumKeyExW(key, index, name);
        if (status == 0 && *name == L"Empty") name->clear();
        return status;
    }
};

TEST(DeleteCommand, AnEmptyKeyNameNeverReachesTheRegistry) {
    FormFixture f;
    EmptyNameRegistry registry;
    EmptyNameWideRegistry wideRegistry{registry, f.codePage};
    mainwindow::ZentrelForm form{mainwindow::ZentrelFormPlatform{
        registry, f.codePage, f.list, f.text, f.messages, f.processes, f.screen, f.window,
        f.versionForm, f.application, wideRegistry, f.backups, f.changes, f.checks}};
    // Read through the empty name, the values are the Uninstall key's own.
    registry.AddKey(kHKeyLocalMachine, std::string(catalogue::kUninstallPath) + "\\Empty");
    registry.SetString(kHKeyLocalMachine, catalogue::kUninstallPath, "DisplayName", "Whole Key");
    registry.SetString(kHKeyLocalMachine, catalogue::kUninstallPath, "UninstallString", "x.exe");
    form.Form_Load();
    f.Select(L"Whole Key");
    ASSERT_NE(f.list.selected, -1);
    const auto before = registry.Snapshot();
    form.ListDelCommand_Click();
    EXPECT_TRUE(registry.deletedNames.empty());
    EXPECT_EQ(registry.Snapshot(), before);
    EXPECT_EQ(f.messages.Texts().back(), L"レジストリエントリの削除に失敗しました。");
    EXPECT_EQ(f.list.clears, 2);
}

TEST_F(MainWindowTest, VersionAndEndCommands) {
    f.form.VersionCommand_Click();
    f.form.VersionCommand_Click();
    EXPECT_EQ(f.versionForm.openings, 2);
    EXPECT_EQ(f.application.ends, 0);
    f.form.EndCommand_Click();
    EXPECT_EQ(f.application.ends, 1);
}

}  // namespace
}  // namespace velmora::testing

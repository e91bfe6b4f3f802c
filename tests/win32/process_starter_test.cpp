// The CreateProcessW starter against Wine.  The program started is a copy of
// record_command_line.exe, which writes down the window style and the
// command line it received; it lives in a scratch folder below %TEMP% whose
// name has spaces.
#include <windows.h>
// objbase.h needs windows.h first.
#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/common/module_function.h"
#include "platform/win32/common/unique_handle.h"
#include "platform/win32/system/win32_process_starter.h"

namespace velmora::platform::win32 {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kUndefinedReference[] = L"%VELMORA_UNDEFINED_6F1C%";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// What the recorder wrote, "window style\ncommand line", once its file has
// appeared (it is renamed into place whole); empty if none appears in 30 s,
// the first start of a program on a cold machine included.
std::wstring WaitForRecord(const std::wstring& path) {
    for (const auto deadline = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
        UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        std::wstring text(32768, L'\0');
        DWORD read = 0;
        const auto bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (file && ::ReadFile(file.get(), text.data(), bytes, &read, nullptr)) {
            return text.substr(0, read / sizeof(wchar_t));
        }
    }
    return {};
}

// When the shell cannot find the program it shows an error box and waits for
// it to be closed; such a start fails the case instead of holding the test.
bool StartElevatedOrGiveUp(const std::wstring& commandLine) {
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> started = result->get_future();
    std::thread([commandLine, result] {
        result->set_value(StartElevated(commandLine, 0) == StartResult::kStarted);
    }).detach();
    if (started.wait_for(30s) == std::future_status::ready) return started.get();
    ADD_FAILURE() << "the elevated start did not return: the shell is showing an error";
    return false;
}

// A command line to start and the one the started program should see.
using StartCase = std::pair<std::wstring, std::wstring>;

class ProcessStarterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = temp + (L"Velmora Test Dir " + std::to_wstring(::GetCurrentProcessId()));
        recorder_ = folder_ + L"\\rec.exe";
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr)) << ::GetLastError();
        ASSERT_TRUE(::CopyFileW(L"" VELMORA_RECORDER_PATH, recorder_.c_str(), TRUE));
        ::SetEnvironmentVariableW(L"VELMORA_TEST_FOLDER", folder_.c_str());
    }
    // Best effort: a recorder still running keeps its files busy.
    static void TearDownTestSuite() {
        for (const auto& file : records_) ::DeleteFileW(file.c_str());
        ::DeleteFileW(recorder_.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    // A fresh record file for the next start, announced to the recorder.
    static std::wstring NextRecordFile() {
        records_.push_back(folder_ + L"\\record " + std::to_wstring(records_.size()) + L".txt");
        ::SetEnvironmentVariableW(L"VELMORA_RECORD_FILE", records_.back().c_str());
        return records_.back();
    }

    // Starts each case; the recorder must see exactly the expected command
    // line, its window shown normally (1, SW_SHOWNORMAL).
    static void ExpectRecorded(const std::function<bool(const std::wstring&)>& start,
                               const std::vector<StartCase>& cases) {
        for (const auto& [commandLine, expected] : cases) {
            SCOPED_TRACE(commandLine);
            const std::wstring recordFile = NextRecordFile();
            ASSERT_TRUE(start(commandLine));
            EXPECT_EQ(WaitForRecord(recordFile), L"1\n" + expected);
        }
    }

    static inline std::wstring folder_, recorder_;
    static inline std::vector<std::wstring> records_;
    Win32ProcessStarter starter_;
};

TEST_F(ProcessStarterTest, StartsTheCommandLineAsStoredWithReferencesExpanded) {
    const std::wstring rec = Quoted(recorder_);
    const std::wstring undefined = kUndefinedReference;
    ExpectRecorded(
        [this](const std::wstring& line) {
            return starter_.Start(line, 0, EntryScope::kMachine) == StartResult::kStarted;
        },
        {
            {rec + L" /S --name=\"x y\"  名前 ", rec + L" /S --name=\"x y\"  名前 "},
            {rec + L"/S", rec + L"/S"},
            {Quoted(L"%velmora_test_folder%\\rec.exe") + L" --in=%VELMORA_TEST_FOLDER%",
             rec + L" --in=" + folder_},
            {rec + L" " + undefined + L" 100%", rec + L" " + undefined + L" 100%"},
        });
}

TEST_F(ProcessStarterTest, ReportsWhatCannotBeStarted) {
    for (const std::wstring& line :
         {std::wstring(), std::wstring(L" \t "), Quoted(folder_ + L"\\missing.exe") + L" /S",
          Quoted(std::wstring(kUndefinedReference) + L"\\rec.exe"), Quoted(folder_)}) {
        EXPECT_EQ(starter_.Start(line, 0, EntryScope::kMachine), StartResult::kFailed) << line;
    }
}

TEST_F(ProcessStarterTest, ReturnsWhileTheStartedProgramStillRuns) {
    const std::wstring recordFile = NextRecordFile();
    // The recorder records only once this file exists: until then it runs.
    const std::wstring release = recordFile + L".release";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"VELMORA_RECORD_AFTER", release.c_str()));
    const bool started =
        starter_.Start(Quoted(recorder_), 0, EntryScope::kMachine) == StartResult::kStarted;
    ::SetEnvironmentVariableW(L"VELMORA_RECORD_AFTER", nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(::GetFileAttributesW(recordFile.c_str()), INVALID_FILE_ATTRIBUTES)
        << "Start waited for the program to finish";
    const UniqueHandle releaseFile(
        ::CreateFileW(release.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(releaseFile) << ::GetLastError();
    EXPECT_FALSE(WaitForRecord(recordFile).empty());
    records_.push_back(release);
}

// The calls a start takes, by this process's elevation, whose entry it is
// and how each unelevated way fares.  Calls: s the normal start, r "runas",
// 0 1 2 the unelevated ways in order.
TEST_F(ProcessStarterTest, AUsersEntryStartsUnelevatedWhileThisProcessIsElevated) {
    using enum EntryScope;
    using enum StartResult;
    struct Case {
        const char* name;
        bool elevated;
        EntryScope scope;
        std::uint32_t startStatus;  // the normal start's; 740: the program asks for elevation
        std::string ways;           // whether each unelevated way starts it, y or n
        StartResult result;
        std::string calls;
    };
    const std::vector<Case> cases = {
        {"not elevated: as before, the prompt", false, kUser, 740, "yyy", kStarted, "sr"},
        {"elevated, the machine's entry", true, kMachine, 0, "yyy", kStarted, "s"},
        {"elevated, the user's: the ways in turn", true, kUser, 0, "nyy", kStarted, "01"},
        {"elevated, the user's: no way, no more rights", true, kUser, 0, "nnn", kNoUnelevatedStart,
         "012"},
        {"elevated, the user's, a missing program", true, kUser, 0, "yyy", kFailed, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string calls;
        StartCalls fakes{[&] { return c.elevated; },
                         [&](const std::wstring&) {
                             calls += 's';
                             return c.startStatus;
                         },
                         [&](const std::wstring&, WindowHandle) {
                             calls += 'r';
                             return kStarted;
                         },
                         {}};
        for (std::size_t i = 0; i < c.ways.size(); ++i) {
            fakes.unelevated.push_back([&, i](const std::wstring&, const CommandLineParts&) {
                calls += static_cast<char>('0' + i);
                return c.ways[i] == 'y';
            });
        }
        // The one row that fails names a program that is not there.
        const std::wstring program = c.result == kFailed ? folder_ + L"\\missing.exe" : recorder_;
        EXPECT_EQ(Win32ProcessStarter(fakes).Start(Quoted(program), 0, c.scope), c.result);
        EXPECT_EQ(calls, c.calls);
    }
}

// The shell and COM cost start-up time, so only an elevated start may load
// them; it initialises COM on its own thread, as the shell wants.  Runs before
// any other elevated start in this program.
TEST_F(ProcessStarterTest, OnlyTheElevatedStartLoadsTheShellAndCom) {
    if (!RunningUnderWine()) GTEST_SKIP() << "would show the consent prompt";
    ASSERT_EQ(starter_.Start(Quoted(recorder_), 0, EntryScope::kMachine), StartResult::kStarted);
    for (const wchar_t* dll : {L"shell32.dll", L"ole32.dll"}) {
        EXPECT_EQ(::GetModuleHandleW(dll), nullptr) << dll << " is loaded before any elevation";
    }
    auto result = std::make_shared<std::promise<HRESULT>>();
    std::future<HRESULT> comOnThread = result->get_future();
    std::thread([this, result] {
        HRESULT again = E_FAIL;
        if (StartElevated(Quoted(recorder_), 0) == StartResult::kStarted) {
            // After the start, COM must already be initialised on this thread.
            const HMODULE ole = ::GetModuleHandleW(L"ole32.dll");
            const auto coInitialize = reinterpret_cast<decltype(&::CoInitializeEx)>(
                ole ? reinterpret_cast<void*>(::GetProcAddress(ole, "CoInitializeEx")) : nullptr);
            if (coInitialize != nullptr) {
                again = coInitialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            }
        }
        result->set_value(again);
    }).detach();
    ASSERT_EQ(comOnThread.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(comOnThread.get(), S_FALSE) << "COM was not initialised on the starting thread";
    EXPECT_NE(::GetModuleHandleW(L"shell32.dll"), nullptr);
}

// Wine grants elevation without asking; on Windows this would raise the
// consent prompt, so it runs only under Wine.
TEST_F(ProcessStarterTest, ElevatedStartPassesProgramAndArguments) {
    if (!RunningUnderWine()) GTEST_SKIP() << "would show the consent prompt";
    const std::wstring rec = Quoted(recorder_);
    ExpectRecorded(StartElevatedOrGiveUp,
                   {
                       {rec + L" /S --name=\"x y\"", rec + L" /S --name=\"x y\""},
                       {recorder_ + L" \t/S", rec + L" /S"},
                   });
}

// The elevated start's shell and COM: a load that failed (a passing
// shortage) is made again by the next start; one that succeeded is not.
TEST(OnDemandFunctionTest, ALoadThatFailedIsMadeAgain) {
    static int loads = 0;
    OnDemandFunction<decltype(&::GetTickCount)> tickCount(
        [](const wchar_t* module) { return ++loads == 1 ? nullptr : ::GetModuleHandleW(module); },
        L"kernel32.dll", "GetTickCount");
    EXPECT_EQ(tickCount.Get(), nullptr);
    EXPECT_NE(tickCount.Get(), nullptr);
    EXPECT_NE(tickCount.Get(), nullptr);
    EXPECT_EQ(loads, 2);
}

// With a probe, an unquoted program may have blanks: the first candidate the
// probe knows wins, else the text up to the first blank.
TEST(SplitCommandLineTest, SeparatesProgramAndArguments) {
    const ProgramProbe probe = [](const std::wstring& name) {
        return name == L"C:\\Program Files\\u.exe" || name == L"C:\\x.exe";
    };
    struct SplitCase {
        std::wstring commandLine;
        bool probed;
        std::wstring program, arguments;
    };
    const SplitCase cases[] = {
        {L"  \t \"C:\\A B\\u.exe\"  \t /S --n=\"x y\" ", false, L"C:\\A B\\u.exe",
         L"/S --n=\"x y\" "},
        {L"\tC:\\u.exe\t/S\t/x", false, L"C:\\u.exe", L"/S\t/x"},
        {L"\"C:\\u.exe\"/S", false, L"C:\\u.exe", L"/S"},
        {L"\"C:\\Unclosed\\u.exe /S", false, L"C:\\Unclosed\\u.exe /S", L""},
        // Arguments inside the quotes stay in the program's name.
        {L"\"C:\\u.exe /S\" /x", true, L"C:\\u.exe /S", L"/x"},
        {L" \t ", false, L"", L""},
        {L"C:\\Program Files\\u.exe /S", false, L"C:\\Program", L"Files\\u.exe /S"},
        {L"C:\\Program Files\\u.exe \t/S", true, L"C:\\Program Files\\u.exe", L"/S"},
        {L" C:\\Program Files\\u.exe", true, L"C:\\Program Files\\u.exe", L""},
        {L"C:\\x.exe C:\\Program Files\\u.exe", true, L"C:\\x.exe", L"C:\\Program Files\\u.exe"},
        {L"C:\\Other Dir\\u.exe /S", true, L"C:\\Other", L"Dir\\u.exe /S"},
        {L"\"C:\\Program\" Files\\u.exe", true, L"C:\\Program", L"Files\\u.exe"},
    };
    for (const auto& c : cases) {
        const CommandLineParts parts = SplitCommandLine(c.commandLine, c.probed ? probe : nullptr);
        EXPECT_EQ(parts.program + L"|" + parts.arguments, c.program + L"|" + c.arguments);
    }
}

}  // namespace
}  // namespace velmora::platform::win32

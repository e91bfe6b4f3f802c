// The CreateProcessW starter against Wine.  The programs started are copies
// of record_command_line.exe, which writes down the window style and the
// command line it received; the copies live in a scratch folder below %TEMP%
// whose name has spaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_process_starter.h"

namespace velmora::platform::win32 {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kRecorderSource[] = L"" VELMORA_RECORDER_PATH;
constexpr wchar_t kUndefinedReference[] = L"%VELMORA_UNDEFINED_6F1C%";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    const DWORD length =
        ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

struct Record {
    int show = 0;
    std::wstring commandLine;
};

std::optional<Record> ReadRecord(const std::wstring& path) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::wstring text(32768, L'\0');
    DWORD read = 0;
    const auto capacity = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!::ReadFile(file.get(), text.data(), capacity, &read, nullptr)) return std::nullopt;
    text.resize(read / sizeof(wchar_t));
    const std::size_t newline = text.find(L'\n');
    if (newline == text.npos) return std::nullopt;
    return Record{std::stoi(text.substr(0, newline)), text.substr(newline + 1)};
}

std::optional<Record> WaitForRecord(const std::wstring& path) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (auto record = ReadRecord(path)) return record;
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

struct StartCase {
    const char* name;
    std::wstring commandLine;
    std::wstring expected = {};  // as the started program sees it
};

using StartFunction = std::function<bool(const std::wstring& commandLine)>;

class ProcessStarterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folderName_ = L"Velmora Test Dir " + std::to_wstring(::GetCurrentProcessId());
        folder_ = Environment(L"TEMP") + L"\\" + folderName_;
        recorder_ = folder_ + L"\\rec.exe";
        undefinedFolder_ = folder_ + L"\\" + kUndefinedReference;
        for (const auto& folder : {folder_, undefinedFolder_}) {
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << ::GetLastError();
            created_.push_back(folder);
        }
        for (const auto& copy : {recorder_, undefinedFolder_ + L"\\rec.exe"}) {
            ASSERT_TRUE(::CopyFileW(kRecorderSource, copy.c_str(), TRUE)) << ::GetLastError();
            created_.push_back(copy);
        }
    }

    // Best effort: a recorder still running keeps its copy busy.
    static void TearDownTestSuite() {
        for (auto path = created_.rbegin(); path != created_.rend(); ++path) {
            if (!::DeleteFileW(path->c_str())) ::RemoveDirectoryW(path->c_str());
        }
    }

    void SetUp() override { ::SetEnvironmentVariableW(L"VELMORA_RECORD_DELAY_MS", nullptr); }

    // A fresh record file for the next start, announced to the recorder.
    std::wstring NextRecordFile() {
        static int count = 0;
        const std::wstring path = folder_ + L"\\record " + std::to_wstring(++count) + L".txt";
        ::SetEnvironmentVariableW(L"VELMORA_RECORD_FILE", path.c_str());
        created_.push_back(path);
        return path;
    }

    // Starts each case and checks that the recorder saw exactly the expected
    // command line, with its window shown normally.
    void ExpectRecorded(const StartFunction& start, const std::vector<StartCase>& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            const std::wstring recordFile = NextRecordFile();
            ASSERT_TRUE(start(c.commandLine));
            const std::optional<Record> record = WaitForRecord(recordFile);
            ASSERT_TRUE(record.has_value()) << "the started program left no record";
            EXPECT_EQ(record->commandLine, c.expected);
            EXPECT_EQ(record->show, SW_SHOWNORMAL);
        }
    }

    StartFunction Starter() {
        return [this](const std::wstring& commandLine) { return starter_.Start(commandLine); };
    }

    static inline std::wstring folderName_;
    static inline std::wstring folder_;
    static inline std::wstring recorder_;
    static inline std::wstring undefinedFolder_;
    static inline std::vector<std::wstring> created_;
    Win32ProcessStarter starter_;
};

TEST_F(ProcessStarterTest, HandsTheCommandLineOverAsStored) {
    const std::wstring rec = Quoted(recorder_);
    std::vector<StartCase> cases = {
        {"quoted path with spaces, arguments", rec + L" /S --name=\"x y\""},
        {"program only", rec},
        {"blanks inside the arguments", rec + L"  a\t\tb  \"c  d\""},
        {"Japanese arguments", rec + L" /名前=アンインストール ソ表能"},
        {"arguments right after the closing quote", rec + L"/S"},
    };
    for (auto& c : cases) c.expected = c.commandLine;
    ExpectRecorded(Starter(), cases);
}

TEST_F(ProcessStarterTest, ExpandsEnvironmentReferencesInWhatItStarts) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"VELMORA_TEST_FOLDER", folder_.c_str()));
    const std::wstring rec = Quoted(recorder_);
    const std::wstring undefined = kUndefinedReference;
    ExpectRecorded(
        Starter(),
        {
            {"%TEMP%", Quoted(L"%TEMP%\\" + folderName_ + L"\\rec.exe") + L" arg", rec + L" arg"},
            {"a variable of our own, program and argument",
             Quoted(L"%VELMORA_TEST_FOLDER%\\rec.exe") + L" --in=%VELMORA_TEST_FOLDER%",
             rec + L" --in=" + folder_},
            {"names are case-insensitive", Quoted(L"%velmora_test_folder%\\rec.exe"), rec},
            {"an undefined reference stays", rec + L" " + undefined + L" 100%",
             rec + L" " + undefined + L" 100%"},
            {"a folder named like an undefined reference",
             Quoted(L"%VELMORA_TEST_FOLDER%\\" + undefined + L"\\rec.exe") + L" x",
             Quoted(undefinedFolder_ + L"\\rec.exe") + L" x"},
        });
}

// CreateProcessW finds the program of an unquoted path with spaces by trying
// each blank in turn.  Windows hands the line over unchanged; Wine puts the
// program it found in quotes.
TEST_F(ProcessStarterTest, StartsAnUnquotedPathWithSpaces) {
    const std::wstring recordFile = NextRecordFile();
    ASSERT_TRUE(starter_.Start(recorder_ + L" /S  x"));
    const std::optional<Record> record = WaitForRecord(recordFile);
    ASSERT_TRUE(record.has_value());
    const std::wstring program = RunningUnderWine() ? Quoted(recorder_) : recorder_;
    EXPECT_EQ(record->commandLine, program + L" /S  x");
}

TEST_F(ProcessStarterTest, ReportsWhatCannotBeStarted) {
    const std::vector<std::pair<const char*, std::wstring>> cases = {
        {"empty", L""},
        {"spaces", L"   "},
        {"tabs and spaces", L"\t \t"},
        {"missing program, quoted", Quoted(folder_ + L"\\missing.exe") + L" /S"},
        {"missing program, unquoted", L"velmora_no_such_program_6F1C.exe /S"},
        {"missing program behind an undefined reference",
         Quoted(L"%VELMORA_UNDEFINED_6F1C%\\rec.exe")},
        {"a folder", Quoted(folder_)},
    };
    for (const auto& [name, commandLine] : cases) {
        EXPECT_FALSE(starter_.Start(commandLine)) << name;
    }
}

TEST_F(ProcessStarterTest, ReturnsWhileTheStartedProgramStillRuns) {
    const std::wstring recordFile = NextRecordFile();
    ASSERT_TRUE(::SetEnvironmentVariableW(L"VELMORA_RECORD_DELAY_MS", L"3000"));
    ASSERT_TRUE(starter_.Start(Quoted(recorder_) + L" slow"));
    EXPECT_EQ(::GetFileAttributesW(recordFile.c_str()), INVALID_FILE_ATTRIBUTES)
        << "Start waited for the program to finish";
    const std::optional<Record> record = WaitForRecord(recordFile);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->commandLine, Quoted(recorder_) + L" slow");
}

// When the shell cannot find the program it shows an error box of its own and
// waits for it to be closed.  Such a start fails the case after a while
// instead of holding the test; the box goes away with the test process.
bool StartElevatedOrGiveUp(const std::wstring& commandLine) {
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> started = result->get_future();
    std::thread([commandLine, result] { result->set_value(StartElevated(commandLine)); }).detach();
    if (started.wait_for(30s) == std::future_status::ready) return started.get();
    ADD_FAILURE() << "the elevated start did not return: the shell is showing an error";
    return false;
}

// Wine grants elevation without asking; on Windows this would raise the
// consent prompt, so it runs only under Wine.
TEST_F(ProcessStarterTest, ElevatedStartPassesProgramAndArguments) {
    if (!RunningUnderWine()) GTEST_SKIP() << "would show the consent prompt";
    const std::wstring rec = Quoted(recorder_);
    ExpectRecorded(StartElevatedOrGiveUp,
                   {
                       {"quoted path with spaces, arguments", rec + L" /S --name=\"x y\"",
                        rec + L" /S --name=\"x y\""},
                       {"program only", rec, rec},
                       {"unquoted path with spaces", recorder_ + L" \t/S", rec + L" /S"},
                   });
}

// With a probe, an unquoted program may have blanks: the first candidate the
// probe knows wins, else the text up to the first blank.
TEST(SplitCommandLineTest, SeparatesProgramAndArguments) {
    const std::set<std::wstring> programs = {L"C:\\Program Files\\App\\uninst.exe",
                                             L"C:\\Tools\\x.exe"};
    const ProgramProbe probe = [&](const std::wstring& name) { return programs.contains(name); };
    struct SplitCase {
        std::wstring commandLine;
        bool probed;
        CommandLineParts expected;
    };
    const std::vector<SplitCase> cases = {
        {L"\"C:\\Program Files\\App\\uninst.exe\" /S --name=\"x y\"",
         false,
         {L"C:\\Program Files\\App\\uninst.exe", L"/S --name=\"x y\""}},
        {L"C:\\App\\uninst.exe /S /x", false, {L"C:\\App\\uninst.exe", L"/S /x"}},
        {L"C:\\App\\uninst.exe", false, {L"C:\\App\\uninst.exe", L""}},
        {L"\"C:\\App Dir\\u.exe\"", false, {L"C:\\App Dir\\u.exe", L""}},
        {L"  \t \"C:\\A B\\u.exe\"  \t /S  ", false, {L"C:\\A B\\u.exe", L"/S  "}},
        {L"\tC:\\App\\u.exe\t/S\t/x", false, {L"C:\\App\\u.exe", L"/S\t/x"}},
        {L"\"C:\\App\\u.exe\"/S", false, {L"C:\\App\\u.exe", L"/S"}},
        {L"\"C:\\Unclosed\\u.exe /S", false, {L"C:\\Unclosed\\u.exe /S", L""}},
        {L"\"\" /S", false, {L"", L"/S"}},
        {L" \t ", false, {L"", L""}},
        {L"C:\\Program Files\\App\\uninst.exe /S",
         false,
         {L"C:\\Program", L"Files\\App\\uninst.exe /S"}},
        {L"C:\\Program Files\\App\\uninst.exe /S",
         true,
         {L"C:\\Program Files\\App\\uninst.exe", L"/S"}},
        {L" C:\\Program Files\\App\\uninst.exe",
         true,
         {L"C:\\Program Files\\App\\uninst.exe", L""}},
        {L"C:\\Tools\\x.exe C:\\Program Files\\App\\uninst.exe \t /S",
         true,
         {L"C:\\Tools\\x.exe", L"C:\\Program Files\\App\\uninst.exe \t /S"}},
        {L"C:\\Other Dir\\u.exe /S", true, {L"C:\\Other", L"Dir\\u.exe /S"}},
        {L"\"C:\\Program\" Files\\App\\uninst.exe",
         true,
         {L"C:\\Program", L"Files\\App\\uninst.exe"}},
    };
    for (const auto& c : cases) {
        const CommandLineParts parts = SplitCommandLine(c.commandLine, c.probed ? probe : nullptr);
        EXPECT_EQ(parts.program, c.expected.program) << c.commandLine;
        EXPECT_EQ(parts.arguments, c.expected.arguments) << c.commandLine;
    }
}

}  // namespace
}  // namespace velmora::platform::win32

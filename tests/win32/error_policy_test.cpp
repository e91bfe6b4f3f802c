// The window layer's checks: a failing call throws with its own name, the
// last error code and where it was called; a passing one gives its result.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/win32/common/win32_error.h"

namespace velmora::platform::win32 {
namespace {

std::string FailureOf(void (*call)()) {
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(no exception)";
}

TEST(ErrorPolicy, AFailedCallIsReportedByItsOwnNameCodeAndPlace) {
    const int line = __LINE__ + 3;
    const std::string failure = FailureOf([] {
        RECT rect{};
        VELMORA_WIN32_CHECK(::GetWindowRect(nullptr, &rect));
    });
    EXPECT_EQ(failure,
              "GetWindowRect failed (error 1400) at error_policy_test.cpp:" + std::to_string(line));

    // A predicate decides for calls whose failure is not a zero result.
    EXPECT_EQ(FailureOf([] {
                  VELMORA_WIN32_CHECK_THAT(::GetDlgCtrlID(nullptr), [](int id) { return id > 0; });
              }).substr(0, 32),
              "GetDlgCtrlID failed (error 1400)");
    EXPECT_EQ(FailureOf([] {
                  VELMORA_WIN32_CHECK_THAT(::GetDlgCtrlID(nullptr), [](int id) { return id == 0; });
              }),
              "(no exception)");
}

// The result given back is the one call's own: each call is made once.
TEST(ErrorPolicy, APassingCallGivesItsResultBack) {
    int calls = 0;
    const auto next = [&calls] { return ++calls; };
    EXPECT_EQ(VELMORA_WIN32_CHECK(next()), 1);
    EXPECT_EQ(VELMORA_WIN32_CHECK_THAT(next(), [](int result) { return result == 2; }), 2);
    EXPECT_EQ(calls, 2);
}

TEST(ErrorPolicy, TheNameIsWhatPrecedesTheFirstParenthesis) {
    struct Row {
        const char* call;
        const char* name;
    };
    for (const Row& row : {Row{"::SetWindowPos(window, nullptr, 0, 0)", "SetWindowPos"},
                           Row{"adjustForDpi(&rect, style)", "adjustForDpi"},
                           Row{" :: GetDC (window)", "GetDC"}, Row{"", ""}}) {
        EXPECT_EQ(CalledFunctionName(row.call), row.name) << row.call;
    }
}

}  // namespace
}  // namespace velmora::platform::win32

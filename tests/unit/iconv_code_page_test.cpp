#include "support/memory/iconv_code_page.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>

namespace velmora::platform::memory {
namespace {

using namespace std::string_literals;

struct RoundTrip {
    unsigned codePage;
    std::string bytes;
    std::wstring wide;
};

void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.codePage << ":" << c.bytes.size(); }

class CodePageRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(CodePageRoundTrip, ConvertsBothWays) {
    const IconvCodePage codePage(GetParam().codePage);
    EXPECT_EQ(codePage.ToWide(GetParam().bytes), GetParam().wide);
    EXPECT_EQ(codePage.ToNarrow(GetParam().wide), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodePageRoundTrip,
    testing::Values(
        // ソ表能: every trail byte is 0x5C.
        RoundTrip{932, "\x83\x5C\x95\x5C\x94\x5C", L"\u30BD\u8868\u80FD"},
        RoundTrip{932, "C:\\Program Files\\a.exe", L"C:\\Program Files\\a.exe"},
        RoundTrip{932, "a\0\x83\x5C\0b"s, L"a\0\u30BD\0b"s},  // NULs convert and do not stop
        RoundTrip{932, "\xB1\xB2", L"\uFF71\uFF72"},          // half-width katakana
        RoundTrip{932, "", L""}, RoundTrip{1252, "caf\xE9", L"caf\u00E9"},
        RoundTrip{65001, "\xE3\x82\xBD", L"\u30BD"}));

struct Invalid {
    unsigned codePage;
    std::string bytes;
    std::wstring wide;
};

void PrintTo(const Invalid& c, std::ostream* os) { *os << c.codePage << ":" << c.bytes.size(); }

class InvalidBytes : public testing::TestWithParam<Invalid> {};

TEST_P(InvalidBytes, BecomeOneReplacementEachAndConversionGoesOn) {
    EXPECT_EQ(IconvCodePage(GetParam().codePage).ToWide(GetParam().bytes), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, InvalidBytes,
    testing::Values(Invalid{932, "ab\x83", L"ab\u30FB"},            // lone lead byte at the end
                    Invalid{932, "\x83\x20z", L"\u30FB z"},         // lead byte, invalid trail
                    Invalid{932, "\x83\x00z"s, L"\u30FB\0z"s},      // lead byte before a NUL
                    Invalid{65001, "a\xE3\x82", L"a\uFFFD\uFFFD"},  // cut-off UTF-8
                    Invalid{65001, "\xFFok", L"\uFFFDok"}));

TEST(IconvCodePage, UnrepresentableWideCharactersBecomeQuestionMarks) {
    const IconvCodePage codePage(932);
    EXPECT_EQ(codePage.ToNarrow(L"a\U0001F600b\u30BD"), "a?b\x83\x5C");
}

TEST(IconvCodePage, LongTextsConvertWhole) {
    const std::string bytes = std::string(5000, 'x') + "\x83\x5C";
    const std::wstring wide = std::wstring(5000, L'x') + L"\u30BD";
    const IconvCodePage codePage;
    EXPECT_EQ(codePage.ToWide(bytes), wide);
    EXPECT_EQ(codePage.ToNarrow(wide), bytes);
}

TEST(IconvCodePage, UnknownCodePageIsRefused) {
    EXPECT_THROW(IconvCodePage(4), std::runtime_error);
}

}  // namespace
}  // namespace velmora::platform::memory

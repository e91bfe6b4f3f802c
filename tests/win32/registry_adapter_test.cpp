// The advapi32 registry adapter and the ANSI code page against Wine's real
// registry.  Each test works under its own scratch key below
// HKCU\Software\VelmoraTest and removes it afterwards; the Uninstall keys are
// touched only where their own behaviour is the point.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/registry_key.h"
#include "platform/win32/unique_hkey.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_registry.h"

namespace velmora::platform::win32 {
namespace {

constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kTestRootPath[] = "Software\\VelmoraTest";
const SecurityAttributes kZeroAttributes{};

std::string RandomKeyPath() {
    std::random_device device;
    return std::string(kTestRootPath) + "\\" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(device());
}

// Japanese texts with their code page 932 bytes; the first three have 0x5C,
// the byte of '\', as trail byte.
struct JapaneseSample {
    std::wstring text;
    std::string bytes;
};
const std::vector<JapaneseSample> kJapaneseSamples = {
    {L"ソ", "\x83\x5C"},
    {L"表", "\x95\x5C"},
    {L"能", "\x94\x5C"},
    {L"アンインストール", "\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B"},
    {L"追加と削除", "\x92\xC7\x89\xC1\x82\xC6\x8D\xED\x8F\x9C"},
    {L"ｶﾅ", "\xB6\xC5"},
};

TEST(Win32CodePageTest, ActiveAnsiCodePageIs932) {
    ASSERT_EQ(::GetACP(), 932u)
        << "Wine takes its ANSI code page from the locale: run under LC_ALL=ja_JP.UTF-8";
}

TEST(Win32CodePageTest, ConvertsJapaneseBothWays) {
    const Win32CodePage codePage;
    for (const auto& sample : kJapaneseSamples) {
        EXPECT_EQ(codePage.ToWide(sample.bytes), sample.text) << sample.bytes;
        EXPECT_EQ(codePage.ToNarrow(sample.text), sample.bytes) << sample.bytes;
    }
}

TEST(Win32CodePageTest, ConvertsEmbeddedNulsAndReplacesWhatItCannotConvert) {
    const Win32CodePage codePage;
    const std::string bytes("a\0\x83\x5C\0", 5);
    const std::wstring text(L"a\0ソ\0", 4);
    EXPECT_EQ(codePage.ToWide(bytes), text);
    EXPECT_EQ(codePage.ToNarrow(text), bytes);
    // A lead byte followed by a byte that cannot trail it: the conversion
    // replaces the bad pair and goes on with the rest.  (Wine makes the pair
    // one U+30FB and swallows the space; only the text around it is fixed.)
    const std::wstring repaired = codePage.ToWide("ab\x81\x20xyz");
    EXPECT_EQ(repaired.substr(0, 2), L"ab");
    EXPECT_EQ(repaired.substr(repaired.size() - 3), L"xyz");
    EXPECT_EQ(codePage.ToNarrow(L"a\u0100b"), "a?b");
}

class RegistryAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegHandle handle = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(
            registry_.RegCreateKeyExA(kHKeyCurrentUser, scratchPath_.c_str(), 0, "0", 0,
                                      kKeyFullAccess, &kZeroAttributes, &handle, &disposition),
            kErrorSuccess);
        scratch_ = RegistryKey(registry_, handle);
    }
    void TearDown() override {
        scratch_.Close();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestRootPath);  // fails while others use it
    }

    HKEY Raw() const { return reinterpret_cast<HKEY>(scratch_.get()); }
    bool ExistsUnderScratch(const std::string& name) const {
        UniqueHkey key;
        return ::RegOpenKeyExA(Raw(), name.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    void SetWideValue(const std::wstring& name, const std::wstring& data) const {
        const auto size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(::RegSetValueExW(Raw(), name.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(data.c_str()), size),
                  ERROR_SUCCESS);
    }
    std::vector<std::string> EnumerateScratch(RegStatus* endStatus) {
        std::vector<std::string> names;
        std::array<char, 256> buffer{};
        // Bounded, so that an enumeration that never ends fails instead of hanging.
        for (std::uint32_t index = 0; index < 100; ++index) {
            *endStatus = registry_.RegEnumKeyA(scratch_.get(), index, buffer.data(), 256);
            if (*endStatus != kErrorSuccess) break;
            names.emplace_back(buffer.data());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    Win32Registry registry_;
    Win32CodePage codePage_;
    std::string scratchPath_ = RandomKeyPath();
    RegistryKey scratch_;
};

TEST_F(RegistryAdapterTest, CreateKeyExCreatesThenOpensAndKeepsTheClass) {
    const std::array<std::uint32_t, 2> expected = {kRegCreatedNewKey, kRegOpenedExistingKey};
    for (std::uint32_t disposition : expected) {
        RegHandle handle = 0;
        std::uint32_t reported = 0;
        ASSERT_EQ(registry_.RegCreateKeyExA(scratch_.get(), "child", 0, "0", 0, kKeyFullAccess,
                                            &kZeroAttributes, &handle, &reported),
                  kErrorSuccess);
        RegistryKey child(registry_, handle);
        EXPECT_EQ(reported, disposition);
    }
    UniqueHkey child;
    ASSERT_EQ(::RegOpenKeyExA(Raw(), "child", 0, KEY_READ, child.put()), ERROR_SUCCESS);
    std::array<char, 16> className{};
    DWORD classLength = className.size();
    ASSERT_EQ(::RegQueryInfoKeyA(child.get(), className.data(), &classLength, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(className.data(), "0");
}

TEST_F(RegistryAdapterTest, OpenKeyExOpensButNeverCreates) {
    RegHandle handle = 0;
    EXPECT_EQ(registry_.RegOpenKeyExA(scratch_.get(), "absent", 0, kKeyRead, &handle),
              kErrorFileNotFound);
    EXPECT_FALSE(ExistsUnderScratch("absent"));

    ASSERT_EQ(registry_.RegCreateKeyA(scratch_.get(), "present", &handle), kErrorSuccess);
    registry_.RegCloseKey(handle);
    ASSERT_EQ(registry_.RegOpenKeyExA(scratch_.get(), "present", 0, kKeyRead, &handle),
              kErrorSuccess);
    EXPECT_EQ(registry_.RegCloseKey(handle), kErrorSuccess);
    // The status of a failed close comes back as advapi32 gave it.
    EXPECT_EQ(registry_.RegCloseKey(handle), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryAdapterTest, EnumKeyListsJapaneseNamesAndEndsWith259) {
    for (const auto& sample : kJapaneseSamples) {
        RegHandle handle = 0;
        ASSERT_EQ(registry_.RegCreateKeyA(scratch_.get(), codePage_.ToNarrow(sample.text).c_str(),
                                          &handle),
                  kErrorSuccess);
        registry_.RegCloseKey(handle);
        // The registry itself holds the name that the code page gives.
        UniqueHkey wide;
        EXPECT_EQ(::RegOpenKeyExW(Raw(), sample.text.c_str(), 0, KEY_READ, wide.put()),
                  ERROR_SUCCESS);
    }
    RegStatus endStatus = kErrorSuccess;
    const std::vector<std::string> names = EnumerateScratch(&endStatus);
    EXPECT_EQ(endStatus, kErrorNoMoreItems);
    std::vector<std::string> expected;
    for (const auto& sample : kJapaneseSamples) expected.push_back(sample.bytes);
    std::sort(expected.begin(), expected.end());
    // A trail byte 0x5C taken for a separator would have made nested keys.
    EXPECT_EQ(names, expected);
}

TEST_F(RegistryAdapterTest, QueryValueExFitsOnlyWhatTheSizeAllows) {
    struct Case {
        std::wstring data;
        RegStatus status;
        std::uint32_t sizeAfter;
    };
    const std::vector<Case> cases = {
        {std::wstring(255, L'a'), kErrorSuccess, 256},
        {std::wstring(256, L'a'), kErrorMoreData, 257},
        {std::wstring(127, L'表'), kErrorSuccess, 255},
        {std::wstring(128, L'表'), kErrorMoreData, 257},
        {L"", kErrorSuccess, 1},
        {L"追加と削除 ", kErrorSuccess, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.size());
        SetWideValue(L"表示名", c.data);
        std::array<std::uint8_t, 257> buffer{};
        std::uint32_t type = kRegSz;
        std::uint32_t size = 256;
        EXPECT_EQ(registry_.RegQueryValueExA(scratch_.get(), codePage_.ToNarrow(L"表示名").c_str(),
                                             nullptr, &type, buffer.data(), &size),
                  c.status);
        EXPECT_EQ(size, c.sizeAfter);
        // Windows leaves the buffer undefined after ERROR_MORE_DATA and Wine
        // leaves it untouched; neither may write past the size given.
        EXPECT_EQ(buffer[256], 0) << "the query wrote past the size it was given";
        if (c.status == kErrorSuccess) {
            EXPECT_EQ(type, kRegSz);
            EXPECT_EQ(codePage_.ToWide(reinterpret_cast<const char*>(buffer.data())), c.data);
        }
    }
    std::uint32_t size = 256;
    std::array<std::uint8_t, 257> buffer{};
    EXPECT_EQ(registry_.RegQueryValueExA(scratch_.get(), "Missing", nullptr, nullptr, buffer.data(),
                                         &size),
              kErrorFileNotFound);
}

TEST_F(RegistryAdapterTest, DeleteKeyRemovesOnlyLeaves) {
    const std::string leaf = codePage_.ToNarrow(L"parent\\ソ");
    RegHandle handle = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(scratch_.get(), leaf.c_str(), &handle), kErrorSuccess);
    registry_.RegCloseKey(handle);

    EXPECT_NE(registry_.RegDeleteKeyA(scratch_.get(), "parent"), kErrorSuccess);
    EXPECT_TRUE(ExistsUnderScratch(leaf));
    EXPECT_EQ(registry_.RegDeleteKeyA(scratch_.get(), leaf.c_str()), kErrorSuccess);
    EXPECT_FALSE(ExistsUnderScratch(leaf));
    EXPECT_EQ(registry_.RegDeleteKeyA(scratch_.get(), "parent"), kErrorSuccess);
    EXPECT_EQ(registry_.RegDeleteKeyA(scratch_.get(), "parent"), kErrorFileNotFound);
}

// Wine compares only the low 32 bits of a predefined root, so it would also
// take the zero-extended values; this proves that the roots are not mixed up.
TEST(RegistryAdapterRootTest, PredefinedRootsAreTheRealOnes) {
    Win32Registry registry;
    const std::string path = RandomKeyPath();
    const std::array<std::pair<RegHandle, HKEY>, 2> roots = {{
        {kHKeyCurrentUser, HKEY_CURRENT_USER},
        {kHKeyLocalMachine, HKEY_LOCAL_MACHINE},
    }};
    for (const auto& [root, real] : roots) {
        RegHandle handle = 0;
        ASSERT_EQ(registry.RegCreateKeyA(root, path.c_str(), &handle), kErrorSuccess);
        registry.RegCloseKey(handle);
        UniqueHkey opened;
        EXPECT_EQ(::RegOpenKeyExA(real, path.c_str(), 0, KEY_READ, opened.put()), ERROR_SUCCESS);
        opened.reset();
        EXPECT_EQ(registry.RegDeleteKeyA(root, path.c_str()), kErrorSuccess);
        EXPECT_EQ(::RegOpenKeyExA(real, path.c_str(), 0, KEY_READ, opened.put()),
                  ERROR_FILE_NOT_FOUND);
        ::RegDeleteKeyA(real, kTestRootPath);
    }
}

// What the list scan relies on in a profile without an Uninstall key.
TEST(RegistryAdapterRootTest, CreateKeyExMakesAnAbsentUninstallKey) {
    Win32Registry registry;
    RegHandle handle = 0;
    if (registry.RegOpenKeyExA(kHKeyCurrentUser, kUninstallPath, 0, kKeyRead, &handle) ==
        kErrorSuccess) {
        registry.RegCloseKey(handle);
        ASSERT_EQ(registry.RegDeleteKeyA(kHKeyCurrentUser, kUninstallPath), kErrorSuccess)
            << "the throwaway prefix's HKCU Uninstall key should be empty";
    }
    ASSERT_EQ(registry.RegOpenKeyExA(kHKeyCurrentUser, kUninstallPath, 0, kKeyRead, &handle),
              kErrorFileNotFound);

    const std::array<std::pair<std::uint32_t, std::uint32_t>, 2> opens = {{
        {kKeyFullAccess, kRegCreatedNewKey},
        {kKeyRead, kRegOpenedExistingKey},
    }};
    for (const auto& [access, disposition] : opens) {
        std::uint32_t reported = 0;
        ASSERT_EQ(registry.RegCreateKeyExA(kHKeyCurrentUser, kUninstallPath, 0, "0", 0, access,
                                           &kZeroAttributes, &handle, &reported),
                  kErrorSuccess);
        RegistryKey uninstall(registry, handle);
        EXPECT_EQ(reported, disposition);
        std::array<char, 256> name{};
        EXPECT_EQ(registry.RegEnumKeyA(uninstall.get(), 0, name.data(), 256), kErrorNoMoreItems);
    }
}

}  // namespace
}  // namespace velmora::platform::win32

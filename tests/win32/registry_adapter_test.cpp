// The code page and the advapi32 registry adapter against Wine's real
// registry.  Each test works under its own scratch key below
// HKCU\Software\VelmoraTest and removes it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "platform/registry_key.h"
#include "platform/win32/common/unique_hkey.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_registry.h"

namespace velmora::platform::win32 {
namespace {

constexpr char kTestRootPath[] = "Software\\VelmoraTest";
const SecurityAttributes kZeroAttributes{};

std::string RandomKeyPath() {
    return std::string(kTestRootPath) + "\\" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(std::random_device()());
}

bool Exists(HKEY root, const std::string& path) {
    UniqueHkey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

TEST(Win32CodePageTest, IsShiftJisAndConvertsWholeTexts) {
    ASSERT_EQ(::GetACP(), 932u)
        << "Wine takes its ANSI code page from the locale: run under LC_ALL=ja_JP.UTF-8";
    const Win32CodePage codePage;
    // The first three characters have 0x5C, the byte of '\', as trail byte.
    const std::pair<std::wstring, std::string> cases[] = {
        {L"ソ表能", "\x83\x5C\x95\x5C\x94\x5C"},
        {L"追加と削除ｶﾅ", "\x92\xC7\x89\xC1\x82\xC6\x8D\xED\x8F\x9C\xB6\xC5"},
        {std::wstring(L"a\0ソ\0", 4), std::string("a\0\x83\x5C\0", 5)},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(codePage.ToWide(bytes), text) << bytes;
        EXPECT_EQ(codePage.ToNarrow(text), bytes) << bytes;
    }
    // A lead byte with a byte that cannot trail it is replaced and the rest is
    // still converted (Wine also swallows the space; only the ends are fixed).
    const std::wstring repaired = codePage.ToWide("ab\x81\x20xyz");
    ASSERT_GE(repaired.size(), 5u);
    EXPECT_EQ(repaired.substr(0, 2) + repaired.substr(repaired.size() - 3), L"abxyz");
    EXPECT_EQ(codePage.ToNarrow(L"a\u0100b"), "a?b");
}

class RegistryAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegHandle handle = 0;
        ASSERT_EQ(registry_.RegCreateKeyExA(kHKeyCurrentUser, path_.c_str(), 0, "0", 0,
                                            kKeyFullAccess, &kZeroAttributes, &handle, nullptr),
                  kErrorSuccess);
        scratch_ = RegistryKey(registry_, handle);
    }
    void TearDown() override {
        scratch_.reset();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestRootPath);  // fails while others use it
    }
    bool ExistsBelow(const std::string& name) const {
        return Exists(HKEY_CURRENT_USER, path_ + "\\" + name);
    }

    Win32Registry registry_;
    std::string path_ = RandomKeyPath();
    RegistryKey scratch_;
};

TEST_F(RegistryAdapterTest, CreateKeyExHandsBackHandleDispositionAndClass) {
    for (const std::uint32_t expected : {kRegCreatedNewKey, kRegOpenedExistingKey}) {
        RegHandle handle = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(registry_.RegCreateKeyExA(scratch_.get(), "child", 0, "0", 0, kKeyFullAccess,
                                            &kZeroAttributes, &handle, &disposition),
                  kErrorSuccess);
        RegistryKey child(registry_, handle);
        EXPECT_EQ(disposition, expected);
        std::array<char, 16> className{};
        DWORD length = className.size();
        ASSERT_EQ(::RegQueryInfoKeyA(reinterpret_cast<HKEY>(handle), className.data(), &length,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr),
                  ERROR_SUCCESS)
            << "the handle handed back is not the key's";
        EXPECT_STREQ(className.data(), "0");
    }
}

// Each call's status is advapi32's own, failures and out-arguments included.
TEST_F(RegistryAdapterTest, HandsBackAdvapi32sStatusesAndValues) {
    ASSERT_EQ(::RegSetValueExA(reinterpret_cast<HKEY>(scratch_.get()), "v", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>("abc"), 4),
              ERROR_SUCCESS);
    RegHandle closed = 0, handle = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(scratch_.get(), "leaf", &closed), kErrorSuccess);
    ASSERT_EQ(registry_.RegCloseKey(closed), kErrorSuccess);
    std::array<std::uint8_t, 8> data{};
    std::uint32_t type = 0, size = 8, shortSize = 2;
    std::array<char, 256> name{};
    // Evaluated in order; nothing opens a key before the closed handle is used.
    const std::pair<RegStatus, RegStatus> calls[] = {
        {registry_.RegCloseKey(closed), ERROR_INVALID_HANDLE},
        {registry_.RegCreateKeyA(closed, "x", &handle), ERROR_INVALID_HANDLE},
        {registry_.RegCreateKeyExA(closed, "x", 0, "0", 0, kKeyFullAccess, &kZeroAttributes,
                                   &handle, nullptr),
         ERROR_INVALID_HANDLE},
        {registry_.RegOpenKeyExA(scratch_.get(), "absent", 0, kKeyRead, &handle),
         kErrorFileNotFound},
        {registry_.RegEnumKeyA(scratch_.get(), 1, name.data(), 256), kErrorNoMoreItems},
        {registry_.RegQueryValueExA(scratch_.get(), "v", nullptr, &type, data.data(), &size),
         kErrorSuccess},
        {registry_.RegQueryValueExA(scratch_.get(), "v", nullptr, nullptr, data.data(), &shortSize),
         kErrorMoreData},
        {registry_.RegQueryValueExA(scratch_.get(), "absent", nullptr, nullptr, data.data(), &size),
         kErrorFileNotFound},
        {registry_.RegDeleteKeyA(scratch_.get(), "absent"), kErrorFileNotFound},
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EXPECT_EQ(calls[i].first, calls[i].second) << "call " << i;
    }
    EXPECT_FALSE(ExistsBelow("absent"));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data())), "abc");
    EXPECT_EQ(shortSize, 4u);
}

TEST_F(RegistryAdapterTest, DeleteKeyRefusesAKeyWithSubkeys) {
    RegHandle handle = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(scratch_.get(), "parent\\child", &handle), kErrorSuccess);
    registry_.RegCloseKey(handle);
    EXPECT_NE(registry_.RegDeleteKeyA(scratch_.get(), "parent"), kErrorSuccess);
    EXPECT_TRUE(ExistsBelow("parent\\child"));
    EXPECT_EQ(registry_.RegDeleteKeyA(scratch_.get(), "parent\\child"), kErrorSuccess);
    EXPECT_EQ(registry_.RegDeleteKeyA(scratch_.get(), "parent"), kErrorSuccess);
    EXPECT_FALSE(ExistsBelow("parent"));
}

// Wine compares only the low 32 bits of a predefined root, so it would also
// take the zero-extended values; this proves that the roots are not mixed up.
TEST(RegistryAdapterRootTest, PredefinedRootsAreTheRealOnes) {
    Win32Registry registry;
    const std::string path = RandomKeyPath();
    for (const auto& [root, real, other] :
         {std::tuple{kHKeyCurrentUser, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE},
          std::tuple{kHKeyLocalMachine, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}}) {
        RegHandle handle = 0;
        ASSERT_EQ(registry.RegCreateKeyA(root, path.c_str(), &handle), kErrorSuccess);
        registry.RegCloseKey(handle);
        EXPECT_TRUE(Exists(real, path));
        EXPECT_FALSE(Exists(other, path));
        EXPECT_EQ(registry.RegDeleteKeyA(root, path.c_str()), kErrorSuccess);
        EXPECT_FALSE(Exists(real, path));
        ::RegDeleteKeyA(real, kTestRootPath);
    }
}

}  // namespace
}  // namespace velmora::platform::win32

// The code page and the advapi32 registry adapter against Wine's real
// registry: the shared registry contract, and what only the adapter does (the
// predefined roots, the handle and words it carries back).  Each test works
// under its own scratch keys below Software\VelmoraTest and removes them
// afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/registry_key.h"
#include "platform/win32/common/unique_handle.h"
#include "platform/win32/common/unique_hkey.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_registry.h"
#include "platform/win32/system/win32_wide_registry.h"
#include "support/registry_contract.h"

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

// scripts/test names the code page its Wine locale gives; a Windows runner
// names none and has its own.
TEST(Win32CodePageTest, IsTheOneTheRunAsksFor) {
    const char* const asked = std::getenv("VELMORA_CODE_PAGE");
    if (asked == nullptr) GTEST_SKIP() << "no code page asked for; this system's is " << ::GetACP();
    EXPECT_EQ(std::to_string(::GetACP()), asked)
        << "Wine takes its ANSI code page from the locale (LC_ALL)";
}

TEST(Win32CodePageTest, IsShiftJisAndConvertsWholeTexts) {
    if (::GetACP() != 932) GTEST_SKIP() << "Shift_JIS is the system code page only under 932";
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

    Win32Registry registry_;
    std::string path_ = RandomKeyPath();
    RegistryKey scratch_;
};

// The out-arguments come back through the adapter's own words: the handle is
// advapi32's HKEY itself, usable by a direct call.
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
        EXPECT_EQ(registry.RegDeleteKeyExA(root, path.c_str(), 0, 0), kErrorSuccess);
        EXPECT_FALSE(Exists(real, path));
        ::RegDeleteKeyA(real, kTestRootPath);
    }
}

}  // namespace
}  // namespace velmora::platform::win32

namespace velmora::platform::contract {
namespace {

using win32::UniqueHandle;
using win32::UniqueHkey;

HKEY RootOf(std::uint32_t root) {
    return root == kHKeyLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Wine's registry through the adapter.  Keys are seeded and looked at with
// advapi32 directly, always in the 64-bit view, where a path is physical.
class Advapi32Environment {
  public:
    void SetUp() {}
    void TearDown() {
        // Both views: a key made in the 32-bit view lies below WOW6432Node.
        // Deleting what is not there fails harmlessly, as does the shared
        // parent while other test programs still use it.
        for (const auto& [root, path] : scratch_) {
            for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
                UniqueHkey key;
                if (::RegOpenKeyExA(RootOf(root), path.c_str(), 0, KEY_ALL_ACCESS | view,
                                    key.put()) == ERROR_SUCCESS) {
                    ::RegDeleteTreeA(key.get(), nullptr);
                    key.reset();
                    ::RegDeleteKeyExA(RootOf(root), path.c_str(), view, 0);
                }
                ::RegDeleteKeyExA(RootOf(root), win32::kTestRootPath, view, 0);
            }
        }
    }

    Registry& registry() { return registry_; }
    WideRegistry& wideRegistry() { return wideRegistry_; }
    unsigned CodePage() { return ::GetACP(); }
    std::string ScratchPath(std::uint32_t root) {
        scratch_.emplace_back(root, win32::RandomKeyPath());
        return scratch_.back().second;
    }
    void AddKey(std::uint32_t root, const std::string& path) {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExA(RootOf(root), path.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS)
            << path;
    }
    void AddKey(std::uint32_t root, const std::string& path, const std::wstring& name) {
        UniqueHkey parent;
        ASSERT_EQ(
            ::RegCreateKeyExA(RootOf(root), path.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, parent.put(), nullptr),
            ERROR_SUCCESS)
            << path;
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExW(parent.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExA(RootOf(root), path.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS)
            << path;
        ASSERT_EQ(::RegSetValueExA(key.get(), name.c_str(), 0, type, bytes.data(),
                                   static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS)
            << name;
    }
    bool Exists(std::uint32_t root, const std::string& path) {
        UniqueHkey key;
        return ::RegOpenKeyExA(RootOf(root), path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                               key.put()) == ERROR_SUCCESS;
    }
    std::optional<std::string> ClassName(std::uint32_t root, const std::string& path) {
        UniqueHkey key;
        if (::RegOpenKeyExA(RootOf(root), path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::array<char, 64> name{};
        DWORD length = name.size();
        if (::RegQueryInfoKeyA(key.get(), name.data(), &length, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(name.data(), length);
    }

    EventHandle NewEvent() {
        events_.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        EXPECT_TRUE(events_.back()) << "CreateEventW";
        return reinterpret_cast<EventHandle>(events_.back().get());
    }
    bool WaitSet(EventHandle event, unsigned milliseconds) {
        return ::WaitForSingleObject(reinterpret_cast<HANDLE>(event), milliseconds) ==
               WAIT_OBJECT_0;
    }

  private:
    win32::Win32Registry registry_;
    win32::Win32WideRegistry wideRegistry_;
    std::vector<std::pair<std::uint32_t, std::string>> scratch_;
    std::vector<UniqueHandle> events_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Advapi32, RegistryContract, Advapi32Environment);

}  // namespace
}  // namespace velmora::platform::contract

#include "support/memory/memory_registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/memory/key_name.h"
#include "support/memory/memory_wide_registry.h"
#include "support/registry_contract.h"

namespace velmora::platform::memory {
namespace {

constexpr auto kHklm = kHKeyLocalMachine;
constexpr auto kHkcu = kHKeyCurrentUser;
constexpr const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
using contract::kHyo;
using contract::kNo;
using contract::kSo;

class MemoryRegistryTest : public testing::Test {
  protected:
    RegStatus Open(std::uint32_t root, const std::string& path, std::uint32_t sam, RegHandle* key) {
        return registry_.RegOpenKeyExA(root, path.c_str(), 0, sam, key);
    }
    RegStatus Create(RegHandle parent, const std::string& path, std::uint32_t sam, RegHandle* key,
                     std::uint32_t* disposition = nullptr) {
        const SecurityAttributes none;
        return registry_.RegCreateKeyExA(parent, path.c_str(), 0, "0", 0, sam, &none, key,
                                         disposition);
    }
    // All names RegEnumKeyA gives from index 0 up to its 259.
    std::vector<std::string> EnumerateAll(RegHandle key) {
        std::vector<std::string> names;
        char buffer[256];
        for (std::uint32_t i = 0; registry_.RegEnumKeyA(key, i, buffer, 256) == 0; ++i) {
            names.emplace_back(buffer);
        }
        return names;
    }
    void TearDown() override { EXPECT_EQ(registry_.OpenHandleCount(), 0u); }

    MemoryRegistry registry_;
};

TEST(KeyName, SplitsOnlyAtSeparatorsThatAreNotTrailBytes) {
    const std::string path = "A\\" + kSo + "\\" + kHyo + kNo + "\\";
    EXPECT_EQ(SplitKeyPath(path), (std::vector<std::string_view>{"A", kSo, kHyo + kNo}));
    EXPECT_EQ(SplitKeyPath(""), std::vector<std::string_view>{});
    EXPECT_FALSE(SplitKeyPath("\\A"));
    EXPECT_FALSE(SplitKeyPath("A\\\\B"));
    EXPECT_TRUE(SameKeyName("aZ_\x83\x61\x83\x41", "Az_\x83\x61\x83\x41"));
    EXPECT_FALSE(SameKeyName("\x83\x61", "\x83\x41"));  // trail bytes are not letters
}

// Seeding and inspection keep Shift_JIS names whole; a handle the registry
// never gave out and a root are refused as on Windows.
TEST_F(MemoryRegistryTest, SeedingInspectionAndHandlesBeyondTheContract) {
    registry_.AddKey(kHklm, std::string(kUninstall) + "\\" + kSo + kHyo + kNo + "\\Sub");
    EXPECT_EQ(registry_.SubkeyNames(kHklm, kUninstall), std::vector<std::string>{kSo + kHyo + kNo});
    EXPECT_EQ(registry_.RegCloseKey(0x12345), kErrorInvalidHandle);
    EXPECT_EQ(registry_.RegDeleteKeyExA(kHklm, "", 0, 0), kErrorAccessDenied);
    EXPECT_TRUE(registry_.KeyExists(kHklm, kUninstall));
}

// Where Wine departs from Windows, the in-memory registry follows Windows: NT
// sorts subkeys by their upper-cased names, so "_x" comes after "C" (Wine
// lower-cases and puts it first).  It also keeps a promise Windows does not
// make: a buffer too small for the value is left as it was.
TEST_F(MemoryRegistryTest, FollowsWindowsWhereWineDiffers) {
    for (const char* name : {"b", "_x", "C", "A"})
        registry_.AddKey(kHklm, std::string("K\\") + name);
    registry_.SetString(kHklm, "K", "DisplayName", "abc");
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyRead, &key), 0);
    EXPECT_EQ(EnumerateAll(key), (std::vector<std::string>{"A", "b", "C", "_x"}));
    EXPECT_EQ(registry_.CallCount("RegEnumKeyA"), 5u);

    std::uint8_t data[8] = {};
    std::uint32_t size = 3;
    EXPECT_EQ(registry_.RegQueryValueExA(key, "DisplayName", nullptr, nullptr, data, &size),
              kErrorMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

// Windows asks for KEY_CREATE_SUB_KEY on the parent's handle to create a key
// below it; Wine does not check, so this stays out of the shared contract.
TEST_F(MemoryRegistryTest, CreatingASubkeyNeedsTheCreateRightOnTheParent) {
    registry_.AddKey(kHklm, "K\\Existing");
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyRead, &key), 0);
    RegHandle sub = 0;
    EXPECT_EQ(registry_.RegCreateKeyA(key, "New", &sub), kErrorAccessDenied);
    EXPECT_FALSE(registry_.KeyExists(kHklm, "K\\New"));
    ASSERT_EQ(registry_.RegCreateKeyA(key, "Existing", &sub), 0);
    EXPECT_EQ(registry_.RegCloseKey(sub), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

TEST_F(MemoryRegistryTest, DeniedWritesLeaveReadingWorking) {
    registry_.SetString(kHklm, std::string(kUninstall) + "\\App", "DisplayName", "App");
    registry_.DenyAccess(kHklm, kUninstall, Denial::kWrite);
    registry_.DenyAccess(kHkcu, kUninstall, Denial::kWrite);
    const RegistrySnapshot before = registry_.Snapshot();

    RegHandle key = 0;
    EXPECT_EQ(Create(kHklm, kUninstall, kKeyFullAccess, &key), kErrorAccessDenied);
    EXPECT_EQ(Create(kHkcu, kUninstall, kKeyFullAccess, &key), kErrorAccessDenied);
    ASSERT_EQ(Create(kHklm, kUninstall, kKeyRead, &key), 0);
    RegHandle app = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(key, "App", &app), 0);
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.RegQueryValueExA(app, "DisplayName", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(registry_.RegDeleteKeyExA(key, "App", 0, 0), kErrorAccessDenied);
    EXPECT_EQ(registry_.Snapshot(), before);
    EXPECT_EQ(registry_.RegCloseKey(app), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);

    registry_.DenyAccess(kHklm, kUninstall, Denial::kAll);
    EXPECT_EQ(Create(kHklm, kUninstall, kKeyRead, &key), kErrorAccessDenied);
}

TEST_F(MemoryRegistryTest, EnumerationFaultsHitOneIndexOrRemoveTheSubkey) {
    for (const char* name : {"A", "B", "C"})
        registry_.SetString(kHklm, std::string("K\\") + name, "V", "v");
    registry_.FailEnumeration(kHklm, "k", 1, 1234);
    registry_.RemoveAfterEnumeration(kHklm, "K", "c");
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyRead, &key), 0);
    char name[8];
    EXPECT_EQ(registry_.RegEnumKeyA(key, 1, name, 8), 1234);
    EXPECT_EQ(registry_.RegEnumKeyA(key, 1, name, 8), 1234);
    EXPECT_EQ(registry_.RegEnumKeyA(key, 2, name, 8), 0);
    EXPECT_STREQ(name, "C");
    RegHandle gone = 0;
    EXPECT_EQ(Open(kHklm, "K\\C", kKeyRead, &gone), kErrorFileNotFound);
    EXPECT_EQ(registry_.RegEnumKeyA(key, 2, name, 8), kErrorNoMoreItems);

    registry_.ClearFaults();
    EXPECT_EQ(registry_.RegEnumKeyA(key, 1, name, 8), 0);
    EXPECT_STREQ(name, "B");
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

// The scan fuzzer takes a snapshot only when the revision has moved: every
// way a key or a value changes moves it.
TEST_F(MemoryRegistryTest, EveryChangeMovesTheRevision) {
    registry_.RemoveAfterEnumeration(kHklm, "K", "A");
    RegHandle key = 0;
    char name[8];
    const std::function<void()> changes[] = {
        [&] { registry_.AddKey(kHklm, "K\\A"); },
        [&] { registry_.AddKey(kHklm, std::wstring(L"K\\B")); },
        [&] { registry_.SetDword(kHklm, "K\\A", "D", 1); },
        [&] { registry_.SetValue(kHklm, std::wstring(L"K\\A"), "W", kRegBinary, {1}); },
        [&] { registry_.RemoveKey(kHklm, "K\\B"); },
        [&] { EXPECT_EQ(Create(kHklm, "K\\C", kKeyFullAccess, &key), 0); },
        [&] { EXPECT_EQ(registry_.RegDeleteKeyExA(key, "", 0, 0), 0); },
        [&] {
            EXPECT_EQ(registry_.RegCloseKey(key), 0);
            ASSERT_EQ(Open(kHklm, "K", kKeyRead, &key), 0);
            EXPECT_EQ(registry_.RegEnumKeyA(key, 0, name, 8), 0);  // A, which the hook removes
        },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        const std::size_t before = registry_.Revision();
        changes[i]();
        EXPECT_NE(registry_.Revision(), before) << "change " << i;
    }
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

// Separate views are the contract's 64-bit Windows.  Off, as on a system with
// one view, both flags reach the same tree.
TEST_F(MemoryRegistryTest, Wow64FlagsReachOneTreeWhenViewsAreNotSeparate) {
    registry_.AddKey(kHklm, "Software\\WOW6432Node\\Vendor\\App32");
    registry_.AddKey(kHklm, "Software\\Vendor\\App64");
    for (const std::uint32_t flag : {kKeyWow64_32Key, kKeyWow64_64Key}) {
        RegHandle vendor = 0;
        ASSERT_EQ(Open(kHklm, "Software\\Vendor", kKeyRead | flag, &vendor), 0);
        EXPECT_EQ(EnumerateAll(vendor), std::vector<std::string>{"App64"}) << flag;
        EXPECT_EQ(registry_.RegCloseKey(vendor), 0);
    }
    RegHandle created = 0;
    ASSERT_EQ(Create(kHklm, "Software\\New", kKeyFullAccess | kKeyWow64_32Key, &created), 0);
    EXPECT_TRUE(registry_.KeyExists(kHklm, "Software\\New"));
    EXPECT_EQ(registry_.RegCloseKey(created), 0);
}

}  // namespace
}  // namespace velmora::platform::memory

namespace velmora::platform::contract {
namespace {

// The in-memory registry as a 64-bit Windows: separate views of
// HKEY_LOCAL_MACHINE\Software.  Every test must close what it opens.
class MemoryEnvironment {
  public:
    void SetUp() { registry_.SetSeparateViews(true); }
    void TearDown() { EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "handles left open"; }

    Registry& registry() { return registry_; }
    WideRegistry& wideRegistry() { return wideRegistry_; }
    unsigned CodePage() { return 932; }
    std::string ScratchPath(std::uint32_t) { return "Software\\VelmoraTest\\Scratch"; }
    void AddKey(std::uint32_t root, const std::string& path) { registry_.AddKey(root, path); }
    void AddKey(std::uint32_t root, const std::string& path, const std::wstring& name) {
        registry_.AddKey(root, std::wstring(path.begin(), path.end()) + L"\\" + name);
    }
    void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
        registry_.SetValue(root, path, name, type, bytes);
    }
    bool Exists(std::uint32_t root, const std::string& path) {
        return registry_.KeyExists(root, path);
    }
    std::optional<std::string> ClassName(std::uint32_t root, const std::string& path) {
        return registry_.ClassName(root, path);
    }
    EventHandle NewEvent() { return ++events_; }
    bool WaitSet(EventHandle event, unsigned) { return registry_.EventIsSet(event); }

  private:
    memory::MemoryRegistry registry_;
    EventHandle events_ = 0;
    memory::IconvCodePage codePage_{932};
    memory::MemoryWideRegistry wideRegistry_{registry_, codePage_};
};

INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, RegistryContract, MemoryEnvironment);

}  // namespace
}  // namespace velmora::platform::contract

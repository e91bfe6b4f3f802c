#include "support/memory/memory_registry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/memory/key_name.h"

namespace velmora::platform::memory {
namespace {

constexpr auto kHklm = kHKeyLocalMachine;
constexpr auto kHkcu = kHKeyCurrentUser;
constexpr const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// ソフト表示能: three names whose trail bytes are 0x5C.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";
const std::string kNo = "\x94\x5C";

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
    EXPECT_EQ(SplitKeyPath("A\\" + kSo + "\\" + kHyo + kNo + "\\"),
              (std::vector<std::string>{"A", kSo, kHyo + kNo}));
    EXPECT_EQ(SplitKeyPath(""), std::vector<std::string>{});
    EXPECT_FALSE(SplitKeyPath("\\A"));
    EXPECT_FALSE(SplitKeyPath("A\\\\B"));
    EXPECT_EQ(FoldKeyName("aZ_\x83\x61\x83\x41"), "AZ_\x83\x61\x83\x41");
}

struct NameMatch {
    std::string stored;
    std::string asked;
    bool found;
};

// Parameters print as hex, so that test names stay short and readable.
std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

void PrintTo(const NameMatch& m, std::ostream* os) {
    *os << Hex(m.stored) << (m.found ? "==" : "!=") << Hex(m.asked);
}

class NameComparison : public MemoryRegistryTest, public testing::WithParamInterface<NameMatch> {};

TEST_P(NameComparison, FoldsAsciiLettersOnly) {
    registry_.AddKey(kHklm, GetParam().stored);
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, GetParam().asked, kKeyRead, &key) == 0, GetParam().found);
    if (GetParam().found) {
        EXPECT_EQ(registry_.RegCloseKey(key), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameComparison,
    testing::Values(NameMatch{"Software\\Foo", "SOFTWARE\\fOO", true},
                    NameMatch{kSo + "\\" + kHyo, kSo + "\\" + kHyo, true},
                    NameMatch{kSo, kSo + "\\", true}, NameMatch{"x" + kNo, "X" + kNo, true},
                    NameMatch{"\x83\x41", "\x83\x61", false},  // trail bytes are not letters
                    NameMatch{"\xC1", "\xE1", false},          // nor are bytes of 0x80 and up
                    NameMatch{kSo, "\x83", false}));

TEST_F(MemoryRegistryTest, ShiftJisNamesStayWholeThroughSeedingAndEnumeration) {
    registry_.AddKey(kHklm, std::string(kUninstall) + "\\" + kSo + kHyo + kNo + "\\Sub");
    EXPECT_EQ(registry_.SubkeyNames(kHklm, kUninstall), std::vector<std::string>{kSo + kHyo + kNo});
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, kUninstall, kKeyRead, &key), 0);
    EXPECT_EQ(EnumerateAll(key), std::vector<std::string>{kSo + kHyo + kNo});
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

TEST_F(MemoryRegistryTest, CreateMakesMissingKeysAndReportsDisposition) {
    RegHandle key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(Create(kHkcu, kUninstall, kKeyFullAccess, &key, &disposition), 0);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_EQ(registry_.ClassName(kHkcu, kUninstall), "0");
    EXPECT_NE(key, 0u);
    EXPECT_NE(key, kHKeyCurrentUser);

    RegHandle again = 0;
    ASSERT_EQ(Create(kHkcu, "software\\MICROSOFT\\Windows\\CurrentVersion\\uninstall", kKeyRead,
                     &again, &disposition),
              0);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_NE(again, key);
    EXPECT_EQ(registry_.RegCloseKey(again), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(registry_.RegCloseKey(0x12345), kErrorInvalidHandle);
}

TEST_F(MemoryRegistryTest, OpenNeverCreatesAndEmptyNameOpensTheKeyItself) {
    registry_.AddKey(kHklm, "Software");
    const RegistrySnapshot before = registry_.Snapshot();
    RegHandle key = 0;
    EXPECT_EQ(Open(kHklm, "Software\\Missing", kKeyRead, &key), kErrorFileNotFound);
    EXPECT_EQ(registry_.Snapshot(), before);

    ASSERT_EQ(Open(kHklm, "Software", kKeyRead, &key), 0);
    RegHandle self = 0;
    ASSERT_EQ(registry_.RegOpenKeyExA(key, nullptr, 0, kKeyRead, &self), 0);
    EXPECT_NE(self, key);
    EXPECT_EQ(registry_.OpenHandleCount(), 2u);
    EXPECT_EQ(registry_.RegCloseKey(self), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

TEST_F(MemoryRegistryTest, EnumeratesInCaseInsensitiveOrderWithEndAndSizeCodes) {
    for (const char* name : {"b", "_x", "C", "A"})
        registry_.AddKey(kHklm, std::string("K\\") + name);
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyRead, &key), 0);
    EXPECT_EQ(EnumerateAll(key), (std::vector<std::string>{"A", "b", "C", "_x"}));
    EXPECT_EQ(registry_.CallCount("RegEnumKeyA"), 5u);

    char buffer[4] = "zzz";
    EXPECT_EQ(registry_.RegEnumKeyA(key, 3, buffer, 2), kErrorMoreData);  // "_x" + NUL needs 3
    EXPECT_EQ(registry_.RegEnumKeyA(key, 3, buffer, 3), 0);
    EXPECT_EQ(std::string(buffer), "_x");
    EXPECT_EQ(registry_.RegEnumKeyA(key, 4, buffer, 4), kErrorNoMoreItems);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

struct QueryCase {
    bool withBuffer;
    std::uint32_t size;
    RegStatus status;
    std::uint32_t sizeAfter;
};

void PrintTo(const QueryCase& c, std::ostream* os) {
    *os << (c.withBuffer ? "buffer" : "null") << c.size;
}

class QuerySizes : public MemoryRegistryTest, public testing::WithParamInterface<QueryCase> {};

TEST_P(QuerySizes, FollowTheWindowsRules) {
    registry_.SetString(kHklm, "K", "DisplayName", "abc");  // 4 bytes with the NUL
    RegHandle key = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(kHklm, "K", &key), 0);
    std::uint8_t data[8] = {};
    std::uint32_t size = GetParam().size;
    std::uint32_t type = 99;
    EXPECT_EQ(registry_.RegQueryValueExA(key, "displayname", nullptr, &type,
                                         GetParam().withBuffer ? data : nullptr, &size),
              GetParam().status);
    EXPECT_EQ(size, GetParam().sizeAfter);
    EXPECT_EQ(type, kRegSz);
    if (GetParam().withBuffer && GetParam().status == 0) {
        EXPECT_STREQ(reinterpret_cast<char*>(data), "abc");
    }
    if (GetParam().status != 0) {
        EXPECT_EQ(data[0], 0);
    }
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, QuerySizes,
                         testing::Values(QueryCase{true, 3, kErrorMoreData, 4},
                                         QueryCase{true, 4, 0, 4}, QueryCase{true, 8, 0, 4},
                                         QueryCase{false, 0, 0, 4}));

TEST_F(MemoryRegistryTest, QueryOfMissingValueOrWithoutRightsFails) {
    registry_.SetValue(kHklm, "K", "Raw", kRegBinary, {1, 0, 2});
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyEnumerateSubKeys, &key), 0);
    std::uint32_t size = 8;
    std::uint8_t data[8];
    EXPECT_EQ(registry_.RegQueryValueExA(key, "Raw", nullptr, nullptr, data, &size),
              kErrorAccessDenied);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);

    ASSERT_EQ(Open(kHklm, "K", kKeyQueryValue, &key), 0);
    EXPECT_EQ(registry_.RegEnumKeyA(key, 0, reinterpret_cast<char*>(data), 8), kErrorAccessDenied);
    EXPECT_EQ(registry_.RegQueryValueExA(key, "Missing", nullptr, nullptr, data, &size),
              kErrorFileNotFound);
    std::uint32_t reserved = 0;
    EXPECT_EQ(registry_.RegQueryValueExA(key, "Raw", &reserved, nullptr, data, &size),
              kErrorInvalidParameter);
    EXPECT_EQ(registry_.RegQueryValueExA(key, "Raw", nullptr, nullptr, data, &size), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + size), (std::vector<std::uint8_t>{1, 0, 2}));
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
}

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

TEST_F(MemoryRegistryTest, DeleteFollowsNtRules) {
    registry_.AddKey(kHklm, "K\\Parent\\Child");
    registry_.AddKey(kHklm, "K\\Leaf");
    RegHandle key = 0;
    ASSERT_EQ(Open(kHklm, "K", kKeyFullAccess, &key), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(key, "Parent"), kErrorAccessDenied);
    EXPECT_TRUE(registry_.KeyExists(kHklm, "K\\Parent\\Child"));
    EXPECT_EQ(registry_.RegDeleteKeyA(key, "Missing"), kErrorFileNotFound);
    EXPECT_EQ(registry_.RegDeleteKeyA(key, nullptr), kErrorInvalidParameter);
    EXPECT_EQ(registry_.RegDeleteKeyA(key, "parent\\CHILD"), 0);
    EXPECT_EQ(registry_.SubkeyNames(kHklm, "K"), (std::vector<std::string>{"Leaf", "Parent"}));

    // An empty name deletes the opened key itself, once it has no subkeys.
    RegHandle leaf = 0;
    ASSERT_EQ(Open(kHklm, "K\\Leaf", kKeyFullAccess, &leaf), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(key, ""), kErrorAccessDenied);
    EXPECT_EQ(registry_.RegDeleteKeyA(leaf, ""), 0);
    EXPECT_FALSE(registry_.KeyExists(kHklm, "K\\Leaf"));
    EXPECT_EQ(EnumerateAll(leaf), std::vector<std::string>{});
    char name[8];
    EXPECT_EQ(registry_.RegEnumKeyA(leaf, 0, name, 8), kErrorKeyDeleted);
    EXPECT_EQ(registry_.RegCloseKey(leaf), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHklm, ""), kErrorAccessDenied);
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
    EXPECT_EQ(registry_.RegDeleteKeyA(key, "App"), kErrorAccessDenied);
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

TEST_F(MemoryRegistryTest, Wow64ViewsSelectTheTreeWhenSeparate) {
    registry_.AddKey(kHklm, "Software\\WOW6432Node\\Vendor\\App32");
    registry_.AddKey(kHklm, "Software\\Vendor\\App64");
    struct ViewCase {
        bool separate;
        std::uint32_t flag;
        std::vector<std::string> names;
    };
    const std::vector<std::string> app32{"App32"}, app64{"App64"};
    for (const ViewCase& c :
         {ViewCase{true, kKeyWow64_32Key, app32}, ViewCase{true, kKeyWow64_64Key, app64},
          ViewCase{true, 0, app64}, ViewCase{false, kKeyWow64_32Key, app64}}) {
        registry_.SetSeparateViews(c.separate);
        RegHandle software = 0;
        ASSERT_EQ(Open(kHklm, "Software", kKeyRead | c.flag, &software), 0);
        RegHandle vendor = 0;  // a relative open keeps the handle's view
        ASSERT_EQ(Open(software, "Vendor", kKeyRead, &vendor), 0);
        EXPECT_EQ(EnumerateAll(vendor), c.names) << c.separate << " " << c.flag;
        EXPECT_EQ(registry_.RegCloseKey(vendor), 0);
        EXPECT_EQ(registry_.RegCloseKey(software), 0);
    }
    registry_.SetSeparateViews(true);
    RegHandle created = 0;
    ASSERT_EQ(Create(kHklm, "Software\\New", kKeyFullAccess | kKeyWow64_32Key, &created), 0);
    EXPECT_TRUE(registry_.KeyExists(kHklm, "Software\\WOW6432Node\\New"));
    EXPECT_FALSE(registry_.KeyExists(kHklm, "Software\\New"));
    EXPECT_EQ(registry_.RegCloseKey(created), 0);
}

}  // namespace
}  // namespace velmora::platform::memory

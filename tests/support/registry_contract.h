// What the program relies on from the registry calls, written once as a typed
// test suite and run against each implementation of the Registry interface:
// natively against the in-memory registry, under Wine against advapi32.  The
// expectations are those of the real registry; where an implementation
// differs, the implementation is wrong.
//
// Each test works below a scratch key of HKEY_CURRENT_USER\Software (and the
// views test below one of HKEY_LOCAL_MACHINE\Software).  An environment type E
// for the suite is default-constructible and offers:
//
//   void SetUp(); void TearDown();      around each test; may use ASSERT_/EXPECT_
//   Registry& registry();               the implementation under test
//   std::string ScratchPath(std::uint32_t root);
//       a fresh path below root\Software that TearDown removes in both views
//   WideRegistry& wideRegistry();       the wide calls on the same handles
//   void AddKey(std::uint32_t root, const std::string& path);
//   void AddKey(std::uint32_t root, const std::string& path, const std::wstring& name);
//       the subkey name, given as wide text, below path
//   void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
//                 std::uint32_t type, const std::vector<std::uint8_t>& bytes);
//   bool Exists(std::uint32_t root, const std::string& path);
//   std::optional<std::string> ClassName(std::uint32_t root, const std::string& path);
//   unsigned CodePage();                the code page of the 8-bit calls
//   EventHandle NewEvent();             an event, not set, that TearDown disposes of
//   bool WaitSet(EventHandle event, unsigned milliseconds);
//       whether the event is set, waiting at most that long for it
//
// The paths of the last four bypass the interface and are physical: the
// 32-bit view's keys of HKEY_LOCAL_MACHINE\Software are found below
// Software\WOW6432Node, as on 64-bit Windows.
//
// Include this header in one source file of a test program and instantiate it
// there with INSTANTIATE_TYPED_TEST_SUITE_P(Name, RegistryContract, E) inside
// namespace velmora::platform::contract.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/wide_registry.h"

namespace velmora::platform::contract {

constexpr RegStatus kErrorInvalidHandle = 6;
constexpr RegStatus kErrorKeyDeleted = 1018;

// Three Shift_JIS characters whose trail byte is 0x5C, the byte of '\':
// ソ, 表 and 能.
inline const std::string kSo = "\x83\x5C";
inline const std::string kHyo = "\x95\x5C";
inline const std::string kNo = "\x94\x5C";

// Why a test of Shift_JIS names does not run under another code page.
inline constexpr char kShiftJisOnly[] = "Shift_JIS names need code page 932";

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

template <typename Environment>
class RegistryContract : public testing::Test {
  protected:
    static constexpr std::uint32_t kUser = kHKeyCurrentUser;

    void SetUp() override {
        env_.SetUp();
        ASSERT_FALSE(HasFatalFailure());
        scratch_ = env_.ScratchPath(kUser);
        env_.AddKey(kUser, scratch_);
    }
    void TearDown() override { env_.TearDown(); }

    Registry& Reg() { return env_.registry(); }
    // The path below HKEY_CURRENT_USER of a key below the scratch key.
    std::string Below(std::string_view name) const { return scratch_ + "\\" + std::string(name); }
    bool ExistsBelow(std::string_view name) { return env_.Exists(kUser, Below(name)); }

    RegStatus Open(RegHandle parent, const std::string& path, std::uint32_t sam, RegHandle* key) {
        return Reg().RegOpenKeyExA(parent, path.c_str(), 0, sam, key);
    }
    // RegCreateKeyExA as the program calls it: class "0", zero attributes.
    RegStatus Create(RegHandle parent, const std::string& path, std::uint32_t sam, RegHandle* key,
                     std::uint32_t* disposition = nullptr) {
        const SecurityAttributes none;
        return Reg().RegCreateKeyExA(parent, path.c_str(), 0, "0", 0, sam, &none, key, disposition);
    }
    RegStatus OpenScratch(std::uint32_t sam, RegHandle* key) {
        return Open(kUser, scratch_, sam, key);
    }
    // Every name RegEnumKeyA gives from index 0 on; the call after the last
    // must end the enumeration with 259.
    std::vector<std::string> EnumerateAll(RegHandle key) {
        std::vector<std::string> names;
        char buffer[256];
        std::uint32_t index = 0;
        RegStatus status;
        while ((status = Reg().RegEnumKeyA(key, index, buffer, sizeof buffer)) == kErrorSuccess) {
            names.emplace_back(buffer);
            ++index;
        }
        EXPECT_EQ(status, kErrorNoMoreItems) << "ending the enumeration at index " << index;
        return names;
    }

    Environment env_;
    std::string scratch_;
};

TYPED_TEST_SUITE_P(RegistryContract);

// Key names compare with ASCII letters folded and nothing else: a Shift_JIS
// character is one character whatever its bytes, so a trail byte 0x5C never
// separates and a trail byte in the letter range never folds.
TYPED_TEST_P(RegistryContract, NamesFoldAsciiLettersOnly) {
    if (this->env_.CodePage() != 932) GTEST_SKIP() << kShiftJisOnly;
    struct Case {
        std::string stored;
        std::string asked;
        bool found;
    };
    const Case cases[] = {
        {"Soft\\Foo", "SOFT\\fOO", true},
        {kSo + "\\" + kHyo, kSo + "\\" + kHyo, true},
        {kSo, kSo + "\\", true},  // one trailing separator is ignored
        {"x" + kNo, "X" + kNo, true},
        {"\x83\x41", "\x83\x61", false},  // ア and ヂ: trail bytes are not letters
        {"\xC1", "\xE1", false},          // nor are bytes from 0x80 up
        {kSo, "\x83", false},             // a lead byte alone is not the character
    };
    int number = 0;
    for (const Case& c : cases) {
        const std::string prefix = "case" + std::to_string(number++) + "\\";
        SCOPED_TRACE(prefix);
        this->env_.AddKey(this->kUser, this->Below(prefix + c.stored));
        RegHandle key = 0;
        const RegStatus status =
            this->Open(this->kUser, this->Below(prefix + c.asked), kKeyRead, &key);
        EXPECT_EQ(status, c.found ? kErrorSuccess : kErrorFileNotFound);
        if (status == kErrorSuccess) {
            EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
        }
    }
}

// Names with 0x5C trail bytes are created, enumerated and deleted whole.
TYPED_TEST_P(RegistryContract, ShiftJisNamesStayWhole) {
    if (this->env_.CodePage() != 932) GTEST_SKIP() << kShiftJisOnly;
    const std::string whole = kSo + kHyo + kNo;
    this->env_.AddKey(this->kUser, this->Below(whole + "\\Sub"));
    RegHandle scratch = 0;
    ASSERT_EQ(this->OpenScratch(kKeyFullAccess, &scratch), kErrorSuccess);
    EXPECT_EQ(this->EnumerateAll(scratch), std::vector<std::string>{whole});

    RegHandle created = 0;
    ASSERT_EQ(this->Reg().RegCreateKeyA(scratch, (kSo + "\\" + kHyo).c_str(), &created),
              kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(created), kErrorSuccess);
    EXPECT_TRUE(this->ExistsBelow(kSo + "\\" + kHyo));
    EXPECT_EQ(this->EnumerateAll(scratch), (std::vector<std::string>{kSo, whole}));

    EXPECT_EQ(this->Reg().RegDeleteKeyExA(scratch, (whole + "\\Sub").c_str(), 0, 0), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(scratch, whole.c_str(), 0, 0), kErrorSuccess);
    EXPECT_FALSE(this->ExistsBelow(whole));
    EXPECT_TRUE(this->ExistsBelow(kSo + "\\" + kHyo));
    EXPECT_EQ(this->Reg().RegCloseKey(scratch), kErrorSuccess);
}

// The 8-bit enumeration gives a name code page 932 cannot carry with best-fit
// look-alikes (U+00E9 as 'e', U+00A5 as '\\') and '?' for a character with
// none, where 1252 has the first two; the wide enumeration gives each name as
// stored, at the same index.
TYPED_TEST_P(RegistryContract, WideEnumerationGivesNamesAsStored) {
    const std::vector<std::wstring> stored = {L"Caf\u00E9", L"Yen\u00A5Key", L"\uD55C"};
    for (const std::wstring& name : stored) this->env_.AddKey(this->kUser, this->scratch_, name);
    RegHandle scratch = 0;
    ASSERT_EQ(this->OpenScratch(kKeyRead, &scratch), kErrorSuccess);
    EXPECT_EQ(this->EnumerateAll(scratch),
              this->env_.CodePage() == 1252
                  ? (std::vector<std::string>{"Caf\xE9", "Yen\xA5Key", "?"})
                  : (std::vector<std::string>{"Cafe", "Yen\\Key", "?"}));
    std::vector<std::wstring> wide;
    std::wstring name;
    RegStatus status;
    while ((status = this->env_.wideRegistry().RegEnumKeyExW(
                scratch, static_cast<std::uint32_t>(wide.size()), &name)) == kErrorSuccess) {
        wide.push_back(name);
    }
    EXPECT_EQ(status, kErrorNoMoreItems);
    EXPECT_EQ(wide, stored);
    EXPECT_EQ(this->Reg().RegCloseKey(scratch), kErrorSuccess);
}

// Creating makes every missing key of the path and gives the last the class;
// the handle is a new one each time, and a closed handle is refused.
TYPED_TEST_P(RegistryContract, CreateMakesMissingKeysAndReportsDisposition) {
    RegHandle key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(this->Create(this->kUser, this->Below("A\\B\\Uninstall"), kKeyFullAccess, &key,
                           &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_EQ(this->env_.ClassName(this->kUser, this->Below("A\\B\\Uninstall")), "0");
    EXPECT_NE(key, RegHandle{kHKeyCurrentUser});

    RegHandle again = 0;
    ASSERT_EQ(
        this->Create(this->kUser, this->Below("a\\b\\UNINSTALL"), kKeyRead, &again, &disposition),
        kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_NE(again, key);

    // The handle handed back is the key's own: a key made through it shows up
    // below the path, and the other handle enumerates it.
    RegHandle child = 0;
    ASSERT_EQ(this->Reg().RegCreateKeyA(key, "Child", &child), kErrorSuccess);
    EXPECT_TRUE(this->ExistsBelow("A\\B\\Uninstall\\Child"));
    EXPECT_EQ(this->EnumerateAll(again), std::vector<std::string>{"Child"});
    EXPECT_EQ(this->Reg().RegCloseKey(child), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(again), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);

    // Nothing is opened in between, so the closed value cannot be reused.
    RegHandle none = 0;
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(this->Reg().RegCreateKeyA(key, "x", &none), kErrorInvalidHandle);
    EXPECT_EQ(this->Create(key, "x", kKeyFullAccess, &none), kErrorInvalidHandle);
    EXPECT_FALSE(this->ExistsBelow("A\\B\\Uninstall\\x"));
}

TYPED_TEST_P(RegistryContract, OpenNeverCreatesAndAnEmptyNameOpensTheKeyItself) {
    this->env_.AddKey(this->kUser, this->Below("Present"));
    RegHandle key = 0;
    EXPECT_EQ(this->Open(this->kUser, this->Below("Missing"), kKeyRead, &key), kErrorFileNotFound);
    EXPECT_FALSE(this->ExistsBelow("Missing"));

    ASSERT_EQ(this->OpenScratch(kKeyRead, &key), kErrorSuccess);
    for (const char* self : {static_cast<const char*>(nullptr), ""}) {
        RegHandle same = 0;
        ASSERT_EQ(this->Reg().RegOpenKeyExA(key, self, 0, kKeyRead, &same), kErrorSuccess);
        EXPECT_NE(same, key);
        EXPECT_EQ(this->EnumerateAll(same), std::vector<std::string>{"Present"});
        EXPECT_EQ(this->Reg().RegCloseKey(same), kErrorSuccess);
    }
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

// Subkeys come in the order of their names as UTF-16 with letters folded, so
// Shift_JIS names do not keep the order of their bytes: 哀 (88 A3, U+54C0)
// comes before 阿 (88 A2, U+963F).  The documentation promises no order, but
// NT and Wine both keep a key's subkeys sorted this way, and which subkey
// takes which table slot follows from it.  Names with characters between 'Z'
// and 'a' are left out: NT folds to upper case ("_x" after "C"), Wine to lower
// case ("_x" before "A").
TYPED_TEST_P(RegistryContract, EnumeratesInFoldedOrderWithEndAndSizeCodes) {
    if (this->env_.CodePage() != 932) GTEST_SKIP() << kShiftJisOnly;
    const std::string a = "\x88\xA2", ai = "\x88\xA3";
    for (const std::string& name : {std::string("b"), a, std::string("Long"), ai, std::string("C"),
                                    std::string("A"), std::string("d")}) {
        this->env_.AddKey(this->kUser, this->Below(name));
    }
    RegHandle key = 0;
    ASSERT_EQ(this->OpenScratch(kKeyRead, &key), kErrorSuccess);
    EXPECT_EQ(this->EnumerateAll(key),
              (std::vector<std::string>{"A", "b", "C", "d", "Long", ai, a}));

    // The size counts the terminating NUL: "Long" needs 5 bytes.
    char buffer[8];
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 4, buffer, 4), kErrorMoreData);
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 4, buffer, 5), kErrorSuccess);
    EXPECT_STREQ(buffer, "Long");
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 7, buffer, 8), kErrorNoMoreItems);
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 256, buffer, 8), kErrorNoMoreItems);
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

// The size word: room on entry; afterwards the bytes written, or the bytes
// needed when the buffer is too small (234) or absent.  Value names fold like
// key names.
TYPED_TEST_P(RegistryContract, QueryFollowsTheSizeRules) {
    const std::string fits(255, 'a');                       // 256 bytes with the NUL
    const std::string wide = std::string(126, 'b') + kHyo;  // 129 bytes with the NUL
    this->env_.SetValue(this->kUser, this->scratch_, "DisplayName", kRegSz, Bytes({"abc", 4}));
    this->env_.SetValue(this->kUser, this->scratch_, "Fits", kRegSz, Bytes({fits.c_str(), 256}));
    this->env_.SetValue(this->kUser, this->scratch_, "Over", kRegSz, Bytes(fits + "a" + '\0'));
    this->env_.SetValue(this->kUser, this->scratch_, "Wide", kRegExpandSz, Bytes(wide + '\0'));
    this->env_.SetValue(this->kUser, this->scratch_, "Raw", kRegBinary, {1, 0, 2});
    this->env_.SetValue(this->kUser, this->scratch_, "Word", kRegDword, {0x2A, 0, 0, 0});
    struct Case {
        const char* name;
        bool withBuffer;
        std::uint32_t room;
        RegStatus status;
        std::uint32_t sizeAfter;
        std::uint32_t type;
        std::vector<std::uint8_t> data;  // the bytes written on success
    };
    const Case cases[] = {
        {"displayname", true, 3, kErrorMoreData, 4, kRegSz, {}},
        {"DISPLAYNAME", true, 4, kErrorSuccess, 4, kRegSz, Bytes({"abc", 4})},
        {"DisplayName", true, 8, kErrorSuccess, 4, kRegSz, Bytes({"abc", 4})},
        {"DisplayName", false, 0, kErrorSuccess, 4, kRegSz, {}},
        {"Fits", true, 256, kErrorSuccess, 256, kRegSz, Bytes({fits.c_str(), 256})},
        {"Over", true, 256, kErrorMoreData, 257, kRegSz, {}},
        {"Wide", true, 256, kErrorSuccess, 129, kRegExpandSz, Bytes(wide + '\0')},
        {"Wide", true, 128, kErrorMoreData, 129, kRegExpandSz, {}},
        {"Raw", true, 256, kErrorSuccess, 3, kRegBinary, {1, 0, 2}},
        {"Word", true, 256, kErrorSuccess, 4, kRegDword, {0x2A, 0, 0, 0}},
    };
    RegHandle key = 0;
    ASSERT_EQ(this->OpenScratch(kKeyRead, &key), kErrorSuccess);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.room));
        std::vector<std::uint8_t> buffer(300, 0xEE);
        std::uint32_t size = c.room;
        std::uint32_t type = 99;
        EXPECT_EQ(this->Reg().RegQueryValueExA(key, c.name, nullptr, &type,
                                               c.withBuffer ? buffer.data() : nullptr, &size),
                  c.status);
        EXPECT_EQ(size, c.sizeAfter);
        EXPECT_EQ(type, c.type);
        if (c.status == kErrorSuccess && c.withBuffer) {
            EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + size), c.data);
            EXPECT_EQ(buffer[size], 0xEE) << "written past the value";
        }
    }
    std::uint8_t data[8];
    std::uint32_t size = sizeof data;
    std::uint32_t reserved = 0;
    EXPECT_EQ(this->Reg().RegQueryValueExA(key, "Missing", nullptr, nullptr, data, &size),
              kErrorFileNotFound);
    EXPECT_EQ(this->Reg().RegQueryValueExA(key, "Raw", &reserved, nullptr, data, &size),
              kErrorInvalidParameter);
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

// A handle carries the rights it was opened with.  Opening an existing subkey
// through RegCreateKeyA needs no right on the parent.
TYPED_TEST_P(RegistryContract, CallsNeedTheRightsOfTheHandle) {
    this->env_.SetValue(this->kUser, this->Below("K"), "Raw", kRegBinary, {1, 0, 2});
    this->env_.AddKey(this->kUser, this->Below("K\\Existing"));
    char name[16];
    std::uint8_t data[8];
    std::uint32_t size = sizeof data;
    RegHandle key = 0;
    ASSERT_EQ(this->Open(this->kUser, this->Below("K"), kKeyEnumerateSubKeys, &key), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegQueryValueExA(key, "Raw", nullptr, nullptr, data, &size),
              kErrorAccessDenied);
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 0, name, sizeof name), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);

    ASSERT_EQ(this->Open(this->kUser, this->Below("K"), kKeyQueryValue, &key), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegEnumKeyA(key, 0, name, sizeof name), kErrorAccessDenied);
    size = sizeof data;
    EXPECT_EQ(this->Reg().RegQueryValueExA(key, "Raw", nullptr, nullptr, data, &size),
              kErrorSuccess);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + size), (std::vector<std::uint8_t>{1, 0, 2}));
    RegHandle sub = 0;
    ASSERT_EQ(this->Reg().RegCreateKeyA(key, "Existing", &sub), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(sub), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

// Deleting removes one key without subkeys (access denied otherwise, as
// on NT); an empty name deletes the opened key itself, whose handle then
// reports the key deleted.
TYPED_TEST_P(RegistryContract, DeleteFollowsNtRules) {
    this->env_.AddKey(this->kUser, this->Below("Parent\\Child"));
    this->env_.AddKey(this->kUser, this->Below("Leaf"));
    RegHandle key = 0;
    ASSERT_EQ(this->OpenScratch(kKeyFullAccess, &key), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(key, "Parent", 0, 0), kErrorAccessDenied);
    EXPECT_TRUE(this->ExistsBelow("Parent\\Child"));
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(key, "Missing", 0, 0), kErrorFileNotFound);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(key, nullptr, 0, 0), kErrorInvalidParameter);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(key, "parent\\CHILD", 0, 0), kErrorSuccess);
    EXPECT_FALSE(this->ExistsBelow("Parent\\Child"));
    EXPECT_EQ(this->EnumerateAll(key), (std::vector<std::string>{"Leaf", "Parent"}));

    RegHandle leaf = 0;
    ASSERT_EQ(this->Open(this->kUser, this->Below("Leaf"), kKeyFullAccess, &leaf), kErrorSuccess);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(key, "", 0, 0), kErrorAccessDenied);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(leaf, "", 0, 0), kErrorSuccess);
    EXPECT_FALSE(this->ExistsBelow("Leaf"));
    char name[8];
    EXPECT_EQ(this->Reg().RegEnumKeyA(leaf, 0, name, sizeof name), kErrorKeyDeleted);
    EXPECT_EQ(this->Reg().RegCloseKey(leaf), kErrorSuccess);
    EXPECT_EQ(this->EnumerateAll(key), std::vector<std::string>{"Parent"});
    EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

// On 64-bit Windows, HKEY_LOCAL_MACHINE\Software has a 32-bit view below
// WOW6432Node.  The flag picks the view, no flag means the process's own (64-bit)
// one, and a relative open keeps the view of its handle.  Deleting picks its
// view by the flag too, and leaves the other view's key of the same name.
TYPED_TEST_P(RegistryContract, Wow64FlagsSelectTheViewOfMachineSoftware) {
    constexpr std::uint32_t kMachine = kHKeyLocalMachine;
    const std::string path = this->env_.ScratchPath(kMachine);
    ASSERT_EQ(path.rfind("Software\\", 0), 0u);
    const std::string redirected = "Software\\WOW6432Node\\" + path.substr(9);
    this->env_.AddKey(kMachine, redirected + "\\App32");
    this->env_.AddKey(kMachine, path + "\\App64");
    const std::vector<std::string> app32{"App32"}, app64{"App64"};
    struct Case {
        std::uint32_t flag;
        const std::vector<std::string>& names;
    };
    for (const Case& c :
         {Case{kKeyWow64_32Key, app32}, Case{kKeyWow64_64Key, app64}, Case{0, app64}}) {
        SCOPED_TRACE(c.flag);
        RegHandle software = 0;
        ASSERT_EQ(this->Open(kMachine, "Software", kKeyRead | c.flag, &software), kErrorSuccess);
        RegHandle below = 0;
        ASSERT_EQ(this->Open(software, path.substr(9), kKeyRead, &below), kErrorSuccess);
        EXPECT_EQ(this->EnumerateAll(below), c.names);
        EXPECT_EQ(this->Reg().RegCloseKey(below), kErrorSuccess);
        EXPECT_EQ(this->Reg().RegCloseKey(software), kErrorSuccess);
    }
    RegHandle created = 0;
    ASSERT_EQ(this->Create(kMachine, path + "\\New", kKeyFullAccess | kKeyWow64_32Key, &created),
              kErrorSuccess);
    EXPECT_EQ(this->Reg().RegCloseKey(created), kErrorSuccess);
    EXPECT_TRUE(this->env_.Exists(kMachine, redirected + "\\New"));
    EXPECT_FALSE(this->env_.Exists(kMachine, path + "\\New"));

    const std::string same = path + "\\Same", same32 = redirected + "\\Same";
    this->env_.AddKey(kMachine, same);
    this->env_.AddKey(kMachine, same32);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(kMachine, same.c_str(), kKeyWow64_32Key, 0),
              kErrorSuccess);
    EXPECT_FALSE(this->env_.Exists(kMachine, same32));
    EXPECT_TRUE(this->env_.Exists(kMachine, same));
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(kMachine, same.c_str(), kKeyWow64_64Key, 0),
              kErrorSuccess);
    EXPECT_FALSE(this->env_.Exists(kMachine, same));
}

// A notification request on a key is answered by the first subkey added to
// or removed from that key (of the view it was opened in); values and keys
// further down do not answer a request for names of the key alone.
TYPED_TEST_P(RegistryContract, NotifiesOfSubkeysOfTheWatchedKeyInItsView) {
    const std::string machine = this->env_.ScratchPath(kHKeyLocalMachine);
    const std::string machine32 = "Software\\WOW6432Node\\" + machine.substr(9);
    this->env_.AddKey(kHKeyCurrentUser, this->Below("Old"));
    this->env_.AddKey(kHKeyLocalMachine, machine);
    this->env_.AddKey(kHKeyLocalMachine, machine32);
    RegHandle keys[3] = {};
    EventHandle events[4] = {};
    const auto watch = [&](int i, std::uint32_t root, const std::string& path, std::uint32_t sam) {
        events[i] = this->env_.NewEvent();
        if (i < 3) {
            EXPECT_EQ(this->Open(root, path, sam, &keys[i]), kErrorSuccess) << path;
        }
        EXPECT_EQ(this->Reg().RegNotifyChangeKeyValue(keys[i % 3], false, kRegNotifyChangeName,
                                                      events[i], true),
                  kErrorSuccess);
    };
    watch(0, kHKeyCurrentUser, this->scratch_, kKeyNotify | kKeyEnumerateSubKeys);
    watch(1, kHKeyLocalMachine, machine, kKeyNotify | kKeyWow64_64Key);
    watch(2, kHKeyLocalMachine, machine, kKeyNotify | kKeyWow64_32Key);
    this->env_.SetValue(kHKeyCurrentUser, this->scratch_, "Value", kRegSz, Bytes("x"));
    this->env_.AddKey(kHKeyCurrentUser, this->Below("Old\\Child"));
    this->env_.AddKey(kHKeyLocalMachine, machine32 + "\\App32");
    EXPECT_TRUE(this->env_.WaitSet(events[2], 10000)) << "a subkey of the 32-bit view";
    EXPECT_FALSE(this->env_.WaitSet(events[1], 0)) << "the other view";
    EXPECT_FALSE(this->env_.WaitSet(events[0], 0)) << "a value, and a key further down";
    this->env_.AddKey(kHKeyCurrentUser, this->Below("New"));
    EXPECT_TRUE(this->env_.WaitSet(events[0], 10000)) << "a subkey added";
    watch(3, kHKeyCurrentUser, {}, 0);
    EXPECT_EQ(this->Reg().RegDeleteKeyExA(keys[0], "New", 0, 0), kErrorSuccess);
    EXPECT_TRUE(this->env_.WaitSet(events[3], 10000)) << "a subkey removed";
    for (const RegHandle key : keys) EXPECT_EQ(this->Reg().RegCloseKey(key), kErrorSuccess);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, NamesFoldAsciiLettersOnly, ShiftJisNamesStayWhole,
                            WideEnumerationGivesNamesAsStored,
                            CreateMakesMissingKeysAndReportsDisposition,
                            OpenNeverCreatesAndAnEmptyNameOpensTheKeyItself,
                            EnumeratesInFoldedOrderWithEndAndSizeCodes, QueryFollowsTheSizeRules,
                            CallsNeedTheRightsOfTheHandle, DeleteFollowsNtRules,
                            Wow64FlagsSelectTheViewOfMachineSoftware,
                            NotifiesOfSubkeysOfTheWatchedKeyInItsView);

}  // namespace velmora::platform::contract

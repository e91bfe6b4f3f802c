// A registry held in memory that behaves like the Windows one for the calls
// the program makes, with hooks to seed it, inspect it and make it fail.
//
// Paths given to the seeding and inspection methods are relative to a root
// (kHKeyLocalMachine or kHKeyCurrentUser), separated by '\\', and physical:
// with separate views on, the 32-bit view's keys live under
// Software\WOW6432Node as they do on 64-bit Windows.
//
// Key names are Unicode, as in the real registry.  The 8-bit calls and
// methods take and give them in the registry's code page (932 unless chosen
// otherwise), converted as Windows converts them: a name the code page cannot
// carry is enumerated with best-fit look-alikes and '?'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "support/memory/iconv_code_page.h"

namespace velmora::platform::memory {

inline constexpr RegStatus kErrorInvalidHandle = 6;
inline constexpr RegStatus kErrorBadPathname = 161;
inline constexpr RegStatus kErrorKeyDeleted = 1018;

inline constexpr std::uint32_t kMaximumAllowed = 0x02000000;
inline constexpr std::uint32_t kKeyAllAccess = 0x000F003F;

struct ValueData {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> bytes;
    bool operator==(const ValueData&) const = default;
};

struct KeySnapshot {
    std::string className;
    std::map<std::string, ValueData> values;  // by name as stored
    bool operator==(const KeySnapshot&) const = default;
};

// Every key of both roots by its full path ("HKEY_CURRENT_USER\\Software"),
// roots included.
// Readable output when a test compares values or snapshots.
void PrintTo(const ValueData& value, std::ostream* os);
void PrintTo(const KeySnapshot& key, std::ostream* os);

using RegistrySnapshot = std::map<std::string, KeySnapshot>;

enum class Denial {
    kWrite,  // any write right requested fails; reading works
    kAll,    // every open fails
};

class MemoryRegistry : public Registry {
  public:
    // codePage: the system code page of the 8-bit calls.
    explicit MemoryRegistry(unsigned codePage = 932);
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, std::uint32_t reserved,
                              const char* className, std::uint32_t options,
                              std::uint32_t samDesired,
                              const SecurityAttributes* securityAttributes, RegHandle* result,
                              std::uint32_t* disposition) override;
    RegStatus RegOpenKeyExA(RegHandle key, const char* subKey, std::uint32_t options,
                            std::uint32_t samDesired, RegHandle* result) override;
    RegStatus RegEnumKeyA(RegHandle key, std::uint32_t index, char* name,
                          std::uint32_t nameSize) override;
    RegStatus RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) override;
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* dataSize) override;
    RegStatus RegDeleteKeyExA(RegHandle key, const char* subKey, std::uint32_t samDesired,
                              std::uint32_t reserved) override;
    RegStatus RegCloseKey(RegHandle key) override;
    RegStatus RegNotifyChangeKeyValue(RegHandle key, bool watchSubtree, std::uint32_t notifyFilter,
                                      EventHandle event, bool asynchronous) override;
    // Value number index of an open key, in the order of their folded names,
    // as the wide adapter's RegEnumValueW needs it.
    RegStatus EnumValue(RegHandle key, std::uint32_t index, std::string* name, ValueData* value);
    // The wide adapter's RegOpenKeyExW and RegEnumKeyExW: names as stored.
    RegStatus OpenKeyW(RegHandle key, std::wstring_view subKey, std::uint32_t samDesired,
                       RegHandle* result);
    RegStatus EnumKeyW(RegHandle key, std::uint32_t index, std::wstring* name);

    // Seeding.  Missing keys along the path are created.
    void AddKey(std::uint32_t root, std::string_view path, std::string_view className = {});
    void SetValue(std::uint32_t root, std::string_view path, std::string_view name,
                  std::uint32_t type, std::vector<std::uint8_t> bytes);
    // The same with a wide path, for names the code page cannot carry.
    void AddKey(std::uint32_t root, std::wstring_view path);
    void SetValue(std::uint32_t root, std::wstring_view path, std::string_view name,
                  std::uint32_t type, std::vector<std::uint8_t> bytes);
    // REG_SZ holding the bytes followed by one NUL.
    void SetString(std::uint32_t root, std::string_view path, std::string_view name,
                   std::string_view bytes);
    void SetDword(std::uint32_t root, std::string_view path, std::string_view name,
                  std::uint32_t value);
    // Removes the key with everything below it; handles open on any of them
    // fail from then on with kErrorKeyDeleted.  False when there was no key.
    bool RemoveKey(std::uint32_t root, std::string_view path);

    // Inspection.
    bool KeyExists(std::uint32_t root, std::string_view path) const;
    std::vector<std::string> SubkeyNames(std::uint32_t root, std::string_view path) const;
    std::optional<ValueData> GetValue(std::uint32_t root, std::string_view path,
                                      std::string_view name) const;
    std::optional<std::string> ClassName(std::uint32_t root, std::string_view path) const;
    RegistrySnapshot Snapshot() const;
    std::size_t OpenHandleCount() const;
    // Whether a change notification (or the closing of its key) has set event.
    bool EventIsSet(EventHandle event) const { return setEvents_.count(event) != 0; }
    // How often the named operation ("RegEnumKeyA", ...) was called.
    std::size_t CallCount(std::string_view operation) const;
    // The view flags each RegDeleteKeyExA call was given, in order.
    const std::vector<std::uint32_t>& DeleteViews() const { return deleteViews_; }
    void ResetCallCounts();
    // Grows with every change of keys or values: two snapshots taken at the
    // same revision are the same.
    std::size_t Revision() const { return revision_; }

    // Faults.  A denial covers the key and everything below it, existing or not.
    void DenyAccess(std::uint32_t root, std::string_view path, Denial denial);
    // Every RegEnumKeyA of that key at that index returns code.
    void FailEnumeration(std::uint32_t root, std::string_view path, std::uint32_t index,
                         RegStatus code);
    // Once, right after RegEnumKeyA has returned subkeyName of parentPath, that
    // subkey is removed with everything below it.
    void RemoveAfterEnumeration(std::uint32_t root, std::string_view parentPath,
                                std::string_view subkeyName);
    // Every RegNotifyChangeKeyValue returns code.
    void FailNotifications(RegStatus code) { notifyFault_ = code; }
    // hook runs each time RegQueryValueExA answers that a value does not fit,
    // as if another program wrote the value before the next query.
    void OnValueTooLarge(std::function<void()> hook) { tooLargeHook_ = std::move(hook); }
    void ClearFaults();

    // Off (the default): KEY_WOW64_32KEY and KEY_WOW64_64KEY reach the same
    // tree.  On: HKEY_LOCAL_MACHINE\Software opened in the 32-bit view is
    // HKEY_LOCAL_MACHINE\Software\WOW6432Node.
    void SetSeparateViews(bool separate);

  private:
    struct Node;
    enum class View { k64, k32 };
    using Path = std::vector<std::string>;  // names as given, in UTF-8
    struct OpenKey {
        std::uint32_t root = 0;
        View view = View::k64;
        Path physical;            // where the key lies, found once when it is opened
        bool redirected = false;  // WOW6432Node inserted: not in the path the caller named
        std::shared_ptr<Node> node;
        std::uint32_t granted = 0;
    };
    // By handle; handles only grow, so a new one goes at the end.
    using Handles = std::vector<std::pair<RegHandle, OpenKey>>;
    struct DenyRule {
        std::uint32_t root;
        Path path;
        Denial denial;
    };
    struct EnumFault {
        std::uint32_t root;
        Path path;
        std::uint32_t index;
        RegStatus code;
    };
    struct RemovalHook {
        std::uint32_t root;
        Path parent;
        std::string name;
    };

    struct Watch {
        RegHandle key;
        std::shared_ptr<Node> node;
        std::uint32_t filter;
        EventHandle event;
    };

    void Count(std::string_view operation);
    // Answers the watches that a change of node's subkeys (kRegNotifyChangeName)
    // or values (kRegNotifyChangeLastSet) concerns, and those of deleted keys.
    void Changed(const Node& node, std::uint32_t filter);
    // 8-bit text of the code page as UTF-8, and UTF-8 as the 8-bit calls give it.
    std::string Internal(std::string_view bytes) const;
    std::string External(std::string_view utf8) const;
    // The 8-bit path as names in UTF-8, valid until the next call.
    const Path& InternalPath(std::string_view path) const;
    // The key a handle stands for: a predefined root or an open, living key.
    RegStatus Resolve(RegHandle key, const OpenKey** open) const;
    // The view a call works in: the one its flag names, else the handle's.
    static View ViewOf(std::uint32_t samDesired, View handleView);
    std::shared_ptr<Node> RootNode(std::uint32_t root) const;
    // Inserts WOW6432Node where the view redirects path, and says whether it did.
    bool Redirect(std::uint32_t root, Path& path, View view) const;
    // The path the caller named for key, followed by the names of subKey (in
    // UTF-8); nullopt for a malformed subKey.
    static std::optional<Path> Below(const OpenKey& key, std::string_view subKey);
    std::shared_ptr<Node> Walk(std::uint32_t root, std::span<const std::string> physical) const;
    std::shared_ptr<Node> WalkOrCreate(std::uint32_t root, const Path& path,
                                       bool* created = nullptr);
    std::shared_ptr<Node> NewChild(Node& parent, const std::string& name);
    void Store(std::uint32_t root, const Path& path, std::string_view name, std::uint32_t type,
               std::vector<std::uint8_t> bytes);
    std::uint32_t MaximumAllowed(std::uint32_t root, std::span<const std::string> physical) const;
    // subKey in UTF-8.
    RegStatus OpenOrCreate(RegHandle key, std::string_view subKey, std::uint32_t samDesired,
                           bool create, const char* className, RegHandle* result,
                           std::uint32_t* disposition);
    RegHandle AddHandle(OpenKey open);
    Handles::const_iterator FindHandle(RegHandle key) const;

    std::shared_ptr<Node> localMachine_;
    std::shared_ptr<Node> currentUser_;
    Handles handles_;
    RegHandle nextHandle_ = 0x1000;
    std::map<std::string, std::size_t, std::less<>> calls_;
    std::vector<std::uint32_t> deleteViews_;
    std::vector<DenyRule> denials_;
    std::vector<EnumFault> enumFaults_;
    std::vector<RemovalHook> removals_;
    std::vector<Watch> watches_;
    std::set<EventHandle> setEvents_;
    RegStatus notifyFault_ = kErrorSuccess;
    std::function<void()> tooLargeHook_;
    bool separateViews_ = false;
    std::size_t revision_ = 0;
    mutable OpenKey rootKey_;         // what Resolve gives for a predefined root
    mutable std::string parsedText_;  // the latest path InternalPath split, and its names
    mutable Path parsed_;
    // The code page of the 8-bit calls' names.
    const IconvCodePage& names_;
    const IconvCodePage& utf8_;  // the registry's own form of names
};

}  // namespace velmora::platform::memory

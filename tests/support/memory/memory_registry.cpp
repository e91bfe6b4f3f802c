#include "support/memory/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <utility>

#include "support/memory/key_name.h"

namespace velmora::platform::memory {

namespace {

constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kKeyWrite = 0x00020006;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericAll = 0x10000000;

std::uint32_t MapGenericRights(std::uint32_t mask) {
    std::uint32_t mapped = mask & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
    if ((mask & (kGenericRead | kGenericExecute)) != 0) mapped |= kKeyRead;
    if ((mask & kGenericWrite) != 0) mapped |= kKeyWrite;
    if ((mask & kGenericAll) != 0) mapped |= kKeyAllAccess;
    return mapped;
}

// The predefined handles arrive either as their 32-bit values or sign-extended.
std::optional<std::uint32_t> PredefinedRoot(RegHandle key) {
    const auto low = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
    const RegHandle high = key >> 16 >> 16;
    const bool extension = high == 0 || high == (~RegHandle{0} >> 16 >> 16);
    if (extension && (low == kHKeyLocalMachine || low == kHKeyCurrentUser)) return low;
    return std::nullopt;
}

std::vector<std::string> FoldPath(const std::vector<std::string>& path) {
    std::vector<std::string> folded;
    folded.reserve(path.size());
    for (const std::string& part : path) folded.push_back(FoldKeyName(part, NameBytes::kUtf8));
    return folded;
}

bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
    return prefix.size() <= path.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

}  // namespace

void PrintTo(const ValueData& value, std::ostream* os) {
    *os << "type " << value.type << " bytes";
    static const char digits[] = "0123456789ABCDEF";
    for (const std::uint8_t byte : value.bytes)
        *os << ' ' << digits[byte >> 4] << digits[byte & 15];
}

void PrintTo(const KeySnapshot& key, std::ostream* os) {
    *os << "{class \"" << key.className << '"';
    for (const auto& [name, value] : key.values) {
        *os << ", \"" << name << "\": ";
        PrintTo(value, os);
    }
    *os << '}';
}

struct MemoryRegistry::Node {
    using Children = std::map<std::string, std::shared_ptr<Node>>;  // by ChildKey

    std::string name;
    std::string className;
    Children children;
    std::map<std::string, std::pair<std::string, ValueData>> values;  // folded -> name, data
    bool deleted = false;

    // Subkey number index (below children.size()).  An enumeration that goes
    // on from the index asked before walks on from there, so enumerating
    // thousands of subkeys stays linear.
    Children::iterator ChildAt(std::size_t index) {
        if (!cursorValid_ || index < cursorIndex_) {
            cursor_ = children.begin();
            cursorIndex_ = 0;
            cursorValid_ = true;
        }
        cursor_ = std::next(cursor_, static_cast<std::ptrdiff_t>(index - cursorIndex_));
        cursorIndex_ = index;
        return cursor_;
    }
    // Called on every change of children.
    void ChildrenChanged() { cursorValid_ = false; }

    void MarkDeleted() {
        deleted = true;
        for (auto& [folded, child] : children) child->MarkDeleted();
    }

  private:
    Children::iterator cursor_;
    std::size_t cursorIndex_ = 0;
    bool cursorValid_ = false;
};

MemoryRegistry::MemoryRegistry(unsigned codePage)
    : localMachine_(std::make_shared<Node>()),
      currentUser_(std::make_shared<Node>()),
      names_(codePage) {
    localMachine_->name = "HKEY_LOCAL_MACHINE";
    currentUser_->name = "HKEY_CURRENT_USER";
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::Count(std::string_view operation) {
    auto it = calls_.find(operation);
    if (it == calls_.end()) it = calls_.emplace(std::string(operation), 0).first;
    ++it->second;
}

std::string MemoryRegistry::ChildKey(std::string_view name) {
    return FoldKeyName(name, NameBytes::kUtf8);
}

std::string MemoryRegistry::Internal(std::string_view bytes) const {
    return ToUtf8(names_.ToWide(bytes));
}

std::string MemoryRegistry::External(std::string_view utf8) const {
    return names_.ToNarrow(FromUtf8(utf8));
}

MemoryRegistry::Path MemoryRegistry::InternalPath(std::string_view path) const {
    auto parts = SplitKeyPath(Internal(path), NameBytes::kUtf8);
    return parts ? std::move(*parts) : Path{};
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::RootNode(std::uint32_t root) const {
    if (root == kHKeyLocalMachine) return localMachine_;
    if (root == kHKeyCurrentUser) return currentUser_;
    return nullptr;
}

RegStatus MemoryRegistry::Resolve(RegHandle key, OpenKey* open) const {
    if (const auto root = PredefinedRoot(key)) {
        *open = OpenKey{*root, View::k64, {}, RootNode(*root), MaximumAllowed(*root, {})};
        return kErrorSuccess;
    }
    const auto it = handles_.find(key);
    if (it == handles_.end()) return kErrorInvalidHandle;
    if (it->second.node->deleted) return kErrorKeyDeleted;
    *open = it->second;
    return kErrorSuccess;
}

MemoryRegistry::View MemoryRegistry::ViewOf(std::uint32_t samDesired, View handleView) {
    if ((samDesired & kKeyWow64_32Key) != 0) return View::k32;
    if ((samDesired & kKeyWow64_64Key) != 0) return View::k64;
    return handleView;
}

MemoryRegistry::Path MemoryRegistry::Physical(std::uint32_t root, const Path& logical,
                                              View view) const {
    if (!separateViews_ || view == View::k64 || root != kHKeyLocalMachine || logical.empty() ||
        FoldKeyName(logical[0], NameBytes::kUtf8) != "SOFTWARE") {
        return logical;
    }
    if (logical.size() >= 2 && FoldKeyName(logical[1], NameBytes::kUtf8) == "WOW6432NODE")
        return logical;
    Path physical = logical;
    physical.insert(physical.begin() + 1, "WOW6432Node");
    return physical;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Walk(std::uint32_t root,
                                                           const Path& physical) const {
    std::shared_ptr<Node> node = RootNode(root);
    for (const std::string& part : physical) {
        if (!node) return nullptr;
        const auto it = node->children.find(ChildKey(part));
        node = it == node->children.end() ? nullptr : it->second;
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::WalkOrCreate(std::uint32_t root,
                                                                   const Path& path) {
    std::shared_ptr<Node> node = RootNode(root);
    if (!node) return nullptr;
    for (const std::string& part : path) {
        auto& child = node->children[ChildKey(part)];
        if (!child) {
            node->ChildrenChanged();
            child = std::make_shared<Node>();
            child->name = part;
            Changed(*node, kRegNotifyChangeName);
        }
        node = child;
    }
    return node;
}

std::uint32_t MemoryRegistry::MaximumAllowed(std::uint32_t root, const Path& physical) const {
    const Path folded = FoldPath(physical);
    std::uint32_t allowed = kKeyAllAccess;
    for (const DenyRule& rule : denials_) {
        if (rule.root != root || !StartsWith(folded, rule.folded)) continue;
        allowed &= rule.denial == Denial::kAll ? 0 : kKeyRead;
    }
    return allowed;
}

RegHandle MemoryRegistry::AddHandle(OpenKey open) {
    const RegHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(handle, std::move(open));
    return handle;
}

RegStatus MemoryRegistry::OpenOrCreate(RegHandle key, std::string_view subKey,
                                       std::uint32_t samDesired, bool create, const char* className,
                                       RegHandle* result, std::uint32_t* disposition) {
    OpenKey parent;
    if (const RegStatus status = Resolve(key, &parent); status != kErrorSuccess) return status;
    if (result == nullptr) return kErrorInvalidParameter;
    const auto parts = SplitKeyPath(subKey, NameBytes::kUtf8);
    if (!parts) return kErrorBadPathname;
    if ((samDesired & kKeyWow64Views) == kKeyWow64Views) return kErrorInvalidParameter;

    const View view = ViewOf(samDesired, parent.view);
    Path logical = parent.logical;
    logical.insert(logical.end(), parts->begin(), parts->end());
    const Path physical = Physical(parent.root, logical, view);

    // The deepest existing key along the path.
    std::shared_ptr<Node> node = RootNode(parent.root);
    std::size_t depth = 0;
    for (; depth < physical.size(); ++depth) {
        const auto it = node->children.find(ChildKey(physical[depth]));
        if (it == node->children.end()) break;
        node = it->second;
    }
    const bool exists = depth == physical.size();
    if (!exists && !create) return kErrorFileNotFound;

    const std::uint32_t allowed = MaximumAllowed(parent.root, physical);
    std::uint32_t requested = MapGenericRights(samDesired & ~kKeyWow64Views);
    if ((requested & kMaximumAllowed) != 0) {
        if (allowed == 0) return kErrorAccessDenied;
        requested = (requested & ~kMaximumAllowed) | allowed;
    }
    if ((requested & kKeyAllAccess & ~allowed) != 0) return kErrorAccessDenied;

    if (!exists) {
        // Creating a key takes the create-subkey right on its parent: for the
        // first missing key the right granted to the handle when the parent is
        // the handle's own key, otherwise whatever the parent would allow.
        for (std::size_t level = depth; level < physical.size(); ++level) {
            const Path parentPath(physical.begin(), physical.begin() + level);
            const std::uint32_t parentRights = level == depth && node == parent.node
                                                   ? parent.granted
                                                   : MaximumAllowed(parent.root, parentPath);
            if ((parentRights & kKeyCreateSubKey) == 0) return kErrorAccessDenied;
        }
        Changed(*node, kRegNotifyChangeName);
        for (std::size_t level = depth; level < physical.size(); ++level) {
            auto child = std::make_shared<Node>();
            child->name = physical[level];
            node->children.emplace(ChildKey(physical[level]), child);
            node->ChildrenChanged();
            node = child;
        }
        if (className != nullptr) node->className = className;
    }
    if (disposition != nullptr) *disposition = exists ? kRegOpenedExistingKey : kRegCreatedNewKey;
    *result = AddHandle(OpenKey{parent.root, view, std::move(logical), node, requested});
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegCreateKeyExA(RegHandle key, const char* subKey, std::uint32_t reserved,
                                          const char* className, std::uint32_t /*options*/,
                                          std::uint32_t samDesired,
                                          const SecurityAttributes* /*securityAttributes*/,
                                          RegHandle* result, std::uint32_t* disposition) {
    Count("RegCreateKeyExA");
    if (reserved != 0) return kErrorInvalidParameter;
    return OpenOrCreate(key, Internal(subKey == nullptr ? "" : subKey), samDesired, true, className,
                        result, disposition);
}

RegStatus MemoryRegistry::RegOpenKeyExA(RegHandle key, const char* subKey,
                                        std::uint32_t /*options*/, std::uint32_t samDesired,
                                        RegHandle* result) {
    Count("RegOpenKeyExA");
    return OpenOrCreate(key, Internal(subKey == nullptr ? "" : subKey), samDesired, false, nullptr,
                        result, nullptr);
}

RegStatus MemoryRegistry::RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    Count("RegCreateKeyA");
    return OpenOrCreate(key, Internal(subKey == nullptr ? "" : subKey), kMaximumAllowed, true,
                        nullptr, result, nullptr);
}

RegStatus MemoryRegistry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name,
                                      std::uint32_t nameSize) {
    Count("RegEnumKeyA");
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open.granted & kKeyEnumerateSubKeys) == 0) return kErrorAccessDenied;
    const Path folded = FoldPath(Physical(open.root, open.logical, open.view));
    for (const EnumFault& fault : enumFaults_) {
        if (fault.root == open.root && fault.index == index && fault.folded == folded) {
            return fault.code;
        }
    }
    auto& children = open.node->children;
    if (index >= children.size()) return kErrorNoMoreItems;
    if (name == nullptr) return kErrorInvalidParameter;
    const auto it = open.node->ChildAt(index);
    const std::string childName = External(it->second->name);
    if (childName.size() + 1 > nameSize) return kErrorMoreData;
    std::memcpy(name, childName.c_str(), childName.size() + 1);

    const auto hook = std::find_if(removals_.begin(), removals_.end(), [&](const RemovalHook& h) {
        return h.root == open.root && h.folded == folded && h.foldedName == it->first;
    });
    if (hook != removals_.end()) {
        removals_.erase(hook);
        it->second->MarkDeleted();
        children.erase(it);
        open.node->ChildrenChanged();
        Changed(*open.node, kRegNotifyChangeName);
    }
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegQueryValueExA(RegHandle key, const char* valueName,
                                           std::uint32_t* reserved, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* dataSize) {
    Count("RegQueryValueExA");
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) {
        return kErrorInvalidParameter;
    }
    if ((open.granted & kKeyQueryValue) == 0) return kErrorAccessDenied;
    const auto it = open.node->values.find(ValueKey(valueName == nullptr ? "" : valueName));
    if (it == open.node->values.end()) return kErrorFileNotFound;
    const ValueData& value = it->second.second;
    const auto size = static_cast<std::uint32_t>(value.bytes.size());
    if (type != nullptr) *type = value.type;
    if (data != nullptr) {
        if (*dataSize < size) {
            *dataSize = size;
            if (tooLargeHook_) tooLargeHook_();
            return kErrorMoreData;
        }
        std::copy(value.bytes.begin(), value.bytes.end(), data);
    }
    if (dataSize != nullptr) *dataSize = size;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegDeleteKeyExA(RegHandle key, const char* subKey,
                                          std::uint32_t samDesired, std::uint32_t /*reserved*/) {
    Count("RegDeleteKeyExA");
    deleteViews_.push_back(samDesired);
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if (subKey == nullptr) return kErrorInvalidParameter;
    const auto parts = SplitKeyPath(Internal(subKey), NameBytes::kUtf8);
    if (!parts) return kErrorBadPathname;
    Path logical = open.logical;
    logical.insert(logical.end(), parts->begin(), parts->end());
    const Path physical = Physical(open.root, logical, ViewOf(samDesired, open.view));
    // An empty name deletes the opened key itself; a root cannot go.
    if (physical.empty()) return kErrorAccessDenied;
    const std::shared_ptr<Node> node = Walk(open.root, physical);
    if (!node) return kErrorFileNotFound;
    if ((MaximumAllowed(open.root, physical) & kDelete) == 0) return kErrorAccessDenied;
    if (!node->children.empty()) return kErrorAccessDenied;
    const std::shared_ptr<Node> parent =
        Walk(open.root, Path(physical.begin(), physical.end() - 1));
    parent->children.erase(ChildKey(physical.back()));
    parent->ChildrenChanged();
    node->MarkDeleted();
    Changed(*parent, kRegNotifyChangeName);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::EnumValue(RegHandle key, std::uint32_t index, std::string* name,
                                    ValueData* value) {
    Count("RegEnumValue");
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open.granted & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (index >= open.node->values.size()) return kErrorNoMoreItems;
    const auto& [stored, data] =
        std::next(open.node->values.begin(), static_cast<std::ptrdiff_t>(index))->second;
    *name = stored;
    *value = data;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::OpenKeyW(RegHandle key, std::wstring_view subKey,
                                   std::uint32_t samDesired, RegHandle* result) {
    Count("RegOpenKeyExW");
    return OpenOrCreate(key, ToUtf8(subKey), samDesired, false, nullptr, result, nullptr);
}

RegStatus MemoryRegistry::EnumKeyW(RegHandle key, std::uint32_t index, std::wstring* name) {
    Count("RegEnumKeyExW");
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open.granted & kKeyEnumerateSubKeys) == 0) return kErrorAccessDenied;
    if (index >= open.node->children.size()) return kErrorNoMoreItems;
    *name = FromUtf8(open.node->ChildAt(index)->second->name);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegCloseKey(RegHandle key) {
    Count("RegCloseKey");
    if (PredefinedRoot(key)) return kErrorSuccess;
    if (handles_.erase(key) != 1) return kErrorInvalidHandle;
    // Closing a key ends its requests and sets their events, as Windows does.
    std::erase_if(watches_, [&](const Watch& watch) {
        if (watch.key == key) setEvents_.insert(watch.event);
        return watch.key == key;
    });
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegNotifyChangeKeyValue(RegHandle key, bool watchSubtree,
                                                  std::uint32_t notifyFilter, EventHandle event,
                                                  bool asynchronous) {
    Count("RegNotifyChangeKeyValue");
    OpenKey open;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open.granted & kKeyNotify) == 0) return kErrorAccessDenied;
    if (notifyFault_ != kErrorSuccess) return notifyFault_;
    // Only the asynchronous form of the key alone: a synchronous one would
    // block the caller, and the program never watches a whole tree.
    if (!asynchronous || watchSubtree || event == 0) return kErrorInvalidParameter;
    watches_.push_back(Watch{key, open.node, notifyFilter, event});
    return kErrorSuccess;
}

void MemoryRegistry::Changed(const Node& node, std::uint32_t filter) {
    std::erase_if(watches_, [&](const Watch& watch) {
        const bool concerned =
            watch.node->deleted || ((watch.filter & filter) != 0 && watch.node.get() == &node);
        if (concerned) setEvents_.insert(watch.event);
        return concerned;
    });
}

void MemoryRegistry::AddKey(std::uint32_t root, std::string_view path, std::string_view className) {
    const bool existed = KeyExists(root, path);
    const std::shared_ptr<Node> node = WalkOrCreate(root, InternalPath(path));
    if (node && !existed) node->className = className;
}

void MemoryRegistry::AddKey(std::uint32_t root, std::wstring_view path) {
    auto parts = SplitKeyPath(ToUtf8(path), NameBytes::kUtf8);
    WalkOrCreate(root, parts ? *parts : Path{});
}

void MemoryRegistry::SetValue(std::uint32_t root, std::wstring_view path, std::string_view name,
                              std::uint32_t type, std::vector<std::uint8_t> bytes) {
    auto parts = SplitKeyPath(ToUtf8(path), NameBytes::kUtf8);
    const std::shared_ptr<Node> node = WalkOrCreate(root, parts ? *parts : Path{});
    if (!node) return;
    auto& slot = node->values[ValueKey(name)];
    if (slot.first.empty()) slot.first = name;
    slot.second = ValueData{type, std::move(bytes)};
}

void MemoryRegistry::SetValue(std::uint32_t root, std::string_view path, std::string_view name,
                              std::uint32_t type, std::vector<std::uint8_t> bytes) {
    const std::shared_ptr<Node> node = WalkOrCreate(root, InternalPath(path));
    if (!node) return;
    auto& slot = node->values[ValueKey(name)];
    if (slot.first.empty()) slot.first = name;
    slot.second = ValueData{type, std::move(bytes)};
    Changed(*node, kRegNotifyChangeLastSet);
}

void MemoryRegistry::SetString(std::uint32_t root, std::string_view path, std::string_view name,
                               std::string_view bytes) {
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    data.push_back(0);
    SetValue(root, path, name, kRegSz, std::move(data));
}

void MemoryRegistry::SetDword(std::uint32_t root, std::string_view path, std::string_view name,
                              std::uint32_t value) {
    std::vector<std::uint8_t> data;
    for (int shift = 0; shift < 32; shift += 8) {
        data.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    SetValue(root, path, name, kRegDword, std::move(data));
}

bool MemoryRegistry::RemoveKey(std::uint32_t root, std::string_view path) {
    const Path parts = InternalPath(path);
    if (parts.empty()) return false;
    const std::shared_ptr<Node> parent = Walk(root, Path(parts.begin(), parts.end() - 1));
    if (!parent) return false;
    const auto it = parent->children.find(ChildKey(parts.back()));
    if (it == parent->children.end()) return false;
    it->second->MarkDeleted();
    parent->children.erase(it);
    parent->ChildrenChanged();
    Changed(*parent, kRegNotifyChangeName);
    return true;
}

bool MemoryRegistry::KeyExists(std::uint32_t root, std::string_view path) const {
    const auto parts = SplitKeyPath(Internal(path), NameBytes::kUtf8);
    return parts && Walk(root, *parts) != nullptr;
}

std::vector<std::string> MemoryRegistry::SubkeyNames(std::uint32_t root,
                                                     std::string_view path) const {
    std::vector<std::string> names;
    if (const std::shared_ptr<Node> node = Walk(root, InternalPath(path))) {
        for (const auto& [folded, child] : node->children) names.push_back(External(child->name));
    }
    return names;
}

std::optional<ValueData> MemoryRegistry::GetValue(std::uint32_t root, std::string_view path,
                                                  std::string_view name) const {
    const std::shared_ptr<Node> node = Walk(root, InternalPath(path));
    if (!node) return std::nullopt;
    const auto it = node->values.find(ValueKey(name));
    if (it == node->values.end()) return std::nullopt;
    return it->second.second;
}

std::optional<std::string> MemoryRegistry::ClassName(std::uint32_t root,
                                                     std::string_view path) const {
    const std::shared_ptr<Node> node = Walk(root, InternalPath(path));
    if (!node) return std::nullopt;
    return node->className;
}

RegistrySnapshot MemoryRegistry::Snapshot() const {
    RegistrySnapshot snapshot;
    auto add = [this, &snapshot](auto& self, const Node& node, const std::string& path) -> void {
        KeySnapshot& key = snapshot[path];
        key.className = node.className;
        for (const auto& [folded, value] : node.values) key.values[value.first] = value.second;
        for (const auto& [folded, child] : node.children) {
            self(self, *child, path + "\\" + External(child->name));
        }
    };
    add(add, *localMachine_, localMachine_->name);
    add(add, *currentUser_, currentUser_->name);
    return snapshot;
}

std::size_t MemoryRegistry::OpenHandleCount() const { return handles_.size(); }

std::size_t MemoryRegistry::CallCount(std::string_view operation) const {
    const auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
}

void MemoryRegistry::ResetCallCounts() { calls_.clear(); }

void MemoryRegistry::DenyAccess(std::uint32_t root, std::string_view path, Denial denial) {
    denials_.push_back(DenyRule{root, FoldPath(InternalPath(path)), denial});
}

void MemoryRegistry::FailEnumeration(std::uint32_t root, std::string_view path, std::uint32_t index,
                                     RegStatus code) {
    enumFaults_.push_back(EnumFault{root, FoldPath(InternalPath(path)), index, code});
}

void MemoryRegistry::RemoveAfterEnumeration(std::uint32_t root, std::string_view parentPath,
                                            std::string_view subkeyName) {
    removals_.push_back(
        RemovalHook{root, FoldPath(InternalPath(parentPath)), ChildKey(Internal(subkeyName))});
}

void MemoryRegistry::ClearFaults() {
    denials_.clear();
    enumFaults_.clear();
    removals_.clear();
    notifyFault_ = kErrorSuccess;
}

void MemoryRegistry::SetSeparateViews(bool separate) { separateViews_ = separate; }

}  // namespace velmora::platform::memory

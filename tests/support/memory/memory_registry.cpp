#include "support/memory/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <span>
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

// An ASCII letter as the registry compares it.
unsigned char Upper(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// UTF-8 names compared as NT compares keys, letters folded to upper case;
// no byte of a longer character is ASCII.  The order of these forms is the
// order NT keeps subkeys in (their upper-cased UTF-16 names) for every name
// within the BMP.
struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return Upper(x) < Upper(y); });
    }
};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsWith(std::span<const std::string> path, const std::vector<std::string>& prefix) {
    return prefix.size() <= path.size() &&
           std::equal(prefix.begin(), prefix.end(), path.begin(), SameName);
}

bool SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && StartsWith(a, b);
}

// A path in UTF-8 as its names; nullopt when it is malformed.
std::optional<std::vector<std::string>> SplitPath(std::string_view utf8) {
    const auto parts = SplitKeyPath(utf8, NameBytes::kUtf8);
    if (!parts) return std::nullopt;
    return std::vector<std::string>(parts->begin(), parts->end());
}

// The converter of a code page, opened once for all registries (opening one
// costs more than a small test's registry calls), which live on one thread.
const IconvCodePage& ConverterFor(unsigned codePage) {
    static std::map<unsigned, IconvCodePage> converters;
    return converters.try_emplace(codePage, codePage).first->second;
}

// Every Windows code page, and UTF-8, keeps ASCII as it is.
bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
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
    using Children = std::map<std::string, std::shared_ptr<Node>, NameLess>;  // by name as stored

    std::string narrow;  // the name as the 8-bit calls give it, made once
    std::string className;
    Children children;
    // By name in UTF-8: the name in the code page as first stored, and the data.
    std::map<std::string, std::pair<std::string, ValueData>, NameLess> values;
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
        for (auto& [name, child] : children) child->MarkDeleted();
    }
    // Removes a child with everything below it.
    void Remove(Children::iterator child) {
        child->second->MarkDeleted();
        children.erase(child);
        ChildrenChanged();
    }

  private:
    Children::iterator cursor_;
    std::size_t cursorIndex_ = 0;
    bool cursorValid_ = false;
};

MemoryRegistry::MemoryRegistry(unsigned codePage)
    : localMachine_(std::make_shared<Node>()),
      currentUser_(std::make_shared<Node>()),
      names_(ConverterFor(codePage)),
      utf8_(ConverterFor(65001)) {
    localMachine_->narrow = "HKEY_LOCAL_MACHINE";
    currentUser_->narrow = "HKEY_CURRENT_USER";
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::Count(std::string_view operation) {
    auto it = calls_.find(operation);
    if (it == calls_.end()) it = calls_.emplace(std::string(operation), 0).first;
    ++it->second;
}

std::string MemoryRegistry::Internal(std::string_view bytes) const {
    return IsAscii(bytes) ? std::string(bytes) : utf8_.ToNarrow(names_.ToWide(bytes));
}

std::string MemoryRegistry::External(std::string_view utf8) const {
    return IsAscii(utf8) ? std::string(utf8) : names_.ToNarrow(utf8_.ToWide(utf8));
}

const MemoryRegistry::Path& MemoryRegistry::InternalPath(std::string_view path) const {
    // Seeding names one key several times in a row: it is split once.
    if (path != parsedText_) {
        parsed_ = SplitPath(Internal(path)).value_or(Path{});
        parsedText_ = path;
    }
    return parsed_;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::RootNode(std::uint32_t root) const {
    if (root == kHKeyLocalMachine) return localMachine_;
    if (root == kHKeyCurrentUser) return currentUser_;
    return nullptr;
}

RegStatus MemoryRegistry::Resolve(RegHandle key, const OpenKey** open) const {
    if (const auto root = PredefinedRoot(key)) {
        rootKey_ = OpenKey{*root, View::k64, {}, false, RootNode(*root), MaximumAllowed(*root, {})};
        *open = &rootKey_;
        return kErrorSuccess;
    }
    const auto it = FindHandle(key);
    if (it == handles_.end()) return kErrorInvalidHandle;
    if (it->second.node->deleted) return kErrorKeyDeleted;
    *open = &it->second;
    return kErrorSuccess;
}

MemoryRegistry::View MemoryRegistry::ViewOf(std::uint32_t samDesired, View handleView) {
    if ((samDesired & kKeyWow64_32Key) != 0) return View::k32;
    if ((samDesired & kKeyWow64_64Key) != 0) return View::k64;
    return handleView;
}

bool MemoryRegistry::Redirect(std::uint32_t root, Path& path, View view) const {
    if (!separateViews_ || view == View::k64 || root != kHKeyLocalMachine || path.empty() ||
        !SameName(path[0], "SOFTWARE") || (path.size() >= 2 && SameName(path[1], "WOW6432NODE"))) {
        return false;
    }
    path.insert(path.begin() + 1, "WOW6432Node");
    return true;
}

std::optional<MemoryRegistry::Path> MemoryRegistry::Below(const OpenKey& key,
                                                          std::string_view subKey) {
    const auto parts = SplitKeyPath(subKey, NameBytes::kUtf8);
    if (!parts) return std::nullopt;
    Path path;
    path.reserve(key.physical.size() + parts->size() + 1);
    for (std::size_t i = 0; i < key.physical.size(); ++i) {
        if (!key.redirected || i != 1) path.push_back(key.physical[i]);
    }
    path.insert(path.end(), parts->begin(), parts->end());
    return path;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Walk(
    std::uint32_t root, std::span<const std::string> physical) const {
    std::shared_ptr<Node> node = RootNode(root);
    for (const std::string& part : physical) {
        if (!node) return nullptr;
        const auto it = node->children.find(part);
        node = it == node->children.end() ? nullptr : it->second;
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::NewChild(Node& parent,
                                                               const std::string& name) {
    auto child = std::make_shared<Node>();
    child->narrow = External(name);
    parent.children.emplace(name, child);
    parent.ChildrenChanged();
    Changed(parent, kRegNotifyChangeName);
    return child;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::WalkOrCreate(std::uint32_t root,
                                                                   const Path& path,
                                                                   bool* created) {
    std::shared_ptr<Node> node = RootNode(root);
    if (created != nullptr) *created = false;
    if (!node) return nullptr;
    for (const std::string& part : path) {
        const auto it = node->children.find(part);
        const bool absent = it == node->children.end();
        node = absent ? NewChild(*node, part) : it->second;
        if (created != nullptr) *created = absent;
    }
    return node;
}

std::uint32_t MemoryRegistry::MaximumAllowed(std::uint32_t root,
                                             std::span<const std::string> physical) const {
    std::uint32_t allowed = kKeyAllAccess;
    for (const DenyRule& rule : denials_) {
        if (rule.root != root || !StartsWith(physical, rule.path)) continue;
        allowed &= rule.denial == Denial::kAll ? 0 : kKeyRead;
    }
    return allowed;
}

MemoryRegistry::Handles::const_iterator MemoryRegistry::FindHandle(RegHandle key) const {
    const auto it =
        std::lower_bound(handles_.begin(), handles_.end(), key,
                         [](const auto& entry, RegHandle h) { return entry.first < h; });
    return it != handles_.end() && it->first == key ? it : handles_.end();
}

RegHandle MemoryRegistry::AddHandle(OpenKey open) {
    const RegHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace_back(handle, std::move(open));
    return handle;
}

RegStatus MemoryRegistry::OpenOrCreate(RegHandle key, std::string_view subKey,
                                       std::uint32_t samDesired, bool create, const char* className,
                                       RegHandle* result, std::uint32_t* disposition) {
    const OpenKey* parent = nullptr;
    if (const RegStatus status = Resolve(key, &parent); status != kErrorSuccess) return status;
    if (result == nullptr) return kErrorInvalidParameter;
    auto below = Below(*parent, subKey);
    if (!below) return kErrorBadPathname;
    if ((samDesired & kKeyWow64Views) == kKeyWow64Views) return kErrorInvalidParameter;

    const View view = ViewOf(samDesired, parent->view);
    Path& physical = *below;
    const bool redirected = Redirect(parent->root, physical, view);

    // The deepest existing key along the path.
    std::shared_ptr<Node> node = RootNode(parent->root);
    std::size_t depth = 0;
    for (; depth < physical.size(); ++depth) {
        const auto it = node->children.find(physical[depth]);
        if (it == node->children.end()) break;
        node = it->second;
    }
    const bool exists = depth == physical.size();
    if (!exists && !create) return kErrorFileNotFound;

    const std::uint32_t allowed = MaximumAllowed(parent->root, physical);
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
            const std::uint32_t parentRights =
                level == depth && node == parent->node
                    ? parent->granted
                    : MaximumAllowed(parent->root, std::span(physical).first(level));
            if ((parentRights & kKeyCreateSubKey) == 0) return kErrorAccessDenied;
        }
        for (std::size_t level = depth; level < physical.size(); ++level)
            node = NewChild(*node, physical[level]);
        if (className != nullptr) node->className = className;
    }
    if (disposition != nullptr) *disposition = exists ? kRegOpenedExistingKey : kRegCreatedNewKey;
    *result =
        AddHandle(OpenKey{parent->root, view, std::move(physical), redirected, node, requested});
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
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open->granted & kKeyEnumerateSubKeys) == 0) return kErrorAccessDenied;
    for (const EnumFault& fault : enumFaults_) {
        if (fault.root == open->root && fault.index == index &&
            SamePath(fault.path, open->physical))
            return fault.code;
    }
    Node& node = *open->node;
    if (index >= node.children.size()) return kErrorNoMoreItems;
    if (name == nullptr) return kErrorInvalidParameter;
    const auto it = node.ChildAt(index);
    const std::string& childName = it->second->narrow;
    if (childName.size() + 1 > nameSize) return kErrorMoreData;
    std::memcpy(name, childName.c_str(), childName.size() + 1);

    const auto hook = std::find_if(removals_.begin(), removals_.end(), [&](const RemovalHook& h) {
        return h.root == open->root && SameName(h.name, it->first) &&
               SamePath(h.parent, open->physical);
    });
    if (hook != removals_.end()) {
        removals_.erase(hook);
        node.Remove(it);
        Changed(node, kRegNotifyChangeName);
    }
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegQueryValueExA(RegHandle key, const char* valueName,
                                           std::uint32_t* reserved, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* dataSize) {
    Count("RegQueryValueExA");
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) {
        return kErrorInvalidParameter;
    }
    if ((open->granted & kKeyQueryValue) == 0) return kErrorAccessDenied;
    const auto it = open->node->values.find(Internal(valueName == nullptr ? "" : valueName));
    if (it == open->node->values.end()) return kErrorFileNotFound;
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
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if (subKey == nullptr) return kErrorInvalidParameter;
    auto below = Below(*open, Internal(subKey));
    if (!below) return kErrorBadPathname;
    Path& physical = *below;
    Redirect(open->root, physical, ViewOf(samDesired, open->view));
    // An empty name deletes the opened key itself; a root cannot go.
    if (physical.empty()) return kErrorAccessDenied;
    const std::shared_ptr<Node> parent =
        Walk(open->root, std::span(physical).first(physical.size() - 1));
    const auto it = parent ? parent->children.find(physical.back()) : Node::Children::iterator{};
    if (!parent || it == parent->children.end()) return kErrorFileNotFound;
    if ((MaximumAllowed(open->root, physical) & kDelete) == 0) return kErrorAccessDenied;
    if (!it->second->children.empty()) return kErrorAccessDenied;
    parent->Remove(it);
    Changed(*parent, kRegNotifyChangeName);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::EnumValue(RegHandle key, std::uint32_t index, std::string* name,
                                    ValueData* value) {
    Count("RegEnumValue");
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open->granted & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (index >= open->node->values.size()) return kErrorNoMoreItems;
    const auto& [stored, data] =
        std::next(open->node->values.begin(), static_cast<std::ptrdiff_t>(index))->second;
    *name = stored;
    *value = data;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::OpenKeyW(RegHandle key, std::wstring_view subKey,
                                   std::uint32_t samDesired, RegHandle* result) {
    Count("RegOpenKeyExW");
    return OpenOrCreate(key, utf8_.ToNarrow(subKey), samDesired, false, nullptr, result, nullptr);
}

RegStatus MemoryRegistry::EnumKeyW(RegHandle key, std::uint32_t index, std::wstring* name) {
    Count("RegEnumKeyExW");
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open->granted & kKeyEnumerateSubKeys) == 0) return kErrorAccessDenied;
    if (index >= open->node->children.size()) return kErrorNoMoreItems;
    *name = utf8_.ToWide(open->node->ChildAt(index)->first);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegCloseKey(RegHandle key) {
    Count("RegCloseKey");
    if (PredefinedRoot(key)) return kErrorSuccess;
    const auto it = FindHandle(key);
    if (it == handles_.end()) return kErrorInvalidHandle;
    handles_.erase(it);
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
    const OpenKey* open = nullptr;
    if (const RegStatus status = Resolve(key, &open); status != kErrorSuccess) return status;
    if ((open->granted & kKeyNotify) == 0) return kErrorAccessDenied;
    if (notifyFault_ != kErrorSuccess) return notifyFault_;
    // Only the asynchronous form of the key alone: a synchronous one would
    // block the caller, and the program never watches a whole tree.
    if (!asynchronous || watchSubtree || event == 0) return kErrorInvalidParameter;
    watches_.push_back(Watch{key, open->node, notifyFilter, event});
    return kErrorSuccess;
}

void MemoryRegistry::Changed(const Node& node, std::uint32_t filter) {
    ++revision_;
    std::erase_if(watches_, [&](const Watch& watch) {
        const bool concerned =
            watch.node->deleted || ((watch.filter & filter) != 0 && watch.node.get() == &node);
        if (concerned) setEvents_.insert(watch.event);
        return concerned;
    });
}

void MemoryRegistry::AddKey(std::uint32_t root, std::string_view path, std::string_view className) {
    bool created = false;
    const std::shared_ptr<Node> node = WalkOrCreate(root, InternalPath(path), &created);
    if (created) node->className = className;
}

void MemoryRegistry::AddKey(std::uint32_t root, std::wstring_view path) {
    WalkOrCreate(root, SplitPath(utf8_.ToNarrow(path)).value_or(Path{}));
}

void MemoryRegistry::Store(std::uint32_t root, const Path& path, std::string_view name,
                           std::uint32_t type, std::vector<std::uint8_t> bytes) {
    const std::shared_ptr<Node> node = WalkOrCreate(root, path);
    if (!node) return;
    const std::string key = Internal(name);
    auto it = node->values.find(key);
    if (it == node->values.end())
        it = node->values.emplace(key, std::pair(std::string(name), ValueData{})).first;
    it->second.second = ValueData{type, std::move(bytes)};
    Changed(*node, kRegNotifyChangeLastSet);
}

void MemoryRegistry::SetValue(std::uint32_t root, std::wstring_view path, std::string_view name,
                              std::uint32_t type, std::vector<std::uint8_t> bytes) {
    Store(root, SplitPath(utf8_.ToNarrow(path)).value_or(Path{}), name, type, std::move(bytes));
}

void MemoryRegistry::SetValue(std::uint32_t root, std::string_view path, std::string_view name,
                              std::uint32_t type, std::vector<std::uint8_t> bytes) {
    Store(root, InternalPath(path), name, type, std::move(bytes));
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
    const Path& parts = InternalPath(path);
    if (parts.empty()) return false;
    const std::shared_ptr<Node> parent = Walk(root, std::span(parts).first(parts.size() - 1));
    if (!parent) return false;
    const auto it = parent->children.find(parts.back());
    if (it == parent->children.end()) return false;
    parent->Remove(it);
    Changed(*parent, kRegNotifyChangeName);
    return true;
}

bool MemoryRegistry::KeyExists(std::uint32_t root, std::string_view path) const {
    const auto parts = SplitPath(Internal(path));
    return parts && Walk(root, *parts) != nullptr;
}

std::vector<std::string> MemoryRegistry::SubkeyNames(std::uint32_t root,
                                                     std::string_view path) const {
    std::vector<std::string> names;
    if (const std::shared_ptr<Node> node = Walk(root, InternalPath(path))) {
        for (const auto& [name, child] : node->children) names.push_back(child->narrow);
    }
    return names;
}

std::optional<ValueData> MemoryRegistry::GetValue(std::uint32_t root, std::string_view path,
                                                  std::string_view name) const {
    const std::shared_ptr<Node> node = Walk(root, InternalPath(path));
    if (!node) return std::nullopt;
    const auto it = node->values.find(Internal(name));
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
    std::string path;  // of the key being added, grown and cut back in place
    auto add = [&](auto& self, const Node& node) -> void {
        KeySnapshot& key = snapshot[path];
        key.className = node.className;
        for (const auto& [name, value] : node.values) key.values.insert(value);
        for (const auto& [name, child] : node.children) {
            const std::size_t length = path.size();
            path.append("\\").append(child->narrow);
            self(self, *child);
            path.resize(length);
        }
    };
    for (const Node* root : {localMachine_.get(), currentUser_.get()}) {
        path = root->narrow;
        add(add, *root);
    }
    return snapshot;
}

std::size_t MemoryRegistry::OpenHandleCount() const { return handles_.size(); }

std::size_t MemoryRegistry::CallCount(std::string_view operation) const {
    const auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
}

void MemoryRegistry::ResetCallCounts() { calls_.clear(); }

void MemoryRegistry::DenyAccess(std::uint32_t root, std::string_view path, Denial denial) {
    denials_.push_back(DenyRule{root, InternalPath(path), denial});
}

void MemoryRegistry::FailEnumeration(std::uint32_t root, std::string_view path, std::uint32_t index,
                                     RegStatus code) {
    enumFaults_.push_back(EnumFault{root, InternalPath(path), index, code});
}

void MemoryRegistry::RemoveAfterEnumeration(std::uint32_t root, std::string_view parentPath,
                                            std::string_view subkeyName) {
    removals_.push_back(RemovalHook{root, InternalPath(parentPath), Internal(subkeyName)});
}

void MemoryRegistry::ClearFaults() {
    denials_.clear();
    enumFaults_.clear();
    removals_.clear();
    notifyFault_ = kErrorSuccess;
}

void MemoryRegistry::SetSeparateViews(bool separate) { separateViews_ = separate; }

}  // namespace velmora::platform::memory

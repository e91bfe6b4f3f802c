#include "platform/win32/ui/accessible_descriptions.h"

#include <algorithm>

#include "platform/win32/common/module_function.h"
#include "platform/win32/common/system_library.h"

namespace velmora::platform::win32 {
namespace {

// From the interface's documentation; defined here so that nothing links
// oleacc.dll, which only COM loads, and only when a line gets a description.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kDescription = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

}  // namespace

void AccessibleDescriptions::Set(int index, const wchar_t* text) {
    const auto child = static_cast<DWORD>(index + 1);
    if (*text == L'\0') {
        Remove(child);
        return;
    }
    IAccPropServices* services = Services();
    if (services == nullptr) return;
    if (SUCCEEDED(services->SetHwndPropStr(control_, static_cast<DWORD>(OBJID_CLIENT), child,
                                           kDescription, text)) &&
        std::find(described_.begin(), described_.end(), child) == described_.end()) {
        described_.push_back(child);
    }
}

void AccessibleDescriptions::RemoveAll() {
    while (!described_.empty()) Remove(described_.back());
}

void AccessibleDescriptions::Remove(DWORD child) {
    const auto found = std::find(described_.begin(), described_.end(), child);
    if (found == described_.end()) return;
    described_.erase(found);
    // A description that cannot be removed stays with a line that moved:
    // the next one set for that line replaces it.
    static_cast<void>(services_.get()->ClearHwndProps(control_, static_cast<DWORD>(OBJID_CLIENT),
                                                      child, &kDescription, 1));
}

IAccPropServices* AccessibleDescriptions::Services() {
    if (services_ || unavailable_) return services_.get();
    // Tried once: where COM or the service is missing, it stays missing.
    unavailable_ = true;
    OnDemandFunction<decltype(&::CoInitializeEx)> initialize{LoadSystemLibrary, L"ole32.dll",
                                                             "CoInitializeEx"};
    OnDemandFunction<decltype(&::CoCreateInstance)> create{LoadSystemLibrary, L"ole32.dll",
                                                           "CoCreateInstance"};
    if (initialize.Get() == nullptr || create.Get() == nullptr) return nullptr;
    if (!EnsureComOnThisThread(initialize.Get())) return nullptr;
    void* services = nullptr;
    if (FAILED(create.Get()(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                            &services))) {
        return nullptr;
    }
    services_ = UniqueCom<IAccPropServices>(static_cast<IAccPropServices*>(services));
    unavailable_ = false;
    return services_.get();
}

}  // namespace velmora::platform::win32

#include "platform/win32/ui/program_icon.h"

namespace velmora::platform::win32 {

// A missing icon leaves a window without one; it is not worth failing for.
HICON LoadClassIcon(HINSTANCE instance, const wchar_t* resource) {
    if (resource == nullptr) return nullptr;
    return ::LoadIconW(instance, resource);
}

UniqueHicon LoadPictureIcon(HINSTANCE instance, const wchar_t* resource) {
    if (resource == nullptr) return UniqueHicon();
    return UniqueHicon(static_cast<HICON>(::LoadImageW(
        instance, resource, IMAGE_ICON, kProgramIconPixels, kProgramIconPixels, LR_DEFAULTCOLOR)));
}

void ShowIcon(HWND picture, HICON icon) {
    if (picture != nullptr && icon != nullptr) {
        ::SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
}

}  // namespace velmora::platform::win32

#include "platform/win32/ui/unexpected_error.h"

#include <cstring>
#include <string>

#include "platform/win32/ui/message_box_title.h"

namespace velmora::platform::win32 {

void ReportUnexpectedError(HWND owner, const char* detail) noexcept {
    try {
        std::wstring text = kUnexpectedErrorMessage;
        const int length = detail != nullptr ? static_cast<int>(std::strlen(detail)) : 0;
        if (length > 0) {
            const int wide = ::MultiByteToWideChar(CP_ACP, 0, detail, length, nullptr, 0);
            if (wide > 0) {
                std::wstring converted(static_cast<std::size_t>(wide), L'\0');
                ::MultiByteToWideChar(CP_ACP, 0, detail, length, converted.data(), wide);
                text += L"\n\n" + converted;
            }
        }
        // The last resort: a box that cannot be shown leaves nothing to tell.
        static_cast<void>(::MessageBoxW(::IsWindow(owner) ? owner : nullptr, text.c_str(),
                                        kMessageBoxTitle, MB_OK));
    } catch (...) {
        // Out of memory for the text: the plain sentence still fits.
        static_cast<void>(::MessageBoxW(nullptr, kUnexpectedErrorMessage, kMessageBoxTitle, MB_OK));
    }
}

}  // namespace velmora::platform::win32

// Owners of the user32/gdi32 handles the windows create: fonts and icons
// loaded at a chosen size.  (Shared icons from LoadIcon belong to the system
// and are not owned; child windows belong to their parent.)
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

struct FontTraits {
    using Handle = HFONT;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle font) const { return font != nullptr; }
    void Close(Handle font) const { static_cast<void>(::DeleteObject(font)); }
};

struct IconTraits {
    using Handle = HICON;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle icon) const { return icon != nullptr; }
    void Close(Handle icon) const { static_cast<void>(::DestroyIcon(icon)); }
};

using UniqueHfont = UniqueOwner<FontTraits>;
using UniqueHicon = UniqueOwner<IconTraits>;

}  // namespace velmora::platform::win32

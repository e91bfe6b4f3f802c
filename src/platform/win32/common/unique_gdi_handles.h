// Owners of the user32/gdi32 handles the windows create: fonts and icons
// loaded at a chosen size.  (Shared icons from LoadIcon belong to the system
// and are not owned; child windows belong to their parent.)
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

using UniqueHfont = UniqueOwner<NullHandleTraits<HFONT, &::DeleteObject>>;
using UniqueHicon = UniqueOwner<NullHandleTraits<HICON, &::DestroyIcon>>;

}  // namespace velmora::platform::win32

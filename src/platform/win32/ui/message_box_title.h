// The caption of every message box the program shows.
#pragma once

namespace velmora::platform::win32 {

inline constexpr wchar_t kMessageBoxTitle[] = L"Velmora";

}  // namespace velmora::platform::win32

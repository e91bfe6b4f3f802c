// The version dialog's behaviour; its window lives in the platform layer.
#pragma once

#include "platform/application.h"
#include "platform/geometry.h"

namespace velmora::windowing {

inline constexpr wchar_t kVersionCaption[] = L"バージョン情報";
inline constexpr wchar_t kProgramTitle[] = L"Velmora Ver 1.0.3";
inline constexpr wchar_t kTargetSystems[] = L"for Windows95/98/NT";
inline constexpr wchar_t kRightsNotice[] = L"(C) 2026 Velmora developers";
inline constexpr wchar_t kContactAddress[] = L"dev@example.org";

class VersionForm {
  public:
    VersionForm(const platform::Screen& screen, platform::FormWindow& window,
                platform::Unloadable& unloader)
        : screen_(screen), window_(window), unloader_(unloader) {}

    // Runs at every opening, before the dialog is shown.
    void Form_Load();
    void OkCommand_Click();

  private:
    const platform::Screen& screen_;
    platform::FormWindow& window_;
    platform::Unloadable& unloader_;
};

}  // namespace velmora::windowing

// The description screen readers give a list's lines, set through the
// system's Dynamic Annotation (IAccPropServices) without touching the
// list's own accessible object, which still names each line by its text.
// COM and the service are taken on first use.  Where the service is
// missing or refuses (Wine answers E_NOTIMPL), nothing happens: a
// description is an extra, and its absence is shown to nobody.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <vector>

#include "platform/win32/common/unique_com.h"

namespace velmora::platform::win32 {

class AccessibleDescriptions {
  public:
    explicit AccessibleDescriptions(HWND control) : control_(control) {}
    AccessibleDescriptions(const AccessibleDescriptions&) = delete;
    AccessibleDescriptions& operator=(const AccessibleDescriptions&) = delete;

    // The description of the line at index; an empty text removes it.
    void Set(int index, const wchar_t* text);
    // Removes every description set so far (the lines have moved).
    void RemoveAll();

  private:
    IAccPropServices* Services();
    void Remove(DWORD child);

    HWND control_;
    UniqueCom<IAccPropServices> services_;
    bool unavailable_ = false;
    std::vector<DWORD> described_;  // child ids: line index + 1
};

}  // namespace velmora::platform::win32

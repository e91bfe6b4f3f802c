// Suspends a list's redrawing while it is rebuilt.
#pragma once

#include "platform/controls.h"

namespace velmora::mainwindow {

// Redraw is off for the guard's lifetime and back on however it ends.
class ListUpdate {
  public:
    explicit ListUpdate(platform::ListBox& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

  private:
    platform::ListBox& list_;
};

}  // namespace velmora::mainwindow

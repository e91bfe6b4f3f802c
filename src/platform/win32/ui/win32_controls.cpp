#include "platform/win32/ui/win32_controls.h"

#include <stdexcept>
#include <string>

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/list_line_drawing.h"
#include "platform/win32/ui/message_box_title.h"

namespace velmora::platform::win32 {
namespace {

// A list box reports failure with LB_ERR or LB_ERRSPACE and sets no last
// error; the message's name for the report comes from the call site.
LRESULT SendListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, const char* name) {
    const LRESULT result = ::SendMessageW(list, message, wParam, lParam);
    if (result == LB_ERR || result == LB_ERRSPACE) {
        throw std::runtime_error(std::string("list box: ") + name + " failed");
    }
    return result;
}
#define VELMORA_LIST_MESSAGE(list, message, wParam, lParam) \
    SendListMessage(list, message, wParam, lParam, #message)

}  // namespace

void Win32ListBox::Clear() {
    notes_.clear();
    linesKnown_ = false;
    descriptions_.RemoveAll();
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

void Win32ListBox::AddLine(const std::wstring& text, std::int16_t slot) {
    linesKnown_ = false;
    const LRESULT index =
        VELMORA_LIST_MESSAGE(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    VELMORA_LIST_MESSAGE(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), slot);
}

int Win32ListBox::SelectedIndex() const {
    const LRESULT index = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

// LB_SETCURSEL sends no LBN_SELCHANGE: the window is not told.
void Win32ListBox::SetSelectedIndex(int index) {
    VELMORA_LIST_MESSAGE(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring Win32ListBox::LineText(int index) const {
    const LRESULT length =
        VELMORA_LIST_MESSAGE(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = VELMORA_LIST_MESSAGE(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::int16_t Win32ListBox::LineSlot(int index) const {
    // Slots are 0 to 32766, so LB_ERR (-1) is never a slot.
    return static_cast<std::int16_t>(
        VELMORA_LIST_MESSAGE(list_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void Win32ListBox::NoteLine(std::int16_t slot, const std::wstring& note) {
    if (note.empty()) {
        if (notes_.erase(slot) == 0) return;
    } else {
        notes_[slot] = note;
    }
    const int line = LineOfSlot(slot);
    if (line < 0) return;
    RECT box;
    RECT client;
    RECT shown;
    // Only that line is drawn again, over its own background; the window
    // around the list is not repainted.  A line out of view is drawn when it
    // scrolls in: invalidating it would only cost a call for each.
    if (::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(line),
                       reinterpret_cast<LPARAM>(&box)) != LB_ERR &&
        ::GetClientRect(list_, &client) && ::IntersectRect(&shown, &box, &client)) {
        // Fails only for a list that is gone.
        static_cast<void>(::InvalidateRect(list_, &shown, FALSE));
    }
    descriptions_.Set(line, note.c_str());
}

int Win32ListBox::LineOfSlot(std::int16_t slot) {
    if (!linesKnown_) {
        lineOfSlot_.clear();
        const LRESULT count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT line = 0; line < count; ++line) {
            const LRESULT data =
                ::SendMessageW(list_, LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
            if (data != LB_ERR)
                lineOfSlot_[static_cast<std::int16_t>(data)] = static_cast<int>(line);
        }
        linesKnown_ = true;
    }
    const auto found = lineOfSlot_.find(slot);
    return found == lineOfSlot_.end() ? -1 : found->second;
}

void Win32ListBox::DrawLine(const DRAWITEMSTRUCT& item) const {
    std::wstring text;
    std::wstring_view note;
    if (item.itemID != static_cast<UINT>(-1)) {
        // Read without throwing: a failure inside a repaint would come back
        // with every repaint.  A line that cannot be read is drawn empty.
        const LRESULT length = ::SendMessageW(list_, LB_GETTEXTLEN, item.itemID, 0);
        if (length > 0) {
            text.assign(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT copied = ::SendMessageW(list_, LB_GETTEXT, item.itemID,
                                                  reinterpret_cast<LPARAM>(text.data()));
            text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        }
        const auto found = notes_.find(static_cast<std::int16_t>(item.itemData));
        if (found != notes_.end()) note = found->second;
    }
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(list_, WM_GETFONT, 0, 0));
    DrawListLine(item, font, text, note, WindowDpi(list_));
}

void Win32ListBox::BeginUpdate() { ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }

void Win32ListBox::EndUpdate() {
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    // Only marks the list for repainting; a list that is gone needs none.
    static_cast<void>(
        ::RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE));
}

void Win32TextBox::SetText(const std::wstring& text) {
    VELMORA_WIN32_CHECK(::SetWindowTextW(edit_, text.c_str()));
}

int Win32MessageBoxes::Show(const std::wstring& text, std::uint32_t style) {
    return VELMORA_WIN32_CHECK(::MessageBoxW(owner_, text.c_str(), kMessageBoxTitle, style));
}

}  // namespace velmora::platform::win32

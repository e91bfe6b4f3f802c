#include "platform/win32/ui/win32_controls.h"

#include <stdexcept>
#include <string>

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/message_box_title.h"

namespace velmora::platform::win32 {
namespace {

LRESULT ListResultOrThrow(LRESULT result, const char* what) {
    if (result == LB_ERR || result == LB_ERRSPACE) {
        throw std::runtime_error(std::string("list box: ") + what + " failed");
    }
    return result;
}

}  // namespace

void Win32ListBox::Clear() { ::SendMessageW(list_, LB_RESETCONTENT, 0, 0); }

void Win32ListBox::AddLine(const std::wstring& text, std::int16_t slot) {
    const LRESULT index = ListResultOrThrow(
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())),
        "LB_ADDSTRING");
    ListResultOrThrow(::SendMessageW(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), slot),
                      "LB_SETITEMDATA");
}

int Win32ListBox::SelectedIndex() const {
    const LRESULT index = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::wstring Win32ListBox::LineText(int index) const {
    const LRESULT length = ListResultOrThrow(
        ::SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0), "LB_GETTEXTLEN");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ListResultOrThrow(::SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data())),
                          "LB_GETTEXT");
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::int16_t Win32ListBox::LineSlot(int index) const {
    // Slots are 0 to 256, so LB_ERR (-1) is never a slot.
    return static_cast<std::int16_t>(ListResultOrThrow(
        ::SendMessageW(list_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0), "LB_GETITEMDATA"));
}

void Win32ListBox::BeginUpdate() { ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }

void Win32ListBox::EndUpdate() {
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void Win32TextBox::SetText(const std::wstring& text) {
    if (!::SetWindowTextW(edit_, text.c_str())) ThrowLastError("SetWindowTextW");
}

int Win32MessageBoxes::Show(const std::wstring& text, std::uint32_t style) {
    const int answer = ::MessageBoxW(owner_, text.c_str(), kMessageBoxTitle, style);
    if (answer == 0) ThrowLastError("MessageBoxW");
    return answer;
}

}  // namespace velmora::platform::win32

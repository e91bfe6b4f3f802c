// The main window's frame and controls.  Lengths are twips, converted with
// the window's dpi (15 twips to a pixel at 96 dpi).
//
// Window class "ZentrelWindow", caption "Velmora Ver 1.0.3", style
// WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN
// (fixed size), WS_EX_CONTROLPARENT.  Controls, in creation (= z) order; the
// ones with WS_TABSTOP take the focus in this order.  Each label comes just
// before the control it names, which is how screen readers name a list box
// or an edit box; labels take no focus, so the tab order is not changed.
//
//   id    class    text                                  style
//   1007  STATIC   アンインストール可能プログラム一覧：  SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   1000  LISTBOX  (entries)            LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
//                                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
//                                       WS_VSCROLL | WS_BORDER | WS_TABSTOP
//                                       (drawn by the window, strings kept by the list)
//   1008  STATIC   コマンドライン情報：  SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   1001  EDIT     (command line)       ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP
//   1002  BUTTON   表示更新(&U)          BS_PUSHBUTTON | WS_TABSTOP
//   1003  BUTTON   情報の削除(&D)        BS_PUSHBUTTON | WS_TABSTOP
//   1004  BUTTON   追加と削除(&R)        BS_PUSHBUTTON | WS_TABSTOP
//   1005  BUTTON   バージョン情報(&V)    BS_PUSHBUTTON | WS_TABSTOP
//   1006  BUTTON   終了(&E)              BS_PUSHBUTTON | WS_TABSTOP
//   1009  STATIC   (program icon)       SS_ICON | SS_CENTERIMAGE
//
// No control has IDOK (1) or IDCANCEL (2): Enter presses only a focused
// button and Escape does nothing.
#pragma once

#include <windows.h>

#include "platform/win32/ui/form_window.h"

namespace velmora::platform::win32::main_window {

inline constexpr int kUninstallListId = 1000;
inline constexpr int kUninstallStringTextId = 1001;
inline constexpr int kUpdateCommandId = 1002;
inline constexpr int kListDelCommandId = 1003;
inline constexpr int kAddAndDelCommandId = 1004;
inline constexpr int kVersionCommandId = 1005;
inline constexpr int kEndCommandId = 1006;
inline constexpr int kListLabelId = 1007;
inline constexpr int kCommandLineLabelId = 1008;
inline constexpr int kImageId = 1009;

inline constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kLabelStyle = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

inline constexpr ControlLayout kControls[] = {
    {kListLabelId, L"STATIC", L"アンインストール可能プログラム一覧：", kLabelStyle, 120, 120, 3510,
     195, ControlFont::kForm, TextFit::kExact},
    {kUninstallListId, L"LISTBOX", L"",
     LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
         WS_VSCROLL | WS_BORDER | WS_TABSTOP,
     120, 360, 6435, 2940, ControlFont::kLarge},
    {kCommandLineLabelId, L"STATIC", L"コマンドライン情報：", kLabelStyle, 120, 3420, 1950, 195,
     ControlFont::kForm, TextFit::kExact},
    {kUninstallStringTextId, L"EDIT", L"",
     ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, 120, 3660, 8475, 375,
     ControlFont::kForm},
    {kUpdateCommandId, L"BUTTON", L"表示更新(&U)", kButtonStyle, 6780, 840, 1875, 375,
     ControlFont::kForm},
    {kListDelCommandId, L"BUTTON", L"情報の削除(&D)", kButtonStyle, 6780, 1320, 1875, 375,
     ControlFont::kForm},
    {kAddAndDelCommandId, L"BUTTON", L"追加と削除(&R)", kButtonStyle, 6780, 1800, 1875, 375,
     ControlFont::kForm},
    {kVersionCommandId, L"BUTTON", L"バージョン情報(&V)", kButtonStyle, 6780, 2460, 1875, 375,
     ControlFont::kForm},
    {kEndCommandId, L"BUTTON", L"終了(&E)", kButtonStyle, 6780, 2940, 1875, 375,
     ControlFont::kForm},
    {kImageId, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, 8100, 120, 480, 480,
     ControlFont::kNone},
};

inline constexpr FormLayout kLayout{
    .className = L"ZentrelWindow",
    .caption = L"Velmora Ver 1.0.3",
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
    .exStyle = WS_EX_CONTROLPARENT,
    .clientWidth = 8745,
    .clientHeight = 4140,
    .controls = kControls,
    .firstFocusId = kUninstallListId,
    .pictureId = kImageId,
    .classIcon = true};

}  // namespace velmora::platform::win32::main_window

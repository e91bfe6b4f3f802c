// The version dialog's frame and controls.  Lengths are twips, converted
// with the dialog's dpi (15 twips to a pixel at 96 dpi).
//
// Window class "VersionWindow", caption "バージョン情報", style WS_POPUP |
// WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT (no
// icon in the caption), owned by the main window.  Controls, in creation
// (= tab) order:
//
//   id    class   text                       style
//   2000  BUTTON  OK                         BS_PUSHBUTTON | WS_TABSTOP
//   2001  BUTTON  (none)                     BS_GROUPBOX | WS_CLIPSIBLINGS
//                                            (put at the bottom of the z-order)
//   2005  STATIC  velmora@example.org        SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   2004  STATIC  Copyright (C) ...          SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   2003  STATIC  for Windows95/98/NT        SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   2002  STATIC  Velmora Ver 1.0.3          SS_LEFTNOWORDWRAP | SS_NOPREFIX
//   2006  STATIC  (program icon)             SS_ICON | SS_CENTERIMAGE
//
// The labels lie inside the group box: their positions below are the box's
// top-left corner (720, 0) plus their offsets in it.  They keep their sizes
// unless their text is larger in the font actually selected (a substitute
// for "ＭＳ ゴシック" can be wider and taller); then they grow to fit it.
// OK is not IDOK, so Enter presses it only while it has the focus, and
// Escape does nothing.
#pragma once

#include <windows.h>

#include "platform/win32/ui/form_window.h"
#include "windowing/version_form.h"

namespace velmora::platform::win32::version_dialog {

inline constexpr int kOkCommandId = 2000;
inline constexpr int kFrameId = 2001;
inline constexpr int kTitleLabelId = 2002;
inline constexpr int kSystemsLabelId = 2003;
inline constexpr int kRightsLabelId = 2004;
inline constexpr int kContactLabelId = 2005;
inline constexpr int kImageId = 2006;

inline constexpr int kFrameLeft = 720;
inline constexpr int kFrameTop = 0;
inline constexpr DWORD kLabelStyle = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

inline constexpr ControlLayout kControls[] = {
    {kOkCommandId, L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP, 4800, 120, 1215, 315,
     ControlFont::kForm},
    {kFrameId, L"BUTTON", L"", BS_GROUPBOX | WS_CLIPSIBLINGS, kFrameLeft, kFrameTop, 3975, 1455,
     ControlFont::kSystem},
    {kContactLabelId, L"STATIC", windowing::kContactAddress, kLabelStyle, kFrameLeft + 120,
     kFrameTop + 1140, 1905, 195, ControlFont::kForm, TextFit::kAtLeast},
    {kRightsLabelId, L"STATIC", windowing::kRightsNotice, kLabelStyle, kFrameLeft + 120,
     kFrameTop + 840, 3675, 195, ControlFont::kForm, TextFit::kAtLeast},
    {kSystemsLabelId, L"STATIC", windowing::kTargetSystems, kLabelStyle, kFrameLeft + 120,
     kFrameTop + 540, 3735, 195, ControlFont::kForm, TextFit::kAtLeast},
    {kTitleLabelId, L"STATIC", windowing::kProgramTitle, kLabelStyle, kFrameLeft + 120,
     kFrameTop + 240, 3585, 195, ControlFont::kForm, TextFit::kAtLeast},
    {kImageId, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, 60, 60, 480, 480, ControlFont::kNone},
};

// No icon in the caption; the group box goes under the labels it frames, so
// that it never paints over them.
inline constexpr FormLayout kLayout{.className = L"VersionWindow",
                                    .caption = windowing::kVersionCaption,
                                    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                    .exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                                    .clientWidth = 6105,
                                    .clientHeight = 1560,
                                    .controls = kControls,
                                    .firstFocusId = kOkCommandId,
                                    .pictureId = kImageId,
                                    .classIcon = false,
                                    .bottomId = kFrameId};

}  // namespace velmora::platform::win32::version_dialog

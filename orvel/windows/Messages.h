#pragma once
// Private window messages of the library. Hosts and other modules send
// some of them, so the values never change.
#include <windows.h>

namespace Windows {

// The current style changed: frames and menu bars re-read their keys.
constexpr UINT kMsgStyleChanged = 0x8901;
// The module that holds the caption-button tool-tip texts.
constexpr UINT kMsgCaptionButtonModule = 0x8902;
// A caption button's rectangle.
constexpr UINT kMsgCaptionButtonRect = 0x8904;
// Re-read the flat scroll bars (wParam: 0 horizontal, 1 vertical, 3 both;
// lParam: the SCROLLINFO mask), posted after anything that scrolls a window
// without a scroll message.
constexpr UINT kMsgScrollBarUpdate = 0x8905;
// Sent to a styled frame: widen the window until its caption text fits.
// It shares its value with the scroll-bar update; frames have no flat bars.
constexpr UINT kMsgFitToCaption = kMsgScrollBarUpdate;
// Sent to a styled header: wParam pixels (0 to 200) added to the height
// the native header asks for in its layout; a styled list view sends 20.
constexpr UINT kMsgHeaderExtraHeight = 0x8906;
// Posted with SC_CLOSE by the styled close button.
constexpr UINT kMsgPostClose = 0x07E8;

// WM_SYSCOMMAND that opens the system menu as a click on its icon does
// (SC_MOUSEMENU with the HTSYSMENU hit code).
constexpr WPARAM kScSystemMenuByMouse = SC_MOUSEMENU | HTSYSMENU;
// Language-module texts put before and after a styled frame's caption.
constexpr UINT kTextCaptionPrefix = 1100;
constexpr UINT kTextCaptionSuffix = 1101;

// The window style every styled window object is created with when it
// makes its own window: WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
constexpr DWORD kStyledWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

}  // namespace Windows

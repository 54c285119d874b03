#pragma once
// The dialog's and the image preview's pure computations, apart from any
// window so that they can be checked on their own.
#include "pardo/afx/Framework.h"

namespace Pardo {

// A constructor option counts only when it is exactly 1.
inline bool OptionSet(int value) { return value == 1; }

// Flags of a new dialog: the template flag with the pane, the strict path
// checks (0x3180a) when asked for.
PARDO_API DWORD InitialFlags(DWORD flags, bool showPanel, bool strictPaths);

// The preview square under the anchor (client coordinates of the dialog).
PARDO_API CRect PreviewSquare(const RECT& anchor, int width, int height);
// The square shrunk by one pixel on every side: the providers' clip.
PARDO_API CRect PreviewClip(const RECT& square);
// The check box under the square, as wide as the anchor.
PARDO_API CRect PreviewCheckBox(const RECT& anchor, const RECT& square);

// The description of the 1-based filter index in a filter list of
// description/pattern pairs that ends in an empty string; the first
// description when the index lies beyond the list.
PARDO_API CString FilterDescription(const char* filter, DWORD index);

// The extension of a path's last component with its dot ("" when none);
// steps by characters of the ANSI code page.
PARDO_API CString FileExtension(const char* path);

// Where an image of w by h pixels is drawn in the box (x, y, cx, cy):
// centred, scaled by cx / w when w > h, else by cy / h. False (nothing to
// draw) for an empty image or box.
PARDO_API bool ImagePlacement(int w, int h, int x, int y, int cx, int cy, CRect* placement);

}  // namespace Pardo

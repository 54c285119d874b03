#pragma once
// The menu palette: thirteen colours shared by every menu bar and popup of
// the process, derived from the system colours and overridden by the
// current style's "MenuBar" section; and the lock that guards it together
// with the popup-catching state.
#include <windows.h>
#include "../base/Export.h"

namespace Windows {

// Palette entries in their fixed order (also the order of GetZqMenuColor's
// arguments).
enum EMenuColor : int {
    kMenuFrame,
    kMenuBackground,
    kMenuMenu,
    kMenuHotBorder,
    kMenuHot,
    kMenuHotDark,
    kMenuPressed,
    kMenuGreyText,
    kMenuMenuText,
    kMenuSelMenuText,
    kMenuButtonText,
    kMenuSelButtonText,
    kMenuShadow,
    kMenuColorCount
};

// The style keys of the entries, in palette order.
ORVEL_API const wchar_t* MenuColorKey(int index) noexcept;

// Per channel: a + (b - a) * percent / 100, truncated toward zero, each
// channel kept to its low 8 bits.
ORVEL_API COLORREF BlendMenuColor(COLORREF a, COLORREF b, int percent) noexcept;

// The module's shared critical section, re-entrant for its owner.
class ORVEL_API CMenuLock {
public:
    CMenuLock() noexcept;
    ~CMenuLock();
    CMenuLock(const CMenuLock&) = delete;
    CMenuLock& operator=(const CMenuLock&) = delete;
    static CRITICAL_SECTION& Section() noexcept;
};

class ORVEL_API CMenuPalette {
public:
    static COLORREF Get(int index) noexcept;
    // Every entry from the system colours at the screen's depth.
    static void ComputeDefaults() noexcept;
    // Entries the current style's "MenuBar" section names with a valid colour.
    static void ApplyStyleOverrides() noexcept;
    // Depth that ComputeDefaults uses instead of the screen's (0: the screen).
    static void OverrideScreenDepth(int bitsPerPixel) noexcept;
    static int ScreenDepth() noexcept;
};

}  // namespace Windows

extern "C" {
// Reads the current style's "MenuBar" keys into the thirteen colours, in
// palette order; keys missing or invalid leave theirs alone. 1 when the
// style has the section, else 0.
ORVEL_API int GetZqMenuColor(COLORREF* frame, COLORREF* background, COLORREF* menu,
                             COLORREF* hotBorder, COLORREF* hot, COLORREF* hotDark,
                             COLORREF* pressed, COLORREF* greyText, COLORREF* menuText,
                             COLORREF* selMenuText, COLORREF* buttonText,
                             COLORREF* selButtonText, COLORREF* shadow);
// Paints rect with the style's "MenuBar" background for state; 0 when the
// style has no such painter.
ORVEL_API int ZqMenuDraw(HDC dc, int state, const RECT* rect, const RECT* clip);
}

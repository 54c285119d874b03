#include "MenuPalette.h"

#include "../base/Failure.h"
#include "../style/ImageArray.h"
#include "../resource/IniReader.h"
#include "../style/Painter.h"
#include "../windows/Buttons.h"
#include "../windows/StyledWnd.h"

namespace Windows {

namespace {

const wchar_t* const kKeys[kMenuColorCount] = {
    L"Frame",     L"Background", L"Menu",        L"HotBorder",  L"Hot",
    L"HotDark",   L"Pressed",    L"GreyText",    L"MenuText",   L"SelMenuText",
    L"ButtonText", L"SelButtonText", L"Shadow",
};

// At this depth and below the palette takes plain system colours: blends
// would dither on a palettized screen.
constexpr int kPalettizedDepth = 8;

COLORREF g_palette[kMenuColorCount] = {};
bool g_computed = false;
int g_depthOverride = 0;

struct SSection {
    SSection() noexcept { ::InitializeCriticalSection(&section); }
    ~SSection() { ::DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

BYTE BlendChannel(int a, int b, int percent) noexcept
{
    return static_cast<BYTE>((a + (b - a) * percent / 100) & 0xFF);
}

const Resource::CSection* MenuBarSection() noexcept
{
    Style::CPainter* painter = CurrentPainter(Style::CStyle::MenuBar);
    try {
        return painter ? painter->GetCustomSection() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

// The key's colour, or kNoColor when missing or unreadable.
COLORREF SectionColor(const Resource::CSection& section, int index) noexcept
{
    try {
        const Resource::CLine* line = section.FindLine(kKeys[index]);
        return line ? line->ReadContentAsColor() : Images::kNoColor;
    } catch (...) {
        return Images::kNoColor;
    }
}

}  // namespace

const wchar_t* MenuColorKey(int index) noexcept
{
    return index >= 0 && index < kMenuColorCount ? kKeys[index] : nullptr;
}

COLORREF BlendMenuColor(COLORREF a, COLORREF b, int percent) noexcept
{
    return RGB(BlendChannel(GetRValue(a), GetRValue(b), percent),
               BlendChannel(GetGValue(a), GetGValue(b), percent),
               BlendChannel(GetBValue(a), GetBValue(b), percent));
}

CRITICAL_SECTION& CMenuLock::Section() noexcept
{
    static SSection lock;
    return lock.section;
}

CMenuLock::CMenuLock() noexcept { ::EnterCriticalSection(&Section()); }
CMenuLock::~CMenuLock() { ::LeaveCriticalSection(&Section()); }

void CMenuPalette::OverrideScreenDepth(int bitsPerPixel) noexcept
{
    CMenuLock lock;
    g_depthOverride = bitsPerPixel;
}

int CMenuPalette::ScreenDepth() noexcept
{
    CMenuLock lock;
    if (g_depthOverride > 0)
        return g_depthOverride;
    HDC screen = ::GetDC(nullptr);
    int depth = screen ? ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES) : 32;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return depth;
}

COLORREF CMenuPalette::Get(int index) noexcept
{
    CMenuLock lock;
    if (!g_computed)
        ComputeDefaults();
    return index >= 0 && index < kMenuColorCount ? g_palette[index] : Images::kNoColor;
}

void CMenuPalette::ComputeDefaults() noexcept
{
    CMenuLock lock;
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const bool blend = ScreenDepth() > kPalettizedDepth;
    COLORREF* p = g_palette;
    p[kMenuFrame] = ::GetSysColor(COLOR_WINDOWFRAME);
    p[kMenuBackground] = blend ? BlendMenuColor(window, text, 3) : window;
    p[kMenuMenu] = blend ? BlendMenuColor(face, window, 20) : face;
    p[kMenuHotBorder] = ::GetSysColor(COLOR_HIGHLIGHT);
    p[kMenuHot] = blend ? BlendMenuColor(p[kMenuHotBorder], window, 70) : window;
    p[kMenuHotDark] = blend ? BlendMenuColor(p[kMenuHotBorder], window, 60) : window;
    p[kMenuPressed] = blend ? BlendMenuColor(p[kMenuHot], text, 20) : ::GetSysColor(COLOR_HIGHLIGHT);
    p[kMenuGreyText] = ::GetSysColor(COLOR_GRAYTEXT);
    p[kMenuMenuText] = text;
    p[kMenuSelMenuText] = ::GetSysColor(COLOR_MENUTEXT);
    p[kMenuButtonText] = ::GetSysColor(COLOR_BTNTEXT);
    p[kMenuSelButtonText] = ::GetSysColor(COLOR_MENUTEXT);
    p[kMenuShadow] = blend ? BlendMenuColor(face, text, 35) : ::GetSysColor(COLOR_GRAYTEXT);
    g_computed = true;
}

void CMenuPalette::ApplyStyleOverrides() noexcept
{
    CMenuLock lock;
    if (!g_computed)
        ComputeDefaults();
    const Resource::CSection* section = MenuBarSection();
    if (!section)
        return;
    for (int i = 0; i < kMenuColorCount; ++i) {
        COLORREF colour = SectionColor(*section, i);
        if (colour != Images::kNoColor)
            g_palette[i] = colour;
    }
}

}  // namespace Windows

extern "C" int GetZqMenuColor(COLORREF* frame, COLORREF* background, COLORREF* menu,
                              COLORREF* hotBorder, COLORREF* hot, COLORREF* hotDark,
                              COLORREF* pressed, COLORREF* greyText, COLORREF* menuText,
                              COLORREF* selMenuText, COLORREF* buttonText,
                              COLORREF* selButtonText, COLORREF* shadow)
{
    const Resource::CSection* section = Windows::MenuBarSection();
    if (!section)
        return 0;
    COLORREF* out[Windows::kMenuColorCount] = {frame,      background,  menu,        hotBorder,
                                               hot,        hotDark,     pressed,     greyText,
                                               menuText,   selMenuText, buttonText,  selButtonText,
                                               shadow};
    for (int i = 0; i < Windows::kMenuColorCount; ++i) {
        COLORREF colour = Windows::SectionColor(*section, i);
        if (out[i] && colour != Images::kNoColor)
            *out[i] = colour;
    }
    return 1;
}

extern "C" int ZqMenuDraw(HDC dc, int state, const RECT* rect, const RECT* clip)
{
    if (!rect || !Windows::HasPainterLook(Style::CStyle::MenuBar))
        return 0;
    Style::CPainter* painter = Windows::CurrentPainter(Style::CStyle::MenuBar);
    if (!painter)
        return 0;
    try {
        const RECT bounds = *rect;
        const RECT area = clip ? *clip : bounds;
        painter->DrawBackground(dc, state, bounds, area);
    } catch (...) {
        Base::ReportFailure("ZqMenuDraw", "painter failed");
    }
    return 1;
}

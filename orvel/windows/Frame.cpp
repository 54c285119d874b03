#include "Frame.h"

#include "../resource/ModuleResources.h"
#include "../resource/ResourceReader.h"

#include <windowsx.h>
#undef SubclassWindow
#include <commctrl.h>
#include <algorithm>
#include <new>
#include "../host/Global.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "Messages.h"

namespace Windows {

namespace FrameImpl {

unsigned int& ForbidStaticColor()
{
    static unsigned int forbid = 0;
    return forbid;
}

namespace {

enum { kCaption, kLeft, kRight, kBottom };

std::wstring LangString(UINT id)
{
    try {
        return COrvelGlobal::GetInstance().LoadLangString(id);
    } catch (...) {
        return {};
    }
}

SIZE ReadSize(const Resource::CSection* section, const wchar_t* key)
{
    SIZE size = {0, 0};
    if (const Resource::CLine* line = section ? section->FindLine(key) : nullptr)
        line->ReadContentAsSize(size);
    return size;
}

void ReadInt(const Resource::CSection* section, const wchar_t* key, int& value)
{
    if (const Resource::CLine* line = section ? section->FindLine(key) : nullptr)
        value = line->ReadContentAsInt();
}

// Removes from `region` the pixels of a rendered part that have the erase
// colour; `origin` is the part's place in the window.
void CutEraseColor(HRGN region, HDC partDC, HBITMAP bitmap, const RECT& part, COLORREF erase)
{
    int width = part.right - part.left, height = part.bottom - part.top;
    BITMAPINFO info = Base::TopDown32BitInfo(width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    if (!::GetDIBits(partDC, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS))
        return;
    DWORD key = (GetRValue(erase) << 16) | (GetGValue(erase) << 8) | GetBValue(erase);
    for (int y = 0; y < height; ++y) {
        const DWORD* row = &pixels[static_cast<size_t>(y) * width];
        for (int x = 0; x < width;) {
            if ((row[x] & 0xFFFFFF) != key) {
                ++x;
                continue;
            }
            int start = x;
            while (x < width && (row[x] & 0xFFFFFF) == key)
                ++x;
            Base::CRegionHandle run(::CreateRectRgn(part.left + start, part.top + y, part.left + x, part.top + y + 1));
            if (run)
                ::CombineRgn(region, region, run, RGN_DIFF);
        }
    }
}

// Removes from `region` the part of the corner square outside an ellipse
// of the given size placed in that corner.
void CutCorner(HRGN region, int x, int y, SIZE size, bool right, bool bottom)
{
    if (size.cx < 1 || size.cy < 1)
        return;
    int left = right ? x - size.cx : x, top = bottom ? y - size.cy : y;
    Base::CRegionHandle square(::CreateRectRgn(right ? x - size.cx / 2 : x, bottom ? y - size.cy / 2 : y,
                                               right ? x : x + size.cx / 2, bottom ? y : y + size.cy / 2));
    Base::CRegionHandle ellipse(::CreateEllipticRgn(left, top, left + size.cx + 1, top + size.cy + 1));
    if (square && ellipse) {
        ::CombineRgn(square, square, ellipse, RGN_DIFF);
        ::CombineRgn(region, region, square, RGN_DIFF);
    }
}

}  // namespace

}  // namespace FrameImpl

namespace FrameImpl {

template <int N>
CTitleButton<N>::CTitleButton(int hitCode, int part) : Glyph::CStyledGlyph(N + part), m_nHitCode(hitCode)
{
}

template <int N>
Glyph::CSize CTitleButton<N>::CalcSize(HDC dc, int, int, bool)
{
    SIZE size = {-1, -1};
    if (Style::CPainter* painter = GetPainter())
        size = painter->CalcSize(dc, {0, 0}, L"", 0);
    if (size.cx <= 0 || size.cy <= 0)
        size = {16, 16};
    return Glyph::CSize(size.cx, size.cy);
}

template <int N>
void CTitleButton<N>::SetRegion(HDC dc, const Glyph::CRect& rect)
{
    const int height = std::min<int>(CalcSize(dc, 0, 0, false).cy, rect.bottom - rect.top);
    const int top = rect.top + (rect.bottom - rect.top - height) / 2;
    Glyph::CStyledGlyph::SetRegion(dc, Glyph::CRect(rect.left, top, rect.right, top + height));
}

template <int N>
void CTitleButton<N>::DrawContent(HDC dc, const RECT* clip)
{
    Glyph::CRect drawRegion;
    if (Style::CPainter* painter = GetPainter(); painter && GetDrawRegion(drawRegion, clip))
        painter->DrawForeground(dc, m_rcRegion, drawRegion, PainterState(), L"", 0);
}

template <int N>
void CTitleButton<N>::SetButtonState(int state)
{
    m_nButtonState = state;
    ApplyLook();
}

template <int N>
void CTitleButton<N>::SetInactive(bool inactive)
{
    m_bInactive = inactive;
    ApplyLook();
}

template <int N>
void CTitleButton<N>::SetDisabled(bool disabled)
{
    m_bDisabled = disabled;
    ApplyLook();
}

// The frame repaints its caption itself once all buttons are set.
template <int N>
void CTitleButton<N>::ApplyLook()
{
    SetState((m_bDisabled ? kButtonDisabledState : m_nButtonState) + (m_bInactive ? kButtonInactiveOffset : 0), false);
}

template <int N>
CTitleAllButton<N>::CTitleAllButton(int hitCode, int part) : CTitleButton<N>(hitCode, part), m_nPart(part)
{
}

template <int N>
void CTitleAllButton<N>::SetRestore(bool restore)
{
    m_bRestore = restore;
    ApplyForm();
}

template <int N>
void CTitleAllButton<N>::SetCollapsed(bool collapsed)
{
    m_bCollapsed = collapsed && this->GetHitCode() == kHitMinimize;
    ApplyForm();
}

template <int N>
void CTitleAllButton<N>::ApplyForm()
{
    this->SetPainter(N + (IsRestore() ? kPartRestore : m_nPart), false);
}

template class CTitleButton<Style::CStyle::Frame>;
template class CTitleButton<Style::CStyle::DlgFrame>;
template class CTitleButton<Style::CStyle::XPDlgFrame>;
template class CTitleAllButton<Style::CStyle::Frame>;
template class CTitleAllButton<Style::CStyle::DlgFrame>;
template class CTitleAllButton<Style::CStyle::XPDlgFrame>;

}  // namespace FrameImpl

using namespace FrameImpl;

template <int N>
CStyledFrame<N>::CStyledFrame()
    : m_nCornerX(::GetSystemMetrics(SM_CYHSCROLL)), m_nCornerY(::GetSystemMetrics(SM_CXVSCROLL)),
      m_nIconWidth(::GetSystemMetrics(SM_CXSMICON)), m_nIconHeight(::GetSystemMetrics(SM_CYSMICON))
{
    m_buttons.m_bAutoDelete = true;
    ReadStyle();
}

template <int N>
CStyledFrame<N>::~CStyledFrame()
{
    for (SPart& part : m_parts)
        part.Free();
    if (m_hToolTip && ::IsWindow(m_hToolTip))
        ::DestroyWindow(m_hToolTip);
}

template <int N>
Style::CPainter* CStyledFrame<N>::Painter(int offset) const
{
    return CurrentPainter(N + offset);
}

template <int N>
void CStyledFrame<N>::ReadStyle()
{
    // Every key starts from its default, so a pack switch never keeps a
    // value only the previous pack gave.
    m_nCaptionHeight = 28;
    m_nButtonRight = 4;
    m_nButtonSpace = 0;
    m_nAlignLeft = m_nTitleOffset = 0;
    m_nButtonOffset = -1;
    m_nIconWidth = ::GetSystemMetrics(SM_CXSMICON);
    m_nIconHeight = ::GetSystemMetrics(SM_CYSMICON);
    m_nWidthEllipse = m_nHeightEllipse = 0;
    m_clrBack = m_clrStatic = CLR_INVALID;
    m_backBrush.Reset();
    Style::CPainter* caption = Painter(kPartTitle);
    if (const Resource::CSection* section = caption ? caption->GetCustomSection() : nullptr) {
        ReadInt(section, L"Height", m_nCaptionHeight);
        ReadInt(section, L"ButtonRight", m_nButtonRight);
        ReadInt(section, L"ButtonSpace", m_nButtonSpace);
        ReadInt(section, L"IconWidth", m_nIconWidth);
        ReadInt(section, L"IconHeight", m_nIconHeight);
        ReadInt(section, L"TitleOffset", m_nTitleOffset);
        ReadInt(section, L"ButtonOffset", m_nButtonOffset);
        ReadInt(section, L"AlignLeft", m_nAlignLeft);
    }
    // A negative size would turn the layout inside out.
    m_nCaptionHeight = std::max(m_nCaptionHeight, 0);
    m_nIconWidth = std::max(m_nIconWidth, 0);
    m_nIconHeight = std::max(m_nIconHeight, 0);

    Style::CPainter* frame = Painter(kPartFrame);
    const Resource::CSection* section = frame ? frame->GetCustomSection() : nullptr;
    ReadInt(section, L"WidthEllipse", m_nWidthEllipse);
    ReadInt(section, L"HeightEllipse", m_nHeightEllipse);
    m_szCorners[0] = ReadSize(section, L"TopLeftEllipse");
    m_szCorners[1] = ReadSize(section, L"TopRightEllipse");
    m_szCorners[2] = ReadSize(section, L"BottomLeftEllipse");
    m_szCorners[3] = ReadSize(section, L"BottomRightEllipse");
    RECT margins = {0, 0, 0, 0};
    if (!frame || !frame->GetContentMargins(margins))
        margins = {0, 0, 0, 0};
    m_nLeft = std::max<LONG>(margins.left, 0);
    m_nRight = std::max<LONG>(margins.right, 0);
    m_nBottom = std::max<LONG>(margins.bottom, 0);
    if (const Resource::CLine* line = section ? section->FindLine(L"BackColor") : nullptr) {
        m_clrBack = line->ReadContentAsColor();
        if (m_clrBack != CLR_INVALID)
            m_backBrush.Reset(::CreateSolidBrush(m_clrBack));
    }
    if (const Resource::CLine* line = section ? section->FindLine(L"StaticColor") : nullptr)
        m_clrStatic = line->ReadContentAsColor();
    m_clrField = m_clrFieldText = CLR_INVALID;
    if (const Resource::CLine* line = section ? section->FindLine(L"FieldColor") : nullptr)
        m_clrField = line->ReadContentAsColor();
    if (const Resource::CLine* line = section ? section->FindLine(L"FieldTextColor") : nullptr)
        m_clrFieldText = line->ReadContentAsColor();
    m_fieldBrush.Reset(m_clrField != CLR_INVALID ? ::CreateSolidBrush(m_clrField) : nullptr);
}

// A child dialog (a property page) lies inside its parent's client area: it
// keeps its size and takes only the background and static colours.
template <int N>
void CStyledFrame<N>::DropFrameOfChild()
{
    if (!this->m_hWnd || !(::GetWindowLongPtrW(this->m_hWnd, GWL_STYLE) & WS_CHILD))
        return;
    m_nLeft = m_nRight = m_nBottom = 0;
    m_nCaptionHeight = 0;
    m_nWidthEllipse = m_nHeightEllipse = 0;
    for (SIZE& corner : m_szCorners)
        corner = {0, 0};
}

template <int N>
void CStyledFrame<N>::BuildButtons(LONG_PTR style)
{
    m_pHot = m_pPressed = nullptr;
    m_buttons.ClearAllGlyph();
    if (!(style & WS_SYSMENU))
        return;
    std::vector<int> codes;
    if (style & WS_MINIMIZEBOX)
        codes.push_back(kHitMinimize);
    if (style & WS_MAXIMIZEBOX)
        codes.push_back(kHitMaximize);
    codes.push_back(kHitClose);
    if (m_nAlignLeft)
        std::reverse(codes.begin(), codes.end());
    for (int code : codes) {
        CTitleButton<N>* button = nullptr;
        if (code == kHitMinimize) {
            button = new CTitleAllButton<N>(code, kPartMin);
            button->SetRestore((style & WS_MINIMIZE) != 0);
        } else if (code == kHitMaximize) {
            button = new CTitleAllButton<N>(code, kPartMax);
            button->SetRestore(!(style & WS_MINIMIZE) && (style & WS_MAXIMIZE));
        } else {
            button = new CTitleButton<N>(code, kPartClose);
        }
        button->SetCollapsed(m_bCollapsed);
        m_buttons.AppendGlyph(button);
    }
    m_buttons.SetVessel(this);
}

template <int N>
bool CStyledFrame<N>::HasIcon() const
{
    return (::GetWindowLongPtrW(this->m_hWnd, GWL_STYLE) & WS_SYSMENU) && SmallIcon();
}

template <int N>
HICON CStyledFrame<N>::SmallIcon() const
{
    auto icon = reinterpret_cast<HICON>(::SendMessageW(this->m_hWnd, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrW(this->m_hWnd, GCLP_HICONSM));
    return icon;
}

template <int N>
void CStyledFrame<N>::Layout()
{
    RECT window;
    if (!::GetWindowRect(this->m_hWnd, &window))
        return;
    int width = window.right - window.left, height = window.bottom - window.top;
    int captionBottom = std::min(m_nCaptionHeight, height);
    m_parts[kCaption].rect = {0, 0, width, captionBottom};
    int sideBottom = std::max(captionBottom, height - m_nBottom);
    m_parts[kLeft].rect = {0, captionBottom, std::min(m_nLeft, width), sideBottom};
    m_parts[kRight].rect = {std::max(width - m_nRight, 0), captionBottom, width, sideBottom};
    m_parts[kBottom].rect = {0, sideBottom, width, height};

    Style::CPainter* caption = Painter(kPartTitle);
    RECT margins = {0, 0, 0, 0};
    bool hasMargins = caption && caption->GetContentMargins(margins);
    RECT area = m_parts[kCaption].rect;
    if (hasMargins) {
        area.right -= margins.right;
        area.top += margins.top;
        area.bottom -= margins.bottom;
    }
    // The group's natural size, placed by "ButtonRight" and "ButtonOffset".
    Base::CWindowDC dc(this->m_hWnd);
    m_buttons.SetGlyphSpace(m_nButtonSpace);
    const Glyph::CSize group = m_buttons.CalcSize(dc, 0, 0, true);
    int x = m_nAlignLeft ? area.left + m_nButtonRight : area.right - m_nButtonRight - group.cx;
    int y = m_nButtonOffset == -1 ? area.top + (area.bottom - area.top - group.cy) / 2
                                 : area.top + m_nButtonOffset;
    m_buttons.SetRegion(dc, Glyph::CRect(x, y, x + group.cx, y + group.cy));

    if (HasIcon() && m_nCaptionHeight > 0) {
        int left = hasMargins ? margins.left : 8, top = hasMargins ? margins.top : 4;
        m_rcIcon = {left, top, left + m_nIconWidth, top + m_nIconHeight};
    } else {
        m_rcIcon = {-1, -1, -1, -1};
    }
}

template <int N>
RECT CStyledFrame<N>::TextRect() const
{
    RECT margins = {0, 0, 0, 0};
    Style::CPainter* caption = Painter(kPartTitle);
    if (!caption || !caption->GetContentMargins(margins))
        margins = {0, 0, 0, 0};
    RECT text = m_parts[kCaption].rect;
    text.left += margins.left;
    text.right -= margins.right;
    text.top += margins.top;
    text.bottom -= margins.bottom;
    if (m_rcIcon.right >= 0)
        text.left = m_rcIcon.right + 4;
    if (m_buttons.GetGlyphCount()) {
        const RECT& group = m_buttons.GetRegion();
        if (m_nAlignLeft)
            text.left = std::max(text.left, group.right + 4);
        else
            text.right = std::min(text.right, group.left - 4);
    }
    text.left += m_nTitleOffset;
    text.right = std::max(text.right, text.left);
    return text;
}

template <int N>
void CStyledFrame<N>::RenderCaption()
{
    SPart& part = m_parts[kCaption];
    if (!part.dc)
        return;
    RECT rect = {0, 0, part.rect.right - part.rect.left, part.rect.bottom - part.rect.top};
    int state = m_nInactive ? 1 : 0;
    Style::CPainter* caption = Painter(kPartTitle);
    if (caption)
        caption->DrawBackground(part.dc, state, rect, rect);
    else
        ::FillRect(part.dc, &rect, ::GetSysColorBrush(m_nInactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION));
    if (m_rcIcon.right >= 0) {
        if (HICON icon = SmallIcon())
            ::DrawIconEx(part.dc, m_rcIcon.left, m_rcIcon.top, icon, m_nIconWidth, m_nIconHeight, 0,
                         nullptr, DI_NORMAL);
    }
    if (caption && !m_caption.empty()) {
        RECT text = TextRect();
        caption->DrawForeground(part.dc, text, text, state, m_caption);
    }
    bool disabled = (::GetWindowLongPtrW(this->m_hWnd, GWL_STYLE) & WS_DISABLED) != 0;
    ForEachButton([&](CTitleButton<N>& button) {
        button.SetInactive(m_nInactive != 0);
        button.SetDisabled(disabled);
    });
    // The group draws into the caption's bitmap, the vessel's context.
    HDC dc = GetVesselDC();
    m_buttons.Draw(dc, nullptr);
    ReleaseVesselDC(dc);
}

template <int N>
void CStyledFrame<N>::Render()
{
    {
        Base::CWindowDC windowDC(this->m_hWnd);
        if (!windowDC)
            return;
        for (SPart& part : m_parts)
            part.Prepare(windowDC);
    }
    RenderCaption();
    int state = m_nInactive ? 1 : 0;
    for (int index : {kLeft, kRight, kBottom}) {
        SPart& part = m_parts[index];
        if (!part.dc)
            continue;
        RECT rect = {0, 0, part.rect.right - part.rect.left, part.rect.bottom - part.rect.top};
        if (Style::CPainter* painter = Painter(kPartLeftBorder + index - kLeft))
            painter->DrawBackground(part.dc, state, rect, rect);
        else
            ::FillRect(part.dc, &rect, ::GetSysColorBrush(COLOR_ACTIVEBORDER));
    }
}

template <int N>
void CStyledFrame<N>::PaintNonClient(HRGN update)
{
    if (!::IsWindowVisible(this->m_hWnd))
        return;
    Base::CWindowDC dc(this->m_hWnd);
    if (!dc)
        return;
    // WM_NCPAINT's region (1: all of it) is in screen coordinates; the
    // clip is a copy of our own in window coordinates.
    if (update && update != reinterpret_cast<HRGN>(1)) {
        RECT window = {};
        ::GetWindowRect(this->m_hWnd, &window);
        Base::CRegionHandle clip(::CreateRectRgn(0, 0, 0, 0));
        if (clip && ::CombineRgn(clip, update, nullptr, RGN_COPY) != ERROR) {
            ::OffsetRgn(clip, -window.left, -window.top);
            ::SelectClipRgn(dc, clip);
        }
    }
    for (const SPart& part : m_parts) {
        if (part.dc)
            ::BitBlt(dc, part.rect.left, part.rect.top, part.rect.right - part.rect.left,
                     part.rect.bottom - part.rect.top, part.dc, 0, 0, SRCCOPY);
    }
}

template <int N>
void CStyledFrame<N>::RedrawCaption()
{
    RenderCaption();
    SPart& part = m_parts[kCaption];
    if (!part.dc || !::IsWindowVisible(this->m_hWnd))
        return;
    Base::CWindowDC dc(this->m_hWnd);
    if (dc)
        ::BitBlt(dc, 0, 0, part.rect.right, part.rect.bottom, part.dc, 0, 0, SRCCOPY);
}

template <int N>
void CStyledFrame<N>::Refresh()
{
    Layout();
    Render();
    PaintNonClient();
}

template <int N>
void CStyledFrame<N>::RebuildRegion()
{
    bool corners = false;
    for (const SIZE& size : m_szCorners)
        corners = corners || (size.cx >= 1 && size.cy >= 1);
    if (!corners || (m_nCaptionHeight == 0 && m_nLeft == 0 && m_nRight == 0 && m_nBottom == 0))
        return;
    RECT window;
    if (!::GetWindowRect(this->m_hWnd, &window))
        return;
    int width = window.right - window.left, height = window.bottom - window.top;
    Base::CRegionHandle region(::CreateRectRgn(0, 0, width, height));
    if (!region)
        return;
    CutCorner(region, 0, 0, m_szCorners[0], false, false);
    CutCorner(region, width, 0, m_szCorners[1], true, false);
    CutCorner(region, 0, height, m_szCorners[2], false, true);
    CutCorner(region, width, height, m_szCorners[3], true, true);
    for (int index : {kCaption, kLeft, kRight, kBottom}) {
        Style::CPainter* painter = Painter(index == kCaption ? kPartTitle : kPartLeftBorder + index - kLeft);
        COLORREF erase = painter ? painter->GetEraseColor() : CLR_INVALID;
        if (erase != CLR_INVALID && m_parts[index].dc)
            CutEraseColor(region, m_parts[index].dc, m_parts[index].dc.Bitmap(), m_parts[index].rect, erase);
    }
    // Once set, the region belongs to the window.
    if (::SetWindowRgn(this->m_hWnd, region, TRUE))
        m_region = region.Detach();
}

template <int N>
void CStyledFrame<N>::OnSubclassed()
{
    LONG_PTR style = ::GetWindowLongPtrW(this->m_hWnd, GWL_STYLE);
    DropFrameOfChild();
    m_bResizable = (style & WS_THICKFRAME) != 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        BuildButtons(style);
    else
        m_nCaptionHeight = 0;
    int length = ::GetWindowTextLengthW(this->m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(this->m_hWnd, text.data(), length + 1)));
    m_caption = text;
    m_nInactive = ::GetActiveWindow() != this->m_hWnd;
    // The new non-client sizes take effect now.
    ::SetWindowPos(this->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    Render();
    RebuildRegion();
    PaintNonClient();
}

template <int N>
void CStyledFrame<N>::InvalidateVesselRect(const RECT*)
{
    Render();
    PaintNonClient();
}

template <int N>
void CStyledFrame<N>::RedrawVesselRect(const RECT*)
{
    Render();
    PaintNonClient();
}

template <int N>
HDC CStyledFrame<N>::GetVesselDC()
{
    return m_parts[kCaption].dc.Get();
}

template <int N>
void CStyledFrame<N>::Deflate(RECT& rect) const
{
    rect.top += m_nCaptionHeight;
    rect.left += m_nLeft;
    rect.right -= m_nRight;
    rect.bottom -= m_nBottom;
    // A window smaller than its frame keeps an empty client area.
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
}

template <int N>
POINT CStyledFrame<N>::ToWindow(LPARAM screenPoint) const
{
    RECT window = {};
    ::GetWindowRect(this->m_hWnd, &window);
    return {GET_X_LPARAM(screenPoint) - window.left, GET_Y_LPARAM(screenPoint) - window.top};
}

template <int N>
template <class TFunc>
void CStyledFrame<N>::ForEachButton(TFunc&& func)
{
    // The group holds caption buttons only.
    for (UINT64 i = 0; i < m_buttons.GetGlyphCount(); ++i)
        func(*static_cast<CTitleButton<N>*>(m_buttons.GetGlyph(i)));
}

template <int N>
CTitleButton<N>* CStyledFrame<N>::ButtonAt(int hitCode)
{
    CTitleButton<N>* found = nullptr;
    ForEachButton([&](CTitleButton<N>& button) {
        if (!found && button.GetHitCode() == hitCode)
            found = &button;
    });
    return found;
}

template <int N>
int CStyledFrame<N>::ButtonCommand(const CTitleButton<N>& button) const
{
    switch (button.GetHitCode()) {
    case kHitClose:
        return SC_CLOSE;
    case kHitMinimize:
        return ::IsIconic(this->m_hWnd) ? SC_RESTORE : SC_MINIMIZE;
    case kHitMaximize:
        return ::IsZoomed(this->m_hWnd) ? SC_RESTORE : SC_MAXIMIZE;
    case kHitHelp:
        return 0xE146;
    default:
        return 0xFFFF;
    }
}

template <int N>
LRESULT CStyledFrame<N>::HitTest(POINT point)
{
    RECT window = {};
    ::GetWindowRect(this->m_hWnd, &window);
    int width = window.right - window.left;
    if (Glyph::CGlyph* button = m_buttons.HitTest(Glyph::CPoint(point.x, point.y)))
        return static_cast<CTitleButton<N>*>(button)->GetHitCode();
    if (m_rcIcon.right >= 0 && ::PtInRect(&m_rcIcon, point))
        return HTSYSMENU;
    if (::PtInRect(&m_parts[kCaption].rect, point)) {
        if (m_bResizable && point.x < m_nLeft)
            return HTTOPLEFT;
        if (m_bResizable && point.x >= width - m_nRight)
            return HTTOPRIGHT;
        return HTCAPTION;
    }
    if (::PtInRect(&m_parts[kBottom].rect, point)) {
        if (!m_bResizable)
            return HTBORDER;
        if (point.x < m_nLeft + m_nCornerX)
            return HTBOTTOMLEFT;
        if (point.x >= width - m_nRight - m_nCornerX)
            return HTBOTTOMRIGHT;
        return HTBOTTOM;
    }
    for (int index : {kLeft, kRight}) {
        const RECT& side = m_parts[index].rect;
        if (!::PtInRect(&side, point))
            continue;
        if (!m_bResizable)
            return HTBORDER;
        if (point.y < side.bottom - m_nCornerY)
            return index == kLeft ? HTLEFT : HTRIGHT;
        return index == kLeft ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    }
    LRESULT hit = this->DefWindowProc();
    if (hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON || hit == HTHELP || hit == HTMENU)
        return HTCAPTION;
    return hit;
}

template <int N>
void CStyledFrame<N>::SetHot(CTitleButton<N>* hot)
{
    if (hot == m_pHot)
        return;
    if (m_pHot && m_pHot != m_pPressed)
        m_pHot->SetButtonState(0);
    m_pHot = hot;
    if (hot)
        ::PostMessageW(this->m_hWnd, WM_MENUSELECT, MAKEWPARAM(ButtonCommand(*hot), MF_SYSMENU), 0);
    else
        ::PostMessageW(this->m_hWnd, WM_MENUSELECT, MAKEWPARAM(0xFFFF, MF_SYSMENU), 0);
}

template <int N>
void CStyledFrame<N>::HideToolTip()
{
    if (m_bToolTipShown && m_hToolTip) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = this->m_hWnd;
        tool.uId = 1;
        ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    m_bToolTipShown = false;
}

template <int N>
void CStyledFrame<N>::ShowToolTip()
{
    if (!m_pHot || (::GetKeyState(VK_LBUTTON) & 0x8000) || (::GetKeyState(VK_RBUTTON) & 0x8000))
        return;
    int command = ButtonCommand(*m_pHot);
    UINT id = command >= 0xF000 && command <= 0xF1EF ? 0xEF00 + (command - 0xF000) / 16 : command;
    auto module = reinterpret_cast<HINSTANCE>(::SendMessageW(this->m_hWnd, kMsgCaptionButtonModule, 0, 0));
    if (!module)
        return;
    // The host's module is read through the checked lookup like any pack.
    Resource::CModuleResources resources(module);
    DWORD size = 0;
    const void* block = resources.Find(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size);
    std::wstring text;
    if (!block || !Resource::CResourceReader::ReadStringFromBlock(block, size, id % 16, text))
        return;
    size_t newline = text.find(L'\n');
    if (newline != std::wstring::npos)
        text.erase(0, newline + 1);
    if (text.empty())
        return;
    if (!m_hToolTip) {
        m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      this->m_hWnd, nullptr, nullptr, nullptr);
        if (!m_hToolTip)
            return;
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = this->m_hWnd;
        tool.uId = 1;
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = this->m_hWnd;
    tool.uId = 1;
    tool.lpszText = text.data();
    ::SendMessageW(m_hToolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    int below = ::GetSystemMetrics(SM_CYCURSOR);
    ICONINFO info = {};
    if (HCURSOR current = ::GetCursor(); current && ::GetIconInfo(current, &info)) {
        // GetIconInfo hands over copies of the cursor's bitmaps.
        Base::CBitmapHandle mask(info.hbmMask), color(info.hbmColor);
        below -= static_cast<int>(info.yHotspot);
    }
    ::SendMessageW(m_hToolTip, TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + below));
    ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    m_bToolTipShown = true;
    m_ptToolTip = cursor;
}

template <int N>
BOOL CStyledFrame<N>::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result, DWORD)
{
    switch (message) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(hWnd, wParam, lParam, result);
    case WM_NCHITTEST:
        result = HitTest(ToWindow(lParam));
        return TRUE;
    case WM_NCPAINT:
        result = OnNcPaint(wParam);
        return TRUE;
    case WM_NCACTIVATE:
        result = OnNcActivate(wParam);
        return TRUE;
    case WM_ACTIVATE:
        result = OnActivate(wParam);
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        result = OnWindowPosChanged(lParam);
        return TRUE;
    case WM_NCMOUSEMOVE:
        result = OnNcMouseMove(hWnd, wParam, lParam);
        return TRUE;
    case WM_NCLBUTTONDOWN:
        result = OnNcLButtonDown(hWnd, wParam);
        return TRUE;
    case WM_NCLBUTTONUP:
        return OnNcLButtonUp(hWnd, wParam, lParam, result);
    case WM_NCRBUTTONUP:
        return wParam == HTCAPTION && OpenSystemMenu(hWnd, lParam, result);
    case WM_NCMOUSELEAVE:
        OnNcMouseLeave();
        return FALSE;
    case WM_NCMOUSEHOVER:
        result = OnNcMouseHover();
        return TRUE;
    case WM_SETTEXT:
        result = OnSetText(hWnd, wParam, lParam);
        return TRUE;
    case WM_SETICON:
        result = OnSetIcon(wParam);
        return TRUE;
    case WM_STYLECHANGED:
        return OnStyleChanged(wParam, lParam, result);
    case WM_ENABLE:
        result = OnEnable();
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return OnCtlColor(message, reinterpret_cast<HDC>(wParam), result);
    case WM_SYSCOMMAND:
        result = OnSysCommand(hWnd, wParam);
        return TRUE;
    case WM_INITMENUPOPUP:
        result = OnInitMenuPopup(lParam);
        return TRUE;
    case kMsgStyleChanged:
        result = OnPackChanged(hWnd);
        return TRUE;
    case kMsgCaptionButtonRect:
        result = OnCaptionButtonRect(static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case kMsgFitToCaption:
        result = OnFitToCaption(hWnd);
        return TRUE;
    default:
        return FALSE;
    }
}

template <int N>
void CStyledFrame<N>::SetCollapsed(bool collapsed)
{
    if (collapsed == m_bCollapsed)
        return;
    m_bCollapsed = collapsed;
    ForEachButton([&](CTitleButton<N>& button) { button.SetCollapsed(collapsed); });
    RedrawCaption();
}

template <int N>
void CStyledFrame<N>::SetInactive(int inactive)
{
    if (inactive == m_nInactive)
        return;
    m_nInactive = inactive;
    Render();
    PaintNonClient();
}

template <int N>
void CStyledFrame<N>::Rebuild()
{
    Layout();
    Render();
    RebuildRegion();
    PaintNonClient();
}

template <int N>
LRESULT CStyledFrame<N>::OnNcPaint(WPARAM update)
{
    PaintNonClient(reinterpret_cast<HRGN>(update));
    return 0;
}

template <int N>
LRESULT CStyledFrame<N>::OnNcActivate(WPARAM active)
{
    SetInactive(active == 0);
    return TRUE;
}

template <int N>
LRESULT CStyledFrame<N>::OnActivate(WPARAM wParam)
{
    // A frame attached before its window was activated may never see
    // WM_NCACTIVATE for that activation; follow WM_ACTIVATE as well.
    const LRESULT result = this->DefWindowProc();
    SetInactive(LOWORD(wParam) == WA_INACTIVE);
    return result;
}

template <int N>
LRESULT CStyledFrame<N>::OnNcMouseHover()
{
    ShowToolTip();
    return 0;
}

template <int N>
LRESULT CStyledFrame<N>::OnSetIcon(WPARAM type)
{
    const LRESULT result = this->DefWindowProc();
    if (type == ICON_SMALL)
        Refresh();
    return result;
}

template <int N>
LRESULT CStyledFrame<N>::OnEnable()
{
    // EnableWindow changes WS_DISABLED without WM_STYLECHANGED.
    const LRESULT result = this->DefWindowProc();
    RedrawCaption();
    return result;
}

template <int N>
LRESULT CStyledFrame<N>::OnSysCommand(HWND hWnd, WPARAM command)
{
    this->DefWindowProc();
    if ((command & 0xFFF0) != SC_CLOSE && ::IsWindow(hWnd))
        RedrawCaption();
    return 0;
}

template <int N>
LRESULT CStyledFrame<N>::OnInitMenuPopup(LPARAM lParam)
{
    this->DefWindowProc();
    if (HIWORD(lParam))
        RedrawCaption();
    return 0;
}

template <int N>
BOOL CStyledFrame<N>::OnNcCalcSize(HWND hWnd, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!wParam) {
        Deflate(*reinterpret_cast<RECT*>(lParam));
        result = 0;
        return TRUE;
    }
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    RECT proposed = params->rgrc[0];
    result = this->DefWindowProc();
    m_bZoomed = ::IsZoomed(hWnd) != 0;
    if (proposed.bottom == proposed.top) {
        SetCollapsed(true);
        params->rgrc[0] = proposed;
        result = 0;
        return TRUE;
    }
    SetCollapsed(false);
    if (CTitleButton<N>* maximize = ButtonAt(kHitMaximize))
        maximize->SetRestore(m_bZoomed);
    Deflate(proposed);
    params->rgrc[0] = proposed;
    return TRUE;
}

template <int N>
LRESULT CStyledFrame<N>::OnWindowPosChanged(LPARAM lParam)
{
    const LRESULT result = this->DefWindowProc();
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    int inactive = ::GetActiveWindow() != this->m_hWnd;
    bool activationChanged = (position->flags & SWP_SHOWWINDOW) && inactive != m_nInactive;
    if (activationChanged)
        m_nInactive = inactive;
    if (!(position->flags & SWP_NOSIZE) || activationChanged)
        Rebuild();
    return result;
}

template <int N>
LRESULT CStyledFrame<N>::OnNcMouseMove(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    POINT cursor = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (m_bToolTipShown && (cursor.x != m_ptToolTip.x || cursor.y != m_ptToolTip.y))
        HideToolTip();
    // Hover ends with each WM_NCMOUSEHOVER, so it is asked for on every
    // move: each button hovered in turn gets its own.
    TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE | TME_NONCLIENT, hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
    CTitleButton<N>* hot = ButtonAt(static_cast<int>(wParam));
    if (hot != m_pHot)
        HideToolTip();
    if (hot) {
        hot->SetButtonState(m_pPressed ? 2 : 1);
        if (m_pPressed)
            m_pPressed = hot;
    }
    bool changed = hot != m_pHot;
    SetHot(hot);
    if (changed || hot)
        RedrawCaption();
    return hot ? 0 : this->DefWindowProc();
}

template <int N>
LRESULT CStyledFrame<N>::OnNcLButtonDown(HWND hWnd, WPARAM hitCode)
{
    HideToolTip();
    if (CTitleButton<N>* button = ButtonAt(static_cast<int>(hitCode))) {
        button->SetButtonState(2);
        m_pPressed = button;
        RedrawCaption();
        return 0;
    }
    const LRESULT result = this->DefWindowProc();
    if (::IsWindow(hWnd))
        RedrawCaption();
    return result;
}

template <int N>
BOOL CStyledFrame<N>::OnNcLButtonUp(HWND hWnd, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!m_pPressed)
        return wParam == HTSYSMENU && OpenSystemMenu(hWnd, lParam, result);
    CTitleButton<N>* button = m_pPressed;
    m_pPressed = nullptr;
    button->SetButtonState(0);
    RedrawCaption();
    int command = ButtonCommand(*button);
    if (command >= 0xF000) {
        ::PostMessageW(hWnd, WM_SYSCOMMAND, command, 0);
        if (command == SC_CLOSE)
            ::PostMessageW(hWnd, kMsgPostClose, SC_CLOSE, 0);
    } else {
        ::PostMessageW(hWnd, WM_COMMAND, command, 0);
    }
    result = 0;
    return TRUE;
}

template <int N>
BOOL CStyledFrame<N>::OpenSystemMenu(HWND hWnd, LPARAM lParam, LRESULT& result)
{
    ::PostMessageW(hWnd, WM_SYSCOMMAND, kScSystemMenuByMouse, lParam);
    result = 0;
    return TRUE;
}

template <int N>
void CStyledFrame<N>::OnNcMouseLeave()
{
    HideToolTip();
    if (m_pHot) {
        if (m_pHot != m_pPressed)
            m_pHot->SetButtonState(0);
        m_pHot = nullptr;
        RedrawCaption();
    }
}

template <int N>
LRESULT CStyledFrame<N>::OnSetText(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    if (!lParam)
        return this->DefWindowProc();
    std::wstring text;
    if (::IsWindowUnicode(hWnd)) {
        text = reinterpret_cast<const wchar_t*>(lParam);
    } else {
        auto* ansi = reinterpret_cast<const char*>(lParam);
        int length = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
        if (length > 0) {
            text.resize(static_cast<size_t>(length));
            ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, text.data(), length);
            text.resize(static_cast<size_t>(length - 1));
        }
    }
    if (m_bTextSet && text == m_lastText)
        return this->DefWindowProc();
    m_caption = LangString(kTextCaptionPrefix) + text + LangString(kTextCaptionSuffix);
    // The native text is a spaced copy, so a native caption never
    // shows the text in the native look.
    std::wstring spaced;
    for (wchar_t c : text) {
        if (spaced.size() + 2 > 255)
            break;
        spaced += L' ';
        spaced += c;
    }
    const LRESULT result = this->DefWindowProc(WM_SETTEXT, wParam, reinterpret_cast<LPARAM>(spaced.c_str()));
    m_lastText = text;
    m_bTextSet = true;
    Layout();
    RedrawCaption();
    PaintNonClient();
    return result;
}

template <int N>
BOOL CStyledFrame<N>::OnStyleChanged(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (wParam != static_cast<WPARAM>(GWL_STYLE))
        return FALSE;
    auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    if (!((change->styleOld ^ change->styleNew) & WS_DISABLED))
        return FALSE;
    result = this->DefWindowProc();
    RedrawCaption();
    return TRUE;
}

template <int N>
BOOL CStyledFrame<N>::OnCtlColor(UINT message, HDC dc, LRESULT& result)
{
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
        // Native edit and list-box fields in the pack's field colours, so a
        // dark pack has no white boxes; without the keys they stay native.
        if (!m_fieldBrush)
            return FALSE;
        if (m_clrFieldText != CLR_INVALID)
            ::SetTextColor(dc, m_clrFieldText);
        ::SetBkColor(dc, m_clrField);
        result = reinterpret_cast<LRESULT>(m_fieldBrush.Get());
        return TRUE;
    }
    if (!m_backBrush)
        return FALSE;
    if (message == WM_CTLCOLORSTATIC) {
        if (ForbidStaticColor())
            return FALSE;
        if (m_clrStatic != CLR_INVALID)
            ::SetTextColor(dc, m_clrStatic);
        if (m_clrBack != CLR_INVALID)
            ::SetBkColor(dc, m_clrBack);
    }
    result = reinterpret_cast<LRESULT>(m_backBrush.Get());
    return TRUE;
}

template <int N>
LRESULT CStyledFrame<N>::OnPackChanged(HWND hWnd)
{
    ReadStyle();
    DropFrameOfChild();
    LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    if ((style & WS_CAPTION) == WS_CAPTION)
        BuildButtons(style);
    else
        m_nCaptionHeight = 0;
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Rebuild();
    return 0;
}

template <int N>
LRESULT CStyledFrame<N>::OnCaptionButtonRect(int hitCode, RECT* rect)
{
    CTitleButton<N>* button = ButtonAt(hitCode);
    if (!button || !rect)
        return 0;
    *rect = button->GetRegion();
    return 1;
}

template <int N>
LRESULT CStyledFrame<N>::OnFitToCaption(HWND hWnd)
{
    RECT text = TextRect();
    SIZE size = {80, 0};
    if (Style::CPainter* caption = Painter(kPartTitle)) {
        if (Base::CWindowDC dc(hWnd); dc)
            size = caption->CalcSize(dc, {0, text.bottom - text.top}, m_caption);
    }
    int missing = size.cx - (text.right - text.left);
    if (missing <= 0)
        return 0;
    RECT window = {};
    ::GetWindowRect(hWnd, &window);
    if (HWND parent = ::GetParent(hWnd); parent && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    ::MoveWindow(hWnd, window.left, window.top, window.right - window.left + missing + 20,
                 window.bottom - window.top, TRUE);
    return 1;
}

template class CStyledFrame<Style::CStyle::Frame>;
template class CStyledFrame<Style::CStyle::DlgFrame>;
template class CStyledFrame<Style::CStyle::XPDlgFrame>;

namespace FrameImpl {

template <int N>
bool AttachFrame(HWND window, bool resize, RECT* borders, COLORREF* backColor)
{
    const bool fresh = !CStyledFrame<N>::ExistingObject(window);
    auto* frame = AttachStyled<CStyledFrame<N>>(window);
    if (!frame)
        return false;
    resize = resize && fresh;
    RECT margins = frame->GetBorders();
    if (borders)
        *borders = margins;
    if (backColor)
        *backColor = frame->GetBackColor();
    RECT rect;
    if (resize && !(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && ::GetWindowRect(window, &rect)) {
        ::SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + margins.left + margins.right,
                       rect.bottom - rect.top + margins.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

template bool AttachFrame<Style::CStyle::Frame>(HWND, bool, RECT*, COLORREF*);
template bool AttachFrame<Style::CStyle::DlgFrame>(HWND, bool, RECT*, COLORREF*);
template bool AttachFrame<Style::CStyle::XPDlgFrame>(HWND, bool, RECT*, COLORREF*);

namespace {

// The checks of the manager's Enable operations.
bool IsStylable(HWND window)
{
    if (!window || !::IsWindow(window))
        return false;
    try {
        return Style::CStyleManager::GetInstance().IsStyleLoaded() &&
               !Style::CStyleManager::GetStyleInstance().IsSimple();
    } catch (...) {
        return false;
    }
}

}  // namespace

}  // namespace FrameImpl

}  // namespace Windows

extern "C" RECT EnableFrameStyledEx(unsigned int, HWND window)
{
    RECT borders = {0, 0, 0, 0};
    try {
        if (Windows::FrameImpl::IsStylable(window) &&
            Windows::FrameImpl::AttachFrame<Style::CStyle::DlgFrame>(window, true, &borders))
            return {-borders.left, 0, borders.right, borders.bottom};
    } catch (...) {
    }
    return {0, 0, 0, 0};
}

extern "C" unsigned int EnableFrameStyledColor(HWND window)
{
    COLORREF color = 0xFFFFFF;
    try {
        if (Windows::FrameImpl::IsStylable(window) &&
            Windows::FrameImpl::AttachFrame<Style::CStyle::DlgFrame>(window, true, nullptr, &color))
            return color;
    } catch (...) {
    }
    return 0xFFFFFF;
}

extern "C" void SetForbidStaticColor(unsigned int forbid)
{
    Windows::FrameImpl::ForbidStaticColor() = forbid;
}

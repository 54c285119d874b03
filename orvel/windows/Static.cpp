#include "Static.h"

#include <algorithm>
#include "../base/GdiHandles.h"
#include "../style/Painter.h"
#include "../style/StyleManager.h"
#include "Buttons.h"
#include "ControlGlyphs.h"
#include "Messages.h"

namespace Windows {

using namespace ControlGlyphs;

// ------------------------------------------------------------------ static

namespace StaticImpl {

CContent::CContent(const std::wstring& text) : Glyph::CStyledTextGlyph(Style::CStyle::Static, text)
{
}

}  // namespace StaticImpl

CStatic::~CStatic()
{
    delete m_pContent;
    ReleasePicture();
}

void CStatic::OnSubclassed()
{
    DWORD type = GetStyle() & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
        return;  // icons, bitmaps, frames and the rest paint natively
    // The native window keeps its text: the dialog manager takes mnemonics
    // of the next control from it, and the native look needs it without a
    // pack look.
    m_pContent = new StaticImpl::CContent(ShownText(GetWindowText().c_str()));
    m_pContent->SetVessel(this);
    RECT client = GetClientRect();
    Layout(client.right, client.bottom);
    m_pContent->SetState(static_cast<INT64>(type), false);
}

void CStatic::Layout(int width, int height)
{
    if (m_pContent)
        SetRegionWithDC(m_hWnd, *m_pContent, Glyph::CRect(0, 0, width, height));
}

// The pack's painter may underline mnemonics; a static that asks for none
// shows its ampersands as they are.
std::wstring CStatic::ShownText(const wchar_t* text) const
{
    std::wstring shown = text ? text : L"";
    if (!(GetStyle() & SS_NOPREFIX))
        return shown;
    for (size_t at = shown.find(L'&'); at != std::wstring::npos; at = shown.find(L'&', at + 2))
        shown.insert(at, 1, L'&');
    return shown;
}

// The pack's text painter has no disabled look (its states are the
// alignments): a disabled static shows the native greyed text.
bool CStatic::HasLook() const
{
    return IsWindowEnabled() && HasPainterLook(Style::CStyle::Static);
}

void CStatic::OnPaint()
{
    Images::CMemDC memory(m_hWnd, true);
    // The parent (a styled frame, say) sets the text colour.
    if (HWND parent = GetParent())
        ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory.GetDC()),
                       reinterpret_cast<LPARAM>(m_hWnd));
    m_pContent->Draw(memory, nullptr);
    memory.Show();
}

void CStatic::SetPictureName(const wchar_t* name)
{
    m_strPictureName = name ? name : L"";
    ReloadPicture();
}

void CStatic::ReleasePicture()
{
    m_hPicture.Reset();
}

void CStatic::ReloadPicture()
{
    if (m_strPictureName.empty())
        return;
    Base::CBitmapHandle picture;
    POINT position = {};
    bool placed = false;
    try {
        Style::CStyle& style = Style::CStyleManager::GetStyleInstance();
        picture.Reset(style.ReadBitmap(m_strPictureName.c_str()));
        if (const Resource::CSection* section = style.GetConfig().FindSection(L"BitmapPosition")) {
            if (const Resource::CLine* line = section->FindLine(m_strPictureName.c_str())) {
                SIZE size = {};
                line->ReadContentAsSize(size);
                position = {size.cx, size.cy};
                placed = true;
            }
        }
    } catch (...) {
        return;  // a pack that cannot be read leaves the picture as it is
    }
    if (picture) {
        auto replaced = reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.Get())));
        if (replaced && replaced != picture.Get()) {
            // The static hands the bitmap it showed back to us.
            Base::CBitmapHandle old(replaced);
            if (replaced == m_hPicture.Get())
                m_hPicture.Detach();  // freed once, by old
        }
        // A static that is not a bitmap static refuses the picture; then the
        // holder frees it.
        if (reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)) == picture.Get())
            m_hPicture = std::move(picture);
    }
    if (placed)
        ::SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE);
}

BOOL CStatic::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result, DWORD)
{
    if (PaintsNatively(message))
        return FALSE;
    switch (message) {
    case WM_PAINT:
        if (!m_pContent)
            return FALSE;
        OnPaint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        if (!m_pContent)
            return FALSE;
        result = 1;
        return TRUE;
    case WM_SETTEXT:
        if (!m_pContent)
            return FALSE;
        m_pContent->SetText(ShownText(reinterpret_cast<const wchar_t*>(lParam)), false);
        result = DefaultThenRepaint();
        return TRUE;
    case WM_ENABLE:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
        // The native static repaints itself straight away on these.
        if (!m_pContent)
            return FALSE;
        result = DefaultThenRepaint();
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_MOUSEMOVE:
        EnableMouseLeaveMsg();
        return FALSE;
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        PostLeaveMessage();
        result = 0;
        return TRUE;
    case WM_DESTROY:
        result = 0;
        return TRUE;
    case kMsgStyleChanged:
        if (m_strPictureName.empty())
            return FALSE;
        ReloadPicture();
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace Windows

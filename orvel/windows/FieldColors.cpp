#include "FieldColors.h"

#include <commctrl.h>
#include "../resource/IniReader.h"
#include "../style/Painter.h"
#include "Buttons.h"
#include "Messages.h"

namespace Windows {

SFieldColors ReadFieldColors() noexcept
{
    SFieldColors colors;
    Style::CPainter* frame = CurrentPainter(Style::CStyle::DlgFrame);
    const Resource::CSection* section = frame ? frame->GetCustomSection() : nullptr;
    if (!section)
        return colors;
    if (const Resource::CLine* line = section->FindLine(L"FieldColor"))
        colors.back = line->ReadContentAsColor();
    if (const Resource::CLine* line = section->FindLine(L"FieldTextColor"))
        colors.text = line->ReadContentAsColor();
    return colors;
}

void CFieldColorUser::Remember(HWND control)
{
    if (m_bRemembered)
        return;
    m_bRemembered = true;
    if (m_eKind == ListView) {
        m_native.back = static_cast<COLORREF>(::SendMessageW(control, LVM_GETBKCOLOR, 0, 0));
        m_native.text = static_cast<COLORREF>(::SendMessageW(control, LVM_GETTEXTCOLOR, 0, 0));
        m_clrNativeTextBack = static_cast<COLORREF>(::SendMessageW(control, LVM_GETTEXTBKCOLOR, 0, 0));
    } else {
        // -1 stands for the system colour and is given back as such.
        m_native.back = static_cast<COLORREF>(::SendMessageW(control, TVM_GETBKCOLOR, 0, 0));
        m_native.text = static_cast<COLORREF>(::SendMessageW(control, TVM_GETTEXTCOLOR, 0, 0));
    }
}

void CFieldColorUser::Attach(HWND control)
{
    m_switchWatch.SetTarget(control);
    Apply(control);
}

bool CFieldColorUser::OnMessage(HWND control, UINT message, LRESULT& result)
{
    if (message != kMsgStyleChanged)
        return false;
    Apply(control);
    result = 0;
    return true;
}

void CFieldColorUser::Apply(HWND control)
{
    if (!::IsWindow(control))
        return;
    Remember(control);
    SFieldColors pack = ReadFieldColors();
    const COLORREF back = pack.back != CLR_INVALID ? pack.back : m_native.back;
    const COLORREF text = pack.text != CLR_INVALID ? pack.text : m_native.text;
    if (m_eKind == ListView) {
        ::SendMessageW(control, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
        ::SendMessageW(control, LVM_SETTEXTBKCOLOR, 0,
                       static_cast<LPARAM>(pack.back != CLR_INVALID ? pack.back : m_clrNativeTextBack));
        ::SendMessageW(control, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    } else {
        ::SendMessageW(control, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
        ::SendMessageW(control, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    }
    ::InvalidateRect(control, nullptr, TRUE);
}

void CPostOnSwitch::OnStyleChanged()
{
    Glyph::CStyledGlyph::OnStyleChanged();
    if (m_hTarget && ::IsWindow(m_hTarget))
        ::PostMessageW(m_hTarget, kMsgStyleChanged, 0, 0);
}

}  // namespace Windows

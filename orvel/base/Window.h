#pragma once
// Window handle wrapper and thin typed wrappers for the common controls.
#include <windows.h>
#include <commctrl.h>
#include <string>

namespace Base {

class CWindow {
public:
    CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
    CWindow& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }
    operator HWND() const noexcept { return m_hWnd; }

    void Attach(HWND hWnd) noexcept { m_hWnd = hWnd; }
    HWND Detach() noexcept
    {
        HWND hWnd = m_hWnd;
        m_hWnd = nullptr;
        return hWnd;
    }

    bool IsWindow() const noexcept { return ::IsWindow(m_hWnd) != FALSE; }
    bool IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const noexcept { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept
    {
        DWORD style = GetStyle();
        DWORD updated = (style & ~remove) | add;
        if (style == updated)
            return false;
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
        if (swpFlags)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
        return true;
    }
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const noexcept { return static_cast<int>(::GetWindowLongPtrW(m_hWnd, GWLP_ID)); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }

    RECT GetClientRect() const noexcept
    {
        RECT rect = {};
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }
    RECT GetWindowRect() const noexcept
    {
        RECT rect = {};
        ::GetWindowRect(m_hWnd, &rect);
        return rect;
    }
    void ClientToScreen(RECT& rect) const noexcept { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2); }
    void ScreenToClient(RECT& rect) const noexcept { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2); }
    void ScreenToClient(POINT& point) const noexcept { ::ScreenToClient(m_hWnd, &point); }

    std::wstring GetWindowText() const
    {
        int length = ::GetWindowTextLengthW(m_hWnd);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        int got = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return text;
    }
    bool SetWindowText(const wchar_t* text) noexcept { return ::SetWindowTextW(m_hWnd, text) != FALSE; }

    void Invalidate(bool erase = true) noexcept { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, bool erase = true) noexcept { ::InvalidateRect(m_hWnd, rect, erase); }
    bool RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) noexcept
    {
        return ::RedrawWindow(m_hWnd, rect, region, flags) != FALSE;
    }
    void UpdateWindow() noexcept { ::UpdateWindow(m_hWnd); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
    }

    HDC GetDC() const noexcept { return ::GetDC(m_hWnd); }
    HDC GetWindowDC() const noexcept { return ::GetWindowDC(m_hWnd); }
    int ReleaseDC(HDC dc) const noexcept { return ::ReleaseDC(m_hWnd, dc); }
    HFONT GetFont() const noexcept { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    bool ShowWindow(int command) noexcept { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool DestroyWindow() noexcept { return ::DestroyWindow(m_hWnd) != FALSE; }

    HWND m_hWnd;
};

// Thin typed wrappers over a window handle: control messages as members.
template <class TBase = CWindow>
class CButtonT : public TBase {
public:
    CButtonT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetCheck() const noexcept { return static_cast<int>(this->SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) noexcept { this->SendMessage(BM_SETCHECK, check); }
    UINT GetState() const noexcept { return static_cast<UINT>(this->SendMessage(BM_GETSTATE)); }
    UINT GetButtonStyle() const noexcept { return this->GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, bool redraw = true) noexcept { this->SendMessage(BM_SETSTYLE, style, redraw); }
};

template <class TBase = CWindow>
class CScrollBarT : public TBase {
public:
    CScrollBarT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    bool GetScrollInfo(SCROLLINFO& info) const noexcept
    {
        info.cbSize = sizeof info;
        return ::GetScrollInfo(this->m_hWnd, SB_CTL, &info) != FALSE;
    }
    int SetScrollInfo(const SCROLLINFO& info, bool redraw = true) noexcept
    {
        return ::SetScrollInfo(this->m_hWnd, SB_CTL, &info, redraw);
    }
    int GetScrollPos() const noexcept { return ::GetScrollPos(this->m_hWnd, SB_CTL); }
    int SetScrollPos(int pos, bool redraw = true) noexcept { return ::SetScrollPos(this->m_hWnd, SB_CTL, pos, redraw); }
};

template <class TBase = CWindow>
class CStaticT : public TBase {
public:
    CStaticT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    HICON GetIcon() const noexcept { return reinterpret_cast<HICON>(this->SendMessage(STM_GETICON)); }
    HBITMAP GetBitmap() const noexcept { return reinterpret_cast<HBITMAP>(this->SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};

template <class TBase = CWindow>
class CEditT : public TBase {
public:
    CEditT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    bool GetModify() const noexcept { return this->SendMessage(EM_GETMODIFY) != 0; }
    void SetSel(int start, int end) noexcept { this->SendMessage(EM_SETSEL, start, end); }
    void SetReadOnly(bool readOnly) noexcept { this->SendMessage(EM_SETREADONLY, readOnly); }
};

template <class TBase = CWindow>
class CListBoxT : public TBase {
public:
    CListBoxT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetCount() const noexcept { return static_cast<int>(this->SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(LB_GETCURSEL)); }
    int GetTopIndex() const noexcept { return static_cast<int>(this->SendMessage(LB_GETTOPINDEX)); }
    int GetItemHeight(int index) const noexcept { return static_cast<int>(this->SendMessage(LB_GETITEMHEIGHT, index)); }
};

template <class TBase = CWindow>
class CComboBoxT : public TBase {
public:
    CComboBoxT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetCount() const noexcept { return static_cast<int>(this->SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(CB_GETCURSEL)); }
    bool GetDroppedState() const noexcept { return this->SendMessage(CB_GETDROPPEDSTATE) != 0; }
    bool GetComboBoxInfo(COMBOBOXINFO& info) const noexcept
    {
        info.cbSize = sizeof info;
        return ::GetComboBoxInfo(this->m_hWnd, &info) != FALSE;
    }
};

template <class TBase = CWindow>
class CListViewCtrlT : public TBase {
public:
    CListViewCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    HWND GetHeader() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(LVM_GETHEADER)); }
    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(LVM_GETITEMCOUNT)); }
};

template <class TBase = CWindow>
class CHeaderCtrlT : public TBase {
public:
    CHeaderCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(HDM_GETITEMCOUNT)); }
    bool GetItemRect(int index, RECT& rect) const noexcept
    {
        return this->SendMessage(HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0;
    }
};

template <class TBase = CWindow>
class CTreeViewCtrlT : public TBase {
public:
    CTreeViewCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    HTREEITEM GetRootItem() const noexcept
    {
        return reinterpret_cast<HTREEITEM>(this->SendMessage(TVM_GETNEXTITEM, TVGN_ROOT));
    }
};

template <class TBase = CWindow>
class CTabCtrlT : public TBase {
public:
    CTabCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETCURSEL)); }
};

template <class TBase = CWindow>
class CTrackBarCtrlT : public TBase {
public:
    CTrackBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(TBM_GETPOS)); }
    void GetThumbRect(RECT& rect) const noexcept { this->SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect)); }
    void GetChannelRect(RECT& rect) const noexcept { this->SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rect)); }
};

template <class TBase = CWindow>
class CProgressBarCtrlT : public TBase {
public:
    CProgressBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(PBM_GETPOS)); }
    void GetRange(PBRANGE& range) const noexcept { this->SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)); }
};

template <class TBase = CWindow>
class CUpDownCtrlT : public TBase {
public:
    CUpDownCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(UDM_GETPOS32)); }
    HWND GetBuddy() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(UDM_GETBUDDY)); }
};

}  // namespace Base

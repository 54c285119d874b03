#pragma once
// Styled push buttons and text links. The native button keeps its
// behaviour; these objects only decide what is drawn and keep the native
// painting off the screen.
#include <string>
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

// The painter of a kind in the current style, or null (no style, no such
// section, or a kind outside the table).
ORVEL_API Style::CPainter* CurrentPainter(int painterType) noexcept;

// Text kept by the styled object rather than the native window.
class ORVEL_API CTextCache {
public:
    void Set(const wchar_t* text) { m_text = text ? text : L""; }
    const std::wstring& Get() const { return m_text; }
    // WM_GETTEXT / WM_GETTEXTLENGTH from the cache; false to let the native
    // window answer (the cache is empty).
    bool GetText(WPARAM bufferSize, LPARAM buffer, LRESULT& result) const;
    bool GetTextLength(LRESULT& result) const;

private:
    std::wstring m_text;
};

class ORVEL_API CPushButton : public CStyledWndImpl<CPushButton, Base::CButtonT<>> {
public:
    explicit CPushButton(int painterType = Style::CStyle::PushButton) : m_nPainterType(painterType) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();
    int GetState() const { return m_nState; }
    const std::wstring& GetText() const { return m_strText.Get(); }

protected:
    int BaseState() const { return m_bDisabled ? 3 : (m_bDefault ? 4 : 0); }
    void SetState(int state);
    LRESULT DefaultWithoutPainting();

    int m_nPainterType;
    int m_nState = 0;
    bool m_bDefault = false;
    bool m_bDisabled = false;
    CTextCache m_strText;
};

class ORVEL_API CHyperLink : public CStyledWndImpl<CHyperLink, Base::CButtonT<>> {
public:
    explicit CHyperLink(int painterType = Style::CStyle::HyperLink) : m_nPainterType(painterType) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();
    int GetState() const { return m_nState; }

protected:
    int BaseState() const { return m_bDisabled ? 3 : 0; }
    // The link is transparent: its parent repaints the area under it.
    void InvalidateInParent();

    int m_nPainterType;
    int m_nState = 0;
    int m_bDisabled = 0;
    CTextCache m_strText;
};

}  // namespace Windows

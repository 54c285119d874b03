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

// Messages on which the native button paints straight to the screen.
ORVEL_API bool NativeButtonPaintsOn(UINT message) noexcept;
// The dotted focus rectangle inside content, while the window has the focus
// and its UI state shows focus cues.
ORVEL_API void DrawFocusCue(HWND window, HDC dc, const RECT& content);

// WM_GETTEXT's copy: at most bufferSize - 1 characters and a terminator;
// returns the characters copied (0 and nothing written for a size of 0).
ORVEL_API LRESULT CopyTextToBuffer(const std::wstring& text, WPARAM bufferSize, LPARAM buffer);

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

// Messages the push button and the link answer alike.
template <class TButton>
BOOL ProcessButtonStateMessage(TButton& button, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result);

class ORVEL_API CPushButton : public CStyledWndImpl<CPushButton, Base::CButtonT<>> {
public:
    explicit CPushButton(int painterType = Style::CStyle::PushButton) : m_nPainterType(painterType) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();
    int GetState() const { return m_nState; }
    const std::wstring& GetText() const { return m_strText.Get(); }
    bool HasLook() const { return HasPainterLook(m_nPainterType); }

protected:
    int BaseState() const { return m_bDisabled ? 3 : (m_bDefault ? 4 : 0); }
    void SetState(int state);
    void OnPaint();
    void OnStyleChanged(const STYLESTRUCT* change);
    void OnSetStyle();
    CRepaintOnSwitch m_switchWatch;
    template <class TButton>
    friend BOOL ProcessButtonStateMessage(TButton&, UINT, WPARAM, LPARAM, LRESULT&);

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
    bool HasLook() const { return HasPainterLook(m_nPainterType); }

protected:
    int BaseState() const { return m_bDisabled ? 3 : 0; }
    void OnPaint();
    void SetState(int state);
    CRepaintOnSwitch m_switchWatch;
    template <class TButton>
    friend BOOL ProcessButtonStateMessage(TButton&, UINT, WPARAM, LPARAM, LRESULT&);

    int m_nPainterType;
    int m_nState = 0;
    int m_bDisabled = 0;
    CTextCache m_strText;
};

}  // namespace Windows

#include "../glyph/StyledGlyph.h"

namespace Windows {

// The look of a check box or radio button: a styled row of a state image
// and a label whose real state is check state x 4 + visual state.
class ORVEL_API CCheckRadioGlyph : public Glyph::CStyledHorizontalCompose,
                                   public Glyph::CGroupImpl<CCheckRadioGlyph, Glyph::CStyledHorizontalCompose> {
public:
    enum Kind { Radio = 0, Check = 1, RadioXP = 2 };

    explicit CCheckRadioGlyph(int kind);
    ~CCheckRadioGlyph() override;

    void SetRegion(HDC dc, const Glyph::CRect& rect) override;
    // A visual state of 4 or more becomes 0.
    void SetState(INT64 state, bool redraw) override;
    INT64 GetState() const override;

    void SetCheck(INT64 check);
    INT64 GetCheck() const { return GetGroup(); }
    INT64 GetRealState() const { return CalcRealState(); }
    void SetLabel(const std::wstring& label);
    const Glyph::CRect& GetLabelRegion() const { return m_label.GetRegion(); }
    const std::wstring& GetLabel() const { return m_label.GetText(); }

private:
    Glyph::CStyledImageGlyph m_image;
    Glyph::CStyledTextGlyph m_label;
};

class ORVEL_API CCheckRadioButton : public CStyledWndImpl<CCheckRadioButton, Base::CButtonT<>> {
public:
    explicit CCheckRadioButton(int kind) : m_glyph(kind), m_nKind(kind) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    CCheckRadioGlyph& GetGlyph() { return m_glyph; }
    bool HasLook() const;
    // Creates a "BUTTON" window styled from its WM_CREATE on. The caller
    // owns the object (it outlives its window); null on failure.
    HWND Create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, UINT id);

protected:
    void Layout(int width, int height);
    void OnPaint();
    void OnStyleChanged(const STYLESTRUCT* change);
    void ReadNativeState();
    RECT LabelRect() const;
    // The native button's check box kind creates the styled look itself.
    void OnCreated();

    CCheckRadioGlyph m_glyph;
    int m_nKind;
    bool m_bEnabled = true;
    bool m_bInitialized = false;
};

}  // namespace Windows

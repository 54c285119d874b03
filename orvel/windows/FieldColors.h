#pragma once
// The pack's colours for the client areas of native lists and trees, which
// keep their own item painting: "FieldColor" and "FieldTextColor" of the
// dialog frame's section, the pair edits and list boxes on a styled frame
// take as well. Without them the control's own colours come back.
#include <windows.h>
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"

namespace Windows {

struct SFieldColors {
    COLORREF back = CLR_INVALID;
    COLORREF text = CLR_INVALID;
};

// The current pack's pair; CLR_INVALID for what it lacks.
ORVEL_API SFieldColors ReadFieldColors() noexcept;

// A glyph of no size that posts kMsgStyleChanged to a window after every
// pack switch, for windows that re-read keys of the pack but have no frame
// the host would tell. Posting keeps the switch's glyph walk short and safe
// from any thread.
class ORVEL_API CPostOnSwitch : public Glyph::CStyledGlyph {
public:
    CPostOnSwitch() : Glyph::CStyledGlyph(Style::CStyle::DlgFrame) {}
    void SetTarget(HWND window) { m_hTarget = window; }
    void OnStyleChanged() override;
    Glyph::CSize CalcSize(HDC, int, int, bool) override { return Glyph::CSize(0, 0); }
    void Draw(HDC, const RECT*) override {}

private:
    HWND m_hTarget = nullptr;
};

// Applies the pack's colours to a list view or a tree, remembering the
// control's own colours the first time so that a pack without them gives
// those back.
class ORVEL_API CFieldColorUser {
public:
    enum EKind { ListView, TreeView };
    explicit CFieldColorUser(EKind kind) : m_eKind(kind) {}

    // The colours now, and again after every pack switch.
    void Attach(HWND control);
    void Apply(HWND control);
    // kMsgStyleChanged: the colours again; false for other messages.
    bool OnMessage(HWND control, UINT message, LRESULT& result);

private:
    void Remember(HWND control);

    EKind m_eKind;
    bool m_bRemembered = false;
    SFieldColors m_native;
    COLORREF m_clrNativeTextBack = CLR_INVALID;
    CPostOnSwitch m_switchWatch;
};

}  // namespace Windows

#pragma once
// Styled text and picture statics. The native control keeps its logic; the object mirrors
// just enough of its state into glyphs to paint it from the style.
#include <string>
#include "../base/GdiHandles.h"
#include "../glyph/StyledGlyph.h"
#include "../style/Style.h"
#include "StyledWnd.h"

namespace Windows {

// ------------------------------------------------------------------ static

namespace StaticImpl {

// The text of a text static; its state is the alignment (0 left, 1 centre,
// 2 right), so the painter chooses the alignment by state.
class ORVEL_API CContent : public Glyph::CStyledTextGlyph {
public:
    explicit CContent(const std::wstring& text);
};

}  // namespace StaticImpl

class ORVEL_API CStatic : public CStyledWndImpl<CStatic, Base::CStaticT<>> {
public:
    CStatic() = default;
    ~CStatic() override;
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
    void OnSubclassed();

    // Makes this a picture static showing the style's bitmap of that name.
    void SetPictureName(const wchar_t* name);
    // Shows the current style's bitmap and places the static where the
    // style's "BitmapPosition" section says.
    void ReloadPicture();

    StaticImpl::CContent* GetContent() const { return m_pContent; }
    const std::wstring& GetPictureName() const { return m_strPictureName; }
    bool HasLook() const;

protected:
    void Layout(int width, int height);
    void OnPaint();
    std::wstring ShownText(const wchar_t* text) const;
    void ReleasePicture();

    StaticImpl::CContent* m_pContent = nullptr;
    std::wstring m_strPictureName;
    Base::CBitmapHandle m_hPicture;  // the style bitmap the static shows; ours
};

}  // namespace Windows

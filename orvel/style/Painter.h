#pragma once
// Painters: how one element kind of a style draws its background (an image
// or a coloured rectangle) and its foreground (a state image or a text) for
// a state index. A state at or beyond a painter's number of states draws
// as state 0.
#include <windows.h>
#include <optional>
#include <string>
#include <vector>
#include "../base/Export.h"
#include "../resource/IniReader.h"
#include "ImageArray.h"

namespace Style {

class CStyle;

class ORVEL_API CBackgroundPainter {
public:
    CBackgroundPainter() = default;
    virtual ~CBackgroundPainter();
    CBackgroundPainter(const CBackgroundPainter&) = delete;
    CBackgroundPainter& operator=(const CBackgroundPainter&) = delete;

    virtual bool Draw(HDC dc, int state, const RECT& rect, const RECT& clip) = 0;
    virtual bool DrawNonTransparent(HDC dc, int state, const RECT& rect, const RECT& clip) = 0;
    virtual bool Load(CStyle& style, const Resource::CSection* section) = 0;
    virtual bool GetTransparentRgn(HRGN& region) = 0;
};

// "FillImage" (DrawCenter true) and "BorderImage" (false, the centre part is
// left undrawn).
template <bool DrawCenter>
class CImageBackgroundPainter : public CBackgroundPainter {
public:
    bool Draw(HDC dc, int state, const RECT& rect, const RECT& clip) override;
    bool DrawNonTransparent(HDC dc, int state, const RECT& rect, const RECT& clip) override;
    bool Load(CStyle& style, const Resource::CSection* section) override;
    // The transparent pixels of image 0, in image coordinates.
    bool GetTransparentRgn(HRGN& region) override;

    const Images::CBackgroundImageArray& GetImages() const { return m_images; }

private:
    Images::CBackgroundImageArray m_images;
};

// "FillColor" (Fill true: filled rectangle with a border) and "BorderColor"
// (false: the border lines only).
template <bool Fill>
class CBorderFillBackgroundPainter : public CBackgroundPainter {
public:
    struct SState {
        int borderSize;
        COLORREF fillColor;
        COLORREF borderColor;
    };

    bool Draw(HDC dc, int state, const RECT& rect, const RECT& clip) override;
    bool DrawNonTransparent(HDC dc, int state, const RECT& rect, const RECT& clip) override;
    bool Load(CStyle& style, const Resource::CSection* section) override;
    bool GetTransparentRgn(HRGN& region) override;

    const std::vector<SState>& GetStates() const { return m_states; }

private:
    std::vector<SState> m_states;
};

extern template class ORVEL_API CImageBackgroundPainter<true>;
extern template class ORVEL_API CImageBackgroundPainter<false>;
extern template class ORVEL_API CBorderFillBackgroundPainter<true>;
extern template class ORVEL_API CBorderFillBackgroundPainter<false>;

class ORVEL_API CForegroundPainter {
public:
    CForegroundPainter() = default;
    virtual ~CForegroundPainter();
    CForegroundPainter(const CForegroundPainter&) = delete;
    CForegroundPainter& operator=(const CForegroundPainter&) = delete;

    virtual bool Draw(HDC dc, const RECT& rect, const RECT& clip, int state,
                      const std::wstring& text);
    // A length of -1 means up to the terminator.
    virtual bool Draw(HDC dc, const RECT& rect, const RECT& clip, int state, const wchar_t* text,
                      int length) = 0;
    virtual SIZE CalcSize(HDC dc, SIZE limit, const std::wstring& text);
    virtual SIZE CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length) = 0;
    virtual int GetMaxHeight(HDC dc) = 0;
    virtual bool Load(CStyle& style, const Resource::CSection* section) = 0;
    virtual void EnableCustomFormat(HDC dc, bool enable) = 0;
};

// "ImageGlyph": one image per state, drawn centred at its natural size.
class ORVEL_API CImageForegroundPainter : public CForegroundPainter {
public:
    using CForegroundPainter::CalcSize;
    using CForegroundPainter::Draw;

    bool Draw(HDC dc, const RECT& rect, const RECT& clip, int state, const wchar_t* text,
              int length) override;
    // The size of one image, whatever the text.
    SIZE CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length) override;
    int GetMaxHeight(HDC dc) override;
    // Keeps the strip even when it cannot be read; then nothing is drawn.
    bool Load(CStyle& style, const Resource::CSection* section) override;
    void EnableCustomFormat(HDC dc, bool enable) override;

    const Images::CImageArray& GetImages() const { return m_images; }

private:
    Images::CImageArray m_images;
};

// "Text": colours, background mode, font, alignment and wrapping per state.
class ORVEL_API CTextForegrounPainter : public CForegroundPainter {
public:
    struct STextState {
        COLORREF textColor;
        COLORREF backColor;
        int backMode;      // TRANSPARENT or OPAQUE
        HFONT font;        // owned by the style's font table; null: the device's
        UINT format;       // DrawText flags
        int rotation;      // tenths of a degree, 0 to 3599
    };

    CTextForegrounPainter() = default;
    ~CTextForegrounPainter() override;

    using CForegroundPainter::CalcSize;
    using CForegroundPainter::Draw;

    bool Draw(HDC dc, const RECT& rect, const RECT& clip, int state, const wchar_t* text,
              int length) override;
    // Measured with state 0; a negative limit is taken as 32767.
    SIZE CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length) override;
    int GetMaxHeight(HDC dc) override;
    bool Load(CStyle& style, const Resource::CSection* section) override;
    // Selects state 0 into the device until called again with false.
    void EnableCustomFormat(HDC dc, bool enable) override;

    const std::vector<STextState>& GetStates() const { return m_states; }

    // More states than this are not read: a state index is small, and a
    // malformed count must not make millions of records.
    static constexpr int kMaxStates = 1024;

private:
    // The device's values a selection replaced, restored by Restore.
    struct SSelection {
        HDC dc = nullptr;
        COLORREF textColor = 0;
        COLORREF backColor = 0;
        int backMode = 0;
        HGDIOBJ font = nullptr;

        void Select(HDC device, const STextState& state);
        void Restore();
    };

    const STextState& StateAt(int state) const;
    SIZE Measure(HDC dc, SIZE limit, const wchar_t* text, int length,
                 const STextState& state) const;

    std::vector<STextState> m_states;
    SSelection m_custom;  // EnableCustomFormat's selection
};

class ORVEL_API CPainter {
public:
    CPainter(const wchar_t* className, const wchar_t* subName = nullptr);
    virtual ~CPainter();
    CPainter(const CPainter&) = delete;
    CPainter& operator=(const CPainter&) = delete;

    // Reads the element's "Back@", "Fore@" and main sections. The style must
    // outlive the painter (it owns it).
    virtual bool LoadFromStyle(CStyle& style);
    virtual bool DrawForeground(HDC dc, const RECT& rect, const RECT& clip, int state,
                                const std::wstring& text);
    virtual bool DrawForeground(HDC dc, const RECT& rect, const RECT& clip, int state,
                                const wchar_t* text, int length);
    virtual bool DrawBackground(HDC dc, int state, const RECT& rect, const RECT& clip);
    virtual bool DrawNonTransparentBackGround(HDC dc, int state, const RECT& rect,
                                              const RECT& clip);
    // (-1, -1) without a foreground.
    virtual SIZE CalcSize(HDC dc, SIZE limit, const wchar_t* text, int length);
    virtual SIZE CalcSize(HDC dc, SIZE limit, const std::wstring& text);
    // -1 without a foreground.
    virtual int GetMaxHeight(HDC dc);
    virtual bool GetTransparentRgn(HRGN& region);
    virtual bool GetContentMargins(RECT& margins);
    virtual void GetContentRectByFull(RECT& rect);
    virtual void GetFullRectByContent(RECT& rect);
    virtual HCURSOR GetCursor();
    virtual bool GetVisible();
    virtual COLORREF GetEraseColor();

    // Selects the text format of state 0 into the device (true) or restores
    // the device (false), so a caller can draw text itself in that format.
    void EnableCustomFormat(HDC dc, bool enable);
    // "Custom@Class.Sub" exactly; with no word the main section, falling
    // back to the one without the sub-name.
    const Resource::CSection* GetCustomSection(const wchar_t* customWord = nullptr) const;
    // A key of any section of the style's config; 0 if missing.
    int GetKeyNameInt(const wchar_t* section, const wchar_t* key) const;

    const std::wstring& GetPainterClassName() const { return m_strClassName; }
    const std::wstring& GetSubName() const { return m_strSubName; }
    CBackgroundPainter* GetBackground() const { return m_pBackground; }
    CForegroundPainter* GetForeground() const { return m_pForeground; }

protected:
    void Clear();

private:
    std::wstring m_strClassName;
    std::wstring m_strSubName;
    std::optional<RECT> m_rcMargins;
    HCURSOR m_hCursor = nullptr;
    CBackgroundPainter* m_pBackground = nullptr;
    CForegroundPainter* m_pForeground = nullptr;
    bool m_bVisible = true;
    COLORREF m_clrEraseColor = Images::kNoColor;
    CStyle* m_pStyle = nullptr;
};

}  // namespace Style

#include <gtest/gtest.h>

#include <memory>
#include "orvel/glyph/TextGlyph.h"
#include "TestGlyphs.h"

using namespace GlyphTest;
using Glyph::CMultiLineTextGlyph;
using Glyph::CSingleLineTextGlyph;
using Glyph::CTextGlyph;

namespace {

HFONT MakeFont(int height)
{
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                       DEFAULT_PITCH, L"Tahoma");
}

bool IsLive(HGDIOBJ object)
{
    return GetObjectType(object) != 0;
}

struct SContextState {
    HGDIOBJ font;
    COLORREF text, back;
    int mode;
    bool operator==(const SContextState&) const = default;
};

SContextState StateOf(HDC dc)
{
    return {GetCurrentObject(dc, OBJ_FONT), GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)};
}

bool SamePixels(const CDibCanvas& a, const CDibCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

}  // namespace

TEST(TextGlyph, Measuring)
{
    CDibCanvas canvas(10, 10);
    CSingleLineTextGlyph single(L"Hello, world");
    const CSize natural = single.CalcSize(canvas.Dc(), -1, -1, false);
    EXPECT_GT(natural.cx, 0);
    EXPECT_EQ(single.CalcSize(canvas.Dc(), 5, 5, true), natural);
    EXPECT_EQ(single.CalcSize(canvas.Dc(), 1000, 1000, true), natural);

    CMultiLineTextGlyph one(L"line"), two(std::wstring(L"line\nline"));
    const CSize oneSize = one.CalcSize(canvas.Dc(), -1, -1, false);
    EXPECT_EQ(oneSize.cx, -1);
    EXPECT_GT(oneSize.cy, 0);
    EXPECT_EQ(two.CalcSize(canvas.Dc(), 0, -1, false), CSize(0, 2 * oneSize.cy));
    CMultiLineTextGlyph words(L"several short words wrapped at word boundaries");
    EXPECT_EQ(words.CalcSize(canvas.Dc(), 2000, -1, true), CSize(2000, oneSize.cy));
    const CSize narrow = words.CalcSize(canvas.Dc(), 60, -1, true);
    EXPECT_EQ(narrow.cx, 60);
    EXPECT_GT(narrow.cy, 2 * oneSize.cy);
}

TEST(TextGlyph, AmpersandsAreShownAsCharacters)
{
    HFONT font = MakeFont(16);
    for (bool multi : {false, true}) {
        CDibCanvas drawn(120, 30), expected(120, 30);
        std::unique_ptr<CTextGlyph> glyph;
        if (multi)
            glyph = std::make_unique<CMultiLineTextGlyph>(L"A&B");
        else
            glyph = std::make_unique<CSingleLineTextGlyph>(L"A&B");
        glyph->SetFont(font, false);
        glyph->SetRegion(nullptr, CRect(2, 2, 118, 28));
        glyph->Draw(drawn.Dc(), nullptr);

        HGDIOBJ old = SelectObject(expected.Dc(), font);
        TextOutW(expected.Dc(), 2, 2, L"A&B", 3);
        SIZE extent;
        GetTextExtentPoint32W(expected.Dc(), L"A&B", 3, &extent);
        SelectObject(expected.Dc(), old);
        EXPECT_TRUE(SamePixels(drawn, expected)) << (multi ? "multi line" : "single line");
        if (!multi) {
            EXPECT_EQ(glyph->CalcSize(drawn.Dc(), -1, -1, false), CSize(extent));
        }
    }
    DeleteObject(font);
}

TEST(TextGlyph, ContextIsLeftAsFound)
{
    HFONT font = MakeFont(14);
    for (bool configured : {false, true}) {
        CDibCanvas canvas(200, 40);
        HDC dc = canvas.Dc();
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        const SContextState before = StateOf(dc);
        CSingleLineTextGlyph single(L"Text");
        CMultiLineTextGlyph multi(L"More text");
        for (CTextGlyph* glyph : std::initializer_list<CTextGlyph*>{&single, &multi}) {
            if (configured) {
                glyph->SetFont(font, false);
                glyph->SetColor(RGB(255, 0, 0), RGB(0, 0, 255));
            }
            glyph->SetRegion(nullptr, CRect(0, 0, 200, 40));
            glyph->CalcSize(dc, 100, -1, true);
            EXPECT_EQ(StateOf(dc), before);
            canvas.Fill(RGB(255, 255, 255));
            glyph->Draw(dc, nullptr);
            EXPECT_EQ(StateOf(dc), before);
            // The opaque context fills the text cells with the colours in use.
            EXPECT_GT(canvas.Count(configured ? RGB(255, 0, 0) : RGB(1, 2, 3), kEverywhere), 0);
            EXPECT_GT(canvas.Count(configured ? RGB(0, 0, 255) : RGB(4, 5, 6), kEverywhere), 0);
        }
    }
    DeleteObject(font);
}

TEST(TextGlyph, FontOwnership)
{
    HFONT first = MakeFont(12), second = MakeFont(13), third = MakeFont(14);
    {
        CSingleLineTextGlyph glyph(L"x");
        glyph.SetFont(first, true);
        glyph.SetFont(first, true);  // the same font again is kept alive
        EXPECT_TRUE(IsLive(first));
        glyph.SetFont(second, false);
        EXPECT_FALSE(IsLive(first));
        glyph.SetFont(third, false);
    }
    EXPECT_TRUE(IsLive(second));
    {
        CMultiLineTextGlyph glyph(L"x");
        glyph.SetFont(second, true);
    }
    EXPECT_FALSE(IsLive(second));
    EXPECT_TRUE(IsLive(third));
    DeleteObject(third);
}

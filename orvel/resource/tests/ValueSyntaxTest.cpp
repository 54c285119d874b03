#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>
#include "orvel/base/Failure.h"
#include "orvel/resource/IniReader.h"

using Resource::CLine;

namespace {

std::vector<std::wstring> Fields(const wchar_t* content)
{
    CLine line(L"k", content);
    std::vector<std::wstring> out;
    for (int i = 0; i < line.GetFieldCount(); ++i) {
        std::wstring field;
        line.ReadContentField(i, field);
        out.push_back(field);
    }
    return out;
}

using F = std::vector<std::wstring>;

int ScreenDpi()
{
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

}  // namespace

TEST(ValueSyntax, FieldSplitting)
{
    EXPECT_EQ((F{L"1", L"2", L"3"}), Fields(L"1, 2 ,3"));
    EXPECT_EQ((F{L"a,b", L"c"}), Fields(L"\"a,b\",c"));
    EXPECT_EQ((F{L"x,y", L"z"}), Fields(L"\"x,y\",z"));
    EXPECT_EQ((F{L"a", L"", L"b"}), Fields(L"a,,b"));
    EXPECT_EQ((F{L"", L"a"}), Fields(L",a"));
    EXPECT_EQ((F{L"a"}), Fields(L"a,"));
    EXPECT_EQ((F{L"a", L""}), Fields(L"a,,"));
    EXPECT_EQ((F{}), Fields(L""));
    // Quotes protect commas only right after a comma or at the start.
    EXPECT_EQ((F{L"a", L"\"b", L"c\""}), Fields(L"a, \"b,c\""));
    // Doubled quotes, text after the closing quote, an unterminated quote.
    EXPECT_EQ((F{L"say \"hi\"", L"n"}), Fields(L"\"say \"\"hi\"\"\",n"));
    EXPECT_EQ((F{L"ab tail", L"n"}), Fields(L"\"ab\" tail,n"));
    EXPECT_EQ((F{L"open, end"}), Fields(L"\"open, end"));
    EXPECT_EQ((F{L""}), Fields(L"\"\","));
    EXPECT_EQ((F{L""}), Fields(L"\""));
    // Leading and trailing spaces inside quotes are trimmed like any other.
    EXPECT_EQ((F{L"pad"}), Fields(L"\" pad \""));
}

TEST(ValueSyntax, FieldsAreSplitOnceAndKept)
{
    CLine line(L"k", L"1,2");
    EXPECT_EQ(2, line.SplitContent());
    EXPECT_EQ(0, line.SplitContent());
    EXPECT_EQ(2, line.GetFieldCount());
    __int64 value = 0;
    line.ReadContentField(1, value);
    EXPECT_EQ(2, value);
    for (int bad : {-1, 2}) {
        try {
            line.ReadContentField(bad, value);
            FAIL();
        } catch (const Base::CFailure& failure) {
            EXPECT_EQ(E_INVALIDARG, failure.GetCode());
        }
    }
    std::wstring text;
    EXPECT_THROW(CLine(L"k", L"").ReadContentField(0, text), Base::CFailure);
}

TEST(ValueSyntax, IntegerRule)
{
    struct { const wchar_t* text; int value; } cases[] = {
        {L"12px", 12},       {L"abc", 0},        {L"0x10", 0},
        {L"  -42", -42},     {L"+7", 7},         {L"", 0},
        {L"-", 0},           {L"3,4", 3},        {L"2147483647", INT_MAX},
        {L"2147483648", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"-99999999999999999999", INT_MIN},     {L"99999999999999999999999", INT_MAX},
        {L"\t\x3000 5", 5},  {L"- 5", 0},        {L"\x0661", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, CLine(L"k", c.text).ReadContentAsInt()) << c.text;
        EXPECT_EQ(c.value, Resource::ParseInt(c.text)) << c.text;
    }
}

TEST(ValueSyntax, Booleans)
{
    EXPECT_TRUE(CLine(L"k", L"TRUE").ReadContentAsBool());
    EXPECT_TRUE(CLine(L"k", L"True").ReadContentAsBool());
    for (const wchar_t* no : {L"1", L"yes", L"", L"true1", L"tru"})
        EXPECT_FALSE(CLine(L"k", no).ReadContentAsBool()) << no;
}

TEST(ValueSyntax, Colours)
{
    EXPECT_EQ(0x000000FFu, CLine(L"k", L"255,0,0").ReadContentAsColor());
    EXPECT_EQ(0x00FF8000u, CLine(L"k", L"0, 128 ,255").ReadContentAsColor());
    EXPECT_EQ(44u, CLine(L"k", L"300,0,0").ReadContentAsColor());
    EXPECT_EQ(0x0000FF00u, CLine(L"k", L"256,-1,0").ReadContentAsColor());
    for (const wchar_t* bad : {L"1,2", L"1,2,3,4", L""})
        EXPECT_EQ(0xFFFFFFFFu, CLine(L"k", bad).ReadContentAsColor()) << bad;
}

TEST(ValueSyntax, RectanglesAreLeftRightTopBottom)
{
    RECT rect = {9, 9, 9, 9};
    CLine(L"k", L"1,2,3,4").ReadContentAsRect(rect);
    EXPECT_EQ(1, rect.left);
    EXPECT_EQ(2, rect.right);
    EXPECT_EQ(3, rect.top);
    EXPECT_EQ(4, rect.bottom);
    RECT kept = {5, 6, 7, 8};
    CLine(L"k", L"1,2,3").ReadContentAsRect(kept);
    CLine(L"k", L"1,2,3,4,5").ReadContentAsRect(kept);
    EXPECT_EQ(5, kept.left);
    EXPECT_EQ(8, kept.bottom);
}

TEST(ValueSyntax, Sizes)
{
    SIZE size = {1, 1};
    CLine(L"k", L"16, 20").ReadContentAsSize(size);
    EXPECT_EQ(16, size.cx);
    EXPECT_EQ(20, size.cy);
    CLine(L"k", L"3").ReadContentAsSize(size);
    CLine(L"k", L"3,4,5").ReadContentAsSize(size);
    EXPECT_EQ(16, size.cx);
}

TEST(ValueSyntax, FontDefaults)
{
    LOGFONTW font;
    memset(&font, 0x55, sizeof font);
    CLine(L"k", L"").ReadContentAsFont(font);
    EXPECT_EQ(-MulDiv(9, ScreenDpi(), 72), font.lfHeight);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(400, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
    EXPECT_EQ(0, font.lfCharSet);
    EXPECT_EQ(1, font.lfPitchAndFamily);
    EXPECT_EQ(0, font.lfQuality);
    EXPECT_STREQ(L"", font.lfFaceName);
}

TEST(ValueSyntax, FontWords)
{
    int dpi = ScreenDpi();
    LOGFONTW font;
    CLine(L"k", L"name:Tahoma, size:8, bold").ReadContentAsFont(font);
    EXPECT_STREQ(L"Tahoma", font.lfFaceName);
    EXPECT_EQ(-MulDiv(8, dpi, 72), font.lfHeight);
    EXPECT_EQ(700, font.lfWeight);

    CLine(L"k", L"SIZE:12,Italic,UNDERLINE,escapement:900").ReadContentAsFont(font);
    EXPECT_EQ(-MulDiv(12, dpi, 72), font.lfHeight);
    EXPECT_EQ(1, font.lfItalic);
    EXPECT_EQ(1, font.lfUnderline);
    EXPECT_EQ(900, font.lfEscapement);
    EXPECT_EQ(900, font.lfOrientation);

    CLine(L"k", L"bold,weight:300").ReadContentAsFont(font);
    EXPECT_EQ(300, font.lfWeight);
    CLine(L"k", L"weight:300,bold").ReadContentAsFont(font);
    EXPECT_EQ(700, font.lfWeight);

    CLine(L"k", L"name:,size:,strike,name:A,name:B").ReadContentAsFont(font);
    EXPECT_STREQ(L"B", font.lfFaceName);
    EXPECT_EQ(-MulDiv(9, dpi, 72), font.lfHeight);

    CLine(L"k", L"name:").ReadContentAsFont(font);
    EXPECT_STREQ(L"", font.lfFaceName);
}

TEST(ValueSyntax, NamedFacesAreTheFacesCreated)
{
    LOGFONTW font;
    // Tahoma is what the shipped packs name; the test prefix installs Wine's
    // own copy (without it the mapper substitutes a monospaced face for the
    // fixed pitch the defaults ask for).
    CLine(L"k", L"name:Tahoma, size:9").ReadContentAsFont(font);
    HFONT handle = CreateFontIndirectW(&font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(handle);
    EXPECT_STREQ(L"Tahoma", face);
    // A proportional face: TMPF_FIXED_PITCH set means variable pitch.
    EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH);
}

TEST(ValueSyntax, LongFaceNamesAreCutToTheRecord)
{
    LOGFONTW font[2];
    memset(font, 0x77, sizeof font);
    std::wstring longName(80, L'N');
    CLine(L"k", (L"name:" + longName).c_str()).ReadContentAsFont(font[0]);
    EXPECT_EQ(std::wstring(LF_FACESIZE - 1, L'N'), font[0].lfFaceName);
    // The record after it is untouched.
    EXPECT_EQ(0x77777777, font[1].lfHeight);
}

TEST(ValueSyntax, CharSetFollowsTheInterfaceLanguage)
{
    EXPECT_EQ(136, Resource::CharSetForLanguage(0x0404));
    EXPECT_EQ(0, Resource::CharSetForLanguage(0x0409));
    EXPECT_EQ(128, Resource::CharSetForLanguage(0x0411));
    EXPECT_EQ(134, Resource::CharSetForLanguage(0x0804));
    EXPECT_EQ(1, Resource::CharSetForLanguage(0x0412));

    Resource::SetUiCharSet(Resource::CharSetForLanguage(0x0804));
    LOGFONTW font;
    CLine(L"k", L"bold").ReadContentAsFont(font);
    EXPECT_EQ(134, font.lfCharSet);
    Resource::SetUiCharSet(0);
}

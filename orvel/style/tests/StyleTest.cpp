#include <gtest/gtest.h>

#include <sstream>
#include "StyleTestUtil.h"
#include "orvel/base/Failure.h"
#include "tests/common/TestCommon.h"
#include "tools/spkc/PackBuilder.h"

using Style::CPainter;
using Style::CStyle;
using Style::CStyleConfigReader;
using Style::CTextForegrounPainter;
using StyleTest::Bitmap;
using StyleTest::SLoadedStyle;
using StyleTest::Source;

namespace {

HRESULT FailureCode(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Base::CFailure& failure) {
        return failure.GetCode();
    }
    return S_OK;
}

CTextForegrounPainter* TextOf(CPainter* painter)
{
    return dynamic_cast<CTextForegrounPainter*>(painter->GetForeground());
}

}  // namespace

TEST(StyleConfig, SectionNamesAndLookups)
{
    using R = CStyleConfigReader;
    EXPECT_EQ(L"PushButton", R::MakeSectionName(L"PushButton", nullptr, R::PartNone));
    EXPECT_EQ(L"PushButton.Big", R::MakeSectionName(L"PushButton", L"Big", R::PartNone));
    EXPECT_EQ(L"Back@PushButton.Big", R::MakeSectionName(L"PushButton", L"Big", R::PartBack));
    EXPECT_EQ(L"Fore@PushButton", R::MakeSectionName(L"PushButton", L"", R::PartFore));
    EXPECT_EQ(L"Menu@Frame.x", R::MakeSectionName(L"Frame", L"x", L"Menu"));
    EXPECT_EQ(L"", R::MakeSectionName(L"PushButton", nullptr, static_cast<R::Part>(3)));

    R config;
    std::wistringstream text(
        L"[back@pushbutton]\nType=FillColor\n[PushButton.Big]\nA=1\n"
        L"[PushButton]\nA=2\nB=3\n[Menu@PushButton]\nC=4\n");
    config.LoadFromStream(text);
    // Case-insensitive, with the fallback to the name without the sub-name.
    EXPECT_EQ(config.FindSection(L"back@pushbutton"),
              config.GetSection(L"PushButton", L"Big", R::PartBack));
    EXPECT_EQ(config.FindSection(L"PushButton.Big"),
              config.GetSection(L"PushButton", L"Big", R::PartNone));
    EXPECT_EQ(nullptr, config.GetSection(L"PushButton", L"Big", R::PartFore));
    // Custom words: the exact section only.
    EXPECT_EQ(nullptr, config.GetSection(L"PushButton", L"Big", L"Menu"));
    EXPECT_NE(nullptr, config.GetSection(L"PushButton", L"", L"menu"));
    // A line missing from the section found is not looked for elsewhere.
    EXPECT_EQ(L"1", config.GetLine(L"PushButton", L"Big", R::PartNone, L"A")->GetContent());
    EXPECT_EQ(nullptr, config.GetLine(L"PushButton", L"Big", R::PartNone, L"B"));
    EXPECT_EQ(L"3", config.GetLine(L"PushButton", L"Other", R::PartNone, L"B")->GetContent());
}

TEST(Style, FailuresForMissingIniAndUnknownKinds)
{
    CStyle style;
    EXPECT_FALSE(style.Load(L"C:\\no\\such\\pack.spk"));
    // No pack: an empty config and painters that draw nothing.
    EXPECT_FALSE(style.IsSimple());
    CPainter* painter = style.GetPainter(CStyle::PushButton);
    ASSERT_NE(nullptr, painter);
    EXPECT_FALSE(painter->GetVisible());
    EXPECT_FALSE(painter->DrawBackground(nullptr, 0, RECT{0, 0, 5, 5}, RECT{0, 0, 5, 5}));

    for (int type : {-1, 35, 159, 160, 183, 190, 191, 266})
        EXPECT_EQ(E_INVALIDARG, FailureCode([&] { style.GetPainter(CStyle::PainterType(type)); }))
            << type;
    EXPECT_EQ(nullptr, CStyle::GetPainterClassName(183));
    EXPECT_STREQ(L"ModeItem", CStyle::GetPainterClassName(CStyle::ModeItem));
    EXPECT_STREQ(L"PushButton", style.GetPainter(CStyle::PushButton)->GetPainterClassName().c_str());

    TestCommon::CTempDir dir;
    std::wstring empty = dir.File(L"empty.spk");
    ASSERT_TRUE(Spk::WriteEmptyModule(empty));
    {
        CStyle bare;
        ASSERT_TRUE(bare.Load(empty.c_str()));
        EXPECT_EQ(Base::kMissingStyleIni, FailureCode([&] { bare.GetConfig(); }));
        // Still missing on the next use, also through a painter.
        EXPECT_EQ(Base::kMissingStyleIni, FailureCode([&] { bare.GetPainter(CStyle::Frame); }));
    }
}

TEST(Style, NamesStringsStampAndBitmaps)
{
    auto source = Source(L"[Config]\r\nIsSimple=TRUE\r\n");
    source.strings[0] = {{101, L"Blue"}, {7, L"seven"}};
    source.strings[0x0409] = {{101, L"Blue Day"}};
    source.bitmaps.push_back(Bitmap(L"Pic_small.bmp", 4, 3, [](int, int) { return RGB(1, 2, 3); }));
    SLoadedStyle s(source);
    EXPECT_TRUE(s.style.IsSimple());
    EXPECT_EQ(L"Blue", s.style.GetName());
    EXPECT_FALSE(s.style.SetLangID(0x0400));
    EXPECT_TRUE(s.style.SetLangID(0x0409));
    EXPECT_EQ(L"Blue Day", s.style.GetShowName());
    EXPECT_EQ(L"seven", s.style.ReadString(7, 0));
    SYSTEMTIME stamp = {};
    EXPECT_TRUE(s.style.ReadTimeStamp(stamp));
    EXPECT_GE(stamp.wYear, 2020);
    HBITMAP bitmap = s.style.ReadBitmap(L"PIC_SMALL.BMP");
    ASSERT_NE(nullptr, bitmap);
    DeleteObject(bitmap);
    EXPECT_EQ(nullptr, s.style.ReadBitmap(L"PIC_DEMO.BMP"));
    EXPECT_NE(nullptr, static_cast<HINSTANCE>(s.style));
}

TEST(Style, CursorsByExactNameOrResource)
{
    auto source = Source(
        L"[Cursors]\r\n$Hand=HAND.CUR\r\n$Gone=NONE.CUR\r\n"
        L"[A]\r\nCursor=$Hand\r\n[B]\r\nCursor=$hand\r\n[C]\r\nCursor=HAND.CUR\r\n"
        L"[D]\r\nCursor=hand.cur\r\n[E]\r\nCursor=$Gone\r\n");
    source.cursors.push_back({L"Hand.cur", 32, {3, 4}});
    SLoadedStyle s(source);
    Resource::CLine named(L"Cursor", L"$Hand");
    HCURSOR hand = s.style.GetCursor(&named);
    ASSERT_NE(nullptr, hand);
    // Painters of the test's own class names read the "Cursor" keys.
    auto cursorOf = [&](const wchar_t* name) {
        CPainter painter(name);
        painter.LoadFromStyle(s.style);
        return painter.GetCursor();
    };
    EXPECT_EQ(hand, cursorOf(L"A"));
    EXPECT_EQ(nullptr, cursorOf(L"B"));  // named cursors keep their case
    EXPECT_EQ(nullptr, cursorOf(L"E"));
    HCURSOR resource = cursorOf(L"C");
    ASSERT_NE(nullptr, resource);
    EXPECT_NE(hand, resource);
    // Made once and owned by the style.
    EXPECT_EQ(resource, cursorOf(L"C"));
    EXPECT_NE(nullptr, cursorOf(L"D"));
    EXPECT_EQ(nullptr, s.style.GetCursor(nullptr));

    // The style destroys both kinds when it loads a pack again.
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(resource, &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ASSERT_TRUE(s.style.Load(s.pack.Path().c_str()));
    EXPECT_FALSE(GetIconInfo(hand, &info));
    EXPECT_FALSE(GetIconInfo(resource, &info));
}

TEST(Style, FontsByNameDescriptionAndDefault)
{
    SLoadedStyle s(Source(
        L"[Fonts]\r\n$default$=name:Tahoma, size:8\r\n$TITLE=name:Tahoma, size:12, bold\r\n"
        L"$Same1=size:9\r\n$Same2=size:9\r\n"
        L"[Fore@X]\r\nType=Text\r\nStateCount=6\r\nFont=$Title\r\nFont1=$nothing\r\n"
        L"Font2=name:Tahoma, size:12, bold\r\nFont3=size:20\r\nFont4=size:20\r\nFont5=$\r\n"
        L"[Fore@Y]\r\nType=Text\r\nStateCount=1\r\n"));
    CPainter x(L"X");
    x.LoadFromStyle(s.style);
    auto* text = TextOf(&x);
    ASSERT_NE(nullptr, text);
    const auto& states = text->GetStates();
    ASSERT_EQ(6u, states.size());
    HFONT title = s.style.GetNameFont(L"$title");
    HFONT standard = s.style.GetNameFont(L"$DEFAULT$");
    ASSERT_NE(nullptr, title);
    EXPECT_EQ(standard, s.style.GetDefaultFont());
    EXPECT_EQ(title, states[0].font);
    EXPECT_EQ(standard, states[1].font);  // unknown "$" name: the default
    EXPECT_EQ(title, states[2].font);     // equal description: the same handle
    EXPECT_NE(nullptr, states[3].font);
    EXPECT_EQ(states[3].font, states[4].font);
    EXPECT_EQ(standard, states[5].font);
    // Two named lines with one description are two entries.
    EXPECT_NE(s.style.GetNameFont(L"$Same1"), s.style.GetNameFont(L"$Same2"));
    LOGFONTW font = {};
    GetObjectW(title, sizeof font, &font);
    EXPECT_EQ(700, font.lfWeight);
    EXPECT_STREQ(L"Tahoma", font.lfFaceName);

    // No "Font" key: the device's own font.
    CPainter y(L"Y");
    y.LoadFromStyle(s.style);
    EXPECT_EQ(nullptr, TextOf(&y)->GetStates()[0].font);
    EXPECT_EQ(standard, s.style.ReadFont(nullptr));

    // A description equal to a named font reuses its handle.
    SLoadedStyle t(Source(L"[Fonts]\r\n$a=size:11\r\n"));
    Resource::CLine line(L"Font", L"size:11");
    EXPECT_EQ(t.style.GetNameFont(L"$A"), t.style.ReadFont(&line));
    EXPECT_EQ(nullptr, t.style.GetDefaultFont());
}

TEST(Style, ImageArraysFromKeys)
{
    auto source = Source(
        L"[H]\r\nImageFile=strip.bmp\r\nImageLayout=Horizontal\r\nImageCount=4\r\n"
        L"ImageFile2=Tall.bmp\r\nTransparent=true\r\n"
        L"[V]\r\nImageFile=Tall.bmp\r\nImageLayout=vert\r\nImageCount=3\r\n"
        L"Transparent=TRUE\r\nTransparentColor=0,0,255\r\n"
        L"[Bad]\r\nImageFile=Tall.bmp\r\nTransparent=true\r\nTransparentColor=1,2\r\n"
        L"[Missing]\r\nImageFile=none.bmp\r\n[Empty]\r\nImageFile=\r\n");
    source.bitmaps.push_back(Bitmap(L"Strip.bmp", 120, 20, [](int x, int) {
        return x == 0 ? RGB(9, 9, 9) : RGB(200, 0, 0);
    }));
    source.bitmaps.push_back(Bitmap(L"Tall.bmp", 20, 90, [](int, int y) {
        return y == 0 ? RGB(7, 7, 7) : RGB(0, 200, 0);
    }));
    SLoadedStyle s(source);
    const auto& config = s.style.GetConfig();
    Images::CImageArray array;
    ASSERT_TRUE(s.style.LoadImageArray(array, config.FindSection(L"H"), 0));
    EXPECT_EQ(Images::CImageArray::Horizontal, array.GetLayout());
    EXPECT_EQ(30, array.GetGlyphSize().cx);
    EXPECT_EQ(RGB(9, 9, 9), array.GetTransparentColor());  // the top-left pixel

    // ImageFile2: the other key, the section's other values.
    ASSERT_TRUE(s.style.LoadImageArray(array, config.FindSection(L"H"), 2));
    EXPECT_EQ(5, array.GetGlyphSize().cx);
    EXPECT_FALSE(s.style.LoadImageArray(array, config.FindSection(L"H"), 1));

    ASSERT_TRUE(s.style.LoadImageArray(array, config.FindSection(L"V"), 0));
    EXPECT_EQ(Images::CImageArray::Vertical, array.GetLayout());
    EXPECT_EQ(30, array.GetGlyphSize().cy);
    EXPECT_EQ(RGB(0, 0, 255), array.GetTransparentColor());

    // A malformed colour falls back to the automatic one.
    ASSERT_TRUE(s.style.LoadImageArray(array, config.FindSection(L"Bad"), 0));
    EXPECT_EQ(RGB(7, 7, 7), array.GetTransparentColor());

    // Failures leave the array as it was.
    EXPECT_FALSE(s.style.LoadImageArray(array, config.FindSection(L"Missing"), 0));
    EXPECT_FALSE(s.style.LoadImageArray(array, config.FindSection(L"Empty"), 0));
    EXPECT_FALSE(s.style.LoadImageArray(array, nullptr, 0));
    EXPECT_EQ(20, array.GetGlyphSize().cx);
    EXPECT_EQ(L"STRIP.BMP", CStyle::ReadImageFileName(config.FindSection(L"H"), 0));
    EXPECT_EQ(1, CStyle::ReadImageCount(config.FindSection(L"Missing")));
}

TEST(Painter, LoadingChoosesLayersAndReadsMainKeys)
{
    SLoadedStyle s(Source(
        L"[Back@PushButton]\r\nType=FillColor\r\n"                       // no StateCount
        L"[Fore@PushButton]\r\nType=Text\r\nStateCount=1\r\n"
        L"[CheckButton]\r\nMargins=1,2,3,4\r\nEraseColor=10,20,30\r\nVisible=false\r\n"
        L"[Back@CheckButton]\r\nType=bordercolor\r\nStateCount=2\r\n"
        L"[Fore@CheckButton]\r\nType=Picture\r\n"
        L"[RadioButton]\r\nMargins=1,2,3\r\nEraseColor=1,2\r\n"
        L"[Fore@Edit]\r\nType=Text\r\nStateCount=0\r\n"
        L"[Back@Static]\r\nType=FILLCOLOR\r\nStateCount=1\r\n"
        L"[Back@Static.Big]\r\nType=FillColor\r\nStateCount=3\r\n"
        L"[Static]\r\nGlyphSpace=7\r\n[Menu@Static]\r\nGap=5\r\n[Menu@Static.Big]\r\nGap=6\r\n"));
    CStyle& style = s.style;

    CPainter* push = style.GetPainter(CStyle::PushButton);
    EXPECT_EQ(push, style.GetPainter(CStyle::PushButton));
    EXPECT_EQ(nullptr, push->GetBackground());  // FillColor without StateCount
    EXPECT_FALSE(push->DrawBackground(nullptr, 0, RECT{}, RECT{}));
    EXPECT_NE(nullptr, push->GetForeground());
    EXPECT_TRUE(push->GetVisible());  // its "Fore@" section exists
    RECT margins = {9, 9, 9, 9};
    EXPECT_FALSE(push->GetContentMargins(margins));
    RECT rect = {10, 10, 50, 50};
    push->GetContentRectByFull(rect);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(Images::kNoColor, push->GetEraseColor());

    CPainter* check = style.GetPainter(CStyle::CheckButton);
    EXPECT_NE(nullptr, dynamic_cast<Style::CBorderFillBackgroundPainter<false>*>(
                           check->GetBackground()));
    EXPECT_EQ(nullptr, check->GetForeground());  // unknown type word
    EXPECT_FALSE(check->GetVisible());
    EXPECT_EQ(RGB(10, 20, 30), check->GetEraseColor());
    ASSERT_TRUE(check->GetContentMargins(margins));
    EXPECT_EQ(1, margins.left);
    EXPECT_EQ(3, margins.top);
    EXPECT_EQ(2, margins.right);
    EXPECT_EQ(4, margins.bottom);
    rect = {10, 10, 50, 50};
    check->GetContentRectByFull(rect);
    EXPECT_EQ(11, rect.left);
    EXPECT_EQ(13, rect.top);
    EXPECT_EQ(48, rect.right);
    EXPECT_EQ(46, rect.bottom);
    check->GetFullRectByContent(rect);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(50, rect.bottom);
    EXPECT_EQ(-1, check->CalcSize(nullptr, SIZE{10, 10}, L"x", 1).cx);
    EXPECT_EQ(-1, check->GetMaxHeight(nullptr));

    // Malformed margins are zero margins; a malformed erase colour is none.
    CPainter* radio = style.GetPainter(CStyle::RadioButton);
    ASSERT_TRUE(radio->GetContentMargins(margins));
    EXPECT_EQ(0, margins.left);
    EXPECT_EQ(0, margins.bottom);
    EXPECT_EQ(Images::kNoColor, radio->GetEraseColor());
    EXPECT_TRUE(radio->GetVisible());

    // "StateCount=0" has no state to draw: no foreground.
    EXPECT_EQ(nullptr, style.GetPainter(CStyle::Edit)->GetForeground());
    // None of the three sections: invisible.
    EXPECT_FALSE(style.GetPainter(CStyle::Frame)->GetVisible());

    // A sub-name painter prefers its own sections and falls back to the
    // class's; custom sections do not fall back.
    CPainter big(L"Static", L"Big");
    big.LoadFromStyle(style);
    auto* bigBack =
        dynamic_cast<Style::CBorderFillBackgroundPainter<true>*>(big.GetBackground());
    ASSERT_NE(nullptr, bigBack);
    EXPECT_EQ(3u, bigBack->GetStates().size());
    EXPECT_EQ(7, big.GetCustomSection()->FindLine(L"GlyphSpace")->ReadContentAsInt());
    EXPECT_EQ(L"6", big.GetCustomSection(L"Menu")->FindLine(L"Gap")->GetContent());
    CPainter other(L"Static", L"Other");
    other.LoadFromStyle(style);
    EXPECT_EQ(nullptr, other.GetCustomSection(L"Menu"));
    EXPECT_EQ(5, other.GetKeyNameInt(L"Menu@Static", L"Gap"));
    EXPECT_EQ(0, other.GetKeyNameInt(L"Menu@Static", L"Nothing"));

    // A second Load forgets every painter.
    ASSERT_TRUE(style.Load(s.pack.Path().c_str()));
    EXPECT_NE(nullptr, style.GetPainter(CStyle::PushButton));
}

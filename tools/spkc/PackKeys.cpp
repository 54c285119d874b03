#include "tools/spkc/PackKeys.h"

#include <vector>
#include "orvel/menus/MenuPalette.h"
#include "orvel/style/Style.h"

namespace Spk {

namespace {

using S = Style::CStyle;

// CStyledFrame<N> reads its frame keys from kind N and its caption keys from
// kind N + 1, for the three N it is made for.
const int kFrameKinds[] = {S::Frame, S::DlgFrame, S::XPDlgFrame, -1};
const int kCaptionKinds[] = {S::Frame + 1, S::DlgFrame + 1, S::XPDlgFrame + 1, -1};
const int kMenuBarKinds[] = {S::MenuBar, -1};

// Gathered from
//   orvel/style/Style.cpp        CStyle::GetConfig, LoadImageArray and its readers
//   orvel/style/Painter.cpp      CPainter::LoadFromStyle and the painters' Load
//   orvel/glyph/StyledGlyph.cpp  styled compositions (GlyphSpace)
//   orvel/windows/Frame.cpp      CStyledFrame<N>::ReadStyle
// and, in KnownKeys, the menu palette's own key table. Code that reads a new
// key from a pack adds it here; until then every pack using the key gets an
// "unknown key" warning from spkc --check.
const SKnownKey kFixedKeys[] = {
    {kConfig, L"IsSimple", EValue::Bool, false, nullptr, nullptr, L"false",
     L"true: the pack styles no windows; frames and controls stay native"},

    {kMain, L"Margins", EValue::Rect, false, nullptr, nullptr, L"none",
     L"content margins: where text and images go inside the element; a frame's borders"},
    {kMain, L"Cursor", EValue::Cursor, false, nullptr, nullptr, L"none", L"the cursor over the element"},
    {kMain, L"Visible", EValue::Bool, false, nullptr, nullptr, L"true if any of [Class], [Back@Class], [Fore@Class] exists",
     L"whether the element is shown"},
    {kMain, L"EraseColor", EValue::Colour, false, nullptr, nullptr, L"none", L"colour erased behind the element"},
    {kMain, L"GlyphSpace", EValue::Int, false, nullptr, nullptr, L"the composition's own (2; 10 for command tiles)",
     L"gap between the parts of a styled composition (box and label, icon and text)"},

    {kMain, L"WidthEllipse", EValue::Int, false, nullptr, kFrameKinds, L"0",
     L"width of the ellipse rounding all four corners"},
    {kMain, L"HeightEllipse", EValue::Int, false, nullptr, kFrameKinds, L"0",
     L"height of the ellipse rounding all four corners"},
    {kMain, L"TopLeftEllipse", EValue::Size, false, nullptr, kFrameKinds, L"0, 0", L"the top-left corner's ellipse"},
    {kMain, L"TopRightEllipse", EValue::Size, false, nullptr, kFrameKinds, L"0, 0", L"the top-right corner's ellipse"},
    {kMain, L"BottomLeftEllipse", EValue::Size, false, nullptr, kFrameKinds, L"0, 0",
     L"the bottom-left corner's ellipse"},
    {kMain, L"BottomRightEllipse", EValue::Size, false, nullptr, kFrameKinds, L"0, 0",
     L"the bottom-right corner's ellipse"},
    {kMain, L"BackColor", EValue::Colour, false, nullptr, kFrameKinds, L"native", L"the dialog's background"},
    {kMain, L"StaticColor", EValue::Colour, false, nullptr, kFrameKinds, L"native", L"text colour of native statics"},
    {kMain, L"FieldColor", EValue::Colour, false, nullptr, kFrameKinds, L"native",
     L"client area of native edits and list boxes on the frame"},
    {kMain, L"FieldTextColor", EValue::Colour, false, nullptr, kFrameKinds, L"native",
     L"text of native edits and list boxes on the frame"},
    {kMain, L"Height", EValue::Int, false, nullptr, kCaptionKinds, L"28", L"caption height"},
    {kMain, L"ButtonRight", EValue::Int, false, nullptr, kCaptionKinds, L"4",
     L"gap between the caption buttons and the caption's edge"},
    {kMain, L"ButtonSpace", EValue::Int, false, nullptr, kCaptionKinds, L"0", L"gap between caption buttons"},
    {kMain, L"IconWidth", EValue::Int, false, nullptr, kCaptionKinds, L"the system's small icon width",
     L"width of the caption icon"},
    {kMain, L"IconHeight", EValue::Int, false, nullptr, kCaptionKinds, L"the system's small icon height",
     L"height of the caption icon"},
    {kMain, L"TitleOffset", EValue::Int, false, nullptr, kCaptionKinds, L"0",
     L"extra indent of the title text"},
    {kMain, L"ButtonOffset", EValue::Int, false, nullptr, kCaptionKinds, L"-1 (centred)",
     L"caption buttons' distance from the caption's content top"},
    {kMain, L"AlignLeft", EValue::Int, false, nullptr, kCaptionKinds, L"0",
     L"non-zero: caption buttons on the left, in reverse order"},

    {kBack, L"Type", EValue::Word, false, L"FillImage|BorderImage|FillColor|BorderColor", nullptr, L"none",
     L"the kind of background; BorderImage leaves the nine-part centre undrawn"},
    {kFore, L"Type", EValue::Word, false, L"ImageGlyph|Text", nullptr, L"none", L"the kind of foreground"},

    {kImage, L"ImageFile", EValue::Bitmap, false, nullptr, nullptr, L"required",
     L"the image strip (a bitmap of the pack)"},
    {kImage, L"ImageCount", EValue::Count, false, nullptr, nullptr, L"1", L"images in the strip, one per state"},
    {kImage, L"ImageLayout", EValue::Word, false, L"vertical|horizontal", nullptr, L"vertical",
     L"how the strip is cut"},
    {kImage, L"Transparent", EValue::Bool, false, nullptr, nullptr, L"false", L"draw with a transparent colour"},
    {kImage, L"TransparentColor", EValue::Colour, false, nullptr, nullptr, L"the strip's top-left pixel",
     L"the transparent colour"},
    {kBackImage, L"SizingType", EValue::Word, false, L"TrueSize|Stretch|Tile|TileHorz|TileVert|TileCenter",
     nullptr, L"TrueSize", L"how the nine-part edges and centre fill the element"},
    {kBackImage, L"SizingMargins", EValue::Rect, false, nullptr, nullptr, L"-1, -1, -1, -1",
     L"the image's fixed borders (nine-part margins)"},

    {kBackColor | kForeText, L"StateCount", EValue::Count, false, nullptr, nullptr, L"required",
     L"number of states given"},
    {kBackColor, L"BorderSize", EValue::Int, true, nullptr, nullptr, L"1",
     L"border width; 0 fills only, negative draws nothing"},
    {kBackColor, L"BorderColor", EValue::Colour, true, nullptr, nullptr, L"the system window-frame colour",
     L"border colour"},
    {kBackColor, L"FillColor", EValue::Colour, true, nullptr, nullptr, L"the system window colour",
     L"fill colour"},

    {kForeText, L"TextColor", EValue::Colour, true, nullptr, nullptr, L"the system window-text colour",
     L"text colour"},
    {kForeText, L"BackColor", EValue::Colour, true, nullptr, nullptr, L"the system window colour",
     L"text background (with BackMode=OPAQUE)"},
    {kForeText, L"BackMode", EValue::Word, true, L"OPAQUE|TRANSPARENT", nullptr, L"TRANSPARENT",
     L"OPAQUE fills behind the text"},
    {kForeText, L"Align", EValue::Word, true, L"left|center|right", nullptr, L"left", L"horizontal alignment"},
    {kForeText, L"VAlign", EValue::Word, true, L"top|center|bottom", nullptr, L"top",
     L"vertical alignment (bottom: single-line text only)"},
    {kForeText, L"AutoWrap", EValue::Bool, true, nullptr, nullptr, L"false", L"wrap words; false: one line"},
    {kForeText, L"Prefix", EValue::Bool, true, nullptr, nullptr, L"false",
     L"\"&\" underlines the next letter; false: drawn as written"},
    {kForeText, L"Font", EValue::Font, true, nullptr, nullptr, L"the device's current font",
     L"text font: $name from [Fonts], or a description"},
};

}  // namespace

std::span<const SKnownKey> KnownKeys()
{
    static const std::vector<SKnownKey> keys = [] {
        std::vector<SKnownKey> all(std::begin(kFixedKeys), std::end(kFixedKeys));
        for (int index = 0; index < Windows::kMenuColorCount; ++index)
            all.push_back({kMain, Windows::MenuColorKey(index), EValue::Colour, false, nullptr, kMenuBarKinds,
                           L"from the system colours", L"menu palette entry"});
        return all;
    }();
    return keys;
}

std::wstring RolePlaces(unsigned roles, const int* kinds)
{
    std::vector<std::wstring> places;
    if (roles & kConfig)
        places.push_back(L"[Config]");
    if (roles & kMain) {
        if (!kinds) {
            places.push_back(L"main sections ([Class])");
        } else {
            std::wstring list;
            for (const int* kind = kinds; *kind >= 0; ++kind)
                list += (list.empty() ? L"[" : L", [") + std::wstring(S::GetPainterClassName(*kind)) + L"]";
            places.push_back(list);
        }
    }
    if (roles & kBackImage)
        places.push_back(L"image backgrounds ([Back@...] with Type=FillImage or BorderImage)");
    if (roles & kBackColor)
        places.push_back(L"colour backgrounds ([Back@...] with Type=FillColor or BorderColor)");
    if (roles & kForeImage)
        places.push_back(L"image foregrounds ([Fore@...] with Type=ImageGlyph)");
    if (roles & kForeText)
        places.push_back(L"text foregrounds ([Fore@...] with Type=Text)");
    std::wstring text;
    for (size_t i = 0; i < places.size(); ++i)
        text += (i == 0 ? L"" : i + 1 == places.size() ? L" and " : L", ") + places[i];
    return text;
}

const wchar_t* ValueSyntax(EValue value)
{
    switch (value) {
    case EValue::Bool:
        return L"boolean";
    case EValue::Int:
        return L"integer";
    case EValue::Count:
        return L"integer (1 or more)";
    case EValue::Colour:
        return L"colour r, g, b";
    case EValue::Rect:
        return L"rectangle left, right, top, bottom";
    case EValue::Size:
        return L"size width, height";
    case EValue::Font:
        return L"font";
    case EValue::Cursor:
        return L"$name from [Cursors], or a cursor file";
    case EValue::Bitmap:
        return L"bitmap file name";
    case EValue::Word:
        return L"one word";
    }
    return L"";
}

}  // namespace Spk

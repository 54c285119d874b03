#include "tools/spkgallery/Gallery.h"

#include <windows.h>
#include <algorithm>
#include <map>
#include "orvel/base/GdiHandles.h"
#include "orvel/resource/IniReader.h"
#include "orvel/style/ImageArray.h"
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/windows/ElementKinds.h"
#include "tools/spkc/PackBuilder.h"

namespace Gallery {

namespace {

using Style::CStyle;

const wchar_t kOtherSheet[] = L"Other";
// Drawn by text foregrounds; "&" shows whether the pack reads mnemonics.
const wchar_t kSampleText[] = L"Sample &text";

constexpr int kPadding = 8;          // around the sheet and between cells
constexpr int kLabelWidth = 190;     // the column naming the kind and size
constexpr int kLineHeight = 16;      // one line of label text
constexpr int kCheckerSquare = 6;    // the checker board under each cell
constexpr int kDefaultWidth = 48;    // a kind that neither an image nor a text sizes
constexpr int kDefaultHeight = 24;
constexpr int kMinWideWidth = 120;
constexpr int kMaxCellWidth = 360;
constexpr int kMaxCellHeight = 160;
constexpr COLORREF kSheetColour = RGB(255, 255, 255);
constexpr COLORREF kLabelColour = RGB(32, 32, 32);
constexpr COLORREF kCheckerLight = RGB(236, 236, 236);
constexpr COLORREF kCheckerDark = RGB(204, 204, 204);

struct SKind {
    CStyle::PainterType type = CStyle::Frame;
    int states = 1;
    bool drawn = true;  // false: the pack gives the kind keys only, no layer
    SIZE sizes[kSizeCount] = {};
    std::wstring label;  // "52 PushButton", then what the layers are
};

const Resource::CSection* Part(CStyle& style, const wchar_t* name, Style::CStyleConfigReader::Part part)
{
    return style.GetConfig().FindSection(
        Style::CStyleConfigReader::MakeSectionName(name, L"", part).c_str());
}

// What the pack defines for a kind: its layer's type word, or "-".
std::wstring LayerWord(const Resource::CSection* section)
{
    const Resource::CLine* type = section ? section->FindLine(L"Type") : nullptr;
    return type ? type->GetContent() : L"-";
}

int Count(const Resource::CSection* section, const wchar_t* key)
{
    const Resource::CLine* line = section ? section->FindLine(key) : nullptr;
    return line ? line->ReadContentAsInt() : 0;
}

// The states of a kind: what the styled windows ask for, or what the pack
// provides when it holds more (images or text states).
int StatesOf(CStyle::PainterType type, const Resource::CSection* back, const Resource::CSection* fore)
{
    size_t count = 0;
    const Windows::SElementKindUse* uses = Windows::GetStyledElementKinds(&count);
    int states = 1;
    for (size_t i = 0; i < count; ++i) {
        if (uses[i].type == type)
            states = std::max(states, uses[i].states);
    }
    for (const Resource::CSection* layer : {back, fore}) {
        states = std::max({states, Count(layer, L"StateCount"), Count(layer, L"ImageCount")});
    }
    return states;
}

SIZE Clamp(SIZE size)
{
    return {std::clamp<LONG>(size.cx, 1, kMaxCellWidth), std::clamp<LONG>(size.cy, 1, kMaxCellHeight)};
}

// The natural size: the background image's, or the foreground's with the
// content margins around it.
SIZE NaturalSize(CStyle& style, Style::CPainter& painter, const Resource::CSection* back, HDC dc)
{
    SIZE natural = {0, 0};
    Images::CImageArray strip;
    if (back && style.LoadImageArray(strip, back, 0))
        natural = strip.GetGlyphSize();
    SIZE content = painter.CalcSize(dc, {-1, -1}, kSampleText, -1);
    if (content.cx > 0 && content.cy > 0) {
        RECT full = {0, 0, content.cx, content.cy};
        painter.GetFullRectByContent(full);
        natural.cx = std::max(natural.cx, full.right - full.left);
        natural.cy = std::max(natural.cy, full.bottom - full.top);
    }
    if (natural.cx <= 0 || natural.cy <= 0)
        natural = {kDefaultWidth, kDefaultHeight};
    return natural;
}

// "key=value, ..." of a section.
std::wstring KeysOf(const Resource::CSection* section)
{
    std::wstring keys;
    for (int i = 0; section && i < section->GetLineCount(); ++i) {
        const Resource::CLine* line = section->GetLine(i);
        keys += (keys.empty() ? L"" : L", ") + line->GetLabel() + L"=" + line->GetContent();
    }
    return keys;
}

// The sheets in the order of the element-kind table, each named after the
// first control painting its kinds ("CScrollBar, flat scroll bars" goes on
// CScrollBar's). A control whose name extends an earlier one's
// (CExplorerItemLabel after CExplorerItem) shares that sheet.
std::vector<std::wstring> SheetOrder()
{
    std::vector<std::wstring> order;
    size_t count = 0;
    const Windows::SElementKindUse* uses = Windows::GetStyledElementKinds(&count);
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = uses[i].user ? uses[i].user : kOtherSheet;
        name = name.substr(0, name.find(L','));
        bool known = std::any_of(order.begin(), order.end(),
                                 [&](const std::wstring& earlier) { return name.starts_with(earlier); });
        if (!known)
            order.push_back(name);
    }
    order.push_back(kOtherSheet);
    return order;
}

// The sheet a kind belongs on.
std::wstring SheetOf(CStyle::PainterType type, const std::vector<std::wstring>& order)
{
    size_t count = 0;
    const Windows::SElementKindUse* uses = Windows::GetStyledElementKinds(&count);
    for (size_t i = 0; i < count; ++i) {
        if (uses[i].type != type || !uses[i].user)
            continue;
        for (const std::wstring& sheet : order) {
            if (std::wstring(uses[i].user).starts_with(sheet))
                return sheet;
        }
    }
    return kOtherSheet;
}

void Text(HDC dc, int x, int y, int width, const std::wstring& text)
{
    RECT rect = {x, y, x + width, y + kLineHeight};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
}

void Checker(HDC dc, const RECT& rect)
{
    Base::CBrushHandle light(CreateSolidBrush(kCheckerLight));
    Base::CBrushHandle dark(CreateSolidBrush(kCheckerDark));
    for (int y = rect.top; y < rect.bottom; y += kCheckerSquare) {
        for (int x = rect.left; x < rect.right; x += kCheckerSquare) {
            RECT square = {x, y, std::min<LONG>(x + kCheckerSquare, rect.right),
                           std::min<LONG>(y + kCheckerSquare, rect.bottom)};
            bool odd = ((x - rect.left) / kCheckerSquare + (y - rect.top) / kCheckerSquare) % 2;
            FillRect(dc, &square, odd ? dark : light);
        }
    }
}

// One cell: the background for the state, then the foreground with the
// sample text inside the content margins, as styled glyphs draw.
void DrawCell(HDC dc, Style::CPainter& painter, int state, const RECT& rect)
{
    Checker(dc, rect);
    painter.DrawBackground(dc, state, rect, rect);
    RECT content = rect;
    painter.GetContentRectByFull(content);
    painter.DrawForeground(dc, content, rect, state, kSampleText, -1);
}

int CellWidth(const SKind& kind)
{
    int width = 0;
    for (const SIZE& size : kind.sizes)
        width = std::max<int>(width, size.cx);
    return width;
}

// A row of cells, tall enough for its size label.
int RowHeight(const SIZE& size)
{
    return std::max<int>(size.cy, kLineHeight) + kPadding;
}

int KindHeight(const SKind& kind)
{
    if (!kind.drawn)
        return kLineHeight + kPadding;
    int height = kLineHeight * 2;  // the label, the state numbers
    for (const SIZE& size : kind.sizes)
        height += RowHeight(size);
    return height + kPadding;
}

int KindWidth(const SKind& kind)
{
    if (!kind.drawn)
        return kLabelWidth * 2;
    return kLabelWidth + kind.states * (CellWidth(kind) + kPadding);
}

Screenshot::SPixels RenderSheet(CStyle& style, const std::wstring& title, const std::vector<SKind>& kinds)
{
    int width = 0, height = kLineHeight + kPadding;
    for (const SKind& kind : kinds) {
        width = std::max(width, KindWidth(kind));
        height += KindHeight(kind);
    }
    width = std::max(width, kLabelWidth * 2) + 2 * kPadding;
    height += 2 * kPadding;

    Screenshot::SPixels out;
    void* bits = nullptr;
    Base::CMemoryDC dc;
    Base::CBitmapHandle bitmap = Base::CreateTopDownDIB(width, height, &bits, dc);
    if (!bitmap || !dc)
        return out;
    {
        Base::CSelectScope select(dc, bitmap);
        Base::CSelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
        Base::CBrushHandle sheet(CreateSolidBrush(kSheetColour));
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, sheet);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kLabelColour);
        Text(dc, kPadding, kPadding, width - 2 * kPadding, title);

        int y = kPadding + kLineHeight + kPadding;
        for (const SKind& kind : kinds) {
            Style::CPainter* painter = style.GetPainter(kind.type);
            Text(dc, kPadding, y, width - 2 * kPadding, kind.label);
            y += kLineHeight;
            if (!kind.drawn) {
                y += kPadding;
                continue;
            }
            const int cell = CellWidth(kind);
            const int left = kPadding + kLabelWidth;
            for (int state = 0; state < kind.states; ++state)
                Text(dc, left + state * (cell + kPadding), y, cell, L"state " + std::to_wstring(state));
            y += kLineHeight;
            for (const SIZE& size : kind.sizes) {
                Text(dc, kPadding + kPadding, y, kLabelWidth - kPadding,
                     std::to_wstring(size.cx) + L" x " + std::to_wstring(size.cy));
                for (int state = 0; painter && state < kind.states; ++state) {
                    int x = left + state * (cell + kPadding);
                    DrawCell(dc, *painter, state, {x, y, x + size.cx, y + size.cy});
                    // Painters leave their own text settings behind them.
                    SetBkMode(dc, TRANSPARENT);
                    SetTextColor(dc, kLabelColour);
                }
                y += RowHeight(size);
            }
            y += kPadding;
        }
        GdiFlush();
    }
    Screenshot::CopyDibPixels(bits, width, height, out);
    return out;
}

// A source folder compiled into a pack of its own, removed with the object.
class CTemporaryPack {
public:
    CTemporaryPack() = default;
    ~CTemporaryPack()
    {
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }
    CTemporaryPack(const CTemporaryPack&) = delete;
    CTemporaryPack& operator=(const CTemporaryPack&) = delete;

    bool Build(const std::wstring& folder, std::wstring& error)
    {
        wchar_t directory[MAX_PATH], file[MAX_PATH];
        if (!GetTempPathW(MAX_PATH, directory) || !GetTempFileNameW(directory, L"spk", 0, file)) {
            error = L"no temporary file for the pack";
            return false;
        }
        m_path = file;
        return Spk::BuildPack(folder, m_path, error);
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

}  // namespace

std::wstring SheetFileName(const std::wstring& name)
{
    std::wstring file;
    for (wchar_t c : name) {
        if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))
            file += c;
    }
    return file;
}

std::vector<SSheet> RenderGallery(CStyle& style, const std::wstring& title)
{
    Base::CClientDC screen(nullptr);
    const std::vector<std::wstring> order = SheetOrder();
    std::map<std::wstring, std::vector<SKind>> bySheet;
    for (int number = 0; number < CStyle::PainterTypeCount; ++number) {
        const wchar_t* name = CStyle::GetPainterClassName(number);
        if (!name)
            continue;
        const auto type = static_cast<CStyle::PainterType>(number);
        const Resource::CSection* main = Part(style, name, Style::CStyleConfigReader::PartNone);
        const Resource::CSection* back = Part(style, name, Style::CStyleConfigReader::PartBack);
        const Resource::CSection* fore = Part(style, name, Style::CStyleConfigReader::PartFore);
        if (!main && !back && !fore)
            continue;
        Style::CPainter* painter = style.GetPainter(type);
        if (!painter)
            continue;
        SKind kind;
        kind.type = type;
        kind.states = StatesOf(type, back, fore);
        SIZE natural = NaturalSize(style, *painter, back, screen);
        kind.sizes[0] = Clamp(natural);
        kind.sizes[1] = Clamp({std::max<LONG>(natural.cx * 3, kMinWideWidth), natural.cy});
        kind.sizes[2] = Clamp({natural.cx * 2, natural.cy * 2});
        kind.drawn = back || fore;
        kind.label = std::to_wstring(number) + L" " + name + L"   " +
                     (kind.drawn ? L"back: " + LayerWord(back) + L", fore: " + LayerWord(fore) + L", " +
                                       std::to_wstring(kind.states) + (kind.states == 1 ? L" state" : L" states")
                                 : L"keys only: " + KeysOf(main));
        bySheet[SheetOf(type, order)].push_back(kind);
    }
    std::vector<SSheet> sheets;
    for (const std::wstring& name : order) {
        auto found = bySheet.find(name);
        if (found == bySheet.end())
            continue;
        sheets.push_back({name, RenderSheet(style, title + L": " + name, found->second)});
    }
    return sheets;
}

bool WriteGallery(const std::wstring& pack, const std::wstring& folder, std::vector<std::wstring>& written,
                  std::wstring& error)
{
    std::wstring source = pack;
    while (source.size() > 1 && (source.back() == L'\\' || source.back() == L'/'))
        source.pop_back();
    // Outlives the style, which holds the pack's module open.
    CTemporaryPack temporary;
    std::wstring path = source;
    DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!temporary.Build(source, error))
            return false;
        path = temporary.Path();
    }
    CStyle style;
    if (!style.Load(path.c_str())) {
        error = pack + L": not a style pack (the module cannot be loaded)";
        return false;
    }
    std::wstring stem = source.substr(source.find_last_of(L"\\/") + 1);
    const bool big = stem.size() > 4 && _wcsicmp(stem.c_str() + stem.size() - 4, L".big") == 0;
    stem = stem.substr(0, stem.find(L'.'));
    std::vector<SSheet> sheets;
    try {
        sheets = RenderGallery(style, stem + (big ? L".big" : L""));
    } catch (...) {
        error = pack + L": the pack is damaged (check it with spkc --check)";
        return false;
    }
    if (sheets.empty()) {
        error = pack + L": the pack defines no element kind";
        return false;
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const SSheet& sheet : sheets) {
        std::wstring file = folder + L"\\" + SheetFileName(stem) + (big ? L"_big_" : L"_") +
                            SheetFileName(sheet.name) + L".png";
        if (!Screenshot::SavePng(sheet.pixels, file)) {
            error = file + L": cannot be written";
            return false;
        }
        written.push_back(file);
    }
    return true;
}

}  // namespace Gallery

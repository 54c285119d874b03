#include "ExplorerPane.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>
#include "../resource/ModuleResources.h"
#include "../resource/ResourceReader.h"
#include "../style/Style.h"

namespace Windows::ExplorerElement {

namespace {

using S = Style::CStyle;
using Glyph::CRect;
using Glyph::CSize;

constexpr INT64 kStatesPerGroup = 4;
constexpr WORD kTemplateEnd = MF_END;
constexpr WORD kTemplatePopup = MF_POPUP;
// Bytes of a template entry besides its text's characters: option word, id
// word and terminator; a popup entry without an id word takes a fixed size.
constexpr size_t kTemplateEntryBytes = 6;
constexpr size_t kTemplatePopupBytes = 8;
constexpr UINT64 kLargestStringId = 0xFFFF;

// The program's string of a command, read through the checked resource
// lookup; string ids are words, so a larger id has no string.
std::wstring CommandString(UINT64 commandId)
{
    if (commandId > kLargestStringId)
        return std::wstring();
    const UINT id = static_cast<UINT>(commandId);
    Resource::CModuleResources resources(::GetModuleHandleW(nullptr));
    DWORD size = 0;
    const void* block = resources.Find(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size);
    std::wstring text;
    if (!block || !Resource::CResourceReader::ReadStringFromBlock(block, size, id % 16, text))
        return std::wstring();
    return text;
}

// Command strings hold a prompt and a short name split by a line feed.
std::wstring ShortName(const std::wstring& text)
{
    const size_t feed = text.find(L'\n');
    return feed == std::wstring::npos ? text : text.substr(feed + 1);
}

}  // namespace

// ---- item ----

CExplorerItemLabel::CExplorerItemLabel()
    : Glyph::CStyledTextGlyph(S::TaskPaneItemLabel),
      Glyph::CGroupImpl<CExplorerItemLabel, Glyph::CStyledTextGlyph>(kStatesPerGroup, 0)
{
}

CExplorerItem::CExplorerItem(UINT64 commandId, Images::CImageArray* images, INT64 imageIndex,
                             UINT64 imagesPerGroup)
    : CExplorerItem(ShortName(CommandString(commandId)), commandId, images, imageIndex,
                    imagesPerGroup)
{
}

CExplorerItem::CExplorerItem(const std::wstring& text, UINT64 commandId, Images::CImageArray* images,
                             INT64 imageIndex, UINT64 imagesPerGroup)
    : Glyph::CStyledHorizontalCompose(S::TaskPaneItem), m_image(images, imageIndex, imagesPerGroup),
      m_nCommandID(commandId)
{
    m_bWholeUnit = true;
    m_bAutoDelete = false;
    m_label.SetText(text, false);
    AppendGlyph(&m_image);
    AppendGlyph(&m_label);
}

CExplorerItem::~CExplorerItem()
{
    ClearAllGlyph();
}

void CExplorerItem::SetText(const wchar_t* text)
{
    m_label.SetText(text, -1, true);
}

void CExplorerItem::SetImageIndex(INT64 index)
{
    m_image.SetImageIndex(index, false);
}

void CExplorerItem::SetCheck(bool checked)
{
    if (checked == m_bChecked)
        return;
    m_bChecked = checked;
    const INT64 group = checked ? 1 : 0;
    m_label.SetGroup(group, false);
    m_image.SetGroup(group, false);
    m_nState = group * kStatesPerGroup + GetState();
    Invalidate();
}

INT64 CExplorerItem::GetState() const
{
    return m_nState % kStatesPerGroup;
}

void CExplorerItem::SetState(INT64 state, bool redraw)
{
    const INT64 visual = (state >= 0 && state < kStatesPerGroup) ? state : 0;
    const INT64 real = (m_bChecked ? kStatesPerGroup : 0) + visual;
    if (real == m_nState)
        return;
    m_nState = real;
    m_label.SetState(visual, false);
    if (redraw)
        Redraw();
    else
        Invalidate();
}

void CExplorerItem::Show(bool show)
{
    if (show == m_bVisible)
        return;
    m_bVisible = show;
    AdjustVesselLayout();
}

bool CExplorerItem::OnSetCursor(UINT hitTest, UINT message)
{
    Glyph::CStyledHorizontalCompose::OnSetCursor(hitTest, message);
    return true;
}

void CExplorerItem::SetContentRegion(HDC dc, const CRect& content)
{
    const CSize image = m_image.CalcSize(dc, -1, -1, true);
    const LONG imageRight = std::min<LONG>(content.left + image.cx, content.right);
    m_image.SetRegion(dc, CRect(content.left, content.top, imageRight, content.bottom));

    const LONG left = std::min<LONG>(imageRight + m_nGlyphSpace, content.right);
    // A zero width would read as "no limit": a label with no room gets none.
    const CSize label = left < content.right ? m_label.CalcSize(dc, content.right - left, -1, true)
                                             : CSize(0, 0);
    const LONG top = content.top + (content.Height() - label.cy) / 2;
    m_label.SetRegion(dc, CRect(left, top, content.right, top + label.cy));
}

// ---- header ----

CExplorerPaneHeaderState::CExplorerPaneHeaderState()
    : Glyph::CStyledImageGlyph(S::TaskPaneHeaderButtonCollapse)
{
}

CExplorerPaneHeaderLabel::CExplorerPaneHeaderLabel(const std::wstring& caption)
    : Glyph::CStyledTextGlyph(S::TaskPaneHeaderLabel, caption)
{
}

CExplorerPaneHeader::CExplorerPaneHeader(const std::wstring& caption)
    : Glyph::CStyledHorizontalCompose(S::TaskPaneHeader), m_label(caption)
{
    m_bAutoDelete = false;
    AppendGlyph(&m_label);
    AppendGlyph(&m_state);
}

CExplorerPaneHeader::~CExplorerPaneHeader()
{
    ClearAllGlyph();
}

CSize CExplorerPaneHeader::CalcSize(HDC dc, int cx, int, bool layoutPass)
{
    return CSize(cx, m_label.CalcSize(dc, cx, -1, layoutPass).cy);
}

void CExplorerPaneHeader::SetRegion(HDC dc, const CRect& rect)
{
    Glyph::CGlyph::SetRegion(dc, rect);
    const CSize state = m_state.CalcSize(dc, -1, -1, true);
    const LONG split = std::max<LONG>(rect.right - state.cx, rect.left);
    m_state.SetRegion(dc, CRect(split, rect.top, rect.right, rect.bottom));
    m_label.SetRegion(dc, CRect(rect.left, rect.top, split, rect.bottom));
}

void CExplorerPaneHeader::SetLabel(const std::wstring& caption)
{
    m_label.SetText(caption, true);
}

void CExplorerPaneHeader::SetExpandedState(bool expanded)
{
    m_state.SetPainter(expanded ? S::TaskPaneHeaderButtonCollapse : S::TaskPaneHeaderButtonExpand,
                       false);
}

// ---- body ----

CExplorerPaneBody::CExplorerPaneBody() : Glyph::CStyledVerticalCompose(S::TaskPaneBody)
{
}

INT64 CExplorerPaneBody::Insert(INT64 position, CExplorerItem* created)
{
    std::unique_ptr<CExplorerItem> item(created);
    if (position < 0) {
        const INT64 index = AppendGlyph(item.get());
        item.release();
        return index;
    }
    InsertGlyphAt(static_cast<UINT64>(position), item.get());
    item.release();
    return position;
}

INT64 CExplorerPaneBody::InsertItem(INT64 position, UINT64 commandId, Images::CImageArray* images,
                                    INT64 imageIndex, UINT64 imagesPerGroup)
{
    return Insert(position, new CExplorerItem(commandId, images, imageIndex, imagesPerGroup));
}

INT64 CExplorerPaneBody::InsertItem(INT64 position, const std::wstring& text, UINT64 commandId,
                                    Images::CImageArray* images, INT64 imageIndex,
                                    UINT64 imagesPerGroup)
{
    return Insert(position, new CExplorerItem(text, commandId, images, imageIndex, imagesPerGroup));
}

CExplorerItem* CExplorerPaneBody::GetItem(UINT64 index) const
{
    // Only the body adds children, and only items.
    return static_cast<CExplorerItem*>(GetGlyph(index));
}

bool CExplorerPaneBody::IsVisible() const
{
    for (const Glyph::CGlyph* item : m_glyphs) {
        if (item && item->IsVisible())
            return true;
    }
    return false;
}

// ---- pane ----

CExplorerPane::CExplorerPane(const std::wstring& caption) : m_header(caption)
{
    m_nGlyphSpace = 0;
    m_bAutoDelete = false;
    m_header.SetExpandedState(true);
    AppendGlyph(&m_header);
    AppendGlyph(&m_body);
}

CExplorerPane::~CExplorerPane()
{
    ClearAllGlyph();
}

INT64 CExplorerPane::InsertItem(INT64 position, UINT64 commandId, Images::CImageArray* images,
                                INT64 imageIndex, UINT64 imagesPerGroup)
{
    return m_body.InsertItem(position, commandId, images, imageIndex, imagesPerGroup);
}

INT64 CExplorerPane::InsertItem(INT64 position, const std::wstring& text, UINT64 commandId,
                                Images::CImageArray* images, INT64 imageIndex, UINT64 imagesPerGroup)
{
    return m_body.InsertItem(position, text, commandId, images, imageIndex, imagesPerGroup);
}

bool CExplorerPane::InitFrom(HMENU menu, UINT64& nextImageIndex, Images::CImageArray* images,
                             UINT64 imagesPerGroup)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        std::vector<wchar_t> text(info.cch + 1, L'\0');
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            text.assign(1, L'\0');
        m_body.InsertItem(-1, std::wstring(text.data()), info.wID, images,
                          static_cast<INT64>(nextImageIndex++), imagesPerGroup);
    }
    return true;
}

bool CExplorerPane::InitFrom(const MENUITEMTEMPLATE*& item, UINT64& nextImageIndex,
                             Images::CImageArray* images, UINT64 imagesPerGroup)
{
    if (!item)
        return true;
    for (;;) {
        const WORD* words = reinterpret_cast<const WORD*>(item);
        const WORD option = words[0];
        const WORD id = words[1];
        const wchar_t* text = reinterpret_cast<const wchar_t*>(words + 2);
        const size_t length = wcslen(text);
        if (id != 0)
            m_body.InsertItem(-1, std::wstring(text, length), id, images,
                              static_cast<INT64>(nextImageIndex++), imagesPerGroup);
        const size_t advance = ((option & kTemplatePopup) && id == 0) ? kTemplatePopupBytes
                                                                     : kTemplateEntryBytes + sizeof(wchar_t) * length;
        item = reinterpret_cast<const MENUITEMTEMPLATE*>(reinterpret_cast<const BYTE*>(item) + advance);
        if (option & kTemplateEnd)
            return true;
    }
}

bool CExplorerPane::ToggleBody()
{
    m_bExpanded = !m_bExpanded;
    if (m_bExpanded)
        AppendGlyph(&m_body);
    else
        RemoveGlyph(&m_body);
    m_header.SetExpandedState(m_bExpanded);
    AdjustVesselLayout();
    return m_bExpanded;
}

void CExplorerPane::SetVessel(Glyph::IGlyphVessel* vessel)
{
    Glyph::CVerticalCompose::SetVessel(vessel);
    m_body.SetVessel(vessel);
}

void CExplorerPane::UpdateActionUI(const CUpdateUIBase* updateUI)
{
    for (UINT64 i = 0; i < m_body.GetItemCount(); ++i) {
        CExplorerItem* item = m_body.GetItem(i);
        WORD state = 0;
        const bool disabled = updateUI && updateUI->UIGetState(item->GetCommandID(), state) &&
                              (state & UPDUI_DISABLED);
        item->Show(!disabled);
    }
}

}  // namespace Windows::ExplorerElement

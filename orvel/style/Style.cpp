#include "Style.h"

#include <cstring>
#include <memory>
#include "../base/Failure.h"
#include "Painter.h"

namespace Style {

using Resource::CLine;
using Resource::CSection;

namespace {

const wchar_t* const kClassNames[CStyle::PainterTypeCount] = {
    L"Frame", L"FrameTitle", L"FrameIcon", L"FrameButtonClose", L"FrameButtonMin",
    L"FrameButtonMax", L"FrameButtonRestore", L"FrameLeftBorder", L"FrameRightBorder",
    L"FrameBottomBorder", L"DlgFrame", L"DlgFrameTitle", L"DlgFrameIcon",
    L"DlgFrameButtonClose", L"DlgFrameButtonMin", L"DlgFrameButtonMax",
    L"DlgFrameButtonRestore", L"DlgFrameLeftBorder", L"DlgFrameRightBorder",
    L"DlgFrameBottomBorder", L"Workarea", L"WorkareaBorderLeft", L"WorkareaBorderRight",
    L"WorkareaBorderTop", L"WorkareaBorderBottom", L"TabTopPane", L"ExpertComment",
    L"ExpertCommentIcon", L"ExpertCommentLabel", L"ExpertStats", L"ButtonScan", L"ButtonPause",
    L"ButtonResume", L"ButtonStop", L"ButtonUpdate", nullptr, L"ControlCheckBox",
    L"ControlRadio", L"Concision", L"ConcisionCell", L"Disk", L"DiskGroupHeader", L"DiskCell",
    L"Result", L"ResultItem", L"EngVersion", L"EngVersionIcon", L"EngVersionLabel", L"MenuBar",
    L"MenuBarItem", L"PopupMenu", L"PopupMenuItem", L"PushButton", L"CheckButton",
    L"CheckButtonState", L"CheckButtonLabel", L"RadioButton", L"RadioButtonState",
    L"RadioButtonLabel", L"Edit", L"Static", L"ScrollBarArrowButton", L"ScrollBarGripperHorz",
    L"ScrollBarGripperVert", L"ScrollBarLowerTrackHorz", L"ScrollBarLowerTrackVert",
    L"ScrollBarSizeBox", L"ScrollBarThumbButtonHorz", L"ScrollBarThumbButtonVert",
    L"ScrollBarUpperTrackHorz", L"ScrollBarUpperTrackVert", L"Combobox",
    L"ComboboxDropDownButton", L"Spin", L"SpinDown", L"SpinDownHorz", L"SpinUp", L"SpinUpHorz",
    L"TrackBar", L"TrackBarThumb", L"TrackBarThumbBottom", L"TrackBarThumbLeft",
    L"TrackBarThumbRight", L"TrackBarThumbTop", L"TrackBarThumVert", L"TrackBarTics",
    L"TrackBarTicsVert", L"TrackBarTrack", L"TrackBarTrackVert", L"ProgressBar",
    L"ProgressBarVert", L"ProgressChunk", L"ProgressChunkVert", L"HeaderCtrl",
    L"HeaderCtrlItem", L"HeaderCtrlDivider", L"HeaderCtrlSort", L"TabCtrl", L"TabCtrlPane",
    L"TabCtrlBody", L"TabCtrlItem", L"TabCtrlLeftItem", L"TabCtrlRightItem", L"SplitLine",
    L"TargetCtrl", L"TargetCtrlCell", L"TargetCtrlCellLabel", L"GroupCellLabel", L"GroupCell",
    L"GroupTitle", L"GroupCtrl", L"ResultCleanPrompt", L"ExtendListCtrl", L"PromptError",
    L"FolderView", L"TaskList", L"TaskPaneHeader", L"TaskPaneHeaderLabel",
    L"TaskPaneHeaderButtonExpand", L"TaskPaneHeaderButtonCollapse", L"TaskPaneItem",
    L"TaskPaneItemLabel", L"TaskPaneBody", L"ShellBand", L"ShellInfoPane", L"ShellComment",
    L"ShellCommentIcon", L"ShellCommentLabel", L"ShellStatus", L"TrackBarVert",
    L"TrackBarThumbVert", L"TableRecordText", L"StartStopImage", L"DetailInfoLink",
    L"RecordLine", L"RunDetailText", L"RunMonitor", L"RunMonitorText", L"RunMonitorImage",
    L"TableHead", L"TableHeadName", L"TableHeadOther", L"TableHeadEnd", L"ScanPage",
    L"MonPage", L"MonitorTable", L"FileRecordName", L"EmailRecordName", L"WebRecordName",
    L"MsgRecordName", L"ScriptRecordName", L"RecordCellEnd", L"ScriptLinkRight", L"XPDlgFrame",
    L"ToolsPage", L"QuickStartItem", L"GenericItem", L"SecurityItem", L"ServicePage", nullptr,
    nullptr, L"UploadItem", L"LangItem", L"HelpItem", L"ButtonReport", L"ButtonOption",
    L"TabLeftPane", L"TabLeftService", L"TabLeftTools", L"HyperLink", L"ToolsBack",
    L"ServiceBack", L"ToolsCellFirst", L"ToolsCell", L"ToolsCellEnd", L"ToolsCellTwo",
    L"ToolsCellEndTwo", L"ToolsCellSelectFirst", L"ToolsCellSelect", L"ToolsCellSelectEnd",
    L"RadioButtonStateXP", L"OemPage", L"OemBack", nullptr, L"ScriptLinkMiddle",
    L"StartStopImageLast", L"FrameTop", L"FrameBottom", L"ButtonVirusBox", L"ButtonHistory",
    nullptr, nullptr, L"TechSupport", L"QuickScan", L"QuickScanIcon", L"QuickScanText",
    L"QuickScanArrow", L"FullScan", L"CustomScan", L"ScanPageContent", L"AdvanceOption",
    L"ResultVirus", L"ConcisionContent", L"ScanMemory", L"ScanSystemFolder",
    L"ScanInternetCache", L"ScanMyDoc", L"ScanAllRemovable", L"ScanMail", L"OptionContent",
    L"SpeedCompose", L"ShutDown", L"SpeedItem", L"CustomContent", L"FolderOK", L"FolderCancel",
    L"HomePage", L"FWPage", L"ActionPage", L"HomePageContent", L"SaftyLevel", L"LogHistory",
    L"SaftyState", L"SaftyLabel", L"PrgsBck", L"Prgs", L"Slide", L"TextInfo", L"CheckDetail",
    L"CheckStart", L"CheckStop", L"LogHead1", L"LogHead2", L"LogHead3", L"LogHead4",
    L"LogHead5", L"LogHeadEnd", L"LogValue1", L"LogValue2", L"LogValue3", L"LogValue4",
    L"LogValue5", L"LogValueEnd", L"LogDetail", L"LineMonitor", L"LineAction", L"LineFireWall",
    L"LineDate", L"LineLeak", L"MonitorOpen", L"ActionOpen", L"FireWallOpen", L"btUpdate",
    L"btLeakScan", L"FWPage4", L"ToolsPage5", L"ToolsPage4", L"ServicePage6", L"ServicePage5",
    L"OemPage7", L"OemPage6", L"ToolsRun", L"ToolsRunSelect", L"CleanWeek", L"ModeCompose",
    L"ModeItem",
};

bool IsEmpty(const wchar_t* text) { return !text || !*text; }

bool SameFont(const LOGFONTW& a, const LOGFONTW& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth &&
           a.lfEscapement == b.lfEscapement && a.lfOrientation == b.lfOrientation &&
           a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut &&
           a.lfCharSet == b.lfCharSet && a.lfOutPrecision == b.lfOutPrecision &&
           a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
           a.lfPitchAndFamily == b.lfPitchAndFamily &&
           wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

}  // namespace

// ---------------------------------------------------- CStyleConfigReader

std::wstring CStyleConfigReader::MakeSectionName(const wchar_t* className,
                                                 const wchar_t* subName, Part part)
{
    switch (part) {
    case PartNone: return MakeSectionName(className, subName, static_cast<const wchar_t*>(nullptr));
    case PartBack: return MakeSectionName(className, subName, L"Back");
    case PartFore: return MakeSectionName(className, subName, L"Fore");
    }
    return std::wstring();
}

std::wstring CStyleConfigReader::MakeSectionName(const wchar_t* className,
                                                 const wchar_t* subName,
                                                 const wchar_t* customWord)
{
    std::wstring name;
    if (!IsEmpty(customWord)) {
        name = customWord;
        name += L'@';
    }
    if (className)
        name += className;
    if (!IsEmpty(subName)) {
        name += L'.';
        name += subName;
    }
    return name;
}

CSection* CStyleConfigReader::GetSection(const wchar_t* className, const wchar_t* subName,
                                         Part part) const
{
    std::wstring name = MakeSectionName(className, subName, part);
    if (name.empty())
        return nullptr;
    CSection* section = FindSection(name.c_str());
    if (!section && !IsEmpty(subName))
        section = FindSection(MakeSectionName(className, nullptr, part).c_str());
    return section;
}

CSection* CStyleConfigReader::GetSection(const wchar_t* className, const wchar_t* subName,
                                         const wchar_t* customWord) const
{
    return FindSection(MakeSectionName(className, subName, customWord).c_str());
}

const CLine* CStyleConfigReader::GetLine(const wchar_t* className, const wchar_t* subName,
                                         Part part, const wchar_t* key) const
{
    const CSection* section = GetSection(className, subName, part);
    return section && key ? section->FindLine(key) : nullptr;
}

// ---------------------------------------------------------------- CStyle

std::size_t CStyle::SCursorNameHash::operator()(const std::wstring& name) const noexcept
{
    std::size_t h = 0;
    for (wchar_t c : name)
        h = h * 33 + static_cast<unsigned short>(c);
    return h;
}

CStyle::CStyle() = default;

CStyle::~CStyle()
{
    ClearAllPainter();
    ClearAllCursor();
    ClearFonts();
}

bool CStyle::Load(const wchar_t* path)
{
    if (!path || !m_resources.Open(path))
        return false;
    m_bConfigLoaded = false;
    m_bSimple = false;
    ClearFonts();
    ClearAllPainter();
    ClearAllCursor();
    m_config.Clear();
    if (!m_bInitialised)
        Init();
    return true;
}

CStyleConfigReader& CStyle::GetConfig()
{
    if (m_bConfigLoaded)
        return m_config;
    m_config.Clear();
    ClearFonts();
    ClearAllCursor();
    m_bSimple = false;
    // Without a pack the config stays empty: every painter then draws nothing.
    if (static_cast<HINSTANCE>(m_resources)) {
        if (!m_config.LoadFromResource(m_resources, L"INIFILES", L"STYLE.INI"))
            Base::ThrowFailure(Base::kMissingStyleIni);
    }
    ReadFontSection();
    InitNamedCursor(m_config.FindSection(L"Cursors"));
    if (const CLine* line = m_config.FindFirstLine(L"Config", L"IsSimple"))
        m_bSimple = line->ReadContentAsBool();
    m_bConfigLoaded = true;
    return m_config;
}

bool CStyle::IsSimple()
{
    GetConfig();
    return m_bSimple;
}

const wchar_t* CStyle::GetPainterClassName(int type)
{
    return type >= 0 && type < PainterTypeCount ? kClassNames[type] : nullptr;
}

CPainter* CStyle::GetPainter(PainterType type)
{
    if (!GetPainterClassName(type))
        Base::ThrowInvalidArg();
    if (!m_pPainters[type])
        CreatePainter(type);
    return m_pPainters[type];
}

void CStyle::CreatePainter(PainterType type)
{
    const wchar_t* className = GetPainterClassName(type);
    if (!className)
        Base::ThrowInvalidArg();
    auto painter = std::make_unique<CPainter>(className, nullptr);
    painter->LoadFromStyle(*this);
    delete m_pPainters[type];
    m_pPainters[type] = painter.release();
}

void CStyle::ClearAllPainter()
{
    for (CPainter*& painter : m_pPainters) {
        delete painter;
        painter = nullptr;
    }
    m_bInitialised = false;
}

std::wstring CStyle::GetName() const
{
    return m_resources.ReadStringWithLang(101, 0);
}

std::wstring CStyle::GetShowName() const
{
    std::wstring name;
    m_resources.ReadString(101, name);
    return name;
}

std::wstring CStyle::ReadString(UINT id) const
{
    std::wstring text;
    m_resources.ReadString(id, text);
    return text;
}

std::wstring CStyle::ReadString(UINT id, WORD language) const
{
    return m_resources.ReadStringWithLang(id, language);
}

bool CStyle::ReadTimeStamp(SYSTEMTIME& time) const
{
    DWORD size = 0;
    const void* data = m_resources.ReadCustomData(MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(1), &size);
    if (!data || size != sizeof(SYSTEMTIME))
        return false;
    std::memcpy(&time, data, sizeof time);
    return true;
}

HBITMAP CStyle::ReadBitmap(UINT id) const
{
    return m_resources.ReadBitmap(MAKEINTRESOURCEW(id));
}

HBITMAP CStyle::ReadBitmap(const wchar_t* name) const
{
    return name ? m_resources.ReadBitmap(name) : nullptr;
}

// ---------------------------------------------------------------- cursors

HCURSOR CStyle::GetCursor(const CLine* line)
{
    GetConfig();  // the named cursors
    if (!line || line->GetContent().empty())
        return nullptr;
    const std::wstring& name = line->GetContent();
    if (name[0] == L'$') {
        auto found = m_namedCursors.find(name);
        return found != m_namedCursors.end() ? found->second : nullptr;
    }
    // Made once per pack: painters do not destroy their cursor.
    auto found = m_resourceCursors.find(name);
    if (found != m_resourceCursors.end())
        return found->second;
    HCURSOR cursor = m_resources.ReadCursor(name.c_str(), 0, 0);
    if (cursor)
        m_resourceCursors.emplace(name, cursor);
    return cursor;
}

void CStyle::InitNamedCursor(const CSection* section)
{
    if (!section)
        return;
    for (int i = 0; i < section->GetLineCount(); ++i) {
        const CLine* line = section->GetLine(i);
        // The first line of a name wins, as lookups by name find it first.
        if (m_namedCursors.count(line->GetLabel()))
            continue;
        if (HCURSOR cursor = m_resources.ReadCursor(line->GetContent().c_str(), 0, 0))
            m_namedCursors.emplace(line->GetLabel(), cursor);
    }
}

void CStyle::ClearAllCursor()
{
    for (auto& entry : m_namedCursors)
        DestroyCursor(entry.second);
    m_namedCursors.clear();
    for (auto& entry : m_resourceCursors)
        DestroyCursor(entry.second);
    m_resourceCursors.clear();
}

// ------------------------------------------------------------------ fonts

void CStyle::ClearFonts()
{
    for (SFontEntry& entry : m_fonts) {
        if (entry.font)
            DeleteObject(entry.font);
    }
    m_fonts.clear();
    m_hDefaultFont = nullptr;
}

CStyle::SFontEntry* CStyle::FindFont(const LOGFONTW& description)
{
    for (SFontEntry& entry : m_fonts) {
        if (SameFont(entry.description, description))
            return &entry;
    }
    return nullptr;
}

HFONT CStyle::AddFont(const LOGFONTW& description, const std::wstring& name)
{
    m_fonts.push_back({description, nullptr, name});
    m_fonts.back().font = CreateFontIndirectW(&description);
    return m_fonts.back().font;
}

void CStyle::ReadFontSection()
{
    const CSection* section = m_config.FindSection(L"Fonts");
    if (section) {
        for (int i = 0; i < section->GetLineCount(); ++i) {
            const CLine* line = section->GetLine(i);
            LOGFONTW description;
            line->ReadContentAsFont(description);
            SFontEntry* same = FindFont(description);
            if (same && same->name.empty())
                same->name = line->GetLabel();
            else
                AddFont(description, line->GetLabel());
        }
    }
    m_hDefaultFont = FindNamedFont(L"$default$");
}

HFONT CStyle::GetNameFont(const wchar_t* name)
{
    GetConfig();  // the font table
    return FindNamedFont(name);
}

HFONT CStyle::FindNamedFont(const wchar_t* name) const
{
    if (IsEmpty(name))
        return nullptr;
    for (const SFontEntry& entry : m_fonts) {
        if (!entry.name.empty() && Resource::EqualNoCase(entry.name, name))
            return entry.font;
    }
    return nullptr;
}

HFONT CStyle::ReadFont(const CLine* line)
{
    GetConfig();
    if (!line)
        return m_hDefaultFont;
    const std::wstring& content = line->GetContent();
    if (!content.empty() && content[0] == L'$') {
        HFONT font = FindNamedFont(content.c_str());
        return font ? font : m_hDefaultFont;
    }
    LOGFONTW description;
    line->ReadContentAsFont(description);
    if (SFontEntry* same = FindFont(description))
        return same->font;
    return AddFont(description, std::wstring());
}

// ----------------------------------------------------------------- images

bool CStyle::ReadTransparent(const CSection* section)
{
    const CLine* line = section ? section->FindLine(L"Transparent") : nullptr;
    return line && line->ReadContentAsBool();
}

COLORREF CStyle::ReadTransparentColor(const CSection* section)
{
    const CLine* line = section ? section->FindLine(L"TransparentColor") : nullptr;
    return line ? line->ReadContentAsColor() : Images::kNoColor;
}

Images::CImageArray::ImageLayout CStyle::ReadImageLayout(const CSection* section)
{
    const CLine* line = section ? section->FindLine(L"ImageLayout") : nullptr;
    return line ? Images::CImageArray::ReadImageLayoutFromStyle(line->GetContent().c_str())
                : Images::CImageArray::Vertical;
}

int CStyle::ReadImageCount(const CSection* section)
{
    const CLine* line = section ? section->FindLine(L"ImageCount") : nullptr;
    return line ? line->ReadContentAsInt() : 1;
}

std::wstring CStyle::ReadImageFileName(const CSection* section, int index)
{
    if (!section)
        return std::wstring();
    std::wstring key = L"ImageFile";
    if (index != 0)
        key += std::to_wstring(index);
    const CLine* line = section->FindLine(key.c_str());
    if (!line)
        return std::wstring();
    std::wstring name = line->GetContent();
    if (!name.empty())
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

bool CStyle::LoadImageArray(Images::CImageArray& array, const CSection* section, int index)
{
    std::wstring name = ReadImageFileName(section, index);
    if (name.empty())
        return false;
    HBITMAP bitmap = m_resources.ReadBitmap(name.c_str());
    if (!bitmap)
        return false;
    array.Attach(bitmap, ReadImageCount(section), ReadImageLayout(section));
    array.EnableTransparent(Images::kNoColor);
    if (ReadTransparent(section)) {
        COLORREF colour = ReadTransparentColor(section);
        if (colour != Images::kNoColor)
            array.EnableTransparent(colour);
        else
            array.AutoEnableTransparent();
    }
    return true;
}

bool CStyle::SetLangID(WORD language)
{
    return m_resources.SetLangID(language);
}

}  // namespace Style

#pragma once
// One loaded style pack: its module, its parsed STYLE.INI, fonts, named
// cursors and one painter per element kind, all filled lazily on first use.
#include <windows.h>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>
#include "../base/Export.h"
#include "../resource/IniReader.h"
#include "../resource/ResourceReader.h"
#include "ImageArray.h"

namespace Style {

class CPainter;

// STYLE.INI with the section naming of element kinds: "Class", "Class.Sub",
// "Back@Class.Sub", "Fore@Class.Sub" and "Custom@Class.Sub".
class ORVEL_API CStyleConfigReader : public Resource::CIniReader {
public:
    enum Part { PartNone = 0, PartBack = 1, PartFore = 2 };

    // An empty name for a part value outside the enumeration.
    static std::wstring MakeSectionName(const wchar_t* className, const wchar_t* subName,
                                        Part part);
    static std::wstring MakeSectionName(const wchar_t* className, const wchar_t* subName,
                                        const wchar_t* customWord);

    // Falls back to the section without the sub-name when the named one is
    // missing.
    Resource::CSection* GetSection(const wchar_t* className, const wchar_t* subName,
                                   Part part) const;
    // The exact custom section only, no fallback.
    Resource::CSection* GetSection(const wchar_t* className, const wchar_t* subName,
                                   const wchar_t* customWord) const;
    // Looks only in the section GetSection finds.
    const Resource::CLine* GetLine(const wchar_t* className, const wchar_t* subName, Part part,
                                   const wchar_t* key) const;
};

class ORVEL_API CStyle {
public:
    // Index of an element kind's painter; the enumerator's name is the
    // element's section name. The missing values have no element kind.
    enum PainterType : int {
        Frame = 0, FrameTitle = 1, FrameIcon = 2, FrameButtonClose = 3, FrameButtonMin = 4,
        FrameButtonMax = 5, FrameButtonRestore = 6, FrameLeftBorder = 7, FrameRightBorder = 8,
        FrameBottomBorder = 9, DlgFrame = 10, DlgFrameTitle = 11, DlgFrameIcon = 12,
        DlgFrameButtonClose = 13, DlgFrameButtonMin = 14, DlgFrameButtonMax = 15,
        DlgFrameButtonRestore = 16, DlgFrameLeftBorder = 17, DlgFrameRightBorder = 18,
        DlgFrameBottomBorder = 19, Workarea = 20, WorkareaBorderLeft = 21,
        WorkareaBorderRight = 22, WorkareaBorderTop = 23, WorkareaBorderBottom = 24,
        TabTopPane = 25, ExpertComment = 26, ExpertCommentIcon = 27, ExpertCommentLabel = 28,
        ExpertStats = 29, ButtonScan = 30, ButtonPause = 31, ButtonResume = 32,
        ButtonStop = 33, ButtonUpdate = 34, ControlCheckBox = 36, ControlRadio = 37,
        Concision = 38, ConcisionCell = 39, Disk = 40, DiskGroupHeader = 41, DiskCell = 42,
        Result = 43, ResultItem = 44, EngVersion = 45, EngVersionIcon = 46,
        EngVersionLabel = 47, MenuBar = 48, MenuBarItem = 49, PopupMenu = 50,
        PopupMenuItem = 51, PushButton = 52, CheckButton = 53, CheckButtonState = 54,
        CheckButtonLabel = 55, RadioButton = 56, RadioButtonState = 57, RadioButtonLabel = 58,
        Edit = 59, Static = 60, ScrollBarArrowButton = 61, ScrollBarGripperHorz = 62,
        ScrollBarGripperVert = 63, ScrollBarLowerTrackHorz = 64, ScrollBarLowerTrackVert = 65,
        ScrollBarSizeBox = 66, ScrollBarThumbButtonHorz = 67, ScrollBarThumbButtonVert = 68,
        ScrollBarUpperTrackHorz = 69, ScrollBarUpperTrackVert = 70, Combobox = 71,
        ComboboxDropDownButton = 72, Spin = 73, SpinDown = 74, SpinDownHorz = 75, SpinUp = 76,
        SpinUpHorz = 77, TrackBar = 78, TrackBarThumb = 79, TrackBarThumbBottom = 80,
        TrackBarThumbLeft = 81, TrackBarThumbRight = 82, TrackBarThumbTop = 83,
        TrackBarThumVert = 84, TrackBarTics = 85, TrackBarTicsVert = 86, TrackBarTrack = 87,
        TrackBarTrackVert = 88, ProgressBar = 89, ProgressBarVert = 90, ProgressChunk = 91,
        ProgressChunkVert = 92, HeaderCtrl = 93, HeaderCtrlItem = 94, HeaderCtrlDivider = 95,
        HeaderCtrlSort = 96, TabCtrl = 97, TabCtrlPane = 98, TabCtrlBody = 99,
        TabCtrlItem = 100, TabCtrlLeftItem = 101, TabCtrlRightItem = 102, SplitLine = 103,
        TargetCtrl = 104, TargetCtrlCell = 105, TargetCtrlCellLabel = 106,
        GroupCellLabel = 107, GroupCell = 108, GroupTitle = 109, GroupCtrl = 110,
        ResultCleanPrompt = 111, ExtendListCtrl = 112, PromptError = 113, FolderView = 114,
        TaskList = 115, TaskPaneHeader = 116, TaskPaneHeaderLabel = 117,
        TaskPaneHeaderButtonExpand = 118, TaskPaneHeaderButtonCollapse = 119,
        TaskPaneItem = 120, TaskPaneItemLabel = 121, TaskPaneBody = 122, ShellBand = 123,
        ShellInfoPane = 124, ShellComment = 125, ShellCommentIcon = 126,
        ShellCommentLabel = 127, ShellStatus = 128, TrackBarVert = 129,
        TrackBarThumbVert = 130, TableRecordText = 131, StartStopImage = 132,
        DetailInfoLink = 133, RecordLine = 134, RunDetailText = 135, RunMonitor = 136,
        RunMonitorText = 137, RunMonitorImage = 138, TableHead = 139, TableHeadName = 140,
        TableHeadOther = 141, TableHeadEnd = 142, ScanPage = 143, MonPage = 144,
        MonitorTable = 145, FileRecordName = 146, EmailRecordName = 147, WebRecordName = 148,
        MsgRecordName = 149, ScriptRecordName = 150, RecordCellEnd = 151,
        ScriptLinkRight = 152, XPDlgFrame = 153, ToolsPage = 154, QuickStartItem = 155,
        GenericItem = 156, SecurityItem = 157, ServicePage = 158, UploadItem = 161,
        LangItem = 162, HelpItem = 163, ButtonReport = 164, ButtonOption = 165,
        TabLeftPane = 166, TabLeftService = 167, TabLeftTools = 168, HyperLink = 169,
        ToolsBack = 170, ServiceBack = 171, ToolsCellFirst = 172, ToolsCell = 173,
        ToolsCellEnd = 174, ToolsCellTwo = 175, ToolsCellEndTwo = 176,
        ToolsCellSelectFirst = 177, ToolsCellSelect = 178, ToolsCellSelectEnd = 179,
        RadioButtonStateXP = 180, OemPage = 181, OemBack = 182, ScriptLinkMiddle = 184,
        StartStopImageLast = 185, FrameTop = 186, FrameBottom = 187, ButtonVirusBox = 188,
        ButtonHistory = 189, TechSupport = 192, QuickScan = 193, QuickScanIcon = 194,
        QuickScanText = 195, QuickScanArrow = 196, FullScan = 197, CustomScan = 198,
        ScanPageContent = 199, AdvanceOption = 200, ResultVirus = 201, ConcisionContent = 202,
        ScanMemory = 203, ScanSystemFolder = 204, ScanInternetCache = 205, ScanMyDoc = 206,
        ScanAllRemovable = 207, ScanMail = 208, OptionContent = 209, SpeedCompose = 210,
        ShutDown = 211, SpeedItem = 212, CustomContent = 213, FolderOK = 214,
        FolderCancel = 215, HomePage = 216, FWPage = 217, ActionPage = 218,
        HomePageContent = 219, SaftyLevel = 220, LogHistory = 221, SaftyState = 222,
        SaftyLabel = 223, PrgsBck = 224, Prgs = 225, Slide = 226, TextInfo = 227,
        CheckDetail = 228, CheckStart = 229, CheckStop = 230, LogHead1 = 231, LogHead2 = 232,
        LogHead3 = 233, LogHead4 = 234, LogHead5 = 235, LogHeadEnd = 236, LogValue1 = 237,
        LogValue2 = 238, LogValue3 = 239, LogValue4 = 240, LogValue5 = 241, LogValueEnd = 242,
        LogDetail = 243, LineMonitor = 244, LineAction = 245, LineFireWall = 246,
        LineDate = 247, LineLeak = 248, MonitorOpen = 249, ActionOpen = 250,
        FireWallOpen = 251, btUpdate = 252, btLeakScan = 253, FWPage4 = 254, ToolsPage5 = 255,
        ToolsPage4 = 256, ServicePage6 = 257, ServicePage5 = 258, OemPage7 = 259,
        OemPage6 = 260, ToolsRun = 261, ToolsRunSelect = 262, CleanWeek = 263,
        ModeCompose = 264, ModeItem = 265,
        PainterTypeCount = 266
    };

    CStyle();
    virtual ~CStyle();
    CStyle(const CStyle&) = delete;
    CStyle& operator=(const CStyle&) = delete;

    // Opens the pack module and forgets everything read from the one before.
    // False (and no module held) if the path cannot be loaded.
    bool Load(const wchar_t* path);

    // Parses STYLE.INI, [Fonts], [Cursors] and [Config] on first use (also
    // through the cursor and font operations). A held
    // module without STYLE.INI raises Base::CFailure(kMissingStyleIni); with
    // no module held the config is empty.
    CStyleConfigReader& GetConfig();
    bool IsSimple();

    // Created and loaded on first request, owned by the style. A type with
    // no element kind raises Base::CFailure(E_INVALIDARG).
    CPainter* GetPainter(PainterType type);
    // The section name of an element kind, or null for a value with none.
    static const wchar_t* GetPainterClassName(int type);

    // String 101: the internal name (neutral language) and the shown name
    // (the reader's language).
    std::wstring GetName() const;
    std::wstring GetShowName() const;
    std::wstring ReadString(UINT id) const;
    std::wstring ReadString(UINT id, WORD language) const;
    // True only for a stamp of exactly 16 bytes.
    bool ReadTimeStamp(SYSTEMTIME& time) const;
    // Screen-compatible bitmaps owned by the caller; null if missing.
    HBITMAP ReadBitmap(UINT id) const;
    HBITMAP ReadBitmap(const wchar_t* name) const;

    // "$Name" is a named cursor (exact case); anything else a cursor resource
    // name. Every handle returned stays owned by the style.
    HCURSOR GetCursor(const Resource::CLine* line);

    // No line: the default font. "$Name": that named font (ASCII case
    // ignored), else the default. Otherwise a font description; equal
    // descriptions share one handle. Handles stay owned by the style.
    HFONT ReadFont(const Resource::CLine* line);
    HFONT GetNameFont(const wchar_t* name);
    HFONT GetDefaultFont()
    {
        GetConfig();
        return m_hDefaultFont;
    }

    // Reads ImageFile (ImageFile<index> for index > 0), ImageCount,
    // ImageLayout, Transparent and TransparentColor of the section.
    bool LoadImageArray(Images::CImageArray& array, const Resource::CSection* section,
                        int index);
    static bool ReadTransparent(const Resource::CSection* section);
    // kNoColor when missing or malformed.
    static COLORREF ReadTransparentColor(const Resource::CSection* section);
    static Images::CImageArray::ImageLayout ReadImageLayout(const Resource::CSection* section);
    static int ReadImageCount(const Resource::CSection* section);
    // Upper-cased; empty when missing.
    static std::wstring ReadImageFileName(const Resource::CSection* section, int index);

    // True if the language changed.
    bool SetLangID(WORD language);
    WORD GetLangID() const { return m_resources.GetLangID(); }
    operator HINSTANCE() const { return m_resources; }

protected:
    void CreatePainter(PainterType type);
    void ClearAllPainter();
    void Init() { m_bInitialised = true; }
    void InitNamedCursor(const Resource::CSection* section);
    void ClearAllCursor();

private:
    struct SFontEntry {
        LOGFONTW description;
        HFONT font;
        std::wstring name;
    };
    // h = h * 33 + code unit over the name's UTF-16 code units.
    struct SCursorNameHash {
        std::size_t operator()(const std::wstring& name) const noexcept;
    };

    void ClearFonts();
    void ReadFontSection();
    SFontEntry* FindFont(const LOGFONTW& description);
    HFONT FindNamedFont(const wchar_t* name) const;
    HFONT AddFont(const LOGFONTW& description, const std::wstring& name);

    bool m_bInitialised = false;
    CPainter* m_pPainters[PainterTypeCount] = {};
    CStyleConfigReader m_config;
    bool m_bConfigLoaded = false;
    bool m_bSimple = false;
    Resource::CResourceReader m_resources;
    std::vector<SFontEntry> m_fonts;
    HFONT m_hDefaultFont = nullptr;
    std::unordered_map<std::wstring, HCURSOR, SCursorNameHash> m_namedCursors;
    // Cursors read by resource name for painters; kept so that each is made
    // once per pack and destroyed with it.
    std::map<std::wstring, HCURSOR> m_resourceCursors;
};

}  // namespace Style

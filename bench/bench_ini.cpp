// Parsing a large pack text and looking up every key once, against the
// platform's profile functions reading the same keys from the same file.
#include <windows.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>
#include "bench/BenchCommon.h"
#include "orvel/resource/IniReader.h"

namespace {

const wchar_t* const kKinds[] = {
    L"Frame", L"FrameTitle", L"FrameIcon", L"FrameButtonClose", L"FrameButtonMin",
    L"FrameButtonMax", L"FrameButtonRestore", L"FrameLeftBorder", L"FrameRightBorder",
    L"FrameBottomBorder", L"DlgFrame", L"DlgFrameTitle", L"DlgFrameIcon",
    L"DlgFrameButtonClose", L"DlgFrameButtonMin", L"DlgFrameButtonMax",
    L"DlgFrameButtonRestore", L"DlgFrameLeftBorder", L"DlgFrameRightBorder",
    L"DlgFrameBottomBorder", L"Workarea", L"WorkareaBorderLeft", L"WorkareaBorderRight",
    L"WorkareaBorderTop", L"WorkareaBorderBottom", L"TabTopPane", L"ExpertComment",
    L"ExpertCommentIcon", L"ExpertCommentLabel", L"ExpertStats", L"ButtonScan",
    L"ButtonPause", L"ButtonResume", L"ButtonStop", L"ButtonUpdate", L"ControlCheckBox",
    L"ControlRadio", L"Concision", L"ConcisionCell", L"Disk", L"DiskGroupHeader",
    L"DiskCell", L"Result", L"ResultItem", L"EngVersion", L"EngVersionIcon",
    L"EngVersionLabel", L"MenuBar", L"MenuBarItem", L"PopupMenu", L"PopupMenuItem",
    L"PushButton", L"CheckButton", L"CheckButtonState", L"CheckButtonLabel", L"RadioButton",
    L"RadioButtonState", L"RadioButtonLabel", L"Edit", L"Static", L"ScrollBarArrowButton",
    L"ScrollBarGripperHorz", L"ScrollBarGripperVert", L"ScrollBarLowerTrackHorz",
    L"ScrollBarLowerTrackVert", L"ScrollBarSizeBox", L"ScrollBarThumbButtonHorz",
    L"ScrollBarThumbButtonVert", L"ScrollBarUpperTrackHorz", L"ScrollBarUpperTrackVert",
    L"Combobox", L"ComboboxDropDownButton", L"Spin", L"SpinDown", L"SpinDownHorz",
    L"SpinUp", L"SpinUpHorz", L"TrackBar", L"TrackBarThumb", L"TrackBarThumbBottom",
    L"TrackBarThumbLeft", L"TrackBarThumbRight", L"TrackBarThumbTop", L"TrackBarThumVert",
    L"TrackBarTics", L"TrackBarTicsVert", L"TrackBarTrack", L"TrackBarTrackVert",
    L"ProgressBar", L"ProgressBarVert", L"ProgressChunk", L"ProgressChunkVert",
    L"HeaderCtrl", L"HeaderCtrlItem", L"HeaderCtrlDivider", L"HeaderCtrlSort", L"TabCtrl",
    L"TabCtrlPane", L"TabCtrlBody", L"TabCtrlItem", L"TabCtrlLeftItem", L"TabCtrlRightItem",
    L"SplitLine", L"TargetCtrl", L"TargetCtrlCell", L"TargetCtrlCellLabel",
    L"GroupCellLabel", L"GroupCell", L"GroupTitle", L"GroupCtrl", L"ResultCleanPrompt",
    L"ExtendListCtrl", L"PromptError", L"FolderView", L"TaskList", L"TaskPaneHeader",
    L"TaskPaneHeaderLabel", L"TaskPaneHeaderButtonExpand", L"TaskPaneHeaderButtonCollapse",
    L"TaskPaneItem", L"TaskPaneItemLabel", L"TaskPaneBody", L"ShellBand", L"ShellInfoPane",
    L"ShellComment", L"ShellCommentIcon", L"ShellCommentLabel", L"ShellStatus",
    L"TrackBarVert", L"TrackBarThumbVert", L"TableRecordText", L"StartStopImage",
    L"DetailInfoLink", L"RecordLine", L"RunDetailText", L"RunMonitor", L"RunMonitorText",
    L"RunMonitorImage", L"TableHead", L"TableHeadName", L"TableHeadOther", L"TableHeadEnd",
    L"ScanPage", L"MonPage", L"MonitorTable", L"FileRecordName", L"EmailRecordName",
    L"WebRecordName", L"MsgRecordName", L"ScriptRecordName", L"RecordCellEnd",
    L"ScriptLinkRight", L"XPDlgFrame", L"ToolsPage", L"QuickStartItem", L"GenericItem",
    L"SecurityItem", L"ServicePage", L"UploadItem", L"LangItem", L"HelpItem",
    L"ButtonReport", L"ButtonOption", L"TabLeftPane", L"TabLeftService", L"TabLeftTools",
    L"HyperLink", L"ToolsBack", L"ServiceBack", L"ToolsCellFirst", L"ToolsCell",
    L"ToolsCellEnd", L"ToolsCellTwo", L"ToolsCellEndTwo", L"ToolsCellSelectFirst",
    L"ToolsCellSelect", L"ToolsCellSelectEnd", L"RadioButtonStateXP", L"OemPage",
    L"OemBack", L"ScriptLinkMiddle", L"StartStopImageLast", L"FrameTop", L"FrameBottom",
    L"ButtonVirusBox", L"ButtonHistory", L"TechSupport", L"QuickScan", L"QuickScanIcon",
    L"QuickScanText", L"QuickScanArrow", L"FullScan", L"CustomScan", L"ScanPageContent",
    L"AdvanceOption", L"ResultVirus", L"ConcisionContent", L"ScanMemory",
    L"ScanSystemFolder", L"ScanInternetCache", L"ScanMyDoc", L"ScanAllRemovable",
    L"ScanMail", L"OptionContent", L"SpeedCompose", L"ShutDown", L"SpeedItem",
    L"CustomContent", L"FolderOK", L"FolderCancel", L"HomePage", L"FWPage", L"ActionPage",
    L"HomePageContent", L"SaftyLevel", L"LogHistory", L"SaftyState", L"SaftyLabel",
    L"PrgsBck", L"Prgs", L"Slide", L"TextInfo", L"CheckDetail", L"CheckStart", L"CheckStop",
    L"LogHead1", L"LogHead2", L"LogHead3", L"LogHead4", L"LogHead5", L"LogHeadEnd",
    L"LogValue1", L"LogValue2", L"LogValue3", L"LogValue4", L"LogValue5", L"LogValueEnd",
    L"LogDetail", L"LineMonitor", L"LineAction", L"LineFireWall", L"LineDate", L"LineLeak",
    L"MonitorOpen", L"ActionOpen", L"FireWallOpen", L"btUpdate", L"btLeakScan", L"FWPage4",
    L"ToolsPage5", L"ToolsPage4", L"ServicePage6", L"ServicePage5", L"OemPage7",
    L"OemPage6", L"ToolsRun", L"ToolsRunSelect", L"CleanWeek", L"ModeCompose", L"ModeItem",
};

using Key = std::pair<std::wstring, std::wstring>;

// Main, "Back@" and "Fore@" sections for every element kind, padded with
// state-numbered keys until the text reaches about targetBytes.
std::wstring MakeStyleText(size_t targetBytes, std::vector<Key>& keys)
{
    std::wstring text = L"\xFEFF[Config]\r\nIsSimple=false\r\n";
    keys.push_back({L"Config", L"IsSimple"});
    int states = 0;
    while (text.size() * 2 < targetBytes) {
        ++states;
        for (const wchar_t* kind : kKinds) {
            std::wstring main = kind, back = L"Back@" + main, fore = L"Fore@" + main;
            auto add = [&](const std::wstring& section, const std::wstring& label,
                           const std::wstring& value) {
                text += label + L"=" + value + L"\r\n";
                keys.push_back({section, label});
            };
            auto state = std::to_wstring(states);
            text += L"[" + main + L"." + state + L"]\r\n";
            add(main + L"." + state, L"Margins", L"2, 2, 3, 3");
            add(main + L"." + state, L"Visible", L"true");
            text += L"[" + back + L"." + state + L"]\r\n";
            add(back + L"." + state, L"Type", L"FillImage");
            add(back + L"." + state, L"ImageFile", main + L".BMP ; strip");
            add(back + L"." + state, L"SizingMargins", L"4,4,4,4");
            add(back + L"." + state, L"BorderColor" + state, L"120, 130, 140");
            text += L"[" + fore + L"." + state + L"]\r\n";
            add(fore + L"." + state, L"Type", L"Text");
            add(fore + L"." + state, L"TextColor" + state, L"0,0,0");
            add(fore + L"." + state, L"Font" + state, L"name:Tahoma, size:8, bold");
        }
    }
    return text;
}

}  // namespace

int main()
{
    std::vector<Key> keys;
    std::wstring text = MakeStyleText(1 << 20, keys);

    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"ini", 0, path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size() * 2), &written, nullptr);
    CloseHandle(file);

    std::printf("bench_ini: %zu KB of pack text, %zu keys looked up once each\n",
                text.size() * 2 / 1024, keys.size());

    size_t found = 0;
    auto profile = Bench::Measure(3, [&] {
        wchar_t value[256];
        for (const Key& key : keys)
            found += GetPrivateProfileStringW(key.first.c_str(), key.second.c_str(), L"", value,
                                              256, path) > 0;
    });
    auto reader = Bench::Measure(7, [&] {
        Resource::CIniReader ini;
        ini.LoadFromFile(path);
        for (const Key& key : keys)
            found += !ini.GetString(key.first.c_str(), key.second.c_str()).empty();
    });
    auto parseOnly = Bench::Measure(7, [&] {
        Resource::CIniReader ini;
        ini.LoadFromFile(path);
    });

    Bench::ReportBaseline("GetPrivateProfileStringW, every key", profile);
    Bench::Report("CIniReader load + every key", reader, profile);
    Bench::Report("CIniReader load only", parseOnly, profile);
    DeleteFileW(path);
    // Every key must have been found by both, or the comparison is void.
    size_t expected = keys.size() * (3 + 7);
    if (found != expected) {
        std::printf("bench_ini: found %zu of %zu values\n", found, expected);
        return 1;
    }
    return 0;
}

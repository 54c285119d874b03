// A full repaint (frame, client area, every child) of the demo's settings
// dialog, page by page, styled with the default pack, against the same
// dialog unstyled and unstyled under Wine's visual style (common controls
// 6, as a themed program has them). Each case runs in a process of its own:
// the visual style is chosen when the theme library loads. The styled case
// also reports what styling costs in memory.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "bench/BenchChild.h"
#include "bench/BenchCommon.h"
#include "demo/DemoIds.h"
#include "demo/SettingsDialog.h"
#include "orvel/windows/StyleByClass.h"
#include "orvel/host/Global.h"
#include "orvel/style/RenderCache.h"
#include "orvel/style/StyleManager.h"

namespace {

enum ECase { Unstyled, Themed, Styled, CaseCount };
const char* const kCaseNames[CaseCount] = {"unstyled", "unstyled, visual style", "styled ZQ2009"};
constexpr int kRepeats = 30;
constexpr int kRounds = 3;

// Common controls 6 for this process, as a program's manifest asks for it.
bool UseCommonControls6()
{
    static const char kManifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
        "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>\r\n"
        "</assembly>\r\n";
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"cc6", 0, path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, kManifest, sizeof kManifest - 1, &written, nullptr);
    CloseHandle(file);
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.lpSource = path;
    HANDLE handle = CreateActCtxW(&context);
    DeleteFileW(path);
    ULONG_PTR cookie = 0;
    // Active for the rest of the process.
    return handle != INVALID_HANDLE_VALUE && ActivateActCtx(handle, &cookie);
}

void SelectPage(HWND dialog, int page)
{
    HWND tabs = GetDlgItem(dialog, IDC_SET_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, page, 0);
    NMHDR header = {tabs, IDC_SET_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_SET_TABS, reinterpret_cast<LPARAM>(&header));
    Bench::Pump();
}

// Heap bytes and render-cache peak of styling the dialog.
void ReportMemory()
{
    Images::CRenderCache& cache = Images::CRenderCache::GetInstance();
    Demo::CSettingsDialog dialog;
    if (!dialog.Create(nullptr, false))
        return;
    const size_t before = Bench::HeapBytesInUse();
    const int styled = Windows::StyleDialogByClass(dialog.Window(), {IDC_GEN_LINK});
    const size_t after = Bench::HeapBytesInUse();
    dialog.Destroy();
    Bench::Pump();
    if (styled > 0) {
        std::printf("memory: %d windows styled, %.0f heap bytes each (before any paint)\n", styled,
                    double(after > before ? after - before : 0) / styled);
    }
    std::printf("render cache budget %zu KB\n", cache.GetBudget() / 1024);
}

int Child(int childCase)
{
    if (childCase < 0 || childCase >= CaseCount)
        return 2;
    if (childCase == Themed && !UseCommonControls6())
        std::printf("(common controls 6 not available)\n");
    if (childCase == Themed && !IsThemeActive())
        std::printf("(visual style not active)\n");
    COrvelGlobal& global = COrvelGlobal::GetInstance();
    if (!global.Initialize(GetModuleHandleW(L"Orvel.dll"))) {
        std::printf("cannot initialise Orvel\n");
        return 1;
    }
    Images::CRenderCache& cache = Images::CRenderCache::GetInstance();
    if (childCase == Styled) {
        Style::CStyleManager::GetInstance().SelectStyle(Style::CStyleManager::kDefaultStyleName);
        ReportMemory();
        cache.ResetPeak();
    }

    Demo::CSettingsDialog settings;
    if (!settings.Create(nullptr, childCase == Styled)) {
        std::printf("cannot create the settings dialog\n");
        return 1;
    }
    HWND dialog = settings.Window();
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Bench::Pump();
    Bench::SResult all = {0, 0};
    // Where the repaints spend their time, by module (the main thread sampled).
    auto profile = std::make_unique<Bench::CModuleProfile>(GetCurrentThreadId());
    for (int page = 0; page < Demo::CSettingsDialog::PageCount; ++page) {
        SelectPage(dialog, page);
        Bench::FullRepaint(dialog);  // first paints of the page
        Bench::SResult one = Bench::Measure(kRepeats, [&] { Bench::FullRepaint(dialog); });
        std::string name = "page_";
        for (const wchar_t* c = Demo::CSettingsDialog::PageName(page); *c; ++c)
            name += static_cast<char>(*c);
        Bench::ReportChild(name.c_str(), one);
        all.minMs += one.minMs;
        all.medianMs += one.medianMs;
    }
    Bench::ReportChild("all", all);
    profile->Stop();
    profile->Print("where the repaints ran, by module");
    if (childCase == Styled) {
        std::printf("render cache: peak %zu KB over the four pages, %zu KB in %zu entries now\n",
                    cache.GetPeakBytes() / 1024, cache.GetBytes() / 1024, cache.GetEntryCount());
    }
    settings.Destroy();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int childCase = Bench::ChildCase(argc, argv);
    if (childCase >= 0)
        return Child(childCase);

    // The cases take turns, round after round, so a busy moment of the
    // machine does not fall on one case alone: the minimum of the rounds'
    // minima and the median of their medians are reported.
    Bench::SChildReport reports[CaseCount];
    std::map<std::string, std::vector<double>> medians[CaseCount];
    for (int round = 0; round < kRounds; ++round) {
        for (int c = 0; c < CaseCount; ++c) {
            Bench::SChildReport report;
            if (c == Themed) {
                Bench::CThemeRegistry theme;  // for the child only
                report = Bench::RunChild(c);
            } else {
                report = Bench::RunChild(c);
            }
            if (!report.ok) {
                std::printf("bench_dialog: the %s case failed\n%s", kCaseNames[c], report.notes.c_str());
                return 1;
            }
            if (round == 0)
                reports[c].notes = report.notes;
            for (const auto& [name, result] : report.results) {
                auto kept = reports[c].results.find(name);
                if (kept == reports[c].results.end())
                    reports[c].results[name] = result;
                else
                    kept->second.minMs = std::min(kept->second.minMs, result.minMs);
                medians[c][name].push_back(result.medianMs);
            }
        }
    }
    for (int c = 0; c < CaseCount; ++c) {
        for (auto& [name, values] : medians[c]) {
            std::sort(values.begin(), values.end());
            reports[c].results[name].medianMs = values[values.size() / 2];
        }
    }
    std::printf("bench_dialog: full repaint of the settings dialog, %d repaints a page, %d rounds\n",
                kRepeats, kRounds);
    for (int c = 0; c < CaseCount; ++c) {
        std::printf("%s\n%s", kCaseNames[c], reports[c].notes.c_str());
        for (const auto& [name, result] : reports[c].results)
            Bench::Line(name.c_str(), result);
    }
    std::printf("ratios, styled against\n");
    for (const auto& [name, result] : reports[Styled].results) {
        Bench::Ratio((name + " / visual style (aim: 1.0 or less)").c_str(), result,
                     reports[Themed].results[name]);
        Bench::Ratio((name + " / unstyled (aim: 2 or less)").c_str(), result,
                     reports[Unstyled].results[name]);
    }
    return 0;
}

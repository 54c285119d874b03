// Switching packs with 100 styled controls alive, until every one of them
// (and the dialog's frame) has painted in the new pack, against one full
// repaint of the same dialog in one pack.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include "bench/BenchCommon.h"
#include "orvel/windows/StyleByClass.h"
#include "orvel/host/Global.h"
#include "orvel/style/RenderCache.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/Messages.h"

namespace {

constexpr int kColumns = 10, kRows = 10;
constexpr int kCellWidth = 76, kCellHeight = 40;
constexpr int kRepeats = 20;
const wchar_t* const kPacks[] = {L"ZQ2009", L"Graphite"};

INT_PTR CALLBACK HostProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// An empty dialog (so the walk styles its children) with ten controls of
// each kind that the walk styles.
HWND CreateHost()
{
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty = {};
    empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &empty.header, nullptr, HostProc, 0);
    if (!dialog)
        return nullptr;
    SetWindowTextW(dialog, L"Pack switch");
    RECT frame = {0, 0, kColumns * kCellWidth, kRows * kCellHeight};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, 0);
    SetWindowPos(dialog, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top, 0);
    struct SKind {
        const wchar_t* windowClass;
        DWORD style;
        const wchar_t* text;
    };
    auto Is = [](const SKind& kind, const wchar_t* windowClass) {
        return wcscmp(kind.windowClass, windowClass) == 0;
    };
    const SKind kinds[kColumns] = {
        {WC_BUTTONW, BS_PUSHBUTTON, L"Push"},
        {WC_BUTTONW, BS_AUTOCHECKBOX, L"Check"},
        {WC_BUTTONW, BS_AUTORADIOBUTTON, L"Radio"},
        {WC_STATICW, SS_LEFT, L"A label"},
        {WC_EDITW, WS_BORDER | ES_AUTOHSCROLL, L"Text"},
        {WC_LISTBOXW, WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, L""},
        {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, L""},
        {TRACKBAR_CLASSW, TBS_AUTOTICKS, L""},
        {PROGRESS_CLASSW, 0, L""},
        {WC_TABCONTROLW, 0, L""},
    };
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const SKind& kind = kinds[column];
            const int height = Is(kind, WC_COMBOBOXW) ? 120 : kCellHeight - 6;
            HWND control = CreateWindowExW(0, kind.windowClass, kind.text, WS_CHILD | WS_VISIBLE | kind.style,
                                           column * kCellWidth + 3, row * kCellHeight + 3, kCellWidth - 6,
                                           height, dialog,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + row * kColumns + column)),
                                           nullptr, nullptr);
            if (Is(kind, WC_LISTBOXW) || Is(kind, WC_COMBOBOXW)) {
                const UINT add = Is(kind, WC_LISTBOXW) ? LB_ADDSTRING : CB_ADDSTRING;
                for (const wchar_t* item : {L"One", L"Two", L"Three", L"Four"})
                    SendMessageW(control, add, 0, reinterpret_cast<LPARAM>(item));
                SendMessageW(control, Is(kind, WC_LISTBOXW) ? LB_SETCURSEL : CB_SETCURSEL, 1, 0);
            } else if (Is(kind, PROGRESS_CLASSW)) {
                SendMessageW(control, PBM_SETPOS, 30 + row * 7, 0);
            } else if (Is(kind, WC_TABCONTROLW)) {
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<wchar_t*>(L"Tab");
                SendMessageW(control, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
        }
    }
    return dialog;
}

// Paints what is left to paint, the dialog and every child.
void PaintPending(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Bench::Pump();
    GdiFlush();
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    if (!COrvelGlobal::GetInstance().Initialize(GetModuleHandleW(L"Orvel.dll"))) {
        std::printf("bench_switch: cannot initialise Orvel\n");
        return 1;
    }
    Style::CStyleManager& manager = Style::CStyleManager::GetInstance();
    manager.SelectStyle(kPacks[0]);
    HWND dialog = CreateHost();
    const int styled = dialog ? Windows::StyleDialogByClass(dialog) : 0;
    if (styled < kColumns * kRows) {
        std::printf("bench_switch: %d windows styled, not every control\n", styled);
        return 1;
    }
    Bench::Pump();
    Bench::FullRepaint(dialog);
    Bench::FullRepaint(dialog);

    std::printf("bench_switch: %d styled windows (%d controls and the frame), %d runs\n", styled,
                kColumns * kRows, kRepeats);
    auto repaint = Bench::Measure(kRepeats, [&] { Bench::FullRepaint(dialog); });
    int next = 1;
    auto switchPack = Bench::Measure(kRepeats, [&] {
        manager.SelectStyle(kPacks[next]);
        SendMessageW(dialog, Windows::kMsgStyleChanged, 0, 0);
        PaintPending(dialog);
        next = 1 - next;
    });
    Bench::ReportBaseline("one full repaint", repaint);
    Bench::Report("pack switch until all has repainted", switchPack, repaint);
    std::printf("  pack switch / full repaint (aim: 5 or less): x%.2f (min)  x%.2f (median)\n",
                switchPack.minMs / repaint.minMs, switchPack.medianMs / repaint.medianMs);
    Images::CRenderCache& cache = Images::CRenderCache::GetInstance();
    std::printf("  render cache after the last switch: %zu KB in %zu entries (peak %zu KB)\n",
                cache.GetBytes() / 1024, cache.GetEntryCount(), cache.GetPeakBytes() / 1024);

    DestroyWindow(dialog);
    manager.SelectStyle(Style::CStyleManager::kDefaultStyleName);
    return 0;
}

// A push-button background (four-state strip, sizing margins, stretched)
// drawn by the style's painter, against the visual style's push button
// (DrawThemeBackground) and against one plain BitBlt of as many pixels.
//
// The visual style is off in a fresh Wine prefix. This program switches it
// on for itself with the values a theme selection writes, before it loads
// the theme library, and puts the previous values back when it ends; run it
// in a prefix of its own all the same (make bench does).
#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "bench/BenchCommon.h"
#include "orvel/base/GdiHandles.h"
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/testsupport/PackMaker.h"

namespace {

// A memory device over a top-down 32-bit DIB section, or over a bitmap
// compatible with the screen (what an off-screen buffer usually is).
class CTarget {
public:
    CTarget(int width, int height, bool dib) : m_bitmap(MakeBitmap(width, height, dib)), m_select(m_dc, m_bitmap)
    {
        RECT all = {0, 0, width, height};
        FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    HDC Dc() const { return m_dc; }

private:
    static Base::CBitmapHandle MakeBitmap(int width, int height, bool dib)
    {
        if (dib)
            return Base::CreateTopDownDIB(width, height, nullptr);
        Base::CClientDC screen(nullptr);
        return Base::CBitmapHandle(CreateCompatibleBitmap(screen, width, height));
    }

    Base::CMemoryDC m_dc;
    Base::CBitmapHandle m_bitmap;
    Base::CSelectScope m_select;
};

// Four 60 x 22 states with 4-pixel borders.
COLORREF ButtonPixel(int x, int y)
{
    int state = y / 22, row = y % 22;
    bool border = x < 4 || x >= 56 || row < 4 || row >= 18;
    if (border)
        return RGB(0, 60 + 40 * state, 116);
    return RGB(240 - 10 * state, 240, 234 - row);
}

constexpr int kCalls = 200;  // draws per timed sample
constexpr int kSamples = 25;

Bench::SResult PerCall(const std::function<void()>& draw)
{
    draw();  // warm up
    Bench::SResult total = Bench::Measure(kSamples, [&] {
        for (int i = 0; i < kCalls; ++i)
            draw();
    });
    return {total.minMs * 1000.0 / kCalls, total.medianMs * 1000.0 / kCalls};
}

void Line(const char* name, const Bench::SResult& us)
{
    std::printf("  %-46s min %8.2f us  median %8.2f us\n", name, us.minMs, us.medianMs);
}

void Ratio(const char* name, const Bench::SResult& ours, const Bench::SResult& base)
{
    if (base.minMs <= 0) {
        std::printf("  %-46s (no baseline)\n", name);
        return;
    }
    std::printf("  %-46s x%.2f (min)  x%.2f (median)\n", name, ours.minMs / base.minMs,
                ours.medianMs / base.medianMs);
}

}  // namespace

int main()
{
    Bench::CThemeRegistry registry;  // before the theme library reads it

    TestSupport::SPackSource source;
    source.ini =
        L"[Back@PushButton]\r\nType=FillImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
        L"SizingType=Stretch\r\nSizingMargins=4,4,4,4\r\n"
        L"[Back@CheckButton]\r\nType=FillImage\r\nImageFile=Button.bmp\r\nImageCount=4\r\n"
        L"SizingType=Stretch\r\nSizingMargins=4,4,4,4\r\nTransparent=true\r\n";
    TestSupport::SPackBitmap strip;
    strip.name = L"Button.bmp";
    strip.width = 60;
    strip.height = 88;
    strip.pixel = ButtonPixel;
    source.bitmaps.push_back(strip);
    TestSupport::CTestPack pack(source, L"Bench.spk");
    if (!pack.Ok()) {
        std::printf("bench_paint: cannot make the pack\n");
        return 1;
    }
    auto style = std::make_unique<Style::CStyle>();
    if (!style->Load(pack.Path().c_str())) {
        std::printf("bench_paint: cannot load the pack\n");
        return 1;
    }
    Style::CPainter* button = style->GetPainter(Style::CStyle::PushButton);
    Style::CPainter* keyed = style->GetPainter(Style::CStyle::CheckButton);
    if (!button->GetBackground() || !keyed->GetBackground()) {
        std::printf("bench_paint: the painter has no background\n");
        return 1;
    }

    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    auto proc = [&](const char* name) {
        return uxtheme ? reinterpret_cast<void*>(GetProcAddress(uxtheme, name)) : nullptr;
    };
    auto openTheme = reinterpret_cast<decltype(&OpenThemeData)>(proc("OpenThemeData"));
    auto drawTheme = reinterpret_cast<decltype(&DrawThemeBackground)>(proc("DrawThemeBackground"));
    auto closeTheme = reinterpret_cast<decltype(&CloseThemeData)>(proc("CloseThemeData"));
    HTHEME theme = openTheme ? openTheme(nullptr, L"BUTTON") : nullptr;

    std::printf("bench_paint: push-button background, per draw (%d draws a sample, %d samples)\n",
                kCalls, kSamples);
    if (!theme)
        std::printf("  (visual style not active: no DrawThemeBackground comparison)\n");

    const SIZE sizes[] = {{200, 60}, {600, 40}};
    int state = 0;
    int failures = 0;
    for (bool dib : {true, false}) {
        CTarget target(600, 60, dib);
        CTarget source32(600, 60, true);
        HDC dc = target.Dc();
        for (SIZE size : sizes) {
            RECT rect = {0, 0, size.cx, size.cy};
            std::printf("%dx%d into a %s\n", int(size.cx), int(size.cy),
                        dib ? "32-bit DIB section" : "screen-compatible bitmap");
            auto blit = PerCall([&] {
                BitBlt(dc, 0, 0, size.cx, size.cy, source32.Dc(), 0, 0, SRCCOPY);
            });
            auto ours = PerCall([&] {
                button->DrawBackground(dc, state, rect, rect);
                state = (state + 1) & 3;
            });
            auto oursSame = PerCall([&] { button->DrawBackground(dc, 1, rect, rect); });
            // A size never drawn before on every draw (more sizes than the
            // samples draw): each draw renders the nine parts afresh.
            int fresh = 0;
            auto oursFresh = PerCall([&] {
                const LONG width = size.cx - fresh % 150, height = size.cy - fresh / 150 % 34;
                ++fresh;
                RECT other = {0, 0, width, height};
                button->DrawBackground(dc, 1, other, other);
            });
            auto oursKeyed = PerCall([&] { keyed->DrawBackground(dc, 1, rect, rect); });
            Bench::SResult themed = {0, 0};
            if (theme) {
                themed = PerCall([&] {
                    drawTheme(theme, dc, BP_PUSHBUTTON, PBS_NORMAL, &rect, nullptr);
                });
            }
            Line("BitBlt of the same pixels (baseline)", blit);
            Line("painter, FillImage stretched, states in turn", ours);
            Line("painter, one state every draw", oursSame);
            Line("painter, a size never drawn before", oursFresh);
            Line("painter, FillImage stretched, transparent", oursKeyed);
            if (theme)
                Line("DrawThemeBackground, push button", themed);
            Ratio("painter / BitBlt (aim: 4 or less)", ours, blit);
            if (theme)
                Ratio("painter / DrawThemeBackground (aim: 1 or less)", ours, themed);
            Ratio("painter, new sizes / BitBlt (aim: 10 or less)", oursFresh, blit);
            if (theme)
                Ratio("painter, new sizes / DrawThemeBackground (aim: 0.25)", oursFresh, themed);
            Ratio("transparent painter / BitBlt (aim: 2 or less)", oursKeyed, blit);
        }
    }
    // The draw must really have drawn: a border pixel of the last state.
    {
        CTarget check(200, 60, true);
        RECT rect = {0, 0, 200, 60};
        button->DrawBackground(check.Dc(), 2, rect, rect);
        if (GetPixel(check.Dc(), 0, 0) != ButtonPixel(0, 44)) {
            std::printf("bench_paint: the painter drew the wrong pixels\n");
            ++failures;
        }
    }

    if (theme)
        closeTheme(theme);
    style.reset();  // frees the pack module before the pack's folder goes
    if (uxtheme)
        FreeLibrary(uxtheme);
    return failures ? 1 : 0;
}

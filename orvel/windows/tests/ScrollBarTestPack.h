#pragma once
// A pack whose scroll-bar parts are plain colours, one per part and state.
#include <windows.h>
#include <string>
#include "orvel/testsupport/CurrentPack.h"

namespace ScrollBarTest {

inline COLORREF ArrowColor(int state) { return RGB(250, 10 * state, 0); }
inline COLORREF LowerTrackColor(int state) { return RGB(0, 0, 200 - 50 * state); }
inline COLORREF UpperTrackColor(int state) { return RGB(0, 200 - 50 * state, 0); }
inline COLORREF ThumbColor(int state) { return RGB(200 - 50 * state, 200 - 50 * state, 0); }
inline COLORREF SizeBoxColor() { return RGB(100, 0, 100); }

inline std::wstring FillSection(const wchar_t* name, int states, COLORREF (*color)(int))
{
    std::wstring text = std::wstring(L"[") + name + L"]\r\n[Back@" + name +
                        L"]\r\nType=FillColor\r\nBorderSize=0\r\nStateCount=" + std::to_wstring(states) + L"\r\n";
    for (int n = 0; n < states; ++n) {
        COLORREF c = color(n);
        text += L"FillColor" + (n ? std::to_wstring(n) : std::wstring()) + L"=" +
                std::to_wstring(GetRValue(c)) + L"," + std::to_wstring(GetGValue(c)) + L"," +
                std::to_wstring(GetBValue(c)) + L"\r\n";
    }
    return text;
}

inline TestSupport::SPackSource ScrollBarPack()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n" + FillSection(L"ScrollBarArrowButton", 16, ArrowColor) +
                 FillSection(L"ScrollBarLowerTrackHorz", 4, LowerTrackColor) +
                 FillSection(L"ScrollBarLowerTrackVert", 4, LowerTrackColor) +
                 FillSection(L"ScrollBarUpperTrackHorz", 4, UpperTrackColor) +
                 FillSection(L"ScrollBarUpperTrackVert", 4, UpperTrackColor) +
                 FillSection(L"ScrollBarThumbButtonHorz", 4, ThumbColor) +
                 FillSection(L"ScrollBarThumbButtonVert", 4, ThumbColor) +
                 FillSection(L"ScrollBarSizeBox", 1, [](int) { return SizeBoxColor(); });
    return source;
}

}  // namespace ScrollBarTest

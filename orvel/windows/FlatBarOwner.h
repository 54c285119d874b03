#pragma once
// What the edit and the list box share as owners of flat scroll bars: an
// update of both bars is posted once however many changes come before it.
#include <windows.h>
#include "Messages.h"

namespace Windows {

namespace FlatBarOwner {

constexpr UINT kAllButTrackPos = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;  // 23
constexpr WPARAM kBothBars = 3;

// The native procedure runs first; one update is posted however many such
// messages arrive before it is handled (filling a list item by item).
template <class TFlat>
inline void PostUpdateOnce(TFlat& flat, bool& pending)
{
    if (pending)
        return;
    pending = true;
    flat.PostScrollBarUpdate(static_cast<int>(kBothBars), kAllButTrackPos);
}

// The start of every owner's map: a posted update clears the pending flag,
// then the bars see the message first.
template <class TFlat>
inline BOOL OfferToBars(TFlat& flat, bool& pending, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result)
{
    if (message == kMsgScrollBarUpdate)
        pending = false;
    return flat.ProcessWindowMessage(hWnd, message, wParam, lParam, result);
}

// The native procedure for a message that changes scrolling without a
// scroll message, then one posted update.
template <class TOwner, class TFlat>
inline BOOL DefaultThenPostUpdate(TOwner& owner, TFlat& flat, bool& pending, UINT message, WPARAM wParam,
                                  LPARAM lParam, LRESULT& result)
{
    result = owner.DefWindowProc(message, wParam, lParam);
    PostUpdateOnce(flat, pending);
    return TRUE;
}

}  // namespace FlatBarOwner

}  // namespace Windows

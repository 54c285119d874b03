#pragma once
// What the edit and the list box share as owners of flat scroll bars: an
// update of both bars is posted once however many changes come before it.
#include <windows.h>

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

}  // namespace FlatBarOwner

}  // namespace Windows

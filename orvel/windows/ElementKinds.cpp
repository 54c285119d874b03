#include "ElementKinds.h"

namespace Windows {

namespace {

using S = Style::CStyle;

const SElementKindUse kKinds[] = {
    {S::PushButton, 5, L"CPushButtonStyled"},
    {S::HyperLink, 4, L"CHyperLinkStyled"},
    {S::Static, 4, L"CStaticStyled"},
    {S::Edit, 4, L"CEditStyled"},
    {S::Combobox, 4, L"CComboBoxStyled"},
    {S::ComboboxDropDownButton, 4, L"CComboBoxStyled"},
    {S::TabCtrl, 1, L"CTabCtrlStyled"},
    {S::TabCtrlPane, 1, L"CTabCtrlStyled"},
    {S::TabCtrlBody, 1, L"CTabCtrlStyled"},
    {S::TabCtrlItem, 4, L"CTabCtrlStyled"},
    {S::ProgressBar, 1, L"CProgressStyled"},
    {S::ProgressBarVert, 1, L"CProgressStyled"},
    {S::ProgressChunk, 1, L"CProgressStyled"},
    {S::ProgressChunkVert, 1, L"CProgressStyled"},
    {S::SpinUp, 4, L"CSpinStyled"},
    {S::SpinDown, 4, L"CSpinStyled"},
    {S::SpinUpHorz, 4, L"CSpinStyled"},
    {S::SpinDownHorz, 4, L"CSpinStyled"},
    {S::TrackBar, 1, L"CTrackBarStyled"},
    {S::TrackBarVert, 1, L"CTrackBarStyled"},
    {S::TrackBarTrack, 1, L"CTrackBarStyled"},
    {S::TrackBarTrackVert, 1, L"CTrackBarStyled"},
    {S::TrackBarThumb, 4, L"CTrackBarStyled"},
    {S::TrackBarThumbVert, 4, L"CTrackBarStyled"},
};

}  // namespace

const SElementKindUse* GetStyledElementKinds(size_t* count)
{
    if (count)
        *count = sizeof kKinds / sizeof kKinds[0];
    return kKinds;
}

}  // namespace Windows

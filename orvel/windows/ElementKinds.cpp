#include "ElementKinds.h"

namespace Windows {

namespace {

using S = Style::CStyle;

// States: 0 normal, 1 hot, 2 pressed, 3 disabled, 4 default; check boxes
// and radio buttons add 4 x the check state (0 to 2) and pass that real
// state down to their image and label.
const SElementKindUse kKinds[] = {
    {S::PushButton, 5, L"CPushButton", kBothLayers},
    {S::HyperLink, 4, L"CHyperLink", kForeLayer},
    {S::CheckButton, 12, L"CCheckRadioButton", kNoLayer},
    {S::CheckButtonState, 12, L"CCheckRadioButton", kBothLayers},
    {S::CheckButtonLabel, 12, L"CCheckRadioButton", kBothLayers},
    {S::RadioButton, 12, L"CCheckRadioButton", kNoLayer},
    {S::RadioButtonState, 12, L"CCheckRadioButton", kBothLayers},
    {S::RadioButtonStateXP, 12, L"CCheckRadioButton", kBothLayers},
    {S::RadioButtonLabel, 12, L"CCheckRadioButton", kBothLayers},

    // The state is the alignment: 0 left, 1 centre, 2 right.
    {S::Static, 3, L"CStatic", kBothLayers},

    // The edit's frame is only ever drawn in state 0; the closed combo box
    // hands its state to its button.
    {S::Edit, 1, L"CEdit", kBackLayer},
    {S::Combobox, 4, L"CComboBox", kBothLayers},
    {S::ComboboxDropDownButton, 4, L"CComboBox", kBothLayers},

    // Scroll-bar parts are normal, hot or pressed; arrows add their
    // direction (0 up, 4 down, 8 left, 12 right).
    {S::ScrollBarArrowButton, 15, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarLowerTrackHorz, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarUpperTrackHorz, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarLowerTrackVert, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarUpperTrackVert, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarThumbButtonHorz, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarThumbButtonVert, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarGripperHorz, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarGripperVert, 3, L"CScrollBar, flat scroll bars", kBothLayers},
    {S::ScrollBarSizeBox, 1, L"flat scroll bars", kBothLayers},

    {S::ProgressBar, 1, L"CProgressBar", kBothLayers},
    {S::ProgressBarVert, 1, L"CProgressBar", kBothLayers},
    {S::ProgressChunk, 1, L"CProgressBar", kBothLayers},
    {S::ProgressChunkVert, 1, L"CProgressBar", kBothLayers},

    // Spin arrows and track-bar parts follow the mouse only: normal, hot,
    // pressed. The track bar's background never changes.
    {S::SpinUp, 3, L"CSpinButton", kBothLayers},
    {S::SpinDown, 3, L"CSpinButton", kBothLayers},
    {S::SpinUpHorz, 3, L"CSpinButton", kBothLayers},
    {S::SpinDownHorz, 3, L"CSpinButton", kBothLayers},
    {S::TrackBar, 1, L"CTrackBar", kBothLayers},
    {S::TrackBarVert, 1, L"CTrackBar", kBothLayers},
    {S::TrackBarTrack, 3, L"CTrackBar", kBothLayers},
    {S::TrackBarTrackVert, 3, L"CTrackBar", kBothLayers},
    {S::TrackBarThumb, 3, L"CTrackBar", kBothLayers},
    {S::TrackBarThumbVert, 3, L"CTrackBar", kBothLayers},

    // Tabs: how the tab meets the selected one (0 apart, 1 selected, 2 and
    // 3 beside it) x 2 + hot. Row starts and row ends never meet it as 3.
    {S::TabCtrl, 1, L"CTabCtrl", kBackLayer},
    {S::TabCtrlPane, 1, L"CTabCtrl", kBackLayer},
    {S::TabCtrlBody, 1, L"CTabCtrl", kBackLayer},
    {S::TabCtrlLeftItem, 6, L"CTabCtrl", kBothLayers},
    {S::TabCtrlItem, 8, L"CTabCtrl", kBothLayers},
    {S::TabCtrlRightItem, 6, L"CTabCtrl", kBothLayers},

    // List-view headers: alignment (0 left, 1 right, 2 centre) x 3 +
    // normal, hot, pressed; the sort mark is 0 none, 1 up, 2 down.
    {S::HeaderCtrl, 1, L"CHeaderCtrl", kBackLayer},
    {S::HeaderCtrlItem, 9, L"CHeaderCtrl", kBothLayers},
    {S::HeaderCtrlSort, 3, L"CHeaderCtrl", kForeLayer},
    {S::HeaderCtrlDivider, 1, L"CHeaderCtrl", kForeLayer},

    // Frame families, by offset from the family's first kind: 0 keys and
    // margins, 1 caption (0 active, 1 inactive), 3 to 6 caption buttons
    // (normal, hot, pressed, disabled, then the same when inactive), 7 to 9
    // borders (active, inactive).
    {S::Frame, 1, L"CStyledFrame<0>", kNoLayer},
    {S::FrameTitle, 2, L"CStyledFrame<0>", kBothLayers},
    {S::FrameButtonClose, 8, L"CStyledFrame<0>", kBothLayers},
    {S::FrameButtonMin, 8, L"CStyledFrame<0>", kBothLayers},
    {S::FrameButtonMax, 8, L"CStyledFrame<0>", kBothLayers},
    {S::FrameButtonRestore, 8, L"CStyledFrame<0>", kBothLayers},
    {S::FrameLeftBorder, 2, L"CStyledFrame<0>", kBackLayer},
    {S::FrameRightBorder, 2, L"CStyledFrame<0>", kBackLayer},
    {S::FrameBottomBorder, 2, L"CStyledFrame<0>", kBackLayer},

    {S::DlgFrame, 1, L"CStyledFrame<10>", kNoLayer},
    {S::DlgFrameTitle, 2, L"CStyledFrame<10>", kBothLayers},
    {S::DlgFrameButtonClose, 8, L"CStyledFrame<10>", kBothLayers},
    {S::DlgFrameButtonMin, 8, L"CStyledFrame<10>", kBothLayers},
    {S::DlgFrameButtonMax, 8, L"CStyledFrame<10>", kBothLayers},
    {S::DlgFrameButtonRestore, 8, L"CStyledFrame<10>", kBothLayers},
    {S::DlgFrameLeftBorder, 2, L"CStyledFrame<10>", kBackLayer},
    {S::DlgFrameRightBorder, 2, L"CStyledFrame<10>", kBackLayer},
    {S::DlgFrameBottomBorder, 2, L"CStyledFrame<10>", kBackLayer},

    // The XP family counts from XPDlgFrame through kinds named for other
    // uses. Offsets 6 (restore button) and 7 (left border) land on 159 and
    // 160, which are no element kinds: nothing can paint them.
    {S::XPDlgFrame, 1, L"CStyledFrame<153>", kNoLayer},
    {S::ToolsPage, 2, L"CStyledFrame<153>", kBothLayers},
    {S::GenericItem, 8, L"CStyledFrame<153>", kBothLayers},
    {S::SecurityItem, 8, L"CStyledFrame<153>", kBothLayers},
    {S::ServicePage, 8, L"CStyledFrame<153>", kBothLayers},
    {S::UploadItem, 2, L"CStyledFrame<153>", kBackLayer},
    {S::LangItem, 2, L"CStyledFrame<153>", kBackLayer},

    // Task panes. Header buttons follow the mouse (normal, hot, pressed);
    // items and their labels add 4 when checked.
    {S::TaskPaneHeader, 1, L"CExplorerPaneHeader", kBackLayer},
    {S::TaskPaneHeaderLabel, 1, L"CExplorerPaneHeaderLabel", kForeLayer},
    {S::TaskPaneHeaderButtonExpand, 3, L"CExplorerPaneHeaderState", kForeLayer},
    {S::TaskPaneHeaderButtonCollapse, 3, L"CExplorerPaneHeaderState", kForeLayer},
    {S::TaskPaneItem, 8, L"CExplorerItem", kBackLayer},
    {S::TaskPaneItemLabel, 8, L"CExplorerItemLabel", kForeLayer},
    {S::TaskPaneBody, 1, L"CExplorerPaneBody", kBackLayer},

    // The band behind the menu bar; its main section holds the menu palette.
    {S::MenuBar, 1, L"CMenuBar, ZqMenuDraw", kBackLayer},
};

}  // namespace

const SElementKindUse* GetStyledElementKinds(size_t* count)
{
    if (count)
        *count = sizeof kKinds / sizeof kKinds[0];
    return kKinds;
}

}  // namespace Windows

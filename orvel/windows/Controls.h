#pragma once
// The styled statics, progress bars, spin buttons, track bars and tab
// controls, one file group each:
//   Static.h       CStatic, StaticImpl::CContent
//   ProgressBar.h  CProgressBar, ProgressBarImpl::CProgressBarGlyph
//   SpinButton.h   CSpinButton, SpinButtonImpl::CSpinGlyph and its arrows
//   TrackBar.h     CTrackBar, TrackBarImpl::CTrackBarGlyph
//   TabCtrl.h      CTabCtrl, TabCtrlImpl::CPane, CBody, CItem
#include "ProgressBar.h"
#include "SpinButton.h"
#include "Static.h"
#include "TabCtrl.h"
#include "TrackBar.h"

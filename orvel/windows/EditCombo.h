#pragma once
// The styled text-input and selection controls, one file group each:
//   Edit.h      CEdit: a styled frame and flat scroll bars
//   ListBox.h   CListBox: flat scroll bars
//   ComboBox.h  CComboBox, CComboBoxGlyph: the closed box from one glyph
#include "ComboBox.h"
#include "Edit.h"
#include "ListBox.h"

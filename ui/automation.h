// What a user does to a dialog, for tests and demonstrations. Each action is
// sent the way the user's input arrives: on Win32 as real window messages
// (BM_CLICK, mouse messages on a list item, WM_CHAR, WM_COMMAND from a menu,
// WM_COPYDATA), so the event travels the real message path; on the headless
// backend through the same state changes and events in the same order.
// Like a user, an action does nothing to a control that is hidden or
// disabled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/controls.h"

namespace veltrin::ui {

// A click on a button, check box or label.
void Click(TControl& control);
// A click on list item `index`; with Ctrl it toggles, with Shift it extends.
void ClickItem(TListBox& list, int32_t index, TShift shift = TShift::None);
// A double click on list item `index` (a click, then the double click).
void DblClickItem(TListBox& list, int32_t index);
// Keys typed at the end of an edit box's text; L'\b' is backspace.
void TypeText(TEdit& edit, std::wstring_view keys);
// Keys typed at a combo box in quick succession: a list without typing
// selects the first item that begins with them.
void TypeText(TComboBox& combo, std::wstring_view keys);
// The user picks item `index` of a combo box.
void SelectItem(TComboBox& combo, int32_t index);
// The user clicks the tab of page `index`.
void SelectPage(TPageControl& pages, int32_t index);
// The user chooses a popup menu item.
void ChooseMenuItem(TMenuItem& item);
// Enter, Esc or the close box of a form.
void PressFormKey(TForm& form, TFormKey key);
// Another window sends a copy-data message (WM_COPYDATA) to the form.
intptr_t SendCopyData(TForm& form, uintptr_t tag, const void* data, size_t size);

}  // namespace veltrin::ui

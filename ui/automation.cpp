#include "ui/automation.h"

namespace veltrin::ui {
namespace {
bool Reachable(const TControl& c) { return c.Showing() && c.Operable(); }
}  // namespace

void Click(TControl& control) {
  if (Reachable(control)) control.Peer().UserClick();
}

void ClickItem(TListBox& list, int32_t index, TShift shift) {
  if (Reachable(list) && index >= 0 && index < list.Count())
    list.ListPeer().UserClickItem(index, shift, false);
}

void DblClickItem(TListBox& list, int32_t index) {
  if (Reachable(list) && index >= 0 && index < list.Count())
    list.ListPeer().UserClickItem(index, TShift::None, true);
}

void TypeText(TEdit& edit, std::wstring_view keys) {
  if (Reachable(edit) && !edit.ReadOnly()) edit.EditPeer().UserType(std::wstring(keys));
}

void TypeText(TComboBox& combo, std::wstring_view keys) {
  if (Reachable(combo)) combo.ComboPeer().UserType(std::wstring(keys));
}

void SelectItem(TComboBox& combo, int32_t index) {
  if (Reachable(combo) && index >= 0 && index < combo.Count())
    combo.ComboPeer().UserSelectItem(index);
}

void SelectPage(TPageControl& pages, int32_t index) {
  if (Reachable(pages) && index >= 0 && index < pages.PageCount() &&
      pages.Pages(index)->TabVisible())
    pages.PagesPeer().UserSelectPage(index);
}

void ChooseMenuItem(TMenuItem& item) {
  if (!item.IsSeparator()) item.Menu()->MenuPeer().UserSelectItem(item.MenuIndex());
}

void PressFormKey(TForm& form, TFormKey key) { form.FormPeer().UserFormKey(key); }

intptr_t SendCopyData(TForm& form, uintptr_t tag, const void* data, size_t size) {
  return form.FormPeer().UserCopyData(tag, data, size);
}

}  // namespace veltrin::ui

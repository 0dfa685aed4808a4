// List boxes and combo boxes.
#include "ui/controls.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrin::ui {

int32_t TListBox::Count() const { return ListPeer().ItemsCount(); }

void TListBox::SetCount(int32_t count) {
  if (!IsVirtual()) throw std::logic_error("list box '" + name_ + "' holds its own items");
  ListPeer().SetCount(std::max(0, count));
}

std::string TListBox::Items(int32_t index) const {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  if (!IsVirtual()) return ListPeer().ItemsGet(index);
  return OnData ? OnData(const_cast<TListBox&>(*this), index) : std::string();
}

std::vector<std::string> TListBox::AllItems() const {
  std::vector<std::string> out;
  for (int32_t i = 0, n = Count(); i < n; ++i) out.push_back(Items(i));
  return out;
}

void TListBox::AddItem(std::string_view text) { ListPeer().ItemsAdd(std::string(text)); }

void TListBox::SetItem(int32_t index, std::string_view text) {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  ListPeer().ItemsSet(index, std::string(text));
}

void TListBox::DeleteItem(int32_t index) {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  ListPeer().ItemsDelete(index);
}

void TListBox::ClearItems() {
  if (IsVirtual())
    SetCount(0);
  else
    ListPeer().ItemsClear();
}

int32_t TListBox::ItemIndex() const { return ListPeer().ItemIndex(); }

void TListBox::SetItemIndex(int32_t index) {
  if (index >= Count()) detail::ThrowIndex(index);
  ListPeer().SetItemIndex(std::max(-1, index));
}

bool TListBox::Selected(int32_t index) const {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  return ListPeer().ItemSelected(index);
}

void TListBox::SetSelected(int32_t index, bool selected) {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  ListPeer().SetItemSelected(index, selected);
}

int32_t TListBox::SelCount() const {
  int32_t n = 0;
  for (int32_t i = 0, count = Count(); i < count; ++i) n += ListPeer().ItemSelected(i) ? 1 : 0;
  return n;
}

void TListBox::Repaint() {
  Peer().Repaint();
  SyncItemHint();
}

void TListBox::ShowItemHint(int32_t index) noexcept {
  hotItem_ = index;
  SyncItemHint();
}

void TListBox::UserInput(TInput input) noexcept {
  TControl::UserInput(input);
  SyncItemHint();
}

void TListBox::SyncItemHint() noexcept {
  if (!OnItemHint) return;
  RunGuarded([&] {
    const int32_t count = Count();
    int32_t index = hotItem_ >= 0 && hotItem_ < count ? hotItem_ : ItemIndex();
    if (index >= count) index = -1;
    hintItem_ = index;
    SetHint(index >= 0 ? OnItemHint(*this, index) : std::string());
  });
}

int32_t TComboBox::Count() const { return ComboPeer().ItemsCount(); }

std::string TComboBox::Items(int32_t index) const {
  if (index < 0 || index >= Count()) detail::ThrowIndex(index);
  return ComboPeer().ItemsGet(index);
}

void TComboBox::AddItem(std::string_view text) { ComboPeer().ItemsAdd(std::string(text)); }
void TComboBox::ClearItems() { ComboPeer().ItemsClear(); }
int32_t TComboBox::ItemIndex() const { return ComboPeer().ItemIndex(); }

void TComboBox::SetItemIndex(int32_t index) {
  if (index >= Count()) detail::ThrowIndex(index);
  ComboPeer().SetItemIndex(std::max(-1, index));
}

int32_t TComboBox::IndexOf(std::string_view text) const {
  for (int32_t i = 0, n = Count(); i < n; ++i)
    if (ComboPeer().ItemsGet(i) == text) return i;
  return -1;
}

}  // namespace veltrin::ui

#include "ui/headless/headless.h"

#include <algorithm>
#include <map>

#include "ui/controls.h"

namespace veltrin::ui {
namespace {

// Length in characters of a GBK text (a byte above 127 leads a pair).
size_t GbkChars(const std::string& s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++i, ++n)
    if (static_cast<unsigned char>(s[i]) > 0x80 && i + 1 < s.size()) ++i;
  return n;
}

// Removes the last character of a GBK text.
void GbkPopBack(std::string& s) {
  size_t last = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    last = i;
    if (static_cast<unsigned char>(s[i]) > 0x80 && i + 1 < s.size()) ++i;
  }
  if (!s.empty()) s.erase(last);
}

class THeadlessPeer final : public TPeer {
 public:
  THeadlessPeer(TComponent& front, THeadlessBackend& backend) : front_(front), backend_(backend) {
    const TDesc& d = front.Desc();
    text_ = d.Caption;
    props_[TProp::Enabled] = !(d.Flags & kDisabled);
    props_[TProp::Visible] = front.Kind() == TKind::Form ? 0 : !(d.Flags & kHidden);
    props_[TProp::Checked] = (d.Flags & kChecked) != 0;
    props_[TProp::Color] = int32_t(d.Color);
    props_[TProp::FontColor] = int32_t(d.FontColor);
    props_[TProp::FontBold] = (d.Flags & kBold) != 0;
    props_[TProp::ReadOnly] = (d.Flags & kReadOnly) != 0;
    props_[TProp::ShowHint] = (d.Flags & kShowHint) != 0;
    props_[TProp::Min] = d.Min;
    props_[TProp::Max] = d.Max;
    props_[TProp::MaxLength] = 0;
    props_[TProp::ItemIndex] = -1;
    props_[TProp::TopIndex] = 0;
    props_[TProp::ActivePage] = 0;
    props_[TProp::TabHeight] = front.Kind() == TKind::PageControl ? d.TabHeight : 0;
    if (front.Kind() == TKind::ComboBox && (d.Flags & kDropDownList)) text_.clear();
    if (front.Kind() == TKind::Form) {
      // The classic dialog frame the windows were designed with: 3 pixels
      // a side and a 19-pixel caption.
      props_[TProp::FrameWidth] = 2 * 3;
      props_[TProp::FrameHeight] = 19 + 2 * 3;
    }
  }

  void SetText(const std::string& text) override {
    text_ = text;
    if (front_.Kind() == TKind::ComboBox && DropDownList()) {
      // A list without typing shows only its items: the text selects one.
      int32_t found = -1;
      for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) {
          found = int32_t(i);
          break;
        }
      props_[TProp::ItemIndex] = found;
      text_ = found >= 0 ? text : std::string();
    }
  }
  std::string Text() const override { return text_; }

  void SetProp(TProp prop, int32_t value) override {
    switch (prop) {
      case TProp::ItemIndex:
        SetItemIndex(value);
        return;
      case TProp::Count:
        SetCount(value);
        return;
      case TProp::FrameWidth:
      case TProp::FrameHeight:
        return;  // the frame is fixed
      default:
        props_[prop] = value;
    }
  }
  int32_t Prop(TProp prop) const override {
    if (prop == TProp::Count) return ItemsCount();
    auto it = props_.find(prop);
    return it == props_.end() ? 0 : it->second;
  }

  void SetHint(const std::string& hint) override { hint_ = hint; }
  std::string Hint() const override { return hint_; }
  void SetBounds(const TRect& r) override { bounds_ = r; }

  void ItemsClear() override {
    items_.clear();
    selected_.clear();
    tabVisible_.clear();
    props_[TProp::ItemIndex] = -1;
    props_[TProp::TopIndex] = 0;
    anchor_ = -1;
    if (front_.Kind() == TKind::ComboBox && DropDownList()) text_.clear();
  }
  void ItemsAdd(const std::string& text) override {
    items_.push_back(text);
    selected_.push_back(false);
    tabVisible_.push_back(1);
  }
  void ItemsSet(int32_t index, const std::string& text) override {
    if (InRange(index)) items_[size_t(index)] = text;
  }
  void ItemsDelete(int32_t index) override {
    if (!InRange(index)) return;
    items_.erase(items_.begin() + index);
    selected_.erase(selected_.begin() + index);
    tabVisible_.erase(tabVisible_.begin() + index);
    int32_t& current = props_[TProp::ItemIndex];
    const int32_t n = int32_t(items_.size());
    if (current > index)
      --current;
    else if (current == index)
      current = IsMulti() ? std::min(current, n - 1) : -1;
  }
  std::string ItemsGet(int32_t index) const override {
    return InRange(index) && index < int32_t(items_.size()) ? items_[size_t(index)] : std::string();
  }
  int32_t ItemsCount() const override { return int32_t(selected_.size()); }

  bool ItemSelected(int32_t index) const override {
    if (!InRange(index)) return false;
    if (!IsMulti()) return props_.at(TProp::ItemIndex) == index;
    return selected_[size_t(index)];
  }
  void SetItemSelected(int32_t index, bool selected) override {
    if (!InRange(index)) return;
    if (!IsMulti()) {
      if (selected)
        props_[TProp::ItemIndex] = index;
      else if (props_[TProp::ItemIndex] == index)
        props_[TProp::ItemIndex] = -1;
      return;
    }
    selected_[size_t(index)] = selected;
  }
  void SetItemProp(int32_t index, TProp prop, int32_t value) override {
    if (prop == TProp::TabVisible && InRange(index)) tabVisible_[size_t(index)] = value != 0;
  }
  int32_t ItemProp(int32_t index, TProp prop) const override {
    return prop == TProp::TabVisible && InRange(index) ? tabVisible_[size_t(index)] : 0;
  }
  void Repaint() override {}

  void RunModal() override {
    auto& form = static_cast<TForm&>(front_);
    backend_.RecordModal(text_);
    if (TUiHook* hook = Hook()) RunGuarded([&] { hook->Modal(form); });
    // Nobody else is there to answer a headless window.
    if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
  }

  void UserClick() override {
    auto* control = dynamic_cast<TControl*>(&front_);
    if (!control) return;
    if (front_.Kind() == TKind::CheckBox) props_[TProp::Checked] = !props_[TProp::Checked];
    control->UserInput(TInput::Click);
  }

  void UserClickItem(int32_t index, TShift shift, bool doubleClick) override {
    auto& list = static_cast<TListBox&>(front_);
    if (!InRange(index)) return;
    if (!IsMulti()) {
      props_[TProp::ItemIndex] = index;
    } else if (shift == TShift::Ctrl) {
      selected_[size_t(index)] = !selected_[size_t(index)];
      anchor_ = index;
      props_[TProp::ItemIndex] = index;
    } else if (shift == TShift::Shift) {
      int32_t from = anchor_ < 0 ? index : anchor_;
      std::fill(selected_.begin(), selected_.end(), false);
      for (int32_t i = std::min(from, index); i <= std::max(from, index); ++i)
        selected_[size_t(i)] = true;
      props_[TProp::ItemIndex] = index;
    } else {
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[size_t(index)] = true;
      anchor_ = index;
      props_[TProp::ItemIndex] = index;
    }
    list.UserInput(TInput::Click);
    if (doubleClick) list.UserInput(TInput::DblClick);
  }

  void UserType(const std::wstring& keys) override {
    auto& control = static_cast<TControl&>(front_);
    if (front_.Kind() == TKind::ComboBox && DropDownList()) return TypeAhead(keys);
    // A spin box over whole numbers takes digits only, as the Win32 one.
    const bool digitsOnly =
        front_.Kind() == TKind::SpinEdit && static_cast<TSpinEdit&>(front_).DigitsOnly();
    for (wchar_t key : keys) {
      wchar_t k = control.UserKeyPress(key);
      if (k == 0) continue;
      if (digitsOnly && k >= 32 && (k < L'0' || k > L'9')) continue;
      if (k == L'\b') {
        if (text_.empty()) continue;
        GbkPopBack(text_);
      } else {
        // Keys beyond ASCII would need the GBK tables; the dialogs' boxes
        // take digits and blanks, so they are dropped here.
        if (k < 32 || k > 126) continue;
        int32_t limit = props_[TProp::MaxLength];
        if (limit > 0 && GbkChars(text_) >= size_t(limit)) continue;
        text_ += char(k);
      }
      control.UserInput(TInput::Change);
    }
  }

  void UserSelectItem(int32_t index) override {
    if (!InRange(index)) return;
    switch (front_.Kind()) {
      case TKind::ComboBox:
        props_[TProp::ItemIndex] = index;
        text_ = items_[size_t(index)];
        static_cast<TControl&>(front_).UserInput(TInput::Change);
        break;
      case TKind::PageControl:
        props_[TProp::ActivePage] = index;
        static_cast<TControl&>(front_).UserInput(TInput::Change);
        break;
      case TKind::PopupMenu:
        static_cast<TPopupMenu&>(front_).Items()[size_t(index)]->UserChoose();
        break;
      default:
        break;
    }
  }

  void UserFormKey(TFormKey key) override { static_cast<TForm&>(front_).UserFormKey(key); }

  intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) override {
    return static_cast<TForm&>(front_).UserCopyData(tag, data, size);
  }

 private:
  // A list without typing: keys typed in one go select the first item that
  // begins with all of them, as the Win32 list's type-ahead does with keys
  // in quick succession.
  void TypeAhead(const std::wstring& keys) {
    std::string typed;
    for (wchar_t key : keys) {
      if (key < 32 || key > 126) continue;
      typed += char(key);
      for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].compare(0, typed.size(), typed) != 0) continue;
        if (int32_t(i) != props_[TProp::ItemIndex]) UserSelectItem(int32_t(i));
        break;
      }
    }
  }
  bool DropDownList() const { return (front_.Desc().Flags & kDropDownList) != 0; }
  bool IsMulti() const {
    return front_.Kind() == TKind::ListBox && (front_.Desc().Flags & kMultiSelect);
  }
  bool InRange(int32_t index) const { return index >= 0 && index < ItemsCount(); }

  void SetItemIndex(int32_t index) {
    if (index >= ItemsCount()) index = -1;
    if (index < -1) index = -1;
    props_[TProp::ItemIndex] = index;
    // A combo box shows the selected item; no selection clears its text.
    if (front_.Kind() == TKind::ComboBox)
      text_ = index >= 0 ? items_[size_t(index)] : std::string();
  }

  // Items on demand: only the count and the selection are kept; both
  // survive for the items that remain, and the current item moves to the
  // last one when its own went away.
  void SetCount(int32_t count) {
    count = std::max(0, count);
    selected_.resize(size_t(count), false);
    items_.resize(size_t(count));
    tabVisible_.resize(size_t(count), 1);
    int32_t& current = props_[TProp::ItemIndex];
    if (current >= count) current = count - 1;
    if (anchor_ >= count) anchor_ = -1;
  }

  TComponent& front_;
  THeadlessBackend& backend_;
  std::string text_, hint_;
  std::map<TProp, int32_t> props_;
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  std::vector<int32_t> tabVisible_;
  int32_t anchor_ = -1;
  TRect bounds_;
};

}  // namespace

std::unique_ptr<TPeer> THeadlessBackend::CreatePeer(TComponent& front) {
  return std::make_unique<THeadlessPeer>(front, *this);
}

TModalResult THeadlessBackend::MessageDlg(TForm*, TMsgKind kind, const std::string& text,
                                          const std::string& caption, TMsgButtons buttons,
                                          bool defaultSecond) {
  records_.push_back({THeadlessRecord::What::Message, text, caption, kind});
  if (buttons == TMsgButtons::Ok) return mrOk;
  return defaultSecond ? mrNo : mrYes;
}

bool THeadlessBackend::FileDialog(TForm*, TFileDialogState& state) {
  records_.push_back({THeadlessRecord::What::FileDialog, state.Filter, state.Title, {}});
  return false;
}

void THeadlessBackend::RunProgram(const std::string& commandLine) {
  records_.push_back({THeadlessRecord::What::Program, commandLine, {}, {}});
}

bool THeadlessBackend::OpenDocument(const std::string& path) {
  records_.push_back({THeadlessRecord::What::Document, path, {}, {}});
  return documentsOpen_;
}

void THeadlessBackend::RecordModal(const std::string& caption) {
  records_.push_back({THeadlessRecord::What::Modal, caption, {}, {}});
}

THeadlessBackend& TheHeadlessBackend() {
  static THeadlessBackend backend;
  return backend;
}

TBackend& HeadlessBackend() { return TheHeadlessBackend(); }

}  // namespace veltrin::ui

#include "ui/headless/headless.h"

#include <algorithm>
#include <stdexcept>

#include "ui/controls.h"
#include "ui/kinds.h"

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

// What every control keeps, beside the interface of its family (none for
// labels, panels, tab sheets, push buttons and charts).
template <class... Family>
class THeadlessControl : public TControlPeer, public Family... {
 public:
  explicit THeadlessControl(TComponent& front) : front_(front) {
    const TDesc& d = front.Desc();
    text_ = d.Caption;
    enabled_ = !(d.Flags & kDisabled);
    visible_ = front.Kind() == TKind::Form ? false : !(d.Flags & kHidden);
    color_ = d.Color;
    fontColor_ = d.FontColor;
    bold_ = (d.Flags & kBold) != 0;
    showHint_ = (d.Flags & kShowHint) != 0;
  }

  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }
  void SetHint(const std::string& hint) override { hint_ = hint; }
  std::string Hint() const override { return hint_; }
  void SetShowHint(bool show) override { showHint_ = show; }
  bool ShowHint() const override { return showHint_; }
  void SetBounds(const TRect& r) override { bounds_ = r; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetColor(TColor color) override { color_ = color; }
  TColor Color() const override { return color_; }
  void SetFontColor(TColor color) override { fontColor_ = color; }
  TColor FontColor() const override { return fontColor_; }
  void SetFontBold(bool bold) override { bold_ = bold; }
  bool FontBold() const override { return bold_; }
  void Repaint() override {}  // nothing is drawn
  void UserClick() override { Control().UserInput(TInput::Click); }

 protected:
  TControl& Control() const { return static_cast<TControl&>(front_); }

  TComponent& front_;
  std::string text_, hint_;
  bool enabled_ = true, visible_ = true, bold_ = false, showHint_ = false;
  TColor color_ = clDefault, fontColor_ = clDefault;
  TRect bounds_;
};

// Labels, panels, tab sheets, push buttons and charts.
using THeadlessPlain = THeadlessControl<>;

class THeadlessCheck final : public THeadlessControl<TCheckPeer> {
 public:
  explicit THeadlessCheck(TComponent& front)
      : THeadlessControl(front), checked_((front.Desc().Flags & kChecked) != 0) {}
  void SetChecked(bool checked) override { checked_ = checked; }
  bool Checked() const override { return checked_; }
  void UserClick() override {
    if (front_.Kind() == TKind::CheckBox) checked_ = !checked_;
    THeadlessControl::UserClick();
  }

 private:
  bool checked_;
};

class THeadlessEdit final : public THeadlessControl<TEditPeer> {
 public:
  explicit THeadlessEdit(TComponent& front)
      : THeadlessControl(front),
        readOnly_((front.Desc().Flags & kReadOnly) != 0),
        min_(front.Desc().Min),
        max_(front.Desc().Max) {}
  void SetMaxLength(int32_t length) override { maxLength_ = length; }
  int32_t MaxLength() const override { return maxLength_; }
  void SetReadOnly(bool readOnly) override { readOnly_ = readOnly; }
  bool ReadOnly() const override { return readOnly_; }
  void SetRange(int32_t min, int32_t max) override {
    min_ = min;
    max_ = max;
  }
  int32_t Min() const override { return min_; }
  int32_t Max() const override { return max_; }

  void UserType(const std::wstring& keys) override {
    TControl& control = Control();
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
        if (maxLength_ > 0 && GbkChars(text_) >= size_t(maxLength_)) continue;
        text_ += char(k);
      }
      control.UserInput(TInput::Change);
    }
  }

 private:
  int32_t maxLength_ = 0;
  bool readOnly_;
  int32_t min_, max_;
};

class THeadlessList final : public THeadlessControl<TListPeer> {
 public:
  using THeadlessControl::THeadlessControl;

  void ItemsClear() override {
    items_.clear();
    selected_.clear();
    current_ = -1;
    anchor_ = -1;
  }
  void ItemsAdd(const std::string& text) override {
    items_.push_back(text);
    selected_.push_back(false);
  }
  void ItemsSet(int32_t index, const std::string& text) override {
    if (InRange(index)) items_[size_t(index)] = text;
  }
  void ItemsDelete(int32_t index) override {
    if (!InRange(index)) return;
    items_.erase(items_.begin() + index);
    selected_.erase(selected_.begin() + index);
    const int32_t n = ItemsCount();
    if (current_ > index)
      --current_;
    else if (current_ == index)
      current_ = IsMulti() ? std::min(current_, n - 1) : -1;
  }
  std::string ItemsGet(int32_t index) const override {
    return InRange(index) ? items_[size_t(index)] : std::string();
  }
  int32_t ItemsCount() const override { return int32_t(selected_.size()); }

  // Items on demand: only the count and the selection are kept; both
  // survive for the items that remain, and the current item moves to the
  // last one when its own went away.
  void SetCount(int32_t count) override {
    count = std::max(0, count);
    selected_.resize(size_t(count), false);
    items_.resize(size_t(count));
    if (current_ >= count) current_ = count - 1;
    if (anchor_ >= count) anchor_ = -1;
  }
  void SetItemIndex(int32_t index) override {
    current_ = index >= 0 && index < ItemsCount() ? index : -1;
  }
  int32_t ItemIndex() const override { return current_; }

  bool ItemSelected(int32_t index) const override {
    if (!InRange(index)) return false;
    return IsMulti() ? bool(selected_[size_t(index)]) : current_ == index;
  }
  void SetItemSelected(int32_t index, bool selected) override {
    if (!InRange(index)) return;
    if (IsMulti())
      selected_[size_t(index)] = selected;
    else if (selected)
      current_ = index;
    else if (current_ == index)
      current_ = -1;
  }

  void UserClickItem(int32_t index, TShift shift, bool doubleClick) override {
    auto& list = static_cast<TListBox&>(front_);
    if (!InRange(index)) return;
    if (!IsMulti()) {
      current_ = index;
    } else if (shift == TShift::Ctrl) {
      selected_[size_t(index)] = !selected_[size_t(index)];
      anchor_ = index;
      current_ = index;
    } else if (shift == TShift::Shift) {
      int32_t from = anchor_ < 0 ? index : anchor_;
      std::fill(selected_.begin(), selected_.end(), false);
      for (int32_t i = std::min(from, index); i <= std::max(from, index); ++i)
        selected_[size_t(i)] = true;
      current_ = index;
    } else {
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[size_t(index)] = true;
      anchor_ = index;
      current_ = index;
    }
    list.UserInput(TInput::Click);
    if (doubleClick) list.UserInput(TInput::DblClick);
  }

 private:
  bool IsMulti() const { return (front_.Desc().Flags & kMultiSelect) != 0; }
  bool InRange(int32_t index) const { return index >= 0 && index < ItemsCount(); }

  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int32_t current_ = -1;
  int32_t anchor_ = -1;
};

class THeadlessCombo final : public THeadlessControl<TComboPeer> {
 public:
  explicit THeadlessCombo(TComponent& front) : THeadlessControl(front) {
    if (DropDownList()) text_.clear();
  }

  void SetText(const std::string& text) override {
    text_ = text;
    if (!DropDownList()) return;
    // A list without typing shows only its items: the text selects one.
    auto it = std::find(items_.begin(), items_.end(), text);
    current_ = it == items_.end() ? -1 : int32_t(it - items_.begin());
    if (current_ < 0) text_.clear();
  }
  void ItemsClear() override {
    items_.clear();
    current_ = -1;
    if (DropDownList()) text_.clear();
  }
  void ItemsAdd(const std::string& text) override { items_.push_back(text); }
  std::string ItemsGet(int32_t index) const override {
    return InRange(index) ? items_[size_t(index)] : std::string();
  }
  int32_t ItemsCount() const override { return int32_t(items_.size()); }
  void SetItemIndex(int32_t index) override {
    current_ = InRange(index) ? index : -1;
    // A combo box shows the selected item; no selection clears its text.
    text_ = current_ >= 0 ? items_[size_t(current_)] : std::string();
  }
  int32_t ItemIndex() const override { return current_; }

  void UserType(const std::wstring& keys) override {
    if (DropDownList()) return TypeAhead(keys);
    TControl& control = Control();
    for (wchar_t key : keys) {
      wchar_t k = control.UserKeyPress(key);
      if (k == 0) continue;
      if (k == L'\b') {
        if (text_.empty()) continue;
        GbkPopBack(text_);
      } else {
        if (k < 32 || k > 126) continue;  // as in edit boxes
        text_ += char(k);
      }
      control.UserInput(TInput::Change);
    }
  }
  void UserSelectItem(int32_t index) override {
    if (!InRange(index)) return;
    current_ = index;
    text_ = items_[size_t(index)];
    Control().UserInput(TInput::Change);
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
        if (int32_t(i) != current_) UserSelectItem(int32_t(i));
        break;
      }
    }
  }
  bool DropDownList() const { return (front_.Desc().Flags & kDropDownList) != 0; }
  bool InRange(int32_t index) const { return index >= 0 && index < ItemsCount(); }

  std::vector<std::string> items_;
  int32_t current_ = -1;
};

class THeadlessPages final : public THeadlessControl<TPagesPeer> {
 public:
  explicit THeadlessPages(TComponent& front)
      : THeadlessControl(front), tabHeight_(front.Desc().TabHeight) {}
  void AddPage(const std::string&) override { tabVisible_.push_back(true); }
  void SetActivePage(int32_t index) override { active_ = index; }
  int32_t ActivePage() const override { return active_; }
  void SetTabHeight(int32_t height) override { tabHeight_ = height; }
  int32_t TabHeight() const override { return tabHeight_; }
  void SetTabVisible(int32_t index, bool visible) override {
    if (InRange(index)) tabVisible_[size_t(index)] = visible;
  }
  bool TabVisible(int32_t index) const override {
    return InRange(index) && tabVisible_[size_t(index)];
  }
  void UserSelectPage(int32_t index) override {
    if (!InRange(index)) return;
    active_ = index;
    Control().UserInput(TInput::Change);
  }

 private:
  bool InRange(int32_t index) const { return index >= 0 && index < int32_t(tabVisible_.size()); }
  int32_t active_ = 0;
  int32_t tabHeight_;
  std::vector<bool> tabVisible_;
};

class THeadlessForm final : public THeadlessControl<TFormPeer> {
 public:
  THeadlessForm(TComponent& front, THeadlessBackend& backend)
      : THeadlessControl(front), backend_(backend) {}
  void SetClientSize(int32_t width, int32_t height) override {
    clientW_ = width;
    clientH_ = height;
  }
  int32_t ClientWidth() const override { return clientW_; }
  int32_t ClientHeight() const override { return clientH_; }
  // The classic dialog frame the windows were designed with: 3 pixels a
  // side and a 19-pixel caption.
  int32_t FrameWidth() const override { return 2 * 3; }
  int32_t FrameHeight() const override { return 19 + 2 * 3; }

  void RunModal() override {
    auto& form = static_cast<TForm&>(front_);
    backend_.RecordModal(text_);
    if (TUiHook* hook = Hook()) RunGuarded([&] { hook->Modal(form); });
    // Nobody else is there to answer a headless window.
    if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
  }
  void UserFormKey(TFormKey key) override { static_cast<TForm&>(front_).UserFormKey(key); }
  intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) override {
    return static_cast<TForm&>(front_).UserCopyData(tag, data, size);
  }

 private:
  THeadlessBackend& backend_;
  int32_t clientW_ = 0, clientH_ = 0;
};

class THeadlessMenu final : public TPeer, public TMenuPeer {
 public:
  explicit THeadlessMenu(TComponent& front) : front_(front) {}
  void ItemsAdd(const std::string& text) override { items_.push_back(text); }
  std::string ItemsGet(int32_t index) const override {
    return index >= 0 && index < ItemsCount() ? items_[size_t(index)] : std::string();
  }
  int32_t ItemsCount() const override { return int32_t(items_.size()); }
  void UserSelectItem(int32_t index) override {
    auto& menu = static_cast<TPopupMenu&>(front_);
    if (index >= 0 && size_t(index) < menu.Items().size())
      menu.Items()[size_t(index)]->UserChoose();
  }

 private:
  TComponent& front_;
  std::vector<std::string> items_;
};

}  // namespace

std::unique_ptr<TPeer> THeadlessBackend::CreatePeer(TComponent& front) {
  switch (KindInfo(front.Kind()).Family) {
    case TFamily::Form:
      return std::make_unique<THeadlessForm>(front, *this);
    case TFamily::Button:
      return std::make_unique<THeadlessCheck>(front);
    case TFamily::Edit:
      return std::make_unique<THeadlessEdit>(front);
    case TFamily::List:
      if (front.Kind() == TKind::ComboBox) return std::make_unique<THeadlessCombo>(front);
      return std::make_unique<THeadlessList>(front);
    case TFamily::Pages:
      if (front.Kind() == TKind::PageControl) return std::make_unique<THeadlessPages>(front);
      return std::make_unique<THeadlessPlain>(front);
    case TFamily::Static:
    case TFamily::Chart:
      return std::make_unique<THeadlessPlain>(front);
    case TFamily::Menu:
      return std::make_unique<THeadlessMenu>(front);
  }
  throw std::logic_error("no headless peer for this kind");
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

#include "ui/controls.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "ui/services.h"

namespace veltrin::ui {

const char* KindName(TKind kind) {
  switch (kind) {
    case TKind::Form:
      return "Form";
    case TKind::Label:
      return "Label";
    case TKind::Button:
      return "Button";
    case TKind::CheckBox:
      return "CheckBox";
    case TKind::Edit:
      return "Edit";
    case TKind::SpinEdit:
      return "SpinEdit";
    case TKind::ListBox:
      return "ListBox";
    case TKind::ComboBox:
      return "ComboBox";
    case TKind::Panel:
      return "Panel";
    case TKind::PageControl:
      return "PageControl";
    case TKind::TabSheet:
      return "TabSheet";
    case TKind::PopupMenu:
      return "PopupMenu";
    case TKind::MenuItem:
      return "MenuItem";
    case TKind::OpenDialog:
      return "OpenDialog";
    case TKind::SaveDialog:
      return "SaveDialog";
    case TKind::Chart:
      return "Chart";
  }
  return "?";
}

namespace {
// The layer's own report: a plain error box. The forms install theirs.
void DefaultErrorReport(std::string_view message) {
  MessageDlg(nullptr, TMsgKind::Error, message, {}, TMsgButtons::Ok, false);
}
TErrorReporter g_reporter = DefaultErrorReport;
}  // namespace

void SetErrorReporter(TErrorReporter reporter) {
  g_reporter = reporter ? std::move(reporter) : TErrorReporter(DefaultErrorReport);
}

void RunGuarded(const std::function<void()>& action) noexcept {
  std::string message;
  try {
    action();
    return;
  } catch (const std::exception& e) {
    try {
      message = e.what();
    } catch (...) {
    }
  } catch (...) {
  }
  try {
    g_reporter(message);
  } catch (...) {
    // Nothing more can be reported; the message loop goes on.
  }
}

namespace detail {
void ThrowBadComponent(std::string_view name, const char* wanted) {
  throw std::logic_error("no component '" + std::string(name) + "' of class " + wanted);
}
}  // namespace detail

// ---- TComponent ------------------------------------------------------------

TComponent::TComponent(TForm* owner, TKind kind, std::string name)
    : owner_(owner), kind_(kind), name_(std::move(name)) {
  desc_.Name = name_;
  desc_.Kind = kind;
}

TComponent::~TComponent() = default;

TPeer& TComponent::Peer() const {
  if (!peer_) throw std::logic_error("component '" + name_ + "' has no window");
  return *peer_;
}

void TComponent::AttachPeer() { peer_ = owner_->Backend().CreatePeer(*this); }

// ---- TControl --------------------------------------------------------------

TControl::TControl(TForm* owner, TKind kind, std::string name)
    : TComponent(owner, kind, std::move(name)) {}

std::string TControl::Caption() const { return Peer().Text(); }
void TControl::SetCaption(std::string_view text) { Peer().SetText(std::string(text)); }
bool TControl::Enabled() const { return Peer().Prop(TProp::Enabled) != 0; }
void TControl::SetEnabled(bool enabled) { Peer().SetProp(TProp::Enabled, enabled); }
bool TControl::Visible() const { return Peer().Prop(TProp::Visible) != 0; }
void TControl::SetVisible(bool visible) { Peer().SetProp(TProp::Visible, visible); }
std::string TControl::Hint() const { return Peer().Hint(); }
void TControl::SetHint(std::string_view hint) { Peer().SetHint(std::string(hint)); }
bool TControl::ShowHint() const { return Peer().Prop(TProp::ShowHint) != 0; }
void TControl::SetShowHint(bool show) { Peer().SetProp(TProp::ShowHint, show); }
TColor TControl::Color() const { return TColor(Peer().Prop(TProp::Color)); }
void TControl::SetColor(TColor color) { Peer().SetProp(TProp::Color, int32_t(color)); }
TColor TControl::FontColor() const { return TColor(Peer().Prop(TProp::FontColor)); }
void TControl::SetFontColor(TColor color) { Peer().SetProp(TProp::FontColor, int32_t(color)); }
bool TControl::FontBold() const { return Peer().Prop(TProp::FontBold) != 0; }
void TControl::SetFontBold(bool bold) { Peer().SetProp(TProp::FontBold, bold); }

bool TControl::Showing() const {
  for (const TControl* c = this; c && c->Kind() != TKind::Form; c = c->parent_) {
    if (c->Kind() == TKind::TabSheet) {
      auto* sheet = static_cast<const TTabSheet*>(c);
      if (sheet->PageControl()->ActivePageIndex() != sheet->PageIndex()) return false;
    } else if (!c->Visible()) {
      return false;
    }
  }
  return true;
}

bool TControl::Operable() const {
  for (const TControl* c = this; c && c->Kind() != TKind::Form; c = c->parent_)
    if (!c->Enabled()) return false;
  return true;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = designed_ = TRect{left, top, width, height};
  if (parent_) parentAtBuild_ = parent_->ClientRect();
  if (parent_) {
    parent_->Realign();
  } else {
    PlaceAll();
  }
}

TRect TControl::ClientRect() const { return TRect{0, 0, bounds_.Width, bounds_.Height}; }

void TControl::Realign() {
  TRect area = ClientRect();
  // Docked children take the edges in the toolkit's order: top, bottom,
  // then the rest for the one that fills.
  int top = 0, bottom = area.Height;
  for (TControl* c : children_)
    if (c->desc_.Flags & kAlignTop) {
      c->bounds_ = TRect{0, top, area.Width, c->designed_.Height};
      top += c->designed_.Height;
    }
  for (TControl* c : children_)
    if (c->desc_.Flags & kAlignBottom) {
      bottom -= c->designed_.Height;
      c->bounds_ = TRect{0, bottom, area.Width, c->designed_.Height};
    }
  for (TControl* c : children_) {
    if (c->desc_.Flags & kAlignClient) {
      c->bounds_ = TRect{0, top, area.Width, std::max(0, bottom - top)};
    } else if (!(c->desc_.Flags & (kAlignTop | kAlignBottom)) && c->Kind() != TKind::TabSheet) {
      c->bounds_ = c->designed_;
      if (c->desc_.Flags & kAnchorRight) c->bounds_.Left += area.Width - c->parentAtBuild_.Width;
      if (c->desc_.Flags & kAnchorBottom) c->bounds_.Top += area.Height - c->parentAtBuild_.Height;
    } else if (c->Kind() == TKind::TabSheet) {
      c->bounds_ = TRect{0, 0, area.Width, area.Height};
    }
  }
  for (TControl* c : children_) c->PlaceAll();
}

void TControl::PlaceAll() {
  if (parent_ && peer_) {
    TRect area = parent_->ClientRect();
    // Tab sheets sit in the page control's display area; everything else is
    // placed relative to its parent's client area.
    peer_->SetBounds(
        TRect{area.Left + bounds_.Left, area.Top + bounds_.Top, bounds_.Width, bounds_.Height});
  }
  Realign();
}

void TControl::Click() {
  if (OnClick) OnClick(*this);
}

void TControl::UserInput(TInput input) noexcept {
  RunGuarded([&] {
    switch (input) {
      case TInput::Click:
        Click();
        break;
      case TInput::DblClick:
        if (OnDblClick) OnDblClick(*this);
        break;
      case TInput::Change:
        if (OnChange) OnChange(*this);
        break;
    }
  });
}

wchar_t TControl::UserKeyPress(wchar_t key) noexcept {
  if (!OnKeyPress) return key;
  wchar_t result = 0;
  RunGuarded([&] {
    wchar_t k = key;
    OnKeyPress(*this, k);
    result = k;
  });
  return result;
}

// ---- buttons, check boxes, edit boxes ----------------------------------------

void TButton::Click() {
  // The toolkit sets the form's modal result before the click handler runs.
  if (modalResult_ != mrNone && owner_) owner_->SetModalResult(modalResult_);
  TControl::Click();
}

bool TCheckBox::Checked() const { return Peer().Prop(TProp::Checked) != 0; }

void TCheckBox::SetChecked(bool checked) {
  if (Checked() == checked) return;
  Peer().SetProp(TProp::Checked, checked);
  Click();
}

void TEdit::SetCaption(std::string_view text) {
  if (Caption() == text) return;
  Peer().SetText(std::string(text));
  if (OnChange) OnChange(*this);
}

int32_t TEdit::MaxLength() const { return Peer().Prop(TProp::MaxLength); }
void TEdit::SetMaxLength(int32_t length) { Peer().SetProp(TProp::MaxLength, std::max(0, length)); }
bool TEdit::ReadOnly() const { return Peer().Prop(TProp::ReadOnly) != 0; }
void TEdit::SetReadOnly(bool readOnly) { Peer().SetProp(TProp::ReadOnly, readOnly); }

int32_t TSpinEdit::MinValue() const { return Peer().Prop(TProp::Min); }
int32_t TSpinEdit::MaxValue() const { return Peer().Prop(TProp::Max); }
void TSpinEdit::SetRange(int32_t min, int32_t max) {
  Peer().SetProp(TProp::Min, min);
  Peer().SetProp(TProp::Max, max);
}
namespace {
// A whole decimal number: leading blanks, an optional sign, digits only, in
// 32 bits; anything else is no number.
std::optional<int32_t> SpinNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) return std::nullopt;
  int64_t value = 0;
  for (; i < n; ++i) {
    unsigned d = unsigned(static_cast<unsigned char>(text[i])) - '0';
    if (d > 9) return std::nullopt;
    value = value * 10 + d;
    if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return int32_t(value);
}
}  // namespace

int32_t TSpinEdit::Value() const { return SpinNumber(Text()).value_or(MinValue()); }
void TSpinEdit::SetValue(int32_t value) { SetText(std::to_string(value)); }

// ---- list and combo boxes ----------------------------------------------------

namespace {
[[noreturn]] void ThrowIndex(int32_t index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

int32_t TListBox::Count() const { return Peer().ItemsCount(); }

void TListBox::SetCount(int32_t count) {
  if (!IsVirtual()) throw std::logic_error("list box '" + name_ + "' holds its own items");
  Peer().SetProp(TProp::Count, std::max(0, count));
}

std::string TListBox::Items(int32_t index) const {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  if (!IsVirtual()) return Peer().ItemsGet(index);
  return OnData ? OnData(const_cast<TListBox&>(*this), index) : std::string();
}

std::vector<std::string> TListBox::AllItems() const {
  std::vector<std::string> out;
  for (int32_t i = 0, n = Count(); i < n; ++i) out.push_back(Items(i));
  return out;
}

void TListBox::AddItem(std::string_view text) { Peer().ItemsAdd(std::string(text)); }

void TListBox::SetItem(int32_t index, std::string_view text) {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  Peer().ItemsSet(index, std::string(text));
}

void TListBox::DeleteItem(int32_t index) {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  Peer().ItemsDelete(index);
}

void TListBox::ClearItems() {
  if (IsVirtual())
    SetCount(0);
  else
    Peer().ItemsClear();
}

int32_t TListBox::ItemIndex() const { return Peer().Prop(TProp::ItemIndex); }

void TListBox::SetItemIndex(int32_t index) {
  if (index >= Count()) ThrowIndex(index);
  Peer().SetProp(TProp::ItemIndex, std::max(-1, index));
}

bool TListBox::Selected(int32_t index) const {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  return Peer().ItemSelected(index);
}

void TListBox::SetSelected(int32_t index, bool selected) {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  Peer().SetItemSelected(index, selected);
}

int32_t TListBox::SelCount() const {
  int32_t n = 0;
  for (int32_t i = 0, count = Count(); i < count; ++i) n += Peer().ItemSelected(i) ? 1 : 0;
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

void TChart::SetState(TChartState state) {
  state_ = std::move(state);
  // Whatever lies outside the bars would be drawn outside the picture.
  for (double& bar : state_.Bars) bar = bar >= 0 ? std::min(bar, 1.0) : 0.0;  // NaN too
  const int32_t n = int32_t(state_.Bars.size());
  int32_t& first = state_.ShadeFirst;
  int32_t& last = state_.ShadeLast;
  if (first < 0 && last >= 0) first = 0;
  if (first < 0 || last < first || first >= n) {
    first = last = -1;
  } else {
    last = std::min(last, n - 1);
  }
  auto& marks = state_.Marks;
  marks.erase(
      std::remove_if(marks.begin(), marks.end(), [n](int32_t bar) { return bar < 0 || bar >= n; }),
      marks.end());
  Peer().Repaint();
}

int32_t TComboBox::Count() const { return Peer().ItemsCount(); }

std::string TComboBox::Items(int32_t index) const {
  if (index < 0 || index >= Count()) ThrowIndex(index);
  return Peer().ItemsGet(index);
}

void TComboBox::AddItem(std::string_view text) { Peer().ItemsAdd(std::string(text)); }
void TComboBox::ClearItems() { Peer().ItemsClear(); }
int32_t TComboBox::ItemIndex() const { return Peer().Prop(TProp::ItemIndex); }

void TComboBox::SetItemIndex(int32_t index) {
  if (index >= Count()) ThrowIndex(index);
  Peer().SetProp(TProp::ItemIndex, std::max(-1, index));
}

int32_t TComboBox::IndexOf(std::string_view text) const {
  for (int32_t i = 0, n = Count(); i < n; ++i)
    if (Peer().ItemsGet(i) == text) return i;
  return -1;
}

// ---- pages -----------------------------------------------------------------

TTabSheet* TPageControl::Pages(int32_t index) const {
  if (index < 0 || index >= PageCount()) ThrowIndex(index);
  return pages_[size_t(index)];
}

int32_t TPageControl::ActivePageIndex() const { return Peer().Prop(TProp::ActivePage); }

void TPageControl::SetActivePageIndex(int32_t index) {
  if (index < -1 || index >= PageCount()) ThrowIndex(index);
  Peer().SetProp(TProp::ActivePage, index);
}

int32_t TPageControl::TabHeight() const { return Peer().Prop(TProp::TabHeight); }

void TPageControl::SetTabHeight(int32_t height) {
  Peer().SetProp(TProp::TabHeight, height);
  Realign();
}

TRect TPageControl::ClientRect() const {
  // The pages' display area: below the tabs, inside the page frame.
  int tab = peer_ ? TabHeight() : 0;
  return TRect{4, tab + 6, std::max(0, bounds_.Width - 8), std::max(0, bounds_.Height - tab - 10)};
}

TPageControl* TTabSheet::PageControl() const { return static_cast<TPageControl*>(parent_); }

bool TTabSheet::TabVisible() const {
  return PageControl()->Peer().ItemProp(pageIndex_, TProp::TabVisible) != 0;
}

void TTabSheet::SetTabVisible(bool visible) {
  TPageControl* pages = PageControl();
  pages->Peer().SetItemProp(pageIndex_, TProp::TabVisible, visible);
  // A page whose tab goes away stops being the page shown.
  if (!visible && pages->ActivePageIndex() == pageIndex_) {
    int32_t next = -1;
    for (TTabSheet* p : pages->pages_)
      if (p->TabVisible()) {
        next = p->pageIndex_;
        break;
      }
    pages->SetActivePageIndex(next);
  }
}

// ---- menus and file dialogs ---------------------------------------------------

TPopupMenu* TMenuItem::Menu() const { return static_cast<TPopupMenu*>(parentComponent_); }

std::string TMenuItem::Caption() const { return Menu()->Peer().ItemsGet(index_); }

void TMenuItem::Click() {
  if (OnClick) OnClick(*this);
}

void TMenuItem::UserChoose() noexcept {
  RunGuarded([&] { Click(); });
}

bool TFileDialog::Execute() {
  TFileDialogState state;
  state.Save = kind_ == TKind::SaveDialog;
  state.Filter = Filter;
  state.InitialDir = InitialDir;
  state.FileName = FileName;
  state.DefaultExt = DefaultExt;
  state.Title = Title;
  if (!RunFileDialog(owner_, state)) return false;
  FileName = state.FileName;
  return true;
}

// ---- frames and forms ----------------------------------------------------------

TFrame::TFrame(TForm& form, const TDesc& container) : form_(form) {
  TDesc row = container;
  row.Kind = TKind::Panel;
  container_ = static_cast<TPanel*>(form.BuildRow(row, &form, form.names_, nullptr));
}

void TFrame::Build(const TDescTable& table) {
  for (const TDesc& row : table) form_.BuildRow(row, container_, names_, &components_);
}

TComponent* TFrame::FindComponent(std::string_view name) const {
  auto it = names_.find(name);
  return it == names_.end() ? nullptr : it->second;
}

TForm::TForm(std::string name)
    : TControl(this, TKind::Form, std::move(name)), backend_(CurrentBackend()) {
  desc_.Caption = "frmBase";
  AttachPeer();
}

TForm::~TForm() {
  // Children go before their parents: the reverse of the building order.
  while (!owned_.empty()) owned_.pop_back();
}

void TForm::Build(const TDescTable& table) {
  for (const TDesc& row : table) BuildRow(row, this, names_, nullptr);
}

TComponent* TForm::FindComponent(std::string_view name) const {
  auto it = names_.find(name);
  return it == names_.end() ? nullptr : it->second;
}

TComponent* TForm::BuildRow(const TDesc& row, TControl* root, TNameMap& names,
                            std::vector<TComponent*>* group) {
  if (row.Name.empty() || names.count(row.Name))
    throw std::logic_error("window description: name '" + row.Name + "' is empty or repeated");
  TComponent* parent = root;
  if (!row.Parent.empty()) {
    auto it = names.find(row.Parent);
    if (it == names.end()) {
      it = names_.find(row.Parent);
      if (it == names_.end())
        throw std::logic_error("window description: no parent '" + row.Parent + "' for '" +
                               row.Name + "'");
    }
    parent = it->second;
  }
  const bool parentIsControl = dynamic_cast<TControl*>(parent) != nullptr;
  auto requireParent = [&](TKind kind) {
    if (parent->Kind() != kind)
      throw std::logic_error("window description: '" + row.Name + "' needs a parent of kind " +
                             KindName(kind));
  };

  std::unique_ptr<TComponent> made;
  switch (row.Kind) {
    case TKind::Form:
      throw std::logic_error("window description: a form inside a form");
    case TKind::Label:
      made = std::make_unique<TLabel>(this, row.Kind, row.Name);
      break;
    case TKind::Button:
      made = std::make_unique<TButton>(this, row.Kind, row.Name);
      break;
    case TKind::CheckBox:
      made = std::make_unique<TCheckBox>(this, row.Kind, row.Name);
      break;
    case TKind::Edit:
      made = std::make_unique<TEdit>(this, row.Kind, row.Name);
      break;
    case TKind::SpinEdit:
      made = std::make_unique<TSpinEdit>(this, row.Kind, row.Name);
      break;
    case TKind::ListBox:
      made = std::make_unique<TListBox>(this, row.Kind, row.Name);
      break;
    case TKind::ComboBox:
      made = std::make_unique<TComboBox>(this, row.Kind, row.Name);
      break;
    case TKind::Panel:
      made = std::make_unique<TPanel>(this, row.Kind, row.Name);
      break;
    case TKind::PageControl:
      made = std::make_unique<TPageControl>(this, row.Kind, row.Name);
      break;
    case TKind::TabSheet:
      requireParent(TKind::PageControl);
      made = std::make_unique<TTabSheet>(this, row.Kind, row.Name);
      break;
    case TKind::PopupMenu:
      made = std::make_unique<TPopupMenu>(this, row.Kind, row.Name);
      break;
    case TKind::MenuItem:
      requireParent(TKind::PopupMenu);
      made = std::make_unique<TMenuItem>(this, row.Kind, row.Name);
      break;
    case TKind::OpenDialog:
    case TKind::SaveDialog:
      made = std::make_unique<TFileDialog>(this, row.Kind, row.Name);
      break;
    case TKind::Chart:
      made = std::make_unique<TChart>(this, row.Kind, row.Name);
      break;
  }
  TComponent* c = made.get();
  c->desc_ = row;
  c->parentComponent_ = parent;

  auto* control = dynamic_cast<TControl*>(c);
  if (control) {
    if (!parentIsControl)
      throw std::logic_error("window description: '" + row.Name + "' needs a window as parent");
    auto* p = static_cast<TControl*>(parent);
    control->parent_ = p;
    control->designed_ = control->bounds_ = TRect{row.Left, row.Top, row.Width, row.Height};
    control->parentAtBuild_ = p->ClientRect();
    control->helpContext_ = row.HelpContext;
    if (row.Kind == TKind::TabSheet) {
      auto* pages = static_cast<TPageControl*>(p);
      static_cast<TTabSheet*>(c)->pageIndex_ = pages->PageCount();
      pages->pages_.push_back(static_cast<TTabSheet*>(c));
    }
    if (row.Kind == TKind::Button) static_cast<TButton*>(c)->modalResult_ = row.ModalResult;
    p->children_.push_back(control);
  } else if (row.Kind == TKind::MenuItem) {
    auto* menu = static_cast<TPopupMenu*>(parent);
    static_cast<TMenuItem*>(c)->index_ = int32_t(menu->items_.size());
    menu->items_.push_back(static_cast<TMenuItem*>(c));
  }

  owned_.push_back(std::move(made));
  order_.push_back(c);
  names.emplace(row.Name, c);
  if (group) group->push_back(c);

  // Windows for controls and menus; menu items live in their menu's window.
  if (control || row.Kind == TKind::PopupMenu) c->AttachPeer();
  if (control && !row.Hint.empty()) control->SetHint(row.Hint);
  if (row.Kind == TKind::MenuItem) static_cast<TPopupMenu*>(parent)->Peer().ItemsAdd(row.Caption);
  if (control) {
    if (row.Kind == TKind::TabSheet) {
      TPeer& pages = static_cast<TControl*>(parent)->Peer();
      pages.ItemsAdd(row.Caption);
      int32_t index = static_cast<TTabSheet*>(c)->pageIndex_;
      pages.SetItemProp(index, TProp::TabVisible, (row.Flags & kTabHidden) ? 0 : 1);
    }
    if (row.Flags & (kAlignTop | kAlignBottom | kAlignClient) || row.Kind == TKind::TabSheet)
      control->parent_->Realign();
    else
      control->PlaceAll();
  }
  return c;
}

void TForm::SetClientSize(int width, int height) {
  clientW_ = width;
  clientH_ = height;
  bounds_.Width = width + 2 * borderWidth_;
  bounds_.Height = height + 2 * borderWidth_;
  Peer().SetProp(TProp::ClientWidth, bounds_.Width);
  Peer().SetProp(TProp::ClientHeight, bounds_.Height);
  Realign();
}

int TForm::OuterWidth() const {
  return clientW_ + 2 * borderWidth_ + Peer().Prop(TProp::FrameWidth);
}

int TForm::OuterHeight() const {
  return clientH_ + 2 * borderWidth_ + Peer().Prop(TProp::FrameHeight);
}

void TForm::SetOuterSize(int width, int height) {
  const int frameW = Peer().Prop(TProp::FrameWidth) + 2 * borderWidth_;
  const int frameH = Peer().Prop(TProp::FrameHeight) + 2 * borderWidth_;
  SetClientSize(std::max(0, width - frameW), std::max(0, height - frameH));
}

void TForm::SetBorderWidth(int width) {
  borderWidth_ = std::max(0, width);
  SetClientSize(clientW_, clientH_);
}

TRect TForm::ClientRect() const { return TRect{borderWidth_, borderWidth_, clientW_, clientH_}; }

int32_t TForm::ShowModal() {
  if (inModal_) throw std::logic_error("form '" + name_ + "' is already shown modally");
  modalResult_ = mrNone;
  inModal_ = true;
  try {
    if (OnShow) OnShow(*this);
    Peer().RunModal();
  } catch (...) {
    inModal_ = false;
    throw;
  }
  inModal_ = false;
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  return modalResult_;
}

TButton* TForm::DefaultButton() const {
  for (TComponent* c : order_)
    if (c->Kind() == TKind::Button && static_cast<TButton*>(c)->Default())
      return static_cast<TButton*>(c);
  return nullptr;
}

TButton* TForm::CancelButton() const {
  for (TComponent* c : order_)
    if (c->Kind() == TKind::Button && static_cast<TButton*>(c)->Cancel())
      return static_cast<TButton*>(c);
  return nullptr;
}

void TForm::UserFormKey(TFormKey key) noexcept {
  RunGuarded([&] {
    if (key == TFormKey::CloseBox) {
      Close();
      return;
    }
    TButton* b = key == TFormKey::Enter ? DefaultButton() : CancelButton();
    if (b && b->Showing() && b->Operable()) b->Click();
  });
}

intptr_t TForm::UserCopyData(uintptr_t tag, const void* data, size_t size) noexcept {
  intptr_t result = 0;
  if (!data) size = 0;
  RunGuarded([&] {
    if (OnCopyData) result = OnCopyData(*this, tag, data, size);
  });
  return result;
}

}  // namespace veltrin::ui

// Frames and forms: building a window description row by row, the
// form's size, its modal run and its keys.
#include "ui/controls.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/kinds.h"

namespace veltrin::ui {

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
  const TKindInfo& info = KindInfo(row.Kind);
  if (!info.Make) throw std::logic_error("window description: a form inside a form");
  if (info.ParentKind != TKind::Form && parent->Kind() != info.ParentKind)
    throw std::logic_error("window description: '" + row.Name + "' needs a parent of kind " +
                           KindName(info.ParentKind));

  std::unique_ptr<TComponent> made = info.Make(*this, row);
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
  if (row.Kind == TKind::MenuItem)
    static_cast<TPopupMenu*>(parent)->MenuPeer().ItemsAdd(row.Caption);
  if (control) {
    if (row.Kind == TKind::TabSheet) {
      TPagesPeer& pages = static_cast<TPageControl*>(parent)->PagesPeer();
      pages.AddPage(row.Caption);
      pages.SetTabVisible(static_cast<TTabSheet*>(c)->pageIndex_, !(row.Flags & kTabHidden));
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
  FormPeer().SetClientSize(bounds_.Width, bounds_.Height);
  Realign();
}

int TForm::OuterWidth() const { return clientW_ + 2 * borderWidth_ + FormPeer().FrameWidth(); }

int TForm::OuterHeight() const { return clientH_ + 2 * borderWidth_ + FormPeer().FrameHeight(); }

void TForm::SetOuterSize(int width, int height) {
  const int frameW = FormPeer().FrameWidth() + 2 * borderWidth_;
  const int frameH = FormPeer().FrameHeight() + 2 * borderWidth_;
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
    FormPeer().RunModal();
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

// What every component and control shares: name, kind, peer, the window
// state every control has, and the events of user input.
#include "ui/controls.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace veltrin::ui {

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

void TComponent::ThrowNoInterface(const char* wanted) const {
  throw std::logic_error("the peer of '" + name_ + "' has no " + wanted);
}

// ---- TPeer::Prop ----------------------------------------------------------

namespace {
template <class P>
const P& Family(const TPeer& peer, TProp prop) {
  const P* p = dynamic_cast<const P*>(&peer);
  if (!p)
    throw std::logic_error("peer property " + std::to_string(int(prop)) +
                           " belongs to a family this peer is not of");
  return *p;
}
}  // namespace

int32_t TPeer::Prop(TProp prop) const {
  switch (prop) {
    case TProp::Enabled:
      return Family<TControlPeer>(*this, prop).Enabled();
    case TProp::Visible:
      return Family<TControlPeer>(*this, prop).Visible();
    case TProp::Color:
      return int32_t(Family<TControlPeer>(*this, prop).Color());
    case TProp::FontColor:
      return int32_t(Family<TControlPeer>(*this, prop).FontColor());
    case TProp::FontBold:
      return Family<TControlPeer>(*this, prop).FontBold();
    case TProp::ShowHint:
      return Family<TControlPeer>(*this, prop).ShowHint();
    case TProp::Checked:
      return Family<TCheckPeer>(*this, prop).Checked();
    case TProp::ItemIndex:
      if (auto* combo = dynamic_cast<const TComboPeer*>(this)) return combo->ItemIndex();
      return Family<TListPeer>(*this, prop).ItemIndex();
    case TProp::Count:
      if (auto* combo = dynamic_cast<const TComboPeer*>(this)) return combo->ItemsCount();
      return Family<TListPeer>(*this, prop).ItemsCount();
    case TProp::MaxLength:
      return Family<TEditPeer>(*this, prop).MaxLength();
    case TProp::ReadOnly:
      return Family<TEditPeer>(*this, prop).ReadOnly();
    case TProp::Min:
      return Family<TEditPeer>(*this, prop).Min();
    case TProp::Max:
      return Family<TEditPeer>(*this, prop).Max();
    case TProp::ActivePage:
      return Family<TPagesPeer>(*this, prop).ActivePage();
    case TProp::TabHeight:
      return Family<TPagesPeer>(*this, prop).TabHeight();
    case TProp::ClientWidth:
      return Family<TFormPeer>(*this, prop).ClientWidth();
    case TProp::ClientHeight:
      return Family<TFormPeer>(*this, prop).ClientHeight();
    case TProp::FrameWidth:
      return Family<TFormPeer>(*this, prop).FrameWidth();
    case TProp::FrameHeight:
      return Family<TFormPeer>(*this, prop).FrameHeight();
  }
  throw std::logic_error("no such peer property");
}

// ---- TControl --------------------------------------------------------------

TControl::TControl(TForm* owner, TKind kind, std::string name)
    : TComponent(owner, kind, std::move(name)) {}

std::string TControl::Caption() const { return Peer().Text(); }
void TControl::SetCaption(std::string_view text) { Peer().SetText(std::string(text)); }
bool TControl::Enabled() const { return Peer().Enabled(); }
void TControl::SetEnabled(bool enabled) { Peer().SetEnabled(enabled); }
bool TControl::Visible() const { return Peer().Visible(); }
void TControl::SetVisible(bool visible) { Peer().SetVisible(visible); }
std::string TControl::Hint() const { return Peer().Hint(); }
void TControl::SetHint(std::string_view hint) { Peer().SetHint(std::string(hint)); }
bool TControl::ShowHint() const { return Peer().ShowHint(); }
void TControl::SetShowHint(bool show) { Peer().SetShowHint(show); }
TColor TControl::Color() const { return Peer().Color(); }
void TControl::SetColor(TColor color) { Peer().SetColor(color); }
TColor TControl::FontColor() const { return Peer().FontColor(); }
void TControl::SetFontColor(TColor color) { Peer().SetFontColor(color); }
bool TControl::FontBold() const { return Peer().FontBold(); }
void TControl::SetFontBold(bool bold) { Peer().SetFontBold(bold); }

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

}  // namespace veltrin::ui

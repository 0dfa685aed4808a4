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

// Each backend's peers offer the interface of their kind's family and no
// other, and the property adapter refuses a property the family lacks
// instead of answering a made-up value.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/support/ui_fixture.h"
#include "ui/controls.h"
#include "ui/kinds.h"

namespace veltrin {
namespace {

using namespace ui;
using test::UiBackendTest;

class UiPeerTest : public UiBackendTest {};

// Which family interfaces a peer offers, as letters: c(heck) e(dit) l(ist)
// o (combo) p(ages) f(orm) m(enu); "-" for none but TControlPeer.
std::string Offers(TPeer& peer) {
  std::string s;
  if (dynamic_cast<TCheckPeer*>(&peer)) s += 'c';
  if (dynamic_cast<TEditPeer*>(&peer)) s += 'e';
  if (dynamic_cast<TListPeer*>(&peer)) s += 'l';
  if (dynamic_cast<TComboPeer*>(&peer)) s += 'o';
  if (dynamic_cast<TPagesPeer*>(&peer)) s += 'p';
  if (dynamic_cast<TFormPeer*>(&peer)) s += 'f';
  if (dynamic_cast<TMenuPeer*>(&peer)) s += 'm';
  return s.empty() ? "-" : s;
}

TEST_P(UiPeerTest, EachKindsPeerOffersItsFamilysInterfaceOnly) {
  struct TCase {
    TKind Kind;
    const char* Offers;
    bool Control;  // a TControlPeer
  };
  const TCase cases[] = {
      {TKind::Label, "-", true},    {TKind::Button, "c", true},     {TKind::CheckBox, "c", true},
      {TKind::Edit, "e", true},     {TKind::SpinEdit, "e", true},   {TKind::ListBox, "l", true},
      {TKind::ComboBox, "o", true}, {TKind::Panel, "-", true},      {TKind::PageControl, "p", true},
      {TKind::TabSheet, "-", true}, {TKind::PopupMenu, "m", false}, {TKind::Chart, "-", true},
  };
  TForm host("frmPeers");
  EXPECT_EQ(Offers(host.Peer()), "f");
  host.Build({TDesc(TKind::PageControl, "pages", "", ""), TDesc(TKind::PopupMenu, "pop", "", "")});
  for (const TCase& c : cases) {
    const std::string name = std::string("c") + KindName(c.Kind);
    const char* parent = c.Kind == TKind::TabSheet ? "pages" : "";
    host.Build({TDesc(c.Kind, name, parent, "x").At(0, 0, 20, 20)});
    TPeer& peer = host.FindComponent(name)->Peer();
    EXPECT_EQ(Offers(peer), c.Offers) << name;
    EXPECT_EQ(dynamic_cast<TControlPeer*>(&peer) != nullptr, c.Control) << name;
  }
  // Menu items and file dialogs have no window.
  host.Build({TDesc(TKind::MenuItem, "mnu", "pop", "A"), TDesc(TKind::OpenDialog, "dlg", "", "")});
  EXPECT_THROW(host.FindComponent("mnu")->Peer(), std::logic_error);
  EXPECT_THROW(host.FindComponent("dlg")->Peer(), std::logic_error);
}

TEST_P(UiPeerTest, PropertiesByNameComeOnlyFromTheirFamily) {
  TForm form("frmProps");
  form.SetClientSize(200, 100);
  form.Build({
      TDesc(TKind::CheckBox, "chk", "", "c").At(0, 0, 60, 17).Set(kChecked),
      TDesc(TKind::SpinEdit, "spn", "", "3").At(0, 20, 60, 21).Range(1, 9),
      TDesc(TKind::ComboBox, "cbx", "", "").At(0, 50, 60, 21).Set(kDropDownList),
      TDesc(TKind::Label, "lbl", "", "l").At(70, 0, 60, 14).Set(kDisabled),
      TDesc(TKind::PopupMenu, "pop", "", ""),
  });
  const TPeer& chk = form.Get<TCheckBox>("chk")->Peer();
  const TPeer& spn = form.Get<TSpinEdit>("spn")->Peer();
  const TPeer& cbx = form.Get<TComboBox>("cbx")->Peer();
  const TPeer& lbl = form.Get<TLabel>("lbl")->Peer();
  const TPeer& pop = form.FindComponent("pop")->Peer();
  EXPECT_EQ(chk.Prop(TProp::Checked), 1);
  EXPECT_EQ(spn.Prop(TProp::Min), 1);
  EXPECT_EQ(spn.Prop(TProp::Max), 9);
  EXPECT_EQ(cbx.Prop(TProp::ItemIndex), -1);
  EXPECT_EQ(lbl.Prop(TProp::Enabled), 0);
  EXPECT_EQ(form.Peer().Prop(TProp::ClientWidth), 200);
  struct TWrong {
    const TPeer* Peer;
    TProp Prop;
  };
  const TWrong wrong[] = {
      {&lbl, TProp::Checked},   {&chk, TProp::ItemIndex},         {&spn, TProp::ActivePage},
      {&cbx, TProp::MaxLength}, {&chk, TProp::ClientWidth},       {&lbl, TProp::Count},
      {&pop, TProp::Enabled},   {&form.Peer(), TProp::TabHeight},
  };
  for (const TWrong& w : wrong) EXPECT_THROW(w.Peer->Prop(w.Prop), std::logic_error) << int(w.Prop);
}

VELTRIN_ON_UI_BACKENDS(UiPeerTest);

}  // namespace
}  // namespace veltrin

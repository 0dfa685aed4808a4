// Popup menus, their items, and the file dialogs.
#include "ui/controls.h"

#include "ui/services.h"

namespace veltrin::ui {

// ---- menus and file dialogs ---------------------------------------------------

TPopupMenu* TMenuItem::Menu() const { return static_cast<TPopupMenu*>(parentComponent_); }

std::string TMenuItem::Caption() const { return Menu()->MenuPeer().ItemsGet(index_); }

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

}  // namespace veltrin::ui

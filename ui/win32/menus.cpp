// Popup menus, whose chosen items come back to their form as menu commands.
// Their peer has no window; menu items live in it, and file dialogs have no
// peer at all.
#include <stdexcept>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

// No window of its own, so no TWinPeer: nothing can place, colour or
// enable it.
class TWinMenuPeer final : public TPeer, public TMenuPeer {
 public:
  TWinMenuPeer(TComponent& front, TWin32Backend& backend) : front_(front), backend_(backend) {
    menu_ = CreatePopupMenu();
    if (!menu_) throw std::runtime_error("cannot create the menu '" + front_.Name() + "'");
  }
  ~TWinMenuPeer() override {
    for (UINT id : ids_) backend_.RemoveMenuCommand(id);
    if (menu_) DestroyMenu(menu_);
  }

  HMENU Menu() const { return menu_; }
  void ItemsAdd(const std::string& text) override;
  std::string ItemsGet(int32_t index) const override {
    if (!menu_) return {};
    if (index >= 0 && size_t(index) < ids_.size() && ids_[size_t(index)] == 0) return "-";
    wchar_t buf[512] = {};
    int n = GetMenuStringW(menu_, UINT(index), buf, 512, MF_BYPOSITION);
    return WideToGbk(std::wstring(buf, size_t(std::max(0, n))));
  }
  int32_t ItemsCount() const override { return menu_ ? GetMenuItemCount(menu_) : 0; }
  void UserSelectItem(int32_t index) override {
    if (index >= 0 && size_t(index) < ids_.size() && ids_[size_t(index)] != 0)
      SendMessageW(WindowOf(*front_.Owner()), WM_COMMAND, MAKEWPARAM(ids_[size_t(index)], 0), 0);
  }

 private:
  TComponent& front_;
  TWin32Backend& backend_;
  HMENU menu_ = nullptr;
  std::vector<UINT> ids_;  // the command of each item; 0 for a separator
};

void TWinMenuPeer::ItemsAdd(const std::string& text) {
  if (!menu_) return;
  auto& menu = static_cast<TPopupMenu&>(front_);
  size_t index = size_t(GetMenuItemCount(menu_));
  if (text == "-") {
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    ids_.push_back(0);
    return;
  }
  TMenuItem* item = index < menu.Items().size() ? menu.Items()[index] : nullptr;
  UINT id = backend_.AddMenuCommand(item);
  ids_.push_back(id);
  AppendMenuW(menu_, MF_STRING, id, GbkToWide(text).c_str());
}

}  // namespace

std::unique_ptr<TPeer> MakeMenuPeer(TComponent& front, TWin32Backend& backend) {
  return std::make_unique<TWinMenuPeer>(front, backend);
}

HMENU MenuOf(const TPeer& peer) {
  auto* menu = dynamic_cast<const TWinMenuPeer*>(&peer);
  return menu ? menu->Menu() : nullptr;
}

}  // namespace veltrin::ui::win32

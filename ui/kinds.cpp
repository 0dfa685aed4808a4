#include "ui/kinds.h"

#include <array>

#include "ui/controls.h"

namespace veltrin::ui {
namespace {

template <class T>
std::unique_ptr<TComponent> Make(TForm& owner, const TDesc& row) {
  return std::make_unique<T>(&owner, row.Kind, row.Name);
}

// In the order of TKind: KindInfo indexes it, and a test holds every row
// to its kind.
constexpr std::array<TKindInfo, 16> kKinds{{
    {TKind::Form, "Form", TFamily::Form, nullptr, TKind::Form},
    {TKind::Label, "Label", TFamily::Static, Make<TLabel>, TKind::Form},
    {TKind::Button, "Button", TFamily::Button, Make<TButton>, TKind::Form},
    {TKind::CheckBox, "CheckBox", TFamily::Button, Make<TCheckBox>, TKind::Form},
    {TKind::Edit, "Edit", TFamily::Edit, Make<TEdit>, TKind::Form},
    {TKind::SpinEdit, "SpinEdit", TFamily::Edit, Make<TSpinEdit>, TKind::Form},
    {TKind::ListBox, "ListBox", TFamily::List, Make<TListBox>, TKind::Form},
    {TKind::ComboBox, "ComboBox", TFamily::List, Make<TComboBox>, TKind::Form},
    {TKind::Panel, "Panel", TFamily::Static, Make<TPanel>, TKind::Form},
    {TKind::PageControl, "PageControl", TFamily::Pages, Make<TPageControl>, TKind::Form},
    {TKind::TabSheet, "TabSheet", TFamily::Pages, Make<TTabSheet>, TKind::PageControl},
    {TKind::PopupMenu, "PopupMenu", TFamily::Menu, Make<TPopupMenu>, TKind::Form},
    {TKind::MenuItem, "MenuItem", TFamily::Menu, Make<TMenuItem>, TKind::PopupMenu},
    {TKind::OpenDialog, "OpenDialog", TFamily::Menu, Make<TFileDialog>, TKind::Form},
    {TKind::SaveDialog, "SaveDialog", TFamily::Menu, Make<TFileDialog>, TKind::Form},
    {TKind::Chart, "Chart", TFamily::Chart, Make<TChart>, TKind::Form},
}};

}  // namespace

const TKindInfo& KindInfo(TKind kind) {
  const size_t i = size_t(kind);
  if (i >= kKinds.size()) throw std::logic_error("no such control kind");
  return kKinds[i];
}

const char* KindName(TKind kind) {
  const size_t i = size_t(kind);
  return i < kKinds.size() ? kKinds[i].Name : "?";
}

}  // namespace veltrin::ui

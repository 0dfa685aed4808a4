// The control kinds, each stated once: its name, the family of peer a
// backend makes for it, how its front object is made from a description
// row, and the kind its parent must be. A new kind is a row here, its front
// class (ui/controls.h and its family's file) and, for a new family, the
// family's interface in ui/peer.h (when it needs calls beyond TControlPeer)
// and its peer in each backend, which the compiler holds to that interface.
#pragma once

#include <cstddef>
#include <memory>

#include "ui/types.h"

namespace veltrin::ui {

class TComponent;
class TForm;

// The peer families: the kinds one backend peer class answers for.
enum class TFamily : size_t {
  Form,
  Button,  // push buttons and check boxes
  Edit,    // edit and spin boxes
  List,    // list and combo boxes
  Pages,   // page controls and their tab sheets
  Static,  // labels and panels
  Chart,
  Menu,  // popup menus and the components without a window of their own
};
inline constexpr size_t kFamilyCount = size_t(TFamily::Menu) + 1;

struct TKindInfo {
  TKind Kind;
  const char* Name;
  TFamily Family;
  // The front object for a description row; null for the form, which is no
  // row of a description.
  std::unique_ptr<TComponent> (*Make)(TForm& owner, const TDesc& row);
  // The kind the row's parent must have; Form when any will do.
  TKind ParentKind;
};

const TKindInfo& KindInfo(TKind kind);

}  // namespace veltrin::ui

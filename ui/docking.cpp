// Where a control stands: docked to an edge of its parent, filling what
// the docked ones leave, or anchored to the parent's right or bottom edge.
#include "ui/controls.h"

#include <algorithm>

namespace veltrin::ui {

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
    Peer().SetBounds(
        TRect{area.Left + bounds_.Left, area.Top + bounds_.Top, bounds_.Width, bounds_.Height});
  }
  Realign();
}

}  // namespace veltrin::ui

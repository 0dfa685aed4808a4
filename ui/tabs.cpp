// Page controls and their tab sheets.
#include "ui/controls.h"

#include <algorithm>

namespace veltrin::ui {

// ---- pages -----------------------------------------------------------------

TTabSheet* TPageControl::Pages(int32_t index) const {
  if (index < 0 || index >= PageCount()) detail::ThrowIndex(index);
  return pages_[size_t(index)];
}

int32_t TPageControl::ActivePageIndex() const { return PagesPeer().ActivePage(); }

void TPageControl::SetActivePageIndex(int32_t index) {
  if (index < -1 || index >= PageCount()) detail::ThrowIndex(index);
  PagesPeer().SetActivePage(index);
}

int32_t TPageControl::TabHeight() const { return PagesPeer().TabHeight(); }

void TPageControl::SetTabHeight(int32_t height) {
  PagesPeer().SetTabHeight(height);
  Realign();
}

TRect TPageControl::ClientRect() const {
  // The pages' display area: below the tabs, inside the page frame.
  int tab = peer_ ? TabHeight() : 0;
  return TRect{4, tab + 6, std::max(0, bounds_.Width - 8), std::max(0, bounds_.Height - tab - 10)};
}

TPageControl* TTabSheet::PageControl() const { return static_cast<TPageControl*>(parent_); }

bool TTabSheet::TabVisible() const { return PageControl()->PagesPeer().TabVisible(pageIndex_); }

void TTabSheet::SetTabVisible(bool visible) {
  TPageControl* pages = PageControl();
  pages->PagesPeer().SetTabVisible(pageIndex_, visible);
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

}  // namespace veltrin::ui

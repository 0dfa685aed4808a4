// Keyboard focus of a form: the Tab order in reading order, the default
// push button that follows the focus, and where the focus goes back to.
//
// The order is computed from the controls' places, not from the order they
// were built in: panels are looked through (their controls are placed by
// their position on the form), a page control is one group (its tabs, then
// each sheet's controls), and the clickable labels of one parent form one
// stop that the arrow keys move within. Inside a group the controls are cut
// into bands top to bottom and each band into columns left to right, again
// and again, so that a column of buttons beside a list is read before the
// list and a row is read left to right.
#include <algorithm>
#include <climits>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

// Neighbours that overlap by this much still read as separate rows or
// columns (the code picker's last two rows do).
constexpr int kOverlap = 3;

struct TItem {
  TRect R;                        // in the group's coordinates
  TControl* Control = nullptr;    // a control, or
  std::vector<TControl*> Labels;  // a run of clickable labels
};

HWND HwndOf(const TControl& c) {
  auto* peer = static_cast<TWinPeer*>(c.PeerOrNull());
  return peer ? peer->Hwnd() : nullptr;
}

bool IsTabStop(const TControl& c) {
  HWND h = HwndOf(c);
  return h && (GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP) != 0;
}

void Order(std::vector<TItem> items, std::vector<TTabStop>& out);

// The controls below `parent`, panels looked through, at their place
// relative to the group.
void Collect(const TControl& parent, int dx, int dy, std::vector<TItem>& items) {
  TItem labels;
  for (TControl* c : parent.Controls()) {
    const TRect r{dx + c->Left(), dy + c->Top(), c->Width(), c->Height()};
    if (IsKeyboardLabel(*c)) {
      if (labels.Labels.empty()) {
        labels.R = r;
      } else {
        const int right = std::max(labels.R.Left + labels.R.Width, r.Left + r.Width);
        const int bottom = std::max(labels.R.Top + labels.R.Height, r.Top + r.Height);
        labels.R.Left = std::min(labels.R.Left, r.Left);
        labels.R.Top = std::min(labels.R.Top, r.Top);
        labels.R.Width = right - labels.R.Left;
        labels.R.Height = bottom - labels.R.Top;
      }
      labels.Labels.push_back(c);
    } else if (c->Kind() == TKind::Panel) {
      Collect(*c, r.Left, r.Top, items);
    } else if (IsTabStop(*c) || c->Kind() == TKind::PageControl) {
      items.push_back(TItem{r, c, {}});
    }
  }
  if (!labels.Labels.empty()) items.push_back(std::move(labels));
}

void Emit(const TItem& item, std::vector<TTabStop>& out) {
  if (!item.Labels.empty()) {
    std::vector<TControl*> labels = item.Labels;
    std::stable_sort(labels.begin(), labels.end(), [](TControl* a, TControl* b) {
      return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    TTabStop stop;
    for (TControl* c : labels)
      if (HWND h = HwndOf(*c)) stop.Members.push_back(h);
    if (!stop.Members.empty()) out.push_back(std::move(stop));
    return;
  }
  TControl& c = *item.Control;
  if (IsTabStop(c))
    if (HWND h = HwndOf(c)) out.push_back(TTabStop{{h}});
  if (c.Kind() == TKind::PageControl) {
    // Each sheet is read on its own, in page order.
    for (TControl* sheet : c.Controls()) {
      std::vector<TItem> items;
      Collect(*sheet, 0, 0, items);
      Order(std::move(items), out);
    }
  }
}

void Order(std::vector<TItem> items, std::vector<TTabStop>& out) {
  if (items.size() > 1) {
    for (const bool rows : {true, false}) {
      auto lo = [rows](const TItem& i) { return rows ? i.R.Top : i.R.Left; };
      auto hi = [rows](const TItem& i) {
        return rows ? i.R.Top + i.R.Height : i.R.Left + i.R.Width;
      };
      std::stable_sort(items.begin(), items.end(),
                       [&](const TItem& a, const TItem& b) { return lo(a) < lo(b); });
      std::vector<std::vector<TItem>> bands;
      int end = INT_MIN;
      for (const TItem& item : items) {
        if (bands.empty() || lo(item) >= end - kOverlap) {
          bands.emplace_back();
          end = hi(item);
        } else {
          end = std::max(end, hi(item));
        }
        bands.back().push_back(item);
      }
      if (bands.size() > 1) {
        for (auto& band : bands) Order(std::move(band), out);
        return;
      }
    }
    // Neither cut separates them (one lies over the other): top, then left.
    std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) {
      return a.R.Top != b.R.Top ? a.R.Top < b.R.Top : a.R.Left < b.R.Left;
    });
  }
  for (const TItem& item : items) Emit(item, out);
}

}  // namespace

bool IsKeyboardLabel(const TControl& control) {
  return control.Kind() == TKind::Label && (control.Desc().Flags & kHandCursor) != 0;
}

std::vector<TTabStop> ReadingOrder(const TForm& form) {
  std::vector<TItem> items;
  Collect(form, 0, 0, items);
  std::vector<TTabStop> out;
  Order(std::move(items), out);
  return out;
}

bool CanFocus(HWND hwnd, HWND root) {
  if (!hwnd || !IsWindow(hwnd) || !IsWindowVisible(hwnd)) return false;
  for (HWND h = hwnd; h && h != root; h = GetParent(h))
    if (!IsWindowEnabled(h)) return false;
  return true;
}

void FocusControl(HWND hwnd) {
  // As the dialog manager does: an edit box entered by the keyboard has its
  // whole text selected.
  if (SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageW(hwnd, EM_SETSEL, 0, -1);
  SetFocus(hwnd);
}

}  // namespace veltrin::ui::win32

// List boxes (items of their own or supplied on demand, single or multiple
// selection) and combo boxes.
#include <algorithm>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

// The drop-down part of a combo box below its field.
constexpr int kComboDropHeight = 240;
// Item height of a list whose items are drawn by the backend, unless the
// description gives one.
constexpr int kDrawnItemHeight = 13;

LRESULT CALLBACK ListSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref);
LRESULT CALLBACK TypeAheadSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR ref);

class TListBoxPeer final : public TWinPeer, public TListPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetItemIndex(int32_t index) override;
  int32_t ItemIndex() const override {
    if (!IsMulti()) return int32_t(Send(LB_GETCURSEL));
    return hasCaret_ && Send(LB_GETCOUNT) > 0 ? int32_t(Send(LB_GETCARETINDEX)) : -1;
  }
  void SetCount(int32_t count) override;
  void ItemsClear() override;
  void ItemsAdd(const std::string& text) override {
    std::wstring wide = GbkToWide(text);
    Send(LB_ADDSTRING, 0, LPARAM(wide.c_str()));
    Widen(TextWidth({wide}));
  }
  void ItemsSet(int32_t index, const std::string& text) override;
  void ItemsDelete(int32_t index) override;
  std::string ItemsGet(int32_t index) const override;
  int32_t ItemsCount() const override { return int32_t(Send(LB_GETCOUNT)); }
  bool ItemSelected(int32_t index) const override {
    if (!IsMulti()) return Send(LB_GETCURSEL) == index;
    return Send(LB_GETSEL, WPARAM(index)) > 0;
  }
  void SetItemSelected(int32_t index, bool selected) override;
  void UserClickItem(int32_t index, TShift shift, bool doubleClick) override;
  void OnCommand(WORD code) override {
    if (code == LBN_SELCHANGE && suppress_ == 0) {
      hasCaret_ = true;
      Control().UserInput(TInput::Click);
    } else if (code == LBN_DBLCLK) {
      Control().UserInput(TInput::DblClick);
    }
  }
  COLORREF Background() const override { return Resolve(color_, COLOR_WINDOW); }
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  void Repaint() override {
    FitExtent();
    TWinPeer::Repaint();
  }
  // The mouse is over item `index` (-1: over none).
  void MouseOver(int32_t index) {
    if (index == hot_) return;
    hot_ = index;
    static_cast<TListBox&>(front_).ShowItemHint(index);
  }

 protected:
  TWindowClass WindowClass() const override {
    // A horizontal scroll bar whenever an item is wider than the list.
    DWORD style = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (IsMulti()) style |= LBS_EXTENDEDSEL;
    style |= IsVirtual() ? (LBS_NODATA | LBS_OWNERDRAWFIXED) : LBS_HASSTRINGS;
    return {L"LISTBOX", style, (Flags() & kBorder) ? DWORD(WS_EX_CLIENTEDGE) : 0u};
  }
  void AfterCreate() override {
    ApplyItemHeight();
    SetWindowSubclass(hwnd_, ListSubclass, 1, DWORD_PTR(this));
  }
  void Rescale() override {
    TWinPeer::Rescale();
    ApplyItemHeight();
  }

 private:
  // The widest of `texts` in the list's font, with the margin items are
  // drawn with.
  int TextWidth(const std::vector<std::wstring>& texts) const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, CurrentFont());
    int widest = 0;
    for (const std::wstring& t : texts) {
      SIZE size{};
      if (GetTextExtentPoint32W(dc, t.c_str(), int(t.size()), &size))
        widest = std::max(widest, int(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return widest > 0 ? widest + 6 : 0;
  }
  void Widen(int width) {
    if (width > extent_) Send(LB_SETHORIZONTALEXTENT, WPARAM(extent_ = width));
  }
  // The horizontal extent from the longest item, read again.
  void FitExtent() {
    std::vector<std::wstring> texts;
    auto& list = static_cast<TListBox&>(front_);
    for (int32_t i = 0, n = ItemsCount(); i < n; ++i) {
      std::string text;
      try {
        text = IsVirtual() ? list.Items(i) : ItemsGet(i);
      } catch (...) {
      }
      texts.push_back(GbkToWide(text));
    }
    extent_ = TextWidth(texts);
    Send(LB_SETHORIZONTALEXTENT, WPARAM(extent_));
  }

  bool IsMulti() const { return (Flags() & kMultiSelect) != 0; }
  bool IsVirtual() const { return (Flags() & kVirtual) != 0; }
  void ApplyItemHeight() {
    const int32_t height = front_.Desc().ItemHeight;
    if (height > 0 || IsVirtual())
      Send(LB_SETITEMHEIGHT, 0, Px(height > 0 ? height : kDrawnItemHeight));
  }

  bool hasCaret_ = false;  // multi-select list: a current item exists
  int extent_ = 0;         // the horizontal extent set
  int32_t hot_ = -1;       // the item under the mouse
};

// Reports the item under the mouse, so that the list's hint can show its
// whole text.
LRESULT CALLBACK ListSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref) {
  auto* peer = reinterpret_cast<TListBoxPeer*>(ref);
  switch (msg) {
    case WM_MOUSEMOVE: {
      const LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lp);
      // The high word says the point lies outside every item.
      peer->MouseOver(HIWORD(hit) ? -1 : int32_t(LOWORD(hit)));
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
      TrackMouseEvent(&tme);
      break;
    }
    case WM_MOUSELEAVE:
      peer->MouseOver(-1);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ListSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void TListBoxPeer::SetItemIndex(int32_t index) {
  ++suppress_;
  if (!IsMulti()) {
    Send(LB_SETCURSEL, WPARAM(index));
  } else if (index < 0) {
    hasCaret_ = false;
  } else {
    Send(LB_SETCARETINDEX, WPARAM(index), FALSE);
    hasCaret_ = true;
  }
  --suppress_;
}

void TListBoxPeer::ItemsClear() {
  ++suppress_;
  if (IsVirtual())
    Send(LB_SETCOUNT, 0);
  else
    Send(LB_RESETCONTENT);
  hasCaret_ = false;
  --suppress_;
  Send(LB_SETHORIZONTALEXTENT, WPARAM(extent_ = 0));
}

void TListBoxPeer::ItemsSet(int32_t index, const std::string& text) {
  if (IsVirtual()) return;
  bool selected = ItemSelected(index);
  int32_t current = ItemIndex();
  ++suppress_;
  Send(LB_DELETESTRING, WPARAM(index));
  Send(LB_INSERTSTRING, WPARAM(index), LPARAM(GbkToWide(text).c_str()));
  --suppress_;
  FitExtent();
  if (selected) SetItemSelected(index, true);
  if (current >= 0) SetItemIndex(current);
}

void TListBoxPeer::ItemsDelete(int32_t index) {
  if (IsVirtual()) return;
  int32_t current = ItemIndex();
  ++suppress_;
  Send(LB_DELETESTRING, WPARAM(index));
  --suppress_;
  FitExtent();
  // The current item follows its item; when its own went, a multi-select
  // list keeps the place and a single-select list has none.
  int32_t n = ItemsCount();
  if (current > index)
    --current;
  else if (current == index)
    current = IsMulti() ? std::min(current, n - 1) : -1;
  SetItemIndex(current);
}

std::string TListBoxPeer::ItemsGet(int32_t index) const {
  if (IsVirtual()) return {};
  LRESULT n = Send(LB_GETTEXTLEN, WPARAM(index));
  if (n == LB_ERR) return {};
  std::wstring buf(size_t(n) + 1, L'\0');
  n = Send(LB_GETTEXT, WPARAM(index), LPARAM(buf.data()));
  buf.resize(size_t(std::max<LRESULT>(0, n)));
  return WideToGbk(buf);
}

void TListBoxPeer::SetItemSelected(int32_t index, bool selected) {
  ++suppress_;
  if (!IsMulti()) {
    if (selected)
      Send(LB_SETCURSEL, WPARAM(index));
    else if (Send(LB_GETCURSEL) == index)
      Send(LB_SETCURSEL, WPARAM(-1));
  } else {
    // LB_SETSEL moves the focus rectangle; the current item stays put.
    int32_t current = ItemIndex();
    Send(LB_SETSEL, selected, LPARAM(index));
    if (current >= 0) Send(LB_SETCARETINDEX, WPARAM(current), FALSE);
  }
  --suppress_;
}

void TListBoxPeer::SetCount(int32_t count) {
  if (!IsVirtual()) return;
  count = std::max(0, count);
  // Selection and the current item survive on the items that remain, as
  // the headless list keeps them.
  int32_t old = ItemsCount();
  std::vector<int32_t> selected;
  for (int32_t i = 0, n = std::min(old, count); i < n; ++i)
    if (ItemSelected(i)) selected.push_back(i);
  int32_t current = ItemIndex();
  ++suppress_;
  Send(LB_SETCOUNT, WPARAM(count));
  if (IsMulti()) {
    Send(LB_SETSEL, FALSE, -1);
    for (int32_t i : selected) Send(LB_SETSEL, TRUE, LPARAM(i));
  }
  --suppress_;
  if (current >= count) current = count - 1;
  SetItemIndex(current);
  FitExtent();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TListBoxPeer::UserClickItem(int32_t index, TShift shift, bool doubleClick) {
  TDpiAwareScope aware;
  // The item must be in view to be clicked.
  RECT rc{};
  if (Send(LB_GETITEMRECT, WPARAM(index), LPARAM(&rc)) == LB_ERR) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (rc.top < client.top || rc.bottom > client.bottom) {
    Send(LB_SETTOPINDEX, WPARAM(index));
    Send(LB_GETITEMRECT, WPARAM(index), LPARAM(&rc));
  }
  LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  WPARAM keys = MK_LBUTTON | (shift == TShift::Ctrl    ? MK_CONTROL
                              : shift == TShift::Shift ? MK_SHIFT
                                                       : 0);
  Send(WM_LBUTTONDOWN, keys, at);
  Send(WM_LBUTTONUP, keys & ~WPARAM(MK_LBUTTON), at);
  if (doubleClick) {
    Send(WM_LBUTTONDBLCLK, keys, at);
    Send(WM_LBUTTONUP, keys & ~WPARAM(MK_LBUTTON), at);
  }
}

// An item of a list whose items come on demand.
void TListBoxPeer::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  bool selected = (dis.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : backend_.Brush(Background()));
  if (dis.itemID != UINT(-1)) {
    // A failing OnData shows an empty item: a message box here would be
    // painted over and asked again without end.
    std::string text;
    try {
      text = static_cast<TListBox&>(front_).Items(int32_t(dis.itemID));
    } catch (...) {
    }
    std::wstring wide = GbkToWide(text);
    SetTextColor(
        dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Resolve(fontColor_, COLOR_WINDOWTEXT));
    RECT tr{rc.left + Px(2), rc.top, rc.right, rc.bottom};
    DrawTextW(dc, wide.c_str(), int(wide.size()), &tr,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
  SelectObject(dc, oldFont);
}

class TWinComboPeer final : public TWinPeer, public TComboPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetText(const std::string& text) override;
  void SetItemIndex(int32_t index) override {
    ++suppress_;
    Send(CB_SETCURSEL, WPARAM(index));
    --suppress_;
  }
  int32_t ItemIndex() const override { return int32_t(Send(CB_GETCURSEL)); }
  void SetBounds(const TRect& r) override {
    bounds_ = r;
    if (!hwnd_) return;
    TDpiAwareScope aware;
    const RECT px = PxRect(r);
    const RECT drop = PxRect(TRect{r.Left, r.Top, r.Width, r.Height + kComboDropHeight});
    MoveWindow(hwnd_, px.left, px.top, px.right - px.left, drop.bottom - drop.top, TRUE);
    // The field's height as designed, inside its 3-pixel frame.
    if (r.Height > 8) Send(CB_SETITEMHEIGHT, WPARAM(-1), px.bottom - px.top - 6);
  }
  void ItemsClear() override {
    ++suppress_;
    Send(CB_RESETCONTENT);
    --suppress_;
  }
  void ItemsAdd(const std::string& text) override {
    Send(CB_ADDSTRING, 0, LPARAM(GbkToWide(text).c_str()));
  }
  std::string ItemsGet(int32_t index) const override {
    LRESULT n = Send(CB_GETLBTEXTLEN, WPARAM(index));
    if (n == CB_ERR) return {};
    std::wstring buf(size_t(n) + 1, L'\0');
    n = Send(CB_GETLBTEXT, WPARAM(index), LPARAM(buf.data()));
    buf.resize(size_t(std::max<LRESULT>(0, n)));
    return WideToGbk(buf);
  }
  int32_t ItemsCount() const override { return int32_t(Send(CB_GETCOUNT)); }
  void UserSelectItem(int32_t index) override {
    // What the combo box does when the user picks from its list.
    Send(CB_SETCURSEL, WPARAM(index));
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), CBN_SELCHANGE),
                 LPARAM(hwnd_));
  }
  void OnCommand(WORD code) override {
    if (code == CBN_KILLFOCUS && !DropDownList()) {
      // The field keeps its selection highlighted after the focus left (the
      // combo box's edit shows it unfocused), so that two controls would
      // look focused; Tab selects the whole text again on the way back.
      if (HWND edit = GetWindow(hwnd_, GW_CHILD)) SendMessageW(edit, EM_SETSEL, WPARAM(-1), 0);
      return;
    }
    if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && suppress_ == 0)
      Control().UserInput(TInput::Change);
  }
  COLORREF Background() const override { return Resolve(color_, COLOR_WINDOW); }
  void UserType(const std::wstring& keys) override {
    HWND to = DropDownList() ? hwnd_ : GetWindow(hwnd_, GW_CHILD);
    for (wchar_t key : keys) SendMessageW(to, WM_CHAR, WPARAM(key), 1);
  }
  // A typed key of a list without typing: keys in quick succession spell
  // the beginning of the item to select ("4", "0": 40, not the next item
  // starting with 0); after a pause a key starts anew.
  void TypeAhead(wchar_t key) {
    const DWORD now = GetTickCount();
    if (typed_.empty() || now - typedAt_ > kTypeAheadMs) typed_.clear();
    typedAt_ = now;
    typed_ += key;
    LRESULT found = Send(CB_FINDSTRING, WPARAM(-1), LPARAM(typed_.c_str()));
    if (found == CB_ERR && typed_.size() > 1) {
      // A key that continues no item starts a new search.
      typed_.assign(1, key);
      found = Send(CB_FINDSTRING, WPARAM(-1), LPARAM(typed_.c_str()));
    }
    if (found == CB_ERR || found == Send(CB_GETCURSEL)) return;
    UserSelectItem(int32_t(found));
  }

 protected:
  TWindowClass WindowClass() const override {
    TWindowClass wc{L"COMBOBOX",
                    DWORD(WS_TABSTOP | WS_VSCROLL |
                          (DropDownList() ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL))};
    wc.ExtraHeight = kComboDropHeight;
    wc.Caption = false;
    return wc;
  }
  void AfterCreate() override {
    // A box that takes typing starts with its described text.
    if (!DropDownList()) SetWindowTextW(hwnd_, GbkToWide(front_.Desc().Caption).c_str());
    if (DropDownList()) SetWindowSubclass(hwnd_, TypeAheadSubclass, 1, DWORD_PTR(this));
  }

 private:
  // As the list type-ahead of Windows: about a second between keys.
  static constexpr DWORD kTypeAheadMs = 1000;
  bool DropDownList() const { return (Flags() & kDropDownList) != 0; }

  std::wstring typed_;  // the keys of the type-ahead under way
  DWORD typedAt_ = 0;   // when the last of them came
};

LRESULT CALLBACK TypeAheadSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR ref) {
  switch (msg) {
    case WM_CHAR:
      if (wp >= 32 && PeerOf(hwnd) == reinterpret_cast<TWinComboPeer*>(ref)) {
        reinterpret_cast<TWinComboPeer*>(ref)->TypeAhead(wchar_t(wp));
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, TypeAheadSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void TWinComboPeer::SetText(const std::string& text) {
  if (!hwnd_) return;
  if (!DropDownList()) return TWinPeer::SetText(text);
  // A list without typing shows only its items: the text selects one.
  int32_t found = -1;
  for (int32_t i = 0, n = ItemsCount(); i < n; ++i)
    if (ItemsGet(i) == text) {
      found = i;
      break;
    }
  ++suppress_;
  Send(CB_SETCURSEL, WPARAM(found));
  --suppress_;
}

}  // namespace

std::unique_ptr<TWinPeer> MakeListPeer(TComponent& front, TWin32Backend& backend) {
  if (front.Kind() == TKind::ComboBox) return std::make_unique<TWinComboPeer>(front, backend);
  return std::make_unique<TListBoxPeer>(front, backend);
}

}  // namespace veltrin::ui::win32

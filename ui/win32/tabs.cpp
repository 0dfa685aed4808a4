// Page controls (a tab control whose tabs show and hide their sheets) and
// their tab sheets.
#include <algorithm>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

struct TPageTab {
  std::string Caption;
  bool Visible = true;
};

class TWinPagesPeer final : public TWinPeer, public TPagesPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetActivePage(int32_t index) override {
    active_ = index;
    SyncTabs();
  }
  int32_t ActivePage() const override {
    LRESULT sel = Send(TCM_GETCURSEL);
    return sel < 0 ? active_ : PageAt(sel);
  }
  void SetTabHeight(int32_t height) override {
    tabHeight_ = height;
    Send(TCM_SETITEMSIZE, 0, MAKELPARAM(0, Px(height)));
  }
  int32_t TabHeight() const override { return tabHeight_; }
  void AddPage(const std::string& caption) override {
    pages_.push_back({caption, true});
    SyncTabs();
  }
  void SetTabVisible(int32_t index, bool visible) override {
    if (index < 0 || index >= int32_t(pages_.size())) return;
    pages_[size_t(index)].Visible = visible;
    SyncTabs();
  }
  bool TabVisible(int32_t index) const override { return TabPosition(index) >= 0; }
  void UserSelectPage(int32_t index) override {
    int pos = TabPosition(index);
    RECT rc{};
    if (pos < 0 || !Send(TCM_GETITEMRECT, WPARAM(pos), LPARAM(&rc))) return;
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Send(WM_LBUTTONUP, 0, at);
  }
  LRESULT OnNotify(const NMHDR& header) override;
  bool Step(bool back) {
    const LRESULT n = Send(TCM_GETITEMCOUNT);
    const LRESULT sel = Send(TCM_GETCURSEL);
    if (n < 2 || sel < 0) return false;
    const LRESULT next = (sel + (back ? n - 1 : 1)) % n;
    // As a click on the tab: the tab control asks and tells its parent.
    NMHDR header{hwnd_, UINT_PTR(GetDlgCtrlID(hwnd_)), UINT(TCN_SELCHANGING)};
    HWND parent = GetParent(hwnd_);
    if (SendMessageW(parent, WM_NOTIFY, header.idFrom, LPARAM(&header))) return false;
    Send(TCM_SETCURSEL, WPARAM(next));
    header.code = UINT(TCN_SELCHANGE);
    SendMessageW(parent, WM_NOTIFY, header.idFrom, LPARAM(&header));
    return true;
  }

  // The sheets' windows, in page order, and their captions.
  void AddSheet(HWND sheet) { sheets_.push_back(sheet); }
  void RemoveSheet(HWND sheet) {
    sheets_.erase(std::remove(sheets_.begin(), sheets_.end(), sheet), sheets_.end());
  }
  void SetPageCaption(int32_t index, const std::string& caption) {
    if (index < 0 || index >= int32_t(pages_.size())) return;
    pages_[size_t(index)].Caption = caption;
    SyncTabs();
  }

 protected:
  TWindowClass WindowClass() const override {
    return {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
  }
  void AfterCreate() override {
    tabHeight_ = front_.Desc().TabHeight;
    if (tabHeight_ > 0) Send(TCM_SETITEMSIZE, 0, MAKELPARAM(0, Px(tabHeight_)));
  }
  void Rescale() override {
    TWinPeer::Rescale();
    if (tabHeight_ > 0) Send(TCM_SETITEMSIZE, 0, MAKELPARAM(0, Px(tabHeight_)));
  }

 private:
  int TabPosition(int32_t page) const;
  int32_t PageAt(LRESULT pos) const {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    Send(TCM_GETITEMW, WPARAM(pos), LPARAM(&item));
    return int32_t(item.lParam);
  }
  void SyncTabs();
  void ShowSheets() {
    for (size_t i = 0; i < sheets_.size(); ++i)
      ShowWindow(sheets_[i], int32_t(i) == active_ ? SW_SHOWNA : SW_HIDE);
  }

  int32_t tabHeight_ = 0;
  std::vector<TPageTab> pages_;
  std::vector<HWND> sheets_;
  int32_t active_ = 0;
};

// Reads the tab control: the tab whose item names the page.
int TWinPagesPeer::TabPosition(int32_t page) const {
  LRESULT n = Send(TCM_GETITEMCOUNT);
  for (int pos = 0; pos < n; ++pos)
    if (PageAt(pos) == page) return pos;
  return -1;
}

void TWinPagesPeer::SyncTabs() {
  if (!hwnd_) return;
  ++suppress_;
  Send(TCM_DELETEALLITEMS);
  int pos = 0;
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (!pages_[i].Visible) continue;
    std::wstring caption = GbkToWide(pages_[i].Caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = caption.data();
    item.lParam = LPARAM(i);
    Send(TCM_INSERTITEMW, WPARAM(pos++), LPARAM(&item));
  }
  Send(TCM_SETCURSEL, WPARAM(TabPosition(active_)));
  --suppress_;
  ShowSheets();
}

LRESULT TWinPagesPeer::OnNotify(const NMHDR& header) {
  if (header.code != TCN_SELCHANGE || suppress_ != 0) return 0;
  LRESULT sel = Send(TCM_GETCURSEL);
  if (sel >= 0) {
    active_ = PageAt(sel);
    ShowSheets();
  }
  Control().UserInput(TInput::Change);
  return 0;
}

class TSheetPeer final : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;
  ~TSheetPeer() override {
    if (TWinPagesPeer* pages = Pages()) pages->RemoveSheet(hwnd_);
  }

  void SetText(const std::string& text) override {
    TWinPeer::SetText(text);
    if (TWinPagesPeer* pages = Pages())
      pages->SetPageCaption(static_cast<TTabSheet&>(front_).PageIndex(), text);
  }
  void SetVisible(bool) override {}  // its page control shows it
  void SetBounds(const TRect& r) override {
    TWinPeer::SetBounds(r);
    FitToPages();
  }
  void Rescale() override {
    TWinPeer::Rescale();
    FitToPages();
  }

 protected:
  TWindowClass WindowClass() const override {
    TWindowClass wc{kBoxClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    wc.Visible = false;
    return wc;
  }
  void AfterCreate() override {
    if (TWinPagesPeer* pages = Pages()) pages->AddSheet(hwnd_);
  }

 private:
  // The sheet's background reaches the page frame's right and bottom edges
  // at every DPI: the frame's width is the tab control's, in pixels that do
  // not scale with the description's margins.
  void FitToPages() {
    TWinPagesPeer* pages = Pages();
    if (!hwnd_ || !pages || !pages->Hwnd()) return;
    TDpiAwareScope aware;
    RECT area{};
    GetClientRect(pages->Hwnd(), &area);
    SendMessageW(pages->Hwnd(), TCM_ADJUSTRECT, FALSE, LPARAM(&area));
    RECT mine{};
    GetWindowRect(hwnd_, &mine);
    MapWindowPoints(nullptr, pages->Hwnd(), reinterpret_cast<POINT*>(&mine), 2);
    if (area.right <= mine.left || area.bottom <= mine.top) return;
    MoveWindow(hwnd_, mine.left, mine.top, area.right - mine.left, area.bottom - mine.top, TRUE);
  }

  TWinPagesPeer* Pages() const {
    TWinPeer* parent = ParentPeer();
    return parent && parent->Front().Kind() == TKind::PageControl
               ? static_cast<TWinPagesPeer*>(parent)
               : nullptr;
  }
};

}  // namespace

bool StepPageOf(TWinPeer& pages, bool back) {
  if (pages.Front().Kind() != TKind::PageControl) return false;
  return static_cast<TWinPagesPeer&>(pages).Step(back);
}

std::unique_ptr<TWinPeer> MakeTabsPeer(TComponent& front, TWin32Backend& backend) {
  if (front.Kind() == TKind::TabSheet) return std::make_unique<TSheetPeer>(front, backend);
  return std::make_unique<TWinPagesPeer>(front, backend);
}

}  // namespace veltrin::ui::win32

#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>
// The layer's peers have a SetProp of their own.
#undef SetProp

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "ui/controls.h"
#include "ui/services.h"
#include "ui/win32/win32.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace veltrin::ui {
namespace {

constexpr wchar_t kFormClass[] = L"VeltrinForm";
constexpr wchar_t kBoxClass[] = L"VeltrinBox";
constexpr wchar_t kPeerProp[] = L"VeltrinPeer";
constexpr wchar_t kNameProp[] = L"Name";
// Posted to a form entering its modal run when a hook is to drive it.
constexpr UINT kMsgRunHook = WM_APP + 0x51;
constexpr int kFirstControlId = 1000;
constexpr UINT kFirstMenuId = 0x8000;
constexpr UINT kLastMenuId = 0xEFFF;
// The drop-down part of a combo box below its field.
constexpr int kComboDropHeight = 240;
// Item height of an owner-drawn list box, asked for while it is created.
int g_pendingItemHeight = 13;

HINSTANCE Module() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref);

class TWinPeer;
TWinPeer* PeerOf(HWND hwnd) {
  return hwnd ? static_cast<TWinPeer*>(GetPropW(hwnd, kPeerProp)) : nullptr;
}

COLORREF Resolve(TColor c, int sysDefault) {
  if (c == clDefault) return GetSysColor(sysDefault);
  if (c & kSysColorFlag) return GetSysColor(int(c & 0xFF));
  return COLORREF(c & 0xFFFFFF);
}

class TWin32Backend final : public TBackend, public TServices {
 public:
  ~TWin32Backend() override { Shutdown(); }
  const char* Name() const override { return "win32"; }
  std::unique_ptr<TPeer> CreatePeer(TComponent& front) override;
  TServices& Services() override { return *this; }

  TModalResult MessageDlg(TForm* owner, TMsgKind kind, const std::string& text,
                          const std::string& caption, TMsgButtons buttons,
                          bool defaultSecond) override;
  bool FileDialog(TForm* owner, TFileDialogState& state) override;
  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() override;
  void BeginWait() override;
  void EndWait() override;
  void RunProgram(const std::string& commandLine) override;

  void EnsureClasses();
  HFONT Font(const TFontSpec& want, bool bold);
  HBRUSH Brush(COLORREF color);
  UINT AddMenuCommand(TMenuItem* item);
  void RemoveMenuCommand(UINT id) { menus_.erase(id); }
  TMenuItem* MenuCommand(UINT id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
  }
  int NextControlId() {
    int id = nextId_;
    nextId_ = kFirstControlId + (nextId_ - kFirstControlId + 1) % 30000;
    return id;
  }
  bool Waiting() const { return waitDepth_ > 0; }
  void Shutdown();

 private:
  bool classesReady_ = false;
  std::map<std::tuple<std::wstring, int, int, bool>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<UINT, TMenuItem*> menus_;
  UINT nextMenu_ = kFirstMenuId;
  int nextId_ = kFirstControlId;
  int waitDepth_ = 0;
  HCURSOR savedCursor_ = nullptr;
};

TWin32Backend& Backend() {
  static TWin32Backend backend;
  return backend;
}

struct TPageTab {
  std::string Caption;
  bool Visible = true;
};

class TWinPeer final : public TPeer {
 public:
  TWinPeer(TComponent& front, TWin32Backend& backend);
  ~TWinPeer() override;

  void SetText(const std::string& text) override;
  std::string Text() const override;
  void SetProp(TProp prop, int32_t value) override;
  int32_t Prop(TProp prop) const override;
  void SetHint(const std::string& hint) override;
  std::string Hint() const override;
  void SetBounds(const TRect& r) override;
  void ItemsClear() override;
  void ItemsAdd(const std::string& text) override;
  void ItemsSet(int32_t index, const std::string& text) override;
  void ItemsDelete(int32_t index) override;
  std::string ItemsGet(int32_t index) const override;
  int32_t ItemsCount() const override;
  bool ItemSelected(int32_t index) const override;
  void SetItemSelected(int32_t index, bool selected) override;
  void SetItemProp(int32_t index, TProp prop, int32_t value) override;
  int32_t ItemProp(int32_t index, TProp prop) const override;
  void Repaint() override;
  void RunModal() override;
  void UserClick() override;
  void UserClickItem(int32_t index, TShift shift, bool doubleClick) override;
  void UserType(const std::wstring& keys) override;
  void UserSelectItem(int32_t index) override;
  void UserFormKey(TFormKey key) override;
  intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) override;

  // For the window procedures.
  TKind Kind() const { return kind_; }
  TComponent& Front() const { return front_; }
  TControl& Control() const { return static_cast<TControl&>(front_); }
  HWND Hwnd() const { return hwnd_; }
  void OnCommand(WORD code);
  void OnFormCommand(WORD id);
  LRESULT OnNotify(const NMHDR& header);
  HBRUSH CtlColor(HDC dc);
  void DrawItem(const DRAWITEMSTRUCT& dis);
  void PaintPanel();
  bool ShowPopup(LPARAM where);
  bool HandCursor() const { return (front_.Desc().Flags & kHandCursor) != 0; }
  COLORREF Background() const;
  void RunHook();

 private:
  void Create();
  void CreateForm();
  TWinPeer* ParentPeer() const {
    TComponent* p = front_.ParentComponent();
    return p ? static_cast<TWinPeer*>(p->PeerOrNull()) : nullptr;
  }
  TWinPeer* FormPeer() const {
    if (kind_ == TKind::Form) return const_cast<TWinPeer*>(this);
    return static_cast<TWinPeer*>(front_.Owner()->PeerOrNull());
  }
  HFONT CurrentFont() const { return backend_.Font(front_.Owner()->Font(), bold_); }
  bool IsMulti() const { return (front_.Desc().Flags & kMultiSelect) != 0; }
  bool IsVirtual() const { return (front_.Desc().Flags & kVirtual) != 0; }
  bool DropDownList() const { return (front_.Desc().Flags & kDropDownList) != 0; }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendMessageW(hwnd_, msg, wp, lp);
  }
  HWND Tooltip();
  void SyncTool();
  void SyncTabs();
  void ShowSheets();
  int TabPosition(int32_t page) const;
  void SetCount(int32_t count);
  void ApplyClientSize();

  TComponent& front_;
  TWin32Backend& backend_;
  TKind kind_;
  HWND hwnd_ = nullptr;
  HWND updown_ = nullptr;   // spin boxes
  HWND tooltip_ = nullptr;  // forms: the tooltip of all their controls
  HMENU menu_ = nullptr;    // popup menus
  std::vector<UINT> menuIds_;
  ATOM nameAtom_ = 0;
  TColor color_ = clDefault, fontColor_ = clDefault;
  bool bold_ = false;
  bool showHint_ = false;
  bool toolAdded_ = false;
  std::string hint_;
  int32_t tabHeight_ = 0;
  std::vector<TPageTab> pages_;
  std::vector<HWND> sheets_;
  int32_t active_ = 0;
  bool hasCaret_ = false;  // multi-select list: a current item exists
  int suppress_ = 0;       // programmatic change under way: no user events
  std::string lastText_;   // edit boxes: the text the last change event saw
  int clientW_ = 0, clientH_ = 0;
};

// ---- texts -------------------------------------------------------------------

}  // namespace

std::wstring GbkToWide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(936, 0, text.data(), int(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(936, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

std::string WideToGbk(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(936, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool Win32FileExists(const std::string& path) {
  std::wstring wide = GbkToWide(path);
  if (wide.empty()) return false;
  DWORD attrs = GetFileAttributesW(wide.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ControlName(HWND hwnd) {
  HANDLE h = GetPropW(hwnd, kNameProp);
  if (!h) return {};
  wchar_t buf[256] = {};
  UINT n = GlobalGetAtomNameW(ATOM(ULONG_PTR(h)), buf, 256);
  return WideToGbk(std::wstring(buf, n));
}

namespace {
struct TNameSearch {
  const std::string* Name;
  HWND Found;
};

BOOL CALLBACK MatchName(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TNameSearch*>(lp);
  if (ControlName(hwnd) == *s->Name) {
    s->Found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindControlByName(HWND root, const std::string& name) {
  if (root && ControlName(root) == name) return root;
  TNameSearch search{&name, nullptr};
  EnumChildWindows(root, MatchName, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

namespace {

// ---- the backend --------------------------------------------------------------

void TWin32Backend::EnsureClasses() {
  if (classesReady_) return;
  INITCOMMONCONTROLSEX icc{
      sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  for (const wchar_t* name : {kFormClass, kBoxClass}) {
    // A class left by an earlier load of this library at the same address
    // would point at code that is gone.
    UnregisterClassW(name, Module());
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | (name == kFormClass ? 0u : UINT(CS_HREDRAW | CS_VREDRAW));
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = Module();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register the window classes");
  }
  classesReady_ = true;
}

void TWin32Backend::Shutdown() {
  if (classesReady_) {
    UnregisterClassW(kFormClass, Module());
    UnregisterClassW(kBoxClass, Module());
    classesReady_ = false;
  }
  for (auto& f : fonts_) DeleteObject(f.second);
  fonts_.clear();
  for (auto& b : brushes_) DeleteObject(b.second);
  brushes_.clear();
}

HFONT TWin32Backend::Font(const TFontSpec& want, bool bold) {
  std::wstring face = GbkToWide(want.Name);
  auto key = std::make_tuple(face, want.Height, want.Charset, bold);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT font =
      CreateFontW(-want.Height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                  DWORD(want.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, face.empty() ? nullptr : face.c_str());
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(key, font);
  return font;
}

HBRUSH TWin32Backend::Brush(COLORREF color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(color);
  brushes_.emplace(color, b);
  return b;
}

UINT TWin32Backend::AddMenuCommand(TMenuItem* item) {
  for (UINT tries = 0; tries <= kLastMenuId - kFirstMenuId; ++tries) {
    UINT id = nextMenu_;
    nextMenu_ = nextMenu_ >= kLastMenuId ? kFirstMenuId : nextMenu_ + 1;
    if (!menus_.count(id)) {
      menus_.emplace(id, item);
      return id;
    }
  }
  throw std::runtime_error("too many menu items");
}

std::unique_ptr<TPeer> TWin32Backend::CreatePeer(TComponent& front) {
  EnsureClasses();
  return std::make_unique<TWinPeer>(front, *this);
}

HWND OwnerWindow(TForm* owner) {
  if (owner && owner->PeerOrNull()) {
    HWND h = static_cast<TWinPeer*>(owner->PeerOrNull())->Hwnd();
    if (IsWindowVisible(h)) return h;
  }
  return GetActiveWindow();
}

TModalResult TWin32Backend::MessageDlg(TForm* owner, TMsgKind kind, const std::string& text,
                                       const std::string& caption, TMsgButtons buttons,
                                       bool defaultSecond) {
  UINT flags = buttons == TMsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (kind) {
    case TMsgKind::Error:
      flags |= MB_ICONERROR;
      break;
    case TMsgKind::Info:
      flags |= MB_ICONINFORMATION;
      break;
    case TMsgKind::Question:
      flags |= MB_ICONQUESTION;
      break;
    case TMsgKind::Warning:
      flags |= MB_ICONWARNING;
      break;
  }
  if (defaultSecond) flags |= MB_DEFBUTTON2;
  int r =
      MessageBoxW(OwnerWindow(owner), GbkToWide(text).c_str(), GbkToWide(caption).c_str(), flags);
  return r == 0 ? mrCancel : TModalResult(r);
}

bool TWin32Backend::FileDialog(TForm* owner, TFileDialogState& state) {
  // "text|pattern|text|pattern" becomes the zero-separated list Win32 wants.
  std::wstring filter = GbkToWide(state.Filter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::wstring initial = GbkToWide(state.InitialDir);
  std::wstring ext = GbkToWide(state.DefaultExt);
  std::wstring title = GbkToWide(state.Title);
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring proposed = GbkToWide(state.FileName);
  std::copy_n(proposed.begin(), std::min(proposed.size(), file.size() - 1), file.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow(owner);
  ofn.lpstrFilter = state.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = DWORD(file.size());
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  BOOL ok = state.Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  state.FileName = WideToGbk(file.data());
  return true;
}

void TWin32Backend::SetClipboardText(const std::string& text) {
  std::wstring wide = GbkToWide(text);
  if (!OpenClipboard(nullptr)) throw std::runtime_error("the clipboard is not available");
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  if (mem) {
    auto* p = static_cast<wchar_t*>(GlobalLock(mem));
    std::copy(wide.begin(), wide.end(), p);
    p[wide.size()] = L'\0';
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
  }
  CloseClipboard();
}

std::string TWin32Backend::ClipboardText() {
  if (!OpenClipboard(nullptr)) return {};
  std::string out;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      out = WideToGbk(p);
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

void TWin32Backend::BeginWait() {
  if (waitDepth_++ == 0)
    savedCursor_ = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void TWin32Backend::EndWait() {
  if (waitDepth_ > 0 && --waitDepth_ == 0)
    SetCursor(savedCursor_ ? savedCursor_
                           : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void TWin32Backend::RunProgram(const std::string& commandLine) {
  WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

// ---- peers: creation -------------------------------------------------------------

TWinPeer::TWinPeer(TComponent& front, TWin32Backend& backend)
    : front_(front), backend_(backend), kind_(front.Kind()) {
  const TDesc& d = front.Desc();
  color_ = d.Color;
  fontColor_ = d.FontColor;
  bold_ = (d.Flags & kBold) != 0;
  showHint_ = (d.Flags & kShowHint) != 0;
  tabHeight_ = kind_ == TKind::PageControl ? d.ItemHeight : 0;
  Create();
}

void TWinPeer::CreateForm() {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, kFormClass,
                          GbkToWide(front_.Desc().Caption).c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, 200, 100, nullptr, nullptr, Module(), nullptr);
}

void TWinPeer::Create() {
  const TDesc& d = front_.Desc();
  if (kind_ == TKind::PopupMenu) {
    menu_ = CreatePopupMenu();
    if (!menu_) throw std::runtime_error("cannot create the menu '" + front_.Name() + "'");
    return;
  }
  if (kind_ == TKind::Form) {
    CreateForm();
  } else {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ex = 0;
    const wchar_t* cls = nullptr;
    if (!(d.Flags & kHidden)) style |= WS_VISIBLE;
    if (d.Flags & kDisabled) style |= WS_DISABLED;
    switch (kind_) {
      case TKind::Label:
        cls = L"STATIC";
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
      case TKind::Button:
        cls = L"BUTTON";
        style |= WS_TABSTOP | ((d.Flags & kFlat)      ? BS_OWNERDRAW
                               : (d.Flags & kDefault) ? BS_DEFPUSHBUTTON
                                                      : BS_PUSHBUTTON);
        break;
      case TKind::CheckBox:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
      case TKind::Edit:
      case TKind::SpinEdit:
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | ((d.Flags & kReadOnly) ? ES_READONLY : 0);
        ex |= WS_EX_CLIENTEDGE;
        break;
      case TKind::ListBox:
        cls = L"LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        if (IsMulti()) style |= LBS_EXTENDEDSEL;
        style |= IsVirtual() ? (LBS_NODATA | LBS_OWNERDRAWFIXED) : LBS_HASSTRINGS;
        if (d.Flags & kBorder) ex |= WS_EX_CLIENTEDGE;
        break;
      case TKind::ComboBox:
        cls = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL |
                 (DropDownList() ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL);
        break;
      case TKind::Panel:
        cls = kBoxClass;
        style |= WS_CLIPCHILDREN;
        ex |= WS_EX_CONTROLPARENT;
        break;
      case TKind::TabSheet:
        cls = kBoxClass;
        style = (style & ~WS_VISIBLE) | WS_CLIPCHILDREN;
        ex |= WS_EX_CONTROLPARENT;
        break;
      case TKind::PageControl:
        cls = WC_TABCONTROLW;
        style |= WS_TABSTOP | WS_CLIPCHILDREN;
        ex |= WS_EX_CONTROLPARENT;
        break;
      default:
        return;
    }
    TWinPeer* parent = ParentPeer();
    g_pendingItemHeight = d.ItemHeight > 0 ? d.ItemHeight : 13;
    int height = kind_ == TKind::ComboBox ? d.Height + kComboDropHeight : d.Height;
    std::wstring text = kind_ == TKind::ComboBox ? std::wstring() : GbkToWide(d.Caption);
    hwnd_ = CreateWindowExW(ex, cls, text.c_str(), style, d.Left, d.Top, std::max(0, d.Width),
                            std::max(0, height), parent ? parent->hwnd_ : nullptr,
                            reinterpret_cast<HMENU>(INT_PTR(backend_.NextControlId())), Module(),
                            nullptr);
  }
  if (!hwnd_) throw std::runtime_error("cannot create the window of '" + front_.Name() + "'");
  SetPropW(hwnd_, kPeerProp, this);
  lastText_ = d.Caption;
  nameAtom_ = GlobalAddAtomW(GbkToWide(front_.Name()).c_str());
  SetPropW(hwnd_, kNameProp, reinterpret_cast<HANDLE>(ULONG_PTR(nameAtom_)));
  Send(WM_SETFONT, WPARAM(CurrentFont()), FALSE);

  switch (kind_) {
    case TKind::CheckBox:
      if (d.Flags & kChecked) Send(BM_SETCHECK, BST_CHECKED);
      break;
    case TKind::Edit:
      SetWindowSubclass(hwnd_, EditSubclass, 1, DWORD_PTR(this));
      break;
    case TKind::SpinEdit: {
      SetWindowSubclass(hwnd_, EditSubclass, 1, DWORD_PTR(this));
      DWORD style = WS_CHILD | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS;
      if (!(d.Flags & kHidden)) style |= WS_VISIBLE;
      if (d.Flags & kDisabled) style |= WS_DISABLED;
      updown_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, style, 0, 0, 0, 0, GetParent(hwnd_),
                                reinterpret_cast<HMENU>(INT_PTR(backend_.NextControlId())),
                                Module(), nullptr);
      SendMessageW(updown_, UDM_SETRANGE32, WPARAM(d.Min), LPARAM(d.Max));
      SendMessageW(updown_, UDM_SETBUDDY, WPARAM(hwnd_), 0);
      ++suppress_;
      SetWindowTextW(hwnd_, GbkToWide(d.Caption).c_str());
      --suppress_;
      break;
    }
    case TKind::ListBox:
      if (d.ItemHeight > 0) Send(LB_SETITEMHEIGHT, 0, d.ItemHeight);
      break;
    case TKind::ComboBox:
      // A box that takes typing starts with its described text.
      if (!DropDownList()) SetWindowTextW(hwnd_, GbkToWide(d.Caption).c_str());
      break;
    case TKind::PageControl:
      if (tabHeight_ > 0) Send(TCM_SETITEMSIZE, 0, MAKELPARAM(0, tabHeight_));
      break;
    case TKind::TabSheet:
      if (TWinPeer* pages = ParentPeer()) pages->sheets_.push_back(hwnd_);
      break;
    default:
      break;
  }
  if (showHint_) SyncTool();
}

TWinPeer::~TWinPeer() {
  for (UINT id : menuIds_) backend_.RemoveMenuCommand(id);
  if (menu_) DestroyMenu(menu_);
  if (!hwnd_) return;
  if (toolAdded_) {
    showHint_ = false;
    SyncTool();
  }
  // No notification of the dying window may reach a front that is going.
  RemovePropW(hwnd_, kPeerProp);
  RemovePropW(hwnd_, kNameProp);
  if (nameAtom_) GlobalDeleteAtom(nameAtom_);
  if (kind_ == TKind::TabSheet)
    if (TWinPeer* pages = ParentPeer())
      pages->sheets_.erase(std::remove(pages->sheets_.begin(), pages->sheets_.end(), hwnd_),
                           pages->sheets_.end());
  if (updown_) DestroyWindow(updown_);
  if (tooltip_) DestroyWindow(tooltip_);
  DestroyWindow(hwnd_);
}

// ---- peers: state ------------------------------------------------------------------

void TWinPeer::SetText(const std::string& text) {
  if (!hwnd_) return;
  if (kind_ == TKind::ComboBox && DropDownList()) {
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
    return;
  }
  ++suppress_;
  SetWindowTextW(hwnd_, GbkToWide(text).c_str());
  --suppress_;
  lastText_ = text;
  if (kind_ == TKind::TabSheet) {
    if (TWinPeer* pages = ParentPeer()) {
      int32_t index = static_cast<TTabSheet&>(front_).PageIndex();
      if (index >= 0 && index < int32_t(pages->pages_.size())) {
        pages->pages_[size_t(index)].Caption = text;
        pages->SyncTabs();
      }
    }
  }
  if (kind_ == TKind::Label || kind_ == TKind::Panel) InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string TWinPeer::Text() const {
  if (!hwnd_) return {};
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring buf(size_t(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, buf.data(), n + 1);
  buf.resize(size_t(std::max(0, n)));
  return WideToGbk(buf);
}

void TWinPeer::SetProp(TProp prop, int32_t value) {
  switch (prop) {
    case TProp::Enabled:
      if (hwnd_) EnableWindow(hwnd_, value != 0);
      if (updown_) EnableWindow(updown_, value != 0);
      if (kind_ == TKind::Label) InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case TProp::Visible:
      if (kind_ == TKind::Form || kind_ == TKind::TabSheet) break;  // shown by their runs
      if (hwnd_) ShowWindow(hwnd_, value ? SW_SHOWNA : SW_HIDE);
      if (updown_) ShowWindow(updown_, value ? SW_SHOWNA : SW_HIDE);
      break;
    case TProp::Checked:
      Send(BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED);
      break;
    case TProp::ItemIndex:
      ++suppress_;
      if (kind_ == TKind::ComboBox) {
        Send(CB_SETCURSEL, WPARAM(value));
      } else if (kind_ == TKind::ListBox) {
        if (!IsMulti()) {
          Send(LB_SETCURSEL, WPARAM(value));
        } else if (value < 0) {
          hasCaret_ = false;
        } else {
          Send(LB_SETCARETINDEX, WPARAM(value), FALSE);
          hasCaret_ = true;
        }
      }
      --suppress_;
      break;
    case TProp::Count:
      SetCount(value);
      break;
    case TProp::TopIndex:
      Send(LB_SETTOPINDEX, WPARAM(value));
      break;
    case TProp::Color:
      color_ = TColor(value);
      if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case TProp::FontColor:
      fontColor_ = TColor(value);
      if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case TProp::FontBold:
      bold_ = value != 0;
      if (hwnd_) Send(WM_SETFONT, WPARAM(CurrentFont()), TRUE);
      break;
    case TProp::MaxLength:
      Send(EM_LIMITTEXT, WPARAM(value));
      break;
    case TProp::ReadOnly:
      Send(EM_SETREADONLY, value != 0);
      break;
    case TProp::Min:
    case TProp::Max: {
      if (!updown_) break;
      int lo = 0, hi = 0;
      SendMessageW(updown_, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
      (prop == TProp::Min ? lo : hi) = value;
      SendMessageW(updown_, UDM_SETRANGE32, WPARAM(lo), LPARAM(hi));
      break;
    }
    case TProp::ShowHint:
      showHint_ = value != 0;
      SyncTool();
      break;
    case TProp::ActivePage:
      active_ = value;
      SyncTabs();
      break;
    case TProp::TabHeight:
      tabHeight_ = value;
      Send(TCM_SETITEMSIZE, 0, MAKELPARAM(0, value));
      break;
    case TProp::TabVisible:
      break;
    case TProp::ClientWidth:
      clientW_ = value;
      ApplyClientSize();
      break;
    case TProp::ClientHeight:
      clientH_ = value;
      ApplyClientSize();
      break;
    case TProp::FrameWidth:
    case TProp::FrameHeight:
      break;  // what the frame takes follows from the window's style
  }
}

void TWinPeer::ApplyClientSize() {
  DWORD style = DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  DWORD ex = DWORD(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT r{0, 0, clientW_, clientH_};
  AdjustWindowRectEx(&r, style, FALSE, ex);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Correct for whatever the frame really takes.
  RECT c{};
  GetClientRect(hwnd_, &c);
  int dw = clientW_ - (c.right - c.left), dh = clientH_ - (c.bottom - c.top);
  if (dw || dh)
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t TWinPeer::Prop(TProp prop) const {
  switch (prop) {
    case TProp::Enabled:
      return hwnd_ ? IsWindowEnabled(hwnd_) != 0 : 1;
    case TProp::Visible:
      return hwnd_ ? (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0 : 0;
    case TProp::Checked:
      return Send(BM_GETCHECK) == BST_CHECKED;
    case TProp::ItemIndex:
      if (kind_ == TKind::ComboBox) return int32_t(Send(CB_GETCURSEL));
      if (kind_ != TKind::ListBox) return -1;
      if (!IsMulti()) return int32_t(Send(LB_GETCURSEL));
      return hasCaret_ && Send(LB_GETCOUNT) > 0 ? int32_t(Send(LB_GETCARETINDEX)) : -1;
    case TProp::Count:
      return ItemsCount();
    case TProp::TopIndex:
      return int32_t(Send(LB_GETTOPINDEX));
    case TProp::Color:
      return int32_t(color_);
    case TProp::FontColor:
      return int32_t(fontColor_);
    case TProp::FontBold:
      return bold_;
    case TProp::MaxLength: {
      LRESULT n = Send(EM_GETLIMITTEXT);
      // The edit control's own "no limit" values.
      return n >= 0x7FFFFFFE || n <= 0 ? 0 : int32_t(n);
    }
    case TProp::ReadOnly:
      return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
    case TProp::Min:
    case TProp::Max: {
      if (!updown_) return 0;
      int lo = 0, hi = 0;
      SendMessageW(updown_, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
      return prop == TProp::Min ? lo : hi;
    }
    case TProp::ShowHint:
      return showHint_;
    case TProp::ActivePage: {
      LRESULT sel = Send(TCM_GETCURSEL);
      if (sel < 0) return active_;
      TCITEMW item{};
      item.mask = TCIF_PARAM;
      Send(TCM_GETITEMW, WPARAM(sel), LPARAM(&item));
      return int32_t(item.lParam);
    }
    case TProp::TabHeight:
      return tabHeight_;
    case TProp::TabVisible:
      return 0;
    case TProp::ClientWidth:
    case TProp::ClientHeight: {
      RECT c{};
      GetClientRect(hwnd_, &c);
      return prop == TProp::ClientWidth ? c.right - c.left : c.bottom - c.top;
    }
    case TProp::FrameWidth:
    case TProp::FrameHeight: {
      RECT w{}, c{};
      GetWindowRect(hwnd_, &w);
      GetClientRect(hwnd_, &c);
      return prop == TProp::FrameWidth ? (w.right - w.left) - c.right
                                       : (w.bottom - w.top) - c.bottom;
    }
  }
  return 0;
}

HWND TWinPeer::Tooltip() {
  if (kind_ != TKind::Form) return FormPeer() ? FormPeer()->Tooltip() : nullptr;
  if (!tooltip_) {
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Module(), nullptr);
    // Long code lists wrap instead of running off the screen.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 300);
    SendMessageW(tooltip_, WM_SETFONT, WPARAM(CurrentFont()), FALSE);
  }
  return tooltip_;
}

void TWinPeer::SyncTool() {
  if (!hwnd_ || kind_ == TKind::Form) return;
  bool want = showHint_ && !hint_.empty();
  if (!want && !toolAdded_) return;
  HWND tip = Tooltip();
  if (!tip) return;
  std::wstring text = GbkToWide(hint_);
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(hwnd_);
  ti.uId = UINT_PTR(hwnd_);
  ti.hinst = Module();
  ti.lpszText = text.data();
  if (want && !toolAdded_) {
    toolAdded_ = SendMessageW(tip, TTM_ADDTOOLW, 0, LPARAM(&ti)) != 0;
  } else if (want) {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, LPARAM(&ti));
  } else {
    SendMessageW(tip, TTM_DELTOOLW, 0, LPARAM(&ti));
    toolAdded_ = false;
  }
}

void TWinPeer::SetHint(const std::string& hint) {
  hint_ = hint;
  SyncTool();
}

std::string TWinPeer::Hint() const {
  if (!toolAdded_) return hint_;
  // The tooltip holds the shown hint.
  std::vector<wchar_t> buf(4096, L'\0');
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = GetParent(hwnd_);
  ti.uId = UINT_PTR(hwnd_);
  ti.lpszText = buf.data();
  SendMessageW(const_cast<TWinPeer*>(this)->Tooltip(), TTM_GETTEXTW, WPARAM(buf.size()),
               LPARAM(&ti));
  return WideToGbk(buf.data());
}

void TWinPeer::SetBounds(const TRect& r) {
  if (!hwnd_ || kind_ == TKind::Form) return;
  if (kind_ == TKind::ComboBox) {
    MoveWindow(hwnd_, r.Left, r.Top, r.Width, r.Height + kComboDropHeight, TRUE);
    // The field's height as designed, inside its 3-pixel frame.
    if (r.Height > 8) Send(CB_SETITEMHEIGHT, WPARAM(-1), r.Height - 6);
    return;
  }
  MoveWindow(hwnd_, r.Left, r.Top, r.Width, r.Height, TRUE);
  // The arrows take their place inside the box's width again.
  if (updown_) SendMessageW(updown_, UDM_SETBUDDY, WPARAM(hwnd_), 0);
}

// ---- peers: items ------------------------------------------------------------------

void TWinPeer::ItemsClear() {
  ++suppress_;
  switch (kind_) {
    case TKind::ListBox:
      if (IsVirtual())
        Send(LB_SETCOUNT, 0);
      else
        Send(LB_RESETCONTENT);
      hasCaret_ = false;
      break;
    case TKind::ComboBox:
      Send(CB_RESETCONTENT);
      break;
    case TKind::PopupMenu:
      while (GetMenuItemCount(menu_) > 0) DeleteMenu(menu_, 0, MF_BYPOSITION);
      for (UINT id : menuIds_) backend_.RemoveMenuCommand(id);
      menuIds_.clear();
      break;
    case TKind::PageControl:
      pages_.clear();
      SyncTabs();
      break;
    default:
      break;
  }
  --suppress_;
}

void TWinPeer::ItemsAdd(const std::string& text) {
  std::wstring wide = GbkToWide(text);
  switch (kind_) {
    case TKind::ListBox:
      Send(LB_ADDSTRING, 0, LPARAM(wide.c_str()));
      break;
    case TKind::ComboBox:
      Send(CB_ADDSTRING, 0, LPARAM(wide.c_str()));
      break;
    case TKind::PopupMenu: {
      auto& menu = static_cast<TPopupMenu&>(front_);
      size_t index = size_t(GetMenuItemCount(menu_));
      if (text == "-") {
        AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
        menuIds_.push_back(0);
      } else {
        TMenuItem* item = index < menu.Items().size() ? menu.Items()[index] : nullptr;
        UINT id = backend_.AddMenuCommand(item);
        menuIds_.push_back(id);
        AppendMenuW(menu_, MF_STRING, id, wide.c_str());
      }
      break;
    }
    case TKind::PageControl:
      pages_.push_back({text, true});
      SyncTabs();
      break;
    default:
      break;
  }
}

void TWinPeer::ItemsSet(int32_t index, const std::string& text) {
  if (kind_ == TKind::PageControl) {
    if (index >= 0 && index < int32_t(pages_.size())) pages_[size_t(index)].Caption = text;
    SyncTabs();
    return;
  }
  if (kind_ != TKind::ListBox || IsVirtual()) return;
  bool selected = ItemSelected(index);
  int32_t current = Prop(TProp::ItemIndex);
  ++suppress_;
  Send(LB_DELETESTRING, WPARAM(index));
  Send(LB_INSERTSTRING, WPARAM(index), LPARAM(GbkToWide(text).c_str()));
  --suppress_;
  if (selected) SetItemSelected(index, true);
  if (current >= 0) SetProp(TProp::ItemIndex, current);
}

void TWinPeer::ItemsDelete(int32_t index) {
  if (kind_ != TKind::ListBox || IsVirtual()) return;
  int32_t current = Prop(TProp::ItemIndex);
  ++suppress_;
  Send(LB_DELETESTRING, WPARAM(index));
  --suppress_;
  // The current item follows its item; when its own went, a multi-select
  // list keeps the place and a single-select list has none.
  int32_t n = ItemsCount();
  if (current > index)
    --current;
  else if (current == index)
    current = IsMulti() ? std::min(current, n - 1) : -1;
  SetProp(TProp::ItemIndex, current);
}

std::string TWinPeer::ItemsGet(int32_t index) const {
  switch (kind_) {
    case TKind::ListBox: {
      if (IsVirtual()) return {};
      LRESULT n = Send(LB_GETTEXTLEN, WPARAM(index));
      if (n == LB_ERR) return {};
      std::wstring buf(size_t(n) + 1, L'\0');
      n = Send(LB_GETTEXT, WPARAM(index), LPARAM(buf.data()));
      buf.resize(size_t(std::max<LRESULT>(0, n)));
      return WideToGbk(buf);
    }
    case TKind::ComboBox: {
      LRESULT n = Send(CB_GETLBTEXTLEN, WPARAM(index));
      if (n == CB_ERR) return {};
      std::wstring buf(size_t(n) + 1, L'\0');
      n = Send(CB_GETLBTEXT, WPARAM(index), LPARAM(buf.data()));
      buf.resize(size_t(std::max<LRESULT>(0, n)));
      return WideToGbk(buf);
    }
    case TKind::PopupMenu: {
      if (index >= 0 && size_t(index) < menuIds_.size() && menuIds_[size_t(index)] == 0) return "-";
      wchar_t buf[512] = {};
      int n = GetMenuStringW(menu_, UINT(index), buf, 512, MF_BYPOSITION);
      return WideToGbk(std::wstring(buf, size_t(std::max(0, n))));
    }
    case TKind::PageControl:
      return index >= 0 && index < int32_t(pages_.size()) ? pages_[size_t(index)].Caption
                                                          : std::string();
    default:
      return {};
  }
}

int32_t TWinPeer::ItemsCount() const {
  switch (kind_) {
    case TKind::ListBox:
      return int32_t(Send(LB_GETCOUNT));
    case TKind::ComboBox:
      return int32_t(Send(CB_GETCOUNT));
    case TKind::PopupMenu:
      return GetMenuItemCount(menu_);
    case TKind::PageControl:
      return int32_t(pages_.size());
    default:
      return 0;
  }
}

bool TWinPeer::ItemSelected(int32_t index) const {
  if (kind_ != TKind::ListBox) return false;
  if (!IsMulti()) return Send(LB_GETCURSEL) == index;
  return Send(LB_GETSEL, WPARAM(index)) > 0;
}

void TWinPeer::SetItemSelected(int32_t index, bool selected) {
  if (kind_ != TKind::ListBox) return;
  ++suppress_;
  if (!IsMulti()) {
    if (selected)
      Send(LB_SETCURSEL, WPARAM(index));
    else if (Send(LB_GETCURSEL) == index)
      Send(LB_SETCURSEL, WPARAM(-1));
  } else {
    // LB_SETSEL moves the focus rectangle; the current item stays put.
    int32_t current = Prop(TProp::ItemIndex);
    Send(LB_SETSEL, selected, LPARAM(index));
    if (current >= 0) Send(LB_SETCARETINDEX, WPARAM(current), FALSE);
  }
  --suppress_;
}

void TWinPeer::SetCount(int32_t count) {
  if (kind_ != TKind::ListBox || !IsVirtual()) return;
  count = std::max(0, count);
  // Selection and the current item survive on the items that remain, as
  // the headless list keeps them.
  int32_t old = ItemsCount();
  std::vector<int32_t> selected;
  for (int32_t i = 0, n = std::min(old, count); i < n; ++i)
    if (ItemSelected(i)) selected.push_back(i);
  int32_t current = Prop(TProp::ItemIndex);
  ++suppress_;
  Send(LB_SETCOUNT, WPARAM(count));
  if (IsMulti()) {
    Send(LB_SETSEL, FALSE, -1);
    for (int32_t i : selected) Send(LB_SETSEL, TRUE, LPARAM(i));
  }
  --suppress_;
  if (current >= count) current = count - 1;
  SetProp(TProp::ItemIndex, current);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinPeer::SetItemProp(int32_t index, TProp prop, int32_t value) {
  if (kind_ == TKind::PageControl && prop == TProp::TabVisible && index >= 0 &&
      index < int32_t(pages_.size())) {
    pages_[size_t(index)].Visible = value != 0;
    SyncTabs();
  }
}

int32_t TWinPeer::ItemProp(int32_t index, TProp prop) const {
  if (kind_ != TKind::PageControl || prop != TProp::TabVisible) return 0;
  return TabPosition(index) >= 0;
}

int TWinPeer::TabPosition(int32_t page) const {
  // Reads the tab control: the tab whose item names the page.
  LRESULT n = Send(TCM_GETITEMCOUNT);
  for (int pos = 0; pos < n; ++pos) {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    Send(TCM_GETITEMW, WPARAM(pos), LPARAM(&item));
    if (item.lParam == page) return pos;
  }
  return -1;
}

void TWinPeer::SyncTabs() {
  if (kind_ != TKind::PageControl || !hwnd_) return;
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

void TWinPeer::ShowSheets() {
  for (size_t i = 0; i < sheets_.size(); ++i)
    ShowWindow(sheets_[i], int32_t(i) == active_ ? SW_SHOWNA : SW_HIDE);
}

void TWinPeer::Repaint() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

// ---- peers: notifications and drawing ---------------------------------------------------

void TWinPeer::OnCommand(WORD code) {
  switch (kind_) {
    case TKind::Button:
    case TKind::CheckBox:
      if (code == BN_CLICKED) Control().UserInput(TInput::Click);
      break;
    case TKind::Label:
      if (code == STN_CLICKED)
        Control().UserInput(TInput::Click);
      else if (code == STN_DBLCLK)
        Control().UserInput(TInput::DblClick);
      break;
    case TKind::Edit:
    case TKind::SpinEdit:
      // Only a real change counts: the edit control also reports keys it
      // refused at its length limit.
      if (code == EN_CHANGE && suppress_ == 0) {
        std::string text = Text();
        if (text != lastText_) {
          lastText_ = std::move(text);
          Control().UserInput(TInput::Change);
        }
      }
      break;
    case TKind::ListBox:
      if (code == LBN_SELCHANGE && suppress_ == 0) {
        hasCaret_ = true;
        Control().UserInput(TInput::Click);
      } else if (code == LBN_DBLCLK) {
        Control().UserInput(TInput::DblClick);
      }
      break;
    case TKind::ComboBox:
      if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && suppress_ == 0)
        Control().UserInput(TInput::Change);
      break;
    default:
      break;
  }
}

void TWinPeer::OnFormCommand(WORD id) {
  auto& form = static_cast<TForm&>(front_);
  if (id == IDOK) {
    form.UserFormKey(TFormKey::Enter);
  } else if (id == IDCANCEL) {
    form.UserFormKey(TFormKey::Escape);
  } else if (TMenuItem* item = backend_.MenuCommand(id)) {
    item->UserChoose();
  }
}

LRESULT TWinPeer::OnNotify(const NMHDR& header) {
  if (kind_ == TKind::PageControl && header.code == TCN_SELCHANGE && suppress_ == 0) {
    LRESULT sel = Send(TCM_GETCURSEL);
    if (sel >= 0) {
      TCITEMW item{};
      item.mask = TCIF_PARAM;
      Send(TCM_GETITEMW, WPARAM(sel), LPARAM(&item));
      active_ = int32_t(item.lParam);
      ShowSheets();
    }
    Control().UserInput(TInput::Change);
  }
  return 0;
}

COLORREF TWinPeer::Background() const {
  switch (kind_) {
    case TKind::Edit:
    case TKind::SpinEdit:
      if (color_ == clDefault && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY))
        return GetSysColor(COLOR_BTNFACE);
      return Resolve(color_, COLOR_WINDOW);
    case TKind::ListBox:
    case TKind::ComboBox:
      return Resolve(color_, COLOR_WINDOW);
    case TKind::Label:
    case TKind::CheckBox:
      // Without a colour of their own they show their parent's.
      if (color_ == clDefault)
        if (TWinPeer* parent = ParentPeer()) return parent->Background();
      return Resolve(color_, COLOR_BTNFACE);
    default:
      return Resolve(color_, COLOR_BTNFACE);
  }
}

HBRUSH TWinPeer::CtlColor(HDC dc) {
  COLORREF bg = Background();
  SetTextColor(dc, Resolve(fontColor_, COLOR_WINDOWTEXT));
  SetBkColor(dc, bg);
  return backend_.Brush(bg);
}

void TWinPeer::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  const uint32_t flags = front_.Desc().Flags;
  if (kind_ == TKind::Label) {
    FillRect(dc, &rc, backend_.Brush(Background()));
    COLORREF ink = IsWindowEnabled(hwnd_) ? Resolve(fontColor_, COLOR_WINDOWTEXT)
                                          : GetSysColor(COLOR_GRAYTEXT);
    RECT textRect = rc;
    if (flags & kGroove) {
      // A groove: a dark line (the groove's own colour, else the font's)
      // with a light line inside it; the text stays inside both, whatever
      // the font's first glyph reaches.
      const TColor groove = front_.Desc().GrooveColor;
      HBRUSH dark = backend_.Brush(groove != clDefault ? Resolve(groove, COLOR_BTNSHADOW)
                                                       : Resolve(fontColor_, COLOR_BTNSHADOW));
      FrameRect(dc, &rc, dark);
      RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
      FrameRect(dc, &inner, backend_.Brush(GetSysColor(COLOR_BTNHIGHLIGHT)));
      InflateRect(&textRect, -2, -2);
    }
    SetTextColor(dc, ink);
    UINT align = (flags & kTextRight) ? DT_RIGHT : (flags & kTextCenter) ? DT_CENTER : DT_LEFT;
    UINT vert = (flags & kGroove) ? DT_VCENTER : DT_TOP;
    std::wstring text = GbkToWide(Text());
    DrawTextW(dc, text.c_str(), int(text.size()), &textRect,
              align | vert | DT_SINGLELINE | DT_NOPREFIX);
  } else if (kind_ == TKind::ListBox) {
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
      RECT tr{rc.left + 2, rc.top, rc.right, rc.bottom};
      DrawTextW(dc, wide.c_str(), int(wide.size()), &tr,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
  } else if (kind_ == TKind::Button) {
    // A flat button: its face, a frame only while pressed.
    FillRect(dc, &rc, backend_.Brush(Background()));
    if (dis.itemState & ODS_SELECTED) DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
    SetTextColor(dc, (dis.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT)
                                                    : Resolve(fontColor_, COLOR_BTNTEXT));
    std::wstring text = GbkToWide(Text());
    DrawTextW(dc, text.c_str(), int(text.size()), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (dis.itemState & ODS_FOCUS) {
      RECT fr{rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
      DrawFocusRect(dc, &fr);
    }
  }
  SelectObject(dc, oldFont);
}

void TWinPeer::PaintPanel() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const uint32_t flags = front_.Desc().Flags;
  if (flags & kBevel) DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
  std::wstring text = GbkToWide(Text());
  if (!text.empty()) {
    HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Resolve(fontColor_, COLOR_WINDOWTEXT));
    RECT tr{rc.left + 2, rc.top, rc.right - 2, rc.bottom};
    UINT align = (flags & kTextRight) ? DT_RIGHT : (flags & kTextCenter) ? DT_CENTER : DT_LEFT;
    DrawTextW(dc, text.c_str(), int(text.size()), &tr,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }
  EndPaint(hwnd_, &ps);
}

bool TWinPeer::ShowPopup(LPARAM where) {
  if (kind_ == TKind::Form || kind_ == TKind::PopupMenu) return false;
  TPopupMenu* popup = Control().PopupMenu();
  if (!popup || !popup->PeerOrNull()) return false;
  POINT pt{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {  // from the keyboard: at the control
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    pt = POINT{rc.left + 8, rc.top + 8};
  }
  auto* menuPeer = static_cast<TWinPeer*>(popup->PeerOrNull());
  // The chosen item comes back to the form as a menu command.
  TrackPopupMenu(menuPeer->menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, FormPeer()->hwnd_,
                 nullptr);
  return true;
}

// ---- peers: modal runs and user input ----------------------------------------------------

BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM lp) {
  auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(lp);
  if (hwnd != list->first && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    EnableWindow(hwnd, FALSE);
    list->second.push_back(hwnd);
  }
  return TRUE;
}

void TWinPeer::RunModal() {
  auto& form = static_cast<TForm&>(front_);
  HWND owner = GetActiveWindow();
  if (owner == hwnd_) owner = nullptr;
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, LONG_PTR(owner));
  // The thread's other windows wait while this one is up.
  std::pair<HWND, std::vector<HWND>> disabled{hwnd_, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOthers, LPARAM(&disabled));

  // Under a hook the window stays hidden: the hook answers in place of a
  // person, and a window that was never shown spares the wait for a window
  // manager when it is hidden again.
  const bool shown = Hook() == nullptr;
  if (shown) {
    RECT wr;
    GetWindowRect(hwnd_, &wr);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
    SetWindowPos(hwnd_, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
  } else {
    PostMessageW(hwnd_, kMsgRunHook, 0, 0);
  }

  MSG msg;
  while (form.ModalResult() == mrNone) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) {
      // The application is quitting: pass the request on to the outer loop.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (r < 0) break;
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
  for (HWND other : disabled.second) EnableWindow(other, TRUE);
  if (shown) ShowWindow(hwnd_, SW_HIDE);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
}

void TWinPeer::RunHook() {
  auto& form = static_cast<TForm&>(front_);
  if (TUiHook* hook = Hook()) RunGuarded([&] { hook->Modal(form); });
  // Under a hook nobody else is there to close the window.
  if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
}

void TWinPeer::UserClick() {
  switch (kind_) {
    case TKind::Button:
    case TKind::CheckBox:
      Send(BM_CLICK);
      break;
    case TKind::Label:
      Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      Send(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
      break;
    default:
      break;
  }
}

void TWinPeer::UserClickItem(int32_t index, TShift shift, bool doubleClick) {
  if (kind_ != TKind::ListBox) return;
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

void TWinPeer::UserType(const std::wstring& keys) {
  if (kind_ != TKind::Edit && kind_ != TKind::SpinEdit) return;
  int end = GetWindowTextLengthW(hwnd_);
  Send(EM_SETSEL, WPARAM(end), LPARAM(end));
  for (wchar_t key : keys) Send(WM_CHAR, WPARAM(key), 1);
}

void TWinPeer::UserSelectItem(int32_t index) {
  switch (kind_) {
    case TKind::ComboBox:
      // What the combo box does when the user picks from its list.
      Send(CB_SETCURSEL, WPARAM(index));
      SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), CBN_SELCHANGE),
                   LPARAM(hwnd_));
      break;
    case TKind::PageControl: {
      int pos = TabPosition(index);
      RECT rc{};
      if (pos < 0 || !Send(TCM_GETITEMRECT, WPARAM(pos), LPARAM(&rc))) return;
      LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
      Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
      Send(WM_LBUTTONUP, 0, at);
      break;
    }
    case TKind::PopupMenu:
      if (index >= 0 && size_t(index) < menuIds_.size() && menuIds_[size_t(index)] != 0) {
        TWinPeer* form = FormPeer();
        SendMessageW(form->hwnd_, WM_COMMAND, MAKEWPARAM(menuIds_[size_t(index)], 0), 0);
      }
      break;
    default:
      break;
  }
}

void TWinPeer::UserFormKey(TFormKey key) {
  if (kind_ != TKind::Form) return;
  switch (key) {
    // What IsDialogMessage sends for Enter and Esc.
    case TFormKey::Enter:
      Send(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
      break;
    case TFormKey::Escape:
      Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
      break;
    case TFormKey::CloseBox:
      Send(WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

intptr_t TWinPeer::UserCopyData(uintptr_t tag, const void* data, size_t size) {
  if (kind_ != TKind::Form) return 0;
  COPYDATASTRUCT cds{};
  cds.dwData = ULONG_PTR(tag);
  cds.cbData = DWORD(size);
  cds.lpData = const_cast<void*>(data);
  return intptr_t(Send(WM_COPYDATA, 0, LPARAM(&cds)));
}

// ---- window procedures ---------------------------------------------------------------------

LRESULT HandleBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  handled = true;
  TWinPeer* self = PeerOf(hwnd);
  switch (msg) {
    case WM_COMMAND:
      if (lp) {
        if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(lp))) {
          child->OnCommand(HIWORD(wp));
          return 0;
        }
      } else if (self && self->Kind() == TKind::Form) {
        self->OnFormCommand(LOWORD(wp));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (TWinPeer* child = header ? PeerOf(header->hwndFrom) : nullptr)
        return child->OnNotify(*header);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      HWND from = reinterpret_cast<HWND>(lp);
      TWinPeer* child = PeerOf(from);
      if (!child) child = PeerOf(GetParent(from));  // the edit inside a combo box
      if (child) return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wp)));
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (TWinPeer* child = dis ? PeerOf(dis->hwndItem) : nullptr) {
        child->DrawItem(*dis);
        return TRUE;
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis && mis->CtlType == ODT_LISTBOX) {
        mis->itemHeight = UINT(g_pendingItemHeight);
        return TRUE;
      }
      break;
    }
    case WM_CONTEXTMENU:
      if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(wp)))
        if (child->ShowPopup(lp)) return 0;
      break;
    case WM_SETCURSOR:
      if (Backend().Waiting()) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        return TRUE;
      }
      if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(wp)))
        if (child->HandCursor()) {
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          return TRUE;
        }
      break;
    case WM_ERASEBKGND:
      if (self) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, Backend().Brush(self->Background()));
        return 1;
      }
      break;
    case WM_PAINT:
      if (self && self->Kind() == TKind::Panel) {
        self->PaintPanel();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (self && self->Kind() == TKind::Form) {
        static_cast<TForm&>(self->Front()).UserFormKey(TFormKey::CloseBox);
        return 0;
      }
      break;
    case WM_COPYDATA:
      if (self && self->Kind() == TKind::Form) {
        auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (!cds) return 0;
        return LRESULT(
            static_cast<TForm&>(self->Front()).UserCopyData(cds->dwData, cds->lpData, cds->cbData));
      }
      break;
    case kMsgRunHook:
      if (self && self->Kind() == TKind::Form) {
        self->RunHook();
        return 0;
      }
      break;
    default:
      break;
  }
  handled = false;
  return 0;
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Nothing thrown may unwind into the system's message dispatch.
  try {
    bool handled = false;
    LRESULT r = HandleBox(hwnd, msg, wp, lp, handled);
    if (handled) return r;
  } catch (...) {
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref) {
  if (msg == WM_CHAR) {
    auto* peer = reinterpret_cast<TWinPeer*>(ref);
    if (PeerOf(hwnd) == peer) {
      wchar_t key = peer->Control().UserKeyPress(wchar_t(wp));
      if (key == 0) return 0;
      wp = WPARAM(key);
    }
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, EditSubclass, id);
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TBackend* Win32Backend() { return &Backend(); }

HWND WindowOf(const TComponent& component) {
  TForm* owner = component.Owner();
  if (!owner || &owner->Backend() != &Backend() || !component.PeerOrNull()) return nullptr;
  return static_cast<TWinPeer*>(component.PeerOrNull())->Hwnd();
}

void Win32Shutdown() { Backend().Shutdown(); }

}  // namespace veltrin::ui

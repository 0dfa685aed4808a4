// Inside the Win32 backend: the backend object (services, window classes,
// fonts, brushes, menu commands), the peer base that every control family
// derives from, and the family peers. One file per concept:
//   text.cpp          GBK <-> UTF-16, control names, file existence
//   services.cpp      message boxes, file dialogs, clipboard, hourglass, programs
//   backend.cpp       window classes, fonts, brushes, menu commands, peer factory
//   peer.cpp          creation and the state every control shares (text, colours, hints)
//   form.cpp          forms: size, the modal run, keys and copied data
//   buttons.cpp       buttons and check boxes
//   edits.cpp         edit and spin boxes
//   lists.cpp         list and combo boxes
//   tabs.cpp          page controls and their tab sheets
//   statics.cpp       labels and panels
//   menus.cpp         popup menus
//   charts.cpp        charts (bars, a shaded band, marks)
//   window_proc.cpp   the window procedures
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>
// The layer's peers have a SetProp of their own.
#undef SetProp

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ui/controls.h"
#include "ui/services.h"
#include "ui/win32/win32.h"

namespace veltrin::ui::win32 {

inline constexpr wchar_t kFormClass[] = L"VeltrinForm";
inline constexpr wchar_t kBoxClass[] = L"VeltrinBox";
inline constexpr wchar_t kPeerProp[] = L"VeltrinPeer";
inline constexpr wchar_t kNameProp[] = L"Name";
// Posted to a form entering its modal run when a hook is to drive it.
inline constexpr UINT kMsgRunHook = WM_APP + 0x51;
inline constexpr int kFirstControlId = 1000;
inline constexpr UINT kFirstMenuId = 0x8000;
inline constexpr UINT kLastMenuId = 0xEFFF;

HINSTANCE Module();
COLORREF Resolve(TColor c, int sysDefault);
// The alignment flags of a caption drawn by DrawTextW.
UINT TextAlign(uint32_t flags);

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref);

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

TWin32Backend& Backend();

// How a control's window is made: its class, styles and the height it
// takes beyond the described one (a combo box's drop-down part).
struct TWindowClass {
  const wchar_t* Class = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int ExtraHeight = 0;
  bool Visible = true;  // shown on creation unless described hidden
  bool Caption = true;  // created with the described caption
};

// The peer of one control: the window and what every kind shares. A family
// overrides what its kind does differently; whatever a kind has no use for
// answers nothing.
class TWinPeer : public TPeer {
 public:
  TWinPeer(TComponent& front, TWin32Backend& backend);
  ~TWinPeer() override;
  // Makes the window; a second step so that the family's overrides take part.
  void Create();

  void SetText(const std::string& text) override;
  std::string Text() const override;
  void SetProp(TProp prop, int32_t value) override;
  int32_t Prop(TProp prop) const override;
  void SetHint(const std::string& hint) override;
  std::string Hint() const override;
  void SetBounds(const TRect& r) override;
  void ItemsClear() override {}
  void ItemsAdd(const std::string&) override {}
  void ItemsSet(int32_t, const std::string&) override {}
  void ItemsDelete(int32_t) override {}
  std::string ItemsGet(int32_t) const override { return {}; }
  int32_t ItemsCount() const override { return 0; }
  bool ItemSelected(int32_t) const override { return false; }
  void SetItemSelected(int32_t, bool) override {}
  void SetItemProp(int32_t, TProp, int32_t) override {}
  int32_t ItemProp(int32_t, TProp) const override { return 0; }
  void Repaint() override;
  void RunModal() override {}
  void UserClick() override {}
  void UserClickItem(int32_t, TShift, bool) override {}
  void UserType(const std::wstring&) override {}
  void UserSelectItem(int32_t) override {}
  void UserFormKey(TFormKey) override {}
  intptr_t UserCopyData(uintptr_t, const void*, size_t) override { return 0; }

  // For the window procedures.
  TComponent& Front() const { return front_; }
  TControl& Control() const { return static_cast<TControl&>(front_); }
  HWND Hwnd() const { return hwnd_; }
  // A notification the control sent its parent.
  virtual void OnCommand(WORD) {}
  virtual LRESULT OnNotify(const NMHDR&) { return 0; }
  // The control's own painting: owner-drawn items, or the whole client
  // area (true when it painted).
  virtual void DrawItem(const DRAWITEMSTRUCT&) {}
  virtual bool Paint() { return false; }
  // True when Paint covers the whole client area: no background erase first.
  virtual bool PaintsWholeClient() const { return false; }
  // Messages only forms answer (commands, closing, copied data, the hook's
  // turn); false leaves them to the default.
  virtual bool OnFormMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  virtual COLORREF Background() const { return Resolve(color_, COLOR_BTNFACE); }
  HBRUSH CtlColor(HDC dc);
  bool ShowPopup(LPARAM where);
  bool HandCursor() const { return (front_.Desc().Flags & kHandCursor) != 0; }
  // The tooltip that shows the hints of a form's controls.
  virtual HWND Tooltip();

 protected:
  virtual TWindowClass WindowClass() const = 0;
  // Kind-specific set-up once the window exists.
  virtual void AfterCreate() {}
  // Called when the window is made with CreateWindowExW; forms make their
  // own top-level window.
  virtual HWND MakeWindow(const TWindowClass& wc);

  TWinPeer* ParentPeer() const;
  TWinPeer* FormPeer() const;
  HFONT CurrentFont() const { return backend_.Font(front_.Owner()->Font(), bold_); }
  uint32_t Flags() const { return front_.Desc().Flags; }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendMessageW(hwnd_, msg, wp, lp);
  }
  void SyncTool();

  TComponent& front_;
  TWin32Backend& backend_;
  HWND hwnd_ = nullptr;
  ATOM nameAtom_ = 0;
  TColor color_ = clDefault, fontColor_ = clDefault;
  bool bold_ = false;
  bool showHint_ = false;
  bool toolAdded_ = false;
  std::string hint_;
  int suppress_ = 0;  // programmatic change under way: no user events
};

// The peer of a window handle, null for other windows.
TWinPeer* PeerOf(HWND hwnd);

std::unique_ptr<TWinPeer> MakeFormPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeButtonPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeEditPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeListPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeTabsPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeStaticPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeChartPeer(TComponent& front, TWin32Backend& backend);
// Popup menus, and the components without a window of their own.
std::unique_ptr<TWinPeer> MakeMenuPeer(TComponent& front, TWin32Backend& backend);
// The menu of a popup menu's peer.
HMENU MenuOf(const TWinPeer& peer);

}  // namespace veltrin::ui::win32

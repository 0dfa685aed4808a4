// Inside the Win32 backend: the backend object (services, window classes,
// fonts, brushes, menu commands), the peer base that every control family
// derives from, and the family peers. One file per concept:
//   text.cpp          GBK <-> UTF-16 (the platform layer's), control names
//   dpi.cpp           dots per inch, monitors, the thread's DPI awareness
//   services.cpp      message boxes, file dialogs, clipboard, hourglass, programs, documents
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
//   focus.cpp         the Tab order in reading order, where the focus may go
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>
// The layer's peers have a SetProp of their own.
#undef SetProp
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

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
// `ink` made dark (or, on a dark ground, light) enough to read on
// `ground`: at least 4.5:1 by relative luminance, the least change that
// gets there; an ink that reads already is kept.
COLORREF Readable(COLORREF ink, COLORREF ground);
// The alignment flags of a caption drawn by DrawTextW.
UINT TextAlign(uint32_t flags);

// ---- dots per inch (dpi.cpp) ----
// Window descriptions are in 96-DPI units; each form is scaled to the DPI
// of the monitor it opens on, its controls and fonts with it.
inline constexpr int kDesignDpi = 96;
inline int ToDevice(int value, int dpi) { return MulDiv(value, dpi, kDesignDpi); }
inline int FromDevice(int value, int dpi) { return MulDiv(value, kDesignDpi, dpi); }
int SystemDpi();
// The effective DPI of a monitor; the system DPI where the system has no
// per-monitor value.
int MonitorDpi(HMONITOR monitor);
// The DPI a window is shown at.
int WindowDpi(HWND hwnd);
// The monitor of the host window a dialog opens over: `owner`, else the
// active or foreground window, else the primary monitor.
HMONITOR HostMonitor(HWND owner);
RECT WorkArea(HMONITOR monitor);
// The top left corner of a window of that size centred on `work`, clamped
// so that it stays on it.
POINT CentreIn(const RECT& work, int width, int height);
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi);
// The thread's DPI awareness context (null where the system has none).
void* ThreadDpiContext();
// The thread per-monitor DPI aware while it lives, where the system offers
// it: windows made meanwhile get the DPI of their monitor, and the sizes
// read and set meanwhile are the monitor's pixels.
class TDpiAwareScope {
 public:
  TDpiAwareScope();
  ~TDpiAwareScope();
  TDpiAwareScope(const TDpiAwareScope&) = delete;
  TDpiAwareScope& operator=(const TDpiAwareScope&) = delete;

 private:
  void* old_ = nullptr;
};
// The thread in `context` (null: unchanged) while it lives.
class TDpiContextScope {
 public:
  explicit TDpiContextScope(void* context);
  ~TDpiContextScope();
  TDpiContextScope(const TDpiContextScope&) = delete;
  TDpiContextScope& operator=(const TDpiContextScope&) = delete;

 private:
  void* old_ = nullptr;
};

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
  bool SetClipboardText(TForm* owner, const std::string& text) override;
  std::string ClipboardText() override;
  void BeginWait() override;
  void EndWait() override;
  void RunProgram(const std::string& commandLine) override;
  bool OpenDocument(const std::string& path) override;

  void EnsureClasses();
  // The font at `dpi`: its height is given for 96 DPI.
  HFONT Font(const TFontSpec& want, bool bold, int dpi);
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
// adds its interface (ui/peer.h) and overrides what its kind does
// differently.
class TWinPeer : public TControlPeer {
 public:
  TWinPeer(TComponent& front, TWin32Backend& backend);
  ~TWinPeer() override;
  // Makes the window; a second step so that the family's overrides take part.
  void Create();

  void SetText(const std::string& text) override;
  std::string Text() const override;
  void SetHint(const std::string& hint) override;
  std::string Hint() const override;
  void SetShowHint(bool show) override;
  bool ShowHint() const override { return showHint_; }
  void SetBounds(const TRect& r) override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;
  void SetVisible(bool visible) override;
  bool Visible() const override;
  void SetColor(TColor color) override;
  TColor Color() const override { return color_; }
  void SetFontColor(TColor color) override;
  TColor FontColor() const override { return fontColor_; }
  void SetFontBold(bool bold) override;
  bool FontBold() const override { return bold_; }
  void Repaint() override;
  // Push buttons, check boxes and labels answer a click.
  void UserClick() override {}

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
  // The DPI the control's form is shown at, and a length of the
  // description (96-DPI units) in the form's pixels.
  virtual int Dpi() const;
  int Px(int length) const { return ToDevice(length, Dpi()); }
  // A place of the description in the form's pixels. The edges are scaled,
  // not the sizes, so that controls that meet at 96 DPI meet at every DPI.
  RECT PxRect(const TRect& r) const {
    return RECT{Px(r.Left), Px(r.Top), Px(r.Left + r.Width), Px(r.Top + r.Height)};
  }
  // The thread's DPI awareness where the form was made (the host's): the
  // form's event handlers run in it, so that the host's own windows
  // opened from them are made as the host expects.
  virtual void* HostDpiContext() const;
  // Font, place and sizes again after the form's DPI changed.
  virtual void Rescale();
  // Push buttons: drawn as the button Enter presses (the form's default
  // button, or the push button that has the focus).
  virtual void SetDefaultLook(bool) {}

 protected:
  virtual TWindowClass WindowClass() const = 0;
  // Kind-specific set-up once the window exists.
  virtual void AfterCreate() {}
  // Called when the window is made with CreateWindowExW; forms make their
  // own top-level window.
  virtual HWND MakeWindow(const TWindowClass& wc);

  TWinPeer* ParentPeer() const;
  TWinPeer* FormPeer() const;
  HFONT CurrentFont() const { return backend_.Font(front_.Owner()->Font(), bold_, Dpi()); }
  // The place last given, in 96-DPI units relative to the parent.
  TRect Bounds() const { return bounds_; }
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
  TRect bounds_;      // in 96-DPI units, relative to the parent
};

// The peer of a window handle, null for other windows.
TWinPeer* PeerOf(HWND hwnd);

// One stop of the Tab order: a control, or a run of clickable labels that
// the arrow keys move within (Tab enters it at the label last focused).
struct TTabStop {
  std::vector<HWND> Members;
};
// The form's Tab stops in reading order (focus.cpp).
std::vector<TTabStop> ReadingOrder(const TForm& form);
// A label that the keyboard reaches: one the user clicks (hand pointer).
bool IsKeyboardLabel(const TControl& control);
// True when the user could put the focus on `hwnd`: shown, and enabled up
// to `root`.
bool CanFocus(HWND hwnd, HWND root);
// Focuses a control as Tab does (an edit box's text selected).
void FocusControl(HWND hwnd);

// Shows the next (or previous) page whose tab shows, as the user's click on
// its tab would; false when there is no other. `pages` is a page control's.
bool StepPageOf(TWinPeer& pages, bool back);

std::unique_ptr<TWinPeer> MakeFormPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeButtonPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeEditPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeListPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeTabsPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeStaticPeer(TComponent& front, TWin32Backend& backend);
std::unique_ptr<TWinPeer> MakeChartPeer(TComponent& front, TWin32Backend& backend);
// Popup menus: a peer without a window, so no TWinPeer.
std::unique_ptr<TPeer> MakeMenuPeer(TComponent& front, TWin32Backend& backend);
// The menu of a popup menu's peer.
HMENU MenuOf(const TPeer& peer);

}  // namespace veltrin::ui::win32

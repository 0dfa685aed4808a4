// The backend side of the control layer. Each front object (ui/controls.h)
// holds one peer that a backend made for it; the front reads and writes the
// control's state only through its peer, so the Win32 peer reads the real
// window and the headless peer its own fields. A backend also supplies the
// services (message boxes, file dialogs, clipboard, hourglass, starting a
// program), which a test may take over with a hook (TUiHook).
//
// Peers report what a user did through the front's User* functions
// (TControl::UserInput and friends); those catch every error of an event
// handler. Programmatic changes never come back as user input: the front
// fires the events that belong to them itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/types.h"

namespace veltrin::ui {

class TComponent;
class TForm;

struct TRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Names of peer properties for tests and automation, read through
// TPeer::Prop. The layer itself calls the families' typed functions.
enum class TProp {
  Enabled,
  Visible,
  Checked,
  ItemIndex,  // list and combo boxes; the caret (current item) of a multi-select list
  Count,      // items of a list or combo box
  Color,
  FontColor,
  FontBold,
  MaxLength,  // edit boxes; 0 means no limit
  ReadOnly,
  Min,  // spin box range
  Max,
  ShowHint,
  ActivePage,    // page control: index of the page shown
  TabHeight,     // page control
  ClientWidth,   // forms
  ClientHeight,  // forms
  FrameWidth,    // forms: the window's outer width less its client width
  FrameHeight,   // forms: the same for the height (caption included)
};

// Keys a form reacts to as a whole.
enum class TFormKey { Enter, Escape, CloseBox };

// What every peer is: the front owns it through this. Beside TControlPeer
// (every control) a peer offers the interface of its family below and no
// other, so that a call a peer has no answer for does not compile; the
// front reaches the family's interface from its own class (TListBox::
// ListPeer, ...).
class TPeer {
 public:
  virtual ~TPeer() = default;
  // A property by name, for tests and automation; a property the peer's
  // family does not have raises std::logic_error.
  int32_t Prop(TProp prop) const;
};

// What every control's peer answers: labels, panels, tab sheets, buttons and
// charts need nothing more.
class TControlPeer : public TPeer {
 public:
  // The window text: caption of labels, buttons, check boxes, panels, tab
  // sheets and forms; text of edit, spin and combo boxes.
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SetHint(const std::string& hint) = 0;
  virtual std::string Hint() const = 0;
  virtual void SetShowHint(bool show) = 0;
  virtual bool ShowHint() const = 0;
  // Place relative to the parent peer's client area.
  virtual void SetBounds(const TRect& r) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  virtual void SetColor(TColor color) = 0;
  virtual TColor Color() const = 0;
  virtual void SetFontColor(TColor color) = 0;
  virtual TColor FontColor() const = 0;
  virtual void SetFontBold(bool bold) = 0;
  virtual bool FontBold() const = 0;
  // Draws the control again from its front's state (a chart, items on
  // demand).
  virtual void Repaint() = 0;
  // A click of the user's on the control.
  virtual void UserClick() = 0;
};

// The families' interfaces, each beside TControlPeer (TMenuPeer beside
// TPeer) in the peers that offer it.

// Check boxes (and push buttons, of the same family).
class TCheckPeer {
 public:
  virtual ~TCheckPeer() = default;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Checked() const = 0;
};

// Edit and spin boxes.
class TEditPeer {
 public:
  virtual ~TEditPeer() = default;
  virtual void SetMaxLength(int32_t length) = 0;  // 0: no limit
  virtual int32_t MaxLength() const = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  virtual bool ReadOnly() const = 0;
  // Spin boxes' range.
  virtual void SetRange(int32_t min, int32_t max) = 0;
  virtual int32_t Min() const = 0;
  virtual int32_t Max() const = 0;
  virtual void UserType(const std::wstring& keys) = 0;
};

// List boxes, holding their own items or with items on demand. Indexes are
// checked by the front.
class TListPeer {
 public:
  virtual ~TListPeer() = default;
  virtual void ItemsClear() = 0;
  virtual void ItemsAdd(const std::string& text) = 0;
  virtual void ItemsSet(int32_t index, const std::string& text) = 0;
  virtual void ItemsDelete(int32_t index) = 0;
  virtual std::string ItemsGet(int32_t index) const = 0;
  virtual int32_t ItemsCount() const = 0;
  // Items on demand: their number.
  virtual void SetCount(int32_t count) = 0;
  // The current item; -1 for none.
  virtual void SetItemIndex(int32_t index) = 0;
  virtual int32_t ItemIndex() const = 0;
  virtual bool ItemSelected(int32_t index) const = 0;
  virtual void SetItemSelected(int32_t index, bool selected) = 0;
  virtual void UserClickItem(int32_t index, TShift shift, bool doubleClick) = 0;
};

// Combo boxes.
class TComboPeer {
 public:
  virtual ~TComboPeer() = default;
  virtual void ItemsClear() = 0;
  virtual void ItemsAdd(const std::string& text) = 0;
  virtual std::string ItemsGet(int32_t index) const = 0;
  virtual int32_t ItemsCount() const = 0;
  // -1 leaves no selection and an empty text.
  virtual void SetItemIndex(int32_t index) = 0;
  virtual int32_t ItemIndex() const = 0;
  virtual void UserType(const std::wstring& keys) = 0;
  virtual void UserSelectItem(int32_t index) = 0;
};

// Page controls; their tab sheets are plain controls.
class TPagesPeer {
 public:
  virtual ~TPagesPeer() = default;
  // A page's tab, in the order of the pages.
  virtual void AddPage(const std::string& caption) = 0;
  virtual void SetActivePage(int32_t index) = 0;  // -1: none
  virtual int32_t ActivePage() const = 0;
  virtual void SetTabHeight(int32_t height) = 0;
  virtual int32_t TabHeight() const = 0;
  virtual void SetTabVisible(int32_t index, bool visible) = 0;
  virtual bool TabVisible(int32_t index) const = 0;
  virtual void UserSelectPage(int32_t index) = 0;
};

// Forms.
class TFormPeer {
 public:
  virtual ~TFormPeer() = default;
  // In 96-DPI units, the inner border included.
  virtual void SetClientSize(int32_t width, int32_t height) = 0;
  virtual int32_t ClientWidth() const = 0;
  virtual int32_t ClientHeight() const = 0;
  // The window's outer size less its client size.
  virtual int32_t FrameWidth() const = 0;
  virtual int32_t FrameHeight() const = 0;
  // Shows the window and returns when the front's modal result is set; the
  // window is hidden again afterwards.
  virtual void RunModal() = 0;
  virtual void UserFormKey(TFormKey key) = 0;
  virtual intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) = 0;
};

// Popup menus: no window of their own to place or colour, so their peer
// is no TControlPeer.
class TMenuPeer {
 public:
  virtual ~TMenuPeer() = default;
  virtual void ItemsAdd(const std::string& text) = 0;
  virtual std::string ItemsGet(int32_t index) const = 0;
  virtual int32_t ItemsCount() const = 0;
  virtual void UserSelectItem(int32_t index) = 0;
};

// The file dialogs' settings; FileName is the proposed name going in and
// the chosen full path coming out.
struct TFileDialogState {
  bool Save = false;
  std::string Filter;  // "description|pattern|description|pattern..."
  std::string InitialDir;
  std::string FileName;
  std::string DefaultExt;
  std::string Title;
};

class TServices {
 public:
  virtual ~TServices() = default;
  virtual TModalResult MessageDlg(TForm* owner, TMsgKind kind, const std::string& text,
                                  const std::string& caption, TMsgButtons buttons,
                                  bool defaultSecond) = 0;
  // True when the user chose a file; its path is then in state.FileName.
  virtual bool FileDialog(TForm* owner, TFileDialogState& state) = 0;
  // False when the clipboard could not be opened or given the text.
  virtual bool SetClipboardText(TForm* owner, const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
  virtual void RunProgram(const std::string& commandLine) = 0;
  // Opens a document (a GBK path) with the program the system has for it;
  // false when the system could not.
  virtual bool OpenDocument(const std::string& path) = 0;
};

class TBackend {
 public:
  virtual ~TBackend() = default;
  virtual const char* Name() const = 0;
  // A peer for `front`, whose parent (if any) already has its peer; it
  // offers the interface of the family the kind table gives the kind.
  virtual std::unique_ptr<TPeer> CreatePeer(TComponent& front) = 0;
  virtual TServices& Services() = 0;
};

// Takes over the interactions a person would answer: message boxes, file
// dialogs, modal windows and started programs. Tests install one so that
// nothing waits for a person, on either backend.
class TUiHook {
 public:
  virtual ~TUiHook() = default;
  virtual TModalResult MessageDlg(TMsgKind kind, const std::string& text,
                                  const std::string& caption, TMsgButtons buttons,
                                  bool defaultSecond) = 0;
  virtual bool FileDialog(TFileDialogState& state) = 0;
  // Runs inside the modal run of `form` (on Win32 from within its message
  // loop). A form still open afterwards is closed with mrCancel.
  virtual void Modal(TForm& form) = 0;
  virtual void RunProgram(const std::string& commandLine) = 0;
  virtual bool OpenDocument(const std::string& path) = 0;
};

// The backend new forms are built on, and the hook.
TBackend& CurrentBackend();
void SetCurrentBackend(TBackend* backend);  // null restores the default
TUiHook* Hook();
void SetHook(TUiHook* hook);

// The backends compiled into this build. The headless one always is; the
// Win32 one in Windows builds, where it is the default.
TBackend& HeadlessBackend();
TBackend* Win32Backend();  // null where there are no windows

}  // namespace veltrin::ui

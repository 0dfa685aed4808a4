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

enum class TProp {
  Enabled,
  Visible,
  Checked,
  ItemIndex,  // list and combo boxes; the caret (current item) of a multi-select list
  Count,      // item count of a list box whose items come on demand
  TopIndex,   // first item shown in a list box
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
  TabVisible,    // page control, per page (SetItemProp)
  ClientWidth,   // forms
  ClientHeight,  // forms
  FrameWidth,    // forms, read only: the window's outer width less its client width
  FrameHeight,   // forms, read only: the same for the height (caption included)
};

// Keys a form reacts to as a whole.
enum class TFormKey { Enter, Escape, CloseBox };

class TPeer {
 public:
  virtual ~TPeer() = default;

  // The window text: caption of labels, buttons, check boxes, panels, tab
  // sheets and forms; text of edit, spin and combo boxes.
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SetProp(TProp prop, int32_t value) = 0;
  virtual int32_t Prop(TProp prop) const = 0;
  virtual void SetHint(const std::string& hint) = 0;
  virtual std::string Hint() const = 0;
  // Place relative to the parent peer's client area.
  virtual void SetBounds(const TRect& r) = 0;

  // Items of list boxes, combo boxes, popup menus and page controls (the
  // pages' captions).
  virtual void ItemsClear() = 0;
  virtual void ItemsAdd(const std::string& text) = 0;
  virtual void ItemsSet(int32_t index, const std::string& text) = 0;
  virtual void ItemsDelete(int32_t index) = 0;
  virtual std::string ItemsGet(int32_t index) const = 0;
  virtual int32_t ItemsCount() const = 0;
  virtual bool ItemSelected(int32_t index) const = 0;
  virtual void SetItemSelected(int32_t index, bool selected) = 0;
  virtual void SetItemProp(int32_t index, TProp prop, int32_t value) = 0;
  virtual int32_t ItemProp(int32_t index, TProp prop) const = 0;
  // Redraws items supplied on demand.
  virtual void Repaint() = 0;

  // Forms: shows the window and returns when the front's modal result is
  // set; the window is hidden again afterwards.
  virtual void RunModal() = 0;

  // What a user does, sent the way the user's input would arrive.
  virtual void UserClick() = 0;
  virtual void UserClickItem(int32_t index, TShift shift, bool doubleClick) = 0;
  virtual void UserType(const std::wstring& keys) = 0;
  virtual void UserSelectItem(int32_t index) = 0;  // combo box item, page tab, menu item
  virtual void UserFormKey(TFormKey key) = 0;
  virtual intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) = 0;
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
  // A peer for `front`, whose parent (if any) already has its peer.
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

// The controls that the dialogs are written against, in place of the
// windowing system. A form owns its controls; it builds them from its window
// description (a TDescTable), and form code binds them to members named as
// the designers named them:
//
//   chkCanErr = Get<TCheckBox>("chkCanErr");
//   chkCanErr->OnClick = [this](TComponent&) { chkCanErrClick(); };
//
// A derived form builds its own table after its base's; a frame (TFrame)
// builds a table of its own into a panel of the form. What a user does to
// the controls (clicks, typing, menu choices) is in ui/automation.h, the
// message boxes, file dialogs and other services in ui/services.h.
//
// Properties read and write the control's peer (the real window on Win32).
// Events are callback members. As in the toolkit the dialogs were designed
// for, a programmatic change fires the event that belongs to it at once and
// lets its errors reach the caller (setting Checked runs OnClick), while an
// error escaping a handler of user input is caught here and shown in an
// error box: it never reaches the host's message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "ui/peer.h"
#include "ui/types.h"

namespace veltrin::ui {

class TComponent;
class TControl;
class TForm;
class TListBox;
class TPopupMenu;

// `sender` is the control or menu item the event belongs to.
using TNotifyEvent = std::function<void(TComponent& sender)>;
// `key` set to 0 discards the key.
using TKeyPressEvent = std::function<void(TControl& sender, wchar_t& key)>;
// The text of item `index` of a list box whose items come on demand.
using TListDataEvent = std::function<std::string(TListBox& sender, int32_t index)>;
// A block of data another window sent (WM_COPYDATA); the result goes back to
// the sender.
using TCopyDataEvent =
    std::function<intptr_t(TForm& sender, uintptr_t tag, const void* data, size_t size)>;

// Shows the message of an error that escaped an event handler; an empty
// message stands for an error without one.
using TErrorReporter = std::function<void(std::string_view message)>;
// Replaces the report (null restores the layer's plain error box).
void SetErrorReporter(TErrorReporter reporter);

// Runs `action` and hands any error escaping it to the error report, as a
// toolkit's standard error report does. Never throws.
void RunGuarded(const std::function<void()>& action) noexcept;

enum class TInput { Click, DblClick, Change };

class TComponent {
 public:
  TComponent(TForm* owner, TKind kind, std::string name);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  TKind Kind() const { return kind_; }
  TForm* Owner() const { return owner_; }
  TComponent* ParentComponent() const { return parentComponent_; }
  TPeer* PeerOrNull() const { return peer_.get(); }
  // The description row this component was built from.
  const TDesc& Desc() const { return desc_; }
  // The backend's side of this component; for the layer and its tests.
  TPeer& Peer() const;
  // The peer as the interface of this component's family; a backend whose
  // peer lacks it is a fault of that backend (std::logic_error).
  template <class P>
  P& PeerAs() const {
    P* p = dynamic_cast<P*>(&Peer());
    if (!p) ThrowNoInterface(typeid(P).name());
    return *p;
  }

  int32_t Tag = 0;

 protected:
  friend class TForm;
  void AttachPeer();  // asks the owner's backend for the peer
  [[noreturn]] void ThrowNoInterface(const char* wanted) const;

  TForm* owner_;
  TKind kind_;
  std::string name_;
  TComponent* parentComponent_ = nullptr;
  TDesc desc_;
  std::unique_ptr<TPeer> peer_;
};

class TControl : public TComponent {
 public:
  TControl(TForm* owner, TKind kind, std::string name);

  TControl* Parent() const { return parent_; }
  TControlPeer& Peer() const { return PeerAs<TControlPeer>(); }
  const std::vector<TControl*>& Controls() const { return children_; }

  // The window text (caption or text, by kind).
  std::string Caption() const;
  virtual void SetCaption(std::string_view text);
  std::string Text() const { return Caption(); }
  void SetText(std::string_view text) { SetCaption(text); }

  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  // Visible with every parent up to the form: what the user can see.
  bool Showing() const;
  // Enabled with every parent: what the user can operate.
  bool Operable() const;
  std::string Hint() const;
  void SetHint(std::string_view hint);
  bool ShowHint() const;
  void SetShowHint(bool show);
  TColor Color() const;
  void SetColor(TColor color);
  TColor FontColor() const;
  void SetFontColor(TColor color);
  bool FontBold() const;
  void SetFontBold(bool bold);
  int32_t HelpContext() const { return helpContext_; }
  void SetHelpContext(int32_t context) { helpContext_ = context; }
  TPopupMenu* PopupMenu() const { return popup_; }
  void SetPopupMenu(TPopupMenu* menu) { popup_ = menu; }

  // Place relative to the parent's client area, as described.
  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width; }
  int Height() const { return bounds_.Height; }
  void SetBounds(int left, int top, int width, int height);
  // The area inside this control where its children are placed.
  virtual TRect ClientRect() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnChange;
  TKeyPressEvent OnKeyPress;

  // Runs OnClick as a program would (the toolkit's Click): errors reach the
  // caller.
  virtual void Click();

  // Backends report the user's input here; handler errors are shown, never
  // passed on.
  virtual void UserInput(TInput input) noexcept;
  // A typed key through OnKeyPress; the key that remains (0: discarded).
  wchar_t UserKeyPress(wchar_t key) noexcept;

 protected:
  friend class TForm;
  void Realign();  // places docked and anchored children
  void PlaceAll();

  TControl* parent_ = nullptr;
  std::vector<TControl*> children_;
  TRect bounds_;         // as set: relative to the parent's client area
  TRect designed_;       // as first built, for anchoring
  TRect parentAtBuild_;  // the parent's client area when built
  int32_t helpContext_ = 0;
  TPopupMenu* popup_ = nullptr;
};

class TLabel : public TControl {
 public:
  using TControl::TControl;
};

class TPanel : public TControl {
 public:
  using TControl::TControl;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t result) { modalResult_ = result; }
  bool Default() const { return (desc_.Flags & kDefault) != 0; }
  bool Cancel() const { return (desc_.Flags & kCancel) != 0; }
  // OnClick, then the owner's modal result (when the button has one).
  void Click() override;

 private:
  friend class TForm;
  int32_t modalResult_ = 0;
};

class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  bool Checked() const;
  // A change of state runs OnClick, as the toolkit's check box does.
  void SetChecked(bool checked);
  TCheckPeer& CheckPeer() const { return PeerAs<TCheckPeer>(); }
};

class TEdit : public TControl {
 public:
  using TControl::TControl;
  // A change of text runs OnChange.
  void SetCaption(std::string_view text) override;
  int32_t MaxLength() const;
  void SetMaxLength(int32_t length);
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  TEditPeer& EditPeer() const { return PeerAs<TEditPeer>(); }
};

class TSpinEdit : public TEdit {
 public:
  using TEdit::TEdit;
  int32_t MinValue() const;
  int32_t MaxValue() const;
  void SetRange(int32_t min, int32_t max);
  // Typing takes digits only where the range holds no negative number: the
  // backend refuses other keys and keeps only the digits of pasted text.
  bool DigitsOnly() const { return MinValue() >= 0; }
  // The text as an integer; the low end of the range when it is none.
  int32_t Value() const;
  // True when the text is a whole number within the range (a blank, or a
  // number out of range, is not).
  bool ValueValid() const;
  void SetValue(int32_t value);
};

class TListBox : public TControl {
 public:
  using TControl::TControl;
  bool MultiSelect() const { return (desc_.Flags & kMultiSelect) != 0; }
  bool IsVirtual() const { return (desc_.Flags & kVirtual) != 0; }

  int32_t Count() const;
  // Lists with items on demand: the number of items; OnData supplies them.
  // Selection and current item stay on the items that remain.
  void SetCount(int32_t count);
  std::string Items(int32_t index) const;
  std::vector<std::string> AllItems() const;
  // Lists holding their own items.
  void AddItem(std::string_view text);
  void SetItem(int32_t index, std::string_view text);
  void DeleteItem(int32_t index);
  void ClearItems();

  // The current item (for a multi-select list the one with the focus
  // rectangle, selected or not); -1 for none.
  int32_t ItemIndex() const;
  void SetItemIndex(int32_t index);
  bool Selected(int32_t index) const;
  void SetSelected(int32_t index, bool selected);
  int32_t SelCount() const;
  // Redraws the items; the item text shown whole (below) follows them.
  void Repaint();

  TListDataEvent OnData;

  // The whole text shown for an item, whose line the list may be too narrow
  // for. With it set, the list's hint is that text for the item under the
  // mouse, or else the current item (a tooltip on Win32, when ShowHint).
  TListDataEvent OnItemHint;
  // The item whose text the hint shows (-1: none): the backend reports the
  // item under the mouse, -1 when the mouse leaves.
  void ShowItemHint(int32_t index) noexcept;
  int32_t HintItem() const { return hintItem_; }
  void UserInput(TInput input) noexcept override;
  TListPeer& ListPeer() const { return PeerAs<TListPeer>(); }

 private:
  int32_t hotItem_ = -1;   // under the mouse
  int32_t hintItem_ = -1;  // whose text the hint holds
  void SyncItemHint() noexcept;
};

class TComboBox : public TControl {
 public:
  using TControl::TControl;
  bool DropDownList() const { return (desc_.Flags & kDropDownList) != 0; }
  int32_t Count() const;
  std::string Items(int32_t index) const;
  void AddItem(std::string_view text);
  void ClearItems();
  int32_t ItemIndex() const;
  // -1 leaves no selection and an empty text.
  void SetItemIndex(int32_t index);
  // The first item equal to `text`, -1 when none.
  int32_t IndexOf(std::string_view text) const;
  TComboPeer& ComboPeer() const { return PeerAs<TComboPeer>(); }
};

// What a chart shows: bars standing on an axis, a shaded band over some of
// them, marks under the axis and a few texts. The backend draws it (Win32
// with GDI); the state is the whole of it, so tests read it on any backend.
struct TChartState {
  // Bar heights as fractions of the highest a bar may stand (0..1), left to
  // right.
  std::vector<double> Bars;
  // Bars ShadeFirst..ShadeLast (both included) stand in the shaded band;
  // -1: no band.
  int32_t ShadeFirst = -1, ShadeLast = -1;
  // The bars marked under the axis, one entry per mark.
  std::vector<int32_t> Marks;
  // Under the axis's two ends, and at the top left (centred when there are
  // no bars).
  std::string LeftLabel, RightLabel, Title;
};

class TChart : public TControl {
 public:
  using TControl::TControl;
  const TChartState& State() const { return state_; }
  // Bars clamped to 0..1, the band to the bars (none when it misses them),
  // marks off the bars left out; then redrawn.
  void SetState(TChartState state);

 private:
  TChartState state_;
};

class TTabSheet;

class TPageControl : public TControl {
 public:
  using TControl::TControl;
  int32_t PageCount() const { return int32_t(pages_.size()); }
  TTabSheet* Pages(int32_t index) const;
  int32_t ActivePageIndex() const;
  void SetActivePageIndex(int32_t index);
  int32_t TabHeight() const;
  void SetTabHeight(int32_t height);
  TRect ClientRect() const override;
  TPagesPeer& PagesPeer() const { return PeerAs<TPagesPeer>(); }

 private:
  friend class TTabSheet;
  friend class TForm;
  std::vector<TTabSheet*> pages_;
};

class TTabSheet : public TControl {
 public:
  using TControl::TControl;
  TPageControl* PageControl() const;
  int32_t PageIndex() const { return pageIndex_; }
  bool TabVisible() const;
  void SetTabVisible(bool visible);

 private:
  friend class TForm;
  int32_t pageIndex_ = 0;
};

class TMenuItem : public TComponent {
 public:
  using TComponent::TComponent;
  TPopupMenu* Menu() const;
  int32_t MenuIndex() const { return index_; }
  std::string Caption() const;
  bool IsSeparator() const { return desc_.Caption == "-"; }
  TNotifyEvent OnClick;
  // Runs OnClick as a program would.
  void Click();
  // The user chose the item.
  void UserChoose() noexcept;

 private:
  friend class TForm;
  int32_t index_ = 0;
};

class TPopupMenu : public TComponent {
 public:
  using TComponent::TComponent;
  const std::vector<TMenuItem*>& Items() const { return items_; }
  TMenuPeer& MenuPeer() const { return PeerAs<TMenuPeer>(); }

 private:
  friend class TForm;
  std::vector<TMenuItem*> items_;
};

// File-open and file-save dialogs: settings kept between runs; Execute runs
// the dialog (or the test's hook) and leaves the chosen path in FileName.
class TFileDialog : public TComponent {
 public:
  using TComponent::TComponent;
  std::string Filter, InitialDir, FileName, DefaultExt, Title;
  bool Execute();
};
using TOpenDialog = TFileDialog;
using TSaveDialog = TFileDialog;

using TNameMap = std::map<std::string, TComponent*, std::less<>>;

// A group of controls with a description of its own, placed in a panel of
// a form (the score grid is one). Names are looked up within the frame.
class TFrame {
 public:
  TFrame(TForm& form, const TDesc& container);
  virtual ~TFrame() = default;
  TForm& Form() const { return form_; }
  TPanel* Container() const { return container_; }
  // Builds `table` into the container; rows without parent go into it.
  void Build(const TDescTable& table);
  TComponent* FindComponent(std::string_view name) const;
  // All components of the frame in the order they were built.
  const std::vector<TComponent*>& Components() const { return components_; }
  template <class T>
  T* Get(std::string_view name) const;
  // Sets `member` to the control of that name and returns the control, so
  // that a handler can be attached on the same line.
  template <class T>
  T& Bind(T*& member, std::string_view name) const {
    return *(member = Get<T>(name));
  }

 private:
  TForm& form_;
  TPanel* container_;
  TNameMap names_;
  std::vector<TComponent*> components_;
};

// The font of a form's controls. Charset as Win32 numbers it (134 is
// GB2312); height in pixels.
struct TFontSpec {
  std::string Name;  // GBK
  int32_t Height = 12;
  int32_t Charset = 1;  // the system's default
};

class TForm : public TControl {
 public:
  // A form on the current backend, with the name the designers gave it.
  explicit TForm(std::string name);
  ~TForm() override;

  TBackend& Backend() const { return backend_; }
  TFormPeer& FormPeer() const { return PeerAs<TFormPeer>(); }

  // Builds the rows of `table` in order (a derived form appends its own
  // table to its base's by building after it).
  void Build(const TDescTable& table);
  TComponent* FindComponent(std::string_view name) const;
  // Every component in the order it was created (frames' included).
  const std::vector<TComponent*>& Components() const { return order_; }
  // The component of that name and class; a missing or mistyped name is a
  // fault of the description and raises std::logic_error.
  template <class T>
  T* Get(std::string_view name) const;
  // Sets `member` to the control of that name and returns the control, so
  // that a handler can be attached on the same line:
  //   Bind(btnSave, "btnSave").OnClick = Handler(this, &TMyForm::btnSaveClick);
  template <class T>
  T& Bind(T*& member, std::string_view name) const {
    return *(member = Get<T>(name));
  }

  // The font of the controls built after it is set.
  const TFontSpec& Font() const { return font_; }
  void SetFont(const TFontSpec& font) { font_ = font; }

  int ClientWidth() const { return clientW_; }
  int ClientHeight() const { return clientH_; }
  void SetClientSize(int width, int height);
  // The size with the window's frame and caption, as a window's outer size
  // is given; the client area is what the frame leaves.
  int OuterWidth() const;
  int OuterHeight() const;
  void SetOuterSize(int width, int height);
  // An inner border between the window's edge and the docked controls.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  TRect ClientRect() const override;

  // Shows the form modally; OnShow runs first. The result is the modal
  // result that ended the run.
  int32_t ShowModal();
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t result) { modalResult_ = result; }
  // Ends a modal run with mrCancel.
  void Close() { modalResult_ = mrCancel; }
  bool InModalRun() const { return inModal_; }

  TNotifyEvent OnShow;
  TCopyDataEvent OnCopyData;

  // Backends report these.
  void UserFormKey(TFormKey key) noexcept;
  intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) noexcept;

  // The default (Enter) and cancel (Esc) buttons, if any.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  // The control that has the focus when the form is shown, where the user
  // starts; null starts at the first control in reading order.
  TControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TControl* control) { activeControl_ = control; }

 private:
  friend class TFrame;
  TComponent* BuildRow(const TDesc& row, TControl* root, TNameMap& names,
                       std::vector<TComponent*>* group);

  TBackend& backend_;
  std::vector<std::unique_ptr<TComponent>> owned_;
  std::vector<TComponent*> order_;
  TNameMap names_;
  TFontSpec font_;
  int clientW_ = 0, clientH_ = 0;
  int borderWidth_ = 0;
  int32_t modalResult_ = mrNone;
  bool inModal_ = false;
  TControl* activeControl_ = nullptr;
};

namespace detail {
// An index outside a list's items, as the toolkit reports it.
[[noreturn]] void ThrowIndex(int32_t index);
[[noreturn]] void ThrowBadComponent(std::string_view name, const char* wanted);
template <class T>
T* CastComponent(TComponent* c, std::string_view name) {
  T* t = dynamic_cast<T*>(c);
  if (!t) ThrowBadComponent(name, typeid(T).name());
  return t;
}
}  // namespace detail

namespace detail {
template <class Dependency, class T>
T DependOn(T value) {
  return value;
}
}  // namespace detail

// An event handler that calls `method` of `owner` with the event's
// arguments, leaving out the sender when the method does not take it:
// void Click(), void Click(TComponent&), void KeyPress(wchar_t&),
// std::string Data(int32_t) all fit their events.
template <class Owner, class Method>
auto Handler(Owner* owner, Method method) {
  return [owner, method](auto& sender, auto&&... rest) -> decltype(auto) {
    if constexpr (std::is_invocable_v<Method, Owner*, decltype(sender), decltype(rest)...>)
      return std::invoke(method, owner, sender, std::forward<decltype(rest)>(rest)...);
    else if constexpr (sizeof...(rest) > 0)
      return std::invoke(method, owner, std::forward<decltype(rest)>(rest)...);
    else  // dependent on the event's arguments, so that only the chosen branch is compiled
      return std::invoke(method, detail::DependOn<decltype(sender)>(owner));
  };
}

template <class T>
T* TForm::Get(std::string_view name) const {
  return detail::CastComponent<T>(FindComponent(name), name);
}

template <class T>
T* TFrame::Get(std::string_view name) const {
  return detail::CastComponent<T>(FindComponent(name), name);
}

}  // namespace veltrin::ui

// Values shared by the control layer's front (ui/controls.h), its backends
// and the window descriptions: colours, modal results, message-box kinds,
// control kinds and the description row from which a form builds its
// controls.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrin::ui {

// Colours as Win32 COLORREF (0x00BBGGRR). A set top bit names a system
// colour by its GetSysColor index, as the designers' colour names do.
using TColor = uint32_t;
inline constexpr TColor kSysColorFlag = 0x80000000u;
inline constexpr TColor clDefault = 0x1FFFFFFFu;  // the control's standard colour
inline constexpr TColor clBtnFace = kSysColorFlag | 15u;
inline constexpr TColor clWindow = kSysColorFlag | 5u;
inline constexpr TColor clWindowText = kSysColorFlag | 8u;
inline constexpr TColor clGrayText = kSysColorFlag | 17u;
inline constexpr TColor clInfoBk = kSysColorFlag | 24u;
inline constexpr TColor clBlack = 0x000000u;
inline constexpr TColor clMaroon = 0x000080u;
inline constexpr TColor clNavy = 0x800000u;
inline constexpr TColor clPurple = 0x800080u;
inline constexpr TColor clGray = 0x808080u;
inline constexpr TColor clFuchsia = 0xFF00FFu;
inline constexpr TColor clWhite = 0xFFFFFFu;

// Modal results; the values are those of the Win32 button identifiers.
enum TModalResult : int32_t {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
};

// Message boxes.
enum class TMsgKind { Error, Info, Question, Warning };
enum class TMsgButtons { Ok, YesNo };

// What the user may do to a control from the outside; the backend sends it
// the way a user would (ui/automation.h).
enum class TShift { None, Ctrl, Shift };

enum class TKind {
  Form,
  Label,
  Button,
  CheckBox,
  Edit,
  SpinEdit,
  ListBox,
  ComboBox,
  Panel,
  PageControl,
  TabSheet,
  PopupMenu,
  MenuItem,
  OpenDialog,
  SaveDialog,
  Chart,  // a picture drawn from its state (TChart)
};

const char* KindName(TKind kind);

// Initial state and look of a described control.
enum TDescFlag : uint32_t {
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kChecked = 1u << 2,
  kDefault = 1u << 3,        // button pressed by Enter
  kCancel = 1u << 4,         // button pressed by Esc
  kTextRight = 1u << 5,      // caption right-aligned (labels, panels)
  kTextCenter = 1u << 6,     // caption centred
  kBold = 1u << 7,           // bold font
  kReadOnly = 1u << 8,       // edit box
  kMultiSelect = 1u << 9,    // list box: several items selectable
  kVirtual = 1u << 10,       // list box: items supplied on demand (OnData)
  kDropDownList = 1u << 11,  // combo box without typing
  kGroove = 1u << 12,        // label with a grooved border (TDesc::GrooveColor)
  kHandCursor = 1u << 13,    // hand pointer over the control
  kShowHint = 1u << 14,      // hint shown as a tooltip
  kFlat = 1u << 15,          // flat button
  kTabHidden = 1u << 16,     // tab sheet whose tab is not shown
  kAlignTop = 1u << 17,      // docks to the parent's top edge
  kAlignBottom = 1u << 18,   // docks to the parent's bottom edge
  kAlignClient = 1u << 19,   // fills what the docked siblings leave
  kAnchorRight = 1u << 20,   // keeps its distance to the parent's right edge
  kAnchorBottom = 1u << 21,  // keeps its distance to the parent's bottom edge
  kBevel = 1u << 22,         // panel with a raised bevel
  kBorder = 1u << 23,        // framed list box or edit box
};

// One row of a window description: a control (or a non-visual component)
// with its name, kind, parent, caption, place, size and initial state.
// Places are relative to the parent's client area; an empty parent is the
// form (or the frame a description is built into).
struct TDesc {
  std::string Name;
  TKind Kind = TKind::Label;
  std::string Parent;
  std::string Caption;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  uint32_t Flags = 0;
  // Kind-specific extras.
  int32_t Min = 0, Max = 0;  // spin box range
  int32_t ItemHeight = 0;    // list box
  int32_t TabHeight = 0;     // page control
  int32_t ModalResult = 0;   // button
  int32_t HelpContext = 0;
  TColor Color = clDefault;
  TColor FontColor = clDefault;
  // The line of a grooved label; clDefault draws it in the font colour.
  TColor GrooveColor = clDefault;
  // The control's hint as built; empty leaves it without one.
  std::string Hint;

  TDesc() = default;
  TDesc(TKind kind, std::string name, std::string parent, std::string caption)
      : Name(std::move(name)), Kind(kind), Parent(std::move(parent)), Caption(std::move(caption)) {}
  TDesc& At(int left, int top, int width, int height) {
    Left = left, Top = top, Width = width, Height = height;
    return *this;
  }
  TDesc& Set(uint32_t flags) {
    Flags |= flags;
    return *this;
  }
  TDesc& Range(int32_t min, int32_t max) {
    Min = min, Max = max;
    return *this;
  }
  TDesc& Colors(TColor color, TColor fontColor) {
    Color = color, FontColor = fontColor;
    return *this;
  }
  TDesc& Items(int32_t itemHeight) {
    ItemHeight = itemHeight;
    return *this;
  }
  TDesc& Tabs(int32_t tabHeight) {
    TabHeight = tabHeight;
    return *this;
  }
  TDesc& Result(int32_t modalResult) {
    ModalResult = modalResult;
    return *this;
  }
  TDesc& Help(int32_t helpContext) {
    HelpContext = helpContext;
    return *this;
  }
  // A grooved border whose line has a colour of its own.
  TDesc& Groove(TColor color) {
    Flags |= kGroove;
    GrooveColor = color;
    return *this;
  }
  TDesc& WithHint(std::string hint) {
    Hint = std::move(hint);
    return *this;
  }
};

using TDescTable = std::vector<TDesc>;

}  // namespace veltrin::ui

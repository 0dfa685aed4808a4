#include "forms/flt_base_form.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "common/counted.h"
#include "common/inifile.h"
#include "common/lottery.h"
#include "common/records.h"
#include "common/text.h"
#include "common/texts.h"
#include "forms/form_texts.h"
#include "forms/share_func.h"
#include "ui/services.h"

namespace veltrin {

using ui::TDesc;
using ui::TKind;

namespace {

constexpr char kHelpFileName[] = "szcqvb.chm";
constexpr char kBetSample[] = "1234567";
constexpr char kFltExtension[] = "flt";

// Releases what a debug evaluation put into the record.
struct TDebugRecord {
  TDebugResult Result{};
  ~TDebugRecord() { ReleaseDebugResult(Result); }
};

// One text line per file line: every line end becomes ";" (CR LF first, so
// that it gives one ";", then any lone CR or LF).
std::string LineEndsToSemicolons(std::string_view text) {
  return ReplaceChar(ReplaceChar(ReplaceAll(text, "\r\n", ";"), '\r', ';'), '\n', ';');
}

}  // namespace

ui::TDescTable TfrmFltBase::Description() {
  using namespace ui;
  const TColor kMaroon = clMaroon;
  return {
      // The bottom strip, then the pages above it.
      TDesc(TKind::Panel, "Panel1", "", "").At(0, 337, 535, 36).Set(kAlignBottom),
      TDesc(TKind::CheckBox, "chkCanErr", "Panel1", "").At(6, 10, 14, 17),
      TDesc(TKind::SpinEdit, "edtCanErr1", "Panel1", "0")
          .At(22, 8, 56, 21)
          .Range(0, 10000)
          .Set(kDisabled),
      TDesc(TKind::Label, "Label6", "Panel1", kTxtToleranceLabel).At(80, 12, 62, 14),
      TDesc(TKind::SpinEdit, "edtCanErr2", "Panel1", "0")
          .At(144, 8, 56, 21)
          .Range(0, 10000)
          .Set(kDisabled),
      TDesc(TKind::Button, "btnSave", "Panel1", kTxtSave).At(210, 7, 50, 23),
      TDesc(TKind::Button, "btnLoad", "Panel1", kTxtLoad).At(264, 7, 50, 23),
      TDesc(TKind::Button, "btnOK", "Panel1", kTxtOK)
          .At(321, 7, 60, 23)
          .Set(kDefault | kAnchorRight),
      TDesc(TKind::Button, "btnClose", "Panel1", kTxtClose)
          .At(387, 7, 60, 23)
          .Set(kCancel | kAnchorRight),
      TDesc(TKind::Button, "btnHelp", "Panel1", kTxtHelp).At(459, 7, 60, 23).Set(kAnchorRight),
      TDesc(TKind::CheckBox, "chkCanSupErr", "Panel1", "")
          .At(6, 39, 14, 17)
          .Set(kDisabled | kHidden),
      TDesc(TKind::SpinEdit, "edtCanSupErr1", "Panel1", "0")
          .At(22, 37, 56, 21)
          .Range(0, 100000)
          .Set(kDisabled | kHidden),
      TDesc(TKind::Label, "lblSupErr", "Panel1", kTxtSupToleranceLabel)
          .At(80, 41, 62, 14)
          .Set(kHidden),
      TDesc(TKind::SpinEdit, "edtCanSupErr2", "Panel1", "0")
          .At(144, 37, 56, 21)
          .Range(0, 100000)
          .Set(kDisabled | kHidden),

      TDesc(TKind::PageControl, "pageFlt", "", "").At(0, 0, 535, 337).Set(kAlignClient).Tabs(18),
      TDesc(TKind::TabSheet, "tabFilter", "pageFlt", kTxtTabFilter),
      TDesc(TKind::TabSheet, "tabFltValidate", "pageFlt", kTxtTabValidate).Set(kTabHidden),

      // The simulated run: the bet row, the result list under its header,
      // the three results below.
      TDesc(TKind::Label, "Label411", "tabFltValidate", kTxtBetResultLabel)
          .At(4, 12, 86, 14)
          .Set(kTextRight),
      TDesc(TKind::Edit, "edtAChip", "tabFltValidate", "")
          .At(92, 8, 130, 21)
          .Set(kBold)
          .Colors(clDefault, kMaroon),
      TDesc(TKind::Button, "btnFltValidate", "tabFltValidate", kTxtValidate).At(228, 7, 75, 23),
      TDesc(TKind::Button, "RzButton1", "tabFltValidate", kTxtHistory).At(307, 7, 50, 23),
      TDesc(TKind::Panel, "Panel311", "tabFltValidate", kTxtValidateHeader)
          .At(4, 36, 519, 20)
          .Set(kBevel),
      TDesc(TKind::ListBox, "lstFltValidate", "tabFltValidate", "")
          .At(4, 56, 519, 212)
          .Set(kBorder),
      TDesc(TKind::Label, "Label511", "tabFltValidate", kTxtFailTimesLabel).At(4, 278, 72, 14),
      TDesc(TKind::Label, "lblFltTimes", "tabFltValidate", "0")
          .At(76, 278, 48, 14)
          .Set(kTextRight)
          .Colors(clDefault, kMaroon),
      TDesc(TKind::Label, "Label811", "tabFltValidate", kTxtCanErrLabel).At(160, 278, 60, 14),
      // Wide enough for the widest range the boxes take ("10000 - 10000").
      TDesc(TKind::Label, "lblCanErr", "tabFltValidate", kTxtNoTolerance)
          .At(220, 278, 90, 14)
          .Set(kTextRight)
          .Colors(clDefault, kMaroon),
      TDesc(TKind::Label, "Label1011", "tabFltValidate", kTxtFltResultLabel).At(336, 278, 84, 14),
      TDesc(TKind::Label, "lblFltResult", "tabFltValidate", kTxtKeep)
          .At(420, 278, 48, 14)
          .Set(kTextRight)
          .Colors(clDefault, kMaroon),
  };
}

TfrmFltBase::TfrmFltBase(std::string name) : TfrmFileBase(std::move(name)) {
  SetCaption(kTxtFltBaseCaption);
  SetBorderWidth(6);
  SetClientSize(535, 373);
  Build(Description());

  Bind(pageFlt, "pageFlt");
  Bind(tabFilter, "tabFilter");
  Bind(tabFltValidate, "tabFltValidate");
  Bind(Panel1, "Panel1");
  Bind(chkCanErr, "chkCanErr").OnClick = ui::Handler(this, &TfrmFltBase::chkCanErrClick);
  Bind(edtCanErr1, "edtCanErr1");
  Bind(Label6, "Label6").OnClick = ui::Handler(this, &TfrmFltBase::Label6Click);
  Bind(edtCanErr2, "edtCanErr2");
  Bind(btnSave, "btnSave").OnClick = ui::Handler(this, &TfrmFltBase::btnSaveClick);
  Bind(btnLoad, "btnLoad").OnClick = ui::Handler(this, &TfrmFltBase::btnLoadClick);
  Bind(btnOK, "btnOK").OnClick = ui::Handler(this, &TfrmFltBase::btnOKClick);
  Bind(btnClose, "btnClose").OnClick = ui::Handler(this, &TfrmFltBase::btnCloseClick);
  Bind(btnHelp, "btnHelp").OnClick = ui::Handler(this, &TfrmFltBase::btnHelpClick);
  Bind(chkCanSupErr, "chkCanSupErr").OnClick = ui::Handler(this, &TfrmFltBase::chkCanErrClick);
  Bind(edtCanSupErr1, "edtCanSupErr1");
  Bind(lblSupErr, "lblSupErr");
  Bind(edtCanSupErr2, "edtCanSupErr2");
  Bind(Label411, "Label411");
  Bind(edtAChip, "edtAChip").OnKeyPress = ui::Handler(this, &TfrmFltBase::edtAChipKeyPress);
  Bind(btnFltValidate, "btnFltValidate").OnClick =
      ui::Handler(this, &TfrmFltBase::btnFltValidateClick);
  Bind(RzButton1, "RzButton1").OnClick = ui::Handler(this, &TfrmFltBase::RzButton1Click);
  Bind(Panel311, "Panel311");
  Bind(lstFltValidate, "lstFltValidate");
  Bind(Label511, "Label511");
  Bind(lblFltTimes, "lblFltTimes");
  Bind(Label811, "Label811");
  Bind(lblCanErr, "lblCanErr");
  Bind(Label1011, "Label1011");
  Bind(lblFltResult, "lblFltResult");

  OnShow = [this](ui::TComponent&) { FormShow(); };
  OnCopyData = [this](ui::TForm&, uintptr_t, const void* data, size_t size) {
    return CopyDataReceived(data, size);
  };

  FormCreate();
}

TfrmFltBase::~TfrmFltBase() {
  if (FHost) FHost->Release();
  FHost = nullptr;
}

void TfrmFltBase::FormCreate() {
  FCancelled = true;
  HelpFile = AppDirFile(kHelpFileName);
  FHelpPage = AppDirFile(kHelpPageName);
  // A host that keeps its plug-ins in a folder of their own has the page
  // beside the library instead.
  if (!ui::FileExists(FHelpPage)) {
    std::string besideLibrary = LibraryDirFile(kHelpPageName);
    if (ui::FileExists(besideLibrary)) FHelpPage = std::move(besideLibrary);
  }
}

// ---- operations -------------------------------------------------------------------

bool TfrmFltBase::CheckRange(int32_t min, int32_t max, bool warn) {
  if (max >= min) return true;
  if (warn) TShareFunc::ShowWarning(kTxtRangeWarning);
  return false;
}

TFilter* TfrmFltBase::CreateFilter() { return nullptr; }

void TfrmFltBase::SetHost(ICallWrapper* host) {
  if (!host) return;
  host->AddRef();
  if (FHost) FHost->Release();
  FHost = host;
}

std::optional<int32_t> TfrmFltBase::ToleranceValue(const ui::TSpinEdit& box) {
  const std::string text = box.Text();
  // Digits only: a sign or blanks typed or pasted into the box are no
  // tolerance, though the integer reader would take them.
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const std::optional<int32_t> value = IntText(text);
  if (!value || *value < box.MinValue() || *value > box.MaxValue()) return std::nullopt;
  return value;
}

std::string TfrmFltBase::ToleranceField(const ui::TSpinEdit& box) {
  // Only OK and Save check the boxes; every other way the text is taken
  // (the generator's reload, the aides) gets the nearest value the box
  // allows, so an E| line never carries what the filter refuses.
  if (std::optional<int32_t> value = ToleranceValue(box)) return std::to_string(*value);
  const std::optional<int32_t> loose = IntText(box.Text());
  return std::to_string(loose ? std::clamp(*loose, box.MinValue(), box.MaxValue())
                              : box.MinValue());
}

bool TfrmFltBase::ToleranceValid() {
  const struct {
    bool on;
    ui::TSpinEdit* low;
    ui::TSpinEdit* high;
  } rows[] = {
      {chkCanErr->Checked(), edtCanErr1, edtCanErr2},
      {chkCanErr->Checked() && chkCanSupErr->Enabled() && chkCanSupErr->Checked(), edtCanSupErr1,
       edtCanSupErr2},
  };
  for (const auto& row : rows) {
    if (!row.on) continue;
    for (ui::TSpinEdit* box : {row.low, row.high})
      if (!ToleranceValue(*box)) {
        TShareFunc::ShowWarning(std::string(kTxtToleranceMustBe) + std::to_string(box->MinValue()) +
                                kTxtToleranceTo + std::to_string(box->MaxValue()) +
                                kTxtToleranceTail);
        return false;
      }
    if (!CheckRange(*ToleranceValue(*row.low), *ToleranceValue(*row.high), true)) return false;
  }
  return true;
}

std::string TfrmFltBase::GetSettingsText() {
  std::string text;
  if (chkCanErr->Checked())
    text += "E|" + ToleranceField(*edtCanErr1) + "-" + ToleranceField(*edtCanErr2) + "\r\n";
  if (chkCanSupErr->Enabled() && chkCanSupErr->Checked())
    text += "S|" + ToleranceField(*edtCanSupErr1) + "-" + ToleranceField(*edtCanSupErr2) + "\r\n";
  return text + GetConditionsText();
}

void TfrmFltBase::LoadSettingsText(std::string_view text) {
  if (IsBlank(text)) return;
  std::string rest(text);
  // Reads the first line as a tolerance line of `letter`; when it is one,
  // the boxes show it and it leaves the text.
  auto takeToleranceLine = [&rest](char letter, ui::TCheckBox* check, ui::TSpinEdit* low,
                                   ui::TSpinEdit* high) {
    size_t end = rest.find('\r');
    if (end == std::string::npos) end = rest.find(';');
    std::string line = end == std::string::npos ? std::string() : rest.substr(0, end);
    bool enabled = false;
    int32_t lo = 0, hi = 0;
    bool read = TFilter::ParseErrLine(line, enabled, lo, hi, letter);
    check->SetChecked(read);
    if (!read) return;
    low->SetText(std::to_string(lo));
    high->SetText(std::to_string(hi));
    rest.erase(0, end + 1);
    if (!rest.empty() && rest[0] == '\n') rest.erase(0, 1);
  };
  takeToleranceLine('e', chkCanErr, edtCanErr1, edtCanErr2);
  takeToleranceLine('s', chkCanSupErr, edtCanSupErr1, edtCanSupErr2);
  SetConditionsText(rest);
}

std::string TfrmFltBase::LoadFltFile(std::string_view key) {
  std::string path = PickOpenFile(kTxtFltFileFilter, "");
  if (path.empty()) return {};
  try {
    TExtIniFile ini(path);
    return ini.ReadString(kTxtFltSection, key, "");
  } catch (const std::exception&) {
    throw std::runtime_error(std::string(kTxtImportFailed) + path);
  }
}

bool TfrmFltBase::SaveFltFile(std::string_view key, std::string_view text) {
  std::string path = PickSaveFile(kTxtFltFileFilter, "", Caption(), kFltExtension);
  if (path.empty()) return false;
  try {
    // Read first so that the file's other keys and sections stay; the save
    // replaces the file whole or leaves it as it was.
    TExtIniFile ini(path);
    ini.WriteString(kTxtFltSection, key, text);
    return true;
  } catch (const std::exception&) {
    TShareFunc::ShowError(std::string(kTxtSaveFailed) + "\r\n" + path);
    return false;
  }
}

// ---- handlers -------------------------------------------------------------------------

void TfrmFltBase::FormShow() {
  pageFlt->SetActivePageIndex(0);
  // The bet box takes a whole bet of the host's lottery; 0 means no limit.
  int64_t length = int64_t(LotteryInfo.DigitCount) + int64_t(LotteryInfo.ExtraDigitCount);
  length = std::clamp<int64_t>(length, 0, 1 << 20);
  edtAChip->SetMaxLength(int32_t(length));
  edtAChip->SetText(std::string(kBetSample).substr(0, size_t(length)));
}

void TfrmFltBase::chkCanErrClick() {
  const bool on = chkCanErr->Checked();
  edtCanErr1->SetEnabled(on);
  edtCanErr2->SetEnabled(on);
  chkCanSupErr->SetEnabled(chkCanSupErr->Visible() && on);
  const bool sup = chkCanSupErr->Enabled() && chkCanSupErr->Checked();
  edtCanSupErr1->SetEnabled(sup);
  edtCanSupErr2->SetEnabled(sup);
}

void TfrmFltBase::Label6Click() {
  try {
    edtCanErr1->SetText(TextBefore(FToleranceText, '-'));
    edtCanErr2->SetText(TextAfter(FToleranceText, '-'));
  } catch (const std::exception&) {
    edtCanErr1->SetText("0");
    edtCanErr2->SetText("0");
  }
}

void TfrmFltBase::btnSaveClick() {
  if (!ToleranceValid()) return;
  if (SaveFltFile(Caption(), LineEndsToSemicolons(GetSettingsText())))
    TShareFunc::ShowInfo(kTxtSaveOk);
}

void TfrmFltBase::btnLoadClick() {
  std::string text = LoadFltFile(Caption());
  if (text.empty()) return;
  try {
    LoadSettingsText(text);
  } catch (const std::exception&) {
    TShareFunc::ShowInfo(kTxtOpenFailed);
  }
}

void TfrmFltBase::btnOKClick() {
  // The dialog stays open on a tolerance the filter would refuse.
  if (!ToleranceValid()) return;
  FCancelled = false;
  SetModalResult(ui::mrOk);
}

void TfrmFltBase::btnCloseClick() { Close(); }

void TfrmFltBase::btnHelpClick(ui::TComponent& sender) {
  auto* control = dynamic_cast<ui::TControl*>(&sender);
  TShareFunc::OpenHelp(HelpFile, control ? control->HelpContext() : 0, FHelpPage);
}

intptr_t TfrmFltBase::CopyDataReceived(const void* data, size_t size) {
  // The text ends at its zero or at the block's end, whichever comes first.
  const char* bytes = static_cast<const char*>(data);
  size_t length = 0;
  if (bytes && size > 0) {
    const void* zero = std::memchr(bytes, 0, size);
    length = zero ? size_t(static_cast<const char*>(zero) - bytes) : size;
  }
  FToleranceText.assign(bytes ? bytes : "", length);
  edtCanErr1->SetText(TextBefore(FToleranceText, '-'));
  edtCanErr2->SetText(TextAfter(FToleranceText, '-'));
  return 0;
}

void TfrmFltBase::btnFltValidateClick() {
  TFilterPtr filter(CreateFilter());
  if (!filter) return;
  // The dialog's own tolerance is applied below; this line lets every count
  // through the filter.
  filter->FilterStr = "E|0-" + std::to_string(kVerdictPassThrough) + "\r\n" + GetConditionsText();
  if (!filter->PrepareRun()) {
    TShareFunc::ShowWarning(kTxtConditionsInvalid);
    return;
  }
  filter->UseVerdict = false;
  const std::string bet = edtAChip->Text();
  int32_t count = 0;
  bool evaluated = false;
  {
    ui::TWaitCursor wait;
    lstFltValidate->ClearItems();
    TDebugRecord record;
    if (filter->Debug(bet.c_str(), true, &record.Result)) {
      const std::string name(CountedStrView(record.Result.FilterName));
      const TOneDebugResult* lines = record.Result.DebugLines;
      for (int32_t i = 0, n = DynArrayLength(lines); i < n; ++i)
        lstFltValidate->AddItem(bet + " - " + name + " - " +
                                std::string(CountedStrView(lines[i].Condition)) + " - " +
                                std::string(CountedStrView(lines[i].Value)));
      count = filter->Execute(bet.c_str());
      evaluated = count >= 0;
    }
  }
  if (!evaluated) {
    TShareFunc::ShowError(kTxtBetInvalid);
    return;
  }
  lblFltTimes->SetCaption(std::to_string(count));

  int32_t low = 0, high = 0;
  lblCanErr->SetCaption(kTxtNoTolerance);
  if (chkCanErr->Visible() && chkCanErr->Checked()) {
    // A box that does not hold an integer ends the run with its error.
    low = IntTextOrThrow(edtCanErr1->Text());
    high = IntTextOrThrow(edtCanErr2->Text());
    lblCanErr->SetCaption(std::to_string(low) + " - " + std::to_string(high));
  }
  lblFltResult->SetCaption(low <= count && count <= high ? kTxtKeep : kTxtRemove);
}

void TfrmFltBase::edtAChipKeyPress(wchar_t& key) {
  const bool digit = key >= L'0' && key <= L'9';
  if (!digit && key != L' ' && key != L'\b') key = 0;
}

void TfrmFltBase::RzButton1Click() {
  if (!FHost) return;
  const char* text = nullptr;
  if (!Succeeded(FHost->SelectDrawNumber(&text))) {
    TShareFunc::ShowError(kTxtDrawNumberError);
    return;
  }
  edtAChip->SetText(text ? text : "");
}

}  // namespace veltrin

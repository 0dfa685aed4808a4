// Shows one dialog of the forms layer for a few seconds so that
// scripts/screenshot.sh can photograph it:
//
//   veltrin_demo.exe <dialog> [ready-file] [seconds]
//
// dialog: "fltbase" (the filter dialog base with a tolerance and two
// condition lines), "fltvalidate" (the same after a simulated run on its
// second page), "supfltbase", "twograde", "selecttwo" or "codegrade" (the
// pair-score dialog with a condition shown in its grid), "codegradehint" (the
// same with the mouse over a long list line and its hint up) or
// "codegradepicture" (its distribution page with recent draws marked). Once the window is up and
// painted, "left top width height" of the dialog window goes into ready-file; the dialog closes
// itself after the given seconds (default 8).
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/lottery.h"
#include "common/text.h"
#include "common/texts.h"
#include "filter/filter_sup.h"
#include "filter/pro_grade.h"
#include "forms/demo/code_grade_demo.h"
#include "forms/demo/sup_flt_base_demo.h"
#include "forms/demo/two_code_demo.h"
#include "forms/flt_base_form.h"
#include "ui/automation.h"
#include "ui/win32/win32.h"

namespace veltrin {
namespace {

// A filter dialog with a fixed list of pair-score conditions.
class TDemoFltForm final : public TfrmFltBase {
 public:
  TDemoFltForm() : TfrmFltBase("frmDemoFlt") {}
  std::string GetConditionsText() override {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    return text;
  }
  void SetConditionsText(std::string_view text) override {
    lines_.clear();
    SplitLines(TSupFilter::SemicolonsToLines(text),
               [&](std::string_view line) { lines_.emplace_back(line); });
  }
  TFilter* CreateFilter() override { return TProGradeFilter::New(); }

 private:
  std::vector<std::string> lines_;
};

ui::TForm* g_form = nullptr;
// The dialog base shown, for the simulated run.
TfrmFltBase* g_flt = nullptr;
// The pair-score dialog shown, whose editor is filled once it is up.
TCodeGradeFrm* g_grade = nullptr;
std::string g_dialog;
std::wstring g_readyFile;
UINT_PTR g_closeTimer = 0;

void CALLBACK Close(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_form) g_form->SetModalResult(ui::mrCancel);
}

// Widens `r` by every visible tooltip of this thread (the hint photographed
// with its dialog).
BOOL CALLBACK AddTooltip(HWND hwnd, LPARAM lp) {
  wchar_t cls[32]{};
  GetClassNameW(hwnd, cls, 32);
  if (IsWindowVisible(hwnd) && _wcsicmp(cls, TOOLTIPS_CLASSW) == 0) {
    RECT tip{};
    GetWindowRect(hwnd, &tip);
    UnionRect(reinterpret_cast<RECT*>(lp), reinterpret_cast<RECT*>(lp), &tip);
  }
  return TRUE;
}

// The mouse over the list's last line, as a player pointing at it.
void PointAtLastLine(TCodeGradeFrm& dialog) {
  HWND list = ui::WindowOf(*dialog.lstFilter);
  const int last = dialog.lstFilter->Count() - 1;
  RECT item{};
  if (last < 0 || SendMessageW(list, LB_GETITEMRECT, WPARAM(last), LPARAM(&item)) == LB_ERR) return;
  POINT at{(item.left + item.right) / 4, (item.top + item.bottom) / 2};
  ClientToScreen(list, &at);
  SetCursorPos(at.x, at.y);
  dialog.lstFilter->ShowItemHint(last);
}

void CALLBACK Ready(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND hwnd = ui::WindowOf(*g_form);
  UpdateWindow(hwnd);
  if (g_readyFile.empty()) return;
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (g_dialog == "codegradehint") EnumThreadWindows(GetCurrentThreadId(), AddTooltip, LPARAM(&r));
  if (FILE* f = _wfopen(g_readyFile.c_str(), L"w")) {
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
  }
}

void CALLBACK Prepare(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_dialog == "fltvalidate" && g_flt) {
    g_flt->pageFlt->SetActivePageIndex(1);
    ui::TypeText(*g_flt->edtAChip, L"\b\b\b121");
    ui::Click(*g_flt->btnFltValidate);
  }
  if (g_grade && g_dialog == "codegradepicture")
    demo::ShowCodeGradeDemoPicture(*g_grade);
  else if (g_grade)
    demo::ShowCodeGradeDemoCondition(*g_grade);
  if (g_grade && g_dialog == "codegradehint") PointAtLastLine(*g_grade);
  SetTimer(nullptr, 0, 1500, Ready);
}

int Run(const std::vector<std::wstring>& args) {
  g_dialog = args.size() > 1 ? ui::WideToGbk(args[1]) : "fltbase";
  if (args.size() > 2) g_readyFile = args[2];
  int seconds = args.size() > 3 ? _wtoi(args[3].c_str()) : 8;
  LotteryInfo.DigitCount = 3;
  // Shows `form` until the close timer ends the modal run.
  auto show = [&](ui::TForm& form) {
    g_form = &form;
    SetTimer(nullptr, 0, 300, Prepare);
    g_closeTimer = SetTimer(nullptr, 0, UINT(seconds > 0 ? seconds : 8) * 1000, Close);
    form.ShowModal();
    g_form = nullptr;
    g_flt = nullptr;
    g_grade = nullptr;
    return 0;
  };
  if (g_dialog == "supfltbase") {
    std::unique_ptr<TfrmSupFltBase> list = demo::NewSupFltBaseDemo();
    g_flt = list.get();
    return show(*list);
  }
  if (g_dialog == "codegrade" || g_dialog == "codegradehint" || g_dialog == "codegradepicture") {
    std::unique_ptr<TCodeGradeFrm> grade = demo::NewCodeGradeDemo();
    g_grade = grade.get();
    return show(*grade);
  }
  if (g_dialog == "twograde") return show(*demo::NewTwoGradeFrameDemo());
  if (g_dialog == "selecttwo") return show(*demo::NewSelectTwoDemo());
  if (g_dialog != "fltbase" && g_dialog != "fltvalidate") return 2;

  TDemoFltForm form;
  g_flt = &form;
  const std::string straight = kTxtModeStraight;
  form.LoadSettingsText("E|1-2\r\n" + straight + ":1=12 21,2=33:0-2\r\n" + straight +
                        ":5=01 02 03:0-10\r\n");
  if (g_dialog == "fltvalidate") form.tabFltValidate->SetTabVisible(true);
  show(form);
  return 0;
}

}  // namespace
}  // namespace veltrin

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv, argv + argc);
  LocalFree(argv);
  try {
    return veltrin::Run(args);
  } catch (...) {
    return 1;
  }
}

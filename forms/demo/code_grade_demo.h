// The pair-score settings dialog for the demo program (scripts/screenshot.sh,
// dialog "codegrade"): a tolerance, a few conditions in the list, and, once
// the dialog is up, one of them shown in the editor with codes given to
// several scores of the grid; or its distribution page with recent draws.
#pragma once

#include <memory>

#include "forms/code_grade_form.h"

namespace veltrin::demo {

// The dialog loaded with its conditions, for a five-digit lottery.
std::unique_ptr<TCodeGradeFrm> NewCodeGradeDemo();
// Selects a condition of the list and shows it in the editor; for after the
// dialog has been shown (showing resets the editor).
void ShowCodeGradeDemoCondition(TCodeGradeFrm& dialog);
// The distribution page of that condition, with a host's recent draws
// marked (dialog "codegradepicture").
void ShowCodeGradeDemoPicture(TCodeGradeFrm& dialog);

}  // namespace veltrin::demo

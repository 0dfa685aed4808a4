// The settings dialog of the Windows library: installed as the pair-score
// filter's open operation when the library loads, so that SzcOpen shows it.
// Builds without a window system leave the operation empty; there SzcOpen
// answers true and changes nothing.
#include "filter/pro_grade.h"
#include "forms/code_grade_form.h"

namespace veltrin {
namespace {

// Runs while the library loads, before the host can call any export.
struct TDialogInstaller {
  TDialogInstaller() { SetSettingsDialog(&ShowCodeGradeSettings); }
  ~TDialogInstaller() { SetSettingsDialog(nullptr); }
};
const TDialogInstaller g_installer;

}  // namespace
}  // namespace veltrin

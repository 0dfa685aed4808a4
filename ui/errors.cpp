// What becomes of an error: the report of one that escaped an event
// handler, and the errors the layer raises for a caller's mistake.
#include "ui/controls.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "ui/services.h"

namespace veltrin::ui {

namespace {
// The layer's own report: a plain error box. The forms install theirs.
void DefaultErrorReport(std::string_view message) {
  MessageDlg(nullptr, TMsgKind::Error, message, {}, TMsgButtons::Ok, false);
}
TErrorReporter g_reporter = DefaultErrorReport;
}  // namespace

void SetErrorReporter(TErrorReporter reporter) {
  g_reporter = reporter ? std::move(reporter) : TErrorReporter(DefaultErrorReport);
}

void RunGuarded(const std::function<void()>& action) noexcept {
  std::string message;
  try {
    action();
    return;
  } catch (const std::exception& e) {
    try {
      message = e.what();
    } catch (...) {
    }
  } catch (...) {
  }
  try {
    g_reporter(message);
  } catch (...) {
    // Nothing more can be reported; the message loop goes on.
  }
}

namespace detail {
void ThrowIndex(int32_t index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

void ThrowBadComponent(std::string_view name, const char* wanted) {
  throw std::logic_error("no component '" + std::string(name) + "' of class " + wanted);
}
}  // namespace detail

}  // namespace veltrin::ui

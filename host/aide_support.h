// What batch, tolerance and history share: the setting split as the
// dialog splits it, the library's filter objects, and the common start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/records.h"
#include "host/options.h"
#include "host/setting.h"

namespace veltrin::host {

// A setting split as the condition list dialog loads it: a tolerance line
// ("E|lo-hi") on top and a super tolerance line ("S|lo-hi") after it go to
// the dialog's boxes; every other line is a list line.
struct SettingLines {
  std::vector<std::string> Tolerance;
  std::vector<std::string> Conditions;
};
SettingLines SplitSetting(std::string_view text);
// The lines in the one-line form of settings files, each closed by ";".
std::string JoinSetting(const SettingLines& lines);

// A filter object of the library's class, released with its own Free slot.
class FilterHandle {
 public:
  explicit FilterHandle(const PluginExports& api)
      : object_(api.VeltrinCreateFilter ? static_cast<TFilterObject*>(api.VeltrinCreateFilter())
                                        : nullptr) {}
  ~FilterHandle() {
    if (object_) object_->Slots->Free(object_);
  }
  FilterHandle(const FilterHandle&) = delete;
  FilterHandle& operator=(const FilterHandle&) = delete;
  TFilterObject* get() const { return object_; }
  const TFilterSlots& Slots() const { return *object_->Slots; }

 private:
  TFilterObject* object_;
};

// The common start of the aides: the setting, the history and the library.
bool StartAide(const Options& o, const char* command, Session& session, std::string& text,
               std::string& source);
// False (reported) when the library offers no filter objects.
bool NeedFilterObjects(const Session& session);
// "lo-hi" of a condition line, "?" when it has none.
std::string RangeOf(std::string_view line);
// Names the first invalid line and field of `text`, as filter does, after
// `what` ("the batch aide updated no condition").
void ReportInvalidSetting(const Session& session, const std::string& text,
                          const std::string& source, const std::string& what);

}  // namespace veltrin::host

// TConditionList: the condition lines of a condition-list dialog, without
// any control. It holds the lines in the order the list box shows them and
// performs what the dialog's buttons and menu do to them (add, replace,
// delete, keep/remove, import, the batch aide's rewrite); the dialog keeps
// the controls, the selection and the questions it asks the user.
//
// Selections are item indices as the list box reports them; indices outside
// the list are ignored, so a selection left over from a longer list does no
// harm.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/string_list.h"

namespace veltrin {

struct TBatFltSet;
class TFilter;

class TConditionList {
 public:
  TConditionList();
  ~TConditionList();
  TConditionList(const TConditionList&) = delete;
  TConditionList& operator=(const TConditionList&) = delete;

  // The lines as the boundary's list object (the batch aide rewrites them in
  // place through it); owned by this model.
  TStringList* Strings() const { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_->Lines(); }
  int32_t Count() const { return int32_t(Lines().size()); }
  // Line `index`; empty outside the list.
  std::string Line(int32_t index) const;

  // Every line followed by CR LF; empty for an empty list.
  std::string Text() const;
  // Lines separated by CR, LF, CR LF or ";" replace the list.
  void SetText(std::string_view text);
  // Appends every line of `text` (CR, LF or CR LF), empty lines included.
  void AppendText(std::string_view text);

  // True when a line equals `line` but for ASCII case.
  bool Contains(std::string_view line) const;
  // Appends `line`; its index.
  int32_t Append(std::string line);
  // Replaces line `index`; false (and nothing changes) outside the list.
  bool Replace(int32_t index, std::string line);
  // Deletes the lines at `selected`. Answers where the current position
  // `current` goes: it stays, or moves to the last line when its position
  // is gone; -1 when nothing was current or nothing is left.
  int32_t Delete(const std::vector<int32_t>& selected, int32_t current);
  void Clear();
  // Sets the leading "K" (keep) or "D" (remove) of every selected line that
  // begins with one; other lines stay as they are.
  void SetKeepRemove(const std::vector<int32_t>& selected, bool keep);
  // The batch aide of `filter` over these lines with the host's sample
  // `data`: the number of lines it rewrote (0 when the sample is empty).
  int32_t RunBatchAide(TFilter& filter, TBatFltSet* data);

 private:
  TStringList* lines_;
};

}  // namespace veltrin

// TExtIniFile: reader and writer of the small INI dialect of filter settings
// files. The whole file is kept as a list of lines; a write changes the list
// in place and saves the whole list at once.
//
//  - a header for section S is a line equal to "[S]" after ASCII upper-casing
//    both; nothing else may stand on the line;
//  - an entry for key K is a line beginning with K "=" (case-sensitive);
//  - a section's body runs to the first empty line or line beginning "[".
//  - lines load split at CR, LF or CR LF and save each followed by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrin {

class TExtIniFile {
 public:
  // Loads the file if it exists (a missing file gives an empty list).
  // Throws std::runtime_error when an existing file cannot be read.
  explicit TExtIniFile(std::string fileName, bool autoSave = true);

  std::string ReadString(std::string_view section, std::string_view ident,
                         std::string_view def) const;
  // Sets the key and, while AutoSave is set, saves. Throws
  // std::runtime_error when the file cannot be written; the file on disk is
  // then unchanged (it is replaced whole or not at all), while Lines keeps
  // the change.
  void WriteString(std::string_view section, std::string_view ident, std::string_view value);
  // Writes all lines to FileName, replacing the file whole.
  void Save() const;

  const std::string& FileName() const { return fileName_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  bool AutoSave() const { return autoSave_; }

 private:
  std::string fileName_;
  std::vector<std::string> lines_;
  bool autoSave_;
};

}  // namespace veltrin

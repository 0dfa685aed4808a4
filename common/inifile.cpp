#include "common/inifile.h"

#include <cstdio>
#include <stdexcept>

#include "common/text.h"
#include "port/port.h"

namespace veltrin {
namespace {

// File names are GBK like every other text of the system; the platform
// layer turns them into names the system takes.
std::string SystemPath(const std::string& gbkPath) {
  std::string path;
  return port::PathFromGbk(gbkPath, path) ? path : gbkPath;
}

std::string HeaderFor(std::string_view section) {
  std::string h;
  h.reserve(section.size() + 2);
  h += '[';
  h.append(section);
  h += ']';
  return h;
}

bool IsEntry(const std::string& line, std::string_view ident) {
  return line.size() > ident.size() && line[ident.size()] == '=' &&
         std::string_view(line).substr(0, ident.size()) == ident;
}

bool EndsBody(const std::string& line) { return line.empty() || line[0] == '['; }

// Index of the first header for `section`, or lines.size().
size_t FindHeader(const std::vector<std::string>& lines, std::string_view section) {
  const std::string wanted = AsciiUpper(HeaderFor(section));
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].size() == wanted.size() && AsciiUpper(lines[i]) == wanted) return i;
  return lines.size();
}

}  // namespace

TExtIniFile::TExtIniFile(std::string fileName, bool autoSave)
    : fileName_(std::move(fileName)), autoSave_(autoSave) {
  const std::string path = SystemPath(fileName_);
  const port::PathKind kind = port::KindOf(path);
  if (kind == port::PathKind::Missing) return;
  if (kind == port::PathKind::Folder)
    throw std::runtime_error("Cannot read settings file '" + fileName_ + "': it is a directory");
  // Read to the end rather than trusting a size taken beforehand: the file
  // may be growing or not report one.
  std::string data, error;
  if (!port::ReadFile(path, data, error))
    throw std::runtime_error("Settings file '" + fileName_ + "': " + error);
  SplitLines(data, [this](std::string_view line) { lines_.emplace_back(line); });
}

std::string TExtIniFile::ReadString(std::string_view section, std::string_view ident,
                                    std::string_view def) const {
  size_t h = FindHeader(lines_, section);
  if (h == lines_.size()) return std::string(def);
  for (size_t i = h + 1; i < lines_.size() && !EndsBody(lines_[i]); ++i)
    if (IsEntry(lines_[i], ident)) return lines_[i].substr(ident.size() + 1);
  return std::string(def);
}

void TExtIniFile::WriteString(std::string_view section, std::string_view ident,
                              std::string_view value) {
  std::string line;
  line.reserve(ident.size() + 1 + value.size());
  line.append(ident);
  line += '=';
  line.append(value);

  size_t h = FindHeader(lines_, section);
  if (h == lines_.size()) {
    // New sections follow the last line directly, named as the caller spells them.
    lines_.push_back(HeaderFor(section));
    lines_.push_back(std::move(line));
  } else {
    // A new key closes the body: it goes before the empty line or next header.
    size_t i = h + 1;
    bool replaced = false;
    for (; i < lines_.size() && !EndsBody(lines_[i]); ++i) {
      if (IsEntry(lines_[i], ident)) {
        lines_[i] = std::move(line);
        replaced = true;
        break;
      }
    }
    if (!replaced) lines_.insert(lines_.begin() + std::ptrdiff_t(i), std::move(line));
  }
  if (autoSave_) Save();
}

void TExtIniFile::Save() const {
  // Written beside the target and renamed over it, so that a failure at any
  // point leaves the old file whole.
  port::ReplacingFile file;
  std::string error;
  if (!file.Open(SystemPath(fileName_), error))
    throw std::runtime_error("Cannot save settings file '" + fileName_ + "': " + error);
  for (const std::string& line : lines_) {
    if (std::fwrite(line.data(), 1, line.size(), file.Stream()) != line.size() ||
        std::fwrite("\r\n", 1, 2, file.Stream()) != 2)
      break;  // the stream keeps its error, which Commit reports
  }
  if (!file.Commit(error))
    throw std::runtime_error("Cannot save settings file '" + fileName_ + "': " + error);
}

}  // namespace veltrin

// Fuzzes the settings-file reader and writer against the INI dialect's rules.
//
// Input: one selector byte, then section, key and value each ended by a zero
// byte, then the file's bytes:
//   <selector> <section> \0 <key> \0 <value> \0 <file bytes>
// With fewer fields the whole rest is the file. Selector bit 0 takes the
// section, bit 1 the key from those found in the file (index: selector >> 2),
// so that existing entries get replaced as often as new ones get added.
//
// The file is written, loaded, one key is written (and so saved), and the
// file is loaded again. Checked against a model of the dialect written out
// here line by line:
//  - the loaded lines; every read before the write;
//  - the lines after the write, and the saved bytes (each line and CR LF);
//  - the written key reads back, from memory and from the saved file;
//  - every other (section, key) found in the file reads as before.
// A section or key that cannot be written in the dialect (a line break in
// any of the three, "=" in the key, a key beginning with "[", which would
// end the section's body) is made writable first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/inifile.h"
#include "fuzz/fuzz_check.h"

namespace {

using veltrin::TExtIniFile;
using Lines = std::vector<std::string>;

// ---- the dialect, written out plainly ---------------------------------------

Lines ModelSplit(std::string_view data) {
  Lines out;
  std::string line;
  bool open = false;  // a line has started that no break has ended yet
  for (size_t i = 0; i < data.size() && data[i] != '\0'; ++i) {
    const char c = data[i];
    if (c == '\r' || c == '\n') {
      out.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
    } else {
      line += c;
      open = true;
    }
  }
  if (open) out.push_back(line);
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return s;
}

bool ModelIsHeader(const std::string& line, const std::string& section) {
  return Upper(line) == "[" + Upper(section) + "]";
}

bool ModelIsEntry(const std::string& line, const std::string& key) {
  return line.rfind(key + "=", 0) == 0;
}

bool ModelEndsBody(const std::string& line) { return line.empty() || line[0] == '['; }

size_t ModelHeader(const Lines& lines, const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (ModelIsHeader(lines[i], section)) return i;
  return lines.size();
}

std::string ModelRead(const Lines& lines, const std::string& section, const std::string& key,
                      const std::string& def) {
  const size_t h = ModelHeader(lines, section);
  for (size_t i = h + 1; i < lines.size() && !ModelEndsBody(lines[i]); ++i)
    if (ModelIsEntry(lines[i], key)) return lines[i].substr(key.size() + 1);
  return def;
}

void ModelWrite(Lines& lines, const std::string& section, const std::string& key,
                const std::string& value) {
  const std::string entry = key + "=" + value;
  const size_t h = ModelHeader(lines, section);
  if (lines.empty() || h == lines.size()) {
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
    return;
  }
  for (size_t i = h + 1; i < lines.size(); ++i) {
    if (ModelEndsBody(lines[i])) {
      lines.insert(lines.begin() + std::ptrdiff_t(i), entry);
      return;
    }
    if (ModelIsEntry(lines[i], key)) {
      lines[i] = entry;
      return;
    }
  }
  lines.push_back(entry);
}

// ---- files --------------------------------------------------------------------

// A private folder for the one file, on a memory file system when there is
// one: every write is synced to disk. Kept in static storage of its own so
// that the exit hook that removes it still finds the name.
char g_workDir[4096];

const char* WorkDir() {
  if (g_workDir[0]) return g_workDir;
  const char* base = std::getenv("VELTRIN_FUZZ_TMP");
  if (!base) base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::snprintf(g_workDir, sizeof g_workDir, "%s/veltrin-ini-XXXXXX", base);
  if (!mkdtemp(g_workDir)) std::abort();
  std::atexit([] {
    char path[sizeof g_workDir + 16];
    std::snprintf(path, sizeof path, "%s/f.flt", g_workDir);
    std::remove(path);
    rmdir(g_workDir);
  });
  return g_workDir;
}

void WriteFile(const std::string& path, std::string_view data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  CHECK(f, path);
  CHECK(std::fwrite(data.data(), 1, data.size(), f) == data.size(), path);
  std::fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::string data;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  CHECK(f, path);
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  std::fclose(f);
  return data;
}

std::string Without(std::string_view text, std::string_view drop) {
  std::string out;
  for (char c : text)
    if (drop.find(c) == std::string_view::npos) out += c;
  return out;
}

// The (section, key) pairs a file names, capped so that big inputs stay fast.
void Names(const Lines& lines, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  auto add = [](std::vector<std::string>& v, std::string s, size_t cap) {
    if (v.size() >= cap) return;
    for (const std::string& x : v)
      if (x == s) return;
    v.push_back(std::move(s));
  };
  for (const std::string& line : lines) {
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      add(sections, line.substr(1, line.size() - 2), 24);
    const size_t eq = line.find('=');
    if (eq != std::string::npos) add(keys, line.substr(0, eq), 48);
  }
}

const char kDefault[] = "\x01(default)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t selector = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string fields[3];
  std::string_view file = rest;
  {
    std::string_view r = rest;
    size_t got = 0;
    for (; got < 3; ++got) {
      const size_t z = r.find('\0');
      if (z == std::string_view::npos) break;
      fields[got] = std::string(r.substr(0, z));
      r = r.substr(z + 1);
    }
    if (got == 3) {
      file = r;
    } else {
      fields[0] = "S";
      fields[1] = "k";
      fields[2] = "v";
    }
  }

  const std::string path = std::string(WorkDir()) + "/f.flt";
  WriteFile(path, file);
  TExtIniFile ini(path);
  const Lines loaded = ModelSplit(file);
  CHECK(ini.Lines() == loaded, "loaded lines");

  std::vector<std::string> sections, keys;
  Names(loaded, sections, keys);
  std::string section = Without(fields[0], "\r\n");
  std::string key = Without(fields[1], "\r\n=");
  while (!key.empty() && key[0] == '[') key.erase(0, 1);
  const std::string value = Without(fields[2], "\r\n");
  if ((selector & 1) && !sections.empty()) section = sections[(selector >> 2) % sections.size()];
  if ((selector & 2) && !keys.empty()) {
    std::string k = Without(keys[(selector >> 2) % keys.size()], "=");
    while (!k.empty() && k[0] == '[') k.erase(0, 1);
    key = k;
  }
  sections.push_back(section);
  keys.push_back(key);

  // Every read before the write, checked against the model.
  std::vector<std::string> before;
  for (const std::string& s : sections)
    for (const std::string& k : keys) {
      before.push_back(ini.ReadString(s, k, kDefault));
      CHECK(before.back() == ModelRead(loaded, s, k, kDefault), "read [" + s + "] " + k);
    }

  ini.WriteString(section, key, value);
  Lines expected = loaded;
  ModelWrite(expected, section, key, value);
  CHECK(ini.Lines() == expected, "lines after writing [" + section + "] " + key);
  std::string bytes;
  for (const std::string& line : expected) bytes.append(line).append("\r\n");
  CHECK(ReadFile(path) == bytes, "saved bytes");
  CHECK(access((path + ".~vsave").c_str(), F_OK) != 0, "temporary file left behind");

  const TExtIniFile reloaded(path);
  CHECK(reloaded.Lines() == expected, "lines after reloading");
  CHECK(ini.ReadString(section, key, kDefault) == value, "written key in memory");
  CHECK(reloaded.ReadString(section, key, kDefault) == value, "written key in the file");

  size_t i = 0;
  for (const std::string& s : sections)
    for (const std::string& k : keys) {
      const std::string now = reloaded.ReadString(s, k, kDefault);
      const bool written = k == key && Upper(s) == Upper(section);
      if (!written) CHECK(now == before[i], "other key changed: [" + s + "] " + k);
      ++i;
    }
  return 0;
}

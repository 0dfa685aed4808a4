// Buffered line input and output for the filter loop: no allocation per
// bet once the buffers have grown to the longest line.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "host/input_text.h"

namespace veltrin::host {

// Reads lines of any length; strips the line end (LF or CR LF). A UTF-16
// input is recognised at its start and read as its text (the whole of it
// at once: such files come from an editor, not from a pipe of bets).
class LineReader {
 public:
  explicit LineReader(std::FILE* f) : f_(f), buf_(1 << 16) {}
  // The input's form, known once the first line was asked for.
  InputForm Form() const { return form_; }
  // False at the end of the input (or on a read error: see Failed).
  bool Next(std::string& line);
  bool Failed() const { return failed_; }
  uint64_t LineNumber() const { return lineNo_; }

 private:
  bool Fill();
  void Decode();
  std::FILE* f_;
  InputForm form_ = InputForm::Plain;
  bool started_ = false;
  std::vector<char> buf_;
  size_t pos_ = 0, len_ = 0;
  bool eof_ = false, failed_ = false;
  uint64_t lineNo_ = 0;
};

// Collects output in a large buffer and writes it in blocks.
class OutputBuffer {
 public:
  // Each Line ends with `lineEnd` (Output::LineEnd).
  explicit OutputBuffer(std::FILE* f, std::string_view lineEnd = "\n")
      : f_(f), buf_(1 << 18), lineEnd_(lineEnd) {}
  void Write(const char* p, size_t n) {
    if (n > buf_.size() - used_) Drain();
    if (n > buf_.size()) {
      Put(p, n);
      return;
    }
    std::copy(p, p + n, buf_.data() + used_);
    used_ += n;
  }
  void Line(const char* p, size_t n) {
    Write(p, n);
    Write(lineEnd_.data(), lineEnd_.size());
  }
  // Writes what is buffered and flushes the stream; false on a write error.
  bool Flush();
  bool Failed() const { return failed_; }
  // The system's reason for the first write error.
  std::string ErrorText() const;

 private:
  void Drain() {
    Put(buf_.data(), used_);
    used_ = 0;
  }
  void Put(const char* p, size_t n) {
    if (n && !failed_ && std::fwrite(p, 1, n, f_) != n) Fail();
  }
  void Fail();
  std::FILE* f_;
  std::vector<char> buf_;
  size_t used_ = 0;
  bool failed_ = false;
  int errno_ = 0;
  std::string_view lineEnd_;
};

// "about 2 min 5 s left" for a run `share` (0..1] done after `elapsed`
// seconds; empty while too little is done to tell.
std::string TimeLeftText(double elapsed, double share);

// A one-line progress display on standard error, shown only when standard
// error is a terminal and the run lasts more than a moment: bets done, the
// share done and the time left when the size of the run is known.
class Progress {
 public:
  explicit Progress(bool enabled);
  // Cheap to call often; redraws at most a few times a second. `total` 0
  // means unknown.
  void Update(uint64_t done, uint64_t total) {
    if (enabled_ && (++calls_ & 0x3FFF) == 0)
      Draw(done, total, total ? double(done) / double(total) : -1.0);
  }
  // The same for bets read from a file of `totalBytes` of which `bytes` are
  // read (0 total: not known).
  void UpdateBytes(uint64_t done, uint64_t bytes, uint64_t totalBytes) {
    if (enabled_ && (++calls_ & 0x3FFF) == 0)
      Draw(done, 0, totalBytes ? double(bytes) / double(totalBytes) : -1.0);
  }
  // Removes the display line.
  void Finish();

 private:
  void Draw(uint64_t done, uint64_t total, double share);
  bool enabled_;
  bool shown_ = false;
  uint64_t calls_ = 0;
  std::chrono::steady_clock::time_point start_, last_;
};

}  // namespace veltrin::host

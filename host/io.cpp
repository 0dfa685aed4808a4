#include "host/io.h"

#include <cerrno>
#include <cstring>

namespace veltrin::host {

bool LineReader::Fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    std::memmove(buf_.data(), buf_.data() + pos_, len_ - pos_);
    len_ -= pos_;
    pos_ = 0;
  }
  if (len_ == buf_.size()) buf_.resize(buf_.size() * 2);
  size_t n = std::fread(buf_.data() + len_, 1, buf_.size() - len_, f_);
  if (n == 0) {
    eof_ = true;
    if (std::ferror(f_)) failed_ = true;
    return false;
  }
  len_ += n;
  return true;
}

void LineReader::Decode() {
  started_ = true;
  Fill();
  form_ = DetectForm(std::string_view(buf_.data(), len_));
  if (form_ == InputForm::Plain) return;
  while (Fill()) {
  }
  std::string bytes(buf_.data(), len_);
  DecodeInput(bytes);
  buf_.assign(bytes.begin(), bytes.end());
  if (buf_.empty()) buf_.resize(1);
  pos_ = 0;
  len_ = bytes.size();
}

bool LineReader::Next(std::string& line) {
  if (!started_) Decode();
  size_t scanned = pos_;
  for (;;) {
    const char* start = buf_.data() + pos_;
    const void* nl = std::memchr(buf_.data() + scanned, '\n', len_ - scanned);
    if (nl) {
      size_t end = size_t(static_cast<const char*>(nl) - buf_.data());
      size_t n = end - pos_;
      if (n > 0 && start[n - 1] == '\r') --n;
      line.assign(start, n);
      pos_ = end + 1;
      ++lineNo_;
      return true;
    }
    scanned = len_;
    const size_t keptBefore = pos_;
    if (!Fill()) {
      if (pos_ == len_) return false;
      // The last line has no line end.
      size_t n = len_ - pos_;
      if (buf_[pos_ + n - 1] == '\r') --n;
      line.assign(buf_.data() + pos_, n);
      pos_ = len_;
      ++lineNo_;
      return true;
    }
    scanned -= keptBefore;  // Fill moved the unread part to the front
  }
}

void OutputBuffer::Fail() {
  if (!failed_) errno_ = errno;
  failed_ = true;
}

bool OutputBuffer::Flush() {
  Drain();
  if (!failed_ && std::fflush(f_) != 0) Fail();
  return !failed_;
}

std::string OutputBuffer::ErrorText() const {
  return errno_ ? std::strerror(errno_) : "write error";
}

Progress::Progress(bool enabled) : enabled_(enabled) {
  start_ = last_ = std::chrono::steady_clock::now();
}

std::string TimeLeftText(double elapsed, double share) {
  if (!(share > 0.001) || !(elapsed > 0)) return {};
  const double left = share >= 1.0 ? 0.0 : elapsed * (1.0 - share) / share;
  const long long s = (long long)(left + 0.5);
  if (s < 60) return "about " + std::to_string(s) + " s left";
  if (s < 3600)
    return "about " + std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s left";
  return "about " + std::to_string(s / 3600) + " h " + std::to_string(s / 60 % 60) + " min left";
}

void Progress::Draw(uint64_t done, uint64_t total, double share) {
  auto now = std::chrono::steady_clock::now();
  if (now - last_ < std::chrono::milliseconds(250) || now - start_ < std::chrono::seconds(1))
    return;
  last_ = now;
  std::string line = "filtering: " + std::to_string(done);
  if (total) line += " of " + std::to_string(total);
  line += " bets";
  if (share >= 0) {
    char pct[32];
    std::snprintf(pct, sizeof pct, " (%.0f%%)", 100.0 * share);
    line += pct;
    const std::string left =
        TimeLeftText(std::chrono::duration<double>(now - start_).count(), share);
    if (!left.empty()) line += ", " + left;
  }
  // Padded over whatever a longer earlier line left.
  std::fprintf(stderr, "\r%-70s", line.c_str());
  std::fflush(stderr);
  shown_ = true;
}

void Progress::Finish() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%70s\r", "");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace veltrin::host

#include "host/io.h"

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

bool LineReader::Next(std::string& line) {
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

bool OutputBuffer::Flush() {
  Drain();
  if (!failed_ && std::fflush(f_) != 0) failed_ = true;
  return !failed_;
}

Progress::Progress(bool enabled) : enabled_(enabled) {
  start_ = last_ = std::chrono::steady_clock::now();
}

void Progress::Draw(uint64_t done, uint64_t total) {
  auto now = std::chrono::steady_clock::now();
  if (now - last_ < std::chrono::milliseconds(250) || now - start_ < std::chrono::seconds(1))
    return;
  last_ = now;
  if (total > 0)
    std::fprintf(stderr, "\rfiltering: %llu of %llu bets (%.0f%%)  ", (unsigned long long)done,
                 (unsigned long long)total, 100.0 * double(done) / double(total));
  else
    std::fprintf(stderr, "\rfiltering: %llu bets  ", (unsigned long long)done);
  std::fflush(stderr);
  shown_ = true;
}

void Progress::Finish() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%60s\r", "");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace veltrin::host

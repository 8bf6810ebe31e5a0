// A POSIX file descriptor closed whatever happens to the code that opened it.
#pragma once

#ifndef _WIN32
#include <unistd.h>

namespace pasarela {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  // Closes now, so that the error a delayed write may bring is reported.
  int release() {
    int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

}  // namespace pasarela
#endif

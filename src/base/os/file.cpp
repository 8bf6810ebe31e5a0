// What a File is on every host: ownership moves, the destructor releases.
// Opening, reading and releasing are each host's own (posix.cpp, win32.cpp).
#include "base/os/file.h"

#include <utility>

namespace pasarela::os {

File::~File() { release(); }

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, -1);
    map_ = std::exchange(other.map_, nullptr);
    mapSize_ = std::exchange(other.mapSize_, 0);
    mapHandle_ = std::exchange(other.mapHandle_, 0);
  }
  return *this;
}

}  // namespace pasarela::os

#include "data/file_sharing.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pasarela::sharing {

bool heldExclusively(int fd) {
#if defined(F_OFD_GETLK)
  struct flock probe {};
  probe.l_type = F_RDLCK;  // conflicts with write locks only
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;  // the whole file, whatever range the holder locked
  if (fcntl(fd, F_OFD_GETLK, &probe) != 0) return false;
  return probe.l_type != F_UNLCK;
#else
  (void)fd;
  return false;
#endif
}

bool heldExclusively(const std::filesystem::path& hostPath) {
#ifdef _WIN32
  (void)hostPath;
  return false;  // Windows enforces sharing modes itself
#else
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = heldExclusively(fd);
  ::close(fd);
  return held;
#endif
}

}  // namespace pasarela::sharing

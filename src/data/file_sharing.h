// Sharing between table objects and programs on a host without Windows
// sharing modes. The table engine marks its open files with open-file-
// description locks (fcntl F_OFD_SETLK): a write lock for exclusive use, a
// read lock for shared use. Whoever opens a file the way Windows would with
// "share reading and writing" tests for a write lock held through another
// open; finding one is the sharing violation (Windows error 32).
#pragma once

#include <filesystem>

namespace pasarela::sharing {

// True when some other open file description (this process or another)
// holds a write lock on any part of the file open as `fd`.
bool heldExclusively(int fd);

// Same for a file by host path; false when it cannot be opened.
bool heldExclusively(const std::filesystem::path& hostPath);

}  // namespace pasarela::sharing

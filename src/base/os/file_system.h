// Whole-file operations of the host, by path: replacing, linking, removing,
// testing. Each returns the system's I/O code (base/os/file.h Status).
#pragma once

#include <cstdint>
#include <filesystem>

#include "base/os/file.h"

namespace pasarela::os {

// Puts `from` in the place of `to` in one step, replacing a file there, and
// makes the change durable (the folder synced / written through). Both in
// one folder.
Status replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a file. Fails with 32 on Windows while a program holds it open.
Status removeFile(const std::filesystem::path& path);

// Gives the file `existing` a second name; where the medium has no hard
// links (FAT, network shares) copies it durably instead.
Status linkOrCopy(const std::filesystem::path& existing, const std::filesystem::path& newName);

// Copies `from` to a new file `to` (replacing one there, not atomically) and
// syncs it. For backups and scratch copies; the school's files are replaced
// through a temporary file and replaceFile().
Status copyDurably(const std::filesystem::path& from, const std::filesystem::path& to);

// Gives `to` the permissions of `from` (POSIX modes; Windows keeps the
// folder's inherited access rights and does nothing).
Status copyPermissions(const std::filesystem::path& from, const std::filesystem::path& to);

// Copies everything `from` holds, from its start, to `to` at its start, in
// large blocks (or the host's in-kernel copy where it has one). A write
// that stores less than was read is a full disk (101). `copied` counts the
// bytes.
Status copyContents(const File& from, File& to, std::uint64_t& copied);

// Whether the file could be replaced now: 0, 5 when it is read-only (even
// for a user the host would let through), 32 when another open or program
// holds it (a lock anywhere in it, or on Windows any open), or the code of
// whatever else stops it being opened for writing.
Status probeReplaceable(const std::filesystem::path& path);

// True when another open holds the file Exclusive; false when it cannot be
// opened at all.
bool heldExclusivelyElsewhere(const std::filesystem::path& path);

}  // namespace pasarela::os

// Whole-file operations of the host, by path: replacing, linking, removing,
// testing. Each returns the system's I/O code (base/os/file.h Status).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "base/os/file.h"

namespace pasarela::os {

enum class Durability {
  Durable,  // on the medium when the call returns (the folder synced / written through)
  Cached,   // as durable as the host makes a rename by itself
};

// Puts `from` in the place of `to` in one step, replacing a file there.
// Both in one folder.
Status replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                   Durability durability = Durability::Durable);

// The name of a scratch file beside `file` for this process:
// ".<name>.pasarela-<process>".
std::filesystem::path temporarySibling(const std::filesystem::path& file);

// Writes `pieces` one after another to a scratch file beside `file` and
// puts it in the place of `file` in one step: a failure leaves `file` as it
// was and removes the scratch file. The new file keeps the permissions of
// the one it replaces. Durable syncs the data before the replacement.
Status writeReplacing(const std::filesystem::path& file, const std::vector<std::string_view>& pieces,
                      Durability durability = Durability::Durable);

// Removes a file. Fails with 32 on Windows while a program holds it open.
Status removeFile(const std::filesystem::path& path);

// Gives the file `existing` a second name; where the medium has no hard
// links (FAT, network shares) copies it durably instead.
Status linkOrCopy(const std::filesystem::path& existing, const std::filesystem::path& newName);

// Copies `from` to a new file `to` (replacing one there, not atomically),
// with the permissions of `from`, and syncs it. For backups and scratch copies; the school's files are
// replaced through a temporary file and replaceFile().
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

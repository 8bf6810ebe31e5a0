// The copies both implementations share, written on File.
#include "base/os/file_copy.h"

#include <memory>

#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/system.h"

namespace fs = std::filesystem;

namespace pasarela::os {

Status detail::copyBlocks(const File& from, File& to, std::uint64_t offset, std::uint64_t& copied) {
  // Large enough that the calls cost nothing next to the data, small enough
  // to stay out of the way of the memory budget.
  constexpr std::size_t kBlock = 1 << 20;
  auto buffer = std::make_unique<char[]>(kBlock);
  for (;;) {
    std::size_t n = 0;
    if (Status s = from.readAt(offset, buffer.get(), kBlock, n); !s.ok()) return s;
    if (n == 0) return {};
    if (Status s = to.writeAt(offset, buffer.get(), n); !s.ok()) return s;
    offset += n;
    copied += n;
  }
}

Status copyDurably(const fs::path& from, const fs::path& to) {
  File in;
  if (Status s = File::open(from, Access::Read, Create::Existing, Share::Unlocked, in); !s.ok()) return s;
  File out;
  if (Status s = File::open(to, Access::ReadWrite, Create::Truncate, Share::Unlocked, out); !s.ok()) return s;
  std::uint64_t copied = 0;
  if (Status s = copyContents(in, out, copied); !s.ok()) return s;
  if (Status s = out.sync(); !s.ok()) return s;
  return out.close();
}

fs::path temporarySibling(const fs::path& file) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a chain of +.
  std::string name = ".";
  name += fileNameUtf8(file);
  name += ".pasarela-";
  name += std::to_string(processId());
  return file.parent_path() / hostPath(name);
}

Status writeReplacing(const fs::path& file, const std::vector<std::string_view>& pieces,
                      Durability durability) {
  const fs::path temp = temporarySibling(file);
  Status result = [&]() -> Status {
    File out;
    if (Status s = File::open(temp, Access::ReadWrite, Create::Truncate, Share::Unlocked, out); !s.ok())
      return s;
    std::error_code ec;
    if (fs::exists(file, ec)) {
      if (Status s = copyPermissions(file, temp); !s.ok()) return s;
    }
    std::uint64_t offset = 0;
    for (std::string_view piece : pieces) {
      if (Status s = out.writeAt(offset, piece.data(), piece.size()); !s.ok()) return s;
      offset += piece.size();
    }
    if (durability == Durability::Durable) {
      if (Status s = out.sync(); !s.ok()) return s;
    }
    if (Status s = out.close(); !s.ok()) return s;
    return replaceFile(temp, file, durability);
  }();
  if (!result.ok()) (void)removeFile(temp);
  return result;
}

}  // namespace pasarela::os

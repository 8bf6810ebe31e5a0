#include "dbase/mdx_rebuild.h"

#include <optional>

#include "base/error.h"
#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "base/text.h"
#include "dbase/dbf_table.h"

namespace pasarela::dbase {

namespace fs = std::filesystem;

namespace {

// The engine takes a table's index from the .MDX beside it: the table and
// the old index are copied side by side into a folder of this process, so
// that neither the staged table nor the school's index is ever opened with
// the other.
class ScratchPair {
 public:
  ScratchPair(const fs::path& dbf, const std::string& displayName, const fs::path& oldMdx)
      : folder_(dbf.parent_path() / os::hostPath(".pasarela-indice-" + std::to_string(os::processId()))) {
    std::error_code ec;
    fs::remove_all(folder_, ec);
    fs::create_directories(folder_, ec);
    if (ec) {
      const int code = os::ioCodeFromSystemError(ec, os::IoOperation::Create);
      throw IoError(code, os::ioErrorMessage(code) + " al preparar el índice de '" + displayName + "'");
    }
    table_ = folder_ / os::hostPath(text::upperAscii(os::stemUtf8(dbf)) + ".DBF");
    copy(dbf, table_, displayName);
    copy(oldMdx, folder_ / os::hostPath(text::upperAscii(os::stemUtf8(dbf)) + ".MDX"), displayName);
  }
  ~ScratchPair() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  ScratchPair(const ScratchPair&) = delete;
  ScratchPair& operator=(const ScratchPair&) = delete;
  const fs::path& table() const { return table_; }

 private:
  static void copy(const fs::path& from, const fs::path& to, const std::string& displayName) {
    os::File in, out;
    std::uint64_t copied = 0;
    os::Status s = os::File::open(from, os::Access::Read, os::Create::Existing, os::Share::Unlocked, in);
    if (s.ok()) s = os::File::open(to, os::Access::ReadWrite, os::Create::Truncate, os::Share::Unlocked, out);
    if (s.ok()) s = os::copyContents(in, out, copied);
    if (s.ok()) s = out.close();
    if (!s.ok())
      throw IoError(s.code, os::ioErrorMessage(s.code) + " al preparar el índice de '" + displayName + "'");
  }

  fs::path folder_;
  fs::path table_;
};

}  // namespace

RebuiltIndex rebuildIndexFor(const fs::path& dbf, const std::string& displayName, const fs::path& oldMdx) {
  RebuiltIndex out;
  out.tableName = text::upperAscii(os::stemUtf8(dbf));
  ScratchPair pair(dbf, displayName, oldMdx);
  std::optional<DbfTable> table;
  try {
    table.emplace(pair.table(), displayName, false);
  } catch (const Error& e) {
    // An index the engine cannot read is the school's own matter: it stays.
    out.outcome = RebuiltIndex::Outcome::Kept;
    out.why = e.what();
    return out;
  }
  out.ldid = table->header().ldid;
  if (!table->header().productionIndex) return out;
  // Opening rebuilt every tag whose key the engine computes (an index that
  // does not match its records is built again, in memory only).
  for (int i = 0; i < table->tagCount(); ++i) {
    const Tag& tag = table->tag(i);
    if (tag.keyFields.empty() || tag.layout.condition) {
      out.outcome = RebuiltIndex::Outcome::Kept;
      out.why = "la etiqueta " + tag.layout.name +
                (tag.layout.condition ? std::string(" tiene una condición FOR")
                                      : " tiene la expresión '" + tag.layout.expression + "'");
      out.tags.clear();
      return out;
    }
    MdxTag rebuilt{tag.layout, {}};
    rebuilt.entries.reserve(tag.entries.size());
    for (const IndexEntry& e : tag.entries) rebuilt.entries.push_back(MdxEntry{e.key, e.recNo});
    out.tags.push_back(std::move(rebuilt));
  }
  out.outcome = out.tags.empty() ? RebuiltIndex::Outcome::NotIndexed : RebuiltIndex::Outcome::Rebuilt;
  return out;
}

}  // namespace pasarela::dbase

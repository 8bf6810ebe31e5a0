// A production index built again for a table whose records were replaced
// by a program that did not keep it (the import rewrites horgrup and horprof
// without their .MDX): the tags of the old index, their entries computed
// from the new records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dbase/mdx.h"

namespace pasarela::dbase {

struct RebuiltIndex {
  enum class Outcome {
    Rebuilt,     // `tags` holds every tag of the old index, with the new records' keys
    NotIndexed,  // the table announces no production index: the .MDX is none of its own
    Kept,        // a tag the engine cannot compute (an expression) or a damaged index
  };
  Outcome outcome = Outcome::NotIndexed;
  std::vector<MdxTag> tags;
  std::uint8_t ldid = 0;
  std::string tableName;  // for the index header: the table's base name, upper case
  std::string why;        // for Kept: the tag or the damage, in the engine's words
};

// Reads the tags of `oldMdx` and the records of `dbf` (opened for reading,
// never changed). Works on copies in a private folder beside `dbf`, which
// it removes. Throws pasarela::Error naming `displayName` when the table
// cannot be read.
RebuiltIndex rebuildIndexFor(const std::filesystem::path& dbf, const std::string& displayName,
                             const std::filesystem::path& oldMdx);

}  // namespace pasarela::dbase

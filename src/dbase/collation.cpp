#include "dbase/collation.h"

namespace pasarela::dbase {

int collate(std::uint8_t ldid, std::string_view a, std::string_view b) {
  return collateWith(collationWeights(ldid), a, b);
}

}  // namespace pasarela::dbase

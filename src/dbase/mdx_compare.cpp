#include "dbase/bcd.h"
#include "dbase/collation.h"
#include "dbase/mdx.h"

#include <cstring>

namespace pasarela::dbase {

int compareKeys(std::uint8_t ldid, KeyType type, std::string_view a, std::string_view b) {
  switch (type) {
    case KeyType::Numeric:
      return bcd::compare(a, b);
    case KeyType::Date: {
      // Julian day numbers as 8-byte doubles.
      double x = 0, y = 0;
      if (a.size() >= sizeof x) std::memcpy(&x, a.data(), sizeof x);
      if (b.size() >= sizeof y) std::memcpy(&y, b.data(), sizeof y);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case KeyType::Character:
    default:
      return collate(ldid, a, b);
  }
}

}  // namespace pasarela::dbase

// Order of character index keys under a table's language driver (the LDID,
// byte 29 of the .DBF), as dBase software sorts them.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "dbase/collation_tables.h"

namespace pasarela::dbase {

// Negative, zero or positive. Keys are code-page bytes of equal length.
int collate(std::uint8_t ldid, std::string_view a, std::string_view b);

// The same under weights already looked up (null: byte by byte). Inline:
// an index compares keys many times for each entry it places.
inline int collateWith(const CollationWeights* w, std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  if (w) {
    for (std::size_t i = 0; i < n; ++i) {
      // Equal bytes weigh the same: keys sharing a long start (codes of one
      // course) pass it eight bytes at a time.
      if (i + 8 <= n) {
        const std::uint64_t differ = text::readLe64(a.data() + i) ^ text::readLe64(b.data() + i);
        if (differ == 0) {
          i += 7;
          continue;
        }
        // The first byte that differs: the lowest.
        i += static_cast<std::size_t>(std::countr_zero(differ)) / 8;
      }
      const int x = (*w)[static_cast<unsigned char>(a[i])];
      const int y = (*w)[static_cast<unsigned char>(b[i])];
      if (x != y) return x < y ? -1 : 1;
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char x = static_cast<unsigned char>(a[i]);
      const unsigned char y = static_cast<unsigned char>(b[i]);
      if (x != y) return x < y ? -1 : 1;
    }
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace pasarela::dbase

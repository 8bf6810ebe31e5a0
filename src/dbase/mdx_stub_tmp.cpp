// Temporary stand-in for the .MDX module until it lands: keeps tags in a
// private format so that the table can be built and tested. Deleted when
// the real module arrives.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "dbase/error.h"
#include "dbase/mdx.h"

namespace pasarela::dbase {

std::vector<MdxTag> readMdx(const std::filesystem::path& file, std::uint8_t) {
  std::ifstream in(file, std::ios::binary);
  std::vector<MdxTag> tags;
  std::size_t n = 0;
  if (!(in >> n)) throw Error("índice dañado '" + file.string() + "'");
  for (std::size_t i = 0; i < n; ++i) {
    MdxTag t;
    char type;
    std::size_t count;
    in >> t.spec.name >> t.spec.expression >> type >> t.spec.keyLength >> count;
    t.spec.type = static_cast<KeyType>(type);
    in.get();
    for (std::size_t k = 0; k < count; ++k) {
      MdxEntry e;
      e.key.resize(static_cast<std::size_t>(t.spec.keyLength));
      in.read(e.key.data(), t.spec.keyLength);
      in.read(reinterpret_cast<char*>(&e.recNo), 4);
      t.entries.push_back(e);
    }
    tags.push_back(t);
  }
  return tags;
}

void writeMdx(const std::filesystem::path& file, const std::string&, std::uint8_t,
              const std::vector<MdxTag>& tags) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << tags.size() << "\n";
  for (const MdxTag& t : tags) {
    out << t.spec.name << " " << t.spec.expression << " " << static_cast<char>(t.spec.type) << " "
        << t.spec.keyLength << " " << t.entries.size() << "\n";
    for (const MdxEntry& e : t.entries) {
      out.write(e.key.data(), t.spec.keyLength);
      out.write(reinterpret_cast<const char*>(&e.recNo), 4);
    }
  }
}

int compareKeys(std::uint8_t, KeyType type, std::string_view a, std::string_view b) {
  if (type == KeyType::Numeric) {
    double x = decodeNumericKey(a), y = decodeNumericKey(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string encodeNumericKey(double value) {
  std::string s(12, '\0');
  std::memcpy(s.data(), &value, 8);
  return s;
}

double decodeNumericKey(std::string_view key) {
  double v = 0;
  if (key.size() >= 8) std::memcpy(&v, key.data(), 8);
  return v;
}

}  // namespace pasarela::dbase

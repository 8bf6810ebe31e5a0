// Reads every tag of a production index written by us or by other dBase
// software. Every offset and page number is checked against the file before
// use, and each node may be visited once, so a damaged file gives an error
// naming it instead of a crash or an endless walk.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <unordered_set>

#include "base/error.h"
#include "dbase/collation.h"
#include "dbase/mdx.h"
#include "dbase/mdx_layout.h"

namespace pasarela::dbase {
namespace {

using namespace mdx_layout;

// Deeper than any real index: a 4-level tree already holds millions of keys.
constexpr int kMaxDepth = 32;

class MdxReader {
 public:
  MdxReader(const std::filesystem::path& file, std::uint8_t tableLdid) : file_(file), ldid_(tableLdid) {}

  std::vector<MdxTag> read() {
    load();
    if (data_.size() < kHeaderSize) fail("el archivo es más corto que su cabecera");
    const unsigned char* h = data_.data();
    if ((h[kVersion] & 0x07) != 2)
      fail("versión de índice no admitida (" + std::to_string(h[kVersion]) + ")");
    const std::size_t pagesPerBlock = get16(h + kBlockPages);
    if (pagesPerBlock == 0 || pagesPerBlock > 64) fail("tamaño de bloque no válido");
    blockSize_ = pagesPerBlock * kPageSize;
    const std::size_t entrySize = h[kTagEntrySize] ? h[kTagEntrySize] : kTagEntryLength;
    if (entrySize < 21) fail("longitud de entrada de etiqueta no válida");
    const std::size_t tagCount = get16(h + kTagsInUse);
    if (kTagTable + tagCount * entrySize > kHeaderSize) fail("número de etiquetas no válido");

    std::vector<MdxTag> tags;
    for (std::size_t t = 0; t < tagCount; ++t) tags.push_back(readTag(h + kTagTable + t * entrySize));
    return tags;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw Error("El archivo de índice \"" + file_.string() + "\" está dañado: " + why);
  }

  void load() {
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(file_, ec)) in.open(file_, std::ios::binary);
    if (!in.is_open()) throw Error("No se puede abrir el archivo de índice \"" + file_.string() + "\"");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    data_.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    in.read(reinterpret_cast<char*>(data_.data()), static_cast<std::streamsize>(data_.size()));
    if (!in) throw Error("Error al leer el archivo de índice \"" + file_.string() + "\"");
  }

  // A block at a page number, or an error when it lies outside the file.
  const unsigned char* block(std::uint32_t page, const std::string& what) const {
    const std::size_t offset = std::size_t(page) * kPageSize;
    if (page < kHeaderPages || offset > data_.size() || data_.size() - offset < blockSize_)
      fail(what + " en una página fuera del archivo (" + std::to_string(page) + ")");
    return data_.data() + offset;
  }

  bool isBlock(std::uint32_t page) const {
    const std::size_t offset = std::size_t(page) * kPageSize;
    return page >= kHeaderPages && offset <= data_.size() && data_.size() - offset >= blockSize_;
  }

  static std::string cString(const unsigned char* p, std::size_t max) {
    std::size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
  }

  static std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::size_t lead = 0;
    while (lead < s.size() && s[lead] == ' ') ++lead;
    return s.substr(lead);
  }

  MdxTag readTag(const unsigned char* entry) {
    MdxTag tag;
    tag.layout.name = trimmed(cString(entry + kEntryName, kEntryNameSize));
    const std::string where = "etiqueta " + tag.layout.name;
    const unsigned char* th = block(get32(entry + kEntryHeaderPage), "cabecera de la " + where);

    const unsigned char type = th[kTagKeyType];
    if (type != 'C' && type != 'N' && type != 'D' && type != 'F') fail(where + ": tipo de clave no válido");
    tag.layout.type = type == 'C' ? KeyType::Character : (type == 'D' ? KeyType::Date : KeyType::Numeric);
    keyLength_ = get16(th + kTagKeyLength);
    itemLength_ = get16(th + kTagItemLength);
    if (keyLength_ == 0 || keyLength_ + 4 > itemLength_ || kNodeItems + itemLength_ > blockSize_)
      fail(where + ": longitud de clave no válida");
    if (tag.layout.type == KeyType::Numeric && keyLength_ != 12)
      fail(where + ": longitud de clave numérica no válida");
    if (tag.layout.type == KeyType::Date && keyLength_ != 8)
      fail(where + ": longitud de clave de fecha no válida");
    tag.layout.keyLength = static_cast<int>(keyLength_);
    tag.layout.descending = (th[kTagKeyFormat] & kFormatDescending) != 0;
    tag.layout.unique = (th[kTagKeyFormat] & kFormatUnique) != 0 || th[kTagUnique] != 0;
    tag.layout.expression = trimmed(cString(th + kTagExpression, kTagExpressionSize));
    tag.layout.condition = th[kTagHasCondition] != 0;

    visited_.clear();
    leaves_.clear();
    leafDepth_ = -1;
    walk(get32(th + kTagRoot), 0, where);
    std::size_t total = 0;
    for (const unsigned char* leaf : leaves_) total += get32(leaf + kNodeCount);
    tag.entries.reserve(total);
    for (const unsigned char* leaf : leaves_) {
      const std::uint32_t n = get32(leaf + kNodeCount);
      for (std::uint32_t i = 0; i < n; ++i) {
        const unsigned char* item = leaf + kNodeItems + i * itemLength_;
        if (get32(item) == 0) fail(where + ": entrada sin número de registro");
        tag.entries.push_back(
            {std::string(reinterpret_cast<const char*>(item + 4), keyLength_), get32(item)});
      }
    }
    putInOrder(tag);
    return tag;
  }

  // Collects the leaves of a tree in order, checking every node on the way.
  void walk(std::uint32_t page, int depth, const std::string& where) {
    if (depth > kMaxDepth) fail(where + ": árbol demasiado profundo");
    const unsigned char* node = block(page, "nodo de la " + where);
    if (!visited_.insert(page).second)
      fail(where + ": el árbol pasa dos veces por la página " + std::to_string(page));
    const std::uint32_t n = get32(node + kNodeCount);
    if (n > (blockSize_ - kNodeItems) / itemLength_)
      fail(where + ": nodo con demasiadas claves (página " + std::to_string(page) + ")");
    const std::size_t end = kNodeItems + std::size_t(n) * itemLength_;
    // A leaf has nothing after its last item; an interior node has its last child pointer there.
    // A full leaf may carry stale bytes there, so only a pointer to a real block counts.
    const std::uint32_t lastChild = end + 4 <= blockSize_ ? get32(node + end) : 0;
    if (!isBlock(lastChild)) {
      if (leafDepth_ >= 0 && leafDepth_ != depth) fail(where + ": hojas a distinta profundidad");
      leafDepth_ = depth;
      leaves_.push_back(node);
      return;
    }
    for (std::uint32_t i = 0; i < n; ++i) walk(get32(node + kNodeItems + i * itemLength_), depth + 1, where);
    walk(lastChild, depth + 1, where);
  }

  // Our in-memory index must follow our collation of the table's driver: an
  // index written under another order (or another driver) is re-sorted.
  void putInOrder(MdxTag& tag) const {
    const KeyType type = tag.layout.type;
    const bool desc = tag.layout.descending;
    // Character keys, nearly all, weighed inline under weights looked up once.
    const CollationWeights* weights = collationWeights(ldid_);
    auto less = [&](const MdxEntry& a, const MdxEntry& b) {
      int c = type == KeyType::Character ? collateWith(weights, a.key, b.key)
                                         : compareKeys(ldid_, type, a.key, b.key);
      if (desc) c = -c;
      return c != 0 ? c < 0 : a.recNo < b.recNo;
    };
    if (!std::is_sorted(tag.entries.begin(), tag.entries.end(), less))
      std::sort(tag.entries.begin(), tag.entries.end(), less);
  }

  const std::filesystem::path& file_;
  std::uint8_t ldid_;
  std::vector<unsigned char> data_;
  std::size_t blockSize_ = kBlockSize;
  std::size_t keyLength_ = 0;
  std::size_t itemLength_ = 0;
  std::unordered_set<std::uint32_t> visited_;
  std::vector<const unsigned char*> leaves_;
  int leafDepth_ = -1;
};

}  // namespace

std::vector<MdxTag> readMdx(const std::filesystem::path& file, std::uint8_t tableLdid) {
  return MdxReader(file, tableLdid).read();
}

}  // namespace pasarela::dbase

// Writes a whole production index: header, tag table, and for each tag its
// header block followed by a B-tree built bottom-up from the sorted entries.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/error.h"
#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "base/text.h"
#include "dbase/mdx.h"
#include "dbase/mdx_layout.h"

namespace pasarela::dbase {
namespace {

using namespace mdx_layout;
using Block = std::vector<unsigned char>;

void putDate(unsigned char* p) {
  const std::tm tm = os::localTime(std::time(nullptr));
  p[0] = static_cast<unsigned char>(tm.tm_year % 256);
  p[1] = static_cast<unsigned char>(tm.tm_mon + 1);
  p[2] = static_cast<unsigned char>(tm.tm_mday);
}

void copyName(unsigned char* dst, std::size_t size, const std::string& name) {
  std::memcpy(dst, name.data(), std::min(size - 1, name.size()));
}

std::string upper(const std::string& s) { return text::upperAscii(s); }

// One node under construction: where it goes and the largest key below it.
struct NodeRef {
  std::uint32_t page = 0;
  std::string lastKey;
};

class TagWriter {
 public:
  TagWriter(const std::string& file, const MdxTag& tag, std::uint32_t& nextPage, std::vector<Block>& blocks)
      : file_(file), tag_(tag), nextPage_(nextPage), blocks_(blocks) {
    keyLength_ = static_cast<std::size_t>(tag.layout.keyLength);
    itemLength_ = itemLength(keyLength_);
    maxKeys_ = maxKeys(itemLength_);
  }

  // Returns the page of the tag header.
  std::uint32_t write() {
    validate();
    const std::uint32_t headerPage = allocate();
    const std::size_t headerIndex = blocks_.size() - 1;
    const std::uint32_t firstNode = nextPage_;
    std::vector<NodeRef> level = writeLeaves();
    const std::uint32_t firstLeaf = level.front().page;
    const std::uint32_t lastLeaf = level.back().page;
    // Interior nodes hold at most maxKeys - 1 keys, so maxKeys children:
    // some readers take a node with maxKeys keys for a leaf.
    while (level.size() > 1) level = writeInterior(level, maxKeys_);
    fillHeader(blocks_[headerIndex], level.front().page, firstLeaf, lastLeaf, (nextPage_ - firstNode));
    return headerPage;
  }

 private:
  void validate() const {
    const MdxTagLayout& s = tag_.layout;
    auto fail = [&](const std::string& why) {
      throw Error("No se puede escribir el índice \"" + file_ + "\": etiqueta " + s.name + ": " + why);
    };
    if (s.name.empty() || s.name.size() > 10) fail("nombre de etiqueta no válido");
    if (s.expression.empty() || s.expression.size() >= kTagExpressionSize) fail("expresión no válida");
    // Written without it, the tag would hold records its condition leaves out.
    if (s.condition) fail("su condición FOR no se puede conservar");
    switch (s.type) {
      case KeyType::Character:
        if (s.keyLength < 1 || s.keyLength > static_cast<int>(kMaxCharacterKey))
          fail("longitud de clave no válida");
        break;
      case KeyType::Numeric:
        if (s.keyLength != 12) fail("longitud de clave numérica no válida");
        break;
      case KeyType::Date:
        if (s.keyLength != 8) fail("longitud de clave de fecha no válida");
        break;
      default:
        fail("tipo de clave no válido");
    }
    for (const MdxEntry& e : tag_.entries)
      if (e.key.size() != keyLength_) fail("clave de longitud distinta de la de la etiqueta");
  }

  std::uint32_t allocate() {
    const std::uint32_t page = nextPage_;
    nextPage_ += kPagesPerBlock;
    blocks_.emplace_back(kBlockSize, 0);
    return page;
  }

  // Splits `count` items into `nodes` runs whose sizes differ by at most one.
  static std::vector<std::size_t> spread(std::size_t count, std::size_t capacity) {
    const std::size_t nodes = std::max<std::size_t>(1, (count + capacity - 1) / capacity);
    std::vector<std::size_t> sizes(nodes, count / nodes);
    for (std::size_t i = 0; i < count % nodes; ++i) ++sizes[i];
    return sizes;
  }

  std::vector<NodeRef> writeLeaves() {
    std::vector<NodeRef> refs;
    std::size_t next = 0;
    for (std::size_t n : spread(tag_.entries.size(), maxKeys_)) {
      const std::uint32_t page = allocate();
      Block& b = blocks_.back();
      put32(&b[kNodeCount], static_cast<std::uint32_t>(n));
      for (std::size_t i = 0; i < n; ++i) {
        const MdxEntry& e = tag_.entries[next + i];
        unsigned char* item = &b[kNodeItems + i * itemLength_];
        put32(item, e.recNo);
        std::memcpy(item + 4, e.key.data(), keyLength_);
      }
      next += n;
      refs.push_back({page, n ? tag_.entries[next - 1].key : std::string()});
    }
    return refs;
  }

  std::vector<NodeRef> writeInterior(const std::vector<NodeRef>& children, std::size_t maxChildren) {
    std::vector<NodeRef> refs;
    std::size_t next = 0;
    for (std::size_t n : spread(children.size(), maxChildren)) {
      const std::uint32_t page = allocate();
      Block& b = blocks_.back();
      // n children: n - 1 keys, each the last key of its child; the last child has no key.
      put32(&b[kNodeCount], static_cast<std::uint32_t>(n - 1));
      for (std::size_t i = 0; i < n; ++i) {
        unsigned char* item = &b[kNodeItems + i * itemLength_];
        put32(item, children[next + i].page);
        if (i + 1 < n) std::memcpy(item + 4, children[next + i].lastKey.data(), keyLength_);
      }
      next += n;
      refs.push_back({page, children[next - 1].lastKey});
    }
    return refs;
  }

  void fillHeader(Block& b, std::uint32_t root, std::uint32_t firstLeaf, std::uint32_t lastLeaf,
                  std::uint32_t nodePages) {
    const MdxTagLayout& s = tag_.layout;
    put32(&b[kTagRoot], root);
    put32(&b[kTagPages], static_cast<std::uint32_t>(kPagesPerBlock) + nodePages);
    std::uint8_t format = kFormatFields;
    if (s.descending) format |= kFormatDescending;
    if (s.unique) format |= kFormatUnique;
    b[kTagKeyFormat] = format;
    b[kTagKeyType] = static_cast<unsigned char>(s.type);
    put16(&b[kTagKeyLength], static_cast<std::uint16_t>(keyLength_));
    put16(&b[kTagMaxKeys], static_cast<std::uint16_t>(maxKeys_));
    put16(&b[kTagDateFlag], s.type == KeyType::Date ? 1 : 0);
    put16(&b[kTagItemLength], static_cast<std::uint16_t>(itemLength_));
    b[kTagVersion] = 2;
    b[kTagUnique] = s.unique ? 1 : 0;
    std::memcpy(&b[kTagExpression], s.expression.data(), s.expression.size());
    b[kTagHasKeys] = tag_.entries.empty() ? 0 : 1;
    put32(&b[kTagFirstLeaf], firstLeaf);
    put32(&b[kTagLastLeaf], lastLeaf);
    putDate(&b[kTagUpdated]);
  }

  const std::string& file_;
  const MdxTag& tag_;
  std::uint32_t& nextPage_;
  std::vector<Block>& blocks_;
  std::size_t keyLength_ = 0;
  std::size_t itemLength_ = 0;
  std::size_t maxKeys_ = 0;
};

// The entries as the tag's readers expect them: by key (descending tags
// reversed), equal keys by record number, and in a unique tag only the first
// record of each key. Callers hand them in that order; a copy is made only
// when they did not, so a careless caller cannot leave a misleading index.
const MdxTag& inIndexOrder(const MdxTag& tag, std::uint8_t ldid, MdxTag& storage) {
  const KeyCompare compare(ldid, tag.layout.type);
  auto cmp = [&](const MdxEntry& a, const MdxEntry& b) {
    const int c = compare(a.key, b.key);
    return tag.layout.descending ? -c : c;
  };
  auto less = [&](const MdxEntry& a, const MdxEntry& b) {
    const int c = cmp(a, b);
    return c != 0 ? c < 0 : a.recNo < b.recNo;
  };
  bool ordered = true;
  for (std::size_t i = 1; ordered && i < tag.entries.size(); ++i) {
    const int c = cmp(tag.entries[i - 1], tag.entries[i]);
    ordered = c < 0 || (c == 0 && !tag.layout.unique && tag.entries[i - 1].recNo < tag.entries[i].recNo);
  }
  if (ordered) return tag;
  storage = tag;
  std::sort(storage.entries.begin(), storage.entries.end(), less);
  if (tag.layout.unique) {
    auto same = [&](const MdxEntry& a, const MdxEntry& b) { return cmp(a, b) == 0; };
    storage.entries.erase(std::unique(storage.entries.begin(), storage.entries.end(), same),
                          storage.entries.end());
  }
  return storage;
}

}  // namespace

std::string mdxImage(const std::string& displayName, const std::string& tableName, std::uint8_t tableLdid,
                     const std::vector<MdxTag>& tags) {
  if (tags.size() > kMaxTags)
    throw Error("No se puede escribir el índice \"" + displayName + "\": demasiadas etiquetas");
  std::vector<unsigned char> header(kHeaderSize, 0);
  std::vector<Block> blocks;
  std::uint32_t nextPage = kHeaderPages;

  header[kVersion] = 2;
  putDate(&header[kCreated]);
  copyName(&header[kTableName], kTableNameSize, upper(tableName));
  put16(&header[kBlockPages], kPagesPerBlock);
  put16(&header[kBlockBytes], kBlockSize);
  header[kProduction] = 1;
  header[kTagSlots] = 48;
  header[kTagEntrySize] = kTagEntryLength;
  put16(&header[kTagsInUse], static_cast<std::uint16_t>(tags.size()));
  header[kLanguageDriver] = tableLdid;
  putDate(&header[kUpdated]);
  header[kUnknownFlag] = 1;

  for (std::size_t t = 0; t < tags.size(); ++t) {
    MdxTag storage;
    const std::uint32_t headerPage =
        TagWriter(displayName, inIndexOrder(tags[t], tableLdid, storage), nextPage, blocks).write();
    unsigned char* entry = &header[kTagTable + t * kTagEntryLength];
    put32(entry + kEntryHeaderPage, headerPage);
    copyName(entry + kEntryName, kEntryNameSize, upper(tags[t].layout.name));
    entry[kEntryFieldFlag] = 0x10;
    entry[kEntryMarker] = 0x02;
    entry[kEntryKeyType] = static_cast<unsigned char>(tags[t].layout.type);
  }
  put32(&header[kPagesInFile], nextPage);

  std::string image;
  image.reserve(kHeaderSize + blocks.size() * kBlockSize);
  image.append(reinterpret_cast<const char*>(header.data()), header.size());
  for (const Block& b : blocks) image.append(reinterpret_cast<const char*>(b.data()), b.size());
  return image;
}

void writeMdx(const std::filesystem::path& file, const std::string& tableName, std::uint8_t tableLdid,
              const std::vector<MdxTag>& tags) {
  const std::string image = mdxImage(os::utf8(file), tableName, tableLdid, tags);
  // Written beside the target and renamed over it, so a failure never leaves half an index.
  if (os::Status s = os::writeReplacing(file, {image}, os::Durability::Cached); !s.ok()) {
    throw Error("No se puede escribir el archivo de índice \"" + os::utf8(file) +
                "\": " + os::ioErrorMessage(s.code));
  }
}

}  // namespace pasarela::dbase

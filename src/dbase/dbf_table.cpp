#include "dbase/dbf_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

#include "base/error.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/text.h"
#include "dbase/dbf_value.h"
#include "dbase/mdx_layout.h"
#include "dbase/memo_file.h"

namespace fs = std::filesystem;

namespace pasarela::dbase {

struct SharedTable {
  Header header;
  fs::path path;
  std::string displayName;
  std::vector<Tag> tags;
  // The entries of each tag as the .MDX holds them, read and checked at
  // open but put in order only when something walks or searches that tag,
  // or changes the table: a table read in physical order, or through
  // another tag, never pays for that.
  std::vector<std::vector<MdxEntry>> entriesRead;  // by tag, until placed
  std::vector<char> placed;                        // by tag
  fs::path mdxPath;
  std::uint64_t generation = 1;
  bool indexDirty = false;
  std::unique_ptr<MemoFile> memo;
  // Records posted but not yet written, and the object that posted them
  // (its descriptor writes them).
  PendingRecords pending;
  DbfTable* writer = nullptr;
};

namespace {

using os::FileId;

std::mutex registryMutex;
std::map<FileId, std::weak_ptr<SharedTable>>& registry() {
  static std::map<FileId, std::weak_ptr<SharedTable>> r;
  return r;
}

using text::upperAscii;

std::string trim(const std::string& s) { return std::string(text::trim(s)); }

Error inUse(const std::string& name) { return Error("El archivo '" + name + "' está en uso"); }

Error notFound(const std::string& name) { return Error("No se encuentra el archivo '" + name + "'"); }

Error ioError(const std::string& name, const char* what, os::Status status) {
  return Error("No se puede " + std::string(what) + " el archivo '" + name +
               "': " + os::ioErrorMessage(status.code));
}

// What the open of a table says when it fails.
[[noreturn]] void failOpen(const std::string& name, const char* what, os::Status status) {
  if (status.code == os::kErrorFileNotFound || status.code == os::kErrorPathNotFound) throw notFound(name);
  if (status.code == os::kErrorSharingViolation) throw inUse(name);
  throw ioError(name, what, status);
}

// The bytes at `offset`, fewer at the end of the file; a read the system
// refuses fails naming the file.
std::string readAll(const os::File& file, std::uint64_t offset, std::size_t size, const std::string& name) {
  std::string out(size, '\0');
  std::size_t done = 0;
  if (os::Status s = file.readAt(offset, out.data(), size, done); !s.ok()) throw ioError(name, "leer", s);
  out.resize(done);
  return out;
}

void writeAll(os::File& file, std::uint64_t offset, const char* data, std::size_t size,
              const std::string& name) {
  if (os::Status s = file.writeAt(offset, data, size); !s.ok()) throw ioError(name, "escribir", s);
}

std::uint64_t sizeOf(const os::File& file, const std::string& name) {
  std::uint64_t size = 0;
  if (os::Status s = file.size(size); !s.ok()) throw ioError(name, "leer", s);
  return size;
}

// The Windows path of a file beside the table, as the user knows the table.
std::string siblingDisplayName(const std::string& displayName, const fs::path& sibling) {
  const std::size_t cut = displayName.find_last_of("\\:");
  return (cut == std::string::npos ? std::string() : displayName.substr(0, cut + 1)) +
         os::fileNameUtf8(sibling);
}

// Runs `body`; an error naming the index or memo file by its host path names
// it by its Windows path instead.
template <class Body>
auto namingSibling(const std::string& displayName, const fs::path& sibling, Body body) {
  try {
    return body();
  } catch (const Error& e) {
    std::string message = e.what();
    const std::string host = os::utf8(sibling), windows = siblingDisplayName(displayName, sibling);
    for (std::size_t at = message.find(host); at != std::string::npos;
         at = message.find(host, at + windows.size()))
      message.replace(at, host.size(), windows);
    throw Error(message);
  }
}

// The fields of a key expression: a field name, or names joined by '+'.
std::vector<int> keyFieldsOf(const Header& header, const MdxTagLayout& layout) {
  std::vector<int> out;
  std::string expr = upperAscii(layout.expression);
  std::size_t start = 0;
  for (;;) {
    std::size_t plus = expr.find('+', start);
    std::string part = trim(expr.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
    int found = -1;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
      if (upperAscii(header.fields[i].name) == part && !header.fields[i].system) found = static_cast<int>(i);
    }
    if (found < 0) return {};
    out.push_back(found);
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  if (layout.type != KeyType::Character && out.size() != 1) return {};
  for (int f : out) {
    char t = header.fields[static_cast<std::size_t>(f)].type;
    if (layout.type == KeyType::Character && t != 'C') return {};
    if (layout.type == KeyType::Numeric && !std::strchr("NFI", t)) return {};
    if (layout.type == KeyType::Date && t != 'D') return {};
  }
  return out;
}

std::shared_ptr<SharedTable> loadShared(const os::File& file, const fs::path& path,
                                        const std::string& displayName) {
  const std::uint64_t size = sizeOf(file, displayName);
  std::string head =
      readAll(file, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, 65536)), displayName);
  auto shared = std::make_shared<SharedTable>();
  shared->header = parseHeader(head, size, displayName);
  shared->path = path;
  shared->displayName = displayName;
  if (shared->header.productionIndex) {
    fs::path mdx = siblingFile(path, "MDX");
    std::error_code ec;
    if (fs::is_regular_file(mdx, ec)) {
      shared->mdxPath = mdx;
      for (MdxTag& t : namingSibling(displayName, mdx, [&] { return readMdx(mdx, shared->header.ldid); })) {
        Tag tag;
        tag.keyFields = keyFieldsOf(shared->header, t.layout);
        tag.entries = EntrySet(KeyOrder{shared->header.ldid, t.layout.type, t.layout.descending});
        tag.layout = std::move(t.layout);
        shared->tags.push_back(std::move(tag));
        shared->entriesRead.push_back(std::move(t.entries));
        shared->placed.push_back(false);
      }
    }
  }
  return shared;
}

void writeIndexFile(const fs::path& mdx, const fs::path& dbf, std::uint8_t ldid,
                    const std::vector<Tag>& tags) {
  std::vector<MdxTag> out;
  out.reserve(tags.size());
  for (const Tag& t : tags) {
    MdxTag m;
    m.layout = t.layout;
    m.entries.reserve(t.entries.size());
    for (const IndexEntry& e : t.entries) m.entries.push_back(MdxEntry{e.key, e.recNo});
    out.push_back(std::move(m));
  }
  writeMdx(mdx, upperAscii(os::stemUtf8(dbf)), ldid, out);
}

// Opens for writing in exclusive use, or fails naming the file.
os::File openExclusiveForRewrite(const fs::path& path, const std::string& displayName, bool create) {
  os::File file;
  os::Status s =
      os::File::open(path, os::Access::ReadWrite, create ? os::Create::OrCreate : os::Create::Existing,
                     os::Share::Exclusive, file);
  if (!s.ok()) failOpen(displayName, "escribir", s);
  return file;
}

}  // namespace

// A unique tag keeps only the first record of each key.
static void insertEntry(Tag& tag, IndexEntry entry) {
  EntrySet& entries = tag.entries;
  const auto sameKey = [&](const IndexEntry& e) { return entries.key_comp().compare(e.key, entry.key) == 0; };
  // A table is mostly filled in the order of its keys: the entry going
  // last costs one comparison, not a search.
  if (entries.empty() || entries.key_comp()(*entries.rbegin(), entry)) {
    // Any entry of the same key is the last one.
    if (tag.layout.unique && !entries.empty() && sameKey(*entries.rbegin())) return;
    entries.emplace_hint(entries.end(), std::move(entry));
    return;
  }
  if (tag.layout.unique) {
    auto it = entries.lower_bound(IndexEntry{entry.key, 0});
    if (it != entries.end() && sameKey(*it)) return;
    // No entry has its key: it goes right before the first greater one.
    entries.emplace_hint(it, std::move(entry));
    return;
  }
  entries.insert(std::move(entry));
}

fs::path siblingFile(const fs::path& dbf, const std::string& extension) {
  fs::path dir = dbf.parent_path();
  std::string stem = os::stemUtf8(dbf);
  std::string wanted = stem + "." + extension;
  std::error_code ec;
  for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (text::equalsIgnoreCase(os::fileNameUtf8(it->path()), wanted)) return dir / it->path().filename();
  }
  std::string ext = os::utf8(dbf.extension());
  bool upper =
      !ext.empty() && std::none_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  return dir / os::hostPath(stem + "." + (upper ? upperAscii(extension) : text::lowerAscii(extension)));
}

DbfTable::DbfTable(const fs::path& path, const std::string& displayName, bool exclusive)
    : displayName_(displayName) {
  const os::Share share = exclusive ? os::Share::Exclusive : os::Share::Shared;
  os::Status s = os::File::open(path, os::Access::ReadWrite, os::Create::Existing, share, file_);
  writable_ = s.ok();
  // A read-only file or medium still opens for reading, for exclusive use
  // too (reading never needs to write); writing it then fails naming it.
  if (s.code == os::kErrorAccessDenied)
    s = os::File::open(path, os::Access::Read, os::Create::Existing, share, file_);
  if (!s.ok()) failOpen(displayName, "abrir", s);
  FileId id;
  if (os::Status idStatus = file_.id(id); !idStatus.ok()) throw ioError(displayName, "abrir", idStatus);
  std::lock_guard<std::mutex> lock(registryMutex);
  shared_ = registry()[id].lock();
  if (!shared_) {
    shared_ = loadShared(file_, path, displayName);
    registry()[id] = shared_;
  }
  codePage_ = &CodePage::forLdid(shared_->header.ldid);
}

DbfTable::~DbfTable() {
  try {
    flush();
  } catch (...) {
    // A destructor cannot report; close() flushes first and reports there.
  }
  if (shared_ && shared_->writer == this) {
    // Not written (the failure was reported by close()); the descriptor
    // that would write it goes now.
    shared_->pending.clear();
    shared_->writer = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    shared_.reset();
    for (auto it = registry().begin(); it != registry().end();) {
      it = it->second.expired() ? registry().erase(it) : std::next(it);
    }
  }
  // file_ closes itself, unmapping the header.
}

const Header& DbfTable::header() const { return shared_->header; }
const CodePage& DbfTable::codePage() const { return *codePage_; }
std::uint32_t DbfTable::recordCount() const { return shared_->header.recordCount; }
std::uint64_t DbfTable::generation() const { return shared_->generation; }

void DbfTable::reloadCount() {
  // The header on the file must count what this process posted.
  flushRecords();
  Header& h = shared_->header;
  char head[8];
  std::size_t got = 0;
  std::uint64_t size = 0;
  if (!file_.readAt(0, head, 8, got).ok() || got < 8 || !file_.size(size).ok()) return;
  const std::uint32_t stated = text::readLe32(head + 4);
  std::uint64_t available = size > h.headerLength ? (size - h.headerLength) / h.recordLength : 0;
  std::uint32_t count = static_cast<std::uint32_t>(std::min<std::uint64_t>(stated, available));
  if (count != h.recordCount) {
    h.recordCount = count;
    h.statedCount = stated;
    ++shared_->generation;
  }
}

const char* DbfTable::readRecord(std::uint32_t recNo) {
  const Header& h = shared_->header;
  if (recNo == 0 || recNo > h.recordCount) return nullptr;
  const std::uint32_t len = h.recordLength;
  // Another object reads the file itself: what was posted goes there first.
  if (shared_->writer != this) flushRecords();
  const PendingRecords& pending = shared_->pending;
  if (pending.holds(recNo)) {
    heldCopy_.assign(pending.record(recNo), pending.record(recNo) + len);
    return heldCopy_.data();
  }
  if (const char* cached = cache_.find(recNo, shared_->generation)) return cached;
  const RecordSpan span =
      outsideRun(cache_.plan(recNo, h.recordCount, len, shared_->generation), recNo, pending);
  char* block = cache_.prepare(span, len);
  std::size_t done = 0;
  if (os::Status s = file_.readAt(h.headerLength + static_cast<std::uint64_t>(span.first - 1) * len, block,
                                  static_cast<std::size_t>(span.count) * len, done);
      !s.ok()) {
    throw ioError(displayName_, "leer", s);
  }
  cache_.filled(done, shared_->generation);
  if (const char* record = cache_.find(recNo, shared_->generation)) return record;
  // The file shrank under us (another program cut it): the records its
  // header promised are gone, which is damage, not the end of the table.
  throw Error("El archivo '" + displayName_ +
              "' no es una tabla dBase válida: el archivo está truncado (falta el registro " +
              std::to_string(recNo) + ")");
}

const char* DbfTable::readRecords(std::uint32_t recNo, std::uint32_t& run) {
  const char* record = readRecord(recNo);
  run = 0;
  if (!record) return nullptr;
  if (record == heldCopy_.data()) {
    run = 1;
    return record;
  }
  run = cache_.heldFrom(recNo);
  // Records this object posted and still holds are newer than the block.
  const PendingRecords& pending = shared_->pending;
  if (!pending.empty() && pending.first() > recNo) run = std::min(run, pending.first() - recNo);
  return record;
}

void DbfTable::requireWritable() const {
  if (!writable_)
    throw Error("No se puede escribir en el archivo '" + displayName_ + "': es de solo lectura");
}

void DbfTable::writeAt(std::uint64_t offset, const char* data, std::size_t size) {
  requireWritable();
  writeAll(file_, offset, data, size, displayName_);
}

void DbfTable::stampHeader() {
  char head[8] = {};
  dbase::stampHeader(head, shared_->header.recordCount);
  shared_->header.statedCount = shared_->header.recordCount;
  // The header's first bytes are mapped once: stamping them after every post
  // then costs no system call (the mapping shares the page cache that reads
  // and writes of every process see).
  if (!headerMap_ && writable_) headerMap_ = file_.mapHead(32);
  if (headerMap_) {
    std::memcpy(headerMap_ + 1, head + 1, 7);
  } else {
    writeAt(1, head + 1, 7);
  }
}

void DbfTable::checkIndexesComputable() const {
  for (const Tag& t : shared_->tags) {
    if (t.keyFields.empty()) {
      throw Error("No se puede actualizar el índice '" + t.layout.name + "' de '" + displayName_ +
                  "': su expresión '" + t.layout.expression + "' no está admitida");
    }
  }
}

void DbfTable::updateRecord(std::uint32_t recNo, const char* record) {
  const Header& h = shared_->header;
  if (recNo == 0 || recNo > h.recordCount)
    throw Error("Número de registro fuera de rango en '" + displayName_ + "'");
  checkIndexesComputable();
  requireWritable();
  placeEntries();
  const char* current = readRecord(recNo);
  std::string old = current ? std::string(current, h.recordLength) : std::string();
  holdRecord(recNo, record, false);
  ++shared_->generation;
  // What this object read stays good: only this record changed.
  cache_.wrote(shared_->generation - 1, shared_->generation, recNo, record);
  if (old.size() == h.recordLength) {
    for (std::size_t i = 0; i < shared_->tags.size(); ++i) {
      Tag& t = shared_->tags[i];
      std::string before = keyOf(static_cast<int>(i), old.data());
      std::string after = keyOf(static_cast<int>(i), record);
      if (before == after) continue;
      t.entries.erase(IndexEntry{before, recNo});
      insertEntry(t, IndexEntry{after, recNo});
      shared_->indexDirty = true;
    }
  }
}

std::uint32_t DbfTable::appendRecord(const char* record) {
  Header& h = shared_->header;
  checkIndexesComputable();
  if (h.recordCount == 0xFFFFFFFFu) throw Error("La tabla '" + displayName_ + "' está llena");
  requireWritable();
  placeEntries();
  const std::uint32_t recNo = h.recordCount + 1;
  holdRecord(recNo, record, true);
  h.recordCount = recNo;
  ++shared_->generation;
  cache_.wrote(shared_->generation - 1, shared_->generation, recNo, nullptr);
  for (std::size_t i = 0; i < shared_->tags.size(); ++i) {
    insertEntry(shared_->tags[i], IndexEntry{keyOf(static_cast<int>(i), record), recNo});
    shared_->indexDirty = true;
  }
  return recNo;
}

std::string DbfTable::readMemo(std::uint32_t block) {
  if (!shared_->memo) {
    MemoKind kind = shared_->header.memo;
    fs::path path = siblingFile(shared_->path, kind == MemoKind::Fpt ? "FPT" : "DBT");
    std::error_code ec;
    if (!fs::exists(path, ec) && kind == MemoKind::Fpt) {
      fs::path dbt = siblingFile(shared_->path, "DBT");
      if (fs::exists(dbt, ec)) {
        path = dbt;
        kind = MemoKind::Dbt4;
      }
    }
    if (!fs::exists(path, ec)) {
      throw Error("No se encuentra el archivo de memos '" + siblingDisplayName(displayName_, path) +
                  "' de '" + displayName_ + "'");
    }
    shared_->memo = namingSibling(displayName_, path, [&] {
      return std::make_unique<MemoFile>(path, kind == MemoKind::None ? MemoKind::Dbt3 : kind);
    });
  }
  return namingSibling(displayName_, shared_->memo->path(), [&] { return shared_->memo->read(block); });
}

void DbfTable::holdRecord(std::uint32_t recNo, const char* record, bool appended) {
  if (shared_->writer != this) flushRecords();
  PendingRecords& pending = shared_->pending;
  if (pending.full() || !pending.put(recNo, record, shared_->header.recordLength, appended)) {
    flushRecords();
    pending.put(recNo, record, shared_->header.recordLength, appended);
  }
  shared_->writer = this;
}

void DbfTable::flushRecords() {
  DbfTable* writer = shared_->writer;
  if (!writer) return;
  const Header& h = shared_->header;
  try {
    shared_->pending.writeOut(h.headerLength,
                              [writer](std::uint64_t offset, const char* data, std::size_t size) {
                                writer->writeAt(offset, data, size);
                              });
  } catch (...) {
    // Part of the block may have reached the file past the records the
    // header counts: cut it off, so that no reader takes it for records.
    if (shared_->pending.end() > h.statedCount + 1) {
      const std::uint64_t end = h.headerLength + static_cast<std::uint64_t>(h.statedCount) * h.recordLength;
      const char mark = '\x1A';
      if (writer->file_.truncate(end + 1).ok()) (void)writer->file_.writeAt(end, &mark, 1);
    }
    throw;
  }
  writer->stampHeader();
  shared_->writer = nullptr;
}

std::uint32_t countLiveRecords(const fs::path& path, const std::string& displayName) {
  writeHeldRecords();
  os::File file;
  if (os::Status s = os::File::open(path, os::Access::Read, os::Create::Existing, os::Share::Shared, file);
      !s.ok())
    failOpen(displayName, "abrir", s);
  const std::uint64_t size = sizeOf(file, displayName);
  const Header h = parseHeader(
      readAll(file, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, 65536)), displayName), size,
      displayName);
  // Whole records in large reads; the header's count is already cut to what
  // the file holds.
  const std::uint32_t perBlock =
      std::max<std::uint32_t>(1, static_cast<std::uint32_t>((1u << 20) / h.recordLength));
  std::uint32_t live = 0;
  // One block, read into again and again (never cleared: only what a read
  // filled is looked at).
  const auto block = std::make_unique_for_overwrite<char[]>(
      static_cast<std::size_t>(std::min(perBlock, h.recordCount)) * h.recordLength);
  for (std::uint32_t first = 0; first < h.recordCount; first += perBlock) {
    const std::uint32_t count = std::min(perBlock, h.recordCount - first);
    const std::size_t wanted = static_cast<std::size_t>(count) * h.recordLength;
    std::size_t done = 0;
    if (os::Status s = file.readAt(h.headerLength + static_cast<std::uint64_t>(first) * h.recordLength,
                                   block.get(), wanted, done);
        !s.ok())
      throw ioError(displayName, "leer", s);
    if (done < wanted)
      throw Error("El archivo '" + displayName +
                  "' no es una tabla dBase válida: el archivo está truncado (falta el registro " +
                  std::to_string(first + done / h.recordLength + 1) + ")");
    for (std::uint32_t n = 0; n < count; ++n)
      if (block[static_cast<std::size_t>(n) * h.recordLength] != '*') ++live;
  }
  return live;
}

void writeHeldRecords() {
  std::vector<std::shared_ptr<SharedTable>> tables;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto& [id, table] : registry())
      if (auto shared = table.lock()) tables.push_back(std::move(shared));
  }
  for (const auto& shared : tables)
    if (shared->writer) shared->writer->flushRecords();
}

void DbfTable::flush() {
  if (!shared_) return;
  flushRecords();
  flushIndex();
}

void DbfTable::flushIndex() {
  if (!shared_ || !shared_->indexDirty || shared_->tags.empty() || !writable_) return;
  placeEntries();  // changed entries were placed: this is only for certainty
  fs::path mdx = shared_->mdxPath.empty() ? siblingFile(shared_->path, "MDX") : shared_->mdxPath;
  namingSibling(displayName_, mdx, [&] {
    writeIndexFile(mdx, shared_->path, shared_->header.ldid, shared_->tags);
    return 0;
  });
  shared_->indexDirty = false;
}

void DbfTable::placeEntries() {
  for (std::size_t i = 0; i < shared_->tags.size(); ++i) placeTag(i);
}

void DbfTable::placeTag(std::size_t i) {
  if (i >= shared_->placed.size() || shared_->placed[i]) return;
  // Placed before the check, which reads records and may find the entries
  // stale: it must see them in place, and must not come back here.
  shared_->placed[i] = true;
  EntrySet& entries = shared_->tags[i].entries;
  for (MdxEntry& e : shared_->entriesRead[i])
    entries.emplace_hint(entries.end(), IndexEntry{std::move(e.key), e.recNo});
  std::vector<MdxEntry>().swap(shared_->entriesRead[i]);
  rebuildIfStale(i);
}

Tag& DbfTable::placedTag(int index) const {
  const_cast<DbfTable*>(this)->placeTag(static_cast<std::size_t>(index));
  return shared_->tags.at(static_cast<std::size_t>(index));
}

void DbfTable::rebuildIfStale(std::size_t i) {
  const std::uint32_t count = shared_->header.recordCount;
  Tag& t = shared_->tags[i];
  if (t.keyFields.empty()) return;
  // A character key of one field as long as the key is that field's bytes.
  const Field* plainKeyField = &shared_->header.fields[static_cast<std::size_t>(t.keyFields[0])];
  const bool plainKey = t.layout.type == KeyType::Character && t.keyFields.size() == 1 &&
                        plainKeyField->length == t.layout.keyLength;
  bool stale = t.layout.unique ? t.entries.size() > count : t.entries.size() != count;
  for (const IndexEntry& e : t.entries) stale = stale || e.recNo == 0 || e.recNo > count;
  // A record changed by a program that did not update the index: its
  // entry would send a walk or a FindKey to the wrong place.
  for (auto e = t.entries.begin(); !stale && e != t.entries.end(); ++e) {
    const char* record = readRecord(e->recNo);
    if (!record) {
      stale = true;
      continue;
    }
    // Mostly the stored key is the field's bytes as they are: no key is
    // made to see that.
    if (plainKey && e->key.size() == static_cast<std::size_t>(plainKeyField->length) &&
        std::memcmp(record + plainKeyField->offset, e->key.data(), e->key.size()) == 0)
      continue;
    const std::string key = keyOf(static_cast<int>(i), record);
    stale = key != e->key && t.entries.key_comp().compare(e->key, key) != 0;
  }
  if (!stale) return;
  // An index left behind by a program that stopped before writing it, or
  // one that does not match the table: built again from the records.
  ++shared_->generation;
  t.entries.clear();
  for (std::uint32_t n = 1; n <= count; ++n) {
    const char* record = readRecord(n);
    if (!record) break;
    insertEntry(t, IndexEntry{keyOf(static_cast<int>(i), record), n});
  }
  // Only in memory: opening a table to read it never changes a file. The
  // rebuilt tag reaches the .MDX with the first record written, if any.
}

int DbfTable::tagCount() const { return static_cast<int>(shared_->tags.size()); }

int DbfTable::tagIndex(const std::string& name) const {
  std::string wanted = upperAscii(trim(name));
  for (std::size_t i = 0; i < shared_->tags.size(); ++i) {
    if (upperAscii(shared_->tags[i].layout.name) == wanted) return static_cast<int>(i);
  }
  return -1;
}

const Tag& DbfTable::tag(int index) const { return placedTag(index); }

std::string DbfTable::keyOf(int tagIndex, const char* record) const {
  // The key's form only: no entry is needed for it.
  const Tag& t = shared_->tags.at(static_cast<std::size_t>(tagIndex));
  const Header& h = shared_->header;
  if (t.keyFields.empty()) return std::string(static_cast<std::size_t>(t.layout.keyLength), ' ');
  const Field& first = h.fields[static_cast<std::size_t>(t.keyFields[0])];
  switch (t.layout.type) {
    case KeyType::Numeric: {
      bool ok = true;
      std::optional<double> v = readNumber(first, record, h.dialect, ok);
      return encodeNumericKey(v.value_or(0.0));
    }
    case KeyType::Date: {
      std::optional<double> days = readDays(first, record, h.dialect);
      return days ? encodeDateKey(*days) : std::string(8, '\0');
    }
    case KeyType::Character:
      break;
  }
  std::string key;
  for (int f : t.keyFields) {
    const Field& field = h.fields[static_cast<std::size_t>(f)];
    key.append(record + field.offset, static_cast<std::size_t>(field.length));
  }
  key.resize(static_cast<std::size_t>(std::max(0, t.layout.keyLength)), ' ');
  return key;
}

std::optional<IndexEntry> DbfTable::indexFirst(int t) const {
  const EntrySet& s = tag(t).entries;
  if (s.empty()) return std::nullopt;
  return *s.begin();
}

std::optional<IndexEntry> DbfTable::indexLast(int t) const {
  const EntrySet& s = tag(t).entries;
  if (s.empty()) return std::nullopt;
  return *s.rbegin();
}

// The entry after `at` (forward) or `at`'s own place (backward), as
// upper_bound and lower_bound would find them.
EntrySet::const_iterator DbfTable::walkFrom(int t, const IndexEntry& at, bool forward) const {
  const EntrySet& s = tag(t).entries;
  const bool standing = walk_.tag == t && walk_.generation == shared_->generation && walk_.at != s.end() &&
                        walk_.at->recNo == at.recNo && walk_.at->key == at.key;
  if (standing) return forward ? std::next(walk_.at) : walk_.at;
  return forward ? s.upper_bound(at) : s.lower_bound(at);
}

std::optional<IndexEntry> DbfTable::indexAfter(int t, const IndexEntry& at) const {
  const EntrySet& s = tag(t).entries;
  auto it = walkFrom(t, at, true);
  walk_ = WalkPlace{t, shared_->generation, it};
  if (it == s.end()) return std::nullopt;
  return *it;
}

std::optional<IndexEntry> DbfTable::indexBefore(int t, const IndexEntry& at) const {
  const EntrySet& s = tag(t).entries;
  auto it = walkFrom(t, at, false);
  if (it == s.begin()) {
    walk_ = WalkPlace{};
    return std::nullopt;
  }
  --it;
  walk_ = WalkPlace{t, shared_->generation, it};
  return *it;
}

std::optional<IndexEntry> DbfTable::indexFind(int t, const std::string& key) const {
  const Tag& tg = tag(t);
  auto it = tg.entries.lower_bound(IndexEntry{key, 0});
  if (it == tg.entries.end()) return std::nullopt;
  if (tg.entries.key_comp().compare(it->key, key) != 0) return std::nullopt;
  return *it;
}

void createTable(const fs::path& path, const std::string& displayName, const std::vector<NewField>& fields,
                 const std::vector<std::string>& indexFields) {
  if (fields.empty()) throw Error("No se puede crear la tabla '" + displayName + "' sin campos");
  Header h;
  h.version = 0x03;
  h.ldid = 0x57;
  h.productionIndex = !indexFields.empty();
  std::uint32_t recordLength = 1;
  for (const NewField& nf : fields) {
    std::string name = upperAscii(nf.name);
    if (name.empty() || name.size() > 10 || std::any_of(name.begin(), name.end(), [](char c) {
          return !std::isalnum(static_cast<unsigned char>(c)) && c != '_';
        })) {
      throw Error("Nombre de campo no válido '" + nf.name + "' en la tabla '" + displayName + "'");
    }
    for (const Field& other : h.fields) {
      if (other.name == name)
        throw Error("El campo '" + name + "' está repetido en la tabla '" + displayName + "'");
    }
    if (nf.length < 1 || nf.length > 254) {
      throw Error("Tamaño no válido para el campo '" + name + "' de la tabla '" + displayName + "'");
    }
    Field f;
    f.name = name;
    f.type = nf.type;
    f.length = nf.length;
    f.decimals = nf.decimals;
    f.offset = static_cast<int>(recordLength);
    recordLength += static_cast<std::uint32_t>(nf.length);
    h.fields.push_back(f);
  }
  if (recordLength > 65535)
    throw Error("Los registros de la tabla '" + displayName + "' son demasiado largos");
  h.recordLength = recordLength;
  std::vector<Tag> tags;
  for (const std::string& indexField : indexFields) {
    std::string name = upperAscii(indexField);
    auto it = std::find_if(h.fields.begin(), h.fields.end(), [&](const Field& f) { return f.name == name; });
    if (it == h.fields.end()) {
      throw Error("No se encuentra el campo '" + indexField + "' del índice de la tabla '" + displayName +
                  "'");
    }
    if (it->type != 'C' && it->type != 'N' && it->type != 'F') {
      throw Error("No se puede indexar el campo '" + name + "' de la tabla '" + displayName + "'");
    }
    it->indexed = true;
    Tag t;
    t.layout.name = name;
    t.layout.expression = name;
    t.layout.type = it->type == 'C' ? KeyType::Character : KeyType::Numeric;
    t.layout.keyLength =
        it->type == 'C' ? std::min(it->length, static_cast<int>(mdx_layout::kMaxCharacterKey)) : 12;
    tags.push_back(std::move(t));
  }
  std::string bytes = buildHeader(h);
  bytes += '\x1A';
  os::File file = openExclusiveForRewrite(path, displayName, true);
  if (os::Status s = file.truncate(0); !s.ok()) throw ioError(displayName, "escribir", s);
  writeAll(file, 0, bytes.data(), bytes.size(), displayName);
  fs::path mdx = siblingFile(path, "MDX");
  std::error_code ec;
  if (tags.empty()) {
    fs::remove(mdx, ec);
  } else {
    writeIndexFile(mdx, path, h.ldid, tags);
  }
  if (os::Status s = file.close(); !s.ok()) throw ioError(displayName, "escribir", s);
}

void emptyTable(const fs::path& path, const std::string& displayName) {
  os::File file = openExclusiveForRewrite(path, displayName, false);
  const std::uint64_t size = sizeOf(file, displayName);
  std::string head =
      readAll(file, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, 65536)), displayName);
  Header h = parseHeader(head, size, displayName);
  std::vector<Tag> tags;
  fs::path mdx = siblingFile(path, "MDX");
  std::error_code ec;
  if (h.productionIndex && fs::is_regular_file(mdx, ec)) {
    for (MdxTag& t : readMdx(mdx, h.ldid)) {
      Tag tag;
      tag.layout = std::move(t.layout);
      tags.push_back(std::move(tag));
    }
  }
  char stamp[8] = {};
  dbase::stampHeader(stamp, 0);
  const char end = '\x1A';
  if (os::Status s = file.truncate(h.headerLength); !s.ok()) throw ioError(displayName, "escribir", s);
  writeAll(file, h.headerLength, &end, 1, displayName);
  writeAll(file, 1, stamp + 1, 7, displayName);
  if (!tags.empty()) writeIndexFile(mdx, path, h.ldid, tags);
  if (os::Status s = file.close(); !s.ok()) throw ioError(displayName, "escribir", s);
}

}  // namespace pasarela::dbase

#include "data/table.h"

#include <algorithm>
#include <cctype>

#include "base/error.h"
#include "base/text.h"
#include "data/table_impl.h"
#include "data/table_values.h"
#include "data/winpath.h"
#include "dbase/mdx.h"

namespace pasarela {

using dbase::DbfTable;
using dbase::Field;
using dbase::IndexEntry;
using table_values::trimBoth;
using text::upperAscii;

std::string Table::Impl::path() const {
  std::string file = tableName;
  std::string base = winpath::fileNamePart(file);
  if (!base.empty() && base.find('.') == std::string::npos) {
    bool lower = std::any_of(base.begin(), base.end(),
                             [](char c) { return std::islower(static_cast<unsigned char>(c)); });
    file += lower ? ".dbf" : ".DBF";
  }
  return databaseName.empty() ? file : winpath::join(databaseName, file);
}

int Table::Impl::lookup(const std::string& fieldName) const {
  if (!db) return -1;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (std::size_t i = 0; i < upperNames.size(); ++i) {
    const std::string& candidate = upperNames[i];
    if (candidate.size() != fieldName.size()) continue;
    std::size_t c = 0;
    while (c < candidate.size() && upper(fieldName[c]) == candidate[c]) ++c;
    // The first of two fields with one name wins, as a search in order would.
    if (c == candidate.size()) return static_cast<int>(i);
  }
  // Blanks around the name are forgiven.
  const std::string trimmed(trimBoth(fieldName));
  if (trimmed != fieldName) return lookup(trimmed);
  return -1;
}

void Table::Impl::resolveIndex() {
  tag = -1;
  if (indexName.empty() || !db) return;
  tag = db->tagIndex(indexName);
  if (tag < 0)
    throw Error(prefix() + "No se encuentra el índice '" + indexName + "' de la tabla '" + path() + "'");
}

void Table::Impl::resolveFilter() {
  filter.reset();
  filterField = -1;
  if (!filtered || trimBoth(filterText).empty() || !db) return;
  filter = parseFilter(filterText);
  if (!filter) throw Error(prefix() + "El filtro '" + filterText + "' no es válido");
  filterField = find(filter->field);
}

bool Table::Impl::visible(const char* record) const {
  if (record[0] == '*') return false;
  if (filter && !filterMatches(*filter, text(filterField, record))) return false;
  return true;
}

void Table::Impl::load(std::uint32_t n) {
  const char* record = db->readRecord(n);
  recNo = record ? n : 0;
  if (record) {
    buffer.assign(record, record + db->header().recordLength);
    if (tag >= 0) indexPos = IndexEntry{db->keyOf(tag, record), n};
  } else {
    blankBuffer();
  }
}

void Table::Impl::take(std::uint32_t n, const char* record) {
  recNo = n;
  buffer.assign(record, record + header->recordLength);
}

void Table::Impl::takeEntry(const IndexEntry& e, const char* record) {
  take(e.recNo, record);
  indexPos = e;
}

void Table::Impl::blankBuffer() {
  const dbase::Header& h = db->header();
  // Made once per open: every append starts from it.
  if (blankRecord.size() != h.recordLength) {
    blankRecord.assign(h.recordLength, ' ');
    for (const Field& f : h.fields) dbase::writeBlank(f, blankRecord.data(), h.dialect);
  }
  buffer = blankRecord;
}

std::optional<std::uint32_t> Table::Impl::physicalFrom(std::uint32_t start, int direction,
                                                       const char** found) {
  const std::uint32_t count = header->recordCount;
  for (std::int64_t n = start; n >= 1 && n <= static_cast<std::int64_t>(count); n += direction) {
    const char* record = db->readRecord(static_cast<std::uint32_t>(n));
    if (!record) return std::nullopt;
    if (visible(record)) {
      if (found) *found = record;
      return static_cast<std::uint32_t>(n);
    }
  }
  return std::nullopt;
}

std::optional<IndexEntry> Table::Impl::indexFrom(std::optional<IndexEntry> e, int direction,
                                                 const char** found) {
  while (e) {
    const char* record = db->readRecord(e->recNo);
    if (record && visible(record)) {
      if (found) *found = record;
      return e;
    }
    e = direction > 0 ? db->indexAfter(tag, *e) : db->indexBefore(tag, *e);
  }
  return std::nullopt;
}

bool Table::Impl::seek(const std::string& key) {
  checkBrowse();
  const char* record = nullptr;
  auto e = indexFrom(db->indexFind(tag, key), 1, &record);
  if (!e || dbase::compareKeys(db->header().ldid, db->tag(tag).layout.type, e->key, key) != 0) return false;
  takeEntry(*e, record);
  eof = bof = false;
  return true;
}

bool Table::Impl::moveFirst() {
  if (tag >= 0) {
    const char* record = nullptr;
    auto e = indexFrom(db->indexFirst(tag), 1, &record);
    if (!e) return false;
    takeEntry(*e, record);
    return true;
  }
  const char* record = nullptr;
  auto n = physicalFrom(1, 1, &record);
  if (!n) return false;
  take(*n, record);
  return true;
}

bool Table::Impl::moveLast() {
  if (tag >= 0) {
    const char* record = nullptr;
    auto e = indexFrom(db->indexLast(tag), -1, &record);
    if (!e) return false;
    takeEntry(*e, record);
    return true;
  }
  const char* record = nullptr;
  auto n = physicalFrom(db->recordCount(), -1, &record);
  if (!n) return false;
  take(*n, record);
  return true;
}

bool Table::Impl::step(int direction) {
  if (recNo == 0) return direction > 0 ? moveFirst() : moveLast();
  if (tag >= 0) {
    auto from = direction > 0 ? db->indexAfter(tag, indexPos) : db->indexBefore(tag, indexPos);
    const char* record = nullptr;
    auto e = indexFrom(from, direction, &record);
    if (!e) return false;
    takeEntry(*e, record);
    return true;
  }
  const char* record = nullptr;
  auto n = physicalFrom(recNo + static_cast<std::uint32_t>(direction), direction, &record);
  if (!n) return false;
  take(*n, record);
  return true;
}

void Table::Impl::checkBrowse() {
  if (state == TableState::Edit || state == TableState::Insert) {
    if (modified)
      postPending();
    else
      cancelPending();
  }
}

void Table::Impl::postPending() {
  requireEditing();
  std::uint32_t n;
  if (state == TableState::Insert) {
    n = db->appendRecord(buffer.data());
  } else {
    n = recNo;
    db->updateRecord(n, buffer.data());
  }
  state = TableState::Browse;
  modified = false;
  // The buffer is what the file now holds: no need to read it back.
  recNo = n;
  if (tag >= 0) indexPos = IndexEntry{db->keyOf(tag, buffer.data()), n};
  eof = bof = false;
}

void Table::Impl::cancelPending() {
  if (state == TableState::Insert || state == TableState::Edit) {
    state = TableState::Browse;
    modified = false;
    if (recNo)
      load(recNo);
    else
      blankBuffer();
  }
}

// ---------------------------------------------------------------------------

Table::Table() : d_(std::make_unique<Impl>()) {}
Table::Table(std::string name) : d_(std::make_unique<Impl>()) { d_->name = std::move(name); }
Table::~Table() {
  try {
    close();
  } catch (...) {
    // The index could not be written; nothing more can be done here.
  }
}

const std::string& Table::name() const { return d_->name; }
void Table::setDatabaseName(const std::string& folder) { d_->databaseName = folder; }
void Table::setTableName(const std::string& table) { d_->tableName = table; }
const std::string& Table::databaseName() const { return d_->databaseName; }
const std::string& Table::tableName() const { return d_->tableName; }
std::string Table::windowsPath() const { return d_->path(); }
void Table::setExclusive(bool exclusive) { d_->exclusive = exclusive; }
bool Table::exclusive() const { return d_->exclusive; }

void Table::setIndexName(const std::string& tag) {
  if (!d_->db) {
    d_->indexName = tag;
    return;
  }
  d_->checkBrowse();
  std::string previous = d_->indexName;
  d_->indexName = tag;
  try {
    d_->resolveIndex();
  } catch (...) {
    d_->indexName = previous;
    d_->resolveIndex();
    throw;
  }
  // The current record stays current; only its place in the order changes.
  if (d_->recNo) d_->load(d_->recNo);
}

const std::string& Table::indexName() const { return d_->indexName; }

void Table::setFilter(const std::string& filter) {
  d_->filterText = filter;
  if (d_->db && d_->filtered) {
    d_->checkBrowse();
    d_->resolveFilter();
    first();
  }
}

const std::string& Table::filter() const { return d_->filterText; }

void Table::setFiltered(bool on) {
  if (d_->filtered == on) return;
  d_->filtered = on;
  if (d_->db) {
    d_->checkBrowse();
    d_->resolveFilter();
    first();
  }
}

bool Table::filtered() const { return d_->filtered; }

void Table::open() {
  if (d_->db) return;
  const std::string windows = d_->path();
  auto db = std::make_unique<DbfTable>(winpath::resolve(windows), windows, d_->exclusive);
  d_->header = &db->header();
  d_->codePage = &db->codePage();
  d_->db = std::move(db);
  d_->visibleFields.clear();
  d_->valueClasses.clear();
  const auto& fields = d_->db->header().fields;
  d_->upperNames.clear();
  d_->blankRecord.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].system) continue;
    d_->upperNames.push_back(upperAscii(fields[i].name));
    d_->visibleFields.push_back(static_cast<int>(i));
    d_->valueClasses.push_back(dbase::classify(fields[i], d_->db->header().dialect));
  }
  d_->views.assign(d_->visibleFields.size(), std::string());
  try {
    d_->resolveIndex();
    d_->resolveFilter();
  } catch (...) {
    d_->db.reset();
    d_->header = nullptr;
    d_->codePage = nullptr;
    throw;
  }
  d_->state = TableState::Browse;
  d_->modified = false;
  first();
}

void Table::close() {
  if (!d_->db) return;
  d_->state = TableState::Browse;
  d_->modified = false;
  std::unique_ptr<DbfTable> db = std::move(d_->db);
  d_->header = nullptr;
  d_->codePage = nullptr;
  d_->state = TableState::Inactive;
  d_->recNo = 0;
  d_->eof = d_->bof = true;
  d_->tag = -1;
  db->flush();  // reports a failure to write the held records or the index
}

bool Table::active() const { return d_->db != nullptr; }

void Table::createTable(const std::vector<FieldDef>& fields, const std::vector<std::string>& indexFields) {
  d_->requireClosed();
  std::vector<dbase::NewField> out;
  for (const FieldDef& def : fields) {
    dbase::NewField f;
    f.name = def.name;
    // Types every dBase III and dBase IV reader knows: integers as N(11,0),
    // which holds any 32-bit value with its sign; floats as N(19,6), the
    // widest numeric dBase III accepts, with six decimals; booleans as L(1).
    switch (def.kind) {
      case FieldKind::String:
        f.type = 'C';
        f.length = def.size;
        break;
      case FieldKind::Integer:
        f.type = 'N';
        f.length = 11;
        break;
      case FieldKind::Float:
        f.type = 'N';
        f.length = 19;
        f.decimals = 6;
        break;
      case FieldKind::Boolean:
        f.type = 'L';
        f.length = 1;
        break;
    }
    out.push_back(f);
  }
  const std::string windows = d_->path();
  dbase::createTable(winpath::resolve(windows), windows, out, indexFields);
}

void Table::emptyTable() {
  d_->requireClosed();
  const std::string windows = d_->path();
  dbase::emptyTable(winpath::resolve(windows), windows);
}

void Table::first() {
  d_->requireOpen();
  d_->checkBrowse();
  d_->db->reloadCount();
  bool found = d_->moveFirst();
  if (!found) {
    d_->recNo = 0;
    d_->blankBuffer();
  }
  d_->bof = true;
  d_->eof = !found;
}

void Table::last() {
  d_->requireOpen();
  d_->checkBrowse();
  d_->db->reloadCount();
  bool found = d_->moveLast();
  if (!found) {
    d_->recNo = 0;
    d_->blankBuffer();
  }
  d_->eof = true;
  d_->bof = !found;
}

void Table::next() {
  d_->requireOpen();
  d_->checkBrowse();
  if (d_->step(1)) {
    d_->bof = false;
    d_->eof = false;
  } else {
    d_->eof = true;
    if (d_->recNo) d_->load(d_->recNo);  // stays on the last record, seeing its latest posts
  }
}

void Table::prior() {
  d_->requireOpen();
  d_->checkBrowse();
  if (d_->step(-1)) {
    d_->eof = false;
    d_->bof = false;
  } else {
    d_->bof = true;
    if (d_->recNo) d_->load(d_->recNo);
  }
}

void Table::moveBy(int n) {
  for (; n > 0 && !eof(); --n) {
    next();
  }
  for (; n < 0 && !bof(); ++n) {
    prior();
  }
}

bool Table::eof() const { return !d_->db || d_->eof; }
bool Table::bof() const { return !d_->db || d_->bof; }

bool Table::isEmpty() const {
  if (!d_->db) return true;
  if (d_->recNo) return false;
  return !d_->physicalFrom(1, 1);
}

std::uint32_t Table::recNo() const {
  if (!d_->db || d_->state == TableState::Insert) return 0;
  return d_->recNo;
}

void Table::goTo(std::uint32_t recNo) {
  d_->requireOpen();
  d_->checkBrowse();
  if (recNo == 0 || recNo > d_->db->recordCount()) {
    throw Error(d_->prefix() + "El registro " + std::to_string(recNo) + " no existe en '" + d_->path() + "'");
  }
  d_->load(recNo);
  d_->eof = d_->bof = false;
}

std::uint32_t Table::recordsInFile(const std::string& windowsPath) {
  return dbase::countLiveRecords(winpath::resolve(windowsPath), windowsPath);
}

std::uint32_t Table::recordCount() const {
  if (!d_->db) return 0;
  std::uint32_t count = 0;
  for (std::uint32_t n = 1; n <= d_->db->recordCount(); ++n) {
    const char* record = d_->db->readRecord(n);
    if (!record) break;
    if (d_->visible(record)) ++count;
  }
  return count;
}

void Table::refresh() {
  d_->requireOpen();
  d_->checkBrowse();
  d_->db->reloadCount();
  if (d_->recNo) d_->load(d_->recNo);
}

TableState Table::state() const { return d_->db ? d_->state : TableState::Inactive; }

void Table::append() {
  d_->requireOpen();
  d_->checkBrowse();
  d_->blankBuffer();
  d_->state = TableState::Insert;
  d_->modified = false;
  d_->eof = d_->bof = false;
}

void Table::edit() {
  d_->requireOpen();
  if (d_->state == TableState::Edit || d_->state == TableState::Insert) return;
  if (!d_->recNo) {
    append();
    return;
  }
  d_->load(d_->recNo);  // edit what the file holds now
  d_->state = TableState::Edit;
  d_->modified = false;
}

void Table::post() {
  if (!d_->db) throw Error(kNotEditing);
  d_->postPending();
}

void Table::cancel() {
  if (d_->db) d_->cancelPending();
}

bool Table::modified() const { return d_->modified; }

void Table::deleteRecord() {
  d_->requireOpen();
  if (d_->state == TableState::Insert) {
    d_->cancelPending();
    return;
  }
  d_->cancelPending();
  if (!d_->recNo) throw Error(d_->prefix() + "No hay ningún registro que borrar en '" + d_->path() + "'");
  std::vector<char> record = d_->buffer;
  record[0] = '*';
  d_->db->updateRecord(d_->recNo, record.data());
  d_->load(d_->recNo);
  if (d_->step(1)) return;
  if (d_->step(-1)) {
    d_->eof = true;
    return;
  }
  d_->recNo = 0;
  d_->blankBuffer();
  d_->eof = d_->bof = true;
}

int Table::fieldCount() const { return d_->db ? static_cast<int>(d_->visibleFields.size()) : 0; }

FieldInfo Table::fieldInfo(int index) const {
  const Field& f = d_->field(d_->at(index));
  return FieldInfo{f.name, f.type, f.length, f.decimals};
}

int Table::fieldIndex(const std::string& fieldName) const { return d_->find(fieldName); }
bool Table::hasField(const std::string& fieldName) const { return d_->lookup(fieldName) >= 0; }

bool Table::findKey(const std::string& value) {
  d_->requireOpen();
  if (d_->tag < 0) throw Error(d_->prefix() + "No hay un índice activo en '" + d_->path() + "'");
  const dbase::Tag& tag = d_->db->tag(d_->tag);
  switch (tag.layout.type) {
    case dbase::KeyType::Numeric: {
      auto v = table_values::parseFloat(value);
      if (!v) throw table_values::notFloat(value);
      return findKey(*v);
    }
    case dbase::KeyType::Date: {
      auto days = table_values::parseDate(value);
      if (!days) throw table_values::notDate(value);
      return d_->seek(dbase::encodeDateKey(*days));
    }
    case dbase::KeyType::Character:
      break;
  }
  std::string key = d_->db->codePage().fromUtf8(value);
  key.resize(static_cast<std::size_t>(tag.layout.keyLength), ' ');
  return d_->seek(key);
}

bool Table::findKey(double value) {
  d_->requireOpen();
  if (d_->tag < 0) throw Error(d_->prefix() + "No hay un índice activo en '" + d_->path() + "'");
  const dbase::Tag& tag = d_->db->tag(d_->tag);
  if (tag.layout.type != dbase::KeyType::Numeric) return findKey(dbase::formatNumber(value));
  return d_->seek(dbase::encodeNumericKey(value));
}

}  // namespace pasarela

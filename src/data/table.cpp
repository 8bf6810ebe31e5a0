#include "data/table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "base/error.h"
#include "base/text.h"
#include "data/table_filter.h"
#include "data/winpath.h"
#include "dbase/dbf_table.h"
#include "dbase/dbf_value.h"

namespace pasarela {

using dbase::DbfTable;
using dbase::Field;
using dbase::IndexEntry;
using dbase::ValueClass;

namespace {

const char* const kNotEditing = "La fuente de datos no está en modo de edición o inserción";

using text::upperAscii;

// Field names compare without regard to ASCII case.
bool sameName(const std::string& a, const std::string& b) { return text::equalsIgnoreCase(a, b); }

std::string trimBoth(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

std::string trimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

Error notInteger(const std::string& text) { return Error("'" + text + "' no es un valor entero válido"); }
Error notFloat(const std::string& text) {
  return Error("'" + text + "' no es un valor punto flotante válido");
}

// A decimal integer, blanks around allowed; nullopt for anything else.
std::optional<std::int64_t> parseInteger(const std::string& text) {
  std::string t = trimBoth(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return std::nullopt;
  std::int64_t v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<double> parseFloat(const std::string& text) {
  std::string t = trimBoth(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return std::nullopt;
  double v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// "YYYY-MM-DD", "YYYYMMDD" or "DD/MM/YYYY" as days since 1899-12-30.
std::optional<double> parseDate(const std::string& text) {
  std::string t = trimBoth(text);
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (std::sscanf(t.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) == 3 ||
      (t.size() == 8 && std::sscanf(t.c_str(), "%4d%2d%2d%c", &y, &m, &d, &extra) == 3) ||
      std::sscanf(t.c_str(), "%2d/%2d/%4d%c", &d, &m, &y, &extra) == 3) {
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 1) return std::nullopt;
    std::int64_t days = dbase::daysFromCivil(y, m, d);
    int yy, mm, dd;
    dbase::civilFromDays(days, yy, mm, dd);
    if (yy != y || mm != m || dd != d) return std::nullopt;
    return static_cast<double>(days);
  }
  return std::nullopt;
}

bool isIntegerField(const Field& f) {
  return f.type == 'I' || f.type == '+' || ((f.type == 'N' || f.type == 'F') && f.decimals == 0);
}

}  // namespace

struct Table::Impl {
  std::string name;
  std::string databaseName, tableName, indexName, filterText;
  bool exclusive = false;
  bool filtered = false;

  std::unique_ptr<DbfTable> db;
  std::vector<int> visibleFields;  // user field index -> header field index
  // User field index by upper-case name: fields are asked for by name on
  // every read and write.
  std::unordered_map<std::string, int> fieldsByName;
  std::vector<char> blankRecord;  // a new record's bytes, for this open
  int tag = -1;
  std::optional<FieldFilter> filter;
  int filterField = -1;

  TableState state = TableState::Inactive;
  std::uint32_t recNo = 0;  // current record, 0 = none
  IndexEntry indexPos;      // the current record's place in the active index
  bool eof = true, bof = true;
  std::vector<char> buffer;  // the current or pending record
  bool modified = false;

  // --- helpers ---
  std::string prefix() const { return name.empty() ? std::string() : name + ": "; }
  std::string path() const;
  void requireOpen() const {
    if (!db) throw Error(prefix() + "No se puede realizar esta operación con la tabla cerrada");
  }
  void requireClosed() const {
    if (db) throw Error(prefix() + "No se puede realizar esta operación con la tabla abierta");
  }
  const Field& field(int userIndex) const {
    return db->header().fields[static_cast<std::size_t>(visibleFields[static_cast<std::size_t>(userIndex)])];
  }
  // A bad value's error, told where it stands: the value's own message
  // first, then the table, the field and the record.
  Error located(const Error& e, int userIndex) const {
    return Error(std::string(e.what()) + " (tabla '" + path() + "', campo '" + field(userIndex).name +
                 "', registro " +
                 (state == TableState::Insert ? std::string("nuevo") : std::to_string(recNo)) + ")");
  }
  const Field* nullFlags() const {
    int i = db->header().nullFlagsField;
    return i < 0 ? nullptr : &db->header().fields[static_cast<std::size_t>(i)];
  }
  int lookup(const std::string& fieldName) const;
  int find(const std::string& fieldName) const {
    int i = lookup(fieldName);
    if (i < 0) throw Error(prefix() + "No se encuentra el campo '" + fieldName + "'");
    return i;
  }

  void resolveIndex();
  void resolveFilter();
  bool visible(const char* record) const;
  std::string text(int field, const char* record) const;
  void load(std::uint32_t n);
  // Loads an index entry's record and stands on that entry: the walk goes on
  // from the key stored in the index, not from the record's own key, so an
  // index whose keys differ from their records still ends.
  void loadEntry(const IndexEntry& e);
  void blankBuffer();

  // Navigation primitives: the next/previous visible record from a place.
  std::optional<std::uint32_t> physicalFrom(std::uint32_t start, int step);
  std::optional<IndexEntry> indexFrom(std::optional<IndexEntry> e, int step);
  bool moveFirst();
  bool moveLast();
  bool step(int direction);

  void checkBrowse();  // posts a modified pending record, drops an unmodified one
  void postPending();
  void cancelPending();
  void requireEditing() const {
    if (state != TableState::Edit && state != TableState::Insert) throw Error(kNotEditing);
  }
  char* editable(int field) {
    requireOpen();
    requireEditing();
    modified = true;
    dbase::setNullFlag(this->field(field), const_cast<Field*>(nullFlags()), buffer.data(), false);
    return buffer.data();
  }
  void setText(int field, const std::string& value);
  void setNumber(int field, double value, const std::string& shown);
};

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
  if (auto it = fieldsByName.find(upperAscii(fieldName)); it != fieldsByName.end()) return it->second;
  // Blanks around the name are forgiven.
  const std::string trimmed = trimBoth(fieldName);
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

std::string Table::Impl::text(int userField, const char* record) const {
  const Field& f = field(userField);
  const dbase::Header& h = db->header();
  if (dbase::isNullFlagged(f, nullFlags(), record)) return "";
  switch (dbase::classify(f, h.dialect)) {
    case ValueClass::Text:
      return db->codePage().toUtf8(dbase::readTrimmed(f, record));
    case ValueClass::Number: {
      bool ok = true;
      std::optional<double> v = dbase::readNumber(f, record, h.dialect, ok);
      if (!ok) return trimBoth(dbase::readTrimmed(f, record));
      return v ? dbase::formatNumber(*v) : std::string();
    }
    case ValueClass::Logical: {
      std::optional<bool> v = dbase::readLogical(f, record);
      return v ? (*v ? "T" : "F") : "";
    }
    case ValueClass::Date:
    case ValueClass::DateTime: {
      std::optional<double> days = dbase::readDays(f, record, h.dialect);
      if (days) return dbase::formatDays(*days, f.type != 'D');
      // Blanks and zeros are how some programs write an empty date.
      std::string raw = trimBoth(dbase::readTrimmed(f, record));
      return raw.find_first_not_of("0 ") == std::string::npos ? std::string() : raw;
    }
    case ValueClass::Memo: {
      std::uint32_t block = dbase::readMemoBlock(f, record);
      if (block == 0) return "";
      std::string bytes = db->readMemo(block);
      bool binary = f.type != 'M' || (f.flags & 0x04);
      return binary ? bytes : trimRight(db->codePage().toUtf8(bytes));
    }
    case ValueClass::Binary:
      break;
  }
  return std::string(record + f.offset, static_cast<std::size_t>(f.length));
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

void Table::Impl::loadEntry(const IndexEntry& e) {
  load(e.recNo);
  if (recNo) indexPos = e;
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

std::optional<std::uint32_t> Table::Impl::physicalFrom(std::uint32_t start, int direction) {
  const std::uint32_t count = db->recordCount();
  for (std::int64_t n = start; n >= 1 && n <= static_cast<std::int64_t>(count); n += direction) {
    const char* record = db->readRecord(static_cast<std::uint32_t>(n));
    if (!record) return std::nullopt;
    if (visible(record)) return static_cast<std::uint32_t>(n);
  }
  return std::nullopt;
}

std::optional<IndexEntry> Table::Impl::indexFrom(std::optional<IndexEntry> e, int direction) {
  while (e) {
    const char* record = db->readRecord(e->recNo);
    if (record && visible(record)) return e;
    e = direction > 0 ? db->indexAfter(tag, *e) : db->indexBefore(tag, *e);
  }
  return std::nullopt;
}

bool Table::Impl::moveFirst() {
  if (tag >= 0) {
    auto e = indexFrom(db->indexFirst(tag), 1);
    if (!e) return false;
    loadEntry(*e);
    return true;
  }
  auto n = physicalFrom(1, 1);
  if (!n) return false;
  load(*n);
  return true;
}

bool Table::Impl::moveLast() {
  if (tag >= 0) {
    auto e = indexFrom(db->indexLast(tag), -1);
    if (!e) return false;
    loadEntry(*e);
    return true;
  }
  auto n = physicalFrom(db->recordCount(), -1);
  if (!n) return false;
  load(*n);
  return true;
}

bool Table::Impl::step(int direction) {
  if (recNo == 0) return direction > 0 ? moveFirst() : moveLast();
  if (tag >= 0) {
    auto from = direction > 0 ? db->indexAfter(tag, indexPos) : db->indexBefore(tag, indexPos);
    auto e = indexFrom(from, direction);
    if (!e) return false;
    loadEntry(*e);
    return true;
  }
  auto n = physicalFrom(recNo + static_cast<std::uint32_t>(direction), direction);
  if (!n) return false;
  load(*n);
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

void Table::Impl::setText(int userField, const std::string& value) {
  const Field& f = field(userField);
  const dbase::Dialect dialect = db->header().dialect;
  char* record = editable(userField);
  if (value.empty()) {
    dbase::writeBlank(f, record, dialect);
    return;
  }
  switch (dbase::classify(f, dialect)) {
    case ValueClass::Text:
      dbase::writeText(f, record, db->codePage().fromUtf8(value));
      return;
    case ValueClass::Number:
      if (isIntegerField(f)) {
        auto v = parseInteger(value);
        if (!v) throw located(notInteger(value), userField);
        setNumber(userField, static_cast<double>(*v), value);
      } else {
        auto v = parseFloat(value);
        if (!v) throw located(notFloat(value), userField);
        setNumber(userField, *v, value);
      }
      return;
    case ValueClass::Logical: {
      std::string v = upperAscii(trimBoth(value));
      if (v == "T" || v == "TRUE" || v == "Y" || v == "S" || v == "1") {
        dbase::writeLogical(f, record, true);
      } else if (v == "F" || v == "FALSE" || v == "N" || v == "0") {
        dbase::writeLogical(f, record, false);
      } else {
        throw located(Error("'" + value + "' no es un valor lógico válido"), userField);
      }
      return;
    }
    case ValueClass::Date:
    case ValueClass::DateTime: {
      auto days = parseDate(value);
      if (!days || !dbase::writeDays(f, record, dialect, *days))
        throw located(Error("'" + value + "' no es una fecha válida"), userField);
      return;
    }
    case ValueClass::Memo:
    case ValueClass::Binary:
      break;
  }
  throw Error(prefix() + "No se puede escribir el campo '" + f.name + "' de '" + path() + "'");
}

void Table::Impl::setNumber(int userField, double value, const std::string& shown) {
  const Field& f = field(userField);
  char* record = editable(userField);
  const dbase::Dialect dialect = db->header().dialect;
  switch (dbase::classify(f, dialect)) {
    case ValueClass::Number:
      if (!dbase::writeNumber(f, record, dialect, value)) {
        throw Error("El valor " + shown + " no cabe en el campo '" + f.name + "' de '" + path() + "'");
      }
      return;
    case ValueClass::Text:
      dbase::writeText(f, record, shown);
      return;
    case ValueClass::Logical:
      dbase::writeLogical(f, record, value != 0);
      return;
    case ValueClass::Date:
    case ValueClass::DateTime:
      if (dbase::writeDays(f, record, dialect, value)) return;
      break;
    default:
      break;
  }
  throw Error(prefix() + "No se puede escribir el valor " + shown + " en el campo '" + f.name + "' de '" +
              path() + "'");
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
  d_->db = std::move(db);
  d_->visibleFields.clear();
  const auto& fields = d_->db->header().fields;
  d_->fieldsByName.clear();
  d_->blankRecord.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].system) continue;
    // The first of two fields with one name wins, as a search in order would.
    d_->fieldsByName.emplace(upperAscii(fields[i].name), static_cast<int>(d_->visibleFields.size()));
    d_->visibleFields.push_back(static_cast<int>(i));
  }
  try {
    d_->resolveIndex();
    d_->resolveFilter();
  } catch (...) {
    d_->db.reset();
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
  d_->requireOpen();
  if (index < 0 || index >= fieldCount()) throw Error(d_->prefix() + "Número de campo fuera de rango");
  const Field& f = d_->field(index);
  return FieldInfo{f.name, f.type, f.length, f.decimals};
}

int Table::fieldIndex(const std::string& fieldName) const { return d_->find(fieldName); }
bool Table::hasField(const std::string& fieldName) const { return d_->lookup(fieldName) >= 0; }

std::string Table::asString(const std::string& field) const { return asString(d_->find(field)); }

std::string Table::asString(int field) const {
  d_->requireOpen();
  if (field < 0 || field >= fieldCount()) throw Error(d_->prefix() + "Número de campo fuera de rango");
  return d_->text(field, d_->buffer.data());
}

std::int64_t Table::asInteger(const std::string& fieldName) const {
  int i = d_->find(fieldName);
  d_->requireOpen();
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  const auto& h = d_->db->header();
  switch (dbase::classify(f, h.dialect)) {
    case ValueClass::Number: {
      if (dbase::isNullFlagged(f, d_->nullFlags(), record)) return 0;
      bool ok = true;
      auto v = dbase::readNumber(f, record, h.dialect, ok);
      if (!ok) throw d_->located(notInteger(d_->text(i, record)), i);
      double r = std::nearbyint(v.value_or(0.0));
      if (!std::isfinite(r) || std::fabs(r) > 9.2e18) throw d_->located(notInteger(d_->text(i, record)), i);
      return static_cast<std::int64_t>(r);
    }
    case ValueClass::Logical:
      return dbase::readLogical(f, record).value_or(false) ? 1 : 0;
    case ValueClass::Date:
    case ValueClass::DateTime:
      return static_cast<std::int64_t>(std::floor(dbase::readDays(f, record, h.dialect).value_or(0.0)));
    default: {
      std::string t = d_->text(i, record);
      auto v = parseInteger(t);
      if (!v) throw d_->located(notInteger(t), i);
      return *v;
    }
  }
}

double Table::asFloat(const std::string& fieldName) const {
  int i = d_->find(fieldName);
  d_->requireOpen();
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  const auto& h = d_->db->header();
  switch (dbase::classify(f, h.dialect)) {
    case ValueClass::Number: {
      if (dbase::isNullFlagged(f, d_->nullFlags(), record)) return 0;
      bool ok = true;
      auto v = dbase::readNumber(f, record, h.dialect, ok);
      if (!ok) throw d_->located(notFloat(d_->text(i, record)), i);
      return v.value_or(0.0);
    }
    case ValueClass::Logical:
      return dbase::readLogical(f, record).value_or(false) ? 1 : 0;
    case ValueClass::Date:
    case ValueClass::DateTime:
      return dbase::readDays(f, record, h.dialect).value_or(0.0);
    default: {
      std::string t = d_->text(i, record);
      auto v = parseFloat(t);
      if (!v) throw d_->located(notFloat(t), i);
      return *v;
    }
  }
}

double Table::asDateTime(const std::string& fieldName) const {
  int i = d_->find(fieldName);
  d_->requireOpen();
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  const auto& h = d_->db->header();
  switch (dbase::classify(f, h.dialect)) {
    case ValueClass::Date:
    case ValueClass::DateTime: {
      if (auto days = dbase::readDays(f, record, h.dialect)) return *days;
      // Blanks or zeros are an empty date; anything else (20240230) is not
      // a date, and must not pass for an empty one.
      std::string raw = trimBoth(dbase::readTrimmed(f, record));
      if (f.type == 'D' && raw.find_first_not_of("0 ") != std::string::npos)
        throw d_->located(Error("'" + raw + "' no es una fecha válida"), i);
      return 0;
    }
    default: {
      std::string t = d_->text(i, record);
      if (t.empty()) return 0;
      auto days = parseDate(t);
      if (!days) throw d_->located(Error("'" + t + "' no es una fecha válida"), i);
      return *days;
    }
  }
}

bool Table::asBoolean(const std::string& fieldName) const {
  int i = d_->find(fieldName);
  d_->requireOpen();
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  if (dbase::classify(f, d_->db->header().dialect) == ValueClass::Logical) {
    return dbase::readLogical(f, record).value_or(false);
  }
  std::string t = upperAscii(d_->text(i, record));
  if (t.empty() || t == "F" || t == "FALSE" || t == "N" || t == "0") return false;
  if (t == "T" || t == "TRUE" || t == "Y" || t == "S" || t == "1") return true;
  throw d_->located(Error("'" + d_->text(i, record) + "' no es un valor lógico válido"), i);
}

bool Table::isNull(const std::string& fieldName) const {
  int i = d_->find(fieldName);
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  if (dbase::isNullFlagged(f, d_->nullFlags(), record)) return true;
  if (f.isMemo()) return dbase::readMemoBlock(f, record) == 0;
  return d_->text(i, record).empty();
}

void Table::setString(const std::string& field, const std::string& value) {
  setString(d_->find(field), value);
}

void Table::setString(int field, const std::string& value) {
  d_->requireOpen();
  if (field < 0 || field >= fieldCount()) throw Error(d_->prefix() + "Número de campo fuera de rango");
  d_->setText(field, value);
}

void Table::setInteger(const std::string& field, std::int64_t value) {
  int i = d_->find(field);
  d_->setNumber(i, static_cast<double>(value), std::to_string(value));
}

void Table::setFloat(const std::string& field, double value) {
  int i = d_->find(field);
  d_->setNumber(i, value, dbase::formatNumber(value));
}

void Table::setBoolean(const std::string& field, bool value) {
  int i = d_->find(field);
  const Field& f = d_->field(i);
  if (dbase::classify(f, d_->db->header().dialect) == ValueClass::Logical) {
    dbase::writeLogical(f, d_->editable(i), value);
    return;
  }
  d_->setNumber(i, value ? 1 : 0, value ? "T" : "F");
}

void Table::clear(const std::string& field) {
  int i = d_->find(field);
  dbase::writeBlank(d_->field(i), d_->editable(i), d_->db->header().dialect);
}

bool Table::findKey(const std::string& value) {
  d_->requireOpen();
  if (d_->tag < 0) throw Error(d_->prefix() + "No hay un índice activo en '" + d_->path() + "'");
  const dbase::Tag& tag = d_->db->tag(d_->tag);
  if (tag.layout.type == dbase::KeyType::Numeric) {
    auto v = parseFloat(value);
    if (!v) throw notFloat(value);
    return findKey(*v);
  }
  if (tag.layout.type != dbase::KeyType::Character) {
    auto days = parseDate(value);
    if (!days) throw Error("'" + value + "' no es una fecha válida");
    double julian = *days + 2415019.0;
    std::string key(8, '\0');
    std::memcpy(key.data(), &julian, 8);
    d_->checkBrowse();
    auto e = d_->indexFrom(d_->db->indexFind(d_->tag, key), 1);
    if (!e || dbase::compareKeys(d_->db->header().ldid, tag.layout.type, e->key, key) != 0) return false;
    d_->loadEntry(*e);
    d_->eof = d_->bof = false;
    return true;
  }
  std::string key = d_->db->codePage().fromUtf8(value);
  key.resize(static_cast<std::size_t>(tag.layout.keyLength), ' ');
  d_->checkBrowse();
  auto e = d_->indexFrom(d_->db->indexFind(d_->tag, key), 1);
  if (!e || dbase::compareKeys(d_->db->header().ldid, tag.layout.type, e->key, key) != 0) return false;
  d_->loadEntry(*e);
  d_->eof = d_->bof = false;
  return true;
}

bool Table::findKey(double value) {
  d_->requireOpen();
  if (d_->tag < 0) throw Error(d_->prefix() + "No hay un índice activo en '" + d_->path() + "'");
  const dbase::Tag& tag = d_->db->tag(d_->tag);
  if (tag.layout.type != dbase::KeyType::Numeric) return findKey(dbase::formatNumber(value));
  std::string key = dbase::encodeNumericKey(value);
  d_->checkBrowse();
  auto e = d_->indexFrom(d_->db->indexFind(d_->tag, key), 1);
  if (!e || dbase::compareKeys(d_->db->header().ldid, tag.layout.type, e->key, key) != 0) return false;
  d_->loadEntry(*e);
  d_->eof = d_->bof = false;
  return true;
}

}  // namespace pasarela

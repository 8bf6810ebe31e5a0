// The table object: one dBase table with a current record.
//
// Everything above the engine (staging, export, import, the grids of the
// check windows) reaches tables only through this class. Names are Windows
// paths ("C:\KTEMP", "AULAT.DBF"), resolved through the drive map.
//
// Errors are thrown as pasarela::Error carrying the user's message (Spanish,
// naming the file).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pasarela {

// Logical field kinds a table is created from; the engine picks the physical
// dBase type and width.
enum class FieldKind { String, Integer, Float, Boolean };

struct FieldDef {
  std::string name;
  FieldKind kind = FieldKind::String;
  int size = 0;  // characters, String only
};

// Physical description of an open table's field, as the file declares it.
struct FieldInfo {
  std::string name;  // as stored, upper case in dBase files
  char type = 'C';   // dBase type letter: C N F L D M I B Y T ...
  int length = 0;
  int decimals = 0;
};

enum class TableState { Inactive, Browse, Edit, Insert };

class Table {
  struct Impl;

 public:
  Table();
  // `name` is the object's name, used as the prefix of field errors
  // ("wwTableAulas: No se encuentra el campo 'X'"); may be empty.
  explicit Table(std::string name);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // --- settings (while closed, except the index) ---
  const std::string& name() const;
  void setDatabaseName(const std::string& folder);  // "C:\KTEMP" or ""
  void setTableName(const std::string& table);      // "AULAT.DBF", "centro", or a full path
  const std::string& databaseName() const;
  const std::string& tableName() const;
  // Full Windows path of the .DBF ("C:\KTEMP\AULAT.DBF"), extension added
  // when the table name has none.
  std::string windowsPath() const;
  void setExclusive(bool exclusive);
  bool exclusive() const;
  // Active index: a tag of the production .MDX; empty = physical order.
  // May change while open: the current record stays the same record.
  void setIndexName(const std::string& tag);
  const std::string& indexName() const;
  // Filter text such as "Codigo= 'A001      '" (field, '=', quoted value,
  // '' inside the quotes for a quote). Equality ignores trailing blanks.
  void setFilter(const std::string& filter);
  const std::string& filter() const;
  void setFiltered(bool on);
  bool filtered() const;

  // --- lifecycle ---
  void open();   // no effect when open
  void close();  // no effect when closed; drops an unposted record
  bool active() const;
  // Creates (overwriting) a dBase IV table with these fields and single-field
  // indexes named after their field. The table must be closed.
  void createTable(const std::vector<FieldDef>& fields, const std::vector<std::string>& indexFields = {});
  // Removes every record, keeps structure and indexes. The table must be closed.
  void emptyTable();

  // Records of the table file at `windowsPath` that are not deleted,
  // counted from the file alone without reading its index: for reports on
  // tables just written and closed.
  static std::uint32_t recordsInFile(const std::string& windowsPath);

  // --- navigation (active index order, else physical; deleted and filtered-out
  // records skipped). First/Next/Prior/Last post a modified pending record first.
  void first();
  void next();
  void prior();
  void last();
  // Moves by n visible records (negative = back); stops at either end.
  void moveBy(int n);
  bool eof() const;
  bool bof() const;
  bool isEmpty() const;
  // Physical record number (1-based) of the current record; 0 when none.
  std::uint32_t recNo() const;
  // Moves to a physical record number (1-based).
  void goTo(std::uint32_t recNo);
  // Number of visible records (respects the filter); for grids.
  std::uint32_t recordCount() const;
  // Re-reads the file so that another object's posts show.
  void refresh();

  // --- editing ---
  TableState state() const;
  void append();
  void edit();
  void post();    // "La fuente de datos no está en modo de edición o inserción" when idle
  void cancel();  // drops the pending changes
  bool modified() const;
  void deleteRecord();

  // --- fields ---
  int fieldCount() const;
  FieldInfo fieldInfo(int index) const;
  // Index of a field by name, case-insensitive; throws "No se encuentra el
  // campo '%s'" prefixed with "<name>: " when the object has a name.
  int fieldIndex(const std::string& fieldName) const;
  bool hasField(const std::string& fieldName) const;

  std::string asString(const std::string& field) const;  // trailing blanks removed
  std::int64_t asInteger(const std::string& field) const;
  double asFloat(const std::string& field) const;
  double asDateTime(const std::string& field) const;  // days since 1899-12-30; 0 when empty
  bool asBoolean(const std::string& field) const;
  bool isNull(const std::string& field) const;  // empty field

  void setString(const std::string& field, const std::string& value);  // cut to field size
  void setInteger(const std::string& field, std::int64_t value);
  void setFloat(const std::string& field, double value);
  void setBoolean(const std::string& field, bool value);
  void clear(const std::string& field);

  // Same, by field index (for grids and loops over many records).
  std::string asString(int field) const;
  void setString(int field, std::string_view value);
  // asString without a copy, for loops over many records: valid until the
  // table moves, changes or closes, or the same field is read this way again.
  std::string_view asStringView(int field) const;
  std::int64_t asInteger(int field) const;
  void setInteger(int field, std::int64_t value);
  double asFloat(int field) const;
  void setFloat(int field, double value);
  void setBoolean(int field, bool value);

  // One record handed out by scan(), read as the current record is. Valid
  // only inside the call that hands it out.
  class RecordView {
   public:
    std::string_view view(int field) const;  // as asStringView
    std::int64_t integer(int field) const;   // as asInteger
    // The field's bytes as the file stores them, blanks and all (none for a
    // null value): equal bytes read as equal values, so a pass can tell a
    // repeated value without reading it again.
    std::string_view raw(int field) const;

   private:
    friend class Table;
    RecordView(const Impl& table, const char* record) : d_(table), record_(record) {}
    const Impl& d_;
    const char* record_;
  };
  // Hands `visit` the records for (first(); !eof(); next()) visits, in
  // the same order, without copying each record into the current one: for
  // long read-only passes. Once done, the table stands where that loop
  // leaves it; when `visit` throws, the error goes on and where the table
  // stands is not said. `visit` must not change this table.
  void scan(const std::function<void(const RecordView&)>& visit);

  // Exact match of `value` on the active index's key; positions on the first
  // match in index order and returns true, else returns false.
  bool findKey(const std::string& value);
  bool findKey(double value);

 private:
  std::unique_ptr<Impl> d_;
};

}  // namespace pasarela

// The table object's state, shared by its two halves: the cursor and
// editing state (table.cpp) and the value rules (table_values.cpp).
// Internal to src/data.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "data/table.h"
#include "data/table_filter.h"
#include "dbase/dbf_table.h"
#include "dbase/dbf_value.h"

namespace pasarela {

inline const char* const kNotEditing = "La fuente de datos no está en modo de edición o inserción";

struct Table::Impl {
  using DbfTable = dbase::DbfTable;
  using Field = dbase::Field;
  using IndexEntry = dbase::IndexEntry;

  std::string name;
  std::string databaseName, tableName, indexName, filterText;
  bool exclusive = false;
  bool filtered = false;

  std::unique_ptr<DbfTable> db;
  // The open file's header and code page, asked for on every field read and
  // written; they stay where they are while the file is open.
  const dbase::Header* header = nullptr;
  const dbase::CodePage* codePage = nullptr;
  std::vector<int> visibleFields;               // user field index -> header field index
  std::vector<dbase::ValueClass> valueClasses;  // by user field index, how each reads
  // Upper-case names of the user fields, in order: fields are asked for by
  // name on every read and write, and a table has a few dozen at most, so
  // a walk comparing lengths first beats hashing the name.
  std::vector<std::string> upperNames;
  std::vector<char> blankRecord;  // a new record's bytes, for this open
  // By user field index: the text asStringView last handed out when it was
  // not the record's own bytes.
  mutable std::vector<std::string> views;
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
    return header->fields[static_cast<std::size_t>(visibleFields[static_cast<std::size_t>(userIndex)])];
  }
  // A bad value's error, told where it stands: the value's own message
  // first, then the table, the field and the record.
  Error located(const Error& e, int userIndex) const {
    return Error(std::string(e.what()) + " (tabla '" + path() + "', campo '" + field(userIndex).name +
                 "', registro " +
                 (state == TableState::Insert ? std::string("nuevo") : std::to_string(recNo)) + ")");
  }
  dbase::ValueClass valueClass(int userIndex) const {
    return valueClasses[static_cast<std::size_t>(userIndex)];
  }
  const Field* nullFlags() const {
    int i = header->nullFlagsField;
    return i < 0 ? nullptr : &header->fields[static_cast<std::size_t>(i)];
  }
  int lookup(const std::string& fieldName) const;
  // A field asked for by position: the table must be open, then the
  // position must be one of its fields.
  int at(int field) const {
    requireOpen();
    if (field < 0 || static_cast<std::size_t>(field) >= visibleFields.size())
      throw Error(prefix() + "Número de campo fuera de rango");
    return field;
  }
  // A field asked for by name: the table must be open, then the field must
  // exist.
  int find(const std::string& fieldName) const {
    requireOpen();
    int i = lookup(fieldName);
    if (i < 0) throw Error(prefix() + "No se encuentra el campo '" + fieldName + "'");
    return i;
  }

  void resolveIndex();
  void resolveFilter();
  bool visible(const char* record) const;
  std::string text(int field, const char* record) const;
  std::string_view textView(int field, const char* record) const;
  std::int64_t integer(int field, const char* record) const;
  void load(std::uint32_t n);
  // Makes a record just read the current one. takeEntry also stands on its
  // index entry: the walk goes on from the key stored in the index, not from
  // the record's own key, so an index whose keys differ from their records
  // still ends.
  void take(std::uint32_t n, const char* record);
  void takeEntry(const IndexEntry& e, const char* record);
  void blankBuffer();

  // Navigation primitives: the next/previous visible record from a place.
  // `found`, when given, receives the record's bytes (valid until the next
  // read of the table).
  std::optional<std::uint32_t> physicalFrom(std::uint32_t start, int step, const char** found = nullptr);
  std::optional<IndexEntry> indexFrom(std::optional<IndexEntry> e, int step, const char** found = nullptr);
  // Stands on the first visible entry whose key is `key` exactly.
  bool seek(const std::string& key);
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
    if (const Field* flags = nullFlags())
      dbase::setNullFlag(this->field(field), const_cast<Field*>(flags), buffer.data(), false);
    return buffer.data();
  }
  // The value rules (table_values.cpp).
  struct Reading {
    int index;
    const Field& field;
    const char* record;
    dbase::Dialect dialect;
  };
  // A field of the current record, to be read as a value.
  Reading reading(const std::string& fieldName) const;
  void setText(int field, std::string_view value);
  // `shown` gives the value as text, for a text field and for messages:
  // formatting it costs more than writing the number.
  void setNumber(int field, double value, const std::function<std::string()>& shown);
};

}  // namespace pasarela

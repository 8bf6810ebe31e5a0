// A field of an open table reached by position: the table matches a
// field name case-insensitively on every call, which dominates the cost of
// the large exports and imports. The position is looked up at first use, so
// a missing field fails where the by-name access would.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/table.h"

namespace pasarela {

class FieldRef {
 public:
  FieldRef(Table& table, std::string name) : table_(table), name_(std::move(name)) {}

  std::string get() { return table_.asString(index()); }
  // The value without a copy, valid until the table moves or changes, or
  // this field is read again.
  std::string_view view() { return table_.asStringView(index()); }
  std::int64_t integer() { return table_.asInteger(index()); }
  // The same of a record handed out by Table::scan.
  std::string_view view(const Table::RecordView& record) { return record.view(index()); }
  std::int64_t integer(const Table::RecordView& record) { return record.integer(index()); }
  std::string_view raw(const Table::RecordView& record) { return record.raw(index()); }
  void set(std::string_view value) { table_.setString(index(), value); }
  void setInteger(std::int64_t value) { table_.setInteger(index(), value); }
  double asFloat() { return table_.asFloat(index()); }
  void setFloat(double value) { table_.setFloat(index(), value); }
  void setBoolean(bool value) { table_.setBoolean(index(), value); }

 private:
  int index() {
    if (index_ < 0) index_ = table_.fieldIndex(name_);
    return index_;
  }

  Table& table_;
  std::string name_;
  int index_ = -1;
};

}  // namespace pasarela

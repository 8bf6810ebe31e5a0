#include "data/table_values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/text.h"
#include "data/table_impl.h"

namespace pasarela {

namespace table_values {

std::string_view trimBoth(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

Error notInteger(const std::string& text) { return Error("'" + text + "' no es un valor entero válido"); }
Error notFloat(const std::string& text) {
  return Error("'" + text + "' no es un valor punto flotante válido");
}
Error notDate(const std::string& text) { return Error("'" + text + "' no es una fecha válida"); }

std::optional<std::int64_t> parseInteger(const std::string& text) {
  std::string t(trimBoth(text));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return std::nullopt;
  std::int64_t v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<double> parseFloat(const std::string& text) {
  const std::string_view trimmed = trimBoth(text);
  // A plain decimal, what is mostly written, is read where it stands.
  if (std::optional<double> v = dbase::plainDecimal(trimmed)) return v;
  std::string t(trimmed);
  for (char& c : t)
    if (c == ',') c = '.';
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return std::nullopt;
  double v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> parseDate(const std::string& text) {
  std::string t(trimBoth(text));
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

}  // namespace table_values

using dbase::Field;
using dbase::ValueClass;
using table_values::notDate;
using table_values::notFloat;
using table_values::notInteger;
using table_values::parseDate;
using table_values::parseFloat;
using table_values::parseInteger;
using table_values::trimBoth;
using text::upperAscii;

namespace {

std::string trimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

bool isIntegerField(const Field& f) {
  return f.type == 'I' || f.type == '+' || ((f.type == 'N' || f.type == 'F') && f.decimals == 0);
}

}  // namespace

std::string_view Table::Impl::textView(int userField, const char* record) const {
  if (valueClass(userField) == ValueClass::Text) {
    const Field& f = field(userField);
    const Field* flags = nullFlags();
    if (flags && dbase::isNullFlagged(f, flags, record)) return {};
    const std::string_view bytes = dbase::readTrimmed(f, record);
    if (dbase::CodePage::plainAscii(bytes)) return bytes;
  }
  std::string& view = views[static_cast<std::size_t>(userField)];
  view = text(userField, record);
  return view;
}

std::string Table::Impl::text(int userField, const char* record) const {
  const Field& f = field(userField);
  const dbase::Dialect dialect = header->dialect;
  if (dbase::isNullFlagged(f, nullFlags(), record)) return "";
  switch (valueClass(userField)) {
    case ValueClass::Text:
      return codePage->toUtf8(dbase::readTrimmed(f, record));
    case ValueClass::Number: {
      bool ok = true;
      std::optional<double> v = dbase::readNumber(f, record, dialect, ok);
      if (!ok) return std::string(trimBoth(dbase::readTrimmed(f, record)));
      return v ? dbase::formatNumber(*v) : std::string();
    }
    case ValueClass::Logical: {
      std::optional<bool> v = dbase::readLogical(f, record);
      return v ? (*v ? "T" : "F") : "";
    }
    case ValueClass::Date:
    case ValueClass::DateTime: {
      std::optional<double> days = dbase::readDays(f, record, dialect);
      if (days) return dbase::formatDays(*days, f.type != 'D');
      // Blanks and zeros are how some programs write an empty date.
      std::string raw(trimBoth(dbase::readTrimmed(f, record)));
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

void Table::Impl::setText(int userField, std::string_view value) {
  const Field& f = field(userField);
  const dbase::Dialect dialect = header->dialect;
  char* record = editable(userField);
  if (value.empty()) {
    dbase::writeBlank(f, record, dialect);
    return;
  }
  if (valueClass(userField) == ValueClass::Text) {
    if (dbase::CodePage::plainAscii(value))
      dbase::writeText(f, record, value);  // the same bytes, without a copy
    else
      dbase::writeText(f, record, codePage->fromUtf8(value));
    return;
  }
  const std::string shown(value);
  switch (valueClass(userField)) {
    case ValueClass::Number:
      if (isIntegerField(f)) {
        auto v = parseInteger(shown);
        if (!v) throw located(notInteger(shown), userField);
        setNumber(userField, static_cast<double>(*v), [&] { return shown; });
      } else {
        auto v = parseFloat(shown);
        if (!v) throw located(notFloat(shown), userField);
        setNumber(userField, *v, [&] { return shown; });
      }
      return;
    case ValueClass::Logical: {
      std::string v = upperAscii(trimBoth(shown));
      if (v == "T" || v == "TRUE" || v == "Y" || v == "S" || v == "1") {
        dbase::writeLogical(f, record, true);
      } else if (v == "F" || v == "FALSE" || v == "N" || v == "0") {
        dbase::writeLogical(f, record, false);
      } else {
        throw located(Error("'" + shown + "' no es un valor lógico válido"), userField);
      }
      return;
    }
    case ValueClass::Date:
    case ValueClass::DateTime: {
      auto days = parseDate(shown);
      if (!days || !dbase::writeDays(f, record, dialect, *days)) throw located(notDate(shown), userField);
      return;
    }
    case ValueClass::Text:
    case ValueClass::Memo:
    case ValueClass::Binary:
      break;
  }
  throw Error(prefix() + "No se puede escribir el campo '" + f.name + "' de '" + path() + "'");
}

void Table::Impl::setNumber(int userField, double value, const std::function<std::string()>& shown) {
  const Field& f = field(userField);
  char* record = editable(userField);
  const dbase::Dialect dialect = db->header().dialect;
  switch (valueClass(userField)) {
    case ValueClass::Number:
      if (!dbase::writeNumber(f, record, dialect, value)) {
        throw Error("El valor " + shown() + " no cabe en el campo '" + f.name + "' de '" + path() + "'");
      }
      return;
    case ValueClass::Text:
      dbase::writeText(f, record, shown());
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
  throw Error(prefix() + "No se puede escribir el valor " + shown() + " en el campo '" + f.name + "' de '" +
              path() + "'");
}

Table::Impl::Reading Table::Impl::reading(const std::string& fieldName) const {
  const int i = find(fieldName);
  return Reading{i, field(i), buffer.data(), db->header().dialect};
}

std::string Table::asString(const std::string& field) const { return asString(d_->find(field)); }

std::string Table::asString(int field) const {
  d_->at(field);
  return d_->text(field, d_->buffer.data());
}

std::string_view Table::asStringView(int field) const {
  return d_->textView(d_->at(field), d_->buffer.data());
}

std::string_view Table::RecordView::view(int field) const { return d_.textView(d_.at(field), record_); }
std::int64_t Table::RecordView::integer(int field) const { return d_.integer(d_.at(field), record_); }
std::string_view Table::RecordView::raw(int field) const {
  const Field& f = d_.field(d_.at(field));
  // A null value has no bytes: set apart from any stored ones, and the same
  // for every null.
  if (dbase::isNullFlagged(f, d_.nullFlags(), record_)) return {};
  return std::string_view(record_ + f.offset, static_cast<std::size_t>(f.length));
}

std::int64_t Table::asInteger(const std::string& fieldName) const { return asInteger(d_->find(fieldName)); }

std::int64_t Table::asInteger(int i) const { return d_->integer(d_->at(i), d_->buffer.data()); }

std::int64_t Table::Impl::integer(int i, const char* record) const {
  const Field& f = field(i);
  switch (valueClass(i)) {
    case ValueClass::Number: {
      if (dbase::isNullFlagged(f, nullFlags(), record)) return 0;
      bool ok = true;
      auto v = dbase::readNumber(f, record, header->dialect, ok);
      if (!ok) throw located(notInteger(text(i, record)), i);
      double r = std::nearbyint(v.value_or(0.0));
      if (!std::isfinite(r) || std::fabs(r) > 9.2e18) throw located(notInteger(text(i, record)), i);
      return static_cast<std::int64_t>(r);
    }
    case ValueClass::Logical:
      return dbase::readLogical(f, record).value_or(false) ? 1 : 0;
    case ValueClass::Date:
    case ValueClass::DateTime:
      return static_cast<std::int64_t>(std::floor(dbase::readDays(f, record, header->dialect).value_or(0.0)));
    default: {
      std::string t = text(i, record);
      auto v = parseInteger(t);
      if (!v) throw located(notInteger(t), i);
      return *v;
    }
  }
}

double Table::asFloat(const std::string& fieldName) const { return asFloat(d_->find(fieldName)); }

double Table::asFloat(int i) const {
  d_->at(i);
  const Field& f = d_->field(i);
  const char* record = d_->buffer.data();
  const dbase::Dialect dialect = d_->header->dialect;
  switch (d_->valueClass(i)) {
    case ValueClass::Number: {
      if (dbase::isNullFlagged(f, d_->nullFlags(), record)) return 0;
      bool ok = true;
      auto v = dbase::readNumber(f, record, dialect, ok);
      if (!ok) throw d_->located(notFloat(d_->text(i, record)), i);
      return v.value_or(0.0);
    }
    case ValueClass::Logical:
      return dbase::readLogical(f, record).value_or(false) ? 1 : 0;
    case ValueClass::Date:
    case ValueClass::DateTime:
      return dbase::readDays(f, record, dialect).value_or(0.0);
    default: {
      std::string t = d_->text(i, record);
      auto v = parseFloat(t);
      if (!v) throw d_->located(notFloat(t), i);
      return *v;
    }
  }
}

double Table::asDateTime(const std::string& fieldName) const {
  const auto [i, f, record, dialect] = d_->reading(fieldName);
  switch (d_->valueClass(i)) {
    case ValueClass::Date:
    case ValueClass::DateTime: {
      if (auto days = dbase::readDays(f, record, dialect)) return *days;
      // Blanks or zeros are an empty date; anything else (20240230) is not
      // a date, and must not pass for an empty one.
      std::string raw(trimBoth(dbase::readTrimmed(f, record)));
      if (f.type == 'D' && raw.find_first_not_of("0 ") != std::string::npos)
        throw d_->located(notDate(raw), i);
      return 0;
    }
    default: {
      std::string t = d_->text(i, record);
      if (t.empty()) return 0;
      auto days = parseDate(t);
      if (!days) throw d_->located(notDate(t), i);
      return *days;
    }
  }
}

bool Table::asBoolean(const std::string& fieldName) const {
  const auto [i, f, record, dialect] = d_->reading(fieldName);
  if (d_->valueClass(i) == ValueClass::Logical) {
    return dbase::readLogical(f, record).value_or(false);
  }
  std::string t = upperAscii(d_->text(i, record));
  if (t.empty() || t == "F" || t == "FALSE" || t == "N" || t == "0") return false;
  if (t == "T" || t == "TRUE" || t == "Y" || t == "S" || t == "1") return true;
  throw d_->located(Error("'" + d_->text(i, record) + "' no es un valor lógico válido"), i);
}

bool Table::isNull(const std::string& fieldName) const {
  const auto [i, f, record, dialect] = d_->reading(fieldName);
  if (dbase::isNullFlagged(f, d_->nullFlags(), record)) return true;
  if (f.isMemo()) return dbase::readMemoBlock(f, record) == 0;
  return d_->text(i, record).empty();
}

void Table::setString(const std::string& field, const std::string& value) {
  setString(d_->find(field), value);
}

void Table::setString(int field, std::string_view value) {
  d_->at(field);
  d_->setText(field, value);
}

void Table::setInteger(const std::string& field, std::int64_t value) { setInteger(d_->find(field), value); }

void Table::setInteger(int field, std::int64_t value) {
  d_->at(field);
  d_->setNumber(field, static_cast<double>(value), [value] { return std::to_string(value); });
}

void Table::setFloat(const std::string& field, double value) { setFloat(d_->find(field), value); }

void Table::setFloat(int i, double value) {
  d_->setNumber(d_->at(i), value, [value] { return dbase::formatNumber(value); });
}

void Table::setBoolean(const std::string& field, bool value) { setBoolean(d_->find(field), value); }

void Table::setBoolean(int i, bool value) {
  d_->at(i);
  const Field& f = d_->field(i);
  if (d_->valueClass(i) == ValueClass::Logical) {
    dbase::writeLogical(f, d_->editable(i), value);
    return;
  }
  d_->setNumber(i, value ? 1 : 0, [value] { return std::string(value ? "T" : "F"); });
}

void Table::clear(const std::string& field) {
  int i = d_->find(field);
  dbase::writeBlank(d_->field(i), d_->editable(i), d_->db->header().dialect);
}

}  // namespace pasarela

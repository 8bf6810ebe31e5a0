#include "export/subject_hours.h"

#include <cctype>
#include <charconv>

#include "base/error.h"
#include "export/export_text.h"

namespace pasarela::exporting {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double textToFloat(const std::string& text) {
  const auto fail = [&text]() { return Error("'" + text + "' no es un valor punto flotante válido"); };
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  std::string number;  // rebuilt in the form from_chars reads
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool digits = false;
  while (i < n && isDigit(text[i])) number += text[i++], digits = true;
  if (i < n && text[i] == ',') {
    number += '.';
    ++i;
    while (i < n && isDigit(text[i])) number += text[i++], digits = true;
  }
  if (!digits) throw fail();
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    number += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool exponentDigits = false;
    while (i < n && isDigit(text[i])) number += text[i++], exponentDigits = true;
    if (!exponentDigits) throw fail();
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) throw fail();
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) throw fail();
  return value;
}

double subjectHours(const std::string& horsemte) {
  const std::string firstTwo = charSub(horsemte, 0, 2);
  if (isBlank(firstTwo)) return 1;
  const double hours = textToFloat(firstTwo);
  return hours > 0 ? hours : 1;
}

}  // namespace pasarela::exporting

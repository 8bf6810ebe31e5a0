// PROFT.DBF: one record per teacher still at the school, with abbreviations
// made unique by numbering the repeats.
#include "export/exportar_profesores.h"

#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/error.h"
#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"

namespace pasarela {

std::string LetrasTrasSeparador(const std::string& texto, const std::string& separador) {
  std::string result;
  const std::size_t length = exporting::charCount(texto);
  for (std::size_t pos = 0; pos < length;) {
    const std::string character = exporting::charSub(texto, pos, 1);
    ++pos;
    if (character == separador) result += exporting::charSub(texto, pos, 1);
  }
  return result;
}

namespace exporting {

std::string teacherAbbreviation(const std::string& apenomprof) {
  return charSub(charSub(apenomprof, 0, 1) + LetrasTrasSeparador(apenomprof, " "), 0, 3);
}

namespace {

// PROFT's abbreviations in physical order, with the records holding each
// value, so that a record's equals are found without scanning the table.
class Abbreviations {
 public:
  explicit Abbreviations(Table& proft) : proft_(proft) {
    for (proft_.first(); !proft_.eof(); proft_.next()) {
      const std::uint32_t rec = proft_.recNo();
      values_.push_back(proft_.asString("ABREV"));
      recNos_.push_back(rec);
      holders_[values_.back()].insert(values_.size() - 1);
    }
  }

  std::size_t size() const { return values_.size(); }
  const std::string& value(std::size_t i) const { return values_[i]; }
  // The records other than `i` holding its value, in physical order.
  std::vector<std::size_t> equalsOf(std::size_t i) const {
    std::vector<std::size_t> others;
    for (std::size_t j : holders_.at(values_[i])) {
      if (j != i) others.push_back(j);
    }
    return others;
  }
  bool used(const std::string& value) const {
    auto it = holders_.find(value);
    return it != holders_.end() && !it->second.empty();
  }

  // Writes `value` into record i's ABREV; the value kept is what the field
  // holds afterwards (cut to its size).
  void rewrite(std::size_t i, const std::string& value) {
    proft_.goTo(recNos_[i]);
    proft_.edit();
    proft_.setString("ABREV", value);
    proft_.post();
    const std::string stored = proft_.asString("ABREV");
    holders_[values_[i]].erase(i);
    values_[i] = stored;
    holders_[stored].insert(i);
  }

 private:
  Table& proft_;
  std::vector<std::string> values_;
  std::vector<std::uint32_t> recNos_;
  std::unordered_map<std::string, std::set<std::size_t>> holders_;
};

// Each record in physical order numbers the other records that hold its
// abbreviation, in physical order, from 2 on. A record's own value is never
// changed during its turn, and each record's turn sees the values left by
// the turns before it.
void numberRepeats(Abbreviations& abbreviations) {
  for (std::size_t r = 0; r < abbreviations.size(); ++r) {
    const std::string value = abbreviations.value(r);
    int counter = 2;
    // A full 4-character value cannot take a number: the write cuts it off
    // and the record keeps its value.
    const bool full = charCount(value) >= 4;
    for (std::size_t s : abbreviations.equalsOf(r)) {
      if (!full) abbreviations.rewrite(s, value + std::to_string(counter));
      ++counter;
    }
  }
}

// ABREV holds 4 characters, so numbering stops being unique past nine
// sharers of a 3-character abbreviation (the 10th to 19th all end in 1).
// The import maps abbreviations back to teachers, so every repeat still
// left gets the first free value: its first three characters and a digit
// or a letter, then its first two and a number, and so on. The first holder in physical
// order keeps the value.
std::string freeAbbreviation(const Abbreviations& abbreviations, const std::string& taken) {
  for (int keep = static_cast<int>(std::min<std::size_t>(charCount(taken), 3)); keep >= 0; --keep) {
    const std::string prefix = charSub(taken, 0, keep);
    int limit = 1;
    for (int k = keep; k < 4; ++k) limit *= 10;
    for (int number = 1; number < limit; ++number) {
      const std::string candidate = prefix + std::to_string(number);
      if (!abbreviations.used(candidate)) return candidate;
    }
    if (keep == 3) {
      for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string candidate = prefix + letter;
        if (!abbreviations.used(candidate)) return candidate;
      }
    }
  }
  throw Error("C:\\KTEMP\\PROFT.DBF: no quedan abreviaturas libres de 4 caracteres para los profesores");
}

void separateRemainingRepeats(Abbreviations& abbreviations) {
  std::unordered_set<std::string> seen;
  for (std::size_t i = 0; i < abbreviations.size(); ++i) {
    if (seen.insert(abbreviations.value(i)).second) continue;
    abbreviations.rewrite(i, freeAbbreviation(abbreviations, abbreviations.value(i)));
    seen.insert(abbreviations.value(i));
  }
}

std::vector<FieldDef> proftFields() {
  return {{"ABREV", FieldKind::String, 4},
          {"NOMBRE", FieldKind::String, 40},
          {"DEPART", FieldKind::String, 40},
          {"DNI", FieldKind::Integer, 0}};
}

}  // namespace
}  // namespace exporting

void ExportarProfesores(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "PROFT");

  auto proft = std::make_unique<Table>();
  proft->setDatabaseName(ctx.interchangeFolder);
  proft->setTableName("PROFT.DBF");
  proft->createTable(exporting::proftFields());
  proft->open();

  Table& profesor = ctx.tables.wwTableProfesor;
  profesor.open();
  profesor.first();
  while (!profesor.eof()) {
    // A teacher who has left is left out, unless the name is blank or the
    // identity number is missing.
    double leaving = 0;
    try {
      leaving = profesor.asDateTime("FBaja");
    } catch (const Error& e) {
      // Whether the teacher has left cannot be told: neither way is safe.
      throw Error(std::string(e.what()) + ": fecha de baja del profesor '" + profesor.asString("Apenomprof") +
                  "'");
    }
    const bool left = leaving != 0 && !exporting::isBlank(profesor.asString("Apenomprof")) &&
                      profesor.asInteger("Dni") != 0;
    if (!left) {
      proft->append();
      const std::string name = profesor.asString("Apenomprof");
      proft->setString("ABREV", exporting::teacherAbbreviation(name));
      proft->setString("NOMBRE", name);
      proft->setString("DEPART", profesor.asString("Departa"));
      proft->setInteger("DNI", profesor.asInteger("Dni"));
      proft->post();
    }
    profesor.next();
  }
  proft->close();
  profesor.close();

  proft->open();
  exporting::Abbreviations abbreviations(*proft);
  exporting::numberRepeats(abbreviations);
  exporting::separateRemainingRepeats(abbreviations);
  proft->close();
}

}  // namespace pasarela

// ALUMNOST.DBF: one record per student with a group, with the shift of the
// student's group and the short codes of up to 50 enrolled subjects.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "data/field_ref.h"
#include "data/folders.h"
#include "data/table.h"
#include "data/winpath.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/group_code.h"
#include "export/text_map.h"
#include "export/text_numbers.h"

namespace pasarela {

namespace {

constexpr int kSubjectSlots = 50;

std::vector<FieldDef> alumnostFields() {
  std::vector<FieldDef> fields = {{"EXPED", FieldKind::String, 20}, {"NOMBRE", FieldKind::String, 50},
                                  {"TURNO", FieldKind::String, 1},  {"NIVEL", FieldKind::String, 5},
                                  {"CURSO", FieldKind::String, 3},  {"GRUPO", FieldKind::String, 2},
                                  {"OPCION", FieldKind::String, 1}, {"REPITE", FieldKind::Boolean, 0}};
  for (int n = 1; n <= kSubjectSlots; ++n) {
    fields.push_back({"ASIG" + std::to_string(n), FieldKind::String, 4});
    fields.push_back({"DIV" + std::to_string(n), FieldKind::String, 1});
  }
  return fields;
}

// The shift of a student: Turno of the first grupos record, in physical
// order, whose code is the student's group code or whose first four
// characters are the student's course code. Both tests count for each
// record, so the earliest record meeting either wins.
class ShiftLookup {
 public:
  explicit ShiftLookup(Table& grupos) {
    std::size_t position = 0;
    for (grupos.first(); !grupos.eof(); grupos.next(), ++position) {
      const std::string code = grupos.asString("Codgrup");
      if (byCode_.find(code) == byCode_.end()) byCode_.emplace(code, position);
      const std::string course = exporting::charSub(code, 0, 4);
      if (byCourse_.find(course) == byCourse_.end()) byCourse_.emplace(course, position);
      if (byCode_.find(code)->second == position || byCourse_.find(course)->second == position)
        shifts_.emplace(position, grupos.asString("Turno"));
    }
  }

  const std::string& shiftOf(std::string_view codgrup, std::string_view codcur) const {
    static const std::string none;
    std::optional<std::size_t> first;
    if (auto it = byCode_.find(codgrup); it != byCode_.end()) first = it->second;
    if (auto it = byCourse_.find(codcur); it != byCourse_.end() && (!first || it->second < *first))
      first = it->second;
    return first ? shifts_.at(*first) : none;
  }

 private:
  exporting::TextMap<std::size_t> byCode_;
  exporting::TextMap<std::size_t> byCourse_;
  std::unordered_map<std::size_t, std::string> shifts_;  // of the records some lookup can reach
};

// asigalum grouped by student code once, in physical order, instead of
// reopening it with a filter per student. The filter compares codes
// ignoring trailing blanks, as the text read does. A school has a few
// hundred subject codes and many thousand enrolments: each code is kept
// once and the students hold its number.
class Enrolments {
 public:
  explicit Enrolments(Table& asigalum) {
    asigalum.close();
    asigalum.setFiltered(false);
    asigalum.open();
    FieldRef codigo(asigalum, "Codigo"), codasig(asigalum, "Codasig");
    // Each enrolment's student and subject by number, in physical order;
    // then grouped by student in one pass, without a list per student.
    std::vector<std::uint32_t> studentOf, subjectOf;
    // Equal stored bytes read as the same code: a code is read as text only
    // the first time its bytes come, a student's when its run starts.
    exporting::TextNumbers storedSubjects;
    std::vector<std::uint32_t> subjectOfStored;
    std::string lastStored;
    std::uint32_t student = 0;
    asigalum.scan([&](const Table::RecordView& enrolment) {
      const std::uint32_t stored = storedSubjects.number(codasig.raw(enrolment));
      if (stored == subjectOfStored.size())
        subjectOfStored.push_back(subjects_.number(codasig.view(enrolment)));
      const std::string_view storedStudent = codigo.raw(enrolment);
      if (studentOf.empty() || storedStudent != lastStored) {
        student = students_.numberInRun(codigo.view(enrolment));
        lastStored.assign(storedStudent);
      }
      studentOf.push_back(student);
      subjectOf.push_back(subjectOfStored[stored]);
    });
    // Where each student's subjects start, then the subjects in place.
    starts_.assign(students_.size() + 1, 0);
    for (std::uint32_t s : studentOf) ++starts_[s + 1];
    for (std::size_t s = 1; s < starts_.size(); ++s) starts_[s] += starts_[s - 1];
    std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
    enrolled_.resize(subjectOf.size());
    for (std::size_t e = 0; e < subjectOf.size(); ++e) enrolled_[next[studentOf[e]]++] = subjectOf[e];
  }

  // The numbers of a student's subjects, in physical order.
  std::span<const std::uint32_t> of(std::string_view codigo) const {
    const std::optional<std::uint32_t> student = students_.find(codigo);
    if (!student) return {};
    return std::span<const std::uint32_t>(enrolled_).subspan(starts_[*student],
                                                             starts_[*student + 1] - starts_[*student]);
  }
  std::size_t subjectCount() const { return subjects_.size(); }
  std::string subject(std::uint32_t number) const { return std::string(subjects_.text(number)); }

 private:
  exporting::TextNumbers subjects_;      // school subject codes
  exporting::TextNumbers students_;      // student codes
  std::vector<std::uint32_t> starts_;    // by student number, where its subjects start
  std::vector<std::uint32_t> enrolled_;  // subject numbers, student after student
};

// Short codes of the enrolled subjects, through the CODVALEN index of
// ASIGVALT; each code is looked up once.
class ShortCodes {
 public:
  ShortCodes(Table& asigvalt, const Enrolments& enrolments)
      : asigvalt_(asigvalt), enrolments_(enrolments), cache_(enrolments.subjectCount()) {}

  const std::optional<std::string>& of(std::uint32_t subject) {
    std::optional<std::optional<std::string>>& slot = cache_[subject];
    if (!slot) {
      std::optional<std::string> found;
      if (asigvalt_.findKey(enrolments_.subject(subject))) found = asigvalt_.asString("COD");
      slot = std::move(found);
    }
    return *slot;
  }

 private:
  Table& asigvalt_;
  const Enrolments& enrolments_;
  std::vector<std::optional<std::optional<std::string>>> cache_;  // by subject number
};

// "Codigo= 'A001      '": the code padded to 10 characters, quotes doubled.
std::string enrolmentFilter(const std::string& codigo) {
  std::string padded = codigo;
  for (std::size_t n = exporting::charCount(codigo); n < 10; ++n) padded += ' ';
  std::string quoted = "'";
  for (char c : padded) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return "Codigo= " + quoted + "'";
}

}  // namespace

void ExportarAlumnos(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "ALUMNOST");

  auto alumnost = std::make_unique<Table>();
  alumnost->setDatabaseName(ctx.interchangeFolder);
  alumnost->setTableName("ALUMNOST.DBF");
  alumnost->createTable(alumnostFields());

  auto asigvalt = std::make_unique<Table>();
  asigvalt->setDatabaseName("");
  asigvalt->setTableName(winpath::join(ctx.interchangeFolder, "ASIGVALT.DBF"));
  asigvalt->setIndexName("CODVALEN");
  asigvalt->open();

  Table& grupos = ctx.tables.wwTableGrupos;
  Table& alumnos = ctx.tables.wwTableAlumnos;
  Table& asigalum = ctx.tables.wwTableAsigAlum;
  grupos.open();
  alumnost->open();
  alumnos.open();
  // Opened unfiltered: a filter an earlier run left would be tested on every
  // enrolment, only for the grouping below to drop it.
  const bool wasFiltered = asigalum.filtered();
  asigalum.setFiltered(false);
  asigalum.open();

  // Built when the first student needs them, so that a school without
  // students reads neither table.
  std::optional<ShiftLookup> shifts;
  std::optional<Enrolments> enrolments;
  std::optional<ShortCodes> shortCodes;
  std::optional<std::string> lastStudent;  // the code the per-student filter would end on

  FieldRef codgrupField(alumnos, "Codgrup"), codcurField(alumnos, "Codcur"), codigoField(alumnos, "Codigo"),
      apenomField(alumnos, "Apenom"), repiteField(alumnos, "Repite");
  FieldRef repite(*alumnost, "REPITE");
  FieldRef exped(*alumnost, "EXPED"), nombre(*alumnost, "NOMBRE"), turno(*alumnost, "TURNO"),
      nivel(*alumnost, "NIVEL"), curso(*alumnost, "CURSO"), grupo(*alumnost, "GRUPO");
  std::vector<FieldRef> asigFields;
  for (int n = 1; n <= kSubjectSlots; ++n) asigFields.emplace_back(*alumnost, "ASIG" + std::to_string(n));

  // A school has a few hundred group codes for thousands of students: each
  // is split once.
  exporting::TextMap<exporting::GroupCode> groups;
  std::string code;
  alumnos.scan([&](const Table::RecordView& student) {
    const std::string_view codgrup = codgrupField.view(student);
    auto groupIt = groups.find(codgrup);
    if (groupIt == groups.end())
      groupIt = groups.emplace(codgrup, exporting::splitGroupCode(std::string(codgrup))).first;
    const exporting::GroupCode& group = groupIt->second;
    if (!group.complete()) return;

    if (!shifts) shifts.emplace(grupos);
    const std::string& shift = shifts->shiftOf(codgrup, codcurField.view(student));

    alumnost->append();
    exped.set(codigoField.view(student));
    nombre.set(apenomField.view(student));
    turno.set(shift);
    nivel.set(group.level);
    curso.set(group.year);
    grupo.set(group.letter);
    // OPCION and the DIV fields stay blank, as a new record is.
    repite.setBoolean(repiteField.integer(student) == 1);

    code.assign(exped.view());
    lastStudent = code;
    if (!enrolments) {
      enrolments.emplace(asigalum);
      shortCodes.emplace(*asigvalt, *enrolments);
    }
    std::size_t slot = 0;
    for (std::uint32_t subject : enrolments->of(code)) {
      const std::optional<std::string>& shortCode = shortCodes->of(subject);
      if (!shortCode) continue;
      // There is no 51st slot: the field lookup fails and the run stops.
      if (slot == asigFields.size()) alumnost->setString("ASIG" + std::to_string(slot + 1), *shortCode);
      asigFields[slot].set(*shortCode);
      ++slot;
    }
    alumnost->post();
  });

  alumnos.close();
  asigalum.close();
  if (lastStudent) {
    // The component is left as the per-student filtering would leave it.
    asigalum.setFiltered(false);
    asigalum.setFilter(enrolmentFilter(*lastStudent));
    asigalum.setFiltered(true);
  } else {
    asigalum.setFiltered(wasFiltered);
  }
  grupos.close();
  alumnost->close();
  asigvalt->close();
}

}  // namespace pasarela

// ASIGT.DBF: one record per distinct subject, teacher and group of the group
// timetable, named by the generator's codes.
#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/field_ref.h"
#include "export/group_code.h"
#include "export/text_map.h"

namespace pasarela {

namespace {

constexpr std::size_t kSessionsSize = 20;

struct CatalogueEntry {
  std::string shortCode;
  double hours = 1.0;
  std::int64_t lessons = 1;
};

std::unique_ptr<Table> openLookup(const std::string& folder, const std::string& tableName) {
  auto table = std::make_unique<Table>();
  table->setDatabaseName(folder);
  table->setTableName(tableName);
  table->open();
  return table;
}

// The first ASIGVALT record, in physical order, of each school subject code.
std::unordered_map<std::string, CatalogueEntry> readCatalogue(Table& asigvalt) {
  std::unordered_map<std::string, CatalogueEntry> catalogue;
  for (asigvalt.first(); !asigvalt.eof(); asigvalt.next()) {
    const std::string code = asigvalt.asString("CODVALEN");
    if (catalogue.count(code)) continue;
    catalogue.emplace(code, CatalogueEntry{asigvalt.asString("COD"), asigvalt.asFloat("NHORAS"),
                                           asigvalt.asInteger("NHORAS")});
  }
  return catalogue;
}

// The abbreviation of the first PROFT record, in physical order, of each
// identity number.
std::unordered_map<std::int64_t, std::string> readTeachers(Table& proft) {
  std::unordered_map<std::int64_t, std::string> teachers;
  for (proft.first(); !proft.eof(); proft.next()) {
    const std::int64_t dni = proft.asInteger("DNI");
    if (!teachers.count(dni)) teachers.emplace(dni, proft.asString("ABREV"));
  }
  return teachers;
}

// Appends a text to a key made of several, preceded by its length, so that
// no two different lists of texts make the same key.
void appendKeyPart(std::string& key, std::string_view part) {
  const auto size = static_cast<std::uint32_t>(part.size());
  key.append(reinterpret_cast<const char*>(&size), sizeof size);
  key += part;
}

std::string compositeKey(std::string_view subject, std::string_view teacher, std::string_view group) {
  std::string key;
  for (std::string_view part : {subject, teacher, group}) appendKeyPart(key, part);
  return key;
}

// What a timetable line holds, group, subject and teacher, written into
// `key`: each text preceded by its length, so that no two lines share a key.
void lineKey(std::string_view codgrup, std::string_view codasig, std::int64_t dni, std::string& key) {
  key.clear();
  appendKeyPart(key, codgrup);
  appendKeyPart(key, codasig);
  key.append(reinterpret_cast<const char*>(&dni), sizeof dni);
}

// One "1" per lesson; the field keeps the first 20.
std::string sessionsText(std::int64_t lessons) {
  if (lessons <= 0) return {};
  return std::string(static_cast<std::size_t>(std::min<std::int64_t>(lessons, kSessionsSize)), '1');
}

}  // namespace

void ExportarAsignaciones(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "ASIGT");

  auto asigt = std::make_unique<Table>();
  asigt->setDatabaseName(ctx.interchangeFolder);
  asigt->setTableName("ASIGT.DBF");
  asigt->createTable({{"CASIG", FieldKind::String, 4},
                      {"CPROF", FieldKind::String, 4},
                      {"CGRUP", FieldKind::String, 4},
                      {"CAULA", FieldKind::String, 4},
                      {"TURNO", FieldKind::String, 1},
                      {"NIVEL", FieldKind::String, 5},
                      {"CURSO", FieldKind::String, 3},
                      {"GRUPO", FieldKind::String, 2},
                      {"HORAS", FieldKind::Float, 0},
                      {"SESIONES", FieldKind::String, kSessionsSize}});
  asigt->open();

  auto asigvalt = openLookup(ctx.interchangeFolder, "ASIGVALT.DBF");
  auto proft = openLookup(ctx.interchangeFolder, "PROFT.DBF");
  // Read when the first timetable line needs them.
  std::optional<std::unordered_map<std::string, CatalogueEntry>> catalogue;
  std::optional<std::unordered_map<std::int64_t, std::string>> teachers;
  // The keys of the records written, as ASIGT holds them.
  std::unordered_set<std::string> written;
  // A group's subject with its teacher fills many lines of the timetable,
  // and each such line gives the same record: the lines read are kept by
  // what they hold, and a repeated one is skipped before any lookup.
  exporting::TextSet linesSeen;
  std::string line;

  Table& horgrup = ctx.tables.wwTableHorGrup;
  using exporting::FieldRef;
  FieldRef codgrupField(horgrup, "Codgrup"), codasigField(horgrup, "Codasig"), dniField(horgrup, "Dni");
  FieldRef casig(*asigt, "CASIG"), cprof(*asigt, "CPROF"), cgrup(*asigt, "CGRUP"), caula(*asigt, "CAULA"),
      turno(*asigt, "TURNO"), nivel(*asigt, "NIVEL"), curso(*asigt, "CURSO"), grupo(*asigt, "GRUPO"),
      sesiones(*asigt, "SESIONES");
  horgrup.open();
  for (horgrup.first(); !horgrup.eof(); horgrup.next()) {
    const std::int64_t dni = dniField.integer();
    lineKey(codgrupField.view(), codasigField.view(), dni, line);
    if (linesSeen.count(line)) continue;
    linesSeen.insert(line);
    const std::string codgrup = codgrupField.get();
    const std::string codasig = codasigField.get();

    const exporting::GroupCode group = exporting::splitGroupCode(codgrup);
    const std::string groupAbbreviation = exporting::groupAbbreviation(group);

    const std::string subjectKey = exporting::trimBlanks(codasig);
    if (!catalogue) catalogue = readCatalogue(*asigvalt);
    CatalogueEntry subject;
    if (auto it = catalogue->find(subjectKey); it != catalogue->end()) subject = it->second;

    if (!teachers) teachers = readTeachers(*proft);
    std::string teacher;
    if (auto it = teachers->find(dni); it != teachers->end()) teacher = it->second;

    if (written.count(compositeKey(subject.shortCode, teacher, groupAbbreviation))) continue;
    asigt->append();
    casig.set(subject.shortCode);
    cprof.set(teacher);
    caula.set("");
    cgrup.set(groupAbbreviation);
    turno.set("");
    nivel.set(group.level);
    curso.set(group.year);
    grupo.set(group.letter);
    asigt->setFloat("HORAS", subject.hours);
    sesiones.set(sessionsText(subject.lessons));
    written.insert(compositeKey(casig.view(), cprof.view(), cgrup.view()));
    asigt->post();
  }
  horgrup.close();
  asigt->close();
  asigvalt->close();
  proft->close();
}

}  // namespace pasarela

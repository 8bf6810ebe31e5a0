// ASIGT.DBF: one record per distinct subject, teacher and group of the group
// timetable, named by the generator's codes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/field_ref.h"
#include "data/folders.h"
#include "data/table.h"
#include "dbase/codepage.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/group_code.h"
#include "export/text_map.h"
#include "export/text_numbers.h"

namespace pasarela {

namespace {

constexpr std::size_t kSessionsSize = 20;
constexpr int kCodeSize = 4;  // CASIG, CPROF and CGRUP

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
exporting::TextMap<CatalogueEntry> readCatalogue(Table& asigvalt) {
  exporting::TextMap<CatalogueEntry> catalogue;
  FieldRef codvalen(asigvalt, "CODVALEN"), cod(asigvalt, "COD"), nhoras(asigvalt, "NHORAS");
  for (asigvalt.first(); !asigvalt.eof(); asigvalt.next()) {
    const std::string_view code = codvalen.view();
    if (catalogue.find(code) != catalogue.end()) continue;
    catalogue.emplace(code, CatalogueEntry{cod.get(), nhoras.asFloat(), nhoras.integer()});
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
// no two different lists of texts make the same key. Lengths below 255 take
// one byte, which keeps the usual keys short enough to need no allocation.
void appendKeyPart(std::string& key, std::string_view part) {
  if (part.size() < 0xFF) {
    key += static_cast<char>(part.size());
  } else {
    const auto size = static_cast<std::uint32_t>(part.size());
    key += static_cast<char>(0xFF);
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
  }
  key += part;
}

// The key of an ASIGT record, written into `key`.
void recordKey(std::string_view subject, std::string_view teacher, std::string_view group, std::string& key) {
  key.clear();
  for (std::string_view part : {subject, teacher, group}) appendKeyPart(key, part);
}

// Whether a code reads back from CASIG, CPROF or CGRUP as it was written:
// plain ASCII that fits, without the trailing blanks a read drops.
bool storedAsIs(std::string_view code) {
  if (code.size() > static_cast<std::size_t>(kCodeSize)) return false;
  if (!code.empty() && (code.back() == ' ' || code.back() == '\0')) return false;
  return dbase::CodePage::plainAscii(code);
}

// What a timetable line holds, group, subject and teacher, as bytes.
std::string_view lineKey(std::uint32_t group, std::uint32_t subject, std::int64_t dni, char (&key)[16]) {
  std::memcpy(key, &group, 4);
  std::memcpy(key + 4, &subject, 4);
  std::memcpy(key + 8, &dni, 8);
  return std::string_view(key, sizeof key);
}

// One "1" per lesson; the field keeps the first 20.
std::string_view sessionsText(std::int64_t lessons) {
  static constexpr std::string_view kOnes = "11111111111111111111";
  static_assert(kOnes.size() == kSessionsSize);
  if (lessons <= 0) return {};
  return kOnes.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(lessons, kSessionsSize)));
}

// A school's few hundred group codes, each split once for the thousands of
// timetable lines naming them.
struct GroupParts {
  exporting::GroupCode code;
  std::string abbreviation;
};

// The parts of the group of number `number` (`codgrup`), split the first
// time a line names it.
const GroupParts& groupParts(std::vector<std::optional<GroupParts>>& groups, std::uint32_t number,
                             std::string_view codgrup) {
  if (groups.size() <= number) groups.resize(number + 1);
  std::optional<GroupParts>& parts = groups[number];
  if (!parts) {
    exporting::GroupCode code = exporting::splitGroupCode(std::string(codgrup));
    std::string abbreviation = exporting::groupAbbreviation(code);
    parts = GroupParts{std::move(code), std::move(abbreviation)};
  }
  return *parts;
}

}  // namespace

void ExportarAsignaciones(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "ASIGT");

  auto asigt = std::make_unique<Table>();
  asigt->setDatabaseName(ctx.interchangeFolder);
  asigt->setTableName("ASIGT.DBF");
  asigt->createTable({{"CASIG", FieldKind::String, kCodeSize},
                      {"CPROF", FieldKind::String, kCodeSize},
                      {"CGRUP", FieldKind::String, kCodeSize},
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
  std::optional<exporting::TextMap<CatalogueEntry>> catalogue;
  std::optional<std::unordered_map<std::int64_t, std::string>> teachers;
  // The keys of the records written, as ASIGT holds them.
  exporting::TextNumbers written;
  std::string record;
  // A group's subject with its teacher fills many lines of the timetable,
  // and each such line gives the same record: the lines read are kept by
  // what they hold, and a repeated one is skipped before any lookup.
  exporting::TextNumbers linesSeen;
  char line[16];
  exporting::TextNumbers groupNumbers, subjectNumbers;
  std::vector<std::optional<GroupParts>> groups;  // by group number

  Table& horgrup = ctx.tables.wwTableHorGrup;
  FieldRef codgrupField(horgrup, "Codgrup"), codasigField(horgrup, "Codasig"), dniField(horgrup, "Dni");
  FieldRef casig(*asigt, "CASIG"), cprof(*asigt, "CPROF"), cgrup(*asigt, "CGRUP"), nivel(*asigt, "NIVEL"),
      curso(*asigt, "CURSO"), grupo(*asigt, "GRUPO"), horas(*asigt, "HORAS"), sesiones(*asigt, "SESIONES");
  horgrup.open();
  horgrup.scan([&](const Table::RecordView& timetableLine) {
    const std::int64_t dni = dniField.integer(timetableLine);
    const std::uint32_t groupNumber = groupNumbers.numberInRun(codgrupField.view(timetableLine));
    const std::size_t linesBefore = linesSeen.size();
    linesSeen.number(
        lineKey(groupNumber, subjectNumbers.numberInRun(codasigField.view(timetableLine)), dni, line));
    if (linesSeen.size() == linesBefore) return;
    const GroupParts& group = groupParts(groups, groupNumber, codgrupField.view(timetableLine));

    if (!catalogue) catalogue = readCatalogue(*asigvalt);
    static const CatalogueEntry kUnknownSubject;
    const CatalogueEntry* subject = &kUnknownSubject;
    if (auto it = catalogue->find(exporting::trimBlanks(std::string(codasigField.view(timetableLine))));
        it != catalogue->end())
      subject = &it->second;

    if (!teachers) teachers = readTeachers(*proft);
    static const std::string kNoTeacher;
    const std::string* teacher = &kNoTeacher;
    if (auto it = teachers->find(dni); it != teachers->end()) teacher = &it->second;

    recordKey(subject->shortCode, *teacher, group.abbreviation, record);
    if (written.find(record)) return;
    asigt->append();
    // CAULA and TURNO stay blank, as a new record is.
    casig.set(subject->shortCode);
    cprof.set(*teacher);
    cgrup.set(group.abbreviation);
    nivel.set(group.code.level);
    curso.set(group.code.year);
    grupo.set(group.code.letter);
    horas.setFloat(subject->hours);
    sesiones.set(sessionsText(subject->lessons));
    // The key as read back, unless each part is stored as it is.
    if (!storedAsIs(subject->shortCode) || !storedAsIs(*teacher) || !storedAsIs(group.abbreviation))
      recordKey(casig.view(), cprof.view(), cgrup.view(), record);
    written.number(record);
    asigt->post();
  });
  horgrup.close();
  asigt->close();
  asigvalt->close();
  proft->close();
}

}  // namespace pasarela

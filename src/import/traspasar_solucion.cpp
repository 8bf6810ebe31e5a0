#include "import/traspasar_solucion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "data/field_ref.h"
#include "data/text_cut.h"
#include "data/winpath.h"

namespace pasarela {

namespace {

// Teacher numbers by abbreviation. The first teacher of an abbreviation in
// the physical order of PROFT.DBF gives the number, as a scan would.
std::unordered_map<std::string, std::int64_t> teacherNumbers(Table& profesores) {
  std::unordered_map<std::string, std::int64_t> numbers;
  for (profesores.first(); !profesores.eof(); profesores.next())
    numbers.try_emplace(profesores.asString("ABREV"), profesores.asInteger("DNI"));
  return numbers;
}

// Level, course and short code as one unambiguous key.
std::string subjectKey(const std::string& nivel, const std::string& curso, const std::string& cod) {
  std::string key;
  key.reserve(nivel.size() + curso.size() + cod.size() + 8);
  for (const std::string* part : {&nivel, &curso, &cod}) {
    key += std::to_string(part->size());
    key += ':';
    key += *part;
  }
  return key;
}

// School subject codes by level, course and short code. The table is read in
// its active CODVALEN order, so the first row kept for a key is the one with
// the lowest CODVALEN, as a scan would find.
std::unordered_map<std::string, std::string> subjectCodes(Table& asignaturas) {
  std::unordered_map<std::string, std::string> codes;
  for (asignaturas.first(); !asignaturas.eof(); asignaturas.next()) {
    codes.try_emplace(
        subjectKey(asignaturas.asString("NIVEL"), asignaturas.asString("CURSO"), asignaturas.asString("COD")),
        asignaturas.asString("CODVALEN"));
  }
  return codes;
}

// The texts of one field of a staged school table, to tell which groups and
// rooms of the solution the school knows. Nothing when the table was not
// staged: then nothing can be told.
std::optional<std::unordered_set<std::string>> knownCodes(Table& table, const char* field) {
  if (!winpath::fileExists(table.windowsPath())) return std::nullopt;
  std::unordered_set<std::string> codes;
  table.open();
  for (table.first(); !table.eof(); table.next()) codes.insert(table.asString(field));
  table.close();
  return codes;
}

// Counts a row whose code the school does not know, naming each code once.
void countUnknown(const std::optional<std::unordered_set<std::string>>& known, const std::string& code,
                  long& rows, std::vector<std::string>& named, std::unordered_set<std::string>& seen) {
  if (!known || known->count(code)) return;
  ++rows;
  if (seen.insert(code).second) named.push_back(code);
}

// Closes the three tables on every way out; an unposted row is dropped.
struct CloseOnExit {
  SchoolTables& t;
  ~CloseOnExit() {
    t.wwTableHorProf.close();
    t.wwTableSoluc.close();
    t.wwTableHorGrup.close();
  }
};

}  // namespace

void TraspasarSolucion(TransferContext& ctx, Table& profesores, Table& asignaturas,
                       const HorasTabla& HorasInicio, const HorasTabla& HorasFinal, ImportReport& report) {
  const auto dniByAbrev = teacherNumbers(profesores);
  const auto codvalenByKey = subjectCodes(asignaturas);
  const auto groups = knownCodes(ctx.tables.wwTableGrupos, "Codgrup");
  const auto rooms = knownCodes(ctx.tables.wwTableAulas, "Codaula");

  Table& horprof = ctx.tables.wwTableHorProf;
  Table& horgrup = ctx.tables.wwTableHorGrup;
  Table& soluc = ctx.tables.wwTableSoluc;

  horprof.close();
  horgrup.close();
  horprof.emptyTable();
  horgrup.emptyTable();
  CloseOnExit closer{ctx.tables};
  horprof.open();
  horgrup.open();
  soluc.open();

  std::unordered_set<std::string> teachersSeen, subjectsSeen, groupsSeen, roomsSeen;
  FieldRef dia(soluc, "DIA"), hora(soluc, "HORA"), aulaIn(soluc, "AULA"), profIn(soluc, "PROF"),
      nivelIn(soluc, "NIVEL"), cursoIn(soluc, "CURSO"), asigIn(soluc, "ASIG"), grupoIn(soluc, "GRUPO");
  FieldRef profDiasem(horprof, "Diasem"), profNumhora(horprof, "Numhora"), profHorad(horprof, "Horad"),
      profHorah(horprof, "Horah"), profOcupa(horprof, "Ocupa"), profCodcen(horprof, "Codcen"),
      profDni(horprof, "dni");
  FieldRef grupDiasem(horgrup, "Diasem"), grupNumhora(horgrup, "Numhora"),
      grupHordiades(horgrup, "Hordiades"), grupHordiahas(horgrup, "Hordiahas"), grupCodcen(horgrup, "Codcen"),
      grupDni(horgrup, "dni"), grupCodgrup(horgrup, "codgrup"), grupCodasig(horgrup, "codasig");
  for (soluc.first(); !soluc.eof(); soluc.next()) {
    const auto day = dia.integer();
    if (day == 0) continue;

    horprof.append();
    profDiasem.setInteger(day);
    auto slot = hora.integer();
    profNumhora.setInteger(slot);
    if (slotInRange(slot)) {
      profHorad.set(HorasInicio[slot]);
      profHorah.set(HorasFinal[slot]);
    }
    const std::string aula = aulaIn.get();
    profOcupa.set(aula);
    profCodcen.set(ctx.centre);
    const std::string prof = profIn.get();
    auto teacher = dniByAbrev.find(prof);
    const std::int64_t dni = teacher == dniByAbrev.end() ? 0 : teacher->second;
    profDni.setInteger(dni);
    horprof.post();

    horgrup.append();
    grupDiasem.setInteger(day);
    slot = hora.integer();
    grupNumhora.setInteger(slot);
    if (slotInRange(slot)) {
      grupHordiades.set(HorasInicio[slot]);
      grupHordiahas.set(HorasFinal[slot]);
    }
    grupCodcen.set(ctx.centre);
    grupDni.setInteger(dni);
    ImportReport::Subject wanted{nivelIn.get(), cursoIn.get(), asigIn.get()};
    auto subject = codvalenByKey.find(subjectKey(wanted.nivel, wanted.curso, wanted.asig));
    const std::string codasig = subject == codvalenByKey.end() ? std::string() : subject->second;
    // The first 4 characters, not bytes: "1EÑO" stays whole.
    const std::string codgrup = firstChars(codasig, 4) + grupoIn.get();
    grupCodgrup.set(codgrup);
    grupCodasig.set(codasig);
    horgrup.post();

    ++report.rowsWritten;
    countUnknown(groups, codgrup, report.rowsWithoutGroup, report.unmatchedGroups, groupsSeen);
    if (!aula.empty()) countUnknown(rooms, aula, report.rowsWithoutRoom, report.unmatchedRooms, roomsSeen);
    if (dni == 0) {
      ++report.rowsWithoutTeacher;
      if (teacher == dniByAbrev.end() && teachersSeen.insert(prof).second)
        report.unmatchedTeachers.push_back(prof);
    }
    if (codasig.empty()) {
      ++report.rowsWithoutSubject;
      if (subjectsSeen.insert(subjectKey(wanted.nivel, wanted.curso, wanted.asig)).second)
        report.unmatchedSubjects.push_back(std::move(wanted));
    }
  }
}

}  // namespace pasarela

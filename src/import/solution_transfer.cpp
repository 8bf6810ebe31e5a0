#include "import/solution_transfer.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "data/text_cut.h"

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

  std::unordered_set<std::string> teachersSeen, subjectsSeen;
  for (soluc.first(); !soluc.eof(); soluc.next()) {
    const auto dia = soluc.asInteger("DIA");
    if (dia == 0) continue;

    horprof.append();
    horprof.setInteger("Diasem", dia);
    auto slot = soluc.asInteger("HORA");
    horprof.setInteger("Numhora", slot);
    if (slotInRange(slot)) {
      horprof.setString("Horad", HorasInicio[slot]);
      horprof.setString("Horah", HorasFinal[slot]);
    }
    horprof.setString("Ocupa", soluc.asString("AULA"));
    horprof.setString("Codcen", ctx.centre);
    const std::string prof = soluc.asString("PROF");
    auto teacher = dniByAbrev.find(prof);
    const std::int64_t dni = teacher == dniByAbrev.end() ? 0 : teacher->second;
    horprof.setInteger("dni", dni);
    horprof.post();

    horgrup.append();
    horgrup.setInteger("Diasem", dia);
    slot = soluc.asInteger("HORA");
    horgrup.setInteger("Numhora", slot);
    if (slotInRange(slot)) {
      horgrup.setString("Hordiades", HorasInicio[slot]);
      horgrup.setString("Hordiahas", HorasFinal[slot]);
    }
    horgrup.setString("Codcen", ctx.centre);
    horgrup.setInteger("dni", dni);
    ImportReport::Subject wanted{soluc.asString("NIVEL"), soluc.asString("CURSO"), soluc.asString("ASIG")};
    auto subject = codvalenByKey.find(subjectKey(wanted.nivel, wanted.curso, wanted.asig));
    const std::string codasig = subject == codvalenByKey.end() ? std::string() : subject->second;
    // The first 4 characters, not bytes: "1EÑO" stays whole.
    horgrup.setString("codgrup", firstChars(codasig, 4) + soluc.asString("GRUPO"));
    horgrup.setString("codasig", codasig);
    horgrup.post();

    ++report.rowsWritten;
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

#include "sample/sample_school.h"

#include <chrono>
#include <ctime>

#include "base/error.h"
#include "base/os/system.h"
#include "data/table.h"
#include "data/winpath.h"
#include "sample/raw_dbf_writer.h"

namespace pasarela::sample {

namespace {

const FieldKind S = FieldKind::String;
const FieldKind I = FieldKind::Integer;
const FieldKind F = FieldKind::Float;
const FieldKind B = FieldKind::Boolean;

// The table object takes UTF-8 and stores the table's code page.
const std::string& text(const std::string& utf8) { return utf8; }

// Creates `file` in `folder` with these fields and opens it for appending.
class TableWriter {
 public:
  TableWriter(const std::string& folder, const std::string& file, const std::vector<FieldDef>& fields,
              const std::vector<std::string>& indexes = {}) {
    table_.setDatabaseName(folder);
    table_.setTableName(file);
    table_.setExclusive(true);
    table_.createTable(fields, indexes);
    table_.open();
  }
  Table& row() {
    table_.append();
    return table_;
  }
  std::size_t finish() {
    std::size_t n = table_.recordCount();
    table_.close();
    return n;
  }

 private:
  Table table_;
};

std::string yesNo(bool v) { return v ? "S" : "N"; }

SampleCounts::value_type writeAsignat(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "asignat.dbf",
                {{"CODASIG", S, 8},  {"VLITEASIG", S, 30}, {"CLITEASIG", S, 30}, {"RAMAESPEC", S, 4},
                 {"HORSEMTE", S, 5}, {"HORSEMPR", S, 5},   {"OPTATIVA", S, 1},   {"CIENCIAS", S, 1},
                 {"LETRAS", S, 1},   {"GTP", S, 1},        {"LITRES", S, 3},     {"LITRESV", S, 3},
                 {"NUMALGR", I, 0},  {"DGRUPO", I, 0},     {"VGRUPO", I, 0},     {"NGRUPO", I, 0},
                 {"NFALTAL", I, 0},  {"NFALTAG", I, 0},    {"NRETRAL", I, 0},    {"NRETRAG", I, 0},
                 {"HORANO", I, 0},   {"ACP", S, 3}},
                {"CODASIG"});
  for (const Subject& sub : s.subjects) {
    Table& t = w.row();
    t.setString("CODASIG", sub.code);
    t.setString("VLITEASIG", text(sub.valencianName));
    t.setString("CLITEASIG", text(sub.castilianName));
    t.setString("HORSEMTE", sub.weeklyHours);
    t.setString("HORSEMPR", sub.weeklyHours);
    t.setString("OPTATIVA", yesNo(sub.optional));
    t.setString("CIENCIAS", yesNo(sub.field == 'C'));
    t.setString("LETRAS", yesNo(sub.field == 'L'));
    t.setString("LITRES", sub.castilianShortCode);
    t.setString("LITRESV", sub.shortCode);
    t.setInteger("NUMALGR", 30);
    t.setInteger("NFALTAL", 0);
    t.setInteger("HORANO", sub.lessons * 35);
    t.post();
  }
  return {"asignat.dbf", w.finish()};
}

SampleCounts::value_type writeCentro(const std::string& folder, const SampleSchool& s) {
  std::vector<FieldDef> f = {
      {"CODCEN", F, 0},     {"LITCEN", S, 45},    {"DOMICEN", S, 40},  {"CODLOC", F, 0},
      {"LITLOC", S, 30},    {"CODPOS", F, 0},     {"TELEF", S, 11},    {"FAX", S, 11},
      {"CIF", S, 11},       {"CODTILAR", I, 0},   {"TIPOCEN", I, 0},   {"HOHALI", S, 1},
      {"PLAZACOME", F, 0},  {"RESIDENCIA", F, 0}, {"TRANSPOR", F, 0},  {"VOLBIBLIO", F, 0},
      {"CAES", S, 1},       {"PAES", S, 1},       {"PLANEXP", S, 1},   {"PLANFOR", S, 1},
      {"HORESP", S, 1},     {"HOGAR", S, 1},      {"NUNIEESPC", I, 0}, {"NUNIEESPV", I, 0},
      {"NIVEL", I, 0},      {"INF", S, 1},        {"EGB", S, 1},       {"ES1", S, 1},
      {"BUP", S, 1},        {"ES3", S, 1},        {"BAC", S, 1},       {"FP", S, 1},
      {"MOD", S, 1},        {"CIC", S, 1},        {"EPA", S, 1},       {"ACTAS", S, 1},
      {"ERPAS", S, 1},      {"EDICION", S, 6},    {"BORRADO", S, 6},   {"CB", S, 4},
      {"CS", S, 4},         {"DIGITOCON", S, 2},  {"CUENTA", S, 10},   {"SOLAR", F, 0},
      {"CONSTRUIDO", F, 0}, {"MODOFALTA", S, 1},  {"NFALTAL", I, 0},   {"NFALTAG", I, 0},
      {"NRETRAL", I, 0},    {"NRETRAG", I, 0}};
  TableWriter w(folder, "centro.dbf", f);
  for (const Centre& c : s.centres) {
    Table& t = w.row();
    t.setFloat("CODCEN", std::stod(c.code));
    t.setString("LITCEN", text(c.name));
    t.setString("DOMICEN", text(c.address));
    t.setFloat("CODLOC", 46250);
    t.setString("LITLOC", text(c.town));
    t.setFloat("CODPOS", std::stod(c.postCode));
    t.setString("TELEF", c.phone);
    t.setString("CIF", "Q4601234" + std::string(1, static_cast<char>('A' + (c.code.back() - '0'))));
    t.setInteger("TIPOCEN", 3);
    t.setString("ES3", "S");
    t.setString("BAC", "S");
    t.setString("CIC", "S");
    t.setString("MODOFALTA", "H");
    t.post();
  }
  return {"centro.dbf", w.finish()};
}

SampleCounts::value_type writeAsigalum(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "asigalum.dbf",
                {{"CODIGO", S, 10},
                 {"CODASIG", S, 8},
                 {"CODGRUP", S, 5},
                 {"ANOACAD", I, 0},
                 {"NOTAFINAL", F, 0},
                 {"CONVALIDA", S, 1}});
  for (const Enrolment& e : s.enrolments) {
    Table& t = w.row();
    t.setString("CODIGO", e.student);
    t.setString("CODASIG", e.subject);
    t.setString("CODGRUP", e.group);
    t.setInteger("ANOACAD", 2026);
    t.setString("CONVALIDA", "N");
    t.post();
  }
  return {"asigalum.dbf", w.finish()};
}

SampleCounts::value_type writeAulas(const std::string& folder, const SampleSchool& s) {
  TableWriter w(
      folder, "aulas.dbf",
      {{"CODAULA", S, 6}, {"LITAULA", S, 40}, {"CAPACIDAD", I, 0}, {"PLANTA", S, 2}, {"CODCEN", F, 0}});
  for (const Room& r : s.rooms) {
    Table& t = w.row();
    t.setString("CODAULA", r.code);
    t.setString("LITAULA", text(r.name));
    t.setInteger("CAPACIDAD", r.capacity);
    t.setString("PLANTA", r.floor);
    t.setFloat("CODCEN", std::stod(s.centres[0].code));
    t.post();
  }
  return {"aulas.dbf", w.finish()};
}

SampleCounts::value_type writeGrupos(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "grupos.dbf",
                {{"CODGRUP", S, 5},
                 {"TURNO", S, 1},
                 {"LITGRUP", S, 30},
                 {"CODCUR", S, 4},
                 {"TUTOR", I, 0},
                 {"AULA", S, 6},
                 {"NUMALUM", I, 0},
                 {"CODCEN", F, 0}});
  for (const Group& g : s.groups) {
    Table& t = w.row();
    t.setString("CODGRUP", g.code);
    t.setString("TURNO", std::string(1, g.shift));
    t.setString("LITGRUP", text(g.label));
    t.setString("CODCUR", g.code.substr(0, 4));
    if (g.tutor != 0) t.setInteger("TUTOR", g.tutor);
    t.setString("AULA", g.room);
    t.setInteger("NUMALUM", g.students);
    t.setFloat("CODCEN", std::stod(s.centres[g.code.substr(1, 3) == "FPB" ? 1 : 0].code));
    t.post();
  }
  return {"grupos.dbf", w.finish()};
}

struct SlotTime {
  std::string from, to;
};

// A lesson's start and end time in its centre's template.
SlotTime slotTime(const SampleSchool& s, const Lesson& l) {
  for (const TemplateLine& t : s.templateLines)
    if (t.centre == l.centre && t.slot == l.slot) return {t.from, t.to};
  return {};
}

SampleCounts::value_type writeHorgrup(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "horgrup.dbf",
                {{"CODGRUP", S, 5},
                 {"CODASIG", S, 8},
                 {"DNI", I, 0},
                 {"DIASEM", I, 0},
                 {"NUMHORA", I, 0},
                 {"HORDIADES", S, 5},
                 {"HORDIAHAS", S, 5},
                 {"CODCEN", F, 0},
                 {"OCUPA", S, 6},
                 {"TIPOHORA", S, 1},
                 {"ANOACAD", I, 0}});
  for (const Lesson& l : s.lessons) {
    Table& t = w.row();
    t.setString("CODGRUP", l.group);
    t.setString("CODASIG", l.subject);
    if (l.dni != 0) t.setInteger("DNI", l.dni);
    t.setInteger("DIASEM", l.day);
    t.setInteger("NUMHORA", l.slot);
    const SlotTime time = slotTime(s, l);
    t.setString("HORDIADES", time.from);
    t.setString("HORDIAHAS", time.to);
    t.setFloat("CODCEN", std::stod(l.centre));
    t.setString("OCUPA", l.room);
    t.setString("TIPOHORA", "L");
    t.setInteger("ANOACAD", 2026);
    t.post();
  }
  return {"horgrup.dbf", w.finish()};
}

SampleCounts::value_type writeHorprof(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "horprof.dbf",
                {{"DNI", I, 0},
                 {"DIASEM", I, 0},
                 {"NUMHORA", I, 0},
                 {"HORAD", S, 5},
                 {"HORAH", S, 5},
                 {"OCUPA", S, 6},
                 {"CODCEN", F, 0},
                 {"CODGRUP", S, 5},
                 {"CODASIG", S, 8},
                 {"TIPOHORA", S, 1}});
  for (const Lesson& l : s.lessons) {
    if (l.dni == 0) continue;  // the teacher's timetable only holds known teachers
    Table& t = w.row();
    t.setInteger("DNI", l.dni);
    t.setInteger("DIASEM", l.day);
    t.setInteger("NUMHORA", l.slot);
    const SlotTime time = slotTime(s, l);
    t.setString("HORAD", time.from);
    t.setString("HORAH", time.to);
    t.setString("OCUPA", l.room);
    t.setFloat("CODCEN", std::stod(l.centre));
    t.setString("CODGRUP", l.group);
    t.setString("CODASIG", l.subject);
    t.setString("TIPOHORA", "L");
    t.post();
  }
  return {"horprof.dbf", w.finish()};
}

SampleCounts::value_type writeLhortipo(const std::string& folder, const SampleSchool& s) {
  TableWriter w(folder, "lhortipo.dbf",
                {{"CODCEN", F, 0}, {"NUMHORA", I, 0}, {"DESDE", S, 5}, {"HASTA", S, 5}, {"TIPO", S, 1}});
  for (const TemplateLine& l : s.templateLines) {
    Table& t = w.row();
    t.setFloat("CODCEN", std::stod(l.centre));
    t.setInteger("NUMHORA", l.slot);
    t.setString("DESDE", l.from);
    t.setString("HASTA", l.to);
    t.setString("TIPO", std::string(1, l.kind));
    t.post();
  }
  return {"lhortipo.dbf", w.finish()};
}

struct Today {
  int year, month, day;
};

Today today() {
  const std::tm tm = os::localTime(std::time(nullptr));
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

SampleCounts::value_type writeProfesor(const std::string& folder, const SampleSchool& s) {
  RawDbfWriter w(RawFormat::DBase, {{"APENOMPROF", 'C', 40},
                                    {"DNI", 'N', 10},
                                    {"DEPARTA", 'C', 30},
                                    {"TELEF", 'C', 11},
                                    {"FALTA", 'D'},
                                    {"FBAJA", 'D'},
                                    {"CODCEN", 'N', 10},
                                    {"HORLEC", 'N', 3}});
  for (const Teacher& t : s.teachers)
    w.addRecord({t.name, t.dni == 0 ? "" : std::to_string(t.dni), t.department, t.phone, t.startDate,
                 t.leavingDate, s.centres[0].code, t.leavingDate.empty() ? "18" : ""});
  Today d = today();
  w.write(winpath::resolve(winpath::join(folder, "profesor.dbf")), d.year, d.month, d.day);
  return {"profesor.dbf", w.recordCount()};
}

std::vector<RawField> alumnosFields() {
  // Text, small integer (N 4), float (N 10), date, boolean and memo fields.
  struct F2 {
    const char* name;
    char kind;  // T text, I small integer, F float, D date, B boolean, M memo
    int size;
  };
  const F2 declared[] = {
      {"APENOM", 'T', 45},    {"CODIGO", 'T', 10},     {"CODIGO2", 'T', 10},   {"FECHANAC", 'D', 0},
      {"CODPROV", 'I', 0},    {"LOCALNAC", 'T', 50},   {"PROVNAC", 'I', 0},    {"SEXO", 'T', 1},
      {"DNIAL", 'T', 10},     {"NACIONAL", 'I', 0},    {"DOMICILIO", 'T', 30}, {"LOCALIDAD", 'T', 30},
      {"CODPOS", 'F', 0},     {"TELEF", 'T', 11},      {"TELEF2", 'T', 11},    {"APENOMP", 'T', 45},
      {"DNIP", 'T', 9},       {"APENOMM", 'T', 45},    {"DNIM", 'T', 9},       {"CODCUR", 'T', 4},
      {"CODGRUP", 'T', 5},    {"CODGRUPREP", 'T', 4},  {"CODGRU3", 'T', 4},    {"INCAPACIDA", 'I', 0},
      {"COMPENSA", 'I', 0},   {"CODCEN", 'F', 0},      {"OFILIB", 'T', 1},     {"RAMA", 'T', 4},
      {"BECARIO", 'T', 5},    {"NUEVOBECA", 'T', 1},   {"REPITE", 'I', 0},     {"ESTAMAT", 'T', 1},
      {"TIPMATRI", 'T', 1},   {"LIBROCAL", 'T', 1},    {"FECHAMAT", 'D', 0},   {"TRASLAEX", 'T', 1},
      {"GRACERT", 'T', 1},    {"OBTGRCURA", 'T', 1},   {"TITUL_AC", 'I', 0},   {"FP2CONBUP", 'T', 1},
      {"FP2SENSCOM", 'T', 1}, {"FP2C1PLAEX", 'T', 1},  {"FP2OTRAESP", 'T', 1}, {"METIDOGRUP", 'B', 0},
      {"PRIDIEX", 'I', 0},    {"SEIDIEX", 'I', 0},     {"TURNO", 'T', 1},      {"LINEA", 'T', 1},
      {"REL_ETICA", 'T', 1},  {"RELIGION", 'T', 1},    {"CUIDADORA", 'T', 1},  {"LOGOPEDA", 'T', 1},
      {"FISIO", 'T', 1},      {"APOYO", 'T', 1},       {"INTEGRADO", 'T', 1},  {"TRANSPOR", 'T', 1},
      {"COMEDOR", 'T', 1},    {"RESIDENCIA", 'T', 1},  {"PROMOCIONA", 'T', 1}, {"PAISNAC", 'I', 0},
      {"NUMLIBRO", 'T', 10},  {"OPCION", 'T', 1},      {"CENPROCED", 'F', 0},  {"APA", 'T', 1},
      {"SEGURO", 'T', 1},     {"SEG_SOCIAL", 'T', 15}, {"ANOACAD", 'I', 0},    {"CORR", 'I', 0},
      {"OBS", 'M', 0},        {"COMENTARIO", 'M', 0},  {"FECHABAJA", 'D', 0},  {"CODBAJ", 'I', 0},
      {"CB", 'T', 4},         {"CS", 'T', 4},          {"DIGITOCON", 'T', 2},  {"CUENTA", 'T', 10},
      {"CODPLAN", 'T', 10},   {"TASAACADE", 'F', 0},   {"TASAADM", 'F', 0},    {"TASAOTROS", 'F', 0},
      {"ACS", 'B', 0},        {"DOMICILIA", 'B', 0},   {"CONSEJO", 'B', 0},    {"BAJAPEN", 'B', 0},
      {"CONSEJOP", 'B', 0},   {"CONSEJOM", 'B', 0},    {"TITULAR", 'T', 45},   {"TITUESO", 'T', 1}};
  std::vector<RawField> out;
  for (const F2& f : declared) {
    switch (f.kind) {
      case 'T':
        out.push_back({f.name, 'C', f.size, 0});
        break;
      case 'I':
        out.push_back({f.name, 'N', 4, 0});
        break;
      case 'F':
        out.push_back({f.name, 'N', 10, 0});
        break;
      case 'D':
        out.push_back({f.name, 'D', 8, 0});
        break;
      case 'B':
        out.push_back({f.name, 'L', 1, 0});
        break;
      case 'M':
        out.push_back({f.name, 'M', 10, 0});
        break;
    }
  }
  return out;
}

SampleCounts::value_type writeAlumnos(const std::string& folder, const SampleSchool& s) {
  const std::vector<RawField> fields = alumnosFields();
  RawDbfWriter w(RawFormat::FoxPro, fields);
  std::vector<std::string> values(fields.size());
  auto set = [&](const char* name, const std::string& v) {
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (fields[i].name == name) {
        values[i] = v;
        return;
      }
    throw std::logic_error(std::string("no field ") + name);
  };
  int corr = 0;
  for (const Student& st : s.students) {
    std::fill(values.begin(), values.end(), std::string());
    set("APENOM", st.name);
    set("CODIGO", st.code);
    set("CODIGO2", st.code2);
    set("FECHANAC", st.birthDate);
    set("CODPROV", "46");
    set("LOCALNAC", st.town);
    set("PROVNAC", "46");
    set("SEXO", std::string(1, st.sex));
    set("DNIAL", st.dni);
    set("NACIONAL", "1");
    set("DOMICILIO", st.address);
    set("LOCALIDAD", st.town);
    set("CODPOS", st.postCode);
    set("TELEF", st.phone);
    set("APENOMP", st.father);
    set("APENOMM", st.mother);
    set("CODCUR", st.course);
    set("CODGRUP", st.group);
    set("CODCEN", s.centres[st.course.substr(1, 3) == "FPB" ? 1 : 0].code);
    set("REPITE", st.repeats);
    set("ESTAMAT", "M");
    set("FECHAMAT", st.enrolDate);
    set("METIDOGRUP", st.placed ? "T" : "F");
    set("TURNO", "");
    set("PAISNAC", "724");
    set("ANOACAD", "2026");
    set("CORR", std::to_string(++corr % 10000));
    set("OBS", st.notes);
    set("COMENTARIO", st.comment);
    set("ACS", "F");
    set("DOMICILIA", "F");
    w.addRecord(values);
  }
  Today d = today();
  w.write(winpath::resolve(winpath::join(folder, "alumnos.dbf")), d.year, d.month, d.day);
  return {"alumnos.dbf", w.recordCount()};
}

}  // namespace

SampleCounts writeSampleSchool(const std::string& folder, const SampleOptions& options) {
  const SampleSchool school = buildSampleSchool(options);
  if (!winpath::folderExists(folder) && !winpath::createFolders(folder))
    throw Error("No se puede crear la carpeta " + folder);
  SampleCounts counts;
  counts.push_back(writeAsignat(folder, school));
  counts.push_back(writeCentro(folder, school));
  counts.push_back(writeProfesor(folder, school));
  counts.push_back(writeAsigalum(folder, school));
  counts.push_back(writeAulas(folder, school));
  counts.push_back(writeGrupos(folder, school));
  counts.push_back(writeAlumnos(folder, school));
  counts.push_back(writeHorgrup(folder, school));
  counts.push_back(writeHorprof(folder, school));
  counts.push_back(writeLhortipo(folder, school));
  return counts;
}

}  // namespace pasarela::sample

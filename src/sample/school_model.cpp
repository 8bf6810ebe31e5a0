#include "sample/school_model.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "base/error.h"
#include "sample/sample_names.h"
#include "sample/sample_random.h"

namespace pasarela::sample {

namespace {

struct LevelDef {
  const char* code;
  int years;
  char shift;
  int groupsPerYear[4];
  const char* label;  // "ESO", "Batx."
  int centre;         // index into the centres
};

// 40 groups a scale unit.
constexpr LevelDef kLevels[] = {
    {"ESO", 4, 'M', {6, 6, 5, 5}, "ESO", 0}, {"BAC", 2, 'M', {4, 4}, "Batx.", 0},
    {"CFM", 2, 'M', {2, 2}, "SMR", 0},       {"CFS", 2, 'V', {2, 2}, "DAW", 0},
    {"FPB", 2, 'M', {1, 1}, "FPB", 1},
};

struct SubjectDef {
  const char* level;
  int year;          // 0: every year of the level
  const char* code;  // three letters
  const char* castilian;
  const char* valencian;
  const char* hours;  // Horsemte as typed
  const char* department;
  bool optional;
  char field;
  bool splitGroup;  // taught by two teachers at once
};

constexpr SubjectDef kSubjects[] = {
    {"ESO", 0, "VAL", "Valenciano: Lengua y Literatura", "Valencià: Llengua i Literatura", "4", "Valencià",
     false, 'L', true},
    {"ESO", 0, "CAS", "Lengua Castellana y Literatura", "Llengua Castellana i Literatura", "4", "Castellà",
     false, 'L', true},
    {"ESO", 0, "ING", "Inglés", "Anglés", "3", "Anglés", false, ' ', true},
    {"ESO", 0, "MAT", "Matemáticas", "Matemàtiques", "4", "Matemàtiques", false, 'C', true},
    {"ESO", 0, "GEH", "Geografía e Historia", "Geografia i Història", "3", "Geografia i Història", false, 'L',
     false},
    {"ESO", 0, "BIG", "Biología y Geología", "Biologia i Geologia", "3", "Biologia i Geologia", false, 'C',
     false},
    {"ESO", 0, "FIQ", "Física y Química", "Física i Química", "3 ", "Física i Química", false, 'C', true},
    {"ESO", 0, "EFI", "Educación Física", "Educació Física", "2", "Educació Física", false, ' ', false},
    {"ESO", 0, "TEC", "Tecnología y Digitalización", "Tecnologia i Digitalització", " 2", "Tecnologia", false,
     'C', true},
    {"ESO", 0, "MUS", "Música", "Música", "2", "Música", false, ' ', false},
    {"ESO", 0, "EPV", "Educación Plástica, Visual y Audiovisual", "Educació Plàstica, Visual i Audiovisual",
     "2", "Dibuix", false, ' ', false},
    {"ESO", 0, "TUT", "Tutoría", "Tutoria", "1", "Orientació", false, ' ', false},
    {"ESO", 0, "REL", "Religión", "Religió", "1", "Religió", true, ' ', false},
    {"ESO", 0, "ATE", "Atención Educativa", "Atenció Educativa", "1", "Orientació", true, ' ', false},
    {"ESO", 0, "FRA", "Francés", "Francés", "2", "Francés", true, 'L', false},
    {"ESO", 0, "TTE", "Taller de Teatro", "Taller de Teatre", "2", "Castellà", true, 'L', false},
    {"ESO", 0, "ROB", "Robótica", "Robòtica", "2", "Tecnologia", true, 'C', false},
    {"ESO", 0, "CCL", "Cultura Clásica", "Cultura Clàssica", "2", "Llatí", true, 'L', false},
    {"ESO", 0, "REM", "Refuerzo de Matemáticas", "Reforç de Matemàtiques", "2", "Matemàtiques", true, 'C',
     false},
    {"BAC", 0, "VAL", "Valenciano: Lengua y Literatura", "Valencià: Llengua i Literatura", "3", "Valencià",
     false, 'L', false},
    {"BAC", 0, "CAS", "Lengua Castellana y Literatura", "Llengua Castellana i Literatura", "3", "Castellà",
     false, 'L', false},
    {"BAC", 0, "ING", "Inglés", "Anglés", "3", "Anglés", false, ' ', false},
    {"BAC", 0, "FIL", "Filosofía", "Filosofia", "3", "Filosofia", false, 'L', false},
    {"BAC", 2, "HES", "Historia de España", "Història d'Espanya", "3", "Geografia i Història", false, 'L',
     false},
    {"BAC", 1, "EFI", "Educación Física", "Educació Física", "2", "Educació Física", false, ' ', false},
    {"BAC", 0, "TUT", "Tutoría", "Tutoria", "1", "Orientació", false, ' ', false},
    {"BAC", 0, "MAT", "Matemáticas", "Matemàtiques", "4", "Matemàtiques", true, 'C', false},
    {"BAC", 0, "MCS", "Matemáticas Aplicadas a las CCSS", "Matemàtiques Aplicades a les CCSS", "4",
     "Matemàtiques", true, 'L', false},
    {"BAC", 0, "FIS", "Física", "Física", "4", "Física i Química", true, 'C', true},
    {"BAC", 0, "QUI", "Química", "Química", "4", "Física i Química", true, 'C', true},
    {"BAC", 0, "BIO", "Biología", "Biologia", "4", "Biologia i Geologia", true, 'C', true},
    {"BAC", 0, "DTE", "Dibujo Técnico", "Dibuix Tècnic", "4", "Dibuix", true, 'C', false},
    {"BAC", 0, "ECO", "Economía", "Economia", "4", "Economia", true, 'L', false},
    {"BAC", 0, "LAT", "Latín", "Llatí", "4", "Llatí", true, 'L', false},
    {"BAC", 0, "GRE", "Griego", "Grec", "4", "Llatí", true, 'L', false},
    {"BAC", 0, "HAR", "Historia del Arte", "Història de l'Art", "4", "Geografia i Història", true, 'L',
     false},
    {"BAC", 0, "PSI", "Psicología", "Psicologia", "2", "Filosofia", true, ' ', false},
    {"BAC", 0, "TIN", "Tecnología e Ingeniería", "Tecnologia i Enginyeria", "4", "Tecnologia", true, 'C',
     false},
    {"CFM", 1, "MME", "Montaje y Mantenimiento de Equipos", "Muntatge i Manteniment d'Equips", "7",
     "Informàtica", false, ' ', true},
    {"CFM", 1, "SOM", "Sistemas Operativos Monopuesto", "Sistemes Operatius Monolloc", "5", "Informàtica",
     false, ' ', false},
    {"CFM", 1, "RLO", "Redes Locales", "Xarxes Locals", "7", "Informàtica", false, ' ', true},
    {"CFM", 1, "APO", "Aplicaciones Ofimáticas", "Aplicacions Ofimàtiques", "8", "Informàtica", false, ' ',
     false},
    {"CFM", 1, "FOL", "Formación y Orientación Laboral", "Formació i Orientació Laboral", "3", "FOL", false,
     ' ', false},
    {"CFM", 2, "SOR", "Sistemas Operativos en Red", "Sistemes Operatius en Xarxa", "6", "Informàtica", false,
     ' ', true},
    {"CFM", 2, "SEG", "Seguridad Informática", "Seguretat Informàtica", "5", "Informàtica", false, ' ',
     false},
    {"CFM", 2, "SRE", "Servicios en Red", "Serveis en Xarxa", "7", "Informàtica", false, ' ', true},
    {"CFM", 2, "APW", "Aplicaciones Web", "Aplicacions Web", "4", "Informàtica", false, ' ', false},
    {"CFM", 2, "EIE", "Empresa e Iniciativa Emprendedora", "Empresa i Iniciativa Emprenedora", "3", "FOL",
     false, ' ', false},
    {"CFM", 2, "ING", "Inglés Técnico", "Anglés Tècnic", "2", "Anglés", false, ' ', false},
    {"CFM", 2, "FCT", "Formación en Centros de Trabajo", "Formació en Centres de Treball", "", "Informàtica",
     false, ' ', false},
    {"CFS", 1, "PRG", "Programación", "Programació", "8", "Informàtica", false, ' ', true},
    {"CFS", 1, "BDD", "Bases de Datos", "Bases de Dades", "6", "Informàtica", false, ' ', false},
    {"CFS", 1, "LMS", "Lenguajes de Marcas", "Llenguatges de Marques", "4", "Informàtica", false, ' ', false},
    {"CFS", 1, "ENT", "Entornos de Desarrollo", "Entorns de Desenvolupament", "3", "Informàtica", false, ' ',
     false},
    {"CFS", 1, "SIN", "Sistemas Informáticos", "Sistemes Informàtics", "5", "Informàtica", false, ' ', false},
    {"CFS", 1, "FOL", "Formación y Orientación Laboral", "Formació i Orientació Laboral", "3", "FOL", false,
     ' ', false},
    {"CFS", 1, "ING", "Inglés Técnico", "Anglés Tècnic", "2", "Anglés", false, ' ', false},
    {"CFS", 2, "DWC", "Desarrollo Web en Entorno Cliente", "Desenvolupament Web en Entorn Client", "6",
     "Informàtica", false, ' ', true},
    {"CFS", 2, "DWS", "Desarrollo Web en Entorno Servidor", "Desenvolupament Web en Entorn Servidor", "8",
     "Informàtica", false, ' ', true},
    {"CFS", 2, "DAW", "Despliegue de Aplicaciones Web", "Desplegament d'Aplicacions Web", "4", "Informàtica",
     false, ' ', false},
    {"CFS", 2, "DIW", "Diseño de Interfaces Web", "Disseny d'Interfícies Web", "6", "Informàtica", false, ' ',
     false},
    {"CFS", 2, "EIE", "Empresa e Iniciativa Emprendedora", "Empresa i Iniciativa Emprenedora", "3", "FOL",
     false, ' ', false},
    {"CFS", 2, "PRY", "Proyecto", "Projecte", "0", "Informàtica", false, ' ', false},
    {"CFS", 2, "FCT", "Formación en Centros de Trabajo", "Formació en Centres de Treball", "", "Informàtica",
     false, ' ', false},
    {"FPB", 0, "CSO", "Comunicación y Sociedad", "Comunicació i Societat", "8", "Castellà", false, 'L', true},
    {"FPB", 0, "CAP", "Ciencias Aplicadas", "Ciències Aplicades", "6", "Matemàtiques", false, 'C', false},
    {"FPB", 0, "MEQ", "Montaje y Mantenimiento de Sistemas", "Muntatge i Manteniment de Sistemes", "9",
     "Informàtica", false, ' ', true},
    {"FPB", 0, "OMA", "Operaciones Auxiliares", "Operacions Auxiliars", "6", "Informàtica", false, ' ',
     false},
    {"FPB", 0, "TUT", "Tutoría", "Tutoria", "1", "Orientació", false, ' ', false},
    {"FPB", 2, "FCT", "Formación en Centros de Trabajo", "Formació en Centres de Treball", "", "Informàtica",
     false, ' ', false},
};

// Further optional subjects, offered in numbered editions until the school
// has its share of subjects.
struct ExtraDef {
  const char* code;  // two letters
  const char* castilian;
  const char* valencian;
  const char* department;
};

constexpr ExtraDef kExtras[] = {
    {"AL", "Alemán", "Alemany", "Anglés"},
    {"IT", "Italiano", "Italià", "Francés"},
    {"OR", "Oratoria", "Oratòria", "Castellà"},
    {"EM", "Emprendimiento", "Emprenedoria", "Economia"},
    {"PR", "Programación", "Programació", "Tecnologia"},
    {"AM", "Educación Ambiental", "Educació Ambiental", "Biologia i Geologia"},
    {"AU", "Comunicación Audiovisual", "Comunicació Audiovisual", "Dibuix"},
    {"CC", "Canto Coral", "Cant Coral", "Música"},
    {"LU", "Literatura Universal", "Literatura Universal", "Valencià"},
    {"AN", "Antropología", "Antropologia", "Filosofia"},
    {"TL", "Taller de Lectura", "Taller de Lectura", "Valencià"},
    {"ES", "Ajedrez", "Escacs", "Matemàtiques"},
};

struct LevelYear {
  const LevelDef* level;
  int year;
  std::string course() const { return std::to_string(year) + level->code; }
};

std::string twoDigits(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string date(int y, int m, int d) { return std::to_string(y) + twoDigits(m) + twoDigits(d); }

int lessonsOf(const std::string& hours) {
  if (hours.empty()) return 0;
  int v = std::atoi(hours.c_str());
  return v > 0 ? v : 0;
}

const char* kGroupLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kGroupLetterCount = 62;
constexpr char kShifts[] = {'M', 'V', 'N', 'T'};

struct SubjectRef {
  std::size_t index;
  bool split;  // taught by two teachers at once
};

class Builder {
 public:
  explicit Builder(const SampleOptions& o) : opt_(o), rnd_(o.seed * 0x2545F4914F6CDD1Dull + 7) {}

  SampleSchool build() {
    centres();
    levelYears();
    subjects();
    groups();
    rooms();
    teachers();
    lessons();
    students();
    return std::move(s_);
  }

 private:
  void centres() {
    s_.centres.push_back({"46012345", "IES Lluís Vives", "C/ Sant Pau, 4", "València", "46002", "963451200"});
    s_.centres.push_back(
        {"46012357", "SES Alboraia - Aulari Nord", "Av. de la Mar, 17", "Alboraia", "46120", "961853300"});
    // Main centre: morning slots 1 to 7, afternoon 8 to 14; breaks numbered 0.
    const char* main[][2] = {{"08:00", "08:55"}, {"08:55", "09:50"}, {"09:50", "10:45"}, {"11:15", "12:10"},
                             {"12:10", "13:05"}, {"13:05", "14:00"}, {"14:00", "14:55"}, {"15:00", "15:55"},
                             {"15:55", "16:50"}, {"16:50", "17:45"}, {"18:05", "19:00"}, {"19:00", "19:55"},
                             {"19:55", "20:50"}, {"20:50", "21:45"}};
    for (int i = 0; i < 14; ++i) {
      if (i == 3) s_.templateLines.push_back({"46012345", 0, "10:45", "11:15", 'R'});
      if (i == 10) s_.templateLines.push_back({"46012345", 0, "17:45", "18:05", 'R'});
      s_.templateLines.push_back({"46012345", i + 1, main[i][0], main[i][1], 'L'});
    }
    const char* annex[][2] = {{"08:30", "09:25"}, {"09:25", "10:20"}, {"10:20", "11:15"}, {"11:45", "12:40"},
                              {"12:40", "13:35"}, {"13:35", "14:30"}, {"14:30", "15:25"}};
    for (int i = 0; i < 7; ++i) {
      if (i == 3) s_.templateLines.push_back({"46012357", 0, "11:15", "11:45", 'R'});
      s_.templateLines.push_back({"46012357", i + 1, annex[i][0], annex[i][1], 'L'});
    }
  }

  void levelYears() {
    for (const LevelDef& l : kLevels)
      for (int y = 1; y <= l.years; ++y) slots_.push_back({&l, y});
  }

  void addSubject(const std::string& code, const std::string& cas, const std::string& val,
                  const std::string& litresv, const std::string& hours, const std::string& dept,
                  bool optional, char field, bool split, const std::string& course) {
    Subject sub;
    sub.code = code;
    sub.castilianName = cas;
    sub.valencianName = val;
    sub.shortCode = litresv;
    sub.castilianShortCode = litresv;
    sub.weeklyHours = hours;
    sub.lessons = lessonsOf(hours);
    sub.department = dept;
    sub.optional = optional;
    sub.field = field;
    s_.subjects.push_back(sub);
    SubjectRef ref{s_.subjects.size() - 1, split};
    (optional ? optionalsOf_ : coreOf_)[course].push_back(ref);
  }

  void subjects() {
    for (const LevelYear& ly : slots_) {
      for (const SubjectDef& d : kSubjects) {
        if (ly.level->code != std::string(d.level) || (d.year != 0 && d.year != ly.year)) continue;
        std::string litresv = d.code;
        if (litresv == "ATE") litresv = "";  // no short code: not a timetabled subject for Tempolis
        addSubject(ly.course() + d.code, d.castilian, d.valencian, litresv, d.hours, d.department, d.optional,
                   d.field, d.splitGroup, ly.course());
      }
    }
    // Numbered optional editions over the ESO and Bachillerato years until
    // the school has 300 subjects a scale unit.
    const std::size_t target = 300u * static_cast<std::size_t>(opt_.scale);
    std::vector<LevelYear> academic;
    for (const LevelYear& ly : slots_)
      if (ly.level->code == std::string("ESO") || ly.level->code == std::string("BAC"))
        academic.push_back(ly);
    int edition = 1;
    while (s_.subjects.size() < target) {
      for (const ExtraDef& e : kExtras) {
        for (const LevelYear& ly : academic) {
          if (s_.subjects.size() >= target) break;
          std::string cas = e.castilian, val = e.valencian;
          if (edition > 1) {
            cas += " " + std::to_string(edition);
            val += " " + std::to_string(edition);
          }
          const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
          std::string litresv = std::string(e.code) + digits[edition % 36];
          addSubject(ly.course() + e.code + twoDigits(edition % 100), cas, val, litresv,
                     rnd_.chance(20) ? "3" : "2", e.department, true, ' ', false, ly.course());
        }
      }
      ++edition;
    }
    // An old subject the enrolments still name although the catalogue lost it.
    missingSubject_ = "1ESOXYZ";
  }

  void groups() {
    // Groups a scale unit by level and year, handed out round-robin so that
    // large scales spread over all years; 62 letters a year, then the same
    // codes again in another shift.
    std::vector<int> wanted;
    for (const LevelYear& ly : slots_) wanted.push_back(ly.level->groupsPerYear[ly.year - 1] * opt_.scale);
    std::vector<int> made(slots_.size(), 0);
    bool more = true;
    while (more) {
      more = false;
      for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (made[i] >= wanted[i]) continue;
        more = true;
        const LevelYear& ly = slots_[i];
        int n = made[i]++;
        Group g;
        g.code = ly.course() + kGroupLetters[n % kGroupLetterCount];
        int round = n / kGroupLetterCount;
        g.shift = round == 0 ? ly.level->shift : kShifts[(round + (ly.level->shift == 'V')) % 4];
        g.label = std::to_string(ly.year) +
                  (ly.year == 1   ? "r "
                   : ly.year == 2 ? "n "
                   : ly.year == 3 ? "r "
                                  : "t ") +
                  ly.level->label + " " + kGroupLetters[n % kGroupLetterCount];
        s_.groups.push_back(g);
        groupSlot_.push_back(i);
      }
    }
  }

  void rooms() {
    const char* buildings = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t i = 0; i < s_.groups.size(); ++i) {
      int building = static_cast<int>(i / 30), floor = static_cast<int>(i % 30) / 10,
          number = static_cast<int>(i % 10) + 1;
      Room r;
      r.code = std::string(1, buildings[building % 26]) + std::to_string(floor) + twoDigits(number);
      r.name = "Aula " + r.code;
      r.capacity = 30;
      r.floor = std::to_string(floor);
      s_.groups[i].room = r.code;
      s_.rooms.push_back(r);
    }
    struct Special {
      const char* code;
      const char* name;
      int capacity;
    };
    const Special specials[] = {{"LFIS", "Laboratori de Física", 24},
                                {"LQUI", "Laboratori de Química", 24},
                                {"LBIO", "Laboratori de Biologia", 24},
                                {"INF", "Aula d'Informàtica", 25},
                                {"TEC", "Taller de Tecnologia", 24},
                                {"GIM", "Gimnàs", 60},
                                {"MUS", "Aula de Música", 30},
                                {"PLA", "Aula de Plàstica", 30},
                                {"BIBL", "Biblioteca", 40},
                                {"TALLER", "Taller de Muntatge d'Equips", 20}};
    for (int k = 0; k < opt_.scale; ++k)
      for (const Special& sp : specials) {
        Room r;
        r.code = sp.code + (k == 0 ? std::string() : std::to_string(k + 1));
        r.name = std::string(sp.name) + (k == 0 ? std::string() : " " + std::to_string(k + 1));
        r.capacity = sp.capacity;
        r.floor = "0";
        s_.rooms.push_back(r);
        if (std::string(sp.code) == "INF") computerRooms_.push_back(r.code);
        if (std::string(sp.code) == "LFIS" || std::string(sp.code) == "LQUI") labs_.push_back(r.code);
        if (std::string(sp.code) == "GIM") gyms_.push_back(r.code);
      }
  }

  std::string personName(bool female) {
    const std::string& first = rnd_.pick(surnames());
    std::string second = rnd_.pick(surnames());
    const std::string& given = rnd_.pick(female ? femaleNames() : maleNames());
    return first + " " + second + ", " + given;
  }

  std::int64_t newDni() {
    for (;;) {
      std::int64_t d = rnd_.between(10000000, 79999999);
      if (dnis_.insert(d).second) return d;
    }
  }

  void teachers() {
    // Teaching load by department decides how many teachers each has.
    std::map<std::string, int> load;
    for (std::size_t gi = 0; gi < s_.groups.size(); ++gi) {
      const std::string course = slots_[groupSlot_[gi]].course();
      for (const SubjectRef& r : coreOf_[course]) {
        const Subject& sub = s_.subjects[r.index];
        load[sub.department] += sub.lessons * (r.split ? 2 : 1);
      }
      for (const SubjectRef& r : offeredOptionals(gi))
        load[s_.subjects[r.index].department] += s_.subjects[r.index].lessons;
    }
    int total = 0;
    for (auto& [dept, l] : load) total += l;
    const int teacherCount = 60 * opt_.scale;
    const int leavers = 3 * opt_.scale;
    const int active = teacherCount - leavers;
    for (auto& [dept, l] : load) {
      int n = std::max(1, (l * active + total / 2) / total);
      for (int i = 0; i < n; ++i) departmentTeachers_[dept].push_back(-1);
    }
    // Names: a block sharing the initials G, P, J (five a scale unit up to
    // twelve, so from scale 2 on more than nine teachers share one
    // abbreviation), a few
    // data-entry quirks, the rest at random.
    std::vector<std::string> names;
    for (int i = 0; i < std::min(5 * opt_.scale, 12); ++i)
      names.push_back(rnd_.pick(gSurnames()) + " " + rnd_.pick(pSurnames()) + ", " + rnd_.pick(jNames()));
    names.push_back("Ferrer  Soler, Anna");   // a doubled blank
    names.push_back("Martí Sendra, Amparo");  // MSA, as the next one
    names.push_back("Moreno Sanz, Alícia");
    names.push_back("Sánchez de la Fuente, María");
    names.push_back("Martínez de la Rosa, Pilar");
    while (static_cast<int>(names.size()) < teacherCount) names.push_back(personName(rnd_.chance(55)));
    // Shuffle so that the block and the quirks are spread over the table.
    for (std::size_t i = names.size(); i > 1; --i)
      std::swap(names[i - 1], names[static_cast<std::size_t>(rnd_.below(static_cast<int>(i)))]);

    std::vector<std::string> depts;
    for (auto& [dept, slots] : departmentTeachers_)
      for (std::size_t i = 0; i < slots.size(); ++i) depts.push_back(dept);
    while (static_cast<int>(depts.size()) < teacherCount)
      depts.push_back(depts[static_cast<std::size_t>(rnd_.below(static_cast<int>(depts.size())))]);
    for (std::size_t i = depts.size(); i > 1; --i)
      std::swap(depts[i - 1], depts[static_cast<std::size_t>(rnd_.below(static_cast<int>(i)))]);
    // Every department first gets one teacher, so that rounding never
    // leaves a department's lessons without anyone to teach them.
    std::set<std::string> seen;
    std::stable_partition(depts.begin(), depts.end(),
                          [&](const std::string& d) { return seen.insert(d).second; });
    for (int i = 0; i < teacherCount; ++i) {
      Teacher t;
      t.name = names[static_cast<std::size_t>(i)];
      t.dni = newDni();
      t.startDate = date(rnd_.between(1995, 2025), 9, 1);
      t.phone = "6" + std::to_string(rnd_.between(10000000, 99999999));
      s_.teachers.push_back(t);
    }
    // Leavers: spread over the table; they teach nothing any more.
    std::set<int> leaving;
    while (static_cast<int>(leaving.size()) < leavers) leaving.insert(rnd_.below(teacherCount));
    int next = 0;
    for (int i = 0; i < teacherCount; ++i) {
      Teacher& t = s_.teachers[static_cast<std::size_t>(i)];
      if (leaving.count(i)) {
        t.department = rnd_.pick(depts);
        t.leavingDate = date(rnd_.between(2023, 2026), rnd_.between(1, 12), rnd_.between(1, 28));
        continue;
      }
      t.department = depts[static_cast<std::size_t>(next)];
      auto& slots = departmentTeachers_[t.department];
      auto free = std::find(slots.begin(), slots.end(), -1);
      if (free != slots.end())
        *free = i;
      else
        slots.push_back(i);
      ++next;
    }
    // Departments left with unfilled places (rounding) lose them.
    for (auto& [dept, slots] : departmentTeachers_)
      slots.erase(std::remove(slots.begin(), slots.end(), -1), slots.end());
    // Active teachers without an identity number, when asked for.
    int without = 0;
    for (int i = 0; i < teacherCount && without < opt_.teachersWithoutDni; ++i)
      if (!leaving.count(i)) {
        s_.teachers[static_cast<std::size_t>(i)].dni = 0;
        ++without;
      }
    teacherLoad_.assign(static_cast<std::size_t>(teacherCount), 0);
  }

  std::vector<SubjectRef> offeredOptionals(std::size_t gi) {
    const std::string course = slots_[groupSlot_[gi]].course();
    const auto& all = optionalsOf_[course];
    std::vector<SubjectRef> out;
    // The named optionals of the year, then five numbered editions in turn.
    std::vector<SubjectRef> editions;
    for (const SubjectRef& r : all) {
      if (s_.subjects[r.index].code.size() <= 7)
        out.push_back(r);
      else
        editions.push_back(r);
    }
    if (!editions.empty()) {
      std::size_t nth = groupIndexInCourse(gi);
      for (std::size_t k = 0; k < 5 && k < editions.size(); ++k)
        out.push_back(editions[(nth * 5 + k) % editions.size()]);
    }
    return out;
  }

  std::size_t groupIndexInCourse(std::size_t gi) {
    std::size_t n = 0;
    for (std::size_t j = 0; j < gi; ++j)
      if (groupSlot_[j] == groupSlot_[gi]) ++n;
    return n;
  }

  std::int64_t teacherFor(const std::string& department, int lessons) {
    auto& ids = departmentTeachers_[department];
    if (ids.empty()) return 0;
    int best = ids[0];
    for (int id : ids)
      if (teacherLoad_[static_cast<std::size_t>(id)] < teacherLoad_[static_cast<std::size_t>(best)])
        best = id;
    teacherLoad_[static_cast<std::size_t>(best)] += lessons;
    return s_.teachers[static_cast<std::size_t>(best)].dni;
  }

  std::string roomFor(const Subject& sub, const Group& g) {
    const std::string acr = sub.code.substr(4, 3);
    if (sub.department == "Informàtica") return rnd_.pick(computerRooms_);
    if (acr == "EFI") return rnd_.pick(gyms_);
    if (acr == "FIQ" || acr == "FIS" || acr == "QUI") return rnd_.pick(labs_);
    return g.room;
  }

  void lessons() {
    for (std::size_t gi = 0; gi < s_.groups.size(); ++gi) {
      Group& g = s_.groups[gi];
      const LevelYear& ly = slots_[groupSlot_[gi]];
      const std::string centre = s_.centres[static_cast<std::size_t>(ly.level->centre)].code;
      const int firstSlot = (g.shift == 'V' || g.shift == 'T') ? 8 : 1;
      int cursor = rnd_.below(35);
      auto place = [&](int at, int& day, int& slot) {
        at %= 35;
        day = at / 7 + 1;
        slot = firstSlot + at % 7;
      };
      auto addLines = [&](const Subject& sub, std::int64_t dni, int start, const std::string& room) {
        for (int h = 0; h < sub.lessons; ++h) {
          Lesson l;
          l.group = g.code;
          l.subject = sub.code;
          l.dni = dni;
          place(start + h, l.day, l.slot);
          l.room = room;
          l.centre = centre;
          s_.lessons.push_back(l);
        }
      };
      for (const SubjectRef& r : coreOf_[ly.course()]) {
        const Subject& sub = s_.subjects[r.index];
        if (sub.lessons == 0) continue;
        std::int64_t dni = teacherFor(sub.department, sub.lessons);
        if (sub.code.substr(4, 3) == "TUT") g.tutor = dni;
        addLines(sub, dni, cursor, roomFor(sub, g));
        if (r.split)
          addLines(sub, teacherFor(sub.department, sub.lessons), cursor, rnd_.pick(computerRooms_));
        cursor += sub.lessons;
      }
      // Optional subjects run side by side in one band of the week.
      int band = 0;
      for (const SubjectRef& r : offeredOptionals(gi)) {
        const Subject& sub = s_.subjects[r.index];
        addLines(sub, teacherFor(sub.department, sub.lessons), cursor, roomFor(sub, g));
        band = std::max(band, sub.lessons);
      }
      cursor += band;
    }
    // A few lines whose teacher has not been entered yet.
    for (int i = 0; i < opt_.scale * 2 && !s_.lessons.empty(); ++i) {
      Lesson l = s_.lessons[static_cast<std::size_t>(rnd_.below(static_cast<int>(s_.lessons.size())))];
      l.dni = 0;
      s_.lessons.push_back(l);
    }
  }

  void students() {
    int code = rnd_.between(10000, 19999);
    const char* obs[] = {
        "Alumne amb adaptació curricular significativa.\r\nRevisar a la sessió d'avaluació.",
        "Exempt d'Educació Física per lesió (certificat mèdic).",
        "Nuevo ingreso procedente de otro centro.\r\nPendiente de recibir el historial académico.",
        "Al·lèrgia als fruits secs. Informat el menjador.",
        "Beca de transporte concedida el curso pasado.",
        "Família monoparental: comunicacions només a la mare.",
    };
    const char* comments[] = {
        "Bon rendiment en totes les matèries.",
        "Faltas de asistencia reiteradas en el primer trimestre; se ha citado a la familia.",
        "Participa al programa de reforç de la vesprada.",
    };
    for (std::size_t gi = 0; gi < s_.groups.size(); ++gi) {
      Group& g = s_.groups[gi];
      const LevelYear& ly = slots_[groupSlot_[gi]];
      const int count = 20 + rnd_.between(-3, 3);
      g.students = count;
      const auto& core = coreOf_[ly.course()];
      const auto optionals = offeredOptionals(gi);
      for (int k = 0; k < count; ++k) {
        Student st;
        code += rnd_.between(1, 7);
        st.code = rnd_.chance(10) ? std::to_string(10000000 + code * 3 % 9000000) : std::to_string(code);
        bool female = rnd_.chance(50);
        st.sex = female ? 'M' : 'H';
        st.name = personName(female);
        st.group = g.code;
        st.course = ly.course();
        int r = rnd_.below(100);
        st.repeats = r < 8 ? "1" : r < 95 ? "0" : "";
        int birthYear = 2026 - 11 - ly.year - (ly.level->code == std::string("ESO") ? 0 : 4);
        st.birthDate = date(birthYear - (st.repeats == "1"), rnd_.between(1, 12), rnd_.between(1, 28));
        st.dni = rnd_.chance(70) ? std::to_string(rnd_.between(20000000, 59999999)) +
                                       "TRWAGMYFPDXBNJZSQVHLCKE"[rnd_.below(23)]
                                 : "";
        st.address = rnd_.pick(streets()) + ", " + std::to_string(rnd_.between(1, 120));
        st.town = rnd_.pick(towns());
        st.postCode = std::to_string(rnd_.between(46001, 46980));
        st.phone = "96" + std::to_string(rnd_.between(1000000, 9999999));
        st.father = personName(false);
        st.mother = personName(true);
        st.enrolDate = date(2026, 7, rnd_.between(1, 28));
        if (rnd_.chance(30)) st.notes = obs[rnd_.below(6)];
        if (rnd_.chance(10)) st.comment = comments[rnd_.below(3)];
        // Core subjects (not the tutorial), then one or two optionals.
        for (const SubjectRef& ref : core) {
          const Subject& sub = s_.subjects[ref.index];
          if (sub.code.substr(4, 3) == "TUT") continue;
          s_.enrolments.push_back({st.code, sub.code, g.code});
        }
        if (!optionals.empty()) {
          int n = std::min<int>(static_cast<int>(optionals.size()), rnd_.between(1, 2));
          int first = rnd_.below(static_cast<int>(optionals.size()));
          for (int i = 0; i < n; ++i)
            s_.enrolments.push_back(
                {st.code,
                 s_.subjects[optionals[static_cast<std::size_t>((first + i) %
                                                                static_cast<int>(optionals.size()))]
                                 .index]
                     .code,
                 g.code});
        }
        s_.students.push_back(st);
      }
    }
    // Students not placed in a group yet, and one whose group was dissolved
    // (only the course still matches a group).
    for (int i = 0; i < opt_.scale && s_.students.size() > 4; ++i) {
      Student& unplaced =
          s_.students[static_cast<std::size_t>(rnd_.below(static_cast<int>(s_.students.size())))];
      unplaced.group = "";
      unplaced.placed = false;
    }
    for (Student& st : s_.students)
      if (st.course == "4ESO" && st.placed) {
        st.group = "4ESOX";
        s_.enrolments.push_back({st.code, missingSubject_, st.group});
        break;
      }
  }

  const SampleOptions& opt_;
  SampleRandom rnd_;
  SampleSchool s_;
  std::vector<LevelYear> slots_;
  std::vector<std::size_t> groupSlot_;
  std::map<std::string, std::vector<SubjectRef>> coreOf_, optionalsOf_;
  std::map<std::string, std::vector<int>> departmentTeachers_;
  std::vector<int> teacherLoad_;
  std::set<std::int64_t> dnis_;
  std::vector<std::string> computerRooms_, labs_, gyms_;
  std::string missingSubject_;
};

}  // namespace

SampleSchool buildSampleSchool(const SampleOptions& options) {
  if (options.scale < 1 || options.scale > 100) throw Error("La escala debe estar entre 1 y 100");
  return Builder(options).build();
}

}  // namespace pasarela::sample

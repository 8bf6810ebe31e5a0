#include "sample/fake_solution.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "data/table.h"
#include "data/winpath.h"

namespace pasarela::sample {

namespace {

struct Slot {
  int dia, hora;
};

}  // namespace

std::vector<SolutionRow> planTimetable(const std::vector<Assignment>& assignments,
                                       const std::vector<std::string>& rooms,
                                       const FakeSolutionOptions& options) {
  std::mt19937 random(options.seed);
  std::vector<Slot> week;
  for (int d = 1; d <= options.days; ++d)
    for (int h = 1; h <= options.slotsPerDay; ++h) week.push_back({d, h});

  // What is taken: (who, day, slot).
  std::set<std::tuple<std::string, int, int>> teacherBusy, roomBusy;
  std::map<std::tuple<std::string, int, int>, int> groupLessons;
  std::vector<SolutionRow> rows;
  for (const Assignment& a : assignments) {
    const std::string group = a.nivel + "|" + a.curso + "|" + a.grupo;
    std::set<int> daysUsed;
    const int sessions = std::max(1, std::min(a.sessions, static_cast<int>(week.size())));
    for (int s = 0; s < sessions; ++s) {
      std::shuffle(week.begin(), week.end(), random);
      // Lessons of one assignment go to different days while days remain.
      std::stable_partition(week.begin(), week.end(), [&](const Slot& x) { return !daysUsed.count(x.dia); });
      SolutionRow row{0, 0, "", a.prof, a.nivel, a.curso, a.asig, a.grupo};
      for (const Slot& slot : week) {
        if (!a.prof.empty() && teacherBusy.count({a.prof, slot.dia, slot.hora})) continue;
        auto groupKey = std::make_tuple(group, slot.dia, slot.hora);
        auto inGroup = groupLessons.find(groupKey);
        if (inGroup != groupLessons.end() && inGroup->second >= std::max(1, options.groupParallel)) continue;
        std::string room;
        if (!rooms.empty()) {
          size_t start = random() % rooms.size();
          for (size_t i = 0; i < rooms.size() && room.empty(); ++i) {
            const std::string& r = rooms[(start + i) % rooms.size()];
            if (!roomBusy.count({r, slot.dia, slot.hora})) room = r;
          }
          if (room.empty()) continue;
          roomBusy.insert({room, slot.dia, slot.hora});
        }
        if (!a.prof.empty()) teacherBusy.insert({a.prof, slot.dia, slot.hora});
        ++groupLessons[groupKey];
        daysUsed.insert(slot.dia);
        row.dia = slot.dia;
        row.hora = slot.hora;
        row.aula = room;
        break;
      }
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

void writeSolutionTable(const std::string& windowsPath, const std::vector<SolutionRow>& rows) {
  // No index of an earlier table may outlive it.
  const std::string name = winpath::fileNamePart(windowsPath);
  const std::string mdx =
      winpath::join(winpath::folderPart(windowsPath), name.substr(0, name.rfind('.')) + ".MDX");
  if (winpath::fileExists(mdx)) winpath::deleteFile(mdx);
  Table soluc;
  soluc.setDatabaseName("");
  soluc.setTableName(windowsPath);
  soluc.createTable({
      {"DIA", FieldKind::Integer, 0},
      {"HORA", FieldKind::Integer, 0},
      {"AULA", FieldKind::String, 4},
      {"PROF", FieldKind::String, 4},
      {"NIVEL", FieldKind::String, 5},
      {"CURSO", FieldKind::String, 3},
      {"ASIG", FieldKind::String, 4},
      {"GRUPO", FieldKind::String, 2},
  });
  soluc.open();
  for (const SolutionRow& r : rows) {
    soluc.append();
    soluc.setInteger("DIA", r.dia);
    soluc.setInteger("HORA", r.hora);
    soluc.setString("AULA", r.aula);
    soluc.setString("PROF", r.prof);
    soluc.setString("NIVEL", r.nivel);
    soluc.setString("CURSO", r.curso);
    soluc.setString("ASIG", r.asig);
    soluc.setString("GRUPO", r.grupo);
    soluc.post();
  }
  soluc.close();
}

FakeSolutionSummary writeFakeSolution(const FakeSolutionOptions& options) {
  std::vector<Assignment> assignments;
  {
    Table asigt;
    asigt.setDatabaseName("C:\\KTEMP");
    asigt.setTableName("ASIGT.DBF");
    asigt.open();
    for (asigt.first(); !asigt.eof(); asigt.next()) {
      Assignment a;
      a.asig = asigt.asString("CASIG");
      a.prof = asigt.asString("CPROF");
      a.nivel = asigt.asString("NIVEL");
      a.curso = asigt.asString("CURSO");
      a.grupo = asigt.asString("GRUPO");
      a.sessions = static_cast<int>(std::lround(asigt.asFloat("HORAS")));
      assignments.push_back(std::move(a));
    }
  }
  std::vector<std::string> rooms;
  {
    Table aulat;
    aulat.setDatabaseName("C:\\KTEMP");
    aulat.setTableName("AULAT.DBF");
    aulat.open();
    for (aulat.first(); !aulat.eof(); aulat.next()) {
      std::string room = aulat.asString("ABREV");
      if (!room.empty()) rooms.push_back(room);
    }
  }
  std::vector<SolutionRow> rows = planTimetable(assignments, rooms, options);
  writeSolutionTable("C:\\KTEMP\\SOLUC.DBF", rows);
  FakeSolutionSummary summary;
  summary.rows = static_cast<long>(rows.size());
  summary.unplaced = std::count_if(rows.begin(), rows.end(), [](const SolutionRow& r) { return r.dia == 0; });
  return summary;
}

}  // namespace pasarela::sample

// The import of a large solution: 30,000 solution rows against 300 teachers
// and 2,000 subjects, the whole run from the staging of horgrup/horprof to
// the copy back.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "data/school_tables.h"
#include "data/table.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"
#include "import/import_run.h"
#include "import/slot_times.h"
#include "import/traspasar_solucion.h"
#include "sample/fake_solution.h"

namespace {

using namespace pasarela;
namespace fs = std::filesystem;

class QuietUi : public UserInterface {
 public:
  void notice(const std::string&) override {}
  void error(const std::string&) override {}
  void busyCursor() override {}
  void normalCursor() override {}
  void showTeacherCheck() override {}
  void showTemplateCheck() override {}
  void closeMainWindow() override {}
};

void create(const std::string& path, const std::vector<FieldDef>& fields,
            const std::vector<std::string>& indexes = {}) {
  Table t;
  t.setTableName(path);
  t.createTable(fields, indexes);
}

std::string subjectCode(int s) { return std::to_string(1 + s % 4) + "ESO" + std::to_string(s); }

// A school of 300 teachers and 2,000 subjects, and a solution of 30,000 rows.
void makeWorld(const fs::path& root) {
  fs::create_directories(root / "OB");
  fs::create_directories(root / "KTEMP" / "VAVOVIDI");
  create("C:\\OB\\horgrup.dbf", {{"CODGRUP", FieldKind::String, 5},
                                 {"CODASIG", FieldKind::String, 8},
                                 {"DNI", FieldKind::Integer, 0},
                                 {"DIASEM", FieldKind::Integer, 0},
                                 {"NUMHORA", FieldKind::Integer, 0},
                                 {"HORDIADES", FieldKind::String, 5},
                                 {"HORDIAHAS", FieldKind::String, 5},
                                 {"CODCEN", FieldKind::String, 8}});
  create("C:\\OB\\horprof.dbf", {{"DNI", FieldKind::Integer, 0},
                                 {"DIASEM", FieldKind::Integer, 0},
                                 {"NUMHORA", FieldKind::Integer, 0},
                                 {"HORAD", FieldKind::String, 5},
                                 {"HORAH", FieldKind::String, 5},
                                 {"OCUPA", FieldKind::String, 5},
                                 {"CODCEN", FieldKind::String, 8}});
  create("C:\\KTEMP\\VAVOVIDI\\lhortipo.dbf", {{"CODCEN", FieldKind::String, 8},
                                               {"NUMHORA", FieldKind::Integer, 0},
                                               {"DESDE", FieldKind::String, 5},
                                               {"HASTA", FieldKind::String, 5}});
  {
    Table t;
    t.setTableName("C:\\KTEMP\\VAVOVIDI\\lhortipo.dbf");
    t.open();
    for (int n = 1; n <= 6; ++n) {
      t.append();
      t.setString("CODCEN", "46001");
      t.setInteger("NUMHORA", n);
      t.setString("DESDE", std::to_string(7 + n) + ":00");
      t.setString("HASTA", std::to_string(7 + n) + ":55");
      t.post();
    }
  }
  create("C:\\KTEMP\\PROFT.DBF", {{"ABREV", FieldKind::String, 4},
                                  {"NOMBRE", FieldKind::String, 40},
                                  {"DEPART", FieldKind::String, 40},
                                  {"DNI", FieldKind::Integer, 0}});
  {
    Table t;
    t.setTableName("C:\\KTEMP\\PROFT.DBF");
    t.open();
    for (int p = 0; p < 300; ++p) {
      t.append();
      t.setString("ABREV", "P" + std::to_string(p));
      t.setString("NOMBRE", "PROFESOR " + std::to_string(p));
      t.setInteger("DNI", 10000000 + p);
      t.post();
    }
  }
  create("C:\\KTEMP\\ASIGVALT.DBF",
         {{"COD", FieldKind::String, 4},
          {"CODLARGO", FieldKind::String, 8},
          {"NOMBRE", FieldKind::String, 40},
          {"CODVALEN", FieldKind::String, 10},
          {"NHORAS", FieldKind::Float, 0},
          {"NIVEL", FieldKind::String, 5},
          {"CURSO", FieldKind::String, 3}},
         {"COD", "CODVALEN"});
  {
    Table t;
    t.setTableName("C:\\KTEMP\\ASIGVALT.DBF");
    t.open();
    for (int s = 0; s < 2000; ++s) {
      const std::string code = subjectCode(s);
      t.append();
      t.setString("COD", std::to_string(s));
      t.setString("CODLARGO", std::to_string(s));
      t.setString("CODVALEN", code);
      t.setFloat("NHORAS", 3);
      t.setString("NIVEL", code.substr(1, 3));
      t.setString("CURSO", code.substr(0, 1));
      t.post();
    }
  }
  std::vector<sample::SolutionRow> rows;
  rows.reserve(30000);
  for (int i = 0; i < 30000; ++i) {
    // Some teachers and subjects the school does not know, as in real life.
    int s = (i * 7) % 2050, p = (i * 13) % 310;
    const std::string code = subjectCode(s);
    rows.push_back({1 + i % 5, 1 + i % 6, "A" + std::to_string(i % 40), "P" + std::to_string(p),
                    code.substr(1, 3), code.substr(0, 1), std::to_string(s),
                    std::string(1, static_cast<char>('A' + i % 4))});
  }
  sample::writeSolutionTable("C:\\KTEMP\\SOLUC.DBF", rows);
}

void BM_ImportRun(benchmark::State& state) {
  char pattern[] = "/tmp/pasarela-bench-import-XXXXXX";
  const fs::path root = ::mkdtemp(pattern);
  ::setenv("PASARELA_DRIVE_C", root.c_str(), 1);
  makeWorld(root);
  SchoolTables tables;
  QuietUi ui;
  TransferContext ctx{tables, ui, "C:\\OB", "46001", "VALENCIÁ"};
  ImportReport report;
  for (auto _ : state) {
    BImportarClick(ctx, {.dryRun = false, .report = &report});
    benchmark::DoNotOptimize(report.rowsWritten);
  }
  state.counters["rows"] = static_cast<double>(report.rowsWritten);
  state.counters["rows_without_teacher"] = static_cast<double>(report.rowsWithoutTeacher);
  state.counters["rows_without_subject"] = static_cast<double>(report.rowsWithoutSubject);
  tables.closeAll();
  std::error_code ec;
  fs::remove_all(root, ec);
}
BENCHMARK(BM_ImportRun)->Unit(benchmark::kMillisecond)->Iterations(5);

// The transfer step alone: empties and refills the staged horprof and
// horgrup from the 30,000 solution rows, with both lookups.
void BM_SolutionTransfer(benchmark::State& state) {
  char pattern[] = "/tmp/pasarela-bench-transfer-XXXXXX";
  const fs::path root = ::mkdtemp(pattern);
  ::setenv("PASARELA_DRIVE_C", root.c_str(), 1);
  makeWorld(root);
  SchoolTables tables;
  QuietUi ui;
  TransferContext ctx{tables, ui, "C:\\OB", "46001", "VALENCIÁ"};
  ImportReport report;
  BImportarClick(ctx, {.dryRun = true, .report = &report});  // stages horgrup and horprof
  Table profesores;
  profesores.setTableName("C:\\KTEMP\\PROFT.DBF");
  profesores.open();
  Table asignaturas;
  asignaturas.setTableName("C:\\KTEMP\\ASIGVALT.DBF");
  asignaturas.setIndexName("CODVALEN");
  asignaturas.open();
  HorasTabla inicio{}, final{};
  for (int n = 1; n <= kSlots; ++n) inicio[n] = "08:00", final[n] = "08:55";
  for (auto _ : state) {
    ImportReport r;
    TraspasarSolucion(ctx, profesores, asignaturas, inicio, final, r);
    benchmark::DoNotOptimize(r.rowsWritten);
  }
  profesores.close();
  asignaturas.close();
  tables.closeAll();
  std::error_code ec;
  fs::remove_all(root, ec);
}
BENCHMARK(BM_SolutionTransfer)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

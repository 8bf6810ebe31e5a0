// The whole export (BExportarClick: the seven procedures) of the sample
// school at scale 1 and scale 20, on a temporary drive C. The sample school
// is written once per scale by `pasarela sample` and staged once; each
// iteration runs the export over the staged tables.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "data/school_tables.h"
#include "data/staging.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"
#include "export/export_run.h"

namespace {

namespace fs = std::filesystem;

class SilentUi : public pasarela::UserInterface {
 public:
  void notice(const std::string&) override {}
  void error(const std::string&) override {}
  void busyCursor() override {}
  void normalCursor() override {}
  void showTeacherCheck() override {}
  void showTemplateCheck() override {}
  void closeMainWindow() override {}
};

// The temporary drive C of the process, removed at exit.
struct TemporaryDrive {
  fs::path root;
  TemporaryDrive() {
    std::string pattern = (fs::temp_directory_path() / "pasarela-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    root = pattern;
    setenv("PASARELA_DRIVE_C", root.c_str(), 1);
  }
  ~TemporaryDrive() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

TemporaryDrive& drive() {
  static TemporaryDrive d;
  return d;
}

// `pasarela` is built beside the benchmarks: <build>/src/pasarela.
fs::path pasarelaProgram() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" / "pasarela";
}

// Writes the sample school of `scale` into C:\OB<scale> once; returns its Windows path.
std::string sampleSchool(int scale) {
  static std::map<int, std::string> written;
  if (auto it = written.find(scale); it != written.end()) return it->second;
  const fs::path folder = drive().root / ("OB" + std::to_string(scale));
  std::string command = "'";
  command += pasarelaProgram().string();
  command += "' sample '";
  command += folder.string();
  command += "' --scale ";
  command += std::to_string(scale);
  command += " --seed 1 >/dev/null";
  if (std::system(command.c_str()) != 0) std::abort();
  return written[scale] = "C:\\OB" + std::to_string(scale);
}

void BM_Export(benchmark::State& state) {
  const std::string source = sampleSchool(static_cast<int>(state.range(0)));
  pasarela::SchoolTables tables;
  SilentUi ui;
  pasarela::CopiarDatosOrigen(tables, source);
  pasarela::TransferContext ctx{tables, ui, source, "", "VALENCIÁ"};
  for (auto _ : state) pasarela::BExportarClick(ctx);
  state.SetLabel("scale " + std::to_string(state.range(0)));
}
BENCHMARK(BM_Export)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Staging from the source folder and the export, as `pasarela export` does.
void BM_StageAndExport(benchmark::State& state) {
  const std::string source = sampleSchool(static_cast<int>(state.range(0)));
  pasarela::SchoolTables tables;
  SilentUi ui;
  pasarela::TransferContext ctx{tables, ui, source, "", "VALENCIÁ"};
  for (auto _ : state) {
    pasarela::CopiarDatosOrigen(tables, source);
    pasarela::BExportarClick(ctx);
  }
}
BENCHMARK(BM_StageAndExport)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Each procedure alone at scale 20, rerun over the tables the earlier ones
// wrote into C:\KTEMP: where the export's time goes.
template <void (*Procedure)(pasarela::TransferContext&)>
void BM_Procedure(benchmark::State& state) {
  const std::string source = sampleSchool(20);
  pasarela::SchoolTables tables;
  SilentUi ui;
  pasarela::CopiarDatosOrigen(tables, source);
  pasarela::TransferContext ctx{tables, ui, source, "", "VALENCIÁ"};
  pasarela::BExportarClick(ctx);
  for (auto _ : state) Procedure(ctx);
}
BENCHMARK(BM_Procedure<pasarela::ExportarAsignaturas>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarProfesores>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarAulas>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarAlumnos>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarAsignaturasCurso>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarGrupos>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Procedure<pasarela::ExportarAsignaciones>)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

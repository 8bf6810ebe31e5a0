// Staging the sample school (CopiarDatosOrigen: ten files in 2048-byte
// blocks) and writing the sample school itself, at scales 1 and 20.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "data/school_tables.h"
#include "data/staging.h"
#include "sample/sample_school.h"

namespace {

// A temporary drive C: for the whole run.
const std::filesystem::path& driveC() {
  static const std::filesystem::path root = [] {
    char tmpl[] = "/tmp/pasarela-bench-XXXXXX";
    std::filesystem::path p = mkdtemp(tmpl);
    setenv("PASARELA_DRIVE_C", p.c_str(), 1);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(driveC(), ec);
    });
    return p;
  }();
  return root;
}

std::string sampleFolder(int scale) {
  driveC();
  const std::string folder = "C:\\OB" + std::to_string(scale);
  static bool written[64] = {};
  if (!written[scale]) {
    pasarela::sample::SampleOptions options;
    options.scale = scale;
    pasarela::sample::writeSampleSchool(folder, options);
    written[scale] = true;
  }
  return folder;
}

void BM_StageSampleSchool(benchmark::State& state) {
  const std::string folder = sampleFolder(static_cast<int>(state.range(0)));
  pasarela::SchoolTables tables;
  for (auto _ : state) pasarela::CopiarDatosOrigen(tables, folder);
  std::error_code ec;
  std::uintmax_t bytes = 0;
  for (const auto& e :
       std::filesystem::directory_iterator(driveC() / ("OB" + std::to_string(state.range(0))), ec))
    if (e.path().extension() != ".mdx" && e.path().filename() != "horprof.dbf") bytes += e.file_size();
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_StageSampleSchool)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_WriteSampleSchool(benchmark::State& state) {
  driveC();
  pasarela::sample::SampleOptions options;
  options.scale = static_cast<int>(state.range(0));
  for (auto _ : state) pasarela::sample::writeSampleSchool("C:\\SAMPLE", options);
}
BENCHMARK(BM_WriteSampleSchool)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

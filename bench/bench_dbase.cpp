// The table engine at the sizes a large school reaches and beyond: 100,000
// records appended and posted, scanned, indexed and looked up.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "data/table.h"

namespace {

constexpr int kRecords = 100000;

const std::filesystem::path& drive() {
  static std::filesystem::path root = [] {
    char tmpl[] = "/tmp/pasarela-bench-XXXXXX";
    std::filesystem::path p = mkdtemp(tmpl);
    setenv("PASARELA_DRIVE_C", p.c_str(), 1);
    return p;
  }();
  return root;
}

std::string key(int i) {
  // Scattered keys with duplicates (every value twice).
  unsigned v = static_cast<unsigned>(i / 2) * 2654435761u % 1000003u;
  char buf[16];
  std::snprintf(buf, sizeof buf, "K%u", v);
  return buf;
}

void fill(const std::string& table, bool indexed) {
  drive();
  pasarela::Table t;
  t.setTableName("C:\\" + table);
  t.createTable({{"CODIGO", pasarela::FieldKind::String, 10},
                 {"NOMBRE", pasarela::FieldKind::String, 30},
                 {"HORAS", pasarela::FieldKind::Integer, 0},
                 {"NOTA", pasarela::FieldKind::Float, 0},
                 {"ACTIVO", pasarela::FieldKind::Boolean, 0}},
                indexed ? std::vector<std::string>{"CODIGO"} : std::vector<std::string>{});
  t.setExclusive(true);
  t.open();
  for (int i = 0; i < kRecords; ++i) {
    t.append();
    t.setString("CODIGO", key(i));
    t.setString("NOMBRE", "Alumno número " + std::to_string(i));
    t.setInteger("HORAS", i % 40);
    t.setFloat("NOTA", (i % 100) / 10.0);
    t.setBoolean("ACTIVO", i % 2 == 0);
    t.post();
  }
  t.close();  // writes the index
}

void BM_AppendPost100k(benchmark::State& state) {
  for (auto _ : state) fill("APPEND.DBF", false);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_AppendPost100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildIndex100k(benchmark::State& state) {
  for (auto _ : state) fill("INDEXED.DBF", true);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BuildIndex100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullScan100k(benchmark::State& state) {
  fill("SCAN.DBF", false);
  pasarela::Table t;
  t.setTableName("C:\\SCAN.DBF");
  t.open();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (t.first(); !t.eof(); t.next()) sum += t.asInteger("HORAS");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FullScan100k)->Unit(benchmark::kMillisecond);

void BM_FindKey100k(benchmark::State& state) {
  fill("FIND.DBF", true);
  pasarela::Table t;
  t.setTableName("C:\\FIND.DBF");
  t.setIndexName("CODIGO");
  t.open();
  std::mt19937 rng(1);
  for (auto _ : state) {
    int found = 0;
    for (int i = 0; i < kRecords; ++i) found += t.findKey(key(static_cast<int>(rng() % kRecords)));
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FindKey100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

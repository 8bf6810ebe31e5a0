// Writing and reading a production index of 100,000 keys.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "dbase/mdx.h"

namespace {

using namespace pasarela::dbase;

std::filesystem::path benchFile() {
  return std::filesystem::temp_directory_path() / ("BENCH_MDX_" + std::to_string(::getpid()) + ".MDX");
}

// A 10-character code and a number per record, sorted as the table keeps them.
std::vector<MdxTag> makeTags(std::size_t count, std::uint8_t ldid) {
  std::mt19937 rng(5);
  MdxTag cod{{"COD", "COD", KeyType::Character, 10}, {}};
  MdxTag num{{"NOTA", "NOTA", KeyType::Numeric, 12}, {}};
  for (std::uint32_t i = 1; i <= count; ++i) {
    std::string key = std::to_string(rng() % 50000);
    key.insert(key.begin(), 'C');
    key += '\xE1';
    key.resize(10, ' ');
    cod.entries.push_back({key, i});
    num.entries.push_back({encodeNumericKey(static_cast<double>(rng() % 100000) / 100), i});
  }
  for (MdxTag* t : {&cod, &num})
    std::stable_sort(t->entries.begin(), t->entries.end(), [&](const MdxEntry& a, const MdxEntry& b) {
      return compareKeys(ldid, t->layout.type, a.key, b.key) < 0;
    });
  return {cod, num};
}

void BM_WriteMdx100k(benchmark::State& state) {
  const auto tags = makeTags(100000, 0x58);
  const auto file = benchFile();
  for (auto _ : state) writeMdx(file, "BENCH", 0x58, tags);
  state.SetItemsProcessed(state.iterations() * 200000);
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteMdx100k)->Unit(benchmark::kMillisecond);

void BM_ReadMdx100k(benchmark::State& state) {
  const auto file = benchFile();
  writeMdx(file, "BENCH", 0x58, makeTags(100000, 0x58));
  for (auto _ : state) benchmark::DoNotOptimize(readMdx(file, 0x58));
  state.SetItemsProcessed(state.iterations() * 200000);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ReadMdx100k)->Unit(benchmark::kMillisecond);

void BM_SortKeys100k(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(makeTags(100000, static_cast<std::uint8_t>(state.range(0))));
}
BENCHMARK(BM_SortKeys100k)->Arg(0x57)->Arg(0x58)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

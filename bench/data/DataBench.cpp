// Open and Locate on a generated table of 1,000,000 entries and on the real
// Sozluk1.DB. Run: data_bench [--benchmark_...]; the generated table is
// cached in $TMPDIR/lugatim-bench/. Set LUGATIM_BENCH_REAL_DIR to the folder
// holding the imported Sozluk1.DB (default: data/ beside this executable).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/support/GeneratedTable.h"
#include "data/Table.h"
#include "data/TypedSearch.h"
#include "platform/ExePath.h"

using namespace lugatim::data;

namespace {

std::string RealFolder() {
  const char* dir = std::getenv("LUGATIM_BENCH_REAL_DIR");
  return dir ? std::string(dir) + "/" : lugatim::platform::ExecutableDir() + "data/";
}

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void UseFolder(const std::string& folder) {
  setenv("LUGATIM_DB_DIR", folder.c_str(), 1);
}

void BM_Open(benchmark::State& state, std::string (*folder)()) {
  const std::string dir = folder();
  UseFolder(dir);
  if (!std::filesystem::exists(dir + "Sozluk1.DB")) {
    state.SkipWithError("no Sozluk1.DB there");
    return;
  }
  for (auto _ : state) {
    TTable t("SozlukTB");
    t.databaseName = "Lugatim";
    t.tableName = "Sozluk1.DB";
    t.Open();
    benchmark::DoNotOptimize(t.RecordCount());
  }
  // Resident memory that one open table adds, after some lookups.
  const long before = ResidentKb();
  TTable t("SozlukTB");
  t.databaseName = "Lugatim";
  t.tableName = "Sozluk1.DB";
  t.Open();
  for (const auto& w : lugatim::bench::SampleWords(2000, 7))
    t.Locate("Kelime", w.substr(0, 3), loPartialKey);
  state.counters["entries"] = t.RecordCount();
  state.counters["rss_added_MB"] = static_cast<double>(ResidentKb() - before) / 1024.0;
  state.counters["rss_total_MB"] = static_cast<double>(ResidentKb()) / 1024.0;
}

std::string Generated() {
  return lugatim::bench::GeneratedFolder();
}
std::string Real() {
  return RealFolder();
}

void BM_Locate(benchmark::State& state, std::string (*folder)(), TLocateOptions options) {
  const std::string dir = folder();
  // The generated headwords are Turkish; the real Sozluk1.DB holds English ones.
  const bool generated = folder == &Generated;
  UseFolder(dir);
  if (!std::filesystem::exists(dir + "Sozluk1.DB")) {
    state.SkipWithError("no Sozluk1.DB there");
    return;
  }
  TTable t("SozlukTB");
  t.databaseName = "Lugatim";
  t.tableName = "Sozluk1.DB";
  t.language = generated ? lugatim::base::TLanguage::Turkish : lugatim::base::TLanguage::English;
  t.Open();
  // Values: prefixes of existing headwords (prefix searches) or whole ones.
  std::vector<std::string> values;
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> pick(0, t.RecordCount() - 1);
  for (int i = 0; i < 4096; ++i) {
    auto entries = t.ReadEntries(pick(rng), 1);
    std::string w = entries.at(0).values.at(0);
    if (options & loPartialKey) {
      // Four code points at most, never half of a multi-byte letter.
      size_t cut = 0;
      for (int n = 0; n < 4 && cut < w.size(); ++n) {
        do ++cut;
        while (cut < w.size() && (static_cast<unsigned char>(w[cut]) & 0xC0) == 0x80);
      }
      w.resize(cut);
    }
    values.push_back(w);
  }
  size_t i = 0, found = 0;
  for (auto _ : state) {
    found += t.Locate("Kelime", values[i++ & 4095], options);
  }
  state.counters["found_share"] =
      static_cast<double>(found) / static_cast<double>(state.iterations());
}

// The combo box's typed search with text typed without Turkish marks
// ("kopek" for "köpek"): a prefix with a marked letter finds nothing by the
// exact rule and is searched again without marks.
void BM_LocateTypedWithoutMarks(benchmark::State& state) {
  UseFolder(Generated());
  TTable t("SozlukETB");
  t.databaseName = "Lugatim";
  t.tableName = "Sozluk1.DB";
  t.language = lugatim::base::TLanguage::Turkish;
  t.Open();
  std::vector<std::string> values;
  for (const auto& w : lugatim::bench::SampleWords(4096, 1)) {  // words of the table
    size_t cut = 0;                                             // six letters, never half of one
    for (int n = 0; n < 6 && cut < w.size(); ++n) lugatim::base::NextCodePoint(w, cut);
    values.push_back(lugatim::base::FoldMarks(w.substr(0, cut), lugatim::base::TLanguage::Turkish));
  }
  size_t i = 0, found = 0;
  for (auto _ : state) found += lugatim::data::LocateTyped(t, "Kelime", values[i++ & 4095]);
  state.counters["found_share"] =
      static_cast<double>(found) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_LocateTypedWithoutMarks)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Open, generated_1M, Generated)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_Open, real_Sozluk1, Real)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_Locate, generated_1M_prefix_case, Generated, loPartialKey)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Locate, generated_1M_prefix_nocase, Generated,
                  loPartialKey | loCaseInsensitive)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Locate, generated_1M_exact, Generated, 0u)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Locate, real_prefix_case, Real, loPartialKey)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Locate, real_prefix_nocase, Real, loPartialKey | loCaseInsensitive)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Locate, real_exact, Real, 0u)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();

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

#include "base/TextFold.h"
#include "data/Table.h"
#include "platform/ExePath.h"

using namespace lugatim::data;

namespace {

constexpr int kEntries = 1'000'000;

std::string Word(std::mt19937& rng) {
  static const char* const kLetters[] = {"a", "b", "c", "ç", "d", "e", "f", "g", "ğ", "h",
                                         "ı", "i", "k", "l", "m", "n", "o", "ö", "p", "r",
                                         "s", "ş", "t", "u", "ü", "v", "y", "z", "A", "İ"};
  std::uniform_int_distribution<int> len(3, 12);
  std::uniform_int_distribution<int> letter(0, 29);
  std::string w;
  for (int i = len(rng); i > 0; --i) w += kLetters[letter(rng)];
  return w;
}

std::vector<std::string> SampleWords(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  for (int i = 0; i < n; ++i) words.push_back(Word(rng));
  return words;
}

// The generated table: random headwords in alphabetical table order, a
// meaning and an example of realistic size, a BINARY and a folding index.
std::string GeneratedFolder() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = std::string(tmp ? tmp : "/tmp") + "/lugatim-bench/";
  const std::string path = folder + "Sozluk1.DB";
  if (std::filesystem::exists(path)) return folder;
  std::filesystem::create_directories(folder);
  const std::string temp = path + ".tmp";
  std::filesystem::remove(temp);
  sqlite3* db = nullptr;
  sqlite3_open(temp.c_str(), &db);
  sqlite3_create_collation(db, kFoldCollation, SQLITE_UTF8, nullptr,
                           [](void*, int n1, const void* a, int n2, const void* b) {
                             return lugatim::base::CompareIgnoringCase(
                                 std::string_view(static_cast<const char*>(a), n1),
                                 std::string_view(static_cast<const char*>(b), n2));
                           });
  sqlite3_exec(db,
               "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
               "CREATE TABLE Sozluk1 (Kelime TEXT, Kategori TEXT, OnekSonek TEXT,"
               " SiraNo INTEGER PRIMARY KEY, Anlami TEXT, Ornek TEXT); BEGIN;",
               nullptr, nullptr, nullptr);
  std::vector<std::string> words = SampleWords(kEntries, 1);
  std::sort(words.begin(), words.end());
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO Sozluk1 (Kelime, Kategori, OnekSonek, Anlami, Ornek)"
                     " VALUES (?1, 'isim', '', ?2, ?3)",
                     -1, &st, nullptr);
  for (const auto& w : words) {
    const std::string meaning =
        "1. " + w + " anlamında bir sözcük\n2. ikinci anlamı, uzunca bir açıklama";
    const std::string example = w + " ile kurulmuş örnek bir cümle.";
    sqlite3_bind_text(st, 1, w.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, meaning.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, example.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db,
               "COMMIT; CREATE INDEX Sozluk1_Kelime ON Sozluk1(Kelime COLLATE BINARY);"
               "CREATE INDEX Sozluk1_KelimeTr ON Sozluk1(Kelime COLLATE LUGATIM_NOCASE);",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::filesystem::rename(temp, path);
  return folder;
}

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
  for (const auto& w : SampleWords(2000, 7)) t.Locate("Kelime", w.substr(0, 3), loPartialKey);
  state.counters["entries"] = t.RecordCount();
  state.counters["rss_added_MB"] = static_cast<double>(ResidentKb() - before) / 1024.0;
  state.counters["rss_total_MB"] = static_cast<double>(ResidentKb()) / 1024.0;
}

void BM_Locate(benchmark::State& state, std::string (*folder)(), TLocateOptions options) {
  const std::string dir = folder();
  UseFolder(dir);
  if (!std::filesystem::exists(dir + "Sozluk1.DB")) {
    state.SkipWithError("no Sozluk1.DB there");
    return;
  }
  TTable t("SozlukTB");
  t.databaseName = "Lugatim";
  t.tableName = "Sozluk1.DB";
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

std::string Generated() {
  return GeneratedFolder();
}
std::string Real() {
  return RealFolder();
}

}  // namespace

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

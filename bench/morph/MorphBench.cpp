// The word-form analysis and the suggestions on the real compiled data.
//   morph_bench [--benchmark_...]   with LUGATIM_MORPH_FILE=…/Lugatim.morph
//   (default: build/release/dictionaries/Lugatim.morph)
// Words: inflected Turkish forms from running prose, typed with and without
// Turkish letters, and misspellings for the suggestions.

#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdlib>
#include <memory>

#include "morph/MorphData.h"
#include "morph/Suggest.h"
#include "morph/TurkishAnalyser.h"

using namespace lugatim::morph;

namespace {

const TMorphData& Data() {
  static const TMorphData data = [] {
    const char* path = std::getenv("LUGATIM_MORPH_FILE");
    return TMorphData::Load(path != nullptr ? path : "build/release/dictionaries/Lugatim.morph");
  }();
  return data;
}

const char* const kWords[] = {
    "kitaplarımızdan",  "evde",         "gidiyorum",      "seçeneğine",
    "güzelliği",        "kullanıcının", "dosyalarını",    "belirtilen",
    "değiştirilemez",   "olarak",       "komutları",      "yapılandırma",
    "sistemde",         "gösterir",     "kullanılabilir", "satırları",
    "bilgisayarınızda", "seçimi",       "bunun",          "yazdırılmış",
};
const char* const kPlain[] = {"kitaplarimizdan", "agaci", "gidiyorsunuz", "kullanicinin",
                              "degistirilemez"};

void BM_AnalyseTurkish(benchmark::State& state) {
  const TTurkishAnalyser analyser(Data());
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(analyser.Analyse(kWords[i++ % std::size(kWords)]));
  }
}
BENCHMARK(BM_AnalyseTurkish)->ComputeStatistics("median", [](const std::vector<double>& v) {
  std::vector<double> s = v;
  std::sort(s.begin(), s.end());
  return s[s.size() / 2];
});

void BM_AnalyseTurkishPlainLetters(benchmark::State& state) {
  const TTurkishAnalyser analyser(Data());
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(analyser.Analyse(kPlain[i++ % std::size(kPlain)]));
}
BENCHMARK(BM_AnalyseTurkishPlainLetters);

// One word at a time, so that the median over words shows.
void BM_AnalyseOneWord(benchmark::State& state) {
  const TTurkishAnalyser analyser(Data());
  const char* word = kWords[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(analyser.Analyse(word));
  state.SetLabel(word);
}
BENCHMARK(BM_AnalyseOneWord)->DenseRange(0, std::size(kWords) - 1);

void BM_Suggest(benchmark::State& state) {
  const bool english = state.range(0) == 1;
  const TSuggester suggester(Data().Words(english));
  const char* word = english ? "dictonary" : "kitapp";
  for (auto _ : state) benchmark::DoNotOptimize(suggester.Suggest(word));
  state.SetLabel(word);
}
BENCHMARK(BM_Suggest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadData(benchmark::State& state) {
  const char* path = std::getenv("LUGATIM_MORPH_FILE");
  const std::string file = path != nullptr ? path : "build/release/dictionaries/Lugatim.morph";
  for (auto _ : state) benchmark::DoNotOptimize(TMorphData::Load(file));
}
BENCHMARK(BM_LoadData)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

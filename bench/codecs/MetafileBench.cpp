// Decoding a typical 468 x 60 metafile banner, the helper process included:
// start, limits, the decoders, the pixels back. Each repetition is one
// decode; the median of 20 is the figure. Goal: well under the 5 s
// wall-clock limit on a loaded machine, a few hundred milliseconds at most.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <functional>

#include "codecs/MetafileDecoder.h"
#include "codecs/MetafileWriter.h"

namespace {

using namespace lugatim::codecs;

// A banner as the demo server's: a shaded band in strips, a star, two lines
// of text; for the EMF also a rounded card and dots.
void DrawBanner(TMetafileWriter& w, bool emf) {
  if (emf) w.FillRoundRect(QRect(2, 2, 464, 56), 14, QColor(0x6a, 0x2c, 0x70));
  for (int i = 0; i < 36; ++i)
    w.FillRect(QRect(4 + i * 12, 4, 12, 52), QColor(15 + i, 76 + i, 92 - i));
  std::vector<QPoint> star;
  for (int i = 0; i < 10; ++i) {
    const double a = -M_PI / 2 + i * M_PI / 5;
    const int r = i % 2 == 0 ? 19 : 8;
    star.emplace_back(36 + static_cast<int>(r * std::cos(a)),
                      30 + static_cast<int>(r * std::sin(a)));
  }
  w.FillPolygon(star, QColor(0xff, 0xd2, 0x4a));
  if (emf)
    for (int i = 0; i < 3; ++i) w.FillEllipse(QRect(380 + i * 16, 22, 14, 14), Qt::white);
  w.Text(QPoint(66, 30), "Kelime oyunu", 20, true, "Arial", Qt::white);
  w.Text(QPoint(66, 48), "Her sabah yeni bir kelime - lugatim.org", 12, false, "Arial",
         QColor(0xe0, 0xf0, 0xe8));
}

void Decode(benchmark::State& state, TMetafileWriter& writer, const char* extension) {
  DrawBanner(writer, std::string_view(extension) == "emf");
  const QByteArray bytes = writer.Finish();
  for (auto _ : state) {
    const QImage image = DecodeMetafile(std::string_view(bytes.data(), bytes.size()), extension);
    if (image.size() != QSize(468, 60)) state.SkipWithError("wrong size");
    benchmark::DoNotOptimize(image);
  }
}

void BM_DecodeWmfBanner(benchmark::State& state) {
  TWmfWriter writer(468, 60);
  Decode(state, writer, "wmf");
}

void BM_DecodeEmfBanner(benchmark::State& state) {
  TEmfWriter writer(468, 60);
  Decode(state, writer, "emf");
}

BENCHMARK(BM_DecodeWmfBanner)
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DecodeEmfBanner)
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

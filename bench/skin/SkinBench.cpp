// Region building and skin loading. Goals: the built-in mask in at most
// 1 ms, a 480 x 480 checkerboard (115,200 runs) in at most 10 ms, LoadSkin
// of the built-in skin with its images in at most 30 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <climits>
#include <cstdlib>

#include "codecs/Bmp.h"
#include "skin/MaskRegion.h"
#include "skin/SkinForm.h"

namespace {

QImage BuiltInMask() {
  QFile file(":/BMP/SZLS3MS");
  file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();
  return lugatim::codecs::DecodeBmp(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QImage Checkerboard() {
  QImage image(480, 480, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 0; y < 480; ++y)
    for (int x = y % 2; x < 480; x += 2) image.setPixel(x, y, qRgb(0, 0, 0));
  return image;
}

void BM_RegionBuiltInMask(benchmark::State& state) {
  const QImage mask = BuiltInMask();
  for (auto _ : state) {
    auto region = lugatim::skin::CreateRegionFromMask(mask, Qt::white, Qt::black);
    benchmark::DoNotOptimize(region);
  }
}
BENCHMARK(BM_RegionBuiltInMask)->Unit(benchmark::kMicrosecond);

void BM_RegionCheckerboard(benchmark::State& state) {
  const QImage mask = Checkerboard();
  for (auto _ : state) {
    auto region = lugatim::skin::CreateRegionFromMask(mask, Qt::white, Qt::black);
    benchmark::DoNotOptimize(region);
  }
}
BENCHMARK(BM_RegionCheckerboard)->Unit(benchmark::kMillisecond);

// The same mask as one batch: what the batching itself costs.
void BM_RegionCheckerboardOneBatch(benchmark::State& state) {
  const QImage mask = Checkerboard();
  for (auto _ : state) {
    auto region = lugatim::skin::CreateRegionFromMask(mask, Qt::white, Qt::black, nullptr, INT_MAX);
    benchmark::DoNotOptimize(region);
  }
}
BENCHMARK(BM_RegionCheckerboardOneBatch)->Unit(benchmark::kMillisecond);

// At device pixel ratios 1, 2 and 3: the faces of that scale.
void BM_LoadSkinBuiltIn(benchmark::State& state) {
  QWidget form;
  lugatim::skin::TSkinForm skin(&form);
  const double ratio = static_cast<double>(state.range(0));
  skin.SetPixelRatioSource([ratio] { return ratio; });
  for (auto _ : state) skin.LoadSkin();
  state.counters["scale"] = skin.FaceScale();
}
BENCHMARK(BM_LoadSkinBuiltIn)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The smooth outline's alpha, made once per load where the desktop composites.
void BM_LoadSkinSmoothOutline(benchmark::State& state) {
  QWidget form;
  lugatim::skin::TSkinForm skin(&form);
  const double ratio = static_cast<double>(state.range(0));
  skin.SetPixelRatioSource([ratio] { return ratio; });
  skin.SetSmoothOutline(true);
  for (auto _ : state) skin.LoadSkin();
}
BENCHMARK(BM_LoadSkinSmoothOutline)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

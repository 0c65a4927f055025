// Timed harness for the banner channel (bench/banner/run.sh starts nginx
// and runs curl beside it):
//
//   lugatim_banner_bench download BASE_URL COUNT ROUNDS
//       the download pass over an ad list of COUNT banners BASE_URL/bN.gif,
//       into a fresh Banner folder; prints the best of ROUNDS passes
//   lugatim_banner_bench idle SECONDS
//       rotates an animated GIF banner in a shown image control for SECONDS
//       and prints the process's processor time as a share of one core
//   lugatim_banner_bench names COUNT listing|index
//       stores COUNT new (empty) banner names one after another into a fresh
//       Banner folder as a pass does: each name looked up by a listing of
//       the folder of its own (the lookup a pass made before it kept one
//       index for all its names), or in the pass's one index; prints the time
//   lugatim_banner_bench spin SECONDS
//       the same share for a wait that reads the clock without sleeping, at
//       idle priority: what the rotation would cost if its wait polled
//
// Each prints one line "key=value ..." for the script to read.

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "banner/BannerChannel.h"
#include "banner/BannerFiles.h"
#include "banner/Kodlar.h"
#include "banner/UpdateChain.h"
#include "banner/WaitSeconds.h"
#include "base/StringList.h"
#include "codecs/GifEncoder.h"
#include "widgets/ImageControl.h"

namespace {

using namespace lugatim;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lugatim-banner-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::exit(1);
  return pattern + "/";
}

int Download(const std::string& base, int count, int rounds) {
  double best = 1e9;
  for (int r = 0; r < rounds; ++r) {
    const std::string root = TempFolder();
    banner::TChannelState state;
    state.bannerFolder = banner::BannerFolderOf(root);
    banner::EnsureBannerFolder(state.bannerFolder);
    state.adList = std::make_unique<base::TStringList>();
    std::string list;
    for (int i = 0; i < count; ++i)
      list +=
          base + "/b" + std::to_string(i) + ".gif,http://go/" + std::to_string(i) + ",1,5,0,0\r\n";
    banner::WriteFolderFile(state.bannerFolder, "Liste.lst", list);
    http::THttpClient client;
    banner::TUpdateChain chain(client, state);
    const auto start = std::chrono::steady_clock::now();
    chain.BannerIndirExecute();
    best = std::min(best, SecondsSince(start));
    int stored = 0;
    for (const auto& e : std::filesystem::directory_iterator(state.bannerFolder))
      stored += e.path().extension() == ".gif" ? 1 : 0;
    if (stored != count) {
      std::fprintf(stderr, "stored %d of %d banners\n", stored, count);
      return 1;
    }
    std::filesystem::remove_all(root);
  }
  std::printf("banners=%d rounds=%d best_seconds=%.4f\n", count, rounds, best);
  return 0;
}

class TImageDisplay : public banner::IBannerDisplay {
 public:
  explicit TImageDisplay(widgets::TImage& image) : image_(image) {}
  void ShowBanner(const banner::TBannerPicture& banner, const std::string&) override {
    banner::ShowBannerOn(image_, banner);
  }

 private:
  widgets::TImage& image_;
};

int Idle(int argc, char** argv, int seconds) {
  QApplication app(argc, argv);
  const std::string root = TempFolder();
  const std::string folder = banner::BannerFolderOf(root);
  banner::EnsureBannerFolder(folder);
  std::vector<codecs::TGifEncodeFrame> frames;
  for (int i = 0; i < 10; ++i) {
    QImage image(468, 60, QImage::Format_RGB32);
    image.fill(qRgb(25 * i, 255 - 25 * i, 128));
    int transparent = -1;
    codecs::TGifEncodeFrame frame;
    frame.image = codecs::ToIndexed8(image, &transparent);
    frame.delayMs = 100;
    frames.push_back(frame);
  }
  const QByteArray gif = codecs::EncodeGif(frames, {});
  banner::WriteFolderFile(folder, "anim.gif", std::string(gif.constData(), gif.size()));
  banner::WriteFolderFile(folder, "Liste.lst",
                          "http://h/anim.gif,http://go/,1,30,0,0\r\n"
                          "http://h/anim.gif,http://go/,1,30,0,0\r\n");

  QWidget window;
  window.resize(480, 100);
  widgets::TImage image(&window);
  image.setGeometry(6, 20, 468, 60);
  window.show();
  banner::TChannelState state;
  state.bannerFolder = folder;
  state.adList = std::make_unique<base::TStringList>();
  http::THttpClient client;
  TImageDisplay display(image);
  banner::TBannerChannel channel(client, state, base::SystemClock::Instance(), display);
  channel.OnRotationEnded = [&] { channel.BannerGoruntuleExecute(); };
  int frameChanges = 0;
  QTimer counter;
  channel.BannerGoruntuleExecute();
  const double cpu0 = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  QObject::connect(&counter, &QTimer::timeout, [&] {
    static QImage last;
    const QImage now = image.CurrentFrame();
    if (now != last) ++frameChanges;
    last = now;
  });
  counter.start(250);
  app.exec();
  const double wall = SecondsSince(start);
  const double cpu = CpuSeconds() - cpu0;
  std::printf("seconds=%.1f cpu_seconds=%.3f cpu_percent=%.2f animated=%s\n", wall, cpu,
              100.0 * cpu / wall, frameChanges > seconds ? "yes" : "no");
  std::filesystem::remove_all(root);
  return 0;
}

// The wait as the clock alone would have it: read until the deadline.
class TSpinningWait : public QThread {
 public:
  explicit TSpinningWait(int seconds) : seconds_(seconds) {}
  void run() override {
    const auto& clock = base::SystemClock::Instance();
    const int64_t deadline = banner::LocalTimeMs(clock.Now()) + seconds_ * 1000LL;
    while (banner::LocalTimeMs(clock.Now()) < deadline) {
    }
  }

 private:
  int seconds_;
};

int Spin(int seconds) {
  const double cpu0 = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  TSpinningWait wait(seconds);
  wait.start(QThread::IdlePriority);
  wait.wait();
  const double wall = SecondsSince(start);
  const double cpu = CpuSeconds() - cpu0;
  std::printf("seconds=%.1f cpu_seconds=%.3f cpu_percent=%.2f\n", wall, cpu, 100.0 * cpu / wall);
  return 0;
}

int Names(int count, const std::string& lookup) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("lugatim-names-" + std::to_string(getpid())))
          .string() +
      "/";
  std::filesystem::create_directories(folder);
  const bool indexed = lookup == "index";
  const auto start = std::chrono::steady_clock::now();
  std::optional<banner::TFolderIndex> index;
  if (indexed) index.emplace(folder);
  for (int i = 0; i < count; ++i) {
    const std::string name = "n" + std::to_string(i) + ".gif";
    banner::TFolderFileWriter file(folder, name, indexed ? &*index : nullptr);
    const std::string entry = file.TargetName();
    file.Commit();
    if (indexed) index->Put(entry, {0, true, false});
  }
  const double seconds = SecondsSince(start);
  std::filesystem::remove_all(folder);
  std::printf("names=%d lookup=%s seconds=%.3f\n", count, lookup.c_str(), seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "download" && argc >= 5)
    return Download(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (mode == "idle" && argc >= 3) return Idle(argc, argv, std::atoi(argv[2]));
  if (mode == "spin" && argc >= 3) return Spin(std::atoi(argv[2]));
  if (mode == "names" && argc >= 4) return Names(std::atoi(argv[2]), argv[3]);
  std::fprintf(stderr,
               "usage: lugatim_banner_bench download BASE_URL COUNT ROUNDS | idle SECONDS | "
               "spin SECONDS | names COUNT listing|index\n");
  return 2;
}

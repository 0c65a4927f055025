// The window's banner channel against a hostile update server. Each scenario
// plays one misbehaviour at one step of the chain (the version check, the ad
// list or a banner) while a thread posts key presses to the search box and
// the delay until each is handled is recorded. Then the server turns honest,
// and the next ticks must bring its banner. For every scenario:
//  - every key press is handled within 500 ms (a wait slice of the client is
//    250 ms; the rest is margin for a loaded machine);
//  - nothing outside the Banner folder changes, and the folder holds exactly
//    the files the channel's rules allow (no temporary file left);
//  - the peak resident size grows by a bounded amount;
//  - the Banner folder never holds more than its bounds (100 banners, 64 MiB);
//  - a click opens only web addresses (a fake browser records what it got);
//  - the honest banner is shown, and no error box came up.
// Every wait is a GoogleTest assertion: a scenario that never ends fails.

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QImage>
#include <QInputDevice>
#include <QKeyEvent>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "AppFixture.h"
#include "banner/BannerFiles.h"
#include "banner/ChannelBounds.h"
#include "codecs/GifEncoder.h"
#include "tests/http/ScriptedServer.h"

using namespace lugatim;
using http::test::Ok;
using http::test::TScriptedServer;
using http::test::TServerConnection;

#if defined(__SANITIZE_ADDRESS__)
// Freed memory that the address sanitizer holds back would count as
// resident: with little of it, the peak measured is the program's own.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=4";
}
#endif

namespace {

constexpr const char* kVersionPath = "/versiyon.ver";
constexpr const char* kListPath = "/liste.lst";
constexpr const char* kHonestAddress = "https://lugatim.org/honest";

enum class Step { Version, List, Banner };

Step StepOf(const std::string& path) {
  if (path == kVersionPath) return Step::Version;
  if (path == kListPath) return Step::List;
  return Step::Banner;
}

// The path of a request head's request line.
std::string PathOf(const std::string& head) {
  const size_t start = head.find(' ') + 1;
  return head.substr(start, head.find(' ', start) - start);
}

QByteArray GifOf(QColor colour) {
  QImage image(468, 60, QImage::Format_RGB32);
  image.fill(colour);
  codecs::TGifEncodeFrame frame;
  frame.image = image.convertToFormat(QImage::Format_Indexed8);
  return codecs::EncodeGif({frame}, {});
}

std::string Bytes(const QByteArray& a) {
  return std::string(a.constData(), static_cast<size_t>(a.size()));
}

// Resident sizes of this process in KiB, from /proc/self/status.
long StatusKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}
// Starts a new peak: the kernel sets VmHWM back to the current size.
bool ResetPeakResidentSize() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return out.good();
}

// Every file under root except the Banner folder, with its bytes.
std::map<std::string, std::string> Outside(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (auto it = std::filesystem::recursive_directory_iterator(root);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    const std::string relative = std::filesystem::relative(it->path(), root).string();
    if (relative == "Banner") {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file()) {
      files[relative] = "<not a regular file>";
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    files[relative] = bytes.str();
  }
  return files;
}

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

// Bytes of the regular files in the folder, and how many there are.
struct TFolderSize {
  int64_t bytes = 0;
  int files = 0;
};
TFolderSize FolderSize(const std::string& folder) {
  TFolderSize size;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (!e.is_regular_file() || e.is_symlink()) continue;
    ++size.files;
    size.bytes += static_cast<int64_t>(e.file_size());
  }
  return size;
}

// Stands in for the desktop's browser: records every address the program
// asks it to open, of any scheme a hostile list would use (a relative
// address has the empty one).
class TFakeBrowser : public QObject {
  Q_OBJECT
 public:
  static constexpr const char* kSchemes[] = {"http", "https", "file", "javascript",
                                             "smb",  "ftp",   "data", ""};
  TFakeBrowser() {
    for (const char* scheme : kSchemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~TFakeBrowser() override {
    for (const char* scheme : kSchemes) QDesktopServices::unsetUrlHandler(scheme);
  }
  std::vector<std::string> received;
 public slots:
  void Open(const QUrl& url) { received.push_back(url.toString().toStdString()); }
};

// A key press that knows when it was posted.
class TStampedKey : public QKeyEvent {
 public:
  TStampedKey(int key, const QString& text)
      : QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text),
        posted(std::chrono::steady_clock::now()) {}
  const std::chrono::steady_clock::time_point posted;
};

// Posts key presses to a widget from a thread of its own (typing "a", then
// erasing it), every 25 ms, and records how long each waited to be handled.
class TTypist : public QObject {
 public:
  explicit TTypist(QWidget* target) : target_(target) {
    // A key event made without a device takes the primary keyboard, which
    // is created at its first use: on this thread, not the typist's.
    (void)QInputDevice::primaryKeyboard();
    target_->installEventFilter(this);
    thread_ = std::thread([this] {
      bool type = true;
      while (!stop_) {
        auto* key = type ? new TStampedKey(Qt::Key_A, "a") : new TStampedKey(Qt::Key_Backspace, "");
        type = !type;
        ++posted_;
        QCoreApplication::postEvent(target_, key);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    });
  }
  ~TTypist() override { Stop(); }
  void Stop() {
    if (stop_.exchange(true)) return;
    thread_.join();
    QCoreApplication::removePostedEvents(target_, QEvent::KeyPress);
    target_->removeEventFilter(this);
  }
  int Posted() const { return posted_; }
  int Handled() const { return static_cast<int>(delays_.size()); }
  int64_t WorstMs() const {
    return delays_.empty() ? -1 : *std::max_element(delays_.begin(), delays_.end());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == target_ && event->type() == QEvent::KeyPress) {
      if (const auto* key = dynamic_cast<TStampedKey*>(event)) {
        delays_.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - key->posted)
                              .count());
      }
    }
    return false;
  }

 private:
  QWidget* target_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> posted_{0};
  std::vector<int64_t> delays_;  // main thread only
};

std::string Line(int port, const std::string& path, const std::string& address = "https://x/",
                 int sure = 1) {
  return "http://127.0.0.1:" + std::to_string(port) + path + "," + address + ",1," +
         std::to_string(sure) + ",0,0";
}

// One misbehaviour. Either a step of the chain is answered badly (play, on
// the connection that asked for it), or every step is answered and the ad
// list is what is hostile.
struct TScenario {
  std::string name;
  std::optional<Step> step;
  std::function<void(TServerConnection&, const std::string& path)> play;
  // The ad list of the hostile phase; by default one banner, "/b/hostile.gif".
  std::function<std::string(int port)> list;
  // How many bad answers make the hostile phase; without a step the phase
  // ends when the pass has saved the version.
  int answers = 1;
  // Files besides the honest ones that the Banner folder holds after.
  std::set<std::string> extraEntries;
  // Made in the folder of the program before the start.
  std::function<void(const std::string& root)> prepare;
  // Bound on the growth of the peak resident size. Banners go to disk as
  // they arrive, whatever their size; only an ad list is held in memory.
  // Showing banners alone grows it by up to 12 MiB on a loaded machine (the
  // widgets' and the sanitizer's own allocations); a banner held in memory,
  // up to the client's 32 MiB cap, would still pass the bound.
  long peakBoundKiB = 16 * 1024;
  // Addresses that banners of the hostile list lead to, shown in this
  // order: each is clicked while its banner is up.
  std::vector<std::string> clicks;
  // What the fake browser must have received after those clicks.
  std::vector<std::string> opened;
  // Run on the Banner folder when the hostile phase has ended.
  std::function<void(const std::string& folder, int port)> check;
  // The banner served for "/b/<name>" in the hostile phase; by default a
  // small blue GIF.
  std::function<std::string(const std::string& path)> banner;
};

// How the scenario appears in test listings.
void PrintTo(const TScenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

// The update server: hostile until told to be honest.
class THostileServer {
 public:
  explicit THostileServer(const TScenario& scenario)
      : scenario_(scenario),
        honestGif_(Bytes(GifOf(Qt::red))),
        otherGif_(Bytes(GifOf(Qt::blue))),
        server_([this](TServerConnection& c) { Serve(c); }) {}
  int Port() const { return server_.Port(); }
  int BadAnswers() const { return bad_; }
  void TurnHonest() { honest_ = true; }

 private:
  void Serve(TServerConnection& c) {
    for (;;) {
      const std::string head = c.ReadRequest();
      if (head.empty()) return;
      const std::string path = PathOf(head);
      if (!honest_ && scenario_.step && StepOf(path) == *scenario_.step) {
        scenario_.play(c, path);
        ++bad_;
        return;  // the connection ends with the misbehaviour
      }
      if (!c.Send(honest_ ? HonestAnswer(path) : HostilePhaseAnswer(path))) return;
    }
  }
  std::string HonestAnswer(const std::string& path) const {
    if (path == kVersionPath) return Ok("100\r\n");
    if (path == kListPath) return Ok(Line(Port(), "/honest.gif", kHonestAddress) + "\r\n");
    if (path == "/honest.gif") return Ok(honestGif_);
    return http::test::Response("HTTP/1.1 404 Not Found", {"Content-Length: 0"}, "");
  }
  std::string HostilePhaseAnswer(const std::string& path) const {
    if (path == kVersionPath) return Ok("5\r\n");
    if (path == kListPath) {
      return Ok(scenario_.list ? scenario_.list(Port()) : Line(Port(), "/b/hostile.gif") + "\r\n");
    }
    return Ok(scenario_.banner ? scenario_.banner(path) : otherGif_);
  }

  const TScenario& scenario_;
  const std::string honestGif_, otherGif_;
  std::atomic<bool> honest_{false};
  std::atomic<int> bad_{0};
  TScriptedServer server_;
};

// Sends bytes in pieces until count bytes went out or the client is gone.
void Flood(TServerConnection& c, size_t count, char fill) {
  const std::string piece(64 * 1024, fill);
  for (size_t sent = 0; sent < count; sent += piece.size()) {
    if (!c.Send(piece)) return;
  }
}

// Lines first to first + count of a list of 100,000: a banner every
// thousandth, junk of several kinds between.
std::string HundredThousandLines(int port, int first, int count) {
  std::string list;
  for (int i = first; i < first + count; ++i) {
    if (i % 1000 == 999) {
      list += Line(port, "/b/n" + std::to_string(i) + ".gif");
    } else {
      switch (i % 4) {
        case 0:
          list += "junk line " + std::to_string(i);
          break;
        case 1:
          list += "http://127.0.0.1/a.gif,u,one,1,0,0";
          break;
        case 2:
          list += ",,,,,";
          break;
        default:
          list += "http://h/" + std::string(100, 'n') + ",u,1,1,0,";
          break;
      }
    }
    list += "\r\n";
  }
  return list;
}

std::string PathTricks(int port) {
  std::string list;
  for (const char* path :
       {"/../../outside.txt", "/b/..", "/b/.", "/b/", "/b/link.gif", "/b/..%2F..%2Fevil.gif",
        "/b/back\\..\\..\\x.gif", "/b/ctl\x01.gif", "/b/%00.gif", "/b/ok.gif"})
    list += Line(port, path) + "\r\n";
  return list + Line(port, "/b/" + std::string(300, 'l') + ".gif") + "\r\n";  // too long a name
}

std::vector<TScenario> Scenarios() {
  constexpr size_t k100MB = 100 * 1024 * 1024;
  std::vector<TScenario> all;
  {
    TScenario& s = all.emplace_back();
    s.name = "NeverAnswers";
    s.step = Step::Version;
    s.play = [](TServerConnection& c, const std::string&) { c.WaitForClientClose(); };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "DripsTheAdList";
    s.step = Step::List;
    s.play = [](TServerConnection& c, const std::string&) {
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")) return;
      // A byte every 100 ms, for as long as the client listens (at most a minute).
      for (int i = 0; i < 600 && !c.PauseOrStop(100); ++i)
        if (!c.Send("x")) return;
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "ResetsDuringABanner";
    s.step = Step::Banner;
    s.play = [](TServerConnection& c, const std::string&) {
      c.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nGIF89a");
      c.Reset();
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "SendsGarbage";
    s.step = Step::Version;
    s.play = [](TServerConnection& c, const std::string&) {
      std::mt19937 random(7);
      std::string noise(64 * 1024, '\0');
      for (char& b : noise) b = static_cast<char>(random());
      c.Send(noise);
      c.Close();
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "RedirectsABanner";
    s.step = Step::Banner;
    s.play = [](TServerConnection& c, const std::string&) {
      c.Send(http::test::Response(
          "HTTP/1.1 302 Found",
          {"Location: http://127.0.0.1:1/../../etc/passwd", "Content-Length: 4"}, "GIF8"));
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "HundredMegabyteBanners";
    s.step = Step::Banner;
    s.answers = 2;  // one with its length announced, one sent until the close
    s.play = [k100MB](TServerConnection& c, const std::string& path) {
      const std::string head = path == "/b/announced.gif"
                                   ? "Content-Length: " + std::to_string(k100MB) + "\r\n"
                                   : "Connection: close\r\n";
      if (!c.Send("HTTP/1.1 200 OK\r\n" + head + "\r\n")) return;
      Flood(c, k100MB, 'G');
      c.Close();
    };
    s.list = [](int port) {
      return Line(port, "/b/announced.gif") + "\r\n" + Line(port, "/b/unannounced.gif") + "\r\n";
    };
  }
  {
    // 100,000 lines are beyond the list's bounds: the download fails at the
    // 1,001st line, nothing is stored, and the next tick asks again.
    TScenario& s = all.emplace_back();
    s.name = "HundredThousandLineAdList";
    s.step = Step::List;
    s.answers = 2;
    s.play = [](TServerConnection& c, const std::string&) {
      // Sent as it is made, until the close, so that the server holds none of it.
      if (!c.Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")) return;
      for (int block = 0; block < 100; ++block)
        if (!c.Send(HundredThousandLines(0, block * 1000, 1000))) return;
      c.Close();
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "AdListOf32MiBOfEmptyLines";
    s.step = Step::List;
    s.answers = 2;
    s.play = [](TServerConnection& c, const std::string&) {
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Length: 33554432\r\n\r\n")) return;
      Flood(c, 32u << 20, '\n');
      c.Close();
    };
  }
  {
    // The first line "5" is all that is kept of the version file.
    TScenario& s = all.emplace_back();
    s.name = "VersionFileOf32MiBOfLineBreaks";
    s.step = Step::Version;
    s.play = [](TServerConnection& c, const std::string&) {
      // Within the client's 32 MiB body bound: "5" and 32 MiB - 64 KiB of LF.
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Length: 33488897\r\n\r\n5")) return;
      Flood(c, (32u << 20) - 65536, '\n');
      c.Close();
    };
  }
  {
    // 40 banners of 32 MiB: the folder stops at 64 MiB, and what passes it
    // is cut off and leaves nothing.
    TScenario& s = all.emplace_back();
    s.name = "FortyBannersOf32MiB";
    s.step = Step::Banner;
    s.answers = 2;  // two fill the folder; the other 38 are not asked for
    s.play = [](TServerConnection& c, const std::string&) {
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Length: 33554432\r\n\r\n")) return;
      Flood(c, 32u << 20, 'B');
    };
    s.list = [](int port) {
      std::string list;
      for (int i = 0; i < 40; ++i)
        list += Line(port, "/b/big" + std::to_string(i) + ".gif") + "\r\n";
      return list;
    };
    s.check = [](const std::string& folder, int) {
      EXPECT_LE(FolderSize(folder).bytes, banner::kMaxBannerBytes + banner::kMaxAdListBytes);
    };
    // The rotation reads one of the 32 MiB files whole, to find it is no picture.
    s.peakBoundKiB = 48 * 1024;
  }
  {
    // 1,000 banners in one list: 100 are stored, the others are not asked for.
    TScenario& s = all.emplace_back();
    s.name = "AThousandBanners";
    s.list = [](int port) {
      std::string list;
      for (int i = 0; i < 1000; ++i)  // shown for 0 s each: the rotation holds no tick for long
        list += Line(port, "/b/n" + std::to_string(i) + ".gif", "https://x/", 0) + "\r\n";
      return list;
    };
    s.check = [](const std::string& folder, int) {
      EXPECT_EQ(FolderSize(folder).files, banner::kMaxBanners + 2);
    };
  }
  {
    // A banner named like the ad list, from another path: skipped, so the
    // list stays and the next click cannot be turned to a file.
    TScenario& s = all.emplace_back();
    s.name = "ABannerNamedLikeTheAdList";
    s.list = [](int port) {
      return Line(port, "/evil/LISTE.LST") + "\r\n" + Line(port, "/b/ok.gif") + "\r\n";
    };
    s.banner = [](const std::string& path) {
      return path == "/evil/LISTE.LST" ? std::string("x,file:///etc/shadow,1,5,0,0\r\n")
                                       : Bytes(GifOf(Qt::blue));
    };
    s.check = [](const std::string& folder, int port) {
      EXPECT_EQ(banner::ReadFolderFile(folder, "liste.lst"),
                Line(port, "/evil/LISTE.LST") + "\r\n" + Line(port, "/b/ok.gif") + "\r\n");
    };
  }
  {
    // 959 bytes: 40 one-pixel frames on a 4000 x 4000 screen. Composed onto
    // the banner area, they take 4.5 MB instead of 2.6 GB.
    TScenario& s = all.emplace_back();
    s.name = "AGifWithAHugeScreen";
    s.list = [](int port) {
      return Line(port, "/b/huge.gif", "https://lugatim.org/huge", 2) + "\r\n";
    };
    s.banner = [](const std::string&) {
      std::vector<codecs::TGifEncodeFrame> frames;
      for (int i = 0; i < 40; ++i) {
        codecs::TGifEncodeFrame frame;
        QImage pixel(1, 1, QImage::Format_Indexed8);
        pixel.setColorTable({qRgb(0, 0, 255)});
        pixel.fill(0);
        frame.image = pixel;
        frame.left = frame.top = i * 90;
        frame.delayMs = 100;
        frames.push_back(frame);
      }
      codecs::TGifEncodeOptions options;
      options.width = options.height = 4000;
      return Bytes(codecs::EncodeGif(frames, options));
    };
    s.clicks = {"https://lugatim.org/huge"};
    s.opened = {"https://lugatim.org/huge"};
    s.peakBoundKiB = 32 * 1024;
  }
  {
    // A click opens only an absolute web address with a host.
    TScenario& s = all.emplace_back();
    s.name = "ClickThroughsToThisMachine";
    s.clicks = {"file:///etc/passwd",    "javascript:alert(1)", "/usr/bin/xterm",
                "smb://host/share",      "Banner/page.html",    "file:///tmp/Banner/evil.desktop",
                "https://lugatim.org/ok"};
    s.opened = {"https://lugatim.org/ok"};
    s.list = [clicks = s.clicks](int port) {
      std::string list;
      for (size_t i = 0; i < clicks.size(); ++i)
        list += Line(port, "/b/c" + std::to_string(i) + ".gif", clicks[i], 1) + "\r\n";
      // A file the same list brings, which a click must not open either.
      return list + Line(port, "/b/evil.desktop", "file:///tmp/Banner/evil.desktop", 1) + "\r\n";
    };
  }
  {
    TScenario& s = all.emplace_back();
    s.name = "PathTricksInTheAdList";
    s.list = PathTricks;
    // Each name is what follows the address's last "/", taken literally;
    // "", ".", "..", a control character and an over-long name are refused,
    // and the link is replaced by a file without its target being touched.
    s.check = [](const std::string& folder, int) {
      for (const char* name : {"outside.txt", "link.gif", "..%2F..%2Fevil.gif",
                               "back\\..\\..\\x.gif", "%00.gif", "ok.gif"})
        EXPECT_TRUE(std::filesystem::exists(folder + name)) << name;
    };
    s.prepare = [](const std::string& root) {
      std::ofstream(root + "precious.txt") << "precious";
      std::filesystem::create_symlink(root + "precious.txt", root + "Banner/link.gif");
    };
  }
  return all;
}

}  // namespace

class HostileServer : public WindowFixture, public ::testing::WithParamInterface<TScenario> {
 protected:
  void TearDown() override {
    window_.reset();
    unsetenv("LUGATIM_UPDATE_SERVER");
    WindowFixture::TearDown();
  }
};

TEST_P(HostileServer, WindowStaysResponsiveAndTheNextTickWorks) {
  const TScenario& scenario = GetParam();
  MakeDictionaries();
  const std::string banner = dir_ + "Banner/";
  std::filesystem::create_directories(banner);
  if (scenario.prepare) scenario.prepare(dir_);
  const auto before = Outside(dir_);

  THostileServer server(scenario);
  setenv("LUGATIM_UPDATE_SERVER", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
  window_ = std::make_unique<app::TfrmLugatim>(state_, dir_, base::SystemClock::Instance(), 100);
  window_->HttpClient1.SetReadTimeOut(1500);
  window_->HttpClient1.SetTransferTimeOut(3000);
  dataModule_ = std::make_unique<data::TDModuleFrm>(dialogs_);
  window_->AttachDataModule(dataModule_.get());
  // The ticks wait until the window is up, so that the peak measured from
  // here is what the channel adds.
  window_->Timer1->stop();
  window_->show();
  window_->Edit1->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  QTest::qWait(200);
  const bool peakKnown = ResetPeakResidentSize();
  const long residentBefore = StatusKiB("VmRSS:");
  window_->Timer1->start();

  TTypist typist(window_->Edit1);
  TFakeBrowser browser;
  QElapsedTimer phase;
  phase.start();
  // The misbehaviour plays to its end (time-outs included).
  if (scenario.step) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.BadAnswers() >= scenario.answers; }, 60000))
        << "the misbehaviour was not played to its end";
  } else {
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::filesystem::exists(banner + "versiyon.ver"); }, 60000))
        << "the hostile list was never stored";
  }
  // Each address is clicked while its banner is up: the address changes on
  // this thread only, so a click right after it was seen finds it.
  for (const std::string& address : scenario.clicks) {
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return state_.channel.clickThroughAddress == address; }, 60000))
        << address << " was never shown";
    QTest::mouseClick(window_->Image1, Qt::LeftButton, {}, QPoint(20, 20));
  }
  const qint64 hostileMs = phase.elapsed();
  const TFolderSize hostileFolder = FolderSize(banner);
  if (scenario.check) scenario.check(banner, server.Port());
  server.TurnHonest();
  phase.restart();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return state_.channel.clickThroughAddress == kHonestAddress; }, 60000))
      << "the honest banner never came";
  const qint64 recoveryMs = phase.elapsed();
  typist.Stop();

  const long peakGrowthKiB = StatusKiB("VmHWM:") - residentBefore;
  std::string received;
  for (const std::string& url : browser.received) received += (received.empty() ? "" : " ") + url;
  RecordProperty("worst_key_delay_ms", static_cast<int>(typist.WorstMs()));
  RecordProperty("peak_growth_kib", static_cast<int>(peakGrowthKiB));
  RecordProperty("folder_bytes", static_cast<int>(hostileFolder.bytes));
  RecordProperty("folder_files", hostileFolder.files);
  RecordProperty("browser_received", received);
  RecordProperty("hostile_ms", static_cast<int>(hostileMs));
  RecordProperty("recovery_ms", static_cast<int>(recoveryMs));
  std::printf(
      "%s: worst key delay %lld ms over %d presses, peak growth %ld KiB, folder %lld bytes in "
      "%d files, browser received [%s], hostile phase %lld ms, recovery %lld ms\n",
      scenario.name.c_str(), static_cast<long long>(typist.WorstMs()), typist.Handled(),
      peakGrowthKiB, static_cast<long long>(hostileFolder.bytes), hostileFolder.files,
      received.c_str(), static_cast<long long>(hostileMs), static_cast<long long>(recoveryMs));

  EXPECT_GT(typist.Handled(), 0);
  EXPECT_LT(typist.WorstMs(), 500);
  if (peakKnown) {
    EXPECT_LT(peakGrowthKiB, scenario.peakBoundKiB);
  }
  EXPECT_LE(hostileFolder.bytes, banner::kMaxBannerBytes + banner::kMaxAdListBytes + 64);
  EXPECT_LE(hostileFolder.files, banner::kMaxBanners + 2);
  EXPECT_EQ(browser.received, scenario.opened);
  const QImage shown = window_->Image1->CurrentFrame();
  ASSERT_FALSE(shown.isNull());
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(Qt::red));

  window_.reset();  // the rotation ends; the folder is final
  EXPECT_EQ(Outside(dir_), before);
  // The honest pass removed every banner its list no longer names.
  std::set<std::string> expected = {"Liste.lst", "versiyon.ver", "honest.gif"};
  expected.insert(scenario.extraEntries.begin(), scenario.extraEntries.end());
  EXPECT_EQ(Entries(banner), expected);
  EXPECT_FALSE(std::filesystem::is_symlink(banner + "link.gif"));
  EXPECT_TRUE(dialogs_.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, HostileServer, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<TScenario>& info) {
                           return info.param.name;
                         });

#include "HostileServerTest.moc"

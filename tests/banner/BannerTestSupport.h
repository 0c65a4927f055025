#pragma once
// What the banner tests share: a scripted loopback site that serves paths,
// a Banner folder in a temporary folder, banner pictures, a display that
// records what it is given, a catcher for the addresses the desktop would
// open, and a driver that runs a rotation on a clock set by hand.

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QUrl>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "banner/BannerChannel.h"
#include "base/Clock.h"
#include "tests/http/ScriptedServer.h"
#include "tests/http/TestSupport.h"

namespace lugatim::banner::test {

using http::test::TTempDir;

// Catches the addresses the desktop would open, while it lives: web
// addresses and those of the schemes a hostile list would try (a relative
// address has the empty scheme).
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  static constexpr const char* kCaughtSchemes[] = {"http", "https", "file", "javascript",
                                                   "smb",  "ftp",   "data", ""};
  TUrlCatcher();
  ~TUrlCatcher() override;
  std::vector<std::string> urls;
 public slots:
  void Open(const QUrl& url) { urls.push_back(url.toString().toStdString()); }
};

// A loopback HTTP/1.1 server answering each request by its path; unknown
// paths get 404. Responses may be delayed per path.
class TSite {
 public:
  TSite();
  ~TSite();
  int Port() const { return server_->Port(); }
  std::string Url(const std::string& path) const { return server_->Url(path); }

  void SetOk(const std::string& path, const std::string& body);
  // A whole response, status line to body.
  void SetResponse(const std::string& path, const std::string& response);
  void SetDelay(const std::string& path, int ms);
  // The path of every request so far, in order.
  std::vector<std::string> Paths() const;
  int Count(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> responses_;
  std::map<std::string, int> delays_;
  std::unique_ptr<http::test::TScriptedServer> server_;
};

// A temporary folder with a Banner folder inside it.
struct TBannerDir {
  TTempDir root;
  std::string folder = (root.Path() / "Banner").string() + "/";
  TBannerDir();
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Every entry name of the Banner folder, sorted.
  std::vector<std::string> Entries() const;
};

// Banner pictures, as file bytes.
std::string GifBytes(QRgb colour, int width = 468, int height = 60);
// Frames of the colours, 100 ms each, looping forever.
std::string AnimatedGifBytes(const std::vector<QRgb>& colours, int width = 468, int height = 60);
std::string JpegBytes(QRgb colour, int width = 468, int height = 60);
// A 24-bit bitmap of one colour with the bottom-left pixel set to key.
std::string BmpBytes(QRgb colour, QRgb key, int width = 468, int height = 60);

struct TShown {
  std::string urlToGo;
  std::string format;
  bool animated = false;
  QImage image;
  int64_t atMs = 0;  // the clock's local time when it was shown
  std::string clickThroughAtShow;
};

// Records every banner it is given, with the clock's time.
class TRecordingDisplay : public IBannerDisplay {
 public:
  TRecordingDisplay(const base::TClock& clock, const TChannelState& state)
      : clock_(clock), state_(state) {}
  void ShowBanner(const TBannerPicture& banner, const std::string& urlToGo) override;
  std::vector<TShown> shown;

 private:
  const base::TClock& clock_;
  const TChannelState& state_;
};

// Local time in milliseconds of the clock.
int64_t NowMs(const base::TClock& clock);
// Moves a clock set by hand on by ms of local time.
void AdvanceLocal(base::ManualClock& clock, int64_t ms);

// Runs the main thread's events until the channel's rotation has ended,
// moving the clock on by stepMs each time the rotation thread sleeps on it
// having seen its latest time. Returns the clock's local time at the end,
// or -1 when the clock went more than limitMs on without an end.
int64_t DriveRotation(TBannerChannel& channel, base::ManualClock& clock, int64_t stepMs,
                      int64_t limitMs = 600000);

// An ad line.
std::string AdLine(const std::string& url, const std::string& urlToGo, int sure, int silinecek = 0,
                   int holdBack = 0, int oncelik = 1);

}  // namespace lugatim::banner::test

#include "tests/banner/BannerTestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <algorithm>
#include <fstream>

#include "banner/Kodlar.h"
#include "banner/WaitSeconds.h"
#include "codecs/Bmp.h"
#include "codecs/GifEncoder.h"
#include "codecs/Jpeg.h"

namespace lugatim::banner::test {

TUrlCatcher::TUrlCatcher() {
  for (const char* scheme : kCaughtSchemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
}

TUrlCatcher::~TUrlCatcher() {
  for (const char* scheme : kCaughtSchemes) QDesktopServices::unsetUrlHandler(scheme);
}
namespace {

std::string PathOf(const std::string& head) {
  const size_t sp1 = head.find(' ');
  const size_t sp2 = head.find(' ', sp1 + 1);
  if (sp1 == std::string::npos || sp2 == std::string::npos) return {};
  return head.substr(sp1 + 1, sp2 - sp1 - 1);
}

std::string ToString(const QByteArray& bytes) {
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QImage Filled(QRgb colour, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

}  // namespace

TSite::TSite() {
  server_ = std::make_unique<http::test::TScriptedServer>([this](http::test::TServerConnection& c) {
    for (;;) {
      const std::string head = c.ReadRequest();
      if (head.empty()) return;
      const std::string path = PathOf(head);
      std::string response;
      int delay = 0;
      {
        std::lock_guard lock(mutex_);
        const auto it = responses_.find(path);
        response = it != responses_.end()
                       ? it->second
                       : http::test::Response("HTTP/1.1 404 Not Found", {"Content-Length: 0"}, "");
        const auto d = delays_.find(path);
        if (d != delays_.end()) delay = d->second;
      }
      if (delay > 0 && c.PauseOrStop(delay)) return;
      if (!c.Send(response)) return;
      // "Connection: close" announces the close; "X-Then-Close" closes unannounced.
      if (response.find("Connection: close") != std::string::npos ||
          response.find("X-Then-Close") != std::string::npos) {
        c.Close();
        return;
      }
    }
  });
}

TSite::~TSite() = default;

void TSite::SetOk(const std::string& path, const std::string& body) {
  SetResponse(path, http::test::Ok(body));
}

void TSite::SetResponse(const std::string& path, const std::string& response) {
  std::lock_guard lock(mutex_);
  responses_[path] = response;
}

void TSite::SetDelay(const std::string& path, int ms) {
  std::lock_guard lock(mutex_);
  delays_[path] = ms;
}

std::vector<std::string> TSite::Paths() const {
  std::vector<std::string> paths;
  for (const std::string& head : server_->Requests()) paths.push_back(PathOf(head));
  return paths;
}

int TSite::Count(const std::string& path) const {
  const auto paths = Paths();
  return static_cast<int>(std::count(paths.begin(), paths.end(), path));
}

TBannerDir::TBannerDir() {
  EnsureBannerFolder(folder);
}

void TBannerDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(folder + name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TBannerDir::Read(const std::string& name) const {
  return http::test::ReadFile(folder + name);
}

bool TBannerDir::Exists(const std::string& name) const {
  std::error_code ignored;
  return std::filesystem::symlink_status(folder + name, ignored).type() !=
         std::filesystem::file_type::not_found;
}

std::vector<std::string> TBannerDir::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string GifBytes(QRgb colour, int width, int height) {
  int transparent = -1;
  codecs::TGifEncodeFrame frame;
  frame.image = codecs::ToIndexed8(Filled(colour, width, height), &transparent);
  frame.transparentIndex = transparent;
  return ToString(codecs::EncodeGif({frame}, {}));
}

std::string AnimatedGifBytes(const std::vector<QRgb>& colours, int width, int height) {
  std::vector<codecs::TGifEncodeFrame> frames;
  for (const QRgb colour : colours) {
    int transparent = -1;
    codecs::TGifEncodeFrame frame;
    frame.image = codecs::ToIndexed8(Filled(colour, width, height), &transparent);
    frame.delayMs = 100;
    frames.push_back(frame);
  }
  codecs::TGifEncodeOptions options;
  options.loopCount = 0;
  return ToString(codecs::EncodeGif(frames, options));
}

std::string JpegBytes(QRgb colour, int width, int height) {
  return ToString(codecs::EncodeJpeg(Filled(colour, width, height), 90));
}

std::string BmpBytes(QRgb colour, QRgb key, int width, int height) {
  QImage image = Filled(colour, width, height);
  image.setPixel(0, height - 1, key);
  return ToString(codecs::EncodeBmp(image, 24));
}

void TRecordingDisplay::ShowBanner(const TBannerPicture& banner, const std::string& urlToGo) {
  TShown s;
  s.urlToGo = urlToGo;
  s.format = banner.picture.format;
  s.animated = banner.picture.IsAnimated();
  s.image = banner.picture.image;
  s.atMs = NowMs(clock_);
  s.clickThroughAtShow = state_.clickThroughAddress;
  shown.push_back(s);
}

int64_t NowMs(const base::TClock& clock) {
  return LocalTimeMs(clock.Now());
}

void AdvanceLocal(base::ManualClock& clock, int64_t ms) {
  clock.SetNow(LocalDateTimeOf(LocalTimeMs(clock.Now()) + ms));
}

int64_t DriveRotation(TBannerChannel& channel, base::ManualClock& clock, int64_t stepMs,
                      int64_t limitMs) {
  bool ended = false;
  auto previous = channel.OnRotationEnded;
  channel.OnRotationEnded = [&] { ended = true; };
  int64_t advanced = 0;
  while (!ended) {
    // Hands the thread's banners over (and delivers its end) ...
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (ended) break;
    // ... and moves the clock on only while the thread waits on it.
    if (clock.WaitForSleepers(1, 5)) {
      if (advanced >= limitMs) {
        channel.OnRotationEnded = previous;
        return -1;
      }
      AdvanceLocal(clock, stepMs);
      advanced += stepMs;
    }
  }
  channel.OnRotationEnded = previous;
  return NowMs(clock);
}

std::string AdLine(const std::string& url, const std::string& urlToGo, int sure, int silinecek,
                   int holdBack, int oncelik) {
  return url + "," + urlToGo + "," + std::to_string(oncelik) + "," + std::to_string(sure) + "," +
         std::to_string(silinecek) + "," + std::to_string(holdBack);
}

}  // namespace lugatim::banner::test

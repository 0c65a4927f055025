// The rotation thread on a clock set by hand: which banners it shows, for
// how long, the click-through address, the failures that end a pass, and
// stopping it in the middle.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QSignalSpy>
#include <chrono>

#include "banner/BannerChannel.h"
#include "banner/BannerPicture.h"
#include "banner/WaitSeconds.h"
#include "base/StringList.h"
#include "base/Trace.h"
#include "codecs/CodecError.h"
#include "codecs/GifEncoder.h"
#include "codecs/MetafileWriter.h"
#include "tests/banner/BannerTestSupport.h"
#include "widgets/ImageControl.h"

namespace lugatim::banner {
namespace {

using test::AdLine;
using test::NowMs;

class Rotation : public ::testing::Test {
 protected:
  void SetUp() override {
    state.bannerFolder = dir.folder;
    state.adList = std::make_unique<base::TStringList>();
    t0 = NowMs(clock);
  }
  void List(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    dir.Write("Liste.lst", text);
  }
  // Runs one pass to its end; returns how long it took on the clock. (The
  // flag is not looked at right after the start: a pass with nothing to
  // show may already have cleared it.)
  int64_t RunPass() {
    channel->BannerGoruntuleExecute();
    const int64_t end = test::DriveRotation(*channel, clock, 100);
    EXPECT_FALSE(state.busy);
    EXPECT_FALSE(channel->RotationRunning());
    return end < 0 ? -1 : end - t0;
  }
  std::vector<std::string> Urls() const {
    std::vector<std::string> urls;
    for (const auto& s : display.shown) urls.push_back(s.urlToGo);
    return urls;
  }

  test::TBannerDir dir;
  TChannelState state;
  base::ManualClock clock{base::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}};
  http::THttpClient client;
  test::TRecordingDisplay display{clock, state};
  std::unique_ptr<TBannerChannel> channel =
      std::make_unique<TBannerChannel>(client, state, clock, display);
  int64_t t0 = 0;
};

TEST_F(Rotation, ShowsEachShownLineForItsDurationAndSkipsTheOthers) {
  dir.Write("a.gif", test::GifBytes(qRgb(255, 0, 0)));
  dir.Write("b.gif", test::GifBytes(qRgb(0, 255, 0)));
  dir.Write("c.jpg", test::JpegBytes(qRgb(0, 0, 255)));
  List({AdLine("http://h/a.gif", "http://go/1", 5),
        AdLine("http://h/b.gif", "http://go/2", 5, 1, 0),
        AdLine("http://h/c.jpg", "http://go/3", 7)});
  EXPECT_EQ(RunPass(), 12000);
  ASSERT_EQ(display.shown.size(), 2u);
  EXPECT_EQ(display.shown[0].urlToGo, "http://go/1");
  EXPECT_EQ(display.shown[0].atMs - t0, 0);
  EXPECT_EQ(display.shown[0].format, "gif");
  EXPECT_EQ(display.shown[0].image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(display.shown[1].urlToGo, "http://go/3");
  EXPECT_EQ(display.shown[1].atMs - t0, 5000);  // the second line cost no time
  EXPECT_EQ(display.shown[1].format, "jpg");
  // The address is set before the display is asked to show the banner.
  EXPECT_EQ(display.shown[1].clickThroughAtShow, "http://go/3");
  EXPECT_EQ(state.clickThroughAddress, "http://go/3");

  test::TUrlCatcher catcher;
  channel->Image1Click();
  EXPECT_EQ(catcher.urls, std::vector<std::string>{"http://go/3"});
}

TEST_F(Rotation, OtherFlagValuesAreSkippedToo) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "1", 5, 0, 1), AdLine("h/a.gif", "2", 5, 1, 1),
        AdLine("h/a.gif", "3", 5, 2, 0), AdLine("h/a.gif", "4", 1)});
  EXPECT_EQ(RunPass(), 1000);
  EXPECT_EQ(Urls(), std::vector<std::string>{"4"});
}

TEST_F(Rotation, SureSixtyShowsItsBannerAndEndsThePass) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "first", 60), AdLine("h/a.gif", "never", 5)});
  EXPECT_EQ(RunPass(), 0);
  EXPECT_EQ(Urls(), std::vector<std::string>{"first"});
}

TEST_F(Rotation, SureZeroGoesStraightOn) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "1", 0), AdLine("h/a.gif", "2", 0), AdLine("h/a.gif", "3", 2)});
  EXPECT_EQ(RunPass(), 2000);
  ASSERT_EQ(Urls(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(display.shown[2].atMs, t0);
}

TEST_F(Rotation, ExtensionsAnyCaseAndNamesFoundWithoutCase) {
  dir.Write("UP.GIF", test::GifBytes(qRgb(9, 9, 9)));
  dir.Write("Photo.JPEG", test::JpegBytes(qRgb(200, 200, 200)));
  dir.Write("plain.Bmp", test::BmpBytes(qRgb(10, 20, 30), qRgb(255, 0, 255)));
  QByteArray ico;
  QBuffer buffer(&ico);
  buffer.open(QIODevice::WriteOnly);
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(qRgb(0, 128, 0));
  ASSERT_TRUE(icon.save(&buffer, "ICO"));
  dir.Write("fav.ico", std::string(ico.constData(), static_cast<size_t>(ico.size())));
  // Written in one case, named in the list in another.
  List({AdLine("h/up.gif", "gif", 0), AdLine("h/photo.jpeg", "jpeg", 0),
        AdLine("h/PLAIN.BMP", "bmp", 0), AdLine("h/FAV.ICO", "ico", 0)});
  RunPass();
  ASSERT_EQ(display.shown.size(), 4u);
  EXPECT_EQ(display.shown[0].format, "gif");
  EXPECT_EQ(display.shown[1].format, "jpg");
  EXPECT_EQ(display.shown[2].format, "bmp");
  EXPECT_EQ(display.shown[3].format, "ico");
  // A bitmap is drawn with its bottom-left colour transparent.
  const QImage bmp = display.shown[2].image;
  EXPECT_EQ(qAlpha(bmp.pixel(0, bmp.height() - 1)), 0);
  EXPECT_EQ(bmp.pixel(5, 5), qRgb(10, 20, 30));
}

TEST_F(Rotation, MetafileBannersAreShownAtTheirFrame) {
  lugatim::codecs::TWmfWriter wmf(468, 60);
  wmf.FillRect(QRect(0, 0, 100, 60), QColor(10, 20, 30));
  lugatim::codecs::TEmfWriter emf(300, 40);
  emf.FillRect(QRect(0, 0, 100, 40), QColor(40, 50, 60));
  const QByteArray wmfBytes = wmf.Finish(), emfBytes = emf.Finish();
  dir.Write("w.wmf", std::string(wmfBytes.constData(), static_cast<size_t>(wmfBytes.size())));
  dir.Write("E.EMF", std::string(emfBytes.constData(), static_cast<size_t>(emfBytes.size())));
  List({AdLine("h/w.wmf", "wmf", 0), AdLine("h/E.EMF", "emf", 0)});
  RunPass();
  ASSERT_EQ(display.shown.size(), 2u);
  EXPECT_EQ(display.shown[0].format, "wmf");
  EXPECT_EQ(display.shown[0].image.size(), QSize(468, 60));
  EXPECT_EQ(display.shown[0].image.pixel(5, 5), qRgb(10, 20, 30));
  EXPECT_EQ(qAlpha(display.shown[0].image.pixel(200, 30)), 0);
  EXPECT_EQ(display.shown[1].format, "emf");
  EXPECT_EQ(display.shown[1].image.size(), QSize(300, 40));
  EXPECT_EQ(display.shown[1].image.pixel(5, 5), qRgb(40, 50, 60));
  EXPECT_EQ(Urls().back(), "emf");
}

TEST_F(Rotation, TheFirstFailureEndsThePassAndTheShownBannerStays) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  dir.Write("bad.gif", "not a gif");
  dir.Write("p.png", "png");
  dir.Write("m.wmf", "metafile");
  for (const std::string& failing : std::vector<std::string>{
           AdLine("h/missing.gif", "x", 1), AdLine("h/bad.gif", "x", 1), "a,b,c", "",
           AdLine("h/p.png", "x", 1), AdLine("h/m.wmf", "x", 1), AdLine("h/", "x", 1),
           AdLine("h/..", "x", 1), AdLine("h/a.gif", "x", 61), AdLine("h/a.gif", "x", -1)}) {
    display.shown.clear();
    List({AdLine("h/a.gif", "shown", 1), failing, AdLine("h/a.gif", "after", 1)});
    t0 = NowMs(clock);
    const int64_t took = RunPass();
    EXPECT_EQ(Urls().front(), "shown") << failing;
    EXPECT_EQ(Urls().back(), failing.find(",x,1,61,") != std::string::npos ||
                                     failing.find(",x,1,-1,") != std::string::npos
                                 ? "x"
                                 : "shown")
        << failing;
    EXPECT_EQ(took, 1000) << failing;
  }
}

TEST_F(Rotation, NoAdListEndsThePassAtOnce) {
  EXPECT_EQ(RunPass(), 0);
  EXPECT_TRUE(display.shown.empty());
  EXPECT_EQ(state.clickThroughAddress, "");
}

TEST_F(Rotation, AClickBeforeAnyBannerDoesNothing) {
  test::TUrlCatcher catcher;
  channel->Image1Click();
  EXPECT_TRUE(catcher.urls.empty());
}

TEST_F(Rotation, AClickDuringAPassOpensTheBannerShownThen) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "http://go/first", 3), AdLine("h/a.gif", "http://go/second", 3)});
  test::TUrlCatcher catcher;
  channel->BannerGoruntuleExecute();
  // Click once the first banner is up and its wait has begun.
  while (display.shown.empty()) QCoreApplication::processEvents();
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  channel->Image1Click();
  test::DriveRotation(*channel, clock, 100);
  EXPECT_EQ(catcher.urls, std::vector<std::string>{"http://go/first"});
  channel->Image1Click();
  EXPECT_EQ(catcher.urls.back(), "http://go/second");
}

// What a list names as the click-through address reaches the desktop only
// when it is an absolute web address with a host; everything else is
// traced and dropped, and the click changes nothing else.
TEST_F(Rotation, AClickOpensOnlyWebAddresses) {
  test::TUrlCatcher catcher;
  const std::vector<std::string> opened = {"http://lugatim.org/a", "https://lugatim.org/b?c=d",
                                           "HTTP://Lugatim.org/Upper", "http://127.0.0.1:8080/x"};
  const std::vector<std::string> refused = {"file:///etc/passwd",
                                            "javascript:alert(1)",
                                            "/usr/bin/xterm",
                                            "smb://host/share",
                                            "Banner/page.html",
                                            "file://" + dir.folder + "evil.desktop",
                                            "ftp://host/x",
                                            "data:text/html,hi",
                                            "http:///no-host",
                                            "http:relative",
                                            "https://",
                                            "//lugatim.org/no-scheme",
                                            "http://exa mple.org/"};
  for (const std::string& address : opened) {
    state.clickThroughAddress = address;
    channel->Image1Click();
  }
  ASSERT_EQ(catcher.urls.size(), opened.size());
  EXPECT_EQ(catcher.urls[2], "http://lugatim.org/Upper");
  for (const std::string& address : refused) {
    base::TraceCapture traces;
    state.clickThroughAddress = address;
    channel->Image1Click();
    EXPECT_EQ(catcher.urls.size(), opened.size()) << address << " was opened";
    EXPECT_EQ(traces.Lines(), std::vector<std::string>{"Tıklama adresi açılmadı : " + address});
    EXPECT_EQ(state.clickThroughAddress, address);
  }
}

TEST_F(Rotation, ATickDuringARotationDoesNothing) {
  test::TSite site;
  site.SetOk("/versiyon.ver", "9\r\n");
  channel->SetUpdateServer({"127.0.0.1", site.Port()});
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "1", 2)});
  channel->BannerGoruntuleExecute();
  while (display.shown.empty()) QCoreApplication::processEvents();
  channel->Timer1Timer();
  channel->Timer1Timer();
  EXPECT_TRUE(site.Paths().empty());
  EXPECT_EQ(test::DriveRotation(*channel, clock, 100) - t0, 2000);
  EXPECT_EQ(display.shown.size(), 1u);  // no second pass was started
}

TEST_F(Rotation, ATickWithTheFlagClearChecksThenStartsTheNextPass) {
  channel->SetUpdateServer({"127.0.0.1", http::test::FreeLoopbackPort()});  // unreachable
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "again", 1)});
  channel->Timer1Timer();
  EXPECT_TRUE(state.busy);  // the failed check cleared it, the new pass set it
  test::DriveRotation(*channel, clock, 100);
  channel->Timer1Timer();
  test::DriveRotation(*channel, clock, 100);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"again", "again"}));
}

TEST_F(Rotation, AnAnimatedBannerKeepsPlayingWhileTheRotationWaits) {
  dir.Write("anim.gif",
            test::AnimatedGifBytes({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
  List({AdLine("h/anim.gif", "a", 30)});
  struct TFakeImage {
    QImage image;
    std::unique_ptr<QMovie> movie;
    void SetImage(const QImage& i) { image = i; }
    void SetMovie(std::unique_ptr<QMovie> m) {
      movie = std::move(m);
      movie->start();
    }
  } image;
  class TShowOn : public IBannerDisplay {
   public:
    explicit TShowOn(TFakeImage& image) : image_(image) {}
    void ShowBanner(const TBannerPicture& banner, const std::string&) override {
      ShowBannerOn(image_, banner);
    }

   private:
    TFakeImage& image_;
  } showOn(image);
  TBannerChannel animated(client, state, clock, showOn);
  animated.BannerGoruntuleExecute();
  while (!image.movie) QCoreApplication::processEvents();
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));  // the thread waits on its 30 seconds
  EXPECT_EQ(image.movie->frameCount(), 3);
  EXPECT_EQ(image.movie->loopCount(), -1);  // forever
  QSignalSpy frames(image.movie.get(), &QMovie::frameChanged);
  std::vector<QRgb> colours;
  while (frames.count() < 4 && frames.wait(2000)) {
    colours.push_back(image.movie->currentImage().pixel(1, 1) & 0xFFFFFF);
  }
  EXPECT_GE(frames.count(), 4);
  EXPECT_NE(std::find(colours.begin(), colours.end(), 0x00FF00u), colours.end());
  EXPECT_TRUE(animated.RotationRunning());
  EXPECT_TRUE(state.busy);
}

TEST_F(Rotation, DestroyingTheChannelStopsAWaitingRotation) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "1", 59), AdLine("h/a.gif", "2", 59)});
  channel->BannerGoruntuleExecute();
  while (display.shown.empty()) QCoreApplication::processEvents();
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  const auto start = std::chrono::steady_clock::now();
  channel.reset();  // the clock never moves: only the stop can end the wait
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_FALSE(state.busy);
  EXPECT_EQ(display.shown.size(), 1u);
}

TEST_F(Rotation, DestroyingTheChannelStopsARotationWaitingToHandOver) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  std::vector<std::string> lines(50, AdLine("h/a.gif", "0", 0));
  List(lines);
  channel->BannerGoruntuleExecute();
  while (display.shown.size() < 3) QCoreApplication::processEvents();
  // No more events: the thread now waits for the main thread to take the next banner.
  channel.reset();
  EXPECT_FALSE(state.busy);
  const size_t shown = display.shown.size();
  QCoreApplication::processEvents();  // a hand-over still posted is dropped
  EXPECT_EQ(display.shown.size(), shown);
  EXPECT_LT(shown, 50u);
}

TEST_F(Rotation, AfterShutdownNoPassStarts) {
  dir.Write("a.gif", test::GifBytes(qRgb(1, 2, 3)));
  List({AdLine("h/a.gif", "1", 1)});
  channel->Shutdown();
  channel->BannerGoruntuleExecute();
  EXPECT_FALSE(channel->RotationRunning());
  EXPECT_FALSE(state.busy);
}

TEST(ImageContent, StillPicturesAsImagesAnimatedGifsAsMovies) {
  test::TBannerDir dir;
  dir.Write("s.gif", test::GifBytes(qRgb(5, 6, 7), 10, 4));
  dir.Write("a.gif", test::AnimatedGifBytes({qRgb(1, 1, 1), qRgb(2, 2, 2)}, 8, 3));
  const TImageContent still = ImageContentOf(LoadBannerPicture(dir.folder, "s.gif"));
  EXPECT_EQ(still.movie, nullptr);
  EXPECT_EQ(still.image.size(), QSize(10, 4));
  TImageContent movie = ImageContentOf(LoadBannerPicture(dir.folder, "A.GIF"));
  ASSERT_NE(movie.movie, nullptr);
  EXPECT_TRUE(movie.movie->isValid());
  EXPECT_EQ(movie.movie->frameCount(), 2);
  EXPECT_THROW(LoadBannerPicture(dir.folder, "none.gif"), base::Exception);
}

TEST(ImageContent, TheWindowsImageControlTakesBothKinds) {
  test::TBannerDir dir;
  dir.Write("a.gif", test::AnimatedGifBytes({qRgb(255, 0, 0), qRgb(0, 0, 255)}));
  dir.Write("p.bmp", test::BmpBytes(qRgb(0, 200, 0), qRgb(9, 9, 9), 600, 90));
  widgets::TImage image;
  image.resize(468, 60);
  ShowBannerOn(image, LoadBannerPicture(dir.folder, "a.gif"));
  EXPECT_TRUE(image.IsAnimated());
  EXPECT_EQ(image.CurrentFrame().pixel(3, 3), qRgb(255, 0, 0));
  ShowBannerOn(image, LoadBannerPicture(dir.folder, "p.bmp"));
  EXPECT_FALSE(image.IsAnimated());
  EXPECT_EQ(image.CurrentFrame().size(), QSize(600, 90));  // natural size; the control clips
  EXPECT_EQ(qAlpha(image.CurrentFrame().pixel(0, 89)), 0);
}

// A banner's picture is composed onto no more than the banner area and keeps
// to one budget for all its frames; over it, it fails like an undecodable one.
TEST(BannerPictureBudget, AHugeScreenIsFittedAndTooManyFramesFail) {
  test::TBannerDir dir;
  const auto gifOf = [](int side, int frames) {
    std::vector<codecs::TGifEncodeFrame> all;
    for (int i = 0; i < frames; ++i) {
      codecs::TGifEncodeFrame frame;
      QImage pixel(1, 1, QImage::Format_Indexed8);
      pixel.setColorTable({qRgb(9, 9, 9)});
      pixel.fill(0);
      frame.image = pixel;
      frame.left = i % 468;
      frame.delayMs = 100;
      all.push_back(frame);
    }
    codecs::TGifEncodeOptions options;
    options.width = options.height = side;
    const QByteArray bytes = codecs::EncodeGif(all, options);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
  };
  dir.Write("huge.gif", gifOf(4000, 40));
  const TBannerPicture banner = LoadBannerPicture(dir.folder, "huge.gif");
  ASSERT_EQ(banner.picture.animation.frames.size(), 40u);
  EXPECT_EQ(banner.picture.image.size(), kBannerArea);
  // The movie plays the fitted bytes, so it composes onto the area as well.
  const TImageContent content = ImageContentOf(banner);
  ASSERT_TRUE(content.movie);
  EXPECT_EQ(content.movie->cacheMode(), QMovie::CacheNone);
  ASSERT_TRUE(content.movie->jumpToFrame(0));
  EXPECT_EQ(content.movie->currentImage().size(), kBannerArea);
  // 600 frames of the area take more than 64 MiB.
  dir.Write("many.gif", gifOf(4000, 600));
  EXPECT_THROW(LoadBannerPicture(dir.folder, "many.gif"), codecs::EInvalidGraphic);
  dir.Write("fits.gif", gifOf(468, 590));
  EXPECT_EQ(LoadBannerPicture(dir.folder, "fits.gif").picture.animation.frames.size(), 590u);
}

}  // namespace
}  // namespace lugatim::banner

// End to end against a real nginx on a loopback port: one timer tick
// downloads the channel's files from it, writes the Banner folder, and
// starts the rotation of what it brought.
#include <gtest/gtest.h>

#include <cstdlib>

#include "banner/BannerChannel.h"
#include "base/StringList.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using http::test::FindExecutable;
using http::test::ReadFile;
using http::test::TChildProcess;
using test::AdLine;

class NginxPeer : public ::testing::Test {
 protected:
  void SetUp() override {
    binary_ = FindExecutable("nginx", {"/usr/sbin", "/sbin"});
    if (binary_.empty()) GTEST_SKIP() << "nginx is not installed";
    port_ = http::test::FreeLoopbackPort();
    const std::string p = site_.Path().string();
    site_.WriteFile("nginx.conf",
                    "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                    "pid " +
                        p + "/nginx.pid;\nerror_log " + p +
                        "/error.log;\n"
                        "events { worker_connections 64; }\n"
                        "http {\n  access_log " +
                        p +
                        "/access.log;\n"
                        "  client_body_temp_path " +
                        p +
                        "/body;\n"
                        "  proxy_temp_path " +
                        p +
                        "/proxy;\n"
                        "  fastcgi_temp_path " +
                        p +
                        "/fastcgi;\n"
                        "  uwsgi_temp_path " +
                        p +
                        "/uwsgi;\n"
                        "  scgi_temp_path " +
                        p +
                        "/scgi;\n"
                        "  server {\n    listen 127.0.0.1:" +
                        std::to_string(port_) + ";\n    root " + p + "/www;\n  }\n}\n");
    nginx_ = std::make_unique<TChildProcess>(
        std::vector<std::string>{binary_, "-p", p, "-c", p + "/nginx.conf", "-e", p + "/error.log"},
        site_.Path(), site_.Path() / "stdout.log");
    ASSERT_TRUE(nginx_->WaitUntilAccepting(port_, 10000)) << ReadFile(site_.Path() / "error.log");
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string Served(const std::string& path) const {
    return ReadFile(site_.Path() / "www" / path);
  }

  http::test::TTempDir site_;
  std::string binary_;
  int port_ = 0;
  std::unique_ptr<TChildProcess> nginx_;
};

TEST_F(NginxPeer, ATickDownloadsWritesTheFolderAndRotatesWhatItBrought) {
  site_.WriteFile("www/versiyon.ver", "5\r\nlines after the first are ignored\r\n");
  site_.WriteFile("www/img/anim.gif",
                  test::AnimatedGifBytes({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
  site_.WriteFile("www/img/photo.jpg", test::JpegBytes(qRgb(20, 40, 60), 500, 80));
  site_.WriteFile("www/img/plain.bmp", test::BmpBytes(qRgb(200, 10, 10), qRgb(0, 0, 0)));
  site_.WriteFile("www/img/held.gif", test::GifBytes(qRgb(7, 7, 7)));
  site_.WriteFile("www/img/gone.gif", test::GifBytes(qRgb(8, 8, 8)));
  const std::string list = AdLine(Url("/img/anim.gif"), "http://go.example/anim", 3) + "\r\n" +
                           AdLine(Url("/img/held.gif"), "http://go.example/held", 5, 1, 0) + "\n" +
                           AdLine(Url("/img/photo.jpg"), "http://go.example/photo", 2) + "\r\n" +
                           AdLine(Url("/img/gone.gif"), "http://go.example/gone", 5, 1, 1) +
                           "\r\n" + AdLine(Url("/img/plain.bmp"), "http://go.example/bmp", 4);
  site_.WriteFile("www/liste.lst", list);

  test::TBannerDir dir;
  TChannelState state;
  state.bannerFolder = dir.folder;
  state.adList = std::make_unique<base::TStringList>();
  base::ManualClock clock{base::LocalDateTime{2024, 9, 14, 16, 0, 0, 0}};
  http::THttpClient client;
  test::TRecordingDisplay display(clock, state);
  TBannerChannel channel(client, state, clock, display);
  ::setenv("LUGATIM_UPDATE_SERVER", ("127.0.0.1:" + std::to_string(port_)).c_str(), 1);
  channel.SetUpdateServer(ConfiguredUpdateServer());
  ::unsetenv("LUGATIM_UPDATE_SERVER");
  EXPECT_EQ(client.Host(), "127.0.0.1");
  EXPECT_EQ(client.Port(), port_);

  channel.Timer1Timer();
  ASSERT_TRUE(channel.RotationRunning());
  // The folder as the chain left it (the rotation only reads it).
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Liste.lst", "anim.gif", "held.gif",
                                                     "photo.jpg", "plain.bmp", "versiyon.ver"}));
  EXPECT_EQ(dir.Read("Liste.lst"), list);
  EXPECT_EQ(dir.Read("versiyon.ver"), "5\r\n");
  for (const char* name : {"anim.gif", "held.gif", "photo.jpg", "plain.bmp"}) {
    EXPECT_EQ(dir.Read(name), Served(std::string("img/") + name)) << name;
  }
  EXPECT_EQ(state.serverVersionNumber, 5);
  EXPECT_NE(ReadFile(site_.Path() / "access.log").find("GET /img/gone.gif "), std::string::npos);

  const int64_t t0 = test::NowMs(clock);
  const int64_t end = test::DriveRotation(channel, clock, 250);
  EXPECT_EQ(end - t0, 9000);
  ASSERT_EQ(display.shown.size(), 3u);
  EXPECT_EQ(display.shown[0].urlToGo, "http://go.example/anim");
  EXPECT_TRUE(display.shown[0].animated);
  EXPECT_EQ(display.shown[1].urlToGo, "http://go.example/photo");
  EXPECT_EQ(display.shown[1].atMs - t0, 3000);
  EXPECT_EQ(display.shown[1].image.size(), QSize(500, 80));
  EXPECT_EQ(display.shown[2].urlToGo, "http://go.example/bmp");
  EXPECT_EQ(display.shown[2].atMs - t0, 5000);
  EXPECT_EQ(qAlpha(display.shown[2].image.pixel(0, 59)), 0);

  test::TUrlCatcher opened;
  channel.Image1Click();
  EXPECT_EQ(opened.urls, std::vector<std::string>{"http://go.example/bmp"});

  // The next tick finds 5 against 5: one request, and the same banners again.
  channel.Timer1Timer();
  test::DriveRotation(channel, clock, 250);
  EXPECT_EQ(display.shown.size(), 6u);
  const std::string log = ReadFile(site_.Path() / "access.log");
  auto count = [&log](const std::string& text) {
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("GET /versiyon.ver "), 2);
  EXPECT_EQ(count("GET /liste.lst "), 1);
  EXPECT_EQ(count("GET /img/anim.gif "), 1);
}

}  // namespace
}  // namespace lugatim::banner

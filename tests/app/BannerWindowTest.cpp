// The window's banner channel end to end against a real HTTP server
// (python3 -m http.server on loopback): a tick fetches the version, the ad
// list and a banner into the Banner folder, the rotation shows it in Image1,
// and a click opens the line's address.

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QImage>
#include <QUrl>
#include <fstream>

#include "AppFixture.h"
#include "codecs/GifEncoder.h"

using namespace lugatim;

namespace {

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public slots:
  void Open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }

 public:
  std::vector<std::string> opened;
};

}  // namespace

class BannerWindow : public WindowFixture {
 protected:
  void TearDown() override {
    window_.reset();
    if (server_ > 0) {
      kill(server_, SIGKILL);
      waitpid(server_, nullptr, 0);
    }
    unsetenv("LUGATIM_UPDATE_SERVER");
    WindowFixture::TearDown();
  }
  pid_t server_ = -1;
};

TEST_F(BannerWindow, TickDownloadsRotatesAndAClickOpensTheAddress) {
  if (std::system("command -v python3 >/dev/null") != 0) GTEST_SKIP() << "python3 missing";
  MakeDictionaries();
  const std::string www = dir_ + "www/";
  std::filesystem::create_directories(www);
  const int port = FreePort();
  // A red 468 x 60 GIF banner.
  QImage red(468, 60, QImage::Format_RGB32);
  red.fill(Qt::red);
  codecs::TGifEncodeFrame frame;
  frame.image = red.convertToFormat(QImage::Format_Indexed8);
  const QByteArray gif = codecs::EncodeGif({frame}, {});
  std::ofstream(www + "kirmizi.gif", std::ios::binary).write(gif.data(), gif.size());
  std::ofstream(www + "versiyon.ver") << "3\r\n";
  std::ofstream(www + "liste.lst")
      << "http://127.0.0.1:" << port << "/kirmizi.gif,https://lugatim.org/kirmizi,1,2,0,0\r\n";
  server_ = fork();
  if (server_ == 0) {
    execlp("python3", "python3", "-m", "http.server", "--bind", "127.0.0.1", "--directory",
           www.c_str(), std::to_string(port).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setenv("LUGATIM_UPDATE_SERVER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");

  window_ = std::make_unique<app::TfrmLugatim>(state_, dir_, clock_, 200);
  dataModule_ = std::make_unique<data::TDModuleFrm>(dialogs_);
  window_->AttachDataModule(dataModule_.get());
  window_->show();

  // The tick retries until the server answers; the banner then appears.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return state_.channel.clickThroughAddress == "https://lugatim.org/kirmizi"; }, 20000));
  const QImage shown = window_->Image1->CurrentFrame();
  ASSERT_FALSE(shown.isNull());
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(Qt::red));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "Banner/kirmizi.gif"));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "Banner/Liste.lst"));
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return std::filesystem::exists(dir_ + "Banner/versiyon.ver"); }, 5000));

  QTest::mouseClick(window_->Image1, Qt::LeftButton, {}, QPoint(20, 20));
  ASSERT_EQ(catcher.opened.size(), 1u);
  EXPECT_EQ(catcher.opened[0], "https://lugatim.org/kirmizi");
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_TRUE(dialogs_.errors.empty());
}

#include "BannerWindowTest.moc"

// The shaped window on a real X server: a form with the built-in skin is
// shown on Xvfb and the screen is read back. Outside the mask the root
// window must show through; inside it, the face.
//
// The X11 platform has to be chosen before the process's QApplication
// exists, so the check runs in a child process of this test executable
// (XvfbChild.*, active only with LUGATIM_XVFB_CHILD set) on an Xvfb started
// by the parent test.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <climits>
#include <string>

#include "SkinTestSupport.h"

using namespace lugatim::skin;

namespace {

// Xvfb on a display number it picks itself (-displayfd), ended with the test.
class Xvfb {
 public:
  Xvfb() {
    const QString exe = QStandardPaths::findExecutable("Xvfb");
    if (exe.isEmpty()) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const std::string path = exe.toStdString();
      execl(path.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24",
            "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    while (poll(&pfd, 1, 15000) > 0) {
      char c;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~Xvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Found() const { return !QStandardPaths::findExecutable("Xvfb").isEmpty(); }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

std::string SelfPath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

}  // namespace

// The child runs at a device pixel ratio: QT_SCALE_FACTOR, as a user sets it.
class XvfbSkin : public ::testing::TestWithParam<const char*> {};

TEST_P(XvfbSkin, ShapedWindowShowsTheRootOutsideTheMaskAndTheFaceInside) {
  Xvfb server;
  if (!server.Found()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", QString::fromStdString(server.Display()));
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("QT_SCALE_FACTOR", GetParam());
  env.insert("LUGATIM_XVFB_CHILD", "1");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QString::fromStdString(SelfPath()), {"--gtest_filter=XvfbChild.*"});
  ASSERT_TRUE(child.waitForFinished(120000));
  const QString out = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
  EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ratios, XvfbSkin, ::testing::Values("1", "1.5", "2"),
                         [](const auto& info) {
                           return std::string(info.param == std::string("1.5") ? "OneAndAHalf"
                                              : info.param == std::string("2") ? "Two"
                                                                               : "One");
                         });

// The window's outline on the screen is the 1x mask's at every ratio; inside
// it the face, pixel for pixel where the ratio is the faces' scale (no
// upscaled blur), resampled from the larger face otherwise.
TEST(XvfbChild, ScreenshotOfTheSkinnedForm) {
  if (qEnvironmentVariableIsEmpty("LUGATIM_XVFB_CHILD"))
    GTEST_SKIP() << "runs inside the Xvfb test";
  skintest::App();
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  const double ratio = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
  QScreen* screen = QGuiApplication::primaryScreen();
  const QImage root = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);

  QWidget form;
  auto* skin = new TSkinForm(&form);
  skin->LoadSkin();
  EXPECT_EQ(skin->FaceScale(), ratio == 1 ? 1 : 2);
  const QPoint origin(60, 40);
  form.move(origin);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QImage face = skin->Canvas().convertToFormat(QImage::Format_RGB32);
  const int scale = skin->FaceScale();
  // Logical pixel p: its centre on the screen, and that point in the face.
  const auto onScreen = [&](QPoint p) {
    return QPoint(static_cast<int>((origin.x() + p.x() + 0.5) * ratio),
                  static_cast<int>((origin.y() + p.y() + 0.5) * ratio));
  };
  const auto inFace = [&](QPoint p) {
    const QPoint s = onScreen(p);
    return QPoint(static_cast<int>((s.x() - origin.x() * ratio) * scale / ratio),
                  static_cast<int>((s.y() - origin.y() * ratio) * scale / ratio));
  };
  const auto close = [](QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
  };
  const bool exact = ratio == scale;
  const QPoint centre(240, 240);
  QImage shot;
  const bool painted = QTest::qWaitFor(
      [&] {
        shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        return close(shot.pixel(onScreen(centre)), face.pixel(inFace(centre)), exact ? 0 : 24);
      },
      10000);
  ASSERT_TRUE(painted) << "the face never reached the screen";
  if (const QByteArray path = qgetenv("LUGATIM_XVFB_SHOT"); !path.isEmpty()) shot.save(path);

  const QRegion& region = *skin->Region();
  // Only pixels whose neighbours share their side of the outline: the
  // rounding of a fractional ratio decides the edge pixels themselves.
  const auto uniform = [&region](QPoint p) {
    const bool in = region.contains(p);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (region.contains(p + QPoint(dx, dy)) != in) return false;
    return true;
  };
  int outside = 0, inside = 0, far = 0;
  for (int y = 0; y < 480; y += 3)
    for (int x = 0; x < 480; x += 3) {
      const QPoint p(x, y), s = onScreen(p);
      if (!uniform(p)) continue;
      if (region.contains(p)) {
        if (exact) {
          ASSERT_EQ(shot.pixel(s), face.pixel(inFace(p))) << "face at " << x << "," << y;
        } else {
          far += !close(shot.pixel(s), face.pixel(inFace(p)), 48);
          ASSERT_NE(shot.pixel(s), root.pixel(s)) << "face at " << x << "," << y;
        }
        ++inside;
      } else {
        ASSERT_EQ(shot.pixel(s), root.pixel(s)) << "root at " << x << "," << y;
        ++outside;
      }
    }
  EXPECT_GT(outside, 250);
  EXPECT_GT(inside, 20000);
  EXPECT_LT(far, inside / 50) << "resampled face too far from the face";
}

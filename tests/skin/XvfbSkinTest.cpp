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
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <climits>
#include <string>

#include "SkinTestSupport.h"
#include "skin/X11Compositing.h"

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
      // -noreset: a server that resets when its last client leaves turns
      // the next one away meanwhile.
      execl(path.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24",
            "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
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

// Runs the tests of this executable that the filter names in a child on
// the server's display (at QT_SCALE_FACTOR scale when one is given); their
// exit code and output.
struct ChildRun {
  bool finished = false;
  int exitCode = -1;
  std::string out;
};
ChildRun RunChild(const Xvfb& server, const QString& filter, const char* scale = nullptr) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", QString::fromStdString(server.Display()));
  env.insert("QT_QPA_PLATFORM", "xcb");
  if (scale != nullptr) env.insert("QT_SCALE_FACTOR", scale);
  env.insert("LUGATIM_XVFB_CHILD", "1");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QString::fromStdString(SelfPath()), {"--gtest_filter=" + filter});
  ChildRun run;
  run.finished = child.waitForFinished(120000);
  run.exitCode = child.exitCode();
  run.out = QString::fromLocal8Bit(child.readAll()).toStdString();
  return run;
}

}  // namespace

// The child runs at a device pixel ratio: QT_SCALE_FACTOR, as a user sets it.
class XvfbSkin : public ::testing::TestWithParam<const char*> {};

TEST_P(XvfbSkin, ShapedWindowShowsTheRootOutsideTheMaskAndTheFaceInside) {
  Xvfb server;
  if (!server.Found()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  const ChildRun run = RunChild(server, "XvfbChild.*", GetParam());
  ASSERT_TRUE(run.finished) << run.out;
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(run.out.find("[  PASSED  ] 1 test") != std::string::npos) << run.out;
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

// A compositing manager announces itself by owning _NET_WM_CM_S<screen>:
// the surface then gives its form a translucent background and the outline
// its smooth edge; without one the outline stays exact.
TEST(XvfbSkin, ACompositingManagerTurnsTheSmoothOutlineOn) {
  Xvfb server;
  if (!server.Found()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  const ChildRun run = RunChild(server, "XvfbCompositorChild.*");
  ASSERT_TRUE(run.finished) << run.out;
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(run.out.find("[  PASSED  ] 1 test") != std::string::npos) << run.out;
}

TEST(XvfbCompositorChild, SelectionOwnerDecides) {
  if (qEnvironmentVariableIsEmpty("LUGATIM_XVFB_CHILD"))
    GTEST_SKIP() << "runs inside the Xvfb test";
  skintest::App();
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  {
    QWidget form;
    auto* skin = new TSkinForm(&form);
    EXPECT_FALSE(X11CompositingManagerRuns());
    EXPECT_FALSE(skin->SmoothOutline());
    EXPECT_FALSE(form.testAttribute(Qt::WA_TranslucentBackground));
  }
  // Play the compositing manager: own the selection from a connection of our own.
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ASSERT_EQ(xcb_connection_has_error(c), 0);
  const xcb_window_t owner = xcb_generate_id(c);
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const char name[] = "_NET_WM_CM_S0";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
  ASSERT_NE(atom, nullptr);
  xcb_set_selection_owner(c, owner, atom->atom, XCB_CURRENT_TIME);
  free(atom);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // a round trip

  {
    QWidget form;
    auto* skin = new TSkinForm(&form);
    EXPECT_TRUE(X11CompositingManagerRuns());
    EXPECT_TRUE(skin->SmoothOutline());
    EXPECT_TRUE(form.testAttribute(Qt::WA_TranslucentBackground));
    skin->LoadSkin();
    ASSERT_FALSE(skin->OutlineAlpha().isNull());
    const QImage& canvas = skin->Canvas();
    EXPECT_EQ(qAlpha(canvas.pixel(240, 240)), 255);
    int partial = 0;
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x) {
        const int a = qAlpha(canvas.pixel(x, y));
        partial += a > 0 && a < 255;
        if (a > 0) {
          ASSERT_TRUE(skin->Region()->contains(QPoint(x, y))) << x << "," << y;
        }
      }
    EXPECT_GT(partial, 100);  // the rounded corners, the bumps, the notch
  }
  xcb_disconnect(c);
}

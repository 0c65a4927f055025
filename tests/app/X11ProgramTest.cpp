// The real program on a real X server (Xvfb): the window is cut to the
// skin's outline, so the screen shows the root window outside the mask and
// the skin's face inside it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/TableFixture.h"

namespace {

bool OnPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  const pid_t pid = Spawn(args, env);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class X11Program : public TableFolder {
 protected:
  void TearDown() override {
    for (pid_t pid : {program_, xvfb_}) {
      if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
    }
    TableFolder::TearDown();
  }
  pid_t xvfb_ = -1;
  pid_t program_ = -1;
};

TEST_F(X11Program, ScreenShowsTheRootOutsideTheMaskAndTheFaceInside) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  MakeTable("Sozluk1.DB", {{"apple", "elma"}});
  MakeTable("SozlukE1.DB", {{"elma", "apple"}});

  // Xvfb picks a free display and writes its number to the pipe.
  int pipefd[2];
  ASSERT_EQ(pipe(pipefd), 0);
  xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipefd[1]), "-screen", "0", "800x650x24",
                 "-nolisten", "tcp"});
  close(pipefd[1]);
  char number[16] = {};
  ASSERT_GT(read(pipefd[0], number, sizeof number - 1), 0);
  close(pipefd[0]);
  const std::string display = "DISPLAY=:" + std::string(number, strcspn(number, "\n"));

  const std::string runtime = dir_ + "run";
  std::filesystem::create_directory(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  const std::vector<std::string> env = {display, "XDG_RUNTIME_DIR=" + runtime,
                                        "QT_QPA_PLATFORM=xcb", "LUGATIM_DB_DIR=" + dir_};
  program_ = Spawn({LUGATIM_EXE}, env);
  bool visible = false;
  for (int i = 0; i < 200 && !visible; ++i) {
    visible = RunToEnd({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program_)},
                       env) == 0;
    if (!visible) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(visible) << "the window never appeared";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let it paint

  const std::string shot = dir_ + "screen.png";
  ASSERT_EQ(RunToEnd({LUGATIM_X11_GRAB, shot}, env), 0);
  QImage screen(QString::fromStdString(shot));
  ASSERT_FALSE(screen.isNull());

  // No window manager: the window stands where it asks to, at 222, 111.
  const QPoint origin(222, 111);
  const QRgb root = screen.pixel(5, 5);
  const auto at = [&](int x, int y) { return screen.pixel(origin.x() + x, origin.y() + y); };
  // The corners of the 480 × 480 window are cut away: the root shows through.
  for (const QPoint corner : {QPoint(0, 0), QPoint(479, 0), QPoint(0, 479), QPoint(479, 479)}) {
    EXPECT_EQ(at(corner.x(), corner.y()), root) << corner.x() << "," << corner.y();
  }
  // Inside, the face: the well behind the entry boxes and the banner frame.
  int face = 0;
  for (int y = 190; y < 480 - 60; y += 10) {
    face += at(40, y) != root;
  }
  EXPECT_GT(face, 20);
  EXPECT_NE(at(240, 240), root);
}

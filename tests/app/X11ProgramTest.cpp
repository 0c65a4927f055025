// The real program on a real X server (Xvfb): the window is cut to the
// skin's outline, so the screen shows the root window outside the mask and
// the skin's face inside it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
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
  // Starts Xvfb on a free display over two small dictionaries; the
  // environment for programs on it (empty when Xvfb did not start).
  std::vector<std::string> StartXvfb() {
    MakeTable("Sozluk1.DB", {{"apple", "elma"}});
    MakeTable("SozlukE1.DB", {{"elma", "apple"}});
    // Xvfb picks a free display and writes its number to the pipe.
    int pipefd[2];
    if (pipe(pipefd) != 0) return {};
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipefd[1]), "-screen", "0", "800x650x24",
                   "-nolisten", "tcp"});
    close(pipefd[1]);
    char number[16] = {};
    const bool started = read(pipefd[0], number, sizeof number - 1) > 0;
    close(pipefd[0]);
    if (!started) return {};
    const std::string display = "DISPLAY=:" + std::string(number, strcspn(number, "\n"));
    // Xvfb writes its number before it takes connections reliably: a client
    // connecting at once may be turned away.
    bool ready = false;
    for (int i = 0; i < 200 && !ready; ++i) {
      ready = RunToEnd({"sh", "-c", "xdotool getdisplaygeometry >/dev/null"}, {display}) == 0;
      if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ready) return {};
    const std::string runtime = dir_ + "run";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    return {display, "XDG_RUNTIME_DIR=" + runtime, "QT_QPA_PLATFORM=xcb", "LUGATIM_DB_DIR=" + dir_};
  }
  pid_t xvfb_ = -1;
  pid_t program_ = -1;
};

TEST_F(X11Program, ScreenShowsTheRootOutsideTheMaskAndTheFaceInside) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const std::vector<std::string> env = StartXvfb();
  ASSERT_FALSE(env.empty());
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

// Twenty copies started at the same moment in one session: one of them
// takes the lock and shows its window, every other leaves with code 0.
TEST_F(X11Program, TwentyCopiesStartedAtOnceShowOneWindow) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const std::vector<std::string> env = StartXvfb();
  ASSERT_FALSE(env.empty());
  // The visible windows of one process, or of every process (pid 0).
  const auto visibleWindows = [&](pid_t pid) {
    const std::string list = dir_ + "windows.txt";
    const std::string which = pid > 0 ? "--pid " + std::to_string(pid) : "--name ''";
    RunToEnd({"sh", "-c", "xdotool search --onlyvisible " + which + " > " + list}, env);
    std::ifstream in(list);
    std::set<std::string> windows;
    for (std::string line; std::getline(in, line);)
      if (!line.empty()) windows.insert(line);
    return windows;
  };
  // The root window, visible from the start, is not a program's.
  const std::set<std::string> before = visibleWindows(0);
  std::vector<pid_t> copies;
  for (int i = 0; i < 20; ++i) copies.push_back(Spawn({LUGATIM_EXE}, env));

  std::vector<pid_t> running = copies;
  int leftWithZero = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (running.size() > 1 && std::chrono::steady_clock::now() < deadline) {
    for (auto it = running.begin(); it != running.end();) {
      int status = 0;
      if (waitpid(*it, &status, WNOHANG) == *it) {
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
          ++leftWithZero;
        } else {
          ADD_FAILURE() << "a copy ended with wait status " << status;
        }
        it = running.erase(it);
      } else {
        ++it;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  for (pid_t pid : running) {
    if (program_ < 0) {
      program_ = pid;  // the one that stays, killed by TearDown
    } else {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(leftWithZero, 19);

  std::set<std::string> own;
  for (int i = 0; i < 200 && own.empty(); ++i) {
    own = visibleWindows(program_);
    if (own.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_FALSE(own.empty()) << "the window never appeared";
  // Every window on the screen belongs to the copy that stayed. (The screen
  // is not watched while the copies start: X clients coming and going at
  // that moment make Xvfb turn a connecting client away now and then.)
  std::set<std::string> shown;
  for (const std::string& w : visibleWindows(0))
    if (!before.count(w)) shown.insert(w);
  EXPECT_EQ(shown, own);
}

// --selection on a real X server: the text another program selected (the
// primary selection, else the clipboard) reaches the running window as its
// first word.
TEST_F(X11Program, SelectedTextIsHandedToTheRunningWindow) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  std::vector<std::string> env = StartXvfb();
  ASSERT_FALSE(env.empty());
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  MakeTable("Sozluk1.DB", {{"apple", "elma"}, {"door", "kapı"}, {"cat", "kedi"}});
  env.push_back("LUGATIM_TRACE=1");
  int errPipe[2];
  ASSERT_EQ(pipe2(errPipe, O_CLOEXEC), 0);
  program_ = fork();
  if (program_ == 0) {
    dup2(errPipe[1], STDERR_FILENO);
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    execl(LUGATIM_EXE, LUGATIM_EXE, "apple", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errPipe[1]);
  std::string traces;
  const auto waitForTrace = [&](const std::string& needle) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (traces.find(needle) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{errPipe[0], POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buf[4096];
      const ssize_t n = read(errPipe[0], buf, sizeof buf);
      if (n <= 0) return false;
      traces.append(buf, static_cast<size_t>(n));
    }
    return true;
  };
  ASSERT_TRUE(waitForTrace("Looked up: apple (found)")) << traces;

  const auto selectAndLookUp = [&](const std::vector<std::string>& ownerArgs) {
    std::vector<std::string> args{LUGATIM_SELECTION_OWNER};
    args.insert(args.end(), ownerArgs.begin(), ownerArgs.end());
    int outPipe[2];
    EXPECT_EQ(pipe(outPipe), 0);
    const pid_t owner = fork();
    if (owner == 0) {
      dup2(outPipe[1], STDOUT_FILENO);
      for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(outPipe[1]);
    char ready[8] = {};
    EXPECT_GT(read(outPipe[0], ready, sizeof ready - 1), 0)
        << "the selection owner never got ready";
    close(outPipe[0]);
    const int status = RunToEnd({LUGATIM_EXE, "--selection"}, env);
    kill(owner, SIGKILL);
    waitpid(owner, nullptr, 0);
    return status;
  };
  EXPECT_EQ(selectAndLookUp({"  “Door,”\nsecond line"}), 0);
  EXPECT_TRUE(waitForTrace("Looked up: door (found)")) << traces;
  // Nothing in the primary selection: the clipboard's text is taken.
  EXPECT_EQ(selectAndLookUp({"--clipboard", "cat"}), 0);
  EXPECT_TRUE(waitForTrace("Looked up: cat (found)")) << traces;
  close(errPipe[0]);
}

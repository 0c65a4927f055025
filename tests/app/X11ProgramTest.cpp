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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

#include "tests/support/TableFixture.h"
#include "tests/support/WordFormsFixture.h"

namespace {

bool OnPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts the program with the environment entries added; its standard
// output or error goes to the descriptor given for it.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
            int stdoutFd = -1, int stderrFd = -1) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (stdoutFd >= 0) dup2(stdoutFd, STDOUT_FILENO);
    if (stderrFd >= 0) dup2(stderrFd, STDERR_FILENO);
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

// Reads the program's trace from fd into text until text holds needle;
// false when the program ended first or after 30 seconds.
bool ReadUntil(int fd, std::string& text, const std::string& needle) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (text.find(needle) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    text.append(buf, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

class X11Program : public TableFolder {
 protected:
  void TearDown() override {
    // Xvfb is asked to end, not killed: it then removes its lock file and
    // socket. Killed, it leaves them behind, and servers that other tests
    // start at the same moment race for the stale display number; a client
    // may then reach a server that is gone.
    for (const auto& [pid, signal] : {std::pair{program_, SIGKILL}, std::pair{xvfb_, SIGTERM}}) {
      if (pid > 0) {
        kill(pid, signal);
        waitpid(pid, nullptr, 0);
      }
    }
    TableFolder::TearDown();
  }
  // Starts Xvfb on a free display over two small dictionaries; the
  // environment for programs on it (empty when Xvfb did not start).
  std::vector<std::string> StartXvfb(bool makeTables = true,
                                     const std::string& screen = "800x650x24") {
    if (makeTables) {
      MakeTable("Sozluk1.DB", {{"apple", "elma"}});
      MakeTable("SozlukE1.DB", {{"elma", "apple"}});
    }
    // Xvfb picks a free display and writes its number to the pipe.
    int pipefd[2];
    if (pipe(pipefd) != 0) return {};
    // -noreset: by default the server resets when its last client leaves
    // (the readiness probe below) and refuses connections meanwhile.
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipefd[1]), "-screen", "0", screen,
                   "-nolisten", "tcp", "-noreset"});
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
  // Waits until the program shows a window, as long as the program runs (a
  // loaded machine may take many seconds to start it); false when it ended
  // first or after two minutes.
  bool WaitUntilVisible(pid_t pid, const std::vector<std::string>& env) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
      if (RunToEnd({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}, env) == 0)
        return true;
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        const bool xvfbGone = xvfb_ > 0 && waitpid(xvfb_, nullptr, WNOHANG) == xvfb_;
        ADD_FAILURE() << "the program ended with status " << status << " before its window showed"
                      << (xvfbGone ? " (Xvfb had ended)" : "");
        if (pid == program_) program_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  pid_t xvfb_ = -1;
  pid_t program_ = -1;
};

TEST_F(X11Program, ScreenShowsTheRootOutsideTheMaskAndTheFaceInside) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const std::vector<std::string> env = StartXvfb();
  ASSERT_FALSE(env.empty());
  program_ = Spawn({LUGATIM_EXE}, env);
  ASSERT_TRUE(WaitUntilVisible(program_, env)) << "the window never appeared";

  // No window manager: the window stands where it asks to, at 222, 111.
  const QPoint origin(222, 111);
  const std::string shot = dir_ + "screen.png";
  QImage screen;
  QRgb root = 0;
  const auto at = [&](int x, int y) { return screen.pixel(origin.x() + x, origin.y() + y); };
  // Shown is not yet painted: the screen is taken until the face is there.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  do {
    ASSERT_EQ(RunToEnd({LUGATIM_X11_GRAB, shot}, env), 0);
    screen = QImage(QString::fromStdString(shot));
    ASSERT_FALSE(screen.isNull());
    root = screen.pixel(5, 5);
  } while (at(240, 240) == root && std::chrono::steady_clock::now() < deadline);
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

  ASSERT_TRUE(WaitUntilVisible(program_, env)) << "the window never appeared";
  const std::set<std::string> own = visibleWindows(program_);
  ASSERT_FALSE(own.empty()) << "the window went away";
  // Every window on the screen belongs to the copy that stayed. (The screen
  // is not watched while the copies start: X clients coming and going at
  // that moment make Xvfb turn a connecting client away now and then.)
  std::set<std::string> shown;
  for (const std::string& w : visibleWindows(0))
    if (!before.count(w)) shown.insert(w);
  EXPECT_EQ(shown, own);
}

namespace {

// Output of a command, trimmed of its final line break.
std::string Output(const std::string& command, const std::vector<std::string>& env,
                   const std::string& file) {
  RunToEnd({"sh", "-c", command + " > " + file}, env);
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  std::string out = text.str();
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

// The real program under real X: the lookup list's first opening leaves
// every view on the chosen headword, also after Ctrl+S and a language
// switch; the window's WM_CLASS names the program in both parts.
// At twice the scale on a 1280 × 1024 screen the 960 × 960 window cannot
// stand at its stored 444, 222: it moves just enough to be whole on the
// screen, close button included. LUGATIM_SCREENSHOT_2X keeps the picture.
TEST_F(X11Program, AtTwiceTheScaleTheWindowMovesOntoTheScreen) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  std::vector<std::string> env = StartXvfb(true, "1280x1024x24");
  ASSERT_FALSE(env.empty());
  env.push_back("QT_SCALE_FACTOR=2");
  program_ = Spawn({LUGATIM_EXE}, env);
  ASSERT_TRUE(WaitUntilVisible(program_, env)) << "the window never appeared";
  const std::string window =
      Output("xdotool search --onlyvisible --pid " + std::to_string(program_) + " | head -n 1", env,
             dir_ + "window.txt");
  const std::string geometry =
      Output("xdotool getwindowgeometry --shell " + window, env, dir_ + "geometry.txt");
  const auto value = [&](const std::string& key) {
    const size_t at = geometry.find(key + "=");
    return at == std::string::npos ? -1 : std::atoi(geometry.c_str() + at + key.size() + 1);
  };
  // 640 × 512 in the window's own units: x 640 − 480, y 512 − 480, doubled.
  EXPECT_EQ(value("X"), 320) << geometry;
  EXPECT_EQ(value("Y"), 64) << geometry;
  EXPECT_EQ(value("WIDTH"), 960) << geometry;
  EXPECT_EQ(value("HEIGHT"), 960) << geometry;
  if (const char* keep = std::getenv("LUGATIM_SCREENSHOT_2X")) {
    const std::string shot = keep;
    // Shown is not yet painted: taken until the face is inside the window.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    QImage screen;
    do {
      // The grab itself at the screen's own scale: one pixel per pixel.
      ASSERT_EQ(RunToEnd({LUGATIM_X11_GRAB, shot}, {env.begin(), env.end() - 1}), 0);
      screen = QImage(QString::fromStdString(shot));
      ASSERT_EQ(screen.size(), QSize(1280, 1024));
    } while (screen.pixel(320 + 480, 64 + 480) == screen.pixel(5, 5) &&
             std::chrono::steady_clock::now() < deadline);
  }
}

class X11Lookup : public X11Program {
 protected:
  void StartProgram() {
    std::vector<Row> words;
    for (const char* w : {"a", "aba", "abacus", "apple", "book", "cat", "dog", "zebra"}) {
      words.push_back({w, std::string("meaning of ") + w});
    }
    MakeTable("Sozluk1.DB", words, "CREATE INDEX k ON Sozluk1(Kelime)");
    MakeTable("SozlukE1.DB", words, "CREATE INDEX k ON SozlukE1(Kelime)");
    env_ = StartXvfb(false);
    ASSERT_FALSE(env_.empty());
    program_ = Spawn({LUGATIM_EXE}, env_);
    ASSERT_TRUE(WaitUntilVisible(program_, env_)) << "the window never appeared";
    window_ =
        Output("xdotool search --onlyvisible --pid " + std::to_string(program_) + " | head -n 1",
               env_, dir_ + "window.txt");
    ASSERT_FALSE(window_.empty()) << "the window went away";
    ASSERT_EQ(RunToEnd({"xdotool", "windowfocus", "--sync", window_}, env_), 0);
  }
  // A part of the window (client coordinates) as the screen shows it.
  QImage Grab(const QRect& r) {
    const std::string shot = dir_ + "part.png";
    const QPoint origin(222, 111);  // no window manager: where the window asks to be
    EXPECT_EQ(RunToEnd({LUGATIM_X11_GRAB, shot, std::to_string(origin.x() + r.x()),
                        std::to_string(origin.y() + r.y()), std::to_string(r.width()),
                        std::to_string(r.height())},
                       env_),
              0);
    return QImage(QString::fromStdString(shot)).convertToFormat(QImage::Format_RGB32);
  }
  // Waits until the part differs from (or, with differ false, equals) image.
  bool WaitFor(const QRect& r, const QImage& image, bool differ) {
    for (int i = 0; i < 400; ++i) {
      if ((Grab(r) != image) == differ) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }
  // Whether the part shows more than its background (its first pixel's colour).
  static bool HasText(const QImage& image) {
    int other = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) other += image.pixel(x, y) != image.pixel(0, 0);
    return other > 5;
  }
  void Keys(const std::string& keys) {
    ASSERT_EQ(RunToEnd({"sh", "-c", "xdotool " + keys}, env_), 0) << keys;
  }
  // Opens the list with Alt+Down and closes it with Esc (choosing nothing);
  // returns when the list has been seen open and closed again, so every key
  // before it has been handled.
  void OpenAndCloseTheList() {
    const QImage closed = Grab(kListArea);
    Keys("key alt+Down");
    ASSERT_TRUE(WaitFor(kListArea, closed, true)) << "the list never opened";
    Keys("key Escape");
    ASSERT_TRUE(WaitFor(kListArea, closed, false)) << "the list never closed";
  }

  // Where the word box shows its text, clear of the open list.
  const QRect kWordBox{152, 196, 150, 20};
  // Below the combo box, where its list opens.
  const QRect kListArea{320, 80, 100, 60};
  std::vector<std::string> env_;
  std::string window_;
};

TEST_F(X11Lookup, FirstOpeningOfTheListKeepsTheChosenHeadword) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  // The table's first entry, "a", once the box has drawn it.
  QImage first = Grab(kWordBox);
  for (int i = 0; i < 400 && !HasText(first); ++i) first = Grab(kWordBox);
  ASSERT_TRUE(HasText(first)) << "the word box never showed the first entry";
  Keys("key Return type --delay 20 zebra");
  ASSERT_TRUE(WaitFor(kWordBox, first, true)) << "typing never moved the views";
  const QImage zebra = Grab(kWordBox);

  OpenAndCloseTheList();
  EXPECT_TRUE(Grab(kWordBox) == zebra) << "opening the list moved the views";

  Keys("key ctrl+s");
  OpenAndCloseTheList();
  EXPECT_TRUE(Grab(kWordBox) == zebra) << "opening the list after Ctrl+S moved the views";

  // The flag: the English interface, whose table re-finds "zebra" too.
  Keys("mousemove --window " + window_ + " 407 25 click 1 mousemove --window " + window_ +
       " 300 450");
  OpenAndCloseTheList();
  EXPECT_TRUE(Grab(kWordBox) == zebra)
      << "opening the list after a language switch moved the views";
}

TEST_F(X11Lookup, WindowClassIsTheProgramsNameInBothParts) {
  if (!OnPath("Xvfb") || !OnPath("xdotool") || !OnPath("xprop")) GTEST_SKIP() << "no X tools";
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  EXPECT_EQ(Output("xprop -id " + window_ + " WM_CLASS", env_, dir_ + "class.txt"),
            "WM_CLASS(STRING) = \"lugatim\", \"lugatim\"");
  // The caption and the display name are unchanged.
  EXPECT_EQ(Output("xdotool getwindowname " + window_, env_, dir_ + "name.txt"),
            "Sözlük (İngilizce - Türkçe) — Tarvel Translation Demo");
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
  program_ = Spawn({LUGATIM_EXE, "apple"}, env, -1, errPipe[1]);
  close(errPipe[1]);
  std::string traces;
  const auto waitForTrace = [&](const std::string& needle) {
    return ReadUntil(errPipe[0], traces, needle);
  };
  ASSERT_TRUE(waitForTrace("Looked up: apple (found)")) << traces;

  const auto selectAndLookUp = [&](const std::vector<std::string>& ownerArgs) {
    std::vector<std::string> args{LUGATIM_SELECTION_OWNER};
    args.insert(args.end(), ownerArgs.begin(), ownerArgs.end());
    int outPipe[2];
    EXPECT_EQ(pipe(outPipe), 0);
    const pid_t owner = Spawn(args, env, outPipe[1]);
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

TEST_F(X11Program, AnInflectedWordHandedOverShowsItsLemmaAndTheAnalysis) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  std::vector<std::string> env = StartXvfb(false);
  MakeTable("Sozluk1.DB", {{"apple", "elma"}, {"go", "gitmek"}});
  MakeTable("SozlukE1.DB", {{"elma", "apple"}, {"kitap", "book"}, {"kitaplık", "bookcase"}});
  WriteWordForms(dir_);
  ASSERT_FALSE(env.empty());
  env.push_back("LUGATIM_TRACE=1");
  int errPipe[2];
  ASSERT_EQ(pipe2(errPipe, O_CLOEXEC), 0);
  program_ = Spawn({LUGATIM_EXE, "apple"}, env, -1, errPipe[1]);
  close(errPipe[1]);
  std::string traces;
  const auto waitForTrace = [&](const std::string& needle) {
    return ReadUntil(errPipe[0], traces, needle);
  };
  ASSERT_TRUE(waitForTrace("Looked up: apple (found)")) << traces;
  // Found only among the Turkish headwords: the interface switches to them.
  EXPECT_EQ(RunToEnd({LUGATIM_EXE, "Kitaplarda"}, env), 0);
  EXPECT_TRUE(waitForTrace("Looked up: kitap (found)")) << traces;
  EXPECT_TRUE(waitForTrace("Word form: Kitaplarda → kitap + lar + da")) << traces;
  // An English irregular form, back in the English-headword table.
  EXPECT_EQ(RunToEnd({LUGATIM_EXE, "went"}, env), 0);
  EXPECT_TRUE(waitForTrace("Looked up: go (found)")) << traces;
  EXPECT_TRUE(waitForTrace("Word form: went → go")) << traces;
  close(errPipe[0]);
}

#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "AppFixture.h"
#include "app/Application.h"
#include "banner/Kodlar.h"
#include "base/Trace.h"

using namespace lugatim;

TEST(ErrorBox, FullStopIsAppendedOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(app::WithFullStop("closed dataset"), "closed dataset.");
  EXPECT_EQ(app::WithFullStop("done."), "done.");
  EXPECT_EQ(app::WithFullStop("what?!"), "what?!");  // '!' sorts before '.'
  EXPECT_EQ(app::WithFullStop("(x)"), "(x)");
  EXPECT_EQ(app::WithFullStop("5"), "5.");
  EXPECT_EQ(app::WithFullStop("ğ"), "ğ.");
  EXPECT_EQ(app::WithFullStop(""), "");
}

TEST(ErrorBox, GuardedHandlersReportErrorsButNotTheSilentAbort) {
  RecordingDialogs dialogs;
  app::IDialogs* previous = app::SetDialogs(&dialogs);
  app::Guarded([] { throw base::Exception("boom"); });
  app::Guarded([] { throw base::EAbort(); });
  app::SetDialogs(previous);
  EXPECT_EQ(dialogs.errors, std::vector<std::string>{"boom."});
}

class Startup : public WindowFixture {};

TEST_F(Startup, BannerFolderIsCreatedBesideTheExecutableAndTheBufferExists) {
  MakeDictionaries();
  base::TraceCapture traces;
  Start();
  EXPECT_EQ(state_.channel.bannerFolder, dir_ + "Banner/");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "Banner"));
  ASSERT_NE(state_.channel.adList, nullptr);
  EXPECT_EQ(state_.channel.adList->Count(), 0);
  // The first rotation, over a folder without an ad list, runs on its own
  // thread and ends at once, clearing the flag.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !state_.channel.busy; }, 5000));
  window_.reset();
  EXPECT_EQ(state_.channel.adList, nullptr);  // released with the window
  EXPECT_TRUE(traces.Lines().empty());
}

TEST(BannerFolder, ExistingFolderIsLeftAloneAndAFailureIsOneTrace) {
  char tmpl[] = "/tmp/lugatim-banner-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/";
  EXPECT_EQ(banner::BannerFolderOf("/opt/lugatim/"), "/opt/lugatim/Banner/");
  {
    base::TraceCapture traces;
    banner::EnsureBannerFolder(dir + "Banner/");
    banner::EnsureBannerFolder(dir + "Banner/");
    EXPECT_TRUE(traces.Lines().empty());
  }
  {
    base::TraceCapture traces;
    banner::EnsureBannerFolder(dir + "missing/parent/Banner/");
    ASSERT_EQ(traces.Lines().size(), 1u);
    EXPECT_EQ(traces.Lines()[0].rfind("Folder oluşturken hata ", 0), std::string::npos);
    EXPECT_EQ(traces.Lines()[0].rfind("Folder oluştururken hata Cannot create folder ", 0), 0u);
  }
  std::filesystem::remove_all(dir);
}

// The real program, started as a user would, against a private session.
class SingleInstance : public TableFolder {
 protected:
  void SetUp() override {
    TableFolder::SetUp();
    MakeTable("Sozluk1.DB", {{"apple", "elma"}});
    MakeTable("SozlukE1.DB", {{"elma", "apple"}});
    runtime_ = dir_ + "run";
    std::filesystem::create_directory(runtime_);
  }
  void TearDown() override {
    for (pid_t pid : started_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    TableFolder::TearDown();
  }
  pid_t Launch(const std::string& runtime) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      execl(LUGATIM_EXE, LUGATIM_EXE, static_cast<char*>(nullptr));
      _exit(127);
    }
    started_.push_back(pid);
    return pid;
  }
  // Whether some process holds the session's lock now.
  static bool LockHeld(const std::string& runtime) {
    const int fd = open((runtime + "/Lugatim_Muteksi").c_str(), O_RDWR);
    if (fd < 0) return false;
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held) flock(fd, LOCK_UN);
    close(fd);
    return held;
  }
  static bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Exit status of a process that must end by itself.
  static int ExitStatus(pid_t pid) {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static bool Running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

  std::string runtime_;
  std::vector<pid_t> started_;
};

TEST_F(SingleInstance, SecondCopyInTheSameSessionLeavesAtOnceWithCodeZero) {
  const pid_t first = Launch(runtime_);
  ASSERT_TRUE(WaitFor([&] { return LockHeld(runtime_); }));
  const auto started = std::chrono::steady_clock::now();
  const pid_t second = Launch(runtime_);
  EXPECT_EQ(ExitStatus(second), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  EXPECT_TRUE(Running(first));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "Banner"));  // the second copy changed nothing
}

TEST_F(SingleInstance, KilledCopyDoesNotBlockTheNextAndSessionsAreSeparate) {
  const pid_t first = Launch(runtime_);
  ASSERT_TRUE(WaitFor([&] { return LockHeld(runtime_); }));
  const std::string otherSession = dir_ + "run2";
  std::filesystem::create_directory(otherSession);
  const pid_t other = Launch(otherSession);
  ASSERT_TRUE(WaitFor([&] { return LockHeld(otherSession); }));
  EXPECT_TRUE(Running(first));
  EXPECT_TRUE(Running(other));

  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  const pid_t next = Launch(runtime_);
  EXPECT_TRUE(WaitFor([&] { return LockHeld(runtime_); }));
  EXPECT_TRUE(Running(next));
}

// The channel in processes of its own: killed at random moments of a
// download chain it never leaves a torn file, and a program that quits
// while its rotation runs ends at once and cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "banner/BannerFiles.h"
#include "banner/Housekeeping.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using http::test::ReadFile;

// A child process started from argv with extra environment entries, its
// output in a log file; killed and reaped with the object.
class TProcess {
 public:
  TProcess(const std::vector<std::string>& argv, const std::filesystem::path& log,
           const std::vector<std::string>& env = {}) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // An extra entry replaces an inherited one of the same name: getenv
    // finds the first, so a duplicate would be ignored.
    std::vector<std::string> envText;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      const std::string name = entry.substr(0, entry.find('=') + 1);
      const bool replaced = std::any_of(env.begin(), env.end(), [&](const std::string& x) {
        return x.compare(0, name.size(), name) == 0;
      });
      if (!replaced) envText.push_back(entry);
    }
    envText.insert(envText.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(logFd, 1);
      ::dup2(logFd, 2);
      ::execve(args[0], args.data(), envp.data());
      ::_exit(127);
    }
    ::close(logFd);
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
  }
  ~TProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait(-1);
    }
    if (pidFd_ >= 0) ::close(pidFd_);
  }
  void Kill() { ::kill(pid_, SIGKILL); }
  // Waits up to ms (-1: without end) for the process to end; its wait
  // status, or -1 when it still runs.
  int Wait(int ms) {
    pollfd fd{pidFd_, POLLIN, 0};
    if (pidFd_ >= 0 && ::poll(&fd, 1, ms) == 0) return -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int pidFd_ = -1;
};

// Banner bytes that carry their own check: a head naming the file and the
// serving round, a body derived from both, and an end mark.
std::string Body(const std::string& name, int round) {
  std::string s = "BANNER|" + name + "|" + std::to_string(round) + "|";
  const size_t size = 4 * 1024 * 1024 + static_cast<size_t>(round % 7) * 1000;
  s.reserve(size + 4);
  const char letter = static_cast<char>('a' + round % 26);
  s.append(size - s.size(), letter);
  return s + "|END";
}

// Whether the content is one whole Body of that name, from any round.
bool IsWholeBanner(const std::string& name, const std::string& content) {
  const std::string head = "BANNER|" + name + "|";
  if (content.rfind(head, 0) != 0) return false;
  const size_t bar = content.find('|', head.size());
  if (bar == std::string::npos) return false;
  const int round = std::atoi(content.substr(head.size(), bar - head.size()).c_str());
  return content == Body(name, round);
}

const std::vector<std::string> kNames = {"one.gif",  "two.jpg",  "three.bmp",
                                         "four.gif", "five.gif", "six.gif"};

// Serves the channel's files slowly: the head of every response drips in
// 16-byte drops 1 ms apart, then the body follows at once, so that a good
// part of each chain goes into writing 4 MB banners; each banner request
// gets the bytes of a new round.
class TDrippingSite {
 public:
  TDrippingSite()
      : server_([this](http::test::TServerConnection& c) {
          for (;;) {
            const std::string head = c.ReadRequest();
            if (head.empty()) return;
            const size_t sp = head.find(' ');
            const std::string path = head.substr(sp + 1, head.find(' ', sp + 1) - sp - 1);
            std::string body;
            if (path == "/versiyon.ver") {
              body = "5\r\n";
            } else if (path == "/liste.lst") {
              body = List();
            } else {
              body = Body(path.substr(path.rfind('/') + 1), round_++);
            }
            const std::string responseHead =
                "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
            for (size_t at = 0; at < responseHead.size(); at += 16) {
              if (!c.Send(std::string_view(responseHead).substr(at, 16))) return;
              if (c.PauseOrStop(1)) return;
            }
            if (!c.Send(body)) return;
          }
        }) {}
  std::string List() const {
    std::string list;
    for (const std::string& name : kNames)
      list += server_.Url("/b/" + name) + ",http://go/" + name + ",1,5,0,0\r\n";
    return list;
  }
  int Port() const { return server_.Port(); }

 private:
  std::atomic<int> round_{0};
  http::test::TScriptedServer server_;
};

// Every entry of the folder is a whole channel file or a leftover
// temporary file, which nothing reads; returns the complaints.
std::vector<std::string> TornFiles(const test::TBannerDir& dir, const std::string& list) {
  std::vector<std::string> torn;
  for (const std::string& name : dir.Entries()) {
    const std::string content = dir.Read(name);
    if (name.rfind(std::string(kTempPrefix), 0) == 0) continue;
    if (name == "Liste.lst") {
      if (content != list) torn.push_back(name);
    } else if (name == "versiyon.ver") {
      if (content != "5\r\n") torn.push_back(name);
    } else if (!IsWholeBanner(name, content)) {
      torn.push_back(name + " (" + std::to_string(content.size()) + " bytes)");
    }
  }
  return torn;
}

TEST(KilledChain, NoFileIsEverTorn) {
  TDrippingSite site;
  test::TBannerDir dir;
  const std::string log = (dir.root.Path() / "child.log").string();

  // One whole chain first, to learn how long one takes.
  const auto start = std::chrono::steady_clock::now();
  {
    TProcess child({BANNER_CHAIN_CHILD, dir.folder, std::to_string(site.Port()), "once"}, log);
    ASSERT_EQ(child.Wait(60000), 0) << ReadFile(log);
  }
  const auto chainMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  ASSERT_TRUE(TornFiles(dir, site.List()).empty());
  ASSERT_EQ(dir.Entries().size(), kNames.size() + 2);

  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> moment(0, static_cast<int>(chainMs * 2));
  for (int round = 0; round < 25; ++round) {
    TProcess child({BANNER_CHAIN_CHILD, dir.folder, std::to_string(site.Port())}, log);
    // The kill lands at a random moment of a chain: this pause is the
    // experiment, not a wait for something.
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    child.Kill();
    child.Wait(-1);
    const auto torn = TornFiles(dir, site.List());
    ASSERT_TRUE(torn.empty()) << "round " << round << ": " << torn.front();
  }
  // Leftovers of the kills go at the next start; every file is still whole.
  TemizleExecute(dir.folder, base::SystemClock::Instance());
  for (const std::string& name : dir.Entries()) {
    EXPECT_NE(name.rfind(std::string(kTempPrefix), 0), 0u) << name;
  }
  EXPECT_TRUE(TornFiles(dir, site.List()).empty());
}

// Runs the exit child in a mode; returns its wait status and output.
std::pair<int, std::string> RunExitChild(const std::string& mode, int64_t* elapsedMs) {
  test::TBannerDir dir;
  dir.Write("Liste.lst", "http://h/anim.gif,http://go/,1,59,0,0\r\n");
  dir.Write("anim.gif", test::AnimatedGifBytes({qRgb(255, 0, 0), qRgb(0, 255, 0)}));
  const auto log = dir.root.Path() / "exit.log";
  const auto start = std::chrono::steady_clock::now();
  int status = -1;
  {
    // A deliberately leaked channel must not fail the run under the leak checker.
    TProcess child({BANNER_EXIT_CHILD, dir.folder, mode}, log,
                   {"QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0"});
    status = child.Wait(30000);
  }
  *elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
                   .count();
  return {status, ReadFile(log)};
}

TEST(CleanExit, QuittingWhileTheRotationWaitsEndsAtOnce) {
  for (const std::string mode : {"waiting", "handover", "leak"}) {
    int64_t elapsed = 0;
    const auto [status, output] = RunExitChild(mode, &elapsed);
    ASSERT_NE(status, -1) << mode << ": still running after 30 s";
    EXPECT_TRUE(WIFEXITED(status)) << mode << ": " << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << mode << ": " << output;
    EXPECT_EQ(output.find("QThread"), std::string::npos) << mode << ": " << output;
    // The banner waits 59 s; the program does not wait for it.
    EXPECT_LT(elapsed, 20000) << mode;
  }
}

}  // namespace
}  // namespace lugatim::banner

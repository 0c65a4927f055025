// The real program taking words from the command line: handed to the copy
// that runs, shown by a new copy when none runs, through a stale socket
// file, past malformed and oversized requests, and with two copies started
// at the same moment. The copies report what their search box looked up in
// their trace (LUGATIM_TRACE=1 on stderr), which the tests read as it comes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <filesystem>
#include <thread>

#include "base/Options.h"
#include "platform/HandOver.h"
#include "tests/support/TableFixture.h"

namespace {

// A started copy of the program and what it has written to stderr so far.
struct Copy {
  pid_t pid = -1;
  int err = -1;  // read end of its stderr
  std::string text;

  // Reads until text holds needle or the deadline passes.
  bool WaitFor(const std::string& needle, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (text.find(needle) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{err, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buf[4096];
      const ssize_t n = read(err, buf, sizeof buf);
      if (n <= 0) return false;  // the copy ended
      text.append(buf, static_cast<size_t>(n));
    }
    return true;
  }
  // Exit status once it ends by itself (-1 when it does not within the limit).
  int ExitStatus(std::chrono::seconds limit = std::chrono::seconds(20)) {
    // Its stderr closes when it ends; read everything up to then.
    WaitFor(std::string(1, '\0'), limit);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

}  // namespace

class HandOverProgram : public TableFolder {
 protected:
  void SetUp() override {
    TableFolder::SetUp();
    MakeTable("Sozluk1.DB",
              {{"apple", "elma"}, {"cat", "kedi"}, {"dog", "köpek"}, {"door", "kapı"}},
              "CREATE INDEX k ON Sozluk1(Kelime)");
    MakeTable("SozlukE1.DB", {{"elma", "apple"}, {"kapı", "door"}});
    runtime_ = dir_ + "run";
    std::filesystem::create_directory(runtime_);
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
  }
  void TearDown() override {
    for (Copy& copy : copies_) {
      if (copy.pid > 0) {
        kill(copy.pid, SIGKILL);
        waitpid(copy.pid, nullptr, 0);
      }
      close(copy.err);
    }
    TableFolder::TearDown();
  }
  Copy& Launch(const std::vector<std::string>& args) {
    int pipefd[2];
    EXPECT_EQ(pipe2(pipefd, O_CLOEXEC), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(pipefd[1], STDERR_FILENO);
      setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("LUGATIM_TRACE", "1", 1);
      std::vector<char*> argv{const_cast<char*>(LUGATIM_EXE)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(LUGATIM_EXE, argv.data());
      _exit(127);
    }
    close(pipefd[1]);
    copies_.push_back({pid, pipefd[0], {}});
    return copies_.back();
  }
  // A running copy that has shown its window with the given word.
  Copy& StartWith(const std::string& word) {
    Copy& copy = Launch({word});
    EXPECT_TRUE(copy.WaitFor("Looked up: " + word + " (found)")) << copy.text;
    return copy;
  }
  std::string SocketPath() const { return runtime_ + "/Lugatim_Kelime"; }

  std::string runtime_;
  std::deque<Copy> copies_;
};

TEST_F(HandOverProgram, AWordGoesToTheRunningCopyAndTheSenderLeavesWithZero) {
  Copy& running = StartWith("apple");
  Copy& sender = Launch({"DOG"});
  EXPECT_EQ(sender.ExitStatus(), 0) << sender.text;
  EXPECT_TRUE(running.WaitFor("Looked up: dog (found)")) << running.text;
  // Two words become one phrase; it finds nothing and stays as given.
  Copy& phrase = Launch({"hot", "Dog"});
  EXPECT_EQ(phrase.ExitStatus(), 0);
  EXPECT_TRUE(running.WaitFor("Looked up: hot Dog (not found)")) << running.text;
  // Without arguments a second copy leaves at once and the window gets nothing.
  Copy& plain = Launch({});
  EXPECT_EQ(plain.ExitStatus(), 0);
  Copy& last = Launch({"cat"});
  EXPECT_EQ(last.ExitStatus(), 0);
  EXPECT_TRUE(running.WaitFor("Looked up: cat (found)"));
  EXPECT_EQ(running.text.find("Looked up", running.text.find("hot Dog") + 20),
            running.text.find("Looked up: cat"));
  EXPECT_EQ(waitpid(running.pid, nullptr, WNOHANG), 0);  // still running
}

TEST_F(HandOverProgram, AStaleSocketFileOfACopyThatDiedIsReplaced) {
  Copy& first = StartWith("apple");
  kill(first.pid, SIGKILL);  // dies without removing its socket file
  waitpid(first.pid, nullptr, 0);
  first.pid = -1;
  ASSERT_TRUE(std::filesystem::is_socket(SocketPath()));
  Copy& second = StartWith("cat");
  Copy& sender = Launch({"door"});
  EXPECT_EQ(sender.ExitStatus(), 0) << sender.text;
  EXPECT_TRUE(second.WaitFor("Looked up: door (found)")) << second.text;
}

TEST_F(HandOverProgram, MalformedAndOversizedRequestsDoNothingAndTheNextWordStillArrives) {
  Copy& running = StartWith("apple");
  const auto sendRaw = [&](const std::string& bytes) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, SocketPath().c_str());
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;  // the copy stopped reading
      sent += static_cast<size_t>(n);
    }
    shutdown(fd, SHUT_WR);
    std::string answer;
    char buf[64];
    for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) answer.append(buf, size_t(n));
    close(fd);
    return answer;
  };
  EXPECT_EQ(sendRaw("LOOKUP cat\nEXEC /bin/sh\n"), "");
  EXPECT_EQ(sendRaw(std::string("\xff\xfe garbage\n")), "");
  EXPECT_EQ(sendRaw("LOOKUP " + std::string(8192, 'd') + "\n"), "");
  EXPECT_EQ(sendRaw("LOOKUP door\n"), "OK\n");
  EXPECT_TRUE(running.WaitFor("Looked up: door (found)")) << running.text;
  // Only the well-formed request reached the search box.
  const size_t first = running.text.find("Looked up: apple");
  EXPECT_EQ(running.text.find("Looked up", first + 1), running.text.find("Looked up: door"));
  EXPECT_EQ(waitpid(running.pid, nullptr, WNOHANG), 0);
}

TEST_F(HandOverProgram, TwoCopiesStartedAtOnceWithDifferentWordsLeaveOneWindowShowingAWord) {
  Copy& a = Launch({"cat"});
  Copy& b = Launch({"dog"});
  // One of them leaves with 0 having handed its word over; the other runs on.
  pollfd fds[2] = {{a.err, POLLIN, 0}, {b.err, POLLIN, 0}};
  Copy* stays = nullptr;
  Copy* leaves = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (leaves == nullptr && std::chrono::steady_clock::now() < deadline) {
    poll(fds, 2, 1000);
    for (Copy* c : {&a, &b}) {
      int status = 0;
      if (leaves == nullptr && waitpid(c->pid, &status, WNOHANG) == c->pid) {
        c->pid = -1;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        leaves = c;
        stays = c == &a ? &b : &a;
      }
    }
    // Drain what the copies write meanwhile, so neither blocks on a full pipe.
    for (Copy* c : {&a, &b}) {
      char buf[4096];
      pollfd p{c->err, POLLIN, 0};
      if (poll(&p, 1, 0) > 0) {
        const ssize_t n = read(c->err, buf, sizeof buf);
        if (n > 0) c->text.append(buf, static_cast<size_t>(n));
      }
    }
  }
  ASSERT_NE(leaves, nullptr) << "neither copy left";
  const std::string word = leaves == &a ? "cat" : "dog";
  EXPECT_TRUE(stays->WaitFor("Looked up: " + word + " (found)")) << stays->text;
  EXPECT_EQ(waitpid(stays->pid, nullptr, WNOHANG), 0);
}

TEST_F(HandOverProgram, WrongUsageIsExitTwoWithTheUsage) {
  Copy& wrong = Launch({"--frobnicate"});
  EXPECT_EQ(wrong.ExitStatus(), 2);
  EXPECT_NE(wrong.text.find("unknown option --frobnicate"), std::string::npos) << wrong.text;
  EXPECT_NE(wrong.text.find("Usage: lugatim"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(SocketPath()));
}

// --help and --version answer on standard output without a display, a lock
// or a window; a failed write of the answer is status 2.
TEST(ProgramCommandLine, HelpAndVersionOnStandardOutput) {
  const auto run = [](const std::string& args) {
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + LUGATIM_EXE + " " + args;
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = pclose(pipe);
    return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, out);
  };
  const auto version = run("--version 2>/dev/null");
  EXPECT_EQ(version.first, 0);
  EXPECT_EQ(version.second.find(std::string("lugatim ") + lugatim::base::kVersion + "\n"), 0u)
      << version.second;
  const auto help = run("--help 2>/dev/null");
  EXPECT_EQ(help.first, 0);
  EXPECT_NE(help.second.find("Usage: lugatim"), std::string::npos);
  EXPECT_NE(help.second.find("--version"), std::string::npos);
  EXPECT_EQ(run("--version >/dev/full").first, 2);
  EXPECT_EQ(run("--help >/dev/full").first, 2);
}

// A copy that holds the lock but takes no words (say, an older one): the
// sender tries for its five seconds, then says so and leaves with 1, and
// starts no second window.
TEST_F(HandOverProgram, ALockHolderThatTakesNoWordsIsReportedWithStatusOne) {
  const int lock = open((runtime_ + "/Lugatim_Muteksi").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
  Copy& sender = Launch({"cat"});
  EXPECT_EQ(sender.ExitStatus(std::chrono::seconds(30)), 1);
  EXPECT_NE(sender.text.find("did not take the word (" + SocketPath() + ")"), std::string::npos)
      << sender.text;
  EXPECT_EQ(sender.text.find("Looked up"), std::string::npos);
  close(lock);
}

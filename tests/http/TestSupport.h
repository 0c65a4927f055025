#pragma once
// What the network tests share: temporary folders, open descriptor counts,
// loopback ports and child processes (the real peers).

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lugatim::http::test {

// A fresh folder that is removed with everything in it.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  void WriteFile(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Number of open descriptors of this process.
int CountOpenFds();

// A loopback port that was free a moment ago.
int FreeLoopbackPort();

// The full path of an executable found on PATH or in the extra folders, or
// empty text.
std::string FindExecutable(const std::string& name, const std::vector<std::string>& extra = {});

// A child process that is ended (SIGTERM, then waited for) with this object.
class TChildProcess {
 public:
  // Starts argv[0] with the arguments in the folder, stdout and stderr to the log.
  TChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                const std::filesystem::path& log);
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  bool Running();
  // Waits until the port accepts a connection, while the child lives and
  // at most timeoutMs; true when it accepts.
  bool WaitUntilAccepting(int port, int timeoutMs);

 private:
  pid_t pid_ = -1;
};

std::string ReadFile(const std::filesystem::path& path);

}  // namespace lugatim::http::test

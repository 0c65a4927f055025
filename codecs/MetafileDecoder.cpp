#include "codecs/MetafileDecoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtEndian>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "codecs/CodecError.h"
#include "platform/ExePath.h"

namespace lugatim::codecs {
namespace {

using Clock = std::chrono::steady_clock;

// The most the helper may send: a picture of the largest size it draws
// (4096 x 1024 pixels, see MetafileRender.h) with its header. Anything
// longer is not a picture.
constexpr size_t kMaxResult = 9 + 4096ULL * 1024 * 4;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

EInvalidGraphic Failure(const std::string& kind, const std::string& why) {
  return EInvalidGraphic(kind + " picture could not be decoded (" + why + ")");
}

// Writes the whole of data to a sealed in-memory file, the helper's input.
int InputFile(std::string_view data) {
  const int fd = memfd_create("lugatim-metafile-input", MFD_CLOEXEC);
  if (fd < 0) return -1;
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  if (::lseek(fd, 0, SEEK_SET) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

QImage ParseResult(const std::string& out, const std::string& kind) {
  if (out.size() >= 9 && out[0] == 'P') {
    const auto width = qFromLittleEndian<quint32>(out.data() + 1);
    const auto height = qFromLittleEndian<quint32>(out.data() + 5);
    if (width >= 1 && height >= 1 && width <= 4096 && height <= 4096 &&
        out.size() - 9 == static_cast<size_t>(width) * height * 4) {
      QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
      if (image.isNull()) throw Failure(kind, "out of memory");
      for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), out.data() + 9 + static_cast<size_t>(y) * width * 4,
                    static_cast<size_t>(width) * 4);
      return image;
    }
  }
  if (!out.empty() && out[0] == 'E') throw EInvalidGraphic(out.substr(1));
  throw Failure(kind, "the decoder returned no picture");
}

// Whether the process ends before the deadline (it is not reaped here).
bool EndsBefore(pid_t pid, Clock::time_point deadline) {
  Fd process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  if (process.get() < 0) return true;  // no process handles: wait without a limit
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd pfd{process.get(), POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(left));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return true;
  }
}

}  // namespace

std::string MetafileHelperPath() {
  const std::string exeDir = platform::ExecutableDir();
  return (platform::RunsInstalled(exeDir) ? platform::InstalledHelperDir(exeDir) : exeDir) +
         kMetafileHelperName;
}

std::string EncodeMetafileResult(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  std::string out(9, '\0');
  out[0] = 'P';
  qToLittleEndian<quint32>(static_cast<quint32>(image.width()), out.data() + 1);
  qToLittleEndian<quint32>(static_cast<quint32>(image.height()), out.data() + 5);
  for (int y = 0; y < image.height(); ++y)
    out.append(reinterpret_cast<const char*>(image.constScanLine(y)),
               static_cast<size_t>(image.width()) * 4);
  return out;
}

std::string EncodeMetafileError(const std::string& message) {
  return "E" + message;
}

QImage DecodeMetafile(std::string_view data, std::string_view extension,
                      const std::string& helperPath, const TMetafileLimits& limits) {
  const std::string kind = Upper(extension);
  Fd input(InputFile(data));
  if (input.get() < 0) throw Failure(kind, std::string("no input file: ") + std::strerror(errno));
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0)
    throw Failure(kind, std::string("no pipe: ") + std::strerror(errno));
  Fd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);

  // The helper: input on 0, result on 3, its own output and diagnostics
  // (the libraries print freely) to /dev/null; default signal actions, so
  // that a processor-time limit ends it.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input.get(), 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), kMetafileResultFd);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  const std::string lowerKind = kind == "WMF" ? "wmf" : "emf";
  const std::string memory = std::to_string(limits.memoryMiB);
  const std::string cpu = std::to_string(limits.cpuSeconds);
  std::vector<char*> argv{const_cast<char*>(helperPath.c_str()),
                          const_cast<char*>(lowerKind.c_str()), const_cast<char*>(memory.c_str()),
                          const_cast<char*>(cpu.c_str()), nullptr};
  // The child's peak resident size starts from this process's own (it
  // shares this memory until its exec), so only a peak beyond it is the
  // helper's.
  rusage self{};
  ::getrusage(RUSAGE_SELF, &self);
  const long long ownPeakKiB = self.ru_maxrss;
  // An empty environment: nothing of the user's session (paths, tokens,
  // display or bus addresses) reaches the decoders.
  char* noEnvironment[] = {nullptr};
  pid_t pid = -1;
  const int spawnError =
      posix_spawn(&pid, helperPath.c_str(), &actions, &attr, argv.data(), noEnvironment);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (spawnError != 0)
    throw Failure(kind,
                  "the decoder " + helperPath + " cannot be started: " + std::strerror(spawnError));
  writeEnd.Close();
  input.Close();

  // Read the result until the helper closes it, it sends too much, or the
  // wall-clock limit passes.
  const auto deadline = Clock::now() + std::chrono::seconds(limits.wallSeconds);
  std::string out;
  bool timedOut = false, tooLong = false;
  char buffer[65536];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd pfd{readEnd.get(), POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;  // the deadline check above ends the wait
    const ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
    if (out.size() > kMaxResult) {
      tooLong = true;
      break;
    }
  }
  readEnd.Close();
  // The helper closes its result as it ends; one that closed it and goes on
  // gets until the same deadline. No helper outlives the call.
  if (!timedOut && !tooLong) timedOut = !EndsBefore(pid, deadline);
  if (timedOut || tooLong) ::kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }

  if (timedOut)
    throw Failure(kind,
                  "the decoder took longer than " + std::to_string(limits.wallSeconds) + " s");
  if (tooLong) throw Failure(kind, "the decoder returned too much data");
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    const double cpuUsed = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec);
    if (sig == SIGXCPU || (sig == SIGKILL && cpuUsed >= limits.cpuSeconds))
      throw Failure(kind, "the decoder used up its " + std::to_string(limits.cpuSeconds) +
                              " s of processor time");
  }
  // Most of these decoders do not check for a failed allocation: at the
  // memory limit they crash. A helper that ended abnormally after its peak
  // resident size came near the limit is reported as out of memory.
  const bool abnormal = WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) != 0);
  const long long peakKiB = usage.ru_maxrss;
  if (abnormal && peakKiB > ownPeakKiB &&
      peakKiB >= static_cast<long long>(limits.memoryMiB) * 1024 * 3 / 4)
    throw Failure(
        kind, "the decoder ran out of its " + std::to_string(limits.memoryMiB) + " MiB of memory");
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    throw Failure(
        kind, "the decoder crashed with signal " + std::to_string(sig) + ", " + sigdescr_np(sig));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && out.empty())
    throw Failure(kind, "the decoder ended with status " + std::to_string(WEXITSTATUS(status)));
  return ParseResult(out, kind);
}

}  // namespace lugatim::codecs

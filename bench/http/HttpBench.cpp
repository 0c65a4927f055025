// Timed harness for the HTTP client against a real server (bench/http/run.sh
// starts nginx and runs curl beside it):
//
//   lugatim_http_bench throughput URL [--devnull] [--recv-buffer=BYTES]
//                                                   one GET of a large file
//   lugatim_http_bench keepalive URL COUNT [LOOKAHEAD_MS]
//                                                   COUNT sequential GETs
//
// Each prints one line "key=value ..." for the script to read.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/Exception.h"
#include "base/Stream.h"
#include "http/HttpClient.h"

namespace {

// A stream that keeps only its size and position, like writing to
// /dev/null; with devnull set each block is also written there.
class TSinkStream : public lugatim::base::TStream {
 public:
  explicit TSinkStream(bool devnull) : fd_(devnull ? ::open("/dev/null", O_WRONLY) : -1) {}
  ~TSinkStream() override {
    if (fd_ >= 0) ::close(fd_);
  }
  using TStream::Write;
  void Write(const void* data, size_t count) override {
    if (fd_ >= 0 && ::write(fd_, data, count) != static_cast<ssize_t>(count)) {
      throw lugatim::base::Exception("Stream write error");
    }
    position_ += static_cast<int64_t>(count);
    if (position_ > size_) size_ = position_;
  }
  size_t Read(void*, size_t) override { return 0; }
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override {
    size_ = size;
    if (position_ > size_) position_ = size_;
  }
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override { position_ = position; }

 private:
  int fd_;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Throughput(const std::string& url, bool devnull, int recvBufferSize) {
  lugatim::http::THttpClient client;
  if (recvBufferSize > 0) client.SetRecvBufferSize(recvBufferSize);
  client.SetMaxBodySize(int64_t{1} << 40);
  client.SetTransferTimeOut(0);
  TSinkStream sink(devnull);
  const auto start = std::chrono::steady_clock::now();
  client.FetchToStream(url, sink);
  const double seconds = SecondsSince(start);
  std::printf("bytes=%lld seconds=%.4f bytes_per_second=%.0f\n",
              static_cast<long long>(sink.Size()), seconds,
              static_cast<double>(sink.Size()) / seconds);
  return 0;
}

int KeepAlive(const std::string& url, int count, int lookAheadMs) {
  lugatim::http::THttpClient client;
  client.SetLookAheadTimeOut(lookAheadMs);
  int connections = 0;
  client.OnConnected = [&] { ++connections; };
  lugatim::base::TMemoryStream stream;
  long long bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    stream.Clear();
    client.FetchToStream(url, stream);
    bytes += stream.Size();
  }
  const double seconds = SecondsSince(start);
  std::printf(
      "look_ahead_ms=%d requests=%d connections=%d bytes=%lld seconds=%.4f "
      "requests_per_second=%.0f\n",
      lookAheadMs, count, connections, bytes, seconds, count / seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 3 && std::strcmp(argv[1], "throughput") == 0) {
      bool devnull = false;
      int recvBufferSize = 0;
      for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--devnull") == 0) devnull = true;
        if (std::strncmp(argv[i], "--recv-buffer=", 14) == 0)
          recvBufferSize = std::atoi(argv[i] + 14);
      }
      return Throughput(argv[2], devnull, recvBufferSize);
    }
    if (argc >= 4 && std::strcmp(argv[1], "keepalive") == 0) {
      return KeepAlive(argv[2], std::atoi(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 1);
    }
  } catch (const lugatim::base::Exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.Message().c_str());
    return 1;
  }
  std::fprintf(stderr,
               "usage: %s throughput URL [--devnull] [--recv-buffer=BYTES] | keepalive URL COUNT "
               "[LOOKAHEAD_MS]\n",
               argv[0]);
  return 2;
}

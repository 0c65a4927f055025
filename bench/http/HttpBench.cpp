// Timed harness for the HTTP client against a real server (bench/http/run.sh
// starts nginx and runs curl beside it):
//
//   lugatim_http_bench throughput URL [--devnull | --file=DIR] [--recv-buffer=BYTES]
//                                                   one GET of a large file, kept
//                                                   nowhere, written to /dev/null, or
//                                                   written into DIR as the banner
//                                                   channel writes a banner (temporary
//                                                   file, then renamed; removed after)
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
#include <optional>
#include <string>

#include "banner/BannerFiles.h"
#include "base/Exception.h"
#include "base/Stream.h"
#include "http/HttpClient.h"

namespace {

// A stream that writes each block to /dev/null and keeps only its size and
// position.
class TDevNullStream : public lugatim::base::TNullStream {
 public:
  TDevNullStream() : fd_(::open("/dev/null", O_WRONLY)) {}
  ~TDevNullStream() override {
    if (fd_ >= 0) ::close(fd_);
  }
  using TStream::Write;
  void Write(const void* data, size_t count) override {
    if (::write(fd_, data, count) != static_cast<ssize_t>(count)) {
      throw lugatim::base::Exception("Stream write error");
    }
    TNullStream::Write(data, count);
  }

 private:
  int fd_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Throughput(const std::string& url, bool devnull, const std::string& folder,
               int recvBufferSize) {
  lugatim::http::THttpClient client;
  if (recvBufferSize > 0) client.SetRecvBufferSize(recvBufferSize);
  client.SetMaxBodySize(int64_t{1} << 40);
  client.SetTransferTimeOut(0);
  lugatim::base::TNullStream sink;
  TDevNullStream devNull;
  std::optional<lugatim::banner::TFolderFileWriter> file;
  if (!folder.empty()) file.emplace(folder, "big.bin");
  lugatim::base::TStream& stream = file      ? static_cast<lugatim::base::TStream&>(*file)
                                   : devnull ? static_cast<lugatim::base::TStream&>(devNull)
                                             : sink;
  const auto start = std::chrono::steady_clock::now();
  client.FetchToStream(url, stream);
  const int64_t size = stream.Size();
  if (file) file->Commit();
  const double seconds = SecondsSince(start);
  if (file) std::remove((folder + "big.bin").c_str());
  std::printf("bytes=%lld seconds=%.4f bytes_per_second=%.0f\n", static_cast<long long>(size),
              seconds, static_cast<double>(size) / seconds);
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
      std::string folder;
      int recvBufferSize = 0;
      for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--devnull") == 0) devnull = true;
        if (std::strncmp(argv[i], "--file=", 7) == 0) folder = std::string(argv[i] + 7) + "/";
        if (std::strncmp(argv[i], "--recv-buffer=", 14) == 0)
          recvBufferSize = std::atoi(argv[i] + 14);
      }
      return Throughput(argv[2], devnull, folder, recvBufferSize);
    }
    if (argc >= 4 && std::strcmp(argv[1], "keepalive") == 0) {
      return KeepAlive(argv[2], std::atoi(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 1);
    }
  } catch (const lugatim::base::Exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.Message().c_str());
    return 1;
  }
  std::fprintf(stderr,
               "usage: %s throughput URL [--devnull | --file=DIR] [--recv-buffer=BYTES] | "
               "keepalive URL COUNT "
               "[LOOKAHEAD_MS]\n",
               argv[0]);
  return 2;
}

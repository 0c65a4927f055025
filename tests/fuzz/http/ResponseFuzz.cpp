// Fuzz entry point for response parsing: the input is everything a server
// sends on one connection, followed by its close. The client reads it as the
// response to a GET (twice when the connection survives), so status lines,
// headers, every body form and the bounds are exercised exactly as on the
// wire. Any failure must be an exception of the program's family; anything
// else (a crash, a sanitizer report, a foreign exception) is a finding.

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/Exception.h"
#include "base/Stream.h"
#include "http/HttpClient.h"

namespace {

// What fits into the socket pair's buffer without a writer thread.
constexpr size_t kMaxInput = 64 * 1024;

void FetchOnce(lugatim::http::THttpClient& client) {
  lugatim::base::TMemoryStream stream;
  try {
    client.FetchToStream("/fuzz", stream);
  } catch (const lugatim::base::Exception&) {
    return;
  }
  // A fetch that returns leaves the stream ending at its position.
  if (stream.Size() != stream.Position()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return 0;
  const int buffer = 1 << 20;
  ::setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
  ::setsockopt(fds[0], SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  size_t sent = 0;
  while (sent < size) {
    const ssize_t n = ::send(fds[1], data + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  ::shutdown(fds[1], SHUT_WR);
  {
    lugatim::http::THttpClient client;
    client.SetReadTimeOut(2000);
    client.SetTransferTimeOut(5000);
    client.SetMaxBodySize(1 << 20);
    client.SetHost("fuzz.invalid");
    client.AttachSocket(fds[0]);
    FetchOnce(client);
    if (client.IsConnected()) FetchOnce(client);
  }
  ::close(fds[1]);
  return 0;
}

// The hand-over socket: request bytes, the listener's file (stale ones
// replaced, owner-only, removed on exit) and the sender's outcomes against a
// real listener on a real socket.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <poll.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/HandOver.h"
#include "platform/SingleInstance.h"

using namespace lugatim::platform;

namespace {

std::string TempDir() {
  char tmpl[] = "/tmp/lugatim-handover-XXXXXX";
  return std::string(mkdtemp(tmpl)) + "/";
}

// A socket file left behind by a process that died: bound, then closed
// without removing the file.
void LeaveStaleSocket(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  close(fd);
}

// Serves one connection on the listener from a thread: reads the request to
// its end and answers with reply (nothing when empty). The bytes it read.
std::string ServeOne(THandOverListener& listener, const std::string& reply) {
  int fd = -1;
  while ((fd = listener.Accept()) < 0) std::this_thread::yield();
  std::string bytes;
  char buf[512];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, -1);
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n > 0) {
      bytes.append(buf, static_cast<size_t>(n));
    } else if (n == 0 || errno != EAGAIN) {
      break;
    }
  }
  if (!reply.empty()) send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
  close(fd);
  return bytes;
}

}  // namespace

TEST(HandOverRequest, WordAndTokenGoThereAndBack) {
  const auto bytes = EncodeRequest({"İstanbul kitap", "abc-123_XY"});
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, "LOOKUP İstanbul kitap\nTOKEN abc-123_XY\n");
  const auto back = DecodeRequest(*bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->word, "İstanbul kitap");
  EXPECT_EQ(back->activationToken, "abc-123_XY");
  const auto plain = DecodeRequest("LOOKUP dog\n");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->word, "dog");
  EXPECT_EQ(plain->activationToken, "");
}

TEST(HandOverRequest, AnythingNotExactlyOneWellFormedRequestIsRefused) {
  for (const std::string& bad : {
           std::string(""),
           std::string("LOOKUP dog"),                // unfinished
           std::string("LOOKUP \n"),                 // no word
           std::string("lookup dog\n"),              // not the keyword
           std::string("LOOKUP dog\nLOOKUP cat\n"),  // two words
           std::string("TOKEN t\nLOOKUP dog\n"),     // token first
           std::string("LOOKUP dog\nTOKEN a b\n"),   // blank in the token
           std::string("LOOKUP dog\nTOKEN t\nTOKEN u\n"),
           std::string("LOOKUP dog\nQUIT\n"),  // nothing else is understood
           std::string("LOOKUP dog\n\n"),
           std::string("LOOKUP d\tog\n"),  // control characters
           std::string("LOOKUP d\x1b[2Jog\n"),
           std::string("LOOKUP d\xc2\x85og\n"),       // C1 control (NEL)
           std::string("LOOKUP \xc3\n"),              // cut UTF-8
           std::string("LOOKUP \xc0\xafx\n"),         // overlong
           std::string("LOOKUP \xed\xa0\x80\n"),      // surrogate
           std::string("LOOKUP \xf4\x90\x80\x80\n"),  // past U+10FFFF
           std::string("LOOKUP a\0b\n", 10),
       }) {
    EXPECT_FALSE(DecodeRequest(bad)) << bad;
  }
  // The size bound: a request of exactly 4 KiB passes, one byte more does not.
  const std::string fits = "LOOKUP " + std::string(kMaxRequestBytes - 8, 'a') + "\n";
  ASSERT_EQ(fits.size(), kMaxRequestBytes);
  EXPECT_TRUE(DecodeRequest(fits));
  EXPECT_TRUE(EncodeRequest({std::string(kMaxRequestBytes - 8, 'a'), ""}));
  EXPECT_FALSE(DecodeRequest("LOOKUP " + std::string(kMaxRequestBytes - 7, 'a') + "\n"));
  EXPECT_FALSE(EncodeRequest({std::string(kMaxRequestBytes - 7, 'a'), ""}));
  EXPECT_FALSE(EncodeRequest({"two\nlines", ""}));
  EXPECT_FALSE(EncodeRequest({"", ""}));
  EXPECT_FALSE(EncodeRequest({"dog", "tok en"}));
}

TEST(HandOverSocket, LiesBesideTheLockInTheUsersOwnFallbackFolder) {
  const char* saved = getenv("XDG_RUNTIME_DIR");
  const std::string keep = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(HandOverSocketPath(), "/run/user/1000/Lugatim_Kelime");
  unsetenv("XDG_RUNTIME_DIR");
  const std::string folder = "/tmp/lugatim-" + std::to_string(getuid()) + "/";
  EXPECT_EQ(HandOverSocketPath(), folder + "Lugatim_Kelime");
  EXPECT_EQ(SingleInstanceLockPath(), folder + "Lugatim_Muteksi");
  if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST(HandOverSocket, StaleFileIsReplacedOwnerOnlyAndRemovedAtTheEnd) {
  const std::string dir = TempDir();
  const std::string path = dir + "Lugatim_Kelime";
  LeaveStaleSocket(path);
  ASSERT_TRUE(std::filesystem::exists(path));
  // Nobody listens behind the stale file.
  EXPECT_EQ(SendHandOver(path, "LOOKUP dog\n", 1000), THandOverResult::NoListener);
  {
    THandOverListener listener(path);
    ASSERT_TRUE(listener.Listen()) << listener.Error();
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    std::string received;
    std::thread server([&] { received = ServeOne(listener, "OK\n"); });
    EXPECT_EQ(SendHandOver(path, "LOOKUP dog\n", 5000), THandOverResult::Delivered);
    server.join();
    EXPECT_EQ(received, "LOOKUP dog\n");
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  std::filesystem::remove_all(dir);
}

TEST(HandOverSocket, AFileThatIsNoSocketIsLeftAloneAndNothingListens) {
  const std::string dir = TempDir();
  const std::string path = dir + "Lugatim_Kelime";
  std::ofstream(path) << "keep me";
  THandOverListener listener(path);
  EXPECT_FALSE(listener.Listen());
  EXPECT_NE(listener.Error().find(path), std::string::npos) << listener.Error();
  EXPECT_EQ(listener.Fd(), -1);
  std::ifstream in(path);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "keep me");
  std::filesystem::remove_all(dir);
}

TEST(HandOverSocket, AListenerThatClosesWithoutAnsweringRefusesAndTheFileOfALaterCopyStays) {
  const std::string dir = TempDir();
  const std::string path = dir + "Lugatim_Kelime";
  auto first = std::make_unique<THandOverListener>(path);
  ASSERT_TRUE(first->Listen());
  std::thread server([&] { ServeOne(*first, ""); });
  EXPECT_EQ(SendHandOver(path, "LOOKUP dog\n", 5000), THandOverResult::Refused);
  server.join();
  // A wrong answer is no delivery either.
  std::thread liar([&] { ServeOne(*first, "NO\n"); });
  EXPECT_EQ(SendHandOver(path, "LOOKUP dog\n", 5000), THandOverResult::Refused);
  liar.join();

  // A later copy replaced the file; the first one's end leaves it in place.
  THandOverListener second(path);
  ASSERT_TRUE(second.Listen());
  first.reset();
  EXPECT_TRUE(std::filesystem::exists(path));
  std::thread server2([&] { ServeOne(second, "OK\n"); });
  EXPECT_EQ(SendHandOver(path, "LOOKUP cat\n", 5000), THandOverResult::Delivered);
  server2.join();
  std::filesystem::remove_all(dir);
}

// The client against real servers started on loopback ports: nginx
// (HTTP/1.1, keep-alive, chunked gzip) and python3 -m http.server (HTTP/1.0,
// closes after each response). Skipped when the server is not installed.

#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <random>
#include <string>

#include "http/HttpClient.h"
#include "http/NetExceptions.h"
#include "tests/http/TestSupport.h"

using namespace lugatim::http;
using namespace lugatim::http::test;

namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(gen());
  return out;
}

std::string SampleText(size_t size) {
  std::string out;
  for (int i = 0; out.size() < size; ++i) {
    out += "satir " + std::to_string(i) + ": the quick brown fox, hızlı kahverengi tilki\n";
  }
  return out;
}

std::string Gunzip(const std::string& compressed) {
  z_stream zs{};
  if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK) return {};
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  zs.avail_in = static_cast<uInt>(compressed.size());
  std::string out;
  char block[65536];
  int result;
  do {
    zs.next_out = reinterpret_cast<Bytef*>(block);
    zs.avail_out = sizeof block;
    result = inflate(&zs, Z_NO_FLUSH);
    out.append(block, sizeof block - zs.avail_out);
  } while (result == Z_OK);
  inflateEnd(&zs);
  return result == Z_STREAM_END ? out : std::string();
}

// The files both servers serve.
void WriteSite(const TTempDir& dir, const std::string& root) {
  dir.WriteFile(root + "/versiyon.ver", "42\r\n");
  dir.WriteFile(root + "/banner.gif", RandomBytes(300 * 1024 + 17, 1));
  dir.WriteFile(root + "/empty.txt", "");
  dir.WriteFile(root + "/gz/list.txt", SampleText(200 * 1024));
  dir.WriteFile(root + "/sub/index.txt", "x");
}

class Nginx : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    binary_ = FindExecutable("nginx", {"/usr/sbin", "/sbin"});
    if (binary_.empty()) return;
    dir_ = new TTempDir();
    WriteSite(*dir_, "www");
    port_ = FreeLoopbackPort();
    const std::string p = dir_->Path().string();
    dir_->WriteFile("nginx.conf",
                    "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                    "pid " +
                        p + "/nginx.pid;\nerror_log " + p +
                        "/error.log;\n"
                        "events { worker_connections 64; }\n"
                        "http {\n  access_log off;\n"
                        "  client_body_temp_path " +
                        p + "/body;\n  proxy_temp_path " + p +
                        "/proxy;\n"
                        "  fastcgi_temp_path " +
                        p + "/fastcgi;\n  uwsgi_temp_path " + p +
                        "/uwsgi;\n"
                        "  scgi_temp_path " +
                        p +
                        "/scgi;\n  keepalive_requests 100000;\n"
                        "  server {\n    listen 127.0.0.1:" +
                        std::to_string(port_) +
                        ";\n"
                        "    root " +
                        p +
                        "/www;\n"
                        "    location /gz/ { gzip on; gzip_types *; gzip_min_length 0; }\n"
                        "  }\n}\n");
    process_ =
        new TChildProcess({binary_, "-p", p, "-c", p + "/nginx.conf", "-e", p + "/error.log"},
                          dir_->Path(), dir_->Path() / "stdout.log");
    started_ = process_->WaitUntilAccepting(port_, 10000);
  }
  static void TearDownTestSuite() {
    delete process_;
    process_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (binary_.empty()) GTEST_SKIP() << "nginx is not installed";
    ASSERT_TRUE(started_) << ReadFile(dir_->Path() / "error.log");
  }
  static std::string Url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  static std::string File(const std::string& path) { return ReadFile(dir_->Path() / "www" / path); }

  static inline std::string binary_;
  static inline TTempDir* dir_ = nullptr;
  static inline TChildProcess* process_ = nullptr;
  static inline int port_ = 0;
  static inline bool started_ = false;
};

class PythonHttpServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    binary_ = FindExecutable("python3");
    if (binary_.empty()) return;
    dir_ = new TTempDir();
    WriteSite(*dir_, "site");
    port_ = FreeLoopbackPort();
    process_ = new TChildProcess(
        {binary_, "-m", "http.server", "--bind", "127.0.0.1", std::to_string(port_)},
        dir_->Path() / "site", dir_->Path() / "server.log");
    started_ = process_->WaitUntilAccepting(port_, 20000);
  }
  static void TearDownTestSuite() {
    delete process_;
    process_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (binary_.empty()) GTEST_SKIP() << "python3 is not installed";
    ASSERT_TRUE(started_) << ReadFile(dir_->Path() / "server.log");
  }
  static std::string Url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  static std::string File(const std::string& path) {
    return ReadFile(dir_->Path() / "site" / path);
  }

  static inline std::string binary_;
  static inline TTempDir* dir_ = nullptr;
  static inline TChildProcess* process_ = nullptr;
  static inline int port_ = 0;
  static inline bool started_ = false;
};

}  // namespace

TEST_F(Nginx, FilesArriveByteForByteOverOneKeptConnection) {
  THttpClient client;
  int connects = 0;
  client.OnConnected = [&] { ++connects; };
  EXPECT_EQ(client.FetchText(Url("/versiyon.ver")), "42\r\n");
  EXPECT_EQ(client.FetchText(Url("/banner.gif")), File("banner.gif"));
  EXPECT_EQ(client.FetchText(Url("/empty.txt")), "");
  EXPECT_EQ(client.Reply().ContentLength, 0);
  EXPECT_EQ(client.FetchText(Url("/versiyon.ver#ignored")), "42\r\n");
  EXPECT_EQ(connects, 1);
  EXPECT_TRUE(client.IsConnected());
  EXPECT_EQ(client.Reply().Server.rfind("nginx", 0), 0u);
  EXPECT_GT(client.Reply().Date, 0);
  EXPECT_GT(client.Reply().LastModified, 0);
}

TEST_F(Nginx, MissingFileAndDirectoryRedirectFailWithTheirStatus) {
  THttpClient client;
  int connects = 0;
  client.OnConnected = [&] { ++connects; };
  try {
    client.FetchText(Url("/yok.gif"));
    ADD_FAILURE() << "404 accepted";
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode(), 404);
    EXPECT_EQ(e.Message(), "404 Not Found");
  }
  EXPECT_TRUE(client.IsConnected());
  try {
    client.FetchText(Url("/sub"));
    ADD_FAILURE() << "redirect accepted";
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode(), 301);
    EXPECT_FALSE(client.Reply().Location.empty());
  }
  // The bodies of both errors were consumed: the connection carries on.
  EXPECT_EQ(client.FetchText(Url("/sub/index.txt")), "x");
  EXPECT_EQ(connects, 1);
}

TEST_F(Nginx, GzipLocationAnswersChunkedAndArrivesWhole) {
  THttpClient client;
  client.Request().AcceptEncoding = "gzip";
  const std::string compressed = client.FetchText(Url("/gz/list.txt"));
  EXPECT_EQ(client.Reply().ContentEncoding, "gzip");
  EXPECT_NE(client.Reply().ExtraHeaders.Values("Transfer-Encoding").find("chunked"),
            std::string::npos);
  EXPECT_EQ(client.Reply().ContentLength, 0);
  EXPECT_LT(compressed.size(), File("gz/list.txt").size());
  EXPECT_EQ(Gunzip(compressed), File("gz/list.txt"));
  // Chunked responses keep the connection for the next request.
  EXPECT_TRUE(client.IsConnected());
  EXPECT_EQ(Gunzip(client.FetchText(Url("/gz/list.txt"))), File("gz/list.txt"));
}

TEST_F(PythonHttpServer, Http10ResponsesArriveWholeAndCloseTheConnection) {
  THttpClient client;
  int connects = 0;
  client.OnConnected = [&] { ++connects; };
  EXPECT_EQ(client.FetchText(Url("/versiyon.ver")), "42\r\n");
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(client.FetchText(Url("/banner.gif")), File("banner.gif"));
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(client.FetchText(Url("/empty.txt")), "");
  EXPECT_EQ(connects, 3);
  EXPECT_EQ(client.Reply().Server.rfind("SimpleHTTP", 0), 0u);
}

TEST_F(PythonHttpServer, MissingFileFailsAndTheNextFetchStillWorks) {
  THttpClient client;
  try {
    client.FetchText(Url("/yok.gif"));
    ADD_FAILURE() << "404 accepted";
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode(), 404);
    EXPECT_EQ(e.Message().rfind("404 ", 0), 0u);
  }
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(client.FetchText(Url("/versiyon.ver")), "42\r\n");
}

// The download chain against a scripted loopback server: when it downloads,
// what it writes, which failures it skips, and the busy flag at every end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "banner/BannerChannel.h"
#include "banner/UpdateChain.h"
#include "base/StringList.h"
#include "http/ResponsiveWait.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using test::AdLine;
using Paths = std::vector<std::string>;

class Chain : public ::testing::Test {
 protected:
  void SetUp() override {
    state.bannerFolder = dir.folder;
    state.adList = std::make_unique<base::TStringList>();
    chain.SetUpdateServer({"127.0.0.1", site.Port()});
  }
  // A site with version n and an ad list of the lines.
  void Publish(int version, const std::vector<std::string>& lines) {
    site.SetOk("/versiyon.ver", std::to_string(version) + "\r\n");
    std::string list;
    for (const std::string& line : lines) list += line + "\r\n";
    site.SetOk("/liste.lst", list);
  }
  // Runs one version check and returns the paths it requested.
  Paths Check() {
    const size_t before = site.Paths().size();
    chain.VerKontrolEtExecute();
    EXPECT_FALSE(state.busy) << "the chain ended with the busy flag set";
    const Paths all = site.Paths();
    return Paths(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  }
  std::string Url(const std::string& path) const { return site.Url(path); }

  test::TSite site;
  test::TBannerDir dir;
  TChannelState state;
  http::THttpClient client;
  TUpdateChain chain{client, state};
};

TEST_F(Chain, ServerFiveLocalFiveDownloadsOnceAfterStartUp) {
  dir.Write("versiyon.ver", "5\r\n");
  Publish(5, {AdLine(Url("/b/one.gif"), "http://go/1", 5)});
  site.SetOk("/b/one.gif", "GIF-one");
  // L is 0 at the first check: the whole chain runs.
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/one.gif"}));
  EXPECT_EQ(state.serverVersionText, "5");
  EXPECT_EQ(state.serverVersionNumber, 5);
  EXPECT_EQ(state.localVersionText, "5");
  EXPECT_EQ(dir.Read("one.gif"), "GIF-one");
  EXPECT_EQ(dir.Read("versiyon.ver"), "5\r\n");
  EXPECT_EQ(dir.Read("Liste.lst"), AdLine(Url("/b/one.gif"), "http://go/1", 5) + "\r\n");
  // 5 against 5: nothing more.
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
}

TEST_F(Chain, ServerFiveLocalFourDownloadsTwiceThenStops) {
  dir.Write("versiyon.ver", "4\r\n");
  Publish(5, {AdLine(Url("/b/one.gif"), "g", 5)});
  site.SetOk("/b/one.gif", "x");
  EXPECT_EQ(Check().size(), 3u);
  EXPECT_EQ(dir.Read("versiyon.ver"), "5\r\n");
  EXPECT_EQ(state.localVersionText, "4");  // remembered from the file as it was
  EXPECT_EQ(Check().size(), 3u);           // 4 < 5 once more
  EXPECT_EQ(state.localVersionText, "5");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
}

TEST_F(Chain, NoLocalFileAndServerZeroOrNegativeDownloadNothing) {
  Publish(0, {AdLine(Url("/b/one.gif"), "g", 5)});
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
  EXPECT_EQ(state.localVersionText, "0");  // the server's line, as no file was read
  Publish(-3, {});
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
  EXPECT_FALSE(dir.Exists("Liste.lst"));
}

TEST_F(Chain, AnEmptyLocalVersionFileCountsAsMissing) {
  dir.Write("versiyon.ver", "");
  Publish(7, {AdLine(Url("/b/one.gif"), "g", 5)});
  site.SetOk("/b/one.gif", "x");
  EXPECT_EQ(Check().size(), 3u);
  EXPECT_EQ(dir.Read("versiyon.ver"), "7\r\n");
  EXPECT_EQ(state.localVersionText, "7");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
}

TEST_F(Chain, LinesWithBothFlagsOneAreRequestedAsTextAndNothingIsStored) {
  dir.Write("versiyon.ver", "1\r\n");
  Publish(9, {AdLine(Url("/b/a.gif"), "g", 5, 1, 1), AdLine(Url("/b/b.gif"), "g", 5, 1, 1)});
  site.SetOk("/b/a.gif", "A");
  site.SetOk("/b/b.gif", "B");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif", "/b/b.gif"}));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Liste.lst", "versiyon.ver"}));
  EXPECT_EQ(dir.Read("versiyon.ver"), "1\r\n");  // not rewritten
}

TEST_F(Chain, EveryOtherFlagCombinationIsStored) {
  Publish(2, {AdLine(Url("/b/a.gif"), "g", 5, 1, 0), AdLine(Url("/b/b.gif"), "g", 5, 0, 1),
              AdLine(Url("/b/c.gif"), "g", 5, 2, 1)});
  for (const char* p : {"/b/a.gif", "/b/b.gif", "/b/c.gif"}) site.SetOk(p, p);
  Check();
  EXPECT_EQ(dir.Read("a.gif"), "/b/a.gif");
  EXPECT_EQ(dir.Read("b.gif"), "/b/b.gif");
  EXPECT_EQ(dir.Read("c.gif"), "/b/c.gif");
}

TEST_F(Chain, AnInvalidLineBetweenTwoValidOnesIsSkipped) {
  Publish(3, {AdLine(Url("/b/a.gif"), "g", 5), "not,an,ad,line", AdLine(Url("/b/c.jpg"), "g", 5)});
  site.SetOk("/b/a.gif", "A");
  site.SetOk("/b/c.jpg", "C");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif", "/b/c.jpg"}));
  EXPECT_EQ(dir.Read("a.gif"), "A");
  EXPECT_EQ(dir.Read("c.jpg"), "C");
  EXPECT_EQ(dir.Read("versiyon.ver"), "3\r\n");
}

TEST_F(Chain, ARedirectIsAFailureAndNothingIsStoredForIt) {
  Publish(3, {AdLine(Url("/b/moved.gif"), "g", 5), AdLine(Url("/b/ok.gif"), "g", 5)});
  site.SetResponse("/b/moved.gif", http::test::Response(
                                       "HTTP/1.1 302 Found",
                                       {"Location: " + Url("/b/ok.gif"), "Content-Length: 0"}, ""));
  site.SetOk("/b/ok.gif", "OK");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/moved.gif", "/b/ok.gif"}));
  EXPECT_FALSE(dir.Exists("moved.gif"));
  EXPECT_EQ(dir.Read("ok.gif"), "OK");
}

TEST_F(Chain, BannersSurviveAServerThatClosesUnannouncedAfterEachResponse) {
  std::vector<std::string> lines;
  for (int i = 0; i < 10; ++i) {
    const std::string p = "/b/c" + std::to_string(i) + ".gif";
    site.SetResponse(p,
                     http::test::Response(
                         "HTTP/1.1 200 OK",
                         {"Content-Length: " + std::to_string(p.size()), "X-Then-Close: yes"}, p));
    lines.push_back(AdLine(Url(p), "g", 5));
  }
  Publish(1, lines);
  const int lookAhead = client.LookAheadTimeOut();
  Check();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(dir.Read("c" + std::to_string(i) + ".gif"), "/b/c" + std::to_string(i) + ".gif");
  }
  EXPECT_EQ(client.LookAheadTimeOut(), lookAhead);  // the pass gives it back
}

// Banners from a host that keeps its connection after the first banner and
// then fails the second request as the script says; later connections
// answer every banner whole.
class BrokenSecondBanner {
 public:
  explicit BrokenSecondBanner(std::function<void(http::test::TServerConnection&)> breakOff)
      : server_([breakOff](http::test::TServerConnection& c) {
          for (int n = 0;; ++n) {
            const std::string request = c.ReadRequest();
            if (request.empty()) return;
            if (c.Index() == 0 && n == 1) {
              breakOff(c);
              return;
            }
            if (!c.Send(http::test::Ok(std::string(20000, 'B')))) return;
          }
        }) {}
  std::string Url(const std::string& path) const { return server_.Url(path); }
  int Requests(const std::string& path) const {
    int count = 0;
    for (const std::string& head : server_.Requests())
      count += head.rfind("GET " + path + " ", 0) == 0 ? 1 : 0;
    return count;
  }

 private:
  http::test::TScriptedServer server_;
};

TEST_F(Chain, ARequestThatNoReplyByteAnsweredIsSentOnceMore) {
  // The server takes the request and closes the kept connection without a
  // byte: the request may never have been served, so it goes again.
  BrokenSecondBanner host([](http::test::TServerConnection& c) { c.Close(); });
  Publish(1, {AdLine(host.Url("/a.gif"), "g", 5), AdLine(host.Url("/b.gif"), "g", 5)});
  Check();
  EXPECT_EQ(host.Requests("/b.gif"), 2);
  EXPECT_EQ(dir.Read("b.gif"), std::string(20000, 'B'));
}

TEST_F(Chain, AReplyThatBrokeOffIsNotSentAgainAndLeavesNothing) {
  for (const bool reset : {false, true}) {
    BrokenSecondBanner host([reset](http::test::TServerConnection& c) {
      c.Send("HTTP/1.1 200 OK\r\nContent-Length: 20000\r\n\r\n" + std::string(7000, 'h'));
      if (reset) {
        c.Reset();
      } else {
        c.Close();
      }
    });
    dir.Write("b.gif", "old banner");
    Publish(reset ? 2 : 1, {AdLine(host.Url("/a.gif"), "g", 5), AdLine(host.Url("/b.gif"), "g", 5),
                            AdLine(host.Url("/c.gif"), "g", 5)});
    Check();
    EXPECT_EQ(host.Requests("/b.gif"), 1) << reset;
    // The old file stays; no part of the broken reply is kept, not even as a
    // temporary file; the line after it is fetched as usual.
    EXPECT_EQ(dir.Read("b.gif"), "old banner") << reset;
    EXPECT_EQ(dir.Read("c.gif"), std::string(20000, 'B')) << reset;
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"Liste.lst", "a.gif", "b.gif", "c.gif", "versiyon.ver"}))
        << reset;
  }
}

TEST_F(Chain, BannersOverTheCapOrCutOffLeaveNoFile) {
  client.SetMaxBodySize(1000);
  site.SetResponse(
      "/b/announced.gif",
      http::test::Response("HTTP/1.1 200 OK", {"Content-Length: 1001"}, std::string(1001, 'a')));
  site.SetResponse(
      "/b/chunked.gif",
      http::test::Response("HTTP/1.1 200 OK", {"Transfer-Encoding: chunked"},
                           "3e8\r\n" + std::string(1000, 'c') + "\r\n1\r\nc\r\n0\r\n\r\n"));
  site.SetResponse(
      "/b/unannounced.gif",
      http::test::Response("HTTP/1.1 200 OK", {"Connection: close"}, std::string(5000, 'u')));
  site.SetOk("/b/fits.gif", std::string(1000, 'f'));
  Publish(1, {AdLine(Url("/b/announced.gif"), "g", 5), AdLine(Url("/b/chunked.gif"), "g", 5),
              AdLine(Url("/b/unannounced.gif"), "g", 5), AdLine(Url("/b/fits.gif"), "g", 5)});
  Check();
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Liste.lst", "fits.gif", "versiyon.ver"}));
  EXPECT_EQ(dir.Read("fits.gif"), std::string(1000, 'f'));
}

TEST_F(Chain, AFailedSaveOfTheVersionFileStillClearsTheBusyFlag) {
  std::filesystem::create_directory(dir.folder + "versiyon.ver");  // cannot be replaced
  Publish(3, {AdLine(Url("/b/a.gif"), "g", 5)});
  site.SetOk("/b/a.gif", "A");
  EXPECT_EQ(Check().size(), 3u);
  EXPECT_EQ(dir.Read("a.gif"), "A");
  EXPECT_TRUE(std::filesystem::is_directory(dir.folder + "versiyon.ver"));
}

TEST_F(Chain, FailuresOfTheCheckAndOfTheAdListEndWithTheFlagClear) {
  site.SetOk("/versiyon.ver", "five\r\n");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
  site.SetOk("/versiyon.ver", "");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
  // The ad list answers 404: no pass; the old list stays whole.
  dir.Write("Liste.lst", "old list");
  site.SetOk("/versiyon.ver", "4\r\n");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst"}));
  EXPECT_EQ(dir.Read("Liste.lst"), "old list");
}

TEST_F(Chain, AnUnreachableServerEndsTheCheckWithTheFlagClear) {
  chain.SetUpdateServer({"127.0.0.1", http::test::FreeLoopbackPort()});
  chain.VerKontrolEtExecute();
  EXPECT_FALSE(state.busy);
  EXPECT_FALSE(client.IsConnected());
}

TEST_F(Chain, TheCheckGoesBackToTheUpdateServerAfterBannersFromAnotherHost) {
  auto other = std::make_unique<test::TSite>();
  other->SetOk("/elsewhere.gif", "E");
  Publish(1, {AdLine(other->Url("/elsewhere.gif"), "g", 5)});
  Check();
  EXPECT_EQ(dir.Read("elsewhere.gif"), "E");
  other.reset();  // the banner host is gone; the update server is not
  Publish(2, {});
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst"}));
}

TEST_F(Chain, HostileNamesAreSkippedAndNothingIsWrittenOutsideTheFolder) {
  const auto outside = dir.root.Path() / "outside.txt";
  dir.root.WriteFile("outside.txt", "precious");
  std::filesystem::create_symlink(outside, dir.folder + "link.gif");
  const std::vector<std::string> paths = {
      "/b/", "/b/.", "/b/..", "/b/link.gif", "/b/..%2F..%2Fevil.gif", "/b/ok.gif"};
  std::vector<std::string> lines;
  for (const std::string& p : paths) {
    site.SetOk(p, "bytes of " + p);
    lines.push_back(AdLine(Url(p), "g", 5));
  }
  lines.push_back(AdLine(
      std::string("http://127.0.0.1:") + std::to_string(site.Port()) + "/b/ctl\x01.gif", "g", 5));
  Publish(1, lines);
  Check();
  EXPECT_EQ(http::test::ReadFile(outside), "precious");
  EXPECT_EQ(dir.Read("link.gif"), "bytes of /b/link.gif");  // the link itself was replaced
  EXPECT_FALSE(std::filesystem::is_symlink(dir.folder + "link.gif"));
  EXPECT_EQ(dir.Read("..%2F..%2Fevil.gif"), "bytes of /b/..%2F..%2Fevil.gif");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"..%2F..%2Fevil.gif", "Liste.lst", "link.gif",
                                                     "ok.gif", "versiyon.ver"}));
  std::vector<std::string> top;
  for (const auto& e : std::filesystem::directory_iterator(dir.root.Path()))
    top.push_back(e.path().filename().string());
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, (std::vector<std::string>{"Banner", "outside.txt"}));
}

TEST_F(Chain, LongLinesAndManyLinesWithinTheBoundsArePassedOver) {
  std::vector<std::string> lines;
  lines.push_back(AdLine(Url("/b/first.gif"), "g", 5));
  lines.push_back(std::string(2048, 'x'));                                        // no commas
  lines.push_back(AdLine(std::string(2000, '/') + "slashes.gif", "g", 5));        // no host
  lines.push_back(AdLine(Url("/b/" + std::string(1900, 'n') + ".gif"), "g", 5));  // too long
  for (int i = 0; i < 900; ++i) lines.push_back("junk line " + std::to_string(i) + ",,,,,");
  for (int i = 0; i < 20; ++i) {
    const std::string p = "/b/many" + std::to_string(i) + ".gif";
    site.SetOk(p, p);
    lines.push_back(AdLine(Url(p), "g", 5));
  }
  site.SetOk("/b/first.gif", "F");
  Publish(4, lines);
  Check();
  EXPECT_EQ(dir.Read("first.gif"), "F");
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(dir.Exists("many" + std::to_string(i) + ".gif")) << i;
  EXPECT_EQ(dir.Entries().size(), 23u);
  EXPECT_EQ(dir.Read("versiyon.ver"), "4\r\n");
  // One line of 3 MiB, or 5,000 lines, and the list is not taken at all.
  const std::string stored = dir.Read("Liste.lst");
  for (const bool huge : {true, false}) {
    std::vector<std::string> beyond = {AdLine(Url("/b/first.gif"), "g", 5)};
    if (huge) {
      beyond.push_back(std::string(3 * 1024 * 1024, 'x'));
    } else {
      for (int i = 0; i < 5000; ++i) beyond.push_back("junk line " + std::to_string(i) + ",,,,,");
    }
    Publish(huge ? 5 : 6, beyond);
    EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst"})) << huge;
    EXPECT_EQ(dir.Read("Liste.lst"), stored) << huge;
    EXPECT_EQ(dir.Read("versiyon.ver"), "4\r\n") << huge;
    EXPECT_EQ(dir.Entries().size(), 23u) << huge;
  }
}

// A tick that the responsive wait delivers while the chain waits for the
// server finds the busy flag set and does nothing.
TEST_F(Chain, ATickDuringATransferDoesNothing) {
  class NoDisplay : public IBannerDisplay {
   public:
    void ShowBanner(const TBannerPicture&, const std::string&) override {}
  } display;
  base::ManualClock clock;
  TBannerChannel channel(client, state, clock, display);
  channel.SetUpdateServer({"127.0.0.1", site.Port()});
  int ticks = 0;
  http::TResponsiveWait wait(http::TEventPump{[&] {
                                                ++ticks;
                                                channel.Timer1Timer();
                                              },
                                              [&] {
                                                ++ticks;
                                                channel.Timer1Timer();
                                              }});
  wait.SetIdleTimeOut(10);
  Publish(2, {AdLine(Url("/b/a.gif"), "g", 5)});
  site.SetOk("/b/a.gif", "A");
  site.SetDelay("/liste.lst", 300);
  site.SetDelay("/b/a.gif", 300);
  channel.VerKontrolEtExecute();
  EXPECT_GT(ticks, 5);
  EXPECT_EQ(site.Paths(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif"}));
  EXPECT_FALSE(channel.RotationRunning());
  EXPECT_FALSE(state.busy);
}

TEST_F(Chain, ARequestOnANewConnectionToAnotherHostIsNotSentAgain) {
  // The update server's connection is still kept when the pass begins; the
  // banner's host is another, so its request opens a connection of its own,
  // and a close on that one is a failed transfer like any other.
  std::atomic<int> asked{0};
  http::test::TScriptedServer other([&](http::test::TServerConnection& c) {
    if (c.ReadRequest().empty()) return;
    ++asked;
    c.Close();
  });
  Publish(1, {AdLine(other.Url("/a.gif"), "g", 5)});
  site.SetOk("/b/ok.gif", "ok");
  Check();
  EXPECT_EQ(asked.load(), 1);
  EXPECT_FALSE(dir.Exists("a.gif"));
}

// The version file: its first line only, up to 64 bytes, whatever follows.
TEST_F(Chain, OnlyTheVersionFilesFirstLineIsRead) {
  site.SetOk("/b/a.gif", "A");
  const std::string list = AdLine(Url("/b/a.gif"), "g", 5) + "\r\n";
  site.SetOk("/liste.lst", list);
  // 5 and then 4 MiB of line breaks: one line is kept, the chain runs.
  site.SetOk("/versiyon.ver", "5" + std::string(4 * 1024 * 1024, '\n'));
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif"}));
  EXPECT_EQ(state.serverVersionText, "5");
  // A first line of 64 bytes is read whole (leading spaces are integer text).
  site.SetOk("/versiyon.ver", std::string(63, ' ') + "7\r\nrest");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif"}));
  EXPECT_EQ(state.serverVersionNumber, 7);
  // 65 bytes are too many: the check fails and nothing else is asked for.
  state.localVersionText.clear();
  site.SetOk("/versiyon.ver", std::string(64, ' ') + "9\r\n");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver"}));
  EXPECT_EQ(state.serverVersionNumber, 7);
  // Neither does a local file longer than that in its first line count.
  dir.Write("versiyon.ver", std::string(70, ' ') + "8\r\n");
  site.SetOk("/versiyon.ver", "8\r\n");
  state.localVersionText = "8";
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif"}));
  EXPECT_EQ(dir.Read("versiyon.ver"), "8\r\n");
}

// An ad list of at most 1,000 lines of at most 2 KiB each; one beyond that is
// a failed download: nothing is stored and the version does not advance.
TEST_F(Chain, AnAdListBeyondItsBoundsIsAFailedDownload) {
  site.SetOk("/b/a.gif", "A");
  const std::string line = AdLine(Url("/b/a.gif"), "g", 5);
  const std::string longLine = line + std::string(2048 - line.size(), '0');
  ASSERT_EQ(longLine.size(), 2048u);  // trailing zeros of HoldBack: still a valid line
  struct TCase {
    std::string list;
    bool stored;
  };
  std::string thousand, thousandAndOne, emptyLines;
  for (int i = 0; i < 999; ++i) thousand += "junk\r\n";
  thousandAndOne = thousand + "junk\r\n" + line + "\r\n";
  thousand += line + "\r\n";
  for (int i = 0; i < 1001; ++i) emptyLines += "\n";
  const std::vector<TCase> cases = {
      {thousand, true},
      {thousandAndOne, false},
      {longLine + "\r\n", true},
      {longLine + "0\r\n", false},
      {line + "\r\n" + emptyLines, false},               // empty lines count
      {line + "\r\n" + std::string(1000, '\r'), false},  // so do lone CRs
      {line + "\r\n" + std::string(33 * 1024 * 1024, '\n'), false},
  };
  int version = 10;
  for (const TCase& c : cases) {
    const std::string oldList = "the list before\r\n";
    dir.Write("Liste.lst", oldList);
    dir.Write("versiyon.ver", "1\r\n");
    state.localVersionText = "1";
    site.SetOk("/versiyon.ver", std::to_string(++version) + "\r\n");
    site.SetOk("/liste.lst", c.list);
    const Paths paths = Check();
    if (c.stored) {
      EXPECT_EQ(paths, (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif"})) << c.list.size();
      EXPECT_EQ(dir.Read("Liste.lst"), c.list);
      EXPECT_EQ(dir.Read("versiyon.ver"), std::to_string(version) + "\r\n");
    } else {
      EXPECT_EQ(paths, (Paths{"/versiyon.ver", "/liste.lst"})) << c.list.size();
      EXPECT_EQ(dir.Read("Liste.lst"), oldList) << c.list.size();
      EXPECT_EQ(dir.Read("versiyon.ver"), "1\r\n");
      EXPECT_LT(state.adList->Count(), 2);
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Liste.lst", "a.gif", "versiyon.ver"}));
  }
}

// A banner named like one of the channel's own files is skipped (not asked
// for); the others of the list are stored as usual.
TEST_F(Chain, BannersNamedLikeTheChannelsFilesAreSkipped) {
  dir.Write("Banner2.gif", "kept");
  const std::vector<std::string> reserved = {"LISTE.LST",   "liste.lst",   "Versiyon.VER",
                                             "banner2.GIF", "Banner2.gif", ".lugatim-x",
                                             ".LUGATIM-abc"};
  std::vector<std::string> lines;
  for (const std::string& name : reserved) {
    site.SetOk("/h/" + name, "evil");
    lines.push_back(AdLine(Url("/h/" + name), "file:///etc/shadow", 5));
  }
  site.SetOk("/b/ok.gif", "ok");
  lines.push_back(AdLine(Url("/b/ok.gif"), "http://go", 5));
  Publish(3, lines);
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/ok.gif"}));
  EXPECT_EQ(dir.Read("Banner2.gif"), "kept");
  EXPECT_EQ(dir.Read("versiyon.ver"), "3\r\n");
  EXPECT_EQ(dir.Read("ok.gif"), "ok");
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"Banner2.gif", "Liste.lst", "ok.gif", "versiyon.ver"}));
}

// At most 100 banners: a new one beyond them is not asked for. After the
// pass the banners the list no longer names are removed, the kept one and
// the channel's files stay.
TEST_F(Chain, TheFolderHoldsAtMostAHundredBanners) {
  dir.Write("Banner2.gif", "kept");
  for (int i = 0; i < 98; ++i) dir.Write("old" + std::to_string(i) + ".gif", "o");
  std::vector<std::string> lines;
  for (const char* name : {"new1.gif", "new2.gif", "new3.gif"}) {
    site.SetOk(std::string("/b/") + name, name);
    lines.push_back(AdLine(Url(std::string("/b/") + name), "g", 5));
  }
  lines.push_back(AdLine(Url("/b/old5.gif"), "g", 5));  // replacing one takes no new place
  site.SetOk("/b/old5.gif", "new old5");
  Publish(4, lines);
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/new1.gif", "/b/old5.gif"}));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Banner2.gif", "Liste.lst", "new1.gif",
                                                     "old5.gif", "versiyon.ver"}));
  EXPECT_EQ(dir.Read("old5.gif"), "new old5");
  // With room again, the next version brings the rest.
  site.SetOk("/versiyon.ver", "5\r\n");
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/new1.gif", "/b/new2.gif",
                            "/b/new3.gif", "/b/old5.gif"}));
  EXPECT_EQ(dir.Entries().size(), 7u);
}

// At most 64 MiB of banners: a banner that would pass it is cut off and
// leaves nothing; one that fits after it is still stored.
TEST_F(Chain, TheFolderHoldsAtMost64MiBOfBanners) {
  // A sparse file counts with its length and costs no disk.
  {
    std::ofstream(dir.folder + "big.gif").put('b');
    std::filesystem::resize_file(dir.folder + "big.gif", 64ll * 1024 * 1024 - 100);
  }
  site.SetOk("/b/a.gif", std::string(50, 'a'));
  site.SetOk("/b/b.gif", std::string(51, 'b'));
  site.SetOk("/b/c.gif", std::string(50, 'c'));
  site.SetOk("/b/d.gif", "d");
  Publish(6, {AdLine(Url("/b/a.gif"), "g", 5), AdLine(Url("/b/b.gif"), "g", 5),
              AdLine(Url("/b/c.gif"), "g", 5), AdLine(Url("/b/d.gif"), "g", 5)});
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/a.gif", "/b/b.gif", "/b/c.gif"}));
  // big.gif is named no more and goes; a and c fitted, b did not, and after
  // c the folder was full, so d was not asked for.
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"Liste.lst", "a.gif", "c.gif", "versiyon.ver"}));
}

TEST_F(Chain, ABannerPathIsSentEncoded) {
  // A space, control characters and bytes from 0x80 up are encoded; a "%"
  // already there stays as it is.
  site.SetOk("/b/sp%20c%01%7F%25/a%20b%C3%BC.gif", "enc");
  Publish(7, {AdLine(Url("/b/sp c\x01\x7F%25/a b\xC3\xBC.gif"), "g", 5)});
  EXPECT_EQ(Check(), (Paths{"/versiyon.ver", "/liste.lst", "/b/sp%20c%01%7F%25/a%20b%C3%BC.gif"}));
  // The file keeps the name the list gives.
  EXPECT_EQ(dir.Read("a b\xC3\xBC.gif"), "enc");
}

}  // namespace
}  // namespace lugatim::banner

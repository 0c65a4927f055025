// The pure parts of the client: URL splitting, header lists, dates, error
// numbers and texts, Base64 and the wait slicing.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "http/HeaderList.h"
#include "http/HttpDate.h"
#include "http/NetExceptions.h"
#include "http/ResponsiveWait.h"
#include "http/SocketStack.h"
#include "http/Url.h"

using namespace lugatim::http;

TEST(SplitUrl, SplitsProtocolHostPortPathDocumentAndBookmark) {
  const TUrlParts a = SplitUrl("http://server/versiyon.ver");
  EXPECT_EQ(a.Protocol, "http");
  EXPECT_EQ(a.Host, "server");
  EXPECT_EQ(a.Port, "");
  EXPECT_FALSE(a.PortNumber());
  EXPECT_EQ(a.Path, "/");
  EXPECT_EQ(a.Document, "versiyon.ver");
  EXPECT_EQ(a.Target(), "/versiyon.ver");

  const TUrlParts b = SplitUrl("http://server:8080/a/b.gif#top");
  EXPECT_EQ(b.Host, "server");
  EXPECT_EQ(b.PortNumber(), 8080);
  EXPECT_EQ(b.Path, "/a/");
  EXPECT_EQ(b.Document, "b.gif");
  EXPECT_EQ(b.Bookmark, "top");
  EXPECT_EQ(b.Target(), "/a/b.gif");
}

TEST(SplitUrl, BareHostAsksForRootAndOddFormsStayPredictable) {
  EXPECT_EQ(SplitUrl("http://server").Target(), "/");
  EXPECT_EQ(SplitUrl("http://server").Host, "server");
  EXPECT_EQ(SplitUrl("http://server/").Target(), "/");
  // Backslashes count as slashes.
  const TUrlParts back = SplitUrl("http:\\\\server\\dir\\x.gif");
  EXPECT_EQ(back.Host, "server");
  EXPECT_EQ(back.Target(), "/dir/x.gif");
  // Without "://" the whole text is path and document.
  const TUrlParts rel = SplitUrl("dir/x.gif#m");
  EXPECT_EQ(rel.Host, "");
  EXPECT_EQ(rel.Target(), "/dir/x.gif");
  EXPECT_EQ(rel.Bookmark, "m");
  // A port that is not a number means no port.
  EXPECT_FALSE(SplitUrl("http://h:abc/x").PortNumber());
  EXPECT_EQ(SplitUrl("http://h:/x").Host, "h");
  EXPECT_FALSE(SplitUrl("http://h:/x").PortNumber());
}

TEST(HeaderList, LooksUpNamesWithoutCaseAndJoinsContinuationLines) {
  THeaderList list;
  list.Add("Content-Type: text/plain");
  list.Add("X-Long: first");
  list.Add("   second");
  list.Add("\tthird ");
  list.Add("x-long: other");
  list.Add("no colon here");
  EXPECT_EQ(list.Values("content-TYPE"), "text/plain");
  EXPECT_EQ(list.Values("X-LONG"), "first second third ");
  EXPECT_EQ(list.Values("Missing"), "");
  EXPECT_EQ(THeaderList::NameOf("no colon here"), "");
  EXPECT_EQ(THeaderList::NameOf("A:b:c"), "A");

  list.Remove("x-long");  // the first one, with its continuation lines
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(1), "x-long: other");
  EXPECT_EQ(list.Values("X-Long"), "other");
  EXPECT_THROW(list.Strings(3), lugatim::base::EListError);
}

TEST(HeaderList, ValueJoinsWithoutDoubleBlankAndDropsLeadingBlanks) {
  THeaderList list;
  list.Add("A:   x ");
  list.Add(" y");
  EXPECT_EQ(list.Values("A"), "x y");
  THeaderList empty;
  empty.Add("B:");
  empty.Add(" z");
  EXPECT_EQ(empty.Values("B"), "z");
}

TEST(HeaderInfo, DefaultsAreTheProgramsRequestValues) {
  const THeaderInfo info;
  EXPECT_EQ(info.Accept, "text/html, */*");
  EXPECT_EQ(info.UserAgent, "Mozilla/3.0 (compatible; Lugatim)");
  EXPECT_EQ(info.ContentLength, 0);
  EXPECT_EQ(info.ProxyPort, 0);
  EXPECT_TRUE(info.Connection.empty());
}

TEST(Base64, EncodesWithPadding) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("user:pa\xff"), "dXNlcjpwYf8=");
}

TEST(HttpDate, ReadsTheUsualFormsAndConvertsByTheZone) {
  const TDateTime expected = EncodeDateTime(1994, 11, 6, 8, 49, 37);
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("Sun, 06 Nov 1994 08:49:37 GMT", 0), expected);
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("  sun, 06 nov 1994 08:49:37 GMT  ", 0), expected);
  // Local time two hours ahead of UTC.
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("06 Nov 1994 08:49:37 GMT", 120), expected + 2.0 / 24);
  // A numeric zone is taken back out.
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("Sun, 06 Nov 1994 10:49:37 +0200", 0), expected);
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("Sun, 06 Nov 1994 03:19:37 -0530", 0), expected);
  // Two-digit years.
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("06 Nov 94 08:49:37", 0), expected);
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("06 Nov 05", 0), EncodeDateTime(2005, 11, 6, 0, 0, 0));
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 12, 0, 0), 2.5);
}

TEST(HttpDate, UnreadableTextGivesZero) {
  EXPECT_EQ(GmtToLocalDateTime("", 0), 0);
  EXPECT_EQ(GmtToLocalDateTime("   ", 0), 0);
  EXPECT_EQ(GmtToLocalDateTime("Sun, 06 Foo 1994 08:49:37 GMT", 0), 0);
  EXPECT_EQ(GmtToLocalDateTime("Sun, 31 Feb 1994 08:49:37 GMT", 0), 0);
  EXPECT_EQ(GmtToLocalDateTime("Sun, 06 Nov 1994 25:49:37 GMT", 0), 0);
  // An unreadable day of the month counts as the first.
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("xx Nov 1994", 0), EncodeDateTime(1994, 11, 1, 0, 0, 0));
}

TEST(HttpDate, SystemZoneConversionUsesTheCurrentOffset) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  ::setenv("TZ", "UTC-3", 1);  // three hours east of UTC
  ::tzset();
  EXPECT_EQ(LocalUtcOffsetMinutes(), 180);
  EXPECT_DOUBLE_EQ(GmtToLocalDateTime("Sun, 06 Nov 1994 08:49:37 GMT"),
                   EncodeDateTime(1994, 11, 6, 11, 49, 37));
  if (saved) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST(SocketErrors, MessagesCarryTheNumberAndTheTableText) {
  const ENetSocketError refused(10061);
  EXPECT_EQ(refused.ErrorNumber(), 10061);
  EXPECT_EQ(refused.Message(), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(ENetSocketError(10060).Message(), "Socket Error # 10060\r\nConnection timed out.");
  EXPECT_EQ(ENetSocketError(10035).Message(), "Socket Error # 10035\r\nOperation would block. ");
  EXPECT_EQ(ENetSocketError(11001).Message(), "Socket Error # 11001\r\n");
  EXPECT_EQ(std::string(SocketErrorText(10066)), "Directory not empty");
}

TEST(SocketErrors, PosixErrorsMapOntoWinsockNumbers) {
  EXPECT_EQ(WinsockErrorOfErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(WinsockErrorOfErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(WinsockErrorOfErrno(ECONNRESET), 10054);
  EXPECT_EQ(WinsockErrorOfErrno(EADDRINUSE), 10048);
  EXPECT_EQ(WinsockErrorOfErrno(EWOULDBLOCK), 10035);
  EXPECT_EQ(WinsockErrorOfErrno(EPIPE), 10058);
  EXPECT_EQ(WinsockErrorOfErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(WinsockErrorOfErrno(ENOTEMPTY), 10066);
  // No Winsock counterpart: the number stays, the text is empty.
  EXPECT_EQ(WinsockErrorOfErrno(EROFS), EROFS);
}

TEST(NetExceptions, FamilyAndFixedMessages) {
  const ENetConnClosedGracefully closed;
  const ENetSilentException& silent = closed;
  const ENetException& net = silent;
  const lugatim::base::Exception& base = net;
  EXPECT_EQ(base.Message(), "Connection Closed Gracefully.");
  EXPECT_EQ(ENetAlreadyConnected().Message(), "Already connected.");
  EXPECT_EQ(ENetInvalidSocket().Message(), "Cannot allocate socket.");
  EXPECT_EQ(ENetCouldNotBindSocket().Message(),
            "Could not bind socket. Address and port are already in use.");
  EXPECT_EQ(ENetInterceptPropInvalid().Message(), "Intercept value is not valid");
  EXPECT_EQ(ENetStackCanNotLoadWinsock("wsock32.dll").Message(),
            "wsock32.dll could not be loaded.");
  EXPECT_EQ(ENetStackSetSizeExceeded().Message(), "Set Size Exceeded.");
  EXPECT_EQ(ENetMoreThanOneResponsiveWait().Message(),
            "Only one TResponsiveWait can exist per application.");
  const ENetProtocolReplyError reply(404, "404 Not Found");
  EXPECT_EQ(reply.ReplyCode(), 404);
  EXPECT_EQ(reply.Message(), "404 Not Found");
  EXPECT_EQ(ENetBadResponse::BadChunkSize(std::string(100, 'z')).Message(),
            "Invalid chunk size '" + std::string(40, 'z') + "...'.");
}

TEST(SocketStack, DottedQuadsAreFourDecimalBytes) {
  EXPECT_TRUE(TSocketStack::IsDottedQuad("127.0.0.1"));
  EXPECT_TRUE(TSocketStack::IsDottedQuad("255.255.255.255"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("256.0.0.1"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("1.2.3"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("1.2.3.4.5"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("1..3.4"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("a.b.c.d"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("localhost"));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("1.2.3.4."));
  EXPECT_FALSE(TSocketStack::IsDottedQuad("0001.2.3.4"));
  // Leading zeros are decimal numbers all the same, never octal.
  EXPECT_EQ(TSocketStack::DottedQuadAddress("127.000.000.001"), 0x7F000001u);
  EXPECT_EQ(TSocketStack::DottedQuadAddress("010.020.030.040"), 0x0A141E28u);
}

TEST(WaitSlices, LongWaitsAreCutIntoIdleTimeOutSlicesAfterTheRemainder) {
  auto slices = [](int limit, int idle) {
    const TWaitSlices s = SliceWait(limit, idle);
    std::vector<int> out{s.first};
    out.insert(out.end(), static_cast<size_t>(s.repeats), idle);
    return out;
  };
  EXPECT_EQ(slices(600, 250), (std::vector<int>{100, 250, 250}));
  EXPECT_EQ(slices(500, 250), (std::vector<int>{250, 250}));
  EXPECT_EQ(slices(251, 250), (std::vector<int>{1, 250}));
  EXPECT_EQ(slices(250, 250), (std::vector<int>{250}));
  EXPECT_EQ(slices(1, 250), (std::vector<int>{1}));
  EXPECT_EQ(slices(0, 250), (std::vector<int>{0}));
}

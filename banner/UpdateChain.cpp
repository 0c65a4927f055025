#include "banner/UpdateChain.h"

#include <exception>
#include <optional>
#include <string>

#include "banner/BannerFiles.h"
#include "banner/Kodlar.h"
#include "base/Exception.h"
#include "base/IntText.h"
#include "base/Stream.h"
#include "base/StringList.h"
#include "http/ResponsiveWait.h"

namespace lugatim::banner {
namespace {

constexpr std::string_view kServerVersionPath = "/versiyon.ver";
constexpr std::string_view kServerAdListPath = "/liste.lst";
constexpr std::string_view kLocalVersionFile = "versiyon.ver";
constexpr std::string_view kLocalAdListFile = "Liste.lst";

}  // namespace

void TUpdateChain::SetUpdateServer(const TUpdateServer& server) {
  server_ = server;
  client_.SetHost(server.host);
  client_.SetPort(server.port);
}

void TUpdateChain::ConnectToUpdateServer() {
  if (client_.IsConnected()) return;
  client_.SetHost(server_.host);
  client_.SetPort(server_.port);
  client_.OpenConnection();
}

template <class Fetch>
void TUpdateChain::FetchOnKeptConnection(const Fetch& fetch) {
  // A close that has arrived since the last response (or bytes no request
  // asked for) sends the request out on a new connection instead.
  if (client_.IsConnected() && client_.HasUnreadBytes()) client_.CloseConnection();
  const bool reused = client_.IsConnected();
  const uint64_t receivedBefore = client_.BytesReceived();
  // Sent once more only when the server closed the kept connection before a
  // single byte of the reply came: then the request may never have reached
  // it. A reply that began and broke off is a failed transfer; sending the
  // request again would repeat it at the server and could store what a
  // second, equally broken reply delivers.
  const auto mayResend = [&] { return reused && client_.BytesReceived() == receivedBefore; };
  try {
    fetch();
  } catch (const http::ENetConnClosedGracefully&) {
    if (!mayResend()) throw;
    client_.CloseConnection();
    fetch();
  } catch (const http::ENetSocketError& e) {
    // 10053/10054: the connection was aborted or reset under the request.
    if (!mayResend() || (e.ErrorNumber() != 10053 && e.ErrorNumber() != 10054)) throw;
    client_.CloseConnection();
    fetch();
  }
}

void TUpdateChain::FetchToFolderFile(const std::string& url, const std::string& name,
                                     bool resendOnClose) {
  const auto get = [&](base::TStream& stream) {
    if (resendOnClose) {
      FetchOnKeptConnection([&] {
        stream.SetSize(0);
        client_.FetchToStream(url, stream);
      });
    } else {
      client_.FetchToStream(url, stream);
    }
  };
  std::optional<TFolderFileWriter> file;
  try {
    file.emplace(state_.bannerFolder, name);
  } catch (const std::exception&) {
    // The address is still asked for, as when the file fails after the
    // transfer: the server sees the same requests whatever the folder holds.
    base::TNullStream nowhere;
    get(nowhere);
    throw;
  }
  get(*file);
  file->Commit();
}

void TUpdateChain::VerKontrolEtExecute() {
  base::TMemoryStream stream;
  base::TStringList list;
  state_.busy = true;
  try {
    ConnectToUpdateServer();
    client_.FetchToStream(ServerUrl(server_, kServerVersionPath), stream);
    list.Clear();
    list.SetText(stream.Bytes());
    state_.serverVersionText = list.Strings(0);
    state_.serverVersionNumber = base::StrToInt(state_.serverVersionText);

    // L is the number remembered from the previous check, not the file's:
    // the file only supplies the text remembered for the next one.
    int32_t localVersion = 0;
    try {
      base::TStringList local(
          base::SplitLines(ReadFolderFile(state_.bannerFolder, kLocalVersionFile)));
      // An empty file counts as a missing one; otherwise it would leave
      // nothing to remember and fail every later check before any download
      // could replace it.
      if (local.Count() == 0) throw base::Exception("The local version file is empty");
      list = std::move(local);
      localVersion = base::StrToInt(state_.localVersionText);
    } catch (const std::exception&) {
      localVersion = 0;
    }
    state_.localVersionText = list.Strings(0);

    if (localVersion < state_.serverVersionNumber) {
      ReklamListeleExecute();
    } else {
      state_.busy = false;  // nothing newer: the banners in the folder may rotate
    }
  } catch (const std::exception&) {
    client_.CloseConnection();
    state_.busy = false;
  }
  client_.CloseConnection();
}

void TUpdateChain::ReklamListeleExecute() {
  bool stored = false;
  {
    state_.busy = true;
    try {
      ConnectToUpdateServer();
      FetchToFolderFile(ServerUrl(server_, kServerAdListPath), std::string(kLocalAdListFile),
                        false);
      stored = true;
    } catch (const std::exception&) {
      client_.CloseConnection();
      state_.busy = false;
    }
  }
  if (stored) BannerIndirExecute();
}

void TUpdateChain::BannerIndirExecute() {
  if (!state_.adList) state_.adList = std::make_unique<base::TStringList>();
  base::TStringList& buffer = *state_.adList;
  try {
    buffer.Clear();
    buffer.SetText(ReadFolderFile(state_.bannerFolder, kLocalAdListFile));
  } catch (...) {
    state_.busy = false;
    throw;
  }

  const std::string versionText = std::to_string(state_.serverVersionNumber);
  bool stored = false;
  // The banners are fetched back to back: a close by the server is noticed
  // before each next request anyway, so the look-ahead after each response
  // only checks what has already arrived instead of waiting for it.
  const int lookAhead = client_.LookAheadTimeOut();
  client_.SetLookAheadTimeOut(0);
  struct RestoreLookAhead {
    http::THttpClient& client;
    int value;
    ~RestoreLookAhead() { client.SetLookAheadTimeOut(value); }
  } restoreLookAhead{client_, lookAhead};
  for (int i = 0; i < buffer.Count(); ++i) {
    // Lines that need no transfer (invalid ones) give the window's events no
    // turn of their own; a list of many of them would hold the window for
    // the whole pass, so they get one whenever it falls due, as in a wait.
    if (i % 64 == 63) http::TResponsiveWaitBase::OfferIdle(false, false);
    try {
      const TAdLine ad = ParseAdLine(buffer.Strings(i));
      if (ad.Silinecek == 1 && ad.HoldBack == 1) {
        // Asked for and dropped: the body is counted, never kept.
        base::TNullStream dropped;
        FetchOnKeptConnection([&] {
          dropped.SetSize(0);
          client_.FetchToStream(ad.URLBanner, dropped);
        });
      } else {
        // Straight into the folder as it arrives: no banner is held in
        // memory, and only a complete one replaces the file.
        FetchToFolderFile(ad.URLBanner, BannerFileName(ad.URLBanner), true);
        stored = true;
      }
    } catch (const std::exception&) {
      client_.CloseConnection();
    }
  }

  if (stored) {
    try {
      buffer.Clear();
      buffer.Add(versionText);
      WriteFolderFile(state_.bannerFolder, kLocalVersionFile, buffer.Text());
    } catch (const std::exception&) {
    }
  }
  // Cleared whether or not a banner was stored and the version saved: the
  // chain is over and the folder may be rotated.
  state_.busy = false;
}

}  // namespace lugatim::banner

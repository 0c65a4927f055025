#include "banner/UpdateChain.h"

#include <unistd.h>

#include <exception>
#include <optional>
#include <set>
#include <string>

#include "banner/BannerFiles.h"
#include "banner/ChannelBounds.h"
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
constexpr std::string_view kLocalVersionFile = kVersionFile;
constexpr std::string_view kLocalAdListFile = kAdListFile;

// What the folder holds of banners, against the folder's bounds. A banner is
// every regular file or link of the folder but the channel's own files (the
// kept banner is one).
class TBannerRoom {
 public:
  explicit TBannerRoom(const TFolderIndex& index) {
    for (const auto& [name, entry] : index.Entries()) {
      if (!IsBanner(name, entry)) continue;
      ++count_;
      bytes_ += entry.size;
    }
  }
  static bool IsBanner(const std::string& name, const TFolderIndex::TEntry& entry) {
    return (entry.regular || entry.link) && !SameFileName(name, kAdListFile) &&
           !SameFileName(name, kVersionFile) &&
           name.compare(0, kTempPrefix.size(), kTempPrefix) != 0;
  }
  // How many bytes a banner stored under the entry (none: a new name) may
  // have; -1 when it may not be stored at all.
  int64_t Allowance(const std::optional<std::string>& entry, const TFolderIndex& index) const {
    const TFolderIndex::TEntry* old = nullptr;
    if (entry) {
      const auto it = index.Entries().find(*entry);
      if (it != index.Entries().end() && IsBanner(it->first, it->second)) old = &it->second;
    }
    if (old == nullptr && count_ >= kMaxBanners) return -1;
    const int64_t left = kMaxBannerBytes - (bytes_ - (old != nullptr ? old->size : 0));
    return left > 0 ? left : -1;
  }
  void Stored(const std::optional<TFolderIndex::TEntry>& old, int64_t size) {
    if (old) {
      bytes_ -= old->size;
    } else {
      ++count_;
    }
    bytes_ += size;
  }

 private:
  int count_ = 0;
  int64_t bytes_ = 0;
};

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
  const uint64_t receivedBefore = client_.BytesReceived();
  // Sent once more only when the request went out on a kept-alive
  // connection (the one it actually used: a banner on another host gets a
  // new one) and the server closed it before a single byte of the reply
  // came: then the request may never have reached it. A reply that began
  // and broke off is a failed transfer; sending the request again would
  // repeat it at the server and could store what a second, equally broken
  // reply delivers.
  const auto mayResend = [&] {
    return client_.LastRequestReusedConnection() && client_.BytesReceived() == receivedBefore;
  };
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

int64_t TUpdateChain::FetchToFolderFile(const std::string& url, const std::string& name,
                                        bool resendOnClose, TFolderIndex* index, int64_t maxBytes,
                                        bool adList) {
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
    file.emplace(state_.bannerFolder, name, index, maxBytes);
  } catch (const std::exception&) {
    // The address is still asked for, as when the file fails after the
    // transfer: the server sees the same requests whatever the folder holds.
    base::TNullStream nowhere;
    get(nowhere);
    throw;
  }
  if (adList) {
    TAdListStream checked(*file);
    get(checked);
  } else {
    get(*file);
  }
  const int64_t size = file->Size();
  const std::string entry = file->TargetName();
  file->Commit();
  if (index != nullptr) index->Put(entry, {size, true, false});
  return size;
}

void TUpdateChain::VerKontrolEtExecute() {
  // Only the first line of the server's file is kept, and only up to
  // kMaxVersionLineBytes: a file of any length costs no memory.
  TFirstLineStream stream;
  base::TStringList list;
  state_.busy = true;
  try {
    ConnectToUpdateServer();
    client_.FetchToStream(ServerUrl(server_, kServerVersionPath), stream);
    list.Clear();
    if (stream.HasLine()) list.Add(stream.Line());
    state_.serverVersionText = list.Strings(0);
    state_.serverVersionNumber = base::StrToInt(state_.serverVersionText);

    // L is the number remembered from the previous check, not the file's:
    // the file only supplies the text remembered for the next one.
    int32_t localVersion = 0;
    try {
      // Its first line at most, like the server's.
      base::TStringList local(base::SplitLines(
          ReadFolderFileHead(state_.bannerFolder, kLocalVersionFile, kMaxVersionLineBytes + 2)));
      // An empty file counts as a missing one; otherwise it would leave
      // nothing to remember and fail every later check before any download
      // could replace it.
      if (local.Count() == 0) throw base::Exception("The local version file is empty");
      if (local.Strings(0).size() > kMaxVersionLineBytes)
        throw base::Exception("The local version file's first line is too long");
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
      // A list beyond the bounds ends its transfer as a failure: nothing of
      // it is stored, and the version does not advance.
      FetchToFolderFile(ServerUrl(server_, kServerAdListPath), std::string(kLocalAdListFile), false,
                        nullptr, static_cast<int64_t>(kMaxAdListBytes), true);
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
    buffer.SetText(ReadAdList(state_.bannerFolder, kLocalAdListFile));
  } catch (...) {
    state_.busy = false;
    throw;
  }
  // One listing of the folder for the whole pass.
  TFolderIndex index(state_.bannerFolder);
  TBannerRoom room(index);
  std::set<std::string> named;  // FileNameKey of each name the list gives a banner

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
        const std::string name = BannerFileName(ad.URLBanner);
        named.insert(FileNameKey(name));
        // A banner may not take the place of the channel's own files, nor
        // grow the folder beyond its bounds: it is not asked for.
        if (IsReservedName(name)) continue;
        const std::optional<std::string> entry = index.Find(name);
        const int64_t allowance = room.Allowance(entry, index);
        if (allowance < 0) continue;
        std::optional<TFolderIndex::TEntry> old;
        if (entry) {
          const auto it = index.Entries().find(*entry);
          if (it != index.Entries().end() && TBannerRoom::IsBanner(it->first, it->second))
            old = it->second;
        }
        // Straight into the folder as it arrives: no banner is held in
        // memory, and only a complete one replaces the file.
        const int64_t size = FetchToFolderFile(ad.URLBanner, name, true, &index, allowance, false);
        room.Stored(old, size);
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
  // Also when nothing was stored: banners of earlier lists that filled the
  // folder would otherwise keep this list's banners out for good.
  RemoveUnnamedBanners(index, named);
  // Cleared whether or not a banner was stored and the version saved: the
  // chain is over and the folder may be rotated.
  state_.busy = false;
}

void TUpdateChain::RemoveUnnamedBanners(const TFolderIndex& index,
                                        const std::set<std::string>& named) {
  for (const auto& [name, entry] : index.Entries()) {
    if (!TBannerRoom::IsBanner(name, entry) || SameFileName(name, kKeptBanner)) continue;
    if (named.count(FileNameKey(name)) != 0) continue;
    (void)::unlink((state_.bannerFolder + name).c_str());
  }
}

}  // namespace lugatim::banner

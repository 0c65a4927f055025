#pragma once
// The download chain, on the main thread: the version check asks the update
// server for its number and, when it is greater than the local one, runs the
// ad list download, which runs the download pass over the banners the list
// names. Every transfer blocks; the client's responsive wait processes the
// window's events meanwhile, so a timer tick may arrive in the middle and
// finds the busy flag set.
//
// Every end of the chain leaves the busy flag clear, so that the same tick
// can go on to rotate the banners in the folder. No failure leaves the
// chain: each is swallowed where the channel's rules say.

#include <cstdint>
#include <set>
#include <string>

#include "banner/BannerFiles.h"
#include "banner/ChannelState.h"
#include "banner/UpdateServer.h"
#include "http/HttpClient.h"

namespace lugatim::banner {

class TUpdateChain {
 public:
  TUpdateChain(http::THttpClient& client, TChannelState& state) : client_(client), state_(state) {}

  // Makes the server the client's host and port and the origin of
  // "/versiyon.ver" and "/liste.lst".
  void SetUpdateServer(const TUpdateServer& server);
  const TUpdateServer& UpdateServer() const { return server_; }

  // The version check (action VerKontrolEt).
  void VerKontrolEtExecute();
  // The ad list download (action ReklamListele); runs the download pass when
  // the list was stored.
  void ReklamListeleExecute();
  // The download pass (action BannerIndir). A local ad list that cannot be
  // loaded fails outward (with the busy flag clear); everything after that
  // is swallowed line by line.
  void BannerIndirExecute();

 private:
  // Opens a connection to the update server unless one is open. The client
  // is aimed at the server again first: the banners of the last pass may
  // have left it on another host.
  void ConnectToUpdateServer();
  // One GET of the pass. A request that goes out on a kept-alive connection
  // just as the server closes it fails through no fault of the banner; when
  // no byte of the reply came, it is sent once more on a new connection, as
  // HTTP allows for a GET.
  template <class Fetch>
  void FetchOnKeptConnection(const Fetch& fetch);
  // GET of the URL into the folder's file of that name, written as the body
  // arrives and in place only when complete; nothing of a failed transfer
  // stays in the folder, nor of a body longer than maxBytes (when 0 or
  // more), nor of an ad list (adList) beyond its bounds. The index, when
  // given, finds the target and learns the file. Returns the size stored.
  int64_t FetchToFolderFile(const std::string& url, const std::string& name, bool resendOnClose,
                            TFolderIndex* index, int64_t maxBytes, bool adList);
  // At the end of every pass over a stored list: removes the banners (not
  // the channel's own files, never the kept banner) whose names the list no
  // longer gives (named holds FileNameKey of each), so that the folder
  // keeps room for the banners of the lists to come. A pass that stored
  // nothing because the folder was full thus makes room for the next one.
  void RemoveUnnamedBanners(const TFolderIndex& index, const std::set<std::string>& named);

  http::THttpClient& client_;
  TChannelState& state_;
  TUpdateServer server_;
};

}  // namespace lugatim::banner

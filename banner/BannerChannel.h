#pragma once
// The banner channel as the main window drives it: the timer tick, the
// download chain, the rotation threads, the click-through and the
// housekeeping, each a single call from the window's handler.
//
// Made and used on the main thread. Destroying the channel (or the
// application's aboutToQuit, whichever comes first) stops a running
// rotation at once, also in the middle of its wait or of handing a banner
// over, and waits only for the thread to return from that; so the program
// ends promptly and without a thread still running.

#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "banner/BannerIcinKanal.h"
#include "banner/BannerPicture.h"
#include "banner/ChannelState.h"
#include "banner/UpdateChain.h"
#include "banner/UpdateServer.h"
#include "base/Clock.h"
#include "http/HttpClient.h"

namespace lugatim::banner {

// Where the channel shows its banners (the window's Image1).
class IBannerDisplay {
 public:
  virtual ~IBannerDisplay() = default;
  // On the main thread: replace the shown picture by the banner (for
  // instance with ShowBannerOn). The click-through address is already set.
  virtual void ShowBanner(const TBannerPicture& banner, const std::string& urlToGo) = 0;
};

class TBannerChannel {
 public:
  TBannerChannel(http::THttpClient& client, TChannelState& state, const base::TClock& clock,
                 IBannerDisplay& display);
  ~TBannerChannel();
  TBannerChannel(const TBannerChannel&) = delete;
  TBannerChannel& operator=(const TBannerChannel&) = delete;

  // Makes the server the client's host and port (FormCreate).
  void SetUpdateServer(const TUpdateServer& server) { chain_.SetUpdateServer(server); }
  const TUpdateServer& UpdateServer() const { return chain_.UpdateServer(); }

  // Timer1: the version check when the busy flag is clear, then a new
  // rotation when it is still (or again) clear.
  void Timer1Timer();
  void VerKontrolEtExecute() { chain_.VerKontrolEtExecute(); }
  void ReklamListeleExecute() { chain_.ReklamListeleExecute(); }
  void BannerIndirExecute() { chain_.BannerIndirExecute(); }
  // Sets the busy flag and starts one rotation pass on a thread of its own
  // at idle priority; returns at once. Does nothing once the channel stops.
  void BannerGoruntuleExecute();
  // The monthly housekeeping of the Banner folder (FormCreate).
  void TemizleExecute();
  // Opens the click-through address in the desktop's browser; nothing when
  // no banner was shown yet.
  void Image1Click() const;

  // Stops the rotation and refuses new ones; waits for a running rotation
  // thread only until it has seen the stop. Called by the destructor.
  void Shutdown();

  // Whether a rotation thread is still alive.
  bool RotationRunning() const;
  // Called on the main thread after each rotation thread has ended.
  std::function<void()> OnRotationEnded;

 private:
  // On the rotation thread: posts the banner to the main thread and waits
  // until it was taken there or the channel stops.
  bool HandOver(TBannerPicture&& banner, const std::string& urlToGo);
  void Reap(QThread* thread);

  TChannelState& state_;
  const base::TClock& clock_;
  IBannerDisplay& display_;
  TUpdateChain chain_;
  base::TWakeSignal stop_;
  bool stopping_ = false;
  std::vector<std::unique_ptr<BannerIcinKanal>> threads_;
  // Receives the banners and the threads' ends on the main thread; posted
  // calls still pending when it goes are dropped with it.
  std::unique_ptr<QObject> context_;
};

// The address as the desktop may open it: only an absolute "http" or
// "https" URL with a host. Anything else (a file, a program, a relative
// path, another scheme) is what the ad list of a hostile server would use
// to make a click open something on this machine, and gives nothing.
std::optional<QUrl> ClickThroughUrl(const std::string& address);

// Opens the address through the desktop (QDesktopServices::openUrl) when
// ClickThroughUrl allows it, and otherwise writes the trace
// "Tıklama adresi açılmadı : %s"; an empty address does nothing, and every
// failure is swallowed.
void OpenClickThrough(const std::string& address);

}  // namespace lugatim::banner

#pragma once
// The banner rotation: one pass over the local ad list on a thread of its
// own, at idle priority. Each line whose two flags are 0 has its banner
// decoded on the thread, handed to the main thread (which shows it and makes
// the line's UrlToGo the click-through address), and then waited on for
// its Sure seconds. The first failure (no ad list, an invalid line, a banner
// that cannot be loaded, a Sure outside 0 to 59) ends the pass silently; the
// banner shown last stays shown.

#include <QThread>
#include <atomic>
#include <functional>
#include <string>

#include "banner/BannerPicture.h"
#include "base/Clock.h"

namespace lugatim::banner {

// Hands one banner to the main thread and returns once the main thread has
// taken it: true then, false when the channel stops first.
using TShowBanner = std::function<bool(TBannerPicture&& banner, const std::string& urlToGo)>;

// One rotation pass, on the calling thread. Sets the busy flag at its start
// and clears it at its end, on every path; stops between steps, and inside
// any wait, as soon as stop is stopped. Never throws.
void RotationPass(const std::string& bannerFolder, std::atomic<bool>& busy,
                  const base::TClock& clock, base::TWakeSignal& stop, const TShowBanner& show);

// The rotation thread: its run() is one RotationPass.
class BannerIcinKanal : public QThread {
 public:
  BannerIcinKanal(std::string bannerFolder, std::atomic<bool>& busy, const base::TClock& clock,
                  base::TWakeSignal& stop, TShowBanner show)
      : bannerFolder_(std::move(bannerFolder)),
        busy_(busy),
        clock_(clock),
        stop_(stop),
        show_(std::move(show)) {}

 protected:
  void run() override;

 private:
  const std::string bannerFolder_;
  std::atomic<bool>& busy_;
  const base::TClock& clock_;
  base::TWakeSignal& stop_;
  const TShowBanner show_;
};

}  // namespace lugatim::banner

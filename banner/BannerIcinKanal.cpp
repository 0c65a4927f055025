#include "banner/BannerIcinKanal.h"

#include "banner/BannerFiles.h"
#include "banner/ChannelBounds.h"
#include "banner/Kodlar.h"
#include "banner/WaitSeconds.h"
#include "base/StringList.h"

namespace lugatim::banner {

void RotationPass(const std::string& bannerFolder, std::atomic<bool>& busy,
                  const base::TClock& clock, base::TWakeSignal& stop, const TShowBanner& show) {
  busy = true;
  try {
    const base::TStringList list(base::SplitLines(ReadAdList(bannerFolder, "liste.lst")));
    for (int i = 0; i < list.Count() && !stop.Stopped(); ++i) {
      const TAdLine ad = ParseAdLine(list.Strings(i));
      if (ad.HoldBack != 0 || ad.Silinecek != 0) continue;
      TBannerPicture banner = LoadBannerPicture(bannerFolder, BannerFileName(ad.URLBanner));
      if (!show(std::move(banner), ad.UrlToGo)) break;
      if (!WaitSeconds(ad.Sure, clock, stop)) break;
    }
  } catch (...) {
    // The pass ends at the first failure and reports nothing.
  }
  busy = false;
}

void BannerIcinKanal::run() {
  RotationPass(bannerFolder_, busy_, clock_, stop_, show_);
}

}  // namespace lugatim::banner

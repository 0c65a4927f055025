// A program that quits while its banner rotation runs, for the test of a
// clean exit. Usage: banner_exit_child <banner folder> <mode>
//   waiting  quit once the first banner is shown (the rotation then waits);
//   handover quit before the first banner could be handed over;
//   leak     like waiting, but the channel is never destroyed (only the
//            application's aboutToQuit stops the rotation).
#include <QGuiApplication>
#include <QTimer>
#include <memory>
#include <string>

#include "banner/BannerChannel.h"
#include "base/StringList.h"

namespace {

class TQuitOnShow : public lugatim::banner::IBannerDisplay {
 public:
  void ShowBanner(const lugatim::banner::TBannerPicture& banner, const std::string&) override {
    (void)lugatim::banner::ImageContentOf(banner);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[2];
  QGuiApplication app(argc, argv);
  lugatim::banner::TChannelState state;
  state.bannerFolder = argv[1];
  state.adList = std::make_unique<lugatim::base::TStringList>();
  lugatim::http::THttpClient client;
  TQuitOnShow display;
  auto channel = std::make_unique<lugatim::banner::TBannerChannel>(
      client, state, lugatim::base::SystemClock::Instance(), display);
  channel->BannerGoruntuleExecute();
  if (mode == "handover") QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  const int rc = app.exec();
  if (mode == "leak") (void)channel.release();
  return rc;
}

#include "banner/BannerChannel.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMetaObject>
#include <QUrl>
#include <algorithm>

#include "banner/Housekeeping.h"
#include "base/Trace.h"

namespace lugatim::banner {

TBannerChannel::TBannerChannel(http::THttpClient& client, TChannelState& state,
                               const base::TClock& clock, IBannerDisplay& display)
    : state_(state),
      clock_(clock),
      display_(display),
      chain_(client, state),
      context_(std::make_unique<QObject>()) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QObject::connect(app, &QCoreApplication::aboutToQuit, context_.get(), [this] { Shutdown(); });
  }
}

TBannerChannel::~TBannerChannel() {
  Shutdown();
  context_.reset();
}

void TBannerChannel::Timer1Timer() {
  if (!state_.busy) VerKontrolEtExecute();
  if (!state_.busy) BannerGoruntuleExecute();
}

void TBannerChannel::BannerGoruntuleExecute() {
  if (stopping_) return;
  state_.busy = true;
  auto thread = std::make_unique<BannerIcinKanal>(
      state_.bannerFolder, state_.busy, clock_, stop_,
      [this](TBannerPicture&& banner, const std::string& urlToGo) {
        return HandOver(std::move(banner), urlToGo);
      });
  QThread* raw = thread.get();
  QObject::connect(raw, &QThread::finished, context_.get(), [this, raw] {
    Reap(raw);
    if (OnRotationEnded) OnRotationEnded();
  });
  threads_.push_back(std::move(thread));
  raw->start(QThread::IdlePriority);
}

void TBannerChannel::TemizleExecute() {
  banner::TemizleExecute(state_.bannerFolder, clock_);
}

void TBannerChannel::Image1Click() const {
  OpenClickThrough(state_.clickThroughAddress);
}

bool TBannerChannel::HandOver(TBannerPicture&& banner, const std::string& urlToGo) {
  auto taken = std::make_shared<std::atomic<bool>>(false);
  auto payload = std::make_shared<TBannerPicture>(std::move(banner));
  QMetaObject::invokeMethod(
      context_.get(),
      [this, taken, payload, urlToGo] {
        if (!stopping_) {
          state_.clickThroughAddress = urlToGo;
          try {
            display_.ShowBanner(*payload, urlToGo);
          } catch (...) {
            // A display that fails must not hold the rotation.
          }
        }
        taken->store(true);
        stop_.Notify();
      },
      Qt::QueuedConnection);
  while (!taken->load()) {
    if (!stop_.SleepFor(1000, [&] { return taken->load(); })) return taken->load();
  }
  return true;
}

void TBannerChannel::Reap(QThread* thread) {
  const auto it = std::find_if(threads_.begin(), threads_.end(),
                               [thread](const auto& t) { return t.get() == thread; });
  if (it == threads_.end()) return;
  (*it)->wait();
  threads_.erase(it);
}

void TBannerChannel::Shutdown() {
  if (stopping_) return;
  stopping_ = true;
  stop_.Stop();
  for (const auto& thread : threads_) thread->wait();
  threads_.clear();
}

bool TBannerChannel::RotationRunning() const {
  return std::any_of(threads_.begin(), threads_.end(),
                     [](const auto& t) { return !t->isFinished(); });
}

std::optional<QUrl> ClickThroughUrl(const std::string& address) {
  const QUrl url(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())),
                 QUrl::TolerantMode);
  // QUrl gives the scheme in lower case, so "HTTP://" counts as "http://".
  const QString scheme = url.scheme();
  if (!url.isValid() || url.isRelative() || (scheme != "http" && scheme != "https") ||
      url.host().isEmpty())
    return std::nullopt;
  return url;
}

void OpenClickThrough(const std::string& address) {
  if (address.empty()) return;
  try {
    if (const auto url = ClickThroughUrl(address)) {
      QDesktopServices::openUrl(*url);
    } else {
      base::Trace("Tıklama adresi açılmadı : %s", address.c_str());
    }
  } catch (...) {
  }
}

}  // namespace lugatim::banner

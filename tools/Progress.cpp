#include "tools/Progress.h"

#include <unistd.h>

#include <cstdio>

#include "base/Exception.h"

namespace lugatim::tools {

namespace {
constexpr int64_t kQuietMs = 1000;
}

TProgress::TProgress(Sink sink, bool terminal, const base::TClock& clock)
    : sink_(std::move(sink)), terminal_(terminal), clock_(&clock), startMs_(clock.MonotonicMs()) {}

TProgress& TProgress::Silent() {
  static TProgress silent([](const std::string&) {}, false, base::SystemClock::Instance());
  return silent;
}

TProgress TProgress::ForStderr() {
  return TProgress(
      [](const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
      },
      isatty(STDERR_FILENO) == 1, base::SystemClock::Instance());
}

void TProgress::Phase(const std::string& what) {
  what_ = what;
  shownPercent_ = -1;
}

void TProgress::Update(uint64_t done, uint64_t total) {
  if (!terminal_ || clock_->MonotonicMs() - startMs_ < kQuietMs) return;
  const int percent = total == 0 ? 100 : static_cast<int>(done >= total ? 100 : done * 100 / total);
  if (percent != shownPercent_) Show(percent);
}

void TProgress::Show(int percent) {
  shownPercent_ = percent;
  // The trailing blanks wipe what a longer previous phase name left behind.
  sink_(base::Format("\r%s %3d%%          ", what_.c_str(), percent));
  lineOpen_ = true;
}

void TProgress::Finish() {
  if (!lineOpen_) return;
  sink_("\n");
  lineOpen_ = false;
}

}  // namespace lugatim::tools

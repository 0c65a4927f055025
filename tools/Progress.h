#pragma once
// Progress of a long import on a terminal: one line "<what> NN%" rewritten
// in place with \r. Nothing is written when the output is not a terminal,
// and nothing before the import has run for a second, so quick imports and
// logs stay quiet.

#include <cstdint>
#include <functional>
#include <string>

#include "base/Clock.h"

namespace lugatim::tools {

class TProgress {
 public:
  using Sink = std::function<void(const std::string& text)>;

  // terminal: whether the sink is a terminal; clock measures the delay.
  TProgress(Sink sink, bool terminal, const base::TClock& clock);
  // A progress that never writes.
  static TProgress& Silent();
  // stderr, when it is a terminal.
  static TProgress ForStderr();

  // Names what runs now ("Sozluk1.DB"); its percentage restarts at 0.
  void Phase(const std::string& what);
  void Update(uint64_t done, uint64_t total);
  // Ends the line if anything was shown.
  void Finish();

 private:
  void Show(int percent);

  Sink sink_;
  bool terminal_;
  const base::TClock* clock_;
  int64_t startMs_;
  std::string what_;
  int shownPercent_ = -1;
  bool lineOpen_ = false;
};

}  // namespace lugatim::tools

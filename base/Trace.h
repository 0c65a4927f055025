#pragma once
// Diagnostic traces: single UTF-8 lines formatted printf-style. The default
// sink writes them to stderr only when LUGATIM_TRACE=1; nothing else in the
// program depends on whether anyone reads them. Tests install a capturing sink.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace lugatim::base {

using TraceSink = std::function<void(const std::string& line)>;

// Formats one trace line and hands it to the installed sink. Callable from any thread.
void Trace(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Whether a trace written now reaches anyone: a sink is installed, or the
// default sink writes (LUGATIM_TRACE=1). Lets a caller skip building traces
// whose arguments are costly when nobody reads them.
bool TraceEnabled();

// Installs a sink (an empty one restores the default) and returns the previous one.
TraceSink SetTraceSink(TraceSink sink);

// Collects every trace written while it lives (from any thread) and restores
// the previous sink when it goes.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::string> Lines() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  TraceSink previous_;
};

}  // namespace lugatim::base

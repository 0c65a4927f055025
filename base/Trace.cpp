#include "base/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lugatim::base {

namespace {

std::mutex& SinkMutex() {
  static std::mutex m;
  return m;
}

TraceSink& CurrentSink() {
  static TraceSink sink;
  return sink;
}

bool DefaultSinkWrites() {
  static const bool enabled = [] {
    const char* v = std::getenv("LUGATIM_TRACE");
    return v != nullptr && std::strcmp(v, "1") == 0;
  }();
  return enabled;
}

void DefaultSink(const std::string& line) {
  if (DefaultSinkWrites()) std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

void Trace(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string line;
  if (needed > 0) {
    line.resize(static_cast<size_t>(needed));
    std::vsnprintf(line.data(), line.size() + 1, fmt, args);
  }
  va_end(args);

  std::lock_guard lock(SinkMutex());
  if (CurrentSink()) {
    CurrentSink()(line);
  } else {
    DefaultSink(line);
  }
}

bool TraceEnabled() {
  std::lock_guard lock(SinkMutex());
  return CurrentSink() ? true : DefaultSinkWrites();
}

TraceSink SetTraceSink(TraceSink sink) {
  std::lock_guard lock(SinkMutex());
  TraceSink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

TraceCapture::TraceCapture() {
  previous_ = SetTraceSink([this](const std::string& line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  });
}

TraceCapture::~TraceCapture() {
  SetTraceSink(std::move(previous_));
}

std::vector<std::string> TraceCapture::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace lugatim::base

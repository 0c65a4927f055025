#include "app/CommandLine.h"

#include <chrono>
#include <thread>

#include "platform/HandOver.h"
#include "platform/SingleInstance.h"

namespace lugatim::app {

const char* const kUsage =
    "Usage: lugatim [WORD...]\n"
    "       lugatim --selection\n"
    "Without arguments: start Lugatim (a copy already running is left alone).\n"
    "WORD...      look the words up, joined by blanks, in the window already open\n"
    "             (brought to the front), else in a new one\n"
    "--selection  look up the text selected on the desktop (else the clipboard):\n"
    "             its first word or phrase, at most 64 characters\n"
    "--           what follows is words, even when it starts with '-'\n";

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine line;
  std::vector<std::string> words;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      line.mode = TCommandLine::Mode::Help;
      return line;
    } else if (!optionsEnded && arg == "--selection") {
      if (line.mode == TCommandLine::Mode::Selection) continue;
      line.mode = TCommandLine::Mode::Selection;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return {TCommandLine::Mode::Wrong, {}, "unknown option " + arg};
    } else {
      words.push_back(arg);
    }
  }
  if (line.mode == TCommandLine::Mode::Selection && !words.empty()) {
    return {TCommandLine::Mode::Wrong, {}, "--selection takes no words"};
  }
  if (line.mode == TCommandLine::Mode::Selection) return line;
  std::string joined;
  for (const std::string& w : words) {
    if (w.empty()) continue;
    if (!joined.empty()) joined += ' ';
    joined += w;
  }
  if (!words.empty() && joined.empty()) {
    return {TCommandLine::Mode::Wrong, {}, "the word is empty"};
  }
  if (!joined.empty()) {
    line.mode = TCommandLine::Mode::Word;
    line.word = joined;
  }
  return line;
}

TStartDecision TakeLockOrHandOver(const std::string& requestBytes, int timeoutMs) {
  const std::string socketPath = platform::HandOverSocketPath();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (platform::AcquireSingleInstance()) return TStartDecision::RunHere;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    // Not taken: nobody listens yet (a copy still starting), or the copy is
    // ending or busy with other senders; either clears up, or the lock frees.
    if (platform::SendHandOver(socketPath, requestBytes,
                               static_cast<int>(std::max<long long>(left.count(), 1))) ==
        platform::THandOverResult::Delivered) {
      return TStartDecision::HandedOver;
    }
    if (std::chrono::steady_clock::now() >= deadline) return TStartDecision::NotTaken;
    // The lock's holder binds its socket right after taking the lock.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace lugatim::app

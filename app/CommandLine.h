#pragma once
// The program's command line and the first decision of every start: run
// here, or hand the word to the copy that already runs in this session.
//
//   lugatim                  start; a second copy leaves at once, showing nothing
//   lugatim WORD...          look the words (joined by blanks) up
//   lugatim --selection      look up the text selected on the desktop
//   lugatim --help | --version

#include <string>
#include <vector>

namespace lugatim::app {

struct TCommandLine {
  enum class Mode { Start, Word, Selection, Help, Version, Wrong };
  Mode mode = Mode::Start;
  std::string word;   // Mode::Word
  std::string error;  // Mode::Wrong: what is wrong, for the usage message
};

TCommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

enum class TStartDecision {
  RunHere,     // this process holds the single-instance lock
  HandedOver,  // the running copy took the word
  NotTaken,    // a copy runs but did not take the word in time
};

// Takes the single-instance lock, or else hands the request to the copy that
// holds it. A copy that is still starting may not listen yet, one that is
// ending no longer answers: the hand-over is tried again until timeoutMs,
// and should that copy end meanwhile, this process takes the lock and runs here.
TStartDecision TakeLockOrHandOver(const std::string& requestBytes, int timeoutMs);

}  // namespace lugatim::app

#pragma once
// The command line of the tools: long options, with or without a value
// ("--lang tr", "--lang=tr"), words, "--" ending the options, and the two
// options every program answers, --help and --version. A wrong line throws
// EUsage with what is wrong, for the usage message.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/Exception.h"

namespace lugatim::base {

// The version every program of the package reports.
extern const char* const kVersion;

class EUsage : public Exception {
 public:
  using Exception::Exception;
};

struct TKnownOption {
  std::string name;  // "--lang"
  bool takesValue = false;
};

struct TOptions {
  bool help = false;
  bool version = false;
  std::vector<std::string> words;
  // The options given, in order, each with its value ("" without one).
  std::vector<std::pair<std::string, std::string>> given;

  bool Has(const std::string& name) const;
  // The last value given to the option.
  std::optional<std::string> Value(const std::string& name) const;
};

// Parses args (without the program name). --help and --version (-h, -V)
// are always known; an option not in known, a value given to an option that
// takes none, or a missing value throws EUsage.
TOptions ParseOptions(const std::vector<std::string>& args, const std::vector<TKnownOption>& known);

// "lugatim-lookup 1.0.0\n" and the copyright lines.
std::string VersionText(const std::string& program);

// The tool's exit status once its output is flushed: status, or 2 with a
// message on err when the output could not be written (a full disk, a
// closed pipe), which must not pass for an answer.
int FlushedStatus(int status, std::ostream& out, std::ostream& err, const std::string& program);

}  // namespace lugatim::base

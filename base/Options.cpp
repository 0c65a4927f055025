#include "base/Options.h"

#include <algorithm>

namespace lugatim::base {

const char* const kVersion = LUGATIM_VERSION;

bool TOptions::Has(const std::string& name) const {
  return std::any_of(given.begin(), given.end(), [&](const auto& g) { return g.first == name; });
}

std::optional<std::string> TOptions::Value(const std::string& name) const {
  std::optional<std::string> value;
  for (const auto& g : given)
    if (g.first == name) value = g.second;
  return value;
}

TOptions ParseOptions(const std::vector<std::string>& args,
                      const std::vector<TKnownOption>& known) {
  TOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg == "--") {
      options.words.insert(options.words.end(), args.begin() + static_cast<long>(i) + 1,
                           args.end());
      break;
    }
    // A lone "-" is a word, as it is to every Unix tool.
    if (arg.size() < 2 || arg[0] != '-') {
      options.words.push_back(arg);
      continue;
    }
    std::optional<std::string> inlineValue;
    if (arg.starts_with("--")) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg.resize(eq);
      }
    }
    if ((arg == "--help" || arg == "-h" || arg == "--version" || arg == "-V") && !inlineValue) {
      (arg == "--help" || arg == "-h" ? options.help : options.version) = true;
      continue;
    }
    const auto option = std::find_if(known.begin(), known.end(),
                                     [&](const TKnownOption& s) { return s.name == arg; });
    if (option == known.end()) throw EUsage("unknown option " + args[i]);
    if (!option->takesValue) {
      if (inlineValue) throw EUsage(arg + " takes no value");
      options.given.emplace_back(arg, std::string());
    } else if (inlineValue) {
      options.given.emplace_back(arg, *inlineValue);
    } else {
      if (i + 1 >= args.size()) throw EUsage(arg + " needs a value");
      options.given.emplace_back(arg, args[++i]);
    }
  }
  return options;
}

std::string VersionText(const std::string& program) {
  return program + " " + kVersion +
         "\n"
         "This is free software: you may change and share it under the GNU GPL,\n"
         "version 2 or later; there is NO WARRANTY, to the extent permitted by law.\n";
}

int FlushedStatus(int status, std::ostream& out, std::ostream& err, const std::string& program) {
  out.flush();
  if (out) return status;
  err << program << ": cannot write the output\n";
  return 2;
}

}  // namespace lugatim::base

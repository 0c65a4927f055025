// The tools' command line: options with and without values, words, "--",
// --help and --version, and each kind of wrong line.

#include <gtest/gtest.h>

#include <sstream>

#include "base/Options.h"

using namespace lugatim::base;

namespace {

const std::vector<TKnownOption> kKnown = {{"--lang", true}, {"--keep-order", false}};

std::string UsageError(const std::vector<std::string>& args) {
  try {
    ParseOptions(args, kKnown);
  } catch (const EUsage& e) {
    return e.Message();
  }
  return "(accepted)";
}

}  // namespace

TEST(Options, ValuesSwitchesAndWordsInAnyOrder) {
  const TOptions o =
      ParseOptions({"a", "--lang", "tr", "-", "--keep-order", "--lang=en", "b"}, kKnown);
  EXPECT_EQ(o.words, (std::vector<std::string>{"a", "-", "b"}));
  EXPECT_TRUE(o.Has("--keep-order"));
  EXPECT_FALSE(o.Has("--missing"));
  EXPECT_EQ(o.Value("--lang"), "en");  // the last one given
  EXPECT_EQ(o.Value("--keep-order"), "");
  EXPECT_EQ(o.Value("--missing"), std::nullopt);
  EXPECT_FALSE(o.help || o.version);
  // "--" ends the options: what follows is words, even --help.
  const TOptions ended = ParseOptions({"--", "--help", "-x"}, kKnown);
  EXPECT_EQ(ended.words, (std::vector<std::string>{"--help", "-x"}));
  EXPECT_FALSE(ended.help);
  // A value may itself start with a dash.
  EXPECT_EQ(ParseOptions({"--lang", "-x"}, kKnown).Value("--lang"), "-x");
}

TEST(Options, HelpAndVersionAreKnownToEveryTool) {
  EXPECT_TRUE(ParseOptions({"--help"}, {}).help);
  EXPECT_TRUE(ParseOptions({"w", "-h"}, {}).help);
  EXPECT_TRUE(ParseOptions({"--version"}, {}).version);
  EXPECT_TRUE(ParseOptions({"-V"}, {}).version);
  EXPECT_FALSE(ParseOptions({"-V"}, {}).help);
  EXPECT_EQ(VersionText("lugatim-x").substr(0, VersionText("lugatim-x").find('\n')),
            std::string("lugatim-x ") + kVersion);
  EXPECT_NE(std::string(kVersion), "");
}

TEST(Options, WrongLinesAreNamed) {
  EXPECT_EQ(UsageError({"--colour"}), "unknown option --colour");
  EXPECT_EQ(UsageError({"-x"}), "unknown option -x");
  EXPECT_EQ(UsageError({"--colour=red"}), "unknown option --colour=red");
  EXPECT_EQ(UsageError({"--lang"}), "--lang needs a value");
  EXPECT_EQ(UsageError({"--keep-order=1"}), "--keep-order takes no value");
  EXPECT_EQ(UsageError({"--version=2"}), "unknown option --version=2");
}

TEST(Options, AnOutputThatCannotBeWrittenIsStatusTwo) {
  std::ostringstream out, err;
  out << "answer";
  EXPECT_EQ(FlushedStatus(1, out, err, "tool"), 1);
  EXPECT_EQ(err.str(), "");
  out.setstate(std::ios::badbit);  // as a failed write leaves the stream
  EXPECT_EQ(FlushedStatus(0, out, err, "tool"), 2);
  EXPECT_EQ(err.str(), "tool: cannot write the output\n");
}

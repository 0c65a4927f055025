// What the importer takes from WordNet: parts of speech by frequency, base
// forms, examples, irregular forms, and a clear error for a missing file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "LexiconFixture.h"
#include "ToolsFixture.h"
#include "tools/ImportTypes.h"
#include "tools/WordNet.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

TWordNet Sample() {
  return TWordNet::FromTexts(MakeWordNet(
      {{'n', {"house"}, "a dwelling; \"he has a house on Cape Cod\""},
       {'v', {"house"}, "contain or cover; \"This box houses the gears\""},
       {'n', {"child", "kid"}, "a young person; \"the kid played\"; \"she loves children\""},
       {'v', {"go"}, "move; \"the policemen went from door to door\""},
       {'n', {"go"}, "a board game"},
       {'v', {"abandon"}, "give up completely"},
       {'a', {"good"}, "having desirable qualities"},
       {'r', {"well"}, "in a good manner; \"the children behaved well in the garden\""},
       {'n', {"mouse"}, "a rodent; \"cereals must be protected from mice and vermin\""},
       {'n', {"a_la_carte"}, "a menu"}},
      "house%1:06:00:: 1 40\nhouse%2:42:00:: 1 3\ngo%2:38:00:: 1 300\ngood%3:00:01:: 1 "
      "100\nwell%4:02:00:: 1 90\n",
      "went go\ngone go\nswum swim\n", "children child\nmice mouse\n", "better good well\n",
      "abandon%2:40:00:: 8\n", "8 They %s the old car\n"));
}

}  // namespace

TEST(WordNet, PartsOfSpeechMostFrequentFirst) {
  const TWordNet w = Sample();
  EXPECT_THAT(w.PartsOfSpeech("house"), ElementsAre(TPos::Noun, TPos::Verb));
  EXPECT_THAT(w.PartsOfSpeech("go"), ElementsAre(TPos::Verb, TPos::Noun));
  EXPECT_THAT(w.PartsOfSpeech("A la Carte"), ElementsAre(TPos::Noun));  // case and blanks
  EXPECT_THAT(w.PartsOfSpeech("flibber"), IsEmpty());
  EXPECT_EQ(w.Frequency("house"), 43u);
  EXPECT_EQ(w.Frequency("kid"), 0u);
  EXPECT_EQ(w.Frequency("flibber"), 0u);
}

TEST(WordNet, BaseFormsByExceptionListAndEndings) {
  const TWordNet w = Sample();
  EXPECT_EQ(w.BaseForm("went"), "go");
  EXPECT_EQ(w.BaseForm("Children"), "child");
  EXPECT_EQ(w.BaseForm("houses"), "house");
  EXPECT_EQ(w.BaseForm("housed"), "house");
  EXPECT_EQ(w.BaseForm("abandoning"), "abandon");
  EXPECT_EQ(w.BaseForm("flibbers"), "");
  EXPECT_EQ(w.BaseForm("gooder"), "good");  // -er makes comparatives of adjectives
  EXPECT_EQ(w.BaseForm("houser"), "");      // not of nouns or verbs
  EXPECT_EQ(w.BaseForm("gooded"), "");      // -ed makes forms of verbs only
  EXPECT_EQ(w.BaseForm("swum"), "");        // its base is not in the database
}

TEST(WordNet, ExamplesOfTheMostFrequentSenseThatUsesTheWord) {
  const TWordNet w = Sample();
  EXPECT_EQ(w.Example("house"), "he has a house on Cape Cod");
  // The first sense's quote does not use "kid"'s synonym "child"; a form does.
  EXPECT_EQ(w.Example("children"), "she loves children");
  EXPECT_EQ(w.Example("went"), "the policemen went from door to door");
  EXPECT_EQ(w.Example("mice"), "cereals must be protected from mice and vermin");
  // A verb without a quote takes its example sentence.
  EXPECT_EQ(w.Example("abandon"), "They abandon the old car");
  // A word without senses of its own borrows a quote that uses it.
  EXPECT_EQ(w.Example("garden"), "the children behaved well in the garden");
  EXPECT_EQ(w.Example("good"), "");
  EXPECT_EQ(w.Example("flibber"), "");
}

TEST(WordNet, IrregularFormsOfEveryList) {
  const TWordNet w = Sample();
  std::vector<std::string> pairs;
  for (const TIrregular& i : w.Irregulars()) pairs.push_back(i.form + ">" + i.base);
  EXPECT_THAT(pairs, ElementsAre("children>child", "mice>mouse", "went>go", "gone>go", "swum>swim",
                                 "better>good", "better>well"));
}

class WordNetFiles : public TempDir {};

TEST_F(WordNetFiles, AMissingFileIsNamed) {
  for (const auto& [name, text] : MakeWordNet({{'n', {"house"}, "a dwelling"}})) Write(name, text);
  EXPECT_NO_THROW(TWordNet::Load(dir_));
  std::filesystem::remove(Path("cntlist.rev"));
  try {
    TWordNet::Load(dir_);
    FAIL() << "no error";
  } catch (const EImportError& e) {
    EXPECT_THAT(e.Message(), HasSubstr(Path("cntlist.rev")));
    EXPECT_THAT(e.Message(), HasSubstr("wordnet-base"));
  }
}

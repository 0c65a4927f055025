// The compiled word-form data: what the compiler takes from its sources, how
// it fails on malformed ones, the loader's checks, life without the Turkish
// sources, and the English base forms.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "morph/English.h"
#include "morph/MorphData.h"
#include "morph/TurkishAnalyser.h"
#include "morph/WordFinder.h"

using namespace lugatim::morph;

namespace {

// A machine of three states: nouns take a plural and then a locative.
const char* const kFsm = R"(<statelist>
<state name="NominalRoot" start="yes" end="no" originalpos="NOUN">
<to name="Plural"><with name="A3SG">0</with><with name="A3PL">lAr</with></to>
</state>
<state name="Plural" start="no" end="yes">
<to name="Case"><with name="LOC">DA</with></to>
</state>
<state name="Case" start="no" end="yes">
</state>
</statelist>
)";

TMorphSources Sources() {
  TMorphSources s;
  s.turkishFsm = kFsm;
  s.turkishDictionary =
      "<doc> IS_HEADER\nkitap CL_ISIM IS_SD\nev CL_ISIM\nEv CL_ISIM IS_OA\na.b.d IS_KIS\n";
  s.englishExceptions = {{"went", "go"}, {"mice", "mouse"}};
  s.englishWords = {{"dictionary", 40}, {"diction", 2}};
  s.turkishWords = {{"kitap", 4}};
  return s;
}

}  // namespace

TEST(MorphData, CompilesTheSourcesIntoWhatTheAnalyserReads) {
  const TMorphData d = TMorphData::FromText(CompileMorphData(Sources()));
  ASSERT_TRUE(d.HasTurkish());
  EXPECT_EQ(d.States().size(), 3u);
  EXPECT_EQ(d.LemmaCount(), 2u);  // markup and dotted abbreviations left out; Ev is ev
  ASSERT_EQ(d.Lemmas("ev").size(), 1u);
  EXPECT_EQ(d.Lemmas("ev")[0].flags, lfNoun | lfProper);  // flags of both lines merged
  EXPECT_EQ(d.Lemmas("kitap")[0].flags, lfNoun | lfSoftens);
  EXPECT_EQ(d.EnglishBases("went"), std::vector<std::string>{"go"});
  EXPECT_EQ(d.Words(true).size(), 2u);
  const auto a = TTurkishAnalyser(d).Analyse("kitaplarda");
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].Text(), "kitap + lar + da");
  EXPECT_TRUE(TTurkishAnalyser(d).Analyse("kitaplerde").empty());  // harmony holds
}

TEST(MorphData, MalformedSourcesAreErrorsThatNameTheLine) {
  TMorphSources s = Sources();
  s.fsmName = "fsm.xml";
  s.turkishFsm =
      "<statelist>\n<state name=\"A\">\n<to "
      "name=\"Nowhere\"><with>lAr</with></to>\n</state>\n</statelist>";
  try {
    CompileMorphData(s);
    FAIL() << "an unknown target state compiled";
  } catch (const EMorphDataError& e) {
    EXPECT_STREQ(e.what(), "fsm.xml:3: unknown state \"Nowhere\"");
  }
  s.turkishFsm = "<statelist>\n<state name=\"A\">\n<with>lAr</with>\n</state>";
  EXPECT_THROW(CompileMorphData(s), EMorphDataError);  // a suffix outside a transition
  s.turkishFsm = kFsm;
  s.turkishDictionary = "\n\n";
  EXPECT_THROW(CompileMorphData(s), EMorphDataError);  // no lemmas
}

TEST(MorphData, TheLoaderRefusesWhatItDidNotWrite) {
  EXPECT_THROW(TMorphData::FromText("something else\n"), EMorphDataError);
  std::string text = CompileMorphData(Sources());
  text.resize(text.find("LEXICON") + 20);  // cut inside the lexicon
  EXPECT_THROW(TMorphData::FromText(text), EMorphDataError);
  try {
    TMorphData::Load("/nonexistent/Lugatim.morph");
    FAIL();
  } catch (const EMorphDataError& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/Lugatim.morph: cannot read the word-form data");
  }
}

TEST(MorphData, WithoutTheTurkishSourcesEverythingElseWorks) {
  TMorphSources s = Sources();
  s.turkishFsm.clear();
  s.turkishDictionary.clear();
  const std::string path = ::testing::TempDir() + "nomorph.morph";
  std::ofstream(path) << CompileMorphData(s);
  TWordForms forms(path);
  ASSERT_TRUE(forms.Available());
  EXPECT_TRUE(forms.AnalyseTurkish("kitaplarda").empty());
  struct Table : IHeadwords {
    std::optional<std::string> Equal(const std::string& w) override {
      return w == "go" || w == "book" ? std::optional<std::string>(w) : std::nullopt;
    }
    std::optional<std::string> EqualWithoutMarks(const std::string&) override { return {}; }
  } table;
  EXPECT_EQ(forms.Find("went", false, table).headword, "go");
  EXPECT_EQ(forms.Find("kitaplarda", true, table).kind, TFindKind::None);
  EXPECT_EQ(forms.Suggest("dictonary", false), std::vector<std::string>{"dictionary"});
  std::remove(path.c_str());
  // No file at all: no analysis and no suggestion, and a reason.
  TWordForms none("/nonexistent/Lugatim.morph");
  EXPECT_FALSE(none.Available());
  EXPECT_NE(none.LoadError().find("cannot read"), std::string::npos);
  EXPECT_EQ(none.Find("went", false, table).kind, TFindKind::None);  // the exceptions are data
  EXPECT_EQ(none.Find("books", false, table).headword, "book");      // the endings are rules
  EXPECT_TRUE(none.Suggest("dictonary", false).empty());
}

TEST(EnglishBaseForms, ExceptionsFirstThenTheRegularEndings) {
  const TMorphData d = TMorphData::FromText(CompileMorphData(Sources()));
  const auto went = EnglishBaseForms("went", &d);
  ASSERT_FALSE(went.empty());
  EXPECT_EQ(went[0].base, "go");
  EXPECT_EQ(went[0].ending, "");
  const auto larger = EnglishBaseForms("Larger", &d);
  EXPECT_TRUE(std::any_of(larger.begin(), larger.end(), [](const TEnglishBase& b) {
    return b.base == "large" && b.ending == "er";
  }));
  const auto books = EnglishBaseForms("books", nullptr);
  ASSERT_FALSE(books.empty());
  EXPECT_EQ(books[0].base, "book");
  EXPECT_TRUE(EnglishBaseForms("s", nullptr).empty());  // an ending alone is no word
}

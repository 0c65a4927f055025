// The Turkish analyser on the real lexicon and morphotactics: each stem
// change and suffix rule, words that must not be over-stripped, words typed
// without Turkish letters, and the ranking that chooses the entry.

#include <algorithm>
#include <map>

#include "tests/morph/MorphFixture.h"

using namespace lugatim::morph;
using morphtest::FakeTable;

namespace {

std::vector<TAnalysis> Analyse(const std::string& word) {
  return TTurkishAnalyser(*morphtest::RealData()).Analyse(word);
}

// The dictionary forms of the best analysis, most derived first.
std::vector<std::string> Best(const std::string& word) {
  const auto a = Analyse(word);
  return a.empty() ? std::vector<std::string>{} : a.front().headwords;
}

bool AnyLemma(const std::vector<TAnalysis>& analyses, const std::string& lemma) {
  return std::any_of(analyses.begin(), analyses.end(),
                     [&](const TAnalysis& a) { return a.lemma == lemma; });
}

}  // namespace

TEST(TurkishAnalyser, StemChangesOfTheLexicon) {
  REQUIRE_REAL_DATA();
  struct Case {
    const char* word;
    const char* lemma;
  } cases[] = {
      {"kitabı", "kitap"}, {"ağacı", "ağaç"},  {"rengi", "renk"},    // softening, nk → ng
      {"burnu", "burun"},  {"oğlu", "oğul"},   {"şehri", "şehir"},   // dropped vowel
      {"hakkı", "hak"},    {"saati", "saat"},  {"alkolü", "alkol"},  // doubling, front harmony
      {"evde", "ev"},      {"kapıya", "kapı"}, {"seçeneğine", "seçenek"},
  };
  for (const Case& c : cases) {
    const auto a = Analyse(c.word);
    ASSERT_FALSE(a.empty()) << c.word;
    EXPECT_EQ(a.front().lemma, c.lemma) << c.word << ": " << a.front().Text();
  }
  // A wrong harmony or a softening before a consonant is no Turkish form;
  // only the reading without marks (a keyboard's ı → i) may still reach it.
  for (const char* wrong : {"saatı", "kitabda"})
    for (const TAnalysis& a : Analyse(wrong))
      EXPECT_TRUE(a.plainLetters) << wrong << " " << a.Text();
  EXPECT_FALSE(AnyLemma(Analyse("kitabda"), "kitap"));
}

TEST(TurkishAnalyser, VerbsLemmatiseToTheirInfinitive) {
  REQUIRE_REAL_DATA();
  struct Case {
    const char* word;
    const char* headword;
  } cases[] = {
      {"gidiyorum", "gitmek"},      // softened root, progressive, person
      {"anlıyor", "anlamak"},       // final vowel narrowed before -yor
      {"gelmiyor", "gelmek"},       // negation narrowed before -yor
      {"gelmediler mi", "gelmek"},  // question particle written apart
      {"okumaktan", "okumak"},      // infinitive with a case
      {"yazdırılmış", "yazmak"},    // causative and passive
      {"söylemeyecekler", "söylemek"}, {"sağlar", "sağlamak"},  // aorist, not the plural of sağ
  };
  for (const Case& c : cases) {
    const auto h = Best(c.word);
    EXPECT_NE(std::find(h.begin(), h.end(), c.headword), h.end())
        << c.word << " → " << (Analyse(c.word).empty() ? "nothing" : Analyse(c.word)[0].Text());
  }
  EXPECT_TRUE(AnyLemma(Analyse("yiyecek"), "ye"));  // ye- raises its vowel before y
  const auto perfect = Analyse("okumuşsunuz");
  EXPECT_TRUE(std::any_of(perfect.begin(), perfect.end(), [](const TAnalysis& a) {
    return a.lemma == "oku" && a.rootPos == "VERB";
  }));
  EXPECT_EQ(Analyse("gelmediler mi").front().Text(), "gel + me + di + ler mi");
}

TEST(TurkishAnalyser, SegmentsAndDerivationsInOrder) {
  REQUIRE_REAL_DATA();
  const auto a = Analyse("kitaplarımızdan");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a.front().Text(), "kitap + lar + ımız + dan");
  EXPECT_EQ(a.front().Tags(), "kitap+NOUN+A3PL+P1PL+ABL");
  // The most derived dictionary form comes before its root.
  const auto evsiz = Analyse("evsizler");
  ASSERT_TRUE(std::any_of(evsiz.begin(), evsiz.end(), [](const TAnalysis& x) {
    return x.lemma == "ev" && x.derived && x.headwords == std::vector<std::string>{"evsiz", "ev"};
  }));
  const auto guzel = Analyse("güzelliği");
  ASSERT_FALSE(guzel.empty());
  EXPECT_EQ(guzel.front().lemma, "güzellik");  // the lexicon's own lemma: fewer suffixes
}

TEST(TurkishAnalyser, DoesNotOverStrip) {
  REQUIRE_REAL_DATA();
  EXPECT_EQ(Analyse("terimi").front().lemma, "terim");  // not ter + im + i
  EXPECT_EQ(Analyse("sürümü").front().lemma, "sürüm");  // not sürü + m + ü
  EXPECT_EQ(Analyse("seçimi").front().lemma, "seçim");
  EXPECT_EQ(Analyse("bunun").front().lemma, "bu");  // the pronoun, not bun-
  EXPECT_TRUE(Analyse("xqzt").empty());
  EXPECT_TRUE(Analyse("").empty());
  EXPECT_TRUE(Analyse("iki kelime").empty());  // a phrase is no word form
}

TEST(TurkishAnalyser, RestoresTurkishLettersTypedPlain) {
  REQUIRE_REAL_DATA();
  const auto a = Analyse("kitaplarimizdan");
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a.front().plainLetters);
  EXPECT_EQ(a.front().Text(), "kitap + lar + ımız + dan");
  EXPECT_EQ(Analyse("agaci").front().lemma, "ağaç");
  EXPECT_EQ(Analyse("gidiyorsunuz").front().headwords.back(), "gitmek");
  EXPECT_FALSE(Analyse("evde").front().plainLetters);  // typed right: no plain reading needed
}

TEST(WordRanking, TheMostDerivedHeadwordFirstThenTheRoot) {
  REQUIRE_REAL_DATA();
  FakeTable both({"güzellik", "güzel"});
  EXPECT_EQ(RankAnalyses(Analyse("güzelliği"), both).headword, "güzellik");
  FakeTable rootOnly({"güzel"});
  const TFound f = RankAnalyses(Analyse("güzelliği"), rootOnly);
  EXPECT_EQ(f.kind, TFindKind::Analysed);
  EXPECT_EQ(f.headword, "güzel");
}

TEST(WordRanking, ALemmaTheTableLacksIsNotInTheDictionary) {
  REQUIRE_REAL_DATA();
  // sürümü is sürüm + ü; the table's sürü ("flock") is another word.
  FakeTable flock({"sürü", "ter", "seçi"});
  const TFound f = RankAnalyses(Analyse("sürümü"), flock);
  EXPECT_EQ(f.kind, TFindKind::NotInDictionary);
  EXPECT_EQ(f.lemma, "sürüm");
  EXPECT_EQ(RankAnalyses(Analyse("terimi"), flock).kind, TFindKind::NotInDictionary);
  // A verb's form may stand for a lexicalised participle the table lacks.
  FakeTable verbs({"okumak"});
  EXPECT_EQ(RankAnalyses(Analyse("okumuşsunuz"), verbs).headword, "okumak");
}

TEST(WordForms, ExactAndUnmarkedWinOverAnalysis) {
  REQUIRE_REAL_DATA();
  TWordForms forms(morphtest::RealData());
  struct Table : FakeTable {
    using FakeTable::FakeTable;
    std::optional<std::string> EqualWithoutMarks(const std::string& w) override {
      return w == "agaci" ? std::optional<std::string>("ağacı") : std::nullopt;
    }
  };
  Table table({"kitaplar", "kitap", "ağacı", "ağaç"});
  EXPECT_EQ(forms.Find("kitaplar", true, table).kind, TFindKind::Exact);
  EXPECT_EQ(forms.Find("agaci", true, table).kind, TFindKind::WithoutMarks);
  const TFound f = forms.Find("kitaplarda", true, table);
  EXPECT_EQ(f.kind, TFindKind::Analysed);
  EXPECT_EQ(f.headword, "kitap");
  EXPECT_EQ(f.analysis, "kitap + lar + da");
  EXPECT_EQ(forms.Find("qqqq", true, table).kind, TFindKind::None);
}

TEST(WordRanking, EqualReadingsGoByFrequencyAndFallbacksByTheMostSpecificHeadword) {
  REQUIRE_REAL_DATA();
  const std::map<std::string, uint32_t> counts = {
      {"nokta", 11}, {"noktalamak", 5}, {"sağ", 4}, {"sağlamak", 9}};
  const auto frequency = [&](const std::string& h) {
    const auto it = counts.find(h);
    return it == counts.end() ? 0u : it->second;
  };
  FakeTable table({"nokta", "noktalamak", "sağ", "sağlamak"});
  EXPECT_EQ(RankAnalyses(Analyse("noktalar"), table, frequency).headword, "nokta");
  EXPECT_EQ(RankAnalyses(Analyse("sağlar"), table, frequency).headword, "sağlamak");
  // Without frequencies the best reading's own headword stands.
  EXPECT_EQ(RankAnalyses(Analyse("noktalar"), table).headword, "noktalamak");
  FakeTable roots({"destek", "desteklemek"});
  EXPECT_EQ(RankAnalyses(Analyse("desteklenmektedir"), roots).headword, "desteklemek");
}

TEST(WordRanking, AWordThatIsALemmaIsAnotherRootsFormOnlyByPlainEndings) {
  REQUIRE_REAL_DATA();
  FakeTable verbs({"uymak", "görmek"});
  EXPECT_EQ(RankAnalyses(Analyse("uyarı"), verbs).kind, TFindKind::NotInDictionary);
  EXPECT_EQ(RankAnalyses(Analyse("görmüş"), verbs).headword, "görmek");
}

#include "tools/PartOfSpeech.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "morph/MorphData.h"
#include "tools/Text.h"
#include "tools/WordNet.h"

namespace lugatim::tools {

namespace {

enum TClass { kNoun, kVerb, kAdj, kAdv, kPron, kPrep, kConj, kInterj, kClasses };

constexpr const char* kTurkishNames[kClasses] = {"i.",   "f.",   "s.",     "zf.",
                                                 "zam.", "edat", "bağlaç", "ünlem"};
// A Turkish word that an English preposition translates is a postposition.
constexpr const char* kEnglishNames[kClasses] = {"n.",    "v.",     "adj.",  "adv.",
                                                 "pron.", "postp.", "conj.", "interj."};

// The lexicon's flags of each class, in the order that decides when the
// glosses do not: the closed classes first, since a word the lexicon lists
// as a pronoun and an adverb ("ne") is foremost the pronoun. A proper name's
// flag is no class: "de", also a name, is a conjunction, not a noun.
constexpr std::pair<uint32_t, TClass> kLexiconClasses[] = {
    {morph::lfPronoun, kPron},
    {morph::lfPostposition, kPrep},
    {morph::lfConjunction, kConj},
    {morph::lfInterjection, kInterj},
    {morph::lfAdverb, kAdv},
    {morph::lfAdjective | morph::lfPureAdjective | morph::lfDeterminer, kAdj},
    {morph::lfNoun, kNoun},
    {morph::lfVerb, kVerb}};

bool Allows(uint32_t flags, TClass c) {
  for (const auto& [f, k] : kLexiconClasses)
    if (k == c && (flags & f) != 0) return true;
  return false;
}

// English words WordNet, being about content words, does not hold.
const std::unordered_map<std::string_view, TClass>& FunctionWords() {
  static const std::unordered_map<std::string_view, TClass> words = [] {
    std::unordered_map<std::string_view, TClass> m;
    for (std::string_view w :
         {"i",          "me",         "you",        "he",         "him",      "she",
          "her",        "it",         "we",         "us",         "they",     "them",
          "myself",     "yourself",   "himself",    "herself",    "itself",   "ourselves",
          "yourselves", "themselves", "who",        "whom",       "whose",    "which",
          "what",       "this",       "that",       "these",      "those",    "someone",
          "somebody",   "something",  "anyone",     "anybody",    "anything", "everyone",
          "everybody",  "everything", "nobody",     "nothing",    "none",     "mine",
          "yours",      "his",        "hers",       "ours",       "theirs",   "whoever",
          "whomever",   "whatever",   "whichever",  "thee",       "thou",     "thy",
          "thine",      "ye",         "oneself",    "my",         "your",     "our",
          "their",      "its",        "each other", "one another"})
      m.emplace(w, kPron);
    for (std::string_view w :
         {"of",         "to",        "in",         "for",     "on",      "with",
          "at",         "by",        "from",       "about",   "into",    "over",
          "after",      "under",     "between",    "through", "during",  "without",
          "before",     "against",   "among",      "amongst", "upon",    "within",
          "along",      "across",    "behind",     "beyond",  "towards", "toward",
          "beside",     "besides",   "despite",    "except",  "near",    "since",
          "until",      "till",      "via",        "onto",    "amid",    "amidst",
          "throughout", "unto",      "beneath",    "below",   "above",   "around",
          "per",        "regarding", "concerning", "inside",  "outside", "underneath",
          "versus",     "like",      "unlike",     "off",     "out",     "up",
          "down",       "past",      "round",      "than",    "toward",  "notwithstanding",
          "pending",    "save",      "barring",    "athwart", "betwixt", "anent"})
      m.emplace(w, kPrep);
    for (std::string_view w :
         {"and",    "or",      "but",   "if",     "because",  "although", "though",
          "unless", "whereas", "while", "whilst", "whether",  "nor",      "so",
          "yet",    "as",      "when",  "where",  "whenever", "wherever", "lest",
          "either", "neither", "both",  "once",   "whereby",  "wherein"})
      m.emplace(w, kConj);
    for (std::string_view w :
         {"oh",       "hello", "hi",    "alas",   "bravo",  "hurrah", "hurray",  "ouch",
          "ah",       "aha",   "hey",   "wow",    "hush",   "oops",   "yes",     "no",
          "goodbye",  "bye",   "hullo", "hallo",  "ahoy",   "amen",   "ugh",     "pooh",
          "pshaw",    "tut",   "whoa",  "yippee", "encore", "cheers", "please",  "thanks",
          "farewell", "adieu", "gee",   "gosh",   "halloo", "ho",     "hum",     "huh",
          "oho",      "ow",    "phew",  "psst",   "shoo",   "whew",   "yoo-hoo", "eh",
          "er",       "ha",    "hmm",   "lo"})
      m.emplace(w, kInterj);
    for (std::string_view w : {"a", "an", "the", "every", "each", "some", "any", "no", "many",
                               "much", "few", "several", "such", "own", "another", "other"})
      m.emplace(w, kAdj);
    return m;
  }();
  return words;
}

TClass FromPos(TPos p) {
  switch (p) {
    case TPos::Noun:
      return kNoun;
    case TPos::Verb:
      return kVerb;
    case TPos::Adjective:
      return kAdj;
    case TPos::Adverb:
      return kAdv;
  }
  return kNoun;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EndsWithAny(std::string_view w, std::initializer_list<std::string_view> endings) {
  return std::any_of(endings.begin(), endings.end(),
                     [&](std::string_view e) { return w.size() > e.size() + 1 && w.ends_with(e); });
}

// The Turkish text ends a verb's infinitive.
bool Infinitive(std::string_view turkish) {
  std::string_view t = Trim(turkish);
  while (!t.empty() && std::string_view(".,;:").find(t.back()) != std::string_view::npos)
    t.remove_suffix(1);
  return EndsWithAny(t, {"mak", "mek"});
}

// The first part of a meaning, without its labels and number.
std::string FirstPart(std::string_view meaning) {
  std::string_view m = meaning.substr(0, meaning.find('\n'));
  size_t digits = 0;
  while (digits < m.size() && m[digits] >= '0' && m[digits] <= '9') ++digits;
  if (digits > 0 && m.substr(digits).starts_with(". ")) m.remove_prefix(digits + 2);
  while (m.starts_with('(')) {
    const size_t close = m.find(')');
    if (close == std::string_view::npos) break;
    m = Trim(m.substr(close + 1));
  }
  return std::string(Trim(m.substr(0, std::min(m.find(','), m.find(';')))));
}

std::vector<TClass> EnglishClasses(const std::string& word, const std::string& turkishMeaning,
                                   const TWordNet& wordnet) {
  std::vector<TClass> out;
  const std::string lower = AsciiLower(CollapseSpaces(word));
  const auto& function = FunctionWords();
  if (const auto it = function.find(lower); it != function.end()) out.push_back(it->second);
  // An irregular form is what its exception lists say ("went": a verb).
  std::vector<TPos> pos;
  if (!wordnet.Knows(lower)) pos = wordnet.IrregularPartsOfSpeech(lower);
  const std::string base = pos.empty() ? wordnet.BaseForm(lower) : std::string();
  if (!base.empty()) pos = wordnet.PartsOfSpeech(base);
  for (TPos p : pos)
    if (std::find(out.begin(), out.end(), FromPos(p)) == out.end()) out.push_back(FromPos(p));
  // The entry's meaning tells which of the word's parts of speech it is
  // about: an infinitive the verb, anything else not the verb ("house":
  // "ev" a noun, "bir eve koymak" a verb).
  const bool verb = Infinitive(FirstPart(turkishMeaning));
  const auto v = std::find(out.begin(), out.end(), kVerb);
  if (verb && v != out.end())
    std::rotate(out.begin(), v, v + 1);
  else if (!verb && v == out.begin() && out.size() > 1 && !turkishMeaning.empty())
    std::rotate(out.begin(), out.begin() + 1, out.begin() + 2);
  if (!out.empty()) return out;
  if (verb) return {kVerb};
  const std::vector<std::string> words = Words(lower);
  if (words.size() >= 2) {
    // A phrase not in WordNet: its last word's part of speech ("aaron's rod").
    const std::string last = wordnet.BaseForm(words.back());
    if (!last.empty()) {
      const std::vector<TPos> pos = wordnet.PartsOfSpeech(last);
      if (!pos.empty()) return {FromPos(pos.front())};
    }
  }
  const std::string_view w = words.empty() ? std::string_view() : std::string_view(words.back());
  if (EndsWithAny(w, {"ly"})) return {kAdv};
  if (EndsWithAny(w, {"ness", "tion", "sion", "ment", "ity", "ism", "ist", "ship", "hood", "ance",
                      "ence", "age", "ure", "er", "or", "dom", "ics", "ery", "logy"}))
    return {kNoun};
  if (EndsWithAny(w, {"ous", "ful", "less", "able", "ible", "ive", "al", "ic", "ical", "ish", "ary",
                      "ory", "ent", "ant", "ed", "ing", "like", "esque"}))
    return {kAdj};
  if (EndsWithAny(w, {"ize", "ise", "ify", "ate", "en"})) return {kVerb};
  return {};
}

}  // namespace

bool IsTurkishPartOfSpeechLabel(std::string_view label) {
  return std::find(std::begin(kTurkishNames), std::end(kTurkishNames), label) !=
         std::end(kTurkishNames);
}

bool IsTurkishClosedClass(uint32_t flags) {
  using namespace morph;
  if (flags & lfQuestion) return true;
  constexpr uint32_t kClosed = lfPronoun | lfConjunction | lfPostposition | lfNone;
  constexpr uint32_t kOpen = lfNoun | lfVerb | lfAdjective;
  return (flags & kClosed) != 0 && (flags & kOpen) == 0;
}

bool IsEnglishFunctionWord(std::string_view word) {
  return FunctionWords().contains(word);
}

std::vector<std::string> EnglishPartsOfSpeech(const std::string& headword,
                                              const std::string& turkishMeaning,
                                              const TWordNet& wordnet) {
  std::vector<std::string> out;
  for (TClass c : EnglishClasses(headword, turkishMeaning, wordnet))
    out.push_back(kTurkishNames[c]);
  return out;
}

std::string TurkishPartOfSpeech(const std::string& headword,
                                const std::vector<std::string>& englishGlosses,
                                const TWordNet& wordnet, const TWordFlags& lexicon) {
  const std::vector<std::string> words = Words(headword);
  if (words.empty()) return {};
  const std::string_view last = words.back();
  // The lexicon's own classes of the word, verbs aside: the lexicon lists a
  // verb by its stem ("ye"), so an infinitive it lists is a noun ("yemek").
  const uint32_t own = lexicon ? lexicon(headword) & ~morph::lfVerb : 0;
  uint32_t classes = 0;
  for (const auto& [f, k] : kLexiconClasses) classes |= own & f;
  if (EndsWithAny(last, {"mak", "mek"})) {
    if (!lexicon) return kEnglishNames[kVerb];
    // An infinitive is a verb where the lexicon knows its stem as one; when
    // it also lists the infinitive as a word ("ekmek" bread, "ek-" sow), the
    // first English gloss tells which.
    const std::string stem = std::string(last.substr(0, last.size() - 3));
    if ((lexicon(stem) & morph::lfVerb) != 0) {
      if (classes == 0) return kEnglishNames[kVerb];
      if (!englishGlosses.empty()) {
        const std::string gloss = AsciiLower(CollapseSpaces(englishGlosses.front()));
        const std::vector<TClass> first = EnglishClasses(gloss, "", wordnet);
        if (gloss.starts_with("to ") || (!first.empty() && first.front() == kVerb))
          return kEnglishNames[kVerb];
      }
    }
  }
  // The first three glosses vote with weights 3, 2, 1 for their most
  // frequent part of speech other than verb (among the lexicon's classes of
  // the word when it has any); a tie goes to the first gloss.
  std::array<int, kClasses> votes{};
  int weight = 3;
  std::optional<TClass> first;
  for (const std::string& gloss : englishGlosses) {
    if (weight == 0) break;
    for (TClass c : EnglishClasses(AsciiLower(CollapseSpaces(gloss)), "", wordnet)) {
      if (c == kVerb || (classes != 0 && !Allows(classes, c))) continue;
      votes[c] += weight;
      if (!first) first = c;
      --weight;
      break;
    }
  }
  if (first) {
    TClass best = *first;
    for (int c = 0; c < kClasses; ++c)
      if (votes[c] > votes[best]) best = static_cast<TClass>(c);
    return kEnglishNames[best];
  }
  for (const auto& [f, k] : kLexiconClasses)
    if ((classes & f) != 0) return kEnglishNames[k];
  const std::string_view w = last;
  if (EndsWithAny(w, {"ca", "ce", "ça", "çe", "casına", "cesine", "ınca", "ince", "arak", "erek",
                      "yla", "yle"}))
    return kEnglishNames[kAdv];
  if (EndsWithAny(w, {"lı", "li", "lu", "lü", "sız", "siz", "suz", "süz", "sal", "sel", "ımsı",
                      "imsi", "umsu", "ümsü"}))
    return kEnglishNames[kAdj];
  return kEnglishNames[kNoun];
}

}  // namespace lugatim::tools

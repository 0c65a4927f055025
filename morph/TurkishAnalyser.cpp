#include "morph/TurkishAnalyser.h"

#include <algorithm>
#include <array>
#include <set>

#include "morph/Letters.h"

namespace lugatim::morph {

namespace {

constexpr int kStepBudget = 60000;  // transitions tried per word and letter form
constexpr int kMaxEmptyRun = 8;     // empty suffixes in a row
constexpr size_t kMaxAnalyses = 16;

constexpr uint32_t kWordClasses = lfNoun | lfVerb | lfAdjective | lfAdverb | lfPronoun |
                                  lfConjunction | lfPostposition | lfInterjection | lfQuestion |
                                  lfDeterminer | lfNumber | lfOrdinal | lfDuplicate |
                                  lfPureAdjective | lfNone | lfCompound;

bool ClosedClass(const std::string& pos) {
  return pos == "PRON" || pos == "POSTP" || pos == "CONJ" || pos == "DET" || pos == "QUES";
}

bool IsHighVowel(char32_t c) {
  return c == U'ı' || c == U'i' || c == U'u' || c == U'ü';
}

// Spells one suffix template after the surface so far. A final k may also
// be spelled ğ: the caller tries both.
// A suffix's spelling: short enough for a fixed buffer, so that trying the
// transitions of a state allocates nothing.
struct TSpelled {
  std::array<char32_t, 24> c;
  size_t n = 0;
  bool empty() const { return n == 0; }
  char32_t back() const { return c[n - 1]; }
  void push_back(char32_t x) {
    if (n < c.size()) c[n++] = x;
  }
  operator std::u32string_view() const { return {c.data(), n}; }
};

TSpelled Realise(std::u32string_view form, std::u32string_view before, char32_t lastVowel) {
  TSpelled out;
  for (size_t i = 0; i < form.size(); ++i) {
    const char32_t prev = !out.empty() ? out.back() : (!before.empty() ? before.back() : U'\0');
    const char32_t own = LastVowel(out);
    const char32_t vowel = own != U'\0' ? own : lastVowel;
    const bool afterVowel = prev != U'\0' && IsVowel(prev);
    const bool first = i == 0;
    const char32_t c = form[i];
    switch (c) {
      case U'H':
        if (!(first && afterVowel)) out.push_back(HighVowelAfter(vowel));
        break;
      case U'A':
        if (!(first && afterVowel)) out.push_back(LowVowelAfter(vowel));
        break;
      case U'D':
        out.push_back(IsVoiceless(prev) ? U't' : U'd');
        break;
      case U'C':
        out.push_back(IsVoiceless(prev) ? U'ç' : U'c');
        break;
      case U'S':
        out.push_back(U's');
        break;
      case U'Ş':
        if (!(first && !afterVowel)) out.push_back(U'ş');
        break;
      case U'y':
      case U'n':
        if (!(first && !afterVowel)) out.push_back(c);
        break;
      case U's':
        if (first && form.size() > 1) {
          if (afterVowel) out.push_back(U's');  // the buffer s of -sı
        } else {
          out.push_back(i + 1 == form.size() ? U'ş' : U's');  // -laş, -mış
        }
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

}  // namespace

struct TTurkishAnalyser::TWalk {
  std::u32string in;
  bool plain = false;
  bool apostrophe = false;
  TLemma lemma;
  const char* rootPos = "";
  std::u32string gen;
  char32_t lastVowel = U'\0';
  bool pending = false;  // a narrowed vowel waits for -yor
  struct TStep {
    std::u32string surface;
    const TTransition* transition;
    bool softened;  // a final k spelled ğ
  };
  std::vector<TStep> path;
  size_t rootLength = 0;  // characters of the root in gen
  int emptyRun = 0;
  int budget = kStepBudget;
  std::vector<TAnalysis> results;
  std::set<std::string> seen;

  bool Eq(char32_t spelled, char32_t typed) const {
    return plain ? PlainLetter(spelled) == typed : spelled == typed;
  }
  bool Matches(std::u32string_view spelled, size_t pos) const {
    if (pos + spelled.size() > in.size()) return false;
    for (size_t i = 0; i < spelled.size(); ++i)
      if (!Eq(spelled[i], in[pos + i])) return false;
    return true;
  }
};

TTurkishAnalyser::TTurkishAnalyser(const TMorphData& data) : data_(data) {
  nominal_ = data.StateIndex("NominalRoot");
  compound_ = data.StateIndex("Possessive3");
  adjective_ = data.StateIndex("AdjectiveRoot");
  pureAdjective_ = data.StateIndex("Adjective");
  adverb_ = data.StateIndex("AdverbRoot");
  verbal_ = data.StateIndex("VerbalRoot");
  postp_ = data.StateIndex("PostP");
  conjunction_ = data.StateIndex("ConjunctionRoot");
  interjection_ = data.StateIndex("InterjectionRoot");
  question_ = data.StateIndex("QuestionRoot");
  determiner_ = data.StateIndex("DeterminerRoot");
  cardinal_ = data.StateIndex("CardinalRoot");
  ordinal_ = data.StateIndex("OrdinalRoot");
  duplicate_ = data.StateIndex("DuplicateRoot");
  proper_ = data.StateIndex("ProperRoot");
  for (const char* name :
       {"PronounRoot(PERS)", "PronounRoot(DEMONS)", "PronounRoot(QUES)", "PronounRoot(QUANT)"}) {
    const int i = data.StateIndex(name);
    if (i >= 0) pronouns_.push_back(i);
  }
}

std::string TTurkishAnalyser::Infinitive(std::string_view verbLemma) {
  const std::u32string v = ToUtf32(verbLemma);
  return std::string(verbLemma) + (LowVowelAfter(LastVowel(v)) == U'a' ? "mak" : "mek");
}

std::string TAnalysis::Text() const {
  std::string out = lemma;
  // The question particle is written apart: "gel + me + di + ler mi".
  for (const TMorpheme& m : morphemes) out += (m.tag == "QUES" ? " " : " + ") + m.surface;
  return out;
}

size_t TAnalysis::WordClassChanges() const {
  size_t n = 0;
  for (const TMorpheme& m : morphemes)
    for (size_t at = m.tag.find("^DB"); at != std::string::npos; at = m.tag.find("^DB", at + 3))
      ++n;
  return n;
}

std::string TAnalysis::Tags() const {
  std::string out = lemma + "+" + rootPos;
  for (const TMorpheme& m : morphemes)
    if (!m.tag.empty()) out += "+" + m.tag;
  return out;
}

void TTurkishAnalyser::Record(TWalk& w) const {
  TAnalysis a;
  a.word = ToUtf8(w.gen);
  a.lemma = std::string(w.lemma.text);
  a.rootPos = w.rootPos;
  a.plainLetters = w.plain;
  std::vector<std::string> derivedForms;
  std::u32string running = w.gen.substr(0, w.rootLength);
  std::string pendingTags;
  for (const TWalk::TStep& s : w.path) {
    const TTransition& t = *s.transition;
    if (!t.tag.empty()) pendingTags += (pendingTags.empty() ? "" : "+") + t.tag;
    running += s.surface;
    if (!s.surface.empty()) {
      a.morphemes.push_back({ToUtf8(s.surface), pendingTags});
      pendingTags.clear();
    }
    if (t.derivation && !s.surface.empty()) {
      a.derived = true;
      std::u32string citation = running;
      if (s.softened) citation.back() = U'k';
      const std::string form = ToUtf8(citation);
      derivedForms.push_back(t.topos == "VERB" ? Infinitive(form) : form);
    }
  }
  if (!pendingTags.empty() && !a.morphemes.empty()) a.morphemes.back().tag += "+" + pendingTags;
  std::reverse(derivedForms.begin(), derivedForms.end());
  const std::string own = a.rootPos == std::string("VERB") ? Infinitive(a.lemma) : a.lemma;
  derivedForms.push_back(own);
  for (const std::string& h : derivedForms)
    if (std::find(a.headwords.begin(), a.headwords.end(), h) == a.headwords.end())
      a.headwords.push_back(h);
  std::string key = a.lemma + "|" + a.rootPos;
  for (const TMorpheme& m : a.morphemes) key += "|" + m.surface + "/" + m.tag;
  if (w.seen.insert(key).second) w.results.push_back(std::move(a));
}

void TTurkishAnalyser::Step(TWalk& w, int state, size_t pos) const {
  if (--w.budget < 0) return;
  const TState& s = data_.States()[static_cast<size_t>(state)];
  if (pos == w.in.size() && s.end && !w.pending) Record(w);
  static const std::u32string kHyor = U"Hyor";
  for (const TTransition& t : s.transitions) {
    if (w.pending && !t.form.empty() && t.form != kHyor) continue;
    if (t.form.empty()) {
      if (w.emptyRun >= kMaxEmptyRun) continue;
      ++w.emptyRun;
      w.path.push_back({{}, &t, false});
      Step(w, t.to, pos);
      w.path.pop_back();
      --w.emptyRun;
      continue;
    }
    if (pos >= w.in.size()) continue;
    const TSpelled spelled = Realise(t.form, w.gen, w.lastVowel);
    if (spelled.empty()) continue;
    const auto follow = [&](std::u32string_view surface, size_t consumed, bool softened,
                            bool pending, char32_t vowel) {
      const size_t genSize = w.gen.size();
      const char32_t lastVowel = w.lastVowel;
      const bool wasPending = w.pending;
      const int emptyRun = w.emptyRun;
      w.gen += surface;
      w.lastVowel = vowel != U'\0' ? vowel : w.lastVowel;
      w.pending = pending;
      w.emptyRun = 0;
      w.path.push_back({std::u32string(surface), &t, softened});
      Step(w, t.to, pos + consumed);
      w.path.pop_back();
      w.gen.resize(genSize);
      w.lastVowel = lastVowel;
      w.pending = wasPending;
      w.emptyRun = emptyRun;
    };
    const std::u32string_view view = spelled;
    const size_t k = spelled.n;
    if (w.Matches(view, pos)) follow(view, k, false, false, LastVowel(view));
    if (spelled.back() == U'k' && pos + k < w.in.size() && IsVowel(w.in[pos + k])) {
      TSpelled soft = spelled;
      soft.c[k - 1] = U'ğ';
      if (w.Matches(soft, pos)) follow(soft, k, true, false, LastVowel(soft));
    }
    // A final vowel narrowed before -yor: gelme + iyor → gelmiyor.
    if (!w.pending && t.form != kHyor && IsVowel(spelled.back()) && pos + k + 3 <= w.in.size() &&
        w.in.compare(pos + k, 3, U"yor") == 0 && w.Matches(view.substr(0, k - 1), pos)) {
      char32_t before = LastVowel(view.substr(0, k - 1));
      if (before == U'\0') before = LastVowel(w.gen);
      const char32_t narrowed = HighVowelAfter(before);
      if (narrowed != spelled.back() && w.Eq(narrowed, w.in[pos + k - 1])) {
        TSpelled surface = spelled;
        surface.c[k - 1] = narrowed;
        follow(surface, k, false, true, narrowed);
      }
    }
  }
}

void TTurkishAnalyser::Start(TWalk& w, const TLemma& lemma, const std::u32string& surface,
                             size_t consumed, bool narrowed) const {
  const uint32_t classes = lemma.flags & kWordClasses;
  const bool properOnly = classes == 0 && (lemma.flags & lfProper) != 0;
  if (classes == 0 && !properOnly) return;  // abbreviations and markup
  if (surface.size() < 2 && (lemma.flags & lfPronoun) == 0) return;
  // A name alone is a name only where an apostrophe marks its endings.
  if (properOnly && !w.apostrophe) return;
  std::vector<std::pair<int, const char*>> starts;
  const auto add = [&](uint32_t flag, int state, const char* pos) {
    if ((lemma.flags & flag) != 0 && state >= 0) starts.emplace_back(state, pos);
  };
  if (narrowed) {
    add(lfVerb, lemma.verbState >= 0 ? lemma.verbState : verbal_, "VERB");
  } else {
    add(lfVerb, lemma.verbState >= 0 ? lemma.verbState : verbal_, "VERB");
    add(lfNoun, nominal_, "NOUN");
    add(lfCompound, compound_, "NOUN");
    add(lfAdjective, adjective_, "ADJ");
    add(lfPureAdjective, pureAdjective_, "ADJ");
    add(lfAdverb, adverb_, "ADVERB");
    for (int p : pronouns_) add(lfPronoun, p, "PRON");
    add(lfPostposition, postp_, "POSTP");
    add(lfConjunction, conjunction_, "CONJ");
    add(lfNone, conjunction_, "CONJ");
    add(lfInterjection, interjection_, "INTERJ");
    add(lfQuestion, question_, "QUES");
    add(lfDeterminer, determiner_, "DET");
    add(lfNumber, cardinal_, "NUM");
    add(lfOrdinal, ordinal_, "NUM");
    add(lfDuplicate, duplicate_, "DUP");
    if (properOnly) add(lfProper, proper_, "PROP");
  }
  for (const auto& [state, pos] : starts) {
    w.lemma = lemma;
    w.rootPos = pos;
    w.gen = surface;
    w.rootLength = surface.size();
    w.lastVowel = LastVowel(surface);
    if ((lemma.flags & lfFrontHarmony) != 0) w.lastVowel = FrontOf(w.lastVowel);
    w.pending = narrowed;
    w.path.clear();
    w.emptyRun = 0;
    Step(w, state, consumed);
  }
}

void TTurkishAnalyser::Roots(TWalk& w) const {
  const std::u32string& in = w.in;
  const size_t n = in.size();
  const auto lemmas = [&](const std::u32string& key) {
    const std::string k = ToUtf8(key);
    return w.plain ? data_.LemmasByPlainLetters(k) : data_.Lemmas(k);
  };
  const auto spelled = [](const TLemma& l) { return ToUtf32(l.text); };
  for (size_t len = 1; len <= n; ++len) {
    const std::u32string r = in.substr(0, len);
    for (const TLemma& l : lemmas(r)) Start(w, l, spelled(l), len, false);
    const bool vowelNext = len < n && IsVowel(in[len]);
    const char32_t last = r.back();
    if (vowelNext && len >= 2) {
      // Softened final consonant: kitab-ı, ağac-ı, gid-iyor, reng-i.
      char32_t hard = U'\0';
      switch (last) {
        case U'b':
          hard = U'p';
          break;
        case U'c':
          hard = w.plain ? U'\0' : U'ç';
          break;
        case U'd':
          hard = U't';
          break;
        case U'ğ':
          hard = U'k';
          break;
        case U'g':
          hard = U'k';
          break;
        default:
          break;
      }
      if (hard != U'\0') {
        for (const TLemma& l : lemmas(r.substr(0, len - 1) + hard)) {
          std::u32string s = spelled(l);
          const bool afterN = s.size() >= 2 && s[s.size() - 2] == U'n';
          if (s.back() == U'k') {
            const bool toG = (l.flags & lfSoftensToG) != 0 || afterN;
            if (!(l.flags & (lfSoftens | lfSoftensToG))) continue;
            if (!w.plain && (last == U'g') != toG) continue;
            s.back() = toG ? U'g' : U'ğ';
          } else {
            if (!(l.flags & lfSoftens)) continue;
            s.back() = s.back() == U'p' ? U'b' : s.back() == U'ç' ? U'c' : U'd';
          }
          Start(w, l, s, len, false);
        }
      }
      // Doubled final consonant: hakk-ı, redd-i.
      if (len >= 3 && last == r[len - 2] && !IsVowel(last)) {
        for (const TLemma& l : lemmas(r.substr(0, len - 1)))
          if (l.flags & lfDoubles) Start(w, l, spelled(l) + spelled(l).back(), len, false);
        if (last == U'd') {
          for (const TLemma& l : lemmas(r.substr(0, len - 2) + U"t")) {
            if (!(l.flags & lfDoubles)) continue;
            std::u32string s = spelled(l);
            s.back() = U'd';
            Start(w, l, s + U"d", len, false);
          }
        }
      }
      // Dropped vowel: burn-u, oğl-u, ağz-ı.
      if (len >= 3 && !IsVowel(last) && !IsVowel(r[len - 2])) {
        const std::u32string vowels = w.plain ? U"iu" : U"ıiuü";
        for (char32_t v : vowels) {
          std::u32string key = r.substr(0, len - 1);
          key.push_back(v);
          key.push_back(last);
          for (const TLemma& l : lemmas(key)) {
            if (!(l.flags & lfDropsVowel)) continue;
            std::u32string s = spelled(l);
            s.erase(s.size() - 2, 1);
            Start(w, l, s, len, false);
          }
        }
      }
    }
    // The pronouns' n: on-u, bun-dan, şun-lar; ben, sen: ban-a, san-a.
    if (len >= 2 && len < n && last == U'n') {
      const std::u32string head = r.substr(0, len - 1);
      if (head == U"o" || head == U"bu" || head == (w.plain ? U"su" : U"şu")) {
        for (const TLemma& l : lemmas(head))
          if (l.flags & lfPronoun) Start(w, l, spelled(l) + U"n", len, false);
      }
      if ((r == U"ban" || r == U"san") && in[len] == U'a') {
        for (const TLemma& l : lemmas(r.substr(0, 1) + U"en"))
          if (l.flags & lfPronoun) Start(w, l, r.substr(0, 1) + U"an", len, false);
      }
    }
    // ye, de before a buffer y: yiyecek, diyen.
    if (len == 2 && len < n && in[len] == U'y' && (r == U"yi" || r == U"di")) {
      for (const TLemma& l : lemmas(r.substr(0, 1) + U"e"))
        if (l.flags & lfRaisesVowel) Start(w, l, r.substr(0, 1) + U"i", len, false);
    }
    // A verb's final vowel narrowed before -yor: anlı-yor, söylü-yor.
    if (len >= 2 && len + 3 <= n && in.compare(len, 3, U"yor") == 0 &&
        (w.plain ? (last == U'i' || last == U'u') : IsHighVowel(last))) {
      const std::u32string vowels = w.plain ? U"aeiu" : U"aeıiuü";
      for (char32_t v : vowels) {
        std::u32string key = r.substr(0, len - 1);
        key.push_back(v);
        for (const TLemma& l : lemmas(key)) {
          if (!(l.flags & lfVerb)) continue;
          std::u32string s = spelled(l);
          s.pop_back();
          const char32_t narrowed = HighVowelAfter(LastVowel(s));
          if (narrowed == spelled(l).back() || !w.Eq(narrowed, last)) continue;
          s.push_back(narrowed);
          Start(w, l, s, len, true);
        }
      }
    }
  }
}

std::vector<TAnalysis> TTurkishAnalyser::Analyse(std::string_view word) const {
  if (!data_.HasTurkish()) return {};
  // The question particle stands apart but belongs to the word before it:
  // "gelmediler mi", "geliyor musun".
  std::string_view head = word;
  std::string particle;
  const size_t blank = word.find(' ');
  if (blank != std::string_view::npos) {
    head = word.substr(0, blank);
    const std::u32string rest = TurkishSmall(word.substr(blank + 1));
    const bool question = rest.size() >= 2 && rest.size() <= 8 && rest[0] == U'm' &&
                          IsHighVowel(PlainLetter(rest[1]) == U'i' ? U'i' : rest[1]) &&
                          rest.find(U' ') == std::u32string::npos;
    if (!question) return {};
    particle = ToUtf8(rest);
  }
  TWalk w;
  w.apostrophe =
      head.find('\'') != std::string_view::npos || head.find("\u2019") != std::string_view::npos;
  const std::u32string small = TurkishSmall(head);
  if (small.empty()) return {};
  w.gen.reserve(64);
  for (const bool plain : {false, true}) {
    w.plain = plain;
    w.in = plain ? PlainLetters(small) : small;
    w.budget = kStepBudget;
    Roots(w);
    if (!w.results.empty()) break;
  }
  std::vector<TAnalysis>& out = w.results;
  // Fewest suffixes; then fewest word-class changes (girmelidir is gir +
  // meli + dir, not the noun girme + li + dir; sayılardan is sayı + lar +
  // dan, not a participle of sayıl-); then function words; then the longest
  // root.
  std::stable_sort(out.begin(), out.end(), [&](const TAnalysis& a, const TAnalysis& b) {
    if (a.morphemes.size() != b.morphemes.size()) return a.morphemes.size() < b.morphemes.size();
    const size_t da = a.WordClassChanges(), db = b.WordClassChanges();
    if (da != db) return da < db;
    // A bare stem read as a command is the rarest reading of all: yakındır
    // is yakın + dır ("is near"), not the order "make complain!".
    const auto command = [](const TAnalysis& x) {
      return !x.morphemes.empty() && x.morphemes.back().tag.ends_with("IMP+A2SG");
    };
    if (command(a) != command(b)) return command(b);
    // Function words are the commoner reading: bunun is bu + nun, not bun + un.
    const bool ca = ClosedClass(a.rootPos), cb = ClosedClass(b.rootPos);
    if (ca != cb) return ca;
    const size_t la = ToUtf32(a.lemma).size(), lb = ToUtf32(b.lemma).size();
    if (la != lb) return la > lb;
    return (a.rootPos == std::string("PROP")) < (b.rootPos == std::string("PROP"));
  });
  if (out.size() > kMaxAnalyses) out.resize(kMaxAnalyses);
  if (!particle.empty())
    for (TAnalysis& a : out) a.morphemes.push_back({particle, "QUES"});
  return std::move(out);
}

}  // namespace lugatim::morph

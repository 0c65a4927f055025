#pragma once
// Turkish word forms → their lemmas: a finite-state analyser over the
// compiled morphotactics and lexicon (MorphData.h).
//
// A word is split into a root that the lexicon knows and a path of suffix
// transitions that ends in a final state and spells the rest of the word.
// The roots take their stem changes from the lexicon's flags: softening
// (kitabı → kitap, ağacı → ağaç, rengi → renk), a dropped vowel (burnu →
// burun, oğlu → oğul), a doubled consonant (hakkı → hak), the front harmony
// of loans (saati → saat), the raised vowel of ye/de (yiyecek), and the
// narrowed vowel before -yor (anlıyor → anla, gelmiyor → gel + me). The
// suffixes are spelled by vowel harmony, d/t and c/ç after voiceless
// consonants, buffer consonants after vowels, and k → ğ before a vowel.
// A word typed without Turkish letters (kitaplarimizdan) is matched by plain
// letters, and the analysis spells the lemma as the lexicon does.

#include <string>
#include <string_view>
#include <vector>

#include "morph/MorphData.h"

namespace lugatim::morph {

struct TMorpheme {
  std::string surface;  // as the word spells it: "ımız"
  std::string tag;      // "P1PL"
};

struct TAnalysis {
  std::string word;                  // the form analysed, small letters
  std::string lemma;                 // the lexicon's lemma: "kitap", "git"
  std::string rootPos;               // NOUN, VERB, ADJ, ADVERB, PRON, POSTP, CONJ, NUM, QUES, ...
  std::vector<TMorpheme> morphemes;  // the spelled suffixes, in order
  // Dictionary forms the word may be looked up under, most derived first,
  // ending with the lemma's own (a verb's infinitive: gitmek).
  std::vector<std::string> headwords;
  bool derived = false;       // a suffix derives a new word (-lık, -cı, -ma, ...)
  bool plainLetters = false;  // matched without Turkish letters

  // "kitap + lar + ımız + dan"
  std::string Text() const;
  // "kitap+NOUN+A3PL+P1PL+ABL"
  std::string Tags() const;
  // Derivation boundaries, zero derivations (copula, adjective as noun) too.
  size_t WordClassChanges() const;
};

class TTurkishAnalyser {
 public:
  explicit TTurkishAnalyser(const TMorphData& data);

  // The analyses of a word (any case; apostrophes ignored), best first:
  // fewest suffixes, then the longest root. Words typed without Turkish
  // letters are tried by plain letters when the letters as typed find
  // nothing. Empty without Turkish data or when nothing fits.
  std::vector<TAnalysis> Analyse(std::string_view word) const;

  // The infinitive of a verb lemma: gel → gelmek, anla → anlamak.
  static std::string Infinitive(std::string_view verbLemma);

 private:
  struct TWalk;
  void Roots(TWalk& walk) const;
  void Start(TWalk& walk, const TLemma& lemma, const std::u32string& surface, size_t consumed,
             bool narrowed) const;
  void Step(TWalk& walk, int state, size_t pos) const;
  void Record(TWalk& walk) const;

  const TMorphData& data_;
  int nominal_ = -1, compound_ = -1, adjective_ = -1, pureAdjective_ = -1, adverb_ = -1,
      verbal_ = -1, postp_ = -1, conjunction_ = -1, interjection_ = -1, question_ = -1,
      determiner_ = -1, cardinal_ = -1, ordinal_ = -1, duplicate_ = -1, proper_ = -1;
  std::vector<int> pronouns_;
};

}  // namespace lugatim::morph

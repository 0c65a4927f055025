#pragma once
// The compiled word-form data that the program and lugatim-lookup load from
// the dictionary folder (kMorphFile beside the tables), written by
// lugatim-import:
//
// - the Turkish morphotactics: states and their suffix transitions, each a
//   template over archiphonemes (A a/e, H ı/i/u/ü, D d/t, C c/ç; a leading
//   y, n, s or Ş is a buffer consonant), from turkish_finite_state_machine.xml;
// - the Turkish lexicon: lemmas with their part-of-speech and phonology
//   flags, from turkish_dictionary.txt, sorted, with a second index by
//   plain letters (kitaplarimizdan finds kitap);
// - WordNet's English exception lists ("went" → go);
// - the headwords of both tables with a frequency each, for suggestions.
//
// Every section may be missing: without the Turkish sources there is no
// Turkish analysis, and everything else works as before. The file is text,
// one record a line, read whole and searched in place: loading costs one
// read and one scan for line ends.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"

namespace lugatim::morph {

inline constexpr const char* kMorphFile = "Lugatim.morph";

class EMorphDataError : public base::Exception {
 public:
  using Exception::Exception;
};

// Lexicon flags the analyser uses (the source's own names in comments).
enum TLemmaFlag : uint32_t {
  lfNoun = 1u << 0,            // CL_ISIM
  lfVerb = 1u << 1,            // CL_FIIL
  lfAdjective = 1u << 2,       // IS_ADJ
  lfAdverb = 1u << 3,          // IS_ADVERB
  lfProper = 1u << 4,          // IS_OA
  lfPronoun = 1u << 5,         // IS_ZM
  lfConjunction = 1u << 6,     // IS_CONJ
  lfPostposition = 1u << 7,    // IS_POSTP
  lfInterjection = 1u << 8,    // IS_INTERJ
  lfQuestion = 1u << 9,        // IS_QUES
  lfDeterminer = 1u << 10,     // IS_DET
  lfNumber = 1u << 11,         // IS_SAYI
  lfOrdinal = 1u << 12,        // IS_ORD
  lfAbbreviation = 1u << 13,   // IS_KIS
  lfSoftens = 1u << 14,        // IS_SD, F_SD: kitap → kitabı, git → gidiyor
  lfDropsVowel = 1u << 15,     // IS_UD: burun → burnu
  lfFrontHarmony = 1u << 16,   // IS_UU: saat → saati
  lfDoubles = 1u << 17,        // IS_ST: hak → hakkı
  lfSoftensToG = 1u << 18,     // IS_KG: renk → rengi
  lfCompound = 1u << 19,       // IS_BILEŞ: adaçayı, written with its possessive
  lfRaisesVowel = 1u << 20,    // F_GUDO: ye → yiyecek
  lfDuplicate = 1u << 21,      // IS_DUP
  lfPureAdjective = 1u << 22,  // IS_PUREADJ
  lfNone = 1u << 23,           // CL_NONE: a word without endings (da, ki)
};

struct TTransition {
  uint16_t to = 0;
  std::string tag;          // "A3PL", "^DB+NOUN+NESS"
  std::string topos;        // part of speech after a derivation, or empty
  std::u32string form;      // the template; empty for "0"
  bool derivation = false;  // the tag holds a derivation boundary other than ZERO
};

struct TState {
  std::string name;
  bool end = false;
  std::vector<TTransition> transitions;
};

struct TLemma {
  std::string_view text;  // UTF-8, small letters
  uint32_t flags = 0;
  int verbState = -1;  // the verb's own start state, -1 for the general one
};

class TMorphData {
 public:
  TMorphData() = default;
  TMorphData(const TMorphData&) = delete;
  TMorphData& operator=(const TMorphData&) = delete;
  TMorphData(TMorphData&&) = default;
  TMorphData& operator=(TMorphData&&) = default;

  // Reads a compiled file; EMorphDataError naming the file when it cannot
  // be read or is not one.
  static TMorphData Load(const std::string& path);
  // The same from the file's text (tests).
  static TMorphData FromText(std::string text, const std::string& name = "morph data");

  bool HasTurkish() const { return !states_.empty() && !lexicon_.empty(); }
  const std::vector<TState>& States() const { return states_; }
  int StateIndex(std::string_view name) const;

  // Lemmas spelled text (small letters), or whose plain letters are text.
  std::vector<TLemma> Lemmas(std::string_view text) const;
  std::vector<TLemma> LemmasByPlainLetters(std::string_view plain) const;
  size_t LemmaCount() const { return lexicon_.size(); }

  // English exceptions: the bases of an irregular form ("went" → go).
  std::vector<std::string> EnglishBases(std::string_view form) const;

  // Headwords for suggestions with their frequency: English (en) or Turkish.
  struct TWord {
    std::string_view text;
    uint32_t frequency = 0;
  };
  const std::vector<TWord>& Words(bool english) const { return english ? wordsEn_ : wordsTr_; }
  // A headword's frequency in that list; 0 when it is not there.
  uint32_t Frequency(std::string_view word, bool english) const;

 private:
  TLemma LemmaAt(size_t line) const;
  std::string text_;
  std::vector<TState> states_;
  std::vector<uint32_t> lexicon_;  // offsets of lexicon lines, sorted by lemma
  std::vector<std::pair<std::string_view, uint32_t>> plain_;  // plain key → lexicon index
  std::vector<std::pair<std::string_view, std::string_view>> english_;  // form → base, sorted
  std::vector<TWord> wordsEn_, wordsTr_;
};

// The sources of a compiled file. Empty texts leave their section out.
struct TMorphSources {
  std::string turkishDictionary;  // turkish_dictionary.txt
  std::string turkishFsm;         // turkish_finite_state_machine.xml
  std::string fsmName = "turkish_finite_state_machine.xml";
  std::string dictionaryName = "turkish_dictionary.txt";
  // WordNet's irregular forms: form, base.
  std::vector<std::pair<std::string, std::string>> englishExceptions;
  // Headwords with frequencies.
  std::vector<std::pair<std::string, uint32_t>> englishWords, turkishWords;
};

// The compiled file's text; EMorphDataError naming the source file and line
// when a source is malformed.
std::string CompileMorphData(const TMorphSources& sources);

}  // namespace lugatim::morph

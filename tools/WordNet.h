#pragma once
// The parts of Princeton WordNet (Debian's wordnet-base, /usr/share/wordnet)
// the importer uses: which parts of speech an English word has and how often
// each was seen in the tagged corpus (cntlist.rev), its senses in order of
// frequency with their glosses' quoted examples, the verb example sentences
// (sents.vrb), and the irregular forms of the exception lists.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lugatim::tools {

enum class TPos { Noun = 0, Verb = 1, Adjective = 2, Adverb = 3 };
inline constexpr size_t kPosCount = 4;

// One irregular form of an exception list: "went" of "go".
struct TIrregular {
  std::string form;
  std::string base;
  TPos pos;
};

class TWordNet {
 public:
  TWordNet() = default;
  // Reads the database from dir; a missing file is an EImportError naming it.
  static TWordNet Load(const std::string& dir);

  // Whether the word (any case, blanks or underscores between words) is a
  // lemma of any part of speech.
  bool Knows(std::string_view word) const;

  // The lemma WordNet files the word under: the word itself when known, else
  // its base by the exception lists or the regular endings ("mice" → mouse,
  // "walked" → walk); empty when none is known.
  std::string BaseForm(std::string_view word) const;

  // The word's parts of speech, most frequent first (tagged-corpus counts,
  // then number of senses); empty when WordNet does not know it.
  std::vector<TPos> PartsOfSpeech(std::string_view word) const;

  // The parts of speech of an irregular form by the exception lists it is
  // in ("went": verb); empty for a word in none.
  std::vector<TPos> IrregularPartsOfSpeech(std::string_view word) const;

  // How often the word's senses were seen in the tagged corpus, all parts of
  // speech together; 0 for a word never seen or unknown.
  uint32_t Frequency(std::string_view word) const;

  // An example of the word's use: the first quoted part of a gloss, over
  // the senses of its base form in order of frequency (the most frequent
  // part of speech first), that uses the word as written ("children" finds
  // an example of "child" that says "children"); for a verb lemma without
  // one, its first example sentence; failing these, a quoted example of any
  // sense of any word that uses the word or a regular inflection of it
  // (quotes of sentence length first). Empty when there is none.
  std::string Example(std::string_view word) const;

  const std::vector<TIrregular>& Irregulars() const { return irregulars_; }

  // For tests: a database from its files' texts, keyed by file name
  // ("index.noun", "data.noun", "cntlist.rev", "verb.exc", …); missing
  // files count as empty.
  static TWordNet FromTexts(const std::unordered_map<std::string, std::string>& files);

 private:
  struct TLemma {
    std::array<uint32_t, kPosCount> count{};
    std::array<std::vector<uint32_t>, kPosCount> synsets;  // offsets, in sense order
    std::vector<uint32_t> sentences;                       // verb example sentence numbers
  };
  const TLemma* Find(std::string_view word) const;
  void Parse(const std::unordered_map<std::string, std::string>& files);

  std::unordered_map<std::string, TLemma> lemmas_;
  std::array<std::string, kPosCount> data_;  // data.* texts, addressed by byte offset
  std::unordered_map<uint32_t, std::string> sentences_;
  std::vector<std::string> quotes_;                                      // every quoted example
  std::unordered_map<std::string, std::vector<uint32_t>> quotesOfWord_;  // word → quotes
  std::string BorrowedQuote(const std::string& form) const;
  std::vector<TIrregular> irregulars_;
  std::unordered_map<std::string, std::vector<std::string>> exceptionBase_;
  std::unordered_map<std::string, std::vector<TPos>> exceptionPos_;
};

// Key of a word in WordNet: lower case, blanks as underscores.
std::string WordNetKey(std::string_view word);

}  // namespace lugatim::tools

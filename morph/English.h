#pragma once
// English base forms by WordNet's rules: an irregular form's bases from the
// exception lists ("went" → go, "mice" → mouse), then the regular endings
// detached in WordNet's order ("books" → book, "larger" → large).

#include <string>
#include <string_view>
#include <vector>

namespace lugatim::morph {

enum class TEnglishPos { Noun = 0, Verb = 1, Adjective = 2, Adverb = 3 };

// One base by a regular ending, with the parts of speech whose forms that
// ending makes (-s makes nouns and verbs, -er adjectives and adverbs).
struct TDetached {
  std::string base;
  std::string ending;  // "s", "es", "ing", ...
  TEnglishPos pos;
  TEnglishPos alsoPos;
};

// The bases a word may have by the regular endings, in WordNet's order; the
// caller keeps those its lexicon knows as one of the parts of speech.
std::vector<TDetached> DetachEndings(std::string_view lowerWord);

// English small letters (ASCII letters only change).
std::string EnglishSmall(std::string_view word);

}  // namespace lugatim::morph

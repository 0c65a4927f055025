#pragma once
// Searching a table as a person types: each typed character is appended to
// a search text and the table moves to the first entry whose field begins
// with it, case-insensitively under the table's language; when no entry
// does, the text is tried once more without marks (so "agac" finds "ağaç"),
// and an exact match always wins over that; when neither finds anything, a
// lemma finder, where one is set, may name the headword of the word's
// lemma (evde → ev). A character with which nothing is found is dropped. The text holds at most
// maxChars characters and starts afresh when more than resetMs have passed since the previous
// character.

#include <cstdint>
#include <functional>
#include <string>

#include "data/Table.h"

namespace lugatim::data {

// The headword of a word's lemma in a table of the given headword language,
// or empty: the word-form analysis, which this folder does not hold.
using TLemmaFinder = std::function<std::string(const std::string& word, base::TLanguage)>;

// The first entry whose field begins with text, case-insensitively, else
// the first without marks, else the entry of the headword lemmaOf names;
// false (the table unmoved) when none exists.
bool LocateTyped(TTable& table, const std::string& fieldName, const std::string& text,
                 const TLemmaFinder& lemmaOf = {});

class TTypedSearch {
 public:
  explicit TTypedSearch(int maxChars = 32, int64_t resetMs = 2000)
      : maxChars_(maxChars), resetMs_(resetMs) {}

  // Appends character (UTF-8, typed at nowMs on a monotonic clock) and
  // searches; returns whether it was found and so kept.
  bool Type(TTable& table, const std::string& fieldName, const std::string& character,
            int64_t nowMs);
  void Clear() { text_.clear(); }
  void SetLemmaFinder(TLemmaFinder finder) { lemmaOf_ = std::move(finder); }
  // The search text, UTF-8.
  const std::string& Text() const { return text_; }

 private:
  int maxChars_;
  int64_t resetMs_;
  std::string text_;
  TLemmaFinder lemmaOf_;
  int64_t lastMs_ = 0;
  bool typed_ = false;
};

// Characters (code points) in a UTF-8 text.
int CharacterCount(const std::string& utf8);

}  // namespace lugatim::data

#pragma once
// Suggestions for a word that finds nothing: headwords within two edits
// (a letter added, dropped, changed, or two neighbours swapped), nearest
// first, then the more frequent. Compared in small letters by the Turkish
// case pairs, so "dictonary" finds "dictionary" and "kitapp" "kitap".

#include <string>
#include <string_view>
#include <vector>

#include "morph/MorphData.h"

namespace lugatim::morph {

inline constexpr size_t kMaxSuggestions = 5;
inline constexpr int kMaxSuggestionDistance = 2;

// Edits from a to b, or limit + 1 when there are more than limit.
int EditDistance(std::u32string_view a, std::u32string_view b, int limit);

class TSuggester {
 public:
  // words must outlive the suggester.
  explicit TSuggester(const std::vector<TMorphData::TWord>& words);
  // Up to max headwords near word, best first; never the word itself.
  std::vector<std::string> Suggest(std::string_view word, size_t max = kMaxSuggestions) const;

 private:
  struct TEntry {
    std::u32string small;
    std::string_view text;
    uint32_t frequency;
  };
  std::vector<std::vector<TEntry>> byLength_;  // index: length in characters
};

}  // namespace lugatim::morph

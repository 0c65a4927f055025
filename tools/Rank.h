#pragma once
// The order of a Turkish headword's English glosses: how well each English
// word translates it. A gloss stands higher the earlier the Turkish word
// comes in the English entry (its first sense, first in the sense) and the
// more common the English word is (WordNet's tagged-corpus counts); equal
// scores keep English alphabetical order.

#include <cstdint>
#include <string>
#include <vector>

namespace lugatim::tools {

struct TGloss {
  std::string english;
  size_t sense = 0;        // 0-based index of the first sense that gives the Turkish word
  size_t position = 0;     // 0-based place of the Turkish word in that sense
  uint32_t frequency = 0;  // corpus count of the English word
  size_t order = 0;        // rank in English alphabetical order
};

// How well the gloss translates: higher is better.
double GlossScore(const TGloss& gloss);

// The glosses best first.
void RankGlosses(std::vector<TGloss>& glosses);

}  // namespace lugatim::tools

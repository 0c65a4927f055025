#pragma once
// The order of a Turkish headword's English glosses: how well each English
// word translates it. A gloss stands higher the earlier the Turkish word
// comes in the English entry (its first sense, first in the sense) and the
// more common the English word is (WordNet's tagged-corpus counts); equal
// scores keep English alphabetical order.
//
// A closed-class Turkish word (a pronoun, conjunction, postposition, question
// word or particle) is ranked by how directly each English entry translates
// it instead: WordNet counts no English function words, so corpus counts say
// nothing about "who" against "globulin".

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
  bool function = false;   // the English word is a function word itself
  bool labelled = false;   // its sense carries a subject or usage label, or is an affix's
};

// How well the gloss translates: higher is better.
double GlossScore(const TGloss& gloss);

// How directly the gloss translates a closed-class word: its place in the
// English entry, an English function word higher, a labelled sense ("(Lat.)
// ile", "(önek) ile") lower; the frequency does not count. Higher is better.
double ClosedClassScore(const TGloss& gloss);

// The glosses best first, by ClosedClassScore when closedClass, else by
// GlossScore.
void RankGlosses(std::vector<TGloss>& glosses, bool closedClass = false);

}  // namespace lugatim::tools

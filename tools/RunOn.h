#pragma once
// Entries the source ran into others, set apart, and headwords the scanner
// broke, mended.
//
// A run-on entry is an English word formed from the headword with its
// Turkish meaning, written inside another entry:
//   - in a meaning, marked by its stress ("… terk etmek abdica'tion  tacını
//     ve tahtını terk etme."), or written plainly between Turkish words
//     ("inanılmaz. incredibly inanılmaz şekilde"): from that word to the end
//     of the sense, or to the next such word or the next English word formed from
//     the headword; English phrases that use it there are its examples;
//   - as an "example" that is one such word and its translation
//     ("strategist strateji uzmanı" under "strategy").
// Each becomes an entry of its own (the word without the stress mark, its
// Turkish meaning), right after its parent, in order; the parent keeps the
// rest.
//
// A broken headword is one with lone letters beside other parts:
// "millenniu m" and "cap u chin" are mended when joining the pieces gives a
// word WordNet knows, "k , k" and "t -t" (a letter written twice) become the
// letter; other headwords of lone letters ("d a", "m m .") are dropped.

#include <string>
#include <vector>

#include "tools/DictdEntry.h"
#include "tools/Repair.h"

namespace lugatim::tools {

class TWordNet;

struct TRunOnCounts {
  size_t fromMeanings = 0;  // entries split out of meanings (stress-marked)
  size_t fromExamples = 0;  // entries split out of examples
  size_t mended = 0;        // headwords mended
  size_t dropped = 0;       // entries dropped for a broken headword
  std::vector<std::string> droppedHeadwords;
};

// The mended headword, or empty when it is broken beyond certain repair;
// a headword that is not broken comes back unchanged.
std::string MendHeadword(const std::string& headword, const TWordNet& wordnet);

// The entries with run-on entries split out and broken headwords mended or
// dropped. turkish tells Turkish words.
std::vector<TParsedEntry> SplitRunOns(std::vector<TParsedEntry> entries, const TWordNet& wordnet,
                                      const TWordTest& turkish, TRunOnCounts& counts);

}  // namespace lugatim::tools

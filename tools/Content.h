#pragma once
// The content of the two default tables beyond the plain mapping of the
// source: the English–Turkish entries cleaned (run-on entries set apart,
// broken headwords mended or dropped, scanning errors repaired), parts of
// speech in Kategori, WordNet examples where an entry has none, irregular
// forms as cross references, and the Turkish side's glosses ranked.

#include <map>
#include <string>
#include <vector>

#include "tools/DictdEntry.h"
#include "tools/ImportTypes.h"
#include "tools/PartOfSpeech.h"
#include "tools/Repair.h"
#include "tools/RunOn.h"

namespace lugatim::tools {

class TWordNet;

// What the clean-up did, for the import's summary.
struct TContentReport {
  std::map<std::string, TRepairKind> repairs;  // by confusion
  TRunOnCounts runOns;
  size_t irregulars = 0;       // entries added for irregular forms
  size_t wordnetExamples = 0;  // examples taken from WordNet
};

// The English–Turkish entries cleaned; turkish tells Turkish words.
std::vector<TParsedEntry> CleanEnglishTurkish(std::vector<TParsedEntry> entries,
                                              const TWordNet& wordnet, const TWordTest& turkish,
                                              TContentReport& report);

// Rows of the English-headword table from cleaned entries, with parts of
// speech, examples and the irregular forms; in English alphabetical order.
std::vector<TRow> EnglishTableRows(const std::vector<TParsedEntry>& cleaned,
                                   const TWordNet& wordnet, TContentReport& report);

// Rows of the Turkish-headword table: the Turkish–English entries merged
// with the ranked reverse of the cleaned English–Turkish ones, with parts
// of speech; in Turkish alphabetical order. With the lexicon's flags,
// closed-class words rank their glosses by directness (Rank.h).
std::vector<TRow> TurkishTableRows(const std::vector<TParsedEntry>& turkishEnglish,
                                   const std::vector<TParsedEntry>& cleaned,
                                   const TWordNet& wordnet, const TWordTest& turkish,
                                   const TWordFlags& turkishFlags = {});

// The text a cross reference to the headword shows after it: the first
// line of its meaning without the sense number ("gitmek, yürümek").
std::string FirstMeaning(const TRow& row);

}  // namespace lugatim::tools

#pragma once
// Where a word handed over from outside (`lugatim WORD`, --selection) is
// found: in the active table as given, without marks, or by its lemma; else
// the same in the other table, which then becomes the active one. What was
// found is told beside the entry: the analysis, a lemma the dictionary
// lacks, or suggestions.

#include <QString>
#include <string>
#include <vector>

#include "data/Table.h"
#include "morph/WordFinder.h"

namespace lugatim::app {

struct THandedWord {
  bool found = false;
  bool otherTable = false;               // found only in the other table
  std::string headword;                  // the table's spelling, for the search box
  morph::TFound how;                     // how it was found, or why not
  std::vector<std::string> suggestions;  // when found nowhere
};

THandedWord FindHandedWord(const std::string& word, const data::TTable& active,
                           const data::TTable& other, morph::TWordForms& forms);

// The note on the word box, in the interface language; empty when the word
// was found as given.
QString HandOverNote(const std::string& word, const THandedWord& result, bool turkishInterface);

// The headword of a word's lemma in the table, or empty: for the lookup
// box's typed search.
std::string LemmaHeadword(const std::string& word, const data::TTable& table,
                          morph::TWordForms& forms);

}  // namespace lugatim::app

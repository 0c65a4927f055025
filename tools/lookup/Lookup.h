#pragma once
// lugatim-lookup: the dictionary entries of a word, for a terminal or a
// script, read from the same tables, through the same alias and with the
// same comparison as the window (Turkish-aware, without regard to case).
//
//   lugatim-lookup [--en|--tr] [--exact] [--json] WORD...
//
// Each table is asked for the word as given, then without marks (agac →
// ağaç), then for its lemma (kitaplarımızdan → kitap, larger → large), and
// then for the headwords that begin with it. A word found nowhere gets up
// to five suggestions (dictonary → dictionary).
//
// Exit status: 0 found, 1 nothing found, 2 wrong usage, a word that is not
// UTF-8, no table to read, or output that cannot be written.

#include <ostream>
#include <string>
#include <vector>

#include "morph/WordFinder.h"

namespace lugatim::tools {

inline constexpr int kMaxBeginningWith = 10;

struct TLookupEntry {
  std::string headword;
  std::string category;
  std::string affix;                 // prefix / suffix
  std::vector<std::string> meaning;  // one line each
  std::vector<std::string> example;
  bool exact = false;    // the headword is the word, not only begins with it
  std::string form;      // analysed entries: the word as given
  std::string analysis;  // analysed entries: "kitap + lar + ımız + dan"
};

struct TLookupTable {
  std::string file;       // "Sozluk1.DB"
  std::string direction;  // "en-tr" or "tr-en"
  std::vector<TLookupEntry> entries;
  std::string notInDictionary;  // a lemma the analysis found but the table lacks
  std::string notInAnalysis;    // its analysis
};

// The entries of one table for the word (as given, else without marks,
// else by its lemma through forms, which may be null), then up to
// kMaxBeginningWith more that begin with it (none with exactOnly). Throws
// data::EDatabaseError when the table cannot be read.
TLookupTable LookUpIn(const std::string& file, const std::string& word, bool exactOnly,
                      morph::TWordForms* forms = nullptr);

void PrintText(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables,
               bool styled);
void PrintJson(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables,
               const std::vector<std::string>& suggestions = {});

// The whole tool; styled: bold headwords for a terminal.
int RunLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool styled);

}  // namespace lugatim::tools

#pragma once
// lugatim-lookup: the dictionary entries of a word, for a terminal or a
// script, read from the same tables, through the same alias and with the
// same comparison as the window (Turkish-aware, without regard to case).
//
//   lugatim-lookup [--en|--tr] [--exact] [--json] WORD...
//
// Exit status: 0 found, 1 nothing found, 2 wrong usage or no table to read.

#include <ostream>
#include <string>
#include <vector>

namespace lugatim::tools {

inline constexpr int kMaxBeginningWith = 10;

struct TLookupEntry {
  std::string headword;
  std::string category;
  std::string affix;                 // prefix / suffix
  std::vector<std::string> meaning;  // one line each
  std::vector<std::string> example;
  bool exact = false;  // the headword is the word, not only begins with it
};

struct TLookupTable {
  std::string file;       // "Sozluk1.DB"
  std::string direction;  // "en-tr" or "tr-en"
  std::vector<TLookupEntry> entries;
};

// The entries of one table whose headword is the word, then up to
// kMaxBeginningWith more that begin with it (none with exactOnly). Throws
// data::EDatabaseError when the table cannot be read.
TLookupTable LookUpIn(const std::string& file, const std::string& word, bool exactOnly);

void PrintText(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables,
               bool styled);
void PrintJson(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables);

// The whole tool; styled: bold headwords for a terminal.
int RunLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool styled);

}  // namespace lugatim::tools

#pragma once
// One dictd entry of the FreeDict English–Turkish kind, parsed into senses,
// and its mapping onto a table row.
//
// The entry text is a header line "headword /pronunciation/" (optionally
// followed by "<grammar>") and then one line per sense, "1. …", "2. …", or a
// single unnumbered line. A sense may begin with labels such as "(müz.)" and
// may continue, after ": " or ". ", with usage examples. The mapping:
//
//   Kelime     the headword as the header line shows it ("aaron(s.) rod",
//              "Afrika"), not the index's normalised key.
//   Kategori   the header's <grammar>, then every distinct subject or usage
//              label of the senses in order of appearance, canonically
//              spelled ("müz., A.B.D."); "(önek)", "(sonek)" and the cross
//              reference "(bak.)" are not categories. At most 255 characters:
//              labels that do not fit are left out.
//   OnekSonek  the affix kind when the headword ends in "-" or a sense is
//              labelled "(önek)" (prefix), or it starts with "-" or a sense is
//              labelled "(sonek)" (suffix): "önek"/"sonek" for English
//              headwords, whose readers speak Turkish, and "prefix"/"suffix"
//              for Turkish headwords; both kinds joined by ", ".
//   Anlami     one line per sense, its number kept ("3. (müz.) la notası"),
//              labels left in place so that each stays with the sense it
//              qualifies, blanks collapsed; the examples cut off. The
//              pronunciation follows as the last line, because the meaning
//              memo shows about one line and that line belongs to the first
//              sense, while a learner still finds the pronunciation there.
//   Ornek      for each sense with examples one line, the sense's number and
//              the examples as the source writes them ("3. twice a year
//              senede iki defa, …").
//
// An example is recognised by the headword: the part of a sense after ": "
// or ". " (outside parentheses) whose words use the headword, or an inflected
// form of it ("taken aback", "most favored nation"; for a prefix any word
// beginning with it, for a suffix any word ending in it), starts the
// examples, and everything after it belongs to them. The source also uses
// ": " between plain meanings ("eşek, merkep: ahmak"), which stay meanings.

#include <string>
#include <string_view>
#include <vector>

#include "tools/ImportTypes.h"

namespace lugatim::tools {

struct TSense {
  std::string number;                // "3", or empty for an unnumbered sense
  std::string meaning;               // the sense without its number and examples
  std::string example;               // usage examples, or empty
  std::vector<std::string> labels;   // canonical labels found in the meaning
  std::vector<std::string> leading;  // the labels the meaning starts with
};

struct TParsedEntry {
  std::string headword;
  std::string pronunciation;  // "/…/" or empty
  std::string grammar;        // text of a trailing "<…>" of the header, or empty
  std::vector<TSense> senses;
  bool prefix = false;
  bool suffix = false;
};

// Parses one entry's text; indexKey stands in for a header without a headword.
TParsedEntry ParseDictdEntry(std::string_view text, std::string_view indexKey);

// Whether the words of text use the entry's headword (see above).
bool UsesHeadword(std::string_view text, const TParsedEntry& entry);

// The row of an entry; headwordLang chooses the affix words.
TRow MapEntry(const TParsedEntry& entry, TLang headwordLang);

// The canonical labels joined by ", ", skipping duplicates, leaving out what
// does not fit into 255 characters.
std::string JoinLabels(const std::vector<std::string>& labels);

}  // namespace lugatim::tools

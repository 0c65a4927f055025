#pragma once
// What every stage of the importer hands to the next: one table row without
// its sequence number (the writer numbers rows 1..n in the order it gets
// them), and the one exception type the importer raises.

#include <string>

#include "base/Exception.h"

namespace lugatim::tools {

// A failure of an import: the message names the file and, where there is
// one, the line ("words.tsv:7: more than five fields").
class EImportError : public base::Exception {
 public:
  using Exception::Exception;
};

// One dictionary entry in the six-field layout; SiraNo is its position.
struct TRow {
  std::string kelime;     // headword
  std::string kategori;   // labels and part of speech, ", "-separated
  std::string onekSonek;  // affix kind of the headword, or empty
  std::string anlami;     // meaning, one sense per line
  std::string ornek;      // usage examples, one line per sense that has any
  friend bool operator==(const TRow&, const TRow&) = default;
};

// Language of a table's headwords: it chooses the alphabetical order and the
// words the affix field uses.
enum class TLang { English, Turkish };

}  // namespace lugatim::tools

#pragma once
// Repair of the scanning errors of the source text: letters the scanner
// confused ("Iahana" for lahana, "Tann" for Tanrı, "tartlşma" for
// tartışma). A word is changed only when all of these hold:
//
//   - it is not a Turkish word (the Turkish word list does not know it) and
//     not an English one (WordNet does not know it);
//   - exactly one of its candidates is a Turkish word: a candidate undoes one
//     known confusion at one place, or the same confusion at every place
//     (the word list spells without circumflexes, so "âlâ" counts as ala);
//   - its context is Turkish: it has a letter only Turkish uses ("öIdürmek"),
//     or, in a Turkish field, no neighbouring word is English only, or, in
//     a mixed field (examples), a neighbour is Turkish only;
//   - it is not a name: a capitalised word is changed only at its first
//     letter ("Iahana") or when every neighbour is a Turkish word;
//   - it is not the source's own spelling: a word seen three times or more,
//     and more often than its candidate, stays;
//   - a confusion of a letter with its Turkish form (s/ş, c/ç, g/ğ, o/ö,
//     u/ü) is undone only in a word of ASCII letters ("arkadas"), since a
//     word already written with Turkish letters was not typed without them;
//     an i for ı only in a small word that has Turkish letters ("çalişmak").
//
// Words in capitals (abbreviations), words of fewer than four letters (case
// endings such as "dan") unless a capital I or a 1 stands inside them, and words inside parentheses
// (labels such as
// "(mec.)", Latin names) are left alone.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lugatim::tools {

using TWordTest = std::function<bool(std::string_view)>;

struct TRepairKind {
  size_t count = 0;
  std::vector<std::string> samples;  // "Iahana → lahana", the first few
};

class TRepairer {
 public:
  TRepairer(TWordTest turkish, TWordTest english);

  // Counts the words of a text of the same source: a word the source writes
  // often and more often than its candidate is its own spelling ("saklı",
  // which the word list lacks), not a scanning error.
  void Learn(std::string_view text);

  // The text with its scanning errors repaired; turkishField says whether
  // the text is Turkish as a whole (a meaning) or mixed (examples).
  std::string Repair(std::string_view text, bool turkishField);

  // Repairs made so far, by confusion ("I→l", "n→rı", …).
  const std::map<std::string, TRepairKind>& Kinds() const { return kinds_; }

 private:
  std::string Candidate(std::string_view word, bool& isCapital, std::string& kind) const;
  bool TurkishOnly(std::string_view w) const;
  bool EnglishOnly(std::string_view w) const;

  TWordTest turkish_, english_;
  std::map<std::string, TRepairKind> kinds_;
  std::unordered_map<std::string, size_t> seen_;  // words of the source, by count
};

}  // namespace lugatim::tools

#include "tools/Content.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "tools/Collation.h"
#include "tools/Labels.h"
#include "tools/PartOfSpeech.h"
#include "tools/Reverse.h"
#include "tools/Text.h"
#include "tools/WordNet.h"

namespace lugatim::tools {

namespace {

std::vector<std::string> SplitLabels(const std::string& joined) {
  std::vector<std::string> out;
  for (const std::string& l : SplitOutsideParens(joined, ", "))
    if (!l.empty()) out.push_back(l);
  return out;
}

// Parts of speech first, then the labels the row has.
void AddPartsOfSpeech(TRow& row, const std::vector<std::string>& pos) {
  if (pos.empty()) return;
  std::vector<std::string> labels = pos;
  for (std::string& l : SplitLabels(row.kategori)) labels.push_back(std::move(l));
  row.kategori = JoinLabels(labels);
}

std::string StripNumber(std::string_view line) {
  size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits > 0 && line.substr(digits).starts_with(". ")) line.remove_prefix(digits + 2);
  return std::string(Trim(line));
}

// The English glosses of a Turkish-headword row, in order.
std::vector<std::string> Glosses(const TRow& row) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < row.anlami.size()) {
    size_t end = row.anlami.find('\n', pos);
    if (end == std::string::npos) end = row.anlami.size();
    const std::string line = StripNumber(std::string_view(row.anlami).substr(pos, end - pos));
    pos = end + 1;
    if (line.starts_with('/')) continue;  // the pronunciation
    size_t rest = 0;
    LeadingLabels(line, &rest);
    for (const std::string& part : SplitOutsideParens(line.substr(rest), ", ")) {
      std::string_view p = Trim(part);
      while (!p.empty() && std::string_view(".;:").find(p.back()) != std::string_view::npos)
        p.remove_suffix(1);
      if (!p.empty()) out.emplace_back(p);
    }
  }
  return out;
}

// A sense that only refers to another headword: "(bak.) go."
std::string CrossReference(const TParsedEntry& e) {
  if (e.senses.size() != 1) return {};
  std::string_view m = Trim(e.senses.front().meaning);
  if (!m.starts_with("(bak.) ")) return {};
  m = Trim(m.substr(7));
  if (m.ends_with('.')) m.remove_suffix(1);
  if (m.empty() || m.find_first_of(",;:()") != std::string_view::npos) return {};
  return std::string(m);
}

// A word of English: WordNet knows it or it is a function word.
bool EnglishWord(const TWordNet& wordnet, std::string_view w) {
  if (wordnet.Knows(w)) return true;
  std::string lower(w);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return IsEnglishFunctionWord(lower);
}

// Entries a learner wants last among those of the same headword:
// affixes, and entries whose first sense is labelled an abbreviation, an
// archaic or a dialect word (a later archaic sense leaves the entry as it is).
bool MinorEntry(const TRow& row) {
  if (!row.onekSonek.empty()) return true;
  const std::string first =
      StripNumber(std::string_view(row.anlami).substr(0, row.anlami.find('\n')));
  for (const std::string& l : LeadingLabels(first))
    if (l == kLabelAbbreviation || l == "eski" || l == "İskoç." || l == "leh.") return true;
  return false;
}

// Of entries with the same headword (adjacent once sorted), the one of the
// word's most frequent part of speech first, minor entries last; the rest
// keep the source's order. The search shows the first of them.
void OrderHomonyms(std::vector<TRow>& rows, const TWordNet& wordnet) {
  for (size_t begin = 0; begin < rows.size();) {
    size_t end = begin + 1;
    while (end < rows.size() && rows[end].kelime == rows[begin].kelime) ++end;
    if (end - begin > 1) {
      const std::vector<std::string> order = EnglishPartsOfSpeech(rows[begin].kelime, "", wordnet);
      const auto rank = [&](const TRow& r) {
        const std::vector<std::string> labels = SplitLabels(r.kategori);
        const size_t pos =
            labels.empty() ? order.size()
                           : static_cast<size_t>(std::find(order.begin(), order.end(), labels[0]) -
                                                 order.begin());
        return std::pair{MinorEntry(r), pos};
      };
      std::stable_sort(rows.begin() + static_cast<long>(begin),
                       rows.begin() + static_cast<long>(end),
                       [&](const TRow& a, const TRow& b) { return rank(a) < rank(b); });
    }
    begin = end;
  }
}

}  // namespace

std::string FirstMeaning(const TRow& row) {
  const std::string line = row.anlami.substr(0, row.anlami.find('\n'));
  if (line.starts_with('/')) return {};
  return StripNumber(line);
}

std::vector<TParsedEntry> CleanEnglishTurkish(std::vector<TParsedEntry> entries,
                                              const TWordNet& wordnet, const TWordTest& turkish,
                                              TContentReport& report) {
  std::vector<TParsedEntry> split =
      SplitRunOns(std::move(entries), wordnet, turkish, report.runOns);
  TRepairer repairer(turkish, [&](std::string_view w) { return EnglishWord(wordnet, w); });
  for (const TParsedEntry& e : split) {
    for (const TSense& s : e.senses) {
      repairer.Learn(s.meaning);
      repairer.Learn(s.example);
    }
  }
  for (TParsedEntry& e : split) {
    for (TSense& s : e.senses) {
      s.meaning = repairer.Repair(s.meaning, true);
      if (!s.example.empty()) s.example = repairer.Repair(s.example, false);
    }
  }
  report.repairs = repairer.Kinds();
  return split;
}

std::vector<TRow> EnglishTableRows(const std::vector<TParsedEntry>& cleaned,
                                   const TWordNet& wordnet, TContentReport& report) {
  std::vector<TRow> rows;
  rows.reserve(cleaned.size() + cleaned.size() / 8);
  std::unordered_map<std::string, size_t> firstRow;  // lower-case headword → row
  for (const TParsedEntry& e : cleaned) {
    TRow row = MapEntry(e, TLang::English);
    const bool affix = e.prefix || e.suffix;
    if (!affix) {
      const std::string first = e.senses.empty() ? std::string() : e.senses.front().meaning;
      AddPartsOfSpeech(row, EnglishPartsOfSpeech(e.headword, first, wordnet));
      if (row.ornek.empty()) {
        row.ornek = wordnet.Example(e.headword);
        if (!row.ornek.empty()) ++report.wordnetExamples;
      }
    }
    firstRow.emplace(WordNetKey(e.headword), rows.size());
    rows.push_back(std::move(row));
  }
  // A cross reference shows the first meaning of what it refers to.
  for (size_t i = 0; i < cleaned.size(); ++i) {
    const std::string target = CrossReference(cleaned[i]);
    const auto it = target.empty() ? firstRow.end() : firstRow.find(WordNetKey(target));
    if (it == firstRow.end() || it->second == i) continue;
    const std::string meaning = FirstMeaning(rows[it->second]);
    if (meaning.empty() || meaning.starts_with("(bak.)")) continue;
    std::string& anlami = rows[i].anlami;
    const size_t eol = std::min(anlami.find('\n'), anlami.size());
    std::string line = anlami.substr(0, eol);
    if (line.ends_with('.')) line.pop_back();
    anlami = line + ": " + meaning + anlami.substr(eol);
  }
  // Irregular forms without an entry of their own point at their base.
  std::set<std::string> added;
  for (const TIrregular& irr : wordnet.Irregulars()) {
    std::string form = irr.form, base = irr.base;
    std::replace(form.begin(), form.end(), '_', ' ');
    std::replace(base.begin(), base.end(), '_', ' ');
    if (firstRow.contains(WordNetKey(form)) || !added.insert(form).second) continue;
    const auto it = firstRow.find(WordNetKey(base));
    if (it == firstRow.end()) continue;
    static constexpr const char* kPos[] = {"i.", "f.", "s.", "zf."};
    const std::string pos = kPos[static_cast<size_t>(irr.pos)];
    // Of duplicate headwords, the one of the form's part of speech ("mice":
    // the noun "mouse", not the verb).
    size_t target = it->second;
    for (size_t j = target; j < rows.size() && WordNetKey(rows[j].kelime) == it->first; ++j) {
      if (rows[j].kategori.starts_with(pos)) {
        target = j;
        break;
      }
    }
    const std::string meaning = FirstMeaning(rows[target]);
    TRow row;
    row.kelime = form;
    row.kategori = pos;
    row.anlami = "(bak.) " + base + (meaning.empty() ? std::string() : ": " + meaning);
    // An example of the form itself, else the one its base shows.
    row.ornek = wordnet.Example(form);
    if (!row.ornek.empty())
      ++report.wordnetExamples;
    else
      row.ornek = StripNumber(rows[target].ornek.substr(0, rows[target].ornek.find('\n')));
    rows.push_back(std::move(row));
    ++report.irregulars;
  }
  SortRows(rows, TLang::English);
  OrderHomonyms(rows, wordnet);
  return rows;
}

std::vector<TRow> TurkishTableRows(const std::vector<TParsedEntry>& turkishEnglish,
                                   const std::vector<TParsedEntry>& cleaned,
                                   const TWordNet& wordnet, const TWordTest& turkish,
                                   const TWordFlags& turkishFlags) {
  TReverseLexicon lexicon;
  if (turkishFlags)
    lexicon.closedClass = [&](std::string_view w) { return IsTurkishClosedClass(turkishFlags(w)); };
  lexicon.frequency = [&](std::string_view w) { return wordnet.Frequency(w); };
  lexicon.turkish = turkish;
  lexicon.english = [&](std::string_view w) { return EnglishWord(wordnet, w); };
  std::vector<TRow> rows = MergeTurkishTable(turkishEnglish, BuildReverse(cleaned, lexicon));
  for (TRow& row : rows) {
    // The English source's parts of speech ("zam.", "bağlaç") are not the
    // Turkish word's, and this table's readers read English labels.
    std::vector<std::string> labels = SplitLabels(row.kategori);
    std::erase_if(labels, [](const std::string& l) { return IsTurkishPartOfSpeechLabel(l); });
    row.kategori = JoinLabels(labels);
    const std::string pos = TurkishPartOfSpeech(row.kelime, Glosses(row), wordnet, turkishFlags);
    if (!pos.empty()) AddPartsOfSpeech(row, {pos});
  }
  SortRows(rows, TLang::Turkish);
  return rows;
}

}  // namespace lugatim::tools

#include "tools/Reverse.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "base/TextFold.h"
#include "tools/Collation.h"
#include "tools/Labels.h"
#include "tools/PartOfSpeech.h"
#include "tools/Rank.h"
#include "tools/Text.h"

namespace lugatim::tools {

namespace {

constexpr size_t kMaxWords = 3;
constexpr size_t kMaxChars = 40;

std::vector<std::string> SplitParts(std::string_view text) {
  std::vector<std::string> parts{std::string(text)};
  for (const char* sep : {", ", "; ", ": ", ". "}) {
    std::vector<std::string> next;
    for (const std::string& p : parts)
      for (std::string& q : SplitOutsideParens(p, sep)) next.push_back(std::move(q));
    parts = std::move(next);
  }
  return parts;
}

bool IsLatinNameLabel(const std::string& label) {
  return label == "bot." || label == "zool." || label == "biyol.";
}

bool IsPartOfSpeechLabel(const std::string& label) {
  return label == "zam." || label == "edat" || label == "bağlaç" || label == "ünlem";
}

// A label abbreviation written without parentheses: "kim" for "kim.".
bool IsBareLabel(std::string_view word) {
  if (word.empty() || word.find_first_of(" ,()") != std::string_view::npos) return false;
  const std::optional<std::string> label = CanonicalLabel(word);
  return label && label->ends_with('.');
}

// The meaning after labels written without parentheses, each an
// abbreviation with its full stop followed by more text: "kim. globulin"
// gives "globulin", "kim." stays (then it is the word itself). With
// example, a label ending the meaning qualifies the example that follows
// ("kim. globulin" where "globulin" is the headword's example) and the
// meaning gives nothing.
std::string_view AfterBareLabels(std::string_view text, bool example) {
  for (;;) {
    std::string_view t = text;
    while (!t.empty() && (t.front() == ',' || t.front() == ' ')) t.remove_prefix(1);
    std::string_view last = Trim(t);
    if (last.ends_with('.')) last.remove_suffix(1);
    if (example && IsBareLabel(last)) return {};
    const size_t stop = t.find(". ");
    if (stop == std::string_view::npos || !IsBareLabel(t.substr(0, stop))) return text;
    text = t.substr(stop + 2);
  }
}

// Whether a word of the part looks like a form of an English headword word:
// equal to it, or sharing its first max(4, length - 2) letters.
bool UsesEnglish(const std::vector<std::string>& words, const TParsedEntry& entry) {
  const std::vector<std::string> head = Words(entry.headword);
  for (const std::string& w : words) {
    for (const std::string& h : head) {
      if (w == h) return true;
      const size_t need = std::max<size_t>(4, h.size() >= 2 ? h.size() - 2 : 0);
      if (h.size() >= need && w.size() >= need && w.compare(0, need, h, 0, need) == 0) return true;
    }
  }
  return false;
}

// Whether the text starts with a letter: ASCII, Latin-1 and Latin Extended
// letters, or any script above them short of the punctuation and symbols.
bool StartsWithLetter(std::string_view text) {
  size_t pos = 0;
  const char32_t c = base::NextCodePoint(text, pos);
  if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
  if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
  return c >= 0x370 && !(c >= 0x2000 && c <= 0x2BFF) && c != 0xFFFD;
}

bool HasForbiddenChar(std::string_view part) {
  for (char c : part) {
    if (c >= '0' && c <= '9') return true;
    if (std::string_view("\"/\\=+*&[]{}<>|#@$%~_^`!?").find(c) != std::string_view::npos)
      return true;
  }
  return part.find("..") != std::string_view::npos;
}

// The cleaned equivalent of one part, or empty when the part is none.
std::string CleanPart(std::string_view part, const TParsedEntry& entry) {
  std::string_view p = Trim(part);
  while (!p.empty() && (p.front() == '.' || p.front() == ',')) p = Trim(p.substr(1));
  // Labels at the start of the part, in the middle of the sense.
  while (p.starts_with('(')) {
    const size_t close = p.find_first_of("()", 1);
    if (close == std::string_view::npos || p[close] != ')') return {};
    if (auto label = CanonicalLabel(p.substr(1, close - 1))) {
      if (*label == kLabelSeeAlso || *label == kLabelAbbreviation || IsLatinNameLabel(*label))
        return {};
    } else if (close + 1 < p.size() && p[close + 1] != ' ') {
      return {};  // "(kıs.)a": a word mangled around parentheses
    }
    p = Trim(p.substr(close + 1));
  }
  for (bool changed = true; changed && !p.empty();) {
    changed = false;
    while (!p.empty() && std::string_view(".,;: ").find(p.back()) != std::string_view::npos) {
      p.remove_suffix(1);
      changed = true;
    }
    if (p.ends_with(')')) {
      const size_t open = p.rfind('(');
      if (open != std::string_view::npos && open > 0 && p[open - 1] == ' ') {
        p = Trim(p.substr(0, open));
        changed = true;
      }
    }
  }
  if (p.empty() || !StartsWithLetter(p) || p.find_first_of("()") != std::string_view::npos ||
      HasForbiddenChar(p) || !IsValidUtf8(p))
    return {};
  const std::string text = CollapseSpaces(p);
  if (CharCount(text) > kMaxChars) return {};
  if (static_cast<size_t>(std::count(text.begin(), text.end(), ' ')) + 1 > kMaxWords) return {};
  const std::vector<std::string> words = Words(text);
  if (words.empty()) return {};
  // Abbreviations written without parentheses ("A.B.D benzin", "ABD"), and
  // case endings cut from their word ("a sarılmak"), are no equivalents.
  const std::string_view first = std::string_view(text).substr(0, text.find(' '));
  if (text.find('.') != std::string::npos || text.find("- ") != std::string::npos ||
      text.back() == '-')
    return {};
  if (std::all_of(first.begin(), first.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
    return {};
  if (first.size() == 1 && first != "o" && text.size() > 1) return {};
  // A part of several words that uses the English headword is an example
  // ("uselessly faydasızca"); a single word like it is a name or a loan
  // ("Afrika" for "Africa").
  if (words.size() >= 2 && UsesEnglish(words, entry)) return {};
  return text;
}

}  // namespace

namespace {

bool IsCapitalStart(std::string_view w) {
  size_t pos = 0;
  const char32_t c = base::NextCodePoint(w, pos);
  return (c >= 'A' && c <= 'Z') || c == U'Ç' || c == U'Ğ' || c == U'İ' || c == U'Ö' || c == U'Ş' ||
         c == U'Ü';
}

// The word with its first letter small, the Turkish way.
std::string SmallFirst(std::string_view w) {
  size_t pos = 0;
  base::NextCodePoint(w, pos);
  return TurkishLower(w.substr(0, pos)) + std::string(w.substr(pos));
}

bool OnlyEnglish(std::string_view w, const TReverseLexicon& lex) {
  return lex.english(w) && !lex.turkish(w) && !lex.turkish(SmallFirst(w));
}

// The Turkish headwords an equivalent gives, checked against the lexicon.
std::vector<std::string> CheckedHeadwords(const std::string& part, const TReverseLexicon& lex) {
  if (!lex.turkish || !lex.english) return {part};
  const std::vector<std::string> words = SplitOutsideParens(part, " ");
  for (const std::string& w : words)
    if (OnlyEnglish(w, lex)) return {};
  bool anyTurkish = false;
  for (const std::string& w : words) anyTurkish = anyTurkish || lex.turkish(w);
  const std::string& first = words.front();
  if (words.size() >= 2 && CharCount(first) <= 3 && !lex.turkish(first)) return {};
  // A case ending on its own ("dan" for -dan) is no headword.
  static const std::set<std::string, std::less<>> kEndings = {
      "dan", "den", "tan", "ten", "ndan", "nden", "nın", "nin", "nun", "nün", "ın",
      "un",  "ün",  "yı",  "yu",  "yü",   "yla",  "yle", "dır", "dir", "dur", "dür"};
  if (words.size() == 1 && kEndings.contains(TurkishLower(first))) return {};
  if (!anyTurkish && part.find_first_of("qwxQWX'") != std::string::npos) return {};
  // A capital that only starts the sentence.
  if (IsCapitalStart(part) && lex.turkish(SmallFirst(first))) return {SmallFirst(part)};
  return {part};
}

// A part whose capitalised words are all Turkish words when written small,
// cut before each of them: "Merhaba Günaydın Hoş geldiniz" → "Merhaba",
// "Günaydın", "Hoş geldiniz"; "Güney Afrika" stays (a name).
std::vector<std::string> SplitCapitalRun(const std::string& part, const TReverseLexicon& lex) {
  if (!lex.turkish || part.find('(') != std::string::npos) return {part};
  const std::vector<std::string> words = SplitOutsideParens(Trim(part), " ");
  size_t capitals = 0;
  for (const std::string& w : words) {
    if (!IsCapitalStart(w)) continue;
    std::string_view bare = w;
    while (!bare.empty() && std::string_view(".,;:").find(bare.back()) != std::string_view::npos)
      bare.remove_suffix(1);
    if (!lex.turkish(SmallFirst(bare))) return {part};
    ++capitals;
  }
  if (capitals < 2) return {part};
  std::vector<std::string> out;
  for (const std::string& w : words) {
    if (out.empty() || IsCapitalStart(w))
      out.push_back(w);
    else
      out.back() += " " + w;
  }
  return out;
}

}  // namespace

std::vector<std::string> TurkishEquivalents(const TSense& sense, const TParsedEntry& entry,
                                            const TReverseLexicon* lexicon) {
  std::vector<std::string> out;
  for (const std::string& label : sense.leading)
    if (label == kLabelSeeAlso || label == kLabelAbbreviation) return out;
  if (lexicon && lexicon->closedClass) {
    for (size_t i = 1; i < sense.leading.size(); ++i) {
      if (!IsPartOfSpeechLabel(sense.leading[i - 1])) continue;
      std::string word = TurkishLower(sense.leading[i]);
      if (word.ends_with('.')) word.pop_back();
      if (lexicon->closedClass(word) && std::find(out.begin(), out.end(), word) == out.end())
        out.push_back(std::move(word));
    }
  }
  size_t rest = 0;
  LeadingLabels(sense.meaning, &rest);
  for (const std::string& part : SplitParts(
           AfterBareLabels(std::string_view(sense.meaning).substr(rest), !sense.example.empty()))) {
    for (const std::string& piece :
         lexicon ? SplitCapitalRun(part, *lexicon) : std::vector<std::string>{part}) {
      std::string clean = CleanPart(piece, entry);
      if (!clean.empty() && std::find(out.begin(), out.end(), clean) == out.end())
        out.push_back(std::move(clean));
    }
  }
  return out;
}

std::vector<TReverseEntry> BuildReverse(const std::vector<TParsedEntry>& englishTurkish,
                                        const TReverseLexicon& lexicon) {
  // English headwords are ranked once, so that each list sorts by rank.
  std::vector<std::string> english;
  english.reserve(englishTurkish.size());
  for (const TParsedEntry& e : englishTurkish) english.push_back(e.headword);
  std::vector<size_t> rankOf(english.size());
  {
    const std::vector<size_t> order = CollationOrder(english, TLang::English);
    for (size_t r = 0; r < order.size(); ++r) rankOf[order[r]] = r;
  }

  struct Place {
    size_t sense, position;
    bool labelled;
  };
  struct Gather {
    std::map<std::string, int> forms;
    std::map<size_t, Place> english;  // by rank: the best place of the word
    std::vector<std::string> labels;
    bool any = false;
  };
  std::map<std::string, Gather> byKey;
  for (size_t i = 0; i < englishTurkish.size(); ++i) {
    const TParsedEntry& entry = englishTurkish[i];
    const std::string_view head = entry.headword;
    if (CharCount(head) == 1 && head != "a" && head != "i" && head != "I") continue;
    for (size_t s = 0; s < entry.senses.size(); ++s) {
      const TSense& sense = entry.senses[s];
      std::vector<std::string> labels;
      bool labelled = entry.prefix || entry.suffix;
      for (const std::string& l : sense.labels) {
        if (l != kLabelPrefix && l != kLabelSuffix && l != kLabelSeeAlso) labels.push_back(l);
        labelled = labelled || !IsPartOfSpeechLabel(l);
      }
      size_t position = 0;
      for (const std::string& part : TurkishEquivalents(sense, entry, &lexicon)) {
        for (const std::string& turkish : CheckedHeadwords(part, lexicon)) {
          Gather& g = byKey[TurkishLower(turkish)];
          ++g.forms[turkish];
          // A label read as the word itself qualifies nothing.
          std::vector<std::string> own = labels;
          std::erase(own, TurkishLower(turkish) + ".");
          const Place place{s, position, labelled && own.size() == labels.size()};
          const auto [it, added] = g.english.emplace(rankOf[i], place);
          if (!added && std::tie(place.sense, place.position) <
                            std::tie(it->second.sense, it->second.position))
            it->second = place;
          if (!g.any) {
            g.labels = own;
            g.any = true;
          } else {
            std::erase_if(g.labels, [&](const std::string& l) {
              return std::find(own.begin(), own.end(), l) == own.end();
            });
          }
          ++position;
        }
      }
    }
  }
  std::vector<size_t> byRank(english.size());
  for (size_t i = 0; i < rankOf.size(); ++i) byRank[rankOf[i]] = i;

  std::vector<TReverseEntry> gathered;
  gathered.reserve(byKey.size());
  for (auto& [key, g] : byKey) {
    TReverseEntry r;
    int best = 0;
    for (const auto& [form, count] : g.forms) {  // byte order: ties keep the first
      const bool lower = form == key;
      const bool bestLower = r.headword == key;
      if (count > best || (count == best && lower && !bestLower)) {
        r.headword = form;
        best = count;
      }
    }
    std::vector<TGloss> glosses;
    for (const auto& [rank, place] : g.english) {
      std::string word = english[byRank[rank]];
      if (word == "i") word = "I";
      if (!glosses.empty() && glosses.back().english == word) {  // a duplicate headword
        TGloss& last = glosses.back();
        if (std::tie(place.sense, place.position) < std::tie(last.sense, last.position)) {
          last.sense = place.sense;
          last.position = place.position;
          last.labelled = place.labelled;
        }
        continue;
      }
      const uint32_t freq = lexicon.frequency ? lexicon.frequency(word) : 0;
      const bool function = IsEnglishFunctionWord(base::FoldCase(word));
      glosses.push_back(
          {std::move(word), place.sense, place.position, freq, rank, function, place.labelled});
    }
    RankGlosses(glosses, lexicon.closedClass && lexicon.closedClass(key));
    for (TGloss& gl : glosses) r.english.push_back(std::move(gl.english));
    for (const std::string& l : g.labels)
      if (std::find(r.labels.begin(), r.labels.end(), l) == r.labels.end()) r.labels.push_back(l);
    gathered.push_back(std::move(r));
  }
  std::vector<std::string> headwords;
  headwords.reserve(gathered.size());
  for (const TReverseEntry& r : gathered) headwords.push_back(r.headword);
  std::vector<TReverseEntry> out;
  out.reserve(gathered.size());
  for (size_t i : CollationOrder(headwords, TLang::Turkish)) out.push_back(std::move(gathered[i]));
  return out;
}

namespace {

std::string JoinWords(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += ", ";
    out += w;
  }
  return out;
}

// Adds the reverse's English words that the entry does not list yet.
void AddEnglish(TParsedEntry& entry, const TReverseEntry& reverse) {
  std::set<std::string> listed;
  for (const TSense& s : entry.senses)
    for (const std::string& part : SplitOutsideParens(s.meaning, ","))
      listed.insert(base::FoldCase(CollapseSpaces(part)));
  std::vector<std::string> missing;
  for (const std::string& w : reverse.english)
    if (!listed.contains(base::FoldCase(w))) missing.push_back(w);
  if (missing.empty()) return;
  if (entry.senses.size() == 1 && entry.senses.front().number.empty()) {
    TSense& only = entry.senses.front();
    only.meaning += ", " + JoinWords(missing);
    only.labels.insert(only.labels.end(), reverse.labels.begin(), reverse.labels.end());
    return;
  }
  int last = 0;
  for (const TSense& s : entry.senses)
    if (!s.number.empty()) last = std::max(last, std::stoi(s.number));
  TSense added;
  added.number = std::to_string(last + 1);
  added.meaning = JoinWords(missing);
  added.labels = reverse.labels;
  entry.senses.push_back(std::move(added));
}

}  // namespace

std::vector<TRow> MergeTurkishTable(std::vector<TParsedEntry> turkishEnglish,
                                    const std::vector<TReverseEntry>& reverse) {
  std::map<std::string, const TReverseEntry*> byKey;
  for (const TReverseEntry& r : reverse) byKey.emplace(TurkishLower(r.headword), &r);
  std::set<std::string> merged;
  std::vector<TRow> rows;
  rows.reserve(turkishEnglish.size() + reverse.size());
  for (TParsedEntry& entry : turkishEnglish) {
    const std::string key = TurkishLower(entry.headword);
    const auto it = byKey.find(key);
    if (it != byKey.end() && merged.insert(key).second) AddEnglish(entry, *it->second);
    rows.push_back(MapEntry(entry, TLang::Turkish));
  }
  for (const TReverseEntry& r : reverse) {
    if (merged.contains(TurkishLower(r.headword))) continue;
    // A Turkish-English entry whose key the reverse also has was merged above;
    // the others get their own row.
    TRow row;
    row.kelime = r.headword;
    row.kategori = JoinLabels(r.labels);
    row.anlami = JoinWords(r.english);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace lugatim::tools

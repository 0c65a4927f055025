#include "tools/Repair.h"

#include <algorithm>
#include <set>

#include "base/TextFold.h"
#include "tools/Text.h"

namespace lugatim::tools {

namespace {

// The confusions of the scanner: what it wrote, what was meant.
struct TConfusion {
  std::string_view wrong, right, kind;
  bool asciiOnly = false;    // a Turkish letter typed as its ASCII look-alike
  bool innerOnly = false;    // not at a word's start ("Irak" is a name)
  bool turkishOnly = false;  // only in a small word with Turkish letters ("çalişmak")
};
constexpr TConfusion kConfusions[] = {
    {"I", "l", "I→l"},       {"I", "ı", "I→ı", false, true},
    {"n", "rı", "n→rı"},     {"lş", "ış", "lş→ış"},
    {"l", "ı", "l→ı"},       {"1", "l", "1→l"},
    {"m", "rn", "m→rn"},     {"rn", "m", "rn→m"},
    {"s", "ş", "s→ş", true}, {"c", "ç", "c→ç", true},
    {"g", "ğ", "g→ğ", true}, {"o", "ö", "o→ö", true},
    {"u", "ü", "u→ü", true}, {"i", "ı", "i→ı", false, false, true}};
// A word seen this often in the source is taken as spelled on purpose.
constexpr size_t kOwnSpelling = 3;
constexpr size_t kSamples = 12;
// Shorter words are too often case endings or abbreviations ("dan", "mec").
constexpr size_t kMinLetters = 4;

// Whether the word has a letter only Turkish uses among the Latin ones.
bool HasTurkishLetter(std::string_view w) {
  for (std::string_view l :
       {"ç", "ğ", "ı", "ö", "ş", "ü", "â", "î", "û", "Ç", "Ğ", "İ", "Ö", "Ş", "Ü"})
    if (w.find(l) != std::string_view::npos) return true;
  return false;
}

// The word with the circumflexes of older spelling dropped ("âlâ" → ala):
// the word list spells without them.
std::string WithoutCircumflex(std::string_view w) {
  std::string out(w);
  for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"â", "a"},
                                 {"î", "i"},
                                 {"û", "u"},
                                 {"Â", "A"}}) {
    for (size_t p = out.find(from); p != std::string::npos; p = out.find(from, p + to.size()))
      out.replace(p, from.size(), to);
  }
  return out;
}

bool IsLetter(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7;
}

bool IsCapital(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
         (c >= 0x100 && c <= 0x17F && c % 2 == 0 && c != 0x138) || c == 0x130;
}

bool IsCapitalStart(std::string_view word) {
  size_t pos = 0;
  return IsCapital(base::NextCodePoint(word, pos));
}

// Spans of the words of a text: letters, with a "1" inside a word counted as
// part of it ("baş1ık").
std::vector<std::pair<size_t, size_t>> WordSpans(std::string_view text) {
  std::vector<std::pair<size_t, size_t>> spans;
  size_t pos = 0;
  size_t start = std::string_view::npos;
  size_t last = 0;  // end of the last letter
  while (pos < text.size()) {
    const size_t at = pos;
    const char32_t c = base::NextCodePoint(text, pos);
    const bool letter = IsLetter(c);
    const bool inner = c == '1' && start != std::string_view::npos;
    if (letter || inner) {
      if (start == std::string_view::npos) start = at;
      if (letter) last = pos;
    } else if (start != std::string_view::npos) {
      spans.emplace_back(start, last);
      start = std::string_view::npos;
    }
  }
  if (start != std::string_view::npos) spans.emplace_back(start, last);
  return spans;
}

}  // namespace

TRepairer::TRepairer(TWordTest turkish, TWordTest english)
    : turkish_(std::move(turkish)), english_(std::move(english)) {}

bool TRepairer::TurkishOnly(std::string_view w) const {
  return turkish_(w) && !english_(w);
}
bool TRepairer::EnglishOnly(std::string_view w) const {
  return english_(w) && !turkish_(w);
}

std::string TRepairer::Candidate(std::string_view word, bool& firstLetter,
                                 std::string& kind) const {
  std::set<std::string> found;
  std::string result;
  const bool ascii = std::all_of(word.begin(), word.end(), [](char c) { return (c & 0x80) == 0; });
  for (const TConfusion& c : kConfusions) {
    if (c.asciiOnly && !ascii) continue;
    // A circumflex marks a palatal consonant that takes front vowels
    // ("emlâki"): the word list, spelling without it, would mislead.
    if (c.turkishOnly &&
        (!HasTurkishLetter(word) || IsCapitalStart(word) || WithoutCircumflex(word) != word))
      continue;
    std::vector<size_t> at;
    for (size_t p = word.find(c.wrong, c.innerOnly ? 1 : 0); p != std::string_view::npos;
         p = word.find(c.wrong, p + 1))
      at.push_back(p);
    if (at.empty()) continue;
    const auto tryOne = [&](std::string cand, bool first) {
      if (found.contains(cand) || !(turkish_(cand) || turkish_(WithoutCircumflex(cand)))) return;
      found.insert(cand);
      result = std::move(cand);
      kind = std::string(c.kind);
      firstLetter = first;
    };
    for (size_t p : at) {
      std::string cand(word);
      cand.replace(p, c.wrong.size(), c.right);
      tryOne(std::move(cand), p == 0);
      if (found.size() > 1) return {};
    }
    if (at.size() > 1) {
      std::string cand;
      size_t from = 0;
      for (size_t p : at) {
        cand.append(word.substr(from, p - from));
        cand.append(c.right);
        from = p + c.wrong.size();
      }
      cand.append(word.substr(from));
      tryOne(std::move(cand), at.front() == 0);
      if (found.size() > 1) return {};
    }
  }
  return found.size() == 1 ? result : std::string();
}

void TRepairer::Learn(std::string_view text) {
  for (const auto& [b, e] : WordSpans(text)) ++seen_[std::string(text.substr(b, e - b))];
}

std::string TRepairer::Repair(std::string_view text, bool turkishField) {
  const auto spans = WordSpans(text);
  std::string out;
  size_t copied = 0;
  int depth = 0;  // parentheses: labels, Latin names and qualifiers stay
  size_t scanned = 0;
  for (size_t i = 0; i < spans.size(); ++i) {
    const auto [b, e] = spans[i];
    for (; scanned < b; ++scanned) {
      if (text[scanned] == '(') ++depth;
      if (text[scanned] == ')' && depth > 0) --depth;
    }
    if (depth > 0) continue;
    const std::string_view word = text.substr(b, e - b);
    size_t pos = 0;
    const char32_t first = base::NextCodePoint(word, pos);
    // A capital I or a digit one inside small letters is never right, even
    // in a short word ("âIâ").
    if (CharCount(word) < kMinLetters && word.find_first_of("I1") == std::string_view::npos)
      continue;
    bool allCapitals = true;
    for (size_t q = 0; q < word.size();) {
      const char32_t c = base::NextCodePoint(word, q);
      if (IsLetter(c) && !IsCapital(c)) allCapitals = false;
    }
    if (allCapitals || turkish_(word) || turkish_(WithoutCircumflex(word)) || english_(word))
      continue;
    // The context: the nearest words on either side.
    bool turkishNear = false, englishNext = false, allTurkish = true;
    for (size_t j = i >= 2 ? i - 2 : 0; j < std::min(spans.size(), i + 3); ++j) {
      if (j == i) continue;
      const std::string_view n = text.substr(spans[j].first, spans[j].second - spans[j].first);
      const bool t = TurkishOnly(n);
      turkishNear = turkishNear || t;
      allTurkish = allTurkish && turkish_(n);
      if ((j + 1 == i || j == i + 1) && EnglishOnly(n)) englishNext = true;
    }
    // A letter only Turkish uses makes the word itself Turkish context.
    const bool ownTurkish = HasTurkishLetter(word);
    if (!ownTurkish && (englishNext || (!turkishField && !turkishNear))) continue;
    bool atFirst = false;
    std::string kind;
    std::string repaired = Candidate(word, atFirst, kind);
    if (repaired.empty()) continue;
    // A capital I, a digit 1 or "lş" inside a word is never a spelling.
    const bool neverRight = kind == "I→l" || kind == "I→ı" || kind == "1→l" || kind == "lş→ış";
    if (const auto it = seen_.find(std::string(word)); !neverRight && it != seen_.end()) {
      const auto rit = seen_.find(repaired);
      if (it->second >= kOwnSpelling && (rit == seen_.end() || it->second > rit->second)) continue;
    }
    if (IsCapital(first) && !atFirst && !(turkishField && allTurkish && turkishNear)) continue;
    TRepairKind& k = kinds_[kind];
    ++k.count;
    if (k.samples.size() < kSamples) k.samples.push_back(std::string(word) + " → " + repaired);
    out.append(text.substr(copied, b - copied));
    out.append(repaired);
    copied = e;
  }
  if (copied == 0) return std::string(text);
  out.append(text.substr(copied));
  return out;
}

}  // namespace lugatim::tools

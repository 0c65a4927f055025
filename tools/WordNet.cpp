#include "tools/WordNet.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "morph/English.h"
#include "tools/Dictd.h"
#include "tools/ImportTypes.h"
#include "tools/Text.h"

namespace lugatim::tools {

namespace {

constexpr std::array<const char*, kPosCount> kPosNames = {"noun", "verb", "adj", "adv"};
// A borrowed example reads best at sentence length.
constexpr size_t kQuoteMin = 20;
constexpr size_t kQuoteMax = 140;

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    const size_t end = std::min(line.find(' ', pos), line.size());
    if (end > pos) out.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return out;
}

uint32_t Number(std::string_view s) {
  uint32_t v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() != ' ') f(line);
    pos = end + 1;
  }
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether text uses the word: it occurs there starting at a word's start
// ("abandoned" uses "abandon"; "gave up" does not use "give up", and then
// the example of another sense is tried).
bool Uses(std::string_view text, std::string_view word) {
  const std::string lower = AsciiLower(text);
  for (size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1))
    if (at == 0 || !IsAsciiLetter(lower[at - 1])) return true;
  return false;
}

// The quoted parts of the gloss of a data line: "… | gloss; \"example\"".
std::vector<std::string> QuotedParts(std::string_view line) {
  std::vector<std::string> out;
  const size_t bar = line.find(" | ");
  if (bar == std::string_view::npos) return out;
  std::string_view gloss = line.substr(bar + 3);
  for (size_t open = gloss.find('"'); open != std::string_view::npos;) {
    const size_t close = gloss.find('"', open + 1);
    if (close == std::string_view::npos) break;
    std::string_view quote = Trim(gloss.substr(open + 1, close - open - 1));
    if (!quote.empty()) out.emplace_back(quote);
    open = gloss.find('"', close + 1);
  }
  return out;
}

}  // namespace

std::string WordNetKey(std::string_view word) {
  std::string key;
  key.reserve(word.size());
  for (char c : Trim(word)) {
    if (c == ' ' || c == '_') {
      if (!key.empty() && key.back() != '_') key += '_';
    } else {
      key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  return key;
}

TWordNet TWordNet::Load(const std::string& dir) {
  std::unordered_map<std::string, std::string> files;
  std::vector<std::string> names = {"cntlist.rev", "sentidx.vrb", "sents.vrb"};
  for (const char* pos : kPosNames) {
    names.push_back(std::string("index.") + pos);
    names.push_back(std::string("data.") + pos);
    if (std::string_view(pos) != "adv") names.push_back(std::string(pos) + ".exc");
  }
  for (const std::string& name : names) {
    const std::string path = (std::filesystem::path(dir) / name).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
      throw EImportError(path + ": WordNet file missing (install the package wordnet-base)");
    files[name] = ReadWholeFile(path);
  }
  TWordNet w;
  w.Parse(files);
  return w;
}

TWordNet TWordNet::FromTexts(const std::unordered_map<std::string, std::string>& files) {
  TWordNet w;
  w.Parse(files);
  return w;
}

void TWordNet::Parse(const std::unordered_map<std::string, std::string>& files) {
  const auto text = [&](const std::string& name) -> std::string_view {
    const auto it = files.find(name);
    return it == files.end() ? std::string_view() : std::string_view(it->second);
  };
  for (size_t p = 0; p < kPosCount; ++p) {
    // lemma pos synset_cnt p_cnt [ptr_symbol…] sense_cnt tagsense_cnt offset…
    ForEachLine(text(std::string("index.") + kPosNames[p]), [&](std::string_view line) {
      const std::vector<std::string_view> f = Fields(line);
      if (f.size() < 6) return;
      const size_t pointers = Number(f[3]);
      if (f.size() < 6 + pointers) return;
      TLemma& l = lemmas_[std::string(f[0])];
      for (size_t i = 6 + pointers; i < f.size(); ++i) l.synsets[p].push_back(Number(f[i]));
    });
    data_[p] = std::string(text(std::string("data.") + kPosNames[p]));
    // Every quoted example by its words, for words without one of their own.
    ForEachLine(data_[p], [&](std::string_view line) {
      for (std::string& quote : QuotedParts(line)) {
        const auto id = static_cast<uint32_t>(quotes_.size());
        for (size_t i = 0; i < quote.size();) {
          while (i < quote.size() && !IsAsciiLetter(quote[i])) ++i;
          size_t end = i;
          while (end < quote.size() && IsAsciiLetter(quote[end])) ++end;
          if (end == i) break;
          std::vector<uint32_t>& ids =
              quotesOfWord_[AsciiLower(std::string_view(quote).substr(i, end - i))];
          if (ids.empty() || ids.back() != id) ids.push_back(id);
          i = end;
        }
        quotes_.push_back(std::move(quote));
      }
    });
  }
  // sense_key sense_number tag_cnt, the key "lemma%ss_type:…" (ss_type 1
  // noun, 2 verb, 3 adjective, 4 adverb, 5 adjective satellite).
  ForEachLine(text("cntlist.rev"), [&](std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 3) return;
    const size_t percent = f[0].find('%');
    if (percent == std::string_view::npos || percent + 1 >= f[0].size()) return;
    const int type = f[0][percent + 1] - '0';
    const auto it = lemmas_.find(AsciiLower(f[0].substr(0, percent)));
    if (it == lemmas_.end() || type < 1 || type > 5) return;
    const size_t p = type == 5 ? 2 : static_cast<size_t>(type - 1);
    it->second.count[p] += Number(f[2]);
  });
  ForEachLine(text("sents.vrb"), [&](std::string_view line) {
    const size_t space = line.find(' ');
    if (space != std::string_view::npos)
      sentences_[Number(line.substr(0, space))] = std::string(Trim(line.substr(space + 1)));
  });
  // sentidx.vrb: "sense_key n,n,n"; the sense with the lowest sense number
  // in cntlist.rev is not known here, so the first listed key wins.
  ForEachLine(text("sentidx.vrb"), [&](std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 2) return;
    const auto it = lemmas_.find(AsciiLower(f[0].substr(0, f[0].find('%'))));
    if (it == lemmas_.end() || !it->second.sentences.empty()) return;
    for (const std::string& n : SplitOutsideParens(f[1], ","))
      it->second.sentences.push_back(Number(n));
  });
  for (size_t p = 0; p < kPosCount; ++p) {
    if (p == static_cast<size_t>(TPos::Adverb)) continue;
    ForEachLine(text(std::string(kPosNames[p]) + ".exc"), [&](std::string_view line) {
      const std::vector<std::string_view> f = Fields(line);
      for (size_t i = 1; i < f.size(); ++i) {
        irregulars_.push_back({std::string(f[0]), std::string(f[i]), static_cast<TPos>(p)});
        exceptionBase_[std::string(f[0])].emplace_back(f[i]);
        std::vector<TPos>& pos = exceptionPos_[std::string(f[0])];
        if (std::find(pos.begin(), pos.end(), static_cast<TPos>(p)) == pos.end())
          pos.push_back(static_cast<TPos>(p));
      }
    });
  }
}

const TWordNet::TLemma* TWordNet::Find(std::string_view word) const {
  const auto it = lemmas_.find(WordNetKey(word));
  return it == lemmas_.end() ? nullptr : &it->second;
}

bool TWordNet::Knows(std::string_view word) const {
  return Find(word) != nullptr;
}

std::string TWordNet::BaseForm(std::string_view word) const {
  const std::string key = WordNetKey(word);
  if (key.empty()) return {};
  if (lemmas_.contains(key)) return key;
  if (const auto it = exceptionBase_.find(key); it != exceptionBase_.end())
    for (const std::string& b : it->second)
      if (lemmas_.contains(b)) return b;
  // WordNet's regular endings: each counts only for a base of the part of
  // speech it inflects ("pulverizer" is not "pulverize" + -er: that ending
  // makes comparatives).
  for (const morph::TDetached& d : morph::DetachEndings(key)) {
    const auto it = lemmas_.find(d.base);
    if (it != lemmas_.end() && (!it->second.synsets[static_cast<size_t>(d.pos)].empty() ||
                                !it->second.synsets[static_cast<size_t>(d.alsoPos)].empty()))
      return d.base;
  }
  return {};
}

std::vector<TPos> TWordNet::PartsOfSpeech(std::string_view word) const {
  const TLemma* l = Find(word);
  std::vector<TPos> out;
  if (l == nullptr) return out;
  for (size_t p = 0; p < kPosCount; ++p)
    if (!l->synsets[p].empty()) out.push_back(static_cast<TPos>(p));
  std::stable_sort(out.begin(), out.end(), [&](TPos a, TPos b) {
    const auto ia = static_cast<size_t>(a), ib = static_cast<size_t>(b);
    if (l->count[ia] != l->count[ib]) return l->count[ia] > l->count[ib];
    return l->synsets[ia].size() > l->synsets[ib].size();
  });
  return out;
}

std::vector<TPos> TWordNet::IrregularPartsOfSpeech(std::string_view word) const {
  const auto it = exceptionPos_.find(WordNetKey(word));
  return it == exceptionPos_.end() ? std::vector<TPos>() : it->second;
}

uint32_t TWordNet::Frequency(std::string_view word) const {
  const TLemma* l = Find(word);
  if (l == nullptr) return 0;
  uint32_t sum = 0;
  for (uint32_t c : l->count) sum += c;
  return sum;
}

std::string TWordNet::Example(std::string_view word) const {
  const std::string key = WordNetKey(word);
  const std::string base = BaseForm(word);
  const std::string form = AsciiLower(CollapseSpaces(word));
  if (!base.empty()) {
    const TLemma& l = lemmas_.at(base);
    for (TPos pos : PartsOfSpeech(base)) {
      const auto p = static_cast<size_t>(pos);
      for (uint32_t offset : l.synsets[p]) {
        if (offset >= data_[p].size()) continue;
        const size_t end = std::min(data_[p].find('\n', offset), data_[p].size());
        for (const std::string& quote :
             QuotedParts(std::string_view(data_[p]).substr(offset, end - offset)))
          if (Uses(quote, form)) return quote;
      }
    }
    for (uint32_t n : base == key ? l.sentences : std::vector<uint32_t>()) {
      const auto it = sentences_.find(n);
      if (it == sentences_.end()) continue;
      const size_t at = it->second.find("%s");
      if (at == std::string::npos) continue;
      std::string sentence = it->second;
      sentence.replace(at, 2, form);
      return sentence;
    }
  }
  return BorrowedQuote(form);
}

std::string TWordNet::BorrowedQuote(const std::string& form) const {
  // The candidates: the quotes of the phrase's first word, or of the word
  // and its regular inflections ("bedeck": bedecked).
  std::vector<std::string> keys;
  const size_t blank = form.find(' ');
  if (blank != std::string::npos) {
    keys.push_back(form.substr(0, blank));
  } else {
    keys = {form, form + "s", form + "es", form + "ed", form + "d", form + "ing"};
    if (form.ends_with('e')) keys.push_back(form.substr(0, form.size() - 1) + "ing");
    if (form.ends_with('y')) {
      keys.push_back(form.substr(0, form.size() - 1) + "ies");
      keys.push_back(form.substr(0, form.size() - 1) + "ied");
    }
  }
  const std::string* best = nullptr;
  const auto fits = [](const std::string& q) {
    return q.size() >= kQuoteMin && q.size() <= kQuoteMax;
  };
  for (const std::string& key : keys) {
    const auto it = quotesOfWord_.find(key);
    if (it == quotesOfWord_.end()) continue;
    for (uint32_t id : it->second) {
      const std::string& q = quotes_[id];
      if (blank != std::string::npos && !Uses(q, form)) continue;
      if (best == nullptr || (fits(q) && !fits(*best))) best = &q;
      if (fits(*best)) return *best;
    }
  }
  return best ? *best : std::string();
}

}  // namespace lugatim::tools

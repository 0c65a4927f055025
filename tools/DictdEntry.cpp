#include "tools/DictdEntry.h"

#include <algorithm>

#include "tools/Labels.h"
#include "tools/Text.h"

namespace lugatim::tools {

namespace {

constexpr size_t kMaxChars = 255;

void ParseHeader(std::string_view header, TParsedEntry& entry) {
  std::string_view rest = Trim(header);
  if (rest.ends_with('>')) {
    const size_t open = rest.rfind(" <");
    if (open != std::string_view::npos) {
      entry.grammar = CollapseSpaces(rest.substr(open + 2, rest.size() - open - 3));
      rest = Trim(rest.substr(0, open));
    }
  }
  if (rest.size() >= 2 && rest.ends_with('/')) {
    const size_t open = rest.rfind(" /", rest.size() - 2);
    if (open != std::string_view::npos) {
      entry.pronunciation = std::string(rest.substr(open + 1));
      rest = Trim(rest.substr(0, open));
    } else if (rest.front() == '/') {
      entry.pronunciation = std::string(rest);
      rest = {};
    }
  }
  entry.headword = UndoGluedLabels(CollapseSpaces(rest), true);
}

// "12. text" → number "12", text; anything else is an unnumbered line.
bool SplitNumber(std::string_view line, std::string& number, std::string& text) {
  size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == 0 || digits > 4 || digits >= line.size() || line[digits] != '.') return false;
  if (digits + 1 < line.size() && line[digits + 1] != ' ') return false;
  number = std::string(line.substr(0, digits));
  text = UndoGluedLabels(CollapseSpaces(line.substr(digits + 1)), false);
  return true;
}

// Whether word is the headword's word h or an inflection of it.
bool WordMatches(const std::string& word, const std::string& h) {
  if (word == h) return true;
  if (h.size() < 4 || word.size() <= h.size()) return false;
  if (word.starts_with(h) && word.size() <= h.size() + 4) return true;
  const std::string_view stem(h.data(), h.size() - 1);
  if (h.back() == 'e' && word.starts_with(stem) && word.size() <= h.size() + 3) return true;
  if (h.back() == 'y' && word.starts_with(stem) && word[stem.size()] == 'i') return true;
  return false;
}

// Cuts a sense into meaning and examples at the first ": " or ". " after
// which the headword is used.
void SplitExamples(const TParsedEntry& entry, TSense& sense) {
  const std::string& text = sense.meaning;
  // A sense of an affix without labels that opens with a word formed with
  // the affix is all example ("2. abdicate feragat etmek." under "ab").
  if ((entry.prefix || entry.suffix) && sense.leading.empty()) {
    const std::vector<std::string> words = Words(text);
    if (words.size() >= 2 && UsesHeadword(words.front(), entry)) {
      sense.example = std::move(sense.meaning);
      sense.meaning.clear();
      return;
    }
  }
  int depth = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && depth > 0) --depth;
    if (depth != 0 || (text[i] != ':' && text[i] != '.') || text[i + 1] != ' ') continue;
    // The part up to the next cut decides.
    size_t next = i + 2;
    for (int d = 0; next + 1 < text.size(); ++next) {
      if (text[next] == '(') ++d;
      if (text[next] == ')' && d > 0) --d;
      if (d == 0 && (text[next] == ':' || text[next] == '.') && text[next + 1] == ' ') break;
    }
    if (next + 1 >= text.size()) next = text.size();
    if (!UsesHeadword(std::string_view(text).substr(i + 2, next - i - 2), entry)) continue;
    sense.example = std::string(Trim(std::string_view(text).substr(i + 2)));
    // A full stop ends the meaning; a colon only introduced the examples.
    sense.meaning = std::string(Trim(std::string_view(text).substr(0, text[i] == '.' ? i + 1 : i)));
    return;
  }
}

struct Variant {
  std::vector<std::string> words;
  bool prefix = false;
  bool suffix = false;
};

std::vector<Variant> HeadwordVariants(const TParsedEntry& entry) {
  std::vector<Variant> variants;
  for (const std::string& part : SplitOutsideParens(entry.headword, ",")) {
    std::string_view v = Trim(part);
    Variant variant;
    if (v.ends_with('-')) {
      variant.prefix = true;
      v = Trim(v.substr(0, v.size() - 1));
    } else if (v.starts_with('-')) {
      variant.suffix = true;
      v = Trim(v.substr(1));
    } else {
      variant.prefix = entry.prefix;
      variant.suffix = entry.suffix && !entry.prefix;
    }
    variant.words = Words(v);
    if (!variant.words.empty()) variants.push_back(std::move(variant));
  }
  return variants;
}

}  // namespace

bool UsesHeadword(std::string_view text, const TParsedEntry& entry) {
  const std::vector<std::string> words = Words(text);
  for (const Variant& v : HeadwordVariants(entry)) {
    if ((v.prefix || v.suffix) && v.words.size() == 1) {
      const std::string& stem = v.words.front();
      if (stem.size() < 2) continue;
      for (const std::string& w : words) {
        if (w.size() <= stem.size()) continue;
        if (v.prefix ? w.starts_with(stem) : w.ends_with(stem)) return true;
      }
      continue;
    }
    for (size_t j = 0; j + v.words.size() <= words.size(); ++j) {
      size_t k = 0;
      while (k < v.words.size() && WordMatches(words[j + k], v.words[k])) ++k;
      if (k == v.words.size()) return true;
    }
  }
  return false;
}

TParsedEntry ParseDictdEntry(std::string_view text, std::string_view indexKey) {
  TParsedEntry entry;
  std::vector<std::string_view> lines;
  for (size_t pos = 0; pos <= text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    pos = end + 1;
  }
  size_t first = 0;
  while (first < lines.size() && Trim(lines[first]).empty()) ++first;
  if (first < lines.size()) ParseHeader(lines[first], entry);
  if (entry.headword.empty()) entry.headword = CollapseSpaces(indexKey);

  bool numbered = false;
  for (size_t i = first + 1; i < lines.size(); ++i) {
    const std::string_view raw = lines[i];
    if (Trim(raw).empty()) continue;
    TSense sense;
    std::string body;
    if (SplitNumber(Trim(raw), sense.number, body)) {
      numbered = true;
      sense.meaning = std::move(body);
      entry.senses.push_back(std::move(sense));
      continue;
    }
    // An indented line, or any unnumbered line after a numbered sense, goes on
    // with the sense before it.
    const bool indented = raw.front() == ' ' || raw.front() == '\t';
    if (!entry.senses.empty() && (numbered || indented)) {
      entry.senses.back().meaning += ' ';
      entry.senses.back().meaning += UndoGluedLabels(CollapseSpaces(raw), false);
      continue;
    }
    sense.meaning = UndoGluedLabels(CollapseSpaces(raw), false);
    entry.senses.push_back(std::move(sense));
  }

  for (TSense& sense : entry.senses) {
    sense.leading = LeadingLabels(sense.meaning);
    for (const TLabelAt& at : FindLabels(sense.meaning)) {
      if (at.label == kLabelPrefix) entry.prefix = true;
      if (at.label == kLabelSuffix) entry.suffix = true;
    }
  }
  if (entry.headword.ends_with('-')) entry.prefix = true;
  if (entry.headword.starts_with('-')) entry.suffix = true;
  // Examples are cut once the affix kind is known, since it changes what
  // counts as a use of the headword; labels are then read from the meaning.
  for (TSense& sense : entry.senses) {
    SplitExamples(entry, sense);
    for (const TLabelAt& at : FindLabels(sense.meaning)) sense.labels.push_back(at.label);
  }
  return entry;
}

std::string JoinLabels(const std::vector<std::string>& labels) {
  std::string out;
  std::vector<std::string_view> seen;
  for (const std::string& label : labels) {
    if (label.empty() || std::find(seen.begin(), seen.end(), label) != seen.end()) continue;
    seen.push_back(label);
    const size_t added = CharCount(label) + (out.empty() ? 0 : 2);
    if (CharCount(out) + added > kMaxChars) continue;
    if (!out.empty()) out += ", ";
    out += label;
  }
  return out;
}

TRow MapEntry(const TParsedEntry& entry, TLang headwordLang) {
  TRow row;
  row.kelime = entry.headword;

  std::vector<std::string> categories;
  if (!entry.grammar.empty()) categories.push_back(entry.grammar);
  for (const TSense& sense : entry.senses)
    for (const std::string& label : sense.labels)
      if (label != kLabelPrefix && label != kLabelSuffix && label != kLabelSeeAlso)
        categories.push_back(label);
  row.kategori = JoinLabels(categories);

  const bool english = headwordLang == TLang::English;
  if (entry.prefix) row.onekSonek = english ? "önek" : "prefix";
  if (entry.suffix) {
    if (!row.onekSonek.empty()) row.onekSonek += ", ";
    row.onekSonek += english ? "sonek" : "suffix";
  }

  const auto numbered = [](const TSense& s, const std::string& text) {
    return s.number.empty() ? text : s.number + ". " + text;
  };
  for (const TSense& sense : entry.senses) {
    if (!sense.meaning.empty()) {
      if (!row.anlami.empty()) row.anlami += '\n';
      row.anlami += numbered(sense, sense.meaning);
    }
    if (sense.example.empty()) continue;
    if (!row.ornek.empty()) row.ornek += '\n';
    row.ornek += numbered(sense, sense.example);
  }
  if (!entry.pronunciation.empty()) {
    if (!row.anlami.empty()) row.anlami += '\n';
    row.anlami += entry.pronunciation;
  }
  return row;
}

}  // namespace lugatim::tools

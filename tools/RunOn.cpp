#include "tools/RunOn.h"

#include <algorithm>

#include "tools/Labels.h"
#include "tools/PartOfSpeech.h"
#include "tools/Text.h"
#include "tools/WordNet.h"

namespace lugatim::tools {

namespace {

bool IsSmallAscii(std::string_view w) {
  return !w.empty() && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view StripPunctuation(std::string_view t) {
  while (!t.empty() && std::string_view(",.;:!?").find(t.back()) != std::string_view::npos)
    t.remove_suffix(1);
  return t;
}

std::vector<std::string> SplitBlanks(std::string_view text) {
  std::vector<std::string> out;
  for (size_t pos = 0; pos < text.size();) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t end = std::min(text.find(' ', pos), text.size());
    if (end > pos) out.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
  return out;
}

std::string JoinBlanks(const std::vector<std::string>& tokens, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to; ++i) {
    if (!out.empty()) out += ' ';
    out += tokens[i];
  }
  return out;
}

// What the scanner of one entry needs: the headword's stem and the lexicons.
struct TScan {
  std::string stem;  // the first letters of the headword's first word
  std::string word;  // the headword's first word, small letters
  const TWordNet& wordnet;
  const TWordTest& turkish;

  // An English word formed from the headword, written plainly before its
  // Turkish meaning in the middle of another ("… incredibly inanılmaz
  // şekilde"): the previous word is not English, the next one Turkish.
  bool PlainRunOn(const std::vector<std::string>& tokens, size_t i) const {
    if (i == 0 || i + 1 >= tokens.size()) return false;
    const std::string& t = tokens[i];
    if (t == word || !FormedFromHeadword(t) || turkish(t)) return false;
    const std::string prev = AsciiLower(StripPunctuation(tokens[i - 1]));
    const std::string next = std::string(StripPunctuation(tokens[i + 1]));
    return !English(prev) && turkish(next) && !English(next);
  }

  bool FormedFromHeadword(std::string_view w) const {
    return stem.size() >= 3 && IsSmallAscii(w) && w.starts_with(stem);
  }
  // A word of the source's English: small ASCII letters, not a Turkish word,
  // and known to WordNet, a function word, or formed from the headword.
  bool English(std::string_view w) const {
    return IsSmallAscii(w) && !turkish(w) &&
           (wordnet.Knows(w) || IsEnglishFunctionWord(w) || FormedFromHeadword(w));
  }
  // The word a stress-marked token stands for ("abdica'tion" →
  // abdication), or empty. next is the following token, for a mark followed
  // by a blank ("acciden' tally"); usedNext tells whether it was taken.
  std::string Stressed(std::string_view token, std::string_view next, bool& usedNext) const {
    usedNext = false;
    const std::string_view t = StripPunctuation(token);
    const size_t mark = t.find('\'');
    if (mark == std::string_view::npos || mark < 2 ||
        t.find('\'', mark + 1) != std::string_view::npos)
      return {};
    std::string word = std::string(t.substr(0, mark)) + std::string(t.substr(mark + 1));
    if (mark + 1 == t.size() && t.size() == token.size()) {
      const std::string_view n = StripPunctuation(next);
      if (!IsSmallAscii(n)) return {};
      word += n;
      usedNext = true;
    }
    if (!IsSmallAscii(word)) return {};
    if (!FormedFromHeadword(word) && wordnet.BaseForm(word).empty()) return {};
    return word;
  }
};

TParsedEntry MakeEntry(const std::string& headword, const std::string& meaning,
                       const std::string& example) {
  TParsedEntry e = ParseDictdEntry(headword + "\n" + meaning + "\n", headword);
  if (!example.empty() && !e.senses.empty()) {
    std::string& ex = e.senses.front().example;
    ex = ex.empty() ? example : ex + ". " + example;
  }
  return e;
}

std::string TrimTail(std::string text) {
  while (!text.empty() && std::string_view(" ,;:").find(text.back()) != std::string_view::npos)
    text.pop_back();
  return text;
}

// Splits the stress-marked run-on entries out of one sense's meaning.
void SplitMeaning(TSense& sense, const TScan& scan, std::vector<TParsedEntry>& out) {
  const std::vector<std::string> tokens = SplitBlanks(sense.meaning);
  size_t first = tokens.size();
  std::string firstWord;
  bool firstTwo = false;
  for (size_t i = 0; i < tokens.size() && first == tokens.size(); ++i) {
    bool usedNext = false;
    firstWord = scan.Stressed(tokens[i], i + 1 < tokens.size() ? tokens[i + 1] : "", usedNext);
    if (firstWord.empty() && scan.PlainRunOn(tokens, i)) firstWord = tokens[i];
    if (!firstWord.empty()) {
      first = i;
      firstTwo = usedNext;
    }
  }
  if (first == tokens.size()) return;
  sense.meaning = TrimTail(JoinBlanks(tokens, 0, first));
  sense.labels.clear();
  for (const TLabelAt& at : FindLabels(sense.meaning)) sense.labels.push_back(at.label);

  // Segments: [start, end) of each run-on, its word, and its examples.
  std::string word = firstWord;
  size_t i = first + (firstTwo ? 2 : 1);
  std::string meaning, example;
  const auto flush = [&]() {
    if (!TrimTail(meaning).empty()) out.push_back(MakeEntry(word, TrimTail(meaning), example));
    meaning.clear();
    example.clear();
  };
  std::string* into = &meaning;
  while (i < tokens.size()) {
    bool usedNext = false;
    const std::string stressed =
        scan.Stressed(tokens[i], i + 1 < tokens.size() ? tokens[i + 1] : "", usedNext);
    const std::string plain = AsciiLower(StripPunctuation(tokens[i]));
    if (!stressed.empty()) {
      flush();
      word = stressed;
      into = &meaning;
      i += usedNext ? 2 : 1;
      continue;
    }
    if (scan.FormedFromHeadword(plain) && !scan.turkish(plain) && tokens[i] == plain) {
      // One English word and its translation: another run-on entry; an
      // English phrase: an example of the current one.
      const bool phrase =
          i + 1 < tokens.size() && scan.English(AsciiLower(StripPunctuation(tokens[i + 1])));
      if (!phrase) {
        flush();
        word = plain;
        into = &meaning;
        ++i;
        continue;
      }
      into = &example;
      if (!example.empty()) example += ' ';
      example += tokens[i++];
      continue;
    }
    if (!into->empty()) *into += ' ';
    *into += tokens[i++];
  }
  flush();
}

// Splits the examples that are one derived word and its translation.
void SplitExample(TSense& sense, const TScan& scan, const std::string& headWord,
                  std::vector<TParsedEntry>& out) {
  if (sense.example.empty()) return;
  std::vector<std::string> kept;
  bool changed = false;
  for (const std::string& piece : SplitOutsideParens(sense.example, ". ")) {
    const std::vector<std::string> tokens = SplitBlanks(piece);
    // The derived words the piece opens with: a plain one, or a stress-marked
    // one, and a variant after a comma ("suitabil'ity, suitableness").
    std::vector<std::string> words;
    size_t at = 0;
    while (at < tokens.size() && words.size() < 2) {
      bool usedNext = false;
      std::string w =
          scan.Stressed(tokens[at], at + 1 < tokens.size() ? tokens[at + 1] : "", usedNext);
      const std::string plain(StripPunctuation(tokens[at]));
      if (w.empty() && plain == AsciiLower(plain) && plain != headWord &&
          scan.FormedFromHeadword(plain) && !scan.turkish(plain))
        w = plain;
      if (w.empty() || (at > 0 && !tokens[at - 1].ends_with(','))) break;
      words.push_back(std::move(w));
      at += usedNext ? 2 : 1;
      if (!tokens[at - 1].ends_with(',')) break;
    }
    if (!words.empty() && at < tokens.size() && !tokens[at - 1].ends_with(',')) {
      const std::string next(StripPunctuation(tokens[at]));
      const bool translated =
          next.starts_with('(') || (scan.turkish(next) && !scan.wordnet.Knows(next));
      if (translated) {
        std::string meaning = TrimTail(JoinBlanks(tokens, at, tokens.size()));
        if (meaning.ends_with('.')) meaning.pop_back();
        for (const std::string& w : words) out.push_back(MakeEntry(w, meaning, ""));
        changed = true;
        continue;
      }
    }
    kept.push_back(piece);
  }
  if (!changed) return;
  std::string example;
  for (const std::string& k : kept) {
    if (!example.empty()) example += ". ";
    example += k;
  }
  sense.example = example;
}

}  // namespace

std::string MendHeadword(const std::string& headword, const TWordNet& wordnet) {
  std::vector<std::string> tokens;
  for (const std::string& part : SplitOutsideParens(headword, ","))
    for (const std::string& t : SplitBlanks(part)) tokens.push_back(t);
  const auto lone = [](const std::string& t) { return CharCount(t) == 1; };
  if (tokens.size() < 2 || std::none_of(tokens.begin(), tokens.end(), lone)) return headword;
  // A letter written twice: "k , k", "t -t".
  std::string letter;
  bool same = true;
  for (const std::string& t : tokens) {
    std::string letters;
    for (char c : t)
      if (c != '-' && c != '.') letters += c;
    if (letter.empty()) letter = letters;
    same = same && letters == letter && lone(letters);
  }
  if (same && headword.find_first_of(",-") != std::string::npos) return letter;
  // Pieces of one word: joining every lone letter to the word before it.
  const bool fragment =
      std::any_of(tokens.begin(), tokens.end(), [](const std::string& t) { return t.size() >= 3; });
  if (fragment && headword.find(',') == std::string::npos) {
    // Lone letters glued to the word before them ("millenniu m", "b b gun"),
    // or to the words on both sides ("cap u chin").
    for (const bool both : {false, true}) {
      std::string joined;
      for (size_t i = 0; i < tokens.size(); ++i) {
        const bool glue = i > 0 && (lone(tokens[i]) || (both && lone(tokens[i - 1])));
        if (i > 0 && !glue) joined += ' ';
        joined += tokens[i];
      }
      if (wordnet.Knows(joined)) return joined;
    }
  }
  // Nothing but lone letters ("d a", "m m ."): not certain what was meant.
  const bool letters = std::all_of(tokens.begin(), tokens.end(), [](const std::string& t) {
    return CharCount(t) <= 1 || (CharCount(t) == 2 && (t.back() == '.' || t.front() == '-'));
  });
  return letters && !wordnet.Knows(headword) ? std::string() : headword;
}

std::vector<TParsedEntry> SplitRunOns(std::vector<TParsedEntry> entries, const TWordNet& wordnet,
                                      const TWordTest& turkish, TRunOnCounts& counts) {
  std::vector<TParsedEntry> out;
  out.reserve(entries.size() + entries.size() / 4);
  for (TParsedEntry& entry : entries) {
    const std::string mended = MendHeadword(entry.headword, wordnet);
    if (mended.empty()) {
      ++counts.dropped;
      counts.droppedHeadwords.push_back(entry.headword);
      continue;
    }
    if (mended != entry.headword) {
      ++counts.mended;
      entry.headword = mended;
    }
    const std::vector<std::string> head = Words(entry.headword);
    const std::string headWord = head.empty() ? std::string() : AsciiLower(head.front());
    const TScan scan{headWord.substr(0, std::min<size_t>(headWord.size(), 4)), headWord, wordnet,
                     turkish};
    std::vector<TParsedEntry> derived;
    for (TSense& sense : entry.senses) {
      const size_t before = derived.size();
      SplitMeaning(sense, scan, derived);
      counts.fromMeanings += derived.size() - before;
      const size_t mid = derived.size();
      SplitExample(sense, scan, headWord, derived);
      counts.fromExamples += derived.size() - mid;
    }
    out.push_back(std::move(entry));
    for (TParsedEntry& d : derived) out.push_back(std::move(d));
  }
  return out;
}

}  // namespace lugatim::tools

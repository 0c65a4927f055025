#include "morph/MorphData.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_map>

#include "morph/Letters.h"

namespace lugatim::morph {

using base::Format;

namespace {

constexpr std::string_view kMagic = "LUGATIM-MORPH 1";

struct TFlagName {
  const char* name;
  uint32_t flag;
};
constexpr TFlagName kFlagNames[] = {{"CL_ISIM", lfNoun},
                                    {"CL_FIIL", lfVerb},
                                    {"IS_ADJ", lfAdjective},
                                    {"IS_ADVERB", lfAdverb},
                                    {"IS_OA", lfProper},
                                    {"IS_ZM", lfPronoun},
                                    {"IS_CONJ", lfConjunction},
                                    {"IS_POSTP", lfPostposition},
                                    {"IS_INTERJ", lfInterjection},
                                    {"IS_QUES", lfQuestion},
                                    {"IS_DET", lfDeterminer},
                                    {"IS_SAYI", lfNumber},
                                    {"IS_ORD", lfOrdinal},
                                    {"IS_KIS", lfAbbreviation},
                                    {"IS_SD", lfSoftens},
                                    {"F_SD", lfSoftens},
                                    {"IS_UD", lfDropsVowel},
                                    {"F_UD", lfDropsVowel},
                                    {"IS_UU", lfFrontHarmony},
                                    {"IS_ST", lfDoubles},
                                    {"IS_KG", lfSoftensToG},
                                    {"IS_BILEŞ", lfCompound},
                                    {"F_GUDO", lfRaisesVowel},
                                    {"IS_DUP", lfDuplicate},
                                    {"IS_PUREADJ", lfPureAdjective},
                                    {"CL_NONE", lfNone}};

uint32_t Number(std::string_view text, int base = 10) {
  uint32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value, base);
  return value;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> out;
  size_t at = 0;
  while (true) {
    const size_t tab = line.find('\t', at);
    out.push_back(line.substr(at, tab == std::string_view::npos ? line.npos : tab - at));
    if (tab == std::string_view::npos) return out;
    at = tab + 1;
  }
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    if (end > at) out.push_back(line.substr(at, end - at));
    at = end;
  }
  return out;
}

// A lemma the analyser can use: small Turkish letters only.
bool IsLetterWord(std::u32string_view word) {
  if (word.empty()) return false;
  for (char32_t c : word) {
    const bool letter = (c >= U'a' && c <= U'z') || c == U'ç' || c == U'ğ' || c == U'ı' ||
                        c == U'ö' || c == U'ş' || c == U'ü' || c == U'â' || c == U'î' ||
                        c == U'û' || c == U'ê';
    if (!letter) return false;
  }
  return true;
}

bool Clean(std::string_view word) {
  return !word.empty() && word.find_first_of("\t\n\r") == std::string_view::npos;
}

// The finite-state machine's XML: <statelist> of <state name end> holding
// <to name [transitionname] [topos]> holding <with [name] [topos]>template</with>.
class TFsmReader {
 public:
  TFsmReader(std::string_view xml, const std::string& name) : xml_(xml), name_(name) {}

  struct TRawTransition {
    std::string to, tag, topos, form;
    int line;
  };
  struct TRawState {
    std::string name;
    bool end = false;
    std::vector<TRawTransition> transitions;
  };

  std::vector<TRawState> Read() {
    std::vector<TRawState> states;
    std::string toName, toTag, toPos;
    bool inState = false, inTo = false;
    while (true) {
      const size_t lt = xml_.find('<', at_);
      if (lt == std::string_view::npos) break;
      Advance(lt);
      const size_t gt = xml_.find('>', at_);
      if (gt == std::string_view::npos) Fail("unterminated tag");
      const std::string_view tag = xml_.substr(at_ + 1, gt - at_ - 1);
      Advance(gt + 1);
      if (tag.starts_with("?") || tag.starts_with("!")) continue;
      const bool closing = tag.starts_with("/");
      const std::string_view body = closing ? tag.substr(1) : tag;
      const std::string element(body.substr(0, body.find_first_of(" \t\r\n/")));
      const auto attrs = Attributes(body);
      const auto attr = [&](const char* key) {
        const auto it = attrs.find(key);
        return it == attrs.end() ? std::string() : it->second;
      };
      if (element == "statelist") continue;
      if (element == "state") {
        if (closing) {
          inState = false;
          continue;
        }
        if (inState) Fail("a state inside a state");
        if (attr("name").empty()) Fail("a state without a name");
        states.push_back({attr("name"), attr("end") == "yes", {}});
        inState = !tag.ends_with("/");
      } else if (element == "to") {
        if (closing) {
          inTo = false;
          continue;
        }
        if (!inState) Fail("a transition outside a state");
        toName = attr("name");
        toTag = attr("transitionname");
        toPos = attr("topos");
        if (toName.empty()) Fail("a transition without a target");
        inTo = !tag.ends_with("/");
      } else if (element == "with") {
        if (closing) continue;
        if (!inTo) Fail("a suffix outside a transition");
        const size_t end = xml_.find("</with>", at_);
        if (end == std::string_view::npos) Fail("unterminated <with>");
        std::string form(Trimmed(xml_.substr(at_, end - at_)));
        const std::string withName = attr("name");
        const std::string withPos = attr("topos");
        states.back().transitions.push_back({toName, withName.empty() ? toTag : withName,
                                             withPos.empty() ? toPos : withPos, form, line_});
        Advance(end + 7);
      } else {
        Fail("unknown element <" + element + ">");
      }
    }
    return states;
  }

  [[noreturn]] void Fail(const std::string& what, int line = 0) const {
    throw EMorphDataError(
        Format("%s:%d: %s", name_.c_str(), line > 0 ? line : line_, what.c_str()));
  }

 private:
  static std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::strchr(" \t\r\n", s.front()) != nullptr) s.remove_prefix(1);
    while (!s.empty() && std::strchr(" \t\r\n", s.back()) != nullptr) s.remove_suffix(1);
    return s;
  }
  void Advance(size_t to) {
    line_ += static_cast<int>(std::count(xml_.begin() + static_cast<std::ptrdiff_t>(at_),
                                         xml_.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
    at_ = to;
  }
  std::map<std::string, std::string> Attributes(std::string_view body) const {
    std::map<std::string, std::string> out;
    size_t at = body.find_first_of(" \t\r\n");
    while (at != std::string_view::npos && at < body.size()) {
      const size_t eq = body.find('=', at);
      if (eq == std::string_view::npos) break;
      const std::string key(Trimmed(body.substr(at, eq - at)));
      const size_t open = body.find('"', eq);
      const size_t close = open == std::string_view::npos ? open : body.find('"', open + 1);
      if (close == std::string_view::npos) Fail("malformed attribute " + key);
      out[key] = std::string(body.substr(open + 1, close - open - 1));
      at = close + 1;
    }
    return out;
  }

  std::string_view xml_;
  std::string name_;
  size_t at_ = 0;
  int line_ = 1;
};

void CompileFsm(std::ostringstream& out, const TMorphSources& s) {
  TFsmReader reader(s.turkishFsm, s.fsmName);
  const std::vector<TFsmReader::TRawState> states = reader.Read();
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < states.size(); ++i) index.emplace(states[i].name, i);
  out << "STATES " << states.size() << '\n';
  for (const auto& state : states) {
    out << "S\t" << state.name << '\t' << (state.end ? 1 : 0) << '\n';
    for (const auto& t : state.transitions) {
      const auto it = index.find(t.to);
      if (it == index.end()) reader.Fail("unknown state \"" + t.to + "\"", t.line);
      if (!Clean(t.tag.empty() ? "-" : t.tag) || t.form.find('\t') != std::string::npos)
        reader.Fail("malformed transition", t.line);
      out << "T\t" << it->second << '\t' << (t.topos.empty() ? "-" : t.topos) << '\t'
          << (t.tag.empty() ? "-" : t.tag) << '\t' << (t.form.empty() ? "0" : t.form) << '\n';
    }
  }
}

void CompileLexicon(std::ostringstream& out, const TMorphSources& s) {
  // Verb start states are named after the verb's class flag: VerbalRoot(F5PR).
  std::vector<std::string> stateNames;
  {
    TFsmReader reader(s.turkishFsm, s.fsmName);
    for (const auto& state : reader.Read()) stateNames.push_back(state.name);
  }
  std::map<std::string, std::pair<uint32_t, int>> lemmas;
  std::string_view text = s.turkishDictionary;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const size_t nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    const std::u32string lemma = TurkishSmall(words[0]);
    if (!IsLetterWord(lemma)) continue;  // markup, abbreviations with dots, symbols
    auto& [flags, verbState] = lemmas.try_emplace(ToUtf8(lemma), 0u, -1).first->second;
    for (size_t i = 1; i < words.size(); ++i) {
      for (const TFlagName& f : kFlagNames)
        if (words[i] == f.name) flags |= f.flag;
      if (words[i].starts_with("F") && verbState < 0) {
        const std::string name = "VerbalRoot(" + std::string(words[i]) + ")";
        const auto it = std::find(stateNames.begin(), stateNames.end(), name);
        if (it != stateNames.end()) verbState = static_cast<int>(it - stateNames.begin());
      }
    }
  }
  if (lemmas.empty())
    throw EMorphDataError(Format("%s:%d: no lemmas", s.dictionaryName.c_str(), lineNumber));
  out << "LEXICON " << lemmas.size() << '\n';
  std::vector<std::pair<std::string, size_t>> plain;
  size_t i = 0;
  for (const auto& [lemma, value] : lemmas) {
    out << lemma << '\t' << std::hex << value.first << std::dec << '\t' << value.second << '\n';
    plain.emplace_back(ToUtf8(PlainLetters(ToUtf32(lemma))), i++);
  }
  std::stable_sort(plain.begin(), plain.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  out << "PLAIN " << plain.size() << '\n';
  for (const auto& [key, at] : plain) out << key << '\t' << at << '\n';
}

void CompileWords(std::ostringstream& out, const char* section,
                  const std::vector<std::pair<std::string, uint32_t>>& words) {
  std::map<std::string, uint32_t> sorted;
  for (const auto& [word, frequency] : words) {
    if (!Clean(word)) continue;
    uint32_t& f = sorted[word];
    f = std::max(f, frequency);
  }
  out << section << ' ' << sorted.size() << '\n';
  for (const auto& [word, frequency] : sorted) out << word << '\t' << frequency << '\n';
}

}  // namespace

std::string CompileMorphData(const TMorphSources& s) {
  std::ostringstream out;
  out << kMagic << '\n';
  if (!s.turkishFsm.empty() && !s.turkishDictionary.empty()) {
    CompileFsm(out, s);
    CompileLexicon(out, s);
  }
  std::vector<std::pair<std::string, std::string>> exceptions;
  for (const auto& e : s.englishExceptions)
    if (Clean(e.first) && Clean(e.second)) exceptions.push_back(e);
  std::sort(exceptions.begin(), exceptions.end());
  exceptions.erase(std::unique(exceptions.begin(), exceptions.end()), exceptions.end());
  out << "ENGLISH " << exceptions.size() << '\n';
  for (const auto& [form, base] : exceptions) out << form << '\t' << base << '\n';
  CompileWords(out, "WORDS-EN", s.englishWords);
  CompileWords(out, "WORDS-TR", s.turkishWords);
  return out.str();
}

TMorphData TMorphData::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw EMorphDataError(Format("%s: cannot read the word-form data", path.c_str()));
  std::string text(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (!in) throw EMorphDataError(Format("%s: cannot read the word-form data", path.c_str()));
  return FromText(std::move(text), path);
}

TMorphData TMorphData::FromText(std::string text, const std::string& name) {
  TMorphData d;
  d.text_ = std::move(text);
  const std::string_view all(d.text_);
  size_t at = 0;
  int lineNumber = 0;
  const auto next = [&](std::string_view& line) {
    if (at >= all.size()) return false;
    const size_t nl = all.find('\n', at);
    const size_t end = nl == std::string_view::npos ? all.size() : nl;
    line = all.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    return true;
  };
  const auto fail = [&](const char* what) -> TMorphData {
    throw EMorphDataError(Format("%s:%d: %s", name.c_str(), lineNumber, what));
  };
  std::string_view line;
  if (!next(line) || line != kMagic) fail("not a word-form data file of this version");
  const auto count = [&](std::string_view header) {
    const size_t space = header.find(' ');
    return space == std::string_view::npos ? size_t{0}
                                           : static_cast<size_t>(Number(header.substr(space + 1)));
  };
  while (next(line)) {
    if (line.empty()) continue;
    const std::string_view section = line.substr(0, line.find(' '));
    const size_t n = count(line);
    if (section == "STATES") {
      while (d.states_.size() < n || (at < all.size() && all[at] == 'T')) {
        if (!next(line)) fail("the states end early");
        const auto f = SplitTabs(line);
        if (f[0] == "S" && f.size() == 3) {
          d.states_.push_back({std::string(f[1]), f[2] == "1", {}});
        } else if (f[0] == "T" && f.size() == 5 && !d.states_.empty()) {
          TTransition t;
          t.to = static_cast<uint16_t>(Number(f[1]));
          if (t.to >= n) fail("a transition to an unknown state");
          if (f[2] != "-") t.topos = std::string(f[2]);
          if (f[3] != "-") t.tag = std::string(f[3]);
          if (f[4] != "0") t.form = ToUtf32(f[4]);
          std::erase(t.form, U'\'');
          t.derivation =
              t.tag.find("^DB") != std::string::npos && t.tag.find("+ZERO") == std::string::npos;
          d.states_.back().transitions.push_back(std::move(t));
        } else {
          fail("a malformed state line");
        }
      }
    } else if (section == "LEXICON") {
      d.lexicon_.reserve(n);
      for (size_t i = 0; i < n; ++i) {
        const size_t start = at;
        if (!next(line) || line.find('\t') == std::string_view::npos)
          fail("a malformed lemma line");
        d.lexicon_.push_back(static_cast<uint32_t>(start));
      }
    } else if (section == "PLAIN") {
      d.plain_.reserve(n);
      for (size_t i = 0; i < n; ++i) {
        if (!next(line)) fail("the plain index ends early");
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) fail("a malformed plain line");
        const auto index = Number(line.substr(tab + 1));
        if (index >= d.lexicon_.size()) fail("a plain key of an unknown lemma");
        d.plain_.emplace_back(line.substr(0, tab), index);
      }
    } else if (section == "ENGLISH") {
      d.english_.reserve(n);
      for (size_t i = 0; i < n; ++i) {
        if (!next(line)) fail("the exception list ends early");
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) fail("a malformed exception line");
        d.english_.emplace_back(line.substr(0, tab), line.substr(tab + 1));
      }
    } else if (section == "WORDS-EN" || section == "WORDS-TR") {
      std::vector<TWord>& words = section == "WORDS-EN" ? d.wordsEn_ : d.wordsTr_;
      words.reserve(n);
      for (size_t i = 0; i < n; ++i) {
        if (!next(line)) fail("the word list ends early");
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) fail("a malformed word line");
        words.push_back({line.substr(0, tab), Number(line.substr(tab + 1))});
      }
    } else {
      fail("an unknown section");
    }
  }
  for (const TState& s : d.states_)
    for (const TTransition& t : s.transitions)
      if (t.to >= d.states_.size()) fail("a transition to an unknown state");
  return d;
}

int TMorphData::StateIndex(std::string_view name) const {
  for (size_t i = 0; i < states_.size(); ++i)
    if (states_[i].name == name) return static_cast<int>(i);
  return -1;
}

TLemma TMorphData::LemmaAt(size_t i) const {
  const std::string_view all(text_);
  const size_t start = lexicon_[i];
  const size_t end = all.find('\n', start);
  const std::string_view line =
      all.substr(start, end == std::string_view::npos ? all.npos : end - start);
  TLemma l;
  const size_t tab1 = line.find('\t');
  const size_t tab2 = line.find('\t', tab1 + 1);
  l.text = line.substr(0, tab1);
  l.flags = Number(line.substr(tab1 + 1, tab2 - tab1 - 1), 16);
  if (tab2 != std::string_view::npos && line.substr(tab2 + 1) != "-1") {
    const uint32_t state = Number(line.substr(tab2 + 1));
    l.verbState = state < states_.size() ? static_cast<int>(state) : -1;
  }
  return l;
}

std::vector<TLemma> TMorphData::Lemmas(std::string_view text) const {
  const std::string_view all(text_);
  const auto key = [&](uint32_t start) {
    const size_t tab = all.find('\t', start);
    return all.substr(start, tab - start);
  };
  const auto it =
      std::lower_bound(lexicon_.begin(), lexicon_.end(), text,
                       [&](uint32_t start, std::string_view t) { return key(start) < t; });
  std::vector<TLemma> out;
  for (auto i = it; i != lexicon_.end() && key(*i) == text; ++i)
    out.push_back(LemmaAt(static_cast<size_t>(i - lexicon_.begin())));
  return out;
}

std::vector<TLemma> TMorphData::LemmasByPlainLetters(std::string_view plain) const {
  const auto it = std::lower_bound(plain_.begin(), plain_.end(), plain,
                                   [](const auto& e, std::string_view p) { return e.first < p; });
  std::vector<TLemma> out;
  for (auto i = it; i != plain_.end() && i->first == plain; ++i) out.push_back(LemmaAt(i->second));
  return out;
}

std::vector<std::string> TMorphData::EnglishBases(std::string_view form) const {
  const auto it = std::lower_bound(english_.begin(), english_.end(), form,
                                   [](const auto& e, std::string_view f) { return e.first < f; });
  std::vector<std::string> out;
  for (auto i = it; i != english_.end() && i->first == form; ++i) out.emplace_back(i->second);
  return out;
}

uint32_t TMorphData::Frequency(std::string_view word, bool english) const {
  const std::vector<TWord>& words = Words(english);
  const auto it = std::lower_bound(words.begin(), words.end(), word,
                                   [](const TWord& w, std::string_view x) { return w.text < x; });
  return it != words.end() && it->text == word ? it->frequency : 0;
}

}  // namespace lugatim::morph

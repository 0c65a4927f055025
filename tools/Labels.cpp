#include "tools/Labels.h"

#include <map>

#include "tools/Text.h"

namespace lugatim::tools {

namespace {

struct Known {
  const char* key;  // TurkishLower of the label with blanks and a final "." removed
  const char* canonical;
};

constexpr Known kKnown[] = {
    {"a.b.d", "A.B.D."},
    {"abd", "A.B.D."},
    {"ahçı", "ahçı."},
    {"al", "Al."},
    {"anat", "anat."},
    {"argo", "argo"},
    {"ark", "ark."},
    {"ask", "ask."},
    {"astr", "astr."},
    {"aşağ", "aşağ."},
    {"bak", "bak."},
    {"bakt", "bakt."},
    {"bayt", "bayt."},
    {"bağlaç", "bağlaç"},
    {"beysbol", "beysbol"},
    {"biyokim", "biyokim."},
    {"biyol", "biyol."},
    {"bot", "bot."},
    {"briç", "briç"},
    {"colloq", "k. dili"},
    {"coğr", "coğr."},
    {"d.y", "d.y."},
    {"den", "den."},
    {"dilb", "dilb."},
    {"dişil", "dişil"},
    {"dişçi", "dişçi"},
    {"ecza", "ecza."},
    {"edat", "edat"},
    {"edeb", "edeb."},
    {"elek", "elek."},
    {"eril", "eril"},
    {"eski", "eski"},
    {"fels", "fels."},
    {"fig", "mec."},
    {"fiz", "fiz."},
    {"fizyol", "fizyol."},
    {"foto", "foto."},
    {"fr", "Fr."},
    {"geom", "geom."},
    {"gram", "gram."},
    {"güz", "güz. san."},
    {"güz.san", "güz. san."},
    {"hane", "hane."},
    {"hav", "hav."},
    {"huk", "huk."},
    {"ikt", "ikt."},
    {"ilah", "ilah."},
    {"ing", "İng."},
    {"iskambil", "iskambil"},
    {"iskoç", "İskoç."},
    {"isp", "İsp."},
    {"it", "İt."},
    {"jeol", "jeol."},
    {"k.dili", "k. dili"},
    {"kaba", "kaba"},
    {"kan", "Kan."},
    {"kat", "Kat."},
    {"kil", "kil."},
    {"kim", "kim."},
    {"kon", "kon. san."},
    {"kon.san", "kon. san."},
    {"kriket", "kriket"},
    {"kıs", "kıs."},
    {"leh", "leh."},
    {"lat", "Lat."},
    {"mad", "mad."},
    {"mak", "mak."},
    {"man", "man."},
    {"mat", "mat."},
    {"matb", "matb."},
    {"mec", "mec."},
    {"meteor", "meteor."},
    {"mim", "mim."},
    {"min", "min."},
    {"mit", "mit."},
    {"müz", "müz."},
    {"nad", "nad."},
    {"oto", "oto."},
    {"pol", "pol."},
    {"psik", "psik."},
    {"radyo", "radyo"},
    {"satranç", "satranç"},
    {"sig", "sig."},
    {"slang", "argo"},
    {"sonek", "sonek"},
    {"sosyol", "sosyol."},
    {"spor", "spor"},
    {"tar", "tar."},
    {"tek", "tek."},
    {"terz", "terz."},
    {"tic", "tic."},
    {"tiyatro", "tiyatro"},
    {"tlb", "tıb."},
    {"tıb", "tıb."},
    {"yu", "Yu."},
    {"zam", "zam."},
    {"zool", "zool."},
    {"çog", "çoğ."},
    {"çoğ", "çoğ."},
    {"önek", "önek"},
    {"ünlem", "ünlem"},
    {"şaka", "şaka"},
    {"şiir", "şiir"},
};

std::string LabelKey(std::string_view inside) {
  std::string key;
  for (char c : TurkishLower(inside))
    if (c != ' ') key.push_back(c);
  // "İng." lowers to "ing."; the dotless ı of an upper-case I stays distinct.
  if (key.ends_with('.')) key.pop_back();
  return key;
}

bool IsLabelEnd(std::string_view text, size_t at) {
  if (at >= text.size()) return true;
  const char c = text[at];
  return c == ' ' || c == ',' || c == '.' || c == ':' || c == ';' || c == ')' || c == '!' ||
         c == '?' || c == '\'';
}

bool IsLetterByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

// The letters of a "(x.)" group at open ("x"), or empty when it is not one.
std::string_view GroupLetters(std::string_view text, size_t open, size_t* close) {
  const size_t end = text.find(')', open);
  if (end == std::string_view::npos || end - open < 3 || end - open > 20) return {};
  const std::string_view inside = text.substr(open + 1, end - open - 1);
  if (inside.back() != '.') return {};
  const std::string_view letters = inside.substr(0, inside.size() - 1);
  if (CharCount(letters) > 8) return {};
  for (char c : letters)
    if (!IsLetterByte(c)) return {};
  *close = end;
  return letters;
}

}  // namespace

std::string UndoGluedLabels(std::string_view text, bool asHeadword) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t close = 0;
    const std::string_view letters =
        text[i] == '(' ? GroupLetters(text, i, &close) : std::string_view();
    if (letters.empty()) {
      out.push_back(text[i++]);
      continue;
    }
    const char before = out.empty() ? '\0' : out.back();
    const char after = close + 1 < text.size() ? text[close + 1] : '\0';
    // A headword never starts with a label: there a group at the start, or
    // alone in a comma-separated part, is an abbreviation put in too.
    const std::string_view rest = Trim(text.substr(close + 1));
    const bool partStart = out.empty() || out.ends_with(", ") || out.ends_with(',');
    const bool alone = partStart && (rest.empty() || rest.front() == ',');
    const bool glued = IsLetterByte(before) || before == '\'' || before == '-' || before == '.' ||
                       IsLetterByte(after) || (asHeadword && (alone || out.empty()));
    const bool endsPart =
        after == '\0' || after == ',' || after == ';' || after == '.' || after == ':';
    if (glued) {
      out.append(letters);
    } else if (letters == "mak" && endsPart && out.size() >= 2 && out.back() == ' ' &&
               (IsLetterByte(out[out.size() - 2]) || out[out.size() - 2] == '-')) {
      out.pop_back();
      if (out.back() == '-') out.pop_back();
      out.append("mak");
    } else {
      out.append(text.substr(i, close + 1 - i));
    }
    i = close + 1;
  }
  return out;
}

std::optional<std::string> CanonicalLabel(std::string_view inside) {
  if (inside.empty() || inside.size() > 16) return std::nullopt;
  static const std::map<std::string, std::string, std::less<>> table = [] {
    std::map<std::string, std::string, std::less<>> t;
    for (const Known& k : kKnown) t.emplace(k.key, k.canonical);
    return t;
  }();
  const auto it = table.find(LabelKey(inside));
  if (it == table.end()) return std::nullopt;
  return it->second;
}

std::vector<TLabelAt> FindLabels(std::string_view text) {
  std::vector<TLabelAt> labels;
  for (size_t open = text.find('('); open != std::string_view::npos;
       open = text.find('(', open + 1)) {
    if (open > 0 && text[open - 1] != ' ' && text[open - 1] != ',' && text[open - 1] != '(')
      continue;
    const size_t close = text.find_first_of("()", open + 1);
    if (close == std::string_view::npos || text[close] != ')') continue;
    if (!IsLabelEnd(text, close + 1)) continue;
    if (auto label = CanonicalLabel(text.substr(open + 1, close - open - 1)))
      labels.push_back({open, close + 1, std::move(*label)});
  }
  return labels;
}

std::vector<std::string> LeadingLabels(std::string_view text, size_t* restStart) {
  std::vector<std::string> labels;
  size_t pos = 0;
  for (;;) {
    if (pos >= text.size() || text[pos] != '(') break;
    const size_t close = text.find_first_of("()", pos + 1);
    if (close == std::string_view::npos || text[close] != ')') break;
    if (close + 1 < text.size() && text[close + 1] != ' ' && text[close + 1] != ',' &&
        text[close + 1] != '(')
      break;
    auto label = CanonicalLabel(text.substr(pos + 1, close - pos - 1));
    if (!label) break;
    labels.push_back(std::move(*label));
    pos = close + 1;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == ',')) ++pos;
  }
  if (restStart) *restStart = pos;
  return labels;
}

}  // namespace lugatim::tools

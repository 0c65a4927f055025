#pragma once
// The subject and usage labels of the FreeDict English–Turkish senses
// ("(müz.)", "(A.B.D.)", "(k. dili)", "(önek)" …) and their one spelling.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lugatim::tools {

inline constexpr const char* kLabelPrefix = "önek";
inline constexpr const char* kLabelSuffix = "sonek";
inline constexpr const char* kLabelSeeAlso = "bak.";
inline constexpr const char* kLabelAbbreviation = "kıs.";

// The canonical spelling of the text inside a label's parentheses ("k.dili."
// and "k. dili" give "k. dili", "ABD" gives "A.B.D.", "slang" gives "argo"),
// or nothing when it is not a known label.
std::optional<std::string> CanonicalLabel(std::string_view inside);

struct TLabelAt {
  size_t begin = 0;  // position of "("
  size_t end = 0;    // position after ")"
  std::string label;
};

// Every known label that stands as a word of the text: "(" at the start or
// after a blank or comma, ")" at the end or before a blank or punctuation.
// Parentheses glued to letters ("(sig.)orta") are not labels.
std::vector<TLabelAt> FindLabels(std::string_view text);

// The labels at the very start of the text, in a row ("(Lat.), (huk.) …"),
// and the position where the text after them begins.
std::vector<std::string> LeadingLabels(std::string_view text, size_t* restStart = nullptr);

// Undoes what the dictionary's converter did when it put abbreviations in
// parentheses inside words: a group "(x.)" of a few letters and a dot glued
// to a letter ("(kıs.)a", "as(sig.)nment", "di(sin.)fect") or following an
// apostrophe, hyphen or full stop ("bird'(s.)-foot", "-(den.)") becomes the
// letters "x" ("kısa", "assignment", "disinfect", "bird's-foot", "-den"); a
// "(mak.)" ending a verb ("sızlan (mak.)", "takıl- (mak.),") becomes its
// infinitive ending ("sızlanmak"). With asHeadword, a group at the start or
// standing alone in a comma-separated part is undone too ("(anat.)" → "anat",
// "(i.)'d" → "i'd", "(f.), (f.)" → "f, f"), since a headword never starts
// with a label.
std::string UndoGluedLabels(std::string_view text, bool asHeadword);

}  // namespace lugatim::tools

#include "morph/English.h"

namespace lugatim::morph {

std::vector<TDetached> DetachEndings(std::string_view key) {
  struct TEnding {
    const char* ending;
    const char* replacement;
    TEnglishPos pos;
    TEnglishPos alsoPos;
  };
  using P = TEnglishPos;
  static const TEnding kEndings[] = {
      {"ies", "y", P::Noun, P::Verb},       {"ses", "s", P::Noun, P::Verb},
      {"xes", "x", P::Noun, P::Verb},       {"zes", "z", P::Noun, P::Verb},
      {"ches", "ch", P::Noun, P::Verb},     {"shes", "sh", P::Noun, P::Verb},
      {"men", "man", P::Noun, P::Noun},     {"es", "e", P::Noun, P::Verb},
      {"es", "", P::Noun, P::Verb},         {"s", "", P::Noun, P::Verb},
      {"ed", "e", P::Verb, P::Verb},        {"ed", "", P::Verb, P::Verb},
      {"ing", "e", P::Verb, P::Verb},       {"ing", "", P::Verb, P::Verb},
      {"er", "", P::Adjective, P::Adverb},  {"est", "", P::Adjective, P::Adverb},
      {"er", "e", P::Adjective, P::Adverb}, {"est", "e", P::Adjective, P::Adverb}};
  std::vector<TDetached> out;
  for (const TEnding& e : kEndings) {
    const std::string_view ending(e.ending);
    if (key.size() <= ending.size() + 1 || !key.ends_with(ending)) continue;
    out.push_back({std::string(key.substr(0, key.size() - ending.size())) + e.replacement,
                   std::string(ending), e.pos, e.alsoPos});
  }
  return out;
}

std::string EnglishSmall(std::string_view word) {
  std::string out(word);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace lugatim::morph

#include "data/TypedSearch.h"

namespace lugatim::data {

int CharacterCount(const std::string& utf8) {
  int count = 0;
  for (size_t pos = 0; pos < utf8.size(); ++count) base::NextCodePoint(utf8, pos);
  return count;
}

bool LocateTyped(TTable& table, const std::string& fieldName, const std::string& text,
                 const TLemmaFinder& lemmaOf) {
  if (table.Locate(fieldName, text, loPartialKey | loCaseInsensitive) ||
      table.Locate(fieldName, text, loPartialKey | loCaseInsensitive | loIgnoreMarks))
    return true;
  if (!lemmaOf) return false;
  const std::string headword = lemmaOf(text, table.language);
  return !headword.empty() && table.Locate(fieldName, headword, loCaseInsensitive);
}

bool TTypedSearch::Type(TTable& table, const std::string& fieldName, const std::string& character,
                        int64_t nowMs) {
  if (typed_ && nowMs - lastMs_ > resetMs_) text_.clear();
  typed_ = true;
  lastMs_ = nowMs;
  if (CharacterCount(text_) + CharacterCount(character) > maxChars_) return false;
  const std::string candidate = text_ + character;
  if (!LocateTyped(table, fieldName, candidate, lemmaOf_)) return false;
  text_ = candidate;
  return true;
}

}  // namespace lugatim::data

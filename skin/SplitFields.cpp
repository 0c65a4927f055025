#include "skin/SplitFields.h"

#include <string>

namespace lugatim::skin {
namespace {

bool Skippable(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

}  // namespace

void SplitFields(base::TStringList& list, std::string_view text, char delimiter) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> fields;
  size_t i = 0;
  const auto skip = [&] {
    while (i < text.size() && Skippable(text[i])) ++i;
  };
  skip();
  while (i < text.size()) {
    std::string field;
    if (text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        field += text[i++];
      }
    } else {
      const size_t start = i;
      while (i < text.size() && static_cast<unsigned char>(text[i]) >= 32 && text[i] != delimiter)
        ++i;
      field.assign(text.substr(start, i - start));
    }
    fields.push_back(std::move(field));
    skip();
    if (i < text.size() && text[i] == delimiter) {
      ++i;
      skip();
    }
  }
  // One batch: the list changes once, from its old content to the new fields.
  list = base::TStringList(std::move(fields));
}

}  // namespace lugatim::skin

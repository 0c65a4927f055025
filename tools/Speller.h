#pragma once
// The Turkish word list the importer consults: Debian's hunspell-tr through
// libhunspell, which knows the inflected forms of its 371,000 stems. Answers
// are cached, since the same words come back many times.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class Hunspell;

namespace lugatim::tools {

inline constexpr const char* kHunspellDir = "/usr/share/hunspell";

class TSpeller {
 public:
  // Opens dir/tr_TR.aff and dir/tr_TR.dic; a missing file is an
  // EImportError naming it.
  explicit TSpeller(const std::string& dir);
  ~TSpeller();
  TSpeller(const TSpeller&) = delete;
  TSpeller& operator=(const TSpeller&) = delete;

  // Whether the word is a Turkish word form (as written, or with its first
  // letter small when it starts a sentence).
  bool IsWord(std::string_view word) const;

 private:
  std::unique_ptr<Hunspell> hunspell_;
  mutable std::unordered_map<std::string, bool> cache_;
};

}  // namespace lugatim::tools

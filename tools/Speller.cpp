#include "tools/Speller.h"

#include <hunspell.hxx>

#include <filesystem>

#include "tools/ImportTypes.h"

namespace lugatim::tools {

TSpeller::TSpeller(const std::string& dir) {
  const std::string aff = (std::filesystem::path(dir) / "tr_TR.aff").string();
  const std::string dic = (std::filesystem::path(dir) / "tr_TR.dic").string();
  for (const std::string& path : {aff, dic}) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
      throw EImportError(path + ": Turkish word list missing (install the package hunspell-tr)");
  }
  hunspell_ = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
}

TSpeller::~TSpeller() = default;

bool TSpeller::IsWord(std::string_view word) const {
  if (word.empty()) return false;
  std::string key(word);
  if (const auto it = cache_.find(key); it != cache_.end()) return it->second;
  const bool known = hunspell_->spell(key);
  cache_.emplace(std::move(key), known);
  return known;
}

}  // namespace lugatim::tools

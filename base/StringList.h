#pragma once
// Lists of text lines, as the channel files and descriptions are read.

#include <string>
#include <string_view>
#include <vector>

namespace lugatim::base {

// Splits a text into lines at CR LF, at a lone CR and at a lone LF. A break
// at the very end adds no empty line; lines are neither trimmed nor skipped,
// so an empty line in the middle stays an (empty) line.
std::vector<std::string> SplitLines(std::string_view text);

// An ordered list of strings. Indexed access outside the list fails with
// EListError "List index out of bounds (%d)".
class TStringList {
 public:
  TStringList() = default;
  explicit TStringList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Strings(int index) const;
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }

  // Replaces the list by the lines of the text (SplitLines).
  void SetText(std::string_view text) { lines_ = SplitLines(text); }
  // Every line followed by CR LF.
  std::string Text() const;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace lugatim::base

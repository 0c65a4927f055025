#include "morph/Suggest.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "morph/Letters.h"

namespace lugatim::morph {

int EditDistance(std::u32string_view a, std::u32string_view b, int limit) {
  const size_t n = a.size(), m = b.size();
  if ((n > m ? n - m : m - n) > static_cast<size_t>(limit)) return limit + 1;
  // Three rows of the optimal-string-alignment table; a row whose least
  // value passes the limit ends the search.
  constexpr size_t kMaxLength = 128;
  if (m >= kMaxLength || n >= kMaxLength) return a == b ? 0 : limit + 1;
  std::array<int, kMaxLength + 1> prev2, prev, row;  // only the first m + 1 are used
  for (size_t j = 0; j <= m; ++j) prev[j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    row[0] = static_cast<int>(i);
    int least = row[0];
    for (size_t j = 1; j <= m; ++j) {
      const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
      int v = std::min({prev[j] + 1, row[j - 1] + 1, prev[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        v = std::min(v, prev2[j - 2] + 1);
      row[j] = v;
      least = std::min(least, v);
    }
    if (least > limit) return limit + 1;
    std::swap(prev2, prev);
    std::swap(prev, row);
  }
  return std::min(prev[m], limit + 1);
}

TSuggester::TSuggester(const std::vector<TMorphData::TWord>& words) {
  for (const TMorphData::TWord& w : words) {
    TEntry e{TurkishSmall(w.text), w.text, w.frequency};
    if (e.small.empty()) continue;
    if (byLength_.size() <= e.small.size()) byLength_.resize(e.small.size() + 1);
    byLength_[e.small.size()].push_back(std::move(e));
  }
}

std::vector<std::string> TSuggester::Suggest(std::string_view word, size_t max) const {
  const std::u32string small = TurkishSmall(word);
  if (small.empty()) return {};
  struct THit {
    int distance;
    uint32_t frequency;
    std::string_view text;
  };
  std::vector<THit> hits;
  const size_t from = small.size() > 2 ? small.size() - 2 : 1;
  for (size_t len = from; len <= small.size() + 2 && len < byLength_.size(); ++len) {
    for (const TEntry& e : byLength_[len]) {
      if (e.small == small) continue;
      const int d = EditDistance(small, e.small, kMaxSuggestionDistance);
      if (d <= kMaxSuggestionDistance) hits.push_back({d, e.frequency, e.text});
    }
  }
  std::sort(hits.begin(), hits.end(), [](const THit& a, const THit& b) {
    return std::tie(a.distance, b.frequency, a.text) < std::tie(b.distance, a.frequency, b.text);
  });
  std::vector<std::string> out;
  for (const THit& h : hits) {
    if (out.size() >= max) break;
    if (std::find(out.begin(), out.end(), h.text) == out.end()) out.emplace_back(h.text);
  }
  return out;
}

}  // namespace lugatim::morph

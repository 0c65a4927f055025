#include "tools/Rank.h"

#include <algorithm>
#include <cmath>

namespace lugatim::tools {

namespace {
// One step down in the entry (a later sense, or a later place in a sense)
// weighs as much as a word two to four times as common.
constexpr double kSenseWeight = 2.0;
constexpr double kPositionWeight = 1.0;
constexpr size_t kMaxSteps = 4;
}  // namespace

double GlossScore(const TGloss& g) {
  return std::log2(1.0 + g.frequency) -
         kSenseWeight * static_cast<double>(std::min(g.sense, kMaxSteps)) -
         kPositionWeight * static_cast<double>(std::min(g.position, kMaxSteps));
}

void RankGlosses(std::vector<TGloss>& glosses) {
  std::stable_sort(glosses.begin(), glosses.end(), [](const TGloss& a, const TGloss& b) {
    const double sa = GlossScore(a), sb = GlossScore(b);
    if (sa != sb) return sa > sb;
    return a.order < b.order;
  });
}

}  // namespace lugatim::tools

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
// For a closed-class word: an English function word outweighs two places in
// its entry, a label outweighs a function word and a place.
constexpr double kFunctionWeight = 2.0;
constexpr double kLabelWeight = 3.0;

double PlaceScore(const TGloss& g) {
  return -kSenseWeight * static_cast<double>(std::min(g.sense, kMaxSteps)) -
         kPositionWeight * static_cast<double>(std::min(g.position, kMaxSteps));
}
}  // namespace

double GlossScore(const TGloss& g) {
  return std::log2(1.0 + g.frequency) + PlaceScore(g);
}

double ClosedClassScore(const TGloss& g) {
  return PlaceScore(g) + (g.function ? kFunctionWeight : 0.0) - (g.labelled ? kLabelWeight : 0.0);
}

void RankGlosses(std::vector<TGloss>& glosses, bool closedClass) {
  const auto score = closedClass ? ClosedClassScore : GlossScore;
  std::stable_sort(glosses.begin(), glosses.end(), [&](const TGloss& a, const TGloss& b) {
    const double sa = score(a), sb = score(b);
    if (sa != sb) return sa > sb;
    return a.order < b.order;
  });
}

}  // namespace lugatim::tools

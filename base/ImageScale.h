#pragma once
// Images at several scales. A picture may come at 1x and again at two or
// three times the pixels in each direction, named "<NAME>@2X" and
// "<NAME>@3X"; a screen of device pixel ratio r shows best the smallest
// scale at or above r (downscaling keeps the detail, upscaling blurs).

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace lugatim::base {

constexpr int kLargestImageScale = 3;

// The scales to try for a device pixel ratio, best first: the smallest
// scale at or above the ratio, the larger ones, then the smaller ones down
// to 1 (always last). A ratio at or below 1 gives {1}.
inline std::vector<int> ScalesToTry(double ratio) {
  if (!(ratio > 1)) return {1};
  // A ratio a hair above a whole number (rounding of a fractional
  // setting) counts as that number.
  const int first = std::clamp(static_cast<int>(std::ceil(ratio - 0.01)), 1, kLargestImageScale);
  std::vector<int> scales;
  for (int s = first; s <= kLargestImageScale; ++s) scales.push_back(s);
  for (int s = first - 1; s >= 1; --s) scales.push_back(s);
  return scales;
}

// The name of an image at a scale: "DUVADAREVI3" at 2 is "DUVADAREVI3@2X";
// at 1 the name itself.
inline std::string ScaledResourceName(const std::string& name, int scale) {
  return scale == 1 ? name : name + "@" + std::to_string(scale) + "X";
}

}  // namespace lugatim::base

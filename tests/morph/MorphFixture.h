#pragma once
// The compiled word-form data of the real nlptoolkit sources, made once per
// test program; tests that need it skip when the build was configured
// without them and fail when the configured folder lacks them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "morph/MorphData.h"
#include "morph/TurkishAnalyser.h"
#include "morph/WordFinder.h"

namespace morphtest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Null when the build has no morphology folder.
inline std::shared_ptr<const lugatim::morph::TMorphData> RealData() {
  static std::shared_ptr<const lugatim::morph::TMorphData> data = [] {
    const std::string dir = LUGATIM_MORPH_DIR;
    if (dir.empty()) return std::shared_ptr<const lugatim::morph::TMorphData>();
    lugatim::morph::TMorphSources s;
    s.turkishDictionary = ReadFile(dir + "/turkish_dictionary.txt");
    s.turkishFsm = ReadFile(dir + "/turkish_finite_state_machine.xml");
    s.englishExceptions = {{"went", "go"}, {"mice", "mouse"}};
    return std::make_shared<const lugatim::morph::TMorphData>(
        lugatim::morph::TMorphData::FromText(lugatim::morph::CompileMorphData(s)));
  }();
  return data;
}

#define REQUIRE_REAL_DATA()                                                              \
  do {                                                                                   \
    if (std::string(LUGATIM_MORPH_DIR).empty())                                          \
      GTEST_SKIP() << "built without LUGATIM_MORPH_DIR: no Turkish morphology data";     \
    ASSERT_TRUE(morphtest::RealData() && morphtest::RealData()->HasTurkish())            \
        << "no Turkish data in " << LUGATIM_MORPH_DIR << " (tools/fetch-nlptoolkit.sh)"; \
  } while (0)

// A dictionary table as a set of headwords, compared in small letters.
class FakeTable : public lugatim::morph::IHeadwords {
 public:
  explicit FakeTable(std::set<std::string> words) : words_(std::move(words)) {}
  std::optional<std::string> Equal(const std::string& w) override {
    if (words_.contains(w)) return w;
    return std::nullopt;
  }
  std::optional<std::string> EqualWithoutMarks(const std::string&) override { return std::nullopt; }
  std::vector<std::string> asked;

 private:
  std::set<std::string> words_;
};

}  // namespace morphtest

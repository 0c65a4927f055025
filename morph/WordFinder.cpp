#include "morph/WordFinder.h"

#include <algorithm>

#include "morph/English.h"
#include "morph/Letters.h"

namespace lugatim::morph {

TFound RankAnalyses(const std::vector<TAnalysis>& analyses, IHeadwords& table,
                    const std::function<uint32_t(const std::string&)>& frequency) {
  TFound found;
  if (analyses.empty()) return found;
  const TAnalysis& best = analyses.front();
  // Readings as short as the best one are as likely: örnekler is örnekle + r
  // or örnek + ler, and the table decides.
  const auto rankedWithBest = [&](const TAnalysis& a) {
    return a.morphemes.size() == best.morphemes.size() &&
           a.WordClassChanges() == best.WordClassChanges();
  };
  const auto land = [&](const TAnalysis& a, const std::string& spelling) {
    found.kind = TFindKind::Analysed;
    found.headword = spelling;
    found.analysis = a.Text();
    found.tags = a.Tags();
    return found;
  };
  // Among the readings ranked with the best, the more frequent headword
  // wins: noktalar is nokta + lar rather than noktala + r, sağlar sağla + r.
  const TAnalysis* groupBest = nullptr;
  std::string groupSpelling;
  uint32_t groupFrequency = 0;
  for (const TAnalysis& a : analyses) {
    if (!rankedWithBest(a)) continue;
    for (const std::string& h : a.headwords) {
      if (std::optional<std::string> spelling = table.Equal(h)) {
        const uint32_t f = frequency ? frequency(h) : 0;
        if (groupBest == nullptr || f > groupFrequency) {
          groupBest = &a;
          groupSpelling = *spelling;
          groupFrequency = f;
        }
        break;
      }
    }
  }
  if (groupBest != nullptr) return land(*groupBest, groupSpelling);
  // After them, readings that derive the word from a root, or read it as a
  // verb's form; of these the most specific headword (desteklenmektedir:
  // desteklemek before destek). A word that is itself the lexicon's lemma is
  // another root's form only by derivation or by plain verb endings (görmüş
  // is gör + müş; uyarı is no aorist participle of uymak).
  const bool bareLemma = best.morphemes.empty();
  const TAnalysis* fallback = nullptr;
  std::string fallbackSpelling;
  for (const TAnalysis& a : analyses) {
    const bool verbForm = a.rootPos == "VERB" && (!bareLemma || a.WordClassChanges() == 0);
    if (!a.derived && !verbForm) continue;
    for (const std::string& h : a.headwords) {
      if (std::optional<std::string> spelling = table.Equal(h)) {
        if (fallback == nullptr || ToUtf32(*spelling).size() > ToUtf32(fallbackSpelling).size()) {
          fallback = &a;
          fallbackSpelling = *spelling;
        }
        break;
      }
    }
  }
  if (fallback != nullptr) return land(*fallback, fallbackSpelling);
  found.kind = TFindKind::NotInDictionary;
  found.lemma = best.headwords.empty() ? best.lemma : best.headwords.front();
  found.analysis = best.Text();
  found.tags = best.Tags();
  return found;
}

std::vector<TEnglishBase> EnglishBaseForms(std::string_view word, const TMorphData* data) {
  const std::string key = EnglishSmall(word);
  std::vector<TEnglishBase> out;
  const auto add = [&](const std::string& base, const std::string& ending) {
    // Without a part of speech to check, a base of one or two letters cut
    // off by a rule is more often wrong than a word ("user" is not "us" + er).
    if (base.empty() || base == key || (!ending.empty() && base.size() < 3)) return;
    for (const TEnglishBase& b : out)
      if (b.base == base) return;
    out.push_back({base, ending});
  };
  if (data != nullptr)
    for (const std::string& b : data->EnglishBases(key)) add(b, "");
  for (const TDetached& d : DetachEndings(key)) add(d.base, d.ending);
  // Adverbs in -ly lead to their adjective where the table lacks the adverb
  // (clearly → clear, happily → happy).
  if (key.size() > 5 && key.ends_with("ily")) add(key.substr(0, key.size() - 3) + "y", "ly");
  if (key.size() > 4 && key.ends_with("ly")) add(key.substr(0, key.size() - 2), "ly");
  return out;
}

TWordForms::TWordForms(std::string path) : path_(std::move(path)) {}

TWordForms::TWordForms(std::shared_ptr<const TMorphData> data)
    : loaded_(true), data_(std::move(data)) {
  if (data_ != nullptr) turkish_ = std::make_unique<TTurkishAnalyser>(*data_);
}

const TMorphData* TWordForms::Data() {
  if (!loaded_) {
    loaded_ = true;
    try {
      data_ = std::make_shared<const TMorphData>(TMorphData::Load(path_));
      turkish_ = std::make_unique<TTurkishAnalyser>(*data_);
    } catch (const std::exception& e) {
      error_ = e.what();
    }
  }
  return data_.get();
}

bool TWordForms::Available() {
  std::lock_guard lock(mutex_);
  return Data() != nullptr;
}

std::string TWordForms::LoadError() {
  std::lock_guard lock(mutex_);
  Data();
  return error_;
}

std::vector<TAnalysis> TWordForms::AnalyseTurkish(const std::string& word) {
  std::lock_guard lock(mutex_);
  if (Data() == nullptr) return {};
  return turkish_->Analyse(word);
}

TFound TWordForms::Find(const std::string& word, bool turkish, IHeadwords& table) {
  TFound found;
  if (std::optional<std::string> h = table.Equal(word)) {
    found.kind = TFindKind::Exact;
    found.headword = *h;
    return found;
  }
  if (std::optional<std::string> h = table.EqualWithoutMarks(word)) {
    found.kind = TFindKind::WithoutMarks;
    found.headword = *h;
    return found;
  }
  if (turkish) {
    const std::vector<TAnalysis> analyses = AnalyseTurkish(word);
    std::lock_guard lock(mutex_);
    const TMorphData* data = Data();
    return RankAnalyses(analyses, table, [data](const std::string& h) {
      return data != nullptr ? data->Frequency(h, false) : 0u;
    });
  }
  std::vector<TEnglishBase> bases;
  {
    std::lock_guard lock(mutex_);
    bases = EnglishBaseForms(word, Data());
  }
  for (const TEnglishBase& b : bases) {
    if (std::optional<std::string> h = table.Equal(b.base)) {
      found.kind = TFindKind::Analysed;
      found.headword = *h;
      found.analysis = b.ending.empty() ? b.base : b.base + " + " + b.ending;  // larger: large + er
      found.tags = b.base;
      return found;
    }
  }
  return found;
}

std::vector<std::string> TWordForms::Suggest(const std::string& word, bool turkish) {
  std::lock_guard lock(mutex_);
  const TMorphData* data = Data();
  if (data == nullptr) return {};
  std::unique_ptr<TSuggester>& s = turkish ? suggestTr_ : suggestEn_;
  if (s == nullptr) s = std::make_unique<TSuggester>(data->Words(!turkish));
  return s->Suggest(word);
}

}  // namespace lugatim::morph

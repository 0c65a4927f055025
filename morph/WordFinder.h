#pragma once
// Finding the entry of a word a person meets in a text: the word as given,
// then without its marks, then its lemma by analysis (Turkish) or its base
// form (English), ranked so that an inflected word never lands on a shorter,
// unrelated headword. The tables stay behind an interface: the program, the
// lookup tool and the tests each put their own in front of it.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "morph/MorphData.h"
#include "morph/Suggest.h"
#include "morph/TurkishAnalyser.h"

namespace lugatim::morph {

// What the finder asks of a dictionary table.
class IHeadwords {
 public:
  virtual ~IHeadwords() = default;
  // The table's spelling of a headword equal to word, compared as the
  // table compares without regard to case (or also without marks).
  virtual std::optional<std::string> Equal(const std::string& word) = 0;
  virtual std::optional<std::string> EqualWithoutMarks(const std::string& word) = 0;
};

// The interface over a function (word, withoutMarks) → the table's spelling.
class THeadwordsFunction : public IHeadwords {
 public:
  using TFunction = std::function<std::optional<std::string>(const std::string&, bool)>;
  explicit THeadwordsFunction(TFunction f) : f_(std::move(f)) {}
  std::optional<std::string> Equal(const std::string& word) override { return f_(word, false); }
  std::optional<std::string> EqualWithoutMarks(const std::string& word) override {
    return f_(word, true);
  }

 private:
  TFunction f_;
};

enum class TFindKind {
  None,             // nothing found
  Exact,            // the word is a headword
  WithoutMarks,     // agac → ağaç
  Analysed,         // kitaplarımızdan → kitap
  NotInDictionary,  // the lexicon knows the lemma, the table lacks it
};

struct TFound {
  TFindKind kind = TFindKind::None;
  std::string headword;  // the table's spelling (Exact, WithoutMarks, Analysed)
  std::string lemma;     // NotInDictionary: the dictionary form the table lacks
  std::string analysis;  // "kitap + lar + ımız + dan", or "large + er"
  std::string tags;      // "kitap+NOUN+A3PL+P1PL+ABL"

  bool Found() const {
    return kind == TFindKind::Exact || kind == TFindKind::WithoutMarks ||
           kind == TFindKind::Analysed;
  }
};

// The ranking over analyses: the first analysis (fewest suffixes) and those
// with as many suffixes and word-class changes come first, each with its most derived dictionary
// form first; after them only analyses that derive the word from a root (the root's entry stands
// for the derived word: güzelliği → güzel when the table lacks güzellik) or read it as a verb's
// form. A lemma that none of these finds is reported as not in the dictionary.
// frequency, where given, says how common a headword is (the word list of
// the compiled data); among readings of equal rank the more common wins.
TFound RankAnalyses(const std::vector<TAnalysis>& analyses, IHeadwords& table,
                    const std::function<uint32_t(const std::string&)>& frequency = {});

// English: the bases by the exception lists (ending empty: "went" → go),
// then by the regular endings ("larger" → large + er), each once.
struct TEnglishBase {
  std::string base;
  std::string ending;
};
std::vector<TEnglishBase> EnglishBaseForms(std::string_view word, const TMorphData* data);

// The compiled data, loaded on first use, and what is made of it; shared by
// threads. Without data (no file, or a broken one) there is no analysis and
// no suggestion, and everything else still works.
class TWordForms {
 public:
  // path: the compiled file; loaded when first needed.
  explicit TWordForms(std::string path);
  // For tests: data in memory.
  explicit TWordForms(std::shared_ptr<const TMorphData> data);

  // Exact, without marks, then analysed; turkish says the table's headword
  // language.
  TFound Find(const std::string& word, bool turkish, IHeadwords& table);
  // Headwords near a word that finds nothing (at most kMaxSuggestions).
  std::vector<std::string> Suggest(const std::string& word, bool turkish);
  // The Turkish analyses alone.
  std::vector<TAnalysis> AnalyseTurkish(const std::string& word);

  // Whether the data loaded, and why not.
  bool Available();
  std::string LoadError();

 private:
  const TMorphData* Data();
  std::mutex mutex_;
  std::string path_;
  bool loaded_ = false;
  std::string error_;
  std::shared_ptr<const TMorphData> data_;
  std::unique_ptr<TTurkishAnalyser> turkish_;
  std::unique_ptr<TSuggester> suggestEn_, suggestTr_;
};

}  // namespace lugatim::morph

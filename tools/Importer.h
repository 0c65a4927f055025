#pragma once
// The imports lugatim-import runs, from source files to committed table
// files, and its command line.

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/Content.h"
#include "tools/DictdEntry.h"
#include "tools/ImportTypes.h"
#include "tools/Progress.h"

namespace lugatim::tools {

// The parsed entries of a dictd dictionary, in index order.
std::vector<TParsedEntry> LoadDictd(const std::string& indexPath, const std::string& dictPath,
                                    TProgress& progress = TProgress::Silent());

inline constexpr const char* kEnglishTable = "Sozluk1.DB";   // English headwords
inline constexpr const char* kTurkishTable = "SozlukE1.DB";  // Turkish headwords

// Where the default import reads its sources (the Debian packages'
// folders unless told otherwise).
struct TDefaultsSources {
  std::string dictdDir = "/usr/share/dictd";        // dict-freedict-eng-tur, -tur-eng
  std::string wordnetDir = "/usr/share/wordnet";    // wordnet-base
  std::string hunspellDir = "/usr/share/hunspell";  // hunspell-tr
  // The Turkish morphology files of nlptoolkit (turkish_dictionary.txt,
  // turkish_finite_state_machine.xml), fetched by setup.sh; empty: none, and
  // the word-form data holds no Turkish analysis.
  std::string morphDir;
};

struct TDefaultsResult {
  size_t englishRows = 0;
  size_t turkishRows = 0;
  size_t turkishLemmas = 0;  // lemmas of the Turkish analysis, 0 without it
  TContentReport content;
};

// Builds Sozluk1.DB and SozlukE1.DB in outDir (created if missing) from
// freedict-eng-tur and freedict-tur-eng, cleaned and completed with WordNet
// and the Turkish word list (see Content.h), and beside them the word-form
// data (morph/MorphData.h): WordNet's irregular forms, the Turkish
// morphology when sources.morphDir names it, and both tables' headwords for
// suggestions. Everything is built before anything replaces an existing file.
TDefaultsResult ImportDefaults(const TDefaultsSources& sources, const std::string& outDir,
                               TProgress& progress = TProgress::Silent());

// The summary the command line prints of a default import's clean-up;
// samples adds examples of each repair and the dropped headwords.
std::string ContentSummary(const TContentReport& report, bool samples = false);

// One table from one dictd dictionary whose headwords are in lang; sorted
// alphabetically unless keepOrder. Returns the number of rows.
size_t ImportDictd(const std::string& indexPath, const std::string& dictPath,
                   const std::string& outPath, TLang lang, bool keepOrder,
                   TProgress& progress = TProgress::Silent());

// One table from a word list (see Tsv.h); sorted unless keepOrder.
size_t ImportTsv(const std::string& tsvPath, const std::string& outPath, TLang lang, bool keepOrder,
                 TProgress& progress = TProgress::Silent());

// The command line (args without the program name); messages go to out and
// err. Returns the exit status: 0 done, 1 the import failed, 2 bad usage
// or out could not be written.
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              TProgress& progress = TProgress::Silent());

// The text of lugatim-import --help.
std::string UsageText();

}  // namespace lugatim::tools

#pragma once
// The imports lugatim-import runs, from source files to committed table
// files, and its command line.

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/DictdEntry.h"
#include "tools/ImportTypes.h"
#include "tools/Progress.h"

namespace lugatim::tools {

// The parsed entries of a dictd dictionary, in index order.
std::vector<TParsedEntry> LoadDictd(const std::string& indexPath, const std::string& dictPath,
                                    TProgress& progress = TProgress::Silent());

// Rows of the table of an English–Turkish dictionary (English headwords):
// every entry, duplicates included, in English alphabetical order.
std::vector<TRow> EnglishTableRows(const std::vector<TParsedEntry>& englishTurkish);

// Rows of the Turkish-headword table: the Turkish–English dictionary merged
// with the reverse of the English–Turkish one, in Turkish alphabetical order.
std::vector<TRow> TurkishTableRows(const std::vector<TParsedEntry>& turkishEnglish,
                                   const std::vector<TParsedEntry>& englishTurkish);

inline constexpr const char* kEnglishTable = "Sozluk1.DB";   // English headwords
inline constexpr const char* kTurkishTable = "SozlukE1.DB";  // Turkish headwords

struct TDefaultsResult {
  size_t englishRows = 0;
  size_t turkishRows = 0;
};

// Builds Sozluk1.DB and SozlukE1.DB in outDir (created if missing) from
// freedict-eng-tur and freedict-tur-eng in dictdDir. Both tables are built
// before either replaces an existing one.
TDefaultsResult ImportDefaults(const std::string& dictdDir, const std::string& outDir,
                               TProgress& progress = TProgress::Silent());

// One table from one dictd dictionary whose headwords are in lang; sorted
// alphabetically unless keepOrder. Returns the number of rows.
size_t ImportDictd(const std::string& indexPath, const std::string& dictPath,
                   const std::string& outPath, TLang lang, bool keepOrder,
                   TProgress& progress = TProgress::Silent());

// One table from a word list (see Tsv.h); sorted unless keepOrder.
size_t ImportTsv(const std::string& tsvPath, const std::string& outPath, TLang lang, bool keepOrder,
                 TProgress& progress = TProgress::Silent());

// The command line (args without the program name); messages go to out and
// err. Returns the exit status: 0 done, 1 the import failed, 2 bad usage.
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              TProgress& progress = TProgress::Silent());

// The text of lugatim-import --help.
std::string UsageText();

}  // namespace lugatim::tools

#include "tools/Importer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

#include "base/Exception.h"
#include "base/Options.h"
#include "data/Table.h"
#include "morph/MorphData.h"
#include "platform/ExePath.h"
#include "tools/Collation.h"
#include "tools/Dictd.h"
#include "tools/Reverse.h"
#include "tools/Speller.h"
#include "tools/TableWriter.h"
#include "tools/Text.h"
#include "tools/Tsv.h"
#include "tools/WordNet.h"

namespace lugatim::tools {

using base::Format;

std::vector<TParsedEntry> LoadDictd(const std::string& indexPath, const std::string& dictPath,
                                    TProgress& progress) {
  const std::vector<TDictdEntry> raw = ReadDictd(indexPath, dictPath, progress);
  std::vector<TParsedEntry> entries;
  entries.reserve(raw.size());
  progress.Phase(std::filesystem::path(indexPath).stem().string());
  for (const TDictdEntry& e : raw) {
    if (entries.size() % 1024 == 0) progress.Update(entries.size(), raw.size());
    entries.push_back(ParseDictdEntry(e.text, e.key));
    if (CharCount(entries.back().headword) > 255)
      throw EImportError(
          Format("%s:%d: headword longer than 255 characters", indexPath.c_str(), e.line));
  }
  return entries;
}

namespace {

std::string Join(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

// The .dict.dz of a dictionary, or its uncompressed .dict when only that exists.
std::string DictFile(const std::string& dir, const std::string& name) {
  const std::string dz = Join(dir, name + ".dict.dz");
  const std::string plain = Join(dir, name + ".dict");
  std::error_code ec;
  if (!std::filesystem::exists(dz, ec) && std::filesystem::exists(plain, ec)) return plain;
  return dz;
}

// A source file's whole text; a missing one is an error that names it and
// what provides it.
std::string ReadSource(const std::string& path, const char* provider) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw EImportError(Format("%s: Turkish morphology file missing (%s)", path.c_str(), provider));
  return ReadWholeFile(path);
}

// How common a Turkish headword is, as the reverse dictionary shows it: the
// number of English words its first line lists.
uint32_t TurkishFrequency(const TRow& row) {
  const std::string first = row.anlami.substr(0, row.anlami.find('\n'));
  uint32_t words = first.empty() ? 0 : 1;
  for (size_t at = first.find(", "); at != std::string::npos; at = first.find(", ", at + 2))
    ++words;
  return words;
}

// The word-form data file, written beside the tables through a temporary
// file renamed over the old one only by Commit.
class TStagedFile {
 public:
  TStagedFile(std::string target, const std::string& text)
      : target_(std::move(target)), temp_(target_ + ".tmp") {
    std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::remove(temp_.c_str());
      throw EImportError(Format("%s: cannot write the file", temp_.c_str()));
    }
  }
  ~TStagedFile() {
    if (!committed_) std::remove(temp_.c_str());
  }
  void Commit() {
    if (std::rename(temp_.c_str(), target_.c_str()) != 0)
      throw EImportError(Format("%s: cannot replace the file", target_.c_str()));
    committed_ = true;
  }

 private:
  std::string target_, temp_;
  bool committed_ = false;
};

void MakeFolder(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir))
    throw EImportError(Format("%s: cannot create the folder: %s", dir.c_str(),
                              ec ? ec.message().c_str() : "not a folder"));
}

}  // namespace

TDefaultsResult ImportDefaults(const TDefaultsSources& sources, const std::string& outDir,
                               TProgress& progress) {
  const std::string& dictd = sources.dictdDir;
  const std::vector<TParsedEntry> engTur = LoadDictd(Join(dictd, "freedict-eng-tur.index"),
                                                     DictFile(dictd, "freedict-eng-tur"), progress);
  const std::vector<TParsedEntry> turEng = LoadDictd(Join(dictd, "freedict-tur-eng.index"),
                                                     DictFile(dictd, "freedict-tur-eng"), progress);
  const TWordNet wordnet = TWordNet::Load(sources.wordnetDir);
  const TSpeller speller(sources.hunspellDir);
  const TWordTest turkish = [&](std::string_view w) { return speller.IsWord(w); };
  morph::TMorphSources morph;
  if (!sources.morphDir.empty()) {
    morph.turkishDictionary = ReadSource(Join(sources.morphDir, "turkish_dictionary.txt"),
                                         "npm package nlptoolkit-dictionary; setup.sh fetches it");
    morph.turkishFsm =
        ReadSource(Join(sources.morphDir, "turkish_finite_state_machine.xml"),
                   "npm package nlptoolkit-morphologicalanalysis; setup.sh fetches it");
    morph.dictionaryName = Join(sources.morphDir, "turkish_dictionary.txt");
    morph.fsmName = Join(sources.morphDir, "turkish_finite_state_machine.xml");
  }
  // The lexicon alone, compiled before the tables, tells the parts of speech
  // of Turkish words; the word-form file adds the tables' headwords.
  const morph::TMorphData lexicon = morph::TMorphData::FromText(morph::CompileMorphData(morph));
  TWordFlags turkishFlags;
  if (lexicon.HasTurkish())
    turkishFlags = [&](std::string_view w) {
      uint32_t flags = 0;
      for (const morph::TLemma& l : lexicon.Lemmas(TurkishLower(w)))
        if (l.text == TurkishLower(w)) flags |= l.flags;
      return flags;
    };
  TDefaultsResult result;
  const std::vector<TParsedEntry> cleaned =
      CleanEnglishTurkish(engTur, wordnet, turkish, result.content);
  const std::vector<TRow> english = EnglishTableRows(cleaned, wordnet, result.content);
  const std::vector<TRow> turkishRows =
      TurkishTableRows(turEng, cleaned, wordnet, turkish, turkishFlags);
  for (const TIrregular& i : wordnet.Irregulars())
    morph.englishExceptions.emplace_back(i.form, i.base);
  for (const TRow& r : english)
    morph.englishWords.emplace_back(r.kelime, wordnet.Frequency(r.kelime));
  for (const TRow& r : turkishRows) morph.turkishWords.emplace_back(r.kelime, TurkishFrequency(r));
  const std::string morphText = morph::CompileMorphData(morph);
  result.turkishLemmas = morph::TMorphData::FromText(morphText).LemmaCount();
  MakeFolder(outDir);
  TStagedFile morphFile(Join(outDir, morph::kMorphFile), morphText);
  progress.Phase(kEnglishTable);
  TStagedTable englishTable(Join(outDir, kEnglishTable), english, TLang::English, progress);
  progress.Phase(kTurkishTable);
  TStagedTable turkishTable(Join(outDir, kTurkishTable), turkishRows, TLang::Turkish, progress);
  englishTable.Commit();
  turkishTable.Commit();
  morphFile.Commit();
  progress.Finish();
  result.englishRows = english.size();
  result.turkishRows = turkishRows.size();
  return result;
}

std::string ContentSummary(const TContentReport& r, bool samples) {
  std::string out;
  size_t repaired = 0;
  std::string kinds;
  for (const auto& [kind, k] : r.repairs) {
    repaired += k.count;
    kinds += (kinds.empty() ? "" : ", ") + kind + " " + std::to_string(k.count);
  }
  out += "repaired words: " + std::to_string(repaired) + (kinds.empty() ? "" : " (" + kinds + ")") +
         "\n";
  out += "run-on entries set apart: " + std::to_string(r.runOns.fromMeanings) + " from meanings, " +
         std::to_string(r.runOns.fromExamples) + " from examples\n";
  out += "broken headwords: " + std::to_string(r.runOns.mended) + " mended, " +
         std::to_string(r.runOns.dropped) + " dropped\n";
  out += "irregular forms added: " + std::to_string(r.irregulars) + "\n";
  out += "examples from WordNet: " + std::to_string(r.wordnetExamples) + "\n";
  if (!samples) return out;
  for (const auto& [kind, k] : r.repairs) {
    out += "  " + kind + ":";
    for (const std::string& s : k.samples) out += " " + s + ";";
    out += "\n";
  }
  out += "  dropped headwords:";
  for (const std::string& h : r.runOns.droppedHeadwords) out += " \"" + h + "\"";
  out += "\n";
  return out;
}

size_t ImportDictd(const std::string& indexPath, const std::string& dictPath,
                   const std::string& outPath, TLang lang, bool keepOrder, TProgress& progress) {
  const std::vector<TParsedEntry> entries = LoadDictd(indexPath, dictPath, progress);
  std::vector<TRow> rows;
  rows.reserve(entries.size());
  for (const TParsedEntry& e : entries) rows.push_back(MapEntry(e, lang));
  if (!keepOrder) SortRows(rows, lang);
  progress.Phase(std::filesystem::path(outPath).filename().string());
  WriteTable(outPath, rows, lang, progress);
  progress.Finish();
  return rows.size();
}

size_t ImportTsv(const std::string& tsvPath, const std::string& outPath, TLang lang, bool keepOrder,
                 TProgress& progress) {
  std::vector<TRow> rows = ParseTsv(ReadWholeFile(tsvPath), tsvPath);
  if (!keepOrder) SortRows(rows, lang);
  progress.Phase(std::filesystem::path(outPath).filename().string());
  WriteTable(outPath, rows, lang, progress);
  progress.Finish();
  return rows.size();
}

std::string UsageText() {
  return R"(Usage:
  lugatim-import [--user] defaults [--dictd-dir DIR] [--wordnet-dir DIR]
                          [--hunspell-dir DIR] [--morph-dir DIR]
                          [--verbose] [--out DIR]
      Builds the two dictionary tables of Lugatim from the FreeDict
      dictionaries (Debian packages dict-freedict-eng-tur and
      dict-freedict-tur-eng): Sozluk1.DB (English headwords, Turkish
      meanings) and SozlukE1.DB (Turkish headwords, English meanings: the
      Turkish-English dictionary merged with the reverse of the
      English-Turkish one). WordNet (wordnet-base) gives parts of speech,
      examples, irregular forms and word frequencies; the Turkish word list
      (hunspell-tr) decides the repair of scanning errors. Lugatim.morph,
      beside the tables, holds the word forms that lead an inflected or
      misspelt word to its entry.
      --dictd-dir DIR     folder of the .index and .dict.dz files
                          (default /usr/share/dictd)
      --wordnet-dir DIR   WordNet's database (default /usr/share/wordnet)
      --hunspell-dir DIR  folder of tr_TR.aff and tr_TR.dic
                          (default /usr/share/hunspell)
      --morph-dir DIR     folder of turkish_dictionary.txt and
                          turkish_finite_state_machine.xml (the npm packages
                          nlptoolkit-dictionary and -morphologicalanalysis,
                          which setup.sh fetches); without it Lugatim.morph
                          holds no Turkish analysis
      --verbose           list samples of the repairs and the dropped
                          headwords
      --out DIR           folder of the tables, created if missing
                          (default: where Lugatim reads its tables:
                          $LUGATIM_DB_DIR, else data/ beside this program,
                          or <prefix>/share/lugatim/data when installed)

  lugatim-import [--user] dictd [--lang en|tr] [--keep-order] INDEXFILE DICTFILE OUT.DB
      Builds one table from one dictionary in the dictd format (DICTFILE
      plain or dictzip-compressed).

  lugatim-import [--user] tsv [--lang en|tr] [--keep-order] FILE OUT.DB
      Builds one table from a word list: UTF-8 text, one entry per line,
          headword TAB category TAB prefix/suffix TAB meaning TAB example
      Trailing fields may be left out; more than five fields is an error.
      In meaning and example \n is a line break, \t a tab, \\ a backslash.
      Empty lines and lines starting with # are skipped. Headword, category
      and prefix/suffix hold up to 255 characters; the headword must not be
      empty.

  --lang en|tr   language of the headwords, for the alphabetical order and
                 the affix words of a dictd import (default en)
  --keep-order   keep the entries in file order instead of sorting them
  --user         write into the user's own folder, $XDG_DATA_HOME/lugatim
                 (default ~/.local/share/lugatim), created if missing: Lugatim
                 reads a table there before the shipped one of the same name
                 (unless LUGATIM_DB_DIR is set); OUT.DB is then a file name

  lugatim-import --help | --version

The table is named after the file (OUT.DB "Words.DB" holds table "Words").
It is written to a temporary file beside OUT.DB and renamed over it when
complete, so a failed import leaves an existing table untouched.
Exit status: 0 done, 1 the import failed, 2 wrong usage or output that cannot
be written.
)";
}

namespace {

struct TArgs {
  std::vector<std::string> positional;
  std::optional<std::string> dictdDir, outDir, wordnetDir, hunspellDir, morphDir;
  TLang lang = TLang::English;
  bool keepOrder = false;
  bool help = false;
  bool version = false;
  bool verbose = false;
  bool user = false;
};

using base::EUsage;

TArgs ParseArgs(const std::vector<std::string>& args, size_t from, bool defaults) {
  std::vector<base::TKnownOption> known =
      defaults ? std::vector<base::TKnownOption>{{"--dictd-dir", true},    {"--wordnet-dir", true},
                                                 {"--hunspell-dir", true}, {"--morph-dir", true},
                                                 {"--verbose", false},     {"--out", true}}
               : std::vector<base::TKnownOption>{{"--lang", true}, {"--keep-order", false}};
  known.push_back({"--user", false});
  const base::TOptions o =
      base::ParseOptions({args.begin() + static_cast<long>(from), args.end()}, known);
  TArgs a;
  a.positional = o.words;
  a.help = o.help;
  a.version = o.version;
  a.dictdDir = o.Value("--dictd-dir");
  a.wordnetDir = o.Value("--wordnet-dir");
  a.hunspellDir = o.Value("--hunspell-dir");
  a.morphDir = o.Value("--morph-dir");
  a.outDir = o.Value("--out");
  a.verbose = o.Has("--verbose");
  a.keepOrder = o.Has("--keep-order");
  a.user = o.Has("--user");
  if (const std::optional<std::string> v = o.Value("--lang")) {
    if (*v == "en")
      a.lang = TLang::English;
    else if (*v == "tr")
      a.lang = TLang::Turkish;
    else
      throw EUsage("--lang takes en or tr, not '" + *v + "'");
  }
  return a;
}

}  // namespace

namespace {

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           TProgress& progress) {
  try {
    // --user may stand before the command: lugatim-import --user tsv ...
    const bool userFirst = !args.empty() && args.front() == "--user";
    const size_t at = userFirst ? 1 : 0;
    if (args.size() <= at) throw EUsage("no command given");
    const std::string& command = args[at];
    if (command == "--help" || command == "-h" || command == "help") {
      out << UsageText();
      return 0;
    }
    if (command == "--version" || command == "-V") {
      out << base::VersionText("lugatim-import");
      return 0;
    }
    if (command != "defaults" && command != "dictd" && command != "tsv")
      throw EUsage("unknown command '" + command + "'");
    TArgs a = ParseArgs(args, at + 1, command == "defaults");
    a.user = a.user || userFirst;
    if (a.help) {
      out << UsageText();
      return 0;
    }
    if (a.version) {
      out << base::VersionText("lugatim-import");
      return 0;
    }
    // The user's folder, which the program reads before the shipped tables,
    // made on first use; OUT.DB is then a name in it, not a path.
    const std::string userDir = platform::UserDataDir();
    const auto outFile = [&](const std::string& name) {
      if (!a.user) return name;
      if (name.find('/') != std::string::npos)
        throw EUsage("with --user, OUT.DB is a file name without a folder, not '" + name + "'");
      std::filesystem::create_directories(userDir);
      return userDir + name;
    };
    if (command == "defaults") {
      if (!a.positional.empty()) throw EUsage("defaults takes no file names");
      if (a.user && a.outDir) throw EUsage("--user and --out exclude each other");
      const std::string outDir = a.user     ? userDir
                                 : a.outDir ? *a.outDir
                                            : data::ResolveAlias("Lugatim");
      TDefaultsSources sources;
      if (a.dictdDir) sources.dictdDir = *a.dictdDir;
      if (a.wordnetDir) sources.wordnetDir = *a.wordnetDir;
      if (a.hunspellDir) sources.hunspellDir = *a.hunspellDir;
      if (a.morphDir) sources.morphDir = *a.morphDir;
      const TDefaultsResult r = ImportDefaults(sources, outDir, progress);
      out << Join(outDir, kEnglishTable) << ": " << r.englishRows << " entries\n"
          << Join(outDir, kTurkishTable) << ": " << r.turkishRows << " entries\n"
          << Join(outDir, morph::kMorphFile) << ": "
          << (r.turkishLemmas > 0 ? std::to_string(r.turkishLemmas) + " Turkish lemmas"
                                  : std::string("no Turkish analysis (no --morph-dir)"))
          << "\n"
          << ContentSummary(r.content, a.verbose);
    } else if (command == "dictd") {
      if (a.positional.size() != 3) throw EUsage("dictd needs INDEXFILE DICTFILE OUT.DB");
      const std::string table = outFile(a.positional[2]);
      const size_t n =
          ImportDictd(a.positional[0], a.positional[1], table, a.lang, a.keepOrder, progress);
      out << table << ": " << n << " entries\n";
    } else {
      if (a.positional.size() != 2) throw EUsage("tsv needs FILE OUT.DB");
      const std::string table = outFile(a.positional[1]);
      const size_t n = ImportTsv(a.positional[0], table, a.lang, a.keepOrder, progress);
      out << table << ": " << n << " entries\n";
    }
    return 0;
  } catch (const EUsage& e) {
    err << "lugatim-import: " << e.Message() << "\nTry 'lugatim-import --help'.\n";
    return 2;
  } catch (const base::Exception& e) {
    progress.Finish();
    err << "lugatim-import: " << e.Message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    progress.Finish();
    err << "lugatim-import: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              TProgress& progress) {
  return base::FlushedStatus(Import(args, out, err, progress), out, err, "lugatim-import");
}

}  // namespace lugatim::tools

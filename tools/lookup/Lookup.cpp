#include "tools/lookup/Lookup.h"

#include <algorithm>
#include <optional>

#include "base/Options.h"
#include "base/TextFold.h"
#include "data/DModUnt.h"
#include "data/Table.h"

namespace lugatim::tools {

namespace {

const char* const kUsage =
    "Usage: lugatim-lookup [--en|--tr] [--exact] [--json] WORD...\n"
    "Prints the dictionary entries whose headword is WORD (the words joined by\n"
    "blanks), else WORD without its marks (agac: ağaç), else its lemma\n"
    "(kitaplarımızdan: kitap, larger: large), then up to ten that begin with\n"
    "it; capitals do not count. A word found nowhere gets suggestions.\n"
    "  --en     only the English headwords (English-Turkish)\n"
    "  --tr     only the Turkish headwords (Turkish-English)\n"
    "  --exact  only entries whose headword is the word\n"
    "  --json   JSON for scripts instead of text\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "Exit status: 0 found, 1 nothing found, 2 wrong usage, a word that is not\n"
    "UTF-8, no table, or output that cannot be written.\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

std::string Direction(const std::string& file) {
  return file == data::kTurkishHeadwordsTable ? "tr-en" : "en-tr";
}

// A JSON string of the text; bytes of a damaged table that are not UTF-8
// become U+FFFD each, so the document stays valid whatever the table holds.
void JsonString(std::ostream& out, const std::string& text) {
  static const char* const kHex = "0123456789abcdef";
  out << '"';
  for (size_t at = 0; at < text.size();) {
    const size_t start = at;
    const char32_t cp = base::NextCodePoint(text, at);
    if (cp >= 0x80) {
      if (cp == 0xFFFD && at - start != 3)
        out << "\\ufffd";
      else
        out.write(text.data() + start, static_cast<std::streamsize>(at - start));
      continue;
    }
    const auto c = static_cast<unsigned char>(cp);
    const char ch = static_cast<char>(c);
    switch (c) {
      case '"':
        out << "\\\"";
        break;
      case '\\':
        out << "\\\\";
        break;
      case '\n':
        out << "\\n";
        break;
      case '\r':
        out << "\\r";
        break;
      case '\t':
        out << "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out << "\\u00" << kHex[c >> 4] << kHex[c & 15];
        } else {
          out << ch;
        }
    }
  }
  out << '"';
}

void JsonLines(std::ostream& out, const std::vector<std::string>& lines) {
  out << '[';
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out << ", ";
    JsonString(out, lines[i]);
  }
  out << ']';
}

// A text as a terminal shows it: control characters from a damaged table
// would move the cursor or change colours, so they show as '?'.
std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) ch = '?';
  }
  return out;
}

}  // namespace

TLookupTable LookUpIn(const std::string& file, const std::string& word, bool exactOnly,
                      morph::TWordForms* forms) {
  data::TTable table(file);
  table.databaseName = data::kDictionaryAlias;
  table.tableName = file;
  table.language = data::HeadwordLanguageOf(file);
  data::TField kelime{"Kelime", "Kelime", data::TFieldType::String, 255};
  data::TField kategori{"Kategori", "Kategori", data::TFieldType::String, 255};
  data::TField onekSonek{"OnekSonek", "OnekSonek", data::TFieldType::String, 255};
  data::TField anlami{"Anlami", "Anlami", data::TFieldType::Memo};
  data::TField ornek{"Ornek", "Ornek", data::TFieldType::Memo};
  for (data::TField* f : {&kelime, &kategori, &onekSonek, &anlami, &ornek}) table.AddField(f);
  table.Open();

  TLookupTable result{file, Direction(file), {}, {}, {}};
  const auto add = [&](const data::TEntry& e, bool exact) {
    result.entries.push_back({e.values[0],
                              e.values[1],
                              e.values[2],
                              Lines(e.values[3]),
                              Lines(e.values[4]),
                              exact,
                              {},
                              {}});
  };
  const data::TTable::TMatches matches =
      table.Matching("Kelime", word, data::loCaseInsensitive, exactOnly ? 0 : kMaxBeginningWith);
  for (const data::TEntry& e : matches.equal) add(e, true);
  if (result.entries.empty()) {
    // As the window does: without marks, then by the word's lemma.
    const data::TTable::TMatches plain =
        table.Matching("Kelime", word, data::loCaseInsensitive | data::loIgnoreMarks, 0);
    for (const data::TEntry& e : plain.equal) add(e, true);
  }
  if (result.entries.empty() && forms != nullptr) {
    morph::THeadwordsFunction headwords([&](const std::string& w, bool withoutMarks) {
      return table.FirstEqual("Kelime", w,
                              data::loCaseInsensitive | (withoutMarks ? data::loIgnoreMarks : 0u));
    });
    const morph::TFound found =
        forms->Find(word, table.language == base::TLanguage::Turkish, headwords);
    if (found.kind == morph::TFindKind::Analysed) {
      for (const data::TEntry& e :
           table.Matching("Kelime", found.headword, data::loCaseInsensitive, 0).equal) {
        add(e, true);
        result.entries.back().form = word;
        result.entries.back().analysis = found.analysis;
      }
    } else if (found.kind == morph::TFindKind::NotInDictionary) {
      result.notInDictionary = found.lemma;
      result.notInAnalysis = found.analysis;
    }
  }
  for (const data::TEntry& e : matches.beginning) add(e, false);
  return result;
}

void PrintText(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables,
               bool styled) {
  const char* bold = styled ? "\033[1m" : "";
  const char* plain = styled ? "\033[0m" : "";
  bool first = true;
  for (const TLookupTable& table : tables) {
    if (table.entries.empty()) continue;
    if (!first) out << '\n';
    first = false;
    out << (table.direction == "en-tr" ? "English-Turkish" : "Turkish-English") << '\n';
    bool beginning = false;
    for (const TLookupEntry& e : table.entries) {
      if (!e.exact && !beginning) {
        beginning = true;
        out << "\n  Beginning with \"" << Printable(word) << "\":\n";
      }
      if (!e.analysis.empty())
        out << "\n  " << Printable(e.form) << " → " << Printable(e.analysis) << '\n';
      out << '\n' << "  " << bold << Printable(e.headword) << plain;
      if (!e.category.empty()) out << "  (" << Printable(e.category) << ")";
      if (!e.affix.empty()) out << "  [" << Printable(e.affix) << "]";
      out << '\n';
      for (const std::string& line : e.meaning) out << "      " << Printable(line) << '\n';
      for (size_t i = 0; i < e.example.size(); ++i) {
        out << (i == 0 ? "    Example: " : "             ") << Printable(e.example[i]) << '\n';
      }
    }
  }
}

void PrintJson(std::ostream& out, const std::string& word, const std::vector<TLookupTable>& tables,
               const std::vector<std::string>& suggestions) {
  out << "{\"word\": ";
  JsonString(out, word);
  out << ", \"tables\": [";
  for (size_t t = 0; t < tables.size(); ++t) {
    const TLookupTable& table = tables[t];
    out << (t > 0 ? ", " : "") << "{\"table\": ";
    JsonString(out, table.file);
    out << ", \"direction\": ";
    JsonString(out, table.direction);
    out << ", \"entries\": [";
    for (size_t i = 0; i < table.entries.size(); ++i) {
      const TLookupEntry& e = table.entries[i];
      out << (i > 0 ? ", " : "") << "{\"headword\": ";
      JsonString(out, e.headword);
      out << ", \"exact\": " << (e.exact ? "true" : "false") << ", \"category\": ";
      JsonString(out, e.category);
      out << ", \"affix\": ";
      JsonString(out, e.affix);
      out << ", \"meaning\": ";
      JsonLines(out, e.meaning);
      out << ", \"example\": ";
      JsonLines(out, e.example);
      if (!e.analysis.empty()) {
        out << ", \"form\": ";
        JsonString(out, e.form);
        out << ", \"analysis\": ";
        JsonString(out, e.analysis);
      }
      out << '}';
    }
    out << ']';
    if (!table.notInDictionary.empty()) {
      out << ", \"not_in_dictionary\": ";
      JsonString(out, table.notInDictionary);
    }
    out << '}';
  }
  out << "], \"suggestions\": ";
  JsonLines(out, suggestions);
  out << "}\n";
}

namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool styled) {
  const auto wrong = [&](const std::string& what) {
    err << "lugatim-lookup: " << what << '\n' << kUsage;
    return 2;
  };
  base::TOptions options;
  try {
    options = base::ParseOptions(
        args, {{"--en", false}, {"--tr", false}, {"--exact", false}, {"--json", false}});
  } catch (const base::EUsage& e) {
    return wrong(e.Message());
  }
  if (options.help) {
    out << kUsage;
    return 0;
  }
  if (options.version) {
    out << base::VersionText("lugatim-lookup");
    return 0;
  }
  if (options.Has("--en") && options.Has("--tr")) return wrong("--en and --tr exclude each other");
  const bool english = !options.Has("--tr");
  const bool turkish = !options.Has("--en");
  const bool exactOnly = options.Has("--exact");
  const bool json = options.Has("--json");
  std::string word;
  for (const std::string& w : options.words) {
    if (w.empty()) continue;
    if (!word.empty()) word += ' ';
    word += w;
  }
  if (word.empty()) return wrong("no word given");
  // The tables hold UTF-8; a word in another encoding (a Latin-1 terminal)
  // would match nothing and could not be shown or written as JSON.
  if (!base::IsValidUtf8(word)) {
    err << "lugatim-lookup: the word is not valid UTF-8 (the terminal's encoding must be "
           "UTF-8)\n";
    return 2;
  }

  std::vector<TLookupTable> tables;
  std::vector<std::string> files;
  if (english) files.push_back(data::kEnglishHeadwordsTable);
  if (turkish) files.push_back(data::kTurkishHeadwordsTable);
  bool anyRead = false;
  // The word as given or without marks in any table answers the query; only
  // when no table has it is the word-form data read and the lemma looked up.
  morph::TWordForms forms(data::ResolveAliasFor(data::kDictionaryAlias, morph::kMorphFile) +
                          morph::kMorphFile);
  const auto lookUpAll = [&](morph::TWordForms* wordForms) {
    tables.clear();
    for (const std::string& file : files) {
      try {
        tables.push_back(LookUpIn(file, word, exactOnly, wordForms));
        anyRead = true;
      } catch (const std::exception& e) {
        err << "lugatim-lookup: cannot read the dictionary table " << file << " in "
            << data::ResolveAliasFor(data::kDictionaryAlias, file) << " (" << e.what() << ")\n";
      }
    }
  };
  lookUpAll(nullptr);
  const bool asGiven = std::any_of(tables.begin(), tables.end(), [](const TLookupTable& t) {
    return !t.entries.empty() && t.entries.front().exact;
  });
  if (anyRead && !asGiven) lookUpAll(&forms);
  if (!anyRead) {
    err << "lugatim-lookup: no dictionary table to read in "
        << data::ResolveAlias(data::kDictionaryAlias)
        << " (LUGATIM_DB_DIR sets the folder; the user's own tables go in "
           "$XDG_DATA_HOME/lugatim)\n";
    return 2;
  }
  bool found = false;
  for (const TLookupTable& t : tables) found = found || !t.entries.empty();
  std::vector<std::string> suggestions;
  if (!found) {
    for (const TLookupTable& t : tables) {
      for (const std::string& s : forms.Suggest(word, t.direction == "tr-en"))
        if (std::find(suggestions.begin(), suggestions.end(), s) == suggestions.end() &&
            suggestions.size() < morph::kMaxSuggestions)
          suggestions.push_back(s);
    }
  }
  if (json) {
    PrintJson(out, word, tables, suggestions);
  } else if (found) {
    PrintText(out, word, tables, styled);
  } else {
    err << "lugatim-lookup: no entry for \"" << Printable(word) << "\"\n";
    for (const TLookupTable& t : tables)
      if (!t.notInDictionary.empty())
        err << "lugatim-lookup: " << Printable(word) << " → " << Printable(t.notInAnalysis) << ": "
            << Printable(t.notInDictionary) << " is not in the dictionary\n";
    if (!suggestions.empty()) {
      out << "Did you mean: ";
      for (size_t i = 0; i < suggestions.size(); ++i)
        out << (i > 0 ? ", " : "") << Printable(suggestions[i]);
      out << "?\n";
    }
  }
  return found ? 0 : 1;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool styled) {
  return base::FlushedStatus(Run(args, out, err, styled), out, err, "lugatim-lookup");
}

}  // namespace lugatim::tools

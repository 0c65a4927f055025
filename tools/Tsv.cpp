#include "tools/Tsv.h"

#include "base/Exception.h"
#include "tools/Text.h"

namespace lugatim::tools {

using base::Format;

namespace {
constexpr size_t kMaxChars = 255;
}

std::string UnescapeTsvField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out.push_back(field[i]);
      continue;
    }
    if (i + 1 == field.size()) throw EImportError("backslash at the end of a field");
    const char c = field[++i];
    if (c == 'n')
      out.push_back('\n');
    else if (c == 't')
      out.push_back('\t');
    else if (c == '\\')
      out.push_back('\\');
    else if (static_cast<unsigned char>(c) < 0x80 && c >= 0x20)
      throw EImportError(Format("unknown escape '\\%c'", c));
    else
      throw EImportError("unknown escape after a backslash");
  }
  return out;
}

std::vector<TRow> ParseTsv(std::string_view text, const std::string& fileName) {
  std::vector<TRow> rows;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int lineNo = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    const auto fail = [&](const std::string& what) {
      throw EImportError(Format("%s:%d: %s", fileName.c_str(), lineNo, what.c_str()));
    };
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!IsValidUtf8(line)) fail("invalid UTF-8");
    if (line.find('\0') != std::string_view::npos) fail("NUL character");
    if (line.find_first_not_of(' ') == std::string_view::npos || line.starts_with('#')) continue;

    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    if (fields.size() > 5) fail("more than five fields");
    fields.resize(5);
    static const char* const kNames[] = {"headword", "category", "prefix/suffix"};
    TRow row;
    std::string* plain[] = {&row.kelime, &row.kategori, &row.onekSonek};
    for (int f = 0; f < 3; ++f) {
      *plain[f] = std::string(Trim(fields[static_cast<size_t>(f)]));
      if (CharCount(*plain[f]) > kMaxChars)
        fail(Format("%s longer than %zu characters", kNames[f], kMaxChars));
    }
    if (row.kelime.empty()) fail("empty headword");
    try {
      row.anlami = UnescapeTsvField(fields[3]);
    } catch (const EImportError& e) {
      fail("meaning: " + e.Message());
    }
    try {
      row.ornek = UnescapeTsvField(fields[4]);
    } catch (const EImportError& e) {
      fail("example: " + e.Message());
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace lugatim::tools

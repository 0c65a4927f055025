#include "app/LookupText.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace lugatim::app {

namespace {

// Quotes, brackets and punctuation that a selection drags along around a
// word; a hyphen stays, since it marks prefixes and suffixes ("-ness").
bool IsEdgeJunk(QChar c) {
  if (c.isSpace()) return true;
  if (c == u'-' || c == u'\'') return false;
  return c.isPunct() || c.isSymbol();
}

QString TrimJunk(const QString& text) {
  qsizetype from = 0;
  qsizetype to = text.size();
  while (from < to && IsEdgeJunk(text[from])) ++from;
  while (to > from && IsEdgeJunk(text[to - 1])) --to;
  return text.mid(from, to - from);
}

}  // namespace

QString FirstPhrase(const QString& selection) {
  QString line;
  for (const QString& candidate :
       selection.split(QRegularExpression(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]")))) {
    line = TrimJunk(candidate.simplified());
    if (!line.isEmpty()) break;
  }
  // Controls other than blanks (tabs became blanks above) never reach the box.
  line.removeIf([](QChar c) {
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
  });
  line = TrimJunk(line.simplified());
  if (line.size() <= kMaxSelectionChars) return line;
  // Count characters, not UTF-16 units: a surrogate pair is one character.
  qsizetype cut = 0;
  for (int chars = 0; cut < line.size() && chars < kMaxSelectionChars; ++chars) {
    cut += line[cut].isHighSurrogate() && cut + 1 < line.size() ? 2 : 1;
  }
  if (cut >= line.size()) return line;
  QString head = line.left(cut);
  if (!line[cut].isSpace()) {
    const qsizetype blank = head.lastIndexOf(u' ');
    if (blank > 0) head.truncate(blank);
  }
  return TrimJunk(head);
}

QString LowerCased(const QString& word, bool turkish) {
  if (!turkish) return word.toLower();
  QString out = word;
  // A decomposed İ (I followed by the combining dot above) is a dotted i.
  out.replace(QStringLiteral("I\u0307"), QStringLiteral("i"));
  out.replace(u'I', u'\u0131');
  out.replace(u'\u0130', u'i');
  return out.toLower();
}

std::vector<QString> LookupCandidates(const QString& word, bool turkishHeadwords) {
  std::vector<QString> candidates{word};
  for (const bool turkish : {turkishHeadwords, !turkishHeadwords}) {
    const QString lower = LowerCased(word, turkish);
    if (std::find(candidates.begin(), candidates.end(), lower) == candidates.end()) {
      candidates.push_back(lower);
    }
  }
  return candidates;
}

}  // namespace lugatim::app

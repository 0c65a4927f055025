#include "app/WordLookup.h"

#include <QStringList>

namespace lugatim::app {

namespace {

morph::TFound FindIn(const std::string& word, const data::TTable& table, morph::TWordForms& forms) {
  if (!table.Active()) return {};
  morph::THeadwordsFunction headwords([&](const std::string& w, bool withoutMarks) {
    return table.FirstEqual("Kelime", w,
                            data::loCaseInsensitive | (withoutMarks ? data::loIgnoreMarks : 0u));
  });
  return forms.Find(word, table.language == base::TLanguage::Turkish, headwords);
}

}  // namespace

THandedWord FindHandedWord(const std::string& word, const data::TTable& active,
                           const data::TTable& other, morph::TWordForms& forms) {
  THandedWord r;
  r.how = FindIn(word, active, forms);
  if (!r.how.Found()) {
    morph::TFound there = FindIn(word, other, forms);
    if (there.Found()) {
      r.how = there;
      r.otherTable = true;
    } else if (r.how.kind == morph::TFindKind::None) {
      r.how = there;  // the other table's lemma it lacks, if any, is worth telling
    }
  }
  r.found = r.how.Found();
  r.headword = r.how.headword;
  if (!r.found && r.how.kind != morph::TFindKind::NotInDictionary) {
    for (const data::TTable* table : {&active, &other}) {
      if (table->Active() && r.suggestions.empty())
        r.suggestions = forms.Suggest(word, table->language == base::TLanguage::Turkish);
    }
  }
  return r;
}

QString HandOverNote(const std::string& word, const THandedWord& r, bool turkishInterface) {
  const QString w = QString::fromStdString(word);
  const QString analysis = QString::fromStdString(r.how.analysis);
  switch (r.how.kind) {
    case morph::TFindKind::Analysed:
      return w + QStringLiteral(" → ") + analysis;
    case morph::TFindKind::NotInDictionary: {
      const QString lemma = QString::fromStdString(r.how.lemma);
      return w + QStringLiteral(" → ") + analysis + QStringLiteral(": ") +
             (turkishInterface ? QStringLiteral("%1 sözlükte yok")
                               : QStringLiteral("%1 is not in the dictionary"))
                 .arg(lemma);
    }
    default:
      break;
  }
  if (r.found || r.suggestions.empty()) return {};
  QStringList words;
  for (const std::string& s : r.suggestions) words << QString::fromStdString(s);
  return (turkishInterface ? QStringLiteral("Bunu mu demek istediniz: %1?")
                           : QStringLiteral("Did you mean: %1?"))
      .arg(words.join(QStringLiteral(", ")));
}

std::string LemmaHeadword(const std::string& word, const data::TTable& table,
                          morph::TWordForms& forms) {
  const morph::TFound f = FindIn(word, table, forms);
  return f.kind == morph::TFindKind::Analysed ? f.headword : std::string();
}

}  // namespace lugatim::app

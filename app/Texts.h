#pragma once
// The interface texts of the two languages.

namespace lugatim::app {

inline constexpr const char* kApplicationTitle = "Tarvel Translation Demo";
inline constexpr const char* kWindowCaption = "Sözlük (İngilizce - Türkçe)";

struct TLanguageTexts {
  const char* language;   // "Eng" or "Tur"
  const char* labels[7];  // Label1 .. Label7
  const char* kapat;      // caption of the action Kapat
  const char* hakkinda;   // caption of the action Hakkinda
  const char* about;      // two lines, CR LF between them
  const char* glyph;      // flag resource of the language the next switch goes to
  // Names for screen readers of the painted buttons and the flag.
  const char* closeName;
  const char* minimiseName;
  const char* flagName;  // what the flag does: switch to the other language
};

const TLanguageTexts& EnglishTexts();
const TLanguageTexts& TurkishTexts();

}  // namespace lugatim::app

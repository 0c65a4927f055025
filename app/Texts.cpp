#include "app/Texts.h"

namespace lugatim::app {

const TLanguageTexts& EnglishTexts() {
  static const TLanguageTexts texts{
      "Eng",
      {"Look up Word", "Look up Word", "Word", "Category", "Prefix / Suffix", "Meaning", "Example"},
      "Close",
      "About",
      "Lugatim English-Turkish Dictionary 1.0\r\n"
      "Type a word to see its meaning, category and an example at once.",
      "TURK",
      "Close",
      "Minimise",
      "Switch to Turkish"};
  return texts;
}

const TLanguageTexts& TurkishTexts() {
  static const TLanguageTexts texts{
      "Tur",
      {"Kelime Ara", "Kelime Ara", "Kelime", "Kategori", "Önek / Sonek", "Anlamı", "Örnek"},
      "Kapat",
      "Hakkında",
      "Lugatim İngilizce-Türkçe Sözlük 1.0\r\n"
      "Bir kelime yazın; anlamı, kategorisi ve örneği hemen görünür.",
      "INGI",
      "Kapat",
      "Simge durumuna küçült",
      "İngilizceye geç"};
  return texts;
}

}  // namespace lugatim::app

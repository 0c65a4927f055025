#pragma once
// Qt's own texts (the edit boxes' context menu, the standard dialog buttons)
// in the interface's language: the translations Qt ships for Turkish
// (qtbase_tr and its companions, Debian's qt6-translations-l10n) are loaded
// once and installed while the interface is Turkish; the English interface
// takes Qt's built-in English texts.

#include <QString>
#include <QTranslator>

namespace lugatim::app {

class TQtTranslations {
 public:
  // folder: where Qt's translation files are; empty: Qt's own folder.
  explicit TQtTranslations(QString folder = {});
  ~TQtTranslations();
  TQtTranslations(const TQtTranslations&) = delete;
  TQtTranslations& operator=(const TQtTranslations&) = delete;

  // Installs or removes the Turkish translation on the application; Qt
  // then sends every widget a LanguageChange.
  void Use(bool turkish);
  // Whether the Turkish translation was found.
  bool HasTurkish() const { return loaded_; }

 private:
  QString folder_;
  QTranslator turkish_;
  bool loaded_ = false;
  bool tried_ = false;
  bool installed_ = false;
};

}  // namespace lugatim::app

#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace lugatim::app {

TQtTranslations::TQtTranslations(QString folder)
    : folder_(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                               : std::move(folder)) {}

TQtTranslations::~TQtTranslations() {
  Use(false);
}

void TQtTranslations::Use(bool turkish) {
  if (turkish && !tried_) {
    // Read on the first switch to Turkish, not at start: an English session
    // never pays for it. "qt_tr" loads qtbase_tr and the other modules' files.
    tried_ = true;
    loaded_ = turkish_.load(QStringLiteral("qt_tr"), folder_);
  }
  if (QCoreApplication::instance() == nullptr) return;
  const bool install = turkish && loaded_;
  if (install == installed_) return;
  installed_ = install;
  if (install)
    QCoreApplication::installTranslator(&turkish_);
  else
    QCoreApplication::removeTranslator(&turkish_);
}

}  // namespace lugatim::app

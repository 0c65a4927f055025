#include "app/Application.h"

#include <QMessageBox>

#include "app/Texts.h"
#include "base/Exception.h"

namespace lugatim::app {

namespace {

IDialogs* installed = nullptr;

QString ForDisplay(const std::string& text) {
  // The program's texts break lines with CR LF or a lone CR; a box shows
  // each as a line of its own.
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void QtDialogs::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), ForDisplay(text),
                  QMessageBox::Ok);
  box.exec();
}

void QtDialogs::ShowError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), ForDisplay(text),
                  QMessageBox::Ok);
  box.exec();
}

IDialogs* SetDialogs(IDialogs* dialogs) {
  IDialogs* previous = installed;
  installed = dialogs;
  return previous;
}

IDialogs& Dialogs() {
  static QtDialogs real;
  return installed != nullptr ? *installed : real;
}

void ShowException(const std::exception& error) {
  if (dynamic_cast<const base::EAbort*>(&error) != nullptr) return;
  Dialogs().ShowError(WithFullStop(error.what()));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The name is both parts of the window's WM_CLASS on X11, which desktops
  // match against the desktop entry's StartupWMClass; the title stays the
  // display name.
  setApplicationName(QStringLiteral("lugatim"));
  setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    Dialogs().ShowError("Unknown error.");
  }
  return false;
}

}  // namespace lugatim::app

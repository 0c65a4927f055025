#pragma once
// The application object and the program's message boxes.
//
// Every exception that escapes an event handler or an action ends up in the
// standard error box: the error text, a full stop appended when its last
// character sorts after ".", the application title as caption, an error icon
// and one OK button; then the program goes on. EAbort ends a handler silently.

#include <QApplication>
#include <exception>
#include <string>

#include "data/DModUnt.h"

namespace lugatim::app {

// The text the error box shows for an error message.
std::string WithFullStop(const std::string& message);

// The program's modal boxes. Tests install a recording implementation.
class IDialogs : public data::IMessageSink {
 public:
  // A modal box with the application title, no icon and a single OK button.
  void ShowMessage(const std::string& text) override = 0;
  // The standard error box for an already formatted text.
  virtual void ShowError(const std::string& text) = 0;
};

// Real message boxes on the screen.
class QtDialogs : public IDialogs {
 public:
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
};

// Installs the dialogs the program shows its boxes through (nullptr restores
// the real ones) and returns the previous ones.
IDialogs* SetDialogs(IDialogs* dialogs);
IDialogs& Dialogs();

// Shows an error in the standard error box (nothing for EAbort).
void ShowException(const std::exception& error);

// Runs a handler; an exception it raises goes to the standard error box.
template <class F>
void Guarded(F&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

// Catches whatever escapes an event handler, so no exception ever unwinds
// through the toolkit.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace lugatim::app

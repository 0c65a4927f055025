// The program entry: one copy per user session, the application object, the
// main window and then the data module, the message loop, and the shutdown in
// reverse order of creation. The font configuration is read and the data
// module made on a thread while the application object and the window are
// built; the data module is handed over where it would otherwise be created.
// A word on the command line (or the desktop's selection) goes to the copy
// that already runs, else to this one's window.

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QClipboard>
#include <QGuiApplication>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/EarlyStart.h"
#include "app/HandOverServer.h"
#include "app/LookupText.h"
#include "app/frmMainE.h"
#include "base/Options.h"
#include "base/Trace.h"
#include "platform/ExePath.h"
#include "platform/HandOver.h"
#include "platform/SingleInstance.h"

using namespace lugatim;

namespace {

constexpr int kHandOverTimeoutMs = 5000;

// The desktop's selected text: the primary selection where the platform has
// one and it holds text, else the clipboard.
std::string SelectedWord() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QString text;
  if (clipboard->supportsSelection())
    text = app::FirstPhrase(clipboard->text(QClipboard::Selection));
  if (text.isEmpty()) text = app::FirstPhrase(clipboard->text(QClipboard::Clipboard));
  return text.toStdString();
}

std::string ActivationToken() {
  const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
  return token != nullptr ? token : "";
}

// The socket that takes words, listening from right after the lock is taken,
// so a word sent while the window is being built waits in the socket's queue
// instead of finding nobody. A failure leaves the program without it.
std::unique_ptr<platform::THandOverListener> ListenForWords() {
  auto listener = std::make_unique<platform::THandOverListener>();
  if (!listener->Listen()) {
    base::Trace("Hand-over socket unavailable: %s", listener->Error().c_str());
  }
  return listener;
}

// Runs this copy: it holds the lock. word, when not empty, is looked up once
// the window is up.
int RunProgram(app::TApplication& application, app::TEarlyStart& early,
               std::unique_ptr<platform::THandOverListener> listener, const std::string& word) {
  static app::TProcessState state;
  early.WaitForFonts();
  auto window = std::make_unique<app::TfrmLugatim>(state, platform::ExecutableDir());
  app::frmLugatim = window.get();
  auto dataModule = early.TakeDataModule(app::Dialogs());
  app::DModuleFrm = dataModule.get();
  window->AttachDataModule(dataModule.get());
  auto server = std::make_unique<app::THandOverServer>(
      std::move(listener), [&window](const platform::THandOverRequest& request) {
        app::Guarded([&] { window->LookUpWord(request.word, request.activationToken); });
      });

  window->show();
  if (!word.empty()) app::Guarded([&] { window->LookUpWord(word); });
  application.exec();

  server.reset();
  app::DModuleFrm = nullptr;
  dataModule.reset();
  app::frmLugatim = nullptr;
  window.reset();
  return 0;
}

// Hands the word over, or runs here when no copy runs.
int LookUp(const std::string& word, int& argc, char** argv,
           std::unique_ptr<app::TApplication> application) {
  // A token the desktop spelled oddly is left out rather than the word.
  std::optional<std::string> request = platform::EncodeRequest({word, ActivationToken()});
  if (!request) request = platform::EncodeRequest({word, {}});
  if (!request) {
    std::fprintf(stderr,
                 "lugatim: cannot look up this text (control characters, or over %zu bytes)\n",
                 platform::kMaxRequestBytes - 8);
    return 2;
  }
  switch (app::TakeLockOrHandOver(*request, kHandOverTimeoutMs)) {
    case app::TStartDecision::HandedOver:
      return 0;
    case app::TStartDecision::NotTaken:
      std::fprintf(stderr, "lugatim: the Lugatim already running did not take the word (%s)\n",
                   platform::HandOverSocketPath().c_str());
      return 1;
    case app::TStartDecision::RunHere:
      break;
  }
  app::TEarlyStart early;
  auto listener = ListenForWords();
  if (!application) {
    early.BeforeApplication();
    application = std::make_unique<app::TApplication>(argc, argv);
  }
  return RunProgram(*application, early, std::move(listener), word);
}

}  // namespace

int main(int argc, char** argv) {
  // A fallback folder that another user made first is not used; say so once.
  const platform::TSessionFolder session = platform::SessionFolder();
  if (!session.error.empty()) std::fprintf(stderr, "lugatim: %s\n", session.error.c_str());
  const app::TCommandLine command = app::ParseCommandLine({argv + 1, argv + argc});
  switch (command.mode) {
    case app::TCommandLine::Mode::Help:
      std::fputs(app::kUsage, stdout);
      return std::fflush(stdout) == 0 ? 0 : 2;
    case app::TCommandLine::Mode::Version:
      std::fputs(base::VersionText("lugatim").c_str(), stdout);
      return std::fflush(stdout) == 0 ? 0 : 2;
    case app::TCommandLine::Mode::Wrong:
      std::fprintf(stderr, "lugatim: %s\n%s", command.error.c_str(), app::kUsage);
      return 2;
    case app::TCommandLine::Mode::Word:
      return LookUp(command.word, argc, argv, nullptr);
    case app::TCommandLine::Mode::Selection: {
      // Reading the selection takes the desktop connection the window would
      // need anyway.
      auto application = std::make_unique<app::TApplication>(argc, argv);
      const std::string word = SelectedWord();
      if (!word.empty()) return LookUp(word, argc, argv, std::move(application));
      std::fputs("lugatim: nothing is selected\n", stderr);
      if (!platform::AcquireSingleInstance()) return 0;
      app::TEarlyStart early;
      return RunProgram(*application, early, ListenForWords(), {});
    }
    case app::TCommandLine::Mode::Start:
      break;
  }
  // A second copy in the same session leaves at once, showing nothing.
  if (!platform::AcquireSingleInstance()) return 0;
  app::TEarlyStart early;
  auto listener = ListenForWords();
  early.BeforeApplication();
  app::TApplication application(argc, argv);
  return RunProgram(application, early, std::move(listener), {});
}

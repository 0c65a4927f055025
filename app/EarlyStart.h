#pragma once
// Start-up work that needs neither the toolkit nor the window, done on a
// thread of its own while the main thread builds the application object:
// first the font configuration is read (fontconfig parses dozens of XML
// files the first time a text control asks for a font), then the data
// module is created, which opens both dictionary tables. The window's first
// text control and the data module's hand-over then find the work done
// instead of doing it on the main thread while the window waits.

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/DModUnt.h"

namespace lugatim::app {

class TEarlyStart {
 public:
  // Starts the thread. Without one (the system refuses it) the data module
  // is created by TakeDataModule and the fonts are read where the toolkit
  // first needs them, as with no early start at all.
  TEarlyStart();
  // Waits for the thread; a data module never taken is destroyed here.
  ~TEarlyStart();
  TEarlyStart(const TEarlyStart&) = delete;
  TEarlyStart& operator=(const TEarlyStart&) = delete;

  // Call right before the application object is made. The toolkit takes
  // the launcher's startup variables (DESKTOP_STARTUP_ID,
  // XDG_ACTIVATION_TOKEN) out of the environment while it connects to the
  // display, and the C library's environment is not safe to change while
  // another thread reads it (fontconfig reads HOME and the XDG folders, the
  // data module LUGATIM_DB_DIR): with either variable set, this waits for
  // the thread's work first.
  void BeforeApplication();

  // Returns once the font configuration is read: the toolkit would
  // otherwise read it a second time, beside the thread, on the main thread.
  void WaitForFonts();

  // Waits for the data module and hands it over. The messages it showed
  // while it was created are shown now, through messages and on the calling
  // thread, in their order; any later one goes straight to messages. An
  // exception its creation raised is raised here. Once only.
  std::unique_ptr<data::TDModuleFrm> TakeDataModule(data::IMessageSink& messages);

 private:
  // Holds the data module's messages until they can be shown, then passes
  // them on. It outlives the data module it serves.
  class THeldMessages : public data::IMessageSink {
   public:
    void ShowMessage(const std::string& text) override;
    void Release(data::IMessageSink& to);

   private:
    std::mutex mutex_;
    std::vector<std::string> held_;
    data::IMessageSink* to_ = nullptr;
  };

  void Run();

  THeldMessages messages_;
  std::promise<void> fontsRead_;
  std::future<void> fonts_;
  std::promise<std::unique_ptr<data::TDModuleFrm>> created_;
  std::future<std::unique_ptr<data::TDModuleFrm>> dataModule_;
  std::thread thread_;
};

}  // namespace lugatim::app

// The program entry: one copy per user session, the application object, the
// main window and then the data module, the message loop, and the shutdown in
// reverse order of creation. Every path exits with code 0.

#include <memory>

#include "app/Application.h"
#include "app/frmMainE.h"
#include "platform/ExePath.h"
#include "platform/SingleInstance.h"

using namespace lugatim;

int main(int argc, char** argv) {
  // A second copy in the same session leaves at once, showing nothing.
  if (!platform::AcquireSingleInstance()) return 0;

  app::TApplication application(argc, argv);
  static app::TProcessState state;
  auto window = std::make_unique<app::TfrmLugatim>(state, platform::ExecutableDir());
  app::frmLugatim = window.get();
  auto dataModule = std::make_unique<data::TDModuleFrm>(app::Dialogs());
  app::DModuleFrm = dataModule.get();
  window->AttachDataModule(dataModule.get());

  window->show();
  application.exec();

  app::DModuleFrm = nullptr;
  dataModule.reset();
  app::frmLugatim = nullptr;
  window.reset();
  return 0;
}

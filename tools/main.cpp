// lugatim-import: builds Lugatim's dictionary tables (see --help).

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tools/Importer.h"
#include "tools/TableWriter.h"

namespace {

// An interrupted import leaves no temporary table behind.
void OnSignal(int sig) {
  lugatim::tools::RemoveStagedFilesNow();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGHUP, OnSignal);
  const std::vector<std::string> args(argv + 1, argv + argc);
  lugatim::tools::TProgress progress = lugatim::tools::TProgress::ForStderr();
  return lugatim::tools::RunImport(args, std::cout, std::cerr, progress);
}

// lugatim-lookup: prints the dictionary entries of a word (see --help).

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "tools/lookup/Lookup.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const char* term = std::getenv("TERM");
  const bool styled = isatty(STDOUT_FILENO) && std::getenv("NO_COLOR") == nullptr &&
                      term != nullptr && std::strcmp(term, "dumb") != 0;
  const int status =
      lugatim::tools::RunLookup({argv + 1, argv + argc}, std::cout, std::cerr, styled);
  std::cout.flush();
  return status;
}

// A process that runs download chains against a server until it is killed
// (or, with "once", runs one chain and ends), for the test that kills it at
// random moments. Usage: banner_chain_child <banner folder> <port> [once]
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "banner/UpdateChain.h"
#include "base/StringList.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const bool once = argc > 3 && std::string(argv[3]) == "once";
  for (;;) {
    // A fresh state each time: L is 0 again and the whole chain runs.
    lugatim::banner::TChannelState state;
    state.bannerFolder = argv[1];
    state.adList = std::make_unique<lugatim::base::TStringList>();
    lugatim::http::THttpClient client;
    lugatim::banner::TUpdateChain chain(client, state);
    chain.SetUpdateServer({"127.0.0.1", std::atoi(argv[2])});
    chain.VerKontrolEtExecute();
    std::printf("chain\n");
    std::fflush(stdout);
    if (once) return 0;
  }
}

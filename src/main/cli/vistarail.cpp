// vistarail: the command line of the running program, for scripts.
//
//   vistarail msg [--json] COMMAND [ARGUMENTS]   one request to the control socket
//
// On a Mac the application's own executable answers the same words.

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "control/msg_command.h"
#include "control/socket_path.h"

int main(int argc, char** argv) {
  using namespace vistarail::control;
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty() || words[0] == "--help" || words[0] == "-h") {
    (words.empty() ? std::cerr : std::cout)
        << "usage: vistarail msg [--json] [--socket PATH] COMMAND [ARGUMENTS]\n"
        << "`vistarail msg --help` tells more.\n";
    return words.empty() ? 1 : 0;
  }
  if (words[0] != "msg") {
    std::cerr << "vistarail: unknown command \"" << words[0] << "\" (try --help)\n";
    return 1;
  }
  return runMsg({words.begin() + 1, words.end()},
                defaultSocketPath(processEnvironment(), ::geteuid()), std::cout, std::cerr);
}

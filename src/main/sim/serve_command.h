#pragma once
// `vistarail-sim serve` keeps a scenario's program running and serving its
// control socket in real time; `vistarail-sim msg` is the socket's client.

namespace vistarail::simrun {

// argv[0] is the program, argv[1] the subcommand.
int serveCommand(int argc, char** argv);
int msgCommand(int argc, char** argv);

}  // namespace vistarail::simrun

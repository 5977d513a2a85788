#pragma once
// The subcommands of vistarail-sim: `run` tells a scenario, `explore` tells
// random stories with the checker on.

namespace vistarail::simrun {

// argv[0] is the program, argv[1] the subcommand.
int runCommand(int argc, char** argv);
int exploreCommand(int argc, char** argv);

}  // namespace vistarail::simrun

#include "serve_command.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "control/msg_command.h"
#include "control/socket_path.h"
#include "sim_runner/session.h"

namespace vistarail::simrun {

namespace {

constexpr char kProgram[] = "vistarail-sim";
std::atomic<bool> stopServing{false};

void onStopSignal(int) {
  stopServing = true;
}

std::string serveUsage() {
  return std::string("usage: ") + kProgram +
         " serve SCENARIO [--socket PATH]\n"
         "Tells the scenario to the program on the simulated macOS, then keeps the program\n"
         "running in real time and serving its control socket, so that `vistarail msg`\n"
         "(or `" +
         kProgram +
         " msg`) works against it from another shell. Ctrl-C quits the program\n"
         "the way SIGTERM does: every window comes back into view first.\n"
         "  --socket PATH  where to listen (default: $VISTARAIL_SOCKET, else the per-user\n"
         "                 runtime folder, as the program on a Mac)\n"
         "  --help         show this text\n";
}

}  // namespace

int serveCommand(int argc, char** argv) {
  std::string scenarioPath;
  std::string socket;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << serveUsage();
      return 0;
    } else if (arg == "--socket" && i + 1 < argc) {
      socket = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << kProgram << ": unknown option \"" << arg << "\"\n" << serveUsage();
      return 2;
    } else if (scenarioPath.empty()) {
      scenarioPath = arg;
    } else {
      std::cerr << kProgram << ": one scenario at a time\n" << serveUsage();
      return 2;
    }
  }
  if (scenarioPath.empty()) {
    std::cerr << kProgram << ": which scenario?\n" << serveUsage();
    return 2;
  }
  const ParsedScenario parsed = readScenarioFile(scenarioPath);
  if (!parsed.scenario) {
    std::cerr << parsed.describeProblems(scenarioPath);
    return 1;
  }
  SessionOptions options;
  options.timeline = false;
  options.controlSocket =
      socket.empty() ? control::defaultSocketPath(control::processEnvironment(), ::geteuid())
                     : socket;
  Session session(*parsed.scenario, options);
  session.begin();
  for (size_t i = 0; i < parsed.scenario->steps.size(); ++i) session.runStep(i);
  session.finish();
  if (!session.running()) {
    std::cerr << kProgram << ": the program is not running at the end of the story\n";
    return 1;
  }
  for (const TimelineEntry& entry : session.timeline()) {
    if (entry.kind == "problem") std::cerr << kProgram << ": " << entry.text << "\n";
  }
  std::cout << kProgram << ": serving \"" << parsed.scenario->name() << "\" at "
            << options.controlSocket << " (Ctrl-C quits)" << std::endl;

  std::signal(SIGINT, onStopSignal);
  std::signal(SIGTERM, onStopSignal);
  sim::VirtualDispatch& dispatch = session.desktop().dispatch;
  using Clock = std::chrono::steady_clock;
  auto last = Clock::now();
  while (!stopServing) {
    // Sleeps until a client speaks or a frame's time has passed, then lets
    // the simulated desktop catch up with the real clock.
    dispatch.waitForDescriptors(1.0 / 60);
    const auto now = Clock::now();
    dispatch.runFor(std::chrono::duration<double>(now - last).count());
    last = now;
  }
  session.stopProgram();
  std::cout << kProgram << ": the program quit" << std::endl;
  return 0;
}

int msgCommand(int argc, char** argv) {
  std::vector<std::string> words(argv + 2, argv + argc);
  return control::runMsg(words,
                         control::defaultSocketPath(control::processEnvironment(), ::geteuid()),
                         std::cout, std::cerr, std::string(kProgram));
}

}  // namespace vistarail::simrun

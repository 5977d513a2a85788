// vistarail-sim: the program on the simulated macOS.
//
//   vistarail-sim run SCENARIO --out DIR     tells a scenario, writes a report
//   vistarail-sim explore --seeds N --steps M  random stories, checked
//   vistarail-sim settings --out DIR        the settings window, one PNG per tab
//   vistarail-sim serve SCENARIO            the story's program kept running, serving
//                                           its control socket in real time
//   vistarail-sim msg COMMAND ...           the control socket's client
//   vistarail-sim [--out PNG]               the demo desktop as one picture:
//     it builds a simulated desktop, lets the window manager take it over,
//     opens one more window the way a user would, and draws the result.

#include <filesystem>
#include <iostream>
#include <system_error>

#include <string>

#include "app/app_settings.h"
#include "commands.h"
#include "demo_desktop.h"
#include "platform/sim/adapters/desktop.h"
#include "platform/sim/renderer/render_arguments.h"
#include "platform/sim/renderer/renderer.h"
#include "serve_command.h"
#include "settings_pictures.h"
#include "windows/window_manager.h"

namespace {

constexpr char kProgram[] = "vistarail-sim";
constexpr int kUsageError = 2;
constexpr int kRunError = 1;

}  // namespace

int main(int argc, char** argv) {
  using namespace vistarail;
  using Outcome = sim::ParsedRenderArguments::Outcome;
  if (argc > 1 && std::string(argv[1]) == "run") return simrun::runCommand(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "explore") return simrun::exploreCommand(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "settings") return simrun::settingsCommand(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "serve") return simrun::serveCommand(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "msg") return simrun::msgCommand(argc, argv);

  const sim::ParsedRenderArguments parsed = sim::parseRenderArguments(argc, argv);
  if (parsed.outcome == Outcome::showHelp) {
    std::cout << "usage: " << kProgram << " run SCENARIO --out DIR [--no-pictures]\n"
              << "       " << kProgram << " explore --seeds N --steps M [--seed S] [--out DIR]"
              << " [--plant FAULT]\n"
              << "               [--ignore INVARIANT]... [--no-shrink]\n"
              << "       " << kProgram << " serve SCENARIO [--socket PATH]\n"
              << "       " << kProgram << " msg [--json] COMMAND [ARGUMENTS] (see msg --help)\n"
              << "       " << kProgram << " [--out PATH] [--width N] [--height N]\n"
              << "`" << kProgram << " run --help` and `" << kProgram
              << " explore --help` tell more.\n\n"
              << sim::renderUsage(kProgram);
    return 0;
  }
  if (parsed.outcome == Outcome::error) {
    std::cerr << kProgram << ": " << parsed.error << '\n';
    return kUsageError;
  }
  const sim::RenderArguments& args = parsed.arguments;

  const std::filesystem::path out(args.outPath);
  if (out.has_parent_path()) {
    std::error_code ec;
    std::filesystem::create_directories(out.parent_path(), ec);
    if (ec) {
      std::cerr << kProgram << ": could not create the folder \"" << out.parent_path().string()
                << "\" (" << ec.message() << ")\n";
      return kRunError;
    }
  }

  // A fresh defaults domain: the demo starts as a first run would, then
  // manages both displays.
  sim::Desktop desktop;
  auto& dispatch = desktop.dispatch;
  auto& world = desktop.world;
  sim::buildDemoDesktop(world);
  // Let the applications finish whatever they do right after opening windows.
  dispatch.runFor(2.0);

  const auto displays = DisplayInfo::all(desktop.workspace, desktop.windowServer);
  AppSettings settings(desktop.defaults, displays.empty()
                                             ? std::nullopt
                                             : std::optional<std::string>(displays[0].id));
  for (const DisplayInfo& display : displays) {
    settings.setDisplayManaged(display.id, DisplayManagement::managed);
  }
  // Dim the windows behind the focused one, so the picture shows every overlay.
  settings.dimInactive.set(true);
  auto manager = WindowManager::create(
      settings, desktop.defaults,
      {desktop.ax, desktop.windowServer, desktop.workspace, dispatch, desktop.links,
       desktop.hotKeys, desktop.taps, 0, nullptr, &desktop.overlayPanels, &desktop.text});
  manager->start();
  dispatch.runFor(3.0);
  sim::buildDemoFollowUp(world);
  dispatch.runFor(3.0);
  // One step to the left, as with the shortcut: the minimap and the arrows
  // come up for a moment, and the picture is taken while they show.
  manager->perform(Action::focusLeft);
  dispatch.runFor(0.4);
  std::cout << kProgram << ": " << manager->statusText() << '\n';

  const sim::Renderer renderer;
  if (auto error = renderer.writePng(world.scene(), out, args.widthPixels, args.heightPixels)) {
    std::cerr << kProgram << ": " << *error << '\n';
    return kRunError;
  }
  std::cout << kProgram << ": wrote " << out.string() << " (" << args.widthPixels << "x"
            << args.heightPixels << " pixels)\n";
  return 0;
}

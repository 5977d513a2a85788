#pragma once
// The program with its control socket on a simulated desktop in virtual time:
// one display, one application with a few windows, the settings store, the
// window manager started, and the server listening in a fresh folder. Clients
// are real sockets; `settle` lets virtual time pass so the server answers.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "control/client_connection.h"
#include "control/control_server.h"
#include "platform/sim/adapters/desktop.h"
#include "platform/sim/temp_folder.h"
#include "windows/display_info.h"

namespace vistarail::test {

struct ControlDesk : sim::Desktop {
  sim::test::TempFolder folder;
  std::string socketPath = (folder / "run" / "control.sock").string();
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;
  std::shared_ptr<control::ControlServer> server;
  Pid pid = 0;

  explicit ControlDesk(int windows = 3, control::ServerLimits limits = {}) : sim::Desktop(3) {
    world.plugDisplay({.name = "Built-in",
                       .frame = {0, 0, 1440, 900},
                       .visibleFrame = {0, 25, 1440, 840},
                       .uuid = "c0417201-0000-4000-8000-000000000001"});
    pid = world.launchApp({.bundleIdentifier = "com.example.editor", .name = "Editor"});
    for (int i = 0; i < windows; ++i) {
      world.openWindow(
          pid, {.title = "Doc " + std::to_string(i + 1), .frame = {40.0 + 10 * i, 60, 700, 600}});
    }
    world.activateApp(pid);
    dispatch.runFor(0.5);
    const auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(defaults, displays[0].id);
    manager = WindowManager::create(*settings, defaults,
                                    {ax, windowServer, workspace, dispatch, links, hotKeys, taps, 0,
                                     nullptr, &overlayPanels, &text});
    manager->start();
    dispatch.runFor(2.0);
    std::string error;
    server = control::ControlServer::start(socketPath, dispatch, manager, *settings, error, limits);
    EXPECT_TRUE(server) << error;
  }
  ~ControlDesk() {
    server.reset();
    manager.reset();
    settings.reset();
    dispatch.runUntilIdle(100'000);
  }

  void settle(double seconds = 0.01) { dispatch.runFor(seconds); }

  control::ClientConnection connect() {
    control::ClientConnection c;
    std::string error;
    EXPECT_TRUE(c.connect(socketPath, error)) << error;
    settle();  // accepted
    return c;
  }

  // Sends a line and lets the server answer; the reply, parsed.
  nlohmann::json ask(control::ClientConnection& c, const std::string& line) {
    EXPECT_TRUE(c.send(line + "\n"));
    return next(c);
  }
  nlohmann::json ask(const std::string& line) {
    auto c = connect();
    return ask(c, line);
  }
  // The next line that came, parsed (null when none did within a virtual second).
  nlohmann::json next(control::ClientConnection& c) {
    for (int i = 0; i < 100; ++i) {
      c.pump();
      if (auto line = c.bufferedLine()) return nlohmann::json::parse(*line, nullptr, false);
      settle();
    }
    return nullptr;
  }
};

}  // namespace vistarail::test

#pragma once
// The story model: what a story's steps leave running and open, tracked by
// name before the run.

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sim_runner/scenario.h"

namespace vistarail::simrun {

// What the story's steps leave running and open, tracked by name before the
// run: the reader uses it to reject impossible steps, and the explorer to make
// only possible ones.
struct StoryModel {
  struct App {
    bool running = false;
    bool hidden = false;
  };
  struct Window {
    std::string app;
    bool open = false;
    bool minimised = false;
    bool fullScreen = false;
  };
  struct Display {
    bool plugged = true;
    int spaces = 1;
  };
  std::vector<std::pair<std::string, App>> apps;          // declaration order
  std::vector<std::pair<std::string, Window>> windows;    // first-open order
  std::vector<std::pair<std::string, Display>> displays;  // declaration order
  bool managerRunning = true;
  bool paused = false;
  std::set<std::string> snapshots;

  App* app(const std::string& name);
  Window* window(const std::string& name);
  Display* display(const std::string& name);
  // Starts from the document's desktop (already type-checked).
  static StoryModel fromHeader(const Json& header);
  // Applies a type-checked step; returns what makes it impossible, if anything.
  std::optional<std::string> apply(const Step& step);
};

}  // namespace vistarail::simrun

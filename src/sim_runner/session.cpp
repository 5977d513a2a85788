#include "sim_runner/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <unordered_set>

#include "app/settings_table.h"
#include "input/bindings.h"
#include "platform/ax_names.h"
#include "sim_runner/json_values.h"
#include "sim_runner/step_kinds.h"
#include "sim_runner/system_model.h"

namespace vistarail::simrun {

namespace {

using Json = nlohmann::json;

std::string defaultBundleId(const std::string& name) {
  std::string id = "com.example.";
  for (char ch : name) {
    if (std::isalnum(static_cast<unsigned char>(ch))) id += static_cast<char>(std::tolower(ch));
  }
  return id;
}

}  // namespace

Session::Session(const Scenario& scenario, SessionOptions options)
    : scenario_(scenario),
      options_(std::move(options)),
      desktop_(scenario.seed(), scenario.header.value("defaults", Json::object())),
      habits_(desktop_.world, [this](sim::WindowKey from, sim::WindowKey to) {
        const std::string name = keyName(from);
        nameWindow(name, to);
        note("app",
             appName(world_.window(to) ? world_.window(to)->pid : 0) + " opens " + name + " again");
        // A window closed and opened by its application is news the program
        // hears like a person's doing: the desktop is not settled until then.
        checker_.afterStep("recreate");
      }) {
  world_.setTracing(options_.timeline);
  // The program's bundle says which version it is, as a built one does.
  if (desktop_.bundle.setup().info.empty()) {
    desktop_.bundle.setup().info = {{"CFBundleShortVersionString", "1.0"},
                                    {"CFBundleVersion", "1"}};
  }
  const Json check = scenario.header.value("check", Json::object());
  checker_.ignore(check.value("ignore", std::set<std::string>()));
}

Session::~Session() {
  control_.reset();
  *alive_ = false;
  // The manager refers to the settings the program owns.
  manager_.reset();
  settings_ = nullptr;
  program_.reset();
  if (!controlFolder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(controlFolder_, ignored);
  }
  // Work still queued for the applications holds observers whose release
  // speaks to the accessibility port: let it finish while the ports exist.
  dispatch_.runUntilIdle(100'000);
}

void Session::note(const std::string& kind, const std::string& text) {
  timeline_.push_back({dispatch_.now(), step_, kind, text});
}

void Session::begin() {
  const Json& h = scenario_.header;
  if (h.contains("system")) world_.setRealism(realismOf(h["system"]));
  int index = 0;
  for (const Json& d : h["displays"]) {
    ++index;
    sim::DisplaySetup setup;
    setup.name = d["name"];
    setup.frame = rectOf(d["frame"]);
    setup.visibleFrame = d.contains("visibleFrame") ? rectOf(d["visibleFrame"]) : setup.frame;
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "5ce7a000-0000-4000-8000-%012d", index);
    setup.uuid = d.value("uuid", std::string(uuid));
    displaySetups_[setup.name] = setup;
    displayOrder_.push_back(setup.name);
    if (!d.value("plugged", true)) continue;
    const DisplayNumber number = world_.plugDisplay(setup);
    displayNumbers_[setup.name] = number;
    for (int s = 1; s < d.value("spaces", 1); ++s) world_.addSpace(number);
  }
  for (const Json& a : h.value("apps", Json::array())) {
    sim::AppSetup setup;
    setup.name = a["name"];
    setup.bundleIdentifier = a.value("bundleId", defaultBundleId(setup.name));
    if (a.contains("behaviour")) setup.behaviour = behaviourOf(a["behaviour"]);
    setup.enhancedUserInterface = a.value("enhancedUI", false);
    appSetups_[setup.name] = setup;
    if (a.value("launched", true)) {
      pids_[setup.name] = world_.launchApp(setup);
      habits_.set(pids_[setup.name], a.value("behaviour", Json::object()));
    }
  }
  for (const Json& w : h.value("windows", Json::array())) {
    Step open{"open", w};
    open.source["do"] = "open";
    execute(open);
  }
  // Let the applications finish what they do right after opening windows.
  dispatch_.runFor(0.5);
  world_.setTrusted(h.value("trusted", true));
  for (const auto& [name, key] : windowKeys_) {
    if (auto w = world_.window(key)) checker_.putBy(key, w->frame), habits_.placed(key, w->frame);
  }
  watchHabits();
  openControl();
  startProgram(/*firstLaunch=*/true);
  checker_.afterStep("start");
}

void Session::startProgram(bool firstLaunch) {
  // The program is launched the way the system launches it: its delegate
  // makes the manager and starts it once Accessibility is granted. The
  // checker reads the calls it makes and may plant a fault in them.
  ProgramHooks hooks;
  hooks.log = [this](std::string_view line) { note("log", std::string(line)); };
  hooks.managerMade = [this](const std::shared_ptr<WindowManager>& manager) {
    manager_ = manager;
    manager_->onEvent = [this](const ManagerEvent& event) {
      std::string text = toString(event.kind);
      if (event.pid) text += " " + appName(event.pid);
      if (event.window) text += " " + windowName(event.window);
      timeline_.push_back({dispatch_.now(), step_, toString(event.kind), text});
      if (event.kind == ManagerEvent::Kind::restore) lastRestoreAt_ = dispatch_.now();
      if (event.kind == ManagerEvent::Kind::reconcile) lastReconcileAt_ = dispatch_.now();
    };
  };
  program_ = std::make_unique<ShellProgram>(
      ShellProgramPorts{desktop_, countingAx_,
                        options_.plantedFault == "timerLeftRunning"
                            ? static_cast<DisplayLinkFactory&>(faultyLinks_)
                            : links_,
                        options_.plantedFault == "overlayLeftUp"
                            ? static_cast<OverlayPanels&>(faultyPanels_)
                            : overlayPanels_,
                        staleDefaults_, loginItem_, updaters_},
      std::move(hooks),
      control_ ? std::optional<std::string>(control_->socketPath()) : std::nullopt);
  settings_ = &program_->settings();
  if (firstLaunch) {
    const Json& h = scenario_.header;
    for (const Json& d : h["displays"]) {
      const auto& setup = displaySetups_.at(d["name"]);
      settings_->setDisplayManaged(setup.uuid, d.value("managed", true)
                                                   ? DisplayManagement::managed
                                                   : DisplayManagement::unmanaged);
    }
    const Json settings = h.value("settings", Json::object());
    for (const auto& [property, value] : settings.items()) {
      assignSetting(*settings_, property, value);
    }
  }
  note("program", firstLaunch ? "the program starts" : "the program starts again");
  program_->launch();
  dispatch_.runFor(scenario_.header.value("settle", 2.0));
  if (control_ && !program_->controlServer() && program_->manager()) {
    note("problem", "no control socket: " + program_->controlError());
  }
  followProgramLog();
  followTrace();
}

void Session::stopProgram() {
  note("program", "the program quits");
  program_->quit();
  awaitExit();
}

void Session::runStep(size_t index) {
  runStep(scenario_.steps.at(index), static_cast<int>(index) + 1);
}

void Session::runStep(const Step& step, int number) {
  step_ = number;
  justStopped_ = false;
  if (step.source.contains("at")) {
    const double at = step.source["at"];
    if (at > dispatch_.now()) dispatch_.runUntil(at);
  }
  checker_.beforeStep(step);
  const bool wasRunning = manager_ != nullptr;
  execute(step);
  followSettingsWindow();
  followProgramLog();
  justStopped_ = wasRunning && !manager_;
  if (step.kind == "behave") {
    habits_.set(pidOf(step.source["app"]), step.source["behaviour"]);
    watchHabits();
  }
  checker_.afterStep(step.kind);
  if (step.kind == "open" || step.kind == "drag" || step.kind == "resize" ||
      step.kind == "appMove" || step.kind == "handDrag") {
    if (auto key = keyOf(step.source["window"])) {
      if (auto w = world_.window(*key)) {
        const Rect put = step.kind == "handDrag" ? rectOf(step.source["frame"]) : w->frame;
        checker_.putBy(*key, put);
        habits_.placed(*key, put, step.kind != "open");
      }
    }
  }
  followTrace();
}

void Session::openControl() {
  std::string path = options_.controlSocket;
  if (path.empty()) {
    const bool speaks = std::any_of(
        scenario_.steps.begin(), scenario_.steps.end(),
        [](const Step& step) { return step.kind == "request" || step.kind == "subscribe"; });
    if (!speaks) return;
    // A folder only this user may enter, as the program's own would be.
    char folder[] = "/tmp/vistarail-scenario-XXXXXX";
    if (!::mkdtemp(folder)) {
      note("problem", "no folder for the control socket");
      return;
    }
    controlFolder_ = folder;
    path = controlFolder_ + "/control.sock";
  }
  control_ = std::make_unique<ControlLink>(
      dispatch_, path, [this](const std::string& line) { note("event", line); });
}

void Session::watchHabits() {
  // A few looks a second while some application has a habit.
  if (watching_ || !habits_.any()) return;
  watching_ = true;
  world_.schedule(0.25, [this, alive = std::weak_ptr<bool>(alive_)] {
    auto live = alive.lock();
    if (!live || !*live) return;
    watching_ = false;
    if (habits_.tick()) habitsActedAt_ = dispatch_.now();
    watchHabits();
  });
}

void Session::waitFor(double seconds) {
  const double end = dispatch_.now() + seconds;
  // What happens on the way (an application re-creating a window) may put
  // the rest later: the writes at rest are counted only once it is reached.
  std::optional<double> rest;
  while ((rest = checker_.restsAt()) && *rest > dispatch_.now() && *rest + 0.5 < end) {
    dispatch_.runUntil(*rest);
    if (checker_.restsAt() <= rest) {
      checker_.sampleAtRest();
      break;
    }
  }
  dispatch_.runUntil(end);
}

std::optional<Violation> Session::check() {
  return checker_.check();
}

void Session::finish() {
  dispatch_.runFor(scenario_.header.value("settle", 2.0));
  followTrace();
}

Pid Session::pidOf(const std::string& app) const {
  auto it = pids_.find(app);
  return it == pids_.end() ? 0 : it->second;
}
std::optional<sim::WindowKey> Session::keyOf(const std::string& window) const {
  auto it = windowKeys_.find(window);
  if (it == windowKeys_.end()) return std::nullopt;
  return it->second;
}
std::optional<DisplayNumber> Session::displayOf(const std::string& display) const {
  auto it = displayNumbers_.find(display);
  if (it == displayNumbers_.end()) return std::nullopt;
  return it->second;
}
std::string Session::windowName(WindowId id) const {
  auto it = numberNames_.find(id);
  return it == numberNames_.end() ? "#" + std::to_string(id) : it->second;
}
std::string Session::keyName(sim::WindowKey key) const {
  auto it = keyNames_.find(key);
  return it == keyNames_.end() ? "window " + std::to_string(key) : it->second;
}
std::string Session::appName(Pid pid) const {
  for (const auto& [name, p] : pids_) {
    if (p == pid) return name;
  }
  return "pid " + std::to_string(pid);
}
std::string Session::displayName(const std::string& uuid) const {
  for (const auto& [name, setup] : displaySetups_) {
    if (setup.uuid == uuid) return name;
  }
  return uuid;
}

void Session::user(const std::string& text, bool done) {
  note(done ? "user" : "skipped", text + (done ? "" : " (nothing to do)"));
}

void Session::nameWindow(const std::string& window, sim::WindowKey key) {
  windowKeys_[window] = key;
  keyNames_[key] = window;
  if (auto w = world_.window(key)) numberNames_[w->number.value_or(0)] = window;
}

void Session::nameDisplay(const std::string& display, std::optional<DisplayNumber> number) {
  if (number) {
    displayNumbers_[display] = *number;
  } else {
    displayNumbers_.erase(display);
  }
}

void Session::execute(const Step& step) {
  try {
    if (const StepKind* kind = findStepKind(step.kind)) kind->run(*this, step.source);
  } catch (const std::exception& e) {
    note("exception", e.what());
  }
  const std::string what = step.source.value("note", std::string());
  if (!what.empty()) note("note", what);
}

void Session::followTrace() {
  if (!options_.timeline) return;
  const auto lines = world_.traceLines(traceRead_);
  traceRead_ += lines.size();
  std::vector<TimelineEntry> found;
  for (const std::string& line : lines) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const double time = std::strtod(line.c_str(), nullptr);
    std::string text = line.substr(space + 1);
    std::string kind;
    if (text.rfind("deliver ", 0) == 0 || text.rfind("workspace ", 0) == 0 ||
        text == "screens changed") {
      kind = "notification";
      if (text.rfind("deliver ", 0) == 0) text = text.substr(8);
      const size_t to = text.find(" to observer");
      if (to != std::string::npos) text.erase(to);
    } else if (text.rfind("ax set AXPosition", 0) == 0 || text.rfind("ax set AXSize", 0) == 0) {
      kind = "frame";
      text = text.substr(7);
      const size_t times = text.find(" [");
      const size_t arrow = text.find("-> ");
      if (times != std::string::npos && arrow != std::string::npos) {
        text = text.substr(0, times) + " " + text.substr(arrow + 3);
      }
    } else if (options_.wholeTrace) {
      kind = "trace";
    } else {
      continue;
    }
    // "window K of P" names the window the scenario knows.
    const size_t at = text.find("window ");
    if (at != std::string::npos) {
      const size_t of = text.find(" of ", at);
      if (of != std::string::npos) {
        const auto key = std::strtoull(text.c_str() + at + 7, nullptr, 10);
        size_t end = text.find(' ', of + 4);
        if (end == std::string::npos) end = text.size();
        text.replace(at, end - at, keyName(key));
      }
    }
    found.push_back({time, step_, kind, text});
  }
  // Notifications and frames happened during the step, among the manager's
  // events: merged by time, the step's own entries first.
  size_t first = timeline_.size();
  while (first > 0 && timeline_[first - 1].step == step_) --first;
  timeline_.insert(timeline_.end(), found.begin(), found.end());
  std::stable_sort(timeline_.begin() + static_cast<std::ptrdiff_t>(first), timeline_.end(),
                   [](const TimelineEntry& a, const TimelineEntry& b) { return a.time < b.time; });
}

}  // namespace vistarail::simrun

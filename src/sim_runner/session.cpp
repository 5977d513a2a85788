#include "sim_runner/session.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <unordered_set>

#include "input/bindings.h"
#include "platform/ax_names.h"
#include "sim_runner/settings_table.h"
#include "sim_runner/system_model.h"

namespace vistarail::simrun {

namespace {

using Json = nlohmann::json;

Rect rectOf(const Json& v) {
  return {v[0].get<double>(), v[1].get<double>(), v[2].get<double>(), v[3].get<double>()};
}
Json rectJson(const Rect& r) {
  return Json::array({r.minX(), r.minY(), r.width(), r.height()});
}
Size sizeOf(const Json& v) {
  return {v[0].get<double>(), v[1].get<double>()};
}

sim::Behaviour behaviourOf(const Json& b) {
  sim::Behaviour result;
  result.latencySeconds = b.value("latency", 0.0);
  result.latencyJitterSeconds = b.value("jitter", 0.0);
  result.hung = b.value("hung", false);
  result.ignoresMoves = b.value("ignoresMoves", false);
  if (b.contains("sizeGrid")) result.sizeGrid = sizeOf(b["sizeGrid"]);
  if (b.contains("movesNewWindows")) {
    const Json& m = b["movesNewWindows"];
    sim::SelfMove move;
    move.delaySeconds = m.value("delay", 0.3);
    if (m.contains("frame")) move.frame = rectOf(m["frame"]);
    if (m.contains("offset"))
      move.offset = {m["offset"][0].get<double>(), m["offset"][1].get<double>()};
    result.movesNewWindows = move;
  }
  static const char* onNames[] = {"read",         "write",    "settable", "action",
                                  "notification", "observer", "any"};
  for (const Json& f : b.value("faults", Json::array())) {
    sim::AttributeFault fault;
    fault.name = f.value("name", std::string());
    const std::string on = f.value("on", std::string("read"));
    for (int i = 0; i < 7; ++i) {
      if (on == onNames[i]) fault.on = static_cast<sim::FaultOn>(i);
    }
    const std::string error = f.value("error", std::string("cannotComplete"));
    for (int code = -25214; code <= -25200; ++code) {
      if (error == toString(static_cast<AXError>(code))) fault.error = static_cast<AXError>(code);
    }
    fault.remaining = f.value("count", -1);
    result.faults.push_back(fault);
  }
  return result;
}

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
      desktop_(scenario.seed(), scenario.header.value("defaults", Json::object())) {
  world_.setTracing(options_.timeline);
}

Session::~Session() {
  program_.reset();
  manager_.reset();
  settings_.reset();
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
    if (a.value("launched", true)) pids_[setup.name] = world_.launchApp(setup);
  }
  for (const Json& w : h.value("windows", Json::array())) {
    Step open{"open", w};
    open.source["do"] = "open";
    execute(open);
  }
  // Let the applications finish what they do right after opening windows.
  dispatch_.runFor(0.5);
  world_.setTrusted(h.value("trusted", true));
  startProgram(/*firstLaunch=*/true);
  lastActionTime_ = dispatch_.now();
}

void Session::startProgram(bool firstLaunch) {
  const auto displays = DisplayInfo::all(workspace_, windowServer_);
  settings_ = std::make_unique<AppSettings>(
      defaults_, displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
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
  // The program is launched the way the system launches it; its delegate
  // makes the manager and starts it once Accessibility is granted.
  program_ = std::make_unique<ShellProgram>(desktop_, *settings_, [this] {
    manager_ = WindowManager::create(
        *settings_, defaults_,
        {ax_, windowServer_, workspace_, dispatch_, links_, hotKeys_, taps_, 0,
         [this](std::string_view line) { note("log", std::string(line)); }, &overlayPanels_, &desktop_.text});
    manager_->onEvent = [this](const ManagerEvent& event) {
      std::string text = toString(event.kind);
      if (event.pid) text += " " + appName(event.pid);
      if (event.window) text += " " + windowName(event.window);
      timeline_.push_back({dispatch_.now(), step_, toString(event.kind), text});
    };
    return manager_;
  });
  note("program", firstLaunch ? "the program starts" : "the program starts again");
  program_->launch();
  dispatch_.runFor(scenario_.header.value("settle", 2.0));
  followProgramLog();
  pausedAt_ = settings_->enabled.value() ? std::nullopt : std::optional<double>(dispatch_.now());
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
  if (manager_ &&
      (step.kind == "stop" || step.kind == "pause" || step.kind == "sigterm" ||
       step.kind == "menu" || (step.kind == "set" && step.source["setting"] == "enabled"))) {
    // What the program answers for when it lets go: the windows it moved.
    movedByProgram_.clear();
    for (const auto& [id, window] : manager_->windows()) {
      if (const MovedWindow* moved = manager_->movedWindow(id);
          moved && moved->state != MovedState::released)
        movedByProgram_.insert(id);
    }
  }
  execute(step);
  if (step.kind != "wait" && step.kind != "snapshot") lastActionTime_ = dispatch_.now();
  if (step.kind == "open" || step.kind == "drag" || step.kind == "resize" ||
      step.kind == "appMove") {
    if (auto key = keyOf(step.source["window"])) {
      if (auto w = world_.window(*key)) userFrames_[*key] = w->frame;
    }
  }
  followTrace();
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

void Session::execute(const Step& step) {
  const Json& s = step.source;
  const std::string& k = step.kind;
  const std::string what = s.value("note", std::string());
  auto user = [&](const std::string& text, bool ok) {
    note(ok ? "user" : "skipped", text + (ok ? "" : " (nothing to do)"));
  };
  try {
    if (executeShellStep(step)) {
      // done
    } else if (k == "launch") {
      sim::AppSetup& setup = appSetups_.at(s["app"]);
      const Pid pid = world_.launchApp(setup, s.value("front", true)
                                                  ? sim::LaunchActivation::activates
                                                  : sim::LaunchActivation::staysInBackground);
      pids_[s["app"]] = pid;
      user("launches " + setup.name, pid != 0);
    } else if (k == "quit") {
      user("quits " + s["app"].get<std::string>(), world_.quitApp(pidOf(s["app"])));
    } else if (k == "hide") {
      user("hides " + s["app"].get<std::string>(), world_.hideApp(pidOf(s["app"])));
    } else if (k == "unhide") {
      user("shows " + s["app"].get<std::string>(), world_.unhideApp(pidOf(s["app"])));
    } else if (k == "activate") {
      user("brings " + s["app"].get<std::string>() + " to the front",
           world_.activateApp(pidOf(s["app"])));
    } else if (k == "open") {
      const std::string name = s["window"];
      sim::WindowSetup setup;
      setup.title = s.value("title", name);
      setup.frame = s.contains("frame") ? rectOf(s["frame"]) : Rect{100, 100, 700, 500};
      const std::string kind = s.value("kind", std::string("standard"));
      if (kind == "dialog") setup.subrole = std::string(ax::kDialogSubrole);
      if (kind == "floating") setup.subrole = std::string(ax::kFloatingWindowSubrole);
      if (s.contains("minSize")) setup.minSize = sizeOf(s["minSize"]);
      if (s.contains("maxSize")) setup.maxSize = sizeOf(s["maxSize"]);
      setup.sizeSettable = s.value("sizeSettable", true);
      setup.positionSettable = s.value("positionSettable", true);
      setup.onAllSpaces = s.value("allSpaces", false);
      const sim::WindowKey key = world_.openWindow(
          pidOf(s["app"]), setup,
          s.value("behind", false) ? sim::WindowFocus::staysBehind : sim::WindowFocus::takesFocus);
      if (key) {
        windowKeys_[name] = key;
        keyNames_[key] = name;
        if (auto w = world_.window(key)) numberNames_[w->number.value_or(0)] = name;
      }
      user(s["app"].get<std::string>() + " opens " + name, key != 0);
    } else if (k == "close" || k == "minimise" || k == "unminimise" || k == "focus" ||
               k == "fullScreen" || k == "exitFullScreen" || k == "drag" || k == "resize" ||
               k == "appMove") {
      const std::string name = s["window"];
      const sim::WindowKey key = keyOf(name).value_or(0);
      bool ok = false;
      std::string text;
      if (k == "close") ok = world_.closeWindow(key), text = "closes " + name;
      if (k == "minimise") ok = world_.minimizeWindow(key), text = "minimises " + name;
      if (k == "unminimise") ok = world_.unminimizeWindow(key), text = "brings back " + name;
      if (k == "focus") ok = world_.focusWindow(key), text = "clicks " + name;
      if (k == "fullScreen")
        ok = world_.enterFullScreen(key), text = "makes " + name + " full screen";
      if (k == "exitFullScreen")
        ok = world_.exitFullScreen(key), text = "leaves full screen with " + name;
      if (k == "drag" || k == "resize") {
        ok = world_.dragWindow(key, rectOf(s["frame"]));
        text = (k == "drag" ? "drags " : "resizes ") + name + " to " + s["frame"].dump();
      }
      if (k == "appMove") {
        ok = world_.appMovesWindow(key, rectOf(s["frame"]));
        const auto w = world_.window(key);
        text = (w ? appName(w->pid) : std::string("its application")) + " moves " + name + " to " +
               s["frame"].dump();
      }
      if (k == "appMove") {
        timeline_.push_back({dispatch_.now(), step_, ok ? "app" : "skipped", text});
      } else {
        user(text, ok);
      }
    } else if (k == "switchSpace" || k == "addSpace") {
      const std::string name = s["display"];
      const auto number = displayOf(name);
      const auto display = number ? world_.display(*number) : std::nullopt;
      bool ok = false;
      if (k == "addSpace" && display) {
        ok = world_.addSpace(*number) != 0;
        user("adds a Space to " + name, ok);
      } else if (k == "switchSpace") {
        const size_t index = s["space"].get<size_t>();
        ok = display && index <= display->spaces.size() &&
             world_.switchSpace(*number, display->spaces[index - 1].id);
        user("switches " + name + " to Space " + std::to_string(index), ok);
      }
    } else if (k == "plug") {
      const std::string name = s["display"];
      const DisplayNumber number = world_.plugDisplay(displaySetups_.at(name));
      displayNumbers_[name] = number;
      user("plugs in " + name, number != 0);
    } else if (k == "unplug") {
      const std::string name = s["display"];
      user("unplugs " + name, world_.unplugDisplay(displayOf(name).value_or(0)));
      displayNumbers_.erase(name);
    } else if (k == "arrange") {
      const std::string name = s["display"];
      const Rect frame = rectOf(s["frame"]);
      const Rect visible = s.contains("visibleFrame") ? rectOf(s["visibleFrame"]) : frame;
      displaySetups_[name].frame = frame;
      displaySetups_[name].visibleFrame = visible;
      user("moves " + name + " to " + s["frame"].dump(),
           world_.setDisplayFrames(displayOf(name).value_or(0), frame, visible));
    } else if (k == "key" || k == "action") {
      std::optional<Action> action;
      std::string text;
      if (k == "key") {
        const KeyPress press = *parseKeyPress(s["keys"]);
        text = "presses " + s["keys"].get<std::string>();
        if (settings_) {
          action = actionForCombo(settings_->bindings.value(), {press.keyCode, press.modifiers});
        }
      } else {
        action = actionFromRaw(s["action"].get<std::string>());
        text = "chooses " + s["action"].get<std::string>();
      }
      if (!manager_ || !action) {
        user(text + (manager_ ? " (no shortcut)" : " (the program is not running)"), false);
      } else {
        note("command", text + ": " + std::string(rawValue(*action)));
        manager_->perform(*action);
      }
    } else if (k == "set") {
      const std::string property = s["setting"];
      if (settings_) {
        assignSetting(*settings_, property, s["value"]);
        note("setting", property + " = " + s["value"].dump());
      } else {
        // The program is not running: the change goes to the stored defaults
        // through a store of its own, as the settings window of a later
        // launch would have written it.
        const auto displays = DisplayInfo::all(workspace_, windowServer_);
        AppSettings offline(defaults_, displays.empty()
                                           ? std::nullopt
                                           : std::optional<std::string>(displays[0].id));
        assignSetting(offline, property, s["value"]);
        note("setting", property + " = " + s["value"].dump() + " (stored while stopped)");
      }
      if (property == "enabled") {
        pausedAt_ = s["value"].get<bool>() ? std::nullopt : std::optional<double>(dispatch_.now());
      }
    } else if (k == "pause" || k == "resume") {
      if (settings_) {
        settings_->enabled.set(k == "resume");
        note("user", k == "pause" ? "pauses the program" : "resumes the program");
        pausedAt_ = k == "pause" ? std::optional<double>(dispatch_.now()) : std::nullopt;
      } else {
        user(k + " (the program is not running)", false);
      }
    } else if (k == "stop") {
      if (manager_) {
        stopProgram();
        justStopped_ = true;
      }
    } else if (k == "start") {
      if (!manager_) startProgram(/*firstLaunch=*/false);
    } else if (k == "wait") {
      dispatch_.runFor(s["seconds"].get<double>());
    } else if (k == "snapshot") {
      note("snapshot", s["name"]);
    } else if (k == "behave") {
      sim::AppSetup& setup = appSetups_.at(s["app"]);
      if (setup.behaviour.hung || setup.behaviour.ignoresMoves)
        unmovableAt_[setup.name] = dispatch_.now();
      setup.behaviour = behaviourOf(s["behaviour"]);
      world_.setBehaviour(pidOf(s["app"]), setup.behaviour);
      timeline_.push_back(
          {dispatch_.now(), step_, "app", setup.name + " now behaves " + s["behaviour"].dump()});
    } else if (k == "pointer") {
      world_.movePointer({s["point"][0].get<double>(), s["point"][1].get<double>()});
      note("user", "moves the pointer to " + s["point"].dump());
    }
  } catch (const std::exception& e) {
    note("exception", e.what());
  }
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

bool Session::inView(const Rect& frame) const {
  for (const auto& display : world_.displays()) {
    const Rect part = frame.intersection(display.frame);
    if (!part.isNull() && part.width() >= 40 && part.height() >= 40) return true;
  }
  return false;
}

Json Session::state() const {
  Json doc;
  doc["time"] = dispatch_.now();
  doc["running"] = manager_ != nullptr;
  doc["shell"] = program_ ? program_->state() : Json();
  doc["enabled"] = settings_ ? settings_->enabled.value() : false;
  const std::optional<WindowId> focused = manager_ ? manager_->focusedWindow() : std::nullopt;
  doc["focused"] = focused ? Json(windowName(*focused)) : Json();
  std::unordered_set<WindowId> tiled;
  Json displays = Json::array();
  if (manager_) {
    for (const auto& [id, display] : manager_->displays()) {
      Json d;
      d["name"] = displayName(id);
      d["id"] = id;
      d["frame"] = rectJson(display.info.frame);
      d["visibleFrame"] = rectJson(display.info.visibleFrame);
      d["connected"] = display.isConnected;
      d["managed"] = display.isManaged;
      d["active"] = display.isActive();
      d["currentSpace"] = display.space.id;
      Json spaces = Json::array();
      for (const auto& [spaceId, strip] : display.strips) {
        Json columns = Json::array();
        for (int c = 0; c < strip.count(); ++c) {
          const Column& column = strip.columns[c];
          Json windows = Json::array();
          for (WindowId w : column.windows) {
            tiled.insert(w);
            windows.push_back(windowName(w));
          }
          columns.push_back({{"proportion", column.proportion}, {"windows", windows}});
        }
        spaces.push_back({{"space", spaceId},
                          {"current", spaceId == display.space.id},
                          {"scroll", strip.scroll.value},
                          {"focusedColumn", strip.count() ? Json(strip.focusedIndex) : Json()},
                          {"columns", columns}});
      }
      d["spaces"] = spaces;
      displays.push_back(d);
    }
  }
  // Connection order of the world, so that the document reads the same every time.
  std::stable_sort(displays.begin(), displays.end(), [this](const Json& a, const Json& b) {
    auto rank = [this](const std::string& name) {
      return std::find(displayOrder_.begin(), displayOrder_.end(), name) - displayOrder_.begin();
    };
    return rank(a["name"]) < rank(b["name"]);
  });
  doc["displays"] = displays;
  Json windows = Json::array();
  std::vector<std::pair<std::string, sim::WindowKey>> named(windowKeys_.begin(), windowKeys_.end());
  for (const auto& [name, key] : named) {
    const auto w = world_.window(key);
    if (!w) continue;
    const WindowId number = w->number.value_or(0);
    const TrackedWindow* known = manager_ ? manager_->window(number) : nullptr;
    windows.push_back({{"name", name},
                       {"app", appName(w->pid)},
                       {"title", w->title},
                       {"frame", rectJson(w->frame)},
                       {"minimised", w->minimized},
                       {"fullScreen", w->fullScreen},
                       {"inView", inView(w->frame)},
                       {"tracked", known != nullptr},
                       {"tileable", known ? known->isTileable : false},
                       {"tiled", tiled.contains(number)},
                       {"parked", manager_ ? manager_->isParked(number) : false}});
  }
  doc["windows"] = windows;
  // The displays as the system has them, running program or not.
  Json screens = Json::array();
  for (const auto& d : world_.displays()) {
    screens.push_back({{"name", d.name}, {"frame", rectJson(d.frame)}});
  }
  doc["screens"] = screens;
  return doc;
}

std::optional<Violation> Session::checkNothingLost(const char* invariant, bool skipHung) {
  const auto stored = defaults_.storedObject(kUnrecoveredKey);
  std::unordered_set<WindowId> remembered;
  if (stored && stored->is_array()) {
    for (const Json& v : *stored) {
      if (v.is_number_unsigned()) remembered.insert(v.get<WindowId>());
    }
  }
  for (const auto& [name, key] : windowKeys_) {
    const auto w = world_.window(key);
    if (!w || w->minimized || w->fullScreen) continue;
    const auto app = world_.app(w->pid);
    if (app && app->hidden) continue;
    // An application that is hung or ignores moves cannot be asked to move
    // its window back; the program keeps trying, and a stop remembers the
    // window instead.
    if (skipHung && app && (app->behaviour.hung || app->behaviour.ignoresMoves)) continue;
    // Nor one that could not until lately: the next retry has not come yet.
    if (auto lately = unmovableAt_.find(appName(w->pid));
        skipHung && lately != unmovableAt_.end() &&
        dispatch_.now() - lately->second < kRestoreSeconds) {
      continue;
    }
    if (!movedByProgram_.contains(w->number.value_or(0))) continue;
    // A restore still waiting its turn behind a slow application's queue has
    // not settled yet; it is judged once it reports.
    if (skipHung && manager_ && manager_->movedWindow(w->number.value_or(0)) &&
        manager_->movedWindow(w->number.value_or(0))->state == MovedState::restoring) continue;
    if (inView(w->frame) || remembered.contains(w->number.value_or(0))) continue;
    // Where its user or its application put it: not the program's to undo.
    if (auto put = userFrames_.find(key); put != userFrames_.end() && put->second == w->frame)
      continue;
    return Violation{invariant, "window " + name + " is left out of view at " +
                                    rectJson(w->frame).dump() + " and not remembered"};
  }
  return std::nullopt;
}

std::optional<Violation> Session::check() {
  if (!timeline_.empty() && timeline_.back().kind == "exception") {
    return Violation{"noExceptions", timeline_.back().text};
  }
  if (justStopped_) {
    if (auto v = checkNothingLost("windowLostAfterStop", false)) return v;
  }
  if (!manager_) return std::nullopt;
  std::unordered_set<WindowId> onScreen;
  for (const auto& info : windowServer_.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
    onScreen.insert(info.number);
  }
  const bool settled = dispatch_.now() - lastActionTime_ >= kSettleSeconds;
  std::unordered_set<WindowId> seen;
  for (const auto& [id, display] : manager_->displays()) {
    for (const auto& [space, strip] : display.strips) {
      std::string why;
      if (!strip.verifyInvariants(&why)) {
        return Violation{"stripInvariants", displayName(id) + ": " + why};
      }
      if (options_.plantedFault == "fourColumns" && strip.count() >= 4) {
        return Violation{"fourColumns", "a strip of " + displayName(id) + " holds four columns"};
      }
      for (WindowId w : strip.allWindows()) {
        if (!seen.insert(w).second) {
          return Violation{"windowInTwoStrips", windowName(w) + " is in two strips"};
        }
        const TrackedWindow* known = manager_->window(w);
        if (!known) return Violation{"unknownWindowInStrip", windowName(w) + " is not known"};
        if (!known->isTileable) {
          return Violation{"untileableWindowInStrip", windowName(w) + " does not tile"};
        }
        if (settled && display.isActive() && display.space.id == space &&
            settings_->enabled.value() && !onScreen.contains(w)) {
          return Violation{"tiledWindowOffScreen", windowName(w) + " stays in the strip of " +
                                                       displayName(id) +
                                                       " without being on screen"};
        }
      }
    }
  }
  // Management may also have been switched by a command (togglePause), so the
  // pause is dated by the setting itself, not only by the steps that name it.
  if (settings_->enabled.value()) {
    pausedAt_.reset();
  } else if (!pausedAt_) {
    pausedAt_ = dispatch_.now();
  }
  if (pausedAt_ && dispatch_.now() - *pausedAt_ >= kRestoreSeconds && !settings_->enabled.value()) {
    if (auto v = checkNothingLost("windowLostAfterPause", true)) return v;
  }
  return std::nullopt;
}

}  // namespace vistarail::simrun

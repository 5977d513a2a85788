#include "sim_runner/shell_program.h"

#include <cstdlib>

#include "settings_ui/settings_tab.h"

namespace vistarail::simrun {

std::vector<std::string> menuRows(const Menu& menu) {
  std::vector<std::string> rows;
  for (const MenuItem& item : menu.items) {
    if (item.isSeparator) {
      rows.push_back("\u2014");
      continue;
    }
    std::string row = item.displayedTitle();
    if (item.checked) row = "\u2713 " + row;
    if (!item.enabled) row = "(" + row + ")";
    rows.push_back(row);
  }
  return rows;
}

std::string controlShows(const FormControl& control) {
  std::string shows;
  switch (control.kind) {
    case FormControlKind::toggle:
      shows = control.isOn ? "on" : "off";
      break;
    case FormControlKind::slider:
    case FormControlKind::valueRow:
      shows = control.valueText;
      break;
    case FormControlKind::picker:
      shows = control.selected >= 0 && control.selected < static_cast<int>(control.options.size())
                  ? control.options[static_cast<size_t>(control.selected)]
                  : control.valueText;
      break;
    case FormControlKind::textField:
      shows = control.detail;
      break;
    case FormControlKind::shortcutRow:
      if (!control.detail.empty()) {
        shows = control.detail;
        break;
      }
      for (const std::string& keys : control.keys) shows += (shows.empty() ? "" : ", ") + keys;
      if (shows.empty()) shows = "none";
      break;
    case FormControlKind::tile:
      shows = control.isOn ? "selected" : "not selected";
      break;
    case FormControlKind::checkRow:
    case FormControlKind::appRow:
    case FormControlKind::header:
      shows = control.detail.empty() ? control.label : control.detail;
      break;
    default:
      shows = control.label;
  }
  if (!control.enabled) shows += " (disabled)";
  return shows;
}

namespace {

// What the settings window's control named by id or label shows, if it shows.
std::optional<std::string> shownControl(const nlohmann::json& shell, const std::string& name) {
  if (!shell.contains("controls")) return std::nullopt;
  for (const auto& control : shell["controls"]) {
    if (control["id"] == name) return control["shows"].get<std::string>();
  }
  for (const auto& control : shell["controls"]) {
    if (control["label"] == name) return control["shows"].get<std::string>();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> unmetShellExpectation(const nlohmann::json& expectation,
                                                 const nlohmann::json& state) {
  static const std::pair<const char*, const char*> kFields[] = {
      {"status", "the status text"},
      {"icon", "the icon"},
      {"menu", "the status menu"},
      {"settingsTab", "the settings tab"}};
  const auto shell = state.find("shell");
  if (expectation.contains("control")) {
    const std::string name = expectation["control"];
    const std::string wanted = expectation.value("shows", std::string());
    const auto shows =
        shell != state.end() && shell->is_object() ? shownControl(*shell, name) : std::nullopt;
    if (shows == wanted) return std::nullopt;
    return "the settings control \"" + name + "\" " +
           (shows ? "shows \"" + *shows + "\"" : std::string("is not on the window")) +
           ", expected \"" + wanted + "\"";
  }
  for (const auto& [key, meaning] : kFields) {
    if (!expectation.contains(key)) continue;
    nlohmann::json actual;
    if (shell != state.end() && shell->is_object() && shell->contains(key)) actual = (*shell)[key];
    if (actual == expectation[key]) return std::nullopt;
    return std::string(meaning) + " is " + (actual.is_null() ? "missing" : actual.dump()) +
           ", expected " + expectation[key].dump();
  }
  return std::nullopt;
}

ShellProgram::ShellProgram(const ShellProgramPorts& ports, ProgramHooks hooks,
                           std::optional<std::string> controlSocket)
    : desktop_(ports.desktop),
      application_(desktop_.dispatch),
      statusBar_(desktop_.dispatch),
      process_(desktop_.dispatch),
      alerts_(desktop_.dispatch) {
  sim::Desktop& d = desktop_;
  program_ = std::make_unique<Program>(ProgramPorts{application_,
                                                    statusBar_,
                                                    process_,
                                                    d.bundle,
                                                    alerts_,
                                                    ports.ax,
                                                    d.windowServer,
                                                    d.workspace,
                                                    d.dispatch,
                                                    ports.displayLinks,
                                                    d.hotKeys,
                                                    d.taps,
                                                    ports.overlayPanels,
                                                    d.keyboardLayout,
                                                    d.text,
                                                    ports.defaults,
                                                    ports.loginItem,
                                                    keyMonitor_,
                                                    ports.updaters,
                                                    settingsHost_},
                                       std::move(hooks), std::move(controlSocket));
}

ShellProgram::~ShellProgram() {
  program_.reset();
}

void ShellProgram::launch() {
  if (launched_) return;
  launched_ = true;
  program_->run();
}

std::shared_ptr<WindowManager> ShellProgram::manager() const {
  WindowManager* manager = program_->delegate().manager();
  return manager ? manager->shared_from_this() : nullptr;
}

void ShellProgram::chooseFromStatusMenu(const std::string& title) {
  statusBar_.click();
  statusBar_.choose(title);
}

void ShellProgram::quit() {
  desktop_.dispatch.main()->async([this] { application_.terminate(); });
}

Menu ShellProgram::currentMenu() const {
  Menu menu;
  if (StatusItemController* item = program_->delegate().statusItem())
    menu.items = item->menuItems();
  return menu;
}

nlohmann::json ShellProgram::state() const {
  nlohmann::json doc;
  const sim::StatusItemState* item = statusBar_.item();
  const WindowManager* manager = program_->delegate().manager();
  doc["status"] = manager ? manager->statusText() : "";
  doc["icon"] = item && item->image ? item->image->symbolName : "";
  doc["dimmed"] = item ? item->appearsDisabled : false;
  doc["tooltip"] = item ? item->toolTip : "";
  doc["menu"] = item ? menuRows(currentMenu()) : std::vector<std::string>{};
  // The tab the window shows, or would open on; none before it was made.
  doc["settingsTab"] = nlohmann::json();
  if (settingsHost_.windowsMade() > 0) {
    doc["settingsTab"] = std::string(rawValue(program_->settingsWindow().navigation().tab.value()));
  }
  doc["settingsShown"] = settingsHost_.isVisible();
  nlohmann::json controls = nlohmann::json::array();
  if (settingsHost_.isVisible()) {
    for (const FormControl& control : settingsHost_.form().controls) {
      controls.push_back(
          {{"id", control.id}, {"label", control.label}, {"shows", controlShows(control)}});
    }
  }
  doc["controls"] = controls;
  doc["exited"] = exited();
  return doc;
}

std::vector<std::pair<double, std::string>> ShellProgram::takeLog() {
  std::vector<std::pair<double, std::string>> lines;
  const double now = desktop_.dispatch.now();
  const auto& status = statusBar_.log();
  for (; statusLogRead_ < status.size(); ++statusLogRead_) {
    lines.emplace_back(now, status[statusLogRead_]);
  }
  const auto& app = application_.log();
  // The application's lines carry their time in front: "12.345 text".
  for (; appLogRead_ < app.size(); ++appLogRead_) {
    const std::string& line = app[appLogRead_];
    const size_t space = line.find(' ');
    if (space == std::string::npos) {
      lines.emplace_back(now, line);
    } else {
      lines.emplace_back(std::strtod(line.c_str(), nullptr), line.substr(space + 1));
    }
  }
  for (; alertsRead_ < alerts_.shown().size(); ++alertsRead_) {
    const sim::ShownAlert& shown = alerts_.shown()[alertsRead_];
    lines.emplace_back(shown.time, "alert: " + shown.alert.messageText);
  }
  return lines;
}

}  // namespace vistarail::simrun

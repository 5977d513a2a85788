#include "sim_runner/shell_program.h"

#include <cstdlib>

#include "shell/entry.h"

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

std::optional<std::string> unmetShellExpectation(const nlohmann::json& expectation,
                                                 const nlohmann::json& state) {
  static const std::pair<const char*, const char*> kFields[] = {
      {"status", "the status text"},
      {"icon", "the icon"},
      {"menu", "the status menu"},
      {"settingsTab", "the settings tab"}};
  const auto shell = state.find("shell");
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

ShellProgram::ShellProgram(sim::Desktop& desktop, AppSettings& settings,
                           std::function<std::shared_ptr<WindowManager>()> makeManager)
    : desktop_(desktop),
      settings_(settings),
      makeManager_(std::move(makeManager)),
      application_(desktop.dispatch),
      statusBar_(desktop.dispatch),
      process_(desktop.dispatch),
      alerts_(desktop.dispatch) {}

ShellProgram::~ShellProgram() {
  delegate_.reset();
}

void ShellProgram::launch() {
  if (delegate_) return;
  delegate_ = AppDelegate::create(
      {application_, statusBar_, process_, desktop_.bundle, alerts_, desktop_.workspace,
       desktop_.ax, desktop_.dispatch, desktop_.keyboardLayout, desktop_.text},
      {settings_, settingsWindow_, updates_, makeManager_, controlSocket_});
  runApplication(application_, delegate_, updates_);
}

control::ControlServer* ShellProgram::controlServer() const {
  return delegate_ ? delegate_->controlServer() : nullptr;
}

std::shared_ptr<WindowManager> ShellProgram::manager() const {
  if (!delegate_ || !delegate_->manager()) return nullptr;
  return delegate_->manager()->shared_from_this();
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
  if (delegate_ && delegate_->statusItem()) menu.items = delegate_->statusItem()->menuItems();
  return menu;
}

nlohmann::json ShellProgram::state() const {
  nlohmann::json doc;
  const sim::StatusItemState* item = statusBar_.item();
  doc["status"] = delegate_ && delegate_->manager() ? delegate_->manager()->statusText() : "";
  doc["icon"] = item && item->image ? item->image->symbolName : "";
  doc["dimmed"] = item ? item->appearsDisabled : false;
  doc["tooltip"] = item ? item->toolTip : "";
  doc["menu"] = item ? menuRows(currentMenu()) : std::vector<std::string>{};
  doc["settingsTab"] = settingsWindow_.page
                           ? nlohmann::json(std::string(toString(*settingsWindow_.page)))
                           : nlohmann::json();
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

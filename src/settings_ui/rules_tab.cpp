#include "settings_ui/rules_tab.h"

#include <algorithm>
#include <cctype>

namespace vistarail {

namespace {

std::string withoutAppSuffix(std::string name) {
  constexpr std::string_view kSuffix = ".app";
  if (name.size() > kSuffix.size() && name.ends_with(kSuffix)) name.resize(name.size() - 4);
  return name;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string trimmedIdentifier(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::vector<RunningAppChoice> RulesTab::runningChoices() const {
  std::vector<RunningAppChoice> choices;
  if (!context_.services.runningApplications) return choices;
  const auto& listed = context_.settings.floatingBundleIDs.value();
  for (const RunningApplication& app : context_.services.runningApplications()) {
    if (app.activationPolicy != ActivationPolicy::regular || app.bundleIdentifier.empty()) continue;
    if (std::ranges::find(listed, app.bundleIdentifier) != listed.end()) continue;
    const bool seen = std::ranges::any_of(choices, [&](const RunningAppChoice& choice) {
      return choice.bundleID == app.bundleIdentifier;
    });
    if (!seen)
      choices.push_back({app.bundleIdentifier,
                         app.localizedName.empty() ? app.bundleIdentifier : app.localizedName});
  }
  std::ranges::sort(choices, [](const RunningAppChoice& a, const RunningAppChoice& b) {
    const std::string la = lowered(a.name), lb = lowered(b.name);
    return la != lb ? la < lb : a.bundleID < b.bundleID;
  });
  return choices;
}

bool RulesTab::add(const std::string& bundleID) {
  const std::string id = trimmedIdentifier(bundleID);
  auto list = context_.settings.floatingBundleIDs.value();
  if (id.empty() || std::ranges::find(list, id) != list.end()) return false;
  list.push_back(id);
  context_.settings.floatingBundleIDs.set(std::move(list));
  return true;
}

void RulesTab::remove(const std::string& bundleID) {
  auto list = context_.settings.floatingBundleIDs.value();
  std::erase(list, bundleID);
  context_.settings.floatingBundleIDs.set(std::move(list));
}

void RulesTab::submitField() {
  add(field_);
  field_.clear();
}

Controls RulesTab::controls() {
  Controls c;
  Control heading = sectionHeader("Apps that always float");
  c.push_back(std::move(heading));
  c.push_back(paragraph(
      "Floating windows keep their own size and position and stay out of the strip. Dialogs, "
      "panels and fixed-size windows always float. Toggle a single window with “Float / tile "
      "focused window”."));
  const auto& listed = context_.settings.floatingBundleIDs.value();
  if (listed.empty()) c.push_back(paragraph("No apps float yet."));
  for (const std::string& id : listed) {
    std::optional<std::string> name;
    if (context_.services.applicationName) name = context_.services.applicationName(id);
    Control row;
    row.view.kind = FormControlKind::appRow;
    row.view.id = "rule." + id;
    row.view.label = name ? withoutAppSuffix(*name) : id;
    row.view.detail = id;
    row.view.symbol = name ? "" : "app.dashed";
    row.view.actionTitle = "minus.circle.fill";
    row.view.help = "Tile this app again";
    row.act = [this, id](const ControlInput&) { remove(id); };
    c.push_back(std::move(row));
  }
  const std::vector<RunningAppChoice> choices = runningChoices();
  Control menu;
  menu.view.kind = FormControlKind::menu;
  menu.view.id = menu.view.label = "Add a Running App";
  for (const RunningAppChoice& choice : choices) menu.view.options.push_back(choice.name);
  menu.view.enabled = !choices.empty();
  menu.act = [this, choices](const ControlInput& input) {
    const int* index = std::get_if<int>(&input);
    if (index && *index >= 0 && *index < static_cast<int>(choices.size()))
      add(choices[*index].bundleID);
  };
  c.push_back(std::move(menu));
  Control field;
  field.view.kind = FormControlKind::textField;
  field.view.id = "rules.field";
  field.view.label = "Bundle identifier, e.g. com.apple.Preview";
  field.view.detail = field_;
  // Text types into the field; nothing is Return.
  field.act = [this](const ControlInput& input) {
    if (const std::string* text = std::get_if<std::string>(&input))
      setFieldText(*text);
    else
      submitField();
  };
  c.push_back(std::move(field));
  c.push_back(button("Add", [this] { submitField(); }));
  return c;
}

}  // namespace vistarail

#include "shell/program.h"

#include <string>
#include <utility>

#include "input/key_display.h"
#include "shell/entry.h"
#include "shell/version_text.h"
#include "windows/display_info.h"

namespace vistarail {

// The settings window for the shell: the model shown through the host, the
// person's clicks and edits handed back to the model, and the host kept up
// to date while the window shows.
class Program::SettingsBinding final : public SettingsPresenter {
 public:
  SettingsBinding(SettingsWindowController& controller, FormHost& host, Dispatch& dispatch)
      : controller_(controller), host_(host), dispatch_(dispatch) {
    host_.setHandlers({
        .selectTab =
            [this](int tab) {
              if (tab < 0 || tab >= static_cast<int>(kAllSettingsTabs.size())) return;
              controller_.select(kAllSettingsTabs[static_cast<size_t>(tab)]);
              refresh();
            },
        .operate =
            [this](const std::string& id, const FormInput& input) {
              if (SettingsWindow* window = controller_.window()) window->operate(id, input);
              refresh();
            },
        .closed =
            [this] {
              controller_.close();
              refreshTimer_.reset();
            },
    });
  }
  ~SettingsBinding() override { refreshTimer_.reset(); }

  void show(std::optional<SettingsPage> page) override {
    std::optional<SettingsTab> tab;
    if (page) tab = settingsTabFromRaw(toString(*page));
    controller_.show(tab);
    shown_ = controller_.window()->describe();
    host_.show(shown_);
    if (!refreshTimer_) {
      refreshTimer_ = dispatch_.scheduleRepeating(dispatch_.main(), kSettingsRefreshSeconds,
                                                  [this] { refresh(); });
    }
  }

 private:
  void refresh() {
    SettingsWindow* window = controller_.window();
    if (!window || !controller_.isVisible()) return;
    FormWindow now = window->describe();
    if (now == shown_) return;
    shown_ = std::move(now);
    host_.update(shown_);
  }

  SettingsWindowController& controller_;
  FormHost& host_;
  Dispatch& dispatch_;
  FormWindow shown_;
  RepeatingTimerRef refreshTimer_;
};

class Program::UpdatesBinding final : public UpdateControl {
 public:
  explicit UpdatesBinding(UpdateManager& manager) : manager_(manager) {}
  void start() override { manager_.start(); }
  bool canCheckForUpdates() const override { return manager_.validateMenuItem(); }
  void checkForUpdates() override { manager_.checkForUpdates(); }

 private:
  UpdateManager& manager_;
};

Program::Program(const ProgramPorts& ports, ProgramHooks hooks,
                 std::optional<std::string> controlSocket)
    : ports_(ports), hooks_(std::move(hooks)) {
  const auto displays = DisplayInfo::all(ports_.workspace, ports_.windowServer);
  settings_ = std::make_unique<AppSettings>(
      ports_.defaults,
      displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
  Application& application = ports_.application;
  Bundle& bundle = ports_.bundle;
  updates_ = std::make_unique<UpdateManager>(
      ports_.updaters, [&bundle] { return bundle.bundleIdentifier().value_or(""); },
      [&application] { application.activate(); });
  updatesBinding_ = std::make_unique<UpdatesBinding>(*updates_);
  settingsWindow_ = std::make_unique<SettingsWindowController>(
      SettingsContext{*settings_, ports_.dispatch, ports_.loginItem, ports_.keyMonitor, *updates_,
                      services(), [this]() -> HotKeyManager* {
                        WindowManager* manager = delegate_ ? delegate_->manager() : nullptr;
                        return manager && manager->isRunning() ? &manager->hotKeys() : nullptr;
                      }});
  settingsBinding_ =
      std::make_unique<SettingsBinding>(*settingsWindow_, ports_.settingsHost, ports_.dispatch);
  delegate_ = AppDelegate::create(
      {ports_.application, ports_.statusBar, ports_.process, ports_.bundle, ports_.alerts,
       ports_.workspace, ports_.ax, ports_.dispatch, ports_.keyboardLayout, ports_.text},
      {*settings_, *settingsBinding_, *updatesBinding_, [this] { return makeManager(); },
       std::move(controlSocket)});
}

Program::~Program() {
  // The delegate's manager and timers refer to the settings; the settings
  // window refers to the delegate's manager for its shortcuts.
  delegate_.reset();
  settingsBinding_.reset();
  settingsWindow_.reset();
}

void Program::run() {
  runApplication(ports_.application, delegate_, *updatesBinding_);
}

std::shared_ptr<WindowManager> Program::makeManager() {
  auto manager = WindowManager::create(
      *settings_, ports_.defaults,
      {ports_.ax, ports_.windowServer, ports_.workspace, ports_.dispatch, ports_.displayLinks,
       ports_.hotKeys, ports_.eventTaps, ports_.process.processIdentifier(), hooks_.log,
       &ports_.overlayPanels, &ports_.text});
  if (hooks_.managerMade) hooks_.managerMade(manager);
  return manager;
}

ShellServices Program::services() {
  ShellServices s = servicesFromWorkspace(ports_.workspace, ports_.windowServer);
  Accessibility& ax = ports_.ax;
  Bundle& bundle = ports_.bundle;
  Process& process = ports_.process;
  Application& application = ports_.application;
  KeyboardLayout& layout = ports_.keyboardLayout;
  const TextServices& text = ports_.text;
  s.isTrusted = [&ax] { return ax.isProcessTrusted(TrustPrompt::none); };
  s.bundlePath = [&bundle] { return bundle.bundlePath(); };
  s.bundleIdentifier = [&bundle] { return bundle.bundleIdentifier().value_or(""); };
  s.homeDirectory = [&process] { return process.environmentValue("HOME").value_or(""); };
  s.shortcutText = [&layout, &text](const KeyCombo& combo) {
    return displayText(combo, layout, text);
  };
  s.versionText = [&bundle] { return versionText(bundle); };
  s.showPrivacyPolicy = [this] {
    if (delegate_ && delegate_->statusItem()) delegate_->statusItem()->showPrivacyPolicy();
  };
  s.beep = [&application] { application.beep(); };
  s.activate = [&application] { application.activate(); };
  return s;
}

}  // namespace vistarail

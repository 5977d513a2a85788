#include "platform/x11/x_shell.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vistarail::x11 {

void XApplication::run() {
  dispatch_.main()->async([this] {
    if (auto delegate = delegate_.lock()) delegate->applicationDidFinishLaunching();
  });
  while (!terminated_) {
    dispatch_.runMainUntil([this] { return terminated_.load(); }, 3600);
  }
}

void XApplication::terminate() {
  if (terminated_) return;
  auto delegate = delegate_.lock();
  const TerminateReply reply =
      delegate ? delegate->applicationShouldTerminate() : TerminateReply::now;
  if (reply == TerminateReply::now) terminated_ = true;
  if (reply == TerminateReply::later) awaitingReply_ = true;
}

void XApplication::replyToApplicationShouldTerminate(bool shouldTerminate) {
  if (!awaitingReply_) return;
  awaitingReply_ = false;
  if (shouldTerminate) terminated_ = true;
}

void XProcess::blockSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

XProcess::~XProcess() {
  if (watch_) watch_->cancel();
  watch_.reset();
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> XProcess::environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

Pid XProcess::processIdentifier() {
  return static_cast<Pid>(::getpid());
}

Subscription XProcess::observeSignal(int signalNumber, std::function<void()> handler) {
  const uint64_t id = next_++;
  (*handlers_)[id] = {signalNumber, std::move(handler)};
  sigset_t set;
  sigemptyset(&set);
  for (const auto& [_, entry] : *handlers_) sigaddset(&set, entry.first);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  fd_ = signalfd(fd_, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ >= 0 && !watch_) {
    watch_ = dispatch_.watchDescriptor(dispatch_.main(), fd_, DescriptorEvent::readable,
                                       [this] { readSignals(); });
  }
  std::weak_ptr<std::map<uint64_t, std::pair<int, std::function<void()>>>> weak = handlers_;
  return Subscription([weak, id] {
    if (auto handlers = weak.lock()) handlers->erase(id);
  });
}

void XProcess::readSignals() {
  signalfd_siginfo info{};
  while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    const int number = static_cast<int>(info.ssi_signo);
    auto handlers = *handlers_;  // a handler may end its own subscription
    for (auto& [_, entry] : handlers) {
      if (entry.first == number) entry.second();
    }
  }
}

namespace {

class AbsentStatusItem final : public StatusItem {
 public:
  void setImage(std::optional<SymbolImage>) override {}
  void setAppearsDisabled(bool) override {}
  void setToolTip(std::string) override {}
  void setMenu(Menu, std::function<void(Menu&)>) override {}
};

class AbsentUpdater final : public Updater {
 public:
  std::optional<std::string> start() override {
    return "Updates are not available on X11: update through your package manager.";
  }
  bool value(UpdaterProperty) override { return false; }
  Subscription observe(UpdaterProperty, std::function<void(bool)> handler) override {
    handler(false);
    return Subscription();
  }
  void setAutomaticallyChecksForUpdates(bool) override {}
  void setAutomaticallyDownloadsUpdates(bool) override {}
  void checkForUpdates() override {}
};

}  // namespace

std::unique_ptr<StatusItem> XStatusBar::makeStatusItem(double) {
  // X has no menu bar; a system tray is a desktop's option, not X's.
  return std::make_unique<AbsentStatusItem>();
}

std::string XBundle::bundlePath() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.parent_path().string();
}

std::optional<PropertyList> XBundle::infoValue(const std::string& key) {
  if (key == "CFBundleName" || key == "CFBundleDisplayName") return PropertyList("Vistarail");
  return std::nullopt;
}

int XAlerts::runModal(const Alert& alert) {
  std::fprintf(stderr, "vistarail-x11: %s %s\n", alert.messageText.c_str(),
               alert.informativeText.c_str());
  return kAlertFirstButtonReturn;
}

std::optional<std::string> XLoginItem::registerItem() {
  return "Starting at login is up to your desktop's autostart settings on X11.";
}

std::unique_ptr<Updater> XUpdaterFactory::makeUnstarted() {
  return std::make_unique<AbsentUpdater>();
}

void XFormHost::show(const FormWindow& form) {
  std::fprintf(stderr,
               "vistarail-x11: the %s window is not available on X11; change settings with "
               "`vistarail msg set NAME VALUE`\n",
               form.title.c_str());
}

}  // namespace vistarail::x11

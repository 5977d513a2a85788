#pragma once
// One preference of the settings store: its value in memory, how it is kept in
// the defaults domain, and its publication.
//
// Assigning a value announces the coming change on the store's will-change
// signal, writes the value under its key at once (equal to the old one or
// not; nothing is batched), then delivers it to the setting's subscribers, who
// therefore find memory and storage already agreeing.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/published.h"
#include "base/signal.h"
#include "platform/defaults.h"

namespace vistarail {

// What loading may need beyond the stored values.
struct LoadContext {
  // The display that a first run manages, when one is known.
  std::optional<std::string> initialDisplayID;
};

// How a setting of type T is stored: its registered default, how a stored
// value (of any kind, possibly damaged) becomes a T, and how a T is stored.
template <class T>
struct StoredFormat {
  // Absent for keys without a registered default.
  std::optional<PropertyList> registered;
  std::function<T(const Defaults&, const std::string& key, const LoadContext&)> load;
  // Absent result: encoding failed and the stored value is left as it is.
  std::function<std::optional<PropertyList>(const T&)> encode;
  // The load's treatment of a value that is already of the right type (a
  // clamp), for values assigned by name from outside; absent: taken as is.
  std::function<T(const T&)> normalize = nullptr;
};

class SettingsCore;

// The type-independent face of a setting, for registering and loading them all.
class SettingSlot {
 public:
  virtual ~SettingSlot() = default;
  virtual const std::string& key() const = 0;
  virtual std::optional<PropertyList> registeredDefault() const = 0;
  // Reads the stored value into memory; writes nothing and announces nothing.
  virtual void load(const LoadContext& context) = 0;
};

// The store the settings belong to: the defaults domain, the will-change
// signal, and the list of settings in declaration order.
class SettingsCore {
 public:
  explicit SettingsCore(Defaults& defaults) : defaults_(defaults) {}
  SettingsCore(const SettingsCore&) = delete;
  SettingsCore& operator=(const SettingsCore&) = delete;

  Defaults& defaults() const { return defaults_; }
  // Fires before every assignment of any setting.
  Signal<>& willChange() { return willChange_; }

  void add(SettingSlot& slot) { slots_.push_back(&slot); }
  const std::vector<SettingSlot*>& slots() const { return slots_; }

  // Registers every registered default in one dictionary, then loads every
  // setting in declaration order.
  void registerAndLoad(const LoadContext& context) {
    PropertyList registered = PropertyList::object();
    for (const SettingSlot* slot : slots_) {
      if (auto value = slot->registeredDefault()) registered[slot->key()] = std::move(*value);
    }
    defaults_.registerDefaults(registered);
    for (SettingSlot* slot : slots_) slot->load(context);
  }

 private:
  Defaults& defaults_;
  Signal<> willChange_;
  std::vector<SettingSlot*> slots_;
};

template <class T>
class Setting final : public SettingSlot {
 public:
  using Handler = typename Published<T>::Handler;

  // Holds its value default-constructed until the store loads it.
  Setting(SettingsCore& core, std::string key, StoredFormat<T> format)
      : core_(core), key_(std::move(key)), format_(std::move(format)), published_(T{}) {
    core_.add(*this);
  }

  const T& value() const { return published_.value(); }

  void set(T newValue) {
    core_.willChange().emit();
    write(newValue);
    published_.assign(std::move(newValue));
  }

  // The value as loading would leave it had it been stored (clamped).
  T normalized(const T& v) const { return format_.normalize ? format_.normalize(v) : v; }

  [[nodiscard]] Subscription subscribe(Handler handler, Delivery delivery,
                                       Repeats repeats = Repeats::deliverAll) {
    return published_.subscribe(std::move(handler), delivery, repeats);
  }

  // Writes the value in memory under the key without announcing anything.
  void writeBack() { write(value()); }

  const std::string& key() const override { return key_; }
  std::optional<PropertyList> registeredDefault() const override { return format_.registered; }
  void load(const LoadContext& context) override {
    // Silent: nobody can have subscribed while the store is being built.
    published_.assign(format_.load(core_.defaults(), key_, context));
  }

 private:
  void write(const T& value) {
    if (auto encoded = format_.encode(value)) core_.defaults().set(key_, *encoded);
  }

  SettingsCore& core_;
  std::string key_;
  StoredFormat<T> format_;
  Published<T> published_;
};

}  // namespace vistarail

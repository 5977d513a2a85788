#pragma once
// The defaults domain kept in one JSON file, the Linux stand-in for the
// platform's per-user defaults database.
//
// Where: $XDG_CONFIG_HOME/vistarail/defaults.json when XDG_CONFIG_HOME holds an
// absolute path, else ~/.config/vistarail/defaults.json (HOME, or the password
// database when HOME is unset). Tests pass a path of their own.
//
// Format: one JSON object, stored key -> value, written with two-space
// indentation. Values a JSON document cannot express (data, non-finite
// numbers) are tagged as file_defaults_codec.h describes, e.g.
//   { "innerGap": 8.0, "bindings.v1": {"$data": "eyJmb2N1c0xlZnQiOltdfQ=="} }
// Registered defaults are never written.
//
// Reading happens once, at construction. A file that is missing, empty, not
// JSON, not a JSON object, nested absurdly deep or larger than kMaxFileBytes
// reads as an empty domain; the problem is reported once, as one line naming
// the file, and the file is left untouched until the program stores or removes
// a value. At that first write an unreadable file is first renamed to
// "<name>.bad", so hand-edited settings that failed to parse are never simply
// thrown away. Values of unexpected shape inside a good file are kept as they
// are; the typed getters coerce them.
//
// Writing happens on every set and on every remove of a stored key: the whole
// domain goes to a temporary file in the same folder, which is flushed and then
// renamed over the old one, so a crash mid-write leaves either the old or the
// new file, never half of one. A failed write keeps the value in memory and is
// reported once until a write succeeds again.
//
// Thread-safe: one lock orders the in-memory change and its write.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/sim/defaults/memory_defaults.h"

namespace vistarail::sim {

class FileDefaults final : public Defaults {
 public:
  // Receives each one-line report; the default writes it to standard error.
  using Reporter = std::function<void(const std::string& line)>;

  static constexpr uintmax_t kMaxFileBytes = 16u << 20;

  // The standard location (see above); absent when no home folder is known.
  static std::optional<std::filesystem::path> standardPath();

  // Uses the standard location; without one the domain lives in memory only,
  // which is reported once.
  explicit FileDefaults(Reporter reporter = {});
  explicit FileDefaults(std::filesystem::path path, Reporter reporter = {});

  void registerDefaults(const PropertyList& dictionary) override;
  std::optional<PropertyList> object(const std::string& key) const override;
  void set(const std::string& key, const PropertyList& value) override;
  void remove(const std::string& key) override;

  // Where the domain is saved; empty when it lives in memory only.
  const std::filesystem::path& path() const { return path_; }

 private:
  void load();
  void save();
  std::filesystem::path writeTarget() const;
  void report(const std::string& line) const;

  std::filesystem::path path_;
  Reporter reporter_;
  MemoryDefaults memory_;
  std::mutex writeMutex_;
  bool backUpBeforeWrite_ = false;
  bool writeFailureReported_ = false;
};

}  // namespace vistarail::sim

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
// Writing is lazy, as the platform's own defaults are: a set or a remove of a
// stored key changes the domain in memory at once, and the file follows
// kWriteDelaySeconds later on the write queue, once for however many changes
// came in between (a dragged slider changes a value dozens of times a
// second). flush() writes what is outstanding now; the program calls it when
// it stops, and the destructor calls it, so nothing is lost at exit. Without a
// write queue nothing is written before flush() or destruction. A write puts
// the whole domain in a temporary file in the same folder, fsyncs it and
// renames it over the old one, so a crash mid-write leaves either the old or
// the new file, never half of one. A failed write keeps the values in memory,
// is retried by the next flush and is reported once until a write succeeds.
//
// Thread-safe: one lock orders the in-memory changes and the writes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/dispatch.h"
#include "platform/sim/defaults/memory_defaults.h"

namespace vistarail::sim {

class FileDefaults final : public Defaults {
 public:
  // Receives each one-line report; the default writes it to standard error.
  using Reporter = std::function<void(const std::string& line)>;

  static constexpr uintmax_t kMaxFileBytes = 16u << 20;
  // How long changes gather before the file is written.
  static constexpr double kWriteDelaySeconds = 0.5;

  // The standard location (see above); absent when no home folder is known.
  static std::optional<std::filesystem::path> standardPath();

  // Uses the standard location; without one the domain lives in memory only,
  // which is reported once. Delayed writes run on writeQueue (a serial queue
  // of their own suits best: the write waits for the disk).
  explicit FileDefaults(Reporter reporter = {}, QueueRef writeQueue = {});
  explicit FileDefaults(std::filesystem::path path, Reporter reporter = {},
                        QueueRef writeQueue = {});
  // Flushes.
  ~FileDefaults() override;
  FileDefaults(const FileDefaults&) = delete;
  FileDefaults& operator=(const FileDefaults&) = delete;

  void registerDefaults(const PropertyList& dictionary) override;
  std::optional<PropertyList> object(const std::string& key) const override;
  void set(const std::string& key, const PropertyList& value) override;
  void remove(const std::string& key) override;

  // Writes outstanding changes now (nothing when there are none).
  void flush();

  // Where the domain is saved; empty when it lives in memory only.
  const std::filesystem::path& path() const { return path_; }
  // How many times the file has been replaced, for measurements.
  uint64_t filesWritten() const;

 private:
  // Shared with delayed writes, which may outlive the domain: they find the
  // owner gone (null) under the same lock that guards everything below.
  struct WriteState {
    std::mutex mutex;
    FileDefaults* owner = nullptr;
    bool dirty = false;      // changes not yet in the file
    bool scheduled = false;  // a delayed write is on its way
    uint64_t filesWritten = 0;
  };

  void load();
  // Lock held. Marks a change; true when a delayed write must be scheduled.
  bool changed();
  void scheduleWrite();
  // Lock held.
  void writeIfDirty();
  bool save();
  std::filesystem::path writeTarget() const;
  void report(const std::string& line) const;

  std::filesystem::path path_;
  Reporter reporter_;
  QueueRef writeQueue_;
  MemoryDefaults memory_;
  std::shared_ptr<WriteState> write_ = std::make_shared<WriteState>();
  bool backUpBeforeWrite_ = false;
  bool writeFailureReported_ = false;
};

}  // namespace vistarail::sim

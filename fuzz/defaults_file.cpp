// Feeds arbitrary bytes to the defaults file loader as if they were the file
// on disk, reads every key back through the typed getters, and writes once so
// the encoder sees whatever the decoder kept.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sim/defaults/file_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  static const fs::path dir =
      fs::temp_directory_path() / ("vistarail-fuzz-defaults-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "defaults.json";
  fs::remove(dir / "defaults.json.bad");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  vistarail::sim::FileDefaults defaults(file, [](const std::string&) {});
  for (const char* key : {"innerGap", "bindings.v1", "layout.v2", "widthPresets", "enabled"}) {
    (void)defaults.boolean(key);
    (void)defaults.integer(key);
    (void)defaults.number(key);
    (void)defaults.string(key);
    (void)defaults.stringArray(key);
    (void)defaults.data(key);
  }
  defaults.set("fuzz.written", vistarail::PropertyList::binary({1, 2, 3}));
  return 0;
}

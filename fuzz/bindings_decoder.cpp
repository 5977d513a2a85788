// Stored key bindings from any bytes: loading never fails, always yields a
// binding list for every action, and what is saved reads back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "input/bindings_document.h"
#include "input/key_display.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_text_services.h"

using namespace vistarail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> stored(data, data + size);
  const Bindings loaded = bindingsFromStoredData(stored);
  if (loaded.size() != kActionCount) std::abort();

  const auto saved = encodeBindingsDocument(loaded);
  if (!saved) std::abort();
  if (bindingsFromStoredData(*saved) != loaded) std::abort();

  // Whatever key codes and masks were stored must display.
  static const sim::SimKeyboardLayout layout;
  static const sim::SimTextServices text;
  for (const auto& [action, combos] : loaded) {
    for (const KeyCombo& combo : combos) {
      if (displayText(combo, layout, text).empty()) std::abort();
    }
  }
  return 0;
}

#include "platform/canvas.h"

namespace vistarail {

bool AttributedText::empty() const {
  for (const TextRun& run : runs) {
    if (!run.text.empty()) return false;
  }
  return true;
}

std::string AttributedText::string() const {
  std::string all;
  for (const TextRun& run : runs) all += run.text;
  return all;
}

}  // namespace vistarail

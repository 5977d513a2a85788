// The control socket's request decoder and line framing: any bytes a client
// may send. Nothing may throw or crash, every line gets a decision, and what
// is encoded back is one line of valid JSON.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "control/connection_buffers.h"
#include "control/protocol.h"

using namespace vistarail::control;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The whole input as one line, then framed in uneven chunks as reads come.
  (void)decodeRequest(text);
  LineReader reader(kMaxRequestBytes);
  size_t offset = 0;
  size_t chunk = 1;
  while (offset < text.size()) {
    const size_t n = std::min(chunk, text.size() - offset);
    if (!reader.append(text.substr(offset, n))) break;
    offset += n;
    chunk = chunk * 3 + 1;
    while (auto line = reader.nextLine()) {
      const Decoded decoded = decodeRequest(*line);
      std::string reply;
      if (const auto* error = std::get_if<DecodeError>(&decoded)) {
        reply = encodeError(error->id, error->message);
      } else {
        reply = encodeReply(std::get<Request>(decoded).id, Json::object());
      }
      if (reply.empty() || reply.back() != '\n' || reply.find('\n') != reply.size() - 1)
        std::abort();
      if (Json::parse(reply, nullptr, false).is_discarded()) std::abort();
    }
  }
  return 0;
}

#pragma once
// The control protocol: one JSON object per line in both directions. A
// request names what it wants in "request" and may carry an "id", which its
// reply echoes; replies say "ok", and a failed one says what was wrong in
// "error". Events are objects with an "event" member and never carry an id.
//
// This file decodes requests (with the limits that keep a client from hurting
// the program) and encodes replies and events. It knows nothing of sockets,
// so every limit is tested and fuzzed without one.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "input/action.h"

namespace vistarail::control {

using Json = nlohmann::json;

// A request line longer than this (without its newline) closes the connection.
inline constexpr size_t kMaxRequestBytes = 64 * 1024;
// Arrays and objects nested deeper than this are refused before parsing.
inline constexpr int kMaxNesting = 32;

enum class RequestKind {
  state,      // everything below in one object
  windows,    // the windows
  focused,    // the focused window, or null
  settings,   // every setting by property
  action,     // runs the action named "action"
  set,        // sets "setting" to "value"
  pause,      // stops managing (windows come back into view)
  resume,     // manages again
  subscribe,  // events from now on ("events": names, all when absent)
};

struct Request {
  RequestKind kind = RequestKind::state;
  Json id;  // null when the request had none
  Action action = Action::focusLeft;
  std::string setting;
  Json value;
  std::vector<std::string> events;  // empty: every event
};

struct DecodeError {
  Json id;  // the request's id when it could be read
  std::string message;
};

using Decoded = std::variant<Request, DecodeError>;

// Decodes one line (without its newline). Never throws; the line may hold
// anything at all.
Decoded decodeRequest(std::string_view line);

// {"id": id, "ok": true, ...body} as one line with its newline. Body members
// come after "id" and "ok".
std::string encodeReply(const Json& id, const Json& body);
// {"id": id, "ok": false, "error": message}.
std::string encodeError(const Json& id, std::string_view message);
// {"event": name, ...body}.
std::string encodeEvent(std::string_view name, const Json& body);

// The request names, and the events a subscriber may ask for, in order.
std::span<const std::string_view> requestNames();
std::span<const std::string_view> eventNames();
std::string_view requestName(RequestKind kind);

// The deepest nesting of arrays and objects in JSON text, strings skipped;
// stops counting past `limit` (returns limit + 1).
int nestingDepth(std::string_view text, int limit);

}  // namespace vistarail::control

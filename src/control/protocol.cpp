#include "control/protocol.h"

#include <array>

#include "app/settings_table.h"

namespace vistarail::control {

namespace {

constexpr std::array<std::string_view, 9> kRequestNames = {
    "state", "windows", "focused", "settings", "action", "set", "pause", "resume", "subscribe"};

constexpr std::array<std::string_view, 10> kEventNames = {
    "focusChanged",    "windowAdded",  "windowRemoved", "stripChanged", "scrollSettled",
    "displaysChanged", "spaceChanged", "paused",        "resumed",      "settingsChanged"};

DecodeError error(Json id, std::string message) {
  return {std::move(id), std::move(message)};
}

// The id echoed in replies: a number or a string; anything else is refused,
// so a reply never carries a large object back.
bool validId(const Json& id) {
  return id.is_null() || id.is_number() ||
         (id.is_string() && id.get_ref<const std::string&>().size() <= 256);
}

Decoded decodeObject(const Json& j) {
  Json id = j.contains("id") ? j["id"] : Json();
  if (!validId(id)) return error(Json(), "\"id\" must be a number or a short string");
  auto member = j.find("request");
  if (member == j.end()) return error(id, "missing \"request\"");
  if (!member->is_string()) return error(id, "\"request\" must be a string");
  const std::string& name = member->get_ref<const std::string&>();
  Request request;
  request.id = id;
  size_t index = 0;
  while (index < kRequestNames.size() && kRequestNames[index] != name) ++index;
  if (index == kRequestNames.size()) return error(id, "unknown request \"" + name + "\"");
  request.kind = static_cast<RequestKind>(index);

  switch (request.kind) {
    case RequestKind::action: {
      auto a = j.find("action");
      if (a == j.end()) return error(id, "missing \"action\"");
      if (!a->is_string()) return error(id, "\"action\" must be a string");
      auto action = actionFromRaw(a->get_ref<const std::string&>());
      if (!action) return error(id, "unknown action \"" + a->get<std::string>() + "\"");
      request.action = *action;
      break;
    }
    case RequestKind::set: {
      auto s = j.find("setting");
      if (s == j.end()) return error(id, "missing \"setting\"");
      if (!s->is_string()) return error(id, "\"setting\" must be a string");
      auto v = j.find("value");
      if (v == j.end()) return error(id, "missing \"value\"");
      request.setting = s->get<std::string>();
      if (auto problem = checkSetting(request.setting, *v)) return error(id, *problem);
      request.value = *v;
      break;
    }
    case RequestKind::subscribe: {
      auto e = j.find("events");
      if (e == j.end()) break;
      if (!e->is_array()) return error(id, "\"events\" must be a list of event names");
      for (const Json& name : *e) {
        if (!name.is_string()) return error(id, "\"events\" must be a list of event names");
        const std::string& n = name.get_ref<const std::string&>();
        bool known = false;
        for (std::string_view candidate : kEventNames) known = known || candidate == n;
        if (!known) return error(id, "unknown event \"" + n + "\"");
        request.events.push_back(n);
      }
      break;
    }
    default:
      break;
  }
  return request;
}

}  // namespace

int nestingDepth(std::string_view text, int limit) {
  int depth = 0;
  int deepest = 0;
  bool inString = false;
  bool escaped = false;
  for (char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > limit) return limit + 1;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

Decoded decodeRequest(std::string_view line) {
  if (line.size() > kMaxRequestBytes) {
    return error(Json(), "request larger than " + std::to_string(kMaxRequestBytes) + " bytes");
  }
  if (nestingDepth(line, kMaxNesting) > kMaxNesting) {
    return error(Json(), "request nested deeper than " + std::to_string(kMaxNesting) + " levels");
  }
  Json j = Json::parse(line, nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded()) return error(Json(), "malformed JSON");
  if (!j.is_object()) return error(Json(), "a request must be a JSON object");
  return decodeObject(j);
}

std::string encodeReply(const Json& id, const Json& body) {
  // ordered_json keeps "id" and "ok" first, so a person reading a stream of
  // replies sees them at once.
  nlohmann::ordered_json out;
  out["id"] = id;
  out["ok"] = true;
  if (body.is_object()) {
    for (const auto& [key, value] : body.items()) out[key] = value;
  }
  return out.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string encodeError(const Json& id, std::string_view message) {
  nlohmann::ordered_json out;
  out["id"] = id;
  out["ok"] = false;
  out["error"] = std::string(message);
  return out.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string encodeEvent(std::string_view name, const Json& body) {
  nlohmann::ordered_json out;
  out["event"] = std::string(name);
  if (body.is_object()) {
    for (const auto& [key, value] : body.items()) out[key] = value;
  }
  return out.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::span<const std::string_view> requestNames() {
  return kRequestNames;
}

std::span<const std::string_view> eventNames() {
  return kEventNames;
}

std::string_view requestName(RequestKind kind) {
  return kRequestNames[static_cast<size_t>(kind)];
}

}  // namespace vistarail::control

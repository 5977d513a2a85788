#include "control/msg_command.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "control/client_connection.h"
#include "control/protocol.h"

namespace vistarail::control {

namespace {

// A value on the command line: JSON when it reads as JSON (12, true,
// [0.5, 1]), else the word itself as a string (never, onOverflow).
Json valueOf(const std::string& word) {
  Json parsed = Json::parse(word, nullptr, /*allow_exceptions=*/false);
  return parsed.is_discarded() ? Json(word) : parsed;
}

std::string frameText(const Json& frame) {
  if (!frame.is_array() || frame.size() != 4) return "-";
  char text[96];
  std::snprintf(text, sizeof text, "%g,%g %gx%g", frame[0].get<double>(), frame[1].get<double>(),
                frame[2].get<double>(), frame[3].get<double>());
  return text;
}

std::string windowLine(const Json& w) {
  std::string marks;
  for (const char* mark : {"focused", "parked", "floating", "fullScreen"}) {
    if (w.value(mark, false)) marks += std::string(marks.empty() ? "" : ",") + mark;
  }
  std::ostringstream line;
  line << w.value("id", 0) << "  " << w.value("app", std::string()) << " \u2014 "
       << w.value("title", std::string()) << "  " << frameText(w.value("frame", Json()));
  if (w.contains("column")) line << "  column " << w["column"].get<int>() + 1;
  if (!marks.empty()) line << "  [" << marks << "]";
  return line.str();
}

std::string displaysText(const Json& displays) {
  std::ostringstream out;
  for (const Json& d : displays) {
    out << d.value("name", std::string()) << " (" << d.value("id", std::string()) << ")";
    if (!d.value("managed", false)) out << "  not managed";
    if (d["space"].is_object() && d["space"].value("fullScreen", false)) out << "  full screen";
    out << "\n";
    const Json& strip = d["strip"];
    if (!strip.is_object()) continue;
    int index = 0;
    for (const Json& column : strip["columns"]) {
      const bool focused = strip["focusedColumn"] == index;
      out << (focused ? "  * " : "    ") << ++index << "  "
          << static_cast<int>(std::lround(column.value("width", 0.0) * 100)) << "%  ";
      bool first = true;
      for (const Json& id : column["windows"]) {
        out << (first ? "" : " / ") << id.dump();
        first = false;
      }
      out << "\n";
    }
  }
  return out.str();
}

std::string settingsText(const Json& settings) {
  std::ostringstream out;
  for (const auto& [key, value] : settings.items()) out << key << " = " << value.dump() << "\n";
  return out.str();
}

}  // namespace

std::optional<MsgInvocation> parseMsgArguments(const std::vector<std::string>& words,
                                               std::string& error) {
  MsgInvocation inv;
  std::vector<std::string> rest;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "--help" || w == "-h") {
      inv.help = true;
    } else if (w == "--json") {
      inv.json = true;
    } else if (w == "--socket") {
      if (i + 1 >= words.size()) {
        error = "--socket needs a path";
        return std::nullopt;
      }
      inv.socket = words[++i];
    } else if (w.size() > 1 && w[0] == '-' && rest.empty()) {
      error = "unknown option " + w;
      return std::nullopt;
    } else {
      rest.push_back(w);
    }
  }
  if (inv.help) return inv;
  if (rest.empty()) {
    error = "no command (try --help)";
    return std::nullopt;
  }
  inv.command = rest[0];
  const auto args = std::vector<std::string>(rest.begin() + 1, rest.end());
  auto expect = [&](size_t count, const char* usage) {
    if (args.size() == count) return true;
    error = std::string("usage: msg ") + usage;
    return false;
  };
  Json& r = inv.request;
  r["id"] = 1;
  const std::string& c = inv.command;
  if (c == "state" || c == "windows" || c == "focused" || c == "settings" || c == "pause" ||
      c == "resume") {
    if (!expect(0, c.c_str())) return std::nullopt;
    r["request"] = c;
  } else if (c == "displays") {
    if (!expect(0, "displays")) return std::nullopt;
    r["request"] = "state";
  } else if (c == "action") {
    if (!expect(1, "action NAME")) return std::nullopt;
    r["request"] = "action";
    r["action"] = args[0];
  } else if (c == "set") {
    if (!expect(2, "set SETTING VALUE")) return std::nullopt;
    r["request"] = "set";
    r["setting"] = args[0];
    r["value"] = valueOf(args[1]);
  } else if (c == "events") {
    r["request"] = "subscribe";
    if (!args.empty()) r["events"] = args;
  } else {
    error = "unknown command \"" + c + "\" (try --help)";
    return std::nullopt;
  }
  return inv;
}

std::string formatReply(const std::string& command, const Json& reply) {
  if (command == "windows") {
    std::string out;
    for (const Json& w : reply["windows"]) out += windowLine(w) + "\n";
    return out;
  }
  if (command == "focused") {
    return reply["window"].is_object() ? windowLine(reply["window"]) + "\n" : "no focused window\n";
  }
  if (command == "settings") return settingsText(reply["settings"]);
  if (command == "displays") return displaysText(reply["state"]["displays"]);
  if (command == "state") {
    const Json& s = reply["state"];
    std::string out = s.value("status", std::string()) + "\n";
    out += displaysText(s["displays"]);
    for (const Json& w : s["windows"]) out += windowLine(w) + "\n";
    return out;
  }
  if (command == "set")
    return reply.value("setting", std::string()) + " = " + reply["value"].dump() + "\n";
  if (command == "pause" || command == "resume") {
    return reply.value("paused", false) ? "paused\n" : "managing\n";
  }
  return "";
}

std::string formatEvent(const Json& event) {
  const std::string name = event.value("event", std::string());
  std::string line = name;
  if (event.contains("window") && event["window"].is_object()) {
    const Json& w = event["window"];
    line += "  " + w.value("id", Json(0)).dump() + " " + w.value("app", std::string()) +
            " \u2014 " + w.value("title", std::string());
  } else if (event.contains("window")) {
    line += "  none";
  }
  if (event.contains("display")) line += "  " + event["display"].get<std::string>();
  if (event.contains("columns")) line += "  " + event["columns"].dump();
  if (event.contains("scroll")) line += "  scroll " + event["scroll"].dump();
  if (event.contains("space")) line += "  " + event["space"].dump();
  if (event.contains("displays")) line += "  " + event["displays"].dump();
  if (event.contains("settings")) line += "  " + event["settings"].dump();
  if (event.contains("dropped")) line += "  " + event["dropped"].dump() + " events dropped";
  return line;
}

std::string msgManual(const std::string& program) {
  return "NAME\n"
         "    " +
         program +
         " msg - speak to the running Vistarail\n"
         "\n"
         "SYNOPSIS\n"
         "    " +
         program +
         " msg [--json] [--socket PATH] COMMAND [ARGUMENTS]\n"
         "\n"
         "DESCRIPTION\n"
         "    Sends one request to Vistarail's control socket and prints the reply,\n"
         "    for people by default and as the reply's JSON with --json.\n"
         "\n"
         "COMMANDS\n"
         "    state              everything below at once\n"
         "    windows            the windows, in strip order: id, app, title, frame, marks\n"
         "    focused            the focused window\n"
         "    displays           each display's strip: columns, widths, windows\n"
         "    settings           every setting and its value\n"
         "    action NAME        runs an action as its shortcut would (focusRight,\n"
         "                       moveLeft, cycleWidth, center, toggleFloat, ...)\n"
         "    set SETTING VALUE  sets a setting; numbers are clamped as the settings\n"
         "                       window clamps them (set innerGap 12, set centerMode always)\n"
         "    pause, resume      stops and resumes window management\n"
         "    events [NAME...]   prints events as they happen, one per line, until\n"
         "                       Vistarail quits: focusChanged windowAdded windowRemoved\n"
         "                       stripChanged scrollSettled displaysChanged spaceChanged\n"
         "                       paused resumed settingsChanged (and lagged, when this\n"
         "                       reader fell behind and events were dropped)\n"
         "\n"
         "OPTIONS\n"
         "    --json         print the reply (or each event) as one line of JSON\n"
         "    --socket PATH  the socket to use instead of the default\n"
         "    --help         this page\n"
         "\n"
         "EXIT STATUS\n"
         "    0 when the request succeeded; 1 with the error on standard error when it\n"
         "    failed, or Vistarail could not be reached.\n"
         "\n"
         "ENVIRONMENT\n"
         "    VISTARAIL_SOCKET  the socket's path. Otherwise control.sock in the\n"
         "                      vistarail folder of the per-user runtime directory\n"
         "                      ($XDG_RUNTIME_DIR on Linux, $TMPDIR on macOS).\n"
         "\n"
         "EXAMPLES\n"
         "    " +
         program +
         " msg action focusRight\n"
         "    " +
         program +
         " msg set innerGap 12\n"
         "    " +
         program +
         " msg --json focused\n"
         "    " +
         program + " msg events focusChanged\n";
}

int runMsg(const std::vector<std::string>& words, const std::string& defaultSocket,
           std::ostream& out, std::ostream& err, const std::string& program) {
  std::string error;
  auto inv = parseMsgArguments(words, error);
  if (!inv) {
    err << program << " msg: " << error << "\n";
    return 1;
  }
  if (inv->help) {
    out << msgManual(program);
    return 0;
  }
  const std::string socket = inv->socket.value_or(defaultSocket);
  ClientConnection connection;
  if (!connection.connect(socket, error)) {
    err << program << " msg: " << error << " (is Vistarail running?)\n";
    return 1;
  }
  if (!connection.send(inv->request.dump() + "\n")) {
    err << program << " msg: the connection closed before the request was sent\n";
    return 1;
  }
  auto line = connection.readLine();
  if (!line) {
    err << program << " msg: no reply (Vistarail closed the connection)\n";
    return 1;
  }
  const Json reply = Json::parse(*line, nullptr, false);
  if (reply.is_discarded() || !reply.is_object()) {
    err << program << " msg: unreadable reply\n";
    return 1;
  }
  if (!reply.value("ok", false)) {
    err << program << " msg: " << reply.value("error", std::string("failed")) << "\n";
    return 1;
  }
  if (inv->command != "events") {
    if (inv->json) {
      out << *line << "\n";
    } else {
      out << formatReply(inv->command, reply);
    }
    return 0;
  }
  out.flush();
  while (auto event = connection.readLine()) {
    if (inv->json) {
      out << *event << "\n";
    } else {
      const Json e = Json::parse(*event, nullptr, false);
      out << (e.is_object() ? formatEvent(e) : *event) << "\n";
    }
    out.flush();
  }
  return 0;
}

}  // namespace vistarail::control

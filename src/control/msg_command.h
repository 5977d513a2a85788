#pragma once
// `vistarail msg`: the command line of the control socket's client. The words
// after `msg` become one request; its reply is shown for a person (or as the
// reply's JSON with --json); `events` prints each event as it comes.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vistarail::control {

using Json = nlohmann::json;

struct MsgInvocation {
  bool help = false;
  bool json = false;
  std::optional<std::string> socket;  // --socket PATH
  std::string command;                // the first word
  Json request;                       // what is sent
};

// Reads the words after `msg`. The error names the word that is wrong.
std::optional<MsgInvocation> parseMsgArguments(const std::vector<std::string>& words,
                                               std::string& error);

// The manual page `--help` prints.
std::string msgManual(const std::string& program);

// The reply (a successful one) as a person reads it; empty when there is
// nothing to say (an action carried out).
std::string formatReply(const std::string& command, const Json& reply);
// One event as one line.
std::string formatEvent(const Json& event);

// Runs `msg` with the words after it: exit status 0, or 1 with the error on
// `err`. Events run until the program closes the connection.
int runMsg(const std::vector<std::string>& words, const std::string& defaultSocket,
           std::ostream& out, std::ostream& err, const std::string& program = "vistarail");

}  // namespace vistarail::control

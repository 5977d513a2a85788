#pragma once
// Command-line arguments of the programs that render the simulated desktop:
//
//   --out PATH      where the PNG goes (default out/desktop.png)
//   --width N       picture width in pixels
//   --height N      picture height in pixels
//   --help, -h      print the usage and stop
//
// "--flag=value" works as well as "--flag value"; a flag given twice keeps its
// last value. Anything else (an unknown flag, a missing value, a size that is
// not a whole number within the renderer's limits, a stray word) is an error
// described in one line.

#include <string>
#include <string_view>
#include <vector>

namespace vistarail::sim {

struct RenderArguments {
  std::string outPath = "out/desktop.png";
  int widthPixels = 1800;
  int heightPixels = 640;
  friend bool operator==(const RenderArguments&, const RenderArguments&) = default;
};

struct ParsedRenderArguments {
  enum class Outcome { run, showHelp, error };
  Outcome outcome = Outcome::run;
  RenderArguments arguments;
  std::string error;  // one line, set when outcome is error
};

// The arguments after the program name.
ParsedRenderArguments parseRenderArguments(const std::vector<std::string_view>& args);
// Same, straight from main's parameters.
ParsedRenderArguments parseRenderArguments(int argc, const char* const* argv);

// The usage text, several lines, naming the program as given.
std::string renderUsage(std::string_view programName);

}  // namespace vistarail::sim

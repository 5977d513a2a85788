#include "platform/sim/renderer/render_arguments.h"

#include <charconv>
#include <optional>

#include "platform/sim/renderer/renderer.h"

namespace vistarail::sim {

namespace {

using Outcome = ParsedRenderArguments::Outcome;

ParsedRenderArguments failure(std::string message) {
  ParsedRenderArguments result;
  result.outcome = Outcome::error;
  result.error = std::move(message);
  return result;
}

std::optional<int> parsePixels(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  if (value < Renderer::kMinPixels || value > Renderer::kMaxPixels) return std::nullopt;
  return value;
}

std::string sizeError(std::string_view flag, std::string_view value) {
  return std::string(flag) + " wants a whole number of pixels from " +
         std::to_string(Renderer::kMinPixels) + " to " + std::to_string(Renderer::kMaxPixels) +
         ", not \"" + std::string(value) + "\"";
}

}  // namespace

ParsedRenderArguments parseRenderArguments(const std::vector<std::string_view>& args) {
  ParsedRenderArguments result;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      result.outcome = Outcome::showHelp;
      return result;
    }
    if (!arg.starts_with("-")) return failure("unexpected argument \"" + std::string(arg) + "\"");
    std::string_view flag = arg;
    std::optional<std::string_view> value;
    if (const size_t eq = arg.find('='); eq != std::string_view::npos && arg.starts_with("--")) {
      flag = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (flag != "--out" && flag != "--width" && flag != "--height") {
      return failure("unknown option \"" + std::string(flag) + "\" (try --help)");
    }
    if (!value) {
      if (i + 1 >= args.size()) return failure(std::string(flag) + " needs a value");
      value = args[++i];
    }
    if (flag == "--out") {
      if (value->empty()) return failure("--out needs a file name");
      result.arguments.outPath = std::string(*value);
      continue;
    }
    const auto pixels = parsePixels(*value);
    if (!pixels) return failure(sizeError(flag, *value));
    (flag == "--width" ? result.arguments.widthPixels : result.arguments.heightPixels) = *pixels;
  }
  return result;
}

ParsedRenderArguments parseRenderArguments(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return parseRenderArguments(args);
}

std::string renderUsage(std::string_view programName) {
  const RenderArguments defaults;
  const std::string name(programName);
  return "usage: " + name + " [--out PATH] [--width N] [--height N]\n" +
         "Draws the simulated desktop to a PNG picture.\n"
         "  --out PATH   where to write the picture (default " +
         defaults.outPath + ")\n" + "  --width N    picture width in pixels (default " +
         std::to_string(defaults.widthPixels) + ")\n" +
         "  --height N   picture height in pixels (default " +
         std::to_string(defaults.heightPixels) + ")\n" + "  --help       show this text\n";
}

}  // namespace vistarail::sim

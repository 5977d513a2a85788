#include "platform/sim/renderer_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vistarail::sim {
namespace {

using Outcome = ParsedRenderArguments::Outcome;

struct Accepted {
  std::vector<std::string_view> args;
  RenderArguments expected;
};

TEST(RenderArguments, AcceptedCommandLines) {
  const RenderArguments defaults;
  const std::vector<Accepted> cases = {
      {{}, defaults},
      {{"--out", "pictures/a.png"},
       {"pictures/a.png", defaults.widthPixels, defaults.heightPixels}},
      {{"--out=b.png", "--width=640", "--height", "480"}, {"b.png", 640, 480}},
      {{"--width", "16", "--height", "8192"}, {defaults.outPath, 16, 8192}},
      {{"--width", "100", "--width", "200"}, {defaults.outPath, 200, defaults.heightPixels}},
      {{"--out", "-dash.png"}, {"-dash.png", defaults.widthPixels, defaults.heightPixels}},
      {{"--out=with=equals.png"}, {"with=equals.png", defaults.widthPixels, defaults.heightPixels}},
  };
  for (const auto& c : cases) {
    const auto parsed = parseRenderArguments(c.args);
    EXPECT_EQ(parsed.outcome, Outcome::run) << parsed.error;
    EXPECT_EQ(parsed.arguments, c.expected);
  }
}

TEST(RenderArguments, HelpWinsWhereverItAppears) {
  EXPECT_EQ(parseRenderArguments({"--help"}).outcome, Outcome::showHelp);
  EXPECT_EQ(parseRenderArguments({"--width", "300", "-h"}).outcome, Outcome::showHelp);
  const std::string usage = renderUsage("vistarail-sim");
  for (const char* word :
       {"vistarail-sim", "--out", "--width", "--height", "--help", "out/desktop.png"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
}

struct Rejected {
  std::vector<std::string_view> args;
  const char* mentions;
};

TEST(RenderArguments, MalformedCommandLinesGiveOneLineErrors) {
  const std::vector<Rejected> cases = {
      {{"--colour", "red"}, "unknown option \"--colour\""},
      {{"-x"}, "unknown option"},
      {{"--outfile=a.png"}, "unknown option \"--outfile\""},
      {{"stray"}, "unexpected argument \"stray\""},
      {{"--out"}, "--out needs a value"},
      {{"--width"}, "--width needs a value"},
      {{"--out="}, "--out needs a file name"},
      {{"--width", "wide"}, "\"wide\""},
      {{"--width", "12px"}, "\"12px\""},
      {{"--height", "1.5"}, "\"1.5\""},
      {{"--height", "-100"}, "\"-100\""},
      {{"--width", "15"}, "from 16 to 8192"},
      {{"--height", "8193"}, "from 16 to 8192"},
      {{"--width", "99999999999999999999"}, "\"99999999999999999999\""},
      {{"--width="}, "\"\""},
      {{"--width", "300", "--bogus"}, "unknown option"},
  };
  for (const auto& c : cases) {
    const auto parsed = parseRenderArguments(c.args);
    ASSERT_EQ(parsed.outcome, Outcome::error) << c.mentions;
    EXPECT_NE(parsed.error.find(c.mentions), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
  }
}

TEST(RenderArguments, ReadsMainsParametersAfterTheProgramName) {
  const char* argv[] = {"vistarail-sim", "--width", "320", "--out", "x.png", nullptr};
  const auto parsed = parseRenderArguments(5, argv);
  ASSERT_EQ(parsed.outcome, Outcome::run);
  EXPECT_EQ(parsed.arguments.widthPixels, 320);
  EXPECT_EQ(parsed.arguments.outPath, "x.png");
}

}  // namespace
}  // namespace vistarail::sim

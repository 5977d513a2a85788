// The defaults domain kept in one JSON file, and the codec that tags what JSON
// cannot hold. The typed getters are the Defaults base class's and are tested
// with it; here every check goes through object() and the bytes on disk.

#include "platform/sim/defaults/file_defaults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/sim/defaults/file_defaults_codec.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/temp_folder.h"

namespace vistarail::sim {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScopedEnv;
using test::TempFolder;
using test::writeFile;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<uint8_t> bytesOf(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(FileDefaultsCodec, Base64MatchesTheStandardVectorsBothWays) {
  const std::vector<std::pair<std::string, std::string>> vectors = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00", 3), "//4A"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64Encode(bytesOf(plain)), encoded);
    EXPECT_EQ(base64Decode(encoded), bytesOf(plain)) << encoded;
  }
}

TEST(FileDefaultsCodec, Base64RejectsAnythingNotStrictlyCanonical) {
  const std::vector<std::pair<std::string, const char*>> bad = {
      {"Zg=", "not a multiple of four"},     {"Zg", "padding missing"},
      {"Z===", "too much padding"},          {"====", "padding only"},
      {"Zg==Zm8=", "padding in the middle"}, {"Zh==", "leftover bits not zero"},
      {"Zm9=", "leftover bits not zero"},    {"Zm9v\n", "whitespace"},
      {"Zm-v", "URL-safe alphabet"},         {"Zm\x80v", "not ASCII"}};
  for (const auto& [text, why] : bad) EXPECT_FALSE(base64Decode(text)) << why;
}

class FileDefaultsTest : public ::testing::Test {
 protected:
  FileDefaults::Reporter collect() {
    return [this](const std::string& line) { reports.push_back(line); };
  }
  PropertyList onDisk(const fs::path& path) { return PropertyList::parse(readFile(path)); }
  // Asserts one report, naming the path and containing the words.
  void expectOneReport(const fs::path& path, const std::string& words) {
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(path.string()), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find(words), std::string::npos) << reports[0];
    EXPECT_EQ(reports[0].find('\n'), std::string::npos) << "one line";
  }

  TempFolder folder;
  fs::path file = folder / "defaults.json";
  std::vector<std::string> reports;
};

TEST_F(FileDefaultsTest, EveryKindOfValueSurvivesARestart) {
  std::vector<uint8_t> everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<uint8_t>(255 - i));
  const PropertyList values = {
      {"enabled", false},
      {"swipeFingers", 3},
      {"innerGap", 12.5},
      {"floatingBundleIDs", {"com.apple.calculator", "ünïcødé ✓"}},
      {"widthPresets", {0.25, 1.0 / 3.0, 0.5}},
      {"bindings.v1", PropertyList::binary(everyByte)},
      {"emptyData", PropertyList::binary({})},
      {"dictionary",
       {{"nested", {{"deep", PropertyList::binary({9, 8, 7})}}}, {"$data", "2 keys"}}},
      {"lookalike", {{"$data", "AAEC"}}},  // a dictionary that looks like data
      {"escapedTwice", {{"$dict", {{"$real", "nan"}}}}},
      {"list", {PropertyList::binary({255}), 1.5, "x", true, nullptr}},
      {"infinite", kInf},
      {"-infinite", -kInf},
  };
  {
    FileDefaults defaults(file, collect());
    for (const auto& [key, value] : values.items()) defaults.set(key, value);
    defaults.set("notANumber", kNaN);
  }
  reports.clear();  // the first run found no file
  FileDefaults reloaded(file, collect());
  for (const auto& [key, value] : values.items()) EXPECT_EQ(reloaded.object(key), value) << key;
  EXPECT_TRUE(reloaded.object("swipeFingers")->is_number_integer());
  EXPECT_TRUE(reloaded.object("notANumber")->is_number_float());
  EXPECT_TRUE(std::isnan(reloaded.object("notANumber")->get<double>()));
  EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(FileDefaultsTest, FileIsOneJsonObjectWithTaggedValuesAndNoRegisteredOnes) {
  FileDefaults defaults(file, collect());
  defaults.registerDefaults({{"animations", true}, {"dimAmount", 0.35}});
  EXPECT_FALSE(fs::exists(file)) << "registering writes nothing";
  defaults.setData("bindings.v1", {'{', '}'});
  defaults.set("dimAmount", 0.5);
  defaults.set("inf", kInf);
  defaults.set("escaped", {{"$data", "AAEC"}});
  defaults.set("plain", {{"a", 1}, {"$data", "two keys need no escape"}});
  defaults.flush();
  EXPECT_EQ(onDisk(file),
            (PropertyList{{"bindings.v1", {{"$data", "e30="}}},
                          {"dimAmount", 0.5},
                          {"inf", {{"$real", "inf"}}},
                          {"escaped", {{"$dict", {{"$data", "AAEC"}}}}},
                          {"plain", {{"a", 1}, {"$data", "two keys need no escape"}}}}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
      << "no temporary file left";
}

TEST_F(FileDefaultsTest, RemoveRewritesTheFileAndRemovingNothingLeavesItAlone) {
  FileDefaults defaults(file, collect());
  defaults.set("a", 1);
  defaults.set("b", 2);
  defaults.remove("a");
  defaults.flush();
  EXPECT_EQ(onDisk(file), (PropertyList{{"b", 2}}));
  writeFile(file, "{\"b\": 2, \"edited by hand\": true}");
  defaults.remove("never stored");
  defaults.flush();
  EXPECT_EQ(readFile(file), "{\"b\": 2, \"edited by hand\": true}");
}

TEST_F(FileDefaultsTest, MissingFileIsReportedOnceAndCreatedOnlyByAWrite) {
  const fs::path nested = folder / "config/vistarail/defaults.json";
  FileDefaults defaults(nested, collect());
  expectOneReport(nested, "does not exist");
  EXPECT_EQ(defaults.object("anything"), std::nullopt);
  defaults.remove("anything");
  EXPECT_FALSE(fs::exists(nested));
  defaults.flush();
  EXPECT_FALSE(fs::exists(nested));
  defaults.set("enabled", true);
  defaults.flush();
  EXPECT_EQ(onDisk(nested), (PropertyList{{"enabled", true}}));
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_FALSE(fs::exists(nested.string() + ".bad")) << "nothing to keep";
}

TEST_F(FileDefaultsTest, UnusableFilesReadAsEmptyAreReportedOnceAndKeptUntilAWrite) {
  struct BadFile {
    const char* name;
    std::string bytes;
    const char* problem;  // words the report must contain
  };
  const std::vector<BadFile> cases = {
      {"empty", "", "is empty"},
      {"blank", " \n\t ", "is empty"},
      {"truncated", "{\"enabled\": tr", "not valid JSON"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\xff", 11), "not valid JSON"},
      {"invalid UTF-8", "{\"title\": \"\xc3\x28\"}", "not valid JSON"},
      {"array", "[1, 2, 3]", "array, not an object"},
      {"null", "null", "null, not an object"},
      {"string", "\"enabled\"", "string, not an object"},
      {"number out of range", "{\"innerGap\": 1e999}", "number is out of range"},
      {"deeply nested", "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}",
       "nested too deeply"},
  };
  const fs::path bad = file.string() + ".bad";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reports.clear();
    fs::remove(bad);
    writeFile(file, c.bytes);
    {
      FileDefaults defaults(file, collect());
      expectOneReport(file, c.problem);
      EXPECT_FALSE(defaults.object("enabled"));
      defaults.registerDefaults({{"enabled", true}});
      EXPECT_EQ(defaults.object("enabled"), PropertyList(true));
      defaults.remove("enabled");
      defaults.flush();
      EXPECT_EQ(readFile(file), c.bytes)
          << "left untouched by reads, registration and no-op removes";

      defaults.set("innerGap", 4);
      defaults.flush();
      EXPECT_EQ(onDisk(file), (PropertyList{{"innerGap", 4}}));
      EXPECT_EQ(readFile(bad), c.bytes) << "the unreadable file is kept aside";
      defaults.set("outerGap", 6);
      defaults.flush();
      EXPECT_EQ(readFile(bad), c.bytes) << "set aside once, not on every write";
    }
    EXPECT_EQ(reports.size(), 1u);
  }
}

TEST_F(FileDefaultsTest, ValuesOfUnexpectedShapeAndMalformedTagsAreKeptAsTheyAre) {
  const PropertyList handWritten = {
      {"enabled", "YES"},
      {"floatingBundleIDs", {"com.apple.calculator", 7}},
      {"notData", {{"$data", 5}}},
      {"badBase64", {{"$data", "not base64!"}}},
      {"badReal", {{"$real", "large"}}},
      {"numericReal", {{"$real", 1}}},
      {"badDict", {{"$dict", 5}}},
      {"unknownTag", {{"$unknown", "x"}}},
      {"nothing", nullptr},
  };
  writeFile(file, handWritten.dump());
  FileDefaults defaults(file, collect());
  EXPECT_TRUE(reports.empty());
  PropertyList expected = handWritten;
  expected.erase("nothing");
  for (const auto& [key, value] : expected.items()) EXPECT_EQ(defaults.object(key), value) << key;
  EXPECT_FALSE(defaults.object("nothing")) << "a null holds nothing";

  defaults.set("outerGap", 3);
  defaults.flush();
  expected["outerGap"] = 3;
  EXPECT_EQ(onDisk(file), expected) << "odd values survive the next write";
}

TEST_F(FileDefaultsTest, FailedWritesKeepTheValueAndAreReportedOnceUntilOneSucceeds) {
  const fs::path blocker = folder / "not-a-folder";
  writeFile(blocker, "x");
  FileDefaults defaults(blocker / "defaults.json", collect());
  reports.clear();  // the missing-file report
  defaults.set("enabled", false);
  defaults.flush();
  defaults.set("innerGap", 2);
  defaults.flush();
  expectOneReport(blocker, "not saved");
  EXPECT_EQ(defaults.object("innerGap"), PropertyList(2)) << "still readable for this run";

  fs::remove(blocker);  // the way becomes clear: the next write saves everything
  defaults.set("outerGap", 1);
  defaults.flush();
  EXPECT_EQ(onDisk(blocker / "defaults.json"),
            (PropertyList{{"enabled", false}, {"innerGap", 2}, {"outerGap", 1}}));
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(FileDefaultsTest, ABurstOfChangesIsWrittenOnceAfterTheDelayAndFlushedAtTheEnd) {
  writeFile(file, "{\"enabled\": tr");  // unreadable: kept aside at the first write
  VirtualDispatch dispatch;
  std::optional<FileDefaults> defaults;
  defaults.emplace(file, collect(), dispatch.makeSerialQueue("defaults"));
  // A slider dragged for one second: 100 changes, 10 ms apart.
  for (int i = 1; i <= 100; ++i) {
    defaults->set("dimAmount", i / 100.0);
    dispatch.runFor(0.01);
  }
  dispatch.runUntilIdle();
  const auto written = defaults->filesWritten();
  EXPECT_EQ(written, 2u) << "one write per delay, not one per change";
  EXPECT_EQ(onDisk(file), (PropertyList{{"dimAmount", 1.0}}));
  EXPECT_EQ(readFile(file.string() + ".bad"), "{\"enabled\": tr");
  // Held in memory until the delay passes or a flush; what was flushed is
  // what a crash right after would leave.
  defaults->set("innerGap", 4);
  EXPECT_EQ(onDisk(file), (PropertyList{{"dimAmount", 1.0}}));
  defaults->flush();
  EXPECT_EQ(FileDefaults(file).object("innerGap"), PropertyList(4));
  defaults->set("outerGap", 6);
  defaults.reset();  // the destructor flushes; its delayed write finds nothing to do
  dispatch.runUntilIdle();
  EXPECT_EQ(onDisk(file), (PropertyList{{"dimAmount", 1.0}, {"innerGap", 4}, {"outerGap", 6}}));
  EXPECT_EQ(readFile(file.string() + ".bad"), "{\"enabled\": tr") << "set aside once";
}

TEST_F(FileDefaultsTest, ALinkedSettingsFileStaysALink) {
  const fs::path real = folder / "dotfiles" / "vistarail.json";
  writeFile(real, "{\"enabled\": true}");
  fs::create_symlink(real, file);
  FileDefaults defaults(file, collect());
  EXPECT_EQ(defaults.object("enabled"), PropertyList(true));
  defaults.set("enabled", false);
  defaults.flush();
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(onDisk(real), (PropertyList{{"enabled", false}}));
}

TEST_F(FileDefaultsTest, ArbitraryBytesNeverCrashAndGiveAtMostOneReport) {
  std::mt19937 random(20240611);
  const std::string fragments[] = {"{",  "}",         "[",         "]",         "\"",      ":",
                                   ",",  "\"$data\"", "\"$dict\"", "\"$real\"", "\"inf\"", "1e999",
                                   "-0", "null",      "true",      "\\u00",     "\"k\"",   "\xff",
                                   " ",  "AAEC\"",    "=="};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 4 == 0) {
        bytes += static_cast<char>(random() % 256);
      } else {
        bytes += fragments[random() % std::size(fragments)];
      }
    }
    if (round % 3 == 0) bytes = "{\"k\":" + bytes + "}";
    // A new file each round: rewriting one file in place is slow on some disks.
    const fs::path input = folder / ("random-" + std::to_string(round) + ".json");
    writeFile(input, bytes);
    reports.clear();
    FileDefaults defaults(input, collect());
    EXPECT_LE(reports.size(), 1u) << bytes;
    (void)defaults.boolean("k");
    (void)defaults.data("k");
    (void)defaults.stringArray("k");
  }
}

TEST_F(FileDefaultsTest, ConfigHomeWinsOverHomeWhenItIsAnAbsolutePath) {
  const fs::path home = folder / "home";
  ScopedEnv setHome("HOME", home.string());
  const std::vector<std::optional<std::string>> ignored = {"relative/config", "", std::nullopt};
  for (const auto& value : ignored) {
    ScopedEnv setXdg("XDG_CONFIG_HOME", value);
    EXPECT_EQ(FileDefaults::standardPath(), home / ".config" / "vistarail" / "defaults.json")
        << value.value_or("unset");
  }
  ScopedEnv setXdg("XDG_CONFIG_HOME", (folder / "xdg").string());
  const fs::path expected = folder / "xdg" / "vistarail" / "defaults.json";
  EXPECT_EQ(FileDefaults::standardPath(), expected);
  // The standard domain reads and writes the resolved file.
  writeFile(expected, "{\"centerMode\": \"always\"}");
  FileDefaults defaults(collect());
  EXPECT_EQ(defaults.path(), expected);
  EXPECT_EQ(defaults.object("centerMode"), PropertyList("always"));
  defaults.set("centerMode", "never");
  defaults.flush();
  EXPECT_EQ(onDisk(expected), (PropertyList{{"centerMode", "never"}}));
  EXPECT_FALSE(fs::exists(home)) << "HOME is not touched when the config home is set";
}

}  // namespace
}  // namespace vistarail::sim

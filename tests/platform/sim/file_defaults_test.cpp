#include "platform/sim/file_defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace vistarail::sim {
namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::writeFile;

class FileDefaultsTest : public ::testing::Test {
 protected:
  FileDefaults::Reporter collect() {
    return [this](const std::string& line) { reports.push_back(line); };
  }
  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;
  fs::path file = folder / "defaults.json";
  std::vector<std::string> reports;
};

std::vector<uint8_t> everyByte() {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(255 - i));
  return bytes;
}

TEST_F(FileDefaultsTest, EveryKindOfValueSurvivesARestart) {
  const PropertyList dictionary = {{"nested", {{"deep", PropertyList::binary({9, 8, 7})}}},
                                   {"$data", "not a tag: the dictionary has two keys"}};
  const PropertyList lookalike = {{"$data", "AAEC"}};  // a dictionary that looks like data
  {
    FileDefaults defaults(file, collect());
    defaults.set("enabled", false);
    defaults.set("swipeFingers", 3);
    defaults.set("innerGap", 12.5);
    defaults.set("centerMode", "onOverflow");
    defaults.set("floatingBundleIDs", {"com.apple.calculator", "ünïcødé ✓"});
    defaults.set("widthPresets", {0.25, 1.0 / 3.0, 0.5});
    defaults.setData("bindings.v1", everyByte());
    defaults.setData("emptyData", {});
    defaults.set("dictionary", dictionary);
    defaults.set("lookalike", lookalike);
    defaults.set("infinite", std::numeric_limits<double>::infinity());
    defaults.set("notANumber", std::numeric_limits<double>::quiet_NaN());
  }
  reports.clear();  // the first run found no file
  FileDefaults reloaded(file, collect());
  EXPECT_FALSE(reloaded.boolean("enabled"));
  EXPECT_TRUE(reloaded.object("enabled")->is_boolean());
  EXPECT_EQ(reloaded.object("swipeFingers"), PropertyList(3));
  EXPECT_TRUE(reloaded.object("swipeFingers")->is_number_integer());
  EXPECT_EQ(reloaded.number("innerGap"), 12.5);
  EXPECT_EQ(reloaded.string("centerMode"), "onOverflow");
  EXPECT_EQ(reloaded.stringArray("floatingBundleIDs"),
            (std::vector<std::string>{"com.apple.calculator", "ünïcødé ✓"}));
  EXPECT_EQ(reloaded.object("widthPresets"), PropertyList({0.25, 1.0 / 3.0, 0.5}));
  EXPECT_EQ(reloaded.data("bindings.v1"), everyByte());
  EXPECT_EQ(reloaded.data("emptyData"), std::vector<uint8_t>{});
  EXPECT_EQ(reloaded.object("dictionary"), dictionary);
  EXPECT_EQ(reloaded.object("lookalike"), lookalike);
  EXPECT_FALSE(reloaded.data("lookalike"));
  EXPECT_EQ(reloaded.number("infinite"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(reloaded.object("notANumber")->get<double>()));
  EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(FileDefaultsTest, FileIsOneJsonObjectWithTaggedDataAndNoRegisteredValues) {
  FileDefaults defaults(file, collect());
  defaults.registerDefaults({{"animations", true}, {"dimAmount", 0.35}});
  EXPECT_FALSE(fs::exists(file)) << "registering writes nothing";
  defaults.setData("bindings.v1", {'{', '}'});
  defaults.set("dimAmount", 0.5);
  const PropertyList onDisk = PropertyList::parse(readFile(file));
  EXPECT_EQ(onDisk, (PropertyList{{"bindings.v1", {{"$data", "e30="}}}, {"dimAmount", 0.5}}));
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"defaults.json"}) << "no temporary file left";
}

TEST_F(FileDefaultsTest, RemoveRewritesTheFileAndRemovingNothingLeavesItAlone) {
  FileDefaults defaults(file, collect());
  defaults.set("a", 1);
  defaults.set("b", 2);
  defaults.remove("a");
  EXPECT_EQ(PropertyList::parse(readFile(file)), (PropertyList{{"b", 2}}));
  writeFile(file, "{\"b\": 2, \"edited by hand\": true}");
  defaults.remove("never stored");
  EXPECT_EQ(readFile(file), "{\"b\": 2, \"edited by hand\": true}");
}

TEST_F(FileDefaultsTest, MissingFileIsReportedOnceAndCreatedOnlyByAWrite) {
  const fs::path nested = folder / "config/vistarail/defaults.json";
  FileDefaults defaults(nested, collect());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(nested.string()), std::string::npos) << reports[0];
  EXPECT_NE(reports[0].find("does not exist"), std::string::npos) << reports[0];
  EXPECT_EQ(defaults.object("anything"), std::nullopt);
  defaults.remove("anything");
  EXPECT_FALSE(fs::exists(nested));
  defaults.set("enabled", true);
  EXPECT_EQ(PropertyList::parse(readFile(nested)), (PropertyList{{"enabled", true}}));
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_FALSE(fs::exists(folder / "config/vistarail/defaults.json.bad")) << "nothing to keep";
}

struct BadFile {
  const char* name;
  std::string bytes;
  const char* problem;  // words the report must contain
};

TEST_F(FileDefaultsTest, UnusableFilesReadAsEmptyAreReportedOnceAndKeptUntilAWrite) {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reports.clear();
    fs::remove(file.string() + ".bad");
    writeFile(file, c.bytes);
    {
      FileDefaults defaults(file, collect());
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_NE(reports[0].find(file.string()), std::string::npos) << reports[0];
      EXPECT_NE(reports[0].find(c.problem), std::string::npos) << reports[0];
      EXPECT_EQ(reports[0].find('\n'), std::string::npos) << "one line";
      EXPECT_FALSE(defaults.object("enabled"));
      defaults.registerDefaults({{"enabled", true}});
      EXPECT_TRUE(defaults.boolean("enabled"));
      defaults.remove("enabled");
      EXPECT_EQ(readFile(file), c.bytes)
          << "left untouched by reads, registration and no-op removes";

      defaults.set("innerGap", 4);
      EXPECT_EQ(PropertyList::parse(readFile(file)), (PropertyList{{"innerGap", 4}}));
      EXPECT_EQ(readFile(file.string() + ".bad"), c.bytes) << "the unreadable file is kept aside";
      defaults.set("outerGap", 6);
      EXPECT_EQ(readFile(file.string() + ".bad"), c.bytes) << "set aside once, not on every write";
    }
    EXPECT_EQ(reports.size(), 1u);
  }
}

TEST_F(FileDefaultsTest, ValuesOfUnexpectedShapeAreKeptAsTheyAre) {
  const PropertyList handWritten = {
      {"enabled", "YES"},
      {"innerGap", "12"},
      {"floatingBundleIDs", {"com.apple.calculator", 7}},
      {"notData", {{"$data", 5}}},
      {"badBase64", {{"$data", "!!!!"}}},
      {"unknownReal", {{"$real", "huge"}}},
      {"nothing", nullptr},
  };
  writeFile(file, handWritten.dump());
  FileDefaults defaults(file, collect());
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(defaults.boolean("enabled"));
  EXPECT_EQ(defaults.number("innerGap"), 12);
  EXPECT_FALSE(defaults.stringArray("floatingBundleIDs"));
  EXPECT_EQ(defaults.object("notData"), (PropertyList{{"$data", 5}}));
  EXPECT_FALSE(defaults.data("badBase64"));
  EXPECT_FALSE(defaults.object("nothing")) << "a null holds nothing";

  defaults.set("outerGap", 3);
  PropertyList expected = handWritten;
  expected.erase("nothing");
  expected["outerGap"] = 3;
  EXPECT_EQ(PropertyList::parse(readFile(file)), expected) << "odd values survive the next write";
}

TEST_F(FileDefaultsTest, FailedWritesKeepTheValueAndAreReportedOnceUntilOneSucceeds) {
  const fs::path blocker = folder / "not-a-folder";
  writeFile(blocker, "x");
  FileDefaults defaults(blocker / "defaults.json", collect());
  reports.clear();  // the missing-file report
  defaults.set("enabled", false);
  defaults.set("innerGap", 2);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("not saved"), std::string::npos) << reports[0];
  EXPECT_NE(reports[0].find(blocker.string()), std::string::npos) << reports[0];
  EXPECT_EQ(defaults.number("innerGap"), 2) << "still readable for this run";

  fs::remove(blocker);  // the way becomes clear: the next write saves everything
  defaults.set("outerGap", 1);
  EXPECT_EQ(PropertyList::parse(readFile(blocker / "defaults.json")),
            (PropertyList{{"enabled", false}, {"innerGap", 2}, {"outerGap", 1}}));
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(FileDefaultsTest, ALinkedSettingsFileStaysALink) {
  const fs::path real = folder / "dotfiles" / "vistarail.json";
  writeFile(real, "{\"enabled\": true}");
  fs::create_symlink(real, file);
  FileDefaults defaults(file, collect());
  EXPECT_TRUE(defaults.boolean("enabled"));
  defaults.set("enabled", false);
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(PropertyList::parse(readFile(real)), (PropertyList{{"enabled", false}}));
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

class FileDefaultsLocationTest : public FileDefaultsTest {};

TEST_F(FileDefaultsLocationTest, ConfigHomeWinsOverHomeWhenItIsAnAbsolutePath) {
  const fs::path home = folder / "home";
  const fs::path xdg = folder / "xdg";
  ScopedEnv setHome("HOME", home.string());
  {
    ScopedEnv setXdg("XDG_CONFIG_HOME", xdg.string());
    EXPECT_EQ(FileDefaults::standardPath(), xdg / "vistarail" / "defaults.json");
  }
  {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(FileDefaults::standardPath(), home / ".config" / "vistarail" / "defaults.json");
  }
  {
    ScopedEnv empty("XDG_CONFIG_HOME", "");
    EXPECT_EQ(FileDefaults::standardPath(), home / ".config" / "vistarail" / "defaults.json");
  }
  ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(FileDefaults::standardPath(), home / ".config" / "vistarail" / "defaults.json");
}

TEST_F(FileDefaultsLocationTest, StandardDomainReadsAndWritesTheResolvedFile) {
  ScopedEnv setHome("HOME", (folder / "home").string());
  ScopedEnv setXdg("XDG_CONFIG_HOME", (folder / "xdg").string());
  const fs::path expected = folder / "xdg" / "vistarail" / "defaults.json";
  writeFile(expected, "{\"centerMode\": \"always\"}");
  FileDefaults defaults(collect());
  EXPECT_EQ(defaults.path(), expected);
  EXPECT_EQ(defaults.string("centerMode"), "always");
  defaults.set("centerMode", "never");
  EXPECT_EQ(PropertyList::parse(readFile(expected)), (PropertyList{{"centerMode", "never"}}));
  EXPECT_FALSE(fs::exists(folder / "home")) << "HOME is not touched when the config home is set";
}

}  // namespace
}  // namespace vistarail::sim

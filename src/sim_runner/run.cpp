#include "sim_runner/run.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/sim/renderer/form_renderer.h"
#include "platform/sim/renderer/menu_picture.h"
#include "platform/sim/renderer/renderer.h"
#include "sim_runner/shell_program.h"

namespace vistarail::simrun {

namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

std::string base64(const std::string& bytes) {
  static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 2]);
    out += table[(n >> 18) & 63];
    out += table[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? table[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? table[n & 63] : '=';
  }
  return out;
}

std::string html(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += ch;
    }
  }
  return out;
}

std::string fileSafe(const std::string& name) {
  std::string out;
  for (char ch : name) out += std::isalnum(static_cast<unsigned char>(ch)) || ch == '-' ? ch : '_';
  return out;
}

std::optional<std::string> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool writeAll(const fs::path& path, const std::string& text, std::string& error) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    error = "could not write \"" + path.string() + "\"";
    return false;
  }
  return true;
}

struct Picture {
  std::string snapshot;
  double time = 0;
  int step = 0;
  std::string file;  // relative to the output folder; empty when not drawn
  std::string description;
  std::string menuFile{};  // the status menu as it would open; empty when none
  // The settings window's tabs shown since the previous snapshot: the
  // picture's file and the tab's name.
  std::vector<std::pair<std::string, std::string>> settingsFiles{};
};

// Picture height from the displays' bounding box, so that nothing is squeezed.
int pictureHeight(const sim::Scene& scene, int width) {
  if (scene.displays.empty()) return width / 2;
  double minX = scene.displays.front().frame.minX(), maxX = scene.displays.front().frame.maxX();
  double minY = scene.displays.front().frame.minY(), maxY = scene.displays.front().frame.maxY();
  for (const auto& d : scene.displays) {
    minX = std::min(minX, d.frame.minX());
    maxX = std::max(maxX, d.frame.maxX());
    minY = std::min(minY, d.frame.minY());
    maxY = std::max(maxY, d.frame.maxY());
  }
  const double h = width * (maxY - minY) / std::max(1.0, maxX - minX);
  return std::clamp(static_cast<int>(std::lround(h)), 160, 1600);
}

std::string stripText(const Json& state) {
  std::string text;
  for (const Json& d : state["displays"]) {
    for (const Json& s : d["spaces"]) {
      if (!s["current"].get<bool>()) continue;
      text += d["name"].get<std::string>() + (d["active"].get<bool>() ? ": " : " (inactive): ");
      int index = 0;
      for (const Json& c : s["columns"]) {
        const bool focused = s["focusedColumn"].is_number() && s["focusedColumn"] == index++;
        text += focused ? "*[" : "[";
        for (size_t i = 0; i < c["windows"].size(); ++i) {
          text += (i ? " " : "") + c["windows"][i].get<std::string>();
        }
        text += "] ";
      }
      text += "\n";
    }
  }
  return text.empty() ? "(the program is not running)\n" : text;
}

std::string reportPage(const Scenario& scenario, const std::vector<Picture>& pictures,
                       const std::vector<TimelineEntry>& timeline,
                       const std::map<std::string, Json>& states, const RunResult& result,
                       const fs::path& outDir) {
  std::ostringstream page;
  page << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << html(scenario.name())
       << "</title>\n<style>\n"
       << "body{font:14px -apple-system,Helvetica,Arial,sans-serif;margin:24px;color:#222}\n"
       << ".snap{display:flex;gap:20px;border-top:1px solid #ccc;padding:16px 0}\n"
       << ".pic{flex:0 0 60%}.pic img{width:100%;border:1px solid #999}\n"
       << ".log{flex:1;font:12px ui-monospace,Menlo,monospace;max-height:640px;overflow:auto}\n"
       << ".log div{white-space:pre-wrap}.user,.command,.app,.setting,.program{font-weight:bold}\n"
       << ".frame{color:#777}.notification{color:#357}.problem,.exception,.skipped{color:#b00}\n"
       << "pre{background:#f4f4f4;padding:6px}.bad{color:#b00;font-weight:bold}.good{color:#070}\n"
       << "</style></head><body>\n<h1>" << html(scenario.name()) << "</h1>\n";
  if (scenario.header.contains("description")) {
    page << "<p>" << html(scenario.header["description"]) << "</p>\n";
  }
  page << (result.completed ? "<p class=\"good\">The run completed; every expectation held.</p>\n"
                            : "<p class=\"bad\">" + html(result.reason) + "</p>\n");
  for (const std::string& unmet : result.unmetExpectations) {
    page << "<p class=\"bad\">" << html(unmet) << "</p>\n";
  }
  size_t next = 0;
  for (const Picture& picture : pictures) {
    page << "<div class=\"snap\"><div class=\"pic\"><h2>" << html(picture.snapshot) << " at "
         << picture.time << " s</h2>\n";
    if (!picture.file.empty()) {
      if (auto bytes = readAll(outDir / picture.file)) {
        page << "<img alt=\"" << html(picture.snapshot) << "\" src=\"data:image/png;base64,"
             << base64(*bytes) << "\">\n";
      }
    }
    if (!picture.menuFile.empty()) {
      if (auto bytes = readAll(outDir / picture.menuFile)) {
        page << "<img alt=\"the status menu\" style=\"width:45%\" src=\"data:image/png;base64,"
             << base64(*bytes) << "\">\n";
      }
    }
    for (const auto& [file, tab] : picture.settingsFiles) {
      if (auto bytes = readAll(outDir / file)) {
        page << "<img alt=\"the settings window on " << html(tab)
             << "\" style=\"width:45%\" src=\"data:image/png;base64," << base64(*bytes) << "\">\n";
      }
    }
    page << "<pre>" << html(stripText(states.at(picture.snapshot))) << "</pre></div>\n"
         << "<div class=\"log\">\n";
    int lastStep = -1;
    for (; next < timeline.size() && timeline[next].step <= picture.step; ++next) {
      const TimelineEntry& e = timeline[next];
      if (e.step != lastStep) {
        lastStep = e.step;
        std::string heading = e.step == 0 ? "start" : "step " + std::to_string(e.step);
        if (e.step > 0 && static_cast<size_t>(e.step) <= scenario.steps.size()) {
          heading += ": " + scenario.steps[e.step - 1].source.dump();
        }
        page << "<h3>" << html(heading) << "</h3>\n";
      }
      char time[32];
      std::snprintf(time, sizeof time, "%9.3f", e.time);
      page << "<div class=\"" << html(e.kind) << "\">" << time << " " << html(e.kind) << " "
           << html(e.text) << "</div>\n";
    }
    page << "</div></div>\n";
  }
  page << "</body></html>\n";
  return page.str();
}

}  // namespace

Json timelineJson(const TimelineEntry& entry) {
  return {{"time", std::round(entry.time * 1e6) / 1e6},
          {"step", entry.step},
          {"kind", entry.kind},
          {"text", entry.text}};
}

RunResult runScenario(const Scenario& scenario, const RunOptions& options) {
  RunResult result;
  const Json check = scenario.header.value("check", Json::object());
  SessionOptions sessionOptions;
  sessionOptions.plantedFault = check.value("plant", std::string());
  sessionOptions.wholeTrace = options.wholeTrace;
  const bool checking = check.value("invariants", !sessionOptions.plantedFault.empty());
  Session session(scenario, sessionOptions);

  const bool writing = !options.outDir.empty();
  std::string error;
  if (writing) {
    std::error_code ec;
    fs::create_directories(options.outDir, ec);
    if (ec) {
      result.reason =
          "could not create the folder \"" + options.outDir.string() + "\" (" + ec.message() + ")";
      return result;
    }
  }
  const sim::Renderer renderer;
  std::vector<Picture> pictures;
  auto takeSnapshot = [&](const std::string& name, int step) {
    result.states[name] = session.state();
    Picture picture{name, session.now(), step, "", ""};
    if (writing) {
      const std::string stem =
          name == "end" ? "end"
                        : "snapshot-" + std::to_string(pictures.size() + 1) + "-" + fileSafe(name);
      writeAll(options.outDir / ("state-" + stem + ".json"), result.states[name].dump(2) + "\n",
               error);
      if (name == "end")
        writeAll(options.outDir / "state.json", result.states[name].dump(2) + "\n", error);
      if (options.pictures) {
        const sim::Scene scene = session.scene();
        if (auto failed =
                renderer.writePng(scene, options.outDir / (stem + ".png"), options.pictureWidth,
                                  pictureHeight(scene, options.pictureWidth))) {
          error = *failed;
        } else {
          picture.file = stem + ".png";
        }
        const Json& shell = result.states[name]["shell"];
        if (shell.is_object()) {
          const sim::MenuPicture menu{session.statusMenu(), shell["icon"], shell["dimmed"]};
          if (auto failed = sim::writeMenuPng(menu, options.outDir / (stem + "-menu.png"))) {
            error = *failed;
          } else {
            picture.menuFile = stem + "-menu.png";
          }
        }
        for (const FormWindow& form : session.takeVisitedSettings()) {
          const std::string tab =
              form.selectedTab >= 0 && form.selectedTab < static_cast<int>(form.tabs.size())
                  ? form.tabs[static_cast<size_t>(form.selectedTab)].label
                  : std::to_string(form.selectedTab);
          const std::string file = stem + "-settings-" + fileSafe(tab) + ".png";
          // Half the Retina scale keeps the page light; every text stays legible.
          if (auto failed = sim::writeFormPng(form, options.outDir / file, 1.0)) {
            error = *failed;
          } else {
            picture.settingsFiles.emplace_back(file, tab);
          }
        }
      }
    }
    pictures.push_back(picture);
  };

  session.begin();
  const size_t count = scenario.steps.size();
  size_t lastReported = 0;
  for (size_t i = 0; i < count; ++i) {
    session.runStep(i);
    if (scenario.steps[i].kind == "snapshot") {
      takeSnapshot(scenario.steps[i].source["name"], static_cast<int>(i) + 1);
    }
    if (checking) {
      if (auto violation = session.check()) {
        result.violation = violation;
        result.violationStep = static_cast<int>(i) + 1;
        result.reason = "step " + std::to_string(i + 1) + " (" + scenario.steps[i].kind +
                        "): invariant " + violation->invariant + " broken: " + violation->detail;
        break;
      }
    }
    if (options.progress && count >= 200 && (i + 1) * 10 / count != lastReported) {
      lastReported = (i + 1) * 10 / count;
      *options.progress << "vistarail-sim: step " << i + 1 << " of " << count << " ("
                        << session.now() << " s simulated)\n";
    }
  }
  if (!result.violation) session.finish();
  takeSnapshot("end", static_cast<int>(count) + 1);
  result.timeline = session.timeline();

  if (!result.violation) {
    result.unmetExpectations =
        unmetExpectations(scenario.header.value("expect", Json::array()), result.states);
    for (const auto& e : result.timeline) {
      if (e.kind == "exception") {
        result.reason = "step " + std::to_string(e.step) + " threw: " + e.text;
        break;
      }
      if (e.kind == "unmet") {
        result.reason = "step " + std::to_string(e.step) + ": " + e.text;
        break;
      }
    }
    if (result.reason.empty() && !result.unmetExpectations.empty()) {
      result.reason = std::to_string(result.unmetExpectations.size()) +
                      " expectation(s) not met; the first: " + result.unmetExpectations.front();
    }
  }
  if (writing) {
    std::string lines;
    for (const auto& e : result.timeline) lines += timelineJson(e).dump() + "\n";
    writeAll(options.outDir / "timeline.jsonl", lines, error);
    writeAll(options.outDir / "defaults.json", session.storedDefaults().dump(2) + "\n", error);
    if (result.reason.empty() && !error.empty()) result.reason = error;
    result.completed = result.reason.empty();
    writeAll(options.outDir / "report.html",
             reportPage(scenario, pictures, result.timeline, result.states, result, options.outDir),
             error);
    if (result.completed && !error.empty()) {
      result.completed = false;
      result.reason = error;
    }
  } else {
    result.completed = result.reason.empty();
  }
  return result;
}

}  // namespace vistarail::simrun

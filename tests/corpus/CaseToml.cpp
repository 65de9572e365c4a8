// test.toml of a corpus folder, read with a real TOML parser so that every
// way of writing a key (table headers, dotted and quoted keys, inline tables,
// arrays of tables) means the same. Each key the corpus uses is either
// honoured or named as a reason the folder cannot be checked; so is every key
// this file does not know, since the picture may depend on it.
#include "tests/corpus/CorpusCase.h"

#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string_view>

namespace velmora::corpus {
namespace {

using Problems = std::vector<std::string>;

constexpr int64_t kMostTolerance = 255;             // a channel value's whole range
constexpr int64_t kMostOutliers = INT32_MAX;        // more values than any picture holds
constexpr int64_t kMostFrames = 100000;             // a run the checker still ends in minutes
constexpr int64_t kLargestView = 16384;             // pixels a side

// A value as the message shows it: strings in double quotes, as test.toml
// writes them, the rest as TOML.
std::string Shown(const toml::node& node) {
  if (const toml::value<std::string>* text = node.as_string()) return "\"" + text->get() + "\"";
  std::ostringstream out;
  node.visit([&](const auto& value) { out << value; });
  return out.str();
}

// A comparison's name as a key: quoted, since names hold dots.
std::string KeyOf(const std::string& name) { return "image_comparisons.\"" + name + "\""; }

void RejectUnknownKeys(const toml::table& table, std::initializer_list<std::string_view> known,
                       const std::string& where, Problems& problems) {
  for (auto&& [key, node] : table)
    if (std::find(known.begin(), known.end(), key.str()) == known.end())
      problems.push_back("unknown key " + where + std::string(key.str()));
}

std::optional<int64_t> IntegerIn(const toml::node& node, int64_t low, int64_t high, const std::string& what,
                                 Problems& problems) {
  const toml::value<int64_t>* integer = node.as_integer();
  if (integer && integer->get() >= low && integer->get() <= high) return integer->get();
  problems.push_back(what + " = " + Shown(node) + ": not a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high));
  return std::nullopt;
}

std::optional<bool> Boolean(const toml::node* node, const std::string& what, Problems& problems) {
  if (!node) return std::nullopt;
  if (const toml::value<bool>* flag = node->as_boolean()) return flag->get();
  problems.push_back(what + " = " + Shown(*node) + ": not true or false");
  return std::nullopt;
}

// A tick lasts one frame at the movie's own rate (the harness's default tick
// length, and no folder sets another), so both counts are frames run.
unsigned ReadFrameCount(const toml::table& root, Problems& problems) {
  const toml::node* frames = root.get("num_frames");
  const toml::node* ticks = root.get("num_ticks");
  if (frames && ticks) {
    problems.push_back("both num_frames and num_ticks");
    return 0;
  }
  if (!frames && !ticks) {
    problems.push_back("neither num_frames nor num_ticks: how long the movie ran is not known");
    return 0;
  }
  std::optional<int64_t> count = IntegerIn(frames ? *frames : *ticks, 1, kMostFrames,
                                           frames ? "num_frames" : "num_ticks", problems);
  return count ? static_cast<unsigned>(*count) : 0;
}

void ReadRenderer(const toml::node* node, CorpusCase& c, Problems& problems) {
  const toml::table* renderer = node ? node->as_table() : nullptr;
  if (!renderer) {
    problems.push_back(node ? "player_options.with_renderer is not a table"
                            : "no player_options.with_renderer: the quality of the pictures is not known");
    return;
  }
  RejectUnknownKeys(*renderer, {"optional", "quality"}, "player_options.with_renderer.", problems);
  // Only whether the harness may run the folder without any renderer.
  Boolean(renderer->get("optional"), "player_options.with_renderer.optional", problems);
  const toml::node* quality = renderer->get("quality");
  const toml::value<std::string>* name = quality ? quality->as_string() : nullptr;
  if (name && (name->get() == "low" || name->get() == "high")) {
    c.highQuality = name->get() == "high";
    return;
  }
  problems.push_back(quality ? "quality " + Shown(*quality) + ": the player draws at \"low\" and \"high\" only"
                             : "player_options.with_renderer has no quality");
}

void ReadViewport(const toml::node* node, CorpusCase& c, Problems& problems) {
  if (!node) return;
  const toml::table* view = node->as_table();
  if (!view || !view->get("width") || !view->get("height")) {
    problems.push_back("player_options.viewport_dimensions = " + Shown(*node) + ": not a width and a height");
    return;
  }
  RejectUnknownKeys(*view, {"width", "height", "scale_factor"}, "player_options.viewport_dimensions.", problems);
  std::optional<int64_t> width = IntegerIn(*view->get("width"), 1, kLargestView, "viewport width", problems);
  std::optional<int64_t> height = IntegerIn(*view->get("height"), 1, kLargestView, "viewport height", problems);
  if (width && height) {
    c.viewportWidth = static_cast<int>(*width);
    c.viewportHeight = static_cast<int>(*height);
  }
  // A scaled view draws more pixels than the view is wide: the checker draws
  // only at one pixel per view pixel.
  if (const toml::node* scale = view->get("scale_factor")) {
    std::optional<double> factor = scale->value_exact<double>();
    if (const toml::value<int64_t>* whole = scale->as_integer()) factor = static_cast<double>(whole->get());
    if (factor != 1.0) problems.push_back("viewport scale_factor = " + Shown(*scale) + ": only 1 is drawn");
  }
}

void ReadPlayerOptions(const toml::table& root, CorpusCase& c, Problems& problems) {
  const toml::node* node = root.get("player_options");
  const toml::table* options = node ? node->as_table() : nullptr;
  if (!options) {
    problems.push_back(node ? "player_options is not a table"
                            : "no player_options: the quality of the pictures is not known");
    return;
  }
  RejectUnknownKeys(*options, {"with_renderer", "viewport_dimensions", "with_video", "with_default_font"},
                    "player_options.", problems);
  ReadRenderer(options->get("with_renderer"), c, problems);
  ReadViewport(options->get("viewport_dimensions"), c, problems);
  // The harness's video decoder: the reference shows the decoded video
  // whatever the harness had, so the pictures mean the same.
  Boolean(options->get("with_video"), "player_options.with_video", problems);
  // The harness's own fallback font for device text, which the checker does
  // not give the player: the text in the reference is drawn in it.
  if (Boolean(options->get("with_default_font"), "player_options.with_default_font", problems).value_or(false))
    problems.push_back("with_default_font: device text drawn in the harness's fallback font, which the player lacks");
}

// The frame after which a picture was taken: a frame (or tick) number, or
// the last frame when the trigger is "last_frame" or absent. 0 when none.
unsigned CaptureFrame(const toml::node* trigger, unsigned framesRun, const std::string& name, Problems& problems) {
  if (!trigger) return framesRun;
  if (trigger->as_integer() && framesRun > 0) {
    std::optional<int64_t> frame = IntegerIn(*trigger, 1, framesRun, name + ": trigger", problems);
    return frame ? static_cast<unsigned>(*frame) : 0;
  }
  const toml::value<std::string>* word = trigger->as_string();
  if (word && word->get() == "last_frame") return framesRun;
  if (word && word->get() == "fs_command")
    problems.push_back(name + 
                       ": taken on a script's fscommand (trigger \"fs_command\"), which the checker does not receive");
  else if (!trigger->as_integer())
    problems.push_back(name + ": unknown trigger " + Shown(*trigger));
  return 0;
}

Check ReadCheck(const toml::table& table, const std::string& name, Problems& problems) {
  Check check;
  if (const toml::node* tolerance = table.get("tolerance"))
    if (auto value = IntegerIn(*tolerance, 0, kMostTolerance, name + ": tolerance", problems))
      check.tolerance = static_cast<int>(*value);
  if (const toml::node* outliers = table.get("max_outliers"))
    if (auto value = IntegerIn(*outliers, 0, kMostOutliers, name + ": max_outliers", problems))
      check.maxOutliers = static_cast<long>(*value);
  return check;
}

// One check from the comparison's own tolerance and max_outliers (both 0
// when absent), or a list of them in `checks` instead.
std::vector<Check> ReadChecks(const toml::table& table, const std::string& name, Problems& problems) {
  const toml::node* list = table.get("checks");
  if (!list) return {ReadCheck(table, name, problems)};
  if (table.get("tolerance") || table.get("max_outliers"))
    problems.push_back(name + ": a tolerance of its own beside a checks list");
  const toml::array* array = list->as_array();
  if (!array || array->empty()) {
    problems.push_back(name + ": checks = " + Shown(*list) + ": not a list of tables");
    return {};
  }
  std::vector<Check> checks;
  for (const toml::node& item : *array) {
    const toml::table* entry = item.as_table();
    if (!entry) {
      problems.push_back(name + ": check " + Shown(item) + " is not a table");
      continue;
    }
    RejectUnknownKeys(*entry, {"tolerance", "max_outliers"}, KeyOf(name) + ".checks.", problems);
    checks.push_back(ReadCheck(*entry, name, problems));
  }
  return checks;
}

void ReadComparisons(const toml::table& root, CorpusCase& c, Problems& problems) {
  const toml::node* node = root.get("image_comparisons");
  const toml::table* all = node ? node->as_table() : nullptr;
  if (!all || all->empty()) {
    problems.push_back("no image_comparisons: no picture to compare");
    return;
  }
  for (auto&& [key, entry] : *all) {
    Comparison cmp;
    cmp.name = std::string(key.str());
    const toml::table* table = entry.as_table();
    if (!table) {
      problems.push_back(KeyOf(cmp.name) + " = " + Shown(entry) + ": not a table");
      continue;
    }
    RejectUnknownKeys(*table, {"trigger", "tolerance", "max_outliers", "checks"}, KeyOf(cmp.name) + ".", problems);
    cmp.frame = CaptureFrame(table->get("trigger"), c.framesRun, cmp.name, problems);
    cmp.checks = ReadChecks(*table, cmp.name, problems);
    c.comparisons.push_back(std::move(cmp));
  }
  std::stable_sort(c.comparisons.begin(), c.comparisons.end(),
                   [](const Comparison& a, const Comparison& b) { return a.frame < b.frame; });
}

}  // namespace

CorpusCase ParseCaseToml(const std::string& text) {
  CorpusCase c;
  toml::parse_result parsed = toml::parse(text);
  if (!parsed) {
    const toml::parse_error& error = parsed.error();
    c.uncheckable.push_back("test.toml line " + std::to_string(error.source().begin.line) + ": " +
                            std::string(error.description()));
    return c;
  }
  const toml::table& root = parsed.table();
  RejectUnknownKeys(root, {"num_frames", "num_ticks", "image_comparisons", "player_options", "fonts", "default_fonts"},
                    "", c.uncheckable);
  // Device fonts the harness loaded from files and gave the player; the
  // checker gives it none, so device text would be drawn otherwise.
  for (const char* fonts : {"fonts", "default_fonts"})
    if (root.get(fonts)) c.uncheckable.push_back(std::string(fonts) + ": device fonts the harness gave the player");
  c.framesRun = ReadFrameCount(root, c.uncheckable);
  ReadPlayerOptions(root, c, c.uncheckable);
  ReadComparisons(root, c, c.uncheckable);
  return c;
}

}  // namespace velmora::corpus

// SPDX-License-Identifier: Apache-2.0
// The plan file's writer. The text is laid out as nlohmann-json lays out a
// document with two-space indentation, but written straight from the Plan:
// no document tree is built, so a plan of many stages or unknown members is
// written in linear time, and an unknown member is laid out from its kept
// JSON text without being parsed into a tree again.

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <optional>

#include "calc/plan.h"
#include "calc/plan_members.h"

namespace velkarin {
namespace {

using Json = nlohmann::ordered_json;

// Unknown members larger than this in all are written compact, each on its
// line: laid out with indentation, a deeply nested one could grow past what
// the reader takes.
constexpr std::size_t indentedExtrasBytes = std::size_t{1} << 20;

// A text as a JSON string. Texts typed in the window are UTF-8; a stray byte
// is written as U+FFFD rather than losing the whole plan.
std::string quoted(std::string_view text) {
  return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Appends a JSON text laid out with `indent` spaces before its closing
// bracket, as nlohmann-json's dump(2) lays it out ("{}" and "[]" when empty).
void appendLaidOut(std::string& out, std::string_view json, std::size_t indent) {
  const auto nextNonBlank = [&](std::size_t i) {
    while (i < json.size() && (json[i] == ' ' || json[i] == '\t' || json[i] == '\n' || json[i] == '\r')) ++i;
    return i;
  };
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '"') {
      std::size_t end = i + 1;
      while (end < json.size() && json[end] != '"') end += json[end] == '\\' ? 2 : 1;
      out.append(json.substr(i, end + 1 - i));
      i = end;
    } else if (c == '{' || c == '[') {
      const std::size_t next = nextNonBlank(i + 1);
      if (next < json.size() && json[next] == (c == '{' ? '}' : ']')) {
        out += c;
        out += json[next];
        i = next;
      } else {
        indent += 2;
        out += c;
        out += '\n';
        out.append(indent, ' ');
      }
    } else if (c == '}' || c == ']') {
      indent -= 2;
      out += '\n';
      out.append(indent, ' ');
      out += c;
    } else if (c == ',') {
      out += ",\n";
      out.append(indent, ' ');
    } else if (c == ':') {
      out += ": ";
    } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
      out += c;
    }
  }
}

// An unknown member placed in the object it belongs to.
struct Placed {
  std::size_t object;  // 0 the document, 1 composition, 2 heat, 3 + i stage i
  std::string name;
  const std::string* json;
};

constexpr std::array<std::string_view, 16> documentNames{
    "format",    "version",       "reaction", "A",          "B",      "otherA", "otherB", "composition",
    "pressures", "totalPressure", "coShare",  "bothOxides", "target", "heat",   "stages", "note"};

// Where an unknown member goes; nothing for a place that names no object of
// the plan (a stage deleted since the file was read).
std::optional<Placed> place(const Plan& plan, const PlanExtraMember& extra) {
  const std::vector<std::string> names = planPathNames(extra.path);
  if (names.size() == 2 && (names[0] == "composition" || names[0] == "heat")) {
    return Placed{names[0] == "composition" ? 1U : 2U, names[1], &extra.json};
  }
  if (names.size() == 3 && names[0] == "stages" && !names[1].empty() && names[1].size() < 10 &&
      std::all_of(names[1].begin(), names[1].end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const std::size_t stage = std::stoul(names[1]);
    if (stage >= 1 && stage <= plan.stages.size()) return Placed{2 + stage, names[2], &extra.json};
  }
  if (names.size() == 1) return Placed{0, names[0], &extra.json};
  return std::nullopt;
}

// Whether a member of this version already has the name in that object.
bool nameTaken(const Placed& placed) {
  static Plan scratch;  // only its fields' addresses are looked up
  static BlowStage stage;
  switch (placed.object) {
    case 0:
      return std::find(documentNames.begin(), documentNames.end(), placed.name) != documentNames.end();
    case 1:
      return planTextField(scratch, "composition/" + placed.name) != nullptr;
    case 2:
      return planTextField(scratch, "heat/" + placed.name) != nullptr;
    default:
      return stageTextField(stage, placed.name) != nullptr;
  }
}

class PlanWriter {
 public:
  explicit PlanWriter(const Plan& plan) : plan_(plan) {
    std::size_t extraBytes = 0;
    for (const PlanExtraMember& extra : plan.extraMembers) {
      std::optional<Placed> placed = place(plan, extra);
      if (!placed || nameTaken(*placed) || !Json::accept(extra.json)) continue;
      extraBytes += extra.json.size();
      extras_.push_back(std::move(*placed));
    }
    // In the order the objects are written: composition, heat, the stages, then the document's own.
    const auto rank = [](const Placed& p) { return p.object == 0 ? std::size_t(-1) : p.object; };
    std::stable_sort(extras_.begin(), extras_.end(),
                     [&](const Placed& x, const Placed& y) { return rank(x) < rank(y); });
    compactExtras_ = extraBytes > indentedExtrasBytes;
  }

  std::string text();

 private:
  void open(char bracket) {
    out_ += bracket;
    firsts_.push_back(true);
  }
  void close(char bracket) {
    const bool empty = firsts_.back();
    firsts_.pop_back();
    if (!empty) {
      out_ += '\n';
      out_.append(2 * firsts_.size(), ' ');
    }
    out_ += bracket;
  }
  // The separator and indentation before an element, and a member's name.
  void element() {
    out_ += firsts_.back() ? "\n" : ",\n";
    firsts_.back() = false;
    out_.append(2 * firsts_.size(), ' ');
  }
  void name(std::string_view text) {
    element();
    out_ += quoted(text);
    out_ += ": ";
  }
  void text(std::string_view member, std::string_view value) {
    name(member);
    out_ += quoted(value);
  }
  // The unknown members of one object, which stand at the end of it.
  void extrasOf(std::size_t object) {
    for (; next_ < extras_.size() && extras_[next_].object == object; ++next_) {
      name(extras_[next_].name);
      if (compactExtras_) {
        out_ += *extras_[next_].json;
      } else {
        appendLaidOut(out_, *extras_[next_].json, 2 * firsts_.size());
      }
    }
  }
  void textObject(std::string_view member, std::string_view prefix);

  const Plan& plan_;
  std::vector<Placed> extras_;  // by object, each object's in the plan's order
  std::size_t next_ = 0;        // the first of extras_ not yet written
  bool compactExtras_ = false;
  std::vector<bool> firsts_;  // per open object or array: nothing written in it yet
  std::string out_;
};

void PlanWriter::textObject(std::string_view member, std::string_view prefix) {
  name(member);
  open('{');
  for (const auto& [path, value] : planConditions(plan_)) {
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
      text(std::string_view(path).substr(prefix.size()), value);
    }
  }
  if (member == "heat") {
    for (const auto& [path, value] : writtenSimulationMembers(plan_)) text(path.substr(prefix.size()), value);
  }
  extrasOf(member == "composition" ? 1 : 2);
  close('}');
}

std::string PlanWriter::text() {
  open('{');
  text("format", "velkarin-plan");
  name("version");
  out_ += std::to_string(planVersion);
  bool compositionDone = false, heatDone = false;
  for (const auto& [path, value] : planConditions(plan_)) {
    if (path.rfind("composition/", 0) == 0) {
      if (!compositionDone) textObject("composition", "composition/");
      compositionDone = true;
    } else if (path.rfind("heat/", 0) == 0) {
      if (!heatDone) textObject("heat", "heat/");
      heatDone = true;
    } else if (path == "bothOxides") {
      name(path);
      out_ += plan_.bothOxides ? "true" : "false";
    } else {
      text(path, value);
    }
  }
  name("stages");
  open('[');
  for (std::size_t i = 0; i < plan_.stages.size(); ++i) {
    element();
    open('{');
    for (const auto& [member, value] : writtenStageMembers(plan_.stages[i])) text(member, value);
    extrasOf(3 + i);
    close('}');
  }
  close(']');
  text("note", plan_.note);
  extrasOf(0);
  close('}');
  out_ += '\n';
  return std::move(out_);
}

}  // namespace

std::string planText(const Plan& plan) { return PlanWriter(plan).text(); }

}  // namespace velkarin

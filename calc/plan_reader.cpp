// SPDX-License-Identifier: Apache-2.0
// The plan file's reader: one pass of nlohmann-json's event (SAX) parser
// straight into a Plan. No document tree is built, so a file of many members
// takes linear time, and a member this version does not know is kept as its
// compact JSON text (about its own size in memory, not a tree of nodes).
// Nesting is bounded, and a number beyond the range of a double is a refused
// file with its place, not an exception.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>

#include "calc/plan.h"
#include "calc/plan_members.h"

namespace velkarin {
namespace {

using Json = nlohmann::ordered_json;

// What the value at the parser's current place is to the plan.
enum class Role {
  Document,
  Format,
  Version,
  Reaction,
  BothOxides,
  Note,
  Text,       // a text member of the plan or of a stage: `field`
  Container,  // "composition" or "heat"
  Stages,
  Stage,
  Extra,   // a member this version does not know: kept as JSON text
  Ignore,  // inside a value already faulted, or not in a plan at all
};

struct Slot {
  Role role = Role::Ignore;
  std::string path;  // its place, names escaped ("stages/2/t")
  std::string* field = nullptr;
};

struct Frame {
  Role role;  // Container, Stages, Stage, Extra or Ignore
  std::string path;
  std::size_t count = 0;  // members or elements so far
  bool array = false;
};

class PlanReader {
 public:
  using string_t = Json::string_t;
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using binary_t = Json::binary_t;

  // Literals and whole numbers inside an unknown member are written as they
  // are, without a JSON value made for each (a member may hold millions).
  bool null() { return capturing() ? capture("null") : scalar(Json(nullptr)); }
  bool boolean(bool value) { return capturing() ? capture(value ? "true" : "false") : scalar(Json(value)); }
  bool number_integer(number_integer_t value) { return capturing() ? captureNumber(value) : scalar(Json(value)); }
  bool number_unsigned(number_unsigned_t value) { return capturing() ? captureNumber(value) : scalar(Json(value)); }
  bool number_float(number_float_t value, const string_t&) { return scalar(Json(value)); }
  bool string(string_t& value) { return scalar(Json(std::move(value))); }
  bool binary(binary_t&) { return scalar(Json()); }  // JSON text has none
  bool key(string_t& name) {
    key_ = std::move(name);
    return true;
  }
  bool start_object(std::size_t) { return open(false); }
  bool start_array(std::size_t) { return open(true); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }
  bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error) {
    const auto* parse = dynamic_cast<const nlohmann::detail::parse_error*>(&error);
    // A number out of range is placed where it starts: the parser stands just past it.
    errorAt_ = parse ? parse->byte : position + 1 - std::min(position, token.size());
    errorWords_ = parserWords(error.what());
    numberOutOfRange_ = error.id == 406;
    errorMember_ = outermostPlace();
    return false;
  }

  std::variant<Plan, PlanFileError> result(std::string_view text, bool parsed);

 private:
  // Where the next value goes, from the innermost open container.
  Slot placeOfNext();
  // The place of the member being read, as a message names it: the
  // outermost unknown member, or the next value's own place.
  std::string outermostPlace();
  bool scalar(const Json& value);
  bool open(bool array);
  bool close();
  void fault(const std::string& member, std::string detail);
  void keepExtra(std::string path, std::string json);
  // Compact JSON of a captured member: a separator before each of its values.
  void captureSeparator();
  bool capturing() const { return !stack_.empty() && stack_.back().role == Role::Extra; }
  bool capture(std::string_view text) {
    captureSeparator();
    capture_ += text;
    return true;
  }
  template <typename Number>
  bool captureNumber(Number value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;  // as the library writes it
    return capture(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }

  Plan plan_;
  std::vector<Frame> stack_;
  std::string key_;
  bool rootIsObject_ = false;
  bool formatOk_ = false;
  std::optional<Json> version_;  // a scalar "version"; a container leaves it empty
  std::optional<PlanFileError> fault_;
  std::optional<PlanFileError> stageFault_;   // the first within "stages", held until its count is known
  std::vector<PlanExtraMember> stageExtras_;  // the unknown members of the stages
  std::string capture_;                       // the unknown member being read, as compact JSON
  std::size_t tooDeep_ = 0;                   // depth reached when over the bound
  std::size_t errorAt_ = 0;
  std::string errorWords_, errorMember_;
  bool numberOutOfRange_ = false;
};

Slot PlanReader::placeOfNext() {
  if (stack_.empty()) return {Role::Ignore, {}, nullptr};
  Frame& frame = stack_.back();
  const std::string name = frame.array ? std::string() : escapePlanName(key_);
  const std::string path = frame.path.empty() ? name : frame.path + "/" + name;
  switch (frame.role) {
    case Role::Container:
      if (std::string* field = planTextField(plan_, frame.path + "/" + key_)) return {Role::Text, path, field};
      return {Role::Extra, path, nullptr};
    case Role::Stages: {
      const std::string stagePath = frame.path + "/" + std::to_string(frame.count + 1);
      return {frame.count < maxPlanStages ? Role::Stage : Role::Ignore, stagePath, nullptr};
    }
    case Role::Stage:
      if (std::string* field = stageTextField(plan_.stages.back(), key_)) return {Role::Text, path, field};
      return {Role::Extra, path, nullptr};
    case Role::Extra:
      return {Role::Extra, frame.path, nullptr};
    case Role::Ignore:
      return {Role::Ignore, {}, nullptr};
    default:
      break;
  }
  // The document itself.
  if (key_ == "format") return {Role::Format, key_, nullptr};
  if (key_ == "version") return {Role::Version, key_, nullptr};
  if (key_ == "reaction") return {Role::Reaction, key_, nullptr};
  if (key_ == "bothOxides") return {Role::BothOxides, key_, nullptr};
  if (key_ == "note") return {Role::Note, key_, nullptr};
  if (key_ == "composition" || key_ == "heat") return {Role::Container, key_, nullptr};
  if (key_ == "stages") return {Role::Stages, key_, nullptr};
  // A name holding "/" is no member of this version ("composition/Cr" at the
  // top is not the composition's Cr).
  if (std::string* field = key_.find('/') == std::string::npos ? planTextField(plan_, key_) : nullptr) {
    return {Role::Text, key_, field};
  }
  return {Role::Extra, name, nullptr};
}

std::string PlanReader::outermostPlace() {
  for (const Frame& frame : stack_) {
    if (frame.role == Role::Extra) return frame.path;
    if (frame.role == Role::Ignore) return {};
  }
  return stack_.empty() ? std::string() : placeOfNext().path;
}

void PlanReader::fault(const std::string& member, std::string detail) {
  PlanFileError error{PlanFault::BadMember, 0, 0, member, std::move(detail)};
  const bool inStages = !stack_.empty() && (stack_.back().role == Role::Stages || stack_.back().role == Role::Stage);
  std::optional<PlanFileError>& first = inStages ? stageFault_ : fault_;
  if (!first) first = std::move(error);
}

void PlanReader::keepExtra(std::string path, std::string json) {
  const bool inStages =
      std::any_of(stack_.begin(), stack_.end(), [](const Frame& f) { return f.role == Role::Stages; });
  (inStages ? stageExtras_ : plan_.extraMembers).push_back({std::move(path), std::move(json)});
}

void PlanReader::captureSeparator() {
  Frame& frame = stack_.back();
  if (frame.count++ > 0) capture_ += ',';
  if (!frame.array) capture_ += Json(key_).dump(-1, ' ', false, Json::error_handler_t::replace) + ':';
}

bool PlanReader::scalar(const Json& value) {
  if (stack_.empty()) return true;  // a document that is no object: not a plan
  // Within an unknown member or an ignored value nothing is looked up: its
  // events cost their own size, however long the member's name.
  if (stack_.back().role == Role::Ignore) return true;
  if (stack_.back().role == Role::Extra) {
    captureSeparator();
    capture_ += value.dump(-1, ' ', false, Json::error_handler_t::replace);
    return true;
  }
  const Slot slot = placeOfNext();
  if (stack_.back().role == Role::Stages) ++stack_.back().count;
  switch (slot.role) {
    case Role::Format:
      formatOk_ = value == "velkarin-plan";
      break;
    case Role::Version:
      version_ = value;
      break;
    case Role::Reaction: {
      const std::optional<Reaction> reaction =
          value.is_string() ? planReaction(value.get<std::string>()) : std::nullopt;
      if (reaction) plan_.reaction = *reaction;
      if (!reaction) fault(slot.path, "\"Cr2O3\" or \"Cr3O4\"");
      break;
    }
    case Role::BothOxides:
      if (value.is_boolean()) plan_.bothOxides = value.get<bool>();
      if (!value.is_boolean()) fault(slot.path, "true or false");
      break;
    case Role::Note:
      if (value.is_string()) plan_.note = value.get<std::string>();
      if (!value.is_string()) fault(slot.path, "a text");
      break;
    case Role::Text:
      if (value.is_string()) {
        *slot.field = value.get<std::string>();
      } else if (value.is_number()) {
        *slot.field = value.dump();  // a script's 18 is the text "18"
      } else {
        fault(slot.path, "a text");
      }
      break;
    case Role::Container:
      fault(slot.path, "an object");
      break;
    case Role::Stages:
      fault(slot.path, "an array of stages");
      break;
    case Role::Stage:
      fault(slot.path, "an object");
      break;
    case Role::Extra:
      keepExtra(slot.path, value.dump(-1, ' ', false, Json::error_handler_t::replace));
      break;
    case Role::Document:
    case Role::Ignore:
      break;
  }
  return true;
}

bool PlanReader::open(bool array) {
  if (stack_.size() >= maxPlanDepth) {
    tooDeep_ = stack_.size() + 1;
    return false;
  }
  if (stack_.empty()) {
    rootIsObject_ = !array;
    stack_.push_back({array ? Role::Ignore : Role::Document, {}, 0, array});
    return true;
  }
  if (stack_.back().role == Role::Ignore) {
    stack_.push_back({Role::Ignore, {}, 0, array});
    return true;
  }
  if (stack_.back().role == Role::Extra) {
    captureSeparator();
    capture_ += array ? '[' : '{';
    stack_.push_back({Role::Extra, {}, 0, array});  // only the outermost frame keeps the member's place
    return true;
  }
  const Slot slot = placeOfNext();
  Frame& parent = stack_.back();
  if (parent.role == Role::Stages) ++parent.count;
  Role role = Role::Ignore;
  switch (slot.role) {
    case Role::Container:
      if (array) fault(slot.path, "an object");
      role = array ? Role::Ignore : Role::Container;
      break;
    case Role::Stages:
      if (!array) fault(slot.path, "an array of stages");
      if (array) {
        plan_.stages.clear();  // a repeated "stages": the stages of the last one
        stageExtras_.clear();
      }
      role = array ? Role::Stages : Role::Ignore;
      break;
    case Role::Stage:
      if (array) fault(slot.path, "an object");
      if (!array) plan_.stages.emplace_back();
      role = array ? Role::Ignore : Role::Stage;
      break;
    case Role::Extra:
      capture_.assign(1, array ? '[' : '{');
      role = Role::Extra;
      break;
    case Role::Format:
      formatOk_ = false;
      break;
    case Role::Version:
      version_.reset();
      break;
    case Role::Reaction:
      fault(slot.path, "\"Cr2O3\" or \"Cr3O4\"");
      break;
    case Role::BothOxides:
      fault(slot.path, "true or false");
      break;
    case Role::Note:
    case Role::Text:
      fault(slot.path, "a text");
      break;
    default:
      break;
  }
  stack_.push_back({role, slot.path, 0, array});
  return true;
}

bool PlanReader::close() {
  const Frame frame = std::move(stack_.back());
  stack_.pop_back();
  if (frame.role == Role::Extra) {
    capture_ += frame.array ? ']' : '}';
    if (stack_.back().role != Role::Extra) keepExtra(frame.path, std::move(capture_));
    if (stack_.back().role != Role::Extra) capture_.clear();
  } else if (frame.role == Role::Stages) {
    std::optional<PlanFileError> inStages = std::move(stageFault_);
    stageFault_.reset();
    if (frame.count > maxPlanStages) inStages = PlanFileError{PlanFault::TooManyStages, 0, 0, frame.path, {}};
    if (inStages && !fault_) fault_ = std::move(inStages);
  }
  return true;
}

std::variant<Plan, PlanFileError> PlanReader::result(std::string_view text, bool parsed) {
  if (tooDeep_ > 0) {
    const auto [line, column] = lineAndColumn(text, tooDeepAt(text, maxPlanDepth));
    return PlanFileError{PlanFault::TooDeep, line, column, {}, {}};
  }
  if (!parsed) {
    const auto [line, column] = lineAndColumn(text, errorAt_);
    if (numberOutOfRange_) return PlanFileError{PlanFault::NumberOutOfRange, line, column, errorMember_, errorWords_};
    return PlanFileError{PlanFault::NotJson, line, column, {}, errorWords_};
  }
  if (!rootIsObject_ || !formatOk_) return PlanFileError{PlanFault::NotAPlan, 0, 0, {}, {}};
  if (!version_ || !version_->is_number_integer() || *version_ < 1) {
    return PlanFileError{PlanFault::NoVersion, 0, 0, "version", {}};
  }
  if (*version_ > planVersion) return PlanFileError{PlanFault::NewerVersion, 0, 0, version_->dump(), {}};
  if (fault_) return std::move(*fault_);
  std::move(stageExtras_.begin(), stageExtras_.end(), std::back_inserter(plan_.extraMembers));
  keepLastOfEachPath(plan_.extraMembers);
  return std::move(plan_);
}

}  // namespace

std::variant<Plan, PlanFileError> readPlanText(std::string_view text) {
  // The JSON parser takes a NUL byte for the end of its input; a file holding
  // one is damaged, and whatever follows it would be lost unseen.
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    const auto [line, column] = lineAndColumn(text, nul + 1);
    return PlanFileError{PlanFault::NotJson, line, column, {}, "a NUL byte"};
  }
  PlanReader reader;
  const bool parsed = Json::sax_parse(text, &reader);
  return reader.result(text, parsed);
}

}  // namespace velkarin

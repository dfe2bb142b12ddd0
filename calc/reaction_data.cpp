// SPDX-License-Identifier: Apache-2.0
#include "calc/reaction_data.h"

#include <algorithm>

#include "calc/number_text.h"

namespace velkarin {
namespace {

constexpr std::array<PresetRow, 4> cr2o3Presets{{
    {"739938", "-475.137"},  // derived by the authors
    {"743675", "-477.721"},  // a concise textbook
    {"742046", "-474.045"},  // worked example of a reaction-calculation document
    {"678000", "-441.495"},  // the Orvane edition
}};

constexpr std::array<PresetRow, 5> cr3o4Presets{{
    {"697890", "-461.535"},  // selective oxidation
    {"661725", "-438.852"},  // Quillon
    {"701934", "-459.13"},   // the Tessaly edition
    {"704299", "-463.803"},  // derived by the authors
    {"643993", "-432.314"},  // derived by the authors
}};

const ReactionData cr2o3Data{
    Reaction::Cr2O3,
    "Cr2O3",
    cr2o3Presets,
    "第一行为自己推导的A值；第二行为简明教程A值；第三行为冶金反应计算文档例题中的A值；第四行为Orvane版A值；",
    "第一行为自己推导的B值；第二行为简明教程B值；第三行为冶金反应计算文档例题中的B值；第四行为Orvane版B值；",
    2.2,
};

const ReactionData cr3o4Data{
    Reaction::Cr3O4,
    "Cr3O4",
    cr3o4Presets,
    "第一行为选择性氧化中的A值；第二行为QuillonA值；第三行为Tessaly版A值；第四,五行为自行推导的A值；",
    "第一行为选择性氧化中的B值；第二行为QuillonB值；第三行为Tessaly版B值；第四，五行为自行推导的B值；",
    0.35,
};

}  // namespace

const ReactionData& reactionData(Reaction reaction) { return reaction == Reaction::Cr2O3 ? cr2o3Data : cr3o4Data; }

PresetSpan presetSpan(Reaction reaction) {
  const std::span<const PresetRow> rows = reactionData(reaction).presets;
  PresetSpan span;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double a = readConstantText(rows[i].a).value;
    const double b = readConstantText(rows[i].b).value;
    span.lowA = i == 0 ? a : std::min(span.lowA, a);
    span.highA = i == 0 ? a : std::max(span.highA, a);
    span.lowB = i == 0 ? b : std::min(span.lowB, b);
    span.highB = i == 0 ? b : std::max(span.highB, b);
  }
  return span;
}

}  // namespace velkarin

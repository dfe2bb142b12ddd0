// SPDX-License-Identifier: Apache-2.0
#pragma once

// Heat logs made by the blow simulation itself, for the calibration's tests
// and benchmark: heats of 60–100 t, 1.3–1.9 %C, 1520–1580 °C, 16–19 %Cr, each
// blown in `stages` stages (4:1, 3:1, 2:1, 1:1, 1:3, … with the oxygen each
// needs at its share of the carbon), with every stage end "measured" as the
// simulation with k and L predicts it, plus Gaussian noise of sdCarbon in
// ln %C and sdTemperature in °C. The numbers come from the engine's own
// output (not a standard distribution), so a seed gives the same log on
// every standard library.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "calc/blow_calibration.h"

namespace velkarin::test {

class SyntheticDraws {
 public:
  explicit SyntheticDraws(unsigned seed) : engine_(seed) {}
  double uniform(double from, double to) { return from + (to - from) * (engine_() / 4294967296.0); }
  double normal() {  // Box–Muller
    const double u = (engine_() + 1.0) / 4294967297.0, v = engine_() / 4294967296.0;
    return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * v);
  }

 private:
  std::mt19937 engine_;
};

inline std::vector<LoggedHeat> syntheticHeatLog(std::size_t count, std::size_t stages, double k, double loss,
                                                double sdCarbon, double sdTemperature, unsigned seed) {
  static constexpr const char* gases[] = {"4:1", "3:1", "2:1", "1:1", "1:3", "1:4", "1:9"};
  static constexpr double targets[] = {0.8, 0.45, 0.25, 0.12, 0.05, 0.03, 0.02};  // the carbon each stage aims at
  SyntheticDraws draw(seed);
  std::vector<LoggedHeat> heats;
  while (heats.size() < count) {
    LoggedHeat h;
    h.id = "H" + std::to_string(heats.size() + 1);
    h.heat.massTonnes = draw.uniform(60, 100);
    h.heat.startCarbon = draw.uniform(1.3, 1.9);
    h.heat.startTemperature = draw.uniform(1520, 1580);
    h.heat.oxygenFlow = draw.uniform(50, 70);
    h.heat.composition = {draw.uniform(16, 19), draw.uniform(8, 10), draw.uniform(0.2, 0.4), 1};
    double carbon = *h.heat.startCarbon;
    for (std::size_t i = 0; i < stages && i < std::size(gases); ++i) {
      // The oxygen the carbon down to the stage's aim takes at η = 1, and a
      // tenth more below 0.3 %C where chromium takes its share.
      const double burnt = (carbon - targets[i]) * *h.heat.massTonnes * 10;  // kg C
      const double oxygen = burnt / 12.011 * 22.414 / 2 * (targets[i] < 0.3 ? 1.1 : 1.0);
      h.stages.push_back(
          {gases[i], oxygen, std::nullopt, i == 0 ? 2000.0 : 0.0, i == 2 ? 1500.0 : 0.0, InertGas::Argon});
      carbon = targets[i];
    }
    const std::optional<BlowSimulation> sim = simulateLoggedHeat(h, k, loss);
    if (!sim) continue;  // a draw the simulation cannot blow: draw again
    for (const SimulatedStage& s : sim->stages) {
      h.endCarbon.push_back(s.endCarbon * std::exp(sdCarbon * draw.normal()));
      h.endTemperature.push_back(s.endTemperature + sdTemperature * draw.normal());
    }
    heats.push_back(std::move(h));
  }
  return heats;
}

// The log as the plant writes it: a header, then a row per stage with the
// heat's figures on its first row, figures rounded as a log keeps them.
inline std::string heatLogCsv(const std::vector<LoggedHeat>& heats) {
  const auto fixed = [](double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return std::string(text);
  };
  std::string csv = "heat,stage,W,C0,T0,F,Cr,Ni,Si,Mn,gas,O2,lime,scrap,inert,C,t\n";
  for (const LoggedHeat& h : heats) {
    for (std::size_t i = 0; i < h.stages.size(); ++i) {
      const SimulationStage& s = h.stages[i];
      csv += h.id + "," + std::to_string(i + 1) + ",";
      if (i == 0) {
        const CurveComposition& c = h.heat.composition;
        csv += fixed(*h.heat.massTonnes, 1) + "," + fixed(*h.heat.startCarbon, 3) + "," +
               fixed(*h.heat.startTemperature, 0) + "," + fixed(*h.heat.oxygenFlow, 1) + "," + fixed(c.chromium, 2) +
               "," + fixed(c.nickel, 2) + "," + fixed(c.silicon, 2) + "," + fixed(c.manganese, 2) + ",";
      } else {
        csv += ",,,,,,,,";
      }
      csv += s.gas + "," + fixed(*s.oxygen, 1) + "," + (s.lime > 0 ? fixed(s.lime, 0) : "") + "," +
             (s.scrap > 0 ? fixed(s.scrap, 0) : "") + "," + (s.inert == InertGas::Nitrogen ? "N2" : "") + ",";
      csv += (h.endCarbon[i] ? fixed(*h.endCarbon[i], 3) : "") + "," +
             (h.endTemperature[i] ? fixed(*h.endTemperature[i], 0) : "") + "\n";
    }
  }
  return csv;
}

}  // namespace velkarin::test

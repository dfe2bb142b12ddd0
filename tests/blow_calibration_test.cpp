// SPDX-License-Identifier: Apache-2.0
// The simulation's k and L fitted to heat logs: logs made by the simulation
// with known k and L give them back, noisy logs within their standard
// errors, and the fit says why where there is none; the folds of the
// cross-validation are disjoint and by heat.

#include "calc/blow_calibration.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <set>

#include "synthetic_heats.h"

namespace velkarin {
namespace {

using test::syntheticHeatLog;

TEST(Calibration, ANoiselessLogGivesItsConstantsBack) {
  struct Case {
    double k, loss;
  };
  for (const Case c : {Case{0.45, 2.0}, Case{0.15, 0.8}}) {
    const std::vector<LoggedHeat> heats = syntheticHeatLog(6, 5, c.k, c.loss, 0, 0, 7);
    CalibrationSettings settings;
    settings.folds = 0;
    const Calibration fit = calibrateBlow(heats, settings);
    ASSERT_EQ(fit.problem, CalibrationProblem::None) << c.k;
    EXPECT_NEAR(fit.rateConstant, c.k, 1e-4 * c.k);
    EXPECT_NEAR(fit.heatLoss, c.loss, 1e-4 * c.loss);
    EXPECT_EQ(fit.heats, 6u);
    EXPECT_EQ(fit.ends, 60u);
    EXPECT_LT(*fit.rmsLnCarbon, 1e-5);
    EXPECT_LT(*fit.rmsTemperature, 1e-3);
    EXPECT_EQ(fit.residuals.size(), 30u);  // one per stage end, %C and t together
  }
}

TEST(Calibration, ANoisyLogGivesConstantsWithinThreeStandardErrors) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    const std::vector<LoggedHeat> heats = syntheticHeatLog(10, 4, 0.40, 2.5, 0.10, 10, seed);
    CalibrationSettings settings;
    settings.folds = 0;
    const Calibration fit = calibrateBlow(heats, settings);
    ASSERT_EQ(fit.problem, CalibrationProblem::None) << seed;
    EXPECT_GT(fit.rateConstantError, 0) << seed;
    EXPECT_LT(std::abs(fit.rateConstant - 0.40), 3 * fit.rateConstantError) << seed;
    EXPECT_LT(std::abs(fit.heatLoss - 2.5), 3 * fit.heatLossError) << seed;
    EXPECT_GE(fit.correlation, -1);
    EXPECT_LE(fit.correlation, 1);
    // The noise comes back as the training error, roughly.
    EXPECT_NEAR(*fit.rmsTemperature, 10, 4) << seed;
  }
}

TEST(Calibration, HeldOutErrorsComeFromFoldsDisjointAndByHeat) {
  const std::vector<std::size_t> fold = calibrationFolds(23, 5, 99);
  std::vector<std::size_t> sizes(5);
  for (const std::size_t f : fold) ++sizes.at(f);
  for (const std::size_t n : sizes) EXPECT_TRUE(n == 4 || n == 5);
  EXPECT_EQ(calibrationFolds(23, 5, 99), fold);  // a fixed seed, the same folds
  EXPECT_NE(calibrationFolds(23, 5, 100), fold);

  const std::vector<LoggedHeat> heats = syntheticHeatLog(10, 3, 0.40, 2.5, 0.10, 10, 5);
  const Calibration fit = calibrateBlow(heats);
  ASSERT_EQ(fit.problem, CalibrationProblem::None);
  ASSERT_TRUE(fit.heldOutRmsLnCarbon && fit.heldOutRmsTemperature);
  // Predicting heats it was not fitted to, the model does no better than on its own.
  EXPECT_GE(*fit.heldOutRmsTemperature, *fit.rmsTemperature * 0.9);
}

TEST(Calibration, NoFitSaysWhy) {
  std::vector<LoggedHeat> heats = syntheticHeatLog(4, 3, 0.40, 2.5, 0, 0, 11);
  CalibrationSettings settings;
  settings.folds = 0;
  // A heat the simulation cannot blow is left out and counted.
  heats[0].stages[0].gas = "x:y";
  heats[1].heat.massTonnes = -5;
  Calibration fit = calibrateBlow(heats, settings);
  EXPECT_EQ(fit.problem, CalibrationProblem::TooFewHeats);
  EXPECT_EQ(fit.excluded, 2u);
  // Nothing measured.
  heats = syntheticHeatLog(4, 3, 0.40, 2.5, 0, 0, 11);
  for (LoggedHeat& h : heats) h.endCarbon.assign(h.stages.size(), std::nullopt), h.endTemperature.clear();
  EXPECT_EQ(calibrateBlow(heats, settings).problem, CalibrationProblem::NoMeasuredEnds);
  // Cancelled: at once before the fit, and from within it.
  heats = syntheticHeatLog(6, 3, 0.40, 2.5, 0.1, 10, 11);
  settings.keepGoing = [] { return false; };
  EXPECT_EQ(calibrateBlow(heats, settings).problem, CalibrationProblem::Cancelled);
  std::atomic<int> asked{0};                               // asked from the solver's two threads
  settings.keepGoing = [&asked] { return ++asked < 12; };  // past the start's simulations, into the solver
  EXPECT_EQ(calibrateBlow(heats, settings).problem, CalibrationProblem::Cancelled);
  EXPECT_LT(asked, 40);  // each evaluation after the no asks once more and fails at once
  settings.keepGoing = {};
  // A solver given no room to converge says so.
  heats = syntheticHeatLog(4, 3, 0.40, 2.5, 0.1, 10, 11);
  settings.startRateConstant = 9.9;
  settings.startHeatLoss = 19.9;
  settings.maxIterations = 1;
  EXPECT_EQ(calibrateBlow(heats, settings).problem, CalibrationProblem::NotConverged);
}

}  // namespace
}  // namespace velkarin

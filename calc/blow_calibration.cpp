// SPDX-License-Identifier: Apache-2.0
#include "calc/blow_calibration.h"

#include <ceres/ceres.h>

#include <array>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>

namespace velkarin {
namespace {

// The measured ends of one heat, in stage order: %C first, then t, per stage.
struct Measured {
  std::size_t stage;
  bool carbon;    // ln %C, else t
  double value;   // ln of the measured %C, or its °C
  double asRead;  // the measured %C or °C itself
};

std::vector<Measured> measuredEnds(const LoggedHeat& heat) {
  std::vector<Measured> ends;
  for (std::size_t i = 0; i < heat.stages.size(); ++i) {
    if (i < heat.endCarbon.size() && heat.endCarbon[i]) {
      ends.push_back({i, true, std::log(*heat.endCarbon[i]), *heat.endCarbon[i]});
    }
    if (i < heat.endTemperature.size() && heat.endTemperature[i]) {
      ends.push_back({i, false, *heat.endTemperature[i], *heat.endTemperature[i]});
    }
  }
  return ends;
}

// The predictions of a heat's measured ends, in the units of Measured;
// nothing where the heat cannot be simulated with k and L.
std::optional<std::vector<double>> predictions(const LoggedHeat& heat, const std::vector<Measured>& ends, double k,
                                               double loss) {
  const std::optional<BlowSimulation> sim = simulateLoggedHeat(heat, k, loss, false);
  if (!sim) return std::nullopt;
  std::vector<double> values;
  values.reserve(ends.size());
  for (const Measured& end : ends) {
    const SimulatedStage& stage = sim->stages[end.stage];
    if (end.carbon && !(stage.endCarbon > 0)) return std::nullopt;
    values.push_back(end.carbon ? std::log(stage.endCarbon) : stage.endTemperature);
  }
  return values;
}

bool stopped(const CalibrationSettings& settings) { return settings.keepGoing && !settings.keepGoing(); }

// The bounds of k and L. They are kept by the residuals, which refuse a
// point outside (the trust region then shrinks back inside), rather than by
// Ceres's own bounds, whose projected line search costs a second Jacobian
// per iteration; a forward difference at the upper bound itself is taken.
bool inBounds(double k, double loss) {
  return k >= lowestRateConstant && k <= highestRateConstant * (1 + 1e-3) && loss >= lowestHeatLoss &&
         loss <= highestHeatLoss * (1 + 1e-3);
}

// The whitened residuals of one heat for Ceres.
class HeatResiduals {
 public:
  HeatResiduals(const LoggedHeat& heat, std::vector<Measured> ends, const CalibrationSettings& settings)
      : heat_(heat), ends_(std::move(ends)), settings_(settings) {}

  bool operator()(double const* const* parameters, double* residuals) const {
    const double k = parameters[0][0], loss = parameters[0][1];
    // Once cancelled, every evaluation fails at once: the solver then ends
    // within the iteration instead of after it.
    if (!inBounds(k, loss) || stopped(settings_)) return false;
    const std::optional<std::vector<double>> predicted = predictions(heat_, ends_, k, loss);
    if (!predicted) return false;  // the solver takes the step as infeasible
    for (std::size_t i = 0; i < ends_.size(); ++i) {
      const double sigma = ends_[i].carbon ? settings_.sigmaCarbon : settings_.sigmaTemperature;
      residuals[i] = ((*predicted)[i] - ends_[i].value) / sigma;
    }
    return true;
  }

 private:
  const LoggedHeat& heat_;
  std::vector<Measured> ends_;
  const CalibrationSettings& settings_;
};

// Ends the solver when the caller no longer wants the fit.
class KeepGoing final : public ceres::IterationCallback {
 public:
  explicit KeepGoing(const std::function<bool()>& ask) : ask_(ask) {}
  ceres::CallbackReturnType operator()(const ceres::IterationSummary&) override {
    return ask_() ? ceres::SOLVER_CONTINUE : ceres::SOLVER_ABORT;
  }

 private:
  const std::function<bool()>& ask_;
};

struct FitOutcome {
  bool converged = false;
  bool cancelled = false;
  std::array<double, 2> parameters{};  // k, L
  double cost = 0;                     // ½Σr² at the optimum
  std::size_t residuals = 0;
  std::size_t iterations = 0;
  std::optional<std::array<double, 4>> covariance;  // (JᵀJ)⁻¹, row-major
};

FitOutcome fit(std::span<const LoggedHeat> heats, const std::vector<std::size_t>& use,
               const std::vector<std::vector<Measured>>& ends, std::array<double, 2> start,
               const CalibrationSettings& settings, bool withCovariance) {
  FitOutcome outcome;
  outcome.parameters = start;
  ceres::Problem::Options problemOptions;
  ceres::Problem problem(problemOptions);
  ceres::NumericDiffOptions difference;
  difference.relative_step_size = 1e-4;
  for (const std::size_t h : use) {
    if (ends[h].empty()) continue;
    auto* cost = new ceres::DynamicNumericDiffCostFunction<HeatResiduals, ceres::FORWARD>(
        new HeatResiduals(heats[h], ends[h], settings), ceres::TAKE_OWNERSHIP, difference);
    cost->AddParameterBlock(2);
    cost->SetNumResiduals(static_cast<int>(ends[h].size()));
    problem.AddResidualBlock(cost, nullptr, outcome.parameters.data());
    outcome.residuals += ends[h].size();
  }
  if (outcome.residuals == 0) return outcome;
  ceres::Solver::Options options;
  options.linear_solver_type = ceres::DENSE_QR;
  options.logging_type = ceres::SILENT;
  options.minimizer_progress_to_stdout = false;
  options.num_threads = settings.threads;
  options.max_num_iterations = settings.maxIterations;
  options.function_tolerance = 1e-7;
  options.parameter_tolerance = 1e-8;
  options.gradient_tolerance = 1e-14;
  KeepGoing keepGoing(settings.keepGoing);
  if (settings.keepGoing) options.callbacks.push_back(&keepGoing);
  ceres::Solver::Summary summary;
  ceres::Solve(options, &problem, &summary);
  outcome.converged = summary.termination_type == ceres::CONVERGENCE;
  outcome.cancelled = summary.termination_type == ceres::USER_FAILURE || stopped(settings);
  outcome.cost = summary.final_cost;
  outcome.iterations = summary.iterations.size();
  if (!outcome.converged || !withCovariance) return outcome;
  ceres::Covariance::Options covarianceOptions;
  covarianceOptions.num_threads = settings.threads;
  covarianceOptions.algorithm_type = ceres::DENSE_SVD;
  ceres::Covariance covariance(covarianceOptions);
  const std::vector<std::pair<const double*, const double*>> blocks{
      {outcome.parameters.data(), outcome.parameters.data()}};
  std::array<double, 4> c{};
  if (covariance.Compute(blocks, &problem) &&
      covariance.GetCovarianceBlock(outcome.parameters.data(), outcome.parameters.data(), c.data())) {
    outcome.covariance = c;
  }
  return outcome;
}

struct SquaredErrors {
  double carbon = 0, temperature = 0;
  std::size_t carbons = 0, temperatures = 0;
  void add(const Measured& end, double predicted) {
    const double e = predicted - end.value;
    (end.carbon ? carbon : temperature) += e * e;
    ++(end.carbon ? carbons : temperatures);
  }
  std::optional<double> rms(bool ofCarbon) const {
    const std::size_t n = ofCarbon ? carbons : temperatures;
    if (n == 0) return std::nullopt;
    return std::sqrt((ofCarbon ? carbon : temperature) / static_cast<double>(n));
  }
};

bool finite(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

std::optional<BlowSimulation> simulateLoggedHeat(const LoggedHeat& heat, double rateConstant, double heatLoss,
                                                 bool path) {
  SimulationHeat charge = heat.heat;
  charge.rateConstant = rateConstant;
  charge.heatLoss = heatLoss;
  SimulationTolerance tolerance;
  tolerance.path = path;
  BlowSimulation sim = simulateBlow(charge, heat.stages, tolerance);
  if (sim.problem != SimulationProblem::None || !sim.totals) return std::nullopt;
  return sim;
}

std::vector<std::size_t> calibrationFolds(std::size_t heats, std::size_t folds, unsigned seed) {
  std::vector<std::size_t> order(heats);
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Fisher–Yates with the engine's own numbers, so the folds are the same
  // on every standard library.
  std::mt19937 engine(seed);
  for (std::size_t i = heats; i > 1; --i) std::swap(order[i - 1], order[engine() % i]);
  std::vector<std::size_t> fold(heats);
  for (std::size_t i = 0; i < heats; ++i) fold[order[i]] = folds == 0 ? 0 : i % folds;
  return fold;
}

Calibration calibrateBlow(std::span<const LoggedHeat> heats, const CalibrationSettings& settings) {
  Calibration result;
  std::vector<std::vector<Measured>> ends(heats.size());
  std::vector<std::size_t> use;
  for (std::size_t h = 0; h < heats.size(); ++h) {
    if (stopped(settings)) {
      result.problem = CalibrationProblem::Cancelled;
      return result;
    }
    if (!simulateLoggedHeat(heats[h], settings.startRateConstant, settings.startHeatLoss, false)) {
      ++result.excluded;
      continue;
    }
    ends[h] = measuredEnds(heats[h]);
    use.push_back(h);
  }
  result.heats = use.size();
  for (const std::size_t h : use) result.ends += ends[h].size();
  if (use.size() < fewestCalibrationHeats) {
    result.problem = CalibrationProblem::TooFewHeats;
    return result;
  }
  if (result.ends == 0) {
    result.problem = CalibrationProblem::NoMeasuredEnds;
    return result;
  }
  const FitOutcome all = fit(heats, use, ends, {settings.startRateConstant, settings.startHeatLoss}, settings, true);
  result.iterations = all.iterations;
  if (!all.converged) {
    result.problem = all.cancelled ? CalibrationProblem::Cancelled : CalibrationProblem::NotConverged;
    return result;
  }
  const auto [k, loss] = all.parameters;
  const double dof = static_cast<double>(all.residuals) - 2;
  const double variance = dof > 0 ? 2 * all.cost / dof : std::nan("");
  if (!all.covariance || !(variance >= 0)) {
    result.problem = all.covariance ? CalibrationProblem::NotFinite : CalibrationProblem::Undetermined;
    return result;
  }
  const std::array<double, 4>& c = *all.covariance;
  result.rateConstant = k;
  result.heatLoss = loss;
  result.rateConstantError = std::sqrt(variance * c[0]);
  result.heatLossError = std::sqrt(variance * c[3]);
  result.correlation = c[1] / std::sqrt(c[0] * c[3]);
  if (!finite({k, loss, result.rateConstantError, result.heatLossError, result.correlation})) {
    result.problem = CalibrationProblem::NotFinite;
    return result;
  }

  SquaredErrors training;
  for (const std::size_t h : use) {
    const std::optional<std::vector<double>> predicted = predictions(heats[h], ends[h], k, loss);
    for (std::size_t i = 0; predicted && i < ends[h].size(); ++i) {
      const Measured& end = ends[h][i];
      training.add(end, (*predicted)[i]);
      EndResidual r{h, end.stage, {}, {}, {}, {}};
      if (!result.residuals.empty() && result.residuals.back().heat == h &&
          result.residuals.back().stage == end.stage) {
        r = result.residuals.back();
        result.residuals.pop_back();
      }
      if (end.carbon) {
        r.carbonMeasured = end.asRead;
        r.carbonPredicted = std::exp((*predicted)[i]);
      } else {
        r.temperatureMeasured = end.asRead;
        r.temperaturePredicted = (*predicted)[i];
      }
      result.residuals.push_back(r);
    }
  }
  result.rmsLnCarbon = training.rms(true);
  result.rmsTemperature = training.rms(false);

  // Cross-validation: each fold predicted by the fit to the others, started
  // from the fit to all (it is near).
  if (settings.folds < 2 || use.size() < settings.folds) return result;
  const std::vector<std::size_t> fold = calibrationFolds(use.size(), settings.folds, settings.seed);
  SquaredErrors heldOut;
  for (std::size_t f = 0; f < settings.folds && !stopped(settings); ++f) {
    std::vector<std::size_t> train, test;
    for (std::size_t i = 0; i < use.size(); ++i) (fold[i] == f ? test : train).push_back(use[i]);
    const FitOutcome part = fit(heats, train, ends, all.parameters, settings, false);
    if (part.cancelled) result.problem = CalibrationProblem::Cancelled;
    if (!part.converged) return result;
    for (const std::size_t h : test) {
      const std::optional<std::vector<double>> predicted =
          predictions(heats[h], ends[h], part.parameters[0], part.parameters[1]);
      if (!predicted) return result;
      for (std::size_t i = 0; i < ends[h].size(); ++i) heldOut.add(ends[h][i], (*predicted)[i]);
    }
  }
  if (stopped(settings)) {
    result.problem = CalibrationProblem::Cancelled;
    return result;
  }
  result.heldOutRmsLnCarbon = heldOut.rms(true);
  result.heldOutRmsTemperature = heldOut.rms(false);
  return result;
}

}  // namespace velkarin

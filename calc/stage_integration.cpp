// SPDX-License-Identifier: Apache-2.0
#include "calc/stage_integration.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <boost/numeric/odeint.hpp>
#include <cmath>
#include <cstdint>
#include <exception>

namespace velkarin {
namespace {

namespace odeint = boost::numeric::odeint;
using DenseStepper = decltype(odeint::make_dense_output(1.0, 1.0, odeint::runge_kutta_dopri5<BathState>()));

// Events are placed to 2^-34 ≈ 6e-11 of the stage's time, well inside 1e-9.
constexpr int eventBits = 34;
constexpr double firstStep = 1e-3;           // min
constexpr std::uintmax_t maxSteps = 200000;  // accepted steps per stage before giving up (a few seconds)

enum class Event { Target, Silicon, Chromium, Critical, Oxide, Release, Count };

class StageIntegrator {
 public:
  StageIntegrator(BathModel& model, const StageIntegration& settings, double oxygenFlow, double startOxygen,
                  std::vector<PathSample>& path)
      : model_(model),
        settings_(settings),
        oxygenFlow_(oxygenFlow),
        startOxygen_(startOxygen),
        path_(path),
        stepper_(odeint::make_dense_output(settings.tolerance.absolute, settings.tolerance.relative,
                                           odeint::runge_kutta_dopri5<BathState>())) {}

  StageOutcome run(const BathState& start);

 private:
  // The event's value at a state: it has happened where the value is < 0.
  double eventValue(Event e, const BathState& y) const;
  bool armed(Event e) const;
  double locate(Event e, double from, double to);
  void sample(double t, const BathState& y);
  void sampleGrid(double until);
  bool handle(Event e, double t, BathState& y, StageOutcome& out);

  BathModel& model_;
  const StageIntegration& settings_;
  double oxygenFlow_, startOxygen_;
  std::vector<PathSample>& path_;
  DenseStepper stepper_;
  bool criticalArmed_ = false;
  bool oxideArmed_ = true;  // false from the end of a ride on the crossing until the held lead is positive
  double nextGrid_ = 0;     // stage time of the next grid sample, min
};

double StageIntegrator::eventValue(Event e, const BathState& y) const {
  switch (e) {
    case Event::Target:
      return y[carbonKg] - *settings_.targetCarbonKg;
    case Event::Silicon:
      return y[siliconKg];
    case Event::Chromium:
      return y[chromiumKg];
    case Event::Critical:
      return model_.rates(y).excess;
    case Event::Oxide:
      return model_.crossing(y, model_.rates(y));
    case Event::Release: {
      const double share = model_.cr2o3Share(y, model_.rates(y));
      return std::min(share, 1 - share);
    }
    case Event::Count:
      break;
  }
  return 1;
}

bool StageIntegrator::armed(Event e) const {
  switch (e) {
    case Event::Target:
      return settings_.targetCarbonKg.has_value();
    case Event::Silicon:
      return model_.conditions().siliconLeft;
    case Event::Chromium:
      return true;
    case Event::Critical:
      return criticalArmed_;
    case Event::Oxide:
      return model_.conditions().heldOxide.has_value() && !model_.conditions().holdCrossing && oxideArmed_;
    case Event::Release:
      return model_.conditions().holdCrossing;
    case Event::Count:
      break;
  }
  return false;
}

// The first time in (from, to] at which the event has happened, on the dense output.
double StageIntegrator::locate(Event e, double from, double to) {
  BathState y;
  const auto f = [&](double t) {
    stepper_.calc_state(t, y);
    return eventValue(e, y);
  };
  const double fFrom = f(from), fTo = f(to);
  if (!(fFrom >= 0)) return from;
  if (fFrom == 0) {
    if (e != Event::Oxide) return from;
    // A held Cr2O3 at a tie (both equilibria at the range's floor) still
    // governs: the crossing is where the value first turns negative, found
    // by bisecting on its sign (toms748 would stop on the zero at `from`).
    double lo = from, hi = to;
    while (hi - lo > std::ldexp(hi, -eventBits)) {
      const double mid = lo + (hi - lo) / 2;
      if (!(mid > lo && mid < hi)) break;
      (f(mid) < 0 ? hi : lo) = mid;
    }
    return hi;
  }
  std::uintmax_t iterations = 200;
  const auto [lo, hi] = boost::math::tools::toms748_solve(
      f, from, to, fFrom, fTo, boost::math::tools::eps_tolerance<double>(eventBits), iterations);
  return f(lo) < 0 ? lo : hi;
}

void StageIntegrator::sample(double t, const BathState& y) {
  if (!settings_.tolerance.path) return;
  const BathRates r = model_.rates(y);
  const double mass = model_.conditions().bathMass;
  PathSample s;
  s.minutes = settings_.startMinutes + t;
  s.oxygen = startOxygen_ + oxygenFlow_ * t;
  s.carbon = 100 * y[carbonKg] / mass;
  s.chromium = 100 * y[chromiumKg] / mass;
  s.silicon = 100 * y[siliconKg] / mass;
  s.temperature = y[temperatureC];
  if (r.equilibrium) {
    s.equilibriumCarbon = r.equilibrium->carbon;
    s.oxide = r.equilibrium->oxide;
  }
  path_.push_back(s);
}

// The grid samples strictly before `until` (stage time, min) that are due.
void StageIntegrator::sampleGrid(double until) {
  if (!settings_.tolerance.path) return;
  BathState y;
  while (nextGrid_ < until) {
    stepper_.calc_state(nextGrid_, y);
    sample(nextGrid_, y);
    const double k = std::round((settings_.startMinutes + nextGrid_) / settings_.sampleStep) + 1;
    nextGrid_ = k * settings_.sampleStep - settings_.startMinutes;
  }
}

// Acts on an event at stage time t; true where the stage ends there.
bool StageIntegrator::handle(Event e, double t, BathState& y, StageOutcome& out) {
  switch (e) {
    case Event::Target:
      y[carbonKg] = *settings_.targetCarbonKg;
      out.end = StageEnd::TargetCarbon;
      return true;
    case Event::Chromium:
      out.end = StageEnd::ChromiumExhausted;
      return true;
    case Event::Silicon:
      y[siliconKg] = 0;
      model_.conditions().siliconLeft = false;
      break;
    case Event::Critical:
      out.criticalCarbon = 100 * y[carbonKg] / model_.conditions().bathMass;
      criticalArmed_ = false;
      break;
    case Event::Oxide: {  // the other reaction's equilibrium carbon has overtaken the held one's
      // Where each oxide's own burning leads back over the crossing, the
      // bath rides it (BathConditions::holdCrossing) instead of switching.
      BathConditions& c = model_.conditions();
      const BathRates r = model_.rates(y);
      // Only between two roots inside the range: at its foot the floor's
      // jump decides, and the lead is no smooth function there.
      const double own = r.equilibrium ? r.equilibrium->carbon : NAN, rival = own - model_.crossing(y, r);
      const bool inRange = own > scan::start && own < scan::end && rival > scan::start && rival < scan::end;
      const double share = inRange ? model_.cr2o3Share(y, r) : NAN;
      if (share > 0 && share < 1) {
        c.holdCrossing = true;
      } else {
        c.heldOxide = otherReaction(*c.heldOxide);
      }
      break;
    }
    case Event::Release: {  // one oxide's own burning now leads away from the crossing: it governs
      BathConditions& c = model_.conditions();
      // The share has just left (0, 1): below, past 0, burning to Cr3O4 leads away.
      c.heldOxide = model_.cr2o3Share(y, model_.rates(y)) < 0.5 ? Reaction::Cr3O4 : Reaction::Cr2O3;
      c.holdCrossing = false;
      // The ride kept the lead where it began, a rounding's width past the
      // crossing: the change of oxide is armed again once the lead of the
      // oxide left governing has grown positive, not on that width.
      oxideArmed_ = false;
      break;
    }
    case Event::Count:
      break;
  }
  sample(t, y);
  stepper_.initialize(y, t, std::max(stepper_.current_time_step(), firstStep * 1e-6));
  return false;
}

StageOutcome StageIntegrator::run(const BathState& start) {
  StageOutcome out;
  out.lowestTemperature = out.highestTemperature = start[temperatureC];
  const auto track = [&](const BathState& y) {
    out.lowestTemperature = std::min(out.lowestTemperature, y[temperatureC]);
    out.highestTemperature = std::max(out.highestTemperature, y[temperatureC]);
  };
  BathState y = start;
  const BathRates first = model_.rates(y);
  criticalArmed_ = first.supplyLimited;
  model_.conditions().heldOxide = first.equilibrium ? first.equilibrium->oxide : Reaction::Cr2O3;
  nextGrid_ =
      std::floor(settings_.startMinutes / settings_.sampleStep + 1) * settings_.sampleStep - settings_.startMinutes;
  sample(0, y);
  const auto system = [this](const BathState& x, BathState& dxdt, double) { model_.derivative(x, dxdt); };
  double t = 0;
  const double tEnd = settings_.maxMinutes;
  stepper_.initialize(y, 0.0, std::min(firstStep, std::max(tEnd, firstStep)));
  for (std::uintmax_t step = 0; t < tEnd; ++step) {
    if (step == maxSteps) return out.end = StageEnd::Failed, out;
    double reached;
    try {
      reached = std::min(stepper_.do_step(system).second, tEnd);
    } catch (const std::exception&) {
      return out.end = StageEnd::Failed, out;
    }
    stepper_.calc_state(reached, y);
    if (!(y[temperatureC] > bath::frozenCelsius)) return out.end = StageEnd::Frozen, out;
    // The earliest event in (t, reached].
    const BathRates atReached = model_.rates(y);
    std::optional<Event> fired;
    double when = reached;
    for (int i = 0; i < static_cast<int>(Event::Count); ++i) {
      const auto e = static_cast<Event>(i);
      if (!armed(e)) continue;  // before the value: some values take root solves
      const double value = e == Event::Critical ? atReached.excess
                           : e == Event::Oxide  ? model_.crossing(y, atReached)
                                                : eventValue(e, y);
      if (!(value < 0)) continue;
      const double at = locate(e, t, reached);
      if (!fired || at < when) fired = e, when = at;
    }
    sampleGrid(when);
    stepper_.calc_state(when, y);
    track(y);
    t = when;
    if (fired && handle(*fired, t, y, out)) break;
    const BathRates now = fired ? model_.rates(y) : atReached;
    if (!now.equilibrium) return out.end = StageEnd::NoEquilibrium, out;
    if (!oxideArmed_ && model_.crossing(y, now) > 0) oxideArmed_ = true;
  }
  out.state = y;
  out.minutes = t;
  if (t > 0) sample(t, y);  // a stage that blows nothing has its start only
  return out;
}

}  // namespace

StageOutcome integrateStage(BathModel& model, const BathState& start, const StageIntegration& settings,
                            double oxygenFlow, double startOxygen, std::vector<PathSample>& path) {
  StageIntegrator integrator(model, settings, oxygenFlow, startOxygen, path);
  return integrator.run(start);
}

}  // namespace velkarin

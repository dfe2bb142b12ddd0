// SPDX-License-Identifier: Apache-2.0
#pragma once

// The carbon scan walked trial by trial, the plain way: the reference that the
// fast scan (calc/carbon_scan.h) must match bit for bit, and the baseline of
// the benchmark. Written from the formulas on purpose, not from the core's
// free-energy classes, so that a slip in either shows up as a difference.
//
//   C* = 0.001 %C, n empty
//   while C* <= 5000:
//     ΔG* = G(C*)                        the reaction's formula, grouping as written
//     if 0 < ΔG* < 2 J/mol: hit, stop
//     n = n + 1 (empty counts as 0), C* = C* + 0.000001 (added to the running double)
//
// ln(p/101325) and ln Cr are the same in every trial and come in precomputed;
// everything else is evaluated afresh in each trial.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "calc/carbon_scan.h"
#include "calc/free_energy.h"
#include "calc/records.h"

namespace velkarin::reference {

// ΔG of 3[C] + Cr2O3 = 2[Cr] + 3CO at carbon content c (mass %), J/mol:
//   X = ((((((0.0714·Cr − 0.66·c) − 0.0356·Ni) + (3·ln(p/101325))·0.4343) + (2·ln Cr)·0.4343)
//         − (3·ln c)·0.4343) + (−0.2486·Si + 0.036·Mn))
//   ΔG = (A + B·T) + (19.147142·T)·X
double cr2o3TrialFreeEnergy(const FreeEnergyInputs& in, double c);

// ΔG of 3[C] + 3/4 Cr3O4 = 9/4 [Cr] + 3CO at carbon content c (mass %), J/mol:
//   lgfC = (((0.14·c − 0.024·Cr) + 0.012·Ni) − 0.012·Mn) + 0.08·Si
//   lgfCr = (((−0.0003·Cr) − 0.12·c) + 0.0002·Ni) − 0.0043·Si
//   P = (ln(p/101325)·3)·0.4343, Q = (ln Cr·2.25)·0.4343, W = (ln c·3)·0.4343
//   ΔG = (A + B·T) + (19.147142·T)·((((P + 2.25·lgfCr) + Q) − 3·lgfC) − W)
double cr3o4TrialFreeEnergy(const FreeEnergyInputs& in, double c);

double trialFreeEnergy(Reaction reaction, const FreeEnergyInputs& in, double c);

// The scan, trial by trial. With a trialLimit the walk stops before trial
// number trialLimit (counting from 0) as if the scan ended there: no hit,
// trialCarbon the next, unevaluated trial value, trialFreeEnergy the last
// evaluated ΔG, trialCount the trials walked. Without one it runs to 5000 %C
// (about 5·10^9 trials when nothing hits: minutes).
ScanResult plainCarbonScan(Reaction reaction, const FreeEnergyInputs& in,
                           std::int64_t trialLimit = std::numeric_limits<std::int64_t>::max());

// The same from A (J/mol), B (J/(mol·K)) and a melt state whose pressure and
// chromium content are positive.
ScanResult plainCarbonScan(Reaction reaction, double a, double b, const MeltState& state,
                           std::int64_t trialLimit = std::numeric_limits<std::int64_t>::max());

}  // namespace velkarin::reference

// SPDX-License-Identifier: Apache-2.0
// The usage text of velkarin-curve.
#include <string>

#include "cli/curve_command.h"

namespace velkarin {

std::string curveCommandUsage() {
  return R"(Usage: velkarin-curve [options]

Prints the equilibrium carbon content (mass %, the carbon content at which the
reaction's free-energy change is zero) against bath temperature, one column
per CO partial pressure, as tab-separated text with a header row.

Options (each as "--name value" or "--name=value"):
  --reaction cr2o3|cr3o4   reaction (default cr2o3)
  --a A                    A of dG0 = A + B*T, J/mol     (default: the reaction's first preset row)
  --b B                    B of dG0 = A + B*T, J/(mol*K) (default: the reaction's first preset row)
  --cr X                   [%Cr], mass %, > 0 (default 18)
  --ni X                   [%Ni], mass % (default 9)
  --si X                   [%Si], mass % (default 0)
  --mn X                   [%Mn], mass % (default 0)
  --pressures P1,P2,...    CO partial pressures, Pa, > 0, or gas ratios O2:inert such as 3:1
                           (default 101325,50000,25000,10000)
  --total-pressure P       total pressure over the bath for the gas ratios, Pa (default 101325)
  --co-share X             share of the oxygen that forms CO, 0 < X <= 1 (default 1);
                           a ratio r gives p_CO = P * 2Xr / (2Xr + 1)
  --other-a A, --other-b B A and B of the reaction not chosen, for the stages' governing oxide
                           (default: its first preset row)
  --stages FILE            print the stage table of a blow schedule instead (a CSV file with a
                           header row naming the columns gas, t and C, or the columns of the
                           diagram's saved stage table); both reactions, the one of --reaction
                           with --a/--b, the other with --other-a/--other-b. Rows before the
                           header of the form "#name,value" (the diagram writes them) give the
                           conditions the table was computed under: reaction, A, B, otherA,
                           otherB, composition/Cr, ..., target, heat/mass, ...; an option given
                           here overrides its row
  --plan FILE              the same for a plan saved by the diagram (FILE.velkarin): its stages
                           under its conditions; options given here override the plan's entries
  --target C               with --stages: the target carbon, mass %; adds the temperature and the
                           gas ratio at which each stage reaches it
  --ledger                 with --stages: print the blow ledger (oxygen, inert gas, carbon,
                           silicon and chromium burnt, the reduction) instead of the table;
                           the stage file's optional O2 column gives each stage's oxygen, Nm3
  --heat-mass W            with --ledger: the heat, t
  --start-carbon C         with --ledger: the charge carbon, mass %
  --o2-flow F              with --ledger: oxygen flow, Nm3/min, for the stage times
                           (with --simulate: the oxygen flow of every stage)
  --fesi-grade G           with --ledger: Si in the ferrosilicon, mass % (default 75)
  --basicity B             with --ledger: CaO/SiO2 of the slag (default 1.8)
  --simulate               with --stages: simulate the blow in time instead (one well-mixed
                           bath; columns gas, O2, C and optionally lime, scrap (kg, added at
                           the stage's start) and inert (Ar or N2); a stage blows its O2, or
                           where that is empty until [%C] reaches its C); needs --heat-mass,
                           --start-carbon, --start-temperature and --o2-flow; prints each
                           stage, the totals and the reduction with the tap temperature
  --trajectory             with --simulate: print the path instead (every 0.5 min and at
                           every event: time, O2, %C, %Cr, %Si, temperature, equilibrium %C
                           and the governing oxide)
  --start-temperature T    with --simulate: the bath at the start, deg C
  --rate-constant K        with --simulate: decarburisation rate constant, 1/min (default 0.30)
  --heat-loss L            with --simulate: heat loss, deg C/min (default 1.5)
  --slag-mass S            with --simulate: slag at the start, kg (default 0)
  --reduction-time T       with --simulate: minutes of the reduction, for the tap temperature
                           (default 5)
  --from T                 first bath temperature, deg C (default 1400)
  --to T                   last bath temperature, deg C (default 1900)
  --step T                 temperature step, deg C, > 0 (default 1)
  -h, --help               print this text
  --version                print the name and version

Numbers use the point as decimal separator. An empty cell means that no
carbon content between 0.001 and 5000 % is in equilibrium at that point; a
note on stderr counts such cells per curve. Each option may be given once.
A stage file holds at most 100000 stages and 64 MiB.

Exit status: 0 done; 1 the --stages or --plan file cannot be read, is no stage
table or plan (a column named twice), or one of its entries is not a valid
value; 2 bad options (message and this text on stderr), a --ledger heat option
among them whose figures would be beyond the number range; 3 standard output
cannot be written (a full disk, a closed descriptor, a broken pipe with SIGPIPE
ignored).
)";
}

}  // namespace velkarin

// SPDX-License-Identifier: Apache-2.0
#include "io/plant_heats_read.h"

#include <string_view>

#include "calc/calculation.h"
#include "calc/line_fit.h"
#include "io/heat_table.h"
#include "words/chinese.h"

namespace velkarin {

using namespace heat_table;

PlantHeatsRead readPlantHeats(ByteSource& input, const std::function<bool()>& keepGoing) {
  CsvReader reader(input);
  std::optional<Header> header;
  PlantHeatsRead read;
  try {
    header = readHeader(headerRecord(reader), true);
    // The heat's name: its "heat" column, else its "id" column.
    std::optional<std::size_t> idField;
    for (const std::string_view name : {"heat", "id"}) {
      for (std::size_t i = 0; i < header->record.fields.size() && !idField; ++i) {
        if (equalsIgnoringCase(trimBlanks(header->record.fields[i]), name)) idField = i;
      }
    }
    while (std::optional<CsvRecord> record = reader.next()) {
      if (keepGoing && !keepGoing()) {
        read.cancelled = true;
        break;
      }
      if (isBlankRecord(*record)) continue;
      const HeatRow row = readRow(*header, *record);
      PlantHeat heat;
      heat.line = record->line;
      heat.reaction = row.reaction;
      if (idField) heat.id = std::string(trimBlanks(record->fields[*idField]));
      const auto asked = askRow(*header, row);
      if (const auto* request = std::get_if<CalculationRequest>(&asked)) {
        heat.state = request->state;
        // A state the fit cannot take gets the calculation's own reason.
        if (!equilibriumLineValue(row.reaction, request->state)) {
          const CalculationOutcome outcome = computeEquilibrium(request->reaction, request->constants, request->state);
          heat.fault = outcome.fault ? chinese(*outcome.fault) : "C、Cr或CO分压不是正数，或温度不高于0 K";
          heat.fitted = false;
        }
      } else {
        const CalculationOutcome& outcome = std::get<CalculationOutcome>(asked);
        heat.fault = outcome.fault ? chinese(*outcome.fault) : "输入超出了数值范围";
        heat.fitted = false;
      }
      read.heats.push_back(std::move(heat));
    }
  } catch (const CsvError& error) {
    read.error = inputError(error, header);
    read.heats.clear();  // nothing half-read
  }
  return read;
}

}  // namespace velkarin

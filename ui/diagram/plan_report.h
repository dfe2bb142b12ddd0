// SPDX-License-Identifier: Apache-2.0
#pragma once

// The report of a plan for the shift: A4 pages with the time it was made,
// the plan's file name and note, the conditions (reaction, A, B, the other
// oxide's A and B, the composition, P, η, the target), the chart as vector
// graphics with its legend, the stage table, the blow ledger when the heat
// is filled in, and the program's version on every page.

#include <QDateTime>
#include <QString>
#include <optional>

class QPagedPaintDevice;
class QWidget;

namespace velkarin {

class EquilibriumDiagramWindow;
class PlanDocument;
class PlanSession;

// Paints the report of a plan and what its session computed onto `device`
// (its page size is set to A4); false when the device cannot be painted
// on. No window is needed: the chart is drawn for the page.
bool paintPlanReport(const PlanDocument& document, const PlanSession& session, QPagedPaintDevice& device,
                     const QDateTime& made);

// Writes the report as a PDF file, whole or not at all; the reason when it
// cannot (the old file is then unchanged).
std::optional<QString> writePlanReport(const PlanDocument& document, const PlanSession& session, const QString& path,
                                       const QDateTime& made = QDateTime::currentDateTime());
// The same for the plan a diagram shows.
std::optional<QString> writePlanReport(const EquilibriumDiagramWindow& diagram, const QString& path,
                                       const QDateTime& made = QDateTime::currentDateTime());

// 导出报告(PDF)…: asks for the file and writes it; a failure in a message box.
void askAndExportReport(EquilibriumDiagramWindow& diagram);
// 打印…: the print dialog, then the report on the chosen printer.
void printPlanReport(EquilibriumDiagramWindow& diagram);

}  // namespace velkarin

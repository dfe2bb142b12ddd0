// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium diagram's entries above the chart, as two rows: the
// reaction, a preset pair of A and B (or 自定义 for typed values), A, B, 两种
// 氧化物 and the plan's note; the composition [%Cr] [%Ni] [%Si] [%Mn], the
// CO pressures and gas ratios, the total pressure P and the CO share η.
// A view of the plan's entries: what is typed or picked is an edit of the
// document, and the entries follow the document (an undo, a plan opened).
//
// Controls: reaction, preset, A, B, bothOxides, note, Cr, Ni, Si, Mn,
// pressures, totalPressure, coShare.

#include <QWidget>

#include <cstddef>

#include "calc/equilibrium_curve.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;

namespace velkarin {

class EntryBindings;
class PlanDocument;

class EntriesBar : public QWidget {
  Q_OBJECT

 public:
  EntriesBar(PlanDocument& document, EntryBindings& bindings, QWidget* parent);

  // The reaction, its preset rows with the one A and B match, and the both
  // oxides box, as the plan has them.
  void showChoices();

 private:
  QHBoxLayout* createFirstRow();
  QHBoxLayout* createSecondRow();
  QLineEdit* addEdit(const char* name, const char* place);
  void fillPresets();
  void selectMatchingPreset();
  void pickPreset(int index);
  void switchReaction(int index);

  PlanDocument& document_;
  EntryBindings& bindings_;
  QComboBox* reaction_ = nullptr;
  QComboBox* preset_ = nullptr;
  QCheckBox* bothOxides_ = nullptr;
};

}  // namespace velkarin

// SPDX-License-Identifier: Apache-2.0
#pragma once

// The look of a calculation window as data: every control with its
// objectName, kind, geometry in pixels of the client area, tab index, font,
// colours and fixed text. CalculationWindow walks these rows; Form1 and Form2
// differ only in their tables.

#include <QtGui/qrgb.h>

#include <span>
#include <string_view>

#include "calc/records.h"
#include "calc/result_presentation.h"

namespace velkarin {

enum class ControlKind {
  Label,            // static text, never takes focus
  OutputBox,        // read-only box showing one result text of the calculation
  ConstantA,        // editable drop-down of the A presets, J/mol
  ConstantB,        // editable drop-down of the B presets, J/(mol·K)
  ResultList,       // one line per completed calculation
  CalculateButton,  // runs the calculation
  ExitButton,       // hides the window, contents kept
  ClearListButton,  // empties this window's result list
  Line,             // drawn straight line
};

enum class ControlFont {
  Window,    // the window's own font (Song, 9 pt)
  Song,      // "宋体" 14.25 pt
  SongBold,  // "宋体" 14.25 pt bold
};

// A colour entry of a row: platformColour keeps the style's colour.
inline constexpr QRgb platformColour = 0;  // fully transparent: never a real control colour here

inline constexpr int noTabIndex = -1;

struct ControlRow {
  std::string_view name;  // objectName: "Combo1", "Text3", …
  ControlKind kind;
  // Pixels from the top left of the client area. A Line runs horizontally
  // from (x, y) to (x + width, y) and `height` is its pen width, centred on y.
  int x;
  int y;
  int width;
  int height;
  int tabIndex;  // ascending order of keyboard focus; noTabIndex for a line
  ControlFont font;
  QRgb foreground;                                        // text colour (a line's colour)
  QRgb background;                                        // fill colour
  std::string_view text;                                  // UTF-8 caption of a label or button; empty for others
  ResultText shows = ResultText::EquilibriumTemperature;  // an OutputBox's quantity; unused by other kinds
};

struct WindowLayout {
  std::string_view name;     // objectName of the window: "Form1" / "Form2"
  std::string_view caption;  // title bar text
  Reaction reaction;         // the calculation Command1 runs
  int clientWidth;           // px
  int clientHeight;          // px
  // Rows both windows share, and rows of this window alone. Together they
  // hold every control once.
  std::span<const ControlRow> shared;
  std::span<const ControlRow> own;
};

const WindowLayout& windowLayout(Reaction reaction);

}  // namespace velkarin

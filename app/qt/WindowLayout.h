#pragma once
// Where each control of the main window sits, and its label if it has one.

#include <QRect>
#include <span>

#include "app/Platform.h"

namespace torvane {

struct Placement {
  Control control;
  QRect box;
  QRect label;  // empty when the control's caption is its own text
};

std::span<const Placement> WindowPlacements();
const Placement& PlacementOf(Control control);
// The emblem: 101 x 101 pixels at the lower right.
QRect EmblemBox();
// Thin lines that set the window's groups of controls apart.
std::span<const QRect> SeparatorLines();

}  // namespace torvane

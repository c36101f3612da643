#pragma once
// What each control of the main window shows when the window is created:
// its label or caption, its starting text or selection, and its hint.

#include <span>
#include <string_view>

#include "app/Platform.h"

namespace torvane {

enum class ControlKind { kEdit, kButton, kCombo, kCheckBox, kProgressBar, kImage };

struct ControlDefault {
  Control control;
  std::string_view name;   // the control's name, as the window's objects are named
  ControlKind kind;
  std::string_view label;  // label or caption shown with it
  std::string_view text;   // starting text of an edit field
  int item_index;          // starting selection of a combo box (-1 for others)
  std::string_view hint;
};

// One entry per control, in the order of the Control enumeration.
std::span<const ControlDefault> ControlDefaults();
const ControlDefault& DefaultOf(Control control);

// SaveDialog2, the dialog of the two picture save buttons, as the window
// creates it.
FileDialogState PictureSaveDialog();

// The column letters "A" to "Z" of the four column lists.
inline constexpr int kColumnLetters = 26;

// The entries of a list: "A" to "Z" for the four column lists, "CBA" for
// cb1, "TORVANE" for cb2; none for a control that is not a list.
std::span<const std::string_view> ItemsOf(Control control);

}  // namespace torvane

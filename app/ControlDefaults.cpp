#include "app/ControlDefaults.h"

#include <array>

namespace torvane {
namespace {

using K = ControlKind;
using C = Control;

constexpr std::array<ControlDefault, kControlCount> kDefaults{{
    {C::txt_in, "txt_in", K::kEdit, "Name of input file [dat,xyz] ", "", -1,
     "Data must contain x, y, h, cba"},
    {C::btn_in, "btn_in", K::kButton, "...", "", -1, ""},
    {C::cmb_gx, "cmb_gx", K::kCombo, "X coordinate", "", 0, ""},
    {C::cmb_gy, "cmb_gy", K::kCombo, "Y coordinate", "", 1, ""},
    {C::cmb_point, "cmb_point", K::kCombo, "Point ", "", 2, ""},
    {C::cmb_uba, "cmb_uba", K::kCombo, "CBA", "", 4, ""},
    {C::chb_grd, "chb_grd", K::kCheckBox, "Use grid", "", -1,
     "If checked then use grid CBA for calc for defined number of points"},
    {C::txt_grd, "txt_grd", K::kEdit, "Grid CBA (*.grd)", "", -1,
     "Grid must have the same coordinate system as input data!"},
    {C::btn_grd, "btn_grd", K::kButton, "...", "", -1, ""},
    {C::txt_n, "txt_n", K::kEdit, "Number of points along radius for grid CBA", "360", -1, ""},
    {C::chb_interpol, "chb_interpol", K::kCheckBox, "Use interpolated CBA for point of calc", "",
     -1, ""},
    {C::txt_out, "txt_out", K::kEdit, "Name of output file [.dat,.xyz] ", "", -1, ""},
    {C::btn_out, "btn_out", K::kButton, "...", "", -1, ""},
    {C::txt_rfs, "txt_rfs", K::kEdit, "Radius for search [m]", "0", -1,
     "Search radius for point of calculation"},
    {C::txt_rfa, "txt_rfa", K::kEdit, "+-Depth arround radius [m]", "0", -1, ""},
    {C::ProgressBar1, "ProgressBar1", K::kProgressBar, "Calc progress", "", -1, ""},
    {C::cb_preview, "cb_preview", K::kCheckBox, "Preview grids", "", -1,
     "If checked then calc and show grids for selected variables."},
    {C::txt_nearest, "txt_nearest", K::kEdit, "Radius for gridding [m]", "0", -1,
     "If 0 then radius for gridding  is equal to radius for search"},
    {C::btn_calc, "btn_calc", K::kButton, "&Calc", "", -1,
     "Calc gradients and save results to output file."},
    {C::btn_exit, "btn_exit", K::kButton, "&Exit", "", -1, "Save setting and Exit program."},
    {C::btn_stop, "btn_stop", K::kButton, "&Stop", "", -1, ""},
    {C::cb1, "cb1", K::kCombo, "", "", 0, "Select variable for gridding."},
    {C::cb2, "cb2", K::kCombo, "", "", 0, "Select variable for gridding."},
    {C::img_uba, "img_uba", K::kImage, "", "", -1, ""},
    {C::img_regta, "img_regta", K::kImage, "", "", -1, ""},
    {C::btn_save1, "btn_save1", K::kButton, "&Save", "", -1, "Save grid as bitmap."},
    {C::btn_save2, "btn_save2", K::kButton, "S&ave", "", -1, "Save grid as bitmap."},
}};

constexpr bool InEnumOrder() {
  for (int i = 0; i < kControlCount; ++i) {
    if (static_cast<int>(kDefaults[static_cast<std::size_t>(i)].control) != i) return false;
  }
  return true;
}
static_assert(InEnumOrder(), "one entry per control, in enumeration order");

}  // namespace

std::span<const ControlDefault> ControlDefaults() { return kDefaults; }

const ControlDefault& DefaultOf(Control control) {
  return kDefaults[static_cast<std::size_t>(control)];
}

FileDialogState PictureSaveDialog() {
  return {"", "Windows bitmap (*.bmp)|*.bmp|Jpeg files (*.jpg)|*.jpg", "bmp", 1};
}

std::span<const std::string_view> ItemsOf(Control control) {
  static constexpr std::array<std::string_view, kColumnLetters> kLetters{
      "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
      "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
  static constexpr std::array<std::string_view, 1> kFirstPreview{"CBA"};
  static constexpr std::array<std::string_view, 1> kSecondPreview{"TORVANE"};
  switch (control) {
    case Control::cmb_gx:
    case Control::cmb_gy:
    case Control::cmb_point:
    case Control::cmb_uba:
      return kLetters;
    case Control::cb1:
      return kFirstPreview;
    case Control::cb2:
      return kSecondPreview;
    default:
      return {};
  }
}

}  // namespace torvane

// The three "..." buttons beside the file names, and the grid mode switch.

#include "app/FileChoosers.h"

#include "app/Hvw.h"

namespace torvane {
namespace {

// Every kind of file the readers take comes first; the single kinds follow.
constexpr std::string_view kInputFilter =
    "Survey files (*.dat *.csv *.txt *.xyz)|*.dat;*.csv;*.txt;*.xyz|"
    "Surfer dat files (*.dat)|*.dat|All files (*.*)|*.*";
constexpr std::string_view kGridFilter =
    "Grid files (*.grd *.asc *.tif *.tiff *.nc)|*.grd;*.asc;*.tif;*.tiff;*.nc|"
    "Surfer or Geosoft DOS grid (*.grd)|*.grd|All files (*.*)|*.*";
constexpr std::string_view kOutputFilter =
    "Surfer DAT files (*.dat)|*.dat|Geosoft XYZ files (*.xyz)|*.xyz|All files (*.*)|*.*";

// Shows `dialog` preset with the field's text; on OK puts the chosen path
// into the field and answers true.
bool ChooseInto(Platform& platform, FileDialog dialog, FileDialogState& state, Control field) {
  state.file_name = platform.Text(field);
  if (!platform.ExecuteFileDialog(dialog, state)) return false;
  platform.SetText(field, state.file_name);
  return true;
}

}  // namespace

std::string ProposedOutputName(std::string_view path, std::string_view ending) {
  const std::size_t dot = path.find_last_of('.');
  const bool has_extension =
      dot != std::string_view::npos && path.find_first_of("\\/:", dot) == std::string_view::npos;
  return std::string(has_extension ? path.substr(0, dot) : path) + std::string(ending);
}

void ProposeOutputWhileTyping(Platform& platform, std::string_view before, std::string_view now,
                              std::string_view ending) {
  const std::string output = platform.Text(Control::txt_out);
  if (!output.empty() && (before.empty() || output != ProposedOutputName(before, ending))) return;
  platform.SetText(Control::txt_out, now.empty() ? std::string() : ProposedOutputName(now, ending));
}

void TfrmMain::btn_inClick() {
  open_dialog1_.filter = kInputFilter;
  open_dialog1_.default_extension = "dat";
  if (!ChooseInto(platform_, FileDialog::OpenDialog1, open_dialog1_, Control::txt_in)) return;
  platform_.SetText(Control::txt_out, ProposedOutputName(open_dialog1_.file_name, table_ending_));
}

void TfrmMain::btn_grdClick() {
  open_dialog1_.filter = kGridFilter;
  open_dialog1_.default_extension = "grd";
  ChooseInto(platform_, FileDialog::OpenDialog1, open_dialog1_, Control::txt_grd);
}

// The open dialog starts from its first filter after the output chooser has
// been used; the save dialog keeps the filter chosen last.
void TfrmMain::btn_outClick() {
  open_dialog1_.filter_index = 1;
  save_dialog1_.filter = kOutputFilter;
  save_dialog1_.default_extension = "dat";
  ChooseInto(platform_, FileDialog::SaveDialog1, save_dialog1_, Control::txt_out);
}

// In grid mode the ring comes from the grid: the band has no use and its
// field is hidden (its label and value stay).
void TfrmMain::chb_grdClick() {
  platform_.SetVisible(Control::txt_rfa, !platform_.Checked(Control::chb_grd));
}

}  // namespace torvane

#pragma once
// TfrmMain: the main window's logic. It owns the data of a run (its
// request, built from the controls, its result, the two pictures and the flags)
// and reaches the controls only through the Platform, so the same handlers
// serve the Qt window, the batch command and the tests.

#include <string>
#include <vector>

#include "app/Platform.h"
#include "app/SettingsRecord.h"
#include "common/RgbCanvas.h"
#include "preview/GridPreview.h"
#include "preview/PreviewFiles.h"
#include "run/Run.h"

namespace torvane {

class TfrmMain {
 public:
  explicit TfrmMain(Platform& platform);

  // Calc: checks the fields in order, takes the run's parameters and runs.
  void btn_calcClick();
  // Stop: only raises StopRequested.
  void btn_stopClick();
  // The check made when the user leaves txt_rfs, txt_rfa or txt_nearest:
  // a number greater than 0. True when the field passed.
  bool CheckNumber(Control field);
  // The run Calc makes: the controls fill its fields when Calc passes its
  // checks; the fields no control holds (columns by name, CSV separator,
  // CRS, ring quality, blanking, the grid's memory limit) are set here and
  // kept from run to run.
  RunRequest& Request() { return request_; }
  const RunRequest& Request() const { return request_; }
  // The column of the stations' height (zero-based) where the CBA list holds
  // absolute gravity (Request().stations.gravity_reduction); no list shows it.
  void set_height_column(int column) { height_column_ = column; }
  // How the input chooser ends the table name it proposes: "_torvane.dat",
  // or "_torvane.csv" where tables are written as CSV.
  void set_table_ending(std::string ending) { table_ending_ = std::move(ending); }
  const std::string& TableEnding() const { return table_ending_; }

  // The variable lists above the pictures: grid the chosen value again and
  // paint it, when "Preview grids" is ticked and a run has computed results.
  void cb1Change();
  void cb2Change();
  // The save buttons under the pictures: ask for a file through SaveDialog2
  // and save the picture as a bitmap or JPEG, as the chosen filter says.
  void btn_save1Click();
  void btn_save2Click();
  // Saves the picture img_uba or img_regta shows. False when the file could
  // not be written; the user has then been told.
  bool SavePicture(Control image, const std::string& file_name, PictureFormat format);
  // The settings file: read into the controls when the window is created,
  // written from them when it closes. FormClose answers false, and does
  // nothing, while a run is in progress: the window must stay open then.
  void ReadCfg();
  bool FormClose();
  // Exit: closes the window, which runs FormClose.
  void btn_exitClick();
  // Reads and writes this settings file instead of the one beside the program.
  void UseSettingsFile(std::string path) { settings_path_ = std::move(path); }
  std::string SettingsPath();

  // The three "..." file choosers and the grid mode switch.
  void btn_inClick();
  void btn_grdClick();
  void btn_outClick();
  void chb_grdClick();

  bool ResultsReady() const { return result_.completed; }
  // The last Calc stopped at its checks, before anything ran.
  bool CalcRefused() const { return calc_refused_; }
  // The points of the last completed run whose ring held no value (N = 0).
  int EmptyRings() const { return result_.rings.empty_rings; }
  bool StopRequested() const { return stop_requested_; }
  // The last run was ended by Stop during its computation.
  bool Stopped() const { return stopped_; }
  // A run, or a preview gridding started by a list, is in progress.
  bool Running() const { return result_.busy; }
  // What the last run gave: its points, rings and cluster.
  const RunResult& Result() const { return result_; }
  RunResult& Result() { return result_; }
  const PointSet& Points() const { return result_.points; }
  const NeighbourCluster& Cluster() const { return result_.cluster; }
  // Builds the cell index the previews and maps grid the points with, once a
  // run has read them; false when it would not fit in memory (the user has
  // been told, once a run).
  bool EnsureCluster() { return torvane::EnsureCluster(platform_, request_, result_); }
  // The last run skipped its previews: their cells would not fit in memory.
  bool PreviewsSkipped() const { return result_.cluster_refused; }
  // Every point's N in the last run's table, in point order.
  const std::vector<std::int32_t>& RingCounts() const { return result_.rings.ring_counts; }
  // Every point's ring quality in the last run, when it was asked for (or
  // gathered since by EnsureRingQualities); empty otherwise.
  const std::vector<RingQuality>& RingQualities() const { return result_.rings.qualities; }
  bool EnsureRingQualities() {
    return torvane::EnsureRingQualities(platform_, request_, result_);
  }

 private:
  bool TakeParameters();
  bool ReadNumber(Control field, double& value);
  void SetRunningButtons(bool running);
  void RunCalculation();
  void ClearPictures();
  // `first_slot`: the value a list's first entry grids (RunPreview.h).
  bool RunPreviewStep(Control list, int first_slot, Control image);
  void RegridPreview(Control list, int first_slot, Control image);
  PreviewOutcome GridPicture(Control list, int first_slot);
  void PaintPicture(Control image);
  void SavePictureAs(Control list, Control image);
  RgbCanvas& PictureOf(Control image);

  Platform& platform_;
  RunRequest request_;
  RunResult result_;
  RgbCanvas left_picture_;   // img_uba
  RgbCanvas right_picture_;  // img_regta
  PreviewState preview_;
  FileDialogState save_dialog2_;
  bool stop_requested_ = false;
  bool stopped_ = false;
  bool calc_refused_ = false;

  SettingsRecord settings_;
  std::string settings_path_;     // empty: the one beside the program
  FileDialogState open_dialog1_;  // shared by the point file and grid choosers
  FileDialogState save_dialog1_;  // the output table's
  std::string table_ending_ = "_torvane.dat";
  int height_column_ = -1;
};

}  // namespace torvane

#pragma once
// TfrmMain: the main window's logic. It owns the data of a run (its
// parameters, the points and their cluster, the two pictures and the flags)
// and reaches the controls only through the Platform, so the same handlers
// serve the Qt window, the batch command and the tests.

#include <string>
#include <vector>

#include "app/RunParameters.h"
#include "app/SettingsRecord.h"
#include "app/Platform.h"
#include "common/RgbCanvas.h"
#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "preview/GridPreview.h"
#include "preview/PreviewFiles.h"

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
  // Caps the memory a grid's nodes may take (no control sets it).
  void set_grid_memory_limit(std::uint64_t bytes) { parameters_.grid_memory_limit = bytes; }
  // Picks the point file's columns by the names of its header row (or by
  // letter) instead of the four lists; reads CSV numbers with ',' (in files
  // separated by ';'); and names the points' coordinate reference system and
  // the computation's (no control sets any of them).
  void set_column_names(const ColumnNames& names) { parameters_.column_names = names; }
  void set_csv_decimal_separator(char separator) { parameters_.csv_decimal_separator = separator; }
  void set_coordinate_systems(const SurveyCrs& crs) { parameters_.crs = crs; }
  // Adds the ring quality columns to the table, and leaves points whose
  // ring falls short without a residual (no control sets them).
  void set_ring_quality(bool on) { parameters_.ring_quality = on; }
  void set_blanking(const RingBlanking& blanking) { parameters_.blanking = blanking; }
  // Reads absolute gravity from the CBA column and the height from
  // `height_column` (or column_names[4]), and reduces them to the simple
  // Bouguer anomaly the rings take; nothing: the CBA column holds the anomaly.
  void set_gravity_reduction(const std::optional<GravityReduction>& reduction,
                             int height_column = -1) {
    parameters_.gravity_reduction = reduction;
    parameters_.height_column = height_column;
  }
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
  // Whether a file the window is about to export (a picture, a map, a grid)
  // is the point file, the grid file (in grid mode) or the table under any
  // name; shows the refusal, naming both, when it is. Every export of the
  // window asks this before it writes.
  bool ExportClashes(const std::string& file_name);
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

  bool ResultsReady() const { return results_ready_; }
  // The last Calc stopped at its checks, before anything ran.
  bool CalcRefused() const { return calc_refused_; }
  // The points of the last completed run whose ring held no value (N = 0).
  int EmptyRings() const { return empty_rings_; }
  bool StopRequested() const { return stop_requested_; }
  // The last run was ended by Stop during its computation.
  bool Stopped() const { return stopped_; }
  // A run, or a preview gridding started by a list, is in progress.
  bool Running() const { return running_; }
  const RunParameters& Parameters() const { return parameters_; }
  const PointSet& Points() const { return points_; }
  const NeighbourCluster& Cluster() const { return cluster_; }
  // Builds the cell index the previews and maps grid the points with, once a
  // run has read them; false when it would not fit in memory (the user has
  // been told, once a run).
  bool EnsureCluster();
  // The last run skipped its previews: their cells would not fit in memory.
  bool PreviewsSkipped() const { return cluster_refused_; }
  // Every point's N in the last run's table, in point order.
  const std::vector<std::int32_t>& RingCounts() const { return ring_counts_; }
  // Every point's ring quality in the last run, when it was asked for (or
  // gathered since by EnsureRingQualities); empty otherwise.
  const std::vector<RingQuality>& RingQualities() const { return ring_qualities_; }
  // Gathers the last run's ring quality when the run did not, over the same
  // rings (the grid of a grid-mode run is read again); the run's residuals
  // and table stay as they are. False when there are no results, during a
  // run, or when the grid could not be read again (the user has been told).
  bool EnsureRingQualities();

 private:
  bool TakeParameters();
  bool ReadNumber(Control field, double& value);
  void SetRunningButtons(bool running);
  void RunCalculation();
  bool RunComputation();
  void WarnIfEveryRingEmpty();
  void WarnIfAnomalyLooksAbsolute();
  bool ReduceAbsoluteGravity();
  void ClearPictures();
  // The value a list's first entry grids: the cba of the points for cb1, the
  // residual for cb2 (their places in a SurveyPoint).
  static constexpr int kFirstCbaSlot = 4;
  static constexpr int kFirstResidualSlot = 5;
  bool RunPreviewStep(Control list, int first_slot, Control image);
  void RegridPreview(Control list, int first_slot, Control image);
  PreviewOutcome GridPicture(Control list, int first_slot);
  void PaintPicture(Control image);
  void SavePictureAs(Control list, Control image);
  RgbCanvas& PictureOf(Control image);

  Platform& platform_;
  RunParameters parameters_;
  PointSet points_;
  NeighbourCluster cluster_;  // built for the first preview a run draws
  bool cluster_refused_ = false;  // too big for memory: this run draws no preview
  std::vector<std::int32_t> ring_counts_;  // every point's N in the last run
  std::vector<RingQuality> ring_qualities_;
  RgbCanvas left_picture_;   // img_uba
  RgbCanvas right_picture_;  // img_regta
  PreviewState preview_;
  FileDialogState save_dialog2_;
  bool stop_requested_ = false;
  bool stopped_ = false;
  bool results_ready_ = false;
  bool calc_refused_ = false;
  int empty_rings_ = 0;
  bool running_ = false;

  SettingsRecord settings_;
  std::string settings_path_;     // empty: the one beside the program
  FileDialogState open_dialog1_;  // shared by the point file and grid choosers
  FileDialogState save_dialog1_;  // the output table's
  std::string table_ending_ = "_torvane.dat";
};

}  // namespace torvane

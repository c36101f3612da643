#pragma once
// TfrmMain: the main window's logic. It owns the data of a run (its
// parameters, the points and their cluster, the two pictures and the flags)
// and reaches the controls only through the Platform, so the same handlers
// serve the Qt window, the batch command and the tests.

#include "app/RunParameters.h"
#include "common/Platform.h"
#include "common/RgbCanvas.h"
#include "points/NeighbourCluster.h"
#include "points/PointSet.h"

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

  bool ResultsReady() const { return results_ready_; }
  bool StopRequested() const { return stop_requested_; }
  bool Running() const { return running_; }
  const RunParameters& Parameters() const { return parameters_; }
  const PointSet& Points() const { return points_; }
  const NeighbourCluster& Cluster() const { return cluster_; }

 private:
  bool TakeParameters();
  bool ReadNumber(Control field, double& value);
  void SetRunningButtons(bool running);
  void RunCalculation();
  bool RunComputation();
  void ClearPictures();

  Platform& platform_;
  RunParameters parameters_;
  PointSet points_;
  NeighbourCluster cluster_;
  RgbCanvas left_picture_;   // img_uba
  RgbCanvas right_picture_;  // img_regta
  bool stop_requested_ = false;
  bool results_ready_ = false;
  bool running_ = false;
};

}  // namespace torvane

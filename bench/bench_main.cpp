// torvane-bench STAGE FILE [REPEATS]: times one stage of Torvane on a file,
// REPEATS times (default 5), and prints the median in seconds and MB/s.
//
//   read-points FILE   reads a point file (columns A,B,C,E) into memory
//   read-grid FILE     loads a grid file (any format Load reads) into memory
//   grid-residual FILE REPEATS R [N]
//                      the ring residual of every node of a grid file (read
//                      once, not timed), radius R, N ring points (360)

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MemoryPlatform.h"
#include "grid/Gridimport.h"
#include "grid/ReadGridValues.h"
#include "residual/GridResidual.h"
#include "points/NeighbourCluster.h"
#include "points/PointFileReader.h"
#include "preview/MapRenderer.h"

namespace {

double MedianSeconds(int repeats, const std::function<bool()>& stage) {
  std::vector<double> seconds;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!stage()) {
      std::fprintf(stderr, "torvane-bench: the stage failed\n");
      std::exit(1);
    }
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: torvane-bench read-points|read-grid|grid-residual FILE [REPEATS] [R [N]]\n");
    return 2;
  }
  const std::string stage = argv[1];
  const std::string path = argv[2];
  const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  torvane::MemoryPlatform platform('.');
  double seconds = 0;
  if (stage == "read-points") {
    torvane::PointSet points;
    seconds = MedianSeconds(repeats, [&] {
      return torvane::ReadPointFile(platform, path, torvane::PointColumns{}, points);
    });
  } else if (stage == "read-grid") {
    seconds = MedianSeconds(repeats, [&] {
      torvane::TGridImport grid(platform);
      return grid.Load(path) && grid.in_memory();
    });
  } else if (stage == "grid-residual" && argc > 4) {
    torvane::GridValues in;
    if (!torvane::ReadGridValues(platform, path, in)) return 1;
    const torvane::GridResidualRing ring{std::atof(argv[4]), argc > 5 ? std::atoi(argv[5]) : 360,
                                         1};
    torvane::GridValues out;
    const std::clock_t cpu = std::clock();
    seconds = MedianSeconds(repeats, [&] { return torvane::ComputeGridResidual(in, ring, out); });
    std::printf("cpu %.4f s per run\n",
                static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / repeats);
  } else if (stage == "map") {
    constexpr double kRadius = 1000;
    torvane::PointSet points;
    torvane::NeighbourCluster cluster;
    if (!torvane::ReadPointFile(platform, path, torvane::PointColumns{}, points) ||
        !torvane::BuildNeighbourCluster(platform, points, kRadius, cluster)) {
      return 1;
    }
    const std::string picture =
        (std::filesystem::temp_directory_path() / "torvane-bench-map.png").string();
    const std::clock_t cpu_start = std::clock();
    seconds = MedianSeconds(repeats, [&] {
      torvane::MapSurface surface;
      if (!torvane::GridMapSurface(platform, points, cluster, kRadius, &torvane::SurveyPoint::cba,
                                   kRadius / 5, kRadius, {torvane::Gridder::kInverseDistance}, surface)) {
        return false;
      }
      torvane::MapScene scene;
      scene.surface = &surface;
      scene.title = "CBA";
      return torvane::SaveMap(platform, picture, torvane::MapFormat::kPng, scene,
                              torvane::FullView(scene), 1200, 900);
    });
    std::printf("map: processor time %.4f s a map (all threads)\n",
                static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC / repeats);
    std::filesystem::remove(picture);
    const std::clock_t gridding_start = std::clock();
    const double gridding = MedianSeconds(repeats, [&] {
      torvane::MapSurface surface;
      return torvane::GridMapSurface(platform, points, cluster, kRadius,
                                     &torvane::SurveyPoint::cba, kRadius / 5, kRadius, {torvane::Gridder::kInverseDistance}, surface);
    });
    std::printf("map: gridding alone %.4f s, processor time %.4f s\n", gridding,
                static_cast<double>(std::clock() - gridding_start) / CLOCKS_PER_SEC / repeats);
    // Drawing in memory: the map without encoding and writing the file.
    torvane::MapSurface surface;
    torvane::GridMapSurface(platform, points, cluster, kRadius, &torvane::SurveyPoint::cba,
                            kRadius / 5, kRadius, {torvane::Gridder::kInverseDistance}, surface);
    torvane::MapScene scene;
    scene.surface = &surface;
    const double drawing = MedianSeconds(repeats, [&] {
      return !torvane::RenderMapImage(scene, torvane::FullView(scene), 1200, 900).argb.empty();
    });
    std::printf("map: drawing alone (in memory) %.4f s\n", drawing);
  } else if (stage == "map-curvature") {
    // The map's default: curvature splines in tension on the default cell,
    // then the map drawn and written as PNG; the same stations and region
    // as torvane-bench map.
    torvane::PointSet points;
    torvane::NeighbourCluster cluster;
    if (!torvane::ReadPointFile(platform, path, torvane::PointColumns{}, points) ||
        !torvane::BuildNeighbourCluster(platform, points, 1000, cluster)) {
      return 1;
    }
    std::vector<double> x, y;
    for (const torvane::SurveyPoint& p : points.points) {
      x.push_back(p.x);
      y.push_back(p.y);
    }
    const double cell = torvane::DefaultStationCell(x, y);
    torvane::MapSurface surface;
    const std::clock_t cpu_start = std::clock();
    const double gridding = MedianSeconds(repeats, [&] {
      return torvane::GridMapSurface(platform, points, cluster, 1000, &torvane::SurveyPoint::cba,
                                     cell, 1000, torvane::GriddingOptions(), surface);
    });
    std::printf("map-curvature: cell %g m, %d x %d nodes, region %.3f %.3f %.3f %.3f\n", cell,
                surface.nx, surface.ny, surface.x0 - points.shift_x, surface.x_max() - points.shift_x,
                surface.y0 - points.shift_y, surface.y_max() - points.shift_y);
    std::printf("map-curvature: gridding %.4f s, processor time %.4f s\n", gridding,
                static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC / repeats);
    const std::string picture =
        (std::filesystem::temp_directory_path() / "torvane-bench-map.png").string();
    torvane::MapScene scene;
    scene.surface = &surface;
    scene.quantity = torvane::MapQuantity::kCba;
    seconds = MedianSeconds(repeats, [&] {
      return torvane::SaveMap(platform, picture, torvane::MapFormat::kPng, scene,
                              torvane::FullView(scene), 1200, 900);
    });
    std::printf("map-curvature: drawing and writing the PNG %.4f s\n", seconds);
    std::filesystem::remove(picture);
    seconds += gridding;
  } else {
    std::fprintf(stderr, "torvane-bench: unknown stage %s\n", stage.c_str());
    return 2;
  }
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::printf("%s %.4f s %.0f MB/s\n", stage.c_str(), seconds, megabytes / seconds);
  return 0;
}

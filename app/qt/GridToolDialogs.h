#pragma once
// The grid tools of the Tools menu, as dialogs over the same calls as the
// command's subcommands (convert, grid-residual, map): each reads the grid
// on a worker thread, writes what was asked for, and shows the result in a
// map window.

#include <QWidget>
#include <memory>
#include <string>

#include "preview/MapRenderer.h"
#include "preview/MapSurface.h"

class QLabel;

namespace torvane {

class MapCanvas;
class QtPlatform;

// A grid file drawn as a map: zoom, pan, the value under the cursor, Save.
// `scene` names the map (title, CRS, degrees); it draws `surface`.
class GridMapWindow : public QWidget {
 public:
  GridMapWindow(QWidget* parent, QtPlatform& platform, MapSurface surface, MapScene scene);
  MapCanvas* canvas() const { return canvas_; }
  const MapScene& scene() const { return scene_; }

 private:
  QtPlatform& platform_;
  MapSurface surface_;
  MapScene scene_;
  MapCanvas* canvas_;
  QLabel* status_;
};

// Reads `path` and opens its map window, named as `torvane-cli map` names
// it (NameGridMap: `title`, the grid's CRS, `geographic`); null when it
// could not be read (the user has been told).
GridMapWindow* ShowGridMap(QWidget* parent, QtPlatform& platform, const std::string& path,
                           const std::string& title = {}, bool geographic = false);

void OpenConvertDialog(QWidget* parent, QtPlatform& platform);
void OpenGridResidualDialog(QWidget* parent, QtPlatform& platform);
void OpenGridMapDialog(QWidget* parent, QtPlatform& platform);

}  // namespace torvane

#pragma once
// The main window's widgets: every named control of the window (its object
// name is the control's name), the labels beside them, the two picture boxes
// and the emblem. It holds no logic: the handlers are connected to it from
// outside, and QtPlatform reaches the controls through Widget().

#include <QWidget>
#include <array>
#include <functional>

#include "app/Platform.h"

class QLabel;

namespace torvane {

class MainWindow : public QWidget {
 public:
  // The window's client area, fixed.
  static constexpr int kWidth = 569;
  static constexpr int kHeight = 460;

  MainWindow();

  QWidget* Widget(Control control) const { return controls_[static_cast<std::size_t>(control)]; }
  template <typename W>
  W* As(Control control) const {
    return static_cast<W*>(Widget(control));
  }

  // Asked when the window is about to close; false keeps it open.
  void SetCloseHandler(std::function<bool()> handler) { close_handler_ = std::move(handler); }

  void CentreOnScreen();

  // Asks the close handler; when it agrees, closes the windows of the
  // dialog's own (the map) and answers true. The window that holds the
  // dialog calls this when it is closed.
  bool RequestClose();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  QLabel* CreateEmblem();

  std::array<QWidget*, kControlCount> controls_{};
  std::function<bool()> close_handler_;
};

}  // namespace torvane

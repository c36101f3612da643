#include "app/qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "app/ControlDefaults.h"
#include "app/qt/ColumnList.h"
#include "app/qt/WindowLayout.h"

namespace torvane {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* CreateControl(const ControlDefault& d, QWidget* parent) {
  switch (d.kind) {
    case ControlKind::kEdit:
      return new QLineEdit(ToQString(d.text), parent);
    case ControlKind::kButton:
      return new QPushButton(ToQString(d.label), parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(ToQString(d.label), parent);
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      return bar;
    }
    case ControlKind::kCombo: {
      const bool column = d.control == Control::cmb_gx || d.control == Control::cmb_gy ||
                          d.control == Control::cmb_point || d.control == Control::cmb_uba;
      auto* list = column ? new ColumnList(parent) : new QComboBox(parent);
      for (const std::string_view item : ItemsOf(d.control)) list->addItem(ToQString(item));
      list->setCurrentIndex(d.item_index);
      return list;
    }
    case ControlKind::kImage: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return picture;
    }
  }
  return nullptr;
}

}  // namespace

MainWindow::MainWindow() {
  setObjectName("frmMain");
  setWindowTitle(ToQString(kApplicationTitle));
  // Single border, minimize and close only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kWidth, kHeight);
  CreateControls();
  CreateEmblem();
  for (const QRect& line : SeparatorLines()) {
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(line.adjusted(0, -1, 0, 1));
  }
}

void MainWindow::CreateControls() {
  for (const ControlDefault& d : ControlDefaults()) {
    QWidget* control = CreateControl(d, this);
    control->setObjectName(ToQString(d.name));
    control->setToolTip(ToQString(d.hint));
    const Placement& place = PlacementOf(d.control);
    control->setGeometry(place.box);
    if (!place.label.isEmpty()) {
      auto* label = new QLabel(ToQString(d.label), this);
      label->setObjectName(ToQString(std::string(d.name) + "_label"));
      label->setGeometry(place.label);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setWordWrap(place.label.height() > place.box.height());
      label->setBuddy(control);
    }
    controls_[static_cast<std::size_t>(d.control)] = control;
  }
  // Stop and Exit share one place; Exit shows until a run starts.
  Widget(Control::btn_stop)->hide();
  Widget(Control::btn_exit)->raise();
  // Tab goes through the controls as they are laid out.
  QWidget* previous = nullptr;
  for (const Placement& place : WindowPlacements()) {
    if (previous != nullptr) setTabOrder(previous, Widget(place.control));
    previous = Widget(place.control);
  }
}

QLabel* MainWindow::CreateEmblem() {
  auto* emblem = new QLabel(this);
  emblem->setObjectName("emblem");
  emblem->setPixmap(QPixmap(":/torvane/emblem.png"));
  emblem->setGeometry(EmblemBox());
  return emblem;
}

void MainWindow::CentreOnScreen() {
  QWidget* top = window();  // the dialog itself, or the window that holds it
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = top->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    top->move(frame.topLeft());
  }
}

bool MainWindow::RequestClose() {
  if (close_handler_ && !close_handler_()) return false;
  // Windows of its own (the map) close with it.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) child->close();
  }
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (RequestClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace torvane

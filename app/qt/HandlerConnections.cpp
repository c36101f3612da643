#include "app/qt/HandlerConnections.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <exception>
#include <functional>
#include <new>

#include "app/Hvw.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MapWindow.h"
#include "app/qt/QtPlatform.h"

namespace torvane {
namespace {

// Runs a handler so that nothing thrown escapes into Qt's event loop: an
// error is shown in a message box with the application's title.
void Guarded(QtPlatform& platform, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Out of memory");
  } catch (const std::exception& error) {
    platform.ShowInfo(error.what());
  }
}

// Calls the check of a numeric field when the user leaves it for another
// control of the window. Losing the focus to another window (a message box,
// another program) is no leaving, and the focus moves made while a check
// shows its message and hands the focus back do not start another check.
class FieldLeaveFilter : public QObject {
 public:
  FieldLeaveFilter(QObject* parent, std::function<void(QObject*)> check)
      : QObject(parent), check_(std::move(check)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusOut || checking_) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    checking_ = true;
    check_(watched);
    checking_ = false;
    return false;
  }

 private:
  std::function<void(QObject*)> check_;
  bool checking_ = false;
};

// The fields checked when they are left.
constexpr Control kCheckedFields[] = {Control::txt_rfs, Control::txt_rfa, Control::txt_nearest};

}  // namespace

void ConnectHandlers(MainWindow& window, QtPlatform& platform, TfrmMain& form) {
  const auto on_click = [&](Control button, void (TfrmMain::*handler)()) {
    QObject::connect(
        qobject_cast<QAbstractButton*>(window.Widget(button)), &QAbstractButton::clicked, &window,
        [&platform, &form, handler] { Guarded(platform, [&] { (form.*handler)(); }); });
  };
  on_click(Control::btn_calc, &TfrmMain::btn_calcClick);
  on_click(Control::btn_stop, &TfrmMain::btn_stopClick);
  on_click(Control::btn_exit, &TfrmMain::btn_exitClick);
  on_click(Control::btn_in, &TfrmMain::btn_inClick);
  on_click(Control::btn_grd, &TfrmMain::btn_grdClick);
  on_click(Control::btn_out, &TfrmMain::btn_outClick);
  on_click(Control::chb_grd, &TfrmMain::chb_grdClick);
  on_click(Control::btn_save1, &TfrmMain::btn_save1Click);
  on_click(Control::btn_save2, &TfrmMain::btn_save2Click);
  // `activated` comes only from the user's choice, not from setting the list.
  const auto on_choice = [&](Control list, void (TfrmMain::*handler)()) {
    QObject::connect(
        qobject_cast<QComboBox*>(window.Widget(list)), &QComboBox::activated, &window,
        [&platform, &form, handler] { Guarded(platform, [&] { (form.*handler)(); }); });
  };
  on_choice(Control::cb1, &TfrmMain::cb1Change);
  on_choice(Control::cb2, &TfrmMain::cb2Change);

  auto* leave_filter = new FieldLeaveFilter(&window, [&platform, &form, &window](QObject* field) {
    for (const Control control : kCheckedFields) {
      if (window.Widget(control) == field) {
        Guarded(platform, [&] { form.CheckNumber(control); });
      }
    }
  });
  for (const Control field : kCheckedFields) window.Widget(field)->installEventFilter(leave_filter);

  ConnectMapWindow(window, platform, form.Request(), form.Result());

  window.SetCloseHandler([&platform, &form] {
    bool close = true;
    Guarded(platform, [&] { close = form.FormClose(); });
    return close;
  });
}

}  // namespace torvane

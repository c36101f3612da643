#include "app/qt/BackgroundWork.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>
#include <exception>
#include <new>
#include <thread>

namespace torvane {

void WorkerPlatform::ShowInfo(std::string_view text) {
  ShowMessage(text, kApplicationTitle, MessageButtons::kOk);
}

MessageResult WorkerPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                          MessageButtons buttons) {
  const std::lock_guard lock(mutex_);
  messages_.emplace_back(std::string(caption), std::string(text));
  return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
}

std::vector<std::pair<std::string, std::string>> WorkerPlatform::TakeMessages() {
  const std::lock_guard lock(mutex_);
  return std::exchange(messages_, {});
}

bool RunInBackground(WorkerPlatform& worker, QProgressBar* bar, QAbstractButton* cancel_button,
                     Platform& shown_by, const std::function<bool()>& work) {
  worker.cancel = false;
  std::atomic<bool> finished{false};
  bool answer = false;
  std::thread thread([&] {
    try {
      answer = work();
    } catch (const std::bad_alloc&) {
      worker.ShowInfo("Out of memory");
    } catch (const std::exception& error) {
      worker.ShowInfo(error.what());
    }
    finished = true;
  });
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (bar != nullptr) {
      bar->setRange(0, std::max(1, worker.maximum()));
      bar->setValue(std::min(worker.position(), std::max(1, worker.maximum())));
    }
    if (finished) loop.quit();
  });
  QMetaObject::Connection cancelling;
  if (cancel_button != nullptr) {
    cancel_button->setEnabled(true);
    cancelling = QObject::connect(cancel_button, &QAbstractButton::clicked, &loop,
                                  [&worker] { worker.cancel = true; });
  }
  poll.start(30);
  loop.exec();
  thread.join();
  QObject::disconnect(cancelling);
  if (cancel_button != nullptr) cancel_button->setEnabled(false);
  if (bar != nullptr) bar->setValue(answer ? bar->maximum() : 0);
  for (const auto& [caption, text] : worker.TakeMessages()) {
    shown_by.ShowMessage(text, caption, MessageButtons::kOk);
  }
  return answer;
}

}  // namespace torvane

// A bound on a modal window that a test answers from a timer: if the window
// is still open after the time given, the watchdog ends it and the test
// fails, instead of waiting for the test's time-out.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace tessaro::test {

class ModalWatchdog {
 public:
  explicit ModalWatchdog(int ms = 5000) {
    QTimer::singleShot(ms, &guard_, [this] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        fired_ = true;
        dialog->QDialog::done(QDialog::Rejected);
      }
    });
  }
  // Whether a modal window had to be ended.
  bool fired() const { return fired_; }

 private:
  QObject guard_;
  bool fired_ = false;
};

}  // namespace tessaro::test

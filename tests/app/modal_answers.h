#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <deque>
#include <functional>

#include "within.h"

namespace velmora::test {

// Answers the modal windows as they open, one answer each, in order, and notes what each one said.
class ModalAnswers final : public QObject {
 public:
  using Answer = std::function<void(QWidget&)>;

  explicit ModalAnswers(std::deque<Answer> answers) : answers_(std::move(answers)) {
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start(20);
  }

  const QStringList& Seen() const { return seen_; }
  bool AllGiven() const { return answers_.empty(); }

 private:
  void Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == last_ || answers_.empty()) {
      return;
    }
    // The progress window asks nothing; it goes when the download ends.
    if (modal->objectName() == QLatin1String("DownloadProgress")) {
      return;
    }
    last_ = modal;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen_.append(box->windowTitle() + QStringLiteral(": ") + box->text());
    } else {
      seen_.append(modal->windowTitle());
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    answer(*modal);
  }

  QTimer timer_;
  std::deque<Answer> answers_;
  QPointer<QWidget> last_;
  QStringList seen_;
};

}  // namespace velmora::test

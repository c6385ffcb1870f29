#include "app/qt_hand_over.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace velmora::app {

QtHandOver::QtHandOver()
    : queue_([this] {
        QMetaObject::invokeMethod(
            &context_, [this] { queue_.RunPending(); }, Qt::QueuedConnection);
      }) {
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &context_,
                   [this] { queue_.Close(); });
}

QtHandOver::~QtHandOver() {
  queue_.Close();
}

}  // namespace velmora::app

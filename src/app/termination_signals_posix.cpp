#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

#include "app/termination_signals.h"

namespace velmora::app {
namespace {

int signal_pipe[2] = {-1, -1};

// A signal handler may do almost nothing; it hands the signal to the event loop through a socket.
void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window, std::function<void()> close) {
  if (signal_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [close = std::move(close)] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(signal_pipe[0], &byte, 1);
    // A modal box open at that moment is answered with Cancel first, so nothing waits on it.
    while (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      modal->reject();
      if (QApplication::activeModalWidget() == modal) {
        modal->hide();
      }
    }
    close();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace velmora::app

#include "sim_app.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "exe_image.h"
#include "sim_session.h"
#include "sim_window_x11.h"

namespace velmora::sim {

namespace {

// Writes all of `text`; false when standard output is gone.
bool WriteOut(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) {
      continue;
    }
    if (wrote <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// SIGTERM and SIGINT arrive as input to the loop, so that the image file is always removed.
int TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
    return -1;
  }
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

class SimApp final : public SimWindowHost {
 public:
  explicit SimApp(const SimOptions& options) : options_(options) {}
  ~SimApp() override {
    if (signal_fd_ >= 0) {
      close(signal_fd_);
    }
  }
  SimApp(const SimApp&) = delete;
  SimApp& operator=(const SimApp&) = delete;

  int Run();

  void CloseWindow() override {
    if (window_) {
      window_->Close();
    }
  }
  bool OpenWindow() override { return window_ && (window_->IsOpen() || window_->Open()); }

 private:
  bool Start();
  void Loop();
  void ReadCommands();
  void PumpWindow();

  const SimOptions& options_;
  int signal_fd_ = -1;
  std::unique_ptr<SimSession> session_;
  std::unique_ptr<ExeImage> image_;
  std::unique_ptr<SimWindow> window_;
};

bool SimApp::Start() {
  // Readers need not be our parent: under Yama's restricted ptrace any process of the user may read us.
  prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
  std::signal(SIGPIPE, SIG_IGN);
  signal_fd_ = TerminationSignals();
  if (signal_fd_ < 0) {
    Complain(std::string("cannot take termination signals: ") + std::strerror(errno));
    return false;
  }

  // The fixed addresses first, before anything else of this process can come to lie there.
  session_ = SimSession::Start(options_, SimSession::Slots::kEvery, *this, WriteOut);
  if (!session_) {
    return false;
  }

  std::string error;
  std::error_code ignored;
  RemoveLeftoverImages(std::filesystem::temp_directory_path(ignored));
  image_ = ExeImage::Create(options_.title, options_.version, error);
  if (!image_) {
    Complain(error);
    return false;
  }
  WindowIdentity identity;
  identity.title = options_.title;
  identity.class_name = options_.window_class;
  identity.pid = static_cast<std::uint32_t>(getpid());
  window_ = SimWindow::Create(identity, &error);
  if (!window_) {
    Complain(error);
    return false;
  }
  return WriteOut("ready pid=" + std::to_string(getpid()) + "\n");
}

int SimApp::Run() {
  if (!Start()) {
    return 1;
  }
  Loop();
  return 0;
}

void SimApp::Loop() {
  bool signalled = false;
  session_->StartClock();
  while (!signalled && !session_->Over()) {
    pollfd inputs[3] = {{STDIN_FILENO, POLLIN, 0}, {signal_fd_, POLLIN, 0}, {-1, POLLIN, 0}};
    if (window_) {
      inputs[2].fd = window_->FileDescriptor();
    }
    const auto timeout = session_->TimeToNextTick();
    const int timeout_ms = timeout ? static_cast<int>(timeout->count()) : -1;
    if (poll(inputs, 3, timeout_ms) < 0 && errno != EINTR) {
      Complain(std::string("poll failed: ") + std::strerror(errno));
      return;
    }
    session_->Tick();

    if (inputs[1].revents != 0) {
      signalled = true;
    } else if (inputs[0].revents != 0) {
      ReadCommands();
    }
    // Every time round, not only when the socket is readable: replies awaited by Open and Close may have
    // brought events along that now wait in the connection's queue.
    if (window_) {
      PumpWindow();
    }
  }
}

void SimApp::ReadCommands() {
  char buffer[4096];
  const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) {
    return;
  }
  session_->TakeInput(std::string_view(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), got <= 0);
}

void SimApp::PumpWindow() {
  switch (window_->Pump()) {
    case PumpResult::kNothing:
    case PumpResult::kClosed:  // closed from the desktop: the simulator has gone away, the process stays
      break;
    case PumpResult::kDisconnected:
      Complain("the display has gone away; running on without a window");
      window_.reset();
      break;
  }
}

}  // namespace

int RunSimulator(const SimOptions& options) {
  SimApp app(options);
  return app.Run();
}

}  // namespace velmora::sim

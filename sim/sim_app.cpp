#include "sim_app.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "exe_image.h"
#include "session_model.h"
#include "sim_controller.h"
#include "sim_layout.h"
#include "sim_memory.h"
#include "sim_window_x11.h"
#include "state_memory.h"

namespace velmora::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(20);
// A process that was stopped for a while picks up where it was instead of leaping ahead.
constexpr double kLongestAdvance_s = 0.5;
// No command comes near this; more without a newline is garbage.
constexpr std::size_t kLongestLine = 65536;

void Complain(const std::string& message) {
  std::fprintf(stderr, "velmora-sim: %s\n", message.c_str());
}

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

class SimApp final : public SimHost {
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
  void Quit() override { quit_ = true; }

 private:
  bool Start();
  void Loop();
  void ReadCommands();
  void HandleLine(const std::string& line);
  void PumpWindow();

  const SimOptions& options_;
  int signal_fd_ = -1;
  std::unique_ptr<SimLayout> layout_;
  std::unique_ptr<SimMemory> memory_;
  std::unique_ptr<SessionModel> model_;
  std::unique_ptr<StateMemory> state_memory_;
  std::unique_ptr<SimController> controller_;
  std::unique_ptr<ExeImage> image_;
  std::unique_ptr<SimWindow> window_;
  std::string pending_input_;
  bool overlong_line_ = false;
  bool quit_ = false;
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

  layout_ = std::make_unique<SimLayout>(*options_.table, options_.drivers);
  if (options_.table_from_layout) {
    Complain("no rule accepts the title \"" + options_.title + "\" with the version \"" + options_.version +
             "\"; using the memory layout of table " + std::string(1, layout_->TableName()));
  }
  // The fixed addresses first, before anything else of this process can come to lie there.
  std::string error;
  // A simulator keeps a record for every slot a session can hold, used or not; the unused ones read as
  // zeros, so a reader may take all of them in one go.
  const SimLayout all_slots(*options_.table, SessionModel::kMaxDrivers);
  memory_ = SimMemory::Reserve(all_slots.Begin(), all_slots.End(), error);
  if (!memory_) {
    Complain(error);
    return false;
  }
  // Without a record length there is one record, and it is the player's.
  const int player_slot =
      layout_->RecordLength() == 0 ? 0 : SessionModel::DefaultPlayerSlot(options_.seed, options_.drivers);
  model_ = std::make_unique<SessionModel>(options_.seed, options_.drivers, player_slot);
  state_memory_ = std::make_unique<StateMemory>(*layout_, *memory_);
  controller_ = std::make_unique<SimController>(*model_, *layout_, *state_memory_, *this);

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
  auto last = Clock::now();
  while (!quit_) {
    pollfd inputs[3] = {{STDIN_FILENO, POLLIN, 0}, {signal_fd_, POLLIN, 0}, {-1, POLLIN, 0}};
    if (window_) {
      inputs[2].fd = window_->FileDescriptor();
    }
    int timeout_ms = -1;
    if (!controller_->Paused()) {
      const auto due = last + kTick - Clock::now();
      timeout_ms = static_cast<int>(
          std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(due).count()));
    }
    if (poll(inputs, 3, timeout_ms) < 0 && errno != EINTR) {
      Complain(std::string("poll failed: ") + std::strerror(errno));
      return;
    }
    const auto now = Clock::now();
    const double real_s = std::chrono::duration<double>(now - last).count();
    controller_->Advance(std::min(real_s, kLongestAdvance_s) * options_.time_scale);
    last = now;

    if (inputs[1].revents != 0) {
      quit_ = true;
    }
    if (inputs[0].revents != 0) {
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
  if (got > 0) {
    pending_input_.append(buffer, static_cast<std::size_t>(got));
  }
  std::size_t newline;
  while (!quit_ && (newline = pending_input_.find('\n')) != std::string::npos) {
    const std::string line = pending_input_.substr(0, newline);
    pending_input_.erase(0, newline + 1);
    if (overlong_line_) {
      overlong_line_ = false;
      quit_ = !WriteOut("error: line too long\n");
    } else {
      HandleLine(line);
    }
  }
  if (pending_input_.size() > kLongestLine) {
    // Kept out of memory; answered once its end comes, so that every line still has one answer.
    pending_input_.clear();
    overlong_line_ = true;
  }
  if (got <= 0) {
    // The end of the input is the end of the session; a last line without its newline still counts.
    if (!quit_ && !pending_input_.empty()) {
      HandleLine(pending_input_);
    }
    quit_ = true;
  }
}

void SimApp::HandleLine(const std::string& line) {
  if (!WriteOut(controller_->Execute(line) + "\n")) {
    quit_ = true;
  }
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

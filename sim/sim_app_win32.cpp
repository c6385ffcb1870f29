// velmora-sim on Windows. The program first makes a copy of itself that carries the chosen version and
// runs the session as that copy (see versioned_copy_win32.h); the copy shows the window, keeps the data
// in its image and answers the commands on standard input.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <windows.h>

#include "session_model.h"
#include "sim_app.h"
#include "sim_controller.h"
#include "sim_layout.h"
#include "sim_memory.h"
#include "sim_window_win32.h"
#include "state_memory.h"
#include "versioned_copy_win32.h"

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
  std::fflush(stderr);
}

// Writes all of `text`; false when standard output is gone.
bool WriteOut(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD wrote = 0;
    if (WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr) ==
            FALSE ||
        wrote == 0) {
      return false;
    }
    done += wrote;
  }
  return true;
}

// Standard input as it arrives, read on a thread of its own: a pipe cannot be waited on beside the
// window's messages. The event is set whenever there is something new, or the end.
class InputReader final {
 public:
  InputReader() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    thread_ = std::thread([this] { Read(); });
  }
  // A blocked read of standard input cannot be taken back; the thread ends with the process.
  ~InputReader() { thread_.detach(); }
  InputReader(const InputReader&) = delete;
  InputReader& operator=(const InputReader&) = delete;

  HANDLE Event() const { return event_; }

  // What has come since the last call, and whether the input has ended.
  bool Take(std::string& text) {
    const std::lock_guard lock(mutex_);
    text += received_;
    received_.clear();
    return ended_;
  }

 private:
  void Read() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) != FALSE && got > 0) {
      {
        const std::lock_guard lock(mutex_);
        received_.append(buffer, got);
      }
      SetEvent(event_);
    }
    {
      const std::lock_guard lock(mutex_);
      ended_ = true;
    }
    SetEvent(event_);
  }

  HANDLE event_;
  std::thread thread_;
  std::mutex mutex_;
  std::string received_;
  bool ended_ = false;
};

std::atomic<bool> g_interrupted{false};
HANDLE g_wake = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
  g_interrupted = true;
  if (g_wake != nullptr) {
    SetEvent(g_wake);
  }
  return TRUE;
}

class SimApp final : public SimHost {
 public:
  explicit SimApp(const SimOptions& options) : options_(options) {}

  int Run();

  void CloseWindow() override {
    if (window_) {
      window_->Close();
    }
  }
  bool OpenWindow() override { return window_ && window_->Open(); }
  void Quit() override { quit_ = true; }

 private:
  bool Start();
  void Loop();
  void ReadCommands();
  void HandleLine(const std::string& line);

  const SimOptions& options_;
  std::unique_ptr<SimLayout> layout_;
  std::unique_ptr<SimMemory> memory_;
  std::unique_ptr<SessionModel> model_;
  std::unique_ptr<StateMemory> state_memory_;
  std::unique_ptr<SimController> controller_;
  std::unique_ptr<SimWindow> window_;
  std::unique_ptr<InputReader> input_;
  std::string pending_input_;
  bool overlong_line_ = false;
  bool quit_ = false;
};

bool SimApp::Start() {
  layout_ = std::make_unique<SimLayout>(*options_.table, options_.drivers);
  if (options_.table_from_layout) {
    Complain("no rule accepts the title \"" + options_.title + "\" with the version \"" + options_.version +
             "\"; using the memory layout of table " + std::string(1, layout_->TableName()));
  }
  std::string error;
  memory_ = SimMemory::Reserve(layout_->Begin(), layout_->End(), error);
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

  window_ = SimWindow::Create({options_.title, options_.window_class}, &error);
  if (!window_) {
    Complain(error);
    return false;
  }
  input_ = std::make_unique<InputReader>();
  g_wake = input_->Event();
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  return WriteOut("ready pid=" + std::to_string(GetCurrentProcessId()) + "\n");
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
  while (!quit_ && !g_interrupted) {
    DWORD timeout_ms = INFINITE;
    if (!controller_->Paused()) {
      const auto due = last + kTick - Clock::now();
      timeout_ms = static_cast<DWORD>(
          std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(due).count()));
    }
    HANDLE input = input_->Event();
    const DWORD woke = MsgWaitForMultipleObjects(1, &input, FALSE, timeout_ms, QS_ALLINPUT);
    if (woke == WAIT_FAILED) {
      Complain("waiting for input failed (error " + std::to_string(GetLastError()) + ")");
      return;
    }
    const auto now = Clock::now();
    const double real_s = std::chrono::duration<double>(now - last).count();
    controller_->Advance(std::min(real_s, kLongestAdvance_s) * options_.time_scale);
    last = now;

    ReadCommands();
    // Closed from the desktop: the simulator has gone away, the process stays.
    window_->Pump();
  }
}

void SimApp::ReadCommands() {
  const bool ended = input_->Take(pending_input_);
  std::size_t newline;
  while (!quit_ && (newline = pending_input_.find('\n')) != std::string::npos) {
    std::string line = pending_input_.substr(0, newline);
    pending_input_.erase(0, newline + 1);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
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
  if (ended) {
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

}  // namespace

int RunSimulator(const SimOptions& options) {
  if (!RunningAsVersionedCopy()) {
    RemoveLeftoverCopies();
    std::string error;
    const auto copy = VersionedCopy::Create(options.title, options.version, error);
    if (!copy) {
      Complain(error);
      return 1;
    }
    const int status = copy->Run(error);
    if (!error.empty()) {
      Complain(error);
    }
    return status;
  }
  SimApp app(options);
  return app.Run();
}

}  // namespace velmora::sim

// velmora-sim on Windows. The program first makes a copy of itself that carries the chosen version and
// runs the session as that copy (see versioned_copy_win32.h); the copy shows the window, keeps the data
// in its image and answers the commands on standard input.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <windows.h>

#include "sim_app.h"
#include "sim_session.h"
#include "sim_window_win32.h"
#include "versioned_copy_win32.h"

namespace velmora::sim {

namespace {

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

class SimApp final : public SimWindowHost {
 public:
  explicit SimApp(const SimOptions& options) : options_(options) {}

  int Run();

  void CloseWindow() override {
    if (window_) {
      window_->Close();
    }
  }
  bool OpenWindow() override { return window_ && window_->Open(); }

 private:
  bool Start();
  void Loop();
  void ReadCommands();

  const SimOptions& options_;
  std::unique_ptr<SimSession> session_;
  std::unique_ptr<SimWindow> window_;
  std::unique_ptr<InputReader> input_;
  std::string arrived_;
};

bool SimApp::Start() {
  session_ = SimSession::Start(options_, SimSession::Slots::kSession, *this, WriteOut);
  if (!session_) {
    return false;
  }
  std::string error;
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
  session_->StartClock();
  while (!session_->Over() && !g_interrupted) {
    const auto timeout = session_->TimeToNextTick();
    const DWORD timeout_ms = timeout ? static_cast<DWORD>(timeout->count()) : INFINITE;
    HANDLE input = input_->Event();
    const DWORD woke = MsgWaitForMultipleObjects(1, &input, FALSE, timeout_ms, QS_ALLINPUT);
    if (woke == WAIT_FAILED) {
      Complain("waiting for input failed (error " + std::to_string(GetLastError()) + ")");
      return;
    }
    session_->Tick();

    ReadCommands();
    // Closed from the desktop: the simulator has gone away, the process stays.
    window_->Pump();
  }
}

void SimApp::ReadCommands() {
  const bool ended = input_->Take(arrived_);
  session_->TakeInput(arrived_, ended);
  arrived_.clear();
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

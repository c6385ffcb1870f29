#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "net/game_server_source.h"
#include "net/protocol_server.h"
#include "platform/process_memory.h"
#include "recording_targets.h"

namespace velmora::test {

// A game model attached to a real second process, served by a real server on a loopback port that the
// system chooses. The test's thread is the main thread: it runs the hand-overs while it waits.
class ServedGame {
 public:
  static constexpr std::uint32_t kBase = 0x5B700000;
  static constexpr const char* kTitle = "Race 07";
  static constexpr const char* kClass = "CUBERealtime";

  explicit ServedGame(std::chrono::milliseconds idle_timeout = std::chrono::seconds(30))
      : memory_(kBase, 4096),
        folder_(std::filesystem::temp_directory_path() /
                ("velmora_net_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    std::filesystem::create_directories(folder_);
    link_.lbl_application = &status_;
    game_.FEau.Affectation(kBase + 0x10, true);
    game_.FStabilite.Affectation(kBase + 0x20, true);
    game_.FInCokpit.Affectation(kBase + 0x28, true);
    Open();
    ServerOptions options;
    options.port = 0;
    options.bind_address = "127.0.0.1";
    options.version = "2.9.0.220";
    options.trace_log_path = (folder_ / "protocole.txt").string();
    options.idle_timeout = idle_timeout;
    server_ = std::make_unique<TProtocolServer>(source_, options);
    server_->Activate();
  }
  ~ServedGame() {
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // The simulator's window opens (and the model attaches, as detection would) or closes.
  void Open() {
    finder_.Open(kClass, kTitle, memory_.Pid());
    std::lock_guard lock(link_.AttachMutex());
    link_.SetProgramWindow(kTitle, kClass);
    game_.FProgramHandleProcess = platform::OpenProcessMemory(memory_.Pid());
    timer_.SetEnabled(false);
  }
  void Close() { finder_.Close(kClass, kTitle); }

  // Runs `work` on another thread and the hand-overs here until it is done.
  template <typename Work>
  auto Pumping(Work work) {
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      hand_over_.WaitAndRun(10);
    }
    return result.get();
  }

  std::uint16_t Port() const { return server_->Port(); }
  MemoryFixture& Memory() { return memory_; }
  TGame& Game() { return game_; }
  FlagDetectionTimer& Timer() { return timer_; }
  RecordingLabel& Status() { return status_; }
  std::filesystem::path TraceLog() const { return folder_ / "protocole.txt"; }

 private:
  MemoryFixture memory_;
  std::filesystem::path folder_;
  ManualClock clock_{1000};
  FakeWindowFinder finder_;
  QueuedHandOver hand_over_;
  FlagDetectionTimer timer_;
  RecordingLabel status_;
  TGame game_{nullptr, clock_};
  TGameLink link_{game_, finder_, hand_over_, timer_};
  GameServerSource source_{link_};
  std::unique_ptr<TProtocolServer> server_;
};

}  // namespace velmora::test

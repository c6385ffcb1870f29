// Fifty viewers on one relay for a minute, one of which never reads: the others keep their rate and the
// relay's memory stays put.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <boost/beast/websocket.hpp>
#include <gtest/gtest.h>

#include "net/asio.h"
#include "relay_fixture.h"
#include "running_sim.h"

namespace velmora::web::test {
namespace {

namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kViewers = 50;
constexpr auto kRun = 60s;
constexpr auto kWindow = 5s;
constexpr int kWindows = static_cast<int>(kRun / kWindow);

TEST(RelaySoakTest, FiftyViewersForAMinuteAndOneThatNeverReads) {
  velmora::test::RunningSim sim({"--time-scale", "5"});
  ServeProcess serve;
  WebProcess web(serve.Port());
  {
    // The car is on track (ignition, engine, pit exit) before the minute starts.
    Viewer first(web.Port(), "/stream");
    ASSERT_TRUE(first.Next(5s).has_value());
    std::this_thread::sleep_for(3s);
  }

  // The one that never reads: it takes the upgrade and then nothing, with the smallest receive buffer.
  asio::io_context stalled_io;
  websocket::stream<tcp::socket> stalled(stalled_io);
  stalled.next_layer().open(tcp::v4());
  stalled.next_layer().set_option(asio::socket_base::receive_buffer_size(1024));
  stalled.next_layer().connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), web.Port()));
  stalled.handshake("127.0.0.1", "/stream");

  asio::io_context io;
  const auto start = Clock::now() + 2s;
  std::vector<std::shared_ptr<CountingViewer>> viewers;
  for (int i = 0; i < kViewers - 1; ++i) {
    viewers.push_back(std::make_shared<CountingViewer>(io, start, kWindow, kWindows));
    viewers.back()->Start(web.Port());
  }
  std::thread running([&io, start] { io.run_until(start + kRun); });
  std::this_thread::sleep_until(start);
  const long memory_at_start = PeakResidentKiB(web.Pid());
  running.join();
  const long memory_at_end = PeakResidentKiB(web.Pid());
  for (const auto& viewer : viewers) {
    viewer->Close();
  }

  std::vector<int> totals;
  long bytes = 0;
  for (const auto& viewer : viewers) {
    int total = 0;
    for (int window = 0; window < kWindows; ++window) {
      EXPECT_GE(viewer->per_window[window], 10) << "a viewer got too few updates in window " << window;
      total += viewer->per_window[window];
    }
    totals.push_back(total);
    bytes += viewer->bytes;
  }
  std::sort(totals.begin(), totals.end());
  const double seconds = std::chrono::duration<double>(kRun).count();
  std::cout << "updates per viewer per second: " << totals.front() / seconds << " (slowest) to "
            << totals.back() / seconds << " (fastest); " << bytes / seconds / (kViewers - 1)
            << " bytes per viewer per second\n"
            << "relay peak resident memory: " << memory_at_start << " KiB with " << kViewers
            << " viewers connected, " << memory_at_end << " KiB after a minute (+"
            << memory_at_end - memory_at_start << " KiB)\n";
  // Every reading viewer keeps the relay's rate: none falls more than a tenth behind the fastest.
  EXPECT_GE(totals.front(), totals.back() * 9 / 10);
  EXPECT_GE(totals.front() / seconds, 5.0) << "updates come at the poll rate while the car runs";
  EXPECT_LE(memory_at_end - memory_at_start, 4 * 1024) << "the relay's memory grows by at most 4 MiB";

  const std::string err = web.Err();
  EXPECT_NE(err.find("is not keeping up: it skips to the latest state"), std::string::npos) << err;
  EXPECT_NE(err.find("dropped: not reading"), std::string::npos) << err;
  std::string stopped;
  EXPECT_EQ(web.Stop(stopped), 0);
}

}  // namespace
}  // namespace velmora::web::test

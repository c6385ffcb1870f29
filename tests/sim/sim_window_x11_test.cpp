#include "sim_window_x11.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "platform/linux/x11_connection.h"
#include "platform/window_finder.h"
#include "x11_test_window.h"

namespace velmora::sim {
namespace {

class SimWindowTest : public test::X11DisplayTest {
 protected:
  void SetUp() override {
    X11DisplayTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    finder_ = platform::CreateWindowFinder();
    ASSERT_NE(finder_, nullptr);
  }

  std::unique_ptr<platform::WindowFinder> finder_;
};

// What a window manager sends when the user clicks the close button.
void AskToClose(std::uint32_t window) {
  xcb_connection_t* connection = platform::ConnectToDisplay();
  ASSERT_NE(connection, nullptr);
  auto atom = [&](const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t value = reply != nullptr ? reply->atom : XCB_NONE;
    std::free(reply);
    return value;
  };
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atom("WM_PROTOCOLS");
  message.data.data32[0] = atom("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_generic_error_t* error =
      xcb_request_check(connection, xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                           reinterpret_cast<const char*>(&message)));
  EXPECT_EQ(error, nullptr);
  std::free(error);
  xcb_disconnect(connection);
}

TEST_F(SimWindowTest, ShowsAWindowThatAFinderSeesWithThisProcess) {
  std::string error;
  auto window = SimWindow::Create({.title = "Race 07", .class_name = "CUBERealtime"}, &error);
  ASSERT_NE(window, nullptr) << error;

  const auto found = finder_->FindWindow("CUBERealtime", "Race 07");
  EXPECT_NE(found, 0u);
  EXPECT_EQ(found, window->Handle());
  EXPECT_EQ(finder_->WindowProcessId(found), static_cast<std::uint32_t>(getpid()));
  EXPECT_EQ(window->Pump(), PumpResult::kNothing);
}

TEST_F(SimWindowTest, ClosesAndOpensAgainAsANewWindow) {
  auto window = SimWindow::Create({.title = "RACE On", .class_name = "CUBEApp", .pid = 1234});
  ASSERT_NE(window, nullptr);
  const auto first = window->Handle();

  window->Close();
  EXPECT_FALSE(window->IsOpen());
  EXPECT_EQ(window->Handle(), 0u);
  EXPECT_FALSE(finder_->IsWindow(first));
  EXPECT_EQ(finder_->FindWindow("CUBEApp", "RACE On"), 0u);

  ASSERT_TRUE(window->Open());
  const auto second = finder_->FindWindow("CUBEApp", "RACE On");
  EXPECT_NE(second, 0u);
  EXPECT_EQ(second, window->Handle());
  // The window claims process 1234 again, but the X server knows it is this process's.
  EXPECT_EQ(finder_->WindowProcessId(second), static_cast<std::uint32_t>(getpid()));
}

TEST_F(SimWindowTest, ACloseRequestClosesTheWindow) {
  auto window = SimWindow::Create({.title = "Race 07", .class_name = "CUBEApp"});
  ASSERT_NE(window, nullptr);
  const auto handle = window->Handle();
  AskToClose(handle);

  // The request travels through the server; give it a moment to arrive.
  PumpResult result = PumpResult::kNothing;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (result == PumpResult::kNothing && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    result = window->Pump();
  }
  EXPECT_EQ(result, PumpResult::kClosed);
  EXPECT_FALSE(window->IsOpen());
  EXPECT_FALSE(finder_->IsWindow(handle));
  EXPECT_EQ(window->Pump(), PumpResult::kNothing);
}

TEST(SimWindowNoDisplayTest, SaysWhyThereIsNoWindow) {
  const char* saved = std::getenv("DISPLAY");
  const std::optional<std::string> display = saved ? std::optional<std::string>(saved) : std::nullopt;
  unsetenv("DISPLAY");
  std::string error;
  EXPECT_EQ(SimWindow::Create({.title = "Race 07", .class_name = "CUBEApp"}, &error), nullptr);
  EXPECT_EQ(error, "no X display: DISPLAY is not set");
  setenv("DISPLAY", ":4095", 1);
  EXPECT_EQ(SimWindow::Create({.title = "Race 07", .class_name = "CUBEApp"}, &error), nullptr);
  EXPECT_EQ(error, "cannot connect to the X display \":4095\"");
  if (display) {
    setenv("DISPLAY", display->c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
}

}  // namespace
}  // namespace velmora::sim

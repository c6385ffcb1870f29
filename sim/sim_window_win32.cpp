#include "sim_window_win32.h"

#include <windows.h>

#include "platform/windows/win32_text.h"

namespace velmora::sim {

namespace {

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

// The window's own procedure only tells the pump that the user closed it; the pump then destroys it.
constexpr UINT kClosedMessage = WM_APP + 1;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    PostMessageW(nullptr, kClosedMessage, 0, 0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

std::unique_ptr<SimWindow> SimWindow::Create(const WindowIdentity& identity, std::string* error) {
  std::unique_ptr<SimWindow> window(new SimWindow(identity));
  const std::wstring class_name = platform::Widen(identity.class_name);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = Instance();
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = class_name.c_str();
  if (RegisterClassW(&window_class) == 0) {
    if (error != nullptr) {
      *error = "cannot register the window class \"" + identity.class_name + "\" (error " +
               std::to_string(GetLastError()) + ")";
    }
    return nullptr;
  }
  window->class_registered_ = true;
  if (!window->Open()) {
    if (error != nullptr) {
      *error = "cannot create the window \"" + identity.title + "\" (error " +
               std::to_string(GetLastError()) + ")";
    }
    return nullptr;
  }
  return window;
}

SimWindow::SimWindow(WindowIdentity identity) : identity_(std::move(identity)) {}

SimWindow::~SimWindow() {
  Close();
  if (class_registered_) {
    UnregisterClassW(platform::Widen(identity_.class_name).c_str(), Instance());
  }
}

bool SimWindow::Open() {
  if (window_ != nullptr) {
    return true;
  }
  HWND window = CreateWindowExW(0, platform::Widen(identity_.class_name).c_str(),
                                platform::Widen(identity_.title).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 400, nullptr, nullptr, Instance(), nullptr);
  if (window == nullptr) {
    return false;
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);
  window_ = window;
  return true;
}

void SimWindow::Close() {
  if (window_ != nullptr) {
    DestroyWindow(static_cast<HWND>(window_));
    window_ = nullptr;
  }
}

PumpResult SimWindow::Pump() {
  PumpResult result = PumpResult::kNothing;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (message.hwnd == nullptr && message.message == kClosedMessage) {
      Close();
      result = PumpResult::kClosed;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result;
}

}  // namespace velmora::sim

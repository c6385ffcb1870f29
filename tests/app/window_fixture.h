#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/window_finder.h"
#include "within.h"
#include "x11_test_window.h"

namespace velmora::test {

// Tests of the real main window, each with a settings file of its own in a fresh folder.
class WindowTest : public X11DisplayTest {
 protected:
  QString SettingsPath() const { return folder_.filePath(QStringLiteral("Velmora/Velmora.xml")); }

  // A new window, not shown yet.
  std::unique_ptr<app::TForm1> Make(bool splash = false, bool debug_menu = false) {
    app::TWindowOptions options;
    options.settings_path = SettingsPath();
    options.splash = splash;
    options.debug_menu = debug_menu;
    auto window = std::make_unique<app::TForm1>(platform::CreateWindowFinder(), options);
    window->RestorePlacementAndMarks();
    return window;
  }

  // A new window, shown and active.
  std::unique_ptr<app::TForm1> Open(bool splash = false, bool debug_menu = false) {
    auto window = Make(splash, debug_menu);
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    return window;
  }

  template <typename Widget = QWidget>
  static Widget* Find(QWidget& window, const char* name) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QTemporaryDir folder_;
};

}  // namespace velmora::test

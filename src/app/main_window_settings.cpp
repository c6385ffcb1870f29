// The window's placement and menu marks in the settings file.
#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <cmath>

#include "app/main_menu.h"
#include "app/main_window.h"
#include "app/settings_file.h"

namespace velmora::app {
namespace {

const std::string kPath = "Velmora\\";

std::string MarkEntry(const QAction& item) {
  return kPath + item.objectName().toStdString() + ".Checked";
}

int PixelsPerInch(const QWidget& window) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QApplication::primaryScreen();
  return screen == nullptr ? 96 : static_cast<int>(std::lround(screen->logicalDotsPerInch()));
}

// The numbers of a "%d,%d,%d,%d" entry; one that cannot be read keeps its value in `numbers`.
void ReadNumbers(const std::string& text, int (&numbers)[4]) {
  const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
  for (int i = 0; i < 4 && i < parts.size(); ++i) {
    bool ok = false;
    const int value = parts[i].trimmed().toInt(&ok);
    if (ok) {
      numbers[i] = value;
    }
  }
}

std::string FourNumbers(int a, int b, int c, int d) {
  return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d).toStdString();
}

}  // namespace

void TForm1::RestorePlacementAndMarks() {
  TSettingsFile& file = *settings_;
  if (file.ReadInteger(kPath + "FormVersion", 0) < 0) {
    return;
  }
  // Only the place is restored: the window keeps its own size and state.
  const bool has_norm = file.HasEntry(kPath + "NormPos");
  const bool has_min_max = file.HasEntry(kPath + "MinMaxPos");
  const QRect current = frameGeometry();
  int norm[4] = {current.left(), current.top(), current.left() + current.width(),
                 current.top() + current.height()};
  ReadNumbers(file.ReadString(kPath + "NormPos", ""), norm);
  const int left = norm[0];
  const int top = norm[1];
  const int right = left + current.width();
  const bool same_screen = file.ReadInteger(kPath + "PixelsPerInch", -1) == PixelsPerInch(*this);
  if ((has_norm || has_min_max) && same_screen && left < right) {
    move(left, top);
  }

  for (QAction* item : menu_->StoredMarks()) {
    item->setChecked(file.ReadBoolean(MarkEntry(*item), item->isChecked()));
  }

  const QString focus = QString::fromStdString(file.ReadString(kPath + "ActiveControl", ""));
  if (!focus.isEmpty()) {
    if (auto* widget = findChild<QWidget*>(focus);
        widget != nullptr && widget->focusPolicy() != Qt::NoFocus) {
      widget->setFocus();
    }
  }
}

void TForm1::SavePlacementAndMarks() {
  TSettingsFile& file = *settings_;
  TSettingsFile::Batch batch(file);
  // The normal rectangle, frame included, also while maximised.
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : client;
  const int left = normal.left() - (client.left() - frame.left());
  const int top = normal.top() - (client.top() - frame.top());
  const int width = normal.width() + (frame.width() - client.width());
  const int height = normal.height() + (frame.height() - client.height());
  file.WriteInteger(kPath + "FormVersion", 0);
  file.WriteInteger(kPath + "Flags", isMaximized() ? 2 : 0);
  file.WriteInteger(kPath + "PixelsPerInch", PixelsPerInch(*this));
  // A minimised window keeps its normal place here, and a maximised one fills its screen's free area.
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QApplication::primaryScreen();
  const QPoint maximised = screen != nullptr ? screen->availableGeometry().topLeft() : QPoint(0, 0);
  file.WriteString(kPath + "MinMaxPos", FourNumbers(left, top, maximised.x(), maximised.y()));
  file.WriteString(kPath + "NormPos", FourNumbers(left, top, left + width, top + height));
  if (const QWidget* focus = focusWidget(); focus != nullptr && !focus->objectName().isEmpty()) {
    file.WriteString(kPath + "ActiveControl", focus->objectName().toStdString());
  }
  for (const QAction* item : menu_->StoredMarks()) {
    file.WriteBoolean(MarkEntry(*item), item->isChecked());
  }
}

}  // namespace velmora::app

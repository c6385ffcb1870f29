#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "race/lap_grid_export.h"

class QAction;
class QFileDialog;
class QMenu;
class QWidget;

namespace velmora::app {

// The "Export" menu: three exclusive formats and "Save", which asks for a file name in a dialog set up
// for the checked format and writes the lap grid there.
class TLapGridExportMenu final : public QObject {
 public:
  // `collect` gives the grid as it stands when "Save" is chosen; nothing when it cannot be read, in which
  // case no file is written.
  using Collect = std::function<std::optional<TExportTable>()>;

  TLapGridExportMenu(QWidget& window, Collect collect);

  // Fills the menu; the format items carry the names under which the settings file keeps their marks.
  void BuildMenu(QMenu& menu);
  // The first checked item in the order XML, HTML, CSV.
  TExportFormat Format() const;
  // "Save": the dialog, then the file. Returns once the dialog is closed and the file written.
  void Save();
  // Writes the grid to `file` in `format`; the operating system's message when it failed.
  std::optional<QString> ExportTo(const QString& file, TExportFormat format) const;

  QAction* HTMLfile1 = nullptr;
  QAction* CSVfile1 = nullptr;
  QAction* XMLfile1 = nullptr;
  QAction* Save1 = nullptr;

 private:
  void SetUpDialog(QFileDialog& dialog, TExportFormat format) const;

  QWidget& window_;
  Collect collect_;
  QString last_name_;  // the dialog proposes the name chosen last, and nothing before the first save
};

}  // namespace velmora::app

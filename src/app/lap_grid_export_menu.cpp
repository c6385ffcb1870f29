#include "app/lap_grid_export_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace velmora::app {
namespace {

struct DialogSetUp {
  const char* filter;
  const char* all_files;
  const char* suffix;
  const char* title;
};

DialogSetUp SetUpOf(TExportFormat format) {
  switch (format) {
    case TExportFormat::efXML:
      return {"XML Files (*.xml)", "All files (*)", "xml", "Exporting to XML..."};
    case TExportFormat::efCSV:
      return {"CSV Files (*.csv)", "All files (*)", "csv", "Exporting to CSV/Text..."};
    case TExportFormat::efHTML:
      break;
  }
  return {"HTML Files (*.htm)", "All files (*)", "htm", "Exporting to HTML..."};
}

QAction* AddFormat(QMenu& menu, QActionGroup& group, const char* name, const char* caption, bool checked) {
  QAction* action = menu.addAction(QString::fromLatin1(caption));
  action->setObjectName(QString::fromLatin1(name));
  action->setCheckable(true);
  action->setChecked(checked);
  group.addAction(action);
  return action;
}

}  // namespace

TLapGridExportMenu::TLapGridExportMenu(QWidget& window, Collect collect)
    : QObject(&window), window_(window), collect_(std::move(collect)) {}

void TLapGridExportMenu::BuildMenu(QMenu& menu) {
  auto* formats = new QActionGroup(&menu);
  HTMLfile1 = AddFormat(menu, *formats, "HTMLfile1", "HTML file", true);
  CSVfile1 = AddFormat(menu, *formats, "CSVfile1", "CSV file", false);
  XMLfile1 = AddFormat(menu, *formats, "XMLfile1", "XML file", false);
  menu.addSeparator()->setObjectName(QStringLiteral("N5"));
  Save1 = menu.addAction(QStringLiteral("Save"));
  Save1->setObjectName(QStringLiteral("Save1"));
  connect(Save1, &QAction::triggered, this, &TLapGridExportMenu::Save);
}

TExportFormat TLapGridExportMenu::Format() const {
  const std::pair<QAction*, TExportFormat> order[] = {
      {XMLfile1, TExportFormat::efXML}, {HTMLfile1, TExportFormat::efHTML}, {CSVfile1, TExportFormat::efCSV}};
  for (const auto& [item, format] : order) {
    if (item != nullptr && item->isChecked()) {
      return format;
    }
  }
  return TExportFormat::efHTML;
}

void TLapGridExportMenu::SetUpDialog(QFileDialog& dialog, TExportFormat format) const {
  const DialogSetUp setup = SetUpOf(format);
  dialog.setObjectName(QStringLiteral("dlgSave1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Qt's own dialog looks and behaves the same on every desktop, and a test can drive it.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The file is replaced without asking, as a repeated export to one name is the usual case.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters({QString::fromLatin1(setup.filter), QString::fromLatin1(setup.all_files)});
  dialog.setDefaultSuffix(QString::fromLatin1(setup.suffix));
  dialog.setWindowTitle(QString::fromLatin1(setup.title));
  if (!last_name_.isEmpty()) {
    dialog.selectFile(last_name_);
  }
}

void TLapGridExportMenu::Save() {
  const TExportFormat format = Format();
  QFileDialog dialog(&window_);
  SetUpDialog(dialog, format);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return;
  }
  last_name_ = dialog.selectedFiles().constFirst();
  if (const auto error = ExportTo(last_name_, format)) {
    QMessageBox::critical(&window_, QStringLiteral("Velmora"), *error);
  }
}

std::optional<QString> TLapGridExportMenu::ExportTo(const QString& file, TExportFormat format) const {
  const std::optional<TExportTable> table = collect_();
  if (!table) {
    return std::nullopt;
  }
  if (const auto error = WriteExportFile(QFile::encodeName(file).toStdString(), ExportText(format, *table))) {
    return QString::fromStdString(*error);
  }
  return std::nullopt;
}

}  // namespace velmora::app

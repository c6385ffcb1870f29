#include "app/upgrade_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/utf8_text.h"
#include "update/release_version.h"

namespace velmora::app {
namespace {

constexpr int kMaximumWidth = 460;
const QString kProductName = QStringLiteral("Velmora");

// A version published for several systems has one entry per system; its notes count once.
bool SameSystem(const update::TReleaseEntry& a, const update::TReleaseEntry& b) {
  using update::TPlatform;
  return a.IsFor(TPlatform::pfWindows) == b.IsFor(TPlatform::pfWindows) &&
         a.IsFor(TPlatform::pfLinux) == b.IsFor(TPlatform::pfLinux);
}

// The releases whose notes tell what changed since the running version, newest first.
std::vector<const update::TReleaseEntry*> ChangesUpTo(const update::TVersionHistory& history,
                                                      const update::TReleaseEntry& release,
                                                      const std::string& running) {
  std::vector<const update::TReleaseEntry*> changes;
  for (const update::TReleaseEntry& entry : history.Releases) {
    if (update::CompareVersions(entry.ProgramVersion, running) > 0 &&
        update::CompareVersions(entry.ProgramVersion, release.ProgramVersion) <= 0 &&
        entry.ProgramReleaseType <= release.ProgramReleaseType && SameSystem(entry, release)) {
      changes.push_back(&entry);
    }
  }
  std::stable_sort(changes.begin(), changes.end(),
                   [](const update::TReleaseEntry* a, const update::TReleaseEntry* b) {
                     return update::CompareVersions(a->ProgramVersion, b->ProgramVersion) > 0;
                   });
  return changes;
}

}  // namespace

QString ReleaseCaption(const update::TReleaseEntry& release) {
  return Utf8Text(release.ProgramVersion) + QLatin1Char(' ') +
         Utf8Text(update::ReleaseTypeName(release.ProgramReleaseType));
}

QString InstallerSizeText(std::uint64_t bytes) {
  constexpr double kMegabyte = 1024.0 * 1024.0;
  if (static_cast<double>(bytes) >= kMegabyte) {
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / kMegabyte, 0, 'f', 1);
  }
  return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

TUpgradeDialog::TUpgradeDialog(const update::TVersionHistory& history,
                               const std::vector<update::TReleaseEntry>& offers,
                               const update::TReleaseEntry& highest, std::string running, QWidget* parent)
    : QDialog(parent), history_(history), offers_(offers), running_(std::move(running)) {
  setObjectName(QStringLiteral("UpgradeDialog"));
  setWindowTitle(QStringLiteral("%1 Upgrade Check").arg(kProductName));
  setMaximumWidth(kMaximumWidth);
  auto* layout = new QVBoxLayout(this);
  auto* announcement = new QLabel(
      QStringLiteral("A new version (%1) of %2 is available!").arg(ReleaseCaption(highest), kProductName));
  announcement->setObjectName(QStringLiteral("lbl_NewVersion"));
  announcement->setWordWrap(true);
  layout->addWidget(announcement);

  auto* versions_box = new QGroupBox(QStringLiteral("Which &version do you want to install?"));
  auto* versions_layout = new QVBoxLayout(versions_box);
  versions_ = new QButtonGroup(this);
  for (std::size_t i = 0; i < offers_.size(); ++i) {
    const update::TReleaseEntry& release = offers_[i];
    auto* row = new QHBoxLayout;
    auto* radio = new QRadioButton(ReleaseCaption(release) +
                                   QStringLiteral(" (%1)").arg(InstallerSizeText(release.ProgramSize)));
    radio->setObjectName(
        QStringLiteral("rb_%1").arg(Utf8Text(update::ReleaseTypeName(release.ProgramReleaseType))));
    versions_->addButton(radio, static_cast<int>(release.ProgramReleaseType));
    radio->setChecked(i == 0);
    auto* info = new QPushButton(QStringLiteral("Info"));
    info->setObjectName(
        QStringLiteral("btn_Info%1").arg(Utf8Text(update::ReleaseTypeName(release.ProgramReleaseType))));
    connect(info, &QPushButton::clicked, this, [this, i] { ShowInfo(offers_[i]); });
    row->addWidget(radio, 1);
    row->addWidget(info);
    versions_layout->addLayout(row);
  }
  layout->addWidget(versions_box);

  auto* operations_box = new QGroupBox(QStringLiteral("&Choose Operation"));
  auto* operations_layout = new QVBoxLayout(operations_box);
  operations_ = new QButtonGroup(this);
  const std::pair<const char*, TUpgradeOperation> operations[] = {
      {"I&gnore", TUpgradeOperation::uoIgnore},
      {"Download/Copy &Only", TUpgradeOperation::uoDownloadOnly},
      {"Download/Copy and &Install", TUpgradeOperation::uoDownloadAndInstall}};
  // Only a Windows installer is ever started; a package for another system is downloaded and shown.
  const bool startable = highest.IsFor(update::TPlatform::pfWindows);
  const TUpgradeOperation preselected =
      startable ? TUpgradeOperation::uoDownloadAndInstall : TUpgradeOperation::uoDownloadOnly;
  for (const auto& [caption, operation] : operations) {
    if (operation == TUpgradeOperation::uoDownloadAndInstall && !startable) {
      continue;
    }
    auto* radio = new QRadioButton(QString::fromLatin1(caption));
    operations_->addButton(radio, static_cast<int>(operation));
    operations_layout->addWidget(radio);
    radio->setChecked(operation == preselected);
  }
  layout->addWidget(operations_box);

  auto* buttons = new QDialogButtonBox;
  auto* execute = buttons->addButton(QStringLiteral("&Execute"), QDialogButtonBox::AcceptRole);
  execute->setObjectName(QStringLiteral("btn_Execute"));
  execute->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

TUpgradeChoice TUpgradeDialog::Choice() const {
  TUpgradeChoice choice;
  if (result() != QDialog::Accepted || versions_->checkedId() < 0) {
    return choice;
  }
  choice.Operation = static_cast<TUpgradeOperation>(operations_->checkedId());
  choice.ReleaseType = static_cast<update::TReleaseType>(versions_->checkedId());
  return choice;
}

QString TUpgradeDialog::NotesTitle(const update::TVersionHistory& history,
                                   const update::TReleaseEntry& release, const std::string& running) {
  if (ChangesUpTo(history, release, running).size() <= 1) {
    return QStringLiteral("What's new in %1").arg(ReleaseCaption(release));
  }
  return QStringLiteral("Changes between %1 and %2").arg(Utf8Text(running), ReleaseCaption(release));
}

QString TUpgradeDialog::NotesText(const update::TVersionHistory& history,
                                  const update::TReleaseEntry& release, const std::string& running) {
  QStringList lines;
  for (const update::TReleaseEntry* entry : ChangesUpTo(history, release, running)) {
    if (!lines.isEmpty()) {
      lines.append(QString());
    }
    lines.append(ReleaseCaption(*entry) +
                 (entry->ProgramReleaseDate.empty()
                      ? QString()
                      : QStringLiteral(" (%1)").arg(Utf8Text(entry->ProgramReleaseDate))));
    for (const std::string& line : entry->VersionDescription) {
      lines.append(QStringLiteral("- ") + Utf8Text(line));
    }
  }
  return lines.join(QLatin1Char('\n'));
}

void TUpgradeDialog::ShowInfo(const update::TReleaseEntry& release) {
  QMessageBox notes(QMessageBox::Information, NotesTitle(history_, release, running_),
                    NotesText(history_, release, running_), QMessageBox::Ok, this);
  notes.setObjectName(QStringLiteral("ReleaseNotes"));
  notes.exec();
}

}  // namespace velmora::app

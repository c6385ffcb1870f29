#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "update/version_history.h"

class QButtonGroup;
class QRadioButton;

namespace velmora::app {

enum class TUpgradeOperation { uoIgnore, uoDownloadOnly, uoDownloadAndInstall };

struct TUpgradeChoice {
  TUpgradeOperation Operation = TUpgradeOperation::uoIgnore;
  update::TReleaseType ReleaseType = update::TReleaseType::rtProduction;
};

// Offers the newer releases: one radio button per release (with an "Info" button for its notes) and the
// operation to carry out. Cancelling means ignore.
class TUpgradeDialog final : public QDialog {
 public:
  TUpgradeDialog(const update::TVersionHistory& history, const std::vector<update::TReleaseEntry>& offers,
                 const update::TReleaseEntry& highest, std::string running, QWidget* parent);

  TUpgradeChoice Choice() const;

  // "Release notes" text and title of a release, against the running version.
  static QString NotesTitle(const update::TVersionHistory& history, const update::TReleaseEntry& release,
                            const std::string& running);
  static QString NotesText(const update::TVersionHistory& history, const update::TReleaseEntry& release,
                           const std::string& running);

 private:
  void ShowInfo(const update::TReleaseEntry& release);

  const update::TVersionHistory& history_;
  std::vector<update::TReleaseEntry> offers_;
  std::string running_;
  QButtonGroup* versions_ = nullptr;
  QButtonGroup* operations_ = nullptr;
};

// "2.9.1.0 Beta"
QString ReleaseCaption(const update::TReleaseEntry& release);
// "2.0 MB", "300 KB"
QString InstallerSizeText(std::uint64_t bytes);

}  // namespace velmora::app

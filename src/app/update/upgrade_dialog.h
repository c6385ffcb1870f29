#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/update/version_history.h"

class QButtonGroup;
class QRadioButton;

namespace velmora::app {

enum class TUpgradeOperation { uoIgnore, uoDownloadOnly, uoDownloadAndInstall };

struct TUpgradeChoice {
  TUpgradeOperation Operation = TUpgradeOperation::uoIgnore;
  TReleaseType ReleaseType = TReleaseType::rtProduction;
};

// Offers the newer releases: one radio button per release (with an "Info" button for its notes) and the
// operation to carry out. Cancelling means ignore.
class TUpgradeDialog final : public QDialog {
 public:
  TUpgradeDialog(const TVersionHistory& history, const std::vector<TReleaseEntry>& offers,
                 const TReleaseEntry& highest, std::string running, QWidget* parent);

  TUpgradeChoice Choice() const;

  // "Release notes" text and title of a release, against the running version.
  static QString NotesTitle(const TVersionHistory& history, const TReleaseEntry& release,
                            const std::string& running);
  static QString NotesText(const TVersionHistory& history, const TReleaseEntry& release,
                           const std::string& running);

 private:
  void ShowInfo(const TReleaseEntry& release);

  const TVersionHistory& history_;
  std::vector<TReleaseEntry> offers_;
  std::string running_;
  QButtonGroup* versions_ = nullptr;
  QButtonGroup* operations_ = nullptr;
};

// "2.9.1.0 Beta"
QString ReleaseCaption(const TReleaseEntry& release);
// "2.0 MB", "300 KB"
QString InstallerSizeText(std::uint64_t bytes);

}  // namespace velmora::app

#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "update/release_signature.h"
#include "update/remote_file_download.h"
#include "update/version_history.h"
#include "update/web_update_settings.h"

namespace velmora::update {

inline const QString kVersionFileName = QStringLiteral("VelmoraVersion.xml");
inline const QString kLocalVersionInfoFileName = QStringLiteral("VelmoraVersionLocal.xml");
inline const QString kLocalInstallerFileName = QStringLiteral("VelmoraLast.exe");
// The detached signature of the history, beside it.
inline const QString kSignatureFileName = QStringLiteral("VelmoraVersion.xml.sig");
// A history is a few kilobytes; anything near this is not one, and is not read to its end.
inline constexpr std::uint64_t kMaxHistorySize = 1024 * 1024;
inline constexpr std::uint64_t kMaxSignatureSize = 4096;

// The key that release histories must be signed with: the one built in and, only in a build without one,
// the environment's. A packaged build therefore trusts its own key whatever the environment says.
// Nothing when neither holds a key (or the one chosen is not a key): then no history is trusted.
std::optional<TPublicKey> ChooseReleaseKey(std::string_view built_in, std::string_view environment);
// ChooseReleaseKey of VELMORA_RELEASE_PUBLIC_KEY as built in and as in the environment.
std::optional<TPublicKey> ReleasePublicKey();

// The local name of a downloaded release file: VelmoraLast.exe for a Windows installer; for another system
// "VelmoraLast" with the extension of the published file (VelmoraLast.deb), so the system knows its kind.
QString LocalInstallerFileName(const TReleaseEntry& release);

// The HTTP directory that holds the version history, ending in "/": the environment variable
// VELMORA_UPDATE_URL, else the location built in. Empty when neither names an http(s) location.
QString UpdateBaseLocation();

// Where downloads go: Update in the settings folder (the roaming application data's Velmora). Files an
// earlier version left in the local data folder's Velmora/Update are moved there first.
QString DefaultUpdateDirectory();

// Makes `directory` (and the folders above it) for downloads that only its owner may change: created or
// kept with mode 0700 on Linux, and refused when it is a symbolic link or belongs to another user. True
// when downloads may go there.
bool MakePrivateDirectory(const QString& directory);

// Where downloads go when the update folder cannot be used: Velmora/Update in the user's cache folder
// (~/.cache/Velmora/Update), never a shared temporary folder where another user could prepare it.
QString FallbackUpdateDirectory();

// The directory URL of a release's installer: its own absolute location, or one relative to `base`.
QString ReleaseLocation(const QString& base, const TReleaseEntry& release);

// The releases to offer in the upgrade dialog's order (alpha down to production): the current release of
// each allowed type that is newer than `running` and has a file for `platform`. Beta counts only when
// allowed; alpha never does.
std::vector<TReleaseEntry> NewerReleases(const TVersionHistory& history, TReleaseType allowed,
                                         const std::string& running, TPlatform platform = kThisPlatform);

// Of those, the one with the highest version; nothing when none is newer.
std::optional<TReleaseEntry> HighestNewerRelease(const TVersionHistory& history, TReleaseType allowed,
                                                 const std::string& running,
                                                 TPlatform platform = kThisPlatform);

// Where the check keeps the highest serial of a verified history it has read: VelmoraVersionSerial in
// the update folder; empty when there is no such folder.
QString SeenSerialFileName();

// Downloads the version history from `base` into `local_directory`, with its signature, and reads it.
// Nothing when there is no release key, when it cannot be fetched, is larger than kMaxHistorySize, is not
// signed by the release key exactly as it arrived, is not a version history, or carries a lower serial
// than the highest one in `seen_serial_file` (an older history replayed to hide newer releases); then
// `failure`, when given, says why, and no unverified copy is left behind. A history taken raises the
// serial in that file.
std::optional<TVersionHistory> FetchVersionHistory(const QString& base, const QString& local_directory,
                                                   QString* failure = nullptr,
                                                   const QString& seen_serial_file = SeenSerialFileName());

// Downloads a release's file into `local_directory` under LocalInstallerFileName and checks its size and
// SHA-256 against the history.
TDownloadResult DownloadInstaller(const QString& base, const TReleaseEntry& release,
                                  const QString& local_directory, const TProgressText& progress = {});

// True when a check with `check_frequency_days` is due at `now` after one at `last_check`.
bool CheckIsDue(const QDateTime& now, int check_frequency_days, const QDateTime& last_check);

struct TVersionCheckOutcome {
  bool Due = false;
  std::optional<TVersionHistory> History;
  QString LocalDirectory;  // where the history went and the installer will go
  std::vector<TReleaseEntry> Offers;
};

// The check as the dashboard runs it: settings loaded (and stored first when the file has none), the
// frequency rule and LastCheck, the history download and the comparison with `running`. `settings`
// comes back as loaded and advanced.
TVersionCheckOutcome RunVersionCheck(const TWebUpdateStore& store, TWebUpdateSettings& settings,
                                     const QDateTime& now, const QString& base, const std::string& running,
                                     TPlatform platform = kThisPlatform);

}  // namespace velmora::update

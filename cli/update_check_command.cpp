// velmora-cli update-check: the dashboard's version check without a window, for scripts.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <string>

#include "json_writer.h"
#include "platform/application_version.h"
#include "subcommand.h"
#include "update/version_check.h"

namespace velmora::cli {
namespace {

constexpr int kExitCheckFailed = 4;
constexpr int kExitDownloadFailed = 5;
constexpr const char* kUsage =
    "velmora-cli update-check: usage: velmora-cli update-check [--beta] [--download DIR]\n";

struct Options {
  bool beta = false;
  std::optional<std::string> download_directory;
};

std::optional<Options> ParseOptions(std::span<const std::string> arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--beta") {
      options.beta = true;
    } else if (arguments[i] == "--download" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
      options.download_directory = arguments[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

int RunUpdateCheck(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  const auto options = ParseOptions(arguments);
  if (!options) {
    err << kUsage;
    return kExitUsage;
  }
  // Qt's network transfers need an application object; nothing of it is shown.
  int argc = 1;
  char name[] = "velmora-cli";
  char* argv[] = {name, nullptr};
  const QCoreApplication application(argc, argv);

  // The history is read in a scratch folder: DIR receives the verified package and nothing else.
  const QTemporaryDir scratch;
  const QString directory = options->download_directory
                                ? QDir(QString::fromStdString(*options->download_directory)).absolutePath()
                                : scratch.path();
  const std::string running = platform::ApplicationVersion();
  const QString base = update::UpdateBaseLocation();
  QString failure;
  if (base.isEmpty() && !qEnvironmentVariable("VELMORA_UPDATE_URL").trimmed().isEmpty()) {
    err << "velmora-cli update-check: could not check for updates: VELMORA_UPDATE_URL is not an http or "
           "https "
           "location\n";
    return kExitCheckFailed;
  }
  const auto history =
      base.isEmpty() ? std::nullopt : update::FetchVersionHistory(base, scratch.path(), &failure);
  // No location is no check at all; a location that gives no history is a check that could not be made,
  // which a script must be able to tell from "nothing newer".
  if (!base.isEmpty() && !history) {
    err << "velmora-cli update-check: could not check for updates: " << failure.toStdString() << "\n";
    return kExitCheckFailed;
  }
  const update::TReleaseType allowed =
      options->beta ? update::TReleaseType::rtBeta : update::TReleaseType::rtProduction;
  const auto offered = history ? update::HighestNewerRelease(*history, allowed, running) : std::nullopt;

  std::optional<update::TDownloadResult> download;
  if (offered && options->download_directory) {
    download = update::DownloadInstaller(base, *offered, directory);
  }

  JsonObjectWriter json(out, 0);
  json.String("running", running);
  if (offered) {
    JsonObjectWriter release = json.Object("offered");
    release.String("version", offered->ProgramVersion);
    release.String("type", update::ReleaseTypeName(offered->ProgramReleaseType));
    release.Close();
  } else {
    json.Null("offered");
  }
  if (download && !download->FileName.isEmpty()) {
    json.String("file", download->FileName.toStdString());
  }
  json.Close();
  out << "\n";

  if (download && download->FileName.isEmpty()) {
    err << "The file download was not successful!\nPlease try again manually.\n";
    if (!download->Error.isEmpty()) {
      err << download->Error.toStdString() << "\n";
    }
    return kExitDownloadFailed;
  }
  return out ? 0 : 1;
}

}  // namespace

const Subcommand kUpdateCheckCommand{
    "update-check", "[--beta] [--download DIR]",
    "Looks for a newer Velmora as the dashboard's update check does, but whatever the interval set in\n"
    "the dashboard. The HTTP directory holding VelmoraVersion.xml is the one built in, or the\n"
    "environment variable VELMORA_UPDATE_URL when set. The history counts only when its signature\n"
    "VelmoraVersion.xml.sig beside it verifies under the release key built in (or, in a build without\n"
    "one, the base64 key in VELMORA_RELEASE_PUBLIC_KEY) and it is at most 1 MiB, and only when its\n"
    "serial is not below the highest one of a history already verified (kept in VelmoraVersionSerial\n"
    "in the update folder; a history without a serial counts as 0). Only releases for this system\n"
    "count (on Linux the ones marked <ProgramPlatform>Linux</ProgramPlatform>);\n"
    "production releases, and with --beta beta releases too. Prints one JSON object: \"running\"\n"
    "(this version), \"offered\" (the newest newer release as {\"version\", \"type\"}, or null when\n"
    "there is none or no location is set) and, with --download, \"file\": the release file saved in DIR\n"
    "(VelmoraLast.exe for a Windows installer, VelmoraLast.deb for a Debian package) once its size\n"
    "and SHA-256 match the history. It is never started. When the download fails or does not match,\n"
    "nothing is left in DIR and it says \"The file download was not successful!\" on standard error\n"
    "and exits with status 5. When the location cannot be reached, what it holds is not a version\n"
    "history, its signature is missing or does not verify, it is older than one already seen, or\n"
    "there is no release key, the check could not be made: nothing is printed on standard output,\n"
    "the reason is said on standard error and the exit status is 4.",
    RunUpdateCheck};

}  // namespace velmora::cli

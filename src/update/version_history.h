#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::update {

enum class TReleaseType : std::uint8_t { rtProduction = 0, rtBeta = 1, rtAlpha = 2 };

inline constexpr std::array<TReleaseType, 3> kReleaseTypes{TReleaseType::rtProduction, TReleaseType::rtBeta,
                                                           TReleaseType::rtAlpha};

// "Production", "Beta", "Alpha".
std::string_view ReleaseTypeName(TReleaseType type);
std::optional<TReleaseType> ReleaseTypeFromName(std::string_view name);

// The system a release's file is for. A release that names none is a Windows installer, as every release
// was before Linux packages were published.
enum class TPlatform : std::uint8_t { pfWindows, pfLinux };

#ifdef _WIN32
inline constexpr TPlatform kThisPlatform = TPlatform::pfWindows;
#else
inline constexpr TPlatform kThisPlatform = TPlatform::pfLinux;
#endif

// "Windows", "Linux": the text of ProgramPlatform.
std::string_view PlatformName(TPlatform platform);

// One release of the version history: where its installer lies and what it must be once downloaded.
struct TReleaseEntry {
  std::string ProgramVersion;
  TReleaseType ProgramReleaseType = TReleaseType::rtProduction;
  // Absolute http(s) URL of a directory, or relative to the directory of the version history.
  std::string ProgramLocationPath;
  std::string ProgramLocationFileName;
  std::string LocalInstallerParams;
  std::vector<std::string> VersionDescription;
  std::uint64_t ProgramSize = 0;
  // 64 lower-case hexadecimal digits.
  std::string ProgramSha256;
  std::string ProgramReleaseDate;
  // "Windows" or "Linux"; empty for Windows. A release for any other system is offered nowhere.
  std::string ProgramPlatform;

  bool IsFor(TPlatform platform) const;

  bool operator==(const TReleaseEntry&) const = default;
};

// The remote version history: the current version of each release type and every release.
struct TVersionHistory {
  // Raised at every release, so that an older history, replayed whole with its valid signature, can be
  // told from a newer one. 0 in a history written before histories carried one.
  std::uint64_t Serial = 0;
  // When it was written, "YYYY-MM-DD".
  std::string Date;
  // By release type; empty when the history names no current version of that type.
  std::array<std::string, 3> CurrentVersion;
  std::vector<TReleaseEntry> Releases;

  const std::string& Current(TReleaseType type) const { return CurrentVersion[static_cast<int>(type)]; }
  // The release entry of the current version of `type` for `platform`, or null.
  const TReleaseEntry* CurrentRelease(TReleaseType type, TPlatform platform = kThisPlatform) const;

  bool operator==(const TVersionHistory&) const = default;
};

// Nothing when the text is not a well-formed history: not our XML, a serial that is not a whole number, a
// release without its version, type, installer name, size or SHA-256, or a current version that no
// release (for any system) describes. A history
// that cannot say what its installers must be is never trusted at all.
std::optional<TVersionHistory> ParseVersionHistory(std::string_view xml);

std::string VersionHistoryXml(const TVersionHistory& history);

}  // namespace velmora::update

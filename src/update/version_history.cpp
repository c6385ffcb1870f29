#include "update/version_history.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include <pugixml.hpp>

namespace velmora::update {
namespace {

constexpr const char* kRoot = "VelmoraVersionHistory";
constexpr std::array<const char*, 3> kTypeNames{"Production", "Beta", "Alpha"};

std::string Text(const pugi::xml_node& parent, const char* name) {
  return parent.child(name).text().as_string();
}

bool IsSha256(std::string_view digest) {
  return digest.size() == 64 && std::all_of(digest.begin(), digest.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

std::optional<std::uint64_t> Size(std::string_view text) {
  std::uint64_t size = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (text.empty() || error != std::errc{} || stop != text.data() + text.size()) {
    return std::nullopt;
  }
  return size;
}

std::optional<TReleaseEntry> ParseRelease(const pugi::xml_node& node) {
  TReleaseEntry entry;
  entry.ProgramVersion = Text(node, "ProgramVersion");
  const auto type = ReleaseTypeFromName(Text(node, "ProgramReleaseType"));
  const auto size = Size(Text(node, "ProgramSize"));
  std::string digest = Text(node, "ProgramSHA256");
  std::transform(digest.begin(), digest.end(), digest.begin(),
                 [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; });
  entry.ProgramLocationFileName = Text(node, "ProgramLocationFileName");
  if (entry.ProgramVersion.empty() || !type || !size || !IsSha256(digest) ||
      entry.ProgramLocationFileName.empty()) {
    return std::nullopt;
  }
  entry.ProgramReleaseType = *type;
  entry.ProgramSize = *size;
  entry.ProgramSha256 = std::move(digest);
  entry.ProgramLocationPath = Text(node, "ProgramLocationPath");
  entry.LocalInstallerParams = Text(node, "LocalInstallerParams");
  entry.ProgramReleaseDate = Text(node, "ProgramReleaseDate");
  entry.ProgramPlatform = Text(node, "ProgramPlatform");
  for (const pugi::xml_node& line : node.child("VersionDescription").children("Line")) {
    entry.VersionDescription.emplace_back(line.text().as_string());
  }
  return entry;
}

void AddText(pugi::xml_node parent, const char* name, const std::string& value) {
  parent.append_child(name).text().set(value.c_str());
}

}  // namespace

std::string_view ReleaseTypeName(TReleaseType type) {
  return kTypeNames[static_cast<int>(type)];
}

std::optional<TReleaseType> ReleaseTypeFromName(std::string_view name) {
  for (const TReleaseType type : kReleaseTypes) {
    if (name == ReleaseTypeName(type)) {
      return type;
    }
  }
  return std::nullopt;
}

std::string_view PlatformName(TPlatform platform) {
  return platform == TPlatform::pfLinux ? "Linux" : "Windows";
}

bool TReleaseEntry::IsFor(TPlatform platform) const {
  const TPlatform named = ProgramPlatform.empty() || ProgramPlatform == PlatformName(TPlatform::pfWindows)
                              ? TPlatform::pfWindows
                              : TPlatform::pfLinux;
  return named == platform && (ProgramPlatform.empty() || ProgramPlatform == PlatformName(named));
}

const TReleaseEntry* TVersionHistory::CurrentRelease(TReleaseType type, TPlatform platform) const {
  const std::string& version = Current(type);
  if (version.empty()) {
    return nullptr;
  }
  for (const TReleaseEntry& release : Releases) {
    if (release.ProgramReleaseType == type && release.ProgramVersion == version && release.IsFor(platform)) {
      return &release;
    }
  }
  return nullptr;
}

std::optional<TVersionHistory> ParseVersionHistory(std::string_view xml) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) {
    return std::nullopt;
  }
  const pugi::xml_node root = document.child(kRoot);
  if (!root) {
    return std::nullopt;
  }
  TVersionHistory history;
  if (const pugi::xml_node serial = root.child("Serial")) {
    const auto number = Size(serial.text().as_string());
    if (!number) {
      return std::nullopt;
    }
    history.Serial = *number;
  }
  history.Date = Text(root, "Date");
  for (const pugi::xml_node& node : root.children("Release")) {
    auto release = ParseRelease(node);
    if (!release) {
      return std::nullopt;
    }
    history.Releases.push_back(std::move(*release));
  }
  const pugi::xml_node current = root.child("CurrentVersions");
  for (const TReleaseType type : kReleaseTypes) {
    std::string version = current.child(kTypeNames[static_cast<int>(type)]).text().as_string();
    history.CurrentVersion[static_cast<int>(type)] = std::move(version);
    const bool described = std::any_of(history.Releases.begin(), history.Releases.end(), [&](const auto& r) {
      return r.ProgramReleaseType == type && r.ProgramVersion == history.Current(type);
    });
    if (!history.Current(type).empty() && !described) {
      return std::nullopt;
    }
  }
  return history;
}

std::string VersionHistoryXml(const TVersionHistory& history) {
  pugi::xml_document document;
  pugi::xml_node root = document.append_child(kRoot);
  if (history.Serial > 0) {
    AddText(root, "Serial", std::to_string(history.Serial));
  }
  if (!history.Date.empty()) {
    AddText(root, "Date", history.Date);
  }
  pugi::xml_node current = root.append_child("CurrentVersions");
  for (const TReleaseType type : kReleaseTypes) {
    if (!history.Current(type).empty()) {
      AddText(current, kTypeNames[static_cast<int>(type)], history.Current(type));
    }
  }
  for (const TReleaseEntry& release : history.Releases) {
    pugi::xml_node node = root.append_child("Release");
    AddText(node, "ProgramVersion", release.ProgramVersion);
    AddText(node, "ProgramReleaseType", std::string(ReleaseTypeName(release.ProgramReleaseType)));
    AddText(node, "ProgramLocationPath", release.ProgramLocationPath);
    AddText(node, "ProgramLocationFileName", release.ProgramLocationFileName);
    AddText(node, "LocalInstallerParams", release.LocalInstallerParams);
    pugi::xml_node description = node.append_child("VersionDescription");
    for (const std::string& line : release.VersionDescription) {
      AddText(description, "Line", line);
    }
    AddText(node, "ProgramSize", std::to_string(release.ProgramSize));
    AddText(node, "ProgramSHA256", release.ProgramSha256);
    AddText(node, "ProgramReleaseDate", release.ProgramReleaseDate);
    if (!release.ProgramPlatform.empty()) {
      AddText(node, "ProgramPlatform", release.ProgramPlatform);
    }
  }
  std::ostringstream text;
  document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  return text.str();
}

}  // namespace velmora::update

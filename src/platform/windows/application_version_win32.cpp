#include <cstring>
#include <stdexcept>

#include <windows.h>

#include "platform/application_version.h"
#include "platform/pe_version.h"
#include "platform/windows/own_executable_win32.h"
#include "platform/windows/version_info_win32.h"

namespace velmora::platform {

// From the version resource that every program of ours is linked with.
std::string ApplicationVersion() {
  const auto info = Win32VersionInfo::Load(OwnExecutablePath());
  const auto fixed = info ? info->Query(L"\\") : std::nullopt;
  VS_FIXEDFILEINFO block{};
  if (fixed && fixed->size() >= sizeof block) {
    std::memcpy(&block, fixed->data(), sizeof block);
  }
  if (block.dwSignature != VS_FFI_SIGNATURE) {
    throw std::runtime_error("Les informations de version de sont pas inclues");
  }
  return FormatVersionParts({HIWORD(block.dwFileVersionMS), LOWORD(block.dwFileVersionMS),
                             HIWORD(block.dwFileVersionLS), LOWORD(block.dwFileVersionLS)});
}

}  // namespace velmora::platform

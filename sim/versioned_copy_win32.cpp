#include "versioned_copy_win32.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <windows.h>

#include "exe_image.h"
#include "platform/pe_image_writer.h"
#include "platform/windows/own_executable_win32.h"
#include "platform/windows/win32_text.h"
#include "version_resource.h"

namespace velmora::sim {

namespace {

constexpr std::string_view kFolderPrefix = "velmora-sim-";
// Set in the copy's environment; the copy runs the session instead of making another copy.
constexpr wchar_t kCopyVariable[] = L"VELMORA_SIM_VERSIONED_COPY";

std::wstring LastErrorText() {
  return std::to_wstring(GetLastError());
}

// "velmora-sim-<pid>-<n>": the pid tells a later stand-in whether the folder is still in use.
std::filesystem::path MakePrivateFolder(std::string& error) {
  std::error_code ignored;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ignored);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        base /
        (std::string(kFolderPrefix) + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
    if (CreateDirectoryW(folder.c_str(), nullptr) != FALSE) {
      return folder;
    }
  }
  error = "cannot make a folder for the executable in " + base.string();
  return {};
}

// Replaces the version resource of `file` (language U.S. English, as every program of ours is linked).
bool SetVersionResource(const std::filesystem::path& file, const std::vector<std::byte>& block) {
  HANDLE update = BeginUpdateResourceW(file.c_str(), FALSE);
  if (update == nullptr) {
    return false;
  }
  const BOOL updated =
      UpdateResourceW(update, MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1),
                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), const_cast<std::byte*>(block.data()),
                      static_cast<DWORD>(block.size()));
  return EndUpdateResourceW(update, updated == FALSE) != FALSE && updated != FALSE;
}

bool ProcessRuns(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) {
    return false;
  }
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

}  // namespace

bool RunningAsVersionedCopy() {
  return GetEnvironmentVariableW(kCopyVariable, nullptr, 0) != 0;
}

std::unique_ptr<VersionedCopy> VersionedCopy::Create(const std::string& title, const std::string& version,
                                                     std::string& error) {
  std::vector<std::byte> block;
  try {
    block = platform::BuildVersionInfoBlock(VersionResourceOf(title, version));
  } catch (const std::length_error&) {
    error = "the version text is too long for a version resource";
    return nullptr;
  }
  const std::filesystem::path source = platform::OwnExecutablePath();
  const std::filesystem::path folder = MakePrivateFolder(error);
  if (source.empty() || folder.empty()) {
    error = error.empty() ? "cannot tell where velmora-sim.exe is" : error;
    return nullptr;
  }
  const std::filesystem::path path = folder / ExeFileName(title);
  std::error_code ignored;
  if (CopyFileW(source.c_str(), path.c_str(), TRUE) == FALSE) {
    error = "cannot copy " + source.string() + " to " + path.string() + " (error " +
            platform::Narrow(LastErrorText()) + ")";
    std::filesystem::remove_all(folder, ignored);
    return nullptr;
  }
  if (!SetVersionResource(path, block)) {
    error = "cannot write the version resource of " + path.string() + " (error " +
            platform::Narrow(LastErrorText()) + ")";
    std::filesystem::remove_all(folder, ignored);
    return nullptr;
  }
  return std::unique_ptr<VersionedCopy>(new VersionedCopy(path));
}

VersionedCopy::~VersionedCopy() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  std::filesystem::remove(path_.parent_path(), ignored);
}

int VersionedCopy::Run(std::string& error) const {
  // A job that ends the copy when its last handle, ours, closes: when this process ends in any way.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job == nullptr ||
      SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) == FALSE) {
    error = "cannot make a job for the copy (error " + platform::Narrow(LastErrorText()) + ")";
    if (job != nullptr) {
      CloseHandle(job);
    }
    return 1;
  }
  SetEnvironmentVariableW(kCopyVariable, L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // The same command line: the copy parses the same options. Standard handles are inherited.
  std::wstring command_line = GetCommandLineW();
  const BOOL started = CreateProcessW(path_.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
  SetEnvironmentVariableW(kCopyVariable, nullptr);
  if (started == FALSE) {
    error = "cannot start " + path_.string() + " (error " + platform::Narrow(LastErrorText()) + ")";
    CloseHandle(job);
    return 1;
  }
  if (AssignProcessToJobObject(job, info.hProcess) == FALSE) {
    error = "cannot put the copy in its job (error " + platform::Narrow(LastErrorText()) + ")";
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    CloseHandle(job);
    return 1;
  }
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(job);
  return static_cast<int>(code);
}

void RemoveLeftoverCopies() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kFolderPrefix)) {
      continue;
    }
    const char* digits = name.data() + kFolderPrefix.size();
    const char* end = name.data() + name.size();
    DWORD pid = 0;
    const auto [after, problem] = std::from_chars(digits, end, pid);
    if (problem != std::errc() || after == digits || after == end || *after != '-' || pid == 0) {
      continue;
    }
    if (!ProcessRuns(pid)) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }
}

}  // namespace velmora::sim

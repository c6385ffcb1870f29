#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace velmora::update {

// What a downloaded file must be before anyone may use it.
struct TExpectedFile {
  std::uint64_t Size = 0;
  QByteArray Sha256Hex;  // lower-case hexadecimal
};

struct TDownloadResult {
  QString FileName;  // the full local name; empty when the download failed
  QString Error;     // why the transfer failed, empty when it did not fail in transfer
};

// The progress window's info text: "120 / 2048 KB" while receiving, empty once the transfer has ended.
using TProgressText = std::function<void(const QString&)>;

// The connection attempt gives up after this long.
inline constexpr int kConnectTimeoutMs = 1000;

struct TDownloadOptions {
  // What the file must be; nothing when any content will do.
  std::optional<TExpectedFile> Expected;
  // A file announced or arriving larger than this is refused as soon as that shows, without reading the
  // rest; 0 means no limit beyond the expected size.
  std::uint64_t MaxSize = 0;
  TProgressText Progress;
};

// Fetches remote_path + remote_file_name with an HTTP GET into local_path/local_file_name, replacing the
// file there, and blocks until the transfer ends (it runs its own event loop, so it works on any thread
// that has a QCoreApplication behind it). The file appears under its name only once it is complete and,
// when an expected file is given, has the expected size and SHA-256; otherwise nothing is left under that
// name.
TDownloadResult LoadFile(const QString& remote_path, const QString& remote_file_name,
                         const QString& local_path, const QString& local_file_name,
                         const TDownloadOptions& options = {});

// Whether the file is, byte for byte, still what `expected` says. Read again just before an installer is
// started: between its download and its start, anyone who may write in its folder could have replaced it.
bool FileIsExpected(const QString& file_name, const TExpectedFile& expected);

// "120 / 2048 KB": each count in kilobytes rounded to the nearest whole number.
QString ProgressText(std::int64_t received_bytes, std::int64_t total_bytes);

}  // namespace velmora::update

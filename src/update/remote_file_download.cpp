#include "update/remote_file_download.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <cmath>

namespace velmora::update {
namespace {

// Once connected, a transfer that receives nothing for this long is given up.
constexpr int kStallTimeoutMs = 30000;

qint64 Kilobytes(std::int64_t bytes) {
  // The default rounding mode takes halves to even, like every other rounding the dashboard shows.
  return static_cast<qint64>(std::nearbyint(static_cast<double>(bytes) / 1024.0));
}

}  // namespace

QString ProgressText(std::int64_t received_bytes, std::int64_t total_bytes) {
  return QStringLiteral("%1 / %2 KB").arg(Kilobytes(received_bytes)).arg(Kilobytes(total_bytes));
}

TDownloadResult LoadFile(const QString& remote_path, const QString& remote_file_name,
                         const QString& local_path, const QString& local_file_name,
                         const TDownloadOptions& options) {
  const std::optional<TExpectedFile>& expected = options.Expected;
  const TProgressText& progress = options.Progress;
  std::uint64_t limit = options.MaxSize;
  if (expected && (limit == 0 || expected->Size < limit)) {
    limit = expected->Size;
  }
  const bool limited = options.MaxSize > 0 || expected.has_value();
  TDownloadResult result;
  if (!QDir().mkpath(local_path)) {
    result.Error = QStringLiteral("Cannot create the folder %1").arg(local_path);
    return result;
  }
  if (remote_path.isEmpty()) {
    return result;
  }
  const QUrl url(remote_path + remote_file_name);
  if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
    result.Error = QStringLiteral("Not an HTTP location: %1").arg(url.toString());
    return result;
  }
  const QString target = QDir::cleanPath(QDir(local_path).absoluteFilePath(local_file_name));
  // A failed download must not leave an older file of that name to be mistaken for this one.
  QFile::remove(target);
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    result.Error = file.errorString();
    return result;
  }

  QNetworkAccessManager manager;
  QNetworkRequest request(url);
  request.setTransferTimeout(kStallTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = manager.get(request);
  QEventLoop loop;
  QTimer connect_timer;
  connect_timer.setSingleShot(true);
  bool timed_out = false;
  QObject::connect(&connect_timer, &QTimer::timeout, reply, [&] {
    timed_out = true;
    reply->abort();
  });
  QObject::connect(reply, &QNetworkReply::requestSent, &connect_timer, &QTimer::stop);

  QCryptographicHash digest(QCryptographicHash::Sha256);
  std::uint64_t received = 0;
  bool write_failed = false;
  bool too_long = false;
  // A server that announces more than the limit is not listened to any further.
  QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (limited && length.isValid() && length.toULongLong() > limit) {
      too_long = true;
      reply->abort();
    }
  });
  QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
    if (too_long) {
      return;
    }
    const QByteArray chunk = reply->readAll();
    received += static_cast<std::uint64_t>(chunk.size());
    if (limited && received > limit) {
      too_long = true;
      reply->abort();
      return;
    }
    digest.addData(chunk);
    if (file.write(chunk) != chunk.size()) {
      write_failed = true;
      reply->abort();
    }
  });
  if (progress) {
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 bytes, qint64 total) {
      if (total <= 0 && expected) {
        total = static_cast<qint64>(expected->Size);
      }
      progress(ProgressText(bytes, std::max<qint64>(total, 0)));
    });
  }
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  connect_timer.start(kConnectTimeoutMs);
  loop.exec();
  connect_timer.stop();
  if (progress) {
    progress(QString());
  }

  if (reply->bytesAvailable() > 0 && !too_long && !write_failed) {
    const QByteArray rest = reply->readAll();
    received += static_cast<std::uint64_t>(rest.size());
    too_long = limited && received > limit;
    digest.addData(rest);
    write_failed = !too_long && file.write(rest) != rest.size();
  }
  const QNetworkReply::NetworkError error = reply->error();
  const QString error_text = reply->errorString();

  if (timed_out) {
    result.Error = QStringLiteral("Connection to %1 timed out").arg(url.host());
  } else if (write_failed) {
    result.Error = file.errorString();
  } else if (error != QNetworkReply::NoError && !too_long) {
    result.Error = error_text;
  }
  if (too_long && options.MaxSize > 0 && limit == options.MaxSize) {
    result.Error = QStringLiteral("%1 is larger than %2 bytes").arg(url.toString()).arg(options.MaxSize);
  }
  if (!result.Error.isEmpty() || too_long) {
    file.cancelWriting();
    return result;
  }
  if (expected && (received != expected->Size || digest.result().toHex() != expected->Sha256Hex)) {
    file.cancelWriting();
    return result;
  }
  if (!file.commit()) {
    result.Error = file.errorString();
    return result;
  }
  result.FileName = target;
  return result;
}

bool FileIsExpected(const QString& file_name, const TExpectedFile& expected) {
  QFile file(file_name);
  if (!file.open(QIODevice::ReadOnly) || static_cast<std::uint64_t>(file.size()) != expected.Size) {
    return false;
  }
  QCryptographicHash digest(QCryptographicHash::Sha256);
  return digest.addData(&file) && file.atEnd() && digest.result().toHex() == expected.Sha256Hex;
}

}  // namespace velmora::update

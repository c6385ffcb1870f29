#include "app/settings_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "platform/app_data_folder.h"

namespace velmora::app {
namespace {

constexpr const char* kRoot = "Configuration";
constexpr int kLockWaitMs = 5000;

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-';
}

template <typename Visit>
void ForEachSegment(std::string_view path, Visit visit) {
  while (true) {
    const std::size_t cut = path.find('\\');
    if (!visit(path.substr(0, cut))) {
      return;
    }
    if (cut == std::string_view::npos) {
      return;
    }
    path.remove_prefix(cut + 1);
  }
}

}  // namespace

// Serialises loading and saving with the other processes that use the file. A lock left by a process that
// died is taken over; one that a live process holds for longer than a few seconds is ignored rather than
// leaving the window hanging.
class ProcessLock final {
 public:
  explicit ProcessLock(const QString& settings_path) : lock_(settings_path + QStringLiteral(".lock")) {
    QDir().mkpath(QFileInfo(settings_path).absolutePath());
    // Holds last milliseconds; a lock this old belongs to a process that hangs or died.
    lock_.setStaleLockTime(kStaleLockMs);
    QElapsedTimer waited;
    waited.start();
    while (!(held_ = lock_.tryLock(kLockRetryMs)) && waited.elapsed() < kLockWaitMs) {
      // A process killed while it wrote the lock leaves it empty, naming no process that could be asked
      // whether it still lives; such a lock is dropped as soon as it is clearly not being written.
      qint64 pid = 0;
      QString host;
      QString application;
      const QFileInfo file(settings_path + QStringLiteral(".lock"));
      if (!lock_.getLockInfo(&pid, &host, &application) && file.exists() &&
          file.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnreadableLockMs) {
        lock_.removeStaleLockFile();
      }
    }
  }
  ~ProcessLock() {
    if (held_) {
      lock_.unlock();
    }
  }
  ProcessLock(const ProcessLock&) = delete;
  ProcessLock& operator=(const ProcessLock&) = delete;

 private:
  static constexpr int kStaleLockMs = 10000;
  static constexpr int kLockRetryMs = 20;
  static constexpr int kUnreadableLockMs = 200;
  QLockFile lock_;
  bool held_ = false;
};

namespace {

// A corrupt file is never overwritten: it goes aside under the first free name.
QString PutAside(const QString& path) {
  QString aside = path + QStringLiteral(".corrupt");
  for (int n = 1; QFileInfo::exists(aside); ++n) {
    aside = path + QStringLiteral(".corrupt.%1").arg(n);
  }
  return QFile::rename(path, aside) ? aside : QString();
}

}  // namespace

TSettingsFile::TSettingsFile(QString path) : path_(std::move(path)) {}

QString TSettingsFile::DefaultPath() {
  // The roaming application data on Windows, $XDG_CONFIG_HOME (default ~/.config) elsewhere.
  const std::filesystem::path folder = platform::SettingsFolder();
  if (folder.empty()) {
    return QStringLiteral("Velmora.xml");
  }
  const QString directory = QDir::fromNativeSeparators(QString::fromStdWString(folder.wstring()));
  const QString path = directory + QStringLiteral("/Velmora.xml");
  // Earlier Windows versions kept the file in the local, not the roaming, application data; it moves
  // once, so that nobody loses their settings.
  const QString legacy = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Velmora/Velmora.xml");
  if (QFileInfo(legacy) != QFileInfo(path) && !QFile::exists(path) && QFile::exists(legacy) &&
      QDir().mkpath(directory)) {
    QFile::rename(legacy, path);
  }
  return path;
}

std::string TSettingsFile::ElementName(std::string_view segment) {
  std::string name(segment);
  if (name.empty()) {
    return "_";
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x80) {
      // One "_" for the whole multi-byte character.
      std::size_t end = i + 1;
      while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        ++end;
      }
      name.replace(i, end - i, "_");
    } else if (i == 0 ? !IsNameStart(name[i]) : !IsNameChar(name[i])) {
      name[i] = '_';
    }
  }
  return name;
}

void TSettingsFile::Refresh() {
  if (batch_depth_ == 0) {
    ProcessLock lock(path_);
    ReloadIfChanged();
  }
}

std::string TSettingsFile::ReadString(std::string_view path, std::string_view default_value) {
  Refresh();
  const pugi::xml_node entry = Find(path);
  return entry ? std::string(entry.text().get()) : std::string(default_value);
}

int TSettingsFile::ReadInteger(std::string_view path, int default_value) {
  Refresh();
  const pugi::xml_node entry = Find(path);
  if (!entry) {
    return default_value;
  }
  const std::string text = entry.text().get();
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
    return default_value;
  }
  return static_cast<int>(value);
}

bool TSettingsFile::ReadBoolean(std::string_view path, bool default_value) {
  Refresh();
  const pugi::xml_node entry = Find(path);
  if (!entry) {
    return default_value;
  }
  const QString text = QString::fromUtf8(entry.text().get()).trimmed();
  if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) {
    return true;
  }
  bool number = false;
  const qlonglong value = text.toLongLong(&number);
  return number && value != 0;
}

bool TSettingsFile::HasEntry(std::string_view path) {
  Refresh();
  return static_cast<bool>(Find(path));
}

void TSettingsFile::WriteString(std::string_view path, std::string_view value) {
  if (batch_depth_ > 0) {
    FindOrCreate(path).text().set(std::string(value).c_str());
    unsaved_ = true;
    return;
  }
  ProcessLock lock(path_);
  ReloadForWrite();
  FindOrCreate(path).text().set(std::string(value).c_str());
  Changed();
}

void TSettingsFile::WriteInteger(std::string_view path, int value) {
  WriteString(path, std::to_string(value));
}

void TSettingsFile::WriteBoolean(std::string_view path, bool value) {
  WriteString(path, value ? "-1" : "0");
}

void TSettingsFile::DeleteEntry(std::string_view path) {
  std::unique_ptr<ProcessLock> lock;
  if (batch_depth_ == 0) {
    lock = std::make_unique<ProcessLock>(path_);
    ReloadForWrite();
  }
  pugi::xml_node entry = Find(path);
  if (entry) {
    entry.parent().remove_child(entry);
    Changed();
  }
}

TSettingsFile::Batch::Batch(TSettingsFile& file) : file_(file) {
  if (file_.batch_depth_++ == 0) {
    lock_ = std::make_unique<ProcessLock>(file_.path_);
    file_.ReloadForWrite();
  }
}

TSettingsFile::Batch::~Batch() {
  if (--file_.batch_depth_ == 0 && file_.unsaved_) {
    file_.Save();
  }
}

pugi::xml_node TSettingsFile::Find(std::string_view path) {
  pugi::xml_node node = document_.child(kRoot);
  ForEachSegment(path, [&node](std::string_view segment) {
    node = node.child(ElementName(segment).c_str());
    return static_cast<bool>(node);
  });
  return node;
}

pugi::xml_node TSettingsFile::FindOrCreate(std::string_view path) {
  pugi::xml_node node = document_.child(kRoot);
  if (!node) {
    node = document_.append_child(kRoot);
  }
  ForEachSegment(path, [&node](std::string_view segment) {
    const std::string name = ElementName(segment);
    pugi::xml_node child = node.child(name.c_str());
    node = child ? child : node.append_child(name.c_str());
    return true;
  });
  return node;
}

namespace {

struct FileStamp {
  QDateTime modified;
  std::int64_t size = -1;
};

FileStamp StampOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    return {};
  }
  return {info.lastModified(), info.size()};
}

}  // namespace

void TSettingsFile::ReloadIfChanged() {
  if (unsaved_ && loaded_) {
    return;  // what is in memory is newer than the file
  }
  const FileStamp now = StampOf(path_);
  if (!loaded_ || now.size != loaded_size_ || now.modified != loaded_modified_) {
    Load();
  }
}

void TSettingsFile::ReloadForWrite() {
  // A write builds on the file as it is now, even where another save left its time and size alike.
  if (!unsaved_ || !loaded_) {
    Load();
  }
}

void TSettingsFile::Load() {
  loaded_ = true;
  document_.reset();
  const FileStamp stamp = StampOf(path_);
  loaded_modified_ = stamp.modified;
  loaded_size_ = stamp.size;
  if (stamp.size < 0) {
    return;  // no file yet: every entry takes its default
  }
  const std::string native = QFile::encodeName(path_).toStdString();
  const pugi::xml_parse_result parsed = document_.load_file(native.c_str());
  const char* problem = parsed ? nullptr : parsed.description();
  if (parsed && !document_.child(kRoot)) {
    problem = "its root element is not \"Configuration\"";
  }
  if (problem == nullptr) {
    return;
  }
  document_.reset();
  const QString aside = PutAside(path_);
  if (aside.isEmpty()) {
    std::fprintf(
        stderr, "Velmora: the settings file %s cannot be read (%s) nor moved aside; the defaults are used.\n",
        qPrintable(path_), problem);
  } else {
    std::fprintf(
        stderr,
        "Velmora: the settings file %s cannot be read (%s); it was kept as %s and the defaults are used.\n",
        qPrintable(path_), problem, qPrintable(aside));
  }
  const FileStamp gone = StampOf(path_);
  loaded_modified_ = gone.modified;
  loaded_size_ = gone.size;
}

void TSettingsFile::Changed() {
  unsaved_ = true;
  if (batch_depth_ == 0) {
    Save();
  }
}

void TSettingsFile::Save() {
  std::ostringstream text;
  document_.save(text, "  ", pugi::format_indent, pugi::encoding_utf8);
  const std::string bytes = text.str();

  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSaveFile file(path_);
  bool saved =
      file.open(QIODevice::WriteOnly) &&
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
      file.flush();
#ifdef Q_OS_UNIX
  // The new text must be on the disk before it takes the name, or a power cut could leave an empty file.
  saved = saved && ::fsync(file.handle()) == 0;
#endif
  const QString reason = file.errorString();
  saved = saved && file.commit();
  if (!saved) {
    file.cancelWriting();
    if (!save_failure_reported_) {
      save_failure_reported_ = true;
      std::fprintf(
          stderr, "Velmora: the settings cannot be saved to %s (%s); they are kept until the program ends.\n",
          qPrintable(path_), qPrintable(file.errorString().isEmpty() ? reason : file.errorString()));
    }
    return;
  }
  unsaved_ = false;
  const FileStamp stamp = StampOf(path_);
  loaded_modified_ = stamp.modified;
  loaded_size_ = stamp.size;
}

}  // namespace velmora::app

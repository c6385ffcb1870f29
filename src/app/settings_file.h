#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace velmora::app {

class ProcessLock;

// The per-user options file: one XML tree under the root "Configuration", where an entry's path
// ("Velmora\IP") is the chain of nested elements holding its text.
//
// Every change reaches the disk at once, through a new file that replaces the old one only when it is
// whole, so a crash leaves either the old or the new settings. A lock file serialises this with other
// processes using the same file, and a read first takes up what another process saved meanwhile. A file
// that cannot be parsed is kept aside as "<name>.corrupt" and the defaults apply.
class TSettingsFile final {
 public:
  explicit TSettingsFile(QString path);
  TSettingsFile(const TSettingsFile&) = delete;
  TSettingsFile& operator=(const TSettingsFile&) = delete;

  // "Velmora/Velmora.xml" in the user's roaming configuration folder.
  static QString DefaultPath();

  const QString& Path() const { return path_; }

  std::string ReadString(std::string_view path, std::string_view default_value);
  int ReadInteger(std::string_view path, int default_value);
  // A menu mark: "-1" or any other non-zero number, or "True" in any case, is checked; "0" or "False" is
  // not, and so is any other text. A missing entry gives `default_value`.
  bool ReadBoolean(std::string_view path, bool default_value);
  bool HasEntry(std::string_view path);

  void WriteString(std::string_view path, std::string_view value);
  void WriteInteger(std::string_view path, int value);
  void WriteBoolean(std::string_view path, bool value);
  // Removes an entry and everything below it.
  void DeleteEntry(std::string_view path);

  // Holds the writes made while it lives and saves them as one file at its end, keeping other processes
  // out meanwhile: closing the window writes some forty entries, and one replace is as safe as forty
  // and far cheaper.
  class Batch final {
   public:
    explicit Batch(TSettingsFile& file);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    TSettingsFile& file_;
    std::unique_ptr<ProcessLock> lock_;
  };

  // The XML element name of one path segment: every character that may not stand in an element name
  // (a "." among them) becomes "_".
  static std::string ElementName(std::string_view segment);

 private:
  // Takes up what another process saved since, unless a batch is open.
  void Refresh();
  pugi::xml_node Find(std::string_view path);
  pugi::xml_node FindOrCreate(std::string_view path);
  void ReloadIfChanged();
  void ReloadForWrite();
  void Load();
  void Changed();
  void Save();

  QString path_;
  pugi::xml_document document_;
  // What the file was when it was last loaded or saved, to notice another process's save.
  QDateTime loaded_modified_;
  std::int64_t loaded_size_ = -1;
  bool loaded_ = false;
  // Changes not yet on disk (a batch is open, or the last save failed): they win over the file.
  bool unsaved_ = false;
  int batch_depth_ = 0;
  bool save_failure_reported_ = false;
};

}  // namespace velmora::app

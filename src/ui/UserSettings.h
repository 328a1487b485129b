#pragma once

#include <memory>
#include <string>

#include <QString>

class QSettings;

namespace rzt::ui {

// What the desktop program keeps between runs, in the user's configuration
// folder: the folder analysed last, which is the start folder next time.
// The report settings are not kept; every run starts from their defaults.
class UserSettings {
 public:
  // file: where the settings live; empty for the program's own file in the
  // user's configuration folder.
  explicit UserSettings(QString file = {});
  ~UserSettings();
  UserSettings(const UserSettings&) = delete;
  UserSettings& operator=(const UserSettings&) = delete;

  // The folder analysed last, as the bytes of its path; empty when none is
  // kept.
  std::string lastFolder() const;
  // Keeps the folder and writes the settings out.
  void setLastFolder(const std::string& folder);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace rzt::ui

#include "UserSettings.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

namespace rzt::ui {

namespace {

// The folder name below the user's configuration folder, and the file's.
constexpr const char* kOrganisation = "rzt";
constexpr const char* kApplication = "rzt";
constexpr const char* kLastFolderKey = "analysis/lastFolder";

}  // namespace

UserSettings::UserSettings(QString file)
    : settings_(file.isEmpty()
                    ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication))
                    : std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

std::string UserSettings::lastFolder() const {
  // Kept as bytes: a path on Linux need not be valid UTF-8.
  const QByteArray bytes = settings_->value(QString::fromLatin1(kLastFolderKey)).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void UserSettings::setLastFolder(const std::string& folder) {
  settings_->setValue(QString::fromLatin1(kLastFolderKey),
                      QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
  settings_->sync();
}

}  // namespace rzt::ui

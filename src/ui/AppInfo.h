#pragma once

#include <QIcon>
#include <QString>

namespace rzt::ui {

// The program's identity as the splash and version windows show it.
inline constexpr const char* kAppTitle = "RZT";
inline constexpr int kVersionMajor = RZT_VERSION_MAJOR;
inline constexpr int kVersionMinor = RZT_VERSION_MINOR;
inline constexpr int kVersionRevision = RZT_VERSION_PATCH;

// "ﾊﾞｰｼﾞｮﾝ " followed by major.minor.revision in plain decimal.
QString versionText();
// The Japanese display name.
QString displayNameJa();
// The English display name between "- " and " -".
QString displayNameEn();
// The one-line maker's notice.
QString makerNotice();
// The disclaimer of the version window.
QString disclaimer();
// The program's icon, drawn from the bundled image.
QIcon appIcon();

}  // namespace rzt::ui

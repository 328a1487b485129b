#include "AppInfo.h"

// The image lives in a static library, whose resources the linker would
// drop unless they are registered by hand.
static void registerResources() { Q_INIT_RESOURCE(rzt); }

namespace rzt::ui {

QString versionText() {
  return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

QString displayNameJa() { return QStringLiteral("Javaソースコード計測ツール"); }

QString displayNameEn() { return QStringLiteral("- Java Source Metrics -"); }

QString makerNotice() { return QStringLiteral("RZT 開発チーム"); }

QString disclaimer() {
  return QStringLiteral(
      "本プログラムは現状のまま提供されます。本プログラムの使用または使用できないことにより"
      "生じたいかなる損害についても、作成者は責任を負いません。");
}

QIcon appIcon() {
  static const bool registered = (registerResources(), true);
  (void)registered;
  return QIcon(QStringLiteral(":/rzt/rzt.png"));
}

}  // namespace rzt::ui

// The desktop program: the splash window, then the main window.
#include <QApplication>

#include <string>

#include "AppInfo.h"
#include "frmSplash.h"
#include "support/StandardDescriptors.h"

int main(int argc, char** argv) {
  // Before any file is opened: a closed 0, 1 or 2 must not become a workbook.
  rzt::ensureStandardDescriptors();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(rzt::ui::kAppTitle));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                          .arg(rzt::ui::kVersionMajor)
                                          .arg(rzt::ui::kVersionMinor)
                                          .arg(rzt::ui::kVersionRevision));
  QGuiApplication::setDesktopFileName(QStringLiteral("rzt"));
  QApplication::setWindowIcon(rzt::ui::appIcon());

  // An optional folder to show first; the bytes are kept as given.
  std::string startDirectory;
  if (argc > 1) startDirectory = argv[1];

  auto* splash = new rzt::ui::frmSplash(startDirectory);
  splash->show();
  return app.exec();
}

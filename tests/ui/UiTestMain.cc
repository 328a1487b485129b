// Runs the widget tests inside one application object; without a display
// the offscreen platform stands in. The user's configuration folder is a
// temporary one, so that no test reads or writes the real one.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir configuration;
  if (!configuration.isValid()) return 1;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// GoogleTest's entry for the view tests: the widgets need a QApplication.
#include <gtest/gtest.h>
#include <QApplication>

#include "platform/qt/accessibility.h"

int main(int argc, char** argv) {
  // Listing the tests happens without the test environment; the widgets never need a display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  tolvane::qt::InstallAccessibility();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#pragma once
// The one QApplication of a test process, made at the first use.

#include <QApplication>

namespace orvel::test {

inline QApplication& testApplication() {
  static int argc = 1;
  static char name[] = "orvel-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace orvel::test

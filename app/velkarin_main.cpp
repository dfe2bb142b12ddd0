// velkarin: the desktop program. Shows the frame MDIForm1 with Form1 inside.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/main_frame.h"
#include "ui/qt_translation.h"

// Qt aborts when it finds no display; say what is missing instead.
static bool displayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int main(int argc, char* argv[]) {
  if (!displayAvailable()) {
    std::fputs(
        "velkarin: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Start it from a graphical session, or under a virtual display: xvfb-run -a velkarin\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velkarin"));
  velkarin::installQtChineseTranslation(app);

  velkarin::MainFrame frame;
  frame.start();
  return QApplication::exec();
}

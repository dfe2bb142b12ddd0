#include "ui/calculator/desktop_program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "calc/version.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/application_icon.h"
#include "ui/common/qt_text.h"
#include "ui/common/qt_translation.h"

static constexpr std::string_view usage =
    "Usage: velkarin [--help | --version]\n"
    "\n"
    "The Velkarin desktop program (Simplified Chinese): the carbon-chromium-oxygen\n"
    "equilibrium of chromium-bearing steel melts during oxygen and argon-oxygen\n"
    "decarburisation, for Cr2O3 and Cr3O4 as product, with an equilibrium diagram.\n"
    "It needs a display; without one, run it as: xvfb-run -a velkarin\n"
    "\n"
    "  -h, --help   print this text\n"
    "  --version    print the name and version\n"
    "\n"
    "See also velkarin-batch(1) and velkarin-curve(1).\n";

// --help and --version are answered before Qt starts, so they need no display.
// Returns the exit status when the arguments were such an option or are unknown.
static std::optional<int> answerOptions(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fwrite(usage.data(), 1, usage.size(), stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("velkarin %.*s\n", static_cast<int>(velkarin::version.size()), velkarin::version.data());
      return 0;
    }
    // Qt's own options (-platform, -style, …) and their values are Qt's business.
  }
  return std::nullopt;
}

// Qt aborts when it finds no display; say what is missing instead.
static bool displayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

namespace velkarin {

int runDesktopProgram(int argc, char* argv[]) {
  if (const std::optional<int> status = answerOptions(argc, argv)) return *status;
  if (!displayAvailable()) {
    std::fputs(
        "velkarin: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Start it from a graphical session, or under a virtual display: xvfb-run -a velkarin\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velkarin"));
  QApplication::setApplicationVersion(velkarin::toQString(velkarin::version));
  QApplication::setDesktopFileName(QStringLiteral("org.velkarin.Velkarin"));
  QApplication::setWindowIcon(velkarin::applicationIcon());
  velkarin::installQtChineseTranslation(app);

  velkarin::MainFrame frame;
  frame.start();
  return QApplication::exec();
}

}  // namespace velkarin

// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/desktop_program.h"

#include <QApplication>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
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
    "  --version    print the name, version and licence\n"
    "Qt's own options (-platform NAME, -style NAME, ...) are passed on to Qt;\n"
    "any other option starting with -- is refused with status 2.\n"
    "\n"
    "See also velkarin-batch(1) and velkarin-curve(1).\n";

// Writes a text to standard output and closes it: 0, or 1 (with the reason
// on stderr) when it could not be written.
static int printAndExit(const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (written && flushed && std::fclose(stdout) == 0) return 0;
  std::fprintf(stderr, "velkarin: cannot write <stdout>: %s\n", std::strerror(errno ? errno : error));
  return 1;
}

// --help and --version are answered before Qt starts, so they need no display.
// Returns the exit status when the arguments were such an option or are unknown.
static std::optional<int> answerOptions(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return printAndExit(std::string(usage));
    if (arg == "--version") return printAndExit(velkarin::versionText("velkarin"));
    // Qt's own options (-platform, -style, …) and their values are Qt's
    // business; a long option the program does not know is a mistake, not
    // something to start the windows over.
    if (arg.size() > 2 && arg.substr(0, 2) == "--") {
      std::fprintf(stderr, "velkarin: unknown option '%.*s'\n\n%.*s", static_cast<int>(arg.size()), arg.data(),
                   static_cast<int>(usage.size()), usage.data());
      return 2;
    }
  }
  return std::nullopt;
}

// Whether the user chose the platform plugin (QT_QPA_PLATFORM or -platform).
static bool platformChosen(int argc, char* argv[]) {
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  if (chosen && *chosen) return true;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "-platform") return true;
  }
  return false;
}

// Qt messages while the platform plugin starts ("could not connect to
// display"); shown only where the program cannot say it better.
static QStringList platformMessages;
static void collectPlatformMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  platformMessages << message;
}

static std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : "(not set)";
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
  // Qt aborts when no platform plugin starts. Unless the user chose one, try
  // the session's own (Wayland or X11), then the other, then "minimal",
  // which always starts: ending on it means no display could be opened.
  const bool chooseFallback = !platformChosen(argc, argv);
  if (chooseFallback) {
    const bool wayland = std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY");
    ::setenv("QT_QPA_PLATFORM", wayland ? "wayland;xcb;minimal" : "xcb;wayland;minimal", 1);
  }
  const QtMessageHandler previous = qInstallMessageHandler(collectPlatformMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  if (chooseFallback) ::unsetenv("QT_QPA_PLATFORM");
  if (chooseFallback && QGuiApplication::platformName() == QStringLiteral("minimal")) {
    std::fprintf(stderr,
                 "velkarin: cannot open a display (DISPLAY=%s, WAYLAND_DISPLAY=%s).\n"
                 "Check that the display server runs and that you may use it (xhost, XAUTHORITY);\n"
                 "on Wayland install qt6-wayland. Without a display: xvfb-run -a velkarin,\n"
                 "or choose a platform plugin with QT_QPA_PLATFORM (xcb, wayland, offscreen).\n",
                 environmentValue("DISPLAY").c_str(), environmentValue("WAYLAND_DISPLAY").c_str());
    return 1;
  }
  for (const QString& message : platformMessages) std::fprintf(stderr, "%s\n", qPrintable(message));
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

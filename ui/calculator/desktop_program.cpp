// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/desktop_program.h"

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "calc/number_list.h"
#include "calc/plan.h"
#include "calc/plan_file.h"
#include "calc/version.h"
#include "io/terminal_text.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/application_icon.h"
#include "ui/common/enter_presses_buttons.h"
#include "ui/common/qt_text.h"
#include "ui/common/qt_translation.h"
#include "ui/diagram/plan_report.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

static constexpr std::string_view usage =
    "Usage: velkarin [PLAN.velkarin]\n"
    "       velkarin --report PLAN.velkarin -o REPORT.pdf\n"
    "       velkarin --help | --version\n"
    "\n"
    "The Velkarin desktop program (Simplified Chinese): the carbon-chromium-oxygen\n"
    "equilibrium of chromium-bearing steel melts during oxygen and argon-oxygen\n"
    "decarburisation, for Cr2O3 and Cr3O4 as product, with an equilibrium diagram.\n"
    "It needs a display; without one, run it as: xvfb-run -a velkarin\n"
    "\n"
    "  PLAN.velkarin          open this plan in the equilibrium diagram\n"
    "  --report PLAN -o PDF   write the plan's report (A4, PDF) without a display;\n"
    "                         status 0 written, 1 the plan cannot be read, 3 the\n"
    "                         PDF cannot be written\n"
    "  -h, --help             print this text\n"
    "  --version              print the name, version and licence\n"
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

// What the arguments ask for besides the windows: --report PLAN -o PDF.
struct ReportRequest {
  std::string plan;
  std::string output;
};

static int refuseUsage(const std::string& why) {
  std::fprintf(stderr, "velkarin: %s\n\n%.*s", why.c_str(), static_cast<int>(usage.size()), usage.data());
  return 2;
}

// --help and --version are answered before Qt starts, so they need no display.
// Returns the exit status when the arguments were such an option or are
// unknown; fills `report` for --report.
static std::optional<int> answerOptions(int argc, char* argv[], std::optional<ReportRequest>& report) {
  std::optional<std::string> plan, output;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return printAndExit(std::string(usage));
    if (arg == "--version") return printAndExit(velkarin::versionText("velkarin"));
    if (arg == "--report" || arg == "-o") {
      std::optional<std::string>& value = arg == "-o" ? output : plan;
      if (value) return refuseUsage(std::string(arg) + " given twice");
      if (i + 1 >= argc) return refuseUsage(std::string(arg) + " needs a file");
      value = argv[++i];
      continue;
    }
    // Qt's own options (-platform, -style, …) and their values are Qt's
    // business; a long option the program does not know is a mistake, not
    // something to start the windows over.
    if (arg.size() > 2 && arg.substr(0, 2) == "--") return refuseUsage("unknown option '" + std::string(arg) + "'");
  }
  if (output && !plan) return refuseUsage("-o needs --report");
  if (plan && !output) return refuseUsage("--report needs -o REPORT.pdf");
  if (plan && output->empty()) return refuseUsage("-o needs a file name");
  if (plan) report = ReportRequest{*plan, *output};
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

// velkarin --report: the plan's report written on the offscreen platform
// from the plan and what its session computes, as the diagram would show
// them; no window is made.
static int writeReport(int argc, char* argv[], const ReportRequest& request) {
  if (!platformChosen(argc, argv)) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velkarin"));
  QApplication::setOrganizationName(QStringLiteral("Velkarin"));  // settings in ~/.config/Velkarin/
  const QString path = QString::fromLocal8Bit(request.plan.c_str());
  const auto refuse = [&](const std::string& why) {
    std::fprintf(stderr, "velkarin: %s: %s\n", terminalText(request.plan).c_str(), terminalText(why).c_str());
    return 1;
  };
  const PlanFileRead read = readPlanFile(request.plan);
  if (!read.plan) return refuse(planFileReadEnglish(read));
  PlanDocument document;
  PlanSession session(document);
  // A plan with a start temperature was simulated: its report shows the blow.
  session.setSimulating(!trimmedItem(read.plan->heat.startTemperature).empty());
  document.reset(*read.plan);
  document.belongTo(path);
  if (const std::optional<QString> error =
          writePlanReport(document, session, QString::fromLocal8Bit(request.output.c_str()))) {
    std::fprintf(stderr, "velkarin: cannot write %s: %s\n", terminalText(request.output).c_str(),
                 terminalText(error->toStdString()).c_str());
    return 3;
  }
  return 0;
}

int runDesktopProgram(int argc, char* argv[]) {
  // A plan or report saved to a pipe whose reader went away fails with EPIPE
  // and says so, instead of ending the program and its unsaved plans.
  std::signal(SIGPIPE, SIG_IGN);
  std::optional<ReportRequest> report;
  if (const std::optional<int> status = answerOptions(argc, argv, report)) return *status;
  if (report) return writeReport(argc, argv, *report);
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
  QApplication::setOrganizationName(QStringLiteral("Velkarin"));  // settings in ~/.config/Velkarin/
  QApplication::setApplicationVersion(velkarin::toQString(velkarin::version));
  QApplication::setDesktopFileName(QStringLiteral("org.velkarin.Velkarin"));
  QApplication::setWindowIcon(velkarin::applicationIcon());
  velkarin::installQtChineseTranslation(app);
  velkarin::letEnterPressButtons(app);

  velkarin::MainFrame frame;
  frame.start();
  // What is left after Qt took its own options: plans to open (the last one
  // shown; a desktop opens one at a time).
  const QStringList arguments = QApplication::arguments().mid(1);
  for (const QString& argument : arguments) frame.openPlan(argument);
  return QApplication::exec();
}

}  // namespace velkarin

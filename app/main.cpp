// tarvolin: the desktop program.
//
//   tarvolin [--workdir DIR] [--no-splash]
//
// The work folder holds the user's input files, the reports and plot files of the runs and
// the program's own small files; without --workdir it is a per-user folder, created and
// seeded with the example inputs on first start. The splash picture stays up for one to two
// seconds; --no-splash, or the environment variable TARVOLIN_NO_SPLASH=1, skips it and its
// wait (for scripted starts and tests).

#include <memory>

#include <QApplication>
#include <QCommandLineParser>
#include <QSplashScreen>

#include "ui/platform/gui_platform.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/single_instance.h"
#include "ui/main_window/splash_picture.h"
#include "ui/platform/work_folder.h"

using namespace tarvolin;
using namespace tarvolin::ui;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvolin"));
  QApplication::setApplicationVersion(QStringLiteral(TARVOLIN_VERSION));

  QCommandLineParser options;
  options.setApplicationDescription(
      QStringLiteral("Calculation of stability constants and related values using "
                     "experimental measurements"));
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption workdir(
      QStringLiteral("workdir"),
      QStringLiteral("Work folder for input files, reports and run files (default: %1).")
          .arg(defaultWorkFolder()),
      QStringLiteral("DIR"));
  const QCommandLineOption noSplash(QStringLiteral("no-splash"),
                                    QStringLiteral("Start without the splash picture."));
  options.addOption(workdir);
  options.addOption(noSplash);
  options.process(app);

  GuiPlatform platform;
  SingleInstanceLock instance;
  if (instance.acquire(SingleInstanceLock::defaultLockPath()) ==
      SingleInstanceLock::Result::HeldElsewhere) {
    platform.showMessage(MessageKind::Information, QStringLiteral("Program TARVOLIN"),
                         QStringLiteral("TARVOLIN is already running"), MessageButtons::Ok);
    return 1;
  }

  std::unique_ptr<QSplashScreen> splash;
  if (!options.isSet(noSplash) && qEnvironmentVariableIntValue("TARVOLIN_NO_SPLASH") == 0) {
    splash = std::make_unique<QSplashScreen>(splashPicture(), Qt::WindowStaysOnTopHint);
    splash->show();
    QApplication::processEvents();
  }

  const QString folder = options.isSet(workdir) ? options.value(workdir) : defaultWorkFolder();
  QString error;
  if (!prepareWorkFolder(folder, findExamplesFolder(QStringLiteral(TARVOLIN_SOURCE_DIR)), &error)) {
    if (splash) splash->close();
    platform.showMessage(MessageKind::Error, QStringLiteral("Tarvolin"), error, MessageButtons::Ok);
    return 1;
  }

  MainWindow mainWindow(folder);
  if (splash) holdForClockSeconds(2);
  mainWindow.show();
  if (splash) splash->finish(&mainWindow);
  return QApplication::exec();
}

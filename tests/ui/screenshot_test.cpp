// Pictures for a person to look at: each dialog of the program, written as PNG files into the
// build's screenshots folder (the windows' tests add theirs: the main window after a run, the
// start dialog, the editor, the data-input window and the result windows).

#include <QLabel>

#include "tests/ui/ui_test_support.h"
#include "ui/main_window/about_dialog.h"
#include "ui/main_window/progress_dialog.h"
#include "ui/main_window/splash_picture.h"
#include "ui/main_window/start_up_dialog.h"
#include "ui/main_window/user_guide.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::ui::testing;

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogs() {
    ProgressDialog fit;
    fit.setMethod(2);
    fit.setReadouts("1234", "3.141593E-0005");
    fit.show();
    saveScreenshot(&fit, "fit_form");

    AboutDialog about;
    about.show();
    saveScreenshot(&about, "about_dialog");

    StartUpDialog greeting;
    greeting.show();
    saveScreenshot(&greeting, "start_up_dialog");

    UserGuideWindow guide(QDir::homePath());
    guide.show();
    saveScreenshot(&guide, "user_guide");

    QLabel splash;
    splash.setPixmap(splashPicture());
    splash.adjustSize();
    saveScreenshot(&splash, "splash");
  }
};

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"

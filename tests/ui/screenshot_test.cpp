// Pictures for a person to look at: the main window with a report window after a run, and each
// dialog of the program, written as PNG files into the build's screenshots folder.

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

namespace {

void save(QWidget* widget, const char* name) {
  QDir().mkpath(TARVOLIN_SCREENSHOT_DIR);
  const QString path = QDir(TARVOLIN_SCREENSHOT_DIR).filePath(QLatin1String(name) + ".png");
  QVERIFY2(widget->grab().save(path), qPrintable(path));
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void mainWindowWithReport() {
    WorkFolder folder({"TEST.DAT", "POT_TITRATION.DAT", "CU_GLYCINE.SQD"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->resize(1100, 760);
    form->show();
    OnModal<StartDialog> start([](StartDialog* dlg) {
      clickItem(dlg->inputList(), "TEST.DAT");
      QTest::keyClicks(dlg->outputEdit(), "run1");
      QTest::keyClick(dlg->outputEdit(), Qt::Key_Return);
      save(dlg, "start_calc_dialog");
      QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    });
    form->findChild<QAction*>("MenuFitting")->trigger();
    QVERIFY(log.messages.isEmpty());
    QCOMPARE(form->mdiArea()->subWindowList().size(), 4);  // the report and three result windows
    form->mdiArea()->subWindowList().first()->showMaximized();
    QTest::qWait(20);
    save(form.get(), "main_window_report");
  }

  void dialogs() {
    ProgressDialog fit;
    fit.setMethod(2);
    fit.setReadouts("1234", "3.141593E-0005");
    fit.show();
    save(&fit, "fit_form");

    AboutDialog about;
    about.show();
    save(&about, "about_dialog");

    StartUpDialog greeting;
    greeting.show();
    save(&greeting, "start_up_dialog");

    UserGuideWindow guide(QDir::homePath());
    guide.show();
    save(&guide, "user_guide");

    QLabel splash;
    splash.setPixmap(splashPicture());
    splash.adjustSize();
    save(&splash, "splash");
  }
};

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"

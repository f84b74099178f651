// The result windows on the offscreen platform: the measured-versus-calculated plot, the
// residuals, the titration curve and the basic-component percentages. The computations behind
// them (files, statistics, axes, pixel mapping, spline, curves) are tested without a window; here
// each window shows that it draws its data at all, what its messages, choosers, check boxes,
// hover read-outs and clicks do, and how the main window opens and places them. Runs of the
// examples give the screenshots a person looks at.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <map>
#include <vector>

#include "model/model.h"
#include "run/plot_files.h"
#include "run/run_driver.h"
#include "tests/support/batch_data.h"
#include "tests/ui/ui_test_support.h"
#include "ui/platform/jpeg_image.h"
#include "ui/results/percentage_window.h"
#include "ui/results/regression_window.h"
#include "ui/results/residual_window.h"
#include "ui/results/result_window_host.h"
#include "ui/results/titration_curve_window.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::plotting;
using tarvolin::ui::testing::countColour;
using tarvolin::ui::testing::saveScreenshot;

namespace {

// The main window as the result windows see it.
class FakeHost : public ResultWindowHost {
 public:
  void setStatusText(int panel, const QString& text) override { status[panel] = text; }
  MessageResult message(MessageKind kind, const QString& caption, const QString& text,
                        MessageButtons buttons) override {
    messages.push_back({kind, caption, text, buttons});
    return MessageResult::Yes;
  }
  void clear() {
    messages.clear();
    status.clear();
  }
  std::vector<testing::ShownMessage> messages;
  std::map<int, QString> status;
};

void writeText(const QString& name, const QString& text) {
  QVERIFY(testing::writeBytes(name, text.toLatin1()));
}

// A REG line in its fixed columns: Ycalc 1-14, Yexp 16-29, point number 31-35.
QString regLine(double Ycalc, double Yexp, int number) {
  return QString::asprintf("%14.6E %14.6E %5d\r\n", Ycalc, Yexp, number);
}

QString twoValues(double x, double y) { return QString::asprintf("%.15E %.15E\r\n", x, y); }

QRgb rgbAt(const QImage& image, QPoint p) { return image.pixel(p) & 0xFFFFFF; }
QPoint at(Pixel p) { return {p.x, p.y}; }
QPoint centre(const Box& box) { return {(box.left + box.right) / 2, (box.top + box.bottom) / 2}; }

// Pixels that are not white within the rectangle.
int countInk(const QImage& image, QRect area) {
  area = area.intersected(image.rect());
  return area.width() * area.height() - countColour(image, 0xFFFFFF, area);
}

QImage shot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget.mapToGlobal(at), button, button, modifiers);
  QApplication::sendEvent(&widget, &event);
}
void moveMouse(QWidget& widget, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  mouse(widget, QEvent::MouseMove, at, modifiers);
}

// What a user's choice in a combo box does.
void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

ResultSource sourceOf(const QString& folder, const std::string& output, int dataSets) {
  ResultSource source;
  source.folder = folder;
  source.outputName = output;
  source.systems = {ResultSystem{}};
  source.systems[0].dataSets = dataSets;
  return source;
}

constexpr QRgb kRedPixel = 0xFF0000, kPurplePixel = 0x800080, kWhitePixel = 0xFFFFFF;
constexpr QRgb kBlackPixel = 0x000000;

// Each corner of a plot's frame is drawn in black.
void expectBlackFrame(const QImage& image, const std::array<Pixel, 4>& corners) {
  for (const Pixel corner : corners) QCOMPARE(rgbAt(image, at(corner)), kBlackPixel);
}

}  // namespace

class ResultWindowsTest : public QObject {
  Q_OBJECT

 private:
  QString folder() const { return dir_->path(); }
  // Twelve points about the diagonal, numbered 11 to 22; the sixth lies far above the others.
  void writeRegressionFile(const QString& name, double shift = 0) {
    QString text = QStringLiteral("File [%1] Ycalc. Yexp. ExpPoinNo\r\n").arg(name);
    for (int i = 1; i <= 12; ++i)
      text += regLine(i + shift, i + shift + (i == 6 ? 2.5 : (i % 2 ? 0.1 : -0.1)), i + 10);
    writeText(name, text);
  }
  std::unique_ptr<RegressionWindow> newRegressionWindow(int dataSets) {
    auto window = std::make_unique<RegressionWindow>(host_);
    window->setSource(sourceOf(folder(), "run.OUT", dataSets));
    window->show();
    return window;
  }
  template <typename Window>
  std::unique_ptr<Window> newCurveWindow(ResultSource source, QSize size = Window::defaultSize()) {
    auto window = std::make_unique<Window>(host_, std::move(source));
    window->resize(size);
    window->show();
    window->draw();
    return window;
  }

  std::unique_ptr<QTemporaryDir> dir_;
  FakeHost host_;

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QDir::setCurrent(dir_->path());
    host_.clear();
  }

  void cleanup() { QDir::setCurrent(QDir::tempPath()); }

  void regressionDrawsHoversAndSelects() {
    writeRegressionFile("run1.REG");
    auto window = newRegressionWindow(1);
    window->dataOpenFile();
    QVERIFY(host_.messages.empty());
    QVERIFY(window->plotReady());
    const RegressionPlot& plot = window->loaded().plot;
    const RegressionLayout layout(window->plotClient(), plot.x, plot.y);
    // The red line from the smallest to the largest Ycalc; the status bar lies below the plot.
    const std::vector<Pixel> line = layout.regressionLine(plot.line);
    const QImage image = shot(*window);
    QCOMPARE(rgbAt(image, at(line.front())), kRedPixel);
    QCOMPARE(rgbAt(image, at(line.back())), kRedPixel);
    QVERIFY(window->plotClient().bottom < window->height());
    // The frame, the +-3s band, the grey confidence band and the statistics in navy are drawn.
    expectBlackFrame(image, layout.frame());
    const auto band = layout.bandLines(plot.fit.s);
    QCOMPARE(rgbAt(image, at(band[0][0])), 0xC0DCC0u);
    int grey = 0;
    for (const Pixel p : layout.confidenceBand(plot.fit, plot.data.N()))
      grey += rgbAt(image, at(p)) == 0x808080u;
    QVERIFY(grey > 900);
    const Pixel stats = layout.regressionLineAt();
    QVERIFY(countColour(image, 0x000080, QRect(stats.x, stats.y, 200, 14)) > 20);

    // Hover names the point by its number in the file; Ctrl held without a button leaves the
    // read-outs alone; a click selects a point in green, a click elsewhere lets it go.
    const auto point = [&](int i) {
      return QPoint(layout.px(plot.data.Ycalc[i]), layout.py(plot.data.Yexp[i]));
    };
    moveMouse(*window, point(0) + QPoint(4, -4));
    QCOMPARE(window->statusText(1), "11th Point");
    QVERIFY(window->statusText(3).startsWith("Ycalc.  = "));
    moveMouse(*window, point(0) + QPoint(5, 0));
    QCOMPARE(window->statusText(1), QString());
    const QString readout = window->statusText(3);
    moveMouse(*window, point(3), Qt::ControlModifier);
    QCOMPARE(window->statusText(1), QString());
    QCOMPARE(window->statusText(3), readout);

    mouse(*window, QEvent::MouseButtonPress, point(5));
    QCOMPARE(window->selectedPoint(), 6);
    QCOMPARE(rgbAt(shot(*window), point(5)), 0x00FF00u);
    mouse(*window, QEvent::MouseButtonPress, QPoint(window->width() / 2, 30));
    QCOMPARE(window->selectedPoint(), 0);
    QCOMPARE(rgbAt(shot(*window), point(5)), kWhitePixel);
  }

  void regressionMessagesAndChoosers() {
    // A missing file, two valid points (the others do not convert), every Ycalc the same: the
    // message and its kind, and whether the window keeps a plot; a flat one draws nothing.
    const struct {
      QString content;  // empty: no file
      QString message;
      MessageKind kind;
      bool ready;
    } cases[] = {
        {{}, "PLOT Yexp. vs Ycalc.: Cannot find file run1.REG", MessageKind::Warning, false},
        {"head\r\n" + regLine(1, 2, 1) + "   x.5E+00       1.0E+00    2\r\n" + regLine(2, 3, 3),
         {},
         MessageKind::Information,
         false},
        {"head\r\n" + regLine(1, 2, 1) + regLine(1, 3, 2) + regLine(1, 4, 3),
         "PLOT Y vs X: Could not plot data set: min = max.", MessageKind::Information, true},
    };
    auto window = newRegressionWindow(1);
    for (const auto& c : cases) {
      QFile::remove("run1.REG");
      if (!c.content.isEmpty()) writeText("run1.REG", c.content);
      host_.clear();
      window->dataOpenFile();
      QCOMPARE(window->plotReady(), c.ready);
      QCOMPARE(host_.messages.size(), std::size_t(c.message.isEmpty() ? 0 : 1));
      if (c.message.isEmpty()) continue;
      QCOMPARE(host_.messages[0].text, c.message);
      QCOMPARE(host_.messages[0].kind, c.kind);
      QCOMPARE(host_.messages[0].buttons, MessageButtons::Yes);
    }
    const ClientRect client = window->plotClient();
    QCOMPARE(countInk(shot(*window), QRect(0, 0, client.right, client.bottom)), 0);
    moveMouse(*window, QPoint(200, 200));  // over nothing drawn: no read-out
    QCOMPARE(window->statusText(3), QString());

    // Closing clears the flag; one data set hides the chooser.
    writeRegressionFile("run1.REG");
    window->dataOpenFile();
    QVERIFY(window->plotReady());
    QVERIFY(window->dataSetChooser()->isHidden() && window->dataSetLabel()->isHidden());
    window->close();
    QVERIFY(!window->plotReady());

    // Shown again for a run of three data sets: the chooser offers them and loads the one chosen;
    // the next run has a single data set and the window goes back to the first.
    writeRegressionFile("run2.REG", 100);
    writeRegressionFile("run3.REG", 200);
    window->show();
    window->setSource(sourceOf(folder(), "run.OUT", 3));
    window->dataOpenFile();
    QVERIFY(window->dataSetChooser()->isVisible() && window->dataSetLabel()->isVisible());
    QCOMPARE(window->dataSetChooser()->count(), 3);
    choose(window->dataSetChooser(), 1);
    QCOMPARE(window->windowTitle(), "P L O T :   Yexp.  vs  Ycalc.;  File: run2.REG");
    QCOMPARE(window->loaded().plot.x.min, 101.0L);
    choose(window->dataSetChooser(), 2);
    window->setSource(sourceOf(folder(), "run.OUT", 1));
    window->dataOpenFile();
    QCOMPARE(window->dataSetIndex(), 0);
    QVERIFY(window->dataSetChooser()->isHidden());
    QCOMPARE(window->loaded().plot.x.min, 1.0L);
  }

  // Purple circles where the residuals lie; the hover names the point by its place in the file,
  // not in the sorted order.
  void residualsDrawAndNameTheFilesPoint() {
    QString text = "12\r\n";
    for (int i = 1; i <= 11; ++i) text += twoValues(i + 1, (i % 2 ? 1 : -1) * 0.1 * i);
    text += twoValues(1, 0.5);  // the twelfth point has the smallest Ycalc
    writeText("run1.GAR", text);
    auto window = newCurveWindow<ResidualWindow>(sourceOf(folder(), "run.OUT", 1), QSize(435, 300));
    QVERIFY(host_.messages.empty());
    QVERIFY(window->hasPlot());
    QVERIFY(window->dataSetChooser()->isHidden());

    const QImage image = shot(*window);
    const CurveFrame frame = residualFrame(window->plotClient(), window->plot());
    for (const Box& box : residualPointBoxes(frame, window->plot()))
      QCOMPARE(rgbAt(image, QPoint(box.left, centre(box).y())), kPurplePixel);
    // The frame and the red zero line between the residuals of both signs.
    expectBlackFrame(image, frame.frame());
    const auto zero = zeroLine(frame);
    QVERIFY(zero.has_value());
    const int length = (*zero)[1].x - (*zero)[0].x;
    QVERIFY(countColour(image, kRedPixel, QRect((*zero)[0].x, (*zero)[0].y, length, 1)) >
            length / 3);

    const QPoint twelfth(roundPixel(frame.px(1)), roundPixel(frame.py(0.5)));
    moveMouse(*window, twelfth);
    QCOMPARE(host_.status[1], "12th Point");
    QVERIFY(host_.status[3].startsWith("Ycalc. = "));
    moveMouse(*window, twelfth + QPoint(0, 20));
    QCOMPARE(host_.status[1], QString());
  }

  // A file that cannot be drawn is reported once, not at every paint; another data set, or a
  // file that comes readable, lets the message come again.
  void curveWindowMessagesComeOncePerCause() {
    auto window = newCurveWindow<ResidualWindow>(sourceOf(folder(), "run.OUT", 2), QSize(435, 300));
    QCOMPARE(host_.messages.size(), std::size_t{1});
    QCOMPARE(host_.messages[0].kind, MessageKind::Information);
    QCOMPARE(host_.messages[0].text, "Cannot open file 'run1.GAR'");
    QCOMPARE(host_.messages[0].buttons, MessageButtons::Yes);
    QVERIFY(!window->hasPlot());
    for (int i = 0; i < 3; ++i) {
      window->repaint();
      QCoreApplication::processEvents();
    }
    window->draw();
    QCOMPARE(host_.messages.size(), std::size_t{1});
    QCOMPARE(countInk(shot(*window), QRect(0, 40, window->width(), window->height() - 40)), 0);

    choose(window->dataSetChooser(), 1);
    QCOMPARE(host_.messages.size(), std::size_t{2});
    QCOMPARE(host_.messages[1].text, "Cannot open file 'run2.GAR'");
    // With two data sets the chooser and its sentence take the title's place.
    QVERIFY(window->dataSetChooser()->isVisible());
    QCOMPARE(window->dataSetLabel()->text(), "Graphical Analysis of Residuals for Data Set:");

    // A flat range; then readable; then flat again.
    const auto twoPoints = [](double x2) {
      writeText("run2.GAR", "2\r\n" + twoValues(1, 1) + twoValues(x2, 2));
    };
    twoPoints(1);
    window->draw();
    QCOMPARE(host_.messages.back().text, "Impossible to plot the data: Xmin = Xmax or Ymin = Ymax");
    twoPoints(2);
    window->draw();
    QVERIFY(window->hasPlot());
    const std::size_t shown = host_.messages.size();
    twoPoints(1);
    window->repaint();
    QCoreApplication::processEvents();
    QCOMPARE(host_.messages.size(), shown + 1);
  }

  // The purple spline, or red dots when "Draw calc. points" is checked or when two calculated
  // values share a point number; the hover names the measured point.
  void titrationCurveAsSplineOrAsDots() {
    const auto write = [](const QString& text) { writeText("run1.ECP", text); };
    write(
        QStringLiteral("6\r\n1 2.0\r\n2 3.1\r\n3 5.2\r\n4 8.8\r\n5 9.6\r\n6 10.0\r\n"
                       "4 9.0\r\n1 2.1\r\n6 10.1\r\n2 3.0\r\n5 9.5\r\n3 5.0\r\n"));
    auto window = newCurveWindow<TitrationCurveWindow>(sourceOf(folder(), "run.OUT", 1));
    QVERIFY(window->hasPlot());
    QImage image = shot(*window);
    const CurveFrame frame = titrationFrame(window->plotClient(), window->plot());
    QVERIFY(countColour(image, kPurplePixel) > frame.width() * 9 / 10);
    QCOMPARE(countColour(image, kRedPixel), 0);
    // The frame, and a black circle at each measured point.
    expectBlackFrame(image, frame.frame());
    for (const Box& box : measuredPointBoxes(frame, window->plot())) {
      const QRect area(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
      QVERIFY(countColour(image, kBlackPixel, area) >= 16);
    }

    window->pointsCheckBox()->setChecked(true);
    image = shot(*window);
    QCOMPARE(countColour(image, kPurplePixel), 0);
    for (const Box& box : calculatedDotBoxes(frame, window->plot()))
      QCOMPARE(rgbAt(image, centre(box)), kRedPixel);
    window->pointsCheckBox()->setChecked(false);

    write("3\r\n1 1.0\r\n2 2.0\r\n3 3.0\r\n1 1.1\r\n2 2.1\r\n2 2.2\r\n");
    window->draw();
    QVERIFY(window->hasPlot());
    image = shot(*window);
    QCOMPARE(countColour(image, kPurplePixel), 0);
    QVERIFY(countColour(image, kRedPixel) > 3 * 9);

    const CurveFrame equal = titrationFrame(window->plotClient(), window->plot());
    moveMouse(*window, QPoint(roundPixel(equal.px(3)), roundPixel(equal.py(3.0))));
    QCOMPARE(host_.status[1], "3d Point");
    QVERIFY(host_.status[3].startsWith("Experimental Point =    3"));
  }

  // Three species, components 1 and 2 offered, a data set of three points. Component 1: species 1
  // at 60 %, species 3 at 40 %. Component 2: species 1 rising 10 ... 50, species 3 falling.
  void percentagesOfTheChosenComponent() {
    QString text;
    for (int r = 1; r <= 5; ++r) {
      const std::vector<Real> values = {60, 0, 40, 10.0L * r, 0, 100 - 10.0L * r};
      text += QString::fromStdString(percentageRow(r, values)) + "\r\n";
    }
    writeText("runBC1.BCP", text);
    ResultSource source = sourceOf(folder(), "run.OUT", 1);
    source.systems[0].NS = 3;
    source.systems[0].offered = {1, 2};
    source.systems[0].points = {3};
    auto window = newCurveWindow<PercentageWindow>(source, QSize(670, 340));
    QVERIFY(host_.messages.empty());
    QVERIFY(window->hasPlot());
    QCOMPARE(window->windowTitle(), "Basic Components Percentage: [runBC1.BCP]");
    QCOMPARE(window->componentChooser()->count(), 2);
    QCOMPARE(window->componentChooser()->itemText(1), "2");

    // The first curve in red between its points; with "Draw points only" just at them.
    const CurveFrame frame = percentageFrame(window->plotClient(), window->data());
    expectBlackFrame(shot(*window), percentageFrameCorners(frame));
    const PercentageCurve first = percentageCurves(window->data(), frame, 3, 1, 0)[0];
    const QPoint between((first.points[1].x + first.points[2].x) / 2, first.points[1].y);
    QCOMPARE(rgbAt(shot(*window), between), kRedPixel);
    window->pointsCheckBox()->setChecked(true);
    QCOMPARE(rgbAt(shot(*window), between), kWhitePixel);
    QCOMPARE(rgbAt(shot(*window), at(first.points[2])), kRedPixel);
    window->pointsCheckBox()->setChecked(false);

    // The second component reads the second block of each line.
    choose(window->componentChooser(), 1);
    QCOMPARE(window->componentPosition(), 1);
    const PercentageCurve rising = percentageCurves(window->data(), frame, 3, 2, 1)[0];
    QCOMPARE(rgbAt(shot(*window), at(rising.points[3])), kRedPixel);

    moveMouse(*window, QPoint(frame.areaLeft() + frame.width() / 2,
                              frame.areaBottom() - frame.height() / 2));
    QCOMPARE(host_.status[3], "Experimental Point =    2;  PC = 50.0");

    // Lines shorter than the chosen component needs are refused with the line's number.
    writeText("runBC1.BCP", "    1.0  50.00  0.00  50.00\r\n");
    window->draw();
    QCOMPARE(host_.messages.back().text,
             QString::fromStdString(unreadableLineMessage("runBC1.BCP", 1)));
  }

  // Runs of the examples: a titration, batch NMR data, two titrations in one file, two calculated
  // systems, and a Single Step on a batch block of 3300 points, whose percentage file has a row
  // at every point. The windows draw the files the run wrote, of the system chosen; their
  // screenshots are for a person to look at.
  void resultWindowsAfterRealRuns() {
    GuiPlatform platform;
    testing::MessageLog log;
    for (const QStringList& example : testing::tableRows("result_window_runs.txt")) {
      const bool isExample = example[0] != "-";
      QFile::remove("RUN.DAT");
      auto model = std::make_unique<Model>();
      if (isExample) {
        QVERIFY(
            QFile::copy(QStringLiteral(TARVOLIN_SOURCE_DIR "/examples/") + example[0], "RUN.DAT"));
      } else {
        writeText("RUN.DAT", QString::fromStdString(test::batchDat(3300)));
        model->SingleStep = 1;
      }
      writeText("IN.IN", "RUN.DAT\r\nrun.OUT\r\n");
      QCOMPARE(SimplexRun(*model, platform), RunStatus::Completed);
      ResultSource source = sourceOf(folder(), "run.OUT", model->NBlocks);
      source.systems = resultSystemsOfRun(*model, "run.OUT");
      host_.clear();

      auto regression = newRegressionWindow(0);
      regression->setSource(source);
      regression->dataOpenFile();
      QVERIFY(regression->plotReady());
      if (isExample) QVERIFY(regression->loaded().plot.fit.R2 > 0.99L);
      auto residuals = newCurveWindow<ResidualWindow>(source);
      auto titration = newCurveWindow<TitrationCurveWindow>(source);
      auto percentages = newCurveWindow<PercentageWindow>(source);
      QVERIFY(residuals->hasPlot() && titration->hasPlot() && percentages->hasPlot());
      QCOMPARE(residuals->dataSetChooser()->isVisible(), model->NBlocks > 1);
      QCOMPARE(percentages->systemChooser()->isVisible(), model->NSystems > 1);
      if (model->NSystems > 1) {
        // The first system's titration of 30 points, then the second's of 16, from its own files.
        QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{30});
        for (QComboBox* box : {regression->systemChooser(), residuals->systemChooser(),
                               titration->systemChooser(), percentages->systemChooser()})
          choose(box, 1);
        QCOMPARE(regression->loaded().plot.data.N(), 16);
        QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{16});
        QCOMPARE(percentages->windowTitle(), "Basic Components Percentage: [runS2_BC1.BCP]");
      }
      if (model->NBlocks > 1)
        for (QComboBox* box : {regression->dataSetChooser(), residuals->dataSetChooser(),
                               titration->dataSetChooser(), percentages->dataSetChooser()})
          choose(box, 1);
      QVERIFY(host_.messages.empty() && log.messages.isEmpty());
      QVERIFY(regression->plotReady() && titration->hasPlot() && percentages->hasPlot());
      const QString prefix = example.value(1);
      saveScreenshot(regression.get(), prefix + "linreg");
      regression->resize(1150, 600);  // wide enough for the statistics lines in full
      saveScreenshot(regression.get(), prefix + "linreg_wide");
      saveScreenshot(residuals.get(), prefix + "residuals");
      saveScreenshot(titration.get(), prefix + "titration_curve");
      saveScreenshot(percentages.get(), prefix + "percentages");
    }
  }

  // After a clean run the main window opens the residual, percentage and titration windows of a
  // titration and shows the regression window; File, Open of a report opens the windows whose
  // files of all blocks lie beside it, drawing that report's files even when another run was
  // made since.
  void mainWindowOpensThemAfterARunAndWithAReport() {
    using namespace tarvolin::ui::testing;
    WorkFolder folder({"TEST.DAT", "POT_TITRATION.DAT"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->show();
    const auto run = [&](const char* input, const char* output) {
      OnModal<StartDialog> start(chooseRun({}, input, output));
      form->findChild<QAction*>("ComputeSingleStepItem")->trigger();
    };

    run("POT_TITRATION.DAT", "pot");
    QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
    QCOMPARE(captions(*form),
             (QStringList{"pot.OUT  for  POT_TITRATION.DAT", "Residual Analysis",
                          "Basic Components Percentage: [potBC1.BCP]", "Titration Curve"}));
    RegressionWindow* regression = form->regressionWindow();
    QVERIFY(regression && regression->isVisible() && regression->plotReady());
    QCOMPARE(regression->windowTitle(), "P L O T :   Yexp.  vs  Ycalc.;  File: pot1.REG");
    auto* residuals = qobject_cast<ResidualWindow*>(
        form->mdiArea()->subWindowList(QMdiArea::CreationOrder)[1]->widget());
    QVERIFY(residuals && residuals->hasPlot());
    // The hover read-outs go to the main window's status bar.
    const CurveFrame frame = residualFrame(residuals->plotClient(), residuals->plot());
    moveMouse(*residuals, QPoint(roundPixel(frame.px(residuals->plot().Ycalc[1])),
                                 roundPixel(frame.py(residuals->plot().D[1]))));
    QCOMPARE(form->statusText(1), "2nd Point");
    QVERIFY(form->statusText(3).startsWith("Ycalc. = "));

    // The windows open side by side: none covers another, the regression window (a tool window
    // of the main window, kept in front of it) included, which lies over the document area.
    QVERIFY(regression->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(regression->parentWidget(), form.get());
    QWidget* area = form->mdiArea()->viewport();
    const QRect areaOnScreen(area->mapToGlobal(QPoint(0, 0)), area->size());
    QVERIFY(areaOnScreen.contains(regression->frameGeometry().topLeft()));
    QList<QRect> placed{regression->frameGeometry()};
    for (QMdiSubWindow* sub : form->mdiArea()->subWindowList())
      placed << QRect(area->mapToGlobal(sub->pos()), sub->size());
    for (const QRect& a : placed)
      for (const QRect& b : placed) QVERIFY(a == b || !a.contains(b));
    // Cascade and Tile keep every window at least at its minimum size.
    for (const char* arrange : {"WindowCascadeItem", "WindowTileItem"}) {
      form->findChild<QAction*>(QLatin1String(arrange))->trigger();
      for (QMdiSubWindow* sub : form->mdiArea()->subWindowList()) {
        const QSize size = sub->widget()->size();
        QVERIFY2(size.expandedTo(sub->widget()->minimumSizeHint()) == size,
                 qPrintable(arrange + (" " + sub->windowTitle())));
      }
    }
    saveScreenshot(form.get(), "main_window_results");

    // Save as Image takes the regression window once the user works in it, the document window
    // again after a click there; the Window menu lists both kinds, the one worked in checked.
    const auto imageSize = [&] {
      const QString jpeg = folder.file("shot.JPG");
      QFile::remove(jpeg);
      form->saveActiveChildImage(jpeg);
      return decodeJpeg(folder.read("shot.JPG")).size();
    };
    const auto checkedWindow = [&] {
      QMenu* menu = nullptr;
      for (QAction* a : form->menuBar()->actions())
        if (a->text() == "&Window") menu = a->menu();
      emit menu->aboutToShow();
      QStringList checked;
      for (QAction* a : menu->actions())
        if (a->isChecked()) checked << a->text();
      return checked;
    };
    form->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(residuals->parentWidget()));
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(regression, &activation);
    QCOMPARE(imageSize(), regression->size());
    QCOMPARE(checkedWindow(), QStringList{"&5 " + regression->windowTitle()});
    QTest::mouseClick(residuals, Qt::LeftButton);
    QCOMPARE(imageSize(), residuals->size());
    QCOMPARE(checkedWindow(), QStringList{"&2 Residual Analysis"});
    // A new load clears the read-outs of the points shown before.
    moveMouse(*regression, QPoint(regression->width() / 2, regression->height() / 2));
    QVERIFY(!regression->statusText(3).isEmpty());

    // The report, kept in a folder of its own with its plot files, then a run on another system.
    QDir(folder.path()).mkdir("kept");
    for (const char* name :
         {"pot.OUT", "pot.PFP", "pot.TTC", "pot.RAC", "pot1.GAR", "pot1.ECP", "potBC1.BCP"})
      QVERIFY(QFile::copy(folder.file(QString::fromLatin1(name)),
                          folder.file("kept/" + QString::fromLatin1(name))));
    QFile::remove(folder.file("kept/pot.TTC"));
    run("TEST.DAT", "nmr");
    QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
    QCOMPARE(captions(*form).size(), 4);
    QVERIFY(regression->statusText(3).isEmpty());
    QCOMPARE(regression->windowTitle(), "P L O T :   Yexp.  vs  Ycalc.;  File: nmr1.REG");

    form->closeAll();
    const QString kept = folder.file("kept/pot.OUT");
    form->setFileDialogHook(
        [&](const QString&, const QString&, const QString&, bool) { return kept; });
    form->findChild<QAction*>("FileOpenItem")->trigger();
    QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
    // A report below the work folder is named from there.
    QCOMPARE(captions(*form),
             (QStringList{"pot.OUT", "Basic Components Percentage: [kept/potBC1.BCP]",
                          "Residual Analysis"}));
    const auto windows = form->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    auto* percentages = qobject_cast<PercentageWindow*>(windows[1]->widget());
    residuals = qobject_cast<ResidualWindow*>(windows[2]->widget());
    QVERIFY(percentages && percentages->hasPlot() && residuals && residuals->hasPlot());
    // The titration's 36 points and its components, not those of the batch run made last.
    QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{36});
    QCOMPARE(percentages->componentChooser()->count(), 1);
    QCOMPARE(percentages->componentChooser()->itemText(0), "2");
    QVERIFY(percentages->dataSetChooser()->isHidden());
    // With its TTC file beside it the report opens its titration curve as well.
    form->closeAll();
    QVERIFY(QFile::copy(folder.file("pot.TTC"), folder.file("kept/pot.TTC")));
    form->findChild<QAction*>("FileOpenItem")->trigger();
    QVERIFY(captions(*form).contains("Titration Curve"));
  }
};

QTEST_MAIN(ResultWindowsTest)
#include "result_windows_test.moc"

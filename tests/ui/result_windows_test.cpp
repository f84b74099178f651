// The result windows painted on the offscreen platform: the measured-versus-calculated plot,
// the residuals, the titration curve and the basic-component percentages. Each paints into an
// image whose pixels are checked where the layout fixes them (frame corners, circles, the
// regression line, the zero line, the spline, the curve colours); the messages, the data-set
// choosers, the hover read-outs and the selection by click are driven as a user would. Runs of
// the examples give the screenshots a person looks at.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <cmath>
#include <map>
#include <vector>

#include "model/model.h"
#include "run/plot_files.h"
#include "run/run_driver.h"
#include "tests/support/batch_data.h"
#include "tests/ui/ui_test_support.h"
#include "ui/results/residual_window.h"
#include "ui/results/regression_window.h"
#include "ui/platform/gui_platform.h"
#include "ui/platform/jpeg_image.h"
#include "ui/results/percentage_window.h"
#include "ui/results/plotting/cubic_spline.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/result_window_host.h"
#include "ui/results/titration_curve_window.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::plotting;
using tarvolin::ui::testing::countColour;

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
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text.toLatin1());
}

// A REG line in its fixed columns: Ycalc 1-14, Yexp 16-29, point number 31-35.
QString regLine(double Ycalc, double Yexp, int number) {
  return QString::asprintf("%14.6E %14.6E %5d\r\n", Ycalc, Yexp, number);
}

QString twoValues(double x, double y) { return QString::asprintf("%.15E %.15E\r\n", x, y); }

QRgb rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QRgb rgbAt(const QImage& image, Pixel p) { return rgbAt(image, p.x, p.y); }

// Pixels that are not white within the rectangle.
int countInk(const QImage& image, QRect area) {
  return area.intersected(image.rect()).width() * area.intersected(image.rect()).height() -
         countColour(image, 0xFFFFFF, area);
}

QImage shot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void moveMouse(QWidget& widget, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                    modifiers);
  QApplication::sendEvent(&widget, &event);
}

void click(QWidget& widget, QPoint at) {
  QMouseEvent event(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// What a user's choice in a combo box does.
void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

QPoint centre(const Box& box) { return {(box.left + box.right) / 2, (box.top + box.bottom) / 2}; }

ResultSource sourceOf(const QString& folder, const std::string& output, int dataSets) {
  ResultSource source;
  source.folder = folder;
  source.outputName = output;
  source.systems = {ResultSystem{}};
  source.systems[0].dataSets = dataSets;
  return source;
}

constexpr QRgb kBlackRgb = 0x000000;
constexpr QRgb kWhiteRgb = 0xFFFFFF;

}  // namespace

class ResultWindowsTest : public QObject {
  Q_OBJECT

 private:
  QString folder() const { return dir_->path(); }
  // Twelve points about the diagonal, numbered 11 to 22; the sixth lies far above the others.
  void writeRegressionFile(const QString& name, double shift = 0) {
    QString text = QStringLiteral("File [%1] Ycalc. Yexp. ExpPoinNo\r\n").arg(name);
    for (int i = 1; i <= 12; ++i) {
      const double Yexp = i + shift + (i == 6 ? 2.5 : (i % 2 ? 0.1 : -0.1));
      text += regLine(i + shift, Yexp, i + 10);
    }
    writeText(name, text);
  }
  std::unique_ptr<RegressionWindow> newRegressionWindow(int dataSets) {
    auto window = std::make_unique<RegressionWindow>(host_);
    window->setSource(sourceOf(folder(), "run.OUT", dataSets));
    window->resize(590, 515);
    window->show();
    return window;
  }
  template <typename Window>
  std::unique_ptr<Window> newCurveWindow(ResultSource source, QSize size) {
    auto window = std::make_unique<Window>(host_, std::move(source));
    window->resize(size);
    window->show();
    window->draw();
    return window;
  }

  std::unique_ptr<QTemporaryDir> dir_;
  FakeHost host_;

 private slots:
  void init();
  void cleanup();

  void regressionPlotHoverAndClick();
  void regressionMessagesFlatRangesAndChooser();
  void largestDataSetsLoadAndPaintAtOnce();
  void residualsWithZeroLineAndPurpleCircles();
  void curveWindowMessagesComeOncePerCause();
  void titrationCurveAsSplineOrAsDots();
  void percentagesInTheColourCycle();
  void resultWindowsAfterRealRuns();
  void mainWindowOpensThemAfterARunAndWithAReport();
};

void ResultWindowsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  QDir::setCurrent(dir_->path());
  host_.clear();
}

void ResultWindowsTest::cleanup() { QDir::setCurrent(QDir::tempPath()); }

void ResultWindowsTest::regressionPlotHoverAndClick() {
  writeRegressionFile(QStringLiteral("run1.REG"));
  auto window = newRegressionWindow(1);
  window->dataOpenFile();
  QVERIFY(host_.messages.empty());
  QVERIFY(window->plotReady());
  QCOMPARE(window->windowTitle(), QStringLiteral("P L O T :   Yexp.  vs  Ycalc.;  File: run1.REG"));
  const RegressionPlot& plot = window->loaded().plot;
  QCOMPARE(plot.data.N(), 12);

  const QImage image = shot(*window);
  const RegressionLayout layout(window->plotClient(), plot.x, plot.y);
  for (const Pixel corner : layout.frame()) QCOMPARE(rgbAt(image, corner), kBlackRgb);
  // The red line from the smallest to the largest Ycalc.
  const std::vector<Pixel> line = layout.regressionLine(plot.line);
  QCOMPARE(rgbAt(image, line.front()), 0xFF0000u);
  QCOMPARE(rgbAt(image, line.back()), 0xFF0000u);
  // The outlier's circle: black outline filled white, well off the line.
  const Box box = layout.pointBox(plot.data.Ycalc[5], plot.data.Yexp[5]);
  const QPoint c = centre(box);
  for (const Pixel edge : {Pixel{box.left, c.y()}, Pixel{box.right, c.y()}, Pixel{c.x(), box.top},
                           Pixel{c.x(), box.bottom}})
    QCOMPARE(rgbAt(image, edge), kBlackRgb);
  QCOMPARE(rgbAt(image, c.x(), c.y()), kWhiteRgb);
  QCOMPARE(rgbAt(image, box.left - 1, c.y()), kWhiteRgb);
  // The +-3s band along the diagonal and the grey confidence pixels of the line.
  const auto band = layout.bandLines(plot.fit.s);
  QCOMPARE(rgbAt(image, band[0][0]), 0xC0DCC0u);
  QCOMPARE(rgbAt(image, band[1][1]), 0xC0DCC0u);
  const std::vector<Pixel> confidence = layout.confidenceBand(plot.fit, plot.data.N());
  QCOMPARE(confidence.size(), std::size_t{1000});
  int grey = 0;
  for (const Pixel p : confidence) grey += rgbAt(image, p) == 0x808080u;
  QVERIFY2(grey > 900, qPrintable(QString::number(grey)));
  // The statistics in navy from 3/8 of the data area's width.
  const Pixel stats = layout.regressionLineAt();
  QVERIFY(countColour(image, 0x000080, QRect(stats.x, stats.y, 200, 14)) > 20);
  // Nothing under the status bar's top but the bar.
  QVERIFY(window->plotClient().bottom < window->height());

  // Hover names the point (suffixes of 11 and 22), a click selects it in green.
  const auto at = [&](int i) {
    return QPoint(layout.px(plot.data.Ycalc[i]), layout.py(plot.data.Yexp[i]));
  };

  moveMouse(*window, at(0) + QPoint(4, -4));
  QCOMPARE(window->statusText(1), QStringLiteral("11th Point"));
  QVERIFY(window->statusText(3).startsWith(QStringLiteral("Ycalc.  = ")));
  moveMouse(*window, at(11));
  QCOMPARE(window->statusText(1), QStringLiteral("22th Point"));
  moveMouse(*window, at(0) + QPoint(5, 0));
  QCOMPARE(window->statusText(1), QString());
  // Ctrl held without a button leaves the read-outs alone.
  const QString readout = window->statusText(3);
  moveMouse(*window, at(3), Qt::ControlModifier);
  QCOMPARE(window->statusText(1), QString());
  QCOMPARE(window->statusText(3), readout);

  click(*window, at(5));
  QCOMPARE(window->selectedPoint(), 6);
  QCOMPARE(rgbAt(shot(*window), at(5).x(), at(5).y()), 0x00FF00u);
  click(*window, QPoint(window->width() / 2, 30));
  QCOMPARE(window->selectedPoint(), 0);
  QCOMPARE(rgbAt(shot(*window), at(5).x(), at(5).y()), kWhiteRgb);
}

void ResultWindowsTest::regressionMessagesFlatRangesAndChooser() {
  auto window = newRegressionWindow(1);
  window->dataOpenFile();
  QCOMPARE(host_.messages.size(), std::size_t{1});
  QCOMPARE(host_.messages[0].kind, MessageKind::Warning);
  QCOMPARE(host_.messages[0].text,
           QStringLiteral("PLOT Yexp. vs Ycalc.: Cannot find file run1.REG"));
  QCOMPARE(host_.messages[0].buttons, MessageButtons::Yes);
  QVERIFY(!window->plotReady());

  // Two valid points (the others do not convert): not shown, and no message.
  host_.clear();
  writeText(QStringLiteral("run1.REG"), QStringLiteral("head Yexp\r\n") + regLine(1, 2, 1) +
                                            QStringLiteral("   x.5E+00       1.0E+00    2\r\n") +
                                            regLine(2, 3, 3));
  window->dataOpenFile();
  QVERIFY(host_.messages.empty());
  QVERIFY(!window->plotReady());

  // Every Ycalc the same: the flag is set, but nothing is drawn.
  writeText(QStringLiteral("run1.REG"), QStringLiteral("head Yexp\r\n") + regLine(1, 2, 1) +
                                            regLine(1, 3, 2) + regLine(1, 4, 3));
  window->dataOpenFile();
  QCOMPARE(host_.messages.size(), std::size_t{1});
  QCOMPARE(host_.messages[0].kind, MessageKind::Information);
  QCOMPARE(host_.messages[0].text,
           QStringLiteral("PLOT Y vs X: Could not plot data set: min = max."));
  QVERIFY(window->plotReady());
  const QImage image = shot(*window);
  const ClientRect client = window->plotClient();
  QCOMPARE(countInk(image, QRect(0, 0, client.right, client.bottom)), 0);
  // Mouse events over nothing drawn do nothing.
  moveMouse(*window, QPoint(200, 200));
  QCOMPARE(window->statusText(3), QString());

  // Closing clears the flag.
  writeRegressionFile(QStringLiteral("run1.REG"));
  window->dataOpenFile();
  QVERIFY(window->plotReady());
  QVERIFY(window->dataSetChooser()->isHidden());
  QVERIFY(window->dataSetLabel()->isHidden());
  window->close();
  QVERIFY(!window->plotReady());

  // Shown again for a run of three data sets: the chooser offers them.
  writeRegressionFile(QStringLiteral("run2.REG"), 100);
  writeRegressionFile(QStringLiteral("run3.REG"), 200);
  window->show();
  window->setSource(sourceOf(folder(), "run.OUT", 3));
  window->dataOpenFile();
  QVERIFY(window->dataSetChooser()->isVisible());
  QVERIFY(window->dataSetLabel()->isVisible());
  QCOMPARE(window->dataSetChooser()->count(), 3);
  QCOMPARE(window->dataSetChooser()->itemText(2), QStringLiteral("3"));
  choose(window->dataSetChooser(), 1);
  QCOMPARE(window->dataSetIndex(), 1);
  QCOMPARE(window->windowTitle(), QStringLiteral("P L O T :   Yexp.  vs  Ycalc.;  File: run2.REG"));
  QCOMPARE(window->loaded().plot.x.min, 101.0L);

  // The next run has a single data set: the window goes back to the first.
  choose(window->dataSetChooser(), 2);
  window->setSource(sourceOf(folder(), "run.OUT", 1));
  window->dataOpenFile();
  QCOMPARE(window->dataSetIndex(), 0);
  QVERIFY(window->dataSetChooser()->isHidden());
  QCOMPARE(window->loaded().plot.x.min, 1.0L);
}

// A data set of the largest size loads and paints at once; the time is printed for a person to
// judge, never asserted.
void ResultWindowsTest::largestDataSetsLoadAndPaintAtOnce() {
  QString text = QStringLiteral("File [run1.REG] Ycalc. Yexp. ExpPoinNo\r\n");
  for (int i = 1; i <= kCurveCapacity; ++i)
    text += regLine(std::sin(i * 0.01) + 2, std::sin(i * 0.01) + 2 + 0.01 * std::cos(i * 7.0), i);
  writeText(QStringLiteral("run1.REG"), text);
  auto window = newRegressionWindow(1);
  QElapsedTimer timer;
  timer.start();
  window->dataOpenFile();
  const QImage image = shot(*window);
  qInfo("3300 points: load and paint in %lld ms", static_cast<long long>(timer.elapsed()));
  QCOMPARE(window->loaded().plot.data.N(), kCurveCapacity);
  QVERIFY(countColour(image, 0xFF0000) > 100);

  // The titration curve re-reads its file and fits the spline through every calculated value
  // at each paint.
  QString curve = QString::number(kCurveCapacity) + QStringLiteral("\r\n");
  for (int part = 0; part < 2; ++part)
    for (int i = 1; i <= kCurveCapacity; ++i)
      curve += QString::asprintf("%5d %.6E\r\n", i, std::tanh((i - 1650) / 300.0) + 0.001 * part);
  writeText(QStringLiteral("run1.ECP"), curve);
  auto titration = newCurveWindow<TitrationCurveWindow>(sourceOf(folder(), "run.OUT", 1), QSize(520, 340));
  timer.restart();
  const QImage curveImage = shot(*titration);
  qInfo("3300 points: titration curve read and painted in %lld ms",
        static_cast<long long>(timer.elapsed()));
  QVERIFY(titration->hasPlot());
  QVERIFY(countColour(curveImage, 0x800080) > 300);
}

void ResultWindowsTest::residualsWithZeroLineAndPurpleCircles() {
  // Twelve residuals of both signs; the twelfth point in file order has the smallest Ycalc.
  QString text = QStringLiteral("12\r\n");
  for (int i = 1; i <= 11; ++i) text += twoValues(i + 1, (i % 2 ? 1 : -1) * 0.1 * i);
  text += twoValues(1, 0.5);
  writeText(QStringLiteral("run1.GAR"), text);
  auto window = newCurveWindow<ResidualWindow>(sourceOf(folder(), "run.OUT", 1), QSize(435, 300));
  QVERIFY(host_.messages.empty());
  QVERIFY(window->hasPlot());
  QCOMPARE(window->windowTitle(), QStringLiteral("Residual Analysis"));
  QVERIFY(window->dataSetChooser()->isHidden());

  const QImage image = shot(*window);
  const CurveFrame frame = residualFrame(window->plotClient(), window->plot());
  for (const Pixel corner : frame.frame()) QCOMPARE(rgbAt(image, corner), kBlackRgb);
  const auto zero = zeroLine(frame);
  QVERIFY(zero.has_value());
  const int row = (*zero)[0].y;
  const int red =
      countColour(image, 0xFF0000, QRect((*zero)[0].x, row, (*zero)[1].x - (*zero)[0].x, 1));
  QVERIFY2(red > ((*zero)[1].x - (*zero)[0].x) / 3, qPrintable(QString::number(red)));
  QCOMPARE(countColour(image, 0xFF0000, QRect(0, row - 1, window->width(), 1)), 0);
  // Purple circles, hollow.
  for (const Box& box : residualPointBoxes(frame, window->plot())) {
    const QPoint c = centre(box);
    QCOMPARE(rgbAt(image, box.left, c.y()), 0x800080u);
    QCOMPARE(rgbAt(image, c.x(), box.top), 0x800080u);
  }
  // The title with a single data set.
  QVERIFY(countInk(image, QRect(0, 10, window->width(), 14)) > 50);

  // The twelfth point of the file is named.
  const QPoint twelfth(roundPixel(frame.px(1)), roundPixel(frame.py(0.5)));
  moveMouse(*window, twelfth);
  QCOMPARE(host_.status[1], QStringLiteral("12th Point"));
  QVERIFY(host_.status[3].startsWith(QStringLiteral("Ycalc. = ")));
  moveMouse(*window, twelfth + QPoint(0, 20));
  QCOMPARE(host_.status[1], QString());

  // Residuals all positive: no zero line. Two data sets: the chooser replaces the title.
  writeText(QStringLiteral("run1.GAR"),
            QStringLiteral("3\r\n") + twoValues(1, 1) + twoValues(2, 3) + twoValues(3, 2));
  auto two = newCurveWindow<ResidualWindow>(sourceOf(folder(), "run.OUT", 2), QSize(435, 300));
  QVERIFY(two->dataSetChooser()->isVisible());
  QCOMPARE(two->dataSetLabel()->text(),
           QStringLiteral("Graphical Analysis of Residuals for Data Set:"));
  const QImage positive = shot(*two);
  QCOMPARE(countColour(positive, 0xFF0000), 0);
}

// A file that cannot be drawn is reported once, not at every paint; another data set, or a
// file that comes readable, lets the message come again.
void ResultWindowsTest::curveWindowMessagesComeOncePerCause() {
  auto window = newCurveWindow<ResidualWindow>(sourceOf(folder(), "run.OUT", 2), QSize(435, 300));
  QCOMPARE(host_.messages.size(), std::size_t{1});
  QCOMPARE(host_.messages[0].kind, MessageKind::Information);
  QCOMPARE(host_.messages[0].text, QStringLiteral("Cannot open file 'run1.GAR'"));
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
  QCOMPARE(host_.messages[1].text, QStringLiteral("Cannot open file 'run2.GAR'"));

  // A flat range; then readable; then flat again.
  const auto twoPoints = [](double x2) {
    writeText(QStringLiteral("run2.GAR"),
              QStringLiteral("2\r\n") + twoValues(1, 1) + twoValues(x2, 2));
  };
  twoPoints(1);
  window->draw();
  QCOMPARE(host_.messages.back().text,
           QStringLiteral("Impossible to plot the data: Xmin = Xmax or Ymin = Ymax"));
  twoPoints(2);
  window->draw();
  QVERIFY(window->hasPlot());
  const std::size_t shown = host_.messages.size();
  twoPoints(1);
  window->repaint();
  QCoreApplication::processEvents();
  QCOMPARE(host_.messages.size(), shown + 1);

  // More points announced than a data set can hold.
  writeText(QStringLiteral("run2.ECP"), QStringLiteral("3301\r\n"));
  auto curve = newCurveWindow<TitrationCurveWindow>(sourceOf(folder(), "run.OUT", 2), QSize(520, 340));
  choose(curve->dataSetChooser(), 1);
  QCOMPARE(host_.messages.back().text, QString::fromStdString(tooManyPointsMessage("run2.ECP")));
}

void ResultWindowsTest::titrationCurveAsSplineOrAsDots() {
  // Six measured points; the calculated values in another order in the file.
  const double Yexp[] = {2.0, 3.1, 5.2, 8.8, 9.6, 10.0};
  const double Ycalc[] = {2.1, 3.0, 5.0, 9.0, 9.5, 10.1};
  QString text = QStringLiteral("6\r\n");
  for (int i = 0; i < 6; ++i) text += QString::asprintf("%5d %.6E\r\n", i + 1, Yexp[i]);
  for (const int i : {3, 0, 5, 1, 4, 2}) text += QString::asprintf("%5d %.6E\r\n", i + 1, Ycalc[i]);
  writeText(QStringLiteral("run1.ECP"), text);
  auto window = newCurveWindow<TitrationCurveWindow>(sourceOf(folder(), "run.OUT", 1), QSize(520, 340));
  QVERIFY(window->hasPlot());
  QVERIFY(window->plot().splineDrawable);

  QImage image = shot(*window);
  const CurveFrame frame = titrationFrame(window->plotClient(), window->plot());
  for (const Pixel corner : frame.frame()) QCOMPARE(rgbAt(image, corner), kBlackRgb);
  const std::vector<Pixel> curve = calculatedCurve(frame, window->plot());
  QCOMPARE(static_cast<int>(curve.size()), frame.width() + 2);
  int purple = 0;
  for (const Pixel p : curve) purple += rgbAt(image, p) == 0x800080u;
  QVERIFY2(purple > static_cast<int>(curve.size()) * 9 / 10, qPrintable(QString::number(purple)));
  // The spline passes through the calculated values.
  CubicSpline spline(window->plot().calcNo, window->plot().Ycalc);
  QCOMPARE(static_cast<double>(spline(4)), 9.0);
  // Black circles where the curve does not cross them.
  for (const Box& box : measuredPointBoxes(frame, window->plot())) {
    const QRect area(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
    QVERIFY(countColour(image, 0x000000, area) >= 16);
  }
  QCOMPARE(countColour(image, 0xFF0000), 0);

  // "Draw calc. points": red dots instead of the curve.
  window->pointsCheckBox()->setChecked(true);
  image = shot(*window);
  QCOMPARE(countColour(image, 0x800080), 0);
  for (const Box& box : calculatedDotBoxes(frame, window->plot()))
    QCOMPARE(rgbAt(image, centre(box).x(), centre(box).y()), 0xFF0000u);
  window->pointsCheckBox()->setChecked(false);

  // Two calculated values at one point number have no spline: dots, whatever the box says.
  text = QStringLiteral("3\r\n1 1.0\r\n2 2.0\r\n3 3.0\r\n1 1.1\r\n2 2.1\r\n2 2.2\r\n");
  writeText(QStringLiteral("run1.ECP"), text);
  window->draw();
  QVERIFY(window->hasPlot());
  QVERIFY(!window->plot().splineDrawable);
  image = shot(*window);
  QCOMPARE(countColour(image, 0x800080), 0);
  QVERIFY(countColour(image, 0xFF0000) > 3 * 9);

  // Hover over the measured points.
  const CurveFrame equal = titrationFrame(window->plotClient(), window->plot());
  moveMouse(*window, QPoint(roundPixel(equal.px(3)), roundPixel(equal.py(3.0))));
  QCOMPARE(host_.status[1], QStringLiteral("3d Point"));
  QVERIFY(host_.status[3].startsWith(QStringLiteral("Experimental Point =    3")));
}

void ResultWindowsTest::percentagesInTheColourCycle() {
  // Three species, components 1 and 2 offered, a data set of three points. Component 1: species
  // 1 at 60 %, species 2 absent, species 3 at 40 %. Component 2: species 1 rising 10 ... 50,
  // species 3 falling.
  QString text;
  for (int r = 1; r <= 5; ++r) {
    const std::vector<Real> values = {60, 0, 40, 10.0L * r, 0, 100 - 10.0L * r};
    text += QString::fromStdString(percentageRow(r, values)) + QStringLiteral("\r\n");
  }
  writeText(QStringLiteral("runBC1.BCP"), text);
  ResultSource source = sourceOf(folder(), "run.OUT", 1);
  source.systems[0].NS = 3;
  source.systems[0].offered = {1, 2};
  source.systems[0].points = {3};
  auto window = newCurveWindow<PercentageWindow>(source, QSize(670, 340));
  QVERIFY(host_.messages.empty());
  QVERIFY(window->hasPlot());
  QCOMPARE(window->windowTitle(), QStringLiteral("Basic Components Percentage: [runBC1.BCP]"));
  QCOMPARE(window->componentChooser()->count(), 2);
  QCOMPARE(window->componentChooser()->itemText(1), QStringLiteral("2"));

  QImage image = shot(*window);
  const CurveFrame frame = percentageFrame(window->plotClient(), window->data());
  for (const Pixel corner : percentageFrameCorners(frame))
    QCOMPARE(rgbAt(image, corner), kBlackRgb);
  // Species 1 red; species 2 takes no colour, so species 3 is blue.
  const auto curves = percentageCurves(window->data(), frame, 3, 1, 0);
  QCOMPARE(curves.size(), std::size_t{2});
  const auto between = [](const PercentageCurve& c) {
    return Pixel{(c.points[1].x + c.points[2].x) / 2, c.points[1].y};
  };
  QCOMPARE(rgbAt(image, between(curves[0])), 0xFF0000u);
  QCOMPARE(rgbAt(image, between(curves[1])), 0x0000FFu);

  // Points only: the pixels of the lines and nothing between them.
  window->pointsCheckBox()->setChecked(true);
  image = shot(*window);
  QCOMPARE(rgbAt(image, between(curves[0])), kWhiteRgb);
  QCOMPARE(rgbAt(image, curves[0].points[2]), 0xFF0000u);
  window->pointsCheckBox()->setChecked(false);

  // The second component reads the second block of each line.
  choose(window->componentChooser(), 1);
  QCOMPARE(window->componentPosition(), 1);
  image = shot(*window);
  const auto second = percentageCurves(window->data(), frame, 3, 2, 1);
  QCOMPARE(second.size(), std::size_t{2});
  QCOMPARE(second[1].label, std::string("2 in 3"));
  QCOMPARE(rgbAt(image, second[0].points[3]), 0xFF0000u);
  // Species 3 falls from 70 to 50 % between the third and the fourth line.
  const Pixel from = second[1].points[2], to = second[1].points[3];
  QVERIFY(countColour(image, 0x0000FF, QRect((from.x + to.x) / 2, (from.y + to.y) / 2 - 1, 1, 3)));

  moveMouse(*window,
            QPoint(frame.areaLeft() + frame.width() / 2, frame.areaBottom() - frame.height() / 2));
  QCOMPARE(host_.status[3], QStringLiteral("Experimental Point =    2;  PC = 50.0"));

  // A data set of a single point leaves an empty file.
  writeText(QStringLiteral("runBC1.BCP"), QString());
  window->draw();
  QCOMPARE(host_.messages.back().text, QStringLiteral("Impossible to plot the data: Xmin = Xmax"));
  // Lines shorter than the chosen component needs are refused with the line's number.
  writeText(QStringLiteral("runBC1.BCP"), QStringLiteral("    1.0  50.00  0.00  50.00\r\n"));
  window->draw();
  QCOMPARE(host_.messages.back().text,
           QString::fromStdString(unreadableLineMessage("runBC1.BCP", 1)));
}

// Runs of the examples: a titration, batch NMR data, two titrations in one file, two calculated
// systems, and a Single Step on a batch block of 3300 points, whose percentage file has a row
// at every point. The windows draw the files the run wrote, of the system chosen; their
// screenshots are for a person to look at.
void ResultWindowsTest::resultWindowsAfterRealRuns() {
  const QString shots = QStringLiteral(TARVOLIN_SCREENSHOT_DIR);
  QDir().mkpath(shots);
  GuiPlatform platform;
  GuiPlatform::setMessageHook([](MessageKind, const QString&, const QString&, MessageButtons) {
    return MessageResult::Ok;
  });
  struct Example {
    const char* file;  // an example, or nothing for the block of 3300 points
    const char* prefix;
  };
  for (const Example example :
       {Example{"POT_TITRATION.DAT", ""}, Example{"NMR_BATCH.DAT", "batch_"},
        Example{"TWO_BLOCKS.DAT", "two_blocks_"}, Example{"TWO_SYSTEMS.DAT", "two_systems_"},
        Example{nullptr, "batch_3300_"}}) {
    QFile::remove(QStringLiteral("RUN.DAT"));
    auto model = std::make_unique<Model>();
    if (example.file) {
      QVERIFY(QFile::copy(QStringLiteral(TARVOLIN_SOURCE_DIR "/examples/") + example.file,
                          QStringLiteral("RUN.DAT")));
    } else {
      writeText(QStringLiteral("RUN.DAT"), QString::fromStdString(test::batchDat(3300)));
      model->SingleStep = 1;
    }
    writeText(QStringLiteral("IN.IN"), QStringLiteral("RUN.DAT\r\nrun.OUT\r\n"));
    QCOMPARE(SimplexRun(*model, platform), RunStatus::Completed);
    ResultSource source = sourceOf(folder(), "run.OUT", model->NBlocks);
    source.systems = resultSystemsOfRun(*model, "run.OUT");
    host_.clear();

    auto regression = newRegressionWindow(0);
    regression->setSource(source);
    regression->dataOpenFile();
    QVERIFY(regression->plotReady());
    if (example.file) QVERIFY(regression->loaded().plot.fit.R2 > 0.99L);
    auto residuals = newCurveWindow<ResidualWindow>(source, ResidualWindow::defaultSize());
    auto titration = newCurveWindow<TitrationCurveWindow>(source, TitrationCurveWindow::defaultSize());
    auto percentages = newCurveWindow<PercentageWindow>(source, PercentageWindow::defaultSize());
    QVERIFY(host_.messages.empty());
    QVERIFY(residuals->hasPlot());
    QVERIFY(titration->hasPlot());
    QVERIFY(percentages->hasPlot());
    QCOMPARE(residuals->dataSetChooser()->isVisible(), model->NBlocks > 1);
    QCOMPARE(percentages->systemChooser()->isVisible(), model->NSystems > 1);
    if (model->NSystems > 1) {
      // The first system's titration of 30 points, then the second's of 16, each from its own
      // files.
      QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{30});
      choose(regression->systemChooser(), 1);
      choose(residuals->systemChooser(), 1);
      choose(titration->systemChooser(), 1);
      choose(percentages->systemChooser(), 1);
      QVERIFY(host_.messages.empty());
      QVERIFY(regression->plotReady());
      QCOMPARE(regression->loaded().plot.data.N(), 16);
      QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{16});
      QVERIFY(titration->hasPlot() && percentages->hasPlot());
      QCOMPARE(percentages->windowTitle(),
               QStringLiteral("Basic Components Percentage: [runS2_BC1.BCP]"));
    }
    if (model->NBlocks > 1) {
      choose(regression->dataSetChooser(), 1);
      choose(residuals->dataSetChooser(), 1);
      choose(titration->dataSetChooser(), 1);
      choose(percentages->dataSetChooser(), 1);
      QVERIFY(host_.messages.empty());
      QVERIFY(regression->plotReady());
    }
    const QString prefix = QString::fromLatin1(example.prefix);
    // The read-outs of the first point in the regression window's status bar.
    {
      const RegressionPlot& plot = regression->loaded().plot;
      const RegressionLayout layout(regression->plotClient(), plot.x, plot.y);
      moveMouse(*regression, QPoint(layout.px(plot.data.Ycalc[0]), layout.py(plot.data.Yexp[0])));
      QVERIFY(regression->statusText(1).endsWith(QStringLiteral("Point")) ||
              regression->statusText(1).endsWith(QStringLiteral("Point.")));
    }
    const auto save = [&](QWidget& window, const char* name) {
      QVERIFY(shot(window).save(shots + "/" + prefix + QLatin1String(name) + ".png"));
    };
    save(*regression, "linreg");
    regression->resize(1150, 600);  // wide enough for the statistics lines in full
    save(*regression, "linreg_wide");
    save(*residuals, "residuals");
    save(*titration, "titration_curve");
    save(*percentages, "percentages");
  }
  GuiPlatform::setMessageHook({});
}

// After a clean run the main window opens the residual, percentage and titration windows of a
// titration and shows the regression window; File, Open of a report opens the windows whose
// files of all blocks lie beside it, drawing that report's files even when another run was
// made since.
void ResultWindowsTest::mainWindowOpensThemAfterARunAndWithAReport() {
  using namespace tarvolin::ui::testing;
  WorkFolder folder({"TEST.DAT", "POT_TITRATION.DAT"});
  MessageLog log;
  auto form = newMainWindow(folder.path());
  form->show();
  const auto run = [&](const char* input, const char* output) {
    OnModal<StartDialog> start(chooseRun({}, input, output));
    form->findChild<QAction*>(QStringLiteral("ComputeSingleStepItem"))->trigger();
  };

  run("POT_TITRATION.DAT", "pot");
  QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
  QCOMPARE(captions(*form),
           (QStringList{"pot.OUT  for  POT_TITRATION.DAT", "Residual Analysis",
                        "Basic Components Percentage: [potBC1.BCP]", "Titration Curve"}));
  RegressionWindow* regression = form->regressionWindow();
  QVERIFY(regression);
  QVERIFY(regression->isVisible());
  QVERIFY(regression->plotReady());
  QCOMPARE(regression->windowTitle(),
           QStringLiteral("P L O T :   Yexp.  vs  Ycalc.;  File: pot1.REG"));
  auto* residuals = qobject_cast<ResidualWindow*>(
      form->mdiArea()->subWindowList(QMdiArea::CreationOrder)[1]->widget());
  QVERIFY(residuals && residuals->hasPlot());
  // The hover read-outs go to the main window's status bar.
  const CurveFrame frame = residualFrame(residuals->plotClient(), residuals->plot());
  moveMouse(*residuals, QPoint(roundPixel(frame.px(residuals->plot().Ycalc[1])),
                               roundPixel(frame.py(residuals->plot().D[1]))));
  QCOMPARE(form->statusText(1), QStringLiteral("2nd Point"));
  QVERIFY(form->statusText(3).startsWith(QStringLiteral("Ycalc. = ")));

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
               qPrintable(QStringLiteral("%1 %2 %3x%4")
                              .arg(arrange, sub->windowTitle())
                              .arg(size.width())
                              .arg(size.height())));
    }
  }
  QDir().mkpath(QStringLiteral(TARVOLIN_SCREENSHOT_DIR));
  QVERIFY(form->grab().save(QStringLiteral(TARVOLIN_SCREENSHOT_DIR "/main_window_results.png")));

  // Save as Image takes the regression window once the user works in it, the document window
  // again after a click there; the Window menu lists both kinds, the one worked in checked.
  const auto imageSize = [&] {
    const QString jpeg = folder.file(QStringLiteral("shot.JPG"));
    QFile::remove(jpeg);
    form->saveActiveChildImage(jpeg);
    return decodeJpeg(folder.read(QStringLiteral("shot.JPG"))).size();
  };
  const auto checkedWindow = [&] {
    QMenu* menu = nullptr;
    for (QAction* a : form->menuBar()->actions())
      if (a->text() == QStringLiteral("&Window")) menu = a->menu();
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
  QDir(folder.path()).mkdir(QStringLiteral("kept"));
  for (const char* name :
       {"pot.OUT", "pot.PFP", "pot.TTC", "pot.RAC", "pot1.GAR", "pot1.ECP", "potBC1.BCP"})
    QVERIFY(QFile::copy(folder.file(QString::fromLatin1(name)),
                        folder.file(QStringLiteral("kept/") + QString::fromLatin1(name))));
  QFile::remove(folder.file(QStringLiteral("kept/pot.TTC")));
  run("TEST.DAT", "nmr");
  QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
  QCOMPARE(captions(*form).size(), 4);
  QVERIFY(regression->statusText(3).isEmpty());
  QCOMPARE(regression->windowTitle(),
           QStringLiteral("P L O T :   Yexp.  vs  Ycalc.;  File: nmr1.REG"));

  form->closeAll();
  const QString kept = folder.file(QStringLiteral("kept/pot.OUT"));
  form->setFileDialogHook(
      [&](const QString&, const QString&, const QString&, bool) { return kept; });
  form->findChild<QAction*>(QStringLiteral("FileOpenItem"))->trigger();
  QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
  // A report below the work folder is named from there.
  QCOMPARE(captions(*form),
           (QStringList{"pot.OUT", "Basic Components Percentage: [kept/potBC1.BCP]",
                        "Residual Analysis"}));
  const auto windows = form->mdiArea()->subWindowList(QMdiArea::CreationOrder);
  auto* percentages = qobject_cast<PercentageWindow*>(windows[1]->widget());
  residuals = qobject_cast<ResidualWindow*>(windows[2]->widget());
  QVERIFY(percentages && percentages->hasPlot());
  QVERIFY(residuals && residuals->hasPlot());
  // The titration's 36 points and its components, not those of the batch run made last.
  QCOMPARE(residuals->plot().Ycalc.size(), std::size_t{36});
  QCOMPARE(percentages->componentChooser()->count(), 1);
  QCOMPARE(percentages->componentChooser()->itemText(0), QStringLiteral("2"));
  QVERIFY(percentages->dataSetChooser()->isHidden());
}

QTEST_MAIN(ResultWindowsTest)
#include "result_windows_test.moc"

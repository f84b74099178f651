#include "ui/main_window/splash_picture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <cmath>

namespace tarvolin::ui {

namespace {

// pH of a diprotic base titrated with a strong acid, drawn as two smoothed steps: the shape a
// chemist recognises at a glance. x runs over [0, 1] of the added volume.
double titrationShape(double x) {
  auto step = [](double x, double centre, double width) {
    return 1.0 / (1.0 + std::exp((x - centre) / width));
  };
  return 3.0 + 4.0 * step(x, 0.34, 0.035) + 4.0 * step(x, 0.72, 0.035);
}

}  // namespace

QPixmap splashPicture(QSize size) {
  QPixmap pixmap(size);
  const double w = size.width(), h = size.height();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0.0, QColor(16, 42, 84));
  sky.setColorAt(1.0, QColor(22, 96, 118));
  p.fillRect(pixmap.rect(), sky);

  // Plot frame of the curve in the lower part of the picture.
  const QRectF plot(w * 0.10, h * 0.42, w * 0.80, h * 0.46);
  p.setPen(QPen(QColor(255, 255, 255, 110), 1.2));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
  for (int k = 1; k <= 8; ++k) {
    const double x = plot.left() + plot.width() * k / 8.0;
    p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
  }

  auto toPixel = [&](double x, double pH) {
    return QPointF(plot.left() + x * plot.width(),
                   plot.bottom() - (pH - 2.0) / 10.0 * plot.height());
  };
  QPainterPath curve;
  curve.moveTo(toPixel(0, titrationShape(0)));
  for (int i = 1; i <= 200; ++i) {
    const double x = i / 200.0;
    curve.lineTo(toPixel(x, titrationShape(x)));
  }
  p.setPen(QPen(QColor(255, 196, 64), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(curve);
  // Measured points scattered a little about the curve.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 220));
  for (int i = 0; i <= 24; ++i) {
    const double x = i / 24.0;
    const double scatter = 0.12 * std::sin(i * 2.7);
    p.drawEllipse(toPixel(x, titrationShape(x) + scatter), 3.2, 3.2);
  }

  // Axis names only where they can be read.
  if (h >= 200) {
    QFont axis(QStringLiteral("DejaVu Sans"));
    axis.setPixelSize(static_cast<int>(h * 0.04));
    p.setFont(axis);
    p.setPen(QColor(255, 255, 255, 150));
    p.drawText(QRectF(plot.left() - w * 0.08, plot.top() - h * 0.02, w * 0.07, h * 0.06),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("pH"));
    p.drawText(QRectF(plot.left(), plot.bottom() + h * 0.02, plot.width(), h * 0.06),
               Qt::AlignRight | Qt::AlignTop, QStringLiteral("V(titrant), ml"));
  }

  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(static_cast<int>(h * 0.16));
  title.setBold(true);
  title.setLetterSpacing(QFont::PercentageSpacing, 112);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, h * 0.05, w, h * 0.20), Qt::AlignCenter, QStringLiteral("TARVOLIN"));

  QFont subtitle(QStringLiteral("DejaVu Sans"));
  subtitle.setPixelSize(static_cast<int>(h * 0.055));
  p.setFont(subtitle);
  p.setPen(QColor(210, 230, 245));
  p.drawText(QRectF(0, h * 0.25, w, h * 0.10), Qt::AlignCenter,
             QStringLiteral("Modeling of Chemical Equilibria in Solutions"));

  p.setPen(QPen(QColor(255, 255, 255, 160), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
  p.end();
  return pixmap;
}

QIcon programIcon() {
  QIcon icon;
  for (const int side : {16, 32, 64}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 42, 84));
    p.drawRoundedRect(QRectF(0, 0, side, side), side * 0.18, side * 0.18);
    QPainterPath curve;
    const double margin = side * 0.14, span = side - 2 * margin;
    for (int i = 0; i <= 64; ++i) {
      const double x = i / 64.0;
      const QPointF point(margin + x * span,
                          side - margin - (titrationShape(x) - 2.5) / 9.0 * span);
      if (i == 0)
        curve.moveTo(point);
      else
        curve.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 196, 64), qMax(1.5, side / 14.0), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void holdForClockSeconds(int seconds) {
  // Seconds of a monotonic clock, so that a change of the time of day cannot stretch the wait.
  auto wholeSeconds = [] { return QDeadlineTimer::current().deadline() / 1000; };
  const qint64 until = wholeSeconds() + seconds;
  while (wholeSeconds() < until) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(15);
  }
}

}  // namespace tarvolin::ui

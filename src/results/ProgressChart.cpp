// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ProgressChart.h"

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace pekto {
namespace {

// Days drawn with a dot each; more make the dots a smudge.
constexpr size_t kDottedDays = 60;
// The room between an axis and the nearest day, in pixels.
constexpr double kInset = 8;

int64_t DayNumber(const Date& date) {
  using namespace std::chrono;
  return sys_days(year_month_day(year(date.year), month(static_cast<unsigned>(date.month)),
                                 day(static_cast<unsigned>(date.day))))
      .time_since_epoch()
      .count();
}

// A round step (1, 2 or 5 times a power of ten) that divides 0..top into about `ticks` parts.
int NiceStep(int top, int ticks) {
  const double raw = std::max(1.0, static_cast<double>(top) / ticks);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw) return static_cast<int>(factor * power);
  }
  return static_cast<int>(10 * power);
}

}  // namespace

// Where the values lie in the widget.
struct ProgressChart::Frame {
  QRectF plot;
  int64_t firstDay = 0;
  int64_t lastDay = 0;
  int speedTop = 0, speedStep = 1;
  int percentBottom = 0, percentStep = 10;

  // The first and the last day stand a little inside the axes.
  double X(const Date& date) const {
    if (lastDay == firstDay) return plot.center().x();
    const double inner = plot.width() - 2 * kInset;
    return plot.left() + kInset +
           inner * static_cast<double>(DayNumber(date) - firstDay) /
               static_cast<double>(lastDay - firstDay);
  }
  double SpeedY(double value) const { return plot.bottom() - plot.height() * value / speedTop; }
  double PercentY(double value) const {
    return plot.bottom() - plot.height() * (value - percentBottom) / (100.0 - percentBottom);
  }
};

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ProgressChart"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QColor ProgressChart::SpeedColor() {
  return QColor(0x2F, 0x6F, 0xB8);
}

QColor ProgressChart::PercentColor() {
  return QColor(0xD9, 0x7A, 0x1E);
}

void ProgressChart::SetDays(std::vector<DayProgress> days) {
  days_ = std::move(days);
  update();
}

void ProgressChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  if (days_.empty()) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter,
                     QStringLiteral("Ebben az időszakban nincs gyakorlás."));
    return;
  }
  const QFontMetrics metrics(font());
  const int line = metrics.height();
  Frame frame;
  const int sideWidth = metrics.horizontalAdvance(QStringLiteral("0000")) + 10;
  frame.plot = QRectF(rect()).adjusted(sideWidth, line * 2, -sideWidth, -(line + 8));
  frame.firstDay = DayNumber(days_.front().date);
  frame.lastDay = DayNumber(days_.back().date);
  int speedMax = 1;
  int percentMin = 100;
  for (const DayProgress& day : days_) {
    speedMax = std::max(speedMax, day.keysPerMinute);
    percentMin = std::min(percentMin, day.percent);
  }
  frame.speedStep = NiceStep(speedMax, 4);
  frame.speedTop = (speedMax + frame.speedStep - 1) / frame.speedStep * frame.speedStep;
  frame.percentBottom = std::min(90, std::max(0, (percentMin - 1) / 10 * 10));
  const int percentRange = 100 - frame.percentBottom;
  frame.percentStep = percentRange > 50 ? 20 : (percentRange > 20 ? 10 : 5);
  frame.percentBottom = frame.percentBottom / frame.percentStep * frame.percentStep;

  PaintAxes(painter, frame);
  PaintDates(painter, frame);
  PaintSeries(painter, frame, true);
  PaintSeries(painter, frame, false);
  PaintLegend(painter, frame);
}

// The grid lines of the speed axis, the speed figures on the left and the percentages on the
// right.
void ProgressChart::PaintAxes(QPainter& painter, const Frame& frame) const {
  const QRectF& plot = frame.plot;
  const double labelWidth = plot.left() - 6;
  painter.setPen(QPen(palette().color(QPalette::Midlight), 1));
  for (int value = 0; value <= frame.speedTop; value += frame.speedStep) {
    const double y = frame.SpeedY(value);
    painter.setPen(QPen(palette().color(QPalette::Midlight), 1));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(SpeedColor());
    painter.drawText(QRectF(0, y - 10, labelWidth, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(value));
  }
  painter.setPen(PercentColor());
  for (int value = frame.percentBottom; value <= 100; value += frame.percentStep) {
    const double y = frame.PercentY(value);
    painter.drawText(QRectF(plot.right() + 6, y - 10, labelWidth, 20),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::number(value));
  }
  painter.setPen(QPen(palette().color(QPalette::Mid), 1));
  painter.drawLine(plot.bottomLeft(), plot.bottomRight());
  painter.drawLine(plot.topLeft(), plot.bottomLeft());
  painter.drawLine(plot.topRight(), plot.bottomRight());
}

// Dates under the axis ("dec. 9."), as many as fit.
void ProgressChart::PaintDates(QPainter& painter, const Frame& frame) const {
  const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
  const QFontMetrics metrics(font());
  const int labelWidth = metrics.horizontalAdvance(QStringLiteral("szept. 30.")) + 12;
  const size_t fit = std::max<size_t>(1, static_cast<size_t>(frame.plot.width() / labelWidth));
  const size_t step = (days_.size() + fit - 1) / fit;
  painter.setPen(palette().color(QPalette::WindowText));
  double lastRight = -1e9;
  for (size_t i = 0; i < days_.size(); i += std::max<size_t>(1, step)) {
    const Date& date = days_[i].date;
    const double x = frame.X(date);
    if (x - labelWidth / 2.0 < lastRight) continue;
    painter.drawLine(QPointF(x, frame.plot.bottom()), QPointF(x, frame.plot.bottom() + 3));
    const QString text =
        hungarian.toString(QDate(date.year, date.month, date.day), QStringLiteral("MMM d."));
    painter.drawText(
        QRectF(x - labelWidth / 2.0, frame.plot.bottom() + 4, labelWidth, metrics.height()),
        Qt::AlignHCenter | Qt::AlignTop, text);
    lastRight = x + labelWidth / 2.0;
  }
}

void ProgressChart::PaintSeries(QPainter& painter, const Frame& frame, bool speed) const {
  const QColor color = speed ? SpeedColor() : PercentColor();
  QPainterPath path;
  std::vector<QPointF> points;
  points.reserve(days_.size());
  for (const DayProgress& day : days_) {
    const double y = speed ? frame.SpeedY(day.keysPerMinute) : frame.PercentY(day.percent);
    points.emplace_back(frame.X(day.date), y);
  }
  path.moveTo(points.front());
  for (const QPointF& point : points) path.lineTo(point);
  painter.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  if (days_.size() > kDottedDays) return;
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  for (const QPointF& point : points) painter.drawEllipse(point, 3, 3);
}

// The axes' titles above them in their series' colours, with a stroke of the series.
void ProgressChart::PaintLegend(QPainter& painter, const Frame& frame) const {
  const QFontMetrics metrics(font());
  const double y = frame.plot.top() - metrics.height() - 4;
  const auto title = [&](const QString& text, const QColor& color, bool left) {
    const int width = metrics.horizontalAdvance(text);
    const double x = left ? frame.plot.left() : frame.plot.right() - width;
    painter.setPen(QPen(color, 2));
    const double strokeX = left ? x - 22 : frame.plot.right() + 6;
    painter.drawLine(QPointF(strokeX, y + metrics.height() / 2.0),
                     QPointF(strokeX + 16, y + metrics.height() / 2.0));
    painter.drawText(QRectF(x, y, width, metrics.height()), Qt::AlignLeft, text);
  };
  title(QStringLiteral("Leütés/perc"), SpeedColor(), true);
  title(QStringLiteral("Helyes leütés (%)"), PercentColor(), false);
}

}  // namespace pekto

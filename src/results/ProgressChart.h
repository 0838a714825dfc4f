// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The statistics window's chart: keys per minute (left axis) and the percentage of correct keys
// (right axis) per practice day, the days in their place on a time axis.

#include <QWidget>
#include <vector>

#include "results/Progress.h"

namespace pekto {

class ProgressChart : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressChart(QWidget* parent);

  void SetDays(std::vector<DayProgress> days);
  const std::vector<DayProgress>& Days() const { return days_; }

  // The colours of the two series.
  static QColor SpeedColor();
  static QColor PercentColor();

  QSize sizeHint() const override { return {640, 220}; }
  QSize minimumSizeHint() const override { return {360, 150}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Frame;
  void PaintAxes(QPainter& painter, const Frame& frame) const;
  void PaintDates(QPainter& painter, const Frame& frame) const;
  void PaintSeries(QPainter& painter, const Frame& frame, bool speed) const;
  void PaintLegend(QPainter& painter, const Frame& frame) const;

  std::vector<DayProgress> days_;
};

}  // namespace pekto

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line-number gutter at the left edge of a text pane: right-aligned numbers in a bold
// 13-pixel Courier New, in the palette's dark colour on the window colour. The pane says which
// numbers stand where; the gutter paints them and knows how wide they make it.

#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

namespace pekto {

class LineNumberGutter final : public QWidget {
  Q_OBJECT

 public:
  struct Number {
    int line;  // from 1
    int top;   // in the gutter's coordinates
  };
  // The numbers to paint from the top of the gutter down to `bottom`.
  using Numbers = std::function<std::vector<Number>(int bottom)>;

  LineNumberGutter(QWidget* parent, Numbers numbers);

  // The width for a text of `lines` lines, with room for at least MinimumDigits() digits.
  int WidthFor(int lines) const;
  void SetMinimumDigits(int digits) { minimumDigits_ = std::max(1, digits); }
  int MinimumDigits() const { return minimumDigits_; }
  // The height of one number's row.
  int RowHeight() const;
  QSize sizeHint() const override { return {width(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Numbers numbers_;
  int minimumDigits_ = 3;
  mutable int digitWidth_ = 0;  // of a digit in the gutter's font, measured once
};

}  // namespace pekto

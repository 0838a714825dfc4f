// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stored lines of Windows-1250 text in a QTextDocument, a long line as several blocks
// ("segments") of at most 1 KB cut after a blank (SegmentIndex.h), so that typing,
// highlighting and painting lay out and measure only a few rows however long the line is. A
// line that grows character by character is cut where a wrapped row begins, so its segment ends
// do not show. Lines and columns count from 0 here; a document position is the document's.

#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <string>
#include <string_view>
#include <vector>

#include "practice/SegmentIndex.h"

class QTextDocument;

namespace pekto {

class SegmentedLines {
 public:
  explicit SegmentedLines(QTextDocument& document) : document_(document) {}

  // Every line in one block, however long: for a document with undo, whose history would
  // bring back segment ends as line breaks.
  void KeepLinesWhole() { whole_ = true; }
  static bool IsContinuation(const QTextBlock& block);

  // No lines differs from one empty line, though both are one empty block.
  bool Empty() const { return empty_; }
  int LineCount() const { return empty_ ? 0 : index_.LineCount(); }
  QString Text(int line) const;
  int Length(int line) const;
  // The text between two document positions; `lineBreak` between stored lines.
  QString TextBetween(int start, int end, QStringView lineBreak) const;

  QTextBlock FirstSegment(int line) const;
  int LastSegmentNumber(int line) const;
  int LineOfBlock(int blockNumber) const { return index_.LineOf(blockNumber); }
  int FirstBlockNumber(int line) const { return index_.FirstBlock(line); }
  int PositionOf(int line, int column) const;
  int ColumnAt(int position) const;

  // Writing lines. Each leaves the index up to date with the document.
  void Replace(int line, std::string_view text);
  void Append(std::string_view text);
  void Append(const std::vector<std::string>& lines);
  // Returns false when it wrote the whole line anew (much text at once, or whole lines): the
  // blocks after the line have other numbers then.
  bool AppendTo(int line, std::string_view text);
  // After the document has been cleared.
  void Clear();
  // Deletes the segment end after `block`: the two segments become one.
  void JoinWithNext(const QTextBlock& block);
  // Takes the user's edit of `added` characters at `from`. Returns whether it stayed within one
  // block, so that every block kept its number.
  bool TakeEdit(int from, int added);

 private:
  int SegmentLength() const;
  // Marks `count` blocks from `first` on as the segments of one stored line.
  void MarkSegments(int first, int count);
  void ReindexFrom(int blockNumber);
  void Indexed();

  QTextDocument& document_;
  SegmentIndex index_;  // the first block of every stored line; empty without lines
  bool empty_ = true;   // the document's single empty block stands for "no lines"
  bool whole_ = false;
};

}  // namespace pekto

// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/SegmentedLines.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <limits>
#include <utility>

#include "platform/QtText.h"

namespace pekto {
namespace {

// A block whose user state is kContinued continues the stored line of the block before it.
constexpr int kContinued = 1;
constexpr int kLineStart = -1;  // a new block's state
// The longest segment a stored line is cut into when it is written as a whole. Qt measures a
// block by walking all its wrapped rows, dozens of times for one key, so a key costs more the
// more rows its segments have; each segment end also ends a row early. 1 KB (some twenty rows)
// keeps a key on a long line within one and a half times a key on a short one.
constexpr int kSegmentLength = 1024;
// The longest segment that characters are appended to one by one: each appended character lays
// it out again. It is cut where a wrapped row begins, so its ends do not show.
constexpr int kGrowingSegmentLength = 256;
constexpr qsizetype kInsertChunk = 1 << 20;

// A stored line as the text of its segments, a line feed at every segment end; and the count.
std::pair<QString, int> Segmented(std::string_view line, int limit) {
  QString text;
  text.reserve(static_cast<qsizetype>(line.size() + line.size() / limit));
  int segments = 0;
  ForEachSegment(line, limit, [&](std::string_view segment) {
    if (segments++ > 0) text += u'\n';
    AppendToQ(text, segment);
  });
  return {std::move(text), segments};
}

// Where a full segment that characters are appended to is cut when it has not been laid out:
// after its last blank in the second half, or at its end.
int GrowingSegmentCut(const QString& text) {
  const qsizetype blank = text.lastIndexOf(u' ');
  return blank >= text.size() / 2 ? static_cast<int>(blank + 1) : static_cast<int>(text.size());
}

}  // namespace

bool SegmentedLines::IsContinuation(const QTextBlock& block) {
  return block.isValid() && block.userState() == kContinued;
}

int SegmentedLines::SegmentLength() const {
  return whole_ ? std::numeric_limits<int>::max() / 2 : kSegmentLength;
}

// ---- reading ------------------------------------------------------------------------------

QTextBlock SegmentedLines::FirstSegment(int line) const {
  return document_.findBlockByNumber(index_.FirstBlock(line));
}

int SegmentedLines::LastSegmentNumber(int line) const {
  return index_.LastBlock(line, document_.blockCount());
}

int SegmentedLines::ColumnAt(int position) const {
  if (empty_) return position;
  const QTextBlock block = document_.findBlock(position);
  const QTextBlock first = FirstSegment(index_.LineOf(block.blockNumber()));
  // Each segment end before the position takes one document position.
  return position - first.position() - (block.blockNumber() - first.blockNumber());
}

int SegmentedLines::PositionOf(int line, int column) const {
  const QTextBlock first = FirstSegment(line);
  const int firstNumber = first.blockNumber();
  const auto segmentStart = [&](const QTextBlock& block) {
    return block.position() - first.position() - (block.blockNumber() - firstNumber);
  };
  // The last segment that starts at or before the column: a column on a segment end stands
  // before the first character of the next segment.
  int low = firstNumber;
  int high = LastSegmentNumber(line);
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (segmentStart(document_.findBlockByNumber(middle)) <= column) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const QTextBlock block = low == firstNumber ? first : document_.findBlockByNumber(low);
  return block.position() + std::clamp(column - segmentStart(block), 0, block.length() - 1);
}

QString SegmentedLines::Text(int line) const {
  QString text;
  const int last = LastSegmentNumber(line);
  for (QTextBlock block = FirstSegment(line); block.isValid() && block.blockNumber() <= last;
       block = block.next()) {
    text += block.text();
  }
  return text;
}

int SegmentedLines::Length(int line) const {
  const QTextBlock first = FirstSegment(line);
  const int lastNumber = LastSegmentNumber(line);
  const QTextBlock last =
      lastNumber == first.blockNumber() ? first : document_.findBlockByNumber(lastNumber);
  return last.position() + last.length() - 1 - first.position() -
         (lastNumber - first.blockNumber());
}

QString SegmentedLines::TextBetween(int start, int end, QStringView lineBreak) const {
  QString text;
  for (QTextBlock block = document_.findBlock(start); block.isValid();) {
    const int from = std::max(start, block.position()) - block.position();
    const int to = std::min(end, block.position() + block.length() - 1) - block.position();
    if (to > from) text += QStringView(block.text()).mid(from, to - from);
    const QTextBlock next = block.next();
    // The end of `block` lies within the range when the next block starts at or before its end.
    if (!next.isValid() || next.position() > end) break;
    if (!IsContinuation(next)) text += lineBreak;
    block = next;
  }
  return text;
}

// ---- writing ------------------------------------------------------------------------------

void SegmentedLines::MarkSegments(int first, int count) {
  QTextBlock block = document_.findBlockByNumber(first);
  for (int i = 0; i < count && block.isValid(); ++i, block = block.next()) {
    block.setUserState(i == 0 ? kLineStart : kContinued);
  }
}

void SegmentedLines::ReindexFrom(int blockNumber) {
  index_.DropFrom(blockNumber);
  for (QTextBlock block = document_.findBlockByNumber(blockNumber); block.isValid();
       block = block.next()) {
    if (block.blockNumber() == 0 || !IsContinuation(block)) index_.AppendLine(block.blockNumber());
  }
}

void SegmentedLines::Indexed() {
  index_.SetIndexedBlocks(document_.blockCount());
}

void SegmentedLines::Replace(int line, std::string_view text) {
  // Block handles do not outlive the edit: the numbers are taken before it.
  const int firstNumber = index_.FirstBlock(line);
  const int lastNumber = LastSegmentNumber(line);
  const QTextBlock last = document_.findBlockByNumber(lastNumber);
  const auto [segmented, segments] = Segmented(text, SegmentLength());
  QTextCursor cursor(&document_);
  cursor.setPosition(FirstSegment(line).position());
  cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(segmented);
  MarkSegments(firstNumber, segments);
  index_.Shift(line + 1, segments - (lastNumber - firstNumber + 1));
  Indexed();
}

void SegmentedLines::Append(std::string_view text) {
  QTextCursor cursor(&document_);
  cursor.movePosition(QTextCursor::End);
  if (!empty_) cursor.insertBlock();
  empty_ = false;
  const int first = cursor.blockNumber();
  const auto [segmented, segments] = Segmented(text, SegmentLength());
  cursor.insertText(segmented);
  MarkSegments(first, segments);
  index_.AppendLine(first);
  Indexed();
}

void SegmentedLines::Append(const std::vector<std::string>& lines) {
  const bool wasEmpty = empty_;
  index_.Reserve(static_cast<int>(lines.size()));
  QTextCursor cursor(&document_);
  cursor.movePosition(QTextCursor::End);
  // One insertion at the end per chunk of text: cheaper for a long text than setPlainText,
  // which also applies a character format to the whole text, and the converted copy stays
  // small however long the lines are.
  int block = empty_ ? 0 : document_.blockCount();
  bool first = empty_;
  QString chunk;
  std::vector<int> continued;  // blocks of the chunk that continue a line
  const auto flush = [&] {
    cursor.insertText(chunk);
    chunk.clear();
    for (const int number : continued) document_.findBlockByNumber(number).setUserState(kContinued);
    continued.clear();
  };
  for (const auto& line : lines) {
    index_.AppendLine(block);
    bool lineStart = true;
    ForEachSegment(line, SegmentLength(), [&](std::string_view segment) {
      if (!first) chunk += u'\n';
      first = false;
      if (!lineStart) continued.push_back(block);
      lineStart = false;
      AppendToQ(chunk, segment);
      ++block;
      if (chunk.size() >= kInsertChunk) flush();
    });
  }
  flush();
  empty_ = false;
  if (wasEmpty) document_.firstBlock().setUserState(kLineStart);
  Indexed();
}

bool SegmentedLines::AppendTo(int line, std::string_view text) {
  if (static_cast<int>(text.size()) > kGrowingSegmentLength / 2 || whole_) {
    // Much text at once is cut into segments as a whole line is; whole lines are written anew.
    Replace(line, FromQ(Text(line)).append(text));
    return false;
  }
  const QTextBlock last = document_.findBlockByNumber(LastSegmentNumber(line));
  QTextCursor cursor(&document_);
  cursor.setPosition(last.position() + last.length() - 1);
  if (last.length() - 1 + static_cast<int>(text.size()) > kGrowingSegmentLength) {
    // A new segment begins where the last wrapped row of the full one begins, so that what is
    // shown stays as it was; without a layout, after a blank.
    const QTextLayout* layout = last.layout();
    const int rows = layout ? layout->lineCount() : 0;
    const int cut =
        rows > 1 ? layout->lineAt(rows - 1).textStart() : GrowingSegmentCut(last.text());
    QTextCursor split(&document_);
    split.setPosition(last.position() + cut);
    split.insertBlock();
    split.block().setUserState(kContinued);
    index_.Shift(line + 1, 1);
  }
  cursor.insertText(ToQ(text));
  Indexed();
  return true;
}

void SegmentedLines::Clear() {
  empty_ = true;
  index_.Clear();
  Indexed();
}

void SegmentedLines::JoinWithNext(const QTextBlock& block) {
  const int number = block.blockNumber();
  const int state = block.userState();
  const int nextLine = index_.LineOf(number) + 1;
  QTextCursor cursor(&document_);
  cursor.setPosition(block.position() + block.length() - 1);
  cursor.deleteChar();
  document_.findBlockByNumber(number).setUserState(state);
  index_.Shift(nextLine, -1);
  Indexed();
}

bool SegmentedLines::TakeEdit(int from, int added) {
  // Blocks before the change are as they were, and so is whether the block holding its start
  // begins a stored line, whatever Qt left in its state when blocks were merged. Blocks made by
  // the edit begin lines: a typed or pasted line break is a real one.
  empty_ = document_.isEmpty();
  if (empty_) {
    index_.Clear();
    Indexed();
    return false;
  }
  QTextBlock block = document_.findBlock(from);
  const int number = block.blockNumber();
  const bool lineStart = number == 0 || index_.Empty() || index_.StartsLine(number);
  block.setUserState(lineStart ? kLineStart : kContinued);
  const bool withinBlock = document_.blockCount() == index_.IndexedBlocks() &&
                           document_.findBlock(from + added).blockNumber() == number;
  if (index_.Empty() || !withinBlock) ReindexFrom(index_.Empty() ? 0 : number);
  Indexed();
  return withinBlock;
}

}  // namespace pekto

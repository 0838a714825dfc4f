// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stored lines over document blocks. A long stored line is shown as several blocks
// ("segments") of at most a few KB, cut after a blank, so that a key on it lays out and
// measures only a few rows. The index keeps the number of the first block of every stored line
// and answers which line a block belongs to; it knows nothing of the document itself.

#include <string_view>
#include <vector>

namespace pekto {

// Where the segment that starts at `start` of `text` ends: after the last blank of its second
// half, or at `limit` characters when that half holds none; the end of the text when the rest
// is no longer than `limit`.
int SegmentEnd(std::string_view text, int start, int limit);

// Calls `segment` with every segment of a stored line, in order; an empty line has one.
template <typename F>
void ForEachSegment(std::string_view line, int limit, F&& segment) {
  int start = 0;
  do {
    const int end = SegmentEnd(line, start, limit);
    segment(line.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
    start = end;
  } while (start < static_cast<int>(line.size()));
}

// Lines and blocks count from 0 here.
class SegmentIndex {
 public:
  int LineCount() const { return static_cast<int>(firstBlocks_.size()); }
  bool Empty() const { return firstBlocks_.empty(); }
  int FirstBlock(int line) const { return firstBlocks_[static_cast<size_t>(line)]; }
  // The last block of `line` in a document of `blockCount` blocks.
  int LastBlock(int line, int blockCount) const;
  // The line `block` belongs to; 0 for a block before the first line or without lines.
  int LineOf(int block) const;
  bool StartsLine(int block) const;

  void Clear() { firstBlocks_.clear(); }
  void Reserve(int lines) {
    firstBlocks_.reserve(firstBlocks_.size() + static_cast<size_t>(lines));
  }
  // A line beginning at `block`, after every line known so far.
  void AppendLine(int block) { firstBlocks_.push_back(block); }
  // The lines from `line` on begin `blocks` blocks later (earlier when negative).
  void Shift(int line, int blocks);
  // Forgets the lines that begin at `block` or after it.
  void DropFrom(int block);

  // The document's block count when the index was last brought up to date.
  int IndexedBlocks() const { return indexedBlocks_; }
  void SetIndexedBlocks(int blocks) { indexedBlocks_ = blocks; }

 private:
  std::vector<int> firstBlocks_;  // ascending
  int indexedBlocks_ = 1;
};

}  // namespace pekto

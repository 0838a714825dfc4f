// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/SegmentIndex.h"

#include <algorithm>

namespace pekto {

int SegmentEnd(std::string_view text, int start, int limit) {
  const int length = static_cast<int>(text.size());
  if (length - start <= limit) return length;
  for (int end = start + limit; end > start + limit / 2; --end) {
    if (text[static_cast<size_t>(end) - 1] == ' ') return end;
  }
  return start + limit;
}

int SegmentIndex::LastBlock(int line, int blockCount) const {
  const auto next = static_cast<size_t>(line) + 1;
  return next < firstBlocks_.size() ? firstBlocks_[next] - 1 : blockCount - 1;
}

int SegmentIndex::LineOf(int block) const {
  const auto after = std::upper_bound(firstBlocks_.begin(), firstBlocks_.end(), block);
  return std::max(0, static_cast<int>(after - firstBlocks_.begin()) - 1);
}

bool SegmentIndex::StartsLine(int block) const {
  return std::binary_search(firstBlocks_.begin(), firstBlocks_.end(), block);
}

void SegmentIndex::Shift(int line, int blocks) {
  if (blocks == 0) return;
  for (auto it = firstBlocks_.begin() + line; it != firstBlocks_.end(); ++it) *it += blocks;
}

void SegmentIndex::DropFrom(int block) {
  firstBlocks_.erase(std::lower_bound(firstBlocks_.begin(), firstBlocks_.end(), block),
                     firstBlocks_.end());
}

}  // namespace pekto

// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/SegmentIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pekto {
namespace {

struct Cut {
  std::string line;
  int limit;
  std::vector<int> lengths;  // of the segments, in order
};

class SegmentCutTest : public ::testing::TestWithParam<Cut> {};

TEST_P(SegmentCutTest, CutsAfterABlankInTheSecondHalf) {
  const Cut& cut = GetParam();
  std::vector<int> lengths;
  std::string joined;
  ForEachSegment(cut.line, cut.limit, [&](std::string_view segment) {
    lengths.push_back(static_cast<int>(segment.size()));
    joined += segment;
  });
  EXPECT_EQ(lengths, cut.lengths);
  EXPECT_EQ(joined, cut.line);
}

std::string Words(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "alma ";
  return text;
}

INSTANTIATE_TEST_SUITE_P(Lines, SegmentCutTest,
                         ::testing::Values(Cut{"", 8, {0}}, Cut{"abc", 8, {3}},
                                           Cut{"abcdefgh", 8, {8}},                  // the limit
                                           Cut{"aaaa bbb cccc", 10, {9, 4}},         // last blank
                                           Cut{"a bbbbbbbbbbbb", 8, {8, 6}},         // first half
                                           Cut{std::string(20, 'w'), 8, {8, 8, 4}},  // no blank
                                           Cut{Words(600), 1024, {1020, 1020, 960}},
                                           Cut{std::string(2500, 'w'), 1024, {1024, 1024, 452}}));

// Lines beginning at blocks 0, 3, 4 and 7 of a document of 9 blocks.
SegmentIndex FourLines() {
  SegmentIndex index;
  for (const int block : {0, 3, 4, 7}) index.AppendLine(block);
  return index;
}

TEST(SegmentIndexTest, FindsTheLineOfEveryBlock) {
  const SegmentIndex index = FourLines();
  EXPECT_EQ(index.LineCount(), 4);
  const std::vector<int> lines{0, 0, 0, 1, 2, 2, 2, 3, 3};
  for (int block = 0; block < 9; ++block) {
    EXPECT_EQ(index.LineOf(block), lines[static_cast<size_t>(block)]) << block;
    EXPECT_EQ(index.StartsLine(block), block == 0 || block == 3 || block == 4 || block == 7);
  }
  const std::vector<int> lastBlocks{2, 3, 6, 8};
  for (int line = 0; line < 4; ++line) {
    EXPECT_EQ(index.LastBlock(line, 9), lastBlocks[static_cast<size_t>(line)]) << line;
  }
  EXPECT_EQ(SegmentIndex().LineOf(5), 0);
}

TEST(SegmentIndexTest, FollowsBlocksAddedRemovedAndDropped) {
  SegmentIndex index = FourLines();
  index.Shift(2, 2);  // line 1 got two more segments
  EXPECT_EQ(index.FirstBlock(2), 6);
  EXPECT_EQ(index.FirstBlock(3), 9);
  EXPECT_EQ(index.LastBlock(1, 11), 5);
  index.Shift(3, -1);
  EXPECT_EQ(index.FirstBlock(3), 8);
  EXPECT_EQ(index.FirstBlock(1), 3);
  index.DropFrom(4);
  EXPECT_EQ(index.LineCount(), 2);
  EXPECT_EQ(index.LastBlock(1, 6), 5);
  index.AppendLine(6);
  EXPECT_EQ(index.LineOf(7), 2);
  index.Clear();
  EXPECT_TRUE(index.Empty());
}

}  // namespace
}  // namespace pekto

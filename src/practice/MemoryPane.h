// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text pane without a window: the engine's tests and benchmarks type into it.

#include <algorithm>

#include "practice/PaneModel.h"

namespace pekto {

class MemoryPane final : public PaneModel {
 public:
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string Line(int index) const override {
    return Valid(index) ? lines_[index] : std::string();
  }
  int LineLength(int index) const override {
    return Valid(index) ? static_cast<int>(lines_[index].size()) : 0;
  }
  void ReplaceLine(int index, std::string_view text) override {
    if (index == LineCount()) {
      AppendLine(text);
    } else if (Valid(index)) {
      lines_[index] = std::string(text);
    }
  }
  void AppendLine(std::string_view text) override { lines_.emplace_back(text); }
  void AppendLines(const std::vector<std::string>& lines) override {
    lines_.insert(lines_.end(), lines.begin(), lines.end());
  }
  void AppendToLine(int index, std::string_view text) override {
    if (Valid(index)) lines_[index].append(text);
  }
  void Clear() override {
    lines_.clear();
    SetCaret(1, 1);
  }
  void SetCaret(int line, int column) override {
    caretLine_ = std::clamp(line, 1, std::max(1, LineCount()));
    caretColumn_ = std::max(1, column);
    selectionLength_ = 0;
  }
  int CaretLine() const override { return caretLine_; }
  int CaretColumn() const override { return caretColumn_; }
  void SelectCharacter(int line, int column) override {
    SetCaret(line, column + 1);
    selectionLength_ = column <= LineLength(caretLine_ - 1) ? 1 : 0;
  }
  std::string SelectedText() const override {
    if (selectionLength_ == 0) return {};
    return lines_[caretLine_ - 1].substr(caretColumn_ - 2, 1);
  }

 private:
  bool Valid(int index) const { return index >= 0 && index < LineCount(); }

  std::vector<std::string> lines_;
  int caretLine_ = 1;
  int caretColumn_ = 1;
  int selectionLength_ = 0;
};

}  // namespace pekto

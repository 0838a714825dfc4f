// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the exercise engine needs of a text pane: lines of Windows-1250 text, a caret in stored
// lines and columns (both from 1) and a one-character highlight. The practice panes implement
// it; MemoryPane is a plain in-memory version.

#include <string>
#include <string_view>
#include <vector>

namespace pekto {

class PaneModel {
 public:
  virtual ~PaneModel() = default;

  virtual int LineCount() const = 0;
  // Line `index` (from 0); an index outside the list reads as an empty string.
  virtual std::string Line(int index) const = 0;
  virtual int LineLength(int index) const = 0;
  // Replacing at index == LineCount() appends a line.
  virtual void ReplaceLine(int index, std::string_view text) = 0;
  virtual void AppendLine(std::string_view text) = 0;
  virtual void AppendLines(const std::vector<std::string>& lines) = 0;
  // Appends text to the end of line `index`, which must exist.
  virtual void AppendToLine(int index, std::string_view text) = 0;
  virtual void Clear() = 0;

  // Clamps the line to 1..LineCount() (1 without lines), keeps the column at 1 or more, clears
  // the selection and scrolls the caret into view.
  virtual void SetCaret(int line, int column) = 0;
  virtual int CaretLine() const = 0;
  virtual int CaretColumn() const = 0;

  // Selects the one character at (line, column) and puts the caret right after it.
  virtual void SelectCharacter(int line, int column) = 0;
  virtual std::string SelectedText() const = 0;
};

}  // namespace pekto

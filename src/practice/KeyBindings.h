// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key bindings of a text pane: the table of its 82 standard bindings and the ones removed
// from one pane. Key combinations are compared as the bindings keep them: Shift+Tab arrives as
// Backtab, the keypad's Enter is the same as Return, and the keypad flag does not count.

#include <QHash>
#include <QKeyCombination>
#include <QKeySequence>
#include <QSet>
#include <vector>

class QKeyEvent;

namespace pekto {

// The key combination of a key press, as the bindings keep it.
QKeyCombination CombinationOf(const QKeyEvent* event);
// Undo: Ctrl+Z, Alt+Backspace and the platform's key for it; redo: Ctrl+Shift+Z,
// Alt+Shift+Backspace and the platform's key.
bool IsUndoKey(const QKeyEvent* event);
bool IsRedoKey(const QKeyEvent* event);

class KeyBindings {
 public:
  // The 82 standard key bindings of a text pane, plain Enter first.
  static const std::vector<QKeySequence>& Standard();

  void Remove(const QKeySequence& keys);
  // Every standard binding but plain Enter.
  void RemoveStandard();
  bool IsRemoved(const QKeySequence& keys) const;
  bool IsRemoved(const QKeyEvent* event) const;
  // Every standard binding but plain Enter is gone.
  bool StandardRemoved() const { return standardRemoved_; }
  // Whether the pane ignores the key: its binding is removed, or every standard binding is and
  // the key is one the platform gives to moving, selecting, copying, pasting or undoing.
  bool Swallows(const QKeyEvent* event) const;

 private:
  QSet<int> removed_;  // key combinations (QKeyCombination::toCombined)
  bool standardRemoved_ = false;
  // Key combinations (toCombined) found to be or not to be one of the platform's editing keys.
  mutable QHash<int, bool> editingKeys_;
};

}  // namespace pekto

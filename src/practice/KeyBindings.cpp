// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/KeyBindings.h"

#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace pekto {
namespace {

QKeyCombination Normalized(Qt::KeyboardModifiers modifiers, Qt::Key key) {
  modifiers &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (key == Qt::Key_Backtab) {
    key = Qt::Key_Tab;
    modifiers |= Qt::ShiftModifier;
  }
  if (key == Qt::Key_Enter) key = Qt::Key_Return;
  return QKeyCombination(modifiers, key);
}

int Combined(const QKeySequence& keys) {
  return Normalized(keys[0].keyboardModifiers(), keys[0].key()).toCombined();
}

std::vector<QKeySequence> MakeStandardBindings() {
  using K = Qt::Key;
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier,
                              ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
                              ctrlShift = ctrl | shift;
  std::vector<QKeySequence> keys;
  const auto add = [&keys](Qt::KeyboardModifiers mods, K key) {
    keys.emplace_back(QKeyCombination(mods, key));
  };
  add(none, K::Key_Return);  // line break: the one binding the typing pane keeps
  // Caret movement, selection and word steps.
  for (const K key : {K::Key_Up, K::Key_Down, K::Key_Left, K::Key_Right}) add(none, key);
  for (const K key : {K::Key_Up, K::Key_Down, K::Key_Left, K::Key_Right}) add(shift, key);
  add(ctrl, K::Key_Left);
  add(ctrl, K::Key_Right);
  add(ctrlShift, K::Key_Left);
  add(ctrlShift, K::Key_Right);
  // Scrolling by a line.
  add(ctrl, K::Key_Up);
  add(ctrl, K::Key_Down);
  // Pages, line start and end, text start and end, with and without selection.
  for (const K key : {K::Key_PageUp, K::Key_PageDown, K::Key_Home, K::Key_End}) {
    for (const auto mods : {none, shift, ctrl, ctrlShift}) add(mods, key);
  }
  add(none, K::Key_Insert);  // insert or overwrite mode
  add(ctrl, K::Key_Insert);  // copy
  add(ctrl, K::Key_C);
  add(shift, K::Key_Delete);  // cut
  add(ctrl, K::Key_X);
  add(shift, K::Key_Insert);  // paste
  add(ctrl, K::Key_V);
  add(none, K::Key_Delete);
  add(none, K::Key_Backspace);
  add(shift, K::Key_Backspace);
  add(ctrl, K::Key_Backspace);
  add(alt, K::Key_Backspace);  // undo
  add(ctrl, K::Key_Z);
  add(alt | shift, K::Key_Backspace);  // redo
  add(ctrlShift, K::Key_Z);
  add(shift, K::Key_Return);  // line break
  add(ctrl, K::Key_M);
  add(ctrl, K::Key_N);  // insert line
  add(ctrl, K::Key_T);  // delete word, line, to line end
  add(ctrl, K::Key_Y);
  add(ctrlShift, K::Key_Y);
  add(none, K::Key_Tab);
  add(shift, K::Key_Tab);
  add(ctrlShift, K::Key_I);  // block indent and unindent
  add(ctrlShift, K::Key_U);
  add(none, K::Key_F1);
  add(ctrl, K::Key_A);
  for (int digit = 0; digit <= 9; ++digit) add(ctrl, static_cast<K>(K::Key_0 + digit));
  for (int digit = 0; digit <= 9; ++digit) add(ctrlShift, static_cast<K>(K::Key_0 + digit));
  add(ctrlShift, K::Key_N);  // selection modes
  add(ctrlShift, K::Key_C);
  add(ctrlShift, K::Key_L);
  add(ctrlShift, K::Key_B);  // matching bracket
  return keys;
}

// The platform's keys for the commands the standard bindings stand for; a pane without its
// standard bindings ignores these too, whatever keys the platform gives them.
constexpr std::array kEditingKeys = {
    QKeySequence::Copy,
    QKeySequence::Cut,
    QKeySequence::Paste,
    QKeySequence::Undo,
    QKeySequence::Redo,
    QKeySequence::SelectAll,
    QKeySequence::Delete,
    QKeySequence::Backspace,
    QKeySequence::DeleteStartOfWord,
    QKeySequence::DeleteEndOfWord,
    QKeySequence::DeleteEndOfLine,
    QKeySequence::DeleteCompleteLine,
    QKeySequence::InsertLineSeparator,
    QKeySequence::MoveToNextChar,
    QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToNextLine,
    QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToNextPage,
    QKeySequence::MoveToPreviousPage,
    QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfBlock,
    QKeySequence::MoveToEndOfBlock,
    QKeySequence::MoveToStartOfDocument,
    QKeySequence::MoveToEndOfDocument,
    QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,
    QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine,
    QKeySequence::SelectPreviousLine,
    QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage,
    QKeySequence::SelectStartOfLine,
    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfBlock,
    QKeySequence::SelectEndOfBlock,
    QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument,
    QKeySequence::Deselect,
};

}  // namespace

QKeyCombination CombinationOf(const QKeyEvent* event) {
  return Normalized(event->modifiers(), static_cast<Qt::Key>(event->key()));
}

bool IsUndoKey(const QKeyEvent* event) {
  const QKeyCombination keys = CombinationOf(event);
  return keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
         keys == QKeyCombination(Qt::AltModifier, Qt::Key_Backspace) ||
         event->matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent* event) {
  const QKeyCombination keys = CombinationOf(event);
  return keys == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
         keys == QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_Backspace) ||
         event->matches(QKeySequence::Redo);
}

const std::vector<QKeySequence>& KeyBindings::Standard() {
  static const std::vector<QKeySequence> bindings = MakeStandardBindings();
  return bindings;
}

void KeyBindings::Remove(const QKeySequence& keys) {
  if (keys.isEmpty()) return;
  removed_.insert(Combined(keys));
  const auto& standard = Standard();
  standardRemoved_ = std::all_of(standard.begin() + 1, standard.end(),
                                 [this](const QKeySequence& k) { return IsRemoved(k); });
}

void KeyBindings::RemoveStandard() {
  const auto& standard = Standard();
  for (auto it = standard.begin() + 1; it != standard.end(); ++it) Remove(*it);
}

bool KeyBindings::IsRemoved(const QKeySequence& keys) const {
  return !keys.isEmpty() && removed_.contains(Combined(keys));
}

bool KeyBindings::IsRemoved(const QKeyEvent* event) const {
  return removed_.contains(CombinationOf(event).toCombined());
}

bool KeyBindings::Swallows(const QKeyEvent* event) const {
  if (IsRemoved(event)) return true;
  if (!standardRemoved_) return false;
  // The platform's bindings do not change while the program runs: each key combination is
  // looked up once.
  const int combination = event->keyCombination().toCombined();
  if (const auto known = editingKeys_.constFind(combination); known != editingKeys_.cend()) {
    return *known;
  }
  const bool editing =
      std::any_of(kEditingKeys.begin(), kEditingKeys.end(),
                  [event](QKeySequence::StandardKey key) { return event->matches(key); });
  editingKeys_.insert(combination, editing);
  return editing;
}

}  // namespace pekto

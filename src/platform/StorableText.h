// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text fields whose text is stored as Windows-1250 (a lesson's title, a player's name): they take
// only what the file can hold, so that nothing typed is ever stored as '?'.

#include <QString>
#include <QValidator>
#include <functional>

namespace pekto {

// How long a hint about refused characters stays in a status bar.
inline constexpr int kRefusedHintMs = 8000;

// õ, û, Õ and Û, which other keyboard layouts and pasted text give for the Hungarian ő, ű, Ő
// and Ű, become those letters.
QString WithHungarianLetters(QString text);

// `text` without what a Windows-1250 file cannot hold: the characters the code page lacks and
// NUL, which would end the file; those are appended to `refused`.
QString KeepStorable(const QString& text, QString& refused);

// A line edit's validator: õ and û become ő and ű as they are typed or pasted; an edit that
// brings in a character the code page lacks, or NUL, is refused as a whole, and `refused` is
// called with those characters.
class StorableTextValidator final : public QValidator {
 public:
  StorableTextValidator(QObject* parent, std::function<void(const QString&)> refused);
  State validate(QString& input, int& pos) const override;

 private:
  std::function<void(const QString&)> refused_;
};

// Characters as a user can read them in a message: invisible ones by their code ("U+0009").
QString ReadableCharacters(const QString& characters);

}  // namespace pekto

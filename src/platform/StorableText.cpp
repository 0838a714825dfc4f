// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StorableText.h"

#include <utility>

#include "platform/QtText.h"

namespace pekto {

QString WithHungarianLetters(QString text) {
  for (QChar& ch : text) {
    switch (ch.unicode()) {
      case u'õ':
        ch = u'ő';
        break;
      case u'û':
        ch = u'ű';
        break;
      case u'Õ':
        ch = u'Ő';
        break;
      case u'Û':
        ch = u'Ű';
        break;
      default:
        break;
    }
  }
  return text;
}

QString KeepStorable(const QString& text, QString& refused) {
  QString kept = KeepCp1250(text, refused);
  if (kept.contains(QChar(0))) {
    kept.remove(QChar(0));
    refused += QChar(0);
  }
  return kept;
}

StorableTextValidator::StorableTextValidator(QObject* parent,
                                             std::function<void(const QString&)> refused)
    : QValidator(parent), refused_(std::move(refused)) {}

QValidator::State StorableTextValidator::validate(QString& input, int& /*pos*/) const {
  input = WithHungarianLetters(input);  // one character for another: the cursor stays
  QString refused;
  KeepStorable(input, refused);
  if (refused.isEmpty()) return Acceptable;
  refused_(refused);
  return Invalid;
}

QString ReadableCharacters(const QString& characters) {
  QString text;
  for (qsizetype i = 0; i < characters.size(); ++i) {
    const QChar ch = characters.at(i);
    if (!text.isEmpty()) text += u' ';
    if (ch.isHighSurrogate() && i + 1 < characters.size()) {
      text += ch;
      text += characters.at(++i);
    } else if (ch.isPrint()) {
      text += ch;
    } else {
      text += QStringLiteral("U+%1").arg(ch.unicode(), 4, 16, QChar(u'0')).toUpper();
    }
  }
  return text;
}

}  // namespace pekto

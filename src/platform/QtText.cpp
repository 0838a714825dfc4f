// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtText.h"

#include <QDir>
#include <QStringDecoder>

#include "platform/Cp1250.h"

namespace pekto {

void AppendToQ(QString& out, std::string_view cp1250) {
  const qsizetype at = out.size();
  out.resize(at + static_cast<qsizetype>(cp1250.size()));
  QChar* next = out.data() + at;
  for (const char ch : cp1250) {
    *next++ = QChar(static_cast<char16_t>(cp1250::ToUnicode(static_cast<unsigned char>(ch))));
  }
}

QString ToQ(std::string_view cp1250) {
  QString text;
  AppendToQ(text, cp1250);
  return text;
}

const QString& Cp1250Characters() {
  static const QString characters = [] {
    std::string bytes;
    for (int byte = 0x20; byte <= 0xFF; ++byte) bytes += static_cast<char>(byte);
    QString shown = ToQ(bytes);
    shown.removeIf([](QChar ch) { return !ch.isPrint(); });
    return shown;
  }();
  return characters;
}

unsigned char ByteOf(QChar ch) {
  if (ch.isSurrogate()) return '?';
  return cp1250::FromUnicode(ch.unicode()).value_or('?');
}

QString KeepCp1250(const QString& text, QString& refused) {
  QString kept;
  kept.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      refused += ch;
      refused += text.at(++i);
    } else if (ch.isSurrogate() || !cp1250::FromUnicode(ch.unicode())) {
      refused += ch;
    } else {
      kept += ch;
    }
  }
  return kept;
}

std::string FromQ(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
    bytes += static_cast<char>(ByteOf(ch));
  }
  return bytes;
}

namespace {

// On Windows AltGr arrives as Ctrl+Alt; on X11 it is a level shift that sets neither.
#ifdef _WIN32
constexpr bool kAltGrIsCtrlAlt = true;
#else
constexpr bool kAltGrIsCtrlAlt = false;
#endif

bool IsControlCode(QChar ch) {
  return ch.unicode() < 0x20 || ch.unicode() == 0x7F;
}

// The printable characters of a key's text; control codes the platform attaches are dropped.
std::string PrintableBytes(const QString& text) {
  QString printable;
  for (const QChar ch : text) {
    if (!IsControlCode(ch)) printable += ch;
  }
  return FromQ(printable);
}

// Ctrl with a key: letters and [ \ ] give control characters, Space a space, others nothing.
std::string ControlCharacter(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return std::string(1, char(key - Qt::Key_A + 1));
  switch (key) {
    case Qt::Key_BracketLeft:
      return "\x1B";
    case Qt::Key_Backslash:
      return "\x1C";
    case Qt::Key_BracketRight:
      return "\x1D";
    case Qt::Key_Space:
      return " ";
    default:
      return {};
  }
}

}  // namespace

std::string TypedCharacters(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
  const bool alt = modifiers.testFlag(Qt::AltModifier);
  if (modifiers.testFlag(Qt::MetaModifier)) return {};
  if (alt) return kAltGrIsCtrlAlt && ctrl ? PrintableBytes(text) : std::string();
  switch (key) {
    case Qt::Key_Delete:
      return {};
    case Qt::Key_Backspace:
      return ctrl ? "\x7F" : "\b";
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ctrl ? "\n" : "\r";
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return ctrl ? std::string() : "\t";
    case Qt::Key_Escape:
      return "\x1B";
    default:
      break;
  }
  if (ctrl) return ControlCharacter(key);
  return PrintableBytes(text);
}

std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
  // Qt's file dialogs and QDir give paths with '/': a path shown to the user (a caption, the
  // settings file) then reads as Windows writes it.
  return std::filesystem::path(QDir::toNativeSeparators(text).toStdWString());
#else
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
#endif
}

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return ReadableText(path.native());
#endif
}

namespace {

// The length of the UTF-8 sequence that `lead` opens; 0 when it opens none.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

QString ReadableText(std::string_view bytes) {
  QString text;
  size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const size_t length = SequenceLength(lead);
    if (length > 1 && length <= bytes.size() - at) {
      QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      const QString piece =
          utf8.decode(QByteArrayView(bytes.data() + at, static_cast<qsizetype>(length)));
      if (!utf8.hasError()) {
        text += piece;
        at += length;
        continue;
      }
    }
    text += QChar(static_cast<char16_t>(cp1250::ToUnicode(lead)));
    ++at;
  }
  return text;
}

std::filesystem::path PathFromCp1250(std::string_view cp1250) {
  return ToPath(ToQ(cp1250));
}

std::string Cp1250FromPath(const std::filesystem::path& path) {
  return FromQ(FromPath(path));
}

}  // namespace pekto

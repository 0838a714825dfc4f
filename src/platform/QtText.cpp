#include "platform/QtText.h"

#include "platform/Cp1250.h"

namespace pekto {

QString ToQ(std::string_view cp1250) {
  QString text(static_cast<qsizetype>(cp1250.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char ch : cp1250) {
    *out++ = QChar(static_cast<char16_t>(cp1250::ToUnicode(static_cast<unsigned char>(ch))));
  }
  return text;
}

unsigned char ByteOf(QChar ch) {
  if (ch.isSurrogate()) return '?';
  return cp1250::FromUnicode(ch.unicode()).value_or('?');
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

std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
  return std::filesystem::path(text.toStdWString());
#else
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
#endif
}

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return QString::fromStdString(path.string());
#endif
}

std::filesystem::path PathFromCp1250(std::string_view cp1250) {
  return ToPath(ToQ(cp1250));
}

std::string Cp1250FromPath(const std::filesystem::path& path) {
  return FromQ(FromPath(path));
}

}  // namespace pekto
